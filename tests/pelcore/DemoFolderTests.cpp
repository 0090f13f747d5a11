// Demo mode: a PC folder named in the registry plays the camera's storage.
#include "DemoFolder.h"

namespace {

TEST_F(DemoFolderTest, ListsTheFolderFilesWithShortNamesOnly)
{
    WritePcFile(PathOf("A.JPG"), TestBytes(100, 1));
    WritePcFile(PathOf("SOUND001.WAV"), TestBytes(2000, 2));
    WritePcFile(PathOf("LONGERNAME1.JPG"), TestBytes(10, 3));
    CreateDirectoryA(PathOf("DCIM").c_str(), nullptr);
    OpenDemoLink();

    EXPECT_EQ(ListedNames(), (std::set<std::string>{"A.JPG", "SOUND001.WAV"}));
    EXPECT_EQ(PelSim_FileCount(), 2);
    unsigned size = 0;
    EXPECT_EQ(ZQ_GetFileSize("SOUND001.WAV", &size), ZQ_STATUS_OK);
    EXPECT_EQ(size, 2000u);
    EXPECT_EQ(ZQ_GetFileSize("DCIM", &size), PELSIM_STATUS_NO_SUCH_FILE);
    EXPECT_EQ(ZQ_GetFileSize("B.JPG", &size), PELSIM_STATUS_NO_SUCH_FILE);
}

TEST_F(DemoFolderTest, ReadsWritesAndDeletesThePcFiles)
{
    const std::vector<unsigned char> picture = TestBytes(5000, 4);
    WritePcFile(PathOf("A.JPG"), picture);
    OpenDemoLink();

    std::vector<unsigned char> buffer(5000);
    EXPECT_EQ(ZQ_ReceiveFile("A.JPG", 5000, buffer.data()), ZQ_STATUS_OK);
    EXPECT_EQ(buffer, picture);

    const std::vector<unsigned char> upload = TestBytes(3000, 5);
    EXPECT_EQ(ZQ_PutFile(3000, upload.data(), "NEW.JPG"), ZQ_STATUS_OK);
    EXPECT_EQ(ReadPcFile(PathOf("NEW.JPG")), upload);

    EXPECT_EQ(ZQ_DeleteFile("A.JPG"), ZQ_STATUS_OK);
    EXPECT_FALSE(PcFileExists(PathOf("A.JPG")));
    EXPECT_EQ(ZQ_DeleteFile("A.JPG"), PELSIM_STATUS_NO_SUCH_FILE);
    EXPECT_EQ(ListedNames(), std::set<std::string>{"NEW.JPG"});
}

TEST_F(DemoFolderTest, SegmentedTransfersUseThePcFiles)
{
    const std::vector<unsigned char> movie = TestBytes(1200000, 6);
    WritePcFile(PathOf("BIG.MOV"), movie);
    OpenDemoLink();

    std::vector<unsigned char> received(movie.size());
    ASSERT_EQ(ZQ_GetSegmentedFile(ZQ_SEGMENT_SIZE, "BIG.MOV"), ZQ_STATUS_OK);
    ASSERT_EQ(ZQ_GetSegment(524288, received.data()), ZQ_STATUS_OK);
    ASSERT_EQ(ZQ_GetSegment(524288, received.data() + 524288), ZQ_STATUS_OK);
    ASSERT_EQ(ZQ_GetSegment(151424, received.data() + 1048576), ZQ_STATUS_OK);
    EXPECT_EQ(received, movie);

    ASSERT_EQ(ZQ_PutSegmentedFile(1200000, "COPY.MOV"), ZQ_STATUS_OK);
    ASSERT_EQ(ZQ_PutSegment(524288, movie.data()), ZQ_STATUS_OK);
    ASSERT_EQ(ZQ_PutSegment(524288, movie.data() + 524288), ZQ_STATUS_OK);
    EXPECT_FALSE(PcFileExists(PathOf("COPY.MOV")));
    ASSERT_EQ(ZQ_PutSegment(151424, movie.data() + 1048576), ZQ_STATUS_OK);
    EXPECT_EQ(ReadPcFile(PathOf("COPY.MOV")), movie);
}

TEST_F(DemoFolderTest, FreeSpaceIsTheDrivesFreeSpace)
{
    OpenDemoLink();
    ULARGE_INTEGER available;
    ASSERT_TRUE(GetDiskFreeSpaceExA(m_folder.c_str(), &available, nullptr, nullptr));
    const unsigned long long expected = available.QuadPart / 1024 > 0xFFFFFFFFull ? 0xFFFFFFFFull : available.QuadPart / 1024;
    unsigned freeKiB = 0;
    ASSERT_EQ(ZQ_GetMediaFree(&freeKiB), ZQ_STATUS_OK);
    // Other programs may write to the drive meanwhile: allow 64 MiB of drift.
    EXPECT_NEAR(static_cast<double>(freeKiB), static_cast<double>(expected), 65536.0);
}

// Every call that takes a name refuses it as no name of the camera's.
void ExpectRefusedByEveryCall(const char* name)
{
    unsigned char data[10] = {1, 2, 3};
    unsigned size = 0;
    EXPECT_EQ(ZQ_PutFile(10, data, name), PELSIM_STATUS_BAD_ARGUMENT) << name;
    EXPECT_EQ(ZQ_PutSegmentedFile(600000, name), PELSIM_STATUS_BAD_ARGUMENT) << name;
    EXPECT_EQ(ZQ_GetFileSize(name, &size), PELSIM_STATUS_BAD_ARGUMENT) << name;
    EXPECT_EQ(ZQ_ReceiveFile(name, 10, data), PELSIM_STATUS_BAD_ARGUMENT) << name;
    EXPECT_EQ(ZQ_GetSegmentedFile(ZQ_SEGMENT_SIZE, name), PELSIM_STATUS_BAD_ARGUMENT) << name;
    EXPECT_EQ(ZQ_DeleteFile(name), PELSIM_STATUS_BAD_ARGUMENT) << name;
}

// Names that are not plain file names never reach the PC folder or its parent.
class DemoHostileNameTest : public DemoFolderTest, public testing::WithParamInterface<const char*> {};

TEST_P(DemoHostileNameTest, IsRefusedForEveryCall)
{
    WritePcFile(m_parent + "\\X.JPG", TestBytes(10, 7));
    OpenDemoLink();

    ExpectRefusedByEveryCall(GetParam());

    EXPECT_EQ(ReadPcFile(m_parent + "\\X.JPG"), TestBytes(10, 7));
    EXPECT_EQ(ListedNames(), std::set<std::string>{});
}

// A long-named PC file of the folder is not the camera's, not even under its short name.
TEST_F(DemoFolderTest, ShortNameOfALongNamedFileReachesNothing)
{
    const std::string longFile = PathOf("Holiday at the beach.jpg");
    WritePcFile(longFile, TestBytes(700, 8));
    char shortPath[MAX_PATH] = "";
    ASSERT_NE(GetShortPathNameA(longFile.c_str(), shortPath, MAX_PATH), 0u);
    const std::string name = strrchr(shortPath, '\\') + 1;
    ASSERT_LE(name.size(), 12u);
    OpenDemoLink();

    ExpectRefusedByEveryCall(name.c_str());

    EXPECT_EQ(ReadPcFile(longFile), TestBytes(700, 8));
    EXPECT_EQ(FolderFiles(m_folder), std::set<std::string>{"Holiday at the beach.jpg"});
    EXPECT_EQ(ListedNames(), std::set<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Names, DemoHostileNameTest,
                         testing::Values("..\\X.JPG", "../X.JPG", "SUB\\X.JPG", "C:X.JPG", "..", ".", "X..JPG", "CON", "nul.txt",
                                         "COM1.JPG", "X.JPG.", "X.JPG ", "A*.JPG", "A?.JPG", "A\"B.JPG", "A|B.JPG", "A<B.JPG",
                                         "A\tB.JPG"));

TEST_F(DemoFolderTest, MissingFolderMeansTheCameraIsNotLocated)
{
    SetStorageFolder(m_folder + "\\absent");
    PelSim_UseDemoFolderFromRegistry();
    EXPECT_EQ(ZQ_OpenComm(ZqLinkUsb), ZQ_STATUS_NOT_LOCATED);
    EXPECT_EQ(PelSim_IsLinkOpen(), 0);
}

// Scripting ends demo mode: the in-memory camera comes back at the next open.
TEST_F(DemoFolderTest, ScriptingTurnsDemoModeOff)
{
    WritePcFile(PathOf("A.JPG"), TestBytes(100, 1));
    OpenDemoLink();
    EXPECT_EQ(PelSim_FileCount(), 1);
    ASSERT_EQ(ZQ_CloseComm(), ZQ_STATUS_OK);

    PelSim_SetMediaFree(77);
    ASSERT_EQ(ZQ_OpenComm(ZqLinkUsb), ZQ_STATUS_OK);
    EXPECT_EQ(ListedNames(), std::set<std::string>{});
    unsigned freeKiB = 0;
    EXPECT_EQ(ZQ_GetMediaFree(&freeKiB), ZQ_STATUS_OK);
    EXPECT_EQ(freeKiB, 77u);
    unsigned char data[4] = {};
    EXPECT_EQ(ZQ_PutFile(4, data, "B.JPG"), ZQ_STATUS_OK);
    EXPECT_FALSE(PcFileExists(PathOf("B.JPG")));
}

TEST_F(DemoFolderTest, ResetAloneKeepsTheRegistryFolderAway)
{
    WritePcFile(PathOf("A.JPG"), TestBytes(100, 1));
    PelSim_Reset();
    ASSERT_EQ(ZQ_OpenComm(ZqLinkUsb), ZQ_STATUS_OK);
    EXPECT_EQ(ListedNames(), std::set<std::string>{});
}

}  // namespace

// Demo mode: a PC folder named in the registry plays the camera's storage.
#include "PelcoreTest.h"
#include <fstream>
#include <iterator>
#include <set>

namespace {

const char c_szDemoKey[] = "Software\\Lumora Camera Simulator";

// Reads a whole PC file; found = false when it cannot be opened.
std::vector<unsigned char> ReadPcFile(const std::string& path, bool* found = nullptr)
{
    std::ifstream file(path, std::ios::binary);
    if (found) *found = file.is_open();
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WritePcFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool PcFileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The names of the camera's listing, as a set (the folder decides the order).
std::set<std::string> ListedNames()
{
    unsigned count = 0;
    EXPECT_EQ(ZQ_GetNumFiles(&count), ZQ_STATUS_OK);
    std::vector<char> listing(count * ZQ_LIST_RECORD + 1);
    EXPECT_EQ(ZQ_GetFiles(listing.data(), static_cast<unsigned>(listing.size())), ZQ_STATUS_OK);
    std::set<std::string> names;
    for (unsigned i = 0; i < count; ++i) {
        const char* record = listing.data() + i * ZQ_LIST_RECORD;
        names.insert(std::string(record, strnlen(record, ZQ_NAME_MAX)));
        EXPECT_EQ(record[ZQ_NAME_MAX], ' ');
    }
    EXPECT_EQ(listing.back(), '\0');
    return names;
}

// A temporary folder named as the storage folder in the registry; both gone at the end.
class DemoFolderTest : public PelcoreTest {
protected:
    void SetUp() override
    {
        PelcoreTest::SetUp();
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        m_parent = std::string(temp) + "pelcore-demo-" + std::to_string(GetCurrentProcessId());
        m_folder = m_parent + "\\camera";
        ASSERT_TRUE(CreateDirectoryA(m_parent.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA(m_folder.c_str(), nullptr));
        SetStorageFolder(m_folder);
    }

    void TearDown() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, c_szDemoKey);
        RemoveTree(m_parent);
        PelcoreTest::TearDown();
    }

    static void SetStorageFolder(const std::string& folder)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, c_szDemoKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), ERROR_SUCCESS);
        RegSetValueExA(key, "StorageFolder", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>(folder.size() + 1));
        RegCloseKey(key);
    }

    // Deletes a folder with its files and folders.
    static void RemoveTree(const std::string& folder)
    {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = data.cFileName;
                if (name == "." || name == "..") continue;
                const std::string path = folder + "\\" + name;
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(path);
                } else {
                    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA(path.c_str());
                }
            } while (FindNextFileA(find, &data));
            FindClose(find);
        }
        RemoveDirectoryA(folder.c_str());
    }

    std::string PathOf(const char* name) const { return m_folder + "\\" + name; }

    void OpenDemoLink()
    {
        PelSim_UseDemoFolderFromRegistry();
        ASSERT_EQ(ZQ_OpenComm(ZqLinkUsb), ZQ_STATUS_OK);
    }

    std::string m_parent;
    std::string m_folder;
};

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

// Names that are not plain file names never reach the PC folder or its parent.
class DemoHostileNameTest : public DemoFolderTest, public testing::WithParamInterface<const char*> {};

TEST_P(DemoHostileNameTest, IsRefusedForEveryCall)
{
    WritePcFile(m_parent + "\\X.JPG", TestBytes(10, 7));
    OpenDemoLink();
    const char* name = GetParam();
    unsigned char data[10] = {1, 2, 3};
    unsigned size = 0;

    EXPECT_EQ(ZQ_PutFile(10, data, name), PELSIM_STATUS_BAD_ARGUMENT);
    EXPECT_EQ(ZQ_PutSegmentedFile(600000, name), PELSIM_STATUS_BAD_ARGUMENT);
    EXPECT_EQ(ZQ_GetFileSize(name, &size), PELSIM_STATUS_BAD_ARGUMENT);
    EXPECT_EQ(ZQ_ReceiveFile(name, 10, data), PELSIM_STATUS_BAD_ARGUMENT);
    EXPECT_EQ(ZQ_GetSegmentedFile(ZQ_SEGMENT_SIZE, name), PELSIM_STATUS_BAD_ARGUMENT);
    EXPECT_EQ(ZQ_DeleteFile(name), PELSIM_STATUS_BAD_ARGUMENT);

    EXPECT_EQ(ReadPcFile(m_parent + "\\X.JPG"), TestBytes(10, 7));
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

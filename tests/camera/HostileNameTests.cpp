// Camera names that are not plain file names are listed and deletable, but never
// become a path on the PC.
#include "camera/CameraTestSupport.h"
#include "camera/CameraFileName.h"

TEST(CameraFileName, PlainNamesOnly)
{
    const struct {
        const char* name;
        bool plain;
    } cases[] = {
        {"A", true}, {"IMG_0001.JPG", true}, {"A.B.C", true}, {"CONX.TXT", true}, {"COM10", true}, {"LPT.TXT", true},
        {"NULL.JPG", true}, {"X CON.TXT", true}, {"\xC4PFEL.JPG", true},
        {nullptr, false}, {"", false}, {"ABCDEFGHI.JPG", false}, {".", false}, {"..", false}, {"A.", false}, {"A ", false},
        {"..\\X.TXT", false}, {"C:X.TXT", false}, {"A/B", false}, {"A*", false}, {"A?", false}, {"A\"", false},
        {"A<", false}, {"A>", false}, {"A|", false}, {"A\tB", false}, {"\x01", false}, {"A\x7F", false},
        {"CON", false}, {"con.txt", false}, {"PRN.X", false}, {"AUX", false}, {"NUL.JPG", false}, {"COM1", false},
        {"com9.avi", false}, {"LPT1", false}, {"LPT9.TXT", false}, {"COM\xB9.TXT", false}, {"CON .TXT", false},
        {"CONIN$", false}, {"CLOCK$.X", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsPlainCameraFileName(c.name), c.plain) << (c.name ? c.name : "(null)");
}

TEST(CameraFileName, TempPathLiesDirectlyInTheFolderOfCopies)
{
    wchar_t folder[MAX_PATH];
    ASSERT_TRUE(GetTempCopyFolder(folder, MAX_PATH));
    wchar_t path[MAX_PATH];
    ASSERT_TRUE(BuildTempCopyPath(folder, "A.JPG", path));
    EXPECT_EQ(Narrow(path), TempDirectoryPathOf("Lumora\\A.JPG"));

    wcscpy(path, L"stale");
    EXPECT_FALSE(BuildTempCopyPath(folder, "..\\A.JPG", path));
    EXPECT_EQ(Narrow(path), "");
}

class HostileNameTest : public CameraTest, public testing::WithParamInterface<std::string> {};

TEST_P(HostileNameTest, IsListedAndDeletableButNeverCopied)
{
    const std::string name = GetParam();
    ASSERT_TRUE(AddCameraFile(name.c_str(), 64));
    CameraConnection* connection = AcquireOwned();
    CameraFileEntry entry = {};
    ASSERT_TRUE(connection->NextFileEntry(&entry, true));
    EXPECT_EQ(std::string(entry.pszName), name);
    EXPECT_EQ(entry.dwSize, 64u);
    wchar_t path[MAX_PATH];
    wmemset(path, L'p', MAX_PATH);

    EXPECT_FALSE(connection->Files().CopyToTempFile(name.c_str(), path, true));

    EXPECT_EQ(Narrow(path), "");
    EXPECT_EQ(m_capture.Messages(), Messages{text::k2002});
    EXPECT_TRUE(CallsOf("ZQ_ReceiveFile").empty());
    EXPECT_TRUE(connection->Files().DeleteCameraFile(name.c_str()));
    EXPECT_EQ(PelSim_FileCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Names, HostileNameTest,
                         testing::Values("..\\..\\X.TXT", "C:\\X.TXT", "\\\\S\\X", "A/B.TXT", "A?.TXT", "..", "A.TXT.",
                                         "A.TXT ", "con.txt", "LPT9", "A\tB.TXT"));

TEST_F(CameraTest, HostileNameIsNeverOpened)
{
    ASSERT_TRUE(AddCameraFile("..\\RUN.TXT", 64));
    CameraConnection* connection = AcquireOwned();

    EXPECT_FALSE(connection->Files().OpenCameraFile("..\\RUN.TXT"));

    EXPECT_EQ(m_capture.Messages(), Messages{text::k2002});
    EXPECT_FALSE(FileExists(TempCopyPathOf("..\\RUN.TXT")));
}

TEST_F(CameraTest, TraversalNameLeavesTheFileItPointsAtAlone)
{
    const std::string victim = TempDirectoryPathOf("VICTIM.TX");
    WriteTextFile(victim, "keep me");
    ASSERT_TRUE(AddCameraFile("..\\VICTIM.TX", 100));
    CameraConnection* connection = AcquireOwned();
    wchar_t path[MAX_PATH];

    EXPECT_FALSE(connection->Files().CopyToTempFile("..\\VICTIM.TX", path, false));

    EXPECT_EQ(ReadTextFile(victim), "keep me");
    EXPECT_EQ(m_capture.Messages(), Messages{text::k2002});
    RemoveFile(victim);
}

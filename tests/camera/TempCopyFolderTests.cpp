// Temporary copies live in a folder of their own: a PC file whose short name is a camera
// name is never touched, and nothing is written through a planted file of the folder's name.
#include "camera/CameraTestSupport.h"

namespace {
// The short name the file system gives a long-named file, without its folder.
std::string ShortNameOf(const std::string& path)
{
    char shortPath[MAX_PATH] = "";
    if (!GetShortPathNameA(path.c_str(), shortPath, MAX_PATH)) return "";
    const char* name = strrchr(shortPath, '\\');
    return name ? name + 1 : shortPath;
}

struct AliasCase {
    const char* label;
    bool inCopiesFolder;  // the long-named file lies in our own folder, else in the temporary directory
    bool copied;
    Messages messages;    // of a copy, then an open (no application takes .qqz)
};

void PrintTo(const AliasCase& c, std::ostream* os) { *os << c.label; }

class ShortNameAliasTest : public CameraTest, public testing::WithParamInterface<AliasCase> {};

TEST_P(ShortNameAliasTest, LongNamedPcFileSurvivesTheCopyOfACameraFileOfItsShortName)
{
    const AliasCase& c = GetParam();
    RemoveTempCopyFolder();
    if (c.inCopiesFolder) MakeTempCopyFolder();
    const std::string longFile = c.inCopiesFolder ? TempCopyPathOf("Holiday plans for the board.qqz")
                                                  : TempDirectoryPathOf("Holiday plans for the board.qqz");
    WriteTextFile(longFile, "keep me");
    const std::string name = ShortNameOf(longFile);
    ASSERT_TRUE(name.size() <= 12 && name.find('~') != std::string::npos) << name;
    ASSERT_TRUE(AddCameraFile(name.c_str(), 300, 9));
    CameraConnection* connection = AcquireOwned();
    wchar_t path[MAX_PATH] = L"";

    EXPECT_EQ(connection->Files().CopyToTempFile(name.c_str(), path, false), c.copied);
    EXPECT_FALSE(connection->Files().OpenCameraFile(name.c_str()));

    EXPECT_EQ(m_capture.Messages(), c.messages);
    EXPECT_EQ(ReadTextFile(longFile), "keep me");
    EXPECT_EQ(GetFileAttributesA(longFile.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    if (c.copied) {
        EXPECT_EQ(Narrow(path), TempCopyPathOf(name));
        EXPECT_EQ(ReadWholeFile(TempCopyPathOf(name)), PatternBytes(300, 9));
    } else {
        EXPECT_TRUE(CallsOf("ZQ_ReceiveFile").empty());
    }
    RemoveFile(longFile);
    RemoveTempCopyFolder();
}

INSTANTIATE_TEST_SUITE_P(Folders, ShortNameAliasTest,
                         testing::Values(AliasCase{"TemporaryDirectory", false, true, {text::k3002}},
                                         AliasCase{"CopiesFolder", true, false, {text::k2002, text::k2002}}),
                         [](const testing::TestParamInfo<AliasCase>& info) { return std::string(info.param.label); });

using TempCopyFolderTest = CameraTest;

TEST_F(TempCopyFolderTest, FolderIsMadeOnDemandButNeverThroughAPlantedFile)
{
    const std::string folder = TempDirectoryPathOf("Lumora");
    for (const bool planted : {false, true}) {
        RemoveTempCopyFolder();
        if (planted) WriteTextFile(folder, "planted");
        PelSim_Reset();
        ASSERT_TRUE(AddCameraFile("A.JPG", 100, 4));
        CameraConnection* connection = Acquire();
        m_capture.Clear();
        wchar_t path[MAX_PATH] = L"";
        {
            CameraWork work(connection, m_view.Window());

            EXPECT_EQ(connection->Files().CopyToTempFile("A.JPG", path, false), !planted);
        }

        if (planted) {
            EXPECT_EQ(m_capture.Messages(), Messages{Narrow(text::k2008(std::wstring(folder.begin(), folder.end())).c_str())}) << "the folder is named, not the camera blamed";
            EXPECT_TRUE(CallsOf("ZQ_ReceiveFile").empty());
            EXPECT_EQ(ReadTextFile(folder), "planted");
            EXPECT_FALSE(FileExists(TempDirectoryPathOf("A.JPG")));
            RemoveFile(folder);
        } else {
            EXPECT_EQ(m_capture.Count(), 0u);
            EXPECT_EQ(GetFileAttributesA(folder.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
            EXPECT_EQ(Narrow(path), TempCopyPathOf("A.JPG"));
            EXPECT_EQ(ReadWholeFile(Narrow(path)), PatternBytes(100, 4));
            RemoveTempCopyFolder();
        }
        ReleaseCameraConnection();
        --m_cUses;
    }
}
TEST_F(TempCopyFolderTest, OpenOfACaseTwinLeavesTheOtherNamesCopyAlone)
{
    RemoveTempCopyFolder();
    ASSERT_TRUE(AddCameraFile("abc.qqz", 200, 5));
    ASSERT_TRUE(AddCameraFile("ABC.QQZ", 100, 4));
    CameraConnection* connection = AcquireOwned();
    wchar_t first[MAX_PATH] = L"", second[MAX_PATH] = L"";

    EXPECT_TRUE(connection->Files().CopyToTempFile("abc.qqz", first, true));
    EXPECT_TRUE(connection->Files().CopyToTempFile("ABC.QQZ", second, true));

    EXPECT_EQ(ReadWholeFile(Narrow(first)), PatternBytes(200, 5)) << "the first name's copy stays as it was";
    EXPECT_EQ(ReadWholeFile(Narrow(second)), PatternBytes(100, 4));
    EXPECT_EQ(m_capture.Count(), 0u);
    RemoveTempCopyFolder();
}
}  // namespace

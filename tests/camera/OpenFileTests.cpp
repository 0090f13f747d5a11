// Opening a camera file: a read-only temporary copy handed to its application, the
// messages when that fails, and types that would run code refused outright.
#include "camera/CameraTestSupport.h"
#include "support/HarmlessFileType.h"

using OpenFileTest = CameraTest;

TEST_F(OpenFileTest, TypeWithoutApplicationSays3002AndKeepsTheCopy)
{
    const std::string copy = TempCopyPathOf("NOTE.QQZ");
    RemoveFile(copy);
    ASSERT_TRUE(AddCameraFile("NOTE.QQZ", 50));
    CameraConnection* connection = AcquireOwned();

    EXPECT_FALSE(connection->Files().OpenCameraFile("NOTE.QQZ"));

    EXPECT_EQ(m_capture.Messages(), Messages{text::k3002});
    EXPECT_TRUE(GetFileAttributesA(copy.c_str()) & FILE_ATTRIBUTE_READONLY);
    RemoveFile(copy);
}

TEST_F(OpenFileTest, TypeWithAnApplicationOpensSilently)
{
    HarmlessFileType type(".qqh");
    const std::string copy = TempCopyPathOf("MEMO.QQH");
    ASSERT_TRUE(AddCameraFile("MEMO.QQH", 50));
    CameraConnection* connection = AcquireOwned();

    EXPECT_TRUE(connection->Files().OpenCameraFile("MEMO.QQH"));
    EXPECT_TRUE(connection->Files().OpenCameraFile("MEMO.QQH"));  // the read-only copy is replaced

    EXPECT_EQ(m_capture.Messages(), Messages{});
    EXPECT_EQ(ReadWholeFile(copy), PatternBytes(50));
    RemoveFile(copy);
}

TEST_F(OpenFileTest, FailedCopyOpensNothing)
{
    ASSERT_TRUE(AddCameraFile("GONE.QQZ", 50));
    ASSERT_TRUE(PelSim_SetFileListing("GONE.QQZ", ' ', 1));
    CameraConnection* connection = AcquireOwned();

    EXPECT_FALSE(connection->Files().OpenCameraFile("GONE.QQZ"));

    EXPECT_EQ(m_capture.Messages(), Messages{text::kNotAvailable});
}

class DangerousTypeTest : public CameraTest, public testing::WithParamInterface<const char*> {};

TEST_P(DangerousTypeTest, IsNeitherCopiedNorOpened)
{
    const char* name = GetParam();
    RemoveFile(TempCopyPathOf(name));
    ASSERT_TRUE(AddCameraFile(name, 50));
    CameraConnection* connection = AcquireOwned();

    EXPECT_FALSE(connection->Files().OpenCameraFile(name));

    EXPECT_EQ(m_capture.Messages(), Messages{text::k3003});
    EXPECT_TRUE(CallsOf("ZQ_ReceiveFile").empty());
    EXPECT_FALSE(FileExists(TempCopyPathOf(name)));
}

INSTANTIATE_TEST_SUITE_P(Types, DangerousTypeTest,
                         testing::Values("EVIL.EXE", "RUN.BAT", "RUN.CMD", "LINK.LNK", "SITE.URL", "SAVER.SCR", "APP.HTA",
                                         "SCRIPT.VBS", "SCRIPT.JS", "setup.Msi", "evil.ExE"));

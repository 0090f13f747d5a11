// The camera's file listing: entries in order, the empty camera, a file that reads as
// size 0, failures on the way, and listings that do not keep to their own format.
#include "camera/CameraTestSupport.h"

namespace {
struct Listed {
    std::string name;
    DWORD size;
    bool operator==(const Listed&) const = default;
};

// Runs a whole listing the way the enumerator does.
std::vector<Listed> ListAll(CameraConnection* connection)
{
    std::vector<Listed> listed;
    CameraFileEntry entry = {};
    for (bool more = connection->NextFileEntry(&entry, true); more; more = connection->NextFileEntry(&entry, false))
        listed.push_back({entry.pszName, entry.dwSize});
    return listed;
}
}  // namespace

using ListingTest = CameraTest;

TEST_F(ListingTest, YieldsEveryFileInOrderThenStops)
{
    const std::vector<Listed> cases[] = {
        {{"A.JPG", 10}},
        {{"IMG_0001.JPG", 1234}, {"SOUND.WAV", 1}, {"CLIP.AVI", 600000}},
    };
    for (const auto& files : cases) {
        PelSim_Reset();
        for (const Listed& file : files) ASSERT_TRUE(AddCameraFile(file.name.c_str(), file.size));
        CameraConnection* connection = AcquireOwned();
        ConnectAndClearLog(connection);

        EXPECT_EQ(ListAll(connection), files);

        std::vector<std::string> expected = {"ZQ_GetNumFiles", "ZQ_GetFiles " + std::to_string(files.size() * 13 + 1)};
        for (const Listed& file : files) expected.push_back("ZQ_GetFileSize " + file.name);
        EXPECT_EQ(CameraCalls(), expected);
        EXPECT_EQ(m_capture.Count(), 0u);
        EXPECT_TRUE(connection->IsConnected());
        m_pWork.reset();  // the unit ends before the connection it works on goes
        ReleaseCameraConnection();
        --m_cUses;
    }
}

TEST_F(ListingTest, EmptyCameraEndsAtOnceWithoutMessage)
{
    CameraConnection* connection = AcquireOwned();
    CameraFileEntry entry = {};

    EXPECT_FALSE(connection->NextFileEntry(&entry, true));

    EXPECT_TRUE(CallsOf("ZQ_GetFiles").empty());
    EXPECT_EQ(m_capture.Count(), 0u);
    EXPECT_FALSE(connection->NextFileEntry(&entry, false));
}

TEST_F(ListingTest, ConnectsFirstWhenTheLinkIsClosed)
{
    ASSERT_TRUE(AddCameraFile("A.JPG", 5));
    CameraConnection* connection = AcquireOwned();

    EXPECT_EQ(ListAll(connection), (std::vector<Listed>{{"A.JPG", 5}}));
    EXPECT_EQ(CameraCalls().front(), "ZQ_OpenComm 0");
}

TEST_F(ListingTest, SeparatorsAndEndMarkAreOverwrittenWhateverTheyHold)
{
    ASSERT_TRUE(AddCameraFile("A.JPG", 3));
    ASSERT_TRUE(AddCameraFile("B.JPG", 4));
    ASSERT_TRUE(AddCameraFile("C.JPG", 5));
    ASSERT_TRUE(PelSim_SetFileListing("A.JPG", '*', 0));
    ASSERT_TRUE(PelSim_SetFileListing("B.JPG", 'Q', 0));
    ASSERT_TRUE(PelSim_SetFileListing("C.JPG", '\xFF', 0));
    PelSim_SetListingEndMark('X');
    CameraConnection* connection = AcquireOwned();

    EXPECT_EQ(ListAll(connection), (std::vector<Listed>{{"A.JPG", 3}, {"B.JPG", 4}, {"C.JPG", 5}}));
    EXPECT_EQ(CallsOf("ZQ_GetFileSize").size(), 3u);
}

TEST_F(ListingTest, TwelveByteNameEndsAtItsField)
{
    ASSERT_TRUE(AddCameraFile("ABCDEFGH.JPG", 9));
    ASSERT_TRUE(PelSim_SetFileListing("ABCDEFGH.JPG", 'Z', 0));
    CameraConnection* connection = AcquireOwned();

    EXPECT_EQ(ListAll(connection), (std::vector<Listed>{{"ABCDEFGH.JPG", 9}}));
}

TEST_F(ListingTest, SizeZeroEndsTheListingWithOneRefresh)
{
    ASSERT_TRUE(AddCameraFile("A.JPG", 3));
    ASSERT_TRUE(AddCameraFile("GONE.JPG", 3));
    ASSERT_TRUE(AddCameraFile("C.JPG", 3));
    ASSERT_TRUE(PelSim_SetFileListing("GONE.JPG", ' ', 1));
    CameraConnection* connection = AcquireOwned();
    // The real view lists the camera again inside its Refresh.
    std::vector<Listed> relisted;
    m_view.OnRefresh([&] { relisted = ListAll(connection); });

    EXPECT_EQ(ListAll(connection), (std::vector<Listed>{{"A.JPG", 3}}));

    EXPECT_EQ(m_view.RefreshCount(), 1);
    EXPECT_EQ(relisted, (std::vector<Listed>{{"A.JPG", 3}}));
    EXPECT_EQ(m_capture.Messages(), (Messages{text::kNotAvailable}));  // told once, not again inside the refresh
    EXPECT_EQ(m_capture.Dialogs()[0].owner, m_view.Window());
    EXPECT_EQ(m_capture.Dialogs()[0].caption, text::kCaption);
    EXPECT_TRUE(connection->IsConnected());  // the link stays as it was
}

TEST_F(ListingTest, GoneFileIsToldAgainOnlyAfterAListingCompleted)
{
    ASSERT_TRUE(AddCameraFile("GONE.JPG", 3));
    ASSERT_TRUE(PelSim_SetFileListing("GONE.JPG", ' ', 1));
    CameraConnection* connection = AcquireOwned();

    ListAll(connection);
    ListAll(connection);  // the same gone file: quiet
    ASSERT_TRUE(PelSim_SetFileListing("GONE.JPG", ' ', 0));
    ListAll(connection);  // complete
    ASSERT_TRUE(PelSim_SetFileListing("GONE.JPG", ' ', 1));
    ListAll(connection);

    EXPECT_EQ(m_capture.Messages(), (Messages{text::kNotAvailable, text::kNotAvailable}));
    EXPECT_EQ(m_view.RefreshCount(), 2);
}

// Failures of the listing's calls: the message of the status, and the link closed.
struct ListingFailureCase {
    const char* function;
    unsigned nth;
    int status;
    size_t listedBefore;
    const std::string* message;
};

class ListingFailureTest : public CameraTest, public testing::WithParamInterface<ListingFailureCase> {};

TEST_P(ListingFailureTest, IsReportedAndClosesTheLink)
{
    const ListingFailureCase& c = GetParam();
    ASSERT_TRUE(AddCameraFile("A.JPG", 3));
    ASSERT_TRUE(AddCameraFile("B.JPG", 4));
    CameraConnection* connection = AcquireOwned();
    ConnectAndClearLog(connection);
    PelSim_FailCall(c.function, c.nth, c.status, 0);

    EXPECT_EQ(ListAll(connection).size(), c.listedBefore);

    EXPECT_EQ(m_capture.Messages(), Messages{*c.message});
    EXPECT_FALSE(connection->IsConnected());
    EXPECT_FALSE(PelSim_IsLinkOpen());
}

INSTANTIATE_TEST_SUITE_P(Calls, ListingFailureTest,
                         testing::Values(ListingFailureCase{"ZQ_GetNumFiles", 1, 3, 0, &text::k1003},
                                         ListingFailureCase{"ZQ_GetFiles", 1, 13, 0, &text::k1013},
                                         ListingFailureCase{"ZQ_GetFileSize", 2, 1, 1, &text::k1001},
                                         ListingFailureCase{"ZQ_GetFileSize", 1, -2, 0, &text::k1000}));

TEST_F(ListingTest, UnknownStatusRefreshesAfterTheLinkClosed)
{
    ASSERT_TRUE(AddCameraFile("A.JPG", 3));
    CameraConnection* connection = AcquireOwned();
    int linkOpenDuringRefresh = -1;
    m_view.OnRefresh([&] { linkOpenDuringRefresh = PelSim_IsLinkOpen(); });
    PelSim_FailCall("ZQ_GetFileSize", 1, 20, 0);

    EXPECT_TRUE(ListAll(connection).empty());

    EXPECT_EQ(m_capture.Messages(), Messages{text::kNotAvailable});
    EXPECT_EQ(m_view.RefreshCount(), 1);
    EXPECT_EQ(linkOpenDuringRefresh, 0);  // the refresh comes once the failed call is over
    EXPECT_FALSE(PelSim_IsLinkOpen());
}

// A count no camera can hold is a failed listing; nothing is allocated or fetched for it.
class AbsurdCountTest : public CameraTest, public testing::WithParamInterface<long long> {};

TEST_P(AbsurdCountTest, IsRefusedAsACommunicationError)
{
    ASSERT_TRUE(AddCameraFile("A.JPG", 3));
    PelSim_SetReportedCount(GetParam());
    CameraConnection* connection = AcquireOwned();

    EXPECT_TRUE(ListAll(connection).empty());

    EXPECT_TRUE(CallsOf("ZQ_GetFiles").empty());
    EXPECT_EQ(m_capture.Messages(), Messages{text::k1003});
    EXPECT_FALSE(PelSim_IsLinkOpen());
}

// 65,536; the count whose 13-fold wraps round to 4 in 32 bits; the largest count.
INSTANTIATE_TEST_SUITE_P(Counts, AbsurdCountTest, testing::Values(65536LL, 0x13B13B14LL, 0xFFFFFFFFLL));

TEST_F(ListingTest, LargestAcceptedCountIsFetchedWhole)
{
    ASSERT_TRUE(AddCameraFile("A.JPG", 3));
    PelSim_SetReportedCount(65535);
    CameraConnection* connection = AcquireOwned();

    // The records past the real file have no name: the listing ends quietly at the first.
    EXPECT_EQ(ListAll(connection), (std::vector<Listed>{{"A.JPG", 3}}));

    const auto fetches = CallsOf("ZQ_GetFiles");
    ASSERT_EQ(fetches.size(), 1u);
    EXPECT_EQ(fetches[0].size, 65535u * 13 + 1);
    EXPECT_EQ(fetches[0].status, 0);
    EXPECT_EQ(CallsOf("ZQ_GetFileSize").size(), 1u);
    EXPECT_EQ(m_capture.Messages(), Messages{});
}

TEST_F(ListingTest, CountBeyondTheRecordsNeverReadsPastTheBuffer)
{
    ASSERT_TRUE(AddCameraFile("A.JPG", 3));
    ASSERT_TRUE(AddCameraFile("B.JPG", 3));
    PelSim_SetReportedCount(1);
    CameraConnection* connection = AcquireOwned();

    EXPECT_EQ(ListAll(connection), (std::vector<Listed>{{"A.JPG", 3}}));
    EXPECT_EQ(CallsOf("ZQ_GetFileSize").size(), 1u);
}

TEST_F(ListingTest, RecordWithoutANameEndsTheListingQuietly)
{
    ASSERT_TRUE(AddCameraFile("A.JPG", 3));
    const char empty[12] = {};
    ASSERT_TRUE(PelSim_AddRawListingRecord(empty, ' '));
    ASSERT_TRUE(AddCameraFile("C.JPG", 5));
    CameraConnection* connection = AcquireOwned();

    EXPECT_EQ(ListAll(connection), (std::vector<Listed>{{"A.JPG", 3}}));

    EXPECT_EQ(CallsOf("ZQ_GetFileSize").size(), 1u);
    EXPECT_EQ(m_capture.Count(), 0u);
}

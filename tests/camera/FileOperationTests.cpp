// Deleting, reading whole and in segments, temporary copies, writing to the camera,
// and the firmware version and free space.
#include "camera/CameraTestSupport.h"
#include <algorithm>

using Calls = std::vector<std::string>;

namespace {
// Watches the task allocator: the largest block asked for while it is registered.
class LargestAllocation : public IMallocSpy {
public:
    LargestAllocation() { m_fRegistered = SUCCEEDED(CoRegisterMallocSpy(this)); }
    ~LargestAllocation() { if (m_fRegistered) CoRevokeMallocSpy(); }
    bool Registered() const { return m_fRegistered; }
    SIZE_T Largest() const { return m_cbLargest; }
    int CountOf(SIZE_T cb) const { return static_cast<int>(std::count(m_sizes.begin(), m_sizes.end(), cb)); }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = (riid == IID_IUnknown || riid == IID_IMallocSpy) ? static_cast<IMallocSpy*>(this) : nullptr;
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP_(SIZE_T) PreAlloc(SIZE_T cb) override
    {
        m_cbLargest = std::max(m_cbLargest, cb);
        m_sizes.push_back(cb);
        return cb;
    }
    STDMETHODIMP_(void*) PostAlloc(void* p) override { return p; }
    STDMETHODIMP_(void*) PreFree(void* p, BOOL) override { return p; }
    STDMETHODIMP_(void) PostFree(BOOL) override {}
    STDMETHODIMP_(SIZE_T) PreRealloc(void* p, SIZE_T cb, void** pp, BOOL) override
    {
        *pp = p;
        m_cbLargest = std::max(m_cbLargest, cb);
        return cb;
    }
    STDMETHODIMP_(void*) PostRealloc(void* p, BOOL) override { return p; }
    STDMETHODIMP_(void*) PreGetSize(void* p, BOOL) override { return p; }
    STDMETHODIMP_(SIZE_T) PostGetSize(SIZE_T cb, BOOL) override { return cb; }
    STDMETHODIMP_(void*) PreDidAlloc(void* p, BOOL) override { return p; }
    STDMETHODIMP_(int) PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    STDMETHODIMP_(void) PreHeapMinimize() override {}
    STDMETHODIMP_(void) PostHeapMinimize() override {}

private:
    bool m_fRegistered = false;
    SIZE_T m_cbLargest = 0;
    std::vector<SIZE_T> m_sizes;
};

// Removes the temporary copy of a name when the test ends.
class TempCopy {
public:
    explicit TempCopy(const std::string& name) : m_path(TempCopyPathOf(name)) { RemoveFile(m_path); }
    ~TempCopy() { RemoveFile(m_path); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};
}  // namespace

using FileOperationTest = CameraTest;

// Whole reads up to one segment, segmented reads of more on new firmware, and larger files
// left on the camera by old or unreadable firmware, which says so (2005).
struct CopyCase {
    unsigned size;
    const char* firmware;  // null: the version cannot be read
    bool copied;
    Calls reads;  // after ZQ_GetFileSize and ZQ_GetFirmwareVersion
};

class TempCopyTest : public CameraTest, public testing::WithParamInterface<CopyCase> {};

TEST_P(TempCopyTest, ReadsTheFileAsTheFirmwareAllows)
{
    const CopyCase& c = GetParam();
    TempCopy copy("CLIP.AVI");
    ASSERT_TRUE(AddCameraFile("CLIP.AVI", c.size, 3));
    if (c.firmware) PelSim_SetFirmware(c.firmware);
    else PelSim_FailCall("ZQ_GetFirmwareVersion", 1, 3, 1);
    CameraConnection* connection = AcquireOwned();
    ConnectAndClearLog(connection);
    wchar_t path[MAX_PATH] = L"";

    EXPECT_EQ(connection->Files().CopyToTempFile("CLIP.AVI", path, false), c.copied);

    Calls expected = {"ZQ_GetFileSize CLIP.AVI", "ZQ_GetFirmwareVersion"};
    expected.insert(expected.end(), c.reads.begin(), c.reads.end());
    EXPECT_EQ(CameraCalls(), expected);
    EXPECT_EQ(m_capture.Messages(), c.copied ? Messages{} : Messages{text::k2005});
    EXPECT_EQ(FileExists(copy.Path()), c.copied);
    if (c.copied) {
        EXPECT_EQ(Narrow(path), copy.Path());
        EXPECT_EQ(ReadWholeFile(copy.Path()), PatternBytes(c.size, 3));
        EXPECT_FALSE(GetFileAttributesA(copy.Path().c_str()) & FILE_ATTRIBUTE_READONLY);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, TempCopyTest,
    testing::Values(CopyCase{100, "4.0.1", true, {"ZQ_ReceiveFile CLIP.AVI 100"}},
                    CopyCase{524287, "3.9", true, {"ZQ_ReceiveFile CLIP.AVI 524287"}},
                    CopyCase{524288, "4.0.1", true, {"ZQ_ReceiveFile CLIP.AVI 524288"}},
                    CopyCase{524288, "3.9", true, {"ZQ_ReceiveFile CLIP.AVI 524288"}},
                    CopyCase{524289, "4.0.1", true, {"ZQ_GetSegmentedFile CLIP.AVI 524288", "ZQ_GetSegment 524288", "ZQ_GetSegment 1"}},
                    CopyCase{1200000, "4.0.1", true,
                             {"ZQ_GetSegmentedFile CLIP.AVI 524288", "ZQ_GetSegment 524288", "ZQ_GetSegment 524288",
                              "ZQ_GetSegment 151424"}},
                    CopyCase{524289, "3.9", false, {}}, CopyCase{1200000, "3.255.1", false, {}},
                    CopyCase{1200000, nullptr, false, {}}, CopyCase{1200000, "", false, {}}));

TEST_F(FileOperationTest, TempCopyHoldsOneSegmentAtATime)
{
    TempCopy copy("BIG.AVI");
    ASSERT_TRUE(AddCameraFile("BIG.AVI", 1200000));
    CameraConnection* connection = AcquireOwned();
    ConnectAndClearLog(connection);
    wchar_t path[MAX_PATH];
    LargestAllocation spy;
    ASSERT_TRUE(spy.Registered());

    EXPECT_TRUE(connection->Files().CopyToTempFile("BIG.AVI", path, false));

    EXPECT_EQ(spy.Largest(), 524298u);
    EXPECT_EQ(spy.CountOf(524298), 1);
}

TEST_F(FileOperationTest, SecondCopyReplacesTheReadOnlyFirst)
{
    TempCopy copy("PIC.JPG");
    CameraConnection* connection = AcquireOwned();
    wchar_t path[MAX_PATH];
    for (unsigned seed : {1u, 2u}) {
        ASSERT_TRUE(AddCameraFile("PIC.JPG", 5000, seed));

        ASSERT_TRUE(connection->Files().CopyToTempFile("PIC.JPG", path, true));

        EXPECT_EQ(ReadWholeFile(copy.Path()), PatternBytes(5000, seed));
        EXPECT_TRUE(GetFileAttributesA(copy.Path().c_str()) & FILE_ATTRIBUTE_READONLY);
    }
    EXPECT_EQ(m_capture.Count(), 0u);
}

// A read that fails part way: its status message, then 2002, and no partial file.
struct FailedReadCase {
    unsigned size;
    const char* function;
    unsigned nth;
    int status;
    const std::string* message;
};

class FailedReadTest : public CameraTest, public testing::WithParamInterface<FailedReadCase> {};

TEST_P(FailedReadTest, LeavesNoFileAndClosesTheLink)
{
    const FailedReadCase& c = GetParam();
    TempCopy copy("CLIP.AVI");
    ASSERT_TRUE(AddCameraFile("CLIP.AVI", c.size));
    CameraConnection* connection = AcquireOwned();
    wchar_t path[MAX_PATH];
    PelSim_FailCall(c.function, c.nth, c.status, 0);

    EXPECT_FALSE(connection->Files().CopyToTempFile("CLIP.AVI", path, true));

    EXPECT_EQ(m_capture.Messages(), (Messages{*c.message, text::k2002}));
    EXPECT_FALSE(FileExists(copy.Path()));
    EXPECT_FALSE(PelSim_IsLinkOpen());
}

INSTANTIATE_TEST_SUITE_P(Calls, FailedReadTest,
                         testing::Values(FailedReadCase{1000, "ZQ_ReceiveFile", 1, 3, &text::k1003},
                                         FailedReadCase{1200000, "ZQ_GetSegmentedFile", 1, 13, &text::k1013},
                                         FailedReadCase{1200000, "ZQ_GetSegment", 2, 14, &text::k1014},
                                         FailedReadCase{1200000, "ZQ_GetSegment", 3, 1, &text::k1001}));

TEST_F(FileOperationTest, FileThatReadsAsEmptyIsNotAvailable)
{
    TempCopy copy("GONE.JPG");
    ASSERT_TRUE(AddCameraFile("GONE.JPG", 10));
    ASSERT_TRUE(PelSim_SetFileListing("GONE.JPG", ' ', 1));
    CameraConnection* connection = AcquireOwned();
    wchar_t path[MAX_PATH];

    EXPECT_FALSE(connection->Files().CopyToTempFile("GONE.JPG", path, false));

    EXPECT_EQ(m_capture.Messages(), Messages{text::kNotAvailable});
    EXPECT_EQ(m_view.RefreshCount(), 1);
    EXPECT_FALSE(FileExists(copy.Path()));
    EXPECT_TRUE(PelSim_IsLinkOpen());
}

TEST_F(FileOperationTest, TempFileThatCannotBeCreatedShows2002Once)
{
    TempCopy copy("DIR.JPG");
    MakeTempCopyFolder();
    ASSERT_TRUE(CreateDirectoryA(copy.Path().c_str(), nullptr));
    ASSERT_TRUE(AddCameraFile("DIR.JPG", 10));
    CameraConnection* connection = AcquireOwned();
    wchar_t path[MAX_PATH];

    EXPECT_FALSE(connection->Files().CopyToTempFile("DIR.JPG", path, false));

    EXPECT_EQ(m_capture.Messages(), Messages{text::k2002});
    EXPECT_TRUE(CallsOf("ZQ_ReceiveFile").empty());
    RemoveDirectoryA(copy.Path().c_str());
}

TEST_F(FileOperationTest, NoCameraMeansNoCopyAndOneMessage)
{
    PelSim_SetOpenResult(0, 3, 0);
    CameraConnection* connection = AcquireOwned();
    wchar_t path[MAX_PATH];

    EXPECT_FALSE(connection->Files().CopyToTempFile("A.JPG", path, false));
    EXPECT_FALSE(connection->Files().DeleteCameraFile("A.JPG"));

    EXPECT_EQ(m_capture.Messages(), (Messages{text::k1003, text::k1003}));
    EXPECT_TRUE(CallsOf("ZQ_GetFileSize").empty());
}

TEST_F(FileOperationTest, DeleteRemovesTheFileOrReportsWhyNot)
{
    ASSERT_TRUE(AddCameraFile("A.JPG", 10));
    CameraConnection* connection = AcquireOwned();
    ConnectAndClearLog(connection);

    EXPECT_TRUE(connection->Files().DeleteCameraFile("A.JPG"));
    EXPECT_EQ(PelSim_FileCount(), 0);
    EXPECT_EQ(CameraCalls(), Calls{"ZQ_DeleteFile A.JPG"});
    EXPECT_EQ(m_capture.Count(), 0u);

    PelSim_FailCall("ZQ_DeleteFile", 1, 13, 0);
    EXPECT_FALSE(connection->Files().DeleteCameraFile("B.JPG"));
    EXPECT_EQ(m_capture.Messages(), Messages{text::k1013});
    EXPECT_FALSE(PelSim_IsLinkOpen());
}

TEST_F(FileOperationTest, ReceiveReadsTheWholeFileInOneCall)
{
    ASSERT_TRUE(AddCameraFile("A.JPG", 700000, 5));
    CameraConnection* connection = AcquireOwned();
    ConnectAndClearLog(connection);
    std::vector<unsigned char> buffer(700000);

    EXPECT_FALSE(connection->Files().ReceiveCameraFile("A.JPG", 700000, nullptr));
    EXPECT_FALSE(connection->Files().ReceiveCameraFile("A.JPG", 0, buffer.data()));
    EXPECT_EQ(PelSim_LogCount(), 0);
    EXPECT_TRUE(connection->Files().ReceiveCameraFile("A.JPG", 700000, buffer.data()));

    EXPECT_EQ(buffer, PatternBytes(700000, 5));
    EXPECT_EQ(CameraCalls(), Calls{"ZQ_ReceiveFile A.JPG 700000"});
    EXPECT_EQ(m_capture.Count(), 0u);
}

TEST_F(FileOperationTest, PutsStoreTheFileWholeOrInSegments)
{
    CameraConnection* connection = AcquireOwned();
    const std::vector<unsigned char> small = PatternBytes(1000, 1);
    const std::vector<unsigned char> large = PatternBytes(1200000, 2);

    EXPECT_EQ(connection->Files().PutCameraFile("SMALL.JPG", 1000, small.data()), 0);
    EXPECT_EQ(connection->Files().BeginSegmentedPut("LARGE.AVI", 1200000), 0);
    for (size_t done = 0; done < large.size(); done += ZQ_SEGMENT_SIZE) {
        const DWORD size = static_cast<DWORD>(std::min<size_t>(ZQ_SEGMENT_SIZE, large.size() - done));
        EXPECT_EQ(connection->Files().PutSegment(size, large.data() + done), 0);
    }

    std::vector<unsigned char> stored(1200000);
    EXPECT_EQ(PelSim_GetFile("SMALL.JPG", stored.data(), 1000), 1000);
    EXPECT_TRUE(std::equal(small.begin(), small.end(), stored.begin()));
    EXPECT_EQ(PelSim_GetFile("LARGE.AVI", stored.data(), 1200000), 1200000);
    EXPECT_EQ(stored, large);
}

TEST_F(FileOperationTest, TransfersWithoutALinkFailWithoutCallingTheCamera)
{
    PelSim_SetOpenResult(0, 3, 0);
    CameraConnection* connection = AcquireOwned();
    const unsigned char data[4] = {1, 2, 3, 4};
    unsigned char buffer[4];

    EXPECT_EQ(connection->Files().PutCameraFile("A.JPG", 4, data), ZQ_STATUS_NO_LINK);
    EXPECT_EQ(connection->Files().BeginSegmentedPut("A.JPG", 4), ZQ_STATUS_NO_LINK);
    EXPECT_EQ(connection->Files().PutSegment(4, data), ZQ_STATUS_NO_LINK);
    EXPECT_EQ(connection->Files().BeginSegmentedReceive("A.JPG", ZQ_SEGMENT_SIZE), ZQ_STATUS_NO_LINK);
    EXPECT_EQ(connection->Files().ReceiveSegment(4, buffer), ZQ_STATUS_NO_LINK);

    for (const char* call : {"ZQ_PutFile", "ZQ_PutSegmentedFile", "ZQ_PutSegment", "ZQ_GetSegmentedFile", "ZQ_GetSegment"})
        EXPECT_TRUE(CallsOf(call).empty()) << call;
}

// The firmware's dotted text as numbers.
struct FirmwareCase {
    std::string bytes;  // the 32 bytes the camera writes (padded with zeros)
    bool read;
    int major, minor, build;
};

class FirmwareTest : public CameraTest, public testing::WithParamInterface<FirmwareCase> {};

TEST_P(FirmwareTest, TextBecomesNumbers)
{
    const FirmwareCase& c = GetParam();
    char raw[32] = {};
    memcpy(raw, c.bytes.data(), std::min<size_t>(c.bytes.size(), sizeof(raw)));
    PelSim_SetFirmwareRaw(raw);
    CameraConnection* connection = AcquireOwned();
    int major = -1, minor = -1, build = -1;

    EXPECT_EQ(connection->QueryFirmwareVersion(&major, &minor, &build), c.read);

    if (c.read) {
        EXPECT_EQ(major, c.major);
        EXPECT_EQ(minor, c.minor);
        EXPECT_EQ(build, c.build);
    }
    EXPECT_EQ(m_capture.Count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FirmwareTest,
    testing::Values(FirmwareCase{"4.0.1", true, 4, 0, 1}, FirmwareCase{".5", true, 5, 0, 0}, FirmwareCase{"abc", true, 0, 0, 0},
                    FirmwareCase{"", false, 0, 0, 0}, FirmwareCase{"...", false, 0, 0, 0}, FirmwareCase{"3.9", true, 3, 9, 0},
                    FirmwareCase{"1..2.3.4", true, 1, 2, 3}, FirmwareCase{"12a.7b.x", true, 12, 7, 0},
                    FirmwareCase{"99999999999999", true, 0x7FFFFFFF, 0, 0},
                    FirmwareCase{"4294967300.1", true, 0x7FFFFFFF, 1, 0},  // capped, not wrapped to 4
                    // All 32 bytes used, no terminator: only the first 31 count.
                    FirmwareCase{"1.2." + std::string(27, '0') + "9", true, 1, 2, 0}));

TEST_F(FileOperationTest, FirmwareAndFreeSpaceFailQuietly)
{
    PelSim_SetMediaFree(1234);
    CameraConnection* connection = AcquireOwned();
    EXPECT_EQ(connection->QueryMediaFree(), 1234u);
    int major = -1;
    EXPECT_TRUE(connection->QueryFirmwareVersion(&major, nullptr, nullptr));
    EXPECT_EQ(major, 4);

    PelSim_FailCall("ZQ_GetFirmwareVersion", 1, 3, 0);
    PelSim_FailCall("ZQ_GetMediaFree", 1, 3, 0);
    EXPECT_FALSE(connection->QueryFirmwareVersion(&major, nullptr, nullptr));
    EXPECT_EQ(connection->QueryMediaFree(), 0u);
    EXPECT_EQ(m_capture.Count(), 0u);
}

TEST_F(FileOperationTest, FreeSpaceIsAskedEvenWhenNoLinkOpens)
{
    PelSim_SetOpenResult(0, 3, 0);
    CameraConnection* connection = AcquireOwned();

    EXPECT_EQ(connection->QueryMediaFree(), 0u);

    const auto asked = CallsOf("ZQ_GetMediaFree");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].status, 0);
}

// The Thumbnails mode: pictures of the photos read from their first bytes in units of one
// file each, and found in the disk cache by the next window without reading the camera.
#include <cstring>
#include "CameraViewTestSupport.h"
#include "items/ThumbnailCache.h"
#include "resources/resource.h"
#include "support/JpegSamples.h"

namespace {

// The user's thumbnail cache emptied (the view keeps its pictures there).
void RemoveThumbnailCache()
{
    const std::wstring from = ThumbnailCache::DefaultRoot() + L'\0';  // a list of one
    SHFILEOPSTRUCTW remove = {nullptr, FO_DELETE, from.c_str(), nullptr, FOF_NO_UI, FALSE, nullptr, nullptr};
    SHFileOperationW(&remove);
}

// The camera's link, firmware and file-byte calls, "function name size" each (a segment
// is of the file its segmented read opened), and whether any came from this thread.
std::vector<std::string> ReadingCalls(bool* fFromThisThread)
{
    const char* const kept[] = {"ZQ_OpenComm",   "ZQ_CloseComm",          "ZQ_GetFirmwareVersion", "ZQ_ReceiveFile",
                                "ZQ_GetSegment", "ZQ_GetSegmentedFile",   "ZQ_PutFile",            "ZQ_PutSegmentedFile",
                                "ZQ_PutSegment", "ZQ_DeleteFile"};
    std::vector<std::string> calls;
    std::string segmented;
    for (const PelSimCall& call : CameraLog()) {
        if (std::find_if(std::begin(kept), std::end(kept), [&](const char* f) { return !strcmp(f, call.function); }) == std::end(kept))
            continue;
        *fFromThisThread = *fFromThisThread || call.thread == GetCurrentThreadId();
        if (!strcmp(call.function, "ZQ_GetSegmentedFile")) segmented = call.name;
        const std::string name = !strcmp(call.function, "ZQ_GetSegment") ? segmented : call.name;
        char text[80];
        if (call.size) snprintf(text, sizeof(text), "%s %s %u", call.function, name.c_str(), call.size);
        else if (!strcmp(call.function, "ZQ_OpenComm")) snprintf(text, sizeof(text), "%s %d", call.function, call.arg);
        else snprintf(text, sizeof(text), "%s", call.function);
        calls.push_back(text);
    }
    return calls;
}

std::vector<BYTE> PaddedTo(std::vector<BYTE> bytes, size_t size)
{
    bytes.resize(size, 0);
    return bytes;
}

class ThumbnailViewTest : public CameraViewTest {
protected:
    void SetUp() override
    {
        CameraViewTest::SetUp();
        RemoveThumbnailCache();
    }
    void TearDown() override
    {
        CameraViewTest::TearDown();
        RemoveThumbnailCache();
    }
    // Opens the camera, then chooses Thumbnails with the log cleared, and waits until every
    // photo was read.
    void ChooseThumbnails()
    {
        ShowCamera();
        PelSim_ClearLog();
        m_capture.Clear();  // the listing's connect dialog
        SendMessageA(ViewWindow(), WM_COMMAND, IDM_VIEW_THUMBNAILS, 0);
        m_pBrowser->PumpUntil([this] { return !View()->Thumbnails().IsReading(); }, 20000);
    }
};

}  // namespace

TEST_F(ThumbnailViewTest, PhotosShowPicturesFromAtMostOneSegmentAndTheNextWindowReadsNothing)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // WIC's encoder for the photos
    const std::vector<BYTE> exif = WithExif(EncodeJpeg(320, 240), ExifJpeg(false, false, EncodeJpeg(160, 120)));
    const std::vector<BYTE> plain = EncodeJpeg(200, 150);
    struct Row {
        const char* name;
        std::vector<BYTE> content;
        bool fPicture;
    };
    const Row rows[] = {
        {"BIG.JPG", PaddedTo(exif, 1200000), true},  // the EXIF thumbnail in the first segment
        {"BIGPLAIN.JPG", PaddedTo(plain, 600000), false},  // no thumbnail, too large to decode whole
        {"EXIF.JPG", exif, true},
        {"FAKE.JPG", std::vector<BYTE>(2000, 'x'), false},
        {"NOTE.TXT", exif, false},  // not a photo: never read
        {"PLAIN.JPG", plain, true},  // the whole image
    };
    for (const Row& row : rows) PelSim_AddFile(row.name, row.content.data(), static_cast<unsigned>(row.content.size()));
    const auto size = [&](int i) { return std::to_string(rows[i].content.size()); };
    // USB closes the link after every unit; link type 1 only after a file's first segment.
    const std::vector<std::string> usb = {
        "ZQ_OpenComm 0", "ZQ_GetFirmwareVersion", "ZQ_GetSegmentedFile BIG.JPG 524288", "ZQ_GetSegment BIG.JPG 524288", "ZQ_CloseComm",
        "ZQ_OpenComm 0", "ZQ_GetSegmentedFile BIGPLAIN.JPG 524288", "ZQ_GetSegment BIGPLAIN.JPG 524288", "ZQ_CloseComm",
        "ZQ_OpenComm 0", "ZQ_ReceiveFile EXIF.JPG " + size(2), "ZQ_CloseComm",
        "ZQ_OpenComm 0", "ZQ_ReceiveFile FAKE.JPG 2000", "ZQ_CloseComm",
        "ZQ_OpenComm 0", "ZQ_ReceiveFile PLAIN.JPG " + size(5), "ZQ_CloseComm",
    };
    const std::vector<std::string> ports = {
        "ZQ_GetFirmwareVersion", "ZQ_GetSegmentedFile BIG.JPG 524288", "ZQ_GetSegment BIG.JPG 524288", "ZQ_CloseComm",
        "ZQ_OpenComm 1", "ZQ_GetSegmentedFile BIGPLAIN.JPG 524288", "ZQ_GetSegment BIGPLAIN.JPG 524288", "ZQ_CloseComm",
        "ZQ_OpenComm 1", "ZQ_ReceiveFile EXIF.JPG " + size(2), "ZQ_ReceiveFile FAKE.JPG 2000",
        "ZQ_ReceiveFile PLAIN.JPG " + size(5),
    };
    struct Pass {
        const char* what;
        bool fLinkType1;
        std::vector<std::string> calls;
    };
    const Pass passes[] = {{"the first window", false, usb}, {"a second window", false, {}}, {"link type 1", true, ports}};
    for (const Pass& pass : passes) {
        SCOPED_TRACE(pass.what);
        if (pass.fLinkType1) RemoveThumbnailCache(), PelSim_SetOpenResult(0, ZQ_STATUS_NOT_LOCATED, 0);
        ChooseThumbnails();
        for (const Row& row : rows)
            EXPECT_EQ(View()->Thumbnails().HasPicture(row.name, static_cast<DWORD>(row.content.size())), row.fPicture) << row.name;
        bool fFromThisThread = false;
        EXPECT_EQ(ReadingCalls(&fFromThisThread), pass.calls);
        EXPECT_FALSE(fFromThisThread);
        EXPECT_EQ(m_capture.Count(), 0u);
        EXPECT_EQ(PelSim_IsLinkOpen() != 0, pass.fLinkType1);
        CloseBrowser();
    }
}

// Nothing is read while another operation of the view runs; then the photos in sight come
// first (here the last rows, scrolled to from Large Icons), then the others in the list's order.
TEST_F(ThumbnailViewTest, PhotosInSightComeFirstAndNothingIsReadDuringAnOperation)
{
    CameraFiles files;
    for (int i = 0; i < 40; ++i) {
        char name[16];
        snprintf(name, sizeof(name), "P%d.JPG", 10 + i);
        files.push_back({name, 100});
    }
    AddFiles(files);
    ShowCamera();
    SendMessageA(ViewWindow(), WM_COMMAND, IDM_VIEW_LARGEICONS, 0);
    PelSim_ClearLog();
    SendMessageA(ViewWindow(), WM_COMMAND, IDM_VIEW_THUMBNAILS, 0);  // the worker asks once this thread pumps
    ASSERT_TRUE(View()->BeginOperation());
    m_pBrowser->PumpFor(300);
    SendMessageA(List(), LVM_ENSUREVISIBLE, 39, FALSE);
    EXPECT_EQ(CallsOf("ZQ_ReceiveFile").size(), 0u);
    View()->EndOperation();
    m_pBrowser->PumpUntil([this] { return !View()->Thumbnails().IsReading(); }, 20000);
    std::vector<std::string> read;
    for (const PelSimCall& call : CallsOf("ZQ_ReceiveFile")) read.push_back(call.name);
    std::vector<std::string> inSight, others;
    RECT client = {};
    GetClientRect(List(), &client);
    for (int i = 0; i < static_cast<int>(files.size()); ++i) {
        RECT row = {LVIR_BOUNDS, 0, 0, 0}, overlap;
        SendMessageA(List(), LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&row));
        (IntersectRect(&overlap, &row, &client) ? inSight : others).push_back(files[i].first);
    }
    ASSERT_FALSE(inSight.empty());
    EXPECT_NE(inSight.front(), files.front().first) << "the list cannot scroll to its last rows";
    inSight.insert(inSight.end(), others.begin(), others.end());
    EXPECT_EQ(read, inSight);
}

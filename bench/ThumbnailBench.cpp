// The Thumbnails mode over 30 photos of 3,000,000 bytes on a camera of 1,000,000 bytes/s, in
// the host's browser. Each photo is a real JPEG whose EXIF block carries a small JPEG
// thumbnail, padded to its size. With the thumbnail cache emptied, the folder opens in
// details mode; once the listing ends, Thumbnails is chosen as the View menu does (the
// command posted to the frame). Printed beside their goals:
//   - when the first photo shows its picture, and when all 30 do (goal 1.1 x 30 segments at
//     the camera's rate), and the window's longest wait for an answer meanwhile (the probe;
//     beside an idle window's on a thread of its own, the machine's share; also shown for
//     the opening and listing before, which the view's creation dominates);
//   - the bytes read of each photo, from the camera's log (at most one segment), and that
//     nothing was written to the camera;
//   - in a new window, all 30 now cached: when all show their pictures, and how many camera
//     calls read file bytes meanwhile (none).
#include <windows.h>
#include <ole2.h>
#include <wincodec.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>
#include "bench/BenchTiming.h"
#include "bench/WindowProbe.h"
#include "base/ModuleState.h"
#include "camera/ZqApi.h"
#include "folder/CameraFolder.h"
#include "host/HostBrowser.h"
#include "items/ThumbnailCache.h"
#include "pelcore/PelSim.h"
#include "resources/resource.h"
#include "view/CameraView.h"

namespace {

constexpr int kPhotos = 30;
constexpr unsigned kPhotoSize = 3000000;
constexpr unsigned kBytesPerSecond = 1000000;
constexpr double kFirstGoalSeconds = 1.0;
constexpr double kAllGoalSeconds = 1.1 * kPhotos * static_cast<double>(ZQ_SEGMENT_SIZE) / kBytesPerSecond;
constexpr double kCachedGoalSeconds = 0.2;
constexpr double kAnswerGoalMs = 100;
constexpr DWORD kListingTimeoutMs = 60000;
constexpr DWORD kPicturesTimeoutMs = 120000;
constexpr DWORD kPollMs = 5;

// A JPEG of width x height made by WIC's encoder: two colours side by side.
std::vector<BYTE> EncodeJpeg(IWICImagingFactory* factory, UINT width, UINT height, DWORD left, DWORD right)
{
    std::vector<BYTE> pixels(width * height * 3);
    for (UINT i = 0; i < width * height; ++i) {
        const DWORD color = i % width < width / 2 ? left : right;
        pixels[i * 3] = GetBValue(color), pixels[i * 3 + 1] = GetGValue(color), pixels[i * 3 + 2] = GetRValue(color);
    }
    ComPtr<IWICBitmap> bitmap;
    ComPtr<IStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    HGLOBAL block = nullptr;
    STATSTG stat = {};
    const bool made =
        SUCCEEDED(factory->CreateBitmapFromMemory(width, height, format, width * 3, UINT(pixels.size()), pixels.data(), &bitmap)) &&
        SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) && SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) && SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
        SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(width, height)) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
        SUCCEEDED(frame->WriteSource(bitmap.Get(), nullptr)) && SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit()) &&
        SUCCEEDED(GetHGlobalFromStream(stream.Get(), &block)) && SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME));
    if (!made) return {};
    GlobalLockPtr<BYTE> bytes(block);
    return std::vector<BYTE>(bytes.Get(), bytes.Get() + stat.cbSize.QuadPart);
}

// An APP1 "Exif" segment, little-endian: IFD0 with the orientation, IFD1 with the thumbnail's
// compression, place (from the TIFF header) and length, the thumbnail after it.
std::vector<BYTE> ExifSegment(const std::vector<BYTE>& thumbnail)
{
    constexpr DWORD kIfd1 = 8 + 2 + 12 + 4;
    constexpr DWORD kThumbAt = kIfd1 + 2 + 3 * 12 + 4;
    std::vector<BYTE> tiff = {'I', 'I'};
    auto put = [&](DWORD value, int cb) {
        for (int i = 0; i < cb; ++i) tiff.push_back(BYTE(value >> 8 * i));
    };
    auto entry = [&](WORD tag, WORD type, DWORD value) { put(tag, 2), put(type, 2), put(1, 4), put(value, 4); };
    put(42, 2), put(8, 4);
    put(1, 2), entry(0x0112, 3, 1), put(kIfd1, 4);
    put(3, 2), entry(0x0103, 3, 6), entry(0x0201, 4, kThumbAt), entry(0x0202, 4, DWORD(thumbnail.size())), put(0, 4);
    tiff.insert(tiff.end(), thumbnail.begin(), thumbnail.end());
    const size_t cbSegment = 2 + 6 + tiff.size();
    std::vector<BYTE> segment = {0xFF, 0xE1, BYTE(cbSegment >> 8), BYTE(cbSegment), 'E', 'x', 'i', 'f', 0, 0};
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    return segment;
}

// Photo number index: a 640 x 480 JPEG with a 160 x 120 EXIF thumbnail, padded with zeros
// after its end to kPhotoSize bytes; empty when WIC could not encode it.
std::vector<BYTE> MakePhoto(IWICImagingFactory* factory, int index)
{
    const DWORD left = RGB(40 + index * 7, 200 - index * 5, 90), right = RGB(230, 30 + index * 6, 250 - index * 8);
    std::vector<BYTE> photo = EncodeJpeg(factory, 640, 480, left, right);
    const std::vector<BYTE> thumbnail = EncodeJpeg(factory, 160, 120, left, right);
    if (photo.size() < 2 || thumbnail.empty()) return {};
    const std::vector<BYTE> exif = ExifSegment(thumbnail);
    photo.insert(photo.begin() + 2, exif.begin(), exif.end());
    if (photo.size() > kPhotoSize) return {};
    photo.resize(kPhotoSize, 0);
    return photo;
}

// The camera: kPhotos photos, DSC00001.JPG on, at kBytesPerSecond; their names.
std::vector<std::string> AddCameraPhotos()
{
    PelSim_Reset();
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)))) return {};
    std::vector<std::string> names;
    for (int i = 0; i < kPhotos; ++i) {
        const std::vector<BYTE> photo = MakePhoto(factory.Get(), i);
        char name[16];
        snprintf(name, sizeof(name), "DSC%05d.JPG", i + 1);
        if (photo.empty() || !PelSim_AddFile(name, photo.data(), kPhotoSize)) return {};
        names.push_back(name);
    }
    PelSim_SetLinkTiming(kBytesPerSecond, 0);
    return names;
}

// Deletes the files of the user's thumbnail cache folder; how many there were.
int EmptyThumbnailCache()
{
    const std::wstring root = ThumbnailCache::DefaultRoot();
    int removed = 0;
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileW((root + L"\\*").c_str(), &found));
    for (bool more = !root.empty() && find.IsValid(); more; more = FindNextFileW(find.Get(), &found) != FALSE) {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::wstring path = root + L"\\" + found.cFileName;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (DeleteFileW(path.c_str())) ++removed;
    }
    return removed;
}

// Opens the camera folder in the browser (details mode) and pumps until the listing has
// ended with every photo in the rows; the view, or null.
ComPtr<CameraView> OpenAndList(HostBrowser* browser)
{
    ComPtr<IShellFolder> folder = Adopt(CreateCameraFolder(nullptr));
    if (!folder || FAILED(browser->ShowFolder(folder.Get()))) return {};
    ComPtr<CameraView> view = Adopt(ViewFromWindow(browser->ViewWindow()));
    if (!view || !browser->PumpUntil([&] { return !view->IsListing(); }, kListingTimeoutMs)) return {};
    if (view->Rows().RowCount() != kPhotos) return {};
    return view;
}

// When the photos showed their pictures after Thumbnails was chosen, in seconds (-1: never).
struct PictureTimes {
    double chosen = 0;  // when Thumbnails was chosen (NowSeconds())
    double first = -1;
    double all = -1;
};

// Chooses Thumbnails as the View menu does and pumps the window's messages, looking (on the
// window's thread) at which photos show their pictures after each batch of messages (a
// picture arrives in one) and at least every few ms.
PictureTimes ChooseThumbnails(HostBrowser* browser, CameraView* view, const std::vector<std::string>& names)
{
    PictureTimes times;
    const double start = times.chosen = NowSeconds();
    auto allShown = [&] {
        const auto count = std::count_if(names.begin(), names.end(),
                                         [&](const std::string& name) { return view->Thumbnails().HasPicture(name.c_str(), kPhotoSize); });
        if (count > 0 && times.first < 0) times.first = NowSeconds() - start;
        if (count == kPhotos && times.all < 0) times.all = NowSeconds() - start;
        return count == kPhotos;
    };
    PostMessageW(browser->FrameWindow(), WM_COMMAND, MAKEWPARAM(IDM_VIEW_THUMBNAILS, 0), 0);
    while (!browser->PumpUntil(allShown, kPollMs) && NowSeconds() - start < kPicturesTimeoutMs / 1000.0) {
    }
    return times;
}

// What the camera's log holds from entry `from` on: the file bytes read of each name (a
// segment counts for the name of the segmented read it belongs to), the calls that read
// file bytes, those that write or delete files, and the links opened.
struct CameraUse {
    std::map<std::string, unsigned long long> bytesRead;
    int readCalls = 0;
    int writeCalls = 0;
    int opens = 0;
};

CameraUse ReadCameraLog(int from)
{
    static const char* const kReads[] = {"ZQ_ReceiveFile", "ZQ_GetSegmentedFile", "ZQ_GetSegment"};
    static const char* const kWrites[] = {"ZQ_PutFile", "ZQ_PutSegmentedFile", "ZQ_PutSegment", "ZQ_DeleteFile"};
    auto among = [](const char* function, const auto& list) {
        return std::any_of(std::begin(list), std::end(list), [&](const char* name) { return strcmp(function, name) == 0; });
    };
    CameraUse use;
    std::string segmented;  // the file of the segmented read in progress
    const int count = PelSim_LogCount();
    for (int i = from; i < count; ++i) {
        PelSimCall call = {};
        if (!PelSim_LogEntry(i, &call)) continue;
        if (among(call.function, kReads)) ++use.readCalls;
        if (among(call.function, kWrites)) ++use.writeCalls;
        if (strcmp(call.function, "ZQ_OpenComm") == 0 && call.status == ZQ_STATUS_OK) ++use.opens;
        if (strcmp(call.function, "ZQ_GetSegmentedFile") == 0) segmented = call.name;
        if (strcmp(call.function, "ZQ_ReceiveFile") == 0) use.bytesRead[call.name] += call.size;
        if (strcmp(call.function, "ZQ_GetSegment") == 0) use.bytesRead[segmented] += call.size;
    }
    return use;
}

// The reference for the window's answers: a bare window on a thread of its own that does
// nothing but wait for messages, probed alongside. Its waits are the machine's and Wine's
// (other processes, the Wine server, the X server), none of the view's.
class IdleWindow {
public:
    IdleWindow() : m_hReady(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        if (!m_hReady) return;
        m_hThread.Reset(CreateThread(nullptr, 0, ThreadProc, this, 0, &m_threadId));
        if (m_hThread) WaitForSingleObject(m_hReady.Get(), INFINITE);
    }
    ~IdleWindow()
    {
        if (!m_hThread) return;
        PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        WaitForSingleObject(m_hThread.Get(), INFINITE);
    }
    IdleWindow(const IdleWindow&) = delete;
    IdleWindow& operator=(const IdleWindow&) = delete;
    HWND Window() const { return m_hwnd; }

private:
    static DWORD WINAPI ThreadProc(void* parameter)
    {
        IdleWindow* self = static_cast<IdleWindow*>(parameter);
        WindowHandle window(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
        self->m_hwnd = window.Get();
        SetEvent(self->m_hReady.Get());
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        return 0;
    }

    KernelHandle m_hReady;
    KernelHandle m_hThread;
    DWORD m_threadId = 0;
    HWND m_hwnd = nullptr;
};

// The probe's figures for one stretch of a run: the longest wait and when it began, in
// seconds after origin.
struct Answers {
    double longestMs = 0;
    double at = 0;
    size_t over = 0;
    size_t count = 0;
};

Answers StopProbe(WindowProbe& probe, double origin)
{
    probe.Stop();
    return {probe.LongestWaitMs(), probe.LongestWaitStart() - origin, probe.AnswersOver(kAnswerGoalMs), probe.Answers()};
}

// One window's run: opened and listed, then Thumbnails chosen until every photo shows its
// picture, the window probed through both stretches; then closed.
struct WindowRun {
    bool opened = false;
    Answers opening;     // ShowFolder and the listing, from ShowFolder's call
    PictureTimes times;
    Answers thumbnails;  // from the choice until every picture shows
    Answers idle;        // the reference window's, in the same stretch
    CameraUse camera;    // from the choice on
};

WindowRun RunWindow(const std::vector<std::string>& names)
{
    WindowRun run;
    ComPtr<HostBrowser> browser = Adopt(HostBrowser::Create(HostOptions{}));
    if (!browser) return run;
    WindowProbe probe(browser->FrameWindow());
    const double opened = NowSeconds();
    probe.Start();
    ComPtr<CameraView> view = OpenAndList(browser.Get());
    run.opening = StopProbe(probe, opened);
    run.opened = static_cast<bool>(view);
    const int logStart = PelSim_LogCount();
    IdleWindow idle;
    WindowProbe idleProbe(idle.Window());
    idleProbe.Start();
    probe.Start();
    if (view) run.times = ChooseThumbnails(browser.Get(), view.Get(), names);
    run.thumbnails = StopProbe(probe, run.times.chosen);
    run.idle = StopProbe(idleProbe, run.times.chosen);
    run.camera = ReadCameraLog(logStart);
    view.Reset();
    browser->Close();
    return run;
}

const char* Verdict(bool met)
{
    return met ? "meets its goal" : "MISSES its goal";
}

// One figure with its decimals, unit and reference.
void PrintRow(const char* figure, double value, int decimals, const char* unit, const char* reference)
{
    printf("%-46s %12.*f %-3s %s\n", figure, decimals, value, unit, reference);
}

// The window's longest wait for an answer in one stretch, beside the goal and, when given,
// the idle window's of the same stretch.
void PrintAnswers(const char* figure, const Answers& answers, const Answers* idle)
{
    char text[300];
    int used = snprintf(text, sizeof(text), "goal %.0f ms: %s (at %+.2f s; %zu of %zu answers over the goal)", kAnswerGoalMs,
                        Verdict(answers.longestMs <= kAnswerGoalMs), answers.at, answers.over, answers.count);
    if (idle)
        snprintf(text + used, sizeof(text) - used, ";  an idle window meanwhile %.1f ms (at %+.2f s; %zu over)", idle->longestMs, idle->at,
                 idle->over);
    PrintRow(figure, answers.longestMs, 1, "ms", text);
}

// The figures of the first window (an empty cache).
void PrintFirstWindow(const WindowRun& run)
{
    char text[200];
    snprintf(text, sizeof(text), "goal %.3f s: %s", kFirstGoalSeconds, Verdict(run.times.first >= 0 && run.times.first <= kFirstGoalSeconds));
    PrintRow("first picture shown after", run.times.first, 3, "s", text);
    snprintf(text, sizeof(text), "goal %.3f s (1.1 x 30 x 524,288 B / 1,000,000 B/s): %s", kAllGoalSeconds,
             Verdict(run.times.all >= 0 && run.times.all <= kAllGoalSeconds));
    PrintRow("all 30 pictures shown after", run.times.all, 3, "s", text);
    PrintAnswers("longest wait for the window's answer", run.thumbnails, &run.idle);
    PrintAnswers("  the same while opening and listing", run.opening, nullptr);
    unsigned long long most = 0;
    for (const auto& [name, bytes] : run.camera.bytesRead) most = std::max(most, bytes);
    snprintf(text, sizeof(text), "goal at most %u of each file's %u: %s (%zu of %d photos read)", ZQ_SEGMENT_SIZE, kPhotoSize,
             Verdict(most <= ZQ_SEGMENT_SIZE), run.camera.bytesRead.size(), kPhotos);
    PrintRow("bytes read of a photo, the most", static_cast<double>(most), 0, "B", text);
    snprintf(text, sizeof(text), "goal 0: %s", Verdict(run.camera.writeCalls == 0));
    PrintRow("camera calls that wrote (put or delete)", run.camera.writeCalls, 0, "", text);
    PrintRow("links opened", run.camera.opens, 0, "", "one unit of camera work a photo: 30");
}

// The figures of the second window (every picture cached).
void PrintCachedWindow(const WindowRun& run)
{
    char text[200];
    snprintf(text, sizeof(text), "goal %.3f s: %s", kCachedGoalSeconds, Verdict(run.times.all >= 0 && run.times.all <= kCachedGoalSeconds));
    PrintRow("all 30 cached pictures shown after", run.times.all, 3, "s", text);
    snprintf(text, sizeof(text), "goal 0: %s", Verdict(run.camera.readCalls == 0));
    PrintRow("camera calls that read file bytes", run.camera.readCalls, 0, "", text);
    PrintAnswers("longest wait for the window's answer", run.thumbnails, &run.idle);
}

}  // namespace

int main()
{
    g_hinstModule = GetModuleHandleW(nullptr);
    if (FAILED(OleInitialize(nullptr))) return 1;
    const std::vector<std::string> names = AddCameraPhotos();
    if (names.empty()) {
        printf("the photos could not be made\n");
        return 1;
    }
    const int removed = EmptyThumbnailCache();
    printf("Thumbnails, %d photos of %u bytes at %u bytes/s (cache emptied: %d files)\n\n", kPhotos, kPhotoSize, kBytesPerSecond, removed);
    const WindowRun first = RunWindow(names);
    PrintFirstWindow(first);
    printf("\nA new window, every picture cached\n");
    const WindowRun cached = RunWindow(names);
    PrintCachedWindow(cached);
    OleUninitialize();
    const bool done = first.opened && cached.opened && first.times.all >= 0 && cached.times.all >= 0;
    if (!done) printf("\na window was not listed, or not every photo showed its picture within %lu s\n", kPicturesTimeoutMs / 1000);
    return done ? 0 : 1;
}

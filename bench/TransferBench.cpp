// Figures of copying camera files out and PC files in, with the simulated camera serving a PC
// folder (its demo folder), each printed beside its reference measured in the same run:
//   - a 256 MiB camera file copied out through GetData(CF_HDROP), and a 256 MiB PC file sent
//     in through the view's drop target: throughput against CopyFileA on the same bytes
//     (goal: at least 0.9 of it);
//   - the growth of the process's private bytes during either transfer (goal: one 512 KiB
//     segment and 1 MiB at most); Wine leaves PrivateUsage at 0, so PagefileUsage is sampled,
//     on a second thread, all through the transfer;
//   - 16 MiB each way with the camera limited to 1,000,000 bytes a second (goal: at most
//     1.05 x size / rate), watched by a probe thread (bench/WindowProbe.h): the window's longest
//     wait to answer (goal: 100 ms) and the longest gap between changes of the progress
//     dialog's bytes text (goal: 500 ms, the dialog changing at least twice a second);
//   - the same transfers stopped half-way: the probe clicks the dialog's Cancel once its bar
//     shows half the bytes; the time from the click to the transfer's end (goal: 1 s), and
//     that nothing partial is left (no copy in the temporary copies' folders, no partial file
//     on the camera) and that GetData answered E_ABORT.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <psapi.h>
#include <shlobj.h>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>
#include "bench/BenchTiming.h"
#include "bench/WindowProbe.h"
#include "folder/CameraFolder.h"
#include "host/HostBrowser.h"
#include "base/ModuleState.h"
#include "base/Raii.h"
#include "pelcore/PelSim.h"
#include "resources/resource.h"
#include "transfer/ViewDropTarget.h"
#include "view/CameraView.h"

namespace {

constexpr ULONGLONG kLargeFile = 256ull << 20;
constexpr ULONGLONG kRatedFile = 16ull << 20;
constexpr DWORD kRate = 1000000;
constexpr int kRuns = 5;
constexpr double kThroughputGoal = 0.9;
constexpr double kRateGoal = 1.05;
constexpr SIZE_T kMemoryGoal = 512 * 1024 + 1024 * 1024;
constexpr double kAnswerGoalMs = 100;
constexpr double kTextGapGoalMs = 500;
constexpr double kCancelGoalSeconds = 1;
const char kDemoKey[] = "Software\\Lumora Camera Simulator";

double MiBPerSecond(ULONGLONG bytes, double seconds)
{
    return static_cast<double>(bytes) / (1024.0 * 1024.0) / seconds;
}

// The process's private bytes as Wine counts them.
SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

// The highest growth of the private bytes while a call runs, sampled on a second thread
// (the baseline is taken there, once that thread exists).
class MemoryPeak {
public:
    SIZE_T Growth(const std::function<void()>& call)
    {
        m_stop = false;
        m_baseline = m_peak = 0;
        KernelHandle ready(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        m_ready = ready.Get();
        KernelHandle thread(CreateThread(nullptr, 0, &MemoryPeak::Sample, this, 0, nullptr));
        if (!ready || !thread) return 0;
        WaitForSingleObject(ready.Get(), INFINITE);
        call();
        m_stop = true;
        WaitForSingleObject(thread.Get(), INFINITE);
        return m_peak > m_baseline ? m_peak - m_baseline : 0;
    }

private:
    static DWORD WINAPI Sample(void* parameter)
    {
        auto* self = static_cast<MemoryPeak*>(parameter);
        self->m_baseline = self->m_peak = PrivateBytes();
        SetEvent(self->m_ready);
        while (!self->m_stop) {
            self->m_peak = std::max(self->m_peak, PrivateBytes());
            Sleep(1);
        }
        self->m_peak = std::max(self->m_peak, PrivateBytes());
        return 0;
    }

    std::atomic<bool> m_stop = false;
    HANDLE m_ready = nullptr;
    SIZE_T m_baseline = 0;
    SIZE_T m_peak = 0;
};

// A file of size bytes that tells its positions apart, written a MiB at a time.
bool WritePatternFile(const std::string& path, ULONGLONG size)
{
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::vector<unsigned char> chunk(1 << 20);
    bool written = true;
    for (ULONGLONG done = 0; done < size && written; done += chunk.size()) {
        for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<unsigned char>((done + i) * 7 + (done + i) / 251);
        DWORD wrote = 0;
        const DWORD bytes = static_cast<DWORD>(std::min<ULONGLONG>(chunk.size(), size - done));
        written = WriteFile(file.Get(), chunk.data(), bytes, &wrote, nullptr) && wrote == bytes;
    }
    return file.Close() && written;
}

ULONGLONG FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The simulated camera's demo settings for the length of the run; what stood there before comes back.
class DemoSettings {
public:
    explicit DemoSettings(const std::string& folder)
    {
        m_fHadFolder = Read("StorageFolder", &m_previousFolder);
        DWORD size = sizeof(m_previousRate);
        m_fHadRate = RegGetValueA(HKEY_CURRENT_USER, kDemoKey, "BytesPerSecond", RRF_RT_REG_DWORD, nullptr, &m_previousRate, &size) ==
                     ERROR_SUCCESS;
        RegSetKeyValueA(HKEY_CURRENT_USER, kDemoKey, "StorageFolder", REG_SZ, folder.c_str(), static_cast<DWORD>(folder.size() + 1));
        SetRate(0);
    }
    ~DemoSettings()
    {
        if (m_fHadFolder) {
            RegSetKeyValueA(HKEY_CURRENT_USER, kDemoKey, "StorageFolder", REG_SZ, m_previousFolder.c_str(),
                            static_cast<DWORD>(m_previousFolder.size() + 1));
        } else {
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kDemoKey, "StorageFolder");
        }
        if (m_fHadRate) RegSetKeyValueA(HKEY_CURRENT_USER, kDemoKey, "BytesPerSecond", REG_DWORD, &m_previousRate, sizeof(DWORD));
        else RegDeleteKeyValueA(HKEY_CURRENT_USER, kDemoKey, "BytesPerSecond");
    }
    // 0: no limit. Read each time the link opens.
    void SetRate(DWORD bytesPerSecond)
    {
        if (bytesPerSecond) RegSetKeyValueA(HKEY_CURRENT_USER, kDemoKey, "BytesPerSecond", REG_DWORD, &bytesPerSecond, sizeof(DWORD));
        else RegDeleteKeyValueA(HKEY_CURRENT_USER, kDemoKey, "BytesPerSecond");
    }

private:
    static bool Read(const char* value, std::string* text)
    {
        char buffer[MAX_PATH] = "";
        DWORD size = sizeof(buffer);
        if (RegGetValueA(HKEY_CURRENT_USER, kDemoKey, value, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) return false;
        *text = buffer;
        return true;
    }

    bool m_fHadFolder = false;
    bool m_fHadRate = false;
    std::string m_previousFolder;
    DWORD m_previousRate = 0;
};

// The shell's own data object for one PC file, as the Explorer drags it.
ComPtr<IDataObject> ShellDataObject(const std::string& path)
{
    wchar_t widePath[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
    PidlHandle pidl;
    if (FAILED(SHParseDisplayName(widePath, nullptr, pidl.Put(), 0, nullptr))) return nullptr;
    ComPtr<IShellFolder> parent;
    LPCITEMIDLIST child = nullptr;
    ComPtr<IDataObject> data;
    if (SUCCEEDED(SHBindToParent(pidl.Get(), IID_PPV_ARGS(&parent), &child)))
        parent->GetUIObjectOf(nullptr, 1, &child, IID_IDataObject, nullptr, reinterpret_cast<void**>(data.GetAddressOf()));
    return data;
}

// The folders of the run in the temporary directory: the camera's, the sources', the targets'.
struct BenchFolders {
    std::string root, camera, source, target;
};

BenchFolders MakeFolders()
{
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    BenchFolders folders;
    folders.root = std::string(temp) + "lumora-transfer-bench\\";
    folders.camera = folders.root + "camera\\";
    folders.source = folders.root + "source\\";
    folders.target = folders.root + "target\\";
    for (const std::string* folder : {&folders.root, &folders.camera, &folders.source, &folders.target})
        CreateDirectoryA(folder->c_str(), nullptr);
    return folders;
}

void RemoveFiles(const std::string& folder)
{
    WIN32_FIND_DATAA data;
    FindHandle find(FindFirstFileA((folder + "*").c_str(), &data));
    if (!find) return;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + data.cFileName).c_str());
    } while (FindNextFileA(find.Get(), &data));
}

// The camera view in the host's browser, with its rows and its drop target.
class CameraWindow {
public:
    bool Show()
    {
        m_pBrowser = Adopt(HostBrowser::Create(HostOptions{}));
        ComPtr<IShellFolder> folder = Adopt(CreateCameraFolder(nullptr));
        if (!m_pBrowser || !folder || FAILED(m_pBrowser->ShowFolder(folder.Get()))) return false;
        return WaitForListing();
    }
    // Pumps the window's messages until the view has read the camera.
    bool WaitForListing()
    {
        return m_pBrowser->PumpUntil([this] { return !View()->IsListing(); }, 60000);
    }
    HWND Frame() const { return m_pBrowser->FrameWindow(); }
    void Close()
    {
        if (m_pBrowser) m_pBrowser->Close();
        m_pBrowser.Reset();
    }
    CameraView* View() const
    {
        ComPtr<CameraView> view = Adopt(ViewFromWindow(m_pBrowser->ViewWindow()));
        return view.Get();  // the browser keeps it alive
    }
    // The folder's data object for the row of a camera file, owned by the view window.
    ComPtr<IDataObject> DataObjectFor(const char* name)
    {
        View()->Refresh();
        if (!WaitForListing()) return nullptr;
        HWND list = GetDlgItem(m_pBrowser->ViewWindow(), IDC_LIST);
        char rowName[16];
        for (int row = 0; View()->Rows().GetListItemName(row, rowName); ++row) {
            if (lstrcmpA(rowName, name) != 0) continue;
            LVITEMA item = {};
            item.mask = LVIF_PARAM;
            item.iItem = row;
            SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            auto pidl = reinterpret_cast<LPCITEMIDLIST>(item.lParam);
            ComPtr<IShellFolder> folder = Adopt(CreateCameraFolder(nullptr));
            ComPtr<IDataObject> data;
            folder->GetUIObjectOf(m_pBrowser->ViewWindow(), 1, &pidl, IID_IDataObject, nullptr, reinterpret_cast<void**>(data.GetAddressOf()));
            return data;
        }
        return nullptr;
    }

private:
    ComPtr<HostBrowser> m_pBrowser;
};

struct Transfer {
    double seconds = 0;
    SIZE_T growth = 0;
    bool whole = false;  // every byte arrived
    HRESULT hr = E_FAIL;  // of GetData or Drop
    double endedAt = 0;   // NowSeconds() when GetData or Drop returned
    bool leftover = false;  // a copy or a camera file of a stopped transfer stayed
};

// Whether a file of the name lies anywhere under the folder (which ends in a backslash).
bool ContainsFile(const std::string& folder, const char* name)
{
    WIN32_FIND_DATAA data;
    FindHandle find(FindFirstFileA((folder + "*").c_str(), &data));
    if (!find) return false;
    do {
        const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!isFolder && lstrcmpiA(data.cFileName, name) == 0) return true;
        if (isFolder && data.cFileName[0] != '.' && ContainsFile(folder + data.cFileName + "\\", name)) return true;
    } while (FindNextFileA(find.Get(), &data));
    return false;
}

// The folder of all temporary copies: "Lumora" in the temporary directory.
std::string TempCopiesFolder()
{
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "Lumora\\";
}

// Whether the folder holds a file whose name is not one of names.
bool HoldsOtherFiles(const std::string& folder, std::initializer_list<const char*> names)
{
    WIN32_FIND_DATAA data;
    FindHandle find(FindFirstFileA((folder + "*").c_str(), &data));
    if (!find) return false;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (std::none_of(names.begin(), names.end(), [&](const char* name) { return lstrcmpiA(name, data.cFileName) == 0; }))
            return true;
    } while (FindNextFileA(find.Get(), &data));
    return false;
}

// Copies a camera file out through GetData(CF_HDROP) (into a folder of the data object's own),
// and removes the copy that the list names.
Transfer CopyOut(CameraWindow& window, const char* name, ULONGLONG size)
{
    ComPtr<IDataObject> data = window.DataObjectFor(name);
    Transfer transfer;
    if (!data) return transfer;
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    HRESULT hr = E_FAIL;
    MemoryPeak peak;
    transfer.growth = peak.Growth([&] { transfer.seconds = Seconds([&] { hr = data->GetData(&format, &medium); }); });
    transfer.endedAt = NowSeconds();
    transfer.hr = hr;
    transfer.leftover = hr != S_OK && ContainsFile(TempCopiesFolder(), name);
    if (hr != S_OK) return transfer;
    wchar_t copy[MAX_PATH] = L"";
    DragQueryFileW(static_cast<HDROP>(medium.hGlobal), 0, copy, MAX_PATH);
    ReleaseStgMedium(&medium);
    FileHandle file(CreateFileW(copy, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER copied = {};
    transfer.whole = file && GetFileSizeEx(file.Get(), &copied) && static_cast<ULONGLONG>(copied.QuadPart) == size;
    file.Reset();
    DeleteFileW(copy);
    return transfer;
}

// Drops a PC file onto the view; the file it became on the camera is removed afterwards.
Transfer Upload(CameraWindow& window, const BenchFolders& folders, const char* source, const char* cameraName, ULONGLONG size)
{
    ComPtr<IDataObject> files = ShellDataObject(folders.source + source);
    ComPtr<ViewDropTarget> target = Adopt(ViewDropTarget::Create(window.View()));
    Transfer transfer;
    if (!files || !target) return transfer;
    DWORD effect = DROPEFFECT_COPY;
    HRESULT hr = E_FAIL;
    MemoryPeak peak;
    transfer.growth = peak.Growth([&] { transfer.seconds = Seconds([&] { hr = target->Drop(files.Get(), 0, {0, 0}, &effect); }); });
    transfer.endedAt = NowSeconds();
    transfer.hr = hr;
    transfer.whole = hr == S_OK && effect == DROPEFFECT_COPY && FileSize(folders.camera + cameraName) == size;
    transfer.leftover = !transfer.whole && (GetFileAttributesA((folders.camera + cameraName).c_str()) != INVALID_FILE_ATTRIBUTES ||
                                            HoldsOtherFiles(folders.camera, {"BIG.JPG", "MID.JPG"}));
    DeleteFileA((folders.camera + cameraName).c_str());
    window.View()->Refresh();
    window.WaitForListing();
    return transfer;
}

// What the probe thread sees of a transfer's progress dialog (the window of the given thread
// that holds the bytes text): the longest gap between changes of the bytes text, from the
// dialog's first sighting to its end; asked to, it clicks Cancel once the bar shows half.
class ProgressWatch {
public:
    ProgressWatch(DWORD windowThread, bool cancelAtHalf) : m_windowThread(windowThread), m_fCancelAtHalf(cancelAtHalf) {}

    // One look, on the probe's thread.
    void Sample()
    {
        const double now = NowSeconds();
        const HWND dialog = FindDialog();
        if (!dialog) {
            if (m_hwndDialog) NoteChange(now);  // the dialog went: its last text lasted until now
            m_hwndDialog = nullptr;
            return;
        }
        if (dialog != m_hwndDialog) {
            m_hwndDialog = dialog;
            m_lastChange = now;
            m_text.clear();
            m_fSeen = true;
        }
        wchar_t text[64] = L"";
        DWORD_PTR length = 0;
        if (SendMessageTimeoutW(GetDlgItem(dialog, IDC_PROGRESS_BYTES), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                                10000, &length) && m_text != text) {
            NoteChange(now);
            m_text = text;
        }
        if (m_fCancelAtHalf && m_clickedAt == 0 && HalfShown(dialog)) {
            m_clickedAt = NowSeconds();
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        }
    }
    double LongestGapMs() const { return m_longestGap * 1000; }
    // The same from the first bytes on: before the first segment lands no byte count exists.
    double LongestLaterGapMs() const { return m_longestLaterGap * 1000; }
    double ClickedAt() const { return m_clickedAt; }  // NowSeconds() of the click; 0: none
    bool Seen() const { return m_fSeen; }

private:
    struct Search {
        HWND found;
    };
    static BOOL CALLBACK Visit(HWND hwnd, LPARAM lParam)
    {
        if (!IsWindowVisible(hwnd) || !GetDlgItem(hwnd, IDC_PROGRESS_BYTES)) return TRUE;
        reinterpret_cast<Search*>(lParam)->found = hwnd;
        return FALSE;
    }
    HWND FindDialog() const
    {
        Search search = {nullptr};
        EnumThreadWindows(m_windowThread, Visit, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    // Whether the bar stands at half its range or beyond.
    static bool HalfShown(HWND dialog)
    {
        const HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
        DWORD_PTR position = 0, high = 0;
        return SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_NORMAL, 10000, &position) &&
               SendMessageTimeoutW(bar, PBM_GETRANGE, FALSE, 0, SMTO_NORMAL, 10000, &high) && high > 0 && 2 * position >= high;
    }
    void NoteChange(double now)
    {
        if (m_clickedAt == 0) m_longestGap = std::max(m_longestGap.load(), now - m_lastChange);  // a stopped bar stands still
        const bool afterFirstBytes = !m_text.empty() && m_text.rfind(L"0 ", 0) != 0;
        if (m_clickedAt == 0 && afterFirstBytes) m_longestLaterGap = std::max(m_longestLaterGap.load(), now - m_lastChange);
        m_lastChange = now;
    }

    const DWORD m_windowThread;
    const bool m_fCancelAtHalf;
    HWND m_hwndDialog = nullptr;
    std::wstring m_text;
    double m_lastChange = 0;
    std::atomic<double> m_longestGap = 0;
    std::atomic<double> m_longestLaterGap = 0;
    std::atomic<double> m_clickedAt = 0;
    std::atomic<bool> m_fSeen = false;
};

// A transfer run while the probe asks the browser's frame for answers and watches its dialog.
struct Watched {
    Transfer transfer;
    double longestWaitMs = 0;
    double longestWaitAt = 0;  // seconds into the run (which begins with a listing of the camera)
    size_t answersOver = 0;    // answers slower than the goal
    size_t answers = 0;
    double longestGapMs = 0;
    double longestLaterGapMs = 0;
    double clickToEndSeconds = -1;  // -1: no click
    bool dialogSeen = false;
};

Watched RunWatched(HWND frame, bool cancelAtHalf, const std::function<Transfer()>& run)
{
    ProgressWatch watch(GetCurrentThreadId(), cancelAtHalf);
    WindowProbe probe(frame, [&] { watch.Sample(); });
    Watched watched;
    if (!probe.Start()) return watched;
    const double started = NowSeconds();
    watched.transfer = run();
    probe.Stop();
    watched.longestWaitAt = probe.LongestWaitStart() - started;
    watched.answersOver = probe.AnswersOver(kAnswerGoalMs);
    watched.answers = probe.Answers();
    watched.longestWaitMs = probe.LongestWaitMs();
    watched.longestGapMs = watch.LongestGapMs();
    watched.longestLaterGapMs = watch.LongestLaterGapMs();
    watched.dialogSeen = watch.Seen();
    if (watch.ClickedAt() > 0) watched.clickToEndSeconds = watched.transfer.endedAt - watch.ClickedAt();
    return watched;
}

// CopyFileA of a file of the run into the target folder, the copy removed afterwards.
double CopyFileSeconds(const std::string& from, const BenchFolders& folders)
{
    const std::string to = folders.target + "reference.bin";
    DeleteFileA(to.c_str());
    const double seconds = Seconds([&] { CopyFileA(from.c_str(), to.c_str(), FALSE); });
    DeleteFileA(to.c_str());
    return seconds;
}

// Message boxes of the run are closed as they come (and counted): none is expected.
int g_cBoxes = 0;
HHOOK g_hBoxHook = nullptr;

LRESULT CALLBACK CloseBoxes(int code, WPARAM wParam, LPARAM lParam)
{
    char className[16] = "";
    const HWND hwnd = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && GetClassNameA(hwnd, className, sizeof(className)) && lstrcmpA(className, "#32770") == 0 &&
        GetDlgItem(hwnd, IDOK)) {
        ++g_cBoxes;
        PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(g_hBoxHook, code, wParam, lParam);
}

void PrintRow(const char* figure, const std::string& value, const std::string& reference)
{
    printf("%-46s %-16s %s\n", figure, value.c_str(), reference.c_str());
}

std::string Text(const char* format, double value)
{
    char text[96];
    snprintf(text, sizeof(text), format, value);
    return text;
}

const char* Verdict(bool met)
{
    return met ? "meets its goal" : "MISSES its goal";
}

std::string HResultText(HRESULT hr)
{
    char text[48];
    snprintf(text, sizeof(text), "; GetData 0x%08lX%s", static_cast<unsigned long>(hr), hr == E_ABORT ? " (E_ABORT)" : " (NOT E_ABORT)");
    return text;
}

// One direction at full speed: the fastest of the runs of the transfer and of CopyFileA on the
// same bytes (the run least disturbed by the disk's write-back and the machine's other work).
bool BenchThroughput(const char* figure, const std::function<Transfer()>& transfer, const std::string& referenceFile,
                     const BenchFolders& folders, SIZE_T* pGrowth)
{
    std::vector<double> ours, reference;
    bool whole = true;
    for (int run = 0; run < kRuns; ++run) {
        reference.push_back(CopyFileSeconds(referenceFile, folders));
        const Transfer result = transfer();
        ours.push_back(result.seconds);
        whole = whole && result.whole;
        *pGrowth = std::max(*pGrowth, result.growth);
    }
    const double oursRate = MiBPerSecond(kLargeFile, Fastest(ours));
    const double referenceRate = MiBPerSecond(kLargeFile, Fastest(reference));
    const bool met = whole && oursRate >= kThroughputGoal * referenceRate;
    PrintRow(figure, Text("%.0f MiB/s", oursRate),
             Text("CopyFileA %.0f MiB/s", referenceRate) + Text(", ratio %.2f", oursRate / referenceRate) +
                 Text(" (goal %.2f): ", kThroughputGoal) + Verdict(met) + (whole ? "" : "; BYTES MISSING"));
    return met;
}

bool PrintGrowth(const char* figure, SIZE_T growth)
{
    const bool met = growth <= kMemoryGoal;
    PrintRow(figure, Text("%.0f KiB", static_cast<double>(growth) / 1024.0),
             Text("one segment + 1 MiB = %.0f KiB: ", static_cast<double>(kMemoryGoal) / 1024.0) + Verdict(met));
    return met;
}

// The window's longest answer, and when it began.
bool PrintAnswer(const char* direction, const Watched& watched)
{
    const bool answered = watched.longestWaitMs <= kAnswerGoalMs;
    PrintRow((std::string(direction) + ": window's longest answer").c_str(), Text("%.0f ms", watched.longestWaitMs),
             Text("goal %.0f ms: ", kAnswerGoalMs) + Verdict(answered) + Text(" (asked %.1f s into the run; ", watched.longestWaitAt) +
                 std::to_string(watched.answersOver) + " of " + std::to_string(watched.answers) + " answers over the goal)");
    return answered;
}

// The window's answers and the dialog's changes during a rated transfer.
bool PrintWatched(const char* direction, const Watched& watched)
{
    const bool answered = PrintAnswer(direction, watched);
    const bool changing = watched.dialogSeen && watched.longestGapMs <= kTextGapGoalMs;
    PrintRow((std::string(direction) + ": bytes text's longest gap").c_str(), Text("%.0f ms", watched.longestGapMs),
             Text("goal %.0f ms: ", kTextGapGoalMs) + Verdict(changing) + (watched.dialogSeen ? "" : "; NO DIALOG SEEN"));
    PrintRow((std::string(direction) + ": the same from the first bytes on").c_str(), Text("%.0f ms", watched.longestLaterGapMs),
             "for information: a library call moves a whole segment (0.52 s at this rate) before any byte count exists");
    return answered && changing;
}

// A transfer stopped half-way: the time from the click to its end, and what it left.
bool PrintCancelled(const char* direction, const Watched& watched, bool wantAbort)
{
    const bool clicked = watched.clickToEndSeconds >= 0;
    const bool aborted = !wantAbort || watched.transfer.hr == E_ABORT;
    const bool met = clicked && watched.clickToEndSeconds <= kCancelGoalSeconds && !watched.transfer.leftover && aborted;
    std::string notes = Text("goal %.2f s: ", kCancelGoalSeconds) + Verdict(met);
    if (!clicked) notes += "; NEVER CLICKED (the transfer ended first)";
    notes += watched.transfer.leftover ? "; A PARTIAL FILE STAYED" : "; nothing partial left";
    if (wantAbort) notes += HResultText(watched.transfer.hr);
    PrintRow((std::string(direction) + ": Cancel at half, click to end").c_str(), clicked ? Text("%.3f s", watched.clickToEndSeconds) : "-",
             notes);
    return PrintAnswer(direction, watched) && met;
}

bool PrintRated(const char* figure, const Transfer& transfer)
{
    const double limit = kRateGoal * static_cast<double>(kRatedFile) / kRate;
    const bool met = transfer.whole && transfer.seconds <= limit;
    PrintRow(figure, Text("%.2f s", transfer.seconds),
             Text("size / rate %.2f s", static_cast<double>(kRatedFile) / kRate) + Text(", goal %.2f s: ", limit) + Verdict(met) +
                 (transfer.whole ? "" : "; BYTES MISSING"));
    return met;
}

// Both directions at full speed: throughput against CopyFileA, and the memory's growth.
bool BenchFullSpeed(CameraWindow& window, const BenchFolders& folders)
{
    SIZE_T outGrowth = 0, inGrowth = 0;
    bool met = BenchThroughput("copy out 256 MiB, GetData(CF_HDROP)", [&] { return CopyOut(window, "BIG.JPG", kLargeFile); },
                               folders.camera + "BIG.JPG", folders, &outGrowth);
    met = BenchThroughput("send in 256 MiB, the view's drop target",
                          [&] { return Upload(window, folders, "big.jpg", "BIG     .JPG", kLargeFile); }, folders.source + "big.jpg", folders,
                          &inGrowth) && met;
    met = PrintGrowth("private bytes growth, copying out", outGrowth) && met;
    return PrintGrowth("private bytes growth, sending in", inGrowth) && met;
}

// Both directions on the rated camera, watched by the probe: whole, then stopped half-way.
bool BenchRated(CameraWindow& window, const BenchFolders& folders)
{
    const auto copyOut = [&] { return CopyOut(window, "MID.JPG", kRatedFile); };
    const auto sendIn = [&] { return Upload(window, folders, "mid.jpg", "MID     .JPG", kRatedFile); };
    const Watched out = RunWatched(window.Frame(), false, copyOut);
    bool met = PrintRated("copy out 16 MiB at 1,000,000 B/s", out.transfer);
    met = PrintWatched("copy out", out) && met;
    const Watched in = RunWatched(window.Frame(), false, sendIn);
    met = PrintRated("send in 16 MiB at 1,000,000 B/s", in.transfer) && met;
    met = PrintWatched("send in", in) && met;
    met = PrintCancelled("copy out", RunWatched(window.Frame(), true, copyOut), true) && met;
    return PrintCancelled("send in", RunWatched(window.Frame(), true, sendIn), false) && met;
}

}  // namespace

int main()
{
    g_hinstModule = GetModuleHandleA(nullptr);
    OleInitialize(nullptr);
    g_hBoxHook = SetWindowsHookExA(WH_CBT, CloseBoxes, nullptr, GetCurrentThreadId());
    const BenchFolders folders = MakeFolders();
    bool ok = WritePatternFile(folders.camera + "BIG.JPG", kLargeFile) && WritePatternFile(folders.source + "big.jpg", kLargeFile) &&
              WritePatternFile(folders.camera + "MID.JPG", kRatedFile) && WritePatternFile(folders.source + "mid.jpg", kRatedFile);
    bool met = true;
    {
        DemoSettings demo(folders.camera.substr(0, folders.camera.size() - 1));
        PelSim_UseDemoFolderFromRegistry();
        CameraWindow window;
        ok = ok && window.Show();
        if (ok) {
            printf("Transfers with the simulated camera serving a PC folder (each figure beside its reference from this run)\n\n");
            // A first small round trip, so that the figures do not count what is made once per process.
            CopyOut(window, "MID.JPG", kRatedFile);
            Upload(window, folders, "mid.jpg", "MID     .JPG", kRatedFile);
            if (!GetEnvironmentVariableA("BENCH_RATED_ONLY", nullptr, 0)) met = BenchFullSpeed(window, folders) && met;  // set: rated alone
            demo.SetRate(kRate);
            met = BenchRated(window, folders) && met;
            printf("\nmessages shown: %d\nevery figure meets its goal: %s\n", g_cBoxes, met && g_cBoxes == 0 ? "yes" : "NO");
        }
        window.Close();
    }
    for (const std::string* folder : {&folders.camera, &folders.source, &folders.target}) {
        RemoveFiles(*folder);
        RemoveDirectoryA(folder->c_str());
    }
    RemoveDirectoryA(folders.root.c_str());
    UnhookWindowsHookEx(g_hBoxHook);
    OleUninitialize();
    if (!ok) fprintf(stderr, "transferbench: the files or the camera folder could not be set up\n");
    return ok ? 0 : 1;
}

// The camera folder opened on a slow camera: 2,700 files at 50 ms a library call, as real
// cameras list. While the rows arrive a probe thread asks the browser's frame window for an
// answer every 20 ms; printed beside their goals: the longest wait for an answer, when the
// first 50 rows showed, and how long the whole listing took against the camera's own time.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <cstdio>
#include <string>
#include <vector>
#include "bench/BenchTiming.h"
#include "folder/CameraFolder.h"
#include "host/HostBrowser.h"
#include "base/ModuleState.h"
#include "pelcore/PelSim.h"

namespace {

constexpr int kFiles = 2700;
constexpr unsigned kCallLatencyMs = 50;
constexpr DWORD kProbeEveryMs = 20;
constexpr int kFirstRows = 50;
constexpr UINT kListId = 2000;  // the view's list in its window

// A steady clock in seconds.
double NowSeconds()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// What the probe thread measures of the window's thread while the listing runs.
struct Probe {
    HWND frame = nullptr;
    HWND view = nullptr;  // set once the view exists
    double start = 0;
    volatile LONG stop = 0;
    double longestWaitMs = 0;
    double firstRowsSeconds = -1;
};

// Rows of the view's list, asked across threads; -1 when the window did not answer.
int RowCount(HWND view)
{
    HWND list = view ? GetDlgItem(view, kListId) : nullptr;
    DWORD_PTR count = 0;
    if (!list || !SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 10000, &count)) return -1;
    return static_cast<int>(count);
}

DWORD WINAPI ProbeThread(void* parameter)
{
    auto* probe = static_cast<Probe*>(parameter);
    while (!InterlockedCompareExchange(&probe->stop, 0, 0)) {
        const double asked = NowSeconds();
        DWORD_PTR result = 0;
        SendMessageTimeoutA(probe->frame, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
        const double waitMs = (NowSeconds() - asked) * 1000;
        if (waitMs > probe->longestWaitMs) probe->longestWaitMs = waitMs;
        if (probe->firstRowsSeconds < 0 && RowCount(probe->view) >= kFirstRows) probe->firstRowsSeconds = NowSeconds() - probe->start;
        Sleep(kProbeEveryMs);
    }
    return 0;
}

void AddCameraFiles()
{
    PelSim_Reset();
    const unsigned char data[16] = {};
    char name[16];
    for (int i = 0; i < kFiles; ++i) {
        snprintf(name, sizeof(name), "DSC%05d.JPG", i + 1);
        PelSim_AddFile(name, data, sizeof(data));
    }
    PelSim_SetLinkTiming(0, kCallLatencyMs);
}

void PrintRow(const char* figure, double value, const char* unit, const std::string& reference)
{
    printf("%-40s %10.3f %s   %s\n", figure, value, unit, reference.c_str());
}

}  // namespace

int main()
{
    g_hinstModule = GetModuleHandleW(nullptr);
    if (FAILED(OleInitialize(nullptr))) return 1;
    AddCameraFiles();
    ComPtr<HostBrowser> browser = Adopt(HostBrowser::Create(HostOptions{}));
    ComPtr<IShellFolder> folder = Adopt(CreateCameraFolder(nullptr));
    if (!browser || !folder) return 1;
    Probe probe;
    probe.frame = browser->FrameWindow();
    probe.start = NowSeconds();
    KernelHandle thread(CreateThread(nullptr, 0, ProbeThread, &probe, 0, nullptr));
    const HRESULT hr = browser->ShowFolder(folder.Get());
    probe.view = browser->ViewWindow();
    const double shown = NowSeconds() - probe.start;
    const bool listed = SUCCEEDED(hr) && browser->PumpUntil([&] { return RowCount(probe.view) >= kFiles; }, 400000);
    const double whole = NowSeconds() - probe.start;
    InterlockedExchange(&probe.stop, 1);
    WaitForSingleObject(thread.Get(), INFINITE);
    browser->Close();
    if (!listed) {
        printf("the listing did not end (0x%08lX)\n", static_cast<unsigned long>(hr));
        return 1;
    }
    const double cameraSeconds = kFiles * kCallLatencyMs / 1000.0;
    char goal[96];
    PrintRow("the window made (ShowFolder returns)", shown, "s", "");
    PrintRow("longest wait for the window's answer", probe.longestWaitMs, "ms", "goal 100 ms");
    snprintf(goal, sizeof(goal), "goal %.3f s (50 files x 50 ms + 0.5 s)", kFirstRows * kCallLatencyMs / 1000.0 + 0.5);
    PrintRow("first 50 rows shown after", probe.firstRowsSeconds, "s", goal);
    snprintf(goal, sizeof(goal), "goal %.3f s; the camera's own time %.3f s", 1.05 * cameraSeconds, cameraSeconds);
    PrintRow("whole listing of 2,700 files", whole, "s", goal);
    OleUninitialize();
    return 0;
}

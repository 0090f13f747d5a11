// The camera folder opened on a slow camera: 2,700 files at 50 ms a library call, as real
// cameras list. While the rows arrive a probe thread asks the browser's frame window for an
// answer every 20 ms; printed beside their goals: the longest wait for an answer, when the
// first 50 rows showed, and how long the whole listing took against the camera's own time.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>
#include "bench/BenchTiming.h"
#include "bench/WindowProbe.h"
#include "folder/CameraFolder.h"
#include "host/HostBrowser.h"
#include "base/ModuleState.h"
#include "pelcore/PelSim.h"
#include "view/CameraView.h"

namespace {

constexpr int kFiles = 2700;
constexpr unsigned kCallLatencyMs = 50;
constexpr int kFirstRows = 50;
constexpr double kAnswerGoalMs = 100;

// Rows of the view's list, asked across threads; -1 when the window did not answer.
int RowCount(HWND view)
{
    HWND list = view ? GetDlgItem(view, IDC_LIST) : nullptr;
    DWORD_PTR count = 0;
    if (!list || !SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 10000, &count)) return -1;
    return static_cast<int>(count);
}

// Whether the view still reads the camera (asked on the view's own thread).
bool IsListing(HWND hwndView)
{
    ComPtr<CameraView> view = Adopt(ViewFromWindow(hwndView));
    return view && view->IsListing();
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

const char* Verdict(bool met)
{
    return met ? "meets its goal" : "MISSES its goal";
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
    // The probe thread watches for the first rows once the view window exists.
    std::atomic<HWND> view = nullptr;
    std::atomic<double> firstRows = -1;
    const double start = NowSeconds();
    WindowProbe probe(browser->FrameWindow(), [&] {
        if (firstRows < 0 && RowCount(view) >= kFirstRows) firstRows = NowSeconds() - start;
    });
    if (!probe.Start()) return 1;
    const HRESULT hr = browser->ShowFolder(folder.Get());
    view = browser->ViewWindow();
    const double shown = NowSeconds() - start;
    const bool listed = SUCCEEDED(hr) && browser->PumpUntil([&] { return !IsListing(view); }, 400000) && RowCount(view) == kFiles;
    const double whole = NowSeconds() - start;
    probe.Stop();
    browser->Close();
    if (!listed) {
        printf("the listing did not end (0x%08lX)\n", static_cast<unsigned long>(hr));
        return 1;
    }
    const double cameraSeconds = kFiles * kCallLatencyMs / 1000.0;
    const double firstRowsGoal = kFirstRows * kCallLatencyMs / 1000.0 + 0.5;
    char goal[160];
    PrintRow("the window made (ShowFolder returns)", shown, "s", "");
    snprintf(goal, sizeof(goal), "goal %.0f ms: %s (at %.1f s; %zu of %zu answers over the goal)", kAnswerGoalMs,
             Verdict(probe.LongestWaitMs() <= kAnswerGoalMs), probe.LongestWaitStart() - start, probe.AnswersOver(kAnswerGoalMs),
             probe.Answers());
    PrintRow("longest wait for the window's answer", probe.LongestWaitMs(), "ms", goal);
    snprintf(goal, sizeof(goal), "goal %.3f s (50 files x 50 ms + 0.5 s): %s", firstRowsGoal,
             Verdict(firstRows >= 0 && firstRows <= firstRowsGoal));
    PrintRow("first 50 rows shown after", firstRows.load(), "s", goal);
    snprintf(goal, sizeof(goal), "goal %.3f s: %s; the camera's own time %.3f s", 1.05 * cameraSeconds, Verdict(whole <= 1.05 * cameraSeconds),
             cameraSeconds);
    PrintRow("whole listing of 2,700 files", whole, "s", goal);
    OleUninitialize();
    return 0;
}

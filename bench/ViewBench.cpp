// Figures of the camera view over 10,000 camera files in the host's browser, each printed
// beside its reference measured in the same run:
//   - the fill: the view's Refresh until its worker has read every file and the window shows
//     every row (the window's messages pumped meanwhile), against the camera listing alone
//     (the folder's EnumObjects on this thread), and the view's own share (the difference:
//     rows, sort by name, paint), against its goal and against 10,000 callback rows put
//     into a bare list;
//   - a click on each column header, ascending and descending, against 10,000 type-name
//     lookups of the shell (what sorting by asking the shell per row would cost at least).
// It also checks that every sorted order is the one CompareIDs gives.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>
#include "bench/BenchTiming.h"
#include "folder/CameraFolder.h"
#include "host/HostBrowser.h"
#include "base/ModuleState.h"
#include "pelcore/PelSim.h"
#include "view/CameraView.h"

namespace {

constexpr int kFiles = 10000;
constexpr int kFillRuns = 5;
constexpr double kFillGoalSeconds = 0.25;
constexpr DWORD kFillTimeoutMs = 60000;
const char* const kExtensions[] = {"JPG", "WAV", "MOV", "MP3", "TXT", "INI", "AVI", "BMP", "jpg", "QQZ"};

// The folder's own listing of every file on this thread (as outside callers of EnumObjects
// get it): what the view's worker asks of the link and the simulated camera.
double ListingSeconds(IShellFolder* folder)
{
    return Seconds([&] {
        ComPtr<IEnumIDList> items;
        if (folder->EnumObjects(nullptr, SHCONTF_NONFOLDERS, items.GetAddressOf()) != S_OK) return;
        LPITEMIDLIST pidl = nullptr;
        while (items->Next(1, &pidl, nullptr) == S_OK) CoTaskMemFree(pidl);
    });
}

// 10,000 files of ten extensions (two of them unknown to the shell) and sizes up to 4 KiB,
// listed in no particular order.
std::vector<std::string> AddCameraFiles()
{
    PelSim_Reset();
    std::vector<unsigned char> data(4096, 'x');
    std::vector<std::string> names;
    for (int i = 0; i < kFiles; ++i) {
        char name[16];
        const int number = (i * 7919) % kFiles;
        snprintf(name, sizeof(name), "P%07d.%s", number, kExtensions[(i * 31) % std::size(kExtensions)]);
        PelSim_AddFile(name, data.data(), 1 + static_cast<unsigned>((i * 2654435761u) % 4096));
        names.push_back(name);
    }
    return names;
}

// 10,000 callback rows into a list of the same kind with redraw off.
double BareListSeconds(HWND parent)
{
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, nullptr, WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 400, 300,
                                parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    for (int column = 0; column < 3; ++column) {
        LVCOLUMNA info = {};
        info.mask = LVCF_WIDTH;
        info.cx = 100;
        SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&info));
    }
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    const double seconds = Seconds([&] {
        for (int row = 0; row < kFiles; ++row) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
            item.iItem = row;
            item.pszText = LPSTR_TEXTCALLBACKA;
            item.iImage = I_IMAGECALLBACK;
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
    });
    DestroyWindow(list);
    return seconds;
}

// The shell's type name of every camera file, asked one by one.
double TypeLookupSeconds(const std::vector<std::string>& names)
{
    return Seconds([&] {
        for (const std::string& name : names) {
            SHFILEINFOA info = {};
            SHGetFileInfoA(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
        }
    });
}

// Clicks the middle of a column's header, as the mouse would.
void ClickHeader(HWND list, int column)
{
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT rc = {};
    SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&rc));
    const LPARAM point = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(header, WM_LBUTTONUP, 0, point);
}

// Whether every two neighbouring rows are in the order CompareIDs gives for the column.
bool InCompareIDsOrder(HWND list, IShellFolder* folder, int column, int direction)
{
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    LPARAM previous = 0;
    for (int row = 0; row < count; ++row) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        if (row > 0) {
            const HRESULT hr = folder->CompareIDs(column, reinterpret_cast<LPCITEMIDLIST>(previous),
                                                  reinterpret_cast<LPCITEMIDLIST>(item.lParam));
            if (static_cast<short>(LOWORD(static_cast<DWORD>(hr))) * direction > 0) return false;
        }
        previous = item.lParam;
    }
    return count == kFiles;
}

void PrintRow(const char* figure, double seconds, const std::string& reference)
{
    printf("%-44s %9.3f s   %s\n", figure, seconds, reference.c_str());
}

std::string SecondsText(const char* what, double seconds)
{
    char text[128];
    snprintf(text, sizeof(text), "%s %.3f s", what, seconds);
    return text;
}

// Refreshes the view several times, each until the reading is over: the medians of the whole
// fill and of the folder's own listing. False when a fill did not end or missed rows.
bool BenchFill(HostBrowser* browser, IShellFolder* folder)
{
    ComPtr<CameraView> view = Adopt(ViewFromWindow(browser->ViewWindow()));
    if (!view) return false;
    // The reading the window's creation started, first.
    bool filled = browser->PumpUntil([&] { return !view->IsListing(); }, kFillTimeoutMs);
    std::vector<double> totals, listings;
    for (int run = 0; run < kFillRuns && filled; ++run) {
        totals.push_back(Seconds([&] {
            view->Refresh();
            filled = browser->PumpUntil([&] { return !view->IsListing(); }, kFillTimeoutMs);
        }));
        filled = filled && view->Rows().RowCount() == kFiles;
        listings.push_back(ListingSeconds(folder));
    }
    if (!filled) {
        printf("a fill did not end within %lu s or missed rows\n", kFillTimeoutMs / 1000);
        return false;
    }
    std::vector<double> own;
    for (int run = 0; run < kFillRuns; ++run) own.push_back(totals[run] - listings[run]);
    const double bare = BareListSeconds(browser->FrameWindow());
    char goal[64];
    snprintf(goal, sizeof(goal), "goal %.3f s", kFillGoalSeconds);
    PrintRow("fill, the view's own (whole - listing)", Median(own), std::string(goal) + SecondsText(";  bare list, 10,000 callback rows", bare));
    PrintRow("camera listing alone (EnumObjects)", Median(listings), "");
    PrintRow("fill, Refresh until every row shows", Median(totals), "");
    return true;
}

// Clicks the headers: Size, Size, Type, Type, Name, Name.
bool BenchSort(HWND list, IShellFolder* folder, double lookupSeconds)
{
    struct Click {
        int column;
        int direction;
        const char* figure;
    };
    const Click clicks[] = {
        {kColumnSize, 1, "sort by Size, ascending (header click)"},  {kColumnSize, -1, "sort by Size, descending"},
        {kColumnType, 1, "sort by Type, ascending"},                {kColumnType, -1, "sort by Type, descending"},
        {kColumnName, 1, "sort by Name, ascending"},                {kColumnName, -1, "sort by Name, descending"},
    };
    bool ordered = true;
    const std::string reference = SecondsText("10,000 type-name lookups", lookupSeconds);
    for (const Click& click : clicks) {
        PrintRow(click.figure, Seconds([&] { ClickHeader(list, click.column); }), reference);
        ordered = InCompareIDsOrder(list, folder, click.column, click.direction) && ordered;
    }
    return ordered;
}

}  // namespace

int main()
{
    g_hinstModule = GetModuleHandleA(nullptr);
    OleInitialize(nullptr);
    const std::vector<std::string> names = AddCameraFiles();
    ComPtr<HostBrowser> browser = Adopt(HostBrowser::Create(HostOptions{}));
    ComPtr<IShellFolder> folder = Adopt(CreateCameraFolder(nullptr));
    if (!browser || !folder || FAILED(browser->ShowFolder(folder.Get()))) {
        fprintf(stderr, "bench: the camera folder could not be shown\n");
        return 1;
    }
    HWND list = GetDlgItem(browser->ViewWindow(), IDC_LIST);
    printf("Camera view, %d camera files (each figure beside its reference from this run)\n\n", kFiles);
    const bool filled = BenchFill(browser.Get(), folder.Get());
    const double lookups = TypeLookupSeconds(names);
    const bool ordered = filled && BenchSort(list, folder.Get(), lookups);
    printf("\nevery sorted order is CompareIDs's: %s\n", ordered ? "yes" : "NO");
    browser->Close();
    browser.Reset();
    folder.Reset();
    OleUninitialize();
    return ordered ? 0 : 1;
}

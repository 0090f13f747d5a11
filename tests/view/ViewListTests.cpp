// The view's list in the host's browser: the fill from the camera, the orders of the
// header clicks, the column widths a divider drag stores, the shell settings and the
// camera's request to list it again.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include "CameraViewTestSupport.h"
#include "folder/CameraFolder.h"
#include "items/ItemIdManager.h"
#include "base/Raii.h"
#include "view/DisplaySettings.h"

namespace {

// The names of files in the order CompareIDs gives for a column and a direction.
std::vector<std::string> OrderOf(const CameraFiles& files, int column, int direction)
{
    ComPtr<IShellFolder> folder = Adopt(CreateCameraFolder(nullptr));
    auto manager = ItemIdManager::Create();
    std::vector<LPITEMIDLIST> items;
    for (const auto& [name, size] : files) items.push_back(manager->CreateItem(name.c_str(), size));
    std::sort(items.begin(), items.end(), [&](LPITEMIDLIST a, LPITEMIDLIST b) {
        return static_cast<short>(LOWORD(folder->CompareIDs(column, a, b))) * direction < 0;
    });
    std::vector<std::string> names;
    for (LPITEMIDLIST item : items) {
        char name[MAX_PATH];
        manager->GetItemName(item, name, MAX_PATH);
        names.push_back(name);
        manager->Delete(item);
    }
    return names;
}

class ViewListTest : public CameraViewTest {};

TEST_F(ViewListTest, FillShowsEveryFileByNameWithItsTexts)
{
    const CameraFiles files = {{"b.TXT", 300}, {"A.JPG", 2000}, {"a.JPG", 1}, {"C.WAV", 150000}, {"NOEXT", 5}};
    AddFiles(files);
    ShowCamera();

    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A.JPG", "C.WAV", "NOEXT", "a.JPG", "b.TXT"}));
    auto manager = ItemIdManager::Create();
    for (int row = 0; row < 5; ++row) {
        LPCITEMIDLIST item = RowItem(row);
        ASSERT_TRUE(ItemIdManager::IsCameraItem(item)) << row;
        char size[MAX_PATH], type[MAX_PATH];
        manager->GetItemSizeText(item, size, MAX_PATH);
        manager->GetItemTypeName(item, type, MAX_PATH);
        EXPECT_EQ(RowTexts(row), (std::vector<std::string>{RowNames()[row], size, type}));
        LVITEMA image = {};
        image.mask = LVIF_IMAGE;
        image.iItem = row;
        SendMessageA(List(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&image));
        EXPECT_EQ(image.iImage, manager->GetItemIconIndex(item)) << row;
    }
    EXPECT_EQ(CountCalls("ZQ_GetNumFiles"), 1u);
    EXPECT_EQ(CountCalls("ZQ_GetFileSize"), files.size());
    EXPECT_FALSE(PelSim_IsLinkOpen()) << "the listing's link stays open";
    EXPECT_EQ(m_capture.Count(), 0u);
}

TEST_F(ViewListTest, HeaderClicksSortAsCompareIDs)
{
    const CameraFiles files = {{"Zeta.TXT", 40}, {"yak.WAV", 10}, {"Xray.JPG", 50}, {"walk.AVI", 30}, {"Vine.INI", 20}};
    AddFiles(files);
    ShowCamera();
    enum Step { None, ClickName, ClickSize, ClickType, Refresh };
    struct Row {
        Step step;
        int column;
        int direction;
    };
    const Row script[] = {
        {None, kColumnName, 1},    {ClickSize, kColumnSize, 1}, {ClickSize, kColumnSize, -1},
        {ClickType, kColumnType, 1}, {ClickName, kColumnName, 1}, {ClickName, kColumnName, -1},
        {Refresh, kColumnName, 1},  // a fill sorts by name, ascending, whatever came before
        {ClickName, kColumnName, 1},  // the click after it turns the last direction (-1) round
        {ClickName, kColumnName, -1}, {ClickType, kColumnType, 1}, {ClickType, kColumnType, -1},
    };
    int step = 0;
    for (const Row& row : script) {
        if (row.step == Refresh) {
            m_pBrowser->ActiveView()->Refresh();
            PumpQueued();
        }
        if (row.step == ClickName || row.step == ClickSize || row.step == ClickType)
            ClickHeader(row.step == ClickName ? kColumnName : row.step == ClickSize ? kColumnSize : kColumnType);
        EXPECT_EQ(RowNames(), OrderOf(files, row.column, row.direction)) << "step " << step;
        ++step;
    }
}

TEST_F(ViewListTest, DividerDragStoresTheNewWidth)
{
    AddFiles({{"A.JPG", 10}});
    WriteStoredDisplaySettings({150, 0, 0, 0, 60, 0, 0, 0, 90, 0, 0, 0});
    ReadDisplaySettings();
    ShowCamera();
    EXPECT_EQ(ColumnWidths(), (std::vector<int>{150, 60, 90}));

    DragDivider(kColumnSize, 25);  // the list still answers 60 when the drag ends
    EXPECT_EQ(ReadStoredDisplaySettings(), (std::vector<BYTE>{150, 0, 0, 0, 85, 0, 0, 0, 90, 0, 0, 0}));
    EXPECT_EQ(ColumnWidths(), (std::vector<int>{150, 85, 90}));

    DoubleClickDivider(kColumnType);  // sizes the column to its texts, but is no drag
    EXPECT_EQ(ReadStoredDisplaySettings(), (std::vector<BYTE>{150, 0, 0, 0, 85, 0, 0, 0, 90, 0, 0, 0}));

    DragDivider(kColumnName, -40);
    CloseBrowser();
    ShowCamera();
    EXPECT_EQ(ColumnWidths(), (std::vector<int>{110, 85, ColumnWidths()[2]}));
    EXPECT_EQ(ReadStoredDisplaySettings()[0], 110);
}

// Runs at the screen's 96 DPI here and, as the test view_192dpi, in a prefix whose screen
// is at 192 DPI (LUMORA_SCREEN_DPI says which the run is for).
TEST_F(ViewListTest, DefaultColumnWidthsFollowTheScreensDpiStoredOnesStay)
{
    char wanted[8] = "96";
    GetEnvironmentVariableA("LUMORA_SCREEN_DPI", wanted, sizeof(wanted));
    const WindowDC screen(nullptr);
    const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSX);
    ASSERT_EQ(dpi, atoi(wanted)) << "the prefix's screen is not at the DPI of this run";
    struct Row {
        const char* what;
        std::vector<BYTE> stored;  // empty: no value
        std::vector<int> at96, at192;
    };
    const Row rows[] = {
        {"no value", {}, {100, 100, 100}, {200, 200, 200}},
        {"12 bytes", {150, 0, 0, 0, 60, 0, 0, 0, 90, 0, 0, 0}, {150, 60, 90}, {150, 60, 90}},
        {"8 bytes: the type column's default", {150, 0, 0, 0, 60, 0, 0, 0}, {150, 60, 100}, {150, 60, 200}},
    };
    AddFiles({{"A.JPG", 10}});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DeleteStoredDisplaySettings();
        if (!row.stored.empty()) WriteStoredDisplaySettings(row.stored);
        ReadDisplaySettings();
        ShowCamera();
        EXPECT_EQ(ColumnWidths(), dpi == 192 ? row.at192 : row.at96);
        CloseBrowser();
    }
}

TEST_F(ViewListTest, ShellStateSettingChangeSetsTheListStyleAgain)
{
    AddFiles({{"A.JPG", 10}});
    ShowCamera();
    struct Row {
        const char* setting;
        DWORD styleAfter;
    };
    const Row rows[] = {
        {"ShellState", 0}, {"shellstate", 0}, {"Policy", LVS_EX_GRIDLINES}, {nullptr, LVS_EX_GRIDLINES},
    };
    for (const Row& row : rows) {
        SendMessageA(List(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES);
        SendMessageA(ViewWindow(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(row.setting));
        EXPECT_EQ(SendMessageA(List(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), static_cast<LRESULT>(row.styleAfter))
            << (row.setting ? row.setting : "(none)");
    }
}

TEST_F(ViewListTest, CameraAsksTheViewToListAgain)
{
    AddFiles({{"A.JPG", 10}, {"B.JPG", 20}, {"C.JPG", 30}});
    ShowCamera();
    PelSim_AddFile("NEW.JPG", reinterpret_cast<const unsigned char*>("x"), 1);
    PostMessageA(ViewWindow(), CameraRefreshMessage(), 0, 0);
    PumpQueued();
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A.JPG", "B.JPG", "C.JPG", "NEW.JPG"}));

    // A listed file that is gone: the user hears of it once, in a box over the view's frame,
    // and the view lists the camera again (quietly) when the listing is over.
    PelSim_SetFileListing("B.JPG", ' ', 1);
    PelSim_ClearLog();
    m_pBrowser->ActiveView()->Refresh();
    PumpQueued();
    ASSERT_EQ(m_capture.Count(), 1u);
    EXPECT_EQ(m_capture.Dialogs()[0].owner, GetAncestor(ViewWindow(), GA_ROOT));
    EXPECT_EQ(CountCalls("ZQ_GetNumFiles"), 2u);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A.JPG"}));
}

// A camera of 60 files at 20 ms a call: the window is there before the camera is read, the
// rows come while the reading runs and end in name order, the window's thread makes no
// camera call, and closing the window in the middle stops the reading at once.
TEST_F(ViewListTest, ASlowReadingComesInRowsOffTheWindowsThreadAndStopsWithTheWindow)
{
    auto nameOf = [](int i) {
        char name[16];
        snprintf(name, sizeof(name), "F%d.JPG", 100 + i);
        return std::string(name);
    };
    CameraFiles files;
    for (int i = 60; i >= 1; --i) files.push_back({nameOf(i), 10});
    AddFiles(files);
    PelSim_SetLinkTiming(0, 20);
    for (const bool closeEarly : {false, true}) {
        SCOPED_TRACE(closeEarly ? "closed in the middle" : "read to the end");
        PelSim_ClearLog();
        m_pBrowser = Adopt(HostBrowser::Create(HostOptions{}));
        ComPtr<IShellFolder> folder = Adopt(CreateCameraFolder(nullptr));
        ASSERT_EQ(m_pBrowser->ShowFolder(folder.Get()), S_OK);
        EXPECT_TRUE(View()->IsListing()) << "the window waited for the camera";
        ASSERT_TRUE(m_pBrowser->PumpUntil([this] { return RowNames().size() >= 5; }, 10000));
        EXPECT_TRUE(View()->IsListing()) << "no row showed before the reading ended";
        if (closeEarly) {
            const ULONGLONG closing = GetTickCount64();
            CloseBrowser();
            EXPECT_LT(GetTickCount64() - closing, 1000u);
            EXPECT_LT(CallsOf("ZQ_GetFileSize").size(), files.size()) << "the reading went on without its window";
            EXPECT_FALSE(PelSim_IsLinkOpen());
            continue;
        }
        PumpQueued();
        std::vector<std::string> sorted;
        for (int i = 1; i <= 60; ++i) sorted.push_back(nameOf(i));
        EXPECT_EQ(RowNames(), sorted);
        for (const PelSimCall& call : CameraLog()) EXPECT_NE(call.thread, GetCurrentThreadId()) << call.function;
        CloseBrowser();
    }
}

TEST_F(ViewListTest, RowsNeverHoldANullIdentifier)
{
    AddFiles({{"A.JPG", 10}, {"BB.JPG", 20}, {"CCC.JPG", 30}});
    {
        // The first allocation of BB.JPG's 20 bytes is the item the listing makes of it.
        AllocationFailure failure(6 + 6 + 1 + 4 + 3, 1);
        ShowCamera();
        EXPECT_TRUE(failure.Happened());
    }
    ASSERT_EQ(RowNames(), (std::vector<std::string>{"A.JPG"}));
    EXPECT_TRUE(ItemIdManager::IsCameraItem(RowItem(0)));
}

}  // namespace

TEST_F(ViewListTest, CutMarksFollowTheItemsNamesAndCutRowsGoFromTheBottomUp)
{
    AddFiles({{"A.JPG", 10}, {"B.JPG", 20}, {"C.JPG", 30}});
    ShowCamera();
    ComPtr<CameraView> view = View();
    auto manager = ItemIdManager::Create();
    LPITEMIDLIST a = manager->CreateItem("A.JPG", 99);  // another size: the name alone finds the row
    LPITEMIDLIST c = manager->CreateItem("C.JPG", 30);
    LPITEMIDLIST lower = manager->CreateItem("c.jpg", 30);  // names are told apart byte for byte
    LPITEMIDLIST gone = manager->CreateItem("GONE.JPG", 1);
    auto cutRows = [&] {
        std::vector<int> rows;
        for (int row = 0; row < static_cast<int>(RowNames().size()); ++row)
            if (SendMessageA(List(), LVM_GETITEMSTATE, row, LVIS_CUT)) rows.push_back(row);
        return rows;
    };

    EXPECT_EQ(view->Rows().FindListItem(c), 2);
    EXPECT_EQ(view->Rows().FindListItem(lower), -1);
    LPCITEMIDLIST marked[] = {a, gone, c, lower};
    view->MarkCutItems(marked, 4, TRUE);
    EXPECT_EQ(cutRows(), (std::vector<int>{0, 2}));
    view->MarkCutItems(marked + 2, 1, FALSE);
    EXPECT_EQ(cutRows(), (std::vector<int>{0}));
    view->MarkCutItems(marked, 4, TRUE);
    view->RemoveCutRows();
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"B.JPG"}));

    for (LPITEMIDLIST item : {a, c, lower, gone}) manager->Delete(item);
}

TEST_F(ViewListTest, RefreshAskedDuringAnOperationWaitsForItsEnd)
{
    AddFiles({{"A.JPG", 10}});
    ShowCamera();
    ComPtr<CameraView> view = View();
    PelSim_AddFile("B.JPG", reinterpret_cast<const unsigned char*>("x"), 1);
    {
        ViewOperation first(view.Get());
        ASSERT_TRUE(first);
        ViewOperation nested(view.Get());
        EXPECT_FALSE(nested) << "a second operation ran inside the first";
        view->Refresh();
        PumpQueued();
        EXPECT_EQ(RowNames(), (std::vector<std::string>{"A.JPG"})) << "the rows went in the middle of the operation";
    }
    PumpQueued();
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A.JPG", "B.JPG"}));
    ViewOperation after(view.Get());
    EXPECT_TRUE(after);
}

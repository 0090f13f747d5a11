// What the view puts into the host's browser: merged menus by focus and Help popup,
// toolbar buttons and their states, the status bar's parts and texts, the states of menu
// items when a popup opens, and activation with the camera link.
#include <shlwapi.h>
#include <optional>
#include "CameraViewTestSupport.h"
#include "folder/CameraFolder.h"
#include "resources/resource.h"

namespace {

const std::vector<std::string> kViewModeItems = {"", "Lar&ge Icons", "S&mall Icons", "&List", "&Details", "T&humbnails"};

class BrowserMergeTest : public CameraViewTest {
protected:
    // Two JPEG photos and a text, 9,000 bytes in all.
    void ShowThreeFiles(HostOptions options = {})
    {
        AddFiles({{"A.JPG", 1000}, {"B.JPG", 3000}, {"C.TXT", 5000}});
        ShowCamera(options);
    }
    static std::string ByteSize(ULONGLONG bytes)
    {
        char text[64] = "";
        StrFormatByteSize64A(static_cast<LONGLONG>(bytes), text, sizeof(text));
        return text;
    }
    // The state of a menu item by command: MFS_GRAYED, MFS_CHECKED, ...
    static UINT ItemState(HMENU menu, UINT id)
    {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STATE;
        return GetMenuItemInfoA(menu, id, FALSE, &info) ? info.fState : 0xFFFFFFFF;
    }
};

TEST_F(BrowserMergeTest, MenusFollowTheFocusAndTheHelpPopup)
{
    struct Row {
        const char* what;
        bool fHelpItem;
        bool fFocusInView;
        const char* productName;
        std::vector<std::string> file, edit, help;
    };
    const std::vector<std::string> viewWithFocus = {"&Open", "", "&Delete", "", "&Close\tCtrl+W"};
    const std::vector<std::string> editWithFocus = {"&Copy\tCtrl+C", "Cu&t\tCtrl+X", "&Paste\tCtrl+V", "", "Select &All\tCtrl+A",
                                                    "&Invert Selection", "Go to &Address\tAlt+D"};
    const Row rows[] = {
        {"focus", false, true, nullptr, viewWithFocus, editWithFocus, {"&About Lumora Host", "About &Lumora"}},
        {"no focus", false, false, nullptr, {"&Close\tCtrl+W"}, {"Go to &Address\tAlt+D"}, {"&About Lumora Host", "About &Lumora"}},
        {"help item", true, true, nullptr, viewWithFocus, editWithFocus, {"About &Lumora", "Help &Topics", "&About Lumora Host"}},
        {"product name", false, true, "Zephyr Cam", viewWithFocus, editWithFocus, {"&About Lumora Host", "A&bout Zephyr Cam"}},
    };
    for (const Row& row : rows) {
        std::optional<ProductNameScope> product;
        if (row.productName) product.emplace(row.productName);
        HostOptions options;
        options.fHelpItem = row.fHelpItem;
        ShowThreeFiles(options);
        for (int pass = 0; pass < 2; ++pass) {  // activated again: the menu is built anew, not added to
            if (row.fFocusInView) m_pBrowser->FocusAddressBox(), m_pBrowser->FocusView();
            else m_pBrowser->FocusView(), m_pBrowser->FocusAddressBox();
            EXPECT_EQ(PopupTexts(FCIDM_MENU_FILE), row.file) << row.what;
            EXPECT_EQ(PopupTexts(FCIDM_MENU_EDIT), row.edit) << row.what;
            std::vector<std::string> view = {"&Up One Level"};
            view.insert(view.end(), kViewModeItems.begin(), kViewModeItems.end());
            view.insert(view.end(), {"", "&Refresh\tF5"});
            EXPECT_EQ(PopupTexts(FCIDM_MENU_VIEW), view) << row.what;
            EXPECT_EQ(PopupTexts(FCIDM_MENU_HELP), row.help) << row.what;
        }
        CloseBrowser();
        PelSim_Reset();
    }
}

TEST_F(BrowserMergeTest, ActivationInTheSameStateChangesNothing)
{
    ShowThreeFiles();
    const size_t merges = m_pBrowser->Calls().Count("InsertMenusSB");
    const size_t texts = m_pBrowser->Calls().Count("SendControlMsg(FCW_STATUS, SB_SETTEXTA, *)");
    EXPECT_EQ(m_pBrowser->ActiveView()->UIActivate(SVUIA_ACTIVATE_FOCUS), S_OK);
    EXPECT_EQ(m_pBrowser->Calls().Count("InsertMenusSB"), merges);
    EXPECT_EQ(m_pBrowser->Calls().Count("SendControlMsg(FCW_STATUS, SB_SETTEXTA, *)"), texts);
}

TEST_F(BrowserMergeTest, ToolbarButtonsFollowTheSelectionAndTheViewMode)
{
    ShowThreeFiles();
    const std::vector<ToolbarButton> buttons = ViewButtons();
    ASSERT_EQ(buttons.size(), 12u);
    const int ids[] = {IDM_OPEN, 0, IDM_DELETE, 0, IDM_COPY, IDM_CUT, IDM_PASTE, 0, 8, 9, 10, 11};
    const BYTE styles[] = {BTNS_BUTTON, BTNS_SEP, BTNS_BUTTON, BTNS_SEP, BTNS_BUTTON, BTNS_BUTTON, BTNS_BUTTON, BTNS_SEP,
                           BTNS_CHECKGROUP, BTNS_CHECKGROUP, BTNS_CHECKGROUP, BTNS_CHECKGROUP};
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i].idCommand, ids[i]) << i;
        EXPECT_EQ(buttons[i].fsStyle, styles[i]) << i;
    }
    const int cut = buttons[5].iBitmap;  // the standard images from STD_CUT (0) on
    EXPECT_EQ((std::vector<int>{buttons[0].iBitmap - cut, buttons[2].iBitmap - cut, buttons[4].iBitmap - cut, buttons[6].iBitmap - cut}),
              (std::vector<int>{STD_FILEOPEN, STD_DELETE, STD_COPY, STD_PASTE}));
    EXPECT_EQ(buttons[11].iBitmap - buttons[8].iBitmap, VIEW_DETAILS - VIEW_LARGEICONS);

    struct Row {
        std::vector<int> selection;
        bool fEnabled;  // Open, Delete, Copy, Cut
    };
    for (const Row& row : {Row{{}, false}, Row{{0, 2}, true}, Row{{1}, true}, Row{{}, false}}) {
        SelectRows(row.selection);
        for (size_t i : {0, 2, 4, 5})
            EXPECT_EQ((ViewButtons()[i].fsState & TBSTATE_ENABLED) != 0, row.fEnabled) << i << " " << row.selection.size();
        EXPECT_TRUE(ViewButtons()[6].fsState & TBSTATE_ENABLED) << "Paste";
        EXPECT_TRUE(ViewButtons()[11].fsState & TBSTATE_CHECKED) << "Details";
    }
}

TEST_F(BrowserMergeTest, ViewModeChecksItsButtonAndStylesTheList)
{
    struct Row {
        UINT viewMode;
        size_t checkedButton;
        DWORD listStyle;
    };
    const Row rows[] = {
        {FVM_ICON, 8, LVS_ICON}, {FVM_SMALLICON, 9, LVS_SMALLICON}, {FVM_LIST, 10, LVS_LIST},
        {FVM_DETAILS, 11, LVS_REPORT}, {FVM_THUMBSTRIP, 11, LVS_ICON},
    };
    for (const Row& row : rows) {
        HostOptions options;
        options.folderSettings.ViewMode = row.viewMode;
        ShowThreeFiles(options);
        for (size_t i = 8; i < 12; ++i)
            EXPECT_EQ((ViewButtons()[i].fsState & TBSTATE_CHECKED) != 0, i == row.checkedButton) << row.viewMode;
        EXPECT_EQ(GetWindowLongA(List(), GWL_STYLE) & LVS_TYPEMASK, static_cast<LONG>(row.listStyle)) << row.viewMode;
        FOLDERSETTINGS settings = {};
        m_pBrowser->ActiveView()->GetCurrentInfo(&settings);
        EXPECT_EQ(settings.ViewMode, row.viewMode);
        CloseBrowser();
        PelSim_Reset();
    }
}

TEST_F(BrowserMergeTest, StatusBarShowsCountSizeAndProduct)
{
    ShowThreeFiles();
    RECT rc = {};
    GetClientRect(m_pBrowser->StatusBarWindow(), &rc);
    EXPECT_EQ(m_pBrowser->StatusBar().edges, (std::vector<int>{200, rc.right - 200, rc.right}));

    struct Row {
        std::vector<int> selection;
        std::vector<std::string> texts;
    };
    const Row rows[] = {
        {{}, {"3 object(s)", ByteSize(9000), "Lumora "}},
        {{0, 2}, {"2 object(s) selected", ByteSize(6000), "Lumora "}},
        {{1}, {"1 object(s) selected", ByteSize(3000), "Lumora "}},
        {{}, {"3 object(s)", ByteSize(9000), "Lumora "}},  // a deselection is shown too
    };
    for (const Row& row : rows) {
        SelectRows(row.selection);
        EXPECT_EQ(StatusTexts(), row.texts) << row.selection.size();
    }

    ProductNameScope product("Zephyr Cam");
    m_pBrowser->FocusAddressBox();
    EXPECT_EQ(StatusTexts().back(), "Zephyr Cam");
    SetWindowPos(m_pBrowser->FrameWindow(), nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(m_pBrowser->StatusBarWindow(), &rc);
    EXPECT_EQ(m_pBrowser->StatusBar().edges, (std::vector<int>{200, rc.right - 200, rc.right}));
}

TEST_F(BrowserMergeTest, PopupItemsFollowSelectionClipboardAndViewMode)
{
    ShowThreeFiles();
    auto openPopup = [&](UINT id) {
        SendMessageA(m_pBrowser->FrameWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(Popup(id)), 0);
    };
    struct Row {
        std::vector<int> selection;
        bool fFilesOnClipboard;
        bool fSelectionEnabled;
        bool fPasteEnabled;
    };
    const Row rows[] = {{{}, false, false, false}, {{0}, false, true, false}, {{0, 1}, true, true, true}, {{}, true, false, true}};
    for (const Row& row : rows) {
        SelectRows(row.selection);
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            if (row.fFilesOnClipboard) {
                HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + 2);
                static_cast<DROPFILES*>(GlobalLock(block))->pFiles = sizeof(DROPFILES);
                GlobalUnlock(block);
                SetClipboardData(CF_HDROP, block);
            }
            CloseClipboard();
        }
        openPopup(FCIDM_MENU_FILE);
        openPopup(FCIDM_MENU_EDIT);
        for (UINT id : {IDM_OPEN, IDM_DELETE})
            EXPECT_EQ((ItemState(Popup(FCIDM_MENU_FILE), id) & MFS_GRAYED) == 0, row.fSelectionEnabled) << id;
        for (UINT id : {IDM_COPY, IDM_CUT})
            EXPECT_EQ((ItemState(Popup(FCIDM_MENU_EDIT), id) & MFS_GRAYED) == 0, row.fSelectionEnabled) << id;
        EXPECT_EQ((ItemState(Popup(FCIDM_MENU_EDIT), IDM_PASTE) & MFS_GRAYED) == 0, row.fPasteEnabled);
        EXPECT_EQ(ItemState(Popup(FCIDM_MENU_EDIT), IDM_SELECTALL) & MFS_GRAYED, 0u);
    }
    openPopup(FCIDM_MENU_VIEW);
    for (UINT id : {8u, 9u, 10u, 11u})
        EXPECT_EQ((ItemState(Popup(FCIDM_MENU_VIEW), id) & MFS_CHECKED) != 0, id == 11u) << id;
}

TEST_F(BrowserMergeTest, LeavingTheViewClosesTheCameraLink)
{
    PelSim_SetOpenResult(0, 2, 0);  // the camera answers on link type 1, which stays open
    ShowThreeFiles();
    ASSERT_TRUE(PelSim_IsLinkOpen());
    EXPECT_EQ(m_pBrowser->ViewActivation(), static_cast<UINT>(SVUIA_ACTIVATE_FOCUS));

    m_pBrowser->FocusAddressBox();  // the list loses the focus to another control of the browser
    EXPECT_FALSE(PelSim_IsLinkOpen());
    EXPECT_EQ(PopupTexts(FCIDM_MENU_FILE), (std::vector<std::string>{"&Close\tCtrl+W"}));

    m_pBrowser->FocusView();
    m_pBrowser->ActiveView()->Refresh();
    PumpQueued();
    EXPECT_TRUE(PelSim_IsLinkOpen());
    CloseBrowser();
    EXPECT_FALSE(PelSim_IsLinkOpen());
}

TEST_F(BrowserMergeTest, ClosingDeactivatesAndGivesTheMenuBack)
{
    ShowThreeFiles();
    m_pBrowser->Calls().Clear();
    ComPtr<HostBrowser> browser = m_pBrowser;
    CloseBrowser();
    EXPECT_TRUE(browser->Calls().HasInOrder({"view.UIActivate(SVUIA_DEACTIVATE)", "view.DestroyViewWindow", "SetMenuSB(0)",
                                             "RemoveMenusSB", "view.Release"}));
    EXPECT_EQ(browser->Calls().Count("SetMenuSB(hmenu!=0)"), 0u);
}

}  // namespace

// The browser as a view sees it: merged menus that come and go, activation that follows
// the focus, keys offered to the view first, the order of closing, and places without a view.
#include "HostTestSupport.h"
#include <algorithm>
#include "host/HostMenus.h"

namespace {

const std::vector<UINT> kHostPopupIds = {FCIDM_MENU_FILE, FCIDM_MENU_EDIT, FCIDM_MENU_VIEW, FCIDM_MENU_HELP};

// Whether a popup of the bar carries one of the browser's popup ids.
bool IsHostPopup(const MenuPopup& popup)
{
    return std::find(kHostPopupIds.begin(), kHostPopupIds.end(), popup.id) != kHostPopupIds.end();
}

// The ids of a popup's items, in order.
std::vector<UINT> ItemIds(const MenuPopup& popup)
{
    std::vector<UINT> ids;
    for (const auto& item : popup.items) ids.push_back(item.id);
    return ids;
}

// Whether every item id of the host's popup is in the merged one.
bool HoldsHostItems(const MenuPopup& merged, const MenuPopup& host)
{
    const auto ids = ItemIds(merged);
    return std::all_of(host.items.begin(), host.items.end(),
                       [&](const MenuEntry& item) { return std::count(ids.begin(), ids.end(), item.id) == 1; });
}

}  // namespace

TEST_F(HostTest, HelpPopupHoldsTheHelpItemOnlyWhenAskedFor)
{
    for (bool fHelpItem : {false, true}) {
        HostOptions options;
        options.fHelpItem = fHelpItem;
        OpenBrowser(options);
        const auto bar = ReadMenuBar(m_pBrowser->HostMenu());
        std::vector<UINT> popupIds;
        for (const auto& popup : bar) popupIds.push_back(popup.id);
        ASSERT_EQ(popupIds, kHostPopupIds);
        const auto viewItems = bar[2].items;
        EXPECT_TRUE(std::any_of(viewItems.begin(), viewItems.end(), [](const MenuEntry& item) {
            return item.id == FCIDM_MENU_VIEW_SEP_OPTIONS && item.IsSeparator();
        }));
        const auto helpIds = ItemIds(bar[3]);
        EXPECT_EQ(std::count(helpIds.begin(), helpIds.end(), FCIDM_MENU_HELP), fHelpItem ? 1 : 0);
        CloseBrowser();
    }
}

TEST_F(HostTest, MergedMenusComeAndGoLeavingTheHostBarIntact)
{
    TempPcFolder pcFolder;
    for (bool fPlatformView : {false, true}) {
        SCOPED_TRACE(fPlatformView ? "the platform's view of a PC folder" : "a recording view");
        OpenBrowser();
        HWND frame = m_pBrowser->FrameWindow();
        const auto hostBar = ReadMenuBar(m_pBrowser->HostMenu());
        RecordingView* view = nullptr;
        if (fPlatformView) {
            ASSERT_EQ(m_pBrowser->ShowParsingName(pcFolder.Path().c_str()), S_OK);
        } else {
            view = ShowRecordingView({true});
        }
        m_pBrowser->FocusView();

        ASSERT_NE(GetMenu(frame), m_pBrowser->HostMenu());
        std::vector<MenuPopup> lent;
        for (const auto& popup : m_pBrowser->MenuBar()) {
            if (IsHostPopup(popup)) lent.push_back(popup);
        }
        ASSERT_EQ(lent.size(), hostBar.size());
        for (size_t i = 0; i < lent.size(); ++i) {
            EXPECT_EQ(lent[i].id, hostBar[i].id);
            EXPECT_NE(lent[i].hMenu, hostBar[i].hMenu) << "the host lent its own popup";
            EXPECT_TRUE(HoldsHostItems(lent[i], hostBar[i])) << hostBar[i].text;
        }
        if (view) {
            const OLEMENUGROUPWIDTHS widths = view->Widths();
            EXPECT_EQ(std::vector<LONG>(widths.width, widths.width + 6), (std::vector<LONG>{1, 0, 2, 0, 1, 0}));
            EXPECT_EQ(lent[0].items.front().id, IDM_RECORDING_ITEM);
        }

        EXPECT_EQ(ShowRefusingFolder(E_NOINTERFACE), E_NOINTERFACE);  // the view goes
        EXPECT_EQ(GetMenu(frame), m_pBrowser->HostMenu());
        EXPECT_EQ(ReadMenuBar(m_pBrowser->HostMenu()), hostBar);
        for (const auto& copy : lent) EXPECT_FALSE(IsMenu(copy.hMenu)) << "a copy outlived the shared menu";
        CloseBrowser();
    }
}

TEST_F(HostTest, ActivationFollowsTheFocusAndClosingTearsTheViewDownInOrder)
{
    struct Row {
        bool fRefusing;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {false,
         {"CreateViewWindow", "UIActivate(SVUIA_ACTIVATE_FOCUS)", "UIActivate(SVUIA_ACTIVATE_NOFOCUS)",
          "UIActivate(SVUIA_ACTIVATE_FOCUS)", "GetCurrentInfo", "SaveViewState", "UIActivate(SVUIA_DEACTIVATE)",
          "DestroyViewWindow", "Released"}},
        {true, {"CreateViewWindow", "GetCurrentInfo", "SaveViewState", "DestroyViewWindow", "Released"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fRefusing ? "refusing" : "as the Explorer");
        m_viewLog.clear();
        HostOptions options;
        options.fRefusing = row.fRefusing;
        OpenBrowser(options);
        HWND viewWindow = ShowRecordingView()->Window();
        EXPECT_EQ(GetFocus(), viewWindow);
        m_pBrowser->FocusView();
        m_pBrowser->FocusAddressBox();
        EXPECT_EQ(GetFocus(), m_pBrowser->AddressBoxWindow());
        m_pBrowser->FocusView();
        m_pBrowser->Close();
        EXPECT_FALSE(IsWindow(viewWindow));
        m_pBrowser.Reset();
        EXPECT_EQ(m_viewLog, row.expected);
    }
}

TEST_F(HostTest, KeysGoToTheViewFirstOnlyWhileItIsActiveWithTheFocus)
{
    struct Row {
        const char* name;
        bool fRefusing;
        bool fFocusInView;
        WPARAM key;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {"the view takes its key", false, true, VK_F2, {"TranslateAccelerator(0x71)"}},
        {"the view declines, the host refreshes", false, true, VK_F5, {"TranslateAccelerator(0x74)", "Refresh"}},
        {"in the address box only the host's", false, false, VK_F5, {"Refresh"}},
        {"refusing: never offered", true, true, VK_F5, {"Refresh"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HostOptions options;
        options.fRefusing = row.fRefusing;
        OpenBrowser(options);
        ShowRecordingView({false, VK_F2});
        row.fFocusInView ? m_pBrowser->FocusView() : m_pBrowser->FocusAddressBox();
        m_viewLog.clear();
        PressKey(row.key, row.expected.size());
        m_pBrowser->PumpFor(50);
        EXPECT_EQ(m_viewLog, row.expected);
        CloseBrowser();
    }
}

TEST_F(HostTest, APlaceWithoutAViewLeavesAnEmptyPaneAndTheHostWorking)
{
    TempPcFolder pcFolder;
    struct Row {
        HRESULT folderResult;
        HRESULT windowResult;
        const char* status;
        std::vector<std::string> viewLog;
    };
    const Row rows[] = {
        {E_NOINTERFACE, S_OK, "The folder gives no view (error 0x80004002)", {}},
        {S_OK, E_FAIL, "The folder's view makes no window (error 0x80004005)", {"CreateViewWindow", "Released"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.status);
        m_viewLog.clear();
        OpenBrowser();
        const auto hostButtons = m_pBrowser->ToolbarButtons();
        if (FAILED(row.folderResult)) {
            EXPECT_EQ(ShowRefusingFolder(row.folderResult), row.folderResult);
        } else {
            ShowRecordingView({false, 0, row.windowResult});
        }
        EXPECT_EQ(m_pBrowser->ViewWindow(), nullptr);
        EXPECT_EQ(m_pBrowser->ActiveView(), nullptr);
        EXPECT_EQ(m_pBrowser->StatusBar().texts, std::vector<std::string>{row.status});
        EXPECT_EQ(GetMenu(m_pBrowser->FrameWindow()), m_pBrowser->HostMenu());
        EXPECT_EQ(m_pBrowser->ToolbarButtons(), hostButtons);
        EXPECT_EQ(m_viewLog, row.viewLog);

        EXPECT_EQ(m_pBrowser->ShowParsingName(pcFolder.Path().c_str()), S_OK);  // the host still works
        EXPECT_NE(m_pBrowser->ViewWindow(), nullptr);
        CloseBrowser();
    }
}

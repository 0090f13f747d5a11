// The browser's controls as a view drives them, the refusing mode, and the call record
// with its strict mode.
#include "HostTestSupport.h"
#include <commctrl.h>
#include <functional>
#include "support/DialogCapture.h"

namespace {

// An enabled button as a view hands it over.
TBBUTTON Button(int command, int image, BYTE style = BTNS_BUTTON)
{
    return {image, command, TBSTATE_ENABLED, style, {}, 0, 0};
}

// The buttons as the toolbar reports them back.
std::vector<ToolbarButton> AsShown(const std::vector<TBBUTTON>& buttons)
{
    std::vector<ToolbarButton> shown;
    for (const auto& b : buttons) shown.push_back({b.idCommand, b.iBitmap, b.fsState, b.fsStyle});
    return shown;
}

}  // namespace

TEST_F(HostTest, ControlCallsReachTheRealControlsAndAnswerWithTheirResults)
{
    IShellBrowser* browser = OpenBrowser();
    struct WindowRow {
        UINT id;
        HRESULT hr;
        const char* className;
    };
    const WindowRow windows[] = {
        {FCW_TOOLBAR, S_OK, "ToolbarWindow32"},
        {FCW_STATUS, S_OK, "msctls_statusbar32"},
        {FCW_TREE, E_FAIL, ""},
        {FCW_PROGRESS, E_FAIL, ""},
    };
    for (const auto& row : windows) {
        HWND hwnd = HWND_BROADCAST;
        EXPECT_EQ(browser->GetControlWindow(row.id, &hwnd), row.hr) << row.className;
        EXPECT_EQ(hwnd ? ClassName(hwnd) : "", row.className);
    }

    auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(m_pBrowser->ToolbarWindow(), TB_GETIMAGELIST, 0, 0));
    const LRESULT firstNewImage = ImageList_GetImageCount(images);
    TBADDBITMAP bitmap = {HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    int edges[] = {200, 400, -1};
    char text[] = "2 object(s)";
    struct MessageRow {
        UINT id;
        UINT uMsg;
        WPARAM wParam;
        LPARAM lParam;
        HRESULT hr;
        LRESULT result;
        const char* entry;
    };
    const MessageRow messages[] = {
        {FCW_TOOLBAR, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&bitmap), S_OK, firstNewImage,
         "SendControlMsg(FCW_TOOLBAR, TB_ADDBITMAP, 0, IDB_STD_SMALL_COLOR)"},
        {FCW_TOOLBAR, TB_BUTTONCOUNT, 0, 0, S_OK, 2, "SendControlMsg(FCW_TOOLBAR, TB_BUTTONCOUNT, 0, 0)"},
        {FCW_STATUS, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges), S_OK, TRUE,
         "SendControlMsg(FCW_STATUS, SB_SETPARTS, 3, {200, 400, -1})"},
        {FCW_STATUS, SB_GETPARTS, 0, 0, S_OK, 3, "SendControlMsg(FCW_STATUS, SB_GETPARTS, 0, 0)"},
        {FCW_STATUS, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(text), S_OK, TRUE,
         "SendControlMsg(FCW_STATUS, SB_SETTEXTA, 1, \"2 object(s)\")"},
        {FCW_TREE, TB_BUTTONCOUNT, 0, 0, E_FAIL, 0, "SendControlMsg(FCW_TREE, TB_BUTTONCOUNT, 0, 0)"},
    };
    for (const auto& row : messages) {
        LRESULT result = -7;
        EXPECT_EQ(browser->SendControlMsg(row.id, row.uMsg, row.wParam, row.lParam, &result), row.hr) << row.entry;
        EXPECT_EQ(result, row.result) << row.entry;
        EXPECT_EQ(m_pBrowser->Calls().Entries().back(), row.entry);
    }
    EXPECT_EQ(browser->SendControlMsg(FCW_TOOLBAR, TB_BUTTONCOUNT, 0, 0, nullptr), S_OK);
    EXPECT_EQ(m_pBrowser->StatusBar().edges, (std::vector<int>{200, 400, -1}));
    EXPECT_EQ(m_pBrowser->StatusBar().texts, (std::vector<std::string>{"", "2 object(s)", ""}));
    EXPECT_EQ(SendMessageW(m_pBrowser->FrameWindow(), CWM_GETISHELLBROWSER, 0, 0), reinterpret_cast<LRESULT>(browser));

    // No file dialog and no services: a view that asks behaves as in the Explorer.
    const std::pair<IID, HRESULT> interfaces[] = {{IID_IOleWindow, S_OK},
                                                  {IID_IShellBrowser, S_OK},
                                                  {IID_ICommDlgBrowser, E_NOINTERFACE},
                                                  {IID_IServiceProvider, E_NOINTERFACE}};
    for (const auto& [iid, hr] : interfaces) {
        ComPtr<IUnknown> object;
        EXPECT_EQ(browser->QueryInterface(iid, reinterpret_cast<void**>(object.GetAddressOf())), hr);
        EXPECT_EQ(object.Get() != nullptr, SUCCEEDED(hr));
    }
}

TEST_F(HostTest, ViewButtonsMergeAfterTheHostsReplaceTheirPredecessorsAndClear)
{
    OpenBrowser();
    const auto host = m_pBrowser->ToolbarButtons();
    ASSERT_EQ(host.size(), 2u);  // Up One Level and a separator
    EXPECT_EQ(host[0].idCommand, static_cast<int>(IDM_HOST_UP));
    const std::vector<TBBUTTON> three = {Button(2, 7), Button(0, 0, BTNS_SEP), Button(3, 5)};
    const std::vector<TBBUTTON> two = {Button(8, 0, BTNS_CHECKGROUP), Button(9, 1, BTNS_CHECKGROUP)};
    const std::vector<TBBUTTON> none;
    struct Step {
        const std::vector<TBBUTTON>& buttons;
        UINT flags;
        bool fHostFirst;
    };
    const Step steps[] = {
        {three, FCT_MERGE, true}, {two, FCT_MERGE, true}, {none, FCT_MERGE, true}, {two, 0, false}, {none, FCT_MERGE, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::to_string(step.buttons.size()) + " buttons, flags " + std::to_string(step.flags));
        auto* buttons = const_cast<TBBUTTON*>(step.buttons.empty() ? nullptr : step.buttons.data());
        EXPECT_EQ(m_pBrowser->SetToolbarItems(buttons, static_cast<UINT>(step.buttons.size()), step.flags), S_OK);
        std::vector<ToolbarButton> expected = step.fHostFirst ? host : std::vector<ToolbarButton>{};
        for (const auto& button : AsShown(step.buttons)) expected.push_back(button);
        EXPECT_EQ(m_pBrowser->ToolbarButtons(), expected);
    }
}

TEST_F(HostTest, RefusingModeAnswersAsThePlatformsExplorer)
{
    for (bool fRefusing : {false, true}) {
        SCOPED_TRACE(fRefusing ? "refusing" : "as the Explorer");
        MenuHandle shared(CreateMenu());
        OLEMENUGROUPWIDTHS widths = {};
        HWND hwnd = nullptr;
        LRESULT result = 0;
        HostOptions options;
        options.fRefusing = fRefusing;
        IShellBrowser* browser = OpenBrowser(options);
        const std::pair<const char*, std::function<HRESULT()>> calls[] = {
            {"GetControlWindow", [&] { return browser->GetControlWindow(FCW_STATUS, &hwnd); }},
            {"SendControlMsg", [&] { return browser->SendControlMsg(FCW_TOOLBAR, TB_BUTTONCOUNT, 0, 0, &result); }},
            {"InsertMenusSB", [&] { return browser->InsertMenusSB(shared.Get(), &widths); }},
            {"SetMenuSB", [&] { return browser->SetMenuSB(shared.Get(), nullptr, nullptr); }},
            {"RemoveMenusSB", [&] { return browser->RemoveMenusSB(shared.Get()); }},
            {"SetToolbarItems", [&] { return browser->SetToolbarItems(nullptr, 0, FCT_MERGE); }},
            {"OnViewWindowActive", [&] { return browser->OnViewWindowActive(nullptr); }},
            {"SetStatusTextSB", [&] { return browser->SetStatusTextSB(L"refused"); }},
        };
        for (const auto& [name, call] : calls) EXPECT_EQ(call(), fRefusing ? E_NOTIMPL : S_OK) << name;
        EXPECT_EQ(GetMenuItemCount(shared.Get()), 0);  // inserted and removed again, or never
        EXPECT_EQ(m_pBrowser->StatusBar().texts.front(), fRefusing ? "" : "refused");
        CloseBrowser();
    }
}

TEST_F(HostTest, CallRecordMatchesPatternsAndReportsUnexpectedCallsInStrictMode)
{
    struct Row {
        const char* text;
        const char* pattern;
        bool fMatches;
    };
    const Row rows[] = {
        {"SetMenuSB(hmenu!=0)", "SetMenuSB(*)", true},  {"SetMenuSB(0)", "SetMenuSB(?)", true},
        {"SetMenuSB(hmenu!=0)", "SetMenuSB(?)", false}, {"InsertMenusSB", "Insert*SB", true},
        {"InsertMenusSB", "InsertMenusSB*x", false},    {"", "*", true},
        {"GetWindow", "", false},
    };
    for (const Row& row : rows) EXPECT_EQ(MatchesPattern(row.text, row.pattern), row.fMatches) << row.text << " ~ " << row.pattern;

    BrowserCallLog log;
    std::vector<std::string> hooked;
    log.SetFailureHook([&](const std::string& call) { hooked.push_back(call); });
    log.Add("SetStatusTextSB(\"before\")");  // not strict yet
    log.ExpectOnly({"GetWindow", "SendControlMsg(FCW_TOOLBAR, *)"});
    for (const char* entry : {"GetWindow", "SendControlMsg(FCW_TOOLBAR, TB_ENABLEBUTTON, 4, 1)",
                              "view.UIActivate(SVUIA_DEACTIVATE)", "SendControlMsg(FCW_STATUS, SB_SIMPLE, 1, 0)"}) {
        log.Add(entry);
    }
    log.StopExpecting();
    log.Add("RemoveMenusSB");
    EXPECT_EQ(hooked, std::vector<std::string>{"SendControlMsg(FCW_STATUS, SB_SIMPLE, 1, 0)"});
    EXPECT_EQ(log.Unexpected(), hooked);
    EXPECT_EQ(log.Count("SendControlMsg(*"), 2u);
    EXPECT_TRUE(log.HasInOrder({"SetStatusTextSB(*)", "GetWindow", "view.*", "RemoveMenusSB"}));
    EXPECT_FALSE(log.HasInOrder({"RemoveMenusSB", "GetWindow"}));
}

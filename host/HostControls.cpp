#include "host/HostControls.h"
#include <shlobj.h>
#include "host/HostMenus.h"

namespace {

// Creates one child control of the frame with the given control id.
HWND CreateControl(DWORD exStyle, const wchar_t* className, DWORD style, HWND frame, UINT id)
{
    return CreateWindowExW(exStyle, className, nullptr, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, frame,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

bool HostToolbar::Create(HWND frame)
{
    m_hwnd = CreateControl(0, TOOLBARCLASSNAMEW, TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP, frame, FCIDM_TOOLBAR);
    if (!m_hwnd) return false;
    SendMessageW(m_hwnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBADDBITMAP bitmap = {HINST_COMMCTRL, IDB_VIEW_SMALL_COLOR};
    m_iHostImageBase = static_cast<int>(SendMessageW(m_hwnd, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&bitmap)));
    Reset();
    return true;
}

bool HostToolbar::SetViewButtons(const TBBUTTON* buttons, UINT count, bool fMerge)
{
    if (count && !buttons) return false;
    while (SendMessageW(m_hwnd, TB_BUTTONCOUNT, 0, 0) > 0) SendMessageW(m_hwnd, TB_DELETEBUTTON, 0, 0);
    if (fMerge) {
        const TBBUTTON hostButtons[] = {
            {m_iHostImageBase + VIEW_PARENTFOLDER, IDM_HOST_UP, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
            {0, 0, 0, BTNS_SEP, {}, 0, 0},
        };
        if (!AddButtons(hostButtons, ARRAYSIZE(hostButtons))) return false;
    }
    return AddButtons(buttons, count);
}

// Appends buttons; none is no failure.
bool HostToolbar::AddButtons(const TBBUTTON* buttons, UINT count)
{
    if (!count) return true;
    return SendMessageW(m_hwnd, TB_ADDBUTTONSW, count, reinterpret_cast<LPARAM>(buttons)) != FALSE;
}

HWND CreateHostStatusBar(HWND frame)
{
    HWND statusBar = CreateControl(0, STATUSCLASSNAMEW, SBARS_SIZEGRIP, frame, FCIDM_STATUS);
    if (statusBar) ResetStatusBar(statusBar);
    return statusBar;
}

void ResetStatusBar(HWND statusBar)
{
    int edge = -1;
    SendMessageW(statusBar, SB_SIMPLE, FALSE, 0);
    SendMessageW(statusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&edge));
    SendMessageW(statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L""));
}

HWND CreateAddressBox(HWND frame)
{
    HWND address = CreateControl(WS_EX_CLIENTEDGE, WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL, frame, IDC_HOST_ADDRESS);
    if (address) SendMessageW(address, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return address;
}

std::vector<ToolbarButton> ReadToolbar(HWND toolbar)
{
    std::vector<ToolbarButton> buttons;
    const int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        if (!SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button))) continue;
        buttons.push_back({button.idCommand, button.iBitmap, button.fsState, button.fsStyle});
    }
    return buttons;
}

StatusBarContent ReadStatusBar(HWND statusBar)
{
    StatusBarContent content;
    content.fSimple = SendMessageW(statusBar, SB_ISSIMPLE, 0, 0) != FALSE;
    const int count = static_cast<int>(SendMessageW(statusBar, SB_GETPARTS, 0, 0));
    if (count <= 0) return content;
    content.edges.resize(static_cast<size_t>(count));
    SendMessageW(statusBar, SB_GETPARTS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(content.edges.data()));
    for (int part = 0; part < count; ++part) {
        char text[520] = "";
        if (LOWORD(SendMessageA(statusBar, SB_GETTEXTLENGTHA, part, 0)) < sizeof(text))
            SendMessageA(statusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
        content.texts.push_back(text);
    }
    return content;
}

std::string ReadWindowText(HWND hwnd)
{
    char text[1024] = "";
    GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}

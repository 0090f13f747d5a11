// What the view puts into its browser (menus, toolbar buttons, status texts) and every call it makes to the browser.
#include "view/BrowserMerge.h"
#include <iterator>
#include <utility>
#include <shlwapi.h>
#include "camera/ProductName.h"
#include "base/TextHelpers.h"
#include "resources/resource.h"
#include "view/CameraView.h"

namespace {

// One merged menu item; a command of 0 is a separator.
struct MenuItemDef {
    UINT idCommand;
    UINT idText;
};

const MenuItemDef kFileItems[] = {
    {IDM_OPEN, IDS_MENU_OPEN}, {0, 0}, {IDM_DELETE, IDS_MENU_DELETE}, {0, 0},
};
const MenuItemDef kEditItems[] = {
    {IDM_COPY, IDS_MENU_COPY}, {IDM_CUT, IDS_MENU_CUT}, {IDM_PASTE, IDS_MENU_PASTE},
    {0, 0}, {IDM_SELECTALL, IDS_MENU_SELECTALL}, {IDM_INVERTSELECTION, IDS_MENU_INVERTSELECTION},
};
const MenuItemDef kViewItems[] = {
    {0, 0}, {IDM_VIEW_LARGEICONS, IDS_MENU_LARGEICONS}, {IDM_VIEW_SMALLICONS, IDS_MENU_SMALLICONS},
    {IDM_VIEW_LIST, IDS_MENU_LIST}, {IDM_VIEW_DETAILS, IDS_MENU_DETAILS}, {IDM_VIEW_THUMBNAILS, IDS_MENU_THUMBNAILS},
};

// Which bitmap a toolbar button's image comes from.
enum class ButtonBitmap { Standard, View };

struct ToolbarButtonDef {
    ButtonBitmap source;
    int idCommand;
    int iImage;
    BYTE fsState;
    BYTE fsStyle;
};

const ToolbarButtonDef kToolbarButtons[] = {
    {ButtonBitmap::Standard, IDM_OPEN, STD_FILEOPEN, TBSTATE_ENABLED, BTNS_BUTTON},
    {ButtonBitmap::Standard, 0, 0, 0, BTNS_SEP},
    {ButtonBitmap::Standard, IDM_DELETE, STD_DELETE, TBSTATE_ENABLED, BTNS_BUTTON},
    {ButtonBitmap::Standard, 0, 0, 0, BTNS_SEP},
    {ButtonBitmap::Standard, IDM_COPY, STD_COPY, TBSTATE_ENABLED, BTNS_BUTTON},
    {ButtonBitmap::Standard, IDM_CUT, STD_CUT, TBSTATE_ENABLED, BTNS_BUTTON},
    {ButtonBitmap::Standard, IDM_PASTE, STD_PASTE, TBSTATE_ENABLED, BTNS_BUTTON},
    {ButtonBitmap::Standard, 0, 0, 0, BTNS_SEP},
    {ButtonBitmap::View, IDM_VIEW_LARGEICONS, VIEW_LARGEICONS, TBSTATE_ENABLED, BTNS_CHECKGROUP},
    {ButtonBitmap::View, IDM_VIEW_SMALLICONS, VIEW_SMALLICONS, TBSTATE_ENABLED, BTNS_CHECKGROUP},
    {ButtonBitmap::View, IDM_VIEW_LIST, VIEW_LIST, TBSTATE_ENABLED, BTNS_CHECKGROUP},
    {ButtonBitmap::View, IDM_VIEW_DETAILS, VIEW_DETAILS, TBSTATE_ENABLED, BTNS_CHECKGROUP},
};

// The merged commands that act on selected rows.
const UINT kSelectionCommands[] = {IDM_DELETE, IDM_OPEN, IDM_CUT, IDM_COPY};

// The toolbar buttons that follow the selection.
const UINT kSelectionButtons[] = {IDM_OPEN, IDM_DELETE, IDM_COPY, IDM_CUT, IDM_SELECTALL, IDM_INVERTSELECTION};
// The view mode buttons, one of which is down.
const UINT kViewButtons[] = {IDM_VIEW_LARGEICONS, IDM_VIEW_SMALLICONS, IDM_VIEW_LIST, IDM_VIEW_DETAILS};

// The status bar: the count ends at 200, the size 200 before the right edge, the name at it.
constexpr int kStatusPartCount = 3;
constexpr int kStatusEdgeInset = 200;
constexpr int kTextCapacity = MAX_PATH;
// A number's text, grouped ("1,234"): ten digits and their separators.
constexpr int kNumberCapacity = 32;

// Inserts one item (text from the string table, or a separator) at a position.
void InsertItem(HMENU hmenu, UINT position, UINT idCommand, const char* text)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_TYPE | MIIM_STATE | MIIM_ID;
    info.fType = idCommand ? MFT_STRING : MFT_SEPARATOR;
    info.wID = idCommand;
    info.dwTypeData = const_cast<char*>(text);
    InsertMenuItemA(hmenu, position, TRUE, &info);
}

// Inserts a table of items one after another from a position on.
template <size_t N> void InsertItems(HMENU hmenu, UINT position, const MenuItemDef (&items)[N])
{
    for (const MenuItemDef& item : items) {
        char text[kTextCapacity] = "";
        if (item.idCommand) LoadStringA(g_hinstModule, item.idText, text, kTextCapacity);
        InsertItem(hmenu, position++, item.idCommand, text);
    }
}

// The id and popup of the menu's own item at a position (a lookup by command would search
// the popups inside first: the Help popup may hold an item with the Help popup's own id).
MENUITEMINFOA ItemAt(HMENU hmenu, int position)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_SUBMENU;
    if (!GetMenuItemInfoA(hmenu, static_cast<UINT>(position), TRUE, &info)) info.wID = 0;
    return info;
}

// The position of the menu's own item with this id, or -1 when it has none.
int FindPosition(HMENU hmenu, UINT id)
{
    const int count = GetMenuItemCount(hmenu);
    for (int position = 0; position < count; ++position) {
        if (ItemAt(hmenu, position).wID == id) return position;
    }
    return -1;
}

// Where items go before the menu's own item of this id: there, or at the end without one.
UINT PositionBefore(HMENU hmenu, UINT id)
{
    const int position = FindPosition(hmenu, id);
    if (position >= 0) return static_cast<UINT>(position);
    const int count = GetMenuItemCount(hmenu);
    return count > 0 ? static_cast<UINT>(count) : 0;
}

// The popup that the menu bar's own item of this id opens, or null.
HMENU FindPopup(HMENU hmenu, UINT id)
{
    const int position = FindPosition(hmenu, id);
    return position >= 0 ? ItemAt(hmenu, position).hSubMenu : nullptr;
}

// "A&bout " and the product name, or "About &Lumora" without one.
void LoadAboutText(char* text)
{
    if (!BuildProductTitle(IDS_ABOUT_PREFIX, text, kTextCapacity)) LoadStringA(g_hinstModule, IDS_ABOUT_DEFAULT, text, kTextCapacity);
}

}  // namespace

UINT ViewModeCommand(UINT viewMode)
{
    switch (viewMode) {
    case FVM_ICON: return IDM_VIEW_LARGEICONS;
    case FVM_SMALLICON: return IDM_VIEW_SMALLICONS;
    case FVM_LIST: return IDM_VIEW_LIST;
    case FVM_THUMBNAIL: return IDM_VIEW_THUMBNAILS;
    default: return IDM_VIEW_DETAILS;
    }
}

// Keeps the browser and asks it for its window.
HWND BrowserMerge::Attach(IShellBrowser* psb)
{
    m_pShellBrowser = psb;
    m_hwndParent = nullptr;
    psb->GetWindow(&m_hwndParent);
    return m_hwndParent;
}

// A new activation state: an active view rebuilds the shared menu; an inactive one lets
// the camera link close (now, or when the camera work running on any thread ends).
void BrowserMerge::OnActivate(UINT uState)
{
    if (uState == m_uState) return;
    if (uState != SVUIA_DEACTIVATE) ReplaceSharedMenu(uState);
    m_uState = uState;
    if (uState == SVUIA_DEACTIVATE && m_pConnection) m_pConnection->DisconnectWhenIdle();
    UpdateToolbar();
    UpdateStatusBar(true, false);
}

// A fresh shared menu: the browser's popups with the view's items (File and Edit with focus only).
void BrowserMerge::ReplaceSharedMenu(UINT uState)
{
    DestroySharedMenu();
    m_rows.Arrange();
    if (!m_pShellBrowser) return;
    m_hMenu = CreateMenu();
    if (!m_hMenu) return;
    OLEMENUGROUPWIDTHS widths = {};
    m_pShellBrowser->InsertMenusSB(m_hMenu, &widths);
    if (HMENU file = FindPopup(m_hMenu, FCIDM_MENU_FILE)) BuildFileMenu(file, uState);
    if (HMENU edit = FindPopup(m_hMenu, FCIDM_MENU_EDIT)) BuildEditMenu(edit, uState);
    if (HMENU view = FindPopup(m_hMenu, FCIDM_MENU_VIEW)) BuildViewMenu(view);
    if (HMENU help = FindPopup(m_hMenu, FCIDM_MENU_HELP)) BuildHelpMenu(help);
    m_pShellBrowser->SetMenuSB(m_hMenu, nullptr, m_view.Window());
}

// Hands the browser's popups back and destroys the shared menu.
void BrowserMerge::DestroySharedMenu()
{
    if (!m_hMenu) return;
    if (m_pShellBrowser) {
        m_pShellBrowser->SetMenuSB(nullptr, nullptr, nullptr);
        m_pShellBrowser->RemoveMenusSB(m_hMenu);
    }
    DestroyMenu(std::exchange(m_hMenu, nullptr));
}

// Open and Delete at the top of the File menu, with focus.
void BrowserMerge::BuildFileMenu(HMENU hmenu, UINT uState)
{
    if (uState == SVUIA_ACTIVATE_FOCUS) InsertItems(hmenu, 0, kFileItems);
}

// The clipboard and selection commands at the top of the Edit menu, with focus.
void BrowserMerge::BuildEditMenu(HMENU hmenu, UINT uState)
{
    if (uState == SVUIA_ACTIVATE_FOCUS) InsertItems(hmenu, 0, kEditItems);
}

// The five view modes just above the browser's options separator (at the end without one).
void BrowserMerge::BuildViewMenu(HMENU hmenu)
{
    InsertItems(hmenu, PositionBefore(hmenu, FCIDM_MENU_VIEW_SEP_OPTIONS), kViewItems);
}

// The About item before the Help popup's own FCIDM_MENU_HELP item, or at its end without one.
void BrowserMerge::BuildHelpMenu(HMENU hmenu)
{
    char text[kTextCapacity];
    LoadAboutText(text);
    InsertItem(hmenu, PositionBefore(hmenu, FCIDM_MENU_HELP), IDM_ABOUT, text);
}

// The view's buttons after the browser's, with images from the common controls' bitmaps.
void BrowserMerge::MergeToolbar()
{
    if (!m_pShellBrowser) return;
    m_pShellBrowser->SetToolbarItems(nullptr, 0, FCT_MERGE);
    const int standardBase = AddToolbarBitmap(IDB_STD_SMALL_COLOR);
    const int viewBase = AddToolbarBitmap(IDB_VIEW_SMALL_COLOR);
    if (standardBase >= 0 && viewBase >= 0) {
        TBBUTTON buttons[std::size(kToolbarButtons)] = {};
        for (size_t i = 0; i < std::size(kToolbarButtons); ++i) {
            const ToolbarButtonDef& def = kToolbarButtons[i];
            const int base = def.source == ButtonBitmap::Standard ? standardBase : viewBase;
            buttons[i].iBitmap = def.fsStyle == BTNS_SEP ? 0 : base + def.iImage;
            buttons[i].idCommand = def.idCommand;
            buttons[i].fsState = def.fsState;
            buttons[i].fsStyle = def.fsStyle;
        }
        m_pShellBrowser->SetToolbarItems(buttons, static_cast<UINT>(std::size(buttons)), FCT_MERGE);
    }
    UpdateToolbar();
}

// Adds a common-control bitmap to the browser's toolbar; its first image index, or -1
// when the browser does not let the view reach its toolbar.
int BrowserMerge::AddToolbarBitmap(UINT idBitmap)
{
    TBADDBITMAP bitmap = {HINST_COMMCTRL, idBitmap};
    LRESULT first = -1;
    const HRESULT hr = m_pShellBrowser->SendControlMsg(FCW_TOOLBAR, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&bitmap), &first);
    return SUCCEEDED(hr) ? static_cast<int>(first) : -1;
}

// The selection buttons follow the selection; the current view mode's button is checked.
void BrowserMerge::UpdateToolbar()
{
    if (!m_pShellBrowser) return;
    const BOOL enable = m_rows.SelectedCount() != 0;
    for (UINT id : kSelectionButtons) SendToControl(FCW_TOOLBAR, TB_ENABLEBUTTON, id, MAKELONG(enable, 0));
    // Thumbnails has no button of its own: then none of the mode buttons is down.
    const UINT current = ViewModeCommand(m_view.ViewMode());
    for (UINT id : kViewButtons) SendToControl(FCW_TOOLBAR, TB_CHECKBUTTON, id, MAKELONG(id == current, 0));
}

// The status bar's three parts and/or its texts.
void BrowserMerge::UpdateStatusBar(bool fTexts, bool fParts)
{
    if (!m_pShellBrowser) return;
    if (fParts) SetStatusParts();
    if (fTexts) SetStatusTexts();
}

// "n object(s)" or "n object(s) selected".
void BrowserMerge::FormatCountText(UINT selected, char* text) const
{
    const int count = selected ? static_cast<int>(selected) : m_rows.RowCount();
    char format[kTextCapacity] = "";
    LoadStringA(g_hinstModule, selected ? IDS_STATUS_SELECTED : IDS_STATUS_OBJECTS, format, kTextCapacity);
    wnsprintfA(text, kTextCapacity, format, count);
}

// "Reading the camera: 1,234 of 2,700 files", the numbers grouped as the user's locale groups them.
void BrowserMerge::FormatReadingText(UINT read, UINT listed, char* text) const
{
    char format[kTextCapacity] = "";
    char readText[kNumberCapacity];
    char listedText[kNumberCapacity];
    LoadStringA(g_hinstModule, IDS_STATUS_READING, format, kTextCapacity);
    FormatGroupedNumber(read, readText, kNumberCapacity);
    FormatGroupedNumber(listed, listedText, kNumberCapacity);
    wnsprintfA(text, kTextCapacity, format, readText, listedText);
}

// Three parts across the status bar's width.
void BrowserMerge::SetStatusParts()
{
    HWND status = nullptr;
    if (FAILED(m_pShellBrowser->GetControlWindow(FCW_STATUS, &status)) || !status) return;
    RECT rc = {};
    GetClientRect(status, &rc);
    int edges[kStatusPartCount] = {kStatusEdgeInset, rc.right - kStatusEdgeInset, rc.right};
    SendToControl(FCW_STATUS, SB_SETPARTS, kStatusPartCount, reinterpret_cast<LPARAM>(edges));
}

// The object count (selected ones, or all) or how far the camera is read, their byte size
// (summed in 64 bits), the product name.
void BrowserMerge::SetStatusTexts()
{
    const UINT selected = m_rows.SelectedCount();
    char text[kTextCapacity] = "";
    UINT read = 0;
    UINT listed = 0;
    if (m_view.GetListingProgress(&read, &listed)) FormatReadingText(read, listed, text);
    else FormatCountText(selected, text);
    SendToControl(FCW_STATUS, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text));

    StrFormatByteSize64A(static_cast<LONGLONG>(m_rows.CountedBytes(selected != 0)), text, kTextCapacity);
    SendToControl(FCW_STATUS, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(text));

    LoadProductName(text, kTextCapacity);
    SendToControl(FCW_STATUS, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(text));
}

// A message to one of the browser's controls; the control's answer, or 0 when refused.
LRESULT BrowserMerge::SendToControl(UINT id, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (FAILED(m_pShellBrowser->SendControlMsg(id, uMsg, wParam, lParam, &result))) return 0;
    return result;
}

// The browser hears that the view is the active one.
void BrowserMerge::NotifyViewActive()
{
    if (m_pShellBrowser) m_pShellBrowser->OnViewWindowActive(&m_view);
}

// CMF_EXPLORE's condition: the browser answers a tree window.
bool BrowserMerge::ShowsFolderTree()
{
    HWND tree = nullptr;
    return m_pShellBrowser && SUCCEEDED(m_pShellBrowser->GetControlWindow(FCW_TREE, &tree)) && tree;
}

// Any popup opening over the view: selection commands follow the selection, Paste the
// clipboard, and the current view mode is checked.
void BrowserMerge::OnInitMenuPopup(HMENU hmenu)
{
    const UINT selectionState = m_rows.SelectedCount() != 0 ? MF_ENABLED : MF_GRAYED;
    for (UINT id : kSelectionCommands) EnableMenuItem(hmenu, id, MF_BYCOMMAND | selectionState);
    const bool canPaste = IsClipboardFormatAvailable(CF_HDROP);
    EnableMenuItem(hmenu, IDM_PASTE, MF_BYCOMMAND | (canPaste ? MF_ENABLED : MF_GRAYED));
    for (UINT id : {IDM_SELECTALL, IDM_INVERTSELECTION, IDM_ABOUT}) EnableMenuItem(hmenu, id, MF_BYCOMMAND | MF_ENABLED);
    CheckMenuRadioItem(hmenu, IDM_VIEW_LARGEICONS, IDM_VIEW_THUMBNAILS, ViewModeCommand(m_view.ViewMode()),
                       MF_BYCOMMAND);
}

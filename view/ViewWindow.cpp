// The view window and its list: messages, focus, creating, filling and sorting the list,
// the shell settings and the states of menu items.
#include <utility>
#include "folder/CameraFolder.h"
#include "base/TextHelpers.h"
#include "resources/resource.h"
#include "view/CameraView.h"
#include "view/DisplaySettings.h"
#include "view/ItemSort.h"

namespace {

// One column of the list: its header string and alignment.
struct ColumnDef {
    UINT idHeader;
    int fmt;
};

const ColumnDef kColumns[kColumnCount] = {
    {IDS_COLUMN_NAME, LVCFMT_LEFT},
    {IDS_COLUMN_SIZE, LVCFMT_RIGHT},
    {IDS_COLUMN_TYPE, LVCFMT_LEFT},
};

// The merged commands that act on selected rows.
const UINT kSelectionCommands[] = {IDM_DELETE, IDM_OPEN, IDM_CUT, IDM_COPY};

// Whether hwnd is the window or one of its descendants.
bool IsWithin(HWND window, HWND hwnd)
{
    return hwnd && (hwnd == window || IsChild(window, hwnd));
}

}  // namespace

UINT ViewSelectionChangedMessage()
{
    static const UINT message = RegisterWindowMessageA("Lumora.ViewSelectionChanged");
    return message;
}

DWORD ListStyleForMode(UINT viewMode)
{
    switch (viewMode) {
    case FVM_SMALLICON: return LVS_SMALLICON;
    case FVM_LIST: return LVS_LIST;
    case FVM_DETAILS: return LVS_REPORT;
    default: return LVS_ICON;
    }
}

UINT ViewModeCommand(UINT viewMode)
{
    switch (viewMode) {
    case FVM_ICON: return IDM_VIEW_LARGEICONS;
    case FVM_SMALLICON: return IDM_VIEW_SMALLICONS;
    case FVM_LIST: return IDM_VIEW_LIST;
    default: return IDM_VIEW_DETAILS;
    }
}

// Finds the view in the window's user data and lets it handle the message, holding a
// reference so that a browser releasing the view meanwhile cannot pull it away.
LRESULT CALLBACK CameraView::ViewWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_NCCREATE) {
        auto* view = static_cast<CameraView*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (view) {
            view->m_hwndView = hwnd;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
            AttachItemView(hwnd, view);
        }
        return DefWindowProcA(hwnd, uMsg, wParam, lParam);
    }
    auto* view = reinterpret_cast<CameraView*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!view) return DefWindowProcA(hwnd, uMsg, wParam, lParam);
    ComPtr<CameraView> hold(view);
    return view->HandleMessage(hwnd, uMsg, wParam, lParam);
}

// The view window's messages.
LRESULT CameraView::HandleMessage(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CREATE: OnCreate(); return 0;
    case WM_DESTROY: OnWindowDestroyed(); return 0;
    case WM_SIZE: OnSize(LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_ACTIVATE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS: OnFocusMessage(uMsg, reinterpret_cast<HWND>(wParam)); return 0;
    case WM_SETTINGCHANGE:
        if (lParam && lstrcmpiA(reinterpret_cast<const char*>(lParam), "ShellState") == 0) ApplyShellSettings();
        return 0;
    case WM_NOTIFY: OnNotify(reinterpret_cast<const NMHDR*>(lParam)); return 0;
    case WM_CONTEXTMENU: {
        const POINT pt = ContextMenuPosition(lParam);
        ShowItemMenu(pt.x, pt.y, false, -1);
        return 0;
    }
    case WM_COMMAND: ShowItemMenu(0, 0, false, LOWORD(wParam)); return 0;
    case WM_INITMENUPOPUP: OnInitMenuPopup(reinterpret_cast<HMENU>(wParam)); return 0;
    }
    if (uMsg == CameraRefreshMessage()) {
        Refresh();
        return 0;
    }
    if (uMsg == ViewSelectionChangedMessage()) {
        m_fSelectionChangePosted = false;
        UpdateToolbar();
        UpdateStatusBar(true, false);
        return 0;
    }
    return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}

// Focus: the list takes the view window's focus; focus leaving the view makes it inactive.
void CameraView::OnFocusMessage(UINT uMsg, HWND hwndOther)
{
    if (uMsg == WM_ACTIVATE) {
        OnActivate(SVUIA_ACTIVATE_FOCUS);
    } else if (uMsg == WM_SETFOCUS) {
        if (m_hwndList) SetFocus(m_hwndList);  // the list's NM_SETFOCUS activates the view
        else OnViewWindowFocus();
    } else if (!IsWithin(m_hwndView, hwndOther)) {
        OnActivate(SVUIA_ACTIVATE_NOFOCUS);
    }
}

// Focus gone from the list to another control of the browser: the view is inactive and the
// camera link closes. Focus within the view, in a window of its own (a connect dialog, a
// message) or in another program changes nothing.
void CameraView::OnListFocusLost(HWND hwndFocus)
{
    if (!hwndFocus || IsWithin(m_hwndView, hwndFocus)) return;
    if (IsWithin(GetAncestor(m_hwndView, GA_ROOT), hwndFocus)) OnActivate(SVUIA_DEACTIVATE);
}

// The view (or its list) has the focus: the browser hears of it and the view is active with focus.
void CameraView::OnViewWindowFocus()
{
    if (m_pShellBrowser) m_pShellBrowser->OnViewWindowActive(this);
    OnActivate(SVUIA_ACTIVATE_FOCUS);
}

// Creates, fills and arranges the list; the window stays (empty) when the list cannot be made.
void CameraView::OnCreate()
{
    if (!CreateList()) return;
    InitColumns();
    FillList();
    SendMessageA(m_hwndList, LVM_ARRANGE, LVA_ALIGNTOP, 0);
}

// The list fills the window; the status bar's parts follow the width.
void CameraView::OnSize(int cx, int cy)
{
    if (!m_hwndList) return;
    MoveWindow(m_hwndList, 0, 0, cx, cy, TRUE);
    UpdateStatusBar(false, true);
}

// The window is going (also when the browser's window goes first): the rows' identifiers
// are freed and the drop registration withdrawn.
void CameraView::OnWindowDestroyed()
{
    FreeRowItems();
    if (std::exchange(m_fDropRegistered, false)) RevokeDragDrop(m_hwndView);
    SetWindowLongPtrA(m_hwndView, GWLP_USERDATA, 0);
    DetachItemView(m_hwndView);
    m_hwndView = nullptr;
    m_hwndList = nullptr;
}

// The list control, in the style of the browser's view mode.
bool CameraView::CreateList()
{
    DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_SHAREIMAGELISTS;
    style |= ListStyleForMode(m_FolderSettings.ViewMode);
    if (m_FolderSettings.fFlags & FWF_AUTOARRANGE) style |= LVS_AUTOARRANGE;
    m_hwndList = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, nullptr, style, 0, 0, 0, 0, m_hwndView,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LIST)), g_hinstModule, nullptr);
    if (!m_hwndList) return false;
    ApplyShellSettings();
    return true;
}

// The three columns at the process's widths (the defaults at the view's DPI) and the
// system image lists.
void CameraView::InitColumns()
{
    SendMessageA(m_hwndList, LVM_DELETEALLITEMS, 0, 0);
    const DisplaySettings settings = ColumnWidthsFor(m_hwndView);
    for (int column = 0; column < kColumnCount; ++column) {
        char header[MAX_PATH] = "";
        LoadStringA(g_hinstModule, kColumns[column].idHeader, header, MAX_PATH);
        LVCOLUMNA info = {};
        info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        info.fmt = kColumns[column].fmt;
        info.cx = settings.widths[column];
        info.pszText = header;
        info.iSubItem = column;
        SendMessageA(m_hwndList, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&info));
    }
    SHFILEINFOA info = {};
    const UINT flags = SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES;
    const auto large = SHGetFileInfoA(".EXE", 0, &info, sizeof(info), flags);
    const auto small = SHGetFileInfoA(".EXE", 0, &info, sizeof(info), flags | SHGFI_SMALLICON);
    SendMessageA(m_hwndList, LVM_SETIMAGELIST, LVSIL_NORMAL, static_cast<LPARAM>(large));
    SendMessageA(m_hwndList, LVM_SETIMAGELIST, LVSIL_SMALL, static_cast<LPARAM>(small));
}

// Lists the camera into the list (one unit of camera work, whose messages the view window
// parents), then sorts by name and paints once.
void CameraView::FillList()
{
    ComPtr<IEnumIDList> enumerator;
    if (FAILED(m_pFolder->EnumObjects(m_hwndView, SHCONTF_NONFOLDERS, &enumerator)) || !enumerator) return;
    if (!m_hwndList) return;  // the window went while the camera was read
    m_fFilling = true;
    m_pTypeCache->Clear();
    SendMessageA(m_hwndList, WM_SETREDRAW, FALSE, 0);
    int index = RowCount();
    LPITEMIDLIST pidl = nullptr;
    ULONG fetched = 0;
    while (enumerator->Next(1, &pidl, &fetched) == S_OK && fetched == 1) {
        if (AppendRow(pidl, index)) ++index;
    }
    SortList(kColumnName, 1);
    SendMessageA(m_hwndList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_hwndList, nullptr, TRUE);
    UpdateWindow(m_hwndList);
    m_fFilling = false;
}

// A row that owns the identifier the enumerator handed over; a null identifier or a row
// the list refuses is no row, and the identifier is freed.
bool CameraView::AppendRow(LPITEMIDLIST pidl, int index)
{
    if (!ItemIdManager::IsCameraItem(pidl)) {
        m_pIdManager->Delete(pidl);
        return false;
    }
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = LPSTR_TEXTCALLBACKA;
    item.iImage = I_IMAGECALLBACK;
    item.lParam = reinterpret_cast<LPARAM>(pidl);
    if (SendMessageA(m_hwndList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) >= 0) return true;
    m_pIdManager->Delete(pidl);
    return false;
}

// Orders the rows by a column in a direction, as the folder's CompareIDs orders them.
void CameraView::SortList(int column, int direction)
{
    const ItemColumns columns(m_pIdManager.get(), m_pTypeCache.get());
    SortContext context = {m_pFolder.Get(), column, direction, &columns};
    SendMessageA(m_hwndList, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context),
                 reinterpret_cast<LPARAM>(CompareItems));
}

// Single-click opening (hot rows, underlined) when the user chose it, otherwise none.
void CameraView::ApplyShellSettings()
{
    using SHGetSettingsFn = void(WINAPI*)(SHELLFLAGSTATE*, DWORD);
    SHELLFLAGSTATE state = {};
    state.fWin95Classic = TRUE;
    {
        LibraryHandle shell32("shell32.dll");
        if (const auto getSettings = shell32.GetProc<SHGetSettingsFn>("SHGetSettings"))
            getSettings(&state, SSF_DOUBLECLICKINWEBVIEW | SSF_WIN95CLASSIC);
    }
    const bool singleClick = !state.fWin95Classic && !state.fDoubleClickInWebView;
    const DWORD exStyle = singleClick ? LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_UNDERLINEHOT : 0;
    SendMessageA(m_hwndList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, exStyle);
}

// Any popup opening over the view: selection commands follow the selection, Paste the
// clipboard, and the current view mode is checked.
void CameraView::OnInitMenuPopup(HMENU hmenu)
{
    const UINT selectionState = SelectedCount() != 0 ? MF_ENABLED : MF_GRAYED;
    for (UINT id : kSelectionCommands) EnableMenuItem(hmenu, id, MF_BYCOMMAND | selectionState);
    const bool canPaste = IsClipboardFormatAvailable(CF_HDROP);
    EnableMenuItem(hmenu, IDM_PASTE, MF_BYCOMMAND | (canPaste ? MF_ENABLED : MF_GRAYED));
    for (UINT id : {IDM_SELECTALL, IDM_INVERTSELECTION, IDM_ABOUT}) EnableMenuItem(hmenu, id, MF_BYCOMMAND | MF_ENABLED);
    CheckMenuRadioItem(hmenu, IDM_VIEW_LARGEICONS, IDM_VIEW_DETAILS, ViewModeCommand(m_FolderSettings.ViewMode),
                       MF_BYCOMMAND);
}

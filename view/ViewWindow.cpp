// The view window and its list: messages, creating, filling and sorting the list, the
// list's and the header's notifications, dragging files out, and the shell settings.
#include <utility>
#include "folder/CameraFolder.h"
#include "module/TextHelpers.h"
#include "resources/resource.h"
#include "transfer/ItemDropSource.h"
#include "view/CameraView.h"
#include "view/DisplaySettings.h"
#include "view/ItemSort.h"
#include <windowsx.h>  // last: its macros would rename the holders of module/Raii.h

namespace {

// The list's style for a view mode; the icon view for every mode it does not know.
DWORD ListStyleForMode(UINT viewMode)
{
    switch (viewMode) {
    case FVM_SMALLICON: return LVS_SMALLICON;
    case FVM_LIST: return LVS_LIST;
    case FVM_DETAILS: return LVS_REPORT;
    default: return LVS_ICON;
    }
}

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

// Posted to the view window when the selection changed: toolbar and status follow once a
// burst of changes is over.
UINT SelectionChangedMessage()
{
    static const UINT message = RegisterWindowMessageA("Lumora.ViewSelectionChanged");
    return message;
}

// Whether hwnd is the window or one of its descendants.
bool IsWithin(HWND window, HWND hwnd)
{
    return hwnd && (hwnd == window || IsChild(window, hwnd));
}

}  // namespace

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
    if (uMsg == SelectionChangedMessage()) {
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

// The three columns at the process's widths and the system image lists.
void CameraView::InitColumns()
{
    SendMessageA(m_hwndList, LVM_DELETEALLITEMS, 0, 0);
    const DisplaySettings settings = CurrentDisplaySettings();
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
    int index = static_cast<int>(SendMessageA(m_hwndList, LVM_GETITEMCOUNT, 0, 0));
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
    SortContext context = {m_pFolder.Get(), column, direction, m_pTypeCache.get()};
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

// Notifications of the list and of its header (which the list passes on).
void CameraView::OnNotify(const NMHDR* pnmh)
{
    if (!pnmh || !m_hwndList) return;
    if (pnmh->hwndFrom == m_hwndList) OnListNotify(pnmh);
    else if (pnmh->hwndFrom == reinterpret_cast<HWND>(SendMessageA(m_hwndList, LVM_GETHEADER, 0, 0))) OnHeaderNotify(pnmh);
}

// The list's notifications.
void CameraView::OnListNotify(const NMHDR* pnmh)
{
    switch (pnmh->code) {
    case LVN_GETDISPINFOA: OnGetDispInfo(const_cast<NMLVDISPINFOA*>(reinterpret_cast<const NMLVDISPINFOA*>(pnmh))); break;
    case LVN_ITEMCHANGED: OnItemChanged(reinterpret_cast<const NMLISTVIEW*>(pnmh)); break;
    case LVN_ITEMACTIVATE: OnItemActivate(reinterpret_cast<const NMITEMACTIVATE*>(pnmh)); break;
    case LVN_BEGINDRAG: BeginDrag(); break;
    case LVN_KEYDOWN:
        if (reinterpret_cast<const NMLVKEYDOWN*>(pnmh)->wVKey == VK_ESCAPE) OnEscape();
        break;
    case LVN_COLUMNCLICK: OnColumnClick(reinterpret_cast<const NMLISTVIEW*>(pnmh)->iSubItem); break;
    case LVN_DELETEITEM:
        m_pIdManager->Delete(reinterpret_cast<LPITEMIDLIST>(reinterpret_cast<const NMLISTVIEW*>(pnmh)->lParam));
        break;
    case NM_SETFOCUS: OnViewWindowFocus(); break;
    case NM_KILLFOCUS: OnListFocusLost(GetFocus()); break;
    }
}

// The header's notifications: the end of a divider drag stores the widths.
void CameraView::OnHeaderNotify(const NMHDR* pnmh)
{
    if (pnmh->code == HDN_ENDTRACKA || pnmh->code == HDN_ENDTRACKW) OnEndTrack(reinterpret_cast<const NMHEADERA*>(pnmh));
}

// A row's text and icon, worked out from its identifier.
void CameraView::OnGetDispInfo(NMLVDISPINFOA* pInfo)
{
    LVITEMA& item = pInfo->item;
    const auto pidl = reinterpret_cast<LPCITEMIDLIST>(item.lParam);
    if (!pidl) return;
    const bool text = (item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0;
    if (item.iSubItem == kColumnName && (item.mask & LVIF_IMAGE)) item.iImage = m_pTypeCache->IconIndex(pidl);
    if (!text) return;
    char buffer[MAX_PATH];
    switch (item.iSubItem) {
    case kColumnName: m_pIdManager->GetItemName(pidl, item.pszText, item.cchTextMax); break;
    case kColumnSize: m_pIdManager->GetItemSizeText(pidl, item.pszText, item.cchTextMax); break;
    case kColumnType: CopyStringN(item.pszText, m_pTypeCache->TypeName(pidl, buffer), item.cchTextMax); break;
    }
}

// A row's state changed: the toolbar and the status texts follow once the burst is over.
void CameraView::OnItemChanged(const NMLISTVIEW* pnmlv)
{
    if (!(pnmlv->uChanged & LVIF_STATE) || m_fSelectionChangePosted) return;
    if ((pnmlv->uOldState ^ pnmlv->uNewState) & LVIS_SELECTED)
        m_fSelectionChangePosted = PostMessageA(m_hwndView, SelectionChangedMessage(), 0, 0) != FALSE;
}

// Double-click, Enter (or a single click with that setting) on a row: the default command.
void CameraView::OnItemActivate(const NMITEMACTIVATE* pnmia)
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = pnmia->iItem;
    if (SendMessageA(m_hwndList, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        ShowItemMenu(0, 0, true, -1);
}

// Escape after a Cut whose data the clipboard still holds: the clipboard is emptied and
// the cut marks go.
void CameraView::OnEscape()
{
    if (!m_fCutPending || !m_pClipboardData || OleIsCurrentClipboard(m_pClipboardData) != S_OK) return;
    OleSetClipboard(nullptr);
    m_fCutPending = 0;
    m_pClipboardData = nullptr;
    LVITEMA item = {};
    item.stateMask = LVIS_CUT;
    item.state = 0;
    SendMessageA(m_hwndList, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

// A header click: the same column again turns the direction, another one sorts ascending.
void CameraView::OnColumnClick(int column)
{
    m_iSortDirection = column == m_iSortColumn ? -m_iSortDirection : 1;
    m_iSortColumn = column;
    SortList(column, m_iSortDirection);
}

// The end of a divider drag: the dragged column's new width is in the notification (the
// list still answers the old one); the others are read from the list. Stored at once.
void CameraView::OnEndTrack(const NMHEADERA* pnmh)
{
    DisplaySettings settings = {};
    for (int column = 0; column < kColumnCount; ++column)
        settings.widths[column] = static_cast<int>(SendMessageA(m_hwndList, LVM_GETCOLUMNWIDTH, column, 0));
    const HDITEMA* pitem = pnmh->pitem;
    if (pitem && (pitem->mask & HDI_WIDTH) && pnmh->iItem >= 0 && pnmh->iItem < kColumnCount)
        settings.widths[pnmh->iItem] = pitem->cxy;
    StoreDisplaySettings(settings);
}

// Drags the selected files out as a copy, when the folder gives a data object for them.
void CameraView::BeginDrag()
{
    UINT cidl = 0;
    MallocPtr<LPCITEMIDLIST> selection(m_pMalloc.Get(), CollectSelection(&cidl));
    if (cidl == 0 || !selection) return;
    ComPtr<IDataObject> data;
    if (FAILED(m_pFolder->GetUIObjectOf(m_hwndView, cidl, selection.Get(), IID_IDataObject, nullptr,
                                        reinterpret_cast<void**>(data.GetAddressOf()))) || !data) {
        return;
    }
    ComPtr<ItemDropSource> source = Adopt(ItemDropSource::Create());
    if (!source) return;
    // While the drag runs the view's own drop target knows the data; the clipboard's comes back after.
    IDataObject* previous = std::exchange(m_pClipboardData, data.Get());
    DWORD effect = DROPEFFECT_NONE;
    DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY, &effect);
    m_pClipboardData = previous;
}

// Frees every row's identifier and leaves the row without one (the window is going).
void CameraView::FreeRowItems()
{
    ForEachRow(false, [&](int row) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        item.lParam = reinterpret_cast<LPARAM>(RowItem(row));
        if (!item.lParam) return;
        m_pIdManager->Delete(reinterpret_cast<LPITEMIDLIST>(item.lParam));
        item.lParam = 0;
        SendMessageA(m_hwndList, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    });
}

// The number of selected rows.
UINT CameraView::SelectedCount() const
{
    return m_hwndList ? static_cast<UINT>(SendMessageA(m_hwndList, LVM_GETSELECTEDCOUNT, 0, 0)) : 0;
}

// The identifier a row owns, or null.
LPCITEMIDLIST CameraView::RowItem(int row) const
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!m_hwndList || !SendMessageA(m_hwndList, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<LPCITEMIDLIST>(item.lParam);
}

// The selected rows' identifiers in list order, in an array from the view's allocator
// (the rows keep owning the identifiers); *pcidl is the selected count, and the array is
// null when that is 0 or no memory was left.
LPCITEMIDLIST* CameraView::CollectSelection(UINT* pcidl)
{
    *pcidl = SelectedCount();
    if (*pcidl == 0) return nullptr;
    auto* array = static_cast<LPCITEMIDLIST*>(m_pMalloc->Alloc(*pcidl * sizeof(LPCITEMIDLIST)));
    if (!array) return nullptr;
    UINT collected = 0;
    ForEachRow(true, [&](int row) {
        if (collected < *pcidl) array[collected++] = RowItem(row);
    });
    *pcidl = collected;
    return array;
}

// Where a context menu opens, in screen coordinates.
POINT CameraView::ContextMenuPosition(LPARAM lParam) const
{
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (pt.x != -1 || pt.y != -1 || !m_hwndList) return pt;
    pt = {0, 0};
    const int row = static_cast<int>(SendMessageA(m_hwndList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    RECT rc = {};
    rc.left = LVIR_LABEL;
    if (row >= 0) {
        SendMessageA(m_hwndList, LVM_ENSUREVISIBLE, row, FALSE);
        if (SendMessageA(m_hwndList, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rc))) pt = {rc.left, rc.bottom};
    }
    ClientToScreen(m_hwndList, &pt);
    return pt;
}

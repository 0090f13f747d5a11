// The rows of the view's list: the list control, the items its rows own, the selection, the sort and the cut marks.
#include "view/ViewRows.h"
#include <new>
#include "folder/CameraFolder.h"
#include "resources/resource.h"
#include "transfer/CameraNames.h"
#include "view/DisplaySettings.h"
#include "view/ItemSort.h"
#include <windowsx.h>  // last: its macros would rename the holders of base/Raii.h

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

}  // namespace

DWORD ListStyleForMode(UINT viewMode)
{
    switch (viewMode) {
    case FVM_SMALLICON: return LVS_SMALLICON;
    case FVM_LIST: return LVS_LIST;
    case FVM_DETAILS: return LVS_REPORT;
    default: return LVS_ICON;
    }
}

HIMAGELIST SystemImageList(bool fSmall)
{
    SHFILEINFOA info = {};
    const UINT flags = SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | (fSmall ? SHGFI_SMALLICON : 0);
    return reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(".EXE", 0, &info, sizeof(info), flags));
}

// The allocator, the manager and the type names, in that order.
bool ViewRows::Initialize()
{
    if (FAILED(SHGetMalloc(&m_pMalloc)) || !m_pMalloc) return false;
    m_pIdManager = ItemIdManager::Create();
    if (!m_pIdManager) return false;
    m_pTypeCache.reset(new (std::nothrow) ItemTypeCache(m_pIdManager.get()));
    return m_pTypeCache != nullptr;
}

// The list control, in the style of the browser's view mode.
bool ViewRows::CreateList(HWND hwndView, const FOLDERSETTINGS& settings)
{
    DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_SHAREIMAGELISTS;
    style |= ListStyleForMode(settings.ViewMode);
    if (settings.fFlags & FWF_AUTOARRANGE) style |= LVS_AUTOARRANGE;
    m_hwndList = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, nullptr, style, 0, 0, 0, 0, hwndView,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LIST)), g_hinstModule, nullptr);
    if (!m_hwndList) return false;
    ApplyShellSettings();
    return true;
}

// The three columns at the process's widths (the defaults at the view's DPI) and the
// system image lists.
void ViewRows::InitColumns(HWND hwndView)
{
    SendMessageA(m_hwndList, LVM_DELETEALLITEMS, 0, 0);
    const DisplaySettings settings = ColumnWidthsFor(hwndView);
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
    SendMessageA(m_hwndList, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(SystemImageList(false)));
    SendMessageA(m_hwndList, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(SystemImageList(true)));
}

// A new fill: the type names are read again and the rows come in name order, as a fill sorts.
void ViewRows::BeginFill()
{
    m_pTypeCache->Clear();
    m_iShownColumn = kColumnName;
    m_iShownDirection = 1;
}

// Each row goes where the order the list shows puts it; the rows after it move down. The list
// is laid out and painted once for the batch: with redraw on, every insertion lays out its
// header and scroll bars again (about 10 ms a row under Wine).
void ViewRows::AddRows(const std::vector<LPITEMIDLIST>& rows)
{
    const ItemColumns columns(m_pIdManager.get(), m_pTypeCache.get());
    const SortContext context = {m_pFolder, m_iShownColumn, m_iShownDirection, &columns};
    const HWND list = m_hwndList;
    if (list) SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (LPITEMIDLIST pidl : rows) {
        if (!m_hwndList) m_pIdManager->Delete(pidl);  // the window went while the camera was read
        else AppendRow(pidl, ItemIdManager::IsCameraItem(pidl) ? InsertionIndex(pidl, context) : 0);
    }
    if (!list || !IsWindow(list)) return;
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

// The first row that sorts after pidl: equal rows keep the camera's order.
int ViewRows::InsertionIndex(LPCITEMIDLIST pidl, const SortContext& context) const
{
    int low = 0;
    int high = RowCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        const int order = CompareItems(reinterpret_cast<LPARAM>(RowItem(middle)), reinterpret_cast<LPARAM>(pidl),
                                       reinterpret_cast<LPARAM>(&context));
        if (order <= 0) low = middle + 1;
        else high = middle;
    }
    return low;
}

// A row that owns the identifier the enumerator handed over; a null identifier or a row
// the list refuses is no row, and the identifier is freed.
bool ViewRows::AppendRow(LPITEMIDLIST pidl, int index)
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
void ViewRows::SortList(int column, int direction)
{
    const ItemColumns columns(m_pIdManager.get(), m_pTypeCache.get());
    SortContext context = {m_pFolder, column, direction, &columns};
    SendMessageA(m_hwndList, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context),
                 reinterpret_cast<LPARAM>(CompareItems));
}

// Single-click opening (hot rows, underlined) when the user chose it, otherwise none.
void ViewRows::ApplyShellSettings()
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

// Frees every row's identifier and leaves the row without one (the window is going).
void ViewRows::FreeRowItems()
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

// The number of rows; 0 without a list.
int ViewRows::RowCount() const
{
    return m_hwndList ? static_cast<int>(SendMessageA(m_hwndList, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

// The number of selected rows.
UINT ViewRows::SelectedCount() const
{
    return m_hwndList ? static_cast<UINT>(SendMessageA(m_hwndList, LVM_GETSELECTEDCOUNT, 0, 0)) : 0;
}

// The identifier a row owns, or null.
LPCITEMIDLIST ViewRows::RowItem(int row) const
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
LPCITEMIDLIST* ViewRows::CollectSelection(UINT* pcidl)
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
POINT ViewRows::ContextMenuPosition(LPARAM lParam) const
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

// The first row whose file name equals the item's, byte for byte; -1 when no row shows it.
int ViewRows::FindListItem(LPCITEMIDLIST pidl)
{
    if (!pidl) return -1;
    const int count = RowCount();
    for (int row = 0; row < count; ++row) {
        const LPCITEMIDLIST item = RowItem(row);
        if (!item) continue;
        const HRESULT order = m_pFolder->CompareIDs(kColumnName, pidl, item);
        if (order >= 0 && HRESULT_CODE(order) == 0) return row;
    }
    return -1;
}

// Dims (or undims) the rows of the given items as cut; items no row shows are passed over.
void ViewRows::MarkCutItems(LPCITEMIDLIST* apidl, UINT cidl, BOOL fMark)
{
    if (!apidl) return;
    for (UINT i = 0; i < cidl; ++i) {
        if (!apidl[i]) continue;
        const int row = FindListItem(m_pIdManager->GetLastItem(apidl[i]));
        if (row < 0) continue;
        LVITEMA item = {};
        item.stateMask = LVIS_CUT;
        item.state = fMark ? LVIS_CUT : 0;
        SendMessageA(m_hwndList, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }
}

// Takes the cut mark off every row.
void ViewRows::ClearCutMarks()
{
    if (!m_hwndList) return;
    LVITEMA item = {};
    item.stateMask = LVIS_CUT;
    item.state = 0;
    SendMessageA(m_hwndList, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

// Deletes every row marked as cut, from the last down, so the lower rows keep their places.
void ViewRows::RemoveCutRows()
{
    for (int row = RowCount() - 1; row >= 0; --row) {
        if (SendMessageA(m_hwndList, LVM_GETITEMSTATE, row, LVIS_CUT)) SendMessageA(m_hwndList, LVM_DELETEITEM, row, 0);
    }
}

// The name of a row's camera file (a 13-byte buffer, empty for a row without an item); false
// when the list has no such row.
bool ViewRows::GetListItemName(int row, char* name)
{
    name[0] = '\0';
    if (row < 0 || row >= RowCount()) return false;
    if (const LPCITEMIDLIST item = RowItem(row)) m_pIdManager->GetItemName(item, name, kCameraNameBuffer);
    return true;
}

// Empties the list; the rows' identifiers are freed as the list deletes them.
void ViewRows::DeleteAllRows()
{
    SendMessageA(m_hwndList, LVM_DELETEALLITEMS, 0, 0);
}

// The icon modes' rows to the top.
void ViewRows::Arrange()
{
    if (m_hwndList) SendMessageA(m_hwndList, LVM_ARRANGE, LVA_ALIGNTOP, 0);
}

// A header click: the same column again turns the direction, another one sorts ascending.
void ViewRows::SortByColumn(int column)
{
    m_iSortDirection = column == m_iSortColumn ? -m_iSortDirection : 1;
    m_iSortColumn = column;
    m_iShownColumn = column;
    m_iShownDirection = m_iSortDirection;
    SortList(column, m_iSortDirection);
}

// A row's text and icon, worked out from its identifier.
void ViewRows::GetDisplayInfo(NMLVDISPINFOA* pInfo)
{
    LVITEMA& item = pInfo->item;
    const auto pidl = reinterpret_cast<LPCITEMIDLIST>(item.lParam);
    if (!pidl) return;
    const bool text = (item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0;
    if (item.iSubItem == kColumnName && (item.mask & LVIF_IMAGE)) item.iImage = m_pTypeCache->IconIndex(pidl);
    if (text) ItemColumns(m_pIdManager.get(), m_pTypeCache.get()).GetText(pidl, item.iSubItem, item.pszText, item.cchTextMax);
}

// The identifier of a row the list deleted.
void ViewRows::FreeDeletedItem(LPITEMIDLIST pidl)
{
    m_pIdManager->Delete(pidl);
}

// The bytes of the selected rows, or of all rows.
ULONGLONG ViewRows::CountedBytes(bool fSelectedOnly) const
{
    ULONGLONG total = 0;
    ForEachRow(fSelectedOnly, [&](int row) { total += m_pIdManager->GetItemFileSize(RowItem(row)); });
    return total;
}

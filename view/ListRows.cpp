// The rows of the view's list: their identifiers, the selection, where a menu opens.
#include "view/CameraView.h"
#include "folder/CameraFolder.h"
#include "transfer/CameraNames.h"
#include <windowsx.h>  // last: its macros would rename the holders of base/Raii.h

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

// The number of rows; 0 without a list.
int CameraView::RowCount() const
{
    return m_hwndList ? static_cast<int>(SendMessageA(m_hwndList, LVM_GETITEMCOUNT, 0, 0)) : 0;
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

// The first row whose file name equals the item's, byte for byte; -1 when no row shows it.
int CameraView::FindListItem(LPCITEMIDLIST pidl)
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
void CameraView::MarkCutItems(LPCITEMIDLIST* apidl, UINT cidl, BOOL fMark)
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
void CameraView::ClearCutMarks()
{
    if (!m_hwndList) return;
    LVITEMA item = {};
    item.stateMask = LVIS_CUT;
    item.state = 0;
    SendMessageA(m_hwndList, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

// Deletes every row marked as cut, from the last down, so the lower rows keep their places.
void CameraView::RemoveCutRows()
{
    for (int row = RowCount() - 1; row >= 0; --row) {
        if (SendMessageA(m_hwndList, LVM_GETITEMSTATE, row, LVIS_CUT)) SendMessageA(m_hwndList, LVM_DELETEITEM, row, 0);
    }
}

// The name of a row's camera file (a 13-byte buffer, empty for a row without an item); false
// when the list has no such row.
bool CameraView::GetListItemName(int row, char* name)
{
    name[0] = '\0';
    if (row < 0 || row >= RowCount()) return false;
    if (const LPCITEMIDLIST item = RowItem(row)) m_pIdManager->GetItemName(item, name, kCameraNameBuffer);
    return true;
}

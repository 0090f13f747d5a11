// The notifications of the view's list and of its header: row texts, selection changes,
// activation, Escape after a Cut, header clicks, divider drags and dragging files out.
#include <utility>
#include "folder/CameraFolder.h"
#include "transfer/ItemDropSource.h"
#include "view/CameraView.h"
#include "view/DisplaySettings.h"

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
    case LVN_ITEMACTIVATE: OnItemActivate(); break;
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
    if (text) ItemColumns(m_pIdManager.get(), m_pTypeCache.get()).GetText(pidl, item.iSubItem, item.pszText, item.cchTextMax);
}

// A row's state changed: the toolbar and the status texts follow once the burst is over.
void CameraView::OnItemChanged(const NMLISTVIEW* pnmlv)
{
    if (!(pnmlv->uChanged & LVIF_STATE) || m_fSelectionChangePosted) return;
    if ((pnmlv->uOldState ^ pnmlv->uNewState) & LVIS_SELECTED)
        m_fSelectionChangePosted = PostMessageA(m_hwndView, ViewSelectionChangedMessage(), 0, 0) != FALSE;
}

// Double-click, Enter (or a single click with that setting) on a row: the default command
// of the selection's menu (Open). The notification is read no further than its header: for
// Enter, Wine's list sends a bare NMHDR. Without a selection the background menu has no
// default command, so nothing happens.
void CameraView::OnItemActivate()
{
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
    ClearCutMarks();
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
    ViewOperation operation(this);
    if (!operation) return;
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

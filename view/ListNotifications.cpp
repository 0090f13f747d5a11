// The notifications of the view's list and of its header, passed on to the rows, the commands and the view.
#include "view/ListNotifications.h"
#include "folder/CameraFolder.h"
#include "view/CameraView.h"
#include "view/DisplaySettings.h"

// Notifications of the list and of its header (which the list passes on).
void ListNotifications::OnNotify(const NMHDR* pnmh)
{
    const HWND list = m_rows.ListWindow();
    if (!pnmh || !list) return;
    if (pnmh->hwndFrom == list) OnListNotify(pnmh);
    else if (pnmh->hwndFrom == reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0))) OnHeaderNotify(pnmh);
}

// The list's notifications.
void ListNotifications::OnListNotify(const NMHDR* pnmh)
{
    switch (pnmh->code) {
    case LVN_GETDISPINFOA: OnGetDisplayInfo(const_cast<NMLVDISPINFOA*>(reinterpret_cast<const NMLVDISPINFOA*>(pnmh))); break;
    case LVN_ITEMCHANGED: OnItemChanged(reinterpret_cast<const NMLISTVIEW*>(pnmh)); break;
    case LVN_ITEMACTIVATE: OnItemActivate(); break;
    case LVN_BEGINDRAG: m_commands.DragSelection(); break;
    case LVN_KEYDOWN:
        if (reinterpret_cast<const NMLVKEYDOWN*>(pnmh)->wVKey == VK_ESCAPE) m_commands.CancelCut();
        break;
    case LVN_COLUMNCLICK: m_rows.SortByColumn(reinterpret_cast<const NMLISTVIEW*>(pnmh)->iSubItem); break;
    case LVN_DELETEITEM:
        m_rows.FreeDeletedItem(reinterpret_cast<LPITEMIDLIST>(reinterpret_cast<const NMLISTVIEW*>(pnmh)->lParam));
        break;
    case NM_SETFOCUS: m_view.OnViewWindowFocus(); break;
    case NM_KILLFOCUS: m_view.OnListFocusLost(GetFocus()); break;
    }
}

// A row's texts and image; in Thumbnails its picture instead of its icon.
void ListNotifications::OnGetDisplayInfo(NMLVDISPINFOA* pInfo)
{
    m_rows.GetDisplayInfo(pInfo);
    LVITEMA& item = pInfo->item;
    if (item.iSubItem == 0 && (item.mask & LVIF_IMAGE) && item.lParam)
        item.iImage = m_view.Thumbnails().ImageIndex(reinterpret_cast<LPCITEMIDLIST>(item.lParam), item.iImage);
}

// The header's notifications: the end of a divider drag stores the widths.
void ListNotifications::OnHeaderNotify(const NMHDR* pnmh)
{
    if (pnmh->code == HDN_ENDTRACKA || pnmh->code == HDN_ENDTRACKW) OnEndTrack(reinterpret_cast<const NMHEADERA*>(pnmh));
}

// A row's state changed: the toolbar and the status texts follow once the burst is over.
void ListNotifications::OnItemChanged(const NMLISTVIEW* pnmlv)
{
    if (!(pnmlv->uChanged & LVIF_STATE)) return;
    if ((pnmlv->uOldState ^ pnmlv->uNewState) & LVIS_SELECTED) m_view.PostSelectionChanged();
}

// Double-click, Enter (or a single click with that setting) on a row: the default command
// of the selection's menu (Open). The notification is read no further than its header: for
// Enter, Wine's list sends a bare NMHDR. Without a selection the background menu has no
// default command, so nothing happens.
void ListNotifications::OnItemActivate()
{
    m_commands.ShowItemMenu(0, 0, true, -1);
}

// The end of a divider drag: the dragged column's new width is in the notification (the
// list still answers the old one); the others are read from the list. Stored at once.
void ListNotifications::OnEndTrack(const NMHEADERA* pnmh)
{
    DisplaySettings settings = {};
    for (int column = 0; column < kColumnCount; ++column)
        settings.widths[column] = static_cast<int>(SendMessageA(m_rows.ListWindow(), LVM_GETCOLUMNWIDTH, column, 0));
    const HDITEMA* pitem = pnmh->pitem;
    if (pitem && (pitem->mask & HDI_WIDTH) && pnmh->iItem >= 0 && pnmh->iItem < kColumnCount)
        settings.widths[pnmh->iItem] = pitem->cxy;
    StoreDisplaySettings(settings);
}

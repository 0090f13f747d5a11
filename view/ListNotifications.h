// The notifications of the view's list and of its header, passed on to the rows, the commands and the view.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "view/ViewCommands.h"
#include "view/ViewRows.h"

class CameraView;

// Row texts, selection changes, activation, Escape after a Cut, header clicks, divider drags
// and dragging files out.
class ListNotifications {
public:
    // The notifications of the view's list, for its rows and commands.
    ListNotifications(CameraView& view, ViewRows& rows, ViewCommands& commands)
        : m_view(view), m_rows(rows), m_commands(commands)
    {
    }
    ListNotifications(const ListNotifications&) = delete;
    ListNotifications& operator=(const ListNotifications&) = delete;

    // A WM_NOTIFY that reached the view window.
    void OnNotify(const NMHDR* pnmh);

private:
    void OnListNotify(const NMHDR* pnmh);
    void OnGetDisplayInfo(NMLVDISPINFOA* pInfo);
    void OnHeaderNotify(const NMHDR* pnmh);
    void OnItemChanged(const NMLISTVIEW* pnmlv);
    void OnItemActivate();
    void OnEndTrack(const NMHEADERA* pnmh);

    CameraView& m_view;
    ViewRows& m_rows;
    ViewCommands& m_commands;
};

// What the view puts into its browser (menus, toolbar buttons, status texts) and every call it makes to the browser.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include "base/Raii.h"
#include "camera/CameraConnection.h"
#include "view/ViewRows.h"

class CameraView;

// The command of a view mode's menu item and button: Details for every mode it does not know.
UINT ViewModeCommand(UINT viewMode);

// Items in the File, Edit, View and Help menus, buttons on the toolbar and texts in the
// status bar. Every browser call may be refused (Wine's own explorer refuses them all); the
// view then simply goes without.
class BrowserMerge {
public:
    // The merge of the view, whose rows the buttons and status texts follow.
    BrowserMerge(CameraView& view, ViewRows& rows, CameraConnection* connection)
        : m_view(view), m_rows(rows), m_pConnection(connection)
    {
    }
    BrowserMerge(const BrowserMerge&) = delete;
    BrowserMerge& operator=(const BrowserMerge&) = delete;

    // The browser the view window goes into, and its window (the view window's parent).
    HWND Attach(IShellBrowser* psb);
    void Detach() { m_pShellBrowser.Reset(); }
    HWND ParentWindow() const { return m_hwndParent; }

    // The activation state, and a new one from the browser or the focus.
    UINT State() const { return m_uState; }
    void OnActivate(UINT uState);
    // The view (or its list) has the focus: the browser hears of it.
    void NotifyViewActive();
    void DestroySharedMenu();
    void OnInitMenuPopup(HMENU hmenu);

    void MergeToolbar();
    void UpdateToolbar();
    void UpdateStatusBar(bool fTexts, bool fParts);
    // Whether the browser shows a folder tree.
    bool ShowsFolderTree();

private:
    void ReplaceSharedMenu(UINT uState);
    void BuildFileMenu(HMENU hmenu, UINT uState);
    void BuildEditMenu(HMENU hmenu, UINT uState);
    void BuildViewMenu(HMENU hmenu);
    void BuildHelpMenu(HMENU hmenu);
    int AddToolbarBitmap(UINT idBitmap);
    void SetStatusParts();
    void SetStatusTexts();
    void FormatCountText(UINT selected, char* text) const;
    void FormatReadingText(UINT read, UINT listed, char* text) const;
    LRESULT SendToControl(UINT id, UINT uMsg, WPARAM wParam, LPARAM lParam);

    CameraView& m_view;
    ViewRows& m_rows;
    CameraConnection* m_pConnection;
    ComPtr<IShellBrowser> m_pShellBrowser;
    HWND m_hwndParent = nullptr;
    UINT m_uState = SVUIA_DEACTIVATE;
    HMENU m_hMenu = nullptr;
};

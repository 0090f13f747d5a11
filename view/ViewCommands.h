// The view's commands: the choice through the folder's context menu, the handlers, dragging files out and sending files in.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include "base/Raii.h"
#include "camera/CameraConnection.h"
#include "items/ItemCopies.h"
#include "view/BrowserMerge.h"
#include "view/ViewRows.h"

class CameraView;

// Menu items, toolbar buttons, keys, the context menu and the activation of a row all arrive
// at ShowItemMenu, which asks the folder's context menu for the command and carries it out
// itself, each handler on its own copies of the selected items.
class ViewCommands {
public:
    // The commands of the view on its rows and in its browser (the folder outlives them).
    ViewCommands(CameraView& view, ViewRows& rows, BrowserMerge& merge, IShellFolder* folder, CameraConnection* connection)
        : m_view(view), m_rows(rows), m_merge(merge), m_pFolder(folder), m_pConnection(connection)
    {
    }
    ViewCommands(const ViewCommands&) = delete;
    ViewCommands& operator=(const ViewCommands&) = delete;

    // Every menu item, button, key, context menu and row activation arrives here.
    void ShowItemMenu(int x, int y, bool fDefault, int idCommand);
    // A command chosen through the folder's context menu for its items (see CameraView).
    HRESULT InvokeMenuCommand(UINT idCommand, UINT cidl, const LPCITEMIDLIST* apidl);

    // The handlers; each answers whether it did what it was asked.
    bool OpenItems(UINT cidl, LPCITEMIDLIST* apidl);
    bool DeleteItems(UINT cidl, LPCITEMIDLIST* apidl);
    BOOL CopyItemsToClipboard(UINT cidl, LPCITEMIDLIST* apidl, UINT fCut);
    HRESULT PasteFromClipboard();
    void SelectAllItems();
    void InvertSelection();
    void SetViewMode(UINT uViewMode);
    // PC files to the camera, from a CF_HDROP list; a block that is no sound list sends nothing.
    HRESULT UploadFiles(HDROP hDrop);
    // Drags the selected files out; Escape after a Cut takes it back.
    void DragSelection();
    void CancelCut();

    // The last Cut or Copy: whether it was a Cut still pending, and its data (not owned).
    bool IsOwnData(IDataObject* pData) const { return pData && pData == m_pClipboardData; }
    UINT CutPending() const { return m_fCutPending; }
    IDataObject* ClipboardData() const { return m_pClipboardData; }

private:
    void RunItemMenu(int x, int y, bool fDefault, int idCommand);
    bool CopySelection(ItemCopies* pItems);
    ComPtr<IContextMenu> ContextMenuFor(const ItemCopies& items);
    UINT ContextMenuFlags();
    UINT ChooseCommand(HMENU hmenu, int x, int y, bool fDefault, int idCommand);
    HRESULT RunCommand(UINT idCommand, UINT cidl, LPCITEMIDLIST* apidl);
    void InvokeMenuVerb(IContextMenu* pMenu, UINT idCommand);
    void FinishCommand();

    CameraView& m_view;
    ViewRows& m_rows;
    BrowserMerge& m_merge;
    IShellFolder* m_pFolder;
    CameraConnection* m_pConnection;
    IDataObject* m_pClipboardData = nullptr;  // not owned: only compared
    UINT m_fCutPending = 0;
};

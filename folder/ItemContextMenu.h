// The folder's IContextMenu: fills menus with the folder's commands and translates
// between command offsets and verbs. The camera view carries the commands out, also those
// invoked through this menu from one of its windows.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <memory>
#include <optional>
#include "items/ItemCopies.h"
#include "items/ItemIdManager.h"
#include "base/ComObject.h"
#include "base/Raii.h"

// Whether the view carries a command out itself (every other id goes to the context menu).
bool IsViewCommand(UINT idCommand);

class ItemContextMenu final : public ComObject<ItemContextMenu, IContextMenu> {
public:
    // A menu for the given items (copied), or for the folder's background when cidl is 0.
    // Null when no allocator, manager or memory for the copies could be had.
    static ItemContextMenu* Create(const LPCITEMIDLIST* apidl, UINT cidl);

    static const QITAB* InterfaceTable();

    // IContextMenu
    IFACEMETHODIMP QueryContextMenu(HMENU hmenu, UINT indexMenu, UINT idCmdFirst, UINT idCmdLast, UINT uFlags) override;
    IFACEMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* pici) override;
    IFACEMETHODIMP GetCommandString(UINT_PTR idCmd, UINT uType, UINT* pReserved, CHAR* pszName, UINT cchMax) override;

private:
    ItemContextMenu() = default;
    ~ItemContextMenu() override = default;

    bool Initialize(const LPCITEMIDLIST* apidl, UINT cidl);
    void FillItemMenu(HMENU hmenu, UINT position, UINT idCmdFirst);
    void FillBackgroundMenu(HMENU hmenu, UINT position);

    // Destroyed in reverse: the copies, allocator, manager (the base's module count last).
    std::unique_ptr<ItemIdManager> m_pIdManager;
    ComPtr<IMalloc> m_pMalloc;
    std::optional<ItemCopies> m_items;  // made once manager and allocator are there
    bool m_fBackground = false;
};

// The items one command of the view works on, as its own copies: the rows they came from
// may go while the command runs (a refresh, a finished move), since the command's dialogs
// and message boxes pump messages.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include "items/ItemIdManager.h"

class ItemCopies {
public:
    // Copies made and freed with the manager; the array comes from the allocator.
    ItemCopies(IMalloc* pMalloc, ItemIdManager* pIdManager) : m_pMalloc(pMalloc), m_pIdManager(pIdManager) {}
    ~ItemCopies() { Free(); }
    ItemCopies(const ItemCopies&) = delete;
    ItemCopies& operator=(const ItemCopies&) = delete;

    // Copies cidl items (null entries stay null); false, holding none, when memory ran out.
    bool Assign(const LPCITEMIDLIST* apidl, UINT cidl);

    UINT Count() const { return m_cidl; }
    // The copies in order; null when there are none.
    LPCITEMIDLIST* Items() const { return m_apidl; }

private:
    void Free();

    IMalloc* m_pMalloc;
    ItemIdManager* m_pIdManager;
    LPCITEMIDLIST* m_apidl = nullptr;  // the copies are this object's
    UINT m_cidl = 0;
};

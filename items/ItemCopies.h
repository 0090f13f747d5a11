// Camera items held as an object's own copies: the rows they came from may go while a
// command or a data object still works on them (a refresh, a finished move), since dialogs
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

    // Copies cidl items in order; a null item, or one whose copy cannot be made, stays null.
    // False when the array or a copy could not be made (memory ran out); without the array
    // nothing is held.
    bool Assign(const LPCITEMIDLIST* apidl, UINT cidl);
    // Frees the copy of one item; its entry is null from now on.
    void Forget(UINT i);

    UINT Count() const { return m_cidl; }
    // The entries that hold a copy.
    UINT CountPresent() const;
    // The copies in order; null when there are none.
    LPCITEMIDLIST* Items() const { return m_apidl; }
    LPCITEMIDLIST Item(UINT i) const { return m_apidl[i]; }

private:
    void Free();

    IMalloc* m_pMalloc;
    ItemIdManager* m_pIdManager;
    LPCITEMIDLIST* m_apidl = nullptr;  // the copies are this object's
    UINT m_cidl = 0;
};

// What a camera item shows in each of the folder's columns, and the order of two items by a
// column: the view's rows, the view's sort and the folder's CompareIDs all read them here.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include "items/ItemIdManager.h"
#include "items/ItemTypeCache.h"

// Column numbers of CompareIDs, shared with the view's columns.
enum CameraColumn : int {
    kColumnName = 0,
    kColumnSize = 1,
    kColumnType = 2,
};

class ItemColumns {
public:
    // Texts come from the manager; type names from the cache when one is given (it answers
    // exactly as the manager does, once per extension).
    explicit ItemColumns(ItemIdManager* manager, ItemTypeCache* types = nullptr) : m_pIdManager(manager), m_pTypes(types) {}

    // The item's text in a column into buffer (capacity characters); empty for another column.
    void GetText(LPCITEMIDLIST item, int column, char* buffer, int capacity) const;
    // -1, 0 or 1: sizes as numbers, names and type names byte by byte.
    int Compare(int column, LPCITEMIDLIST item1, LPCITEMIDLIST item2) const;

private:
    const char* TypeName(LPCITEMIDLIST item, char* buffer /* MAX_PATH */) const;

    ItemIdManager* m_pIdManager;  // not owned
    ItemTypeCache* m_pTypes;      // not owned; may be null
};

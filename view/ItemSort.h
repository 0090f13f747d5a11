// The order of the view's rows: the folder's CompareIDs, read as the list's sort callback.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include "items/ItemColumns.h"

// What the list's sort hands to CompareItems.
struct SortContext {
    IShellFolder* pFolder;          // the view's folder; no folder compares everything equal
    int iColumn;                    // 0 name, 1 size, 2 type (the folder's column numbers)
    int iDirection;                 // +1 ascending, -1 descending
    const ItemColumns* pColumns;    // the view's columns with their kept type names; may be null
};

// The list's sort callback over two rows' identifiers: negative when the first comes first.
// It orders exactly as CompareIDs does; for the type column it reads the kept type names
// instead of asking the shell twice per comparison.
int CALLBACK CompareItems(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);

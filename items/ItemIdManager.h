// Creates, copies, frees and reads the identifier lists of camera files, and derives
// what the view shows of an item: its size text, type name and icon.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <memory>
#include "items/CameraItemId.h"
#include "base/ModuleState.h"
#include "base/Raii.h"

// The library that provides StrFormatKBSizeW, loaded for each size text. Tests point it
// at a library that does not exist to see the "%u KB" text that is written without it.
extern const char* g_pszSizeFormatLibrary;

class ItemIdManager {
public:
    // A manager holding the shell's task allocator; null when there is none or no memory.
    static std::unique_ptr<ItemIdManager> Create();

    ItemIdManager(const ItemIdManager&) = delete;
    ItemIdManager& operator=(const ItemIdManager&) = delete;

    // True for an item that is at least 11 bytes and holds its name's zero.
    static bool IsCameraItem(LPCITEMIDLIST item);

    // Lists.
    LPITEMIDLIST CreateItem(const char* name, DWORD size);
    void Delete(LPITEMIDLIST list);
    LPITEMIDLIST Copy(LPCITEMIDLIST list);
    LPITEMIDLIST GetNextItem(LPCITEMIDLIST item);
    LPITEMIDLIST GetLastItem(LPCITEMIDLIST list);
    UINT GetListSize(LPCITEMIDLIST list);

    // Readers of one item (the first of what they are given).
    LPBYTE GetItemData(LPCITEMIDLIST item);
    int GetItemName(LPCITEMIDLIST item, char* buffer, int capacity);
    DWORD GetItemFileSize(LPCITEMIDLIST item);
    // The file sizes of count items added up (null entries count nothing).
    ULONGLONG GetTotalFileSize(const LPCITEMIDLIST* items, UINT count);

    // Presentation.
    int GetItemSizeText(LPCITEMIDLIST item, char* buffer, int capacity);
    int GetItemIconIndex(LPCITEMIDLIST item);
    int GetItemTypeName(LPCITEMIDLIST item, char* buffer, int capacity);

private:
    explicit ItemIdManager(ComPtr<IMalloc> malloc);
    void FormatWithPlatform(DWORD size, char* buffer, int capacity);

    ModuleObjectCount m_moduleCount;
    ComPtr<IMalloc> m_pMalloc;
};

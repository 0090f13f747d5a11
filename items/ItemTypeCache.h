// The shell's type name and icon of camera files, looked up once per extension.
//
// Asking the shell costs a fraction of a millisecond a call; sorting thousands of rows by
// type would ask it twice per comparison. The shell's answer for a plain file name
// depends only on its extension, so the first file of each extension is looked up through
// the item manager (the very lookup the folder's CompareIDs makes) and the answer is kept
// for the others. Names the shell might read as paths (separators, trailing dots or
// blanks, bytes outside printable ASCII) are looked up each time.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <string>
#include <unordered_map>
#include "items/ItemIdManager.h"

class ItemTypeCache {
public:
    explicit ItemTypeCache(ItemIdManager* manager) : m_pIdManager(manager) {}
    ItemTypeCache(const ItemTypeCache&) = delete;
    ItemTypeCache& operator=(const ItemTypeCache&) = delete;

    // Forgets every answer (a new fill may meet new file associations).
    void Clear() { m_entries.clear(); }

    // The item's type name, as GetItemTypeName gives it: the kept answer, or the text
    // looked up into buffer (MAX_PATH characters).
    const char* TypeName(LPCITEMIDLIST item, char* buffer);
    // The item's icon in the system image list, as GetItemIconIndex gives it.
    int IconIndex(LPCITEMIDLIST item);

    // Extensions answered so far.
    size_t Size() const { return m_entries.size(); }

    // Whether the shell's answer for this name depends on its extension alone.
    static bool IsPlainName(const char* name);

private:
    struct Entry {
        char szTypeName[80];  // as long as the shell's own type names
        int iIcon;
        bool fTypeKnown;
        bool fIconKnown;
    };

    Entry* FindEntry(LPCITEMIDLIST item);

    ItemIdManager* m_pIdManager;  // the view's, not owned
    std::unordered_map<std::string, Entry> m_entries;
};

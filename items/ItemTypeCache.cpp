// Type names and icon indexes kept per file extension for one fill of the view.
#include "items/ItemTypeCache.h"
#include <cstring>
#include <new>
#include <shlwapi.h>

namespace {
// Characters the shell could take as part of a path rather than of a name.
const char kPathCharacters[] = "\\/:*?\"<>|";
}  // namespace

// Printable ASCII without path characters, not ending in a dot or blank, not only dots.
bool ItemTypeCache::IsPlainName(const char* name)
{
    if (!name || !*name) return false;
    bool onlyDots = true;
    const char* last = name;
    for (const char* p = name; *p; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c < 0x20 || c > 0x7E || strchr(kPathCharacters, c)) return false;
        if (c != '.') onlyDots = false;
        last = p;
    }
    return !onlyDots && *last != '.' && *last != ' ';
}

// The kept entry for the item's extension (made on first use); null for a name that is
// not plain or when no memory is left for a new entry.
ItemTypeCache::Entry* ItemTypeCache::FindEntry(LPCITEMIDLIST item)
{
    char name[MAX_PATH];
    if (m_pIdManager->GetItemName(item, name, MAX_PATH) == 0 || !IsPlainName(name)) return nullptr;
    try {
        return &m_entries.try_emplace(PathFindExtensionA(name)).first->second;  // new entries start zeroed
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// The type name, looked up once per extension.
const char* ItemTypeCache::TypeName(LPCITEMIDLIST item, char* buffer)
{
    Entry* entry = FindEntry(item);
    if (!entry) {
        m_pIdManager->GetItemTypeName(item, buffer, MAX_PATH);
        return buffer;
    }
    if (!entry->fTypeKnown) {
        m_pIdManager->GetItemTypeName(item, entry->szTypeName, sizeof(entry->szTypeName));
        entry->fTypeKnown = true;
    }
    return entry->szTypeName;
}

// The icon index, looked up once per extension.
int ItemTypeCache::IconIndex(LPCITEMIDLIST item)
{
    Entry* entry = FindEntry(item);
    if (!entry) return m_pIdManager->GetItemIconIndex(item);
    if (!entry->fIconKnown) {
        entry->iIcon = m_pIdManager->GetItemIconIndex(item);
        entry->fIconKnown = true;
    }
    return entry->iIcon;
}

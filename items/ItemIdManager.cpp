// Making, checking and reading the camera items' identifiers.
#include "items/ItemIdManager.h"
#include <cstring>
#include <new>
#include "base/TextHelpers.h"

const char* g_pszSizeFormatLibrary = "shlwapi.dll";

namespace {

using StrFormatKBSizeWFn = LPWSTR(WINAPI*)(LONGLONG, LPWSTR, UINT);

const CameraItemId* AsCameraItem(LPCITEMIDLIST item)
{
    return reinterpret_cast<const CameraItemId*>(item);
}

LPITEMIDLIST StepOver(LPCITEMIDLIST item)
{
    return reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(reinterpret_cast<const BYTE*>(item)) + item->mkid.cb);
}

// Calls visit for each item of the list, up to the first zero cb.
template <typename Visit> void VisitItems(LPCITEMIDLIST list, Visit visit)
{
    for (LPCITEMIDLIST item = list; item && item->mkid.cb != 0; item = StepOver(item))
        visit(item);
}

void WriteTerminator(BYTE* at)
{
    ZeroMemory(at, kListTerminatorSize);
}

// The text written when the platform cannot format the size: whole KiB, rounded down.
void FormatFallback(DWORD size, char* buffer, int capacity)
{
    char text[16];
    wsprintfA(text, "%u KB", static_cast<unsigned>(size >> 10));
    CopyStringN(buffer, text, capacity);
}

// What the shell answers for a file of this name, without touching any file.
bool QueryFileInfo(const char* name, SHFILEINFOA* info, UINT flags)
{
    return SHGetFileInfoA(name, FILE_ATTRIBUTE_NORMAL, info, sizeof(*info), flags | SHGFI_USEFILEATTRIBUTES) != 0;
}

}  // namespace

// Takes the shell's task allocator; no manager without it.
std::unique_ptr<ItemIdManager> ItemIdManager::Create()
{
    ComPtr<IMalloc> malloc;
    if (FAILED(SHGetMalloc(&malloc)) || !malloc) return nullptr;
    return std::unique_ptr<ItemIdManager>(new (std::nothrow) ItemIdManager(std::move(malloc)));
}

ItemIdManager::ItemIdManager(ComPtr<IMalloc> malloc) : m_pMalloc(std::move(malloc)) {}

// Items from callers are trusted only as far as their cb and the name's zero inside it.
bool ItemIdManager::IsCameraItem(LPCITEMIDLIST item)
{
    if (!item || item->mkid.cb < kItemMinimumSize) return false;
    const BYTE* name = reinterpret_cast<const BYTE*>(item) + kItemNameOffset;
    return memchr(name, 0, item->mkid.cb - kItemNameOffset) != nullptr;
}

// A one-item list for a camera file; names longer than the camera's 12 bytes are refused.
LPITEMIDLIST ItemIdManager::CreateItem(const char* name, DWORD size)
{
    if (!name) return nullptr;
    const size_t length = strnlen(name, kCameraNameLength + 1);
    if (length > kCameraNameLength) return nullptr;

    const USHORT cb = static_cast<USHORT>(length + kItemMinimumSize);
    BYTE* bytes = static_cast<BYTE*>(m_pMalloc->Alloc(cb + kListTerminatorSize));
    if (!bytes) return nullptr;

    auto* item = reinterpret_cast<CameraItemId*>(bytes);
    item->cb = cb;
    item->dwSize = size;
    memcpy(bytes + kItemNameOffset, name, length + 1);
    WriteTerminator(bytes + cb);
    return reinterpret_cast<LPITEMIDLIST>(bytes);
}

// Gives a list back to the shell's allocator.
void ItemIdManager::Delete(LPITEMIDLIST list)
{
    if (list) m_pMalloc->Free(list);
}

// A new list with the same items and a three-byte terminator.
LPITEMIDLIST ItemIdManager::Copy(LPCITEMIDLIST list)
{
    if (!list) return nullptr;
    const UINT size = GetListSize(list);
    BYTE* bytes = static_cast<BYTE*>(m_pMalloc->Alloc(size));
    if (!bytes) return nullptr;
    memcpy(bytes, list, size - kListTerminatorSize);
    WriteTerminator(bytes + size - kListTerminatorSize);
    return reinterpret_cast<LPITEMIDLIST>(bytes);
}

// The item cb bytes further on; a terminator yields itself.
LPITEMIDLIST ItemIdManager::GetNextItem(LPCITEMIDLIST item)
{
    if (!item) return nullptr;
    return StepOver(item);
}

// The last item with a non-zero cb, or null when the list holds none.
LPITEMIDLIST ItemIdManager::GetLastItem(LPCITEMIDLIST list)
{
    LPCITEMIDLIST last = nullptr;
    VisitItems(list, [&](LPCITEMIDLIST item) { last = item; });
    return const_cast<LPITEMIDLIST>(last);
}

// The bytes of all items plus the three-byte terminator; 0 for null.
UINT ItemIdManager::GetListSize(LPCITEMIDLIST list)
{
    if (!list) return 0;
    UINT size = 0;
    VisitItems(list, [&](LPCITEMIDLIST item) { size += item->mkid.cb; });
    return size + kListTerminatorSize;
}

// Where the item's own bytes start (its size field).
LPBYTE ItemIdManager::GetItemData(LPCITEMIDLIST item)
{
    if (!IsCameraItem(item)) return nullptr;
    return const_cast<BYTE*>(item->mkid.abID);
}

// Copies the item's name, cut to capacity - 1 characters; returns its length.
int ItemIdManager::GetItemName(LPCITEMIDLIST item, char* buffer, int capacity)
{
    if (!item || !buffer || capacity <= 0) return 0;
    buffer[0] = '\0';
    if (!IsCameraItem(item)) return 0;
    CopyStringN(buffer, AsCameraItem(item)->szName, capacity);
    return lstrlenA(buffer);
}

// The file size as the camera listed it.
DWORD ItemIdManager::GetItemFileSize(LPCITEMIDLIST item)
{
    return IsCameraItem(item) ? AsCameraItem(item)->dwSize : 0;
}

ULONGLONG ItemIdManager::GetTotalFileSize(const LPCITEMIDLIST* items, UINT count)
{
    ULONGLONG total = 0;
    for (UINT i = 0; items && i < count; ++i) total += GetItemFileSize(items[i]);
    return total;
}

// "1,465 KB" from the platform when it can, else whole KiB rounded down; returns the length.
int ItemIdManager::GetItemSizeText(LPCITEMIDLIST item, char* buffer, int capacity)
{
    if (!item || !buffer || capacity <= 0) return 0;
    buffer[0] = '\0';
    if (!IsCameraItem(item)) return 0;
    const DWORD size = AsCameraItem(item)->dwSize;
    FormatWithPlatform(size, buffer, capacity);
    if (buffer[0] == '\0') FormatFallback(size, buffer, capacity);
    return lstrlenA(buffer);
}

// StrFormatKBSizeW, looked up for this one call; leaves the buffer empty when unavailable.
void ItemIdManager::FormatWithPlatform(DWORD size, char* buffer, int capacity)
{
    LibraryHandle library(g_pszSizeFormatLibrary);
    const auto format = library.GetProc<StrFormatKBSizeWFn>("StrFormatKBSizeW");
    if (!format) return;
    MallocPtr<wchar_t> wide(m_pMalloc.Get(), static_cast<wchar_t*>(m_pMalloc->Alloc(capacity * sizeof(wchar_t))));
    if (!wide) return;
    wide.Get()[0] = L'\0';
    if (!format(static_cast<LONGLONG>(size), wide.Get(), static_cast<UINT>(capacity))) return;
    wide.Get()[capacity - 1] = L'\0';
    WideToAnsi(buffer, wide.Get(), capacity);
}

// The system image list's index for files of this name's type; -1 when none.
int ItemIdManager::GetItemIconIndex(LPCITEMIDLIST item)
{
    if (!IsCameraItem(item)) return -1;
    char name[MAX_PATH];
    GetItemName(item, name, MAX_PATH);
    SHFILEINFOA info = {};
    info.iIcon = -1;
    QueryFileInfo(name, &info, SHGFI_SYSICONINDEX);
    return info.iIcon;
}

// The shell's type name for the item's extension; empty when it has none to give.
int ItemIdManager::GetItemTypeName(LPCITEMIDLIST item, char* buffer, int capacity)
{
    if (!buffer || capacity <= 0) return 0;
    buffer[0] = '\0';
    if (!IsCameraItem(item)) return 0;
    char name[MAX_PATH];
    GetItemName(item, name, MAX_PATH);
    SHFILEINFOA info = {};
    if (QueryFileInfo(name, &info, SHGFI_TYPENAME)) CopyStringN(buffer, info.szTypeName, capacity);
    return lstrlenA(buffer);
}

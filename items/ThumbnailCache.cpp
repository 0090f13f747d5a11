// The thumbnail cache's entry files: their names, layout, reading, writing and trimming.
#include "items/ThumbnailCache.h"
#include "items/ThumbnailPicture.h"
#include <shlobj.h>
#include <knownfolders.h>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {
const wchar_t kFolderInLocalAppData[] = L"\\Lumora\\Thumbnails";
const wchar_t kEntryExtension[] = L".thumb";
const DWORD kEntryMagic = 0x4E544D4C;  // "LMTN"
const DWORD kEntryVersion = 1;
const DWORD kPixelBytes = kThumbnailSide * kThumbnailSide * sizeof(DWORD);
// The age (in 100 ns ticks) at which a temporary file is taken for the leftover of a cut-off write.
const ULONGLONG kStaleTicks = 3600ull * 10000000;

// The start of every entry file; the pixels (top-down BGRA rows) follow when fPicture is set.
struct EntryHeader {
    DWORD magic;
    DWORD version;
    ULONGLONG fileSize;
    char name[ThumbnailCache::kMaxName + 1];  // the camera name, zero-padded
    BYTE padding[3];
    DWORD fPicture;
};

// The header an entry of this key must carry; false for a name the cache does not keep.
bool MakeHeader(const char* name, ULONGLONG size, DWORD fPicture, EntryHeader* header)
{
    if (!name) return false;
    const size_t length = strnlen(name, ThumbnailCache::kMaxName + 1);
    if (length == 0 || length > static_cast<size_t>(ThumbnailCache::kMaxName)) return false;
    memset(header, 0, sizeof(*header));
    header->magic = kEntryMagic;
    header->version = kEntryVersion;
    header->fileSize = size;
    memcpy(header->name, name, length);
    header->fPicture = fPicture;
    return true;
}

// Reads exactly cb bytes.
bool ReadAll(HANDLE file, void* buffer, DWORD cb)
{
    DWORD cbRead = 0;
    return ReadFile(file, buffer, cb, &cbRead, nullptr) && cbRead == cb;
}

// Writes exactly cb bytes.
bool WriteAll(HANDLE file, const void* buffer, DWORD cb)
{
    DWORD cbWritten = 0;
    return WriteFile(file, buffer, cb, &cbWritten, nullptr) && cbWritten == cb;
}

// The pixels of a kThumbnailSide square bitmap, top-down BGRA rows.
bool ReadPixels(HBITMAP picture, std::vector<DWORD>* pixels)
{
    BITMAP info = {};
    if (!GetObjectW(picture, sizeof(info), &info) || info.bmWidth != kThumbnailSide || info.bmHeight != kThumbnailSide)
        return false;
    BITMAPINFO format = ThumbnailBitmapFormat();
    pixels->resize(kThumbnailSide * kThumbnailSide);
    MemoryDCHandle dc(CreateCompatibleDC(nullptr));
    return dc && GetDIBits(dc.Get(), picture, 0, kThumbnailSide, pixels->data(), &format, DIB_RGB_COLORS) == kThumbnailSide;
}

// A file time as one count of ticks.
ULONGLONG Ticks(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// One entry file found in the folder, for trimming.
struct EntryFile {
    FILETIME written;
    ULONGLONG cb;
    std::wstring name;
};
}  // namespace

ThumbnailCache::ThumbnailCache(const wchar_t* root, ULONGLONG cbLimit) : m_root(root ? root : L""), m_cbLimit(cbLimit)
{
    while (!m_root.empty() && m_root.back() == L'\\') m_root.pop_back();
}

std::wstring ThumbnailCache::DefaultRoot()
{
    CoTaskMemPtr<wchar_t> folder;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, folder.Put())) || !folder) return {};
    return std::wstring(folder.Get()) + kFolderInLocalAppData;
}

// Hex digits only: no separator, no dot but the extension's, whatever the name holds.
std::wstring ThumbnailCache::EntryPath(const char* name, ULONGLONG size) const
{
    EntryHeader header;
    if (m_root.empty() || !MakeHeader(name, size, 0, &header)) return {};
    std::wstring path = m_root + L"\\";
    wchar_t digits[20];
    for (const char* p = name; *p; ++p) {
        wsprintfW(digits, L"%02X", static_cast<unsigned>(static_cast<BYTE>(*p)));
        path += digits;
    }
    wsprintfW(digits, L"-%08lX%08lX", static_cast<DWORD>(size >> 32), static_cast<DWORD>(size));
    return path + digits + kEntryExtension;
}

// A whole entry of this very key, or a miss.
CachedThumbnail ThumbnailCache::Find(const char* name, ULONGLONG size, BitmapHandle* picture) const
{
    if (picture) picture->Reset();
    const std::wstring path = EntryPath(name, size);
    EntryHeader expected, header;
    if (path.empty() || !picture || !MakeHeader(name, size, 0, &expected)) return CachedThumbnail::Miss;
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER cbFile = {};
    if (!file || !GetFileSizeEx(file.Get(), &cbFile) || !ReadAll(file.Get(), &header, sizeof(header)))
        return CachedThumbnail::Miss;
    expected.fPicture = header.fPicture;
    if (memcmp(&header, &expected, sizeof(header)) != 0 || header.fPicture > 1) return CachedThumbnail::Miss;
    const ULONGLONG cbWhole = sizeof(header) + (header.fPicture ? kPixelBytes : 0);
    if (static_cast<ULONGLONG>(cbFile.QuadPart) != cbWhole) return CachedThumbnail::Miss;
    if (!header.fPicture) return CachedThumbnail::NoPicture;
    DWORD* pixels = nullptr;
    BitmapHandle bitmap = MakeThumbnailBitmap(&pixels);
    if (!bitmap || !ReadAll(file.Get(), pixels, kPixelBytes)) return CachedThumbnail::Miss;
    *picture = std::move(bitmap);
    return CachedThumbnail::Picture;
}

// Written under a name of this thread's own, then put in place whole.
bool ThumbnailCache::Store(const char* name, ULONGLONG size, HBITMAP picture)
{
    const std::wstring path = EntryPath(name, size);
    EntryHeader header;
    std::vector<DWORD> pixels;
    if (path.empty() || !MakeHeader(name, size, picture ? 1 : 0, &header)) return false;
    if ((picture && !ReadPixels(picture, &pixels)) || !MakeFolder()) return false;
    wchar_t suffix[16];
    wsprintfW(suffix, L".%lX.tmp", GetCurrentThreadId());
    const std::wstring temporary = path + suffix;
    FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    bool fWritten = WriteAll(file.Get(), &header, sizeof(header)) && (!picture || WriteAll(file.Get(), pixels.data(), kPixelBytes));
    file.Reset();
    if (fWritten && !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only file in its place
        fWritten = MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    }
    if (!fWritten) DeleteFileW(temporary.c_str());
    Trim();
    return fWritten;
}

bool ThumbnailCache::MakeFolder() const
{
    if (m_root.empty()) return false;
    const int result = SHCreateDirectoryExW(nullptr, m_root.c_str(), nullptr);
    if (result != ERROR_SUCCESS && result != ERROR_ALREADY_EXISTS && result != ERROR_FILE_EXISTS) return false;
    const DWORD attributes = GetFileAttributesW(m_root.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Temporary files of writes that a process ended in the middle of go when an hour old.
void ThumbnailCache::RemoveStaleTemporaries() const
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileW((m_root + L"\\*" + kEntryExtension + L".*.tmp").c_str(), &found));
    for (bool fMore = find.IsValid(); fMore; fMore = FindNextFileW(find.Get(), &found) != FALSE) {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && Ticks(found.ftLastWriteTime) + kStaleTicks < Ticks(now))
            DeleteFileW((m_root + L"\\" + found.cFileName).c_str());
    }
}

// The oldest entry files (by their last write) go until the rest fit within the limit.
void ThumbnailCache::Trim() const
{
    RemoveStaleTemporaries();
    std::vector<EntryFile> entries;
    ULONGLONG cbTotal = 0;
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileW((m_root + L"\\*" + kEntryExtension).c_str(), &found));
    for (bool fMore = find.IsValid(); fMore; fMore = FindNextFileW(find.Get(), &found) != FALSE) {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const ULONGLONG cb = (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        entries.push_back({found.ftLastWriteTime, cb, found.cFileName});
        cbTotal += cb;
    }
    if (cbTotal <= m_cbLimit) return;
    std::sort(entries.begin(), entries.end(),
              [](const EntryFile& a, const EntryFile& b) { return CompareFileTime(&a.written, &b.written) < 0; });
    for (const EntryFile& entry : entries) {
        if (cbTotal <= m_cbLimit) break;
        if (DeleteFileW((m_root + L"\\" + entry.name).c_str())) cbTotal -= entry.cb;
    }
}

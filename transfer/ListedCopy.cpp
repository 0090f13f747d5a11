// Telling whether a listed temporary copy left its folder for the receiver.
//
// What the file systems tell of a held file that another program moved or deleted: Windows
// gives its new place by handle (GetFinalPathNameByHandle) and marks a deleted one as delete
// pending or leaves it without a name. Wine 8 tells neither: by handle it keeps the name the
// file had when it was opened and never reports a pending delete, but it keeps a deleted file
// that is held open at its old name until the last handle closes. So the folder itself is
// asked, by each entry's identity, whether it still holds the file.
#include "transfer/ListedCopy.h"

namespace {
// Paths that the system gives for a handle ("\\?\C:\...").
const DWORD kPlaceCapacity = 1024;
// Every kind of sharing: the holder stands in nobody's way.
const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// One file on one volume.
struct FileIdentity {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
};

// The identity of what a handle holds.
bool IdentityOf(HANDLE handle, FileIdentity* identity)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info)) return false;
    *identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

// Opens what stands at path (a file or a folder, never a link's target) for its attributes only.
FileHandle OpenForIdentity(const wchar_t* path)
{
    return FileHandle(CreateFileW(path, FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

// Whether what stands at path is the file of identity (same: 1, another: 0, cannot be told: -1).
int CompareWithFileAt(const wchar_t* path, const FileIdentity& identity)
{
    FileHandle handle = OpenForIdentity(path);
    FileIdentity found;
    if (!handle || !IdentityOf(handle.Get(), &found)) return -1;
    return found.volume == identity.volume && found.indexHigh == identity.indexHigh && found.indexLow == identity.indexLow;
}

// Whether an entry of folder (with its final backslash) is the file, or may be.
bool MayHold(const wchar_t* folder, const FileIdentity& identity)
{
    wchar_t path[kPlaceCapacity];
    if (lstrlenW(folder) + MAX_PATH >= static_cast<int>(kPlaceCapacity)) return true;
    wsprintfW(path, L"%s*", folder);
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileW(path, &found));
    if (!find) return true;
    do {
        if (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0) continue;
        wsprintfW(path, L"%s%s", folder, found.cFileName);
        if (CompareWithFileAt(path, identity) != 0) return true;
    } while (FindNextFileW(find.Get(), &found));
    return GetLastError() != ERROR_NO_MORE_FILES;
}

// The place the system gives for what a handle holds.
bool PlaceOf(HANDLE handle, wchar_t* place)
{
    const DWORD length = GetFinalPathNameByHandleW(handle, place, kPlaceCapacity, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    return length > 0 && length < kPlaceCapacity;
}

// Whether the place of a file lies directly in the place of a folder.
bool LiesDirectlyIn(const wchar_t* place, const wchar_t* folderPlace)
{
    const wchar_t* name = wcsrchr(place, L'\\');
    const int length = lstrlenW(folderPlace);
    return name && name - place == length && CompareStringOrdinal(place, length, folderPlace, length, TRUE) == CSTR_EQUAL;
}

// Whether the place the system tells for the file agrees that it left folder: a place outside
// folder where the file is, or the place inside folder it had when it was opened (Wine), which
// the folder no longer holds.
bool PlaceAgreesItLeft(HANDLE file, const FileIdentity& identity, const wchar_t* folder)
{
    wchar_t bare[kPlaceCapacity];
    lstrcpynW(bare, folder, kPlaceCapacity);
    bare[lstrlenW(bare) - 1] = L'\0';
    FileHandle folderHandle = OpenForIdentity(bare);
    wchar_t folderPlace[kPlaceCapacity];
    wchar_t place[kPlaceCapacity];
    if (!folderHandle || !PlaceOf(folderHandle.Get(), folderPlace) || !PlaceOf(file, place)) return false;
    return LiesDirectlyIn(place, folderPlace) || CompareWithFileAt(place, identity) == 1;
}
}  // namespace

// Only the attributes are asked for, and everything is shared.
bool ListedCopy::Hold(const wchar_t* path)
{
    m_hFile.Reset(CreateFileW(path, FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    return m_hFile.IsValid();
}

// In any doubt the file has not left.
bool ListedCopy::HasLeft(const wchar_t* folder) const
{
    if (!m_hFile || !folder || folder[0] == L'\0') return false;
    FILE_STANDARD_INFO standard = {};
    if (!GetFileInformationByHandleEx(m_hFile.Get(), FileStandardInfo, &standard, sizeof(standard))) return false;
    if (standard.DeletePending || standard.NumberOfLinks == 0) return false;
    FileIdentity identity;
    if (!IdentityOf(m_hFile.Get(), &identity) || MayHold(folder, identity)) return false;
    return PlaceAgreesItLeft(m_hFile.Get(), identity, folder);
}

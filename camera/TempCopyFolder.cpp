// Making, checking and holding the folder of temporary copies.
#include "camera/TempCopyFolder.h"
#include "camera/CameraFileName.h"
#include "module/TextHelpers.h"

namespace {
// A plain folder: a directory that is no reparse point (junction, symbolic or mount link).
bool IsPlainFolder(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The attributes of what an open handle holds, the handle's own object and not a link's target.
DWORD HandleAttributes(HANDLE handle)
{
    FILE_ATTRIBUTE_TAG_INFO info = {};
    if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof(info))) return INVALID_FILE_ATTRIBUTES;
    return info.FileAttributes;
}
}  // namespace

// Creates the folder if needed, then opens the folder itself (never a link's target) and
// keeps others from renaming or deleting it while the handle lives.
bool TempCopyFolder::Open()
{
    char folder[MAX_PATH];
    if (!GetTempCopyFolder(folder)) return false;
    folder[lstrlenA(folder) - 1] = '\0';  // the folder itself, without its final backslash
    if (!CreateDirectoryA(folder, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    m_hFolder.Reset(CreateFileA(folder, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!m_hFolder) return false;
    // Both views: some file systems tell a link only by path, others only by handle.
    if (IsPlainFolder(HandleAttributes(m_hFolder.Get())) && IsPlainFolder(GetFileAttributesA(folder))) return true;
    m_hFolder.Reset();
    return false;
}

// Removes what answers to path when it is the copy of this very name.
bool RemoveEarlierCopy(const char* path, const char* name)
{
    if (!path || !name) return false;
    WIN32_FIND_DATAA found;
    FindHandle find(FindFirstFileA(path, &found));
    if (!find) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    // The path reaches a file under its own name, not through the short name of a longer one.
    if (lstrcmpiA(found.cFileName, name) != 0 || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path) != FALSE || GetLastError() == ERROR_FILE_NOT_FOUND;
}

// Making, checking and holding the folders of temporary copies.
#include "camera/TempCopyFolder.h"
#include "camera/CameraFileName.h"

namespace {
// The folder that every Open shares, inside "Lumora".
const wchar_t kSharedFolderName[] = L"Open\\";
// Names tried for a new own folder before giving up.
const int kNameAttempts = 64;
// Own folders this process made: a part of every new name.
LONG volatile g_cOwnFolders = 0;

// What answers to the path of a copy about to be written.
enum class EarlierCopy { None, Twin, Foreign };

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

// Makes the folder (given with its final backslash) when fCreate says so and it is missing,
// then opens the folder itself (never a link's target) and keeps others from renaming or
// deleting it while the handle lives. Invalid unless it is a plain folder.
FileHandle HoldPlainFolder(const wchar_t* folder, bool fCreate)
{
    wchar_t bare[TempCopyFolder::kCapacity];
    lstrcpynW(bare, folder, TempCopyFolder::kCapacity);
    const int length = lstrlenW(bare);
    if (length > 0 && bare[length - 1] == L'\\') bare[length - 1] = L'\0';
    if (fCreate && !CreateDirectoryW(bare, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return {};
    FileHandle handle(CreateFileW(bare, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    // Both views: some file systems tell a link only by path, others only by handle.
    if (handle && (!IsPlainFolder(HandleAttributes(handle.Get())) || !IsPlainFolder(GetFileAttributesW(bare)))) handle.Reset();
    return handle;
}

// Makes a folder in root under a name nobody has used (making a folder fails while its name
// is taken) and gives its path with the final backslash.
bool MakeNewFolder(const wchar_t* root, wchar_t* folder)
{
    if (lstrlenW(root) + 10 >= TempCopyFolder::kCapacity) return false;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const DWORD tag = GetCurrentProcessId() * 0x10001u + GetTickCount() * 0x9E37u +
                          static_cast<DWORD>(InterlockedIncrement(&g_cOwnFolders));
        wsprintfW(folder, L"%s%08lX", root, tag);
        if (CreateDirectoryW(folder, nullptr)) {
            lstrcatW(folder, L"\\");
            return true;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    folder[0] = L'\0';
    return false;
}

// Removes what answers to path when it is the copy of this very name (as the PC spells it);
// the copy of a name that differs in case, a folder, or another file whose short name the
// name is, stays.
EarlierCopy RemoveEarlierCopy(const wchar_t* path)
{
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileW(path, &found));
    if (!find) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? EarlierCopy::None : EarlierCopy::Foreign;
    }
    const wchar_t* name = wcsrchr(path, L'\\') + 1;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || CompareStringOrdinal(found.cFileName, -1, name, -1, TRUE) != CSTR_EQUAL)
        return EarlierCopy::Foreign;
    if (wcscmp(found.cFileName, name) != 0) return EarlierCopy::Twin;
    SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(path) || GetLastError() == ERROR_FILE_NOT_FOUND ? EarlierCopy::None : EarlierCopy::Foreign;
}
}  // namespace

TempCopyFolder::TempCopyFolder(Kind kind) : m_kind(kind) {}

// "Lumora" first, then the folder in it: the shared one by its name, an own one made once.
bool TempCopyFolder::Open()
{
    if (m_hFolder) return true;
    if (!GetTempCopyFolder(m_szRoot, kCapacity)) return false;
    const wchar_t* root = m_szRoot;
    if (!m_fMade) lstrcpyW(m_szPath, root);
    m_hRoot = HoldPlainFolder(root, true);
    if (!m_hRoot) return false;
    if (!m_fMade && m_kind == Shared) {
        if (lstrlenW(root) + lstrlenW(kSharedFolderName) >= kCapacity) return false;
        lstrcatW(m_szPath, kSharedFolderName);
        m_fMade = true;
    }
    if (!m_fMade) {
        if (!MakeNewFolder(root, m_szPath)) {
            lstrcpyW(m_szPath, root);
            Close();
            return false;
        }
        m_fMade = true;
    }
    m_hFolder = HoldPlainFolder(m_szPath, m_kind == Shared);
    if (!m_hFolder) Close();
    return m_hFolder.IsValid();
}

void TempCopyFolder::Close()
{
    m_hFolder.Reset();
    m_hRoot.Reset();
}

// The path of name's copy, freed of an earlier copy of the same name.
CopyRoom TempCopyFolder::MakeRoom(const char* name, wchar_t* path)
{
    if (!path) return CopyRoom::Refused;
    path[0] = L'\0';
    if (!IsPlainCameraFileName(name)) return CopyRoom::Refused;
    if (!m_hFolder || !BuildTempCopyPath(m_szPath, name, path)) return CopyRoom::Unusable;
    switch (RemoveEarlierCopy(path)) {
    case EarlierCopy::None:
        return CopyRoom::Ready;
    case EarlierCopy::Twin:
        if (m_kind != Shared) return CopyRoom::Refused;
        Close();
        m_kind = Own;
        m_fMade = false;
        return Open() ? MakeRoom(name, path) : CopyRoom::Unusable;
    default:
        return CopyRoom::Refused;
    }
}

// The own folder goes when it is empty; the system refuses to remove one that is not.
void TempCopyFolder::RemoveWhenEmpty()
{
    Close();
    if (m_kind != Own || !m_fMade) return;
    wchar_t bare[kCapacity];
    lstrcpyW(bare, m_szPath);
    bare[lstrlenW(bare) - 1] = L'\0';
    RemoveDirectoryW(bare);
}

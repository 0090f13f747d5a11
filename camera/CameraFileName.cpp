// Checks on camera names before they are combined into PC paths.
#include "camera/CameraFileName.h"
#include <cstring>
#include "camera/ZqApi.h"
#include "base/TextHelpers.h"

namespace {
// The folder of our temporary copies in the temporary directory.
const wchar_t kTempCopyFolderName[] = L"Lumora";
// GetTempPathW answers at most MAX_PATH + 1 characters; more room lets a long one be named.
const DWORD kTempDirectoryCapacity = 2 * MAX_PATH;
// Names the PC reserves for devices, with or without an extension.
const char* const kDeviceNames[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
// Devices with a number: COM1..COM9, LPT1..LPT9 (the superscript digits count too).
const char* const kNumberedDevices[] = {"COM", "LPT"};

// A character that a file name cannot hold.
bool IsForbiddenChar(unsigned char c)
{
    return c < 0x20 || c == 0x7F || (c != '\0' && strchr("\\/:*?\"<>|", c) != nullptr);
}

// A digit that makes COMn or LPTn a device name.
bool IsDeviceDigit(unsigned char c)
{
    return (c >= '1' && c <= '9') || c == 0xB9 || c == 0xB2 || c == 0xB3;
}

// The part before the first dot, less trailing blanks, names a device.
bool IsDeviceName(const char* name)
{
    char base[ZQ_NAME_MAX + 1];
    CopyStringN(base, name, sizeof(base));
    if (char* dot = strchr(base, '.')) *dot = '\0';
    for (size_t length = strlen(base); length > 0 && base[length - 1] == ' '; --length) base[length - 1] = '\0';
    for (const char* device : kDeviceNames)
        if (lstrcmpiA(base, device) == 0) return true;
    if (strlen(base) != 4 || !IsDeviceDigit(static_cast<unsigned char>(base[3]))) return false;
    for (const char* device : kNumberedDevices)
        if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, base, 3, device, 3) == CSTR_EQUAL) return true;
    return false;
}
}  // namespace

// Whether a camera name may become a file name in a PC folder.
bool IsPlainCameraFileName(const char* name)
{
    if (!name) return false;
    size_t length = 0;
    for (; length <= ZQ_NAME_MAX && name[length] != '\0'; ++length)
        if (IsForbiddenChar(static_cast<unsigned char>(name[length]))) return false;
    if (length == 0 || length > ZQ_NAME_MAX) return false;
    const char last = name[length - 1];
    if (last == '.' || last == ' ') return false;
    return !IsDeviceName(name);
}

// The temporary directory's "Lumora" folder, ending in a backslash.
bool GetTempCopyFolder(wchar_t* folder, int capacity)
{
    if (!folder || capacity <= 0) return false;
    folder[0] = L'\0';
    wchar_t directory[kTempDirectoryCapacity];
    const DWORD length = GetTempPathW(kTempDirectoryCapacity, directory);
    if (length == 0 || length >= kTempDirectoryCapacity) return false;
    const bool separator = directory[length - 1] != L'\\';
    if (static_cast<int>(length + (separator ? 1 : 0) + ARRAYSIZE(kTempCopyFolderName)) >= capacity) return false;
    lstrcpyW(folder, directory);
    if (separator) lstrcatW(folder, L"\\");
    lstrcatW(folder, kTempCopyFolderName);
    lstrcatW(folder, L"\\");
    return true;
}

// A folder of copies joined with a plain camera name; the name, as the PC spells it, holds no
// path character either.
bool BuildTempCopyPath(const wchar_t* folder, const char* name, wchar_t* path)
{
    if (!path) return false;
    path[0] = L'\0';
    if (!folder || !IsPlainCameraFileName(name)) return false;
    wchar_t wideName[ZQ_NAME_MAX + 1];
    if (MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, ARRAYSIZE(wideName)) == 0) return false;
    if (wcspbrk(wideName, L"\\/:*?\"<>|") != nullptr) return false;
    if (lstrlenW(folder) + lstrlenW(wideName) >= MAX_PATH) return false;
    lstrcpyW(path, folder);
    lstrcatW(path, wideName);
    return true;
}

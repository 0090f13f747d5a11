// Checks on camera names before they are combined into PC paths.
#include "camera/CameraFileName.h"
#include <shlwapi.h>
#include <cstring>
#include "camera/ZqApi.h"
#include "module/TextHelpers.h"

namespace {
// The folder of our temporary copies in the temporary directory.
const char kTempCopyFolderName[] = "Lumora";
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
bool GetTempCopyFolder(char* folder)
{
    if (!folder) return false;
    folder[0] = '\0';
    char directory[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, directory);
    if (length == 0 || length >= MAX_PATH) return false;
    const bool separator = directory[length - 1] != '\\';
    if (length + (separator ? 1 : 0) + sizeof(kTempCopyFolderName) >= MAX_PATH) return false;
    CopyStringN(folder, directory, MAX_PATH);
    if (separator) AppendStringN(folder, "\\", MAX_PATH);
    AppendStringN(folder, kTempCopyFolderName, MAX_PATH);
    AppendStringN(folder, "\\", MAX_PATH);
    return true;
}

// The folder of temporary copies joined with a plain camera name, checked to stay directly inside it.
bool BuildTempCopyPath(const char* name, char* path)
{
    if (!path) return false;
    path[0] = '\0';
    if (!IsPlainCameraFileName(name)) return false;

    char expected[MAX_PATH];
    if (!GetTempCopyFolder(expected)) return false;
    if (strlen(expected) + strlen(name) >= MAX_PATH) return false;
    char combined[MAX_PATH];
    if (!PathCombineA(combined, expected, name)) return false;
    AppendStringN(expected, name, MAX_PATH);
    if (lstrcmpiA(combined, expected) != 0) return false;
    CopyStringN(path, combined, MAX_PATH);
    return true;
}

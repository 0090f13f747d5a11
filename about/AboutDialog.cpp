// The about box and the paths of the files whose versions it shows.
#include "about/AboutDialog.h"
#include "about/FileVersion.h"
#include "camera/CameraConnection.h"
#include "camera/BackgroundWork.h"
#include "camera/ProductName.h"
#include "camera/ZqLibrary.h"
#include "base/Raii.h"
#include "base/TextHelpers.h"
#include "resources/resource.h"

namespace {
// Version texts are at most 31 characters.
const int kVersionCapacity = 32;
const char kDriverPath[] = "system32\\drivers\\zqstream.sys";
const char kModuleFile[] = "tolvane.dll";
const char kLibraryFile[] = "pelcore.dll";

// directory + a backslash (unless it ends in one) + name; false when that is no path of MAX_PATH.
bool JoinPath(char* path, const char* directory, const char* name)
{
    const int length = lstrlenA(directory);
    if (length == 0) return false;
    const bool separator = directory[length - 1] != '\\';
    if (length + (separator ? 1 : 0) + lstrlenA(name) >= MAX_PATH) return false;
    CopyStringN(path, directory, MAX_PATH);
    if (separator) AppendStringN(path, "\\", MAX_PATH);
    AppendStringN(path, name, MAX_PATH);
    return true;
}

// The stream driver in the Windows directory's drivers folder.
bool DriverPath(char* path)
{
    char directory[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(directory, MAX_PATH);
    return length > 0 && length < MAX_PATH && JoinPath(path, directory, kDriverPath);
}

// The file a module was loaded from; the system directory's file of that name when the
// module or its path cannot be had.
bool LoadedModulePath(HMODULE module, const char* fileName, char* path)
{
    if (module) {
        const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
        if (length > 0 && length < MAX_PATH) return true;
    }
    char directory[MAX_PATH];
    const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
    return length > 0 && length < MAX_PATH && JoinPath(path, directory, fileName);
}

// A file's product version with full stops, in a field; empty when the file has none.
void ShowFileVersion(HWND hwnd, int control, bool havePath, const char* path)
{
    char text[kVersionCapacity] = "";
    if (havePath) GetFileProductVersion(path, text, kVersionCapacity);
    CommasToPeriods(text);
    SetDlgItemTextA(hwnd, control, text);
}

// The firmware text as the camera sends it; empty when it cannot be read.
void ReadFirmwareText(char (&text)[ZQ_FIRMWARE_TEXT])
{
    if (ZQ_GetFirmwareVersion(text) != ZQ_STATUS_OK) text[0] = '\0';
    text[ZQ_FIRMWARE_TEXT - 1] = '\0';  // the camera may fill all 32 bytes
}

// Title and the four version fields; the firmware's text was read before.
void InitAboutDialog(HWND hwnd, const char* firmware)
{
    char product[kProductNameCapacity];
    if (ReadProductName(product, sizeof(product))) SetWindowTextA(hwnd, product);
    if (firmware[0] != '\0') SetDlgItemTextA(hwnd, IDC_ABOUT_FIRMWARE, firmware);
    char path[MAX_PATH];
    {
        NativeSystemFolders native;  // the driver that runs is in the native system folder
        ShowFileVersion(hwnd, IDC_ABOUT_DRIVER, DriverPath(path), path);
    }
    ShowFileVersion(hwnd, IDC_ABOUT_MODULE, LoadedModulePath(g_hinstModule, kModuleFile, path), path);
    ShowFileVersion(hwnd, IDC_ABOUT_LIBRARY, LoadedModulePath(CameraLibraryModule(), kLibraryFile, path), path);
}
}  // namespace

// Only OK (or Enter) closes the box; Escape does not.
INT_PTR CALLBACK AboutDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitAboutDialog(hwnd, reinterpret_cast<const char*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK) return FALSE;
        EndDialog(hwnd, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

// Reads the firmware's text in a unit of camera work on a worker thread, then shows the box
// parented to the unit's window.
void ShowAboutBox(CameraConnection* connection, HWND hwndParent)
{
    char firmware[ZQ_FIRMWARE_TEXT] = {};
    HWND owner = hwndParent;
    auto read = [&] {
        owner = connection->OwnerWindow();
        connection->Connect();  // a failure was told; the camera is asked all the same
        ReadFirmwareText(firmware);
    };
    BackgroundWork::Run(connection, hwndParent, read);
    DialogBoxParamA(g_hinstModule, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialogProc, reinterpret_cast<LPARAM>(firmware));
}

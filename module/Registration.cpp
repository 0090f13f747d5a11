// DllRegisterServer and DllUnregisterServer: the class keys, the My Computer name-space
// entry and the approved-extensions value, written from tables of rows.
#include "module/Registration.h"
#include <cstdio>
#include <cstring>
#include <olectl.h>
#include <shlobj.h>
#include "camera/ProductName.h"
#include "base/ModuleState.h"
#include "base/Raii.h"
#include "base/TextHelpers.h"
#include "resources/resource.h"

namespace {

constexpr int kTextCapacity = MAX_PATH;
constexpr DWORD kFolderAttributes = SFGAO_FOLDER | SFGAO_BROWSABLE;  // 0x28000000

const char kMyComputerNameSpaceKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\NameSpace\\%s";
const char kDesktopNameSpaceKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\NameSpace\\%s";
const char kApprovedKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

// The texts every row is built from.
struct RegistrationTexts {
    char clsid[kTextCapacity];
    char modulePath[kTextCapacity];
    char displayName[kProductNameCapacity];
};

// What a row writes into its value.
enum class RowData { DisplayName, ModulePath, ModuleIcon, Apartment, FolderAttributes };

// One value to write: the key path receives the class id text.
struct RegistryRow {
    HKEY root;
    const char* keyFormat;
    const char* valueName;   // null: the key's default value
    bool valueNamedByClass;  // the value's name is the class id text
    RowData data;
    bool ntOnly;
};

const RegistryRow g_registryRows[] = {
    {HKEY_CLASSES_ROOT, "CLSID\\%s", nullptr, false, RowData::DisplayName, false},
    {HKEY_CLASSES_ROOT, "CLSID\\%s\\InprocServer32", nullptr, false, RowData::ModulePath, false},
    {HKEY_CLASSES_ROOT, "CLSID\\%s\\InprocServer32", "ThreadingModel", false, RowData::Apartment, false},
    {HKEY_CLASSES_ROOT, "CLSID\\%s\\DefaultIcon", nullptr, false, RowData::ModuleIcon, false},
    {HKEY_CLASSES_ROOT, "CLSID\\%s\\ShellFolder", "Attributes", false, RowData::FolderAttributes, false},
    {HKEY_LOCAL_MACHINE, kMyComputerNameSpaceKey, nullptr, false, RowData::DisplayName, false},
    {HKEY_LOCAL_MACHINE, kApprovedKey, nullptr, true, RowData::DisplayName, true},
};

// One key tree to remove: the key path receives the class id text.
struct UnregisterRow {
    HKEY root;
    const char* keyFormat;
};

const UnregisterRow g_unregisterRows[] = {
    {HKEY_LOCAL_MACHINE, kMyComputerNameSpaceKey},
    {HKEY_LOCAL_MACHINE, kDesktopNameSpaceKey},
    {HKEY_CLASSES_ROOT, "CLSID\\%s"},
};

// A key path from its format and the class id text; false when it would not fit.
bool FormatKeyPath(char* path, const char* keyFormat, const char* clsid)
{
    const int length = snprintf(path, kTextCapacity, keyFormat, clsid);
    return length >= 0 && length < kTextCapacity;
}

// The folder's class id in its registry text form, in ANSI.
bool ReadClassText(char* text)
{
    CoTaskMemPtr<OLECHAR> wide;
    if (FAILED(StringFromIID(CLSID_LumoraFolder, wide.Put())) || !wide) return false;
    WideToAnsi(text, wide.Get(), kTextCapacity);
    return text[0] != '\0';
}

// The module's own full path; false when it cannot be read whole.
bool ReadModulePath(char* path)
{
    const DWORD length = GetModuleFileNameA(g_hinstModule, path, kTextCapacity);
    return length != 0 && length < static_cast<DWORD>(kTextCapacity);
}

// The product's display name, or string 1 when the registry holds none that fits.
void ReadDisplayName(char* name)
{
    LoadProductName(name, kProductNameCapacity);
}

bool IsNtPlatform()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// A string value with its terminating zero.
bool SetStringValue(HKEY key, const char* valueName, const char* text)
{
    const DWORD size = static_cast<DWORD>(strlen(text) + 1);
    return RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size) == ERROR_SUCCESS;
}

// Writes a row's data into its value; the display name goes in as it stands.
bool SetRowValue(HKEY key, const char* valueName, RowData data, const RegistrationTexts& texts)
{
    switch (data) {
    case RowData::DisplayName:
        return SetStringValue(key, valueName, texts.displayName);
    case RowData::ModulePath:
        return SetStringValue(key, valueName, texts.modulePath);
    case RowData::Apartment:
        return SetStringValue(key, valueName, "Apartment");
    case RowData::ModuleIcon: {
        char icon[kTextCapacity + 8];
        snprintf(icon, sizeof(icon), "%s,0", texts.modulePath);
        return SetStringValue(key, valueName, icon);
    }
    case RowData::FolderAttributes: {
        const BYTE bytes[4] = {0, 0, 0, static_cast<BYTE>(kFolderAttributes >> 24)};
        return RegSetValueExA(key, valueName, 0, REG_BINARY, bytes, sizeof(bytes)) == ERROR_SUCCESS;
    }
    }
    return false;
}

// Creates a row's key and sets its value.
HRESULT WriteRegistryRow(const RegistryRow& row, const RegistrationTexts& texts)
{
    char keyPath[kTextCapacity];
    if (!FormatKeyPath(keyPath, row.keyFormat, texts.clsid)) return SELFREG_E_CLASS;
    RegKey key;
    if (RegCreateKeyExA(row.root, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        key.Put(), nullptr) != ERROR_SUCCESS) {
        return SELFREG_E_CLASS;
    }
    const char* valueName = row.valueNamedByClass ? texts.clsid : row.valueName;
    return SetRowValue(key.Get(), valueName, row.data, texts) ? S_OK : SELFREG_E_CLASS;
}

// Writes every row in order, stopping at the first that fails.
HRESULT WriteRegistryRows(const RegistrationTexts& texts)
{
    const bool nt = IsNtPlatform();
    for (const RegistryRow& row : g_registryRows) {
        if (row.ntOnly && !nt) continue;
        const HRESULT hr = WriteRegistryRow(row, texts);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

// Removes the approved-extensions value of the class; a missing value is no failure.
HRESULT DeleteApprovedValue(const char* clsid)
{
    RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kApprovedKey, 0, KEY_SET_VALUE, key.Put()) != ERROR_SUCCESS) {
        return SELFREG_E_CLASS;
    }
    RegDeleteValueA(key.Get(), clsid);
    return S_OK;
}

// Tells the shell that a special folder's contents changed.
void NotifyFolderUpdated(int csidl)
{
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &pidl)) || !pidl) return;
    SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_IDLIST, pidl, nullptr);
    ComPtr<IMalloc> malloc;
    if (SUCCEEDED(SHGetMalloc(&malloc)) && malloc) malloc->Free(pidl);
}

// The desktop and My Computer show the folder's new state.
void NotifyShell()
{
    NotifyFolderUpdated(CSIDL_DESKTOP);
    NotifyFolderUpdated(CSIDL_DRIVES);
}

}  // namespace

// Deletes a key tree in one platform call, which never loops on a subkey it cannot open.
LONG DeleteKeyTree(HKEY root, const char* path)
{
    if (!path || !*path) return ERROR_INVALID_PARAMETER;  // never the root's own contents
    return RegDeleteTreeA(root, path);
}

// Writes the class keys, the My Computer entry and the approved value.
STDAPI DllRegisterServer()
{
    RegistrationTexts texts = {};
    if (!ReadClassText(texts.clsid)) return E_FAIL;
    if (!ReadModulePath(texts.modulePath)) return SELFREG_E_CLASS;
    ReadDisplayName(texts.displayName);

    const HRESULT hr = WriteRegistryRows(texts);
    if (FAILED(hr)) return hr;
    NotifyShell();
    return S_OK;
}

// Removes everything registration wrote; what is already gone is no failure, a key that
// stays is one.
STDAPI DllUnregisterServer()
{
    char clsid[kTextCapacity];
    if (!ReadClassText(clsid)) return E_FAIL;

    char keyPath[kTextCapacity];
    HRESULT result = S_OK;
    for (const UnregisterRow& row : g_unregisterRows) {
        if (!FormatKeyPath(keyPath, row.keyFormat, clsid)) continue;
        const LONG deleted = DeleteKeyTree(row.root, keyPath);
        if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND && SUCCEEDED(result)) result = SELFREG_E_CLASS;
    }
    if (FAILED(result)) return result;
    if (IsNtPlatform()) {
        const HRESULT hr = DeleteApprovedValue(clsid);
        if (FAILED(hr)) return hr;
    }
    NotifyShell();
    return S_OK;
}

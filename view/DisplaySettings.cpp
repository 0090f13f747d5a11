// The view's column widths: read and kept for the process, scaled to the screen's DPI.
#include "view/DisplaySettings.h"
#include "base/Raii.h"

namespace {

const char kSettingsKey[] = "Software\\Lumora";
const char kSettingsValue[] = "Display Settings";
constexpr int kMaxColumnWidth = 32767;
constexpr UINT kDefaultDpi = 96;  // the DPI the default width is counted at
constexpr UINT kAllColumns = (1u << kColumnCount) - 1;

SRWLOCK g_settingsLock = SRWLOCK_INIT;
constexpr DisplaySettings kDefaultSettings = {{kDefaultColumnWidth, kDefaultColumnWidth, kDefaultColumnWidth}};
DisplaySettings g_settings = kDefaultSettings;
UINT g_storedColumns = 0;  // bit per column whose width was stored rather than defaulted
INIT_ONCE g_settingsRead = INIT_ONCE_STATIC_INIT;

// Takes the widths a value of cbData bytes covers, marking them in *pStored; widths out of
// range stay at the default.
DisplaySettings ParseSettings(const BYTE* data, DWORD cbData, UINT* pStored)
{
    DisplaySettings settings = kDefaultSettings;
    *pStored = 0;
    for (int column = 0; column < kColumnCount && (column + 1) * sizeof(INT32) <= cbData; ++column) {
        INT32 width;
        CopyMemory(&width, data + column * sizeof(INT32), sizeof(width));
        if (width < 0 || width > kMaxColumnWidth) continue;
        settings.widths[column] = width;
        *pStored |= 1u << column;
    }
    return settings;
}

// The value's 12 bytes from widths.
void FormatSettings(const DisplaySettings& settings, BYTE* data)
{
    for (int column = 0; column < kColumnCount; ++column) {
        const INT32 width = settings.widths[column];
        CopyMemory(data + column * sizeof(INT32), &width, sizeof(width));
    }
}

// The registry value's widths, or the defaults; the columns it set in *pStored.
DisplaySettings QueryStoredSettings(UINT* pStored)
{
    BYTE data[kColumnCount * sizeof(INT32)] = {};
    DWORD cbData = sizeof(data);
    RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS ||
        RegQueryValueExA(key.Get(), kSettingsValue, nullptr, nullptr, data, &cbData) != ERROR_SUCCESS) {
        cbData = 0;  // no value, or one longer than 12 bytes
    }
    return ParseSettings(data, cbData, pStored);
}

// The DPI of a window (GetDpiForWindow, looked up: older systems lack it), else the screen's.
UINT DpiOf(HWND window)
{
    const LibraryHandle user32("user32.dll");
    const auto getDpiForWindow = user32.GetProc<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    const UINT dpi = window && getDpiForWindow ? getDpiForWindow(window) : 0;
    if (dpi) return dpi;
    const WindowDC screen(nullptr);
    const int screenDpi = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
    return screenDpi > 0 ? static_cast<UINT>(screenDpi) : kDefaultDpi;
}

// INIT_ONCE callback: the first reading of the process.
BOOL CALLBACK ReadOnce(PINIT_ONCE, PVOID, PVOID*)
{
    ReadDisplaySettings();
    return TRUE;
}

}  // namespace

DisplaySettings CurrentDisplaySettings()
{
    InitOnceExecuteOnce(&g_settingsRead, ReadOnce, nullptr, nullptr);
    AcquireSRWLockShared(&g_settingsLock);
    const DisplaySettings settings = g_settings;
    ReleaseSRWLockShared(&g_settingsLock);
    return settings;
}

DisplaySettings ColumnWidthsFor(HWND window)
{
    InitOnceExecuteOnce(&g_settingsRead, ReadOnce, nullptr, nullptr);
    AcquireSRWLockShared(&g_settingsLock);
    DisplaySettings settings = g_settings;
    const UINT stored = g_storedColumns;
    ReleaseSRWLockShared(&g_settingsLock);
    const UINT dpi = DpiOf(window);
    for (int column = 0; column < kColumnCount; ++column) {
        if (!(stored & (1u << column))) settings.widths[column] = MulDiv(settings.widths[column], dpi, kDefaultDpi);
    }
    return settings;
}

void StoreDisplaySettings(const DisplaySettings& settings)
{
    InitOnceExecuteOnce(&g_settingsRead, ReadOnce, nullptr, nullptr);  // a later first read must not undo these
    AcquireSRWLockExclusive(&g_settingsLock);
    g_settings = settings;
    g_storedColumns = kAllColumns;
    ReleaseSRWLockExclusive(&g_settingsLock);
    WriteDisplaySettings();
}

void ReadDisplaySettings()
{
    UINT stored = 0;
    const DisplaySettings settings = QueryStoredSettings(&stored);
    AcquireSRWLockExclusive(&g_settingsLock);
    g_settings = settings;
    g_storedColumns = stored;
    ReleaseSRWLockExclusive(&g_settingsLock);
}

bool WriteDisplaySettings()
{
    BYTE data[kColumnCount * sizeof(INT32)];
    AcquireSRWLockShared(&g_settingsLock);
    FormatSettings(g_settings, data);
    ReleaseSRWLockShared(&g_settingsLock);
    RegKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        key.Put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return RegSetValueExA(key.Get(), kSettingsValue, 0, REG_BINARY, data, sizeof(data)) == ERROR_SUCCESS;
}

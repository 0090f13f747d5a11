// The widths of the view's three columns, shared by every view of the process and kept
// under HKEY_CURRENT_USER "Software\Lumora" as "Display Settings": 12 bytes, the Name,
// Size and Type widths in pixels, each a signed 32-bit little-endian number.
//
// The default width (100) is pixels at 96 DPI: a view at another DPI gets the defaults
// scaled by its DPI / 96 (ColumnWidthsFor); stored widths are pixels as they are.
//
// Never touched from DllMain (the registry must not be used under the loader lock): the
// first view that makes its columns reads them, and the end of every column-divider drag
// writes them at once, so they survive a process that is killed.
#pragma once
#include <windows.h>

constexpr int kColumnCount = 3;
constexpr int kDefaultColumnWidth = 100;

// Pixel widths indexed by the folder's column numbers (0 name, 1 size, 2 type).
struct DisplaySettings {
    int widths[kColumnCount];
};

// The process's widths, read from the registry the first time they are asked for; a
// width nothing stored is the default at 96 DPI.
DisplaySettings CurrentDisplaySettings();
// The widths for the columns of a list in window: the process's, the defaults among them
// scaled to the window's DPI.
DisplaySettings ColumnWidthsFor(HWND window);
// New widths for the process (all three taken as stored), written to the registry at once.
void StoreDisplaySettings(const DisplaySettings& settings);

// Reads the registry value into the process's widths: 100 each where it holds nothing
// usable (no value, more than 12 bytes, a width below 0 or above 32767); a shorter value
// sets the widths it covers.
void ReadDisplaySettings();
// Writes the process's widths as the 12-byte value; false when the registry refused.
bool WriteDisplaySettings();

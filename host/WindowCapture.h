// Pictures of a window as it is on the screen, saved as PNG files through the platform's
// imaging component (COM must be up on the calling thread).
#pragma once
#include <windows.h>

// Paints the window and its children now, then saves what the whole window shows,
// caption and borders included, as a 24-bit PNG file.
HRESULT SaveWindowAsPng(HWND hwnd, const wchar_t* path);

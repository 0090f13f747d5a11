// Reading the product version of a file.
#include "about/FileVersion.h"
#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include "base/TextHelpers.h"

namespace {
// The first translation of a version block: language id in the low word, code page in the high one.
bool FirstTranslation(const void* block, DWORD* translation)
{
    const WORD* entry = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block, "\\VarFileInfo\\Translation", reinterpret_cast<void**>(const_cast<WORD**>(&entry)), &length))
        return false;
    if (!entry || length < 2 * sizeof(WORD)) return false;
    *translation = MAKELONG(entry[0], entry[1]);
    return true;
}
}  // namespace

// The product version string of a file, copied into text when the file carries one.
bool GetFileProductVersion(const char* path, char* text, int capacity)
{
    if (!path || !text || capacity <= 0) return false;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) return false;
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]());
    if (!block || !GetFileVersionInfoA(path, 0, size, block.get())) return false;
    DWORD translation = 0;
    if (!FirstTranslation(block.get(), &translation)) return false;

    char query[64];
    snprintf(query, sizeof(query), "\\StringFileInfo\\%04X%04X\\ProductVersion", LOWORD(translation), HIWORD(translation));
    const char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.get(), query, reinterpret_cast<void**>(const_cast<char**>(&value)), &length) || !value) return false;
    // The value need not end inside the block: never read past its stated length.
    CopyStringN(text, value, static_cast<int>(std::min<UINT>(static_cast<UINT>(capacity), length + 1)));
    return true;
}

// Commas to full stops, in place.
void CommasToPeriods(char* text)
{
    if (!text) return;
    for (char* p = text; *p != '\0'; ++p)
        if (*p == ',') *p = '.';
}

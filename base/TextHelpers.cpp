// Bounded text helpers: copying, converting, appending, comparing, grouping digits.
#include "base/TextHelpers.h"
#include <shlwapi.h>

void CopyStringN(char* dest, const char* source, int capacity)
{
    if (!dest || capacity <= 0) return;
    dest[0] = '\0';
    if (!source) return;
    int i = 0;
    for (; i < capacity - 1 && source[i] != '\0'; ++i) dest[i] = source[i];
    dest[i] = '\0';
}

void AppendStringN(char* dest, const char* source, int capacity)
{
    if (!dest || capacity <= 0) return;
    const int used = lstrlenA(dest);
    if (used >= capacity) return;
    CopyStringN(dest + used, source, capacity - used);
}

void WideToAnsi(char* dest, const wchar_t* source, int capacity)
{
    if (!dest || capacity <= 0) return;
    dest[0] = '\0';
    if (!source) return;
    if (WideCharToMultiByte(CP_ACP, 0, source, -1, dest, capacity, nullptr, nullptr) == 0)
        dest[0] = '\0';  // did not fit: leave nothing half-converted
    dest[capacity - 1] = '\0';
}

void AnsiToWide(wchar_t* dest, const char* source, int capacity)
{
    if (!dest || capacity <= 0) return;
    dest[0] = L'\0';
    if (!source) return;
    if (MultiByteToWideChar(CP_ACP, 0, source, -1, dest, capacity) == 0)
        dest[0] = L'\0';
    dest[capacity - 1] = L'\0';
}

int CompareTextBytes(const char* first, const char* second)
{
    const auto* a = reinterpret_cast<const unsigned char*>(first);
    const auto* b = reinterpret_cast<const unsigned char*>(second);
    while (*a && *a == *b) ++a, ++b;
    return *a < *b ? -1 : (*a > *b ? 1 : 0);
}

void FormatGroupedNumber(UINT value, char* text, int capacity)
{
    if (!text || capacity <= 0) return;
    char digits[16];
    wnsprintfA(digits, sizeof(digits), "%u", value);
    char separator[8] = ",";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, sizeof(separator));
    char decimal[2] = ".";
    NUMBERFMTA format = {0, 0, 3, decimal, separator, 0};
    if (GetNumberFormatA(LOCALE_USER_DEFAULT, 0, digits, &format, text, capacity) <= 0) CopyStringN(text, digits, capacity);
}

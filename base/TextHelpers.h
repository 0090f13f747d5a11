// Bounded text helpers: none of them writes past the capacity it is given.
#pragma once
#include <windows.h>

// Empties dest, then copies at most capacity - 1 characters of source and terminates.
void CopyStringN(char* dest, const char* source, int capacity);
// Wide source to ANSI (the ANSI code page) in a buffer of capacity bytes; dest is emptied first.
void WideToAnsi(char* dest, const wchar_t* source, int capacity);
// ANSI source to wide in a buffer of capacity characters; dest is emptied first.
void AnsiToWide(wchar_t* dest, const char* source, int capacity);
// Appends source to dest (of capacity bytes in all), cutting what does not fit.
void AppendStringN(char* dest, const char* source, int capacity);
// A count in digits grouped by threes as the user's locale separates them ("2,700").
void FormatGroupedNumber(UINT value, char* text, int capacity);
// Byte-wise, unsigned and case-sensitive, as far as the first zero: -1, 0 or 1.
int CompareTextBytes(const char* first, const char* second);

// Version texts read from files' version resources.
#pragma once
#include <windows.h>

// The "ProductVersion" text of a file's version resource, for the first language the file
// lists; at most capacity - 1 characters. False, with text left as it was, when the file
// has none.
bool GetFileProductVersion(const char* path, char* text, int capacity);

// Replaces every comma of a version text by a full stop, in place: "1, 2, 0, 31" becomes
// "1. 2. 0. 31".
void CommasToPeriods(char* text);

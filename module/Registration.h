// Registration of the folder's class and its place under My Computer.
#pragma once
#include <windows.h>

// Deletes a key with all its subkeys and values: ERROR_SUCCESS, ERROR_FILE_NOT_FOUND when
// there is no such key, or the error that kept it (or a part of it) from going.
LONG DeleteKeyTree(HKEY root, const char* path);

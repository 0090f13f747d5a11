// Registration of the folder's class and its place under My Computer.
#pragma once
#include <windows.h>

// Deletes a key with all its subkeys; true when the key could be opened.
bool DeleteKeyTree(HKEY root, const char* path);

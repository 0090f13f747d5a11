// The built tolvane.dll, which sits next to the test program: its path and a handle
// to its resources (loaded once as a data file, so none of its code runs).
#pragma once
#include <windows.h>
#include <string>

// Full path of tolvane.dll in the test program's own folder.
std::string BuiltModulePath();
// The module loaded as a data file for the life of the program; null if it failed.
HMODULE BuiltModule();

// The camera folder: the shell folder object of the camera namespace.
#pragma once
#include <windows.h>
#include <shlobj.h>

// A new folder with one reference (the caller's), or null when it cannot be made.
IShellFolder* CreateCameraFolder(IShellFolder* parentFolder);

// Camera names become PC file names only when they are plain file names.
#pragma once
#include <windows.h>

// True when name is a plain file name of at most 12 bytes that the PC can hold as it
// stands: no path characters, controls, trailing dot or blank, and no device name.
bool IsPlainCameraFileName(const char* name);

// The path of the temporary copy of a camera file (path holds MAX_PATH characters).
// False, with path empty, when the name is not plain or the path would not lie
// directly in the temporary directory.
bool BuildTempCopyPath(const char* name, char* path);

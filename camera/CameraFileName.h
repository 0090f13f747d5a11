// Camera names become PC file names only when they are plain file names.
#pragma once
#include <windows.h>

// True when name is a plain file name of at most 12 bytes that the PC can hold as it
// stands: no path characters, controls, trailing dot or blank, and no device name.
bool IsPlainCameraFileName(const char* name);

// The folder of our temporary copies, "Lumora" in the temporary directory, with its final
// backslash (folder holds MAX_PATH characters). Only our copies live there: straight in the
// temporary directory a camera name such as HOLI~CA0.TXT can be the short name of another
// program's file. False, with folder empty, when the path does not fit.
bool GetTempCopyFolder(char* folder);

// The path of the temporary copy of a camera file (path holds MAX_PATH characters), directly
// in the folder of temporary copies. Every copy's path comes from here: copying, listing the
// copies and checking whether a copy was moved away agree on it. Builds the path only; nothing
// on disk is made or looked at. False, with path empty, when the name is not plain or the
// path would not lie directly in that folder.
bool BuildTempCopyPath(const char* name, char* path);

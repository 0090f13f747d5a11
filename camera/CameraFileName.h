// Camera names become PC file names only when they are plain file names.
#pragma once
#include <windows.h>

// True when name is a plain file name of at most 12 bytes that the PC can hold as it
// stands: no path characters, controls, trailing dot or blank, and no device name.
bool IsPlainCameraFileName(const char* name);

// The folder of every temporary copy, "Lumora" in the temporary directory, with its final
// backslash, through the wide calls so that the path is the real one whatever the ANSI code
// page can spell (folder holds capacity characters). Our copies live in folders of their own
// inside it: straight in the temporary directory a camera name such as HOLI~CA0.TXT can be the
// short name of another program's file. False, with folder empty, when the path does not fit.
bool GetTempCopyFolder(wchar_t* folder, int capacity);

// The path of the temporary copy of a camera file directly in folder (a folder of copies with
// its final backslash; path holds MAX_PATH characters, so that every program can open it).
// Builds the path only; nothing on disk is made or looked at. False, with path empty, when
// the name is not plain or the path does not fit.
bool BuildTempCopyPath(const wchar_t* folder, const char* name, wchar_t* path);

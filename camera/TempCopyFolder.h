// The folder of our temporary copies on disk: made on demand, held while copies are
// written, and never taken for something that stands in its place.
#pragma once
#include <windows.h>
#include "module/Raii.h"

// Holds the folder of temporary copies (GetTempCopyFolder) open, without letting anyone
// rename or remove it, while copies are written into it.
class TempCopyFolder {
public:
    TempCopyFolder() = default;
    TempCopyFolder(const TempCopyFolder&) = delete;
    TempCopyFolder& operator=(const TempCopyFolder&) = delete;

    // Makes the folder when it is missing and holds it. False when it cannot be made, or
    // when what stands at its path is not a plain folder (a file, a junction or another
    // link planted there): nothing is then written through it.
    bool Open();

private:
    FileHandle m_hFolder;
};

// Makes room for the copy of a camera file at path (from BuildTempCopyPath): an earlier copy
// of the same name is removed, read-only or not. False when something else answers to the
// path: a folder, or another file whose short name is the camera name (that file stays).
bool RemoveEarlierCopy(const char* path, const char* name);

// The folders of our temporary copies on disk: made on demand, held while copies are
// written, and never taken for something that stands in their place.
#pragma once
#include <windows.h>
#include "base/Raii.h"

// What the path of a copy about to be written came to.
enum class CopyRoom {
    Ready,     // the path is free (an earlier copy of the very name was removed)
    Refused,   // the name is no plain file name, or something else answers to the path
    Unusable,  // the folder cannot be had, or no path in it that programs can open fits
};

// One folder of temporary copies inside "Lumora" of the temporary directory (GetTempCopyFolder):
// the folder that every Open shares, or a folder of one data object's own, made once under a
// name that nobody has used. No operation writes into another's own folder, so a copy in an
// own folder is never removed or replaced by anything but its owner.
class TempCopyFolder {
public:
    enum Kind { Shared, Own };
    // Room for a folder's path: a temporary directory longer than MAX_PATH can still be named.
    static const int kCapacity = 2 * MAX_PATH + 16;

    explicit TempCopyFolder(Kind kind);
    TempCopyFolder(const TempCopyFolder&) = delete;
    TempCopyFolder& operator=(const TempCopyFolder&) = delete;

    // Makes the folder (and "Lumora") when missing and holds both, without letting anyone
    // rename or remove them, until Close. False when either cannot be made, or what stands at
    // its path is not a plain folder (a file, a junction or another link planted there).
    bool Open();
    void Close();
    // Makes room for the copy of a camera name in the open folder and gives the copy's path
    // (MAX_PATH characters): an earlier copy of the very name is removed, read-only or not. The
    // copy of a name that differs only in case is never replaced: in the shared folder the new
    // copy goes into a new own folder instead.
    CopyRoom MakeRoom(const char* name, wchar_t* path);
    // The folder with its final backslash; "Lumora" itself while an own folder is not made.
    const wchar_t* Path() const { return m_szPath; }
    // "Lumora" with its final backslash, the folder the user is told of; empty when unknown.
    const wchar_t* Root() const { return m_szRoot; }
    // Removes an own folder when nothing is left in it.
    void RemoveWhenEmpty();

private:
    bool OpenOwnFolder();

    Kind m_kind;
    wchar_t m_szRoot[kCapacity] = L"";
    wchar_t m_szPath[kCapacity] = L"";
    bool m_fMade = false;  // m_szPath names this object's folder (not just "Lumora")
    FileHandle m_hRoot;    // "Lumora", held while open
    FileHandle m_hFolder;  // the folder, held while open
};

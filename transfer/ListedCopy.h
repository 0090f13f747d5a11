// A temporary copy that a CF_HDROP list names, held open to tell later whether the receiver
// really took it away.
#pragma once
#include <windows.h>
#include "base/Raii.h"

// Holds the file of a listed copy with every kind of sharing, so that the receiver may still
// read, move or delete it, and tells whether that very file left the folder of copies for
// another place on the PC. Whatever cannot be told counts as not left.
class ListedCopy {
public:
    ListedCopy() = default;
    ListedCopy(const ListedCopy&) = delete;
    ListedCopy& operator=(const ListedCopy&) = delete;

    // Holds the copy at path (just written, in a folder no other operation writes into).
    bool Hold(const wchar_t* path);
    void Release() { m_hFile.Reset(); }
    // The held file left folder (with its final backslash): it is not being deleted, it has a
    // name, no entry of folder is that file, and where the system tells its new place, that
    // place is the file.
    bool HasLeft(const wchar_t* folder) const;

private:
    FileHandle m_hFile;
};

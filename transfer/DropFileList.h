// A CF_HDROP list from another program, checked before any path of it is read: the 20-byte
// header, the list's offset inside the block, and the list's end inside the block. The list
// is names each ended by a zero, then an empty name; single-byte or wide (fWide = 1, as the
// shell's own data objects send it).
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <optional>
#include "base/Raii.h"

// One path of the list, as listed: opening the file and naming it on the camera both read it
// by character, so no code page comes in between.
struct DropFilePath {
    static constexpr int kCapacity = MAX_PATH + 1;  // 260 characters and the zero
    wchar_t path[kCapacity];
    bool fFits;  // false: the path is longer than the buffer (it is never opened); path holds
                 // "..." and as much of its end as fits, for telling the user
};

class DropFileList {
public:
    DropFileList() = default;
    DropFileList(const DropFileList&) = delete;
    DropFileList& operator=(const DropFileList&) = delete;

    // Locks and checks the block; false when it is no sound CF_HDROP list.
    bool Open(HGLOBAL hDrop);
    UINT Count() const { return m_cFiles; }
    // The next path of the list, in order; false after the last.
    bool Next(DropFilePath* file);

private:
    template <typename Char> bool CheckList(const BYTE* list, SIZE_T cbList);
    static void ReadNarrow(const BYTE* name, SIZE_T bytes, DropFilePath* file);
    static void ReadWide(const BYTE* name, SIZE_T chars, DropFilePath* file);

    std::optional<GlobalLockPtr<BYTE>> m_block;
    const BYTE* m_pNext = nullptr;  // the next name of the list
    bool m_fWide = false;
    UINT m_cFiles = 0;
    UINT m_iNext = 0;
};

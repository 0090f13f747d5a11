// Reading a CF_HDROP list that another program built.
#include "transfer/DropFileList.h"

namespace {
// One character of a list; a wide list may stand at an odd offset.
template <typename Char> Char CharAt(const BYTE* list, SIZE_T index)
{
    Char c;
    CopyMemory(&c, list + index * sizeof(Char), sizeof(Char));
    return c;
}

// The characters of the name at name, its zero included (the list's end lies inside the block).
template <typename Char> SIZE_T NameChars(const BYTE* name)
{
    SIZE_T chars = 1;
    while (CharAt<Char>(name, chars - 1) != 0) ++chars;
    return chars;
}
}  // namespace

// A sound block: the header fits, the list starts behind it and inside the block, and the
// list's empty last name lies inside the block too.
bool DropFileList::Open(HGLOBAL hDrop)
{
    const SIZE_T size = hDrop ? GlobalSize(hDrop) : 0;
    if (size < sizeof(DROPFILES)) return false;
    m_block.emplace(hDrop);
    if (!*m_block) return false;
    DROPFILES header;
    CopyMemory(&header, m_block->Get(), sizeof(header));
    if (header.pFiles < sizeof(DROPFILES) || header.pFiles >= size) return false;
    m_fWide = header.fWide != FALSE;
    const BYTE* list = m_block->Get() + header.pFiles;
    const SIZE_T cbList = size - header.pFiles;
    if (!(m_fWide ? CheckList<wchar_t>(list, cbList) : CheckList<char>(list, cbList))) return false;
    m_pNext = list;
    return true;
}

// Counts the names up to the empty one; false when the block ends first.
template <typename Char> bool DropFileList::CheckList(const BYTE* list, SIZE_T cbList)
{
    const SIZE_T chars = cbList / sizeof(Char);
    UINT count = 0;
    for (SIZE_T i = 0, nameStart = 0; i < chars; ++i) {
        if (CharAt<Char>(list, i) != 0) continue;
        if (i == nameStart) {
            m_cFiles = count;
            return true;
        }
        ++count;
        nameStart = i + 1;
    }
    return false;
}

// The next path; one that does not fit the buffers comes back with fFits clear.
bool DropFileList::Next(DropFilePath* file)
{
    if (!m_pNext || m_iNext >= m_cFiles) return false;
    file->path[0] = '\0';
    file->widePath[0] = L'\0';
    file->fFits = false;
    const SIZE_T chars = m_fWide ? NameChars<wchar_t>(m_pNext) : NameChars<char>(m_pNext);
    if (chars <= DropFilePath::kCapacity) {
        if (m_fWide) ReadWide(m_pNext, chars, file);
        else ReadNarrow(m_pNext, file);
    }
    m_pNext += chars * (m_fWide ? sizeof(wchar_t) : sizeof(char));
    ++m_iNext;
    return true;
}

// A single-byte path as it stands; its wide form opens the same file.
void DropFileList::ReadNarrow(const BYTE* name, DropFilePath* file)
{
    lstrcpynA(file->path, reinterpret_cast<const char*>(name), DropFilePath::kCapacity);
    file->fFits = MultiByteToWideChar(CP_ACP, 0, file->path, -1, file->widePath, DropFilePath::kCapacity) > 0;
}

// A wide path as it stands; its single-byte form (for the camera's name only) has '_' for
// every character the code page lacks, never a look-alike.
void DropFileList::ReadWide(const BYTE* name, SIZE_T chars, DropFilePath* file)
{
    CopyMemory(file->widePath, name, chars * sizeof(wchar_t));
    const bool utf8 = GetACP() == CP_UTF8;  // takes neither a default character nor the flag
    BOOL usedDefault = FALSE;
    file->fFits = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, file->widePath, -1, file->path,
                                      DropFilePath::kCapacity, utf8 ? nullptr : "_", utf8 ? nullptr : &usedDefault) > 0;
}

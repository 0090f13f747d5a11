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

// What stands for the cut start of a path too long to hold.
const wchar_t kEllipsis[] = L"...";
const SIZE_T kEllipsisChars = 3;

// Writes the ellipsis at the start of a path; answers its length.
int CopyEllipsis(wchar_t* path)
{
    CopyMemory(path, kEllipsis, kEllipsisChars * sizeof(wchar_t));
    return static_cast<int>(kEllipsisChars);
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

// The next path; one that does not fit the buffer comes back with fFits clear.
bool DropFileList::Next(DropFilePath* file)
{
    if (!m_pNext || m_iNext >= m_cFiles) return false;
    const SIZE_T chars = m_fWide ? NameChars<wchar_t>(m_pNext) : NameChars<char>(m_pNext);
    if (m_fWide) ReadWide(m_pNext, chars, file);
    else ReadNarrow(m_pNext, chars, file);
    m_pNext += chars * (m_fWide ? sizeof(wchar_t) : sizeof(char));
    ++m_iNext;
    return true;
}

// A path in the ANSI code page (bytes with its zero), read by character; of a path too long
// for the buffer, "..." and its end from a whole character on.
void DropFileList::ReadNarrow(const BYTE* name, SIZE_T bytes, DropFilePath* file)
{
    const char* from = reinterpret_cast<const char*>(name);
    const char* end = from + bytes;
    file->fFits = bytes <= DropFilePath::kCapacity;
    wchar_t* to = file->path;
    if (!file->fFits) {
        while (static_cast<SIZE_T>(end - from) > DropFilePath::kCapacity - kEllipsisChars) from = CharNextA(from);
        to += CopyEllipsis(to);
    }
    if (MultiByteToWideChar(CP_ACP, 0, from, -1, to, DropFilePath::kCapacity - static_cast<int>(to - file->path)) > 0) return;
    file->path[0] = L'\0';
    file->fFits = false;
}

// A wide path (characters with its zero) as it stands; of a path too long for the buffer,
// "..." and its end from a whole character on.
void DropFileList::ReadWide(const BYTE* name, SIZE_T chars, DropFilePath* file)
{
    SIZE_T from = 0;
    file->fFits = chars <= DropFilePath::kCapacity;
    wchar_t* to = file->path;
    if (!file->fFits) {
        from = chars - (DropFilePath::kCapacity - kEllipsisChars);
        if (IS_LOW_SURROGATE(CharAt<wchar_t>(name, from))) ++from;
        to += CopyEllipsis(to);
    }
    CopyMemory(to, name + from * sizeof(wchar_t), (chars - from) * sizeof(wchar_t));
}

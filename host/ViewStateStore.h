// The view state streams the browser keeps for its views, one per folder, in memory for
// the life of the browser.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <shtypes.h>
#include <utility>
#include <vector>
#include "base/Raii.h"

class ViewStateStore {
public:
    // A stream for the folder named by key (its identifier list's bytes), at position 0:
    // STGM_READ gives a copy of what was last written (E_FAIL while nothing was),
    // STGM_WRITE a new empty stream that replaces the folder's, STGM_READWRITE the folder's
    // own stream (made empty when there is none).
    HRESULT Open(const std::vector<BYTE>& key, DWORD grfMode, IStream** ppStream);

private:
    ComPtr<IStream>* Find(const std::vector<BYTE>& key);

    std::vector<std::pair<std::vector<BYTE>, ComPtr<IStream>>> m_streams;  // a handful of folders
};

// The bytes of an identifier list (empty for none), the key of its folder's stream.
std::vector<BYTE> PidlBytes(LPCITEMIDLIST pidl);

#include "host/ViewStateStore.h"
#include <shlobj.h>
#include <shlwapi.h>
#include <memory>

namespace {

constexpr DWORD kAccessMask = STGM_READ | STGM_WRITE | STGM_READWRITE;

// All bytes of a stream, read from its start.
bool ReadAll(IStream* stream, std::vector<BYTE>* bytes)
{
    STATSTG stat = {};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.QuadPart > 64 * 1024 * 1024) return false;
    bytes->resize(static_cast<size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER start = {};
    ULONG read = 0;
    if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) return false;
    if (bytes->empty()) return true;
    return SUCCEEDED(stream->Read(bytes->data(), static_cast<ULONG>(bytes->size()), &read)) && read == bytes->size();
}

// A new memory stream holding the bytes, at position 0.
HRESULT NewStream(const std::vector<BYTE>& bytes, IStream** ppStream)
{
    *ppStream = SHCreateMemStream(bytes.empty() ? nullptr : bytes.data(), static_cast<UINT>(bytes.size()));
    return *ppStream ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

HRESULT ViewStateStore::Open(const std::vector<BYTE>& key, DWORD grfMode, IStream** ppStream)
{
    if (!ppStream) return E_POINTER;
    *ppStream = nullptr;
    ComPtr<IStream>* found = Find(key);
    const DWORD access = grfMode & kAccessMask;
    if (access == STGM_READ) {
        std::vector<BYTE> bytes;
        if (!found || !ReadAll(found->Get(), &bytes)) return E_FAIL;
        return NewStream(bytes, ppStream);
    }
    if (access == STGM_READWRITE && found) {
        LARGE_INTEGER start = {};
        (*found)->Seek(start, STREAM_SEEK_SET, nullptr);
        return found->CopyTo(ppStream);
    }
    ComPtr<IStream> stream;
    HRESULT hr = NewStream({}, &stream);
    if (FAILED(hr)) return hr;
    if (found) *found = stream;
    else m_streams.emplace_back(key, stream);
    return stream.CopyTo(ppStream);
}

// The folder's stream, null when there is none.
ComPtr<IStream>* ViewStateStore::Find(const std::vector<BYTE>& key)
{
    for (auto& entry : m_streams) {
        if (entry.first == key) return std::addressof(entry.second);  // ComPtr's & would release it
    }
    return nullptr;
}

std::vector<BYTE> PidlBytes(LPCITEMIDLIST pidl)
{
    if (!pidl) return {};
    const BYTE* bytes = reinterpret_cast<const BYTE*>(pidl);
    return std::vector<BYTE>(bytes, bytes + ILGetSize(pidl));
}

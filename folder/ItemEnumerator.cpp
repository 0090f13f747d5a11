// The folder's item enumerator: the camera's listing read once and handed out as copies.
#include "folder/ItemEnumerator.h"
#include <new>
#include <shlwapi.h>
#include "camera/CameraWork.h"
#include "items/CameraItemReader.h"

HRESULT ItemEnumerator::Create(HWND hwndOwner, SHCONTF grfFlags, IEnumIDList** ppenum)
{
    if (!ppenum) return E_POINTER;
    *ppenum = nullptr;
    auto* enumerator = new (std::nothrow) ItemEnumerator();
    if (!enumerator) return E_FAIL;
    const HRESULT hr = enumerator->Initialize(hwndOwner, grfFlags);
    if (FAILED(hr)) {
        enumerator->Release();
        return hr;
    }
    *ppenum = enumerator;
    return S_OK;
}

// Takes the allocator, the manager and a use of the connection, then reads the camera.
HRESULT ItemEnumerator::Initialize(HWND hwndOwner, SHCONTF grfFlags)
{
    m_pIdManager = ItemIdManager::Create();
    if (!m_pIdManager) return E_OUTOFMEMORY;
    if (FAILED(SHGetMalloc(&m_pMalloc)) || !m_pMalloc) return E_OUTOFMEMORY;
    m_connection.emplace();
    BuildItemList(hwndOwner, grfFlags);  // a listing cut short still makes a working enumerator
    return S_OK;
}

ItemEnumerator::~ItemEnumerator()
{
    FreeItemList();
}

// IUnknown and IEnumIDList: the object itself.
const QITAB* ItemEnumerator::InterfaceTable()
{
    static const QITAB table[] = {
        QITABENT(ItemEnumerator, IEnumIDList),
        {},
    };
    return table;
}

// Copies of up to celt items from the current one on.
IFACEMETHODIMP ItemEnumerator::Next(ULONG celt, LPITEMIDLIST* rgelt, ULONG* pceltFetched)
{
    if (celt > 1 && !pceltFetched) return E_INVALIDARG;
    if (celt > 0 && !rgelt) return E_INVALIDARG;
    ULONG fetched = 0;
    while (fetched < celt && m_pCurrent) {
        LPITEMIDLIST copy = m_pIdManager->Copy(m_pCurrent->pidl);
        if (!copy) break;  // out of memory: hand out what was copied so far
        rgelt[fetched++] = copy;
        m_pCurrent = m_pCurrent->pNext;
    }
    if (pceltFetched) *pceltFetched = fetched;
    return fetched == celt ? S_OK : S_FALSE;
}

// Moves on by up to celt items; S_FALSE when the end came first.
IFACEMETHODIMP ItemEnumerator::Skip(ULONG celt)
{
    for (ULONG i = 0; i < celt; ++i) {
        if (!m_pCurrent) return S_FALSE;
        m_pCurrent = m_pCurrent->pNext;
    }
    return S_OK;
}

// Back to the first item of the same reading.
IFACEMETHODIMP ItemEnumerator::Reset()
{
    m_pCurrent = m_pFirst;
    return S_OK;
}

// Not provided.
IFACEMETHODIMP ItemEnumerator::Clone(IEnumIDList**)
{
    return E_NOTIMPL;
}

// Fills the chain from the camera when files are asked for, as one unit of work; true
// unless memory ran out.
bool ItemEnumerator::BuildItemList(HWND hwndOwner, SHCONTF grfFlags)
{
    if (!(grfFlags & SHCONTF_NONFOLDERS)) return true;
    CameraWork work(m_connection->Get(), hwndOwner);
    if (!work.Connect()) return true;  // the connection told the user
    return ReadListing(work.Connection());
}

// One item per listed file, in the camera's order; false when memory ran out.
bool ItemEnumerator::ReadListing(CameraConnection* connection)
{
    return ReadCameraItems(connection, *m_pIdManager, [this](LPITEMIDLIST pidl, DWORD) {
        if (AppendItem(pidl)) return true;
        m_pIdManager->Delete(pidl);
        return false;
    });
}

// Links one item at the tail; the chain owns it from now on.
bool ItemEnumerator::AppendItem(LPITEMIDLIST pidl)
{
    auto* node = static_cast<ItemNode*>(m_pMalloc->Alloc(sizeof(ItemNode)));
    if (!node) return false;
    node->pNext = nullptr;
    node->pidl = pidl;
    if (!m_pFirst) {
        m_pFirst = node;
        m_pCurrent = node;
    }
    if (m_pLast) m_pLast->pNext = node;
    m_pLast = node;
    return true;
}

// Frees every node and its item.
void ItemEnumerator::FreeItemList()
{
    while (m_pFirst) {
        ItemNode* node = m_pFirst;
        m_pFirst = node->pNext;
        m_pIdManager->Delete(node->pidl);
        m_pMalloc->Free(node);
    }
    m_pLast = nullptr;
    m_pCurrent = nullptr;
}

// The item data object: its life, the IDataObject methods and its own format enumerator.
#include "transfer/ItemDataObject.h"
#include "folder/FolderObjects.h"
#include <new>
#include <utility>

namespace {
// The one format offered: a CF_HDROP list in global memory.
const FORMATETC kFormats[] = {
    {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
};
const ULONG kFormatCount = ARRAYSIZE(kFormats);

// Notices of a receiver are a drop effect in the first four bytes of the block.
const SIZE_T kDropEffectBytes = sizeof(DWORD);

// The process's allocator; null when it cannot be had.
ComPtr<IMalloc> ProcessMalloc()
{
    ComPtr<IMalloc> malloc;
    if (FAILED(SHGetMalloc(&malloc))) malloc.Reset();
    return malloc;
}

// A new block of clipboard memory holding a copy of size bytes; null when it cannot be had.
HGLOBAL CopyToNewBlock(const void* bytes, SIZE_T size)
{
    GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size));
    if (!block) return nullptr;
    GlobalLockPtr<BYTE> target(block.Get());
    if (!target) return nullptr;
    CopyMemory(target.Get(), bytes, size);
    return block.Release();
}

// The medium of a block that the receiver frees.
void FillGlobalMedium(STGMEDIUM* pmedium, HGLOBAL block)
{
    pmedium->tymed = TYMED_HGLOBAL;
    pmedium->hGlobal = block;
    pmedium->pUnkForRelease = nullptr;
}
}  // namespace

IDataObject* CreateItemDataObject(HWND hwndOwner, const LPCITEMIDLIST* apidl, UINT cidl, const UINT* pfCut)
{
    return static_cast<IDataObject*>(ItemDataObject::Create(hwndOwner, apidl, cidl, pfCut));
}

ItemDataObject* ItemDataObject::Create(HWND hwndOwner, const LPCITEMIDLIST* apidl, UINT cidl, const UINT* pfCut)
{
    auto* object = new (std::nothrow) ItemDataObject(hwndOwner, pfCut && *pfCut != 0);
    if (!object) return nullptr;
    if (!object->Initialize(apidl, cidl)) {
        object->Release();
        return nullptr;
    }
    return object;
}

// In cut mode the formats of the receiver's notices are registered, in this order.
ItemDataObject::ItemDataObject(HWND hwndOwner, bool fCut)
    : m_hwndOwner(hwndOwner),
      m_fCut(fCut),
      m_pMalloc(ProcessMalloc()),
      m_pIdManager(ItemIdManager::Create()),
      m_items(m_pMalloc.Get(), m_pIdManager.get())
{
    if (!m_fCut) return;
    m_cfPreferredDropEffect = RegisterClipboardFormatA("Preferred DropEffect");
    m_cfPerformedDropEffect = RegisterClipboardFormatA("Performed DropEffect");
    m_cfPasteSucceeded = RegisterClipboardFormatA("Paste Succeeded");
}

// The object's own copies of the items (a copy that fails leaves its entry null: that item
// is never copied out nor deleted).
bool ItemDataObject::Initialize(const LPCITEMIDLIST* apidl, UINT cidl)
{
    if (!m_pMalloc || !m_pIdManager || (cidl > 0 && !apidl)) return false;
    if (cidl == 0) return true;
    m_aCopies.reset(new (std::nothrow) ListedCopy[cidl]);
    m_items.Assign(apidl, cidl);
    return m_aCopies && m_items.Count() == cidl;
}

// The copies go; the temporary files stay on disk (the object's folder goes when nothing is
// left in it). An idle link closes now, a busy one at its unit's end.
ItemDataObject::~ItemDataObject()
{
    m_aCopies.reset();
    m_copyFolder.RemoveWhenEmpty();
    if (CameraConnection* connection = m_connection.Get()) connection->DisconnectWhenIdle();
}

// IUnknown and IDataObject, then IEnumFORMATETC: one object, one count.
const QITAB* ItemDataObject::InterfaceTable()
{
    static const QITAB table[] = {
        QITABENT(ItemDataObject, IDataObject),
        QITABENT(ItemDataObject, IEnumFORMATETC),
        {},
    };
    return table;
}

// The preferred effect of a Cut, or the cached CF_HDROP list (built on the first request).
IFACEMETHODIMP ItemDataObject::GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium)
{
    if (!pformatetcIn || !pmedium) return E_INVALIDARG;
    if (m_fCut && pformatetcIn->cfFormat == m_cfPreferredDropEffect) return GetPreferredDropEffect(pmedium);
    if (pformatetcIn->cfFormat != CF_HDROP) return E_INVALIDARG;
    if (pformatetcIn->ptd || !(pformatetcIn->dwAspect & DVASPECT_CONTENT) || !(pformatetcIn->tymed & TYMED_HGLOBAL))
        return DV_E_FORMATETC;
    if (pformatetcIn->lindex != -1) return STG_E_MEDIUMFULL;
    return GetDropFiles(pformatetcIn, pmedium);
}

// DROPEFFECT_MOVE in four bytes, whatever aspect or medium was asked for.
HRESULT ItemDataObject::GetPreferredDropEffect(STGMEDIUM* pmedium)
{
    const DWORD effect = DROPEFFECT_MOVE;
    HGLOBAL block = CopyToNewBlock(&effect, kDropEffectBytes);
    if (!block) return STG_E_MEDIUMFULL;
    FillGlobalMedium(pmedium, block);
    return S_OK;
}

// A copy of the cached list; the camera is read once per object however often it is asked
// (a copy the user stopped is tried again at the next request).
HRESULT ItemDataObject::GetDropFiles(const FORMATETC*, STGMEDIUM* pmedium)
{
    // A request that arrives through a message of the copy running now gets nothing yet.
    if (m_fBuilding) return STG_E_MEDIUMFULL;
    if (!m_hDropFiles) {
        m_fBuilding = true;
        HGLOBAL built = nullptr;
        const HRESULT hr = BuildDropFiles(false, &built);
        m_hDropFiles.Reset(built);
        m_fBuilding = false;
        if (FAILED(hr)) return hr;
    }
    GlobalLockPtr<BYTE> cached(m_hDropFiles.Get());
    if (!cached) return STG_E_MEDIUMFULL;
    HGLOBAL copy = CopyToNewBlock(cached.Get(), GlobalSize(m_hDropFiles.Get()));
    if (!copy) return STG_E_MEDIUMFULL;
    FillGlobalMedium(pmedium, copy);
    return S_OK;
}

// Not provided.
IFACEMETHODIMP ItemDataObject::GetDataHere(FORMATETC*, STGMEDIUM*)
{
    return E_NOTIMPL;
}

// CF_HDROP in global memory only; "Preferred DropEffect" is not acknowledged here.
IFACEMETHODIMP ItemDataObject::QueryGetData(FORMATETC* pformatetc)
{
    if (!pformatetc) return E_INVALIDARG;
    if (!(pformatetc->dwAspect & DVASPECT_CONTENT)) return DV_E_DVASPECT;
    if (pformatetc->cfFormat != CF_HDROP) return DV_E_TYMED;
    DWORD tymed = 0;
    for (const FORMATETC& format : kFormats) tymed |= format.tymed & pformatetc->tymed;
    return tymed ? S_OK : DV_E_TYMED;
}

// Every format is its own canonical one.
IFACEMETHODIMP ItemDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* pformatetcOut)
{
    if (!pformatetcOut) return E_INVALIDARG;
    pformatetcOut->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

// A receiver's notice that ends a Cut: "Performed DropEffect" or "Paste Succeeded". A block
// handed over (fRelease) is released once the notice was taken.
IFACEMETHODIMP ItemDataObject::SetData(FORMATETC* pformatetc, STGMEDIUM* pmedium, BOOL fRelease)
{
    if (!pformatetc || !pmedium) return E_INVALIDARG;
    if (!m_fCut || (pformatetc->cfFormat != m_cfPasteSucceeded && pformatetc->cfFormat != m_cfPerformedDropEffect))
        return E_INVALIDARG;
    if (pmedium->tymed != TYMED_HGLOBAL) return DV_E_TYMED;
    if (!pmedium->hGlobal) return DV_E_FORMATETC;
    const HRESULT hr = TakeDropEffect(pformatetc->cfFormat, pmedium->hGlobal);
    if (hr == S_OK && fRelease) ReleaseStgMedium(pmedium);
    return hr;
}

// Reads the effect of a notice and finishes the Cut on the owner's view: a move deletes on
// the camera what truly moved; any other effect takes the cut marks off the rows.
HRESULT ItemDataObject::TakeDropEffect(UINT cfFormat, HGLOBAL hGlobal)
{
    if (GlobalSize(hGlobal) < kDropEffectBytes) return E_INVALIDARG;
    DWORD effect = 0;
    {
        GlobalLockPtr<DWORD> block(hGlobal);
        if (!block) return STG_E_MEDIUMFULL;
        effect = *block.Get();
    }
    if (effect == DROPEFFECT_NONE && cfFormat == m_cfPerformedDropEffect) return E_INVALIDARG;
    ComPtr<ItemView> view = Adopt(ItemViewFromWindow(m_hwndOwner));
    if (!view) return S_OK;
    if (effect == DROPEFFECT_MOVE) FinishMove(view.Get());
    else view->MarkCutItems(m_items.Items(), m_items.Count(), FALSE);
    EmptyClipboardOfThis();
    return S_OK;
}

// Empties the clipboard while it still holds this object; what another program placed
// there since is left alone.
void ItemDataObject::EmptyClipboardOfThis()
{
    if (OleIsCurrentClipboard(static_cast<IDataObject*>(this)) == S_OK) OleSetClipboard(nullptr);
}

// The object's own enumerator, at whatever position it stands.
IFACEMETHODIMP ItemDataObject::EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppenumFormatEtc)
{
    if (!ppenumFormatEtc) return E_INVALIDARG;
    *ppenumFormatEtc = nullptr;
    if (dwDirection != DATADIR_GET) return E_NOTIMPL;
    return QueryInterface(IID_PPV_ARGS(ppenumFormatEtc));
}

// No advise sinks.
IFACEMETHODIMP ItemDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return E_NOTIMPL;
}

// No advise sinks.
IFACEMETHODIMP ItemDataObject::DUnadvise(DWORD)
{
    return E_NOTIMPL;
}

// No advise sinks.
IFACEMETHODIMP ItemDataObject::EnumDAdvise(IEnumSTATDATA**)
{
    return E_NOTIMPL;
}

// Copies whole entries from the current position on; S_OK when all celt were copied.
IFACEMETHODIMP ItemDataObject::Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched)
{
    if (pceltFetched) *pceltFetched = 0;
    if (!rgelt) return E_INVALIDARG;
    ULONG fetched = 0;
    for (; m_iNextFormat < kFormatCount && fetched < celt; ++m_iNextFormat) rgelt[fetched++] = kFormats[m_iNextFormat];
    if (pceltFetched) *pceltFetched = fetched;
    return fetched == celt ? S_OK : S_FALSE;
}

// Moves on by celt while that stays before the end (skipping up to exactly the end is refused).
IFACEMETHODIMP ItemDataObject::Skip(ULONG celt)
{
    if (celt >= kFormatCount - m_iNextFormat) return S_FALSE;
    m_iNextFormat += celt;
    return S_OK;
}

// Back to the first format.
IFACEMETHODIMP ItemDataObject::Reset()
{
    m_iNextFormat = 0;
    return S_OK;
}

// A new data object for the same items and Cut flag (its own copies, connection use and
// CF_HDROP cache), whose enumerator stands where this one does.
IFACEMETHODIMP ItemDataObject::Clone(IEnumFORMATETC** ppenum)
{
    if (!ppenum) return E_INVALIDARG;
    *ppenum = nullptr;
    const UINT fCut = m_fCut ? 1 : 0;
    ItemDataObject* clone = Create(m_hwndOwner, m_items.Items(), m_items.Count(), &fCut);
    if (!clone) return E_OUTOFMEMORY;
    clone->m_iNextFormat = m_iNextFormat;
    *ppenum = static_cast<IEnumFORMATETC*>(clone);
    return S_OK;
}

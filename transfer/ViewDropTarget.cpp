// The drop target of the camera view: every drag is offered a copy, a drop sends the files.
#include "transfer/ViewDropTarget.h"
#include <new>
#include "transfer/ViewOperation.h"

namespace {
// The one format taken: a CF_HDROP file list in global memory.
FORMATETC DropFilesFormat()
{
    return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// The effect the view offers for every drag over it.
HRESULT OfferCopy(DWORD* pdwEffect)
{
    if (!pdwEffect) return E_INVALIDARG;
    *pdwEffect = DROPEFFECT_COPY;
    return S_OK;
}
}  // namespace

ViewDropTarget* ViewDropTarget::Create(ItemView* view)
{
    return new (std::nothrow) ViewDropTarget(view);
}

// IUnknown and IDropTarget: the object itself.
const QITAB* ViewDropTarget::InterfaceTable()
{
    static const QITAB table[] = {
        QITABENT(ViewDropTarget, IDropTarget),
        {},
    };
    return table;
}

// A copy, whatever the data.
IFACEMETHODIMP ViewDropTarget::DragEnter(IDataObject*, DWORD, POINTL, DWORD* pdwEffect)
{
    return OfferCopy(pdwEffect);
}

// A copy, wherever over the view.
IFACEMETHODIMP ViewDropTarget::DragOver(DWORD, POINTL, DWORD* pdwEffect)
{
    return OfferCopy(pdwEffect);
}

// Nothing to undo.
IFACEMETHODIMP ViewDropTarget::DragLeave()
{
    return S_OK;
}

// Uploads the dropped files as an operation of the view; the view's own files dropped back
// onto it are ignored, and so is a drop while another operation of the view runs. Only an
// upload that answers S_OK makes the effect a copy: when a file was left out (and named to
// the user) the effect stays DROPEFFECT_NONE, so a source that asked for a move keeps its files.
IFACEMETHODIMP ViewDropTarget::Drop(IDataObject* pDataObj, DWORD, POINTL, DWORD* pdwEffect)
{
    if (!pdwEffect || !pDataObj) return E_INVALIDARG;
    *pdwEffect = DROPEFFECT_NONE;
    if (!m_pView || m_pView->IsOwnData(pDataObj)) return S_OK;
    FORMATETC format = DropFilesFormat();
    const HRESULT hr = pDataObj->QueryGetData(&format);
    if (hr != S_OK) return hr;
    ComPtr<ItemView> view(m_pView);  // the upload's messages may let the browser release it
    ViewOperation operation(view.Get());
    if (!operation) return S_OK;
    const HRESULT result = UploadDroppedFiles(view.Get(), pDataObj);
    if (result == S_OK) *pdwEffect = DROPEFFECT_COPY;
    return result;
}

// Fetches the CF_HDROP list, which must come as a handle of global memory, and hands it to
// the view's upload (which checks the list itself).
HRESULT ViewDropTarget::UploadDroppedFiles(ItemView* view, IDataObject* pDataObj)
{
    FORMATETC format = DropFilesFormat();
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    if (FAILED(pDataObj->GetData(&format, &medium))) return E_OUTOFMEMORY;
    HRESULT result = E_OUTOFMEMORY;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) result = view->UploadFiles(static_cast<HDROP>(medium.hGlobal));
    ReleaseStgMedium(&medium);
    return result;
}

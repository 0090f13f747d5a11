// Camera files carried out of the folder: on the clipboard (Copy and Cut) and in a drag.
// The one format is CF_HDROP, a list of PC paths: the first request copies the selected
// camera files into a folder of temporary copies of the object's own and lists those copies.
// After a Cut the receiver's notice deletes on the camera each file whose listed copy it
// really moved away.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>
#include <memory>
#include "camera/TempCopyFolder.h"
#include "items/ItemIdManager.h"
#include "base/ComObject.h"
#include "base/Raii.h"
#include "transfer/ListedCopy.h"
#include "items/ItemCopies.h"
#include "camera/CameraConnectionUse.h"
#include "transfer/ItemView.h"

class TransferProgress;

class ItemDataObject final : public ComObject<ItemDataObject, IDataObject, IEnumFORMATETC> {
public:
    // A data object for copies of the given items, owned by hwndOwner (the view window that
    // parents its progress dialog and hears of a finished move). pfCut, when given, points to
    // the Cut flag. Null when no allocator, manager or memory could be had.
    static ItemDataObject* Create(HWND hwndOwner, const LPCITEMIDLIST* apidl, UINT cidl, const UINT* pfCut);

    static const QITAB* InterfaceTable();

    // IDataObject
    IFACEMETHODIMP GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) override;
    IFACEMETHODIMP GetDataHere(FORMATETC* pformatetc, STGMEDIUM* pmedium) override;
    IFACEMETHODIMP QueryGetData(FORMATETC* pformatetc) override;
    IFACEMETHODIMP GetCanonicalFormatEtc(FORMATETC* pformatectIn, FORMATETC* pformatetcOut) override;
    IFACEMETHODIMP SetData(FORMATETC* pformatetc, STGMEDIUM* pmedium, BOOL fRelease) override;
    IFACEMETHODIMP EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppenumFormatEtc) override;
    IFACEMETHODIMP DAdvise(FORMATETC* pformatetc, DWORD advf, IAdviseSink* pAdvSink, DWORD* pdwConnection) override;
    IFACEMETHODIMP DUnadvise(DWORD dwConnection) override;
    IFACEMETHODIMP EnumDAdvise(IEnumSTATDATA** ppenumAdvise) override;

    // IEnumFORMATETC: the object's own position in its table of formats, shared by every
    // caller of EnumFormatEtc and never reset by it.
    IFACEMETHODIMP Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) override;
    IFACEMETHODIMP Skip(ULONG celt) override;
    IFACEMETHODIMP Reset() override;
    IFACEMETHODIMP Clone(IEnumFORMATETC** ppenum) override;

private:
    ItemDataObject(HWND hwndOwner, bool fCut);
    ~ItemDataObject() override;
    bool Initialize(const LPCITEMIDLIST* apidl, UINT cidl);

    HRESULT GetPreferredDropEffect(STGMEDIUM* pmedium);
    HRESULT GetDropFiles(const FORMATETC* pformatetc, STGMEDIUM* pmedium);
    HRESULT TakeDropEffect(UINT cfFormat, HGLOBAL hGlobal);
    void EmptyClipboardOfThis();

    // Copying out (CopyFromCamera.cpp).
    HRESULT BuildDropFiles(bool fReadOnly, HGLOBAL* phDropFiles);
    void CopyItemsToTemp(CameraConnection* connection, TransferProgress& progress, wchar_t* paths, SIZE_T* pcchPaths, bool fReadOnly);
    void FinishMove(ItemView* view);
    bool IsCopyMovedAway(UINT item);

    // Destroyed in reverse: the items and the block go before the manager and the allocator.
    HWND m_hwndOwner;
    bool m_fCut;
    CameraConnectionUse m_connection;
    ComPtr<IMalloc> m_pMalloc;
    std::unique_ptr<ItemIdManager> m_pIdManager;
    GlobalBlock m_hDropFiles;               // the CF_HDROP block, built on the first request
    UINT m_cfPreferredDropEffect = 0;       // registered in cut mode only
    UINT m_cfPerformedDropEffect = 0;
    UINT m_cfPasteSucceeded = 0;
    ULONG m_iNextFormat = 0;                // the built-in enumerator's position
    bool m_fBuilding = false;               // BuildDropFiles runs (its messages pump)
    ItemCopies m_items;                     // an entry is null when not copied or gone with a move
    TempCopyFolder m_copyFolder{TempCopyFolder::Own};  // where this object's copies, and only they, go
    std::unique_ptr<ListedCopy[]> m_aCopies;  // per item: its copy listed in m_hDropFiles, held
};

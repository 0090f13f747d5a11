// The camera folder: binding, comparing, attributes, display names and the objects of its items.
#include "folder/CameraFolder.h"
#include <new>
#include <shlwapi.h>
#include "folder/FolderObjects.h"
#include "folder/ItemContextMenu.h"
#include "folder/ItemEnumerator.h"

namespace {

constexpr SFGAOF kFolderAttributes = SFGAO_FOLDER | SFGAO_BROWSABLE;
constexpr SFGAOF kItemAttributes = SFGAO_CANCOPY | SFGAO_CANDELETE;

// The usual answer for a request the folder cannot serve.
HRESULT UnsupportedUIObject(UINT cidl)
{
    return cidl == 1 ? E_NOINTERFACE : E_FAIL;
}

}  // namespace

IShellFolder* CreateCameraFolder(IShellFolder* parentFolder)
{
    return CameraFolder::Create(parentFolder);
}

CameraFolder* CameraFolder::Create(IShellFolder* parentFolder)
{
    auto* folder = new (std::nothrow) CameraFolder(parentFolder);
    if (!folder) return nullptr;
    folder->m_pIdManager = ItemIdManager::Create();
    if (!folder->m_pIdManager || FAILED(SHGetMalloc(&folder->m_pMalloc)) || !folder->m_pMalloc) {
        delete folder;
        return nullptr;
    }
    return folder;
}

// IUnknown and IShellFolder give the folder, IPersistFolder its second interface.
const QITAB* CameraFolder::InterfaceTable()
{
    static const QITAB table[] = {
        QITABENT(CameraFolder, IShellFolder),
        QITABENT(CameraFolder, IPersistFolder),
        {},
    };
    return table;
}

// Not provided: names are not parsed.
IFACEMETHODIMP CameraFolder::ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, LPITEMIDLIST*, ULONG*)
{
    return E_NOTIMPL;
}

// A new enumerator, which reads the camera now.
IFACEMETHODIMP CameraFolder::EnumObjects(HWND hwndOwner, SHCONTF grfFlags, IEnumIDList** ppenumIDList)
{
    if (!ppenumIDList) return E_POINTER;
    return ItemEnumerator::Create(hwndOwner, grfFlags, ppenumIDList);
}

// Not provided: the folder has no subfolders.
IFACEMETHODIMP CameraFolder::BindToObject(LPCITEMIDLIST, IBindCtx*, REFIID, void** ppv)
{
    if (ppv) *ppv = nullptr;
    return E_NOTIMPL;
}

// Not provided: camera files are not opened as storage.
IFACEMETHODIMP CameraFolder::BindToStorage(LPCITEMIDLIST, IBindCtx*, REFIID, void** ppv)
{
    if (ppv) *ppv = nullptr;
    return E_NOTIMPL;
}

// Orders the last items of two lists by name, size or type: -1 (as 0xFFFFFFFF), 0 or 1.
IFACEMETHODIMP CameraFolder::CompareIDs(LPARAM lParam, LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2)
{
    if (lParam < kColumnName || lParam > kColumnType) return E_FAIL;
    LPCITEMIDLIST item1 = m_pIdManager->GetLastItem(pidl1);
    LPCITEMIDLIST item2 = m_pIdManager->GetLastItem(pidl2);
    if (!ItemIdManager::IsCameraItem(item1) || !ItemIdManager::IsCameraItem(item2)) return E_INVALIDARG;
    return static_cast<HRESULT>(ItemColumns(m_pIdManager.get()).Compare(static_cast<int>(lParam), item1, item2));
}

// The folder's view, or the background's context menu.
IFACEMETHODIMP CameraFolder::CreateViewObject(HWND, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IShellView)) {
        IShellView* view = CreateCameraView(this);
        if (!view) return E_OUTOFMEMORY;
        const HRESULT hr = view->QueryInterface(riid, ppv);
        view->Release();
        return hr;
    }
    if (IsEqualIID(riid, IID_IContextMenu)) {
        ItemContextMenu* menu = ItemContextMenu::Create(nullptr, 0);
        if (!menu) return E_OUTOFMEMORY;
        const HRESULT hr = menu->QueryInterface(riid, ppv);
        menu->Release();
        return hr;
    }
    return E_NOINTERFACE;
}

// The folder itself is a browsable folder; its items can be copied and deleted.
IFACEMETHODIMP CameraFolder::GetAttributesOf(UINT cidl, LPCITEMIDLIST* apidl, SFGAOF* rgfInOut)
{
    if (!rgfInOut) return E_POINTER;
    *rgfInOut = (cidl == 0 || !apidl) ? kFolderAttributes : kItemAttributes;
    return S_OK;
}

// The data object (a Cut when the reserved flag says so) or the context menu of the selected items.
IFACEMETHODIMP CameraFolder::GetUIObjectOf(HWND hwndOwner, UINT cidl, LPCITEMIDLIST* apidl, REFIID riid, UINT* rgfReserved,
                                           void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IDataObject)) {
        // A non-zero flag behind rgfReserved makes the data object a Cut.
        IDataObject* data = CreateItemDataObject(hwndOwner, apidl, cidl, rgfReserved);
        if (!data) return UnsupportedUIObject(cidl);
        *ppv = data;
        return S_OK;
    }
    if (IsEqualIID(riid, IID_IContextMenu)) {
        ItemContextMenu* menu = ItemContextMenu::Create(apidl, cidl);
        if (!menu) return UnsupportedUIObject(cidl);
        *ppv = static_cast<IContextMenu*>(menu);
        return S_OK;
    }
    return UnsupportedUIObject(cidl);
}

// Not provided: the view shows the names itself.
IFACEMETHODIMP CameraFolder::GetDisplayNameOf(LPCITEMIDLIST, SHGDNF, STRRET*)
{
    return E_NOTIMPL;
}

// Not provided: camera files are not renamed.
IFACEMETHODIMP CameraFolder::SetNameOf(HWND, LPCITEMIDLIST, LPCWSTR, SHGDNF, LPITEMIDLIST*)
{
    return E_NOTIMPL;
}

// The folder's class.
IFACEMETHODIMP CameraFolder::GetClassID(CLSID* pClassID)
{
    if (!pClassID) return E_POINTER;
    *pClassID = CLSID_LumoraFolder;
    return S_OK;
}

// Nothing to keep: the folder's place in the namespace is not needed.
IFACEMETHODIMP CameraFolder::Initialize(LPCITEMIDLIST)
{
    return S_OK;
}

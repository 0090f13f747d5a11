// The camera folder: the shell folder object of the camera namespace.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <memory>
#include "items/ItemColumns.h"
#include "items/ItemIdManager.h"
#include "base/ComObject.h"
#include "base/Raii.h"

// A new folder with one reference (the caller's), or null when it cannot be made.
IShellFolder* CreateCameraFolder(IShellFolder* parentFolder);

class CameraFolder final : public ComObject<CameraFolder, IShellFolder, IPersistFolder> {
public:
    // A folder with one reference, or null when no manager or allocator could be had.
    static CameraFolder* Create(IShellFolder* parentFolder);

    static const QITAB* InterfaceTable();

    // IShellFolder
    IFACEMETHODIMP ParseDisplayName(HWND hwnd, IBindCtx* pbc, LPWSTR pszDisplayName, ULONG* pchEaten,
                                    LPITEMIDLIST* ppidl, ULONG* pdwAttributes) override;
    IFACEMETHODIMP EnumObjects(HWND hwndOwner, SHCONTF grfFlags, IEnumIDList** ppenumIDList) override;
    IFACEMETHODIMP BindToObject(LPCITEMIDLIST pidl, IBindCtx* pbc, REFIID riid, void** ppv) override;
    IFACEMETHODIMP BindToStorage(LPCITEMIDLIST pidl, IBindCtx* pbc, REFIID riid, void** ppv) override;
    IFACEMETHODIMP CompareIDs(LPARAM lParam, LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2) override;
    IFACEMETHODIMP CreateViewObject(HWND hwndOwner, REFIID riid, void** ppv) override;
    IFACEMETHODIMP GetAttributesOf(UINT cidl, LPCITEMIDLIST* apidl, SFGAOF* rgfInOut) override;
    IFACEMETHODIMP GetUIObjectOf(HWND hwndOwner, UINT cidl, LPCITEMIDLIST* apidl, REFIID riid, UINT* rgfReserved,
                                 void** ppv) override;
    IFACEMETHODIMP GetDisplayNameOf(LPCITEMIDLIST pidl, SHGDNF uFlags, STRRET* pName) override;
    IFACEMETHODIMP SetNameOf(HWND hwnd, LPCITEMIDLIST pidl, LPCWSTR pszName, SHGDNF uFlags,
                             LPITEMIDLIST* ppidlOut) override;

    // IPersistFolder
    IFACEMETHODIMP GetClassID(CLSID* pClassID) override;
    IFACEMETHODIMP Initialize(LPCITEMIDLIST pidl) override;

    // The folder's own manager, for the objects that work on its items.
    ItemIdManager* IdManager() const { return m_pIdManager.get(); }

private:
    explicit CameraFolder(IShellFolder* parentFolder) : m_pParentFolder(parentFolder) {}
    ~CameraFolder() override = default;

    // Destroyed in reverse: manager, allocator, parent (the base's module count last).
    ComPtr<IShellFolder> m_pParentFolder;
    ComPtr<IMalloc> m_pMalloc;
    std::unique_ptr<ItemIdManager> m_pIdManager;
};

// A folder of the tests' own that only makes views: it hands out one given view, or
// fails CreateViewObject with a given result. Everything else is not provided.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include "base/ComObject.h"
#include "base/Raii.h"

class StubFolder final : public ComObject<StubFolder, IShellFolder> {
public:
    // Takes over the caller's reference to the view (which may be null when result fails).
    static StubFolder* Create(IShellView* view, HRESULT result);
    static const QITAB* InterfaceTable();

    IFACEMETHODIMP ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, PIDLIST_RELATIVE*, ULONG*) override { return E_NOTIMPL; }
    IFACEMETHODIMP EnumObjects(HWND, SHCONTF, IEnumIDList**) override { return E_NOTIMPL; }
    IFACEMETHODIMP BindToObject(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void**) override { return E_NOTIMPL; }
    IFACEMETHODIMP BindToStorage(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void**) override { return E_NOTIMPL; }
    IFACEMETHODIMP CompareIDs(LPARAM, PCUIDLIST_RELATIVE, PCUIDLIST_RELATIVE) override { return E_NOTIMPL; }
    IFACEMETHODIMP CreateViewObject(HWND hwndOwner, REFIID riid, void** ppv) override;
    IFACEMETHODIMP GetAttributesOf(UINT, PCUITEMID_CHILD_ARRAY, SFGAOF*) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetUIObjectOf(HWND, UINT, PCUITEMID_CHILD_ARRAY, REFIID, UINT*, void**) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetDisplayNameOf(PCUITEMID_CHILD, SHGDNF, STRRET*) override { return E_NOTIMPL; }
    IFACEMETHODIMP SetNameOf(HWND, PCUITEMID_CHILD, LPCWSTR, SHGDNF, PITEMID_CHILD*) override { return E_NOTIMPL; }

private:
    StubFolder(IShellView* view, HRESULT result) : m_pView(Adopt(view)), m_result(result) {}

    ComPtr<IShellView> m_pView;
    HRESULT m_result;
};

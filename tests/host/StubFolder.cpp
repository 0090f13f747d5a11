#include "StubFolder.h"
#include <new>

StubFolder* StubFolder::Create(IShellView* view, HRESULT result)
{
    auto* folder = new (std::nothrow) StubFolder(view, result);
    if (!folder && view) view->Release();
    return folder;
}

const QITAB* StubFolder::InterfaceTable()
{
    static const QITAB table[] = {
        QITABENT(StubFolder, IShellFolder),
        {},
    };
    return table;
}

// The view, once; the folder keeps no reference to it.
IFACEMETHODIMP StubFolder::CreateViewObject(HWND, REFIID riid, void** ppv)
{
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IShellView)) return E_NOINTERFACE;
    if (FAILED(m_result)) return m_result;
    if (!m_pView) return E_FAIL;
    *ppv = m_pView.Detach();
    return S_OK;
}

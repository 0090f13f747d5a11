#include "camera/FakeOwnerView.h"

FakeOwnerView::FakeOwnerView()
    : m_hwnd(CreateWindowExA(0, "STATIC", "owner view", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr))
{
}

FakeOwnerView::~FakeOwnerView()
{
    if (m_hwnd) DestroyWindow(m_hwnd);
}

STDMETHODIMP FakeOwnerView::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IOleWindow && riid != IID_IShellView) return E_NOINTERFACE;
    *ppv = static_cast<IShellView*>(this);
    return S_OK;
}

STDMETHODIMP FakeOwnerView::GetWindow(HWND* phwnd)
{
    if (!phwnd) return E_POINTER;
    *phwnd = m_hwnd;
    return m_hwnd ? S_OK : E_FAIL;
}

STDMETHODIMP FakeOwnerView::Refresh()
{
    ++m_cRefresh;
    if (m_onRefresh) m_onRefresh();
    return S_OK;
}

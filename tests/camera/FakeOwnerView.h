// A stand-in for the folder's view as the connection sees it: a real window, and a
// Refresh that is counted (and may run a listing of its own, as the real view does).
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <functional>

class FakeOwnerView : public IShellView {
public:
    FakeOwnerView();
    ~FakeOwnerView();
    FakeOwnerView(const FakeOwnerView&) = delete;
    FakeOwnerView& operator=(const FakeOwnerView&) = delete;

    HWND Window() const { return m_hwnd; }
    int RefreshCount() const { return m_cRefresh; }
    // Runs inside every Refresh.
    void OnRefresh(std::function<void()> action) { m_onRefresh = std::move(action); }

    // IUnknown: the view lives on the test's stack.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    // IOleWindow.
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IShellView: only Refresh does anything.
    STDMETHODIMP TranslateAccelerator(MSG*) override { return E_NOTIMPL; }
    STDMETHODIMP EnableModeless(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP UIActivate(UINT) override { return E_NOTIMPL; }
    STDMETHODIMP Refresh() override;
    STDMETHODIMP CreateViewWindow(IShellView*, LPCFOLDERSETTINGS, IShellBrowser*, RECT*, HWND*) override { return E_NOTIMPL; }
    STDMETHODIMP DestroyViewWindow() override { return E_NOTIMPL; }
    STDMETHODIMP GetCurrentInfo(LPFOLDERSETTINGS) override { return E_NOTIMPL; }
    STDMETHODIMP AddPropertySheetPages(DWORD, LPFNSVADDPROPSHEETPAGE, LPARAM) override { return E_NOTIMPL; }
    STDMETHODIMP SaveViewState() override { return E_NOTIMPL; }
    STDMETHODIMP SelectItem(PCUITEMID_CHILD, SVSIF) override { return E_NOTIMPL; }
    STDMETHODIMP GetItemObject(UINT, REFIID, void** ppv) override { *ppv = nullptr; return E_NOTIMPL; }

private:
    HWND m_hwnd;
    int m_cRefresh = 0;
    std::function<void()> m_onRefresh;
};

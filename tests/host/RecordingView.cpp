#include "RecordingView.h"
#include <cstdio>
#include <new>
#include "host/BrowserCallLog.h"

RecordingView* RecordingView::Create(std::vector<std::string>* log, const RecordingViewSetup& setup)
{
    return new (std::nothrow) RecordingView(log, setup);
}

const QITAB* RecordingView::InterfaceTable()
{
    static const QITAB table[] = {
        QITABENT(RecordingView, IShellView),
        QITABENTMULTI(RecordingView, IOleWindow, IShellView),
        {},
    };
    return table;
}

IFACEMETHODIMP RecordingView::GetWindow(HWND* phwnd)
{
    *phwnd = m_window.Get();
    return S_OK;
}

IFACEMETHODIMP RecordingView::TranslateAccelerator(MSG* pmsg)
{
    char call[48];
    snprintf(call, sizeof(call), "TranslateAccelerator(0x%02X)", static_cast<unsigned>(pmsg->wParam));
    m_pLog->push_back(call);
    return m_setup.takenKey && pmsg->wParam == m_setup.takenKey ? S_OK : S_FALSE;
}

IFACEMETHODIMP RecordingView::UIActivate(UINT uState)
{
    m_pLog->push_back("UIActivate(" + ActivationName(uState) + ")");
    if (!m_setup.fMergesMenus) return S_OK;
    UnmergeMenus();
    if (uState != SVUIA_DEACTIVATE) MergeMenus();
    return S_OK;
}

IFACEMETHODIMP RecordingView::Refresh()
{
    m_pLog->push_back("Refresh");
    return S_OK;
}

IFACEMETHODIMP RecordingView::CreateViewWindow(IShellView*, LPCFOLDERSETTINGS settings, IShellBrowser* browser,
                                               RECT* rect, HWND* phwnd)
{
    m_pLog->push_back("CreateViewWindow");
    *phwnd = nullptr;
    if (FAILED(m_setup.createWindowResult)) return m_setup.createWindowResult;
    HWND parent = nullptr;
    browser->GetWindow(&parent);
    m_window.Reset(CreateWindowExW(0, L"Static", L"recording view", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect->left,
                                   rect->top, rect->right - rect->left, rect->bottom - rect->top, parent, nullptr,
                                   GetModuleHandleW(nullptr), nullptr));
    m_pBrowser = browser;
    m_settings = *settings;
    *phwnd = m_window.Get();
    return S_OK;
}

IFACEMETHODIMP RecordingView::DestroyViewWindow()
{
    m_pLog->push_back("DestroyViewWindow");
    UnmergeMenus();
    m_window.Reset();
    m_pBrowser.Reset();
    return S_OK;
}

IFACEMETHODIMP RecordingView::GetCurrentInfo(LPFOLDERSETTINGS settings)
{
    m_pLog->push_back("GetCurrentInfo");
    *settings = m_settings;
    return S_OK;
}

IFACEMETHODIMP RecordingView::SaveViewState()
{
    m_pLog->push_back("SaveViewState");
    return S_OK;
}

IFACEMETHODIMP RecordingView::GetItemObject(UINT, REFIID, void** ppv)
{
    *ppv = nullptr;
    return E_NOTIMPL;
}

// As a shell view merges: the browser's popups first, then its own item on top of File.
void RecordingView::MergeMenus()
{
    m_sharedMenu.Reset(CreateMenu());
    m_widths = {};
    m_pBrowser->InsertMenusSB(m_sharedMenu.Get(), &m_widths);
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_SUBMENU;
    if (GetMenuItemInfoA(m_sharedMenu.Get(), FCIDM_MENU_FILE, FALSE, &mii) && mii.hSubMenu) {
        InsertMenuA(mii.hSubMenu, 0, MF_BYPOSITION | MF_STRING, IDM_RECORDING_ITEM, "View &Item");
    }
    m_pBrowser->SetMenuSB(m_sharedMenu.Get(), nullptr, m_window.Get());
}

void RecordingView::UnmergeMenus()
{
    if (!m_sharedMenu) return;
    m_pBrowser->SetMenuSB(nullptr, nullptr, nullptr);
    m_pBrowser->RemoveMenusSB(m_sharedMenu.Get());
    m_sharedMenu.Reset();
}

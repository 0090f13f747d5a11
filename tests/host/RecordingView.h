// A shell view of the tests' own: it writes every call the browser makes on it into a log
// that outlives it ("Released" when it goes) and behaves as it is set up to.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <string>
#include <vector>
#include "base/ComObject.h"
#include "base/Raii.h"

struct RecordingViewSetup {
    bool fMergesMenus = false;        // on activation a shared menu: the browser's popups, one item of its own in File
    WPARAM takenKey = 0;              // TranslateAccelerator takes this key (S_OK), no other
    HRESULT createWindowResult = S_OK;  // CreateViewWindow fails with this when it is a failure
};

// The view's item in the browser's File popup.
constexpr UINT IDM_RECORDING_ITEM = 0x100;

class RecordingView final : public ComObject<RecordingView, IShellView> {
public:
    static RecordingView* Create(std::vector<std::string>* log, const RecordingViewSetup& setup);
    static const QITAB* InterfaceTable();

    // IOleWindow
    IFACEMETHODIMP GetWindow(HWND* phwnd) override;
    IFACEMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IShellView
    IFACEMETHODIMP TranslateAccelerator(MSG* pmsg) override;
    IFACEMETHODIMP EnableModeless(BOOL) override { return E_NOTIMPL; }
    IFACEMETHODIMP UIActivate(UINT uState) override;
    IFACEMETHODIMP Refresh() override;
    IFACEMETHODIMP CreateViewWindow(IShellView* previous, LPCFOLDERSETTINGS settings, IShellBrowser* browser,
                                    RECT* rect, HWND* phwnd) override;
    IFACEMETHODIMP DestroyViewWindow() override;
    IFACEMETHODIMP GetCurrentInfo(LPFOLDERSETTINGS settings) override;
    IFACEMETHODIMP AddPropertySheetPages(DWORD, LPFNSVADDPROPSHEETPAGE, LPARAM) override { return E_NOTIMPL; }
    IFACEMETHODIMP SaveViewState() override;
    IFACEMETHODIMP SelectItem(PCUITEMID_CHILD, SVSIF) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetItemObject(UINT, REFIID, void** ppv) override;

    HWND Window() const { return m_window.Get(); }
    HMENU SharedMenu() const { return m_sharedMenu.Get(); }
    const OLEMENUGROUPWIDTHS& Widths() const { return m_widths; }

private:
    RecordingView(std::vector<std::string>* log, const RecordingViewSetup& setup) : m_pLog(log), m_setup(setup) {}
    ~RecordingView() override { m_pLog->push_back("Released"); }

    void MergeMenus();
    void UnmergeMenus();

    std::vector<std::string>* m_pLog;
    RecordingViewSetup m_setup;
    FOLDERSETTINGS m_settings = {};
    OLEMENUGROUPWIDTHS m_widths = {};
    ComPtr<IShellBrowser> m_pBrowser;  // from CreateViewWindow to DestroyViewWindow
    WindowHandle m_window;
    MenuHandle m_sharedMenu;
};

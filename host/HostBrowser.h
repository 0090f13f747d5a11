// The host's browser: a frame window that plays the Explorer's part for a shell view.
//
// It reaches a folder as the Explorer does (the desktop folder parses a name and binds to
// it, the folder makes its view, the view makes its window in the browser's pane) and
// answers the view's IShellBrowser calls with a real menu bar, toolbar and status bar.
// Activation follows the focus: UIActivate(SVUIA_ACTIVATE_FOCUS) while the view window or
// one of its children has it, SVUIA_ACTIVATE_NOFOCUS when another control of the frame
// (the address box) takes it. Keystrokes (WM_KEYFIRST to WM_KEYLAST) are offered to the
// view's TranslateAccelerator first while it is active with the focus (never while the
// address box has it, so that Delete or Ctrl+C stay the box's), then to the host's
// accelerators (F5 Refresh, Alt+D or Ctrl+L address box, Tab or F6 next pane, Ctrl+W Close).
// Commands of the view's range (0 to 0x7FFF) and WM_INITMENUPOPUP go to the view window. Closing saves the view's
// state, then UIActivate(SVUIA_DEACTIVATE), DestroyViewWindow and Release, in that order.
// BrowseObject is carried out once the calling view's code has returned (a posted message).
// The address box shows a PC folder's path, any other place's display name ("Lumora", not
// its parsing name); Enter there opens what was typed (a path or a parsing name), or the
// current place again when the text shown was left as it is. The title is the display name
// (trailing blanks dropped), " - " and the program's name.
//
// For tests (the same class runs in the test programs):
//   - Calls(): the record of every call the view makes on the browser and of the browser's
//     calls on the view, with a strict mode (host/BrowserCallLog.h);
//   - HostOptions::fRefusing plays the platform's own explorer under Wine: E_NOTIMPL for
//     GetControlWindow, SendControlMsg, InsertMenusSB, SetMenuSB, RemoveMenusSB,
//     SetToolbarItems, OnViewWindowActive and SetStatusTextSB, and never UIActivate or
//     TranslateAccelerator;
//   - MenuBar(), ToolbarButtons(), StatusBar(), AddressText(): what the frame shows;
//   - ShowFolder() shows a folder the test made itself, ShowParsingName() one by name;
//   - PumpFor() and PumpUntil() run the browser's own message loop for a while or until a
//     condition holds; FocusView() and FocusAddressBox() move the focus;
//   - HostOptions::fHelpItem builds the Help popup with an item of id FCIDM_MENU_HELP.
//
// The browser is a COM object of the program it lives in (it counts in g_cObjects). Views
// hold references to it, so Close() (or closing the frame) comes before the last Release.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <functional>
#include <string>
#include <vector>
#include "host/BrowserCallLog.h"
#include "host/HostControls.h"
#include "host/HostFrame.h"
#include "host/HostMenus.h"
#include "host/ViewStateStore.h"
#include "base/ComObject.h"
#include "base/Raii.h"

// The place the program opens unless told otherwise: the camera folder under My Computer.
constexpr wchar_t kCameraFolderParsingName[] =
    L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\::{6A1F3C52-8B4E-4D7A-9C21-5E0B7D3A4F18}";

struct HostOptions {
    bool fRefusing = false;     // answer as the platform's own explorer under Wine does
    bool fHelpItem = false;     // the Help popup holds an item of id FCIDM_MENU_HELP
    bool fQuitOnClose = false;  // post WM_QUIT when the frame is destroyed (the program's loop)
    SIZE size = {800, 600};     // of the frame
    // Given to every new view; a view's own settings (GetCurrentInfo) are kept when it goes.
    FOLDERSETTINGS folderSettings = {FVM_DETAILS, FWF_AUTOARRANGE | FWF_NOCLIENTEDGE};
};

class HostBrowser final : public ComObject<HostBrowser, IShellBrowser>, private HostFrameOwner {
public:
    // A browser with its frame shown and one reference (the caller's), or null.
    static HostBrowser* Create(const HostOptions& options);

    static const QITAB* InterfaceTable();

    // IOleWindow
    IFACEMETHODIMP GetWindow(HWND* phwnd) override;
    IFACEMETHODIMP ContextSensitiveHelp(BOOL fEnterMode) override;

    // IShellBrowser
    IFACEMETHODIMP InsertMenusSB(HMENU hmenuShared, LPOLEMENUGROUPWIDTHS lpMenuWidths) override;
    IFACEMETHODIMP SetMenuSB(HMENU hmenuShared, HOLEMENU holemenuRes, HWND hwndActiveObject) override;
    IFACEMETHODIMP RemoveMenusSB(HMENU hmenuShared) override;
    IFACEMETHODIMP SetStatusTextSB(LPCWSTR pszStatusText) override;
    IFACEMETHODIMP EnableModelessSB(BOOL fEnable) override;
    IFACEMETHODIMP TranslateAcceleratorSB(MSG* pmsg, WORD wID) override;
    IFACEMETHODIMP BrowseObject(PCUIDLIST_RELATIVE pidl, UINT wFlags) override;
    IFACEMETHODIMP GetViewStateStream(DWORD grfMode, IStream** ppStrm) override;
    IFACEMETHODIMP GetControlWindow(UINT id, HWND* phwnd) override;
    IFACEMETHODIMP SendControlMsg(UINT id, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* pret) override;
    IFACEMETHODIMP QueryActiveShellView(IShellView** ppshv) override;
    IFACEMETHODIMP OnViewWindowActive(IShellView* pshv) override;
    IFACEMETHODIMP SetToolbarItems(LPTBBUTTONSB lpButtons, UINT nButtons, UINT uFlags) override;

    // Places. Each replaces the current view; when the new place gives no view the pane
    // stays empty and the status bar says why. A name that cannot be parsed or bound to
    // leaves the current view and says why. Results are those of the failing step.
    HRESULT ShowParsingName(const wchar_t* name);  // parsed by the desktop folder
    HRESULT ShowPidl(LPCITEMIDLIST pidlAbsolute);  // bound from the desktop folder
    // A folder made by the caller; its identifier list (for the address box and the view
    // state stream) is pidlAbsolute, else what its IPersistFolder2 tells, else none.
    HRESULT ShowFolder(IShellFolder* folder, LPCITEMIDLIST pidlAbsolute = nullptr);
    // Closes as the user's close does: the view goes, then the frame.
    void Close();

    // The message loop: one message, the whole loop (until WM_QUIT), or for a while.
    void HandleMessage(MSG& msg);
    int RunMessageLoop();
    // Pumps until done() holds (checked after each batch of messages) or the time is up;
    // answers done() at the end. A WM_QUIT met is posted again and ends the pumping.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
    void PumpFor(DWORD ms) { PumpUntil(nullptr, ms); }
    void FocusView();
    void FocusAddressBox();

    // What the browser shows and holds.
    HWND FrameWindow() const { return m_frame.Window(); }
    HWND ViewWindow() const { return m_hwndView; }
    HWND ToolbarWindow() const { return m_frame.Toolbar().Window(); }
    HWND StatusBarWindow() const { return m_frame.StatusBar(); }
    HWND AddressBoxWindow() const { return m_frame.AddressBox(); }
    HMENU HostMenu() const { return m_frame.HostMenu(); }  // the host's own bar
    IShellView* ActiveView() const { return m_pView.Get(); }  // no reference added
    UINT ViewActivation() const { return m_uActivation; }    // as last given to UIActivate
    std::vector<MenuPopup> MenuBar() const { return ReadMenuBar(GetMenu(FrameWindow())); }
    std::vector<ToolbarButton> ToolbarButtons() const { return ReadToolbar(ToolbarWindow()); }
    StatusBarContent StatusBar() const { return ReadStatusBar(StatusBarWindow()); }
    std::string AddressText() const { return ReadWindowText(AddressBoxWindow()); }
    LPCITEMIDLIST CurrentPlace() const { return m_pidl.Get(); }  // null before a place was reached
    BrowserCallLog& Calls() { return m_calls; }
    const HostOptions& Options() const { return m_options; }

private:
    explicit HostBrowser(const HostOptions& options) : m_options(options), m_folderSettings(options.folderSettings) {}
    ~HostBrowser() override;
    bool Initialize();

    // HostFrameOwner
    void OnHostCommand(UINT id) override;
    void OnFrameClose() override { Close(); }
    void OnFrameDestroying() override;
    void OnFocusMoved() override { SyncActivation(); }
    IShellBrowser* ShellBrowser() override { return this; }

    bool Refuses() const { return m_options.fRefusing; }
    void Record(std::string entry) { m_calls.Add(std::move(entry)); }
    void RecordOnView(const std::string& call) { m_calls.Add("view." + call); }
    HWND ControlWindow(UINT id) const;
    HRESULT TargetOf(LPCITEMIDLIST pidl, UINT wFlags, PidlHandle* pTarget) const;
    void MoveTo(IShellFolder* folder, LPCITEMIDLIST pidlAbsolute);
    HRESULT CreateViewWindow(IShellView* view, HWND* phwndView);
    void AdoptView(IShellView* view, HWND hwndView);
    void SaveViewState();
    void DestroyView();
    void ShowNoView(const wchar_t* what, HRESULT hr);
    void ShowStatusText(const wchar_t* what, HRESULT hr);
    void RefreshView();
    void GoToAddress();
    bool OfferToView(MSG& msg);
    bool TranslateHostKeys(MSG& msg);
    void SyncActivation();
    UINT WantedActivation() const;
    bool HasFocusInView() const;

    HostOptions m_options;
    FOLDERSETTINGS m_folderSettings;
    HostFrame m_frame;
    AcceleratorTable m_accelerators;
    BrowserCallLog m_calls;
    ViewStateStore m_viewStates;
    std::vector<HMENU> m_popupCopies;  // lent to views' shared menus (host/HostMenus.h)
    ComPtr<IShellFolder> m_pFolder;    // the current place
    PidlHandle m_pidl;
    std::wstring m_address;            // what the address box was given for the current place
    PidlHandle m_pidlPending;          // where BrowseObject asked to go
    ComPtr<IShellView> m_pView;
    HWND m_hwndView = nullptr;
    UINT m_uActivation = SVUIA_DEACTIVATE;
    bool m_fFocusStaysInAddressBox = false;  // while going where the user typed
};

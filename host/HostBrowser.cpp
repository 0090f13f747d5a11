#include "host/HostBrowser.h"
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <new>

namespace {

const ACCEL kHostAccelerators[] = {
    {FVIRTKEY, VK_F5, IDM_HOST_REFRESH},
    {FVIRTKEY | FALT, 'D', IDM_HOST_FOCUSADDRESS},
    {FVIRTKEY | FCONTROL, 'L', IDM_HOST_FOCUSADDRESS},
    {FVIRTKEY, VK_TAB, IDM_HOST_NEXTPANE},
    {FVIRTKEY, VK_F6, IDM_HOST_NEXTPANE},
    {FVIRTKEY | FCONTROL, 'W', IDM_HOST_CLOSE},
};

constexpr wchar_t kProgramTitle[] = L"Lumora Host";
constexpr wchar_t kAboutText[] =
    L"Lumora Host 1.0\n\nA browser window that shows a shell folder's view as the Explorer does.";

struct FlagName {
    UINT flag;
    const char* name;
};

// Flags as NAME|NAME|0x.. (the bits without a name last), "0" for none.
template <size_t N> std::string FlagsText(UINT flags, const FlagName (&names)[N])
{
    std::string text;
    for (const auto& row : names) {
        if (!(flags & row.flag)) continue;
        if (!text.empty()) text.push_back('|');
        text.append(row.name);
        flags &= ~row.flag;
    }
    char rest[16] = "0";
    if (flags) snprintf(rest, sizeof(rest), "0x%X", flags);
    if (flags && !text.empty()) text.push_back('|');
    if (flags || text.empty()) text.append(rest);
    return text;
}

const FlagName kToolbarFlags[] = {{FCT_MERGE, "FCT_MERGE"}, {FCT_CONFIGABLE, "FCT_CONFIGABLE"}, {FCT_ADDTOEND, "FCT_ADDTOEND"}};
const FlagName kBrowseFlags[] = {{SBSP_RELATIVE, "SBSP_RELATIVE"}, {SBSP_PARENT, "SBSP_PARENT"},
                                 {SBSP_NAVIGATEBACK, "SBSP_NAVIGATEBACK"}, {SBSP_NAVIGATEFORWARD, "SBSP_NAVIGATEFORWARD"}};
const FlagName kStreamModes[] = {{STGM_WRITE, "STGM_WRITE"}, {STGM_READWRITE, "STGM_READWRITE"}};

// SBSP_ABSOLUTE, or the flags that make a request relative.
std::string BrowseFlagsText(UINT wFlags)
{
    const UINT kRelation = SBSP_RELATIVE | SBSP_PARENT | SBSP_NAVIGATEBACK | SBSP_NAVIGATEFORWARD;
    return (wFlags & kRelation) ? FlagsText(wFlags, kBrowseFlags) : "SBSP_ABSOLUTE";
}

// STGM_READ, STGM_WRITE or STGM_READWRITE (with any other bits).
std::string StreamModeText(DWORD grfMode)
{
    return (grfMode & (STGM_WRITE | STGM_READWRITE)) ? FlagsText(grfMode, kStreamModes) : "STGM_READ";
}

const char* ViewModeName(UINT viewMode)
{
    static const struct {
        int mode;
        const char* name;
    } kNames[] = {{FVM_AUTO, "FVM_AUTO"},         {FVM_ICON, "FVM_ICON"},       {FVM_SMALLICON, "FVM_SMALLICON"},
                  {FVM_LIST, "FVM_LIST"},         {FVM_DETAILS, "FVM_DETAILS"}, {FVM_THUMBNAIL, "FVM_THUMBNAIL"},
                  {FVM_TILE, "FVM_TILE"},         {FVM_THUMBSTRIP, "FVM_THUMBSTRIP"}, {FVM_CONTENT, "FVM_CONTENT"}};
    for (const auto& row : kNames) {
        if (row.mode == static_cast<int>(viewMode)) return row.name;
    }
    return "FVM_?";
}

// A name of the place an identifier list leads to, empty when it has none.
std::wstring NameOf(LPCITEMIDLIST pidl, SIGDN sigdn)
{
    CoTaskMemPtr<wchar_t> name;
    if (!pidl || FAILED(SHGetNameFromIDList(pidl, sigdn, name.Put())) || !name) return L"";
    return name.Get();
}

// The name a place shows in the title: its display name without trailing blanks (a
// product name may end with one).
std::wstring TitleNameOf(LPCITEMIDLIST pidl)
{
    std::wstring name = NameOf(pidl, SIGDN_NORMALDISPLAY);
    name.erase(name.find_last_not_of(L' ') + 1);
    return name;
}

// What the address box shows for a place: its path when it is a PC folder, else its
// display name (as the platform's explorer shows "My Computer", not its parsing name).
std::wstring AddressOf(LPCITEMIDLIST pidl)
{
    const std::wstring path = NameOf(pidl, SIGDN_FILESYSPATH);
    return path.empty() ? TitleNameOf(pidl) : path;
}

// The folder's own identifier list when it tells it, else null.
LPITEMIDLIST CurrentFolderOf(IShellFolder* folder)
{
    ComPtr<IPersistFolder2> persist;
    LPITEMIDLIST pidl = nullptr;
    if (SUCCEEDED(folder->QueryInterface(IID_PPV_ARGS(&persist)))) persist->GetCurFolder(&pidl);
    return pidl;
}

}  // namespace

HostBrowser* HostBrowser::Create(const HostOptions& options)
{
    auto* browser = new (std::nothrow) HostBrowser(options);
    if (!browser) return nullptr;
    if (!browser->Initialize()) {
        browser->Release();
        return nullptr;
    }
    return browser;
}

// Common controls, the host's accelerators, the frame shown in front.
bool HostBrowser::Initialize()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    ACCEL accelerators[ARRAYSIZE(kHostAccelerators)];
    std::copy(std::begin(kHostAccelerators), std::end(kHostAccelerators), accelerators);
    m_accelerators.Reset(CreateAcceleratorTableW(accelerators, ARRAYSIZE(accelerators)));
    if (!m_accelerators || !m_frame.Create(this, m_options.fHelpItem, m_options.size)) return false;
    SetWindowTextW(FrameWindow(), kProgramTitle);
    ShowWindow(FrameWindow(), SW_SHOWNORMAL);
    SetForegroundWindow(FrameWindow());
    UpdateWindow(FrameWindow());
    return true;
}

// The frame goes with the browser when nobody closed it.
HostBrowser::~HostBrowser()
{
    m_frame.Destroy();
}

// IUnknown and IShellBrowser give the browser, IOleWindow its base.
const QITAB* HostBrowser::InterfaceTable()
{
    static const QITAB table[] = {
        QITABENT(HostBrowser, IShellBrowser),
        QITABENTMULTI(HostBrowser, IOleWindow, IShellBrowser),
        {},
    };
    return table;
}

// The frame window.
IFACEMETHODIMP HostBrowser::GetWindow(HWND* phwnd)
{
    Record("GetWindow");
    if (!phwnd) return E_POINTER;
    *phwnd = FrameWindow();
    return *phwnd ? S_OK : E_FAIL;
}

// Not provided: there is no context help mode.
IFACEMETHODIMP HostBrowser::ContextSensitiveHelp(BOOL fEnterMode)
{
    Record("ContextSensitiveHelp(" + std::to_string(fEnterMode) + ")");
    return E_NOTIMPL;
}

// Copies of the host's popups into the view's shared menu, by the OLE groups.
IFACEMETHODIMP HostBrowser::InsertMenusSB(HMENU hmenuShared, LPOLEMENUGROUPWIDTHS lpMenuWidths)
{
    Record("InsertMenusSB");
    if (Refuses()) return E_NOTIMPL;
    m_popupCopies.erase(std::remove_if(m_popupCopies.begin(), m_popupCopies.end(), [](HMENU copy) { return !IsMenu(copy); }),
                        m_popupCopies.end());  // gone with shared menus that were destroyed whole
    return InsertHostPopups(HostMenu(), hmenuShared, lpMenuWidths, &m_popupCopies);
}

// The shared menu on the frame, its commands to the active object's window; null: the host's own.
IFACEMETHODIMP HostBrowser::SetMenuSB(HMENU hmenuShared, HOLEMENU, HWND hwndActiveObject)
{
    Record(hmenuShared ? "SetMenuSB(hmenu!=0)" : "SetMenuSB(0)");
    if (Refuses()) return E_NOTIMPL;
    if (hmenuShared && !IsMenu(hmenuShared)) return E_INVALIDARG;
    m_frame.SetMenuBar(hmenuShared, hwndActiveObject ? hwndActiveObject : m_hwndView);
    return S_OK;
}

// The host's popups out of the shared menu; the view's items and popups stay.
IFACEMETHODIMP HostBrowser::RemoveMenusSB(HMENU hmenuShared)
{
    Record("RemoveMenusSB");
    if (Refuses()) return E_NOTIMPL;
    if (!hmenuShared || !IsMenu(hmenuShared)) return E_INVALIDARG;
    RemoveHostPopups(hmenuShared, &m_popupCopies);
    return S_OK;
}

// The text in the status bar's first part.
IFACEMETHODIMP HostBrowser::SetStatusTextSB(LPCWSTR pszStatusText)
{
    Record("SetStatusTextSB(\"" + AnsiFromWide(pszStatusText) + "\")");
    if (Refuses()) return E_NOTIMPL;
    SendMessageW(StatusBarWindow(), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(pszStatusText ? pszStatusText : L""));
    return S_OK;
}

// The frame takes input again, or none while the view shows something modal.
IFACEMETHODIMP HostBrowser::EnableModelessSB(BOOL fEnable)
{
    Record("EnableModelessSB(" + std::to_string(fEnable ? 1 : 0) + ")");
    EnableWindow(FrameWindow(), fEnable);
    return S_OK;
}

// The host's accelerators for a key the view did not take: S_OK when one was translated.
IFACEMETHODIMP HostBrowser::TranslateAcceleratorSB(MSG* pmsg, WORD)
{
    if (!pmsg) return E_POINTER;
    Record("TranslateAcceleratorSB(" + KeyMessageText(*pmsg) + ")");
    return TranslateAcceleratorW(FrameWindow(), m_accelerators.Get(), pmsg) ? S_OK : S_FALSE;
}

// Goes there once the calling view's code has returned (absolute, relative or parent).
IFACEMETHODIMP HostBrowser::BrowseObject(PCUIDLIST_RELATIVE pidl, UINT wFlags)
{
    Record("BrowseObject(" + BrowseFlagsText(wFlags) + ")");
    PidlHandle target;
    const HRESULT hr = TargetOf(pidl, wFlags, &target);
    if (FAILED(hr)) return hr;
    m_pidlPending = std::move(target);
    PostMessageW(FrameWindow(), WM_COMMAND, IDM_HOST_BROWSEPENDING, 0);
    return S_OK;
}

// The current folder's view state stream (host/ViewStateStore.h).
IFACEMETHODIMP HostBrowser::GetViewStateStream(DWORD grfMode, IStream** ppStrm)
{
    Record("GetViewStateStream(" + StreamModeText(grfMode) + ")");
    return m_viewStates.Open(PidlBytes(m_pidl.Get()), grfMode, ppStrm);
}

// The toolbar and the status bar; there is no tree and no other control.
IFACEMETHODIMP HostBrowser::GetControlWindow(UINT id, HWND* phwnd)
{
    Record("GetControlWindow(" + ControlName(id) + ")");
    if (Refuses()) return E_NOTIMPL;
    if (!phwnd) return E_POINTER;
    *phwnd = ControlWindow(id);
    return *phwnd ? S_OK : E_FAIL;
}

// The message sent to the control; its result through pret.
IFACEMETHODIMP HostBrowser::SendControlMsg(UINT id, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* pret)
{
    Record(DescribeControlMsg(id, uMsg, wParam, lParam));
    if (pret) *pret = 0;
    if (Refuses()) return E_NOTIMPL;
    HWND control = ControlWindow(id);
    if (!control) return E_FAIL;
    const LRESULT result = SendMessageW(control, uMsg, wParam, lParam);
    if (pret) *pret = result;
    return S_OK;
}

// The view shown now, with a reference.
IFACEMETHODIMP HostBrowser::QueryActiveShellView(IShellView** ppshv)
{
    Record("QueryActiveShellView");
    if (!ppshv) return E_POINTER;
    *ppshv = nullptr;
    return m_pView ? m_pView.CopyTo(ppshv) : E_FAIL;
}

// One of the view's windows took the focus: the view becomes active with it.
IFACEMETHODIMP HostBrowser::OnViewWindowActive(IShellView*)
{
    Record("OnViewWindowActive");
    if (Refuses()) return E_NOTIMPL;
    SyncActivation();
    return S_OK;
}

// The view's buttons, merged after the host's or alone (host/HostControls.h).
IFACEMETHODIMP HostBrowser::SetToolbarItems(LPTBBUTTONSB lpButtons, UINT nButtons, UINT uFlags)
{
    Record("SetToolbarItems(" + std::to_string(nButtons) + ", " + FlagsText(uFlags, kToolbarFlags) + ")");
    if (Refuses()) return E_NOTIMPL;
    if (nButtons && !lpButtons) return E_POINTER;
    return m_frame.Toolbar().SetViewButtons(lpButtons, nButtons, (uFlags & FCT_MERGE) != 0) ? S_OK : E_FAIL;
}

HRESULT HostBrowser::ShowParsingName(const wchar_t* name)
{
    if (!name) return E_INVALIDARG;
    ComPtr<IShellFolder> desktop;
    PidlHandle pidl;
    std::wstring text(name);
    HRESULT hr = SHGetDesktopFolder(&desktop);
    if (SUCCEEDED(hr)) hr = desktop->ParseDisplayName(FrameWindow(), nullptr, text.data(), nullptr, pidl.Put(), nullptr);
    if (FAILED(hr)) {
        ShowStatusText((L"Cannot find \"" + text + L"\"").c_str(), hr);
        return hr;
    }
    return ShowPidl(pidl.Get());
}

HRESULT HostBrowser::ShowPidl(LPCITEMIDLIST pidlAbsolute)
{
    if (!pidlAbsolute) return E_INVALIDARG;
    ComPtr<IShellFolder> desktop;
    ComPtr<IShellFolder> folder;
    HRESULT hr = SHGetDesktopFolder(&desktop);
    if (SUCCEEDED(hr) && ILIsEmpty(pidlAbsolute))
        folder = desktop;
    else if (SUCCEEDED(hr))
        hr = desktop->BindToObject(pidlAbsolute, nullptr, IID_PPV_ARGS(&folder));
    if (FAILED(hr)) {
        ShowStatusText(L"Cannot open this place", hr);
        return hr;
    }
    return ShowFolder(folder.Get(), pidlAbsolute);
}

// The new view's window is made while the old view still shows; then the old one goes.
HRESULT HostBrowser::ShowFolder(IShellFolder* folder, LPCITEMIDLIST pidlAbsolute)
{
    if (!folder) return E_INVALIDARG;
    if (!FrameWindow()) return E_UNEXPECTED;
    ComPtr<IShellBrowser> keepAlive(this);
    ComPtr<IShellView> view;
    const wchar_t* failedStep = L"The folder gives no view";
    HRESULT hr = folder->CreateViewObject(FrameWindow(), IID_PPV_ARGS(&view));
    SaveViewState();
    MoveTo(folder, pidlAbsolute);
    HWND hwndView = nullptr;
    if (SUCCEEDED(hr)) {
        failedStep = L"The folder's view makes no window";
        hr = CreateViewWindow(view.Get(), &hwndView);
    }
    DestroyView();
    if (FAILED(hr)) {
        ShowNoView(failedStep, hr);
        return hr;
    }
    AdoptView(view.Get(), hwndView);
    return S_OK;
}

void HostBrowser::Close()
{
    ComPtr<IShellBrowser> keepAlive(this);
    SaveViewState();
    DestroyView();
    m_frame.Destroy();
    m_pFolder.Reset();
    m_pidl.Reset();
    m_pidlPending.Reset();
}

// The frame goes: the view first; the program's loop ends with it.
void HostBrowser::OnFrameDestroying()
{
    DestroyView();  // when the frame went without Close
    if (m_options.fQuitOnClose) PostQuitMessage(0);
}

// The new place: folder, identifier list, the address box and the frame's title.
void HostBrowser::MoveTo(IShellFolder* folder, LPCITEMIDLIST pidlAbsolute)
{
    m_pFolder = folder;
    m_pidl.Reset(pidlAbsolute ? ILClone(pidlAbsolute) : CurrentFolderOf(folder));
    const std::wstring title = TitleNameOf(m_pidl.Get());
    m_address = AddressOf(m_pidl.Get());
    SetWindowTextW(AddressBoxWindow(), m_address.c_str());
    SetWindowTextW(FrameWindow(), (title.empty() ? std::wstring(kProgramTitle) : title + L" - " + kProgramTitle).c_str());
}

// The view's window in the pane, the current view given as the previous one.
HRESULT HostBrowser::CreateViewWindow(IShellView* view, HWND* phwndView)
{
    RECT rect = m_frame.ViewRect();
    char call[80];
    snprintf(call, sizeof(call), "CreateViewWindow(%s, 0x%08X)", ViewModeName(m_folderSettings.ViewMode),
             m_folderSettings.fFlags);
    RecordOnView(call);
    return view->CreateViewWindow(m_pView.Get(), &m_folderSettings, this, &rect, phwndView);
}

// The view shows in the pane and gets the focus, unless the user typed the place.
void HostBrowser::AdoptView(IShellView* view, HWND hwndView)
{
    m_pView = view;
    m_hwndView = hwndView;
    m_uActivation = SVUIA_DEACTIVATE;
    m_frame.SetViewWindow(hwndView);
    if (hwndView && !m_fFocusStaysInAddressBox) SetFocus(hwndView);
    SyncActivation();
}

// Keeps the view's settings for the next view and lets it save its state.
void HostBrowser::SaveViewState()
{
    if (!m_pView) return;
    FOLDERSETTINGS settings = {};
    RecordOnView("GetCurrentInfo");
    if (m_pView->GetCurrentInfo(&settings) == S_OK) m_folderSettings = settings;
    RecordOnView("SaveViewState");
    m_pView->SaveViewState();
}

// Deactivates the view, destroys its window and lets it go; the host's menu bar comes back.
void HostBrowser::DestroyView()
{
    if (!m_pView) return;
    ComPtr<IShellBrowser> keepAlive(this);
    ComPtr<IShellView> view = std::move(m_pView);
    m_hwndView = nullptr;
    m_frame.SetViewWindow(nullptr);
    if (!Refuses()) {
        RecordOnView("UIActivate(" + ActivationName(SVUIA_DEACTIVATE) + ")");
        view->UIActivate(SVUIA_DEACTIVATE);
    }
    m_uActivation = SVUIA_DEACTIVATE;
    RecordOnView("DestroyViewWindow");
    view->DestroyViewWindow();
    m_frame.SetMenuBar(nullptr, nullptr);
    RecordOnView("Release");
    view.Reset();
}

// An empty pane: the host's own menus and buttons, and why in the status bar.
void HostBrowser::ShowNoView(const wchar_t* what, HRESULT hr)
{
    DestroyView();
    m_frame.Toolbar().Reset();
    m_frame.SetMenuBar(nullptr, nullptr);
    ResetStatusBar(StatusBarWindow());
    ShowStatusText(what, hr);
}

// What failed, with its result code, in the status bar's first part.
void HostBrowser::ShowStatusText(const wchar_t* what, HRESULT hr)
{
    wchar_t text[400];
    swprintf(text, ARRAYSIZE(text), L"%ls (error 0x%08lX)", what, static_cast<unsigned long>(hr));
    SendMessageW(StatusBarWindow(), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text));
}

// The control a view names by FCW_ id; null for those the browser has not.
HWND HostBrowser::ControlWindow(UINT id) const
{
    if (id == FCW_TOOLBAR) return ToolbarWindow();
    if (id == FCW_STATUS) return StatusBarWindow();
    return nullptr;
}

// Where a BrowseObject request leads, as an absolute identifier list of the caller's.
HRESULT HostBrowser::TargetOf(LPCITEMIDLIST pidl, UINT wFlags, PidlHandle* pTarget) const
{
    if (wFlags & (SBSP_NAVIGATEBACK | SBSP_NAVIGATEFORWARD)) return E_FAIL;  // no history
    if (wFlags & SBSP_PARENT) {
        if (!m_pidl || ILIsEmpty(m_pidl.Get())) return E_FAIL;
        pTarget->Reset(ILClone(m_pidl.Get()));
        if (*pTarget) ILRemoveLastID(pTarget->Get());
    } else if (!pidl) {
        return E_INVALIDARG;
    } else if (wFlags & SBSP_RELATIVE) {
        if (!m_pidl) return E_FAIL;
        pTarget->Reset(ILCombine(m_pidl.Get(), pidl));
    } else {
        pTarget->Reset(ILClone(pidl));
    }
    return *pTarget ? S_OK : E_OUTOFMEMORY;
}

// The host's own commands from its menus, toolbar and keys.
void HostBrowser::OnHostCommand(UINT id)
{
    PidlHandle target;
    switch (id) {
    case IDM_HOST_CLOSE:
        PostMessageW(FrameWindow(), WM_CLOSE, 0, 0);
        break;
    case IDM_HOST_REFRESH:
        RefreshView();
        break;
    case IDM_HOST_UP:
        if (SUCCEEDED(TargetOf(nullptr, SBSP_PARENT, &target))) ShowPidl(target.Get());
        break;
    case IDM_HOST_BROWSEPENDING:
        target = std::move(m_pidlPending);
        if (target) ShowPidl(target.Get());
        break;
    case IDM_HOST_FOCUSADDRESS:
        FocusAddressBox();
        break;
    case IDM_HOST_NEXTPANE:
        HasFocusInView() ? FocusAddressBox() : FocusView();
        break;
    case IDM_HOST_ABOUT:
        MessageBoxW(FrameWindow(), kAboutText, L"About Lumora Host", MB_OK | MB_ICONINFORMATION);
        break;
    }
}

// The view reads its folder again.
void HostBrowser::RefreshView()
{
    ComPtr<IShellView> view = m_pView;
    if (!view) return;
    RecordOnView("Refresh");
    view->Refresh();
}

// The place typed into the address box. A display name is no name the desktop parses, so
// the address shown, entered unchanged, opens the current place again.
void HostBrowser::GoToAddress()
{
    wchar_t text[1024] = L"";
    GetWindowTextW(AddressBoxWindow(), text, ARRAYSIZE(text));
    if (!text[0]) return;
    m_fFocusStaysInAddressBox = true;
    const PidlHandle current(m_pidl && m_address == text ? ILClone(m_pidl.Get()) : nullptr);
    if (current) ShowPidl(current.Get());
    else ShowParsingName(text);
    m_fFocusStaysInAddressBox = false;
}

void HostBrowser::HandleMessage(MSG& msg)
{
    if (OfferToView(msg) || TranslateHostKeys(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    SyncActivation();
}

int HostBrowser::RunMessageLoop()
{
    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) HandleMessage(msg);
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 1;
}

bool HostBrowser::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return done && done();
            }
            HandleMessage(msg);
        }
        if (done && done()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

// The focus to the view window, which then becomes active with it.
void HostBrowser::FocusView()
{
    if (!m_hwndView) return;
    SetFocus(m_hwndView);
    SyncActivation();
}

// The focus to the address box, its text selected; the view stays active without it.
void HostBrowser::FocusAddressBox()
{
    SetFocus(AddressBoxWindow());
    SendMessageW(AddressBoxWindow(), EM_SETSEL, 0, -1);
    SyncActivation();
}

// Keystrokes go to the view first while it is active with the focus; S_OK means it took them.
bool HostBrowser::OfferToView(MSG& msg)
{
    if (Refuses() || !m_pView || m_uActivation != SVUIA_ACTIVATE_FOCUS) return false;
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    ComPtr<IShellView> view = m_pView;
    RecordOnView("TranslateAccelerator(" + KeyMessageText(msg) + ")");
    return view->TranslateAccelerator(&msg) == S_OK;
}

// Enter in the address box goes there; then the host's accelerators.
bool HostBrowser::TranslateHostKeys(MSG& msg)
{
    if (msg.hwnd == AddressBoxWindow() && msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
        GoToAddress();
        return true;
    }
    return FrameWindow() && TranslateAcceleratorW(FrameWindow(), m_accelerators.Get(), &msg);
}

// Gives the view the activation that goes with where the focus is now, when it changed.
void HostBrowser::SyncActivation()
{
    if (Refuses() || !m_pView) return;
    const UINT wanted = WantedActivation();
    if (wanted == m_uActivation) return;
    m_uActivation = wanted;
    ComPtr<IShellView> view = m_pView;
    RecordOnView("UIActivate(" + ActivationName(wanted) + ")");
    view->UIActivate(wanted);
}

// With the focus in the view: active with focus; elsewhere in the frame: active without;
// outside the frame: as before (a view just shown becomes active without focus).
UINT HostBrowser::WantedActivation() const
{
    if (HasFocusInView()) return SVUIA_ACTIVATE_FOCUS;
    HWND focus = GetFocus();
    HWND frame = FrameWindow();
    if (focus && frame && (focus == frame || IsChild(frame, focus))) return SVUIA_ACTIVATE_NOFOCUS;
    if (m_uActivation == SVUIA_DEACTIVATE) return SVUIA_ACTIVATE_NOFOCUS;
    return m_uActivation;
}

// Whether the view window or one of its children has the focus.
bool HostBrowser::HasFocusInView() const
{
    HWND focus = GetFocus();
    return focus && m_hwndView && (focus == m_hwndView || IsChild(m_hwndView, focus));
}

#include "host/HostFrame.h"
#include "host/HostMenus.h"

namespace {

constexpr wchar_t kFrameClass[] = L"LumoraHostFrame";
constexpr int kGap = 2;
constexpr int kAddressHeight = 22;

INIT_ONCE g_frameClassOnce = INIT_ONCE_STATIC_INIT;

// INIT_ONCE callback: registers the frame's class with the window procedure it is given.
BOOL CALLBACK RegisterFrameClassOnce(PINIT_ONCE, PVOID windowProc, PVOID*)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = reinterpret_cast<WNDPROC>(windowProc);
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFrameClass;
    return RegisterClassExW(&wc) != 0;
}

// The frame's window class of this program, registered once. Frames of two threads can be
// made at the same time: the second waits until the first has registered the class (under
// Wine a class that a registration refuses as existing can still be missing for a moment).
bool RegisterFrameClass(WNDPROC windowProc)
{
    return InitOnceExecuteOnce(&g_frameClassOnce, RegisterFrameClassOnce, reinterpret_cast<PVOID>(windowProc), nullptr) != FALSE;
}

// A window's height, 0 for none.
int WindowHeight(HWND hwnd)
{
    RECT rect = {};
    if (!hwnd || !GetWindowRect(hwnd, &rect)) return 0;
    return rect.bottom - rect.top;
}

// Whether hwnd is the parent or one of its descendants.
bool IsSameOrChild(HWND parent, HWND hwnd)
{
    return parent && hwnd && (hwnd == parent || IsChild(parent, hwnd));
}

}  // namespace

bool HostFrame::Create(HostFrameOwner* owner, bool fHelpItem, SIZE size)
{
    m_pOwner = owner;
    m_hostMenu.Reset(CreateHostMenuBar(fHelpItem));
    if (!m_hostMenu || !RegisterFrameClass(&HostFrame::WindowProc)) return false;
    CreateWindowExW(0, kFrameClass, L"Lumora Host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                    size.cx, size.cy, nullptr, m_hostMenu.Get(), GetModuleHandleW(nullptr), this);
    return m_window.IsValid();
}

void HostFrame::Destroy()
{
    if (m_window) DestroyWindow(m_window.Get());  // WM_NCDESTROY lets go of the handle
}

// The address box: a line under the toolbar.
RECT HostFrame::AddressRect() const
{
    RECT client = {};
    GetClientRect(Window(), &client);
    const int top = WindowHeight(m_toolbar.Window()) + kGap;
    return {kGap, top, client.right - kGap, top + kAddressHeight};
}

RECT HostFrame::ViewRect() const
{
    RECT client = {};
    GetClientRect(Window(), &client);
    const int top = AddressRect().bottom + kGap;
    const int bottom = client.bottom - WindowHeight(m_hwndStatus);
    return {0, top, client.right, bottom > top ? bottom : top};
}

void HostFrame::SetViewWindow(HWND hwndView)
{
    m_hwndView = hwndView;
    m_hwndActiveObject = nullptr;
    Layout();
}

void HostFrame::SetMenuBar(HMENU hmenuShared, HWND hwndActiveObject)
{
    m_hwndActiveObject = hmenuShared ? hwndActiveObject : nullptr;
    SetMenu(Window(), hmenuShared ? hmenuShared : m_hostMenu.Get());
    DrawMenuBar(Window());
}

// Toolbar, address box and status bar, children of the frame.
bool HostFrame::CreateControls()
{
    if (!m_toolbar.Create(Window())) return false;
    m_hwndAddress = CreateAddressBox(Window());
    m_hwndStatus = CreateHostStatusBar(Window());
    return m_hwndAddress && m_hwndStatus;
}

// The toolbar and status bar take their own heights; the address box and the view share the rest.
void HostFrame::Layout()
{
    SendMessageW(m_toolbar.Window(), TB_AUTOSIZE, 0, 0);
    SendMessageW(m_hwndStatus, WM_SIZE, 0, 0);
    const RECT address = AddressRect();
    MoveWindow(m_hwndAddress, address.left, address.top, address.right - address.left, kAddressHeight, TRUE);
    if (!m_hwndView) return;
    const RECT view = ViewRect();
    SetWindowPos(m_hwndView, nullptr, view.left, view.top, view.right - view.left, view.bottom - view.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The view's range goes to the view window; the address box reports its focus; the rest is the host's.
void HostFrame::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    const HWND control = reinterpret_cast<HWND>(lParam);
    if (control && control == m_hwndAddress) {
        if (HIWORD(wParam) == EN_SETFOCUS) m_pOwner->OnFocusMoved();
        return;
    }
    if (id <= FCIDM_SHVIEWLAST) {
        if (CommandTarget()) SendMessageW(CommandTarget(), WM_COMMAND, wParam, lParam);
        return;
    }
    m_pOwner->OnHostCommand(id);
}

// The control that had the focus when the frame was last deactivated, else the view.
void HostFrame::RestoreFocus()
{
    if (IsWindow(m_hwndLastFocus) && IsSameOrChild(Window(), m_hwndLastFocus) && m_hwndLastFocus != Window())
        SetFocus(m_hwndLastFocus);
    else
        SetFocus(m_hwndView ? m_hwndView : m_hwndAddress);
}

// Finds the frame object of the window; the object lets go of the handle at WM_NCDESTROY.
LRESULT CALLBACK HostFrame::WindowProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_NCCREATE) {
        auto* frame = static_cast<HostFrame*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
        frame->m_window.Reset(hwnd);
    }
    auto* frame = reinterpret_cast<HostFrame*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!frame) return DefWindowProcW(hwnd, uMsg, wParam, lParam);
    if (uMsg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        frame->m_window.Release();
        frame->m_hwndView = frame->m_hwndActiveObject = frame->m_hwndLastFocus = nullptr;
        return DefWindowProcW(hwnd, uMsg, wParam, lParam);
    }
    return frame->HandleMessage(uMsg, wParam, lParam);
}

// The frame's messages; the rest as any window's.
LRESULT HostFrame::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CREATE:
        return CreateControls() ? 0 : -1;
    case WM_SIZE:
        Layout();
        return 0;
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        return 0;
    case WM_INITMENUPOPUP:
    case WM_MENUSELECT:
        if (CommandTarget()) SendMessageW(CommandTarget(), uMsg, wParam, lParam);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE && IsSameOrChild(Window(), GetFocus())) m_hwndLastFocus = GetFocus();
        break;
    case WM_SETFOCUS:
        RestoreFocus();
        return 0;
    case WM_CLOSE:
        m_pOwner->OnFrameClose();
        return 0;
    case WM_DESTROY:
        m_pOwner->OnFrameDestroying();
        SetMenu(Window(), nullptr);  // the host's bar is the frame's to destroy, a shared menu the view's
        return 0;
    case CWM_GETISHELLBROWSER:
        return reinterpret_cast<LRESULT>(m_pOwner->ShellBrowser());
    }
    return DefWindowProcW(Window(), uMsg, wParam, lParam);
}

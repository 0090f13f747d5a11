// The browser's frame window: menu bar, toolbar, address box, the view's pane and the
// status bar, laid out whenever the frame is sized. It hands the view the commands of the
// view's range (0 to 0x7FFF, from menus, keys and toolbar buttons) and its menu messages
// (WM_INITMENUPOPUP, WM_MENUSELECT), answers CWM_GETISHELLBROWSER as the platform's
// browser does, and tells its owner what else happened.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include "host/HostControls.h"
#include "base/Raii.h"

// The message a shell view sends its parent for the browser (no reference is added).
constexpr UINT CWM_GETISHELLBROWSER = WM_USER + 7;

// What the frame tells the browser that owns it.
class HostFrameOwner {
public:
    virtual void OnHostCommand(UINT id) = 0;  // one of HostCommand
    virtual void OnFrameClose() = 0;           // the user closes the frame
    virtual void OnFrameDestroying() = 0;      // the frame goes, its children still there
    virtual void OnFocusMoved() = 0;           // the address box took the focus
    virtual IShellBrowser* ShellBrowser() = 0;

protected:
    ~HostFrameOwner() = default;
};

class HostFrame {
public:
    HostFrame() = default;
    HostFrame(const HostFrame&) = delete;
    HostFrame& operator=(const HostFrame&) = delete;

    // Creates the frame (hidden) with its controls and the host's menu bar.
    bool Create(HostFrameOwner* owner, bool fHelpItem, SIZE size);
    // Destroys the frame; the handle stays readable until the window is gone.
    void Destroy();

    HWND Window() const { return m_window.Get(); }
    HWND AddressBox() const { return m_hwndAddress; }
    HWND StatusBar() const { return m_hwndStatus; }
    HostToolbar& Toolbar() { return m_toolbar; }
    const HostToolbar& Toolbar() const { return m_toolbar; }
    HMENU HostMenu() const { return m_hostMenu.Get(); }

    // The view pane in the frame's client coordinates.
    RECT ViewRect() const;
    // The view window: sized with the pane, and the target of the view's commands.
    void SetViewWindow(HWND hwndView);
    // Shows a shared menu whose commands go to hwndActiveObject, or the host's own (null).
    void SetMenuBar(HMENU hmenuShared, HWND hwndActiveObject);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
    bool CreateControls();
    void Layout();
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void RestoreFocus();
    RECT AddressRect() const;
    HWND CommandTarget() const { return m_hwndActiveObject ? m_hwndActiveObject : m_hwndView; }

    HostFrameOwner* m_pOwner = nullptr;
    WindowHandle m_window;  // released by the window itself when it is destroyed
    MenuHandle m_hostMenu;  // never destroyed with the window: taken off it first
    HostToolbar m_toolbar;  // the controls are children of the frame
    HWND m_hwndStatus = nullptr;
    HWND m_hwndAddress = nullptr;
    HWND m_hwndView = nullptr;
    HWND m_hwndActiveObject = nullptr;
    HWND m_hwndLastFocus = nullptr;  // given back when the frame is activated again
};

// The frame's controls: the toolbar (the host's own buttons, then those a view merges in),
// the status bar and the address box, with readers of what they show.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <string>
#include <vector>

constexpr UINT IDC_HOST_ADDRESS = FCIDM_BROWSERFIRST + 0x100;

// The toolbar, a child of the frame (destroyed with it), with the host's own buttons:
// Up One Level and a separator, from the common view bitmap that the host adds first.
class HostToolbar {
public:
    bool Create(HWND frame);
    HWND Window() const { return m_hwnd; }

    // Puts the view's buttons on the toolbar in place of any it put there before: after
    // the host's buttons when fMerge is set, alone otherwise. No buttons with fMerge
    // leaves the host's own.
    bool SetViewButtons(const TBBUTTON* buttons, UINT count, bool fMerge);
    // Back to the host's own buttons.
    void Reset() { SetViewButtons(nullptr, 0, true); }

private:
    bool AddButtons(const TBBUTTON* buttons, UINT count);

    HWND m_hwnd = nullptr;
    int m_iHostImageBase = 0;
};

// The status bar, one part, and back to that.
HWND CreateHostStatusBar(HWND frame);
void ResetStatusBar(HWND statusBar);

// The address box: a one-line edit that shows where the browser is.
HWND CreateAddressBox(HWND frame);

// One button as the toolbar reports it.
struct ToolbarButton {
    int idCommand = 0;
    int iBitmap = 0;
    BYTE fsState = 0;
    BYTE fsStyle = 0;

    bool operator==(const ToolbarButton&) const = default;
};

// The status bar's parts: right edges (-1 for "to the end"), texts, simple mode.
struct StatusBarContent {
    std::vector<int> edges;
    std::vector<std::string> texts;
    bool fSimple = false;
};

std::vector<ToolbarButton> ReadToolbar(HWND toolbar);
StatusBarContent ReadStatusBar(HWND statusBar);
std::string ReadWindowText(HWND hwnd);

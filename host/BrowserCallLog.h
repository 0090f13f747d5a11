// The record of what passes between the host's browser and the view it shows, for tests.
//
// Every call a view makes on the browser is one entry: the method's name and the arguments
// that matter, written the same way each time, for example
//
//   GetWindow
//   InsertMenusSB
//   SetMenuSB(hmenu!=0)            SetMenuSB(0)
//   RemoveMenusSB
//   SetStatusTextSB("3 object(s)")
//   GetControlWindow(FCW_STATUS)
//   SendControlMsg(FCW_TOOLBAR, TB_ENABLEBUTTON, 4, 1)
//   SendControlMsg(FCW_TOOLBAR, TB_ADDBITMAP, 0, IDB_STD_SMALL_COLOR)
//   SendControlMsg(FCW_STATUS, SB_SETPARTS, 3, {200, 576, 776})
//   SendControlMsg(FCW_STATUS, SB_SETTEXTA, 1, "12.5 KB")
//   SetToolbarItems(12, FCT_MERGE)
//   OnViewWindowActive
//   EnableModelessSB(0)
//   TranslateAcceleratorSB(WM_KEYDOWN, 0x74)
//   BrowseObject(SBSP_PARENT)
//   GetViewStateStream(STGM_READ)
//   QueryActiveShellView
//
// The browser's own calls on the view are entries too, marked with "view.":
//
//   view.CreateViewWindow(FVM_DETAILS, 0x00000201)
//   view.UIActivate(SVUIA_ACTIVATE_FOCUS)      (also _NOFOCUS, SVUIA_DEACTIVATE)
//   view.TranslateAccelerator(WM_KEYDOWN, 0x41)
//   view.Refresh   view.GetCurrentInfo   view.SaveViewState   view.DestroyViewWindow   view.Release
//
// Patterns match entries whole, with '*' for any run of characters and '?' for one.
// Strict mode: after ExpectOnly(patterns) every call of the view that matches none of them
// is kept in Unexpected() and handed to the failure hook at once (a test passes a hook that
// raises its own failure; this library knows no test framework). The "view." entries are
// the browser's own doing and are never unexpected.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

class BrowserCallLog {
public:
    using FailureHook = std::function<void(const std::string& call)>;

    // Adds one entry (checked in strict mode when it is a call of the view).
    void Add(std::string entry);
    void Clear() { m_entries.clear(); }

    const std::vector<std::string>& Entries() const { return m_entries; }
    // The entries that match the pattern, in order.
    std::vector<std::string> Matching(const std::string& pattern) const;
    size_t Count(const std::string& pattern) const { return Matching(pattern).size(); }
    // Whether entries match the patterns one after another (other entries may come between).
    bool HasInOrder(const std::vector<std::string>& patterns) const;

    // Strict mode: only calls that match one of the patterns are expected from now on.
    void ExpectOnly(std::vector<std::string> patterns);
    void StopExpecting() { m_fStrict = false; }
    void SetFailureHook(FailureHook hook) { m_failureHook = std::move(hook); }
    const std::vector<std::string>& Unexpected() const { return m_unexpected; }

private:
    bool IsExpected(const std::string& entry) const;

    std::vector<std::string> m_entries;
    std::vector<std::string> m_expected;
    std::vector<std::string> m_unexpected;
    FailureHook m_failureHook;
    bool m_fStrict = false;
};

// Whether text matches the pattern as a whole ('*' any run of characters, '?' one character).
bool MatchesPattern(const std::string& text, const std::string& pattern);

// The words of the entries: a control message with the arguments that matter, a control's
// name, an activation state, and a key message.
std::string DescribeControlMsg(UINT id, UINT uMsg, WPARAM wParam, LPARAM lParam);
std::string ControlName(UINT id);
std::string ActivationName(UINT uState);
std::string KeyMessageText(const MSG& msg);
// A wide text in the ANSI code page (at most 519 bytes).
std::string AnsiFromWide(const wchar_t* text);

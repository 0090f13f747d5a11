// Captures the message boxes and dialogs a test raises: a thread WH_CBT hook records
// each #32770 window when it is activated (caption, static texts, owner) and then
// presses its OK or Cancel button, so that no test ever waits on a box.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

struct CapturedDialog {
    HWND hwnd = nullptr;
    HWND owner = nullptr;
    std::string caption;
    std::vector<std::string> texts;  // non-empty static texts, in child order
    LONG style = 0;

    bool HasText(const std::string& text) const;
};

class DialogCapture {
public:
    using Action = std::function<void(HWND hwnd, const CapturedDialog& dialog)>;

    DialogCapture();   // becomes the thread's active capture
    ~DialogCapture();  // the previous capture (if any) takes over again
    DialogCapture(const DialogCapture&) = delete;
    DialogCapture& operator=(const DialogCapture&) = delete;

    const std::vector<CapturedDialog>& Dialogs() const { return m_dialogs; }
    size_t Count() const { return m_dialogs.size(); }
    // The message texts of the captured boxes, in order (the first static text of each).
    std::vector<std::string> Messages() const;
    void Clear() { m_dialogs.clear(); }

    // Replaces the default action (press IDOK, else IDCANCEL, else leave the window be; a
    // progress window is always left be).
    void SetAction(Action action) { m_action = std::move(action); }
    static void PressDefaultButton(HWND hwnd);
    static void ActionPressDefault(HWND hwnd, const CapturedDialog& dialog);

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    void OnActivate(HWND hwnd);
    void OnDestroy(HWND hwnd);
    static void ReadTexts(CapturedDialog& dialog);

    std::vector<CapturedDialog> m_dialogs;
    std::vector<HWND> m_live;  // captured and not yet destroyed: recorded once
    Action m_action;
    DialogCapture* m_pPrevious;
};

// Pumps the thread's waiting messages (posted button presses reach modeless dialogs).
void PumpMessages();

// A window's text and its class name.
std::string WindowText(HWND hwnd);
std::string ClassName(HWND hwnd);

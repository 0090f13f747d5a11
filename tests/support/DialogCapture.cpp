#include "support/DialogCapture.h"
#include <algorithm>

namespace {
thread_local DialogCapture* t_pActive = nullptr;
thread_local HHOOK t_hHook = nullptr;

BOOL CALLBACK CollectStaticText(HWND child, LPARAM lParam)
{
    auto* texts = reinterpret_cast<std::vector<std::string>*>(lParam);
    if (lstrcmpiA(ClassName(child).c_str(), "Static") == 0) {
        std::string text = WindowText(child);
        if (!text.empty()) texts->push_back(text);
    }
    return TRUE;
}
}  // namespace

bool CapturedDialog::HasText(const std::string& text) const
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

DialogCapture::DialogCapture() : m_action(&DialogCapture::ActionPressDefault), m_pPrevious(t_pActive)
{
    if (!t_hHook) t_hHook = SetWindowsHookExA(WH_CBT, &DialogCapture::HookProc, nullptr, GetCurrentThreadId());
    t_pActive = this;
}

DialogCapture::~DialogCapture()
{
    t_pActive = m_pPrevious;
    if (!t_pActive && t_hHook) {
        UnhookWindowsHookEx(t_hHook);
        t_hHook = nullptr;
    }
}

std::vector<std::string> DialogCapture::Messages() const
{
    std::vector<std::string> messages;
    for (const auto& dialog : m_dialogs) messages.push_back(dialog.texts.empty() ? std::string() : dialog.texts.front());
    return messages;
}

void DialogCapture::ActionPressDefault(HWND hwnd, const CapturedDialog&)
{
    PressDefaultButton(hwnd);
}

// A window with a progress bar waits for nobody: it is left alone.
void DialogCapture::PressDefaultButton(HWND hwnd)
{
    if (FindWindowExA(hwnd, nullptr, "msctls_progress32", nullptr)) return;
    if (GetDlgItem(hwnd, IDOK))
        PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDOK)));
    else if (GetDlgItem(hwnd, IDCANCEL))
        PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDCANCEL)));
}

void DialogCapture::OnActivate(HWND hwnd)
{
    if (ClassName(hwnd) != "#32770") return;
    if (std::find(m_live.begin(), m_live.end(), hwnd) != m_live.end()) return;
    m_live.push_back(hwnd);

    CapturedDialog dialog;
    dialog.hwnd = hwnd;
    dialog.owner = GetWindow(hwnd, GW_OWNER);
    ReadTexts(dialog);
    m_dialogs.push_back(dialog);
    if (m_action) m_action(hwnd, m_dialogs.back());
}

// Caption, style and static texts as the window shows them now.
void DialogCapture::ReadTexts(CapturedDialog& dialog)
{
    dialog.caption = WindowText(dialog.hwnd);
    dialog.style = GetWindowLongA(dialog.hwnd, GWL_STYLE);
    dialog.texts.clear();
    EnumChildWindows(dialog.hwnd, CollectStaticText, reinterpret_cast<LPARAM>(&dialog.texts));
}

// A box can be activated before its texts are set (an ownerless task-modal one is):
// what it showed is read again just before it goes.
void DialogCapture::OnDestroy(HWND hwnd)
{
    auto live = std::find(m_live.begin(), m_live.end(), hwnd);
    if (live == m_live.end()) return;
    m_live.erase(live);
    for (auto dialog = m_dialogs.rbegin(); dialog != m_dialogs.rend(); ++dialog) {
        if (dialog->hwnd != hwnd) continue;
        if (dialog->texts.empty()) ReadTexts(*dialog);
        return;
    }
}

LRESULT CALLBACK DialogCapture::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (t_pActive) {
        HWND hwnd = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_ACTIVATE) {
            t_pActive->OnActivate(hwnd);
        } else if (code == HCBT_DESTROYWND) {
            for (DialogCapture* capture = t_pActive; capture; capture = capture->m_pPrevious) capture->OnDestroy(hwnd);
        }
    }
    return CallNextHookEx(t_hHook, code, wParam, lParam);
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::string WindowText(HWND hwnd)
{
    char text[1024] = "";
    GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}

std::string ClassName(HWND hwnd)
{
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

// The message-only window that runs a worker's calls on a window's thread.
#include "base/WindowThreadCall.h"
#include "base/ModuleState.h"

namespace {
const wchar_t kClassName[] = L"Lumora.WindowThreadCall";
// The message that carries one call: wParam the function, lParam its context.
const UINT kRunMessage = WM_APP + 1;

// The window class, registered once for the module.
bool RegisterCallClass(WNDPROC proc)
{
    static const ATOM s_atom = [proc] {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = proc;
        windowClass.hInstance = g_hinstModule;
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass);
    }();
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    return s_atom != 0 || GetClassInfoExW(g_hinstModule, kClassName, &existing);
}
}  // namespace

WindowThreadCall::WindowThreadCall() : m_threadId(GetCurrentThreadId())
{
    if (!RegisterCallClass(WindowProc)) return;
    m_hwnd.Reset(CreateWindowExW(0, kClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, g_hinstModule, this));
}

// Sends the call; the window's thread runs it as it serves its sent messages.
bool WindowThreadCall::RunThere(Callback callback, void* context)
{
    if (!m_hwnd) return false;
    return SendMessageW(m_hwnd.Get(), kRunMessage, reinterpret_cast<WPARAM>(callback), reinterpret_cast<LPARAM>(context)) == 1;
}

// Runs the call it carries, counted while it runs.
LRESULT CALLBACK WindowThreadCall::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<WindowThreadCall*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message != kRunMessage || !self) return DefWindowProcW(hwnd, message, wParam, lParam);
    ++self->m_cServing;
    reinterpret_cast<Callback>(wParam)(reinterpret_cast<void*>(lParam));
    --self->m_cServing;
    return 1;
}

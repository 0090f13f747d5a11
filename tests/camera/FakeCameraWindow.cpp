#include "camera/FakeCameraWindow.h"
#include "camera/CameraConnection.h"
#include "support/DialogCapture.h"

namespace {
const char kClassName[] = "LumoraTestCameraWindow";

// The class of the fake windows, registered once.
void RegisterFakeClass(WNDPROC proc)
{
    WNDCLASSA wc = {};
    if (GetClassInfoA(GetModuleHandleA(nullptr), kClassName, &wc)) return;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
}
}  // namespace

FakeCameraWindow::FakeCameraWindow()
{
    RegisterFakeClass(WindowProc);
    m_hwnd = CreateWindowExA(0, kClassName, "camera window", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr,
                             GetModuleHandleA(nullptr), this);
}

FakeCameraWindow::~FakeCameraWindow()
{
    if (IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
}

int FakeCameraWindow::RefreshCount()
{
    PumpMessages();
    return m_cRefresh;
}

// Keeps the object in the window; counts refreshes and runs the test's action in each.
LRESULT CALLBACK FakeCameraWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<FakeCameraWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && message == CameraRefreshMessage()) {
        ++self->m_cRefresh;
        if (self->m_onRefresh) self->m_onRefresh();
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A stand-in for the folder's view window as the connection sees it: a real window that
// counts the refreshes posted to it (and may run a listing in each, as the real view does).
#pragma once
#include <windows.h>
#include <functional>

class FakeCameraWindow {
public:
    FakeCameraWindow();
    ~FakeCameraWindow();
    FakeCameraWindow(const FakeCameraWindow&) = delete;
    FakeCameraWindow& operator=(const FakeCameraWindow&) = delete;

    HWND Window() const { return m_hwnd; }
    // Serves the waiting messages, then answers how many refreshes arrived.
    int RefreshCount();
    // Runs inside every refresh.
    void OnRefresh(std::function<void()> action) { m_onRefresh = std::move(action); }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    int m_cRefresh = 0;
    std::function<void()> m_onRefresh;
};

// Runs work on the thread that made the object (a window's thread) from any other thread.
#pragma once
#include <windows.h>
#include "base/Raii.h"

// Made on a window's thread: a message-only window of that thread. A worker thread hands it
// work and waits while the window's thread serves the call between its messages; a thread
// that waits for such a worker must keep serving sent messages.
class WindowThreadCall {
public:
    WindowThreadCall();
    WindowThreadCall(const WindowThreadCall&) = delete;
    WindowThreadCall& operator=(const WindowThreadCall&) = delete;

    explicit operator bool() const { return static_cast<bool>(m_hwnd); }
    bool IsOwnThread() const { return GetCurrentThreadId() == m_threadId; }
    // Whether the window's thread is inside a call of this object now (it must not wait for
    // the worker that made it).
    bool IsServing() const { return m_cServing > 0; }
    // On the window's thread: no more calls are run; a worker's call after this is dropped.
    void Close()
    {
        if (IsOwnThread()) m_hwnd.Reset();
    }

    // Calls work() on the window's thread and returns when it returned; on that thread itself
    // it is a plain call. False when it could not be run there.
    template <typename Work> bool Run(Work& work)
    {
        if (IsOwnThread()) {
            work();
            return true;
        }
        return RunThere(&Invoke<Work>, &work);
    }

private:
    using Callback = void (*)(void* context);
    template <typename Work> static void Invoke(void* context) { (*static_cast<Work*>(context))(); }
    bool RunThere(Callback callback, void* context);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    DWORD m_threadId;
    int m_cServing = 0;  // calls running on the window's thread, nested ones included
    WindowHandle m_hwnd;
};

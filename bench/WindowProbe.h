// The benchmarks' probe of a window's thread: a thread that asks the window for an answer
// every 20 ms and keeps the longest wait.
#pragma once
#include <windows.h>
#include <atomic>
#include <functional>
#include <vector>
#include "base/Raii.h"

// Start() begins asking window (SendMessageTimeout of WM_NULL) every 20 ms on a thread of its
// own; sample() runs on that thread after each answer, to watch what else the benchmark wants
// to see. Stop() (or the destructor) ends the thread and waits for it.
class WindowProbe {
public:
    WindowProbe(HWND window, std::function<void()> sample = nullptr) : m_hwnd(window), m_sample(std::move(sample)) {}
    ~WindowProbe() { Stop(); }
    WindowProbe(const WindowProbe&) = delete;
    WindowProbe& operator=(const WindowProbe&) = delete;

    bool Start();
    void Stop();
    // The longest time the window took to answer, in milliseconds.
    double LongestWaitMs() const { return m_longestWaitMs; }
    // When the longest wait began (NowSeconds()).
    double LongestWaitStart() const { return m_longestWaitStart; }
    // How many answers took longer than ms, and how many were asked for; read after Stop().
    size_t AnswersOver(double ms) const;
    size_t Answers() const { return m_waitsMs.size(); }

private:
    static DWORD WINAPI ThreadProc(void* parameter);
    void Run();

    HWND m_hwnd;
    std::function<void()> m_sample;
    std::atomic<bool> m_stop = false;
    std::atomic<double> m_longestWaitMs = 0;
    std::atomic<double> m_longestWaitStart = 0;
    std::vector<double> m_waitsMs;  // every wait, on the probe's thread while it runs
    KernelHandle m_hThread;
};

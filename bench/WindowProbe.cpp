// The probe thread of the benchmarks.
#include "bench/WindowProbe.h"
#include "bench/BenchTiming.h"
#include <algorithm>

namespace {
constexpr DWORD kProbeEveryMs = 20;
// A window that does not answer within this long is hung: the probe says so and goes on.
constexpr UINT kGiveUpMs = 10000;
}  // namespace

bool WindowProbe::Start()
{
    m_stop = false;
    m_longestWaitMs = 0;
    m_waitsMs.clear();
    m_hThread.Reset(CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr));
    return static_cast<bool>(m_hThread);
}

// Stops the probe. The calling thread may be the window's own: it answers the probe's last
// question while it waits (a plain wait would hold that question until it times out).
void WindowProbe::Stop()
{
    if (!m_hThread) return;
    m_stop = true;
    HANDLE thread = m_hThread.Get();
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    m_hThread.Reset();
}

size_t WindowProbe::AnswersOver(double ms) const
{
    return static_cast<size_t>(std::count_if(m_waitsMs.begin(), m_waitsMs.end(), [ms](double wait) { return wait > ms; }));
}

DWORD WINAPI WindowProbe::ThreadProc(void* parameter)
{
    static_cast<WindowProbe*>(parameter)->Run();
    return 0;
}

// Asks, keeps the longest wait, samples, sleeps; until told to stop.
void WindowProbe::Run()
{
    while (!m_stop) {
        const double asked = NowSeconds();
        DWORD_PTR result = 0;
        SendMessageTimeoutA(m_hwnd, WM_NULL, 0, 0, SMTO_NORMAL, kGiveUpMs, &result);
        const double waitMs = (NowSeconds() - asked) * 1000;
        if (m_stop) break;  // the answer may have waited for Stop() itself
        m_waitsMs.push_back(waitMs);
        if (waitMs > m_longestWaitMs) {
            m_longestWaitMs = waitMs;
            m_longestWaitStart = asked;
        }
        if (m_sample) m_sample();
        Sleep(kProbeEveryMs);
    }
}

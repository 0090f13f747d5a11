// The simulated link's latency and rate, and the abort callback polled while a call lasts.
#include "pelcore/LinkTiming.h"
#include <algorithm>

namespace {
// The library asks the abort callback at least this often during a call.
const double kAbortPollMs = 20.0;
}  // namespace

double LinkTiming::NowMs()
{
    static const LONGLONG s_frequency = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return frequency.QuadPart;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(s_frequency);
}

// Sleeps in slices until the call's due time, polling the callback between slices.
bool LinkTiming::Wait(double startMs, unsigned bytes, ZqAbortProc abortProc) const
{
    if (IsInstant()) return false;
    double dueMs = startMs + m_callLatencyMs;
    if (m_bytesPerSecond) dueMs += static_cast<double>(bytes) * 1000.0 / m_bytesPerSecond;
    for (double leftMs = dueMs - NowMs(); leftMs >= 1.0; leftMs = dueMs - NowMs()) {
        Sleep(static_cast<DWORD>(std::min(leftMs, kAbortPollMs)));
        if (abortProc && abortProc() != 0) return true;
    }
    return false;
}

// How long the simulated link takes: a fixed latency per call plus the call's bytes at a rate.
#pragma once
#include "pelcore/SimApi.h"

class LinkTiming {
public:
    // 0 for either figure: that part costs nothing.
    LinkTiming() = default;
    LinkTiming(unsigned bytesPerSecond, unsigned callLatencyMs) : m_bytesPerSecond(bytesPerSecond), m_callLatencyMs(callLatencyMs) {}

    // Waits out a call that moves bytes, from startMs on, asking abortProc at least every
    // 50 ms whether to stop; true when it answered non-zero.
    bool Wait(double startMs, unsigned bytes, ZqAbortProc abortProc) const;
    bool IsInstant() const { return m_bytesPerSecond == 0 && m_callLatencyMs == 0; }

    // A steady clock in milliseconds.
    static double NowMs();

private:
    unsigned m_bytesPerSecond = 0;
    unsigned m_callLatencyMs = 0;
};

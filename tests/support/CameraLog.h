// The simulated camera's call log as the tests read it.
#pragma once
#include <cstring>
#include <vector>
#include "pelcore/PelSim.h"

// Every call the camera logged, in order.
inline std::vector<PelSimCall> CameraLog()
{
    std::vector<PelSimCall> calls(static_cast<size_t>(PelSim_LogCount()));
    for (size_t i = 0; i < calls.size(); ++i) PelSim_LogEntry(static_cast<int>(i), &calls[i]);
    return calls;
}

// The logged calls of one function, in order.
inline std::vector<PelSimCall> CallsOf(const char* function)
{
    std::vector<PelSimCall> calls;
    for (const PelSimCall& call : CameraLog())
        if (std::strcmp(call.function, function) == 0) calls.push_back(call);
    return calls;
}

// Every call the camera saw, failing ones too, in the order the calls began.
#pragma once
#include "pelcore/SimApi.h"

class CallLog {
public:
    // Records a call as it begins; its status is filled in by Finish.
    size_t Begin(const char* function, const char* name, unsigned size, int arg);
    void Finish(size_t index, ComStatus status);

    int Count() const { return static_cast<int>(m_calls.size()); }
    bool Entry(int index, PelSimCall* call) const;
    void Clear() { m_calls.clear(); }

private:
    std::vector<PelSimCall> m_calls;
};

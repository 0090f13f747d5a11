// The call log of the simulated camera.
#include "pelcore/CallLog.h"
#include <cstring>

namespace {

// Copies at most capacity - 1 bytes of a possibly unterminated text and terminates.
void CopyCut(char* dest, const char* source, size_t capacity)
{
    memset(dest, 0, capacity);
    if (source) memcpy(dest, source, strnlen(source, capacity - 1));
}

}  // namespace

size_t CallLog::Begin(const char* function, const char* name, unsigned size, int arg)
{
    PelSimCall call{};
    CopyCut(call.function, function, sizeof(call.function));
    CopyCut(call.name, name, sizeof(call.name));
    call.size = size;
    call.arg = arg;
    call.thread = GetCurrentThreadId();
    m_calls.push_back(call);
    return m_calls.size() - 1;
}

void CallLog::Finish(size_t index, ComStatus status)
{
    if (index < m_calls.size()) m_calls[index].status = status;
}

// Copies one entry out; false for an index outside the log.
bool CallLog::Entry(int index, PelSimCall* call) const
{
    if (!call || index < 0 || index >= Count()) return false;
    *call = m_calls[static_cast<size_t>(index)];
    return true;
}

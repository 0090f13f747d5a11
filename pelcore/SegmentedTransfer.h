// One segmented read or write: every segment is 524288 bytes but the last, which is
// the remainder of the total.
#pragma once
#include "pelcore/SimApi.h"

class SegmentedTransfer {
public:
    void Begin(const char* name, unsigned total);
    void End();

    bool IsOpen() const { return m_fOpen; }
    const char* Name() const { return m_name.c_str(); }
    unsigned Done() const { return m_done; }
    unsigned Total() const { return m_total; }
    // The size the next segment must have.
    unsigned NextSize() const;
    // Counts a segment of the right size; true when it was the last.
    bool Advance(unsigned size);

private:
    std::string m_name;
    unsigned m_total = 0;
    unsigned m_done = 0;
    bool m_fOpen = false;
};

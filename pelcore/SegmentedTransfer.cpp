// The segment arithmetic shared by segmented reads and writes.
#include "pelcore/SegmentedTransfer.h"

void SegmentedTransfer::Begin(const char* name, unsigned total)
{
    m_name = name;
    m_total = total;
    m_done = 0;
    m_fOpen = total > 0;
}

void SegmentedTransfer::End()
{
    m_name.clear();
    m_total = m_done = 0;
    m_fOpen = false;
}

unsigned SegmentedTransfer::NextSize() const
{
    const unsigned remaining = m_total - m_done;
    return remaining < ZQ_SEGMENT_SIZE ? remaining : static_cast<unsigned>(ZQ_SEGMENT_SIZE);
}

bool SegmentedTransfer::Advance(unsigned size)
{
    m_done += size;
    return m_done == m_total;
}

// Demo mode moves file bytes between the PC file and the caller a segment at a time: whole
// and segmented transfers byte for byte around the segment size, a dropped segmented write
// that leaves nothing, and memory that does not grow with the file.
#include "DemoFolder.h"
#include <psapi.h>
#include <algorithm>
#include <atomic>
#include <functional>

namespace {
const unsigned c_segment = ZQ_SEGMENT_SIZE;

// Sizes of the segments of a transfer of total bytes.
std::vector<unsigned> SegmentSizes(unsigned total)
{
    std::vector<unsigned> sizes;
    for (unsigned done = 0; done < total; done += sizes.back()) sizes.push_back(std::min(c_segment, total - done));
    return sizes;
}

// A segmented write of bytes; false at the first call that fails. Before the last
// segment the file must not be there yet.
bool PutSegmented(const char* name, const std::vector<unsigned char>& bytes, const std::string& path)
{
    if (ZQ_PutSegmentedFile(static_cast<unsigned>(bytes.size()), name) != ZQ_STATUS_OK) return false;
    unsigned done = 0;
    for (unsigned size : SegmentSizes(static_cast<unsigned>(bytes.size()))) {
        EXPECT_FALSE(PcFileExists(path)) << "stored before its last segment";
        if (ZQ_PutSegment(size, bytes.data() + done) != ZQ_STATUS_OK) return false;
        done += size;
    }
    return true;
}

std::vector<unsigned char> GetSegmented(const char* name, unsigned total)
{
    std::vector<unsigned char> bytes(total);
    EXPECT_EQ(ZQ_GetSegmentedFile(c_segment, name), ZQ_STATUS_OK);
    unsigned done = 0;
    for (unsigned size : SegmentSizes(total)) {
        EXPECT_EQ(ZQ_GetSegment(size, bytes.data() + done), ZQ_STATUS_OK);
        done += size;
    }
    return bytes;
}

class StreamingSizeTest : public DemoFolderTest, public testing::WithParamInterface<unsigned> {};

TEST_P(StreamingSizeTest, WholeAndSegmentedTransfersKeepEveryByte)
{
    const unsigned size = GetParam();
    const std::vector<unsigned char> whole = TestBytes(size, 1);
    const std::vector<unsigned char> segmented = TestBytes(size, 2);
    OpenDemoLink();

    EXPECT_EQ(ZQ_PutFile(size, whole.data(), "WHOLE.MOV"), ZQ_STATUS_OK);
    EXPECT_TRUE(PutSegmented("SEGS.MOV", segmented, PathOf("SEGS.MOV")));

    EXPECT_EQ(ReadPcFile(PathOf("WHOLE.MOV")), whole);
    EXPECT_EQ(ReadPcFile(PathOf("SEGS.MOV")), segmented);
    std::vector<unsigned char> received(size);
    EXPECT_EQ(ZQ_ReceiveFile("WHOLE.MOV", size, received.data()), ZQ_STATUS_OK);
    EXPECT_EQ(received, whole);
    EXPECT_EQ(GetSegmented("SEGS.MOV", size), segmented);
    EXPECT_EQ(FolderFiles(m_folder), (std::set<std::string>{"SEGS.MOV", "WHOLE.MOV"}));
}

INSTANTIATE_TEST_SUITE_P(AroundTheSegment, StreamingSizeTest,
                         testing::Values(1u, c_segment - 1, c_segment, c_segment + 1, 2 * c_segment, 2 * c_segment + 1, 1200000u));

// Ways a segmented write ends before its last segment.
struct DropCase {
    const char* label;
    void (*drop)();
    std::set<std::string> files;  // the folder's files afterwards
};

void PrintTo(const DropCase& c, std::ostream* os) { *os << c.label; }

const unsigned char c_tenBytes[10] = {};

class DroppedWriteTest : public DemoFolderTest, public testing::WithParamInterface<DropCase> {};

TEST_P(DroppedWriteTest, KeepsTheOldFileAndLeavesNothingElse)
{
    const std::vector<unsigned char> old = TestBytes(1200000, 3);
    const std::vector<unsigned char> replacement = TestBytes(1200000, 4);
    WritePcFile(PathOf("OLD.MOV"), old);
    OpenDemoLink();
    ASSERT_EQ(ZQ_PutSegmentedFile(1200000, "OLD.MOV"), ZQ_STATUS_OK);
    ASSERT_EQ(ZQ_PutSegment(c_segment, replacement.data()), ZQ_STATUS_OK);
    EXPECT_EQ(FolderFiles(m_folder).size(), 2u) << "the bytes so far wait beside the file";

    GetParam().drop();

    EXPECT_EQ(FolderFiles(m_folder), GetParam().files);
    EXPECT_EQ(ReadPcFile(PathOf("OLD.MOV")), old);
    EXPECT_NE(ZQ_PutSegment(c_segment, replacement.data() + c_segment), ZQ_STATUS_OK);
}

INSTANTIATE_TEST_SUITE_P(
    Drops, DroppedWriteTest,
    testing::Values(DropCase{"CloseComm", [] { EXPECT_EQ(ZQ_CloseComm(), ZQ_STATUS_OK); }, {"OLD.MOV"}},
                    DropCase{"WrongSegmentSize", [] { EXPECT_NE(ZQ_PutSegment(1000, c_tenBytes), ZQ_STATUS_OK); }, {"OLD.MOV"}},
                    DropCase{"NewRead", [] { EXPECT_EQ(ZQ_GetSegmentedFile(c_segment, "OLD.MOV"), ZQ_STATUS_OK); }, {"OLD.MOV"}},
                    DropCase{"NewWrite",
                             [] {
                                 EXPECT_EQ(ZQ_PutSegmentedFile(10, "NEW.TXT"), ZQ_STATUS_OK);
                                 EXPECT_EQ(ZQ_PutSegment(10, c_tenBytes), ZQ_STATUS_OK);
                             },
                             {"NEW.TXT", "OLD.MOV"}},
                    DropCase{"Scripting", [] { PelSim_SetMediaFree(100); }, {"OLD.MOV"}}),
    [](const testing::TestParamInfo<DropCase>& info) { return std::string(info.param.label); });

// The process's private bytes. Wine leaves PrivateUsage at 0; PagefileUsage is the same figure
// (the commit charge) on Windows and tracks it under Wine.
SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters))) return 0;
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

// The most the private bytes grew above their level before work, sampled on another thread
// while the work ran.
class PeakGrowth {
public:
    explicit PeakGrowth(const std::function<void()>& work)
    {
        HANDLE sampler = CreateThread(nullptr, 0, Sample, this, 0, nullptr);
        while (sampler && !m_fSampling) Sleep(1);  // the sampler's own stack is in place before the base is read
        m_base = PrivateBytes();
        m_peak = m_base;
        work();
        m_fDone = true;
        if (sampler) {
            WaitForSingleObject(sampler, INFINITE);
            CloseHandle(sampler);
        }
        Note(PrivateBytes());
    }
    SIZE_T Bytes() const { return m_peak > m_base ? m_peak - m_base : 0; }

private:
    void Note(SIZE_T now)
    {
        SIZE_T peak = m_peak;
        while (now > peak && !m_peak.compare_exchange_weak(peak, now)) {
        }
    }
    static DWORD WINAPI Sample(void* parameter)
    {
        auto* self = static_cast<PeakGrowth*>(parameter);
        for (self->m_fSampling = true; !self->m_fDone; Sleep(1)) self->Note(PrivateBytes());
        return 0;
    }

    SIZE_T m_base = 0;
    std::atomic<SIZE_T> m_peak{0};
    std::atomic<bool> m_fSampling{false};
    std::atomic<bool> m_fDone{false};
};

TEST_F(DemoFolderTest, TransfersGrowMemoryByNoMoreThanASegment)
{
    const unsigned size = 32u << 20;
    const SIZE_T allowed = c_segment + (1u << 20);
    std::vector<unsigned char> whole = TestBytes(size, 5);
    std::vector<unsigned char> segment(c_segment);
    std::vector<unsigned char> received(size, 0);
    OpenDemoLink();

    const PeakGrowth segmentedWrite([&] {
        ASSERT_EQ(ZQ_PutSegmentedFile(size, "SEGS.MOV"), ZQ_STATUS_OK);
        for (unsigned done = 0; done < size; done += c_segment) {
            std::copy_n(whole.begin() + done, c_segment, segment.begin());
            ASSERT_EQ(ZQ_PutSegment(c_segment, segment.data()), ZQ_STATUS_OK);
        }
    });
    const PeakGrowth segmentedRead([&] {
        ASSERT_EQ(ZQ_GetSegmentedFile(c_segment, "SEGS.MOV"), ZQ_STATUS_OK);
        for (unsigned done = 0; done < size; done += c_segment) ASSERT_EQ(ZQ_GetSegment(c_segment, segment.data()), ZQ_STATUS_OK);
    });
    const PeakGrowth wholeWrite([&] { ASSERT_EQ(ZQ_PutFile(size, whole.data(), "WHOLE.MOV"), ZQ_STATUS_OK); });
    const PeakGrowth wholeRead([&] { ASSERT_EQ(ZQ_ReceiveFile("WHOLE.MOV", size, received.data()), ZQ_STATUS_OK); });

    EXPECT_LE(segmentedWrite.Bytes(), allowed);
    EXPECT_LE(segmentedRead.Bytes(), allowed);
    EXPECT_LE(wholeWrite.Bytes(), allowed);
    EXPECT_LE(wholeRead.Bytes(), allowed);
    EXPECT_EQ(received, whole);
    EXPECT_EQ(ReadPcFile(PathOf("SEGS.MOV")), whole);
}
}  // namespace

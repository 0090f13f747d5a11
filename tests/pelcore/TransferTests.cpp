// File bytes in and out: whole reads and writes, segmented transfers, free space, deletes.
#include "PelcoreTest.h"

namespace {

using TransferTest = PelcoreTest;

const unsigned c_bigSize = 1200000;  // segments of 524288, 524288 and 151424

// The camera's copy of a file; empty with found = false when absent.
std::vector<unsigned char> CameraFile(const char* name, bool* found = nullptr)
{
    const int size = PelSim_GetFile(name, nullptr, 0);
    if (found) *found = size >= 0;
    if (size <= 0) return {};
    std::vector<unsigned char> bytes(static_cast<size_t>(size));
    PelSim_GetFile(name, bytes.data(), static_cast<unsigned>(size));
    return bytes;
}

struct ReceiveCase {
    unsigned size;  // passed; the file holds 1000 bytes
    ComStatus expected;
};

class ReceiveFileTest : public PelcoreTest, public testing::WithParamInterface<ReceiveCase> {};

TEST_P(ReceiveFileTest, NeedsTheExactWholeSize)
{
    const std::vector<unsigned char> bytes = AddTestFile("A.JPG", 1000, 1);
    OpenLinkQuietly();
    std::vector<unsigned char> buffer(1100, 0xCD);

    EXPECT_EQ(ZQ_ReceiveFile("A.JPG", GetParam().size, buffer.data()), GetParam().expected);

    if (GetParam().expected == ZQ_STATUS_OK) {
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), buffer.begin()));
        EXPECT_EQ(buffer[1000], 0xCD);
    } else {
        EXPECT_EQ(buffer, std::vector<unsigned char>(1100, 0xCD));
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ReceiveFileTest,
                         testing::Values(ReceiveCase{1000, ZQ_STATUS_OK}, ReceiveCase{999, PELSIM_STATUS_BAD_ARGUMENT},
                                         ReceiveCase{1001, PELSIM_STATUS_BAD_ARGUMENT}, ReceiveCase{0, PELSIM_STATUS_BAD_ARGUMENT}));

TEST_F(TransferTest, ReceiveFileRefusesUnknownNamesAndNullBuffers)
{
    AddTestFile("A.JPG", 10, 1);
    OpenLinkQuietly();
    unsigned char buffer[10];
    EXPECT_EQ(ZQ_ReceiveFile("B.JPG", 10, buffer), PELSIM_STATUS_NO_SUCH_FILE);
    EXPECT_EQ(ZQ_ReceiveFile("A.JPG", 10, nullptr), PELSIM_STATUS_BAD_ARGUMENT);
    EXPECT_EQ(ZQ_ReceiveFile(nullptr, 10, buffer), PELSIM_STATUS_BAD_ARGUMENT);
}

// A file whose size reads as 0 still has its bytes.
TEST_F(TransferTest, FileReadingAsSizeZeroStillHoldsItsBytes)
{
    const std::vector<unsigned char> bytes = AddTestFile("A.JPG", 300, 4);
    PelSim_SetFileListing("A.JPG", ' ', 1);
    OpenLinkQuietly();
    std::vector<unsigned char> buffer(300);
    EXPECT_EQ(ZQ_ReceiveFile("A.JPG", 300, buffer.data()), ZQ_STATUS_OK);
    EXPECT_EQ(buffer, bytes);
}

TEST_F(TransferTest, SegmentedReadDeliversTheFileInOrder)
{
    const std::vector<unsigned char> bytes = AddTestFile("BIG.MOV", c_bigSize, 5);
    OpenLinkQuietly();
    std::vector<unsigned char> received;
    std::vector<unsigned char> segment(ZQ_SEGMENT_SIZE);

    ASSERT_EQ(ZQ_GetSegmentedFile(ZQ_SEGMENT_SIZE, "BIG.MOV"), ZQ_STATUS_OK);
    for (unsigned size : {524288u, 524288u, 151424u}) {
        ASSERT_EQ(ZQ_GetSegment(size, segment.data()), ZQ_STATUS_OK);
        received.insert(received.end(), segment.begin(), segment.begin() + size);
    }

    EXPECT_EQ(received, bytes);
    EXPECT_EQ(ZQ_GetSegment(1, segment.data()), PELSIM_STATUS_OUT_OF_SEQUENCE);
    EXPECT_EQ(LoggedCalls(), (std::vector<std::string>{"ZQ_GetSegmentedFile BIG.MOV 524288 0 0", "ZQ_GetSegment  524288 0 0",
                                                       "ZQ_GetSegment  524288 0 0", "ZQ_GetSegment  151424 0 0",
                                                       "ZQ_GetSegment  1 0 5"}));
}

TEST_F(TransferTest, SegmentedReadOpensOnlyWithTheSegmentSize)
{
    AddTestFile("BIG.MOV", c_bigSize, 5);
    OpenLinkQuietly();
    EXPECT_EQ(ZQ_GetSegmentedFile(65536, "BIG.MOV"), PELSIM_STATUS_BAD_ARGUMENT);
    EXPECT_EQ(ZQ_GetSegmentedFile(ZQ_SEGMENT_SIZE, "NONE.MOV"), PELSIM_STATUS_NO_SUCH_FILE);
    unsigned char byte;
    EXPECT_EQ(ZQ_GetSegment(1, &byte), PELSIM_STATUS_OUT_OF_SEQUENCE);
}

// A sequence of segments and the index of the first one the camera must refuse (-1: none).
struct SegmentCase {
    const char* label;
    unsigned total;
    std::vector<unsigned> segments;
    int firstRefused;
};

const SegmentCase c_segmentCases[] = {
    {"Right", c_bigSize, {524288, 524288, 151424}, -1},
    {"ExactlyOneSegment", 524288, {524288}, -1},
    {"SmallFileWhole", 100, {100}, -1},
    {"LastOneShort", c_bigSize, {524288, 524288, 151423, 1}, 2},
    {"RemainderFirst", c_bigSize, {151424, 524288, 524288}, 0},
    {"TwoSegmentsMerged", c_bigSize, {524288, 675712}, 1},
    {"SmallSegments", c_bigSize, {65536, 65536}, 0},
    {"OneTooMany", 524288, {524288, 1}, 1},
    {"SmallFileAsFullSegment", 100, {524288}, 0},
};

// Which way the segments go.
enum class Direction { Read, Write };

class SegmentSequenceTest : public PelcoreTest, public testing::WithParamInterface<std::tuple<SegmentCase, Direction>> {
protected:
    ComStatus Begin(const SegmentCase& c, Direction direction)
    {
        return direction == Direction::Read ? ZQ_GetSegmentedFile(ZQ_SEGMENT_SIZE, "FILE.MOV") : ZQ_PutSegmentedFile(c.total, "FILE.MOV");
    }
    ComStatus Segment(Direction direction, unsigned size)
    {
        m_buffer.resize(size > m_buffer.size() ? size : m_buffer.size());
        return direction == Direction::Read ? ZQ_GetSegment(size, m_buffer.data()) : ZQ_PutSegment(size, m_buffer.data());
    }

    std::vector<unsigned char> m_buffer;
};

TEST_P(SegmentSequenceTest, RefusesAnyOtherSequenceAndEndsTheTransfer)
{
    const auto& [c, direction] = GetParam();
    if (direction == Direction::Read) AddTestFile("FILE.MOV", c.total, 6);
    PelSim_SetMediaFree(4096);
    OpenLinkQuietly();

    ASSERT_EQ(Begin(c, direction), ZQ_STATUS_OK);
    for (size_t i = 0; i < c.segments.size(); ++i) {
        const bool refused = c.firstRefused >= 0 && static_cast<int>(i) >= c.firstRefused;
        EXPECT_EQ(Segment(direction, c.segments[i]), refused ? PELSIM_STATUS_OUT_OF_SEQUENCE : ZQ_STATUS_OK) << "segment " << i;
    }

    // A refused segment ends the transfer: even the right next size is refused.
    if (c.firstRefused >= 0) {
        EXPECT_EQ(Segment(direction, ZQ_SEGMENT_SIZE), PELSIM_STATUS_OUT_OF_SEQUENCE);
    }
    // A write stores its file once the accepted segments make up the total.
    const size_t accepted = c.firstRefused < 0 ? c.segments.size() : static_cast<size_t>(c.firstRefused);
    unsigned long long acceptedBytes = 0;
    for (size_t i = 0; i < accepted; ++i) acceptedBytes += c.segments[i];
    if (direction == Direction::Write) {
        bool stored = false;
        CameraFile("FILE.MOV", &stored);
        EXPECT_EQ(stored, acceptedBytes == c.total);
        EXPECT_EQ(PelSim_FileCount(), acceptedBytes == c.total ? 1 : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Sequences, SegmentSequenceTest,
                         testing::Combine(testing::ValuesIn(c_segmentCases), testing::Values(Direction::Read, Direction::Write)),
                         [](const testing::TestParamInfo<std::tuple<SegmentCase, Direction>>& info) {
                             return std::string(std::get<0>(info.param).label) +
                                    (std::get<1>(info.param) == Direction::Read ? "Read" : "Write");
                         });

TEST_F(TransferTest, SegmentedWriteStoresTheFileOnlyWithItsLastSegment)
{
    const std::vector<unsigned char> bytes = TestBytes(c_bigSize, 7);
    PelSim_SetMediaFree(2000);
    OpenLinkQuietly();

    ASSERT_EQ(ZQ_PutSegmentedFile(c_bigSize, "BIG.MOV"), ZQ_STATUS_OK);
    unsigned offset = 0;
    for (unsigned size : {524288u, 524288u, 151424u}) {
        bool stored = true;
        CameraFile("BIG.MOV", &stored);
        EXPECT_FALSE(stored) << "before the segment at " << offset;
        EXPECT_EQ(PelSim_GetMediaFree(), 2000u);
        ASSERT_EQ(ZQ_PutSegment(size, bytes.data() + offset), ZQ_STATUS_OK);
        offset += size;
    }

    EXPECT_EQ(CameraFile("BIG.MOV"), bytes);
    EXPECT_EQ(PelSim_GetMediaFree(), 2000u - 1172u);  // 1,200,000 bytes take 1172 KiB
    unsigned freeKiB = 0;
    EXPECT_EQ(ZQ_GetMediaFree(&freeKiB), ZQ_STATUS_OK);
    EXPECT_EQ(freeKiB, 828u);
}

TEST_F(TransferTest, SegmentedWriteThatDoesNotFitIsRefusedAtOnce)
{
    PelSim_SetMediaFree(1171);
    OpenLinkQuietly();
    std::vector<unsigned char> segment(ZQ_SEGMENT_SIZE);
    EXPECT_EQ(ZQ_PutSegmentedFile(c_bigSize, "BIG.MOV"), PELSIM_STATUS_MEDIA_FULL);
    EXPECT_EQ(ZQ_PutSegment(ZQ_SEGMENT_SIZE, segment.data()), PELSIM_STATUS_OUT_OF_SEQUENCE);
    EXPECT_EQ(PelSim_FileCount(), 0);
    EXPECT_EQ(PelSim_GetMediaFree(), 1171u);
}

TEST_F(TransferTest, ClosingTheLinkDropsUnfinishedTransfers)
{
    AddTestFile("BIG.MOV", c_bigSize, 5);
    OpenLinkQuietly();
    std::vector<unsigned char> segment(ZQ_SEGMENT_SIZE);
    ASSERT_EQ(ZQ_PutSegmentedFile(c_bigSize, "NEW.MOV"), ZQ_STATUS_OK);
    ASSERT_EQ(ZQ_PutSegment(ZQ_SEGMENT_SIZE, segment.data()), ZQ_STATUS_OK);
    ASSERT_EQ(ZQ_CloseComm(), ZQ_STATUS_OK);
    ASSERT_EQ(ZQ_OpenComm(ZqLinkUsb), ZQ_STATUS_OK);

    EXPECT_EQ(ZQ_PutSegment(ZQ_SEGMENT_SIZE, segment.data()), PELSIM_STATUS_OUT_OF_SEQUENCE);
    EXPECT_EQ(PelSim_FileCount(), 1);
    EXPECT_EQ(PelSim_GetMediaFree(), 65536u);

    ASSERT_EQ(ZQ_GetSegmentedFile(ZQ_SEGMENT_SIZE, "BIG.MOV"), ZQ_STATUS_OK);
    ASSERT_EQ(ZQ_CloseComm(), ZQ_STATUS_OK);
    ASSERT_EQ(ZQ_OpenComm(ZqLinkUsb), ZQ_STATUS_OK);
    EXPECT_EQ(ZQ_GetSegment(ZQ_SEGMENT_SIZE, segment.data()), PELSIM_STATUS_OUT_OF_SEQUENCE);
}

// Free space taken by a written file: its size in KiB, rounded up.
struct PutCase {
    unsigned size;
    unsigned kib;
};

class PutFileTest : public PelcoreTest, public testing::WithParamInterface<PutCase> {};

TEST_P(PutFileTest, StoresTheFileAndTakesItsSpace)
{
    const std::vector<unsigned char> bytes = TestBytes(GetParam().size, 8);
    OpenLinkQuietly();

    EXPECT_EQ(ZQ_PutFile(GetParam().size, bytes.data(), "NEW.JPG"), ZQ_STATUS_OK);

    bool stored = false;
    EXPECT_EQ(CameraFile("NEW.JPG", &stored), bytes);
    EXPECT_TRUE(stored);
    EXPECT_EQ(PelSim_GetMediaFree(), 65536u - GetParam().kib);

    EXPECT_EQ(ZQ_DeleteFile("NEW.JPG"), ZQ_STATUS_OK);
    EXPECT_EQ(PelSim_FileCount(), 0);
    EXPECT_EQ(PelSim_GetMediaFree(), 65536u);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PutFileTest,
                         testing::Values(PutCase{0, 0}, PutCase{1, 1}, PutCase{1024, 1}, PutCase{1025, 2}, PutCase{524287, 512},
                                         PutCase{524288, 512}));

// Free space 10 KiB: what fits exactly is stored, a byte more stores nothing.
struct FitCase {
    unsigned size;
    ComStatus expected;
    unsigned freeAfter;
};

class FitTest : public PelcoreTest, public testing::WithParamInterface<FitCase> {};

TEST_P(FitTest, WriteFitsTheFreeSpaceOrStoresNothing)
{
    const std::vector<unsigned char> bytes = TestBytes(GetParam().size, 9);
    PelSim_SetMediaFree(10);
    OpenLinkQuietly();

    EXPECT_EQ(ZQ_PutFile(GetParam().size, bytes.data(), "NEW.JPG"), GetParam().expected);

    EXPECT_EQ(PelSim_FileCount(), GetParam().expected == ZQ_STATUS_OK ? 1 : 0);
    EXPECT_EQ(PelSim_GetMediaFree(), GetParam().freeAfter);
}

INSTANTIATE_TEST_SUITE_P(TenKiB, FitTest,
                         testing::Values(FitCase{10240, ZQ_STATUS_OK, 0}, FitCase{10239, ZQ_STATUS_OK, 0},
                                         FitCase{9216, ZQ_STATUS_OK, 1}, FitCase{10241, PELSIM_STATUS_MEDIA_FULL, 10}));

TEST_F(TransferTest, WritingOverAFileGivesItsSpaceBackFirst)
{
    AddTestFile("A.JPG", 8 * 1024, 1);
    PelSim_SetMediaFree(2);
    OpenLinkQuietly();
    const std::vector<unsigned char> bytes = TestBytes(10 * 1024, 2);

    EXPECT_EQ(ZQ_PutFile(10 * 1024, bytes.data(), "A.JPG"), ZQ_STATUS_OK);

    EXPECT_EQ(CameraFile("A.JPG"), bytes);
    EXPECT_EQ(PelSim_FileCount(), 1);
    EXPECT_EQ(PelSim_GetMediaFree(), 0u);
}

TEST_F(TransferTest, PutFileRefusesBadArguments)
{
    OpenLinkQuietly();
    unsigned char byte = 1;
    EXPECT_EQ(ZQ_PutFile(1, nullptr, "A.JPG"), PELSIM_STATUS_BAD_ARGUMENT);
    EXPECT_EQ(ZQ_PutFile(1, &byte, nullptr), PELSIM_STATUS_BAD_ARGUMENT);
    EXPECT_EQ(ZQ_PutFile(1, &byte, "ABCDEFGHI.JPG"), PELSIM_STATUS_BAD_ARGUMENT);
    EXPECT_EQ(ZQ_PutSegmentedFile(0, "A.JPG"), PELSIM_STATUS_BAD_ARGUMENT);
    EXPECT_EQ(ZQ_PutSegment(1, nullptr), PELSIM_STATUS_BAD_ARGUMENT);
    EXPECT_EQ(PelSim_FileCount(), 0);
    EXPECT_EQ(PelSim_GetMediaFree(), 65536u);
}

TEST_F(TransferTest, DeleteRemovesOnlyKnownFilesAndGivesSpaceBack)
{
    AddTestFile("A.JPG", 2048, 1);
    AddTestFile("B.JPG", 10, 2);
    PelSim_SetMediaFree(100);
    OpenLinkQuietly();

    EXPECT_EQ(ZQ_DeleteFile("C.JPG"), PELSIM_STATUS_NO_SUCH_FILE);
    EXPECT_EQ(ZQ_DeleteFile("b.jpg"), PELSIM_STATUS_NO_SUCH_FILE);
    EXPECT_EQ(PelSim_FileCount(), 2);
    EXPECT_EQ(ZQ_DeleteFile("A.JPG"), ZQ_STATUS_OK);
    EXPECT_EQ(PelSim_GetFile("A.JPG", nullptr, 0), -1);
    EXPECT_EQ(PelSim_GetMediaFree(), 102u);
    EXPECT_EQ(ZQ_DeleteFile("A.JPG"), PELSIM_STATUS_NO_SUCH_FILE);
}

TEST_F(TransferTest, FreeSpaceStopsAtItsLargestFigure)
{
    AddTestFile("A.JPG", 4096, 1);
    PelSim_SetMediaFree(0xFFFFFFFEu);
    OpenLinkQuietly();
    EXPECT_EQ(ZQ_DeleteFile("A.JPG"), ZQ_STATUS_OK);
    unsigned freeKiB = 0;
    EXPECT_EQ(ZQ_GetMediaFree(&freeKiB), ZQ_STATUS_OK);
    EXPECT_EQ(freeKiB, 0xFFFFFFFFu);
    EXPECT_EQ(ZQ_GetMediaFree(nullptr), PELSIM_STATUS_BAD_ARGUMENT);
}

}  // namespace

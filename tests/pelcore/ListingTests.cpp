// The file count, the 13-byte listing records and the sizes the camera reports.
#include "PelcoreTest.h"

namespace {

using ListingTest = PelcoreTest;

// The buffer a caller would pass, with guard bytes after the size it announces.
std::vector<char> GuardedBuffer(size_t size)
{
    return std::vector<char>(size + 8, static_cast<char>(0xCD));
}

void ExpectGuardsIntact(const std::vector<char>& buffer, size_t size)
{
    for (size_t i = size; i < buffer.size(); ++i) EXPECT_EQ(static_cast<unsigned char>(buffer[i]), 0xCD) << "byte " << i;
}

// The 13 bytes a record should hold: the name zero-padded to 12, then the separator.
std::string Record(const std::string& name, char separator)
{
    std::string record = name;
    record.resize(ZQ_NAME_MAX, '\0');
    return record + separator;
}

TEST_F(ListingTest, RecordsHoldZeroPaddedNamesSeparatorsAndTheEndMark)
{
    AddTestFile("A.JPG", 10, 1);
    AddTestFile("SOUND001.WAV", 20, 2);
    AddTestFile("B.TXT", 30, 3);
    ASSERT_EQ(PelSim_SetFileListing("SOUND001.WAV", '*', 0), 1);
    ASSERT_EQ(PelSim_SetFileListing("B.TXT", '\x7F', 0), 1);
    OpenLinkQuietly();

    unsigned count = 0;
    ASSERT_EQ(ZQ_GetNumFiles(&count), ZQ_STATUS_OK);
    ASSERT_EQ(count, 3u);
    std::vector<char> buffer = GuardedBuffer(40);
    ASSERT_EQ(ZQ_GetFiles(buffer.data(), 40), ZQ_STATUS_OK);

    const std::string expected = Record("A.JPG", ' ') + Record("SOUND001.WAV", '*') + Record("B.TXT", '\x7F') + std::string(1, '\0');
    EXPECT_EQ(std::string(buffer.data(), 40), expected);
    ExpectGuardsIntact(buffer, 40);
    EXPECT_EQ(LoggedCalls(), (std::vector<std::string>{"ZQ_GetNumFiles  0 0 0", "ZQ_GetFiles  40 0 0"}));
}

TEST_F(ListingTest, EmptyCameraListsOnlyTheEndMark)
{
    OpenLinkQuietly();
    unsigned count = 7;
    ASSERT_EQ(ZQ_GetNumFiles(&count), ZQ_STATUS_OK);
    EXPECT_EQ(count, 0u);
    std::vector<char> buffer = GuardedBuffer(1);
    ASSERT_EQ(ZQ_GetFiles(buffer.data(), 1), ZQ_STATUS_OK);
    EXPECT_EQ(buffer[0], '\0');
    ExpectGuardsIntact(buffer, 1);
}

class WrongListingSizeTest : public PelcoreTest, public testing::WithParamInterface<unsigned> {};

TEST_P(WrongListingSizeTest, IsRefusedAndWritesNothing)
{
    AddTestFile("A.JPG", 10, 1);
    AddTestFile("B.JPG", 10, 2);
    AddTestFile("C.JPG", 10, 3);
    OpenLinkQuietly();
    std::vector<char> buffer = GuardedBuffer(64);

    EXPECT_EQ(ZQ_GetFiles(buffer.data(), GetParam()), PELSIM_STATUS_BAD_ARGUMENT);
    ExpectGuardsIntact(buffer, 0);
}

// 3 files need 40 bytes: one short, one over, the bare records, a fourth record, none.
INSTANTIATE_TEST_SUITE_P(ThreeFiles, WrongListingSizeTest, testing::Values(39u, 41u, 0u, 1u, 53u, 0xFFFFFFFFu));

TEST_F(ListingTest, NullPointersAreRefused)
{
    AddTestFile("A.JPG", 10, 1);
    OpenLinkQuietly();
    unsigned size = 0;
    EXPECT_EQ(ZQ_GetNumFiles(nullptr), PELSIM_STATUS_BAD_ARGUMENT);
    EXPECT_EQ(ZQ_GetFiles(nullptr, 14), PELSIM_STATUS_BAD_ARGUMENT);
    EXPECT_EQ(ZQ_GetFileSize(nullptr, &size), PELSIM_STATUS_BAD_ARGUMENT);
    EXPECT_EQ(ZQ_GetFileSize("A.JPG", nullptr), PELSIM_STATUS_BAD_ARGUMENT);
}

// A scripted count rules both the count and the size ZQ_GetFiles insists on.
struct ReportedCountCase {
    long long reported;
    unsigned size;
    std::string expected;
};

class ReportedCountTest : public PelcoreTest, public testing::WithParamInterface<ReportedCountCase> {};

TEST_P(ReportedCountTest, ListsThatManyRecords)
{
    AddTestFile("A.JPG", 10, 1);
    AddTestFile("B.JPG", 10, 2);
    PelSim_SetReportedCount(GetParam().reported);
    OpenLinkQuietly();

    unsigned count = 0;
    ASSERT_EQ(ZQ_GetNumFiles(&count), ZQ_STATUS_OK);
    EXPECT_EQ(static_cast<unsigned long long>(count) * ZQ_LIST_RECORD + 1, GetParam().size);
    std::vector<char> buffer = GuardedBuffer(GetParam().size);
    ASSERT_EQ(ZQ_GetFiles(buffer.data(), GetParam().size), ZQ_STATUS_OK);
    EXPECT_EQ(std::string(buffer.data(), GetParam().size), GetParam().expected);
    ExpectGuardsIntact(buffer, GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(
    Scripted, ReportedCountTest,
    testing::Values(ReportedCountCase{-1, 27, Record("A.JPG", ' ') + Record("B.JPG", ' ') + std::string(1, '\0')},
                    ReportedCountCase{1, 14, Record("A.JPG", ' ') + std::string(1, '\0')},
                    ReportedCountCase{0, 1, std::string(1, '\0')},
                    ReportedCountCase{3, 40, Record("A.JPG", ' ') + Record("B.JPG", ' ') + std::string(14, '\0')}));

// A count whose records overflow 32 bits: the size a 32-bit product gives is refused.
TEST_F(ListingTest, HugeReportedCountRefusesTheWrappedSize)
{
    const unsigned hugeCount = 330382100u;  // x 13 + 1 = 2^32 + 5
    PelSim_SetReportedCount(hugeCount);
    OpenLinkQuietly();
    unsigned count = 0;
    ASSERT_EQ(ZQ_GetNumFiles(&count), ZQ_STATUS_OK);
    EXPECT_EQ(count, hugeCount);
    std::vector<char> buffer = GuardedBuffer(8);
    EXPECT_EQ(ZQ_GetFiles(buffer.data(), count * ZQ_LIST_RECORD + 1), PELSIM_STATUS_BAD_ARGUMENT);
    ExpectGuardsIntact(buffer, 0);
}

TEST_F(ListingTest, ScriptedEndMarkReplacesTheZeroByte)
{
    AddTestFile("A.JPG", 10, 1);
    PelSim_SetListingEndMark('Q');
    OpenLinkQuietly();
    std::vector<char> buffer = GuardedBuffer(14);
    ASSERT_EQ(ZQ_GetFiles(buffer.data(), 14), ZQ_STATUS_OK);
    EXPECT_EQ(std::string(buffer.data(), 14), Record("A.JPG", ' ') + "Q");
}

TEST_F(ListingTest, RawRecordsStandAsGivenAndReadAsSizeZero)
{
    const char hostile[12] = {'.', '.', '\\', 'E', 'V', 'I', 'L', '.', 'J', 'P', 'G', 'X'};
    const char shortName[12] = {'C', '.', 'J', 'P', 'G'};
    AddTestFile("A.JPG", 10, 1);
    ASSERT_EQ(PelSim_AddRawListingRecord(hostile, '*'), 1);
    ASSERT_EQ(PelSim_AddRawListingRecord(shortName, ' '), 1);
    OpenLinkQuietly();

    std::vector<char> buffer = GuardedBuffer(40);
    ASSERT_EQ(ZQ_GetFiles(buffer.data(), 40), ZQ_STATUS_OK);
    EXPECT_EQ(std::string(buffer.data(), 40),
              Record("A.JPG", ' ') + std::string(hostile, 12) + "*" + Record("C.JPG", ' ') + std::string(1, '\0'));
    unsigned size = 99;
    EXPECT_EQ(ZQ_GetFileSize("..\\EVIL.JPGX", &size), ZQ_STATUS_OK);
    EXPECT_EQ(size, 0u);
    size = 99;
    EXPECT_EQ(ZQ_GetFileSize("C.JPG", &size), ZQ_STATUS_OK);
    EXPECT_EQ(size, 0u);
}

// What ZQ_GetFileSize answers for each kind of name.
struct FileSizeCase {
    const char* name;
    ComStatus expected;
    unsigned expectedSize;  // checked on success
};

class FileSizeTest : public PelcoreTest, public testing::WithParamInterface<FileSizeCase> {};

TEST_P(FileSizeTest, ReportsTheSizeOrFails)
{
    AddTestFile("A.JPG", 1234, 1);
    AddTestFile("ZERO.JPG", 500, 2);
    AddTestFile("EMPTY.TXT", 0, 3);
    ASSERT_EQ(PelSim_SetFileListing("ZERO.JPG", ' ', 1), 1);
    OpenLinkQuietly();

    unsigned size = 0xCDCDCDCD;
    EXPECT_EQ(ZQ_GetFileSize(GetParam().name, &size), GetParam().expected);
    EXPECT_EQ(size, GetParam().expected == ZQ_STATUS_OK ? GetParam().expectedSize : 0xCDCDCDCDu);
}

INSTANTIATE_TEST_SUITE_P(Names, FileSizeTest,
                         testing::Values(FileSizeCase{"A.JPG", ZQ_STATUS_OK, 1234}, FileSizeCase{"ZERO.JPG", ZQ_STATUS_OK, 0},
                                         FileSizeCase{"EMPTY.TXT", ZQ_STATUS_OK, 0},
                                         FileSizeCase{"a.jpg", PELSIM_STATUS_NO_SUCH_FILE, 0},
                                         FileSizeCase{"B.JPG", PELSIM_STATUS_NO_SUCH_FILE, 0},
                                         FileSizeCase{"", PELSIM_STATUS_BAD_ARGUMENT, 0},
                                         FileSizeCase{"ABCDEFGHI.JPG", PELSIM_STATUS_BAD_ARGUMENT, 0}));

TEST_F(ListingTest, ScriptingRefusesBadNamesAndUnknownFiles)
{
    unsigned char byte = 0;
    EXPECT_EQ(PelSim_AddFile("ABCDEFGHI.JPG", &byte, 1), 0);
    EXPECT_EQ(PelSim_AddFile("", &byte, 1), 0);
    EXPECT_EQ(PelSim_AddFile(nullptr, &byte, 1), 0);
    EXPECT_EQ(PelSim_AddFile("A.JPG", nullptr, 1), 0);
    EXPECT_EQ(PelSim_SetFileListing("A.JPG", '*', 0), 0);
    EXPECT_EQ(PelSim_RemoveFile("A.JPG"), 0);
    EXPECT_EQ(PelSim_FileCount(), 0);
}

TEST_F(ListingTest, AddingAnExistingNameReplacesItsContentInPlace)
{
    AddTestFile("A.JPG", 10, 1);
    AddTestFile("B.JPG", 10, 2);
    const std::vector<unsigned char> replaced = AddTestFile("A.JPG", 20, 3);
    EXPECT_EQ(PelSim_FileCount(), 2);
    std::vector<unsigned char> content(32);
    EXPECT_EQ(PelSim_GetFile("A.JPG", content.data(), 32), 20);
    content.resize(20);
    EXPECT_EQ(content, replaced);
    EXPECT_EQ(PelSim_RemoveFile("A.JPG"), 1);
    EXPECT_EQ(PelSim_GetFile("A.JPG", nullptr, 0), -1);
    EXPECT_EQ(PelSim_GetMediaFree(), 65536u);
}

}  // namespace

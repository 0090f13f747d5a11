// Bounds of the text helpers: none writes past the capacity it is given (guard bytes
// follow every buffer), each empties its destination first, and a conversion that
// does not fit leaves nothing half-converted.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "base/TextHelpers.h"

namespace {

constexpr int kGuard = 8;

// A destination of capacity characters followed by guard characters, all pre-filled.
template <typename Char> class GuardedBuffer {
public:
    static constexpr Char kFill = static_cast<Char>(0x5A);  // 'Z'

    explicit GuardedBuffer(int capacity) : m_capacity(capacity), m_chars(capacity + kGuard, kFill) {}

    Char* Data() { return m_chars.data(); }
    std::basic_string<Char> Text() const
    {
        size_t length = 0;
        while (length < static_cast<size_t>(m_capacity) && m_chars[length] != 0) ++length;
        return std::basic_string<Char>(m_chars.data(), length);
    }
    bool IsTerminatedWithinCapacity() const
    {
        for (int i = 0; i < m_capacity; ++i)
            if (m_chars[i] == 0) return true;
        return false;
    }
    bool GuardIntact() const
    {
        for (int i = m_capacity; i < m_capacity + kGuard; ++i)
            if (m_chars[i] != kFill) return false;
        return true;
    }
    bool Untouched() const { return GuardIntact() && (m_capacity == 0 || m_chars[0] == kFill); }

private:
    int m_capacity;
    std::vector<Char> m_chars;
};

struct CopyCase {
    const char* name;
    const char* source;  // may be null
    int capacity;
    const char* expected;  // null: nothing at all may be written
};

void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.name; }

const CopyCase kCopyCases[] = {
    {"CapacityZero", "abc", 0, nullptr},
    {"CapacityOne", "abc", 1, ""},
    {"NullSource", nullptr, 5, ""},
    {"EmptySource", "", 5, ""},
    {"ExactFit", "abcd", 5, "abcd"},
    {"OneTooLong", "abcde", 5, "abcd"},
    {"MuchTooLong", "abcdefghijklmnopqrstuvwxyz", 3, "ab"},
    {"Short", "ab", 10, "ab"},
};

// Nothing past the capacity; the expected text, or (expected null) no byte written at all.
void ExpectWrittenWithin(GuardedBuffer<char>& buffer, const char* expected)
{
    EXPECT_TRUE(buffer.GuardIntact());
    if (!expected) {
        EXPECT_TRUE(buffer.Untouched());
        return;
    }
    EXPECT_TRUE(buffer.IsTerminatedWithinCapacity());
    EXPECT_EQ(buffer.Text(), expected);
}

class CopyStringNTest : public testing::TestWithParam<CopyCase> {};

TEST_P(CopyStringNTest, StaysWithinCapacity)
{
    const CopyCase& c = GetParam();
    GuardedBuffer<char> buffer(c.capacity);
    CopyStringN(buffer.Data(), c.source, c.capacity);
    ExpectWrittenWithin(buffer, c.expected);
}

INSTANTIATE_TEST_SUITE_P(All, CopyStringNTest, testing::ValuesIn(kCopyCases),
                         [](const testing::TestParamInfo<CopyCase>& info) { return std::string(info.param.name); });

struct AppendCase {
    const char* name;
    const char* initial;
    const char* source;
    int capacity;
    const char* expected;  // null: nothing at all may be written
};

void PrintTo(const AppendCase& c, std::ostream* os) { *os << c.name; }

const AppendCase kAppendCases[] = {
    {"CapacityZero", "", "abc", 0, nullptr},
    {"CapacityOne", "", "abc", 1, ""},
    {"NullSource", "abc", nullptr, 8, "abc"},
    {"Fits", "abc", "de", 8, "abcde"},
    {"ExactFit", "abc", "defg", 8, "abcdefg"},
    {"OneTooLong", "abc", "defgh", 8, "abcdefg"},
    {"DestinationFull", "abcdefg", "x", 8, "abcdefg"},
    {"EmptyDestination", "", "abcdefghij", 4, "abc"},
};

class AppendStringNTest : public testing::TestWithParam<AppendCase> {};

TEST_P(AppendStringNTest, StaysWithinCapacity)
{
    const AppendCase& c = GetParam();
    GuardedBuffer<char> buffer(c.capacity);
    if (c.capacity > 0) CopyStringN(buffer.Data(), c.initial, c.capacity);
    AppendStringN(buffer.Data(), c.source, c.capacity);
    ExpectWrittenWithin(buffer, c.expected);
}

INSTANTIATE_TEST_SUITE_P(All, AppendStringNTest, testing::ValuesIn(kAppendCases),
                         [](const testing::TestParamInfo<AppendCase>& info) { return std::string(info.param.name); });

// Conversions: the whole string with its terminator fits, or the destination stays empty.
struct ConvertCase {
    const char* name;
    const wchar_t* wide;  // may be null
    const char* ansi;     // the same text in the ANSI code page (1252); may be null
    int capacity;
    bool fits;  // false: the destination ends empty; capacity 0: nothing written at all
};

void PrintTo(const ConvertCase& c, std::ostream* os) { *os << c.name; }

const ConvertCase kConvertCases[] = {
    {"CapacityZero", L"abc", "abc", 0, false},
    {"CapacityOne", L"abc", "abc", 1, false},
    {"CapacityOneEmpty", L"", "", 1, true},
    {"NullSource", nullptr, nullptr, 5, false},
    {"ExactFit", L"abcd", "abcd", 5, true},
    {"OneTooLong", L"abcde", "abcde", 5, false},
    {"NonAscii", L"caf\u00e9 \u00fc", "caf\xe9 \xfc", 7, true},
    {"NonAsciiOneTooLong", L"caf\u00e9 \u00fc", "caf\xe9 \xfc", 6, false},
};

class ConversionTest : public testing::TestWithParam<ConvertCase> {
protected:
    void SetUp() override
    {
        if (GetACP() != 1252) GTEST_SKIP() << "the cases are written for code page 1252";
    }
};

TEST_P(ConversionTest, WideToAnsiStaysWithinCapacity)
{
    const ConvertCase& c = GetParam();
    GuardedBuffer<char> buffer(c.capacity);
    WideToAnsi(buffer.Data(), c.wide, c.capacity);
    EXPECT_TRUE(buffer.GuardIntact());
    if (c.capacity == 0) {
        EXPECT_TRUE(buffer.Untouched());
        return;
    }
    EXPECT_TRUE(buffer.IsTerminatedWithinCapacity());
    EXPECT_EQ(buffer.Text(), c.fits ? std::string(c.ansi) : std::string());
}

TEST_P(ConversionTest, AnsiToWideStaysWithinCapacity)
{
    const ConvertCase& c = GetParam();
    GuardedBuffer<wchar_t> buffer(c.capacity);
    AnsiToWide(buffer.Data(), c.ansi, c.capacity);
    EXPECT_TRUE(buffer.GuardIntact());
    if (c.capacity == 0) {
        EXPECT_TRUE(buffer.Untouched());
        return;
    }
    EXPECT_TRUE(buffer.IsTerminatedWithinCapacity());
    EXPECT_EQ(buffer.Text(), c.fits ? std::wstring(c.wide) : std::wstring());
}

INSTANTIATE_TEST_SUITE_P(All, ConversionTest, testing::ValuesIn(kConvertCases),
                         [](const testing::TestParamInfo<ConvertCase>& info) { return std::string(info.param.name); });

// A null destination is refused, not written through.
TEST(TextHelpers, NullDestinationIsIgnored)
{
    CopyStringN(nullptr, "abc", 4);
    AppendStringN(nullptr, "abc", 4);
    WideToAnsi(nullptr, L"abc", 4);
    AnsiToWide(nullptr, "abc", 4);
    SUCCEED();
}

}  // namespace

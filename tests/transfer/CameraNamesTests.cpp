// Camera names for files sent to the camera: the first candidate, the next one, and whole
// runs of naming compared with a plain walk of the rules.
#include <gtest/gtest.h>
#include <cstring>
#include <set>
#include <string>
#include <vector>
#include "transfer/CameraNames.h"

namespace {
// ---- The rules walked as they are written: every name starts at its first candidate and
// steps through the candidates until neither a name sent in the run (compared exactly) nor a
// row of the view (compared without regard to case) holds it.

// The first candidate: dot = length - 4, the base after the last backslash before it.
std::string LiteralFirstName(const std::string& path)
{
    const size_t dot = path.size() - 4;
    const size_t slash = path.rfind('\\', dot);
    size_t position = slash == std::string::npos ? 0 : slash + 1;
    std::string name;
    for (; name.size() < 8 && position < dot; ++position) name += path[position];
    if (name.size() < 8) name.append(8 - name.size(), ' ');
    else if (position < dot) name.replace(6, 2, "~1");
    name += path.substr(dot, 4);
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return name;
}

// The next candidate: "~1" at 6 and 7 when there is no '~', else the number after the last '~' plus one.
std::string LiteralNextName(std::string name)
{
    const size_t tilde = name.rfind('~');
    if (tilde == std::string::npos) return name.replace(6, 2, "~1");
    const size_t dot = name.find('.', tilde);
    const std::string digits = name.substr(tilde + 1, dot - tilde - 1);
    const std::string next = std::to_string(std::stoul(digits) + 1);
    const size_t newTilde = next.size() > digits.size() ? tilde - 1 : tilde;
    return name.replace(newTilde, dot - newTilde, "~" + next);
}

struct CaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const { return _stricmp(a.c_str(), b.c_str()) < 0; }
};

struct Upload {
    std::string path;
    bool sent = true;  // false: the transfer failed and the name is not recorded
};

std::vector<std::string> LiteralWalk(const std::vector<Upload>& uploads, const std::vector<std::string>& rows)
{
    const std::set<std::string, CaseInsensitiveLess> listed(rows.begin(), rows.end());
    std::set<std::string> sent;
    std::vector<std::string> names;
    for (const Upload& upload : uploads) {
        std::string name = LiteralFirstName(upload.path);
        while (sent.count(name) || listed.count(name)) name = LiteralNextName(name);
        names.push_back(name);
        if (upload.sent) sent.insert(name);
    }
    return names;
}

// ---- The same run through CameraNameSet, seeded with the rows.
std::vector<std::string> NameSetWalk(const std::vector<Upload>& uploads, const std::vector<std::string>& rows)
{
    CameraNameSet taken;
    for (const std::string& row : rows) EXPECT_EQ(taken.Add(row.c_str()), S_OK);
    std::vector<std::string> names;
    for (const Upload& upload : uploads) {
        char name[kCameraNameBuffer];
        EXPECT_EQ(taken.MakeCameraName(upload.path.c_str(), name), S_OK) << upload.path;
        names.push_back(name);
        if (upload.sent) {
            EXPECT_EQ(taken.Add(name), S_OK);
        }
    }
    return names;
}

std::string Dsc(int number)
{
    char path[64];
    snprintf(path, sizeof(path), "C:\\Pictures\\DSC_%06d.jpg", number);
    return path;
}

// The names a first run of n DSC files got, as the camera lists them.
std::vector<std::string> EarlierDscNames(int n, bool mixedCase)
{
    std::vector<std::string> rows;
    std::string name = "DSC_00~1.JPG";
    for (int i = 0; i < n; ++i, name = LiteralNextName(name)) {
        std::string row = name;
        if (mixedCase && i % 3 == 0) CharLowerBuffA(row.data(), static_cast<DWORD>(row.size()));
        rows.push_back(row);
    }
    return rows;
}

struct RunCase {
    const char* label;
    std::vector<Upload> uploads;
    std::vector<std::string> rows;
    std::vector<std::string> expectedStart;  // the first names, written out
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.label; }

std::vector<Upload> DscUploads(int n, int failEvery)
{
    std::vector<Upload> uploads;
    for (int i = 1; i <= n; ++i) uploads.push_back({Dsc(i), failEvery == 0 || i % failEvery != 0});
    return uploads;
}

class NamingRunTest : public testing::TestWithParam<RunCase> {};

TEST_P(NamingRunTest, GivesExactlyTheNamesOfTheRules)
{
    const RunCase& c = GetParam();

    const std::vector<std::string> names = NameSetWalk(c.uploads, c.rows);

    EXPECT_EQ(names, LiteralWalk(c.uploads, c.rows));
    ASSERT_GE(names.size(), c.expectedStart.size());
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + c.expectedStart.size()), c.expectedStart);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, NamingRunTest,
    testing::Values(
        RunCase{"Examples",
                {{"C:\\a.jpg"}, {"C:\\docs\\notes.txt"}, {"C:\\x\\photo.jpg"}, {"D:\\y\\photo.jpg"}, {"C:\\z\\Photo.JPG"},
                 {"C:\\dog.jpg"}, {"C:\\holiday.jpg"}, {"C:\\holidays2.jpg"}, {"C:\\holidays3.jpg"}},
                {"photo   .jpg"},
                {"A       .JPG", "NOTES   .TXT", "PHOTO ~1.JPG", "PHOTO ~2.JPG", "PHOTO ~3.JPG", "DOG     .JPG",
                 "HOLIDAY .JPG", "HOLIDA~1.JPG", "HOLIDA~2.JPG"}},
        RunCase{"CounterGrowsLeft", {{"C:\\dog.jpg"}, {"C:\\dog.jpg"}},
                {"DOG     .JPG", "DOG   ~1.JPG", "DOG   ~2.JPG", "DOG   ~3.JPG", "DOG   ~4.JPG", "DOG   ~5.JPG",
                 "DOG   ~6.JPG", "DOG   ~7.JPG", "DOG   ~8.JPG", "DOG   ~9.JPG"},
                {"DOG  ~10.JPG", "DOG  ~11.JPG"}},
        RunCase{"ThousandIntoThousandRows", DscUploads(1000, 0), EarlierDscNames(1000, true),
                {"DSC~1001.JPG", "DSC~1002.JPG"}},
        RunCase{"FailedSendsFreeTheirNames", DscUploads(1000, 3), {}, {"DSC_00~1.JPG", "DSC_00~2.JPG", "DSC_00~3.JPG", "DSC_00~3.JPG"}}),
    [](const testing::TestParamInfo<RunCase>& info) { return std::string(info.param.label); });

TEST(CameraNames, FirstCandidateOfEveryPath)
{
    const struct {
        const char* path;
        const char* name;  // null: the path gives no name
    } cases[] = {
        {"C:\\pics\\dog.jpg", "DOG     .JPG"},
        {"C:\\pics\\holiday.jpg", "HOLIDAY .JPG"},
        {"C:\\pics\\holidays2.jpg", "HOLIDA~1.JPG"},
        {"C:\\Photo.JPG", "PHOTO   .JPG"},
        {"C:\\dir.with.dots\\ab.mp3", "AB      .MP3"},
        {"C:\\my.photo.jpg", "MY.PHOTO.JPG"},
        {"C:\\my.photos.jpg", "MY.PHO~1.JPG"},
        {"C:\\pics\\a~b.wav", "A~B     .WAV"},
        {"C:/pics/dog.jpg", "DOG     .JPG"},
        {"C:dog.jpg", "DOG     .JPG"},
        {"C:\\x\\xjpg", "X       .JPG"},
        {"C:\\x\\photo.ajpg", "PHOTO.A .JPG"},
        {"xjpg", "X       .JPG"},
        {"jpg", "        .JPG"},
        {"C:\\.jpg", "        .JPG"},
        {"C:\\ab", nullptr},
        {"C:\\", nullptr},
        {"", nullptr},
        {nullptr, nullptr},
        {"C:\\x\\a..jp", nullptr},
        {"C:\\x\\a.j p", nullptr},
        {"C:\\x\\a.j~1", nullptr},
    };
    for (const auto& c : cases) {
        char name[kCameraNameBuffer];
        memset(name, 'x', sizeof(name));
        EXPECT_EQ(FirstCameraName(c.path, name), c.name != nullptr) << (c.path ? c.path : "(null)");
        EXPECT_STREQ(name, c.name ? c.name : "") << (c.path ? c.path : "(null)");
    }
}

TEST(CameraNames, NextCandidateOfEveryName)
{
    const struct {
        const char* name;
        const char* next;  // null: there is none, the name stays
    } cases[] = {
        {"DOG     .JPG", "DOG   ~1.JPG"},
        {"HOLIDA~1.JPG", "HOLIDA~2.JPG"},
        {"DOG   ~9.JPG", "DOG  ~10.JPG"},
        {"DSC_0~99.JPG", "DSC_~100.JPG"},
        {"~9999998.JPG", "~9999999.JPG"},
        {"~9999999.JPG", nullptr},
        {"A~B     .JPG", "A~B   ~1.JPG"},  // a '~' of the PC name is no counter
        {"A~1 B   .JPG", "A~1 B ~1.JPG"},
        {"ABCDEFG~.JPG", "ABCDEF~1.JPG"},
        {"AB~01234.JPG", "AB~01235.JPG"},
        {"AB~09999.JPG", "AB~10000.JPG"},
        {"DOG.JPG", nullptr},
        {"DOGXJPGXXXXX", nullptr},
        {"DOG     .JPEG", nullptr},
    };
    for (const auto& c : cases) {
        char name[16] = {};
        strcpy(name, c.name);
        EXPECT_EQ(NextCameraName(name), c.next != nullptr) << c.name;
        EXPECT_STREQ(name, c.next ? c.next : c.name) << c.name;
    }
}

TEST(CameraNames, PathsWithoutAFreeNameAreReportedNotLooped)
{
    CameraNameSet taken;
    ASSERT_EQ(taken.Add("~9999999.JPG"), S_OK);
    ASSERT_EQ(taken.Add("dog     .jpg"), S_OK);
    const struct {
        const char* path;
        HRESULT result;
        const char* name;
    } cases[] = {
        {"C:\\~9999999.jpg", HRESULT_FROM_WIN32(ERROR_FILE_EXISTS), ""},
        {"C:\\~9999999.jpg", HRESULT_FROM_WIN32(ERROR_FILE_EXISTS), ""},
        {"C:\\ab", HRESULT_FROM_WIN32(ERROR_INVALID_NAME), ""},
        {"C:\\Dog.jpg", S_OK, "DOG   ~1.JPG"},
    };
    for (const auto& c : cases) {
        char name[kCameraNameBuffer] = "stale";
        EXPECT_EQ(taken.MakeCameraName(c.path, name), c.result) << c.path;
        EXPECT_STREQ(name, c.name) << c.path;
    }
    EXPECT_TRUE(taken.Contains("DOG     .JPG"));
    EXPECT_FALSE(taken.Contains("DOG   ~1.JPG"));
}
}  // namespace

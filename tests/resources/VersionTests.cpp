// The version resource of the built module, read back as the about box reads versions.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "BuiltModule.h"

namespace {

std::vector<BYTE> ReadVersionInfo(const std::string& path)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    std::vector<BYTE> block(size);
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, block.data())) block.clear();
    return block;
}

struct VersionStringCase {
    const char* name;
    const char* value;
};

void PrintTo(const VersionStringCase& c, std::ostream* os) { *os << c.name; }

const VersionStringCase kVersionStrings[] = {
    {"ProductVersion", "1, 2, 0, 31"},
    {"FileVersion", "1, 2, 0, 17"},
    {"FileDescription", "Lumora Shell Namespace Extension"},
    {"InternalName", "Lumora Shell Namespace Extension"},
    {"OriginalFilename", "tolvane.dll"},
};

class VersionStringTest : public testing::TestWithParam<VersionStringCase> {};

TEST_P(VersionStringTest, ReadsBackFromUsEnglishUnicodeTable)
{
    std::vector<BYTE> block = ReadVersionInfo(BuiltModulePath());
    ASSERT_FALSE(block.empty());
    const std::string query = std::string("\\StringFileInfo\\040904b0\\") + GetParam().name;
    char* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length));
    ASSERT_NE(value, nullptr);
    EXPECT_STREQ(value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(All, VersionStringTest, testing::ValuesIn(kVersionStrings),
                         [](const testing::TestParamInfo<VersionStringCase>& info) { return std::string(info.param.name); });

TEST(VersionResource, TranslationIsUsEnglishUnicode)
{
    std::vector<BYTE> block = ReadVersionInfo(BuiltModulePath());
    ASSERT_FALSE(block.empty());
    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04b0);
}

TEST(VersionResource, FixedVersionsMatchTheStrings)
{
    std::vector<BYTE> block = ReadVersionInfo(BuiltModulePath());
    ASSERT_FALSE(block.empty());
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(info->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(info->dwFileVersionMS, static_cast<DWORD>(MAKELONG(2, 1)));
    EXPECT_EQ(info->dwFileVersionLS, static_cast<DWORD>(MAKELONG(17, 0)));
    EXPECT_EQ(info->dwProductVersionMS, static_cast<DWORD>(MAKELONG(2, 1)));
    EXPECT_EQ(info->dwProductVersionLS, static_cast<DWORD>(MAKELONG(31, 0)));
    EXPECT_EQ(info->dwFileType, static_cast<DWORD>(VFT_DLL));
}

}  // namespace

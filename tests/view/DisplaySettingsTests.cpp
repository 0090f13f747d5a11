// The column widths kept as "Display Settings": what a stored value gives, what is written.
#include <gtest/gtest.h>
#include <windows.h>
#include <optional>
#include <vector>
#include "base/Raii.h"
#include "view/DisplaySettings.h"
#include "ViewTestSupport.h"

namespace {

struct StoredValue {
    const char* what;
    std::optional<std::vector<BYTE>> bytes;  // none: no value
    DWORD type;
    std::vector<int> widths;                 // what the process then uses
};

std::vector<BYTE> Widths(std::initializer_list<INT32> widths)
{
    std::vector<BYTE> bytes;
    for (INT32 width : widths) {
        const BYTE* p = reinterpret_cast<const BYTE*>(&width);
        bytes.insert(bytes.end(), p, p + sizeof(width));
    }
    return bytes;
}

std::vector<int> CurrentWidths()
{
    const DisplaySettings settings = CurrentDisplaySettings();
    return {settings.widths, settings.widths + kColumnCount};
}

class DisplaySettingsTest : public testing::Test {
protected:
    void TearDown() override
    {
        DeleteStoredDisplaySettings();
        ReadDisplaySettings();
    }
};

TEST_F(DisplaySettingsTest, StoredValueGivesTheWidthsItHolds)
{
    const StoredValue rows[] = {
        {"no value", std::nullopt, REG_BINARY, {100, 100, 100}},
        {"12 bytes", Widths({150, 60, 90}), REG_BINARY, {150, 60, 90}},
        {"type not examined", Widths({150, 60, 90}), REG_SZ, {150, 60, 90}},
        {"8 bytes: the type width stays", Widths({150, 60}), REG_BINARY, {150, 60, 100}},
        {"3 bytes", {{1, 2, 3}}, REG_BINARY, {100, 100, 100}},
        {"16 bytes", Widths({150, 60, 90, 5}), REG_BINARY, {100, 100, 100}},
        {"out of range", Widths({-5, 40000, 0}), REG_BINARY, {100, 100, 0}},
    };
    for (const StoredValue& row : rows) {
        DeleteStoredDisplaySettings();
        if (row.bytes) WriteStoredDisplaySettings(*row.bytes, row.type);
        ReadDisplaySettings();
        EXPECT_EQ(CurrentWidths(), row.widths) << row.what;
    }
}

TEST_F(DisplaySettingsTest, StoringWritesTwelveBytesAtOnce)
{
    StoreDisplaySettings({{180, 70, -1}});
    DWORD type = 0;
    EXPECT_EQ(ReadStoredDisplaySettings(&type), Widths({180, 70, -1}));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(CurrentWidths(), (std::vector<int>{180, 70, -1}));
}

}  // namespace

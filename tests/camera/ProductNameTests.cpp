// The product name from the registry: which key wins, and values that do not fit.
#include "camera/CameraTestSupport.h"
#include "camera/ProductName.h"

namespace {
const char kSettings[] = "Software\\Qorvix\\Lumora\\InformationSettings";
const char kFallback[] = "Software\\Corvane\\Lumora";
const char kPointedTo[] = "Software\\LumoraTestProduct\\Names";

struct Lookup {
    bool found;
    std::string name;
};

Lookup LookUp(DWORD capacity = 100)
{
    char buffer[128];
    memset(buffer, 'x', sizeof(buffer));
    const bool found = ReadProductName(buffer, capacity);
    return {found, std::string(buffer, strnlen(buffer, sizeof(buffer)))};
}
}  // namespace

using ProductNameTest = CameraTest;

TEST_F(ProductNameTest, NothingRegisteredIsNotFound)
{
    const Lookup lookup = LookUp();
    EXPECT_FALSE(lookup.found);
    EXPECT_EQ(lookup.name, "");
}

TEST_F(ProductNameTest, SettingsKeyPointsToTheNameAndWinsOverTheOldKey)
{
    SetRegistryText(kSettings, "Path", kPointedTo);
    SetRegistryText(kPointedTo, "ProductName", "Pointed Cam");
    SetRegistryText(kFallback, "ProductName", "Old Cam");

    const Lookup lookup = LookUp();
    EXPECT_TRUE(lookup.found);
    EXPECT_EQ(lookup.name, "Pointed Cam");
}

TEST_F(ProductNameTest, OldKeyIsReadWhenThereAreNoSettings)
{
    SetRegistryText(kFallback, "ProductName", "Old Cam");

    const Lookup lookup = LookUp();
    EXPECT_TRUE(lookup.found);
    EXPECT_EQ(lookup.name, "Old Cam");
}

TEST_F(ProductNameTest, SettingsKeyWithoutAUsablePathHidesTheOldKey)
{
    SetRegistryText(kFallback, "ProductName", "Old Cam");
    // No "Path" value, a path to no key, a key without the name, an empty path.
    const char* const cases[] = {nullptr, "Software\\LumoraTestProduct\\Missing", kPointedTo, ""};
    for (const char* path : cases) {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Qorvix");
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\LumoraTestProduct");
        SetRegistryValue(kSettings, nullptr, REG_SZ, nullptr, 0);
        if (path) SetRegistryText(kSettings, "Path", path);
        if (path == kPointedTo) SetRegistryValue(kPointedTo, nullptr, REG_SZ, nullptr, 0);

        const Lookup lookup = LookUp();
        EXPECT_FALSE(lookup.found) << (path ? path : "(no Path)");
        EXPECT_EQ(lookup.name, "");
    }
}

TEST_F(ProductNameTest, ValuesThatDoNotFitOrEndAreNotFound)
{
    const struct {
        DWORD type;
        std::string bytes;  // stored as they stand
        bool found;
        std::string name;
    } cases[] = {
        {REG_SZ, std::string(99, 'N') + '\0', true, std::string(99, 'N')},
        {REG_SZ, std::string(100, 'N') + '\0', false, ""},
        {REG_BINARY, std::string(100, 'B'), false, ""},
        {REG_BINARY, "Cam", true, "Cam"},
        {REG_SZ, std::string(1, '\0'), false, ""},
        {REG_SZ, std::string(300, 'L') + '\0', false, ""},
    };
    for (const auto& c : cases) {
        SetRegistryValue(kFallback, "ProductName", c.type, c.bytes.data(), static_cast<DWORD>(c.bytes.size()));

        const Lookup lookup = LookUp();
        EXPECT_EQ(lookup.found, c.found) << c.bytes.size();
        EXPECT_EQ(lookup.name, c.name) << c.bytes.size();
    }
}

TEST_F(ProductNameTest, SmallBufferTakesOnlyWhatFits)
{
    SetRegistryText(kFallback, "ProductName", "Camera Pro");

    EXPECT_FALSE(LookUp(8).found);
    EXPECT_EQ(LookUp(8).name, "");
    EXPECT_TRUE(LookUp(11).found);
    EXPECT_FALSE(ReadProductName(nullptr, 100));
}

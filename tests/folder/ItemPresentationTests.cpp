// Size texts, type names and icons of camera items, against what the shell itself answers.
#include <shlwapi.h>
#include "FolderTestSupport.h"

namespace {

class ItemPresentationTest : public FolderTest {};

// The size text the manager gives for a size, in a buffer of the given capacity.
std::string SizeText(ItemIdManager& manager, DWORD size, int capacity = 64)
{
    LPITEMIDLIST list = manager.CreateItem("FILE.JPG", size);
    std::vector<char> buffer(capacity + 1, '#');
    const int length = manager.GetItemSizeText(list, buffer.data(), capacity);
    manager.Delete(list);
    EXPECT_EQ(buffer[capacity], '#') << "written past the capacity";
    if (capacity == 0) return std::string(buffer.data(), 1);
    EXPECT_EQ(length, lstrlenA(buffer.data()));
    return buffer.data();
}

// What the platform formatter answers itself, in the ANSI code page.
std::string PlatformSizeText(DWORD size)
{
    wchar_t wide[64] = L"";
    StrFormatKBSizeW(size, wide, 64);
    char text[64] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text), nullptr, nullptr);
    return text;
}

SHFILEINFOA ShellFileInfo(const char* name, UINT flags)
{
    SHFILEINFOA info = {};
    info.iIcon = -1;
    SHGetFileInfoA(name, FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags | SHGFI_USEFILEATTRIBUTES);
    return info;
}

// Points the size formatting at a library that does not exist for the length of a test.
class WithoutPlatformFormatter {
public:
    WithoutPlatformFormatter() : m_pszPrevious(g_pszSizeFormatLibrary) { g_pszSizeFormatLibrary = "lumora-no-such.dll"; }
    ~WithoutPlatformFormatter() { g_pszSizeFormatLibrary = m_pszPrevious; }

private:
    const char* m_pszPrevious;
};

TEST_F(ItemPresentationTest, SizeTextIsThePlatformsOwn)
{
    for (DWORD size : {0u, 1000u, 1024u, 1500000u, 0xFFFFFFFFu})
        EXPECT_EQ(SizeText(*m_pManager, size), PlatformSizeText(size)) << size;
    EXPECT_NE(SizeText(*m_pManager, 1000), "0 KB") << "the platform rounds up; only the fallback rounds down";
}

struct FallbackCase {
    DWORD size;
    int capacity;
    const char* text;
};

class SizeTextFallback : public ItemPresentationTest, public testing::WithParamInterface<FallbackCase> {};

TEST_P(SizeTextFallback, WholeKilobytesRoundedDownCutToCapacity)
{
    WithoutPlatformFormatter noFormatter;
    const FallbackCase& c = GetParam();
    EXPECT_EQ(SizeText(*m_pManager, c.size, c.capacity), c.text);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SizeTextFallback,
                         testing::Values(FallbackCase{0, 64, "0 KB"}, FallbackCase{1023, 64, "0 KB"},
                                         FallbackCase{1024, 64, "1 KB"}, FallbackCase{1500000, 64, "1464 KB"},
                                         FallbackCase{0xFFFFFFFF, 64, "4194303 KB"},
                                         FallbackCase{0xFFFFFFFF, 11, "4194303 KB"},
                                         FallbackCase{0xFFFFFFFF, 10, "4194303 K"},
                                         FallbackCase{1500000, 4, "146"}, FallbackCase{1500000, 1, ""}));

TEST_F(ItemPresentationTest, CapacityZeroWritesNothing)
{
    EXPECT_EQ(SizeText(*m_pManager, 1500000, 0), "#");
    WithoutPlatformFormatter noFormatter;
    EXPECT_EQ(SizeText(*m_pManager, 1500000, 0), "#");
}

TEST_F(ItemPresentationTest, SmallBufferKeepsThePlatformTextInside)
{
    for (int capacity = 1; capacity < 12; ++capacity) {
        const std::string text = SizeText(*m_pManager, 0xFFFFFFFF, capacity);
        EXPECT_LT(static_cast<int>(text.size()), capacity);
    }
}

TEST_F(ItemPresentationTest, NullItemLeavesSizeTextAloneAndEmptiesTypeName)
{
    char buffer[16] = "keep";
    EXPECT_EQ(m_pManager->GetItemSizeText(nullptr, buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "keep");
    EXPECT_EQ(m_pManager->GetItemTypeName(nullptr, buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(m_pManager->GetItemIconIndex(nullptr), -1);
}

// Type name and icon depend on the extension only, exactly as the shell gives them.
class TypeByExtension : public ItemPresentationTest, public testing::WithParamInterface<const char*> {};

TEST_P(TypeByExtension, MatchesTheShellForAnyName)
{
    const std::string extension = GetParam();
    const SHFILEINFOA typeInfo = ShellFileInfo(("X" + extension).c_str(), SHGFI_TYPENAME);
    const SHFILEINFOA iconInfo = ShellFileInfo(("X" + extension).c_str(), SHGFI_SYSICONINDEX);
    for (const char* stem : {"A", "DSC00001", "Z_9"}) {
        LPITEMIDLIST list = Item((stem + extension).c_str(), 5);
        char type[MAX_PATH] = "";
        EXPECT_EQ(m_pManager->GetItemTypeName(list, type, MAX_PATH), lstrlenA(typeInfo.szTypeName));
        EXPECT_STREQ(type, typeInfo.szTypeName) << stem;
        EXPECT_EQ(m_pManager->GetItemIconIndex(list), iconInfo.iIcon) << stem;
        Free(list);
    }
    EXPECT_NE(typeInfo.szTypeName[0], '\0');
}

INSTANTIATE_TEST_SUITE_P(Extensions, TypeByExtension, testing::Values(".JPG", ".TXT", ".WAV", ".AVI", ".XYZ"));

TEST_F(ItemPresentationTest, TypeNameIsCutToCapacity)
{
    LPITEMIDLIST list = Item("A.TXT", 5);
    const SHFILEINFOA info = ShellFileInfo("A.TXT", SHGFI_TYPENAME);
    char type[8];
    memset(type, '#', sizeof(type));
    EXPECT_EQ(m_pManager->GetItemTypeName(list, type, 4), 3);
    EXPECT_EQ(std::string(type), std::string(info.szTypeName, 3));
    EXPECT_EQ(type[4], '#');
    Free(list);
}

}  // namespace

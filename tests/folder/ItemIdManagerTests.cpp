// The byte layout of camera item identifiers and the walks over lists of them.
#include "FolderTestSupport.h"

namespace {

class ItemIdManagerTest : public FolderTest {};

const BYTE* Bytes(LPCITEMIDLIST list)
{
    return reinterpret_cast<const BYTE*>(list);
}

TEST_F(ItemIdManagerTest, TwelveCharacterNameMakesA26ByteList)
{
    LPITEMIDLIST list = Item("ABCDEFGH.JPG", 123456);
    ASSERT_NE(list, nullptr);
    const BYTE* bytes = Bytes(list);

    const BYTE head[] = {0x17, 0x00, 0x40, 0xE2, 0x01, 0x00};
    EXPECT_EQ(memcmp(bytes, head, sizeof(head)), 0);
    EXPECT_EQ(memcmp(bytes + 6, "ABCDEFGH.JPG", 13), 0);  // the name and its zero at 18
    EXPECT_EQ(bytes[23], 0);
    EXPECT_EQ(bytes[24], 0);
    EXPECT_EQ(bytes[25], 0);
    EXPECT_EQ(m_pManager->GetListSize(list), 26u);
    EXPECT_EQ(m_pManager->GetNextItem(list), reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(bytes + 23)));
    Free(list);
}

TEST_F(ItemIdManagerTest, EmptyNameMakesTheSmallestItem)
{
    LPITEMIDLIST list = Item("", 7);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->mkid.cb, 11);
    EXPECT_EQ(m_pManager->GetListSize(list), 14u);
    char buffer[16] = "untouched";
    EXPECT_EQ(m_pManager->GetItemName(list, buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(m_pManager->GetItemFileSize(list), 7u);
    Free(list);
}

TEST_F(ItemIdManagerTest, NamesTheCameraNeverListsAreRefused)
{
    EXPECT_EQ(Item("ABCDEFGHI.JPG", 1), nullptr);  // 13 bytes
    EXPECT_EQ(Item(nullptr, 1), nullptr);
    LPITEMIDLIST twelve = Item("ABCDEFGHIJKL", 1);
    EXPECT_NE(twelve, nullptr);
    Free(twelve);
}

struct NameCase {
    int capacity;
    int length;
    const char* text;
};

class GetItemNameCapacity : public ItemIdManagerTest, public testing::WithParamInterface<NameCase> {};

TEST_P(GetItemNameCapacity, CutsToCapacityAndNeverWritesPastIt)
{
    const NameCase& c = GetParam();
    LPITEMIDLIST list = Item("ABCDEFGH.JPG", 1);
    std::vector<char> buffer(c.capacity + 1, '#');
    EXPECT_EQ(m_pManager->GetItemName(list, buffer.data(), c.capacity), c.length);
    if (c.capacity > 0) {
        EXPECT_STREQ(buffer.data(), c.text);
    }
    EXPECT_EQ(buffer[c.capacity], '#');
    Free(list);
}

INSTANTIATE_TEST_SUITE_P(Capacities, GetItemNameCapacity,
                         testing::Values(NameCase{260, 12, "ABCDEFGH.JPG"}, NameCase{13, 12, "ABCDEFGH.JPG"},
                                         NameCase{12, 11, "ABCDEFGH.JP"}, NameCase{5, 4, "ABCD"},
                                         NameCase{1, 0, ""}, NameCase{0, 0, nullptr}));

TEST_F(ItemIdManagerTest, NullItemsReadAsNothing)
{
    char buffer[8] = "keep";
    EXPECT_EQ(m_pManager->GetItemName(nullptr, buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "keep");
    EXPECT_EQ(m_pManager->GetItemFileSize(nullptr), 0u);
    EXPECT_EQ(m_pManager->GetItemData(nullptr), nullptr);
    EXPECT_EQ(m_pManager->GetNextItem(nullptr), nullptr);
    EXPECT_EQ(m_pManager->GetLastItem(nullptr), nullptr);
    EXPECT_EQ(m_pManager->GetListSize(nullptr), 0u);
    EXPECT_EQ(m_pManager->Copy(nullptr), nullptr);
    m_pManager->Delete(nullptr);
}

TEST_F(ItemIdManagerTest, SizesAreUnsigned)
{
    for (DWORD size : {0u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        LPITEMIDLIST list = Item("BIG.AVI", size);
        EXPECT_EQ(m_pManager->GetItemFileSize(list), size);
        Free(list);
    }
}

TEST_F(ItemIdManagerTest, ItemDataStartsBehindTheByteCount)
{
    LPITEMIDLIST list = Item("A.JPG", 0x01020304);
    EXPECT_EQ(m_pManager->GetItemData(list), Bytes(list) + 2);
    EXPECT_EQ(m_pManager->GetItemData(list)[0], 0x04);
    Free(list);
}

TEST_F(ItemIdManagerTest, WalksStopAtTheTerminator)
{
    LPITEMIDLIST list = Item("A.JPG", 1);
    LPITEMIDLIST terminator = m_pManager->GetNextItem(list);
    EXPECT_EQ(Bytes(terminator), Bytes(list) + list->mkid.cb);
    EXPECT_EQ(m_pManager->GetNextItem(terminator), terminator);
    EXPECT_EQ(m_pManager->GetLastItem(list), list);
    EXPECT_EQ(m_pManager->GetLastItem(terminator), nullptr);
    Free(list);
}

TEST_F(ItemIdManagerTest, LastItemOfTwoLevelsIsTheSecond)
{
    const std::vector<BYTE> bytes = RawList({{"FIRST.JPG", 1}, {"SECOND.TXT", 2}});
    LPCITEMIDLIST list = AsList(bytes);
    LPITEMIDLIST last = m_pManager->GetLastItem(list);
    ASSERT_EQ(Bytes(last), bytes.data() + 20);
    char name[16];
    EXPECT_EQ(m_pManager->GetItemName(last, name, sizeof(name)), 10);
    EXPECT_STREQ(name, "SECOND.TXT");
    EXPECT_EQ(m_pManager->GetListSize(list), bytes.size());
}

TEST_F(ItemIdManagerTest, CopyHoldsEveryItemAndAThreeByteTerminator)
{
    std::vector<BYTE> bytes = RawList({{"ONE.JPG", 10}, {"TWO.JPG", 20}});
    bytes.pop_back();  // the shell's own lists end with two zero bytes
    GuardedBytes source(bytes);
    LPITEMIDLIST copy = m_pManager->Copy(source.List());
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, source.List());
    EXPECT_EQ(memcmp(copy, bytes.data(), bytes.size() - 2), 0);
    const BYTE* end = Bytes(copy) + bytes.size() - 2;
    EXPECT_EQ(end[0] | end[1] | end[2], 0);
    EXPECT_EQ(m_pManager->GetListSize(copy), bytes.size() + 1);
    Free(copy);
}

// Items from callers that no camera listing makes: read as nothing, never past their end.
struct HostileCase {
    const char* what;
    std::vector<BYTE> bytes;
};

class HostileItem : public ItemIdManagerTest, public testing::WithParamInterface<HostileCase> {};

TEST_P(HostileItem, ReadsAsEmptyWithoutReadingPastIt)
{
    GuardedBytes item(GetParam().bytes);
    char buffer[32] = "keep";
    EXPECT_EQ(m_pManager->GetItemName(item.List(), buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(m_pManager->GetItemFileSize(item.List()), 0u);
    EXPECT_EQ(m_pManager->GetItemData(item.List()), nullptr);
    EXPECT_EQ(m_pManager->GetItemSizeText(item.List(), buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(m_pManager->GetItemTypeName(item.List(), buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(m_pManager->GetItemIconIndex(item.List()), -1);
    EXPECT_FALSE(ItemIdManager::IsCameraItem(item.List()));
}

INSTANTIATE_TEST_SUITE_P(
    Items, HostileItem,
    testing::Values(HostileCase{"cb 6, size only", RawItem(6, 5, "")},
                    HostileCase{"cb 10, name zero but short", RawItem(10, 5, std::string("AB\0\0", 4))},
                    HostileCase{"cb 11, no zero in the name", RawItem(11, 5, "ABCDE")},
                    HostileCase{"cb 20, no zero at all", RawItem(20, 5, "ABCDEFGHIJKLMN")}),
    [](const testing::TestParamInfo<HostileCase>& info) { return "Case" + std::to_string(info.index); });

TEST_F(ItemIdManagerTest, EachManagerCountsOneModuleObject)
{
    const LONG before = g_cObjects;
    {
        auto manager = ItemIdManager::Create();
        ASSERT_NE(manager, nullptr);
        EXPECT_EQ(g_cObjects, before + 1);
    }
    EXPECT_EQ(g_cObjects, before);
}

}  // namespace

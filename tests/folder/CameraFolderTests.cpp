// The camera folder as the Explorer drives it: interfaces, order of items, attributes,
// the objects it hands out and the requests it does not serve.
#include "FolderTestSupport.h"
#include "folder/CameraFolder.h"
#include "base/Raii.h"
#include "resources/resource.h"

namespace {

class CameraFolderTest : public FolderObjectTest {
protected:
    HRESULT Compare(LPARAM column, LPCITEMIDLIST first, LPCITEMIDLIST second)
    {
        return m_pFolder->CompareIDs(column, first, second);
    }
};

TEST_F(CameraFolderTest, CountsTwoModuleObjects)
{
    EXPECT_EQ(g_cObjects, m_cObjectsAtStart + 2);  // the folder and its manager
    IShellFolder* second = CreateCameraFolder(nullptr);
    EXPECT_EQ(g_cObjects, m_cObjectsAtStart + 4);
    EXPECT_EQ(second->Release(), 0u);
    EXPECT_EQ(g_cObjects, m_cObjectsAtStart + 2);
}

TEST_F(CameraFolderTest, HoldsItsParentForItsLife)
{
    IShellFolder* child = CreateCameraFolder(m_pFolder.Get());
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(m_pFolder->AddRef(), 3u);  // the test's, the child's and this one
    m_pFolder->Release();
    EXPECT_EQ(child->Release(), 0u);
    EXPECT_EQ(m_pFolder->AddRef(), 2u);
    m_pFolder->Release();
}

TEST_F(CameraFolderTest, QueryInterfaceTable)
{
    ComPtr<IUnknown> unknown;
    ComPtr<IShellFolder> folder;
    ComPtr<IPersistFolder> persist;
    ASSERT_EQ(m_pFolder->QueryInterface(IID_PPV_ARGS(&unknown)), S_OK);
    ASSERT_EQ(m_pFolder->QueryInterface(IID_PPV_ARGS(&folder)), S_OK);
    ASSERT_EQ(m_pFolder->QueryInterface(IID_PPV_ARGS(&persist)), S_OK);
    EXPECT_EQ(static_cast<void*>(unknown.Get()), static_cast<void*>(m_pFolder.Get()));
    EXPECT_EQ(folder.Get(), m_pFolder.Get());
    EXPECT_NE(static_cast<void*>(persist.Get()), static_cast<void*>(m_pFolder.Get()));

    ComPtr<IUnknown> back;  // the second interface leads to the same object
    ASSERT_EQ(persist->QueryInterface(IID_PPV_ARGS(&back)), S_OK);
    EXPECT_EQ(back.Get(), unknown.Get());

    for (REFIID refused : {IID_IPersist, IID_IEnumIDList, IID_IShellFolder2, IID_IPersistFolder2}) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(m_pFolder->QueryInterface(refused, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
}

TEST_F(CameraFolderTest, PersistFolderNamesTheClassAndKeepsNothing)
{
    ComPtr<IPersistFolder> persist;
    ASSERT_EQ(m_pFolder.As(&persist), S_OK);
    CLSID clsid = {};
    EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_LumoraFolder));
    LPITEMIDLIST list = Item("A.JPG", 1);
    EXPECT_EQ(persist->Initialize(list), S_OK);
    Free(list);  // the folder kept no pointer to it
    EXPECT_EQ(persist->Initialize(nullptr), S_OK);
}

TEST_F(CameraFolderTest, UnsupportedRequestsTouchNothing)
{
    LPITEMIDLIST list = Item("A.JPG", 1);
    auto* const marker = reinterpret_cast<LPITEMIDLIST>(static_cast<ULONG_PTR>(0x1234));

    ULONG eaten = 77, attributes = 88;
    LPITEMIDLIST parsed = marker;
    wchar_t name[] = L"A.JPG";
    EXPECT_EQ(m_pFolder->ParseDisplayName(nullptr, nullptr, name, &eaten, &parsed, &attributes), E_NOTIMPL);
    EXPECT_EQ(parsed, marker);
    EXPECT_EQ(eaten, 77u);
    EXPECT_EQ(attributes, 88u);

    for (SHGDNF flags : {SHGDNF(SHGDN_NORMAL), SHGDNF(SHGDN_INFOLDER), SHGDNF(SHGDN_FORPARSING), SHGDNF(SHGDN_INFOLDER | SHGDN_FOREDITING)}) {
        STRRET strret;
        memset(&strret, 0xAB, sizeof(strret));
        EXPECT_EQ(m_pFolder->GetDisplayNameOf(list, flags, &strret), E_NOTIMPL);
        EXPECT_EQ(reinterpret_cast<BYTE*>(&strret)[0], 0xAB);
        EXPECT_EQ(strret.uType, 0xABABABABu);
    }

    LPITEMIDLIST renamed = marker;
    EXPECT_EQ(m_pFolder->SetNameOf(nullptr, list, L"B.JPG", SHGDN_NORMAL, &renamed), E_NOTIMPL);
    EXPECT_EQ(renamed, marker);

    void* out = marker;
    EXPECT_EQ(m_pFolder->BindToObject(list, nullptr, IID_IShellFolder, &out), E_NOTIMPL);
    EXPECT_EQ(out, nullptr);
    out = marker;
    EXPECT_EQ(m_pFolder->BindToStorage(list, nullptr, IID_IStream, &out), E_NOTIMPL);
    EXPECT_EQ(out, nullptr);
    Free(list);
}

// Name, size and type order of two one-item lists.
struct CompareCase {
    const char* what;
    LPARAM column;
    const char* name1;
    DWORD size1;
    const char* name2;
    DWORD size2;
    HRESULT expected;
};

class CompareIDsCase : public CameraFolderTest, public testing::WithParamInterface<CompareCase> {};

TEST_P(CompareIDsCase, Orders)
{
    const CompareCase& c = GetParam();
    LPITEMIDLIST first = Item(c.name1, c.size1);
    LPITEMIDLIST second = Item(c.name2, c.size2);
    EXPECT_EQ(Compare(c.column, first, second), c.expected) << c.what;
    Free(first);
    Free(second);
}

constexpr HRESULT kBefore = static_cast<HRESULT>(0xFFFFFFFF);

INSTANTIATE_TEST_SUITE_P(
    Columns, CompareIDsCase,
    testing::Values(CompareCase{"upper before lower", 0, "DSC1.JPG", 1, "dsc1.jpg", 1, kBefore},
                    CompareCase{"lower after upper", 0, "dsc1.jpg", 1, "DSC1.JPG", 1, 1},
                    CompareCase{"same name, other sizes", 0, "SAME.JPG", 1, "SAME.JPG", 900, S_OK},
                    CompareCase{"prefix first", 0, "AB", 1, "ABC", 1, kBefore},
                    CompareCase{"high bytes are large", 0, "\xE9.JPG", 1, "Z.JPG", 1, 1},
                    CompareCase{"unsigned sizes", 1, "A.JPG", 0xFFFFFFFF, "B.JPG", 1, 1},
                    CompareCase{"smaller size first", 1, "A.JPG", 1, "B.JPG", 0xFFFFFFFF, kBefore},
                    CompareCase{"equal sizes, no second key", 1, "A.JPG", 5, "B.JPG", 5, S_OK},
                    CompareCase{"same type, no second key", 2, "A.JPG", 1, "B.JPG", 2, S_OK},
                    CompareCase{"column 3", 3, "A.JPG", 1, "B.JPG", 2, E_FAIL},
                    CompareCase{"high bit set", static_cast<LPARAM>(0x80000000u), "A.JPG", 1, "B.JPG", 2, E_FAIL},
                    CompareCase{"upper 16 bits set", 0x10000, "A.JPG", 1, "B.JPG", 2, E_FAIL},
                    CompareCase{"negative", -1, "A.JPG", 1, "B.JPG", 2, E_FAIL}),
    [](const testing::TestParamInfo<CompareCase>& info) { return "Case" + std::to_string(info.index); });

TEST_F(CameraFolderTest, TypeOrderFollowsTheShellsTypeNames)
{
    SHFILEINFOA jpg = {}, txt = {};
    SHGetFileInfoA("A.JPG", FILE_ATTRIBUTE_NORMAL, &jpg, sizeof(jpg), SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
    SHGetFileInfoA("A.TXT", FILE_ATTRIBUTE_NORMAL, &txt, sizeof(txt), SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
    const int order = strcmp(jpg.szTypeName, txt.szTypeName);
    ASSERT_NE(order, 0);
    LPITEMIDLIST picture = Item("Z.JPG", 1);
    LPITEMIDLIST text = Item("A.TXT", 1);
    EXPECT_EQ(Compare(2, picture, text), order < 0 ? kBefore : 1);
    EXPECT_EQ(Compare(2, text, picture), order < 0 ? 1 : kBefore);
    Free(picture);
    Free(text);
}

TEST_F(CameraFolderTest, TwoLevelListsCompareTheirLastItems)
{
    const std::vector<BYTE> deep = RawList({{"ZZZ.JPG", 1}, {"AAA.JPG", 1}});
    LPITEMIDLIST flat = Item("BBB.JPG", 1);
    EXPECT_EQ(Compare(0, AsList(deep), flat), kBefore);
    EXPECT_EQ(Compare(0, flat, AsList(deep)), 1);
    Free(flat);
}

// Lists no camera folder makes: refused without a read past their bytes.
class CompareIDsRefuses : public CameraFolderTest, public testing::WithParamInterface<std::vector<BYTE>> {};

TEST_P(CompareIDsRefuses, MalformedListsAsInvalidArguments)
{
    GuardedBytes bad(GetParam());
    LPITEMIDLIST good = Item("A.JPG", 1);
    for (LPARAM column : {0, 1, 2}) {
        EXPECT_EQ(Compare(column, bad.List(), good), E_INVALIDARG) << column;
        EXPECT_EQ(Compare(column, good, bad.List()), E_INVALIDARG) << column;
    }
    Free(good);
}

INSTANTIATE_TEST_SUITE_P(Lists, CompareIDsRefuses,
                         testing::Values(std::vector<BYTE>{0, 0, 0},                      // empty list
                                         std::vector<BYTE>{0, 0},                         // empty, two bytes
                                         RawItem(11, 1, std::string("ABCDE") + '\0' + '\0'),  // no zero in the name
                                         [] { auto b = RawItem(8, 1, "AB"); b.push_back(0); b.push_back(0); return b; }()));

TEST_F(CameraFolderTest, NullListsAreRefused)
{
    LPITEMIDLIST good = Item("A.JPG", 1);
    EXPECT_EQ(Compare(0, nullptr, good), E_INVALIDARG);
    EXPECT_EQ(Compare(1, good, nullptr), E_INVALIDARG);
    Free(good);
}

TEST_F(CameraFolderTest, AttributesAreStoredNotCombined)
{
    LPITEMIDLIST a = Item("A.JPG", 1), b = Item("B.JPG", 2), c = Item("C.JPG", 3);
    LPCITEMIDLIST items[] = {a, b, c};
    struct { UINT cidl; LPCITEMIDLIST* apidl; SFGAOF asked; SFGAOF expected; } cases[] = {
        {0, nullptr, SFGAO_CANCOPY, 0x28000000},
        {0, items, 0xFFFFFFFF, 0x28000000},
        {2, nullptr, 0, 0x28000000},
        {1, items, SFGAO_FOLDER, 0x21},
        {3, items, 0, 0x21},
    };
    for (const auto& c : cases) {
        SFGAOF attributes = c.asked;
        EXPECT_EQ(m_pFolder->GetAttributesOf(c.cidl, c.apidl, &attributes), S_OK);
        EXPECT_EQ(attributes, c.expected) << c.cidl;
    }
    Free(a), Free(b), Free(c);
}

TEST_F(CameraFolderTest, UIObjectsThatAreNotOfferedFailByCount)
{
    LPITEMIDLIST a = Item("A.JPG", 1), b = Item("B.JPG", 2);
    LPCITEMIDLIST items[] = {a, b};
    for (REFIID riid : {IID_IExtractIconA, IID_IExtractIconW, IID_IQueryInfo}) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(m_pFolder->GetUIObjectOf(nullptr, 1, items, riid, nullptr, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
        out = reinterpret_cast<void*>(1);
        EXPECT_EQ(m_pFolder->GetUIObjectOf(nullptr, 2, items, riid, nullptr, &out), E_FAIL);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(g_cObjects, m_cObjectsAtStart + 2);
    Free(a), Free(b);
}

TEST_F(CameraFolderTest, ContextMenuOfItemsHoldsCopiesOfThem)
{
    LPITEMIDLIST a = Item("A.JPG", 1), b = Item("B.JPG", 2);
    LPCITEMIDLIST items[] = {a, b};
    ComPtr<IContextMenu> menu;
    ASSERT_EQ(m_pFolder->GetUIObjectOf(nullptr, 2, items, IID_IContextMenu, nullptr, &menu), S_OK);
    Free(a), Free(b);  // the menu works on its own copies
    EXPECT_EQ(g_cObjects, m_cObjectsAtStart + 4);
    EXPECT_EQ(menu->AddRef(), 2u);  // handed over with its first reference
    menu->Release();
}

TEST_F(CameraFolderTest, BackgroundMenuFromCreateViewObject)
{
    ComPtr<IContextMenu> menu;
    ASSERT_EQ(m_pFolder->CreateViewObject(nullptr, IID_PPV_ARGS(&menu)), S_OK);
    EXPECT_EQ(menu->AddRef(), 2u);
    menu->Release();

    HMENU popup = CreatePopupMenu();
    EXPECT_EQ(menu->QueryContextMenu(popup, 0, 0, 0x7FFF, CMF_NORMAL), 15);
    EXPECT_EQ(GetMenuItemID(popup, GetMenuItemCount(popup) - 1), static_cast<UINT>(IDM_VIEW_THUMBNAILS));
    DestroyMenu(popup);

    for (REFIID refused : {IID_IDropTarget, IID_IExtractIconA, IID_IShellFolder}) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(m_pFolder->CreateViewObject(nullptr, refused, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
}

TEST_F(CameraFolderTest, EnumeratingFoldersOnlyLeavesTheCameraAlone)
{
    PelSim_AddFile("A.JPG", reinterpret_cast<const unsigned char*>("abc"), 3);
    PelSim_ClearLog();
    ComPtr<IEnumIDList> enumerator;
    ASSERT_EQ(m_pFolder->EnumObjects(nullptr, SHCONTF_FOLDERS, &enumerator), S_OK);
    LPITEMIDLIST item = nullptr;
    ULONG fetched = 99;
    EXPECT_EQ(enumerator->Next(1, &item, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(item, nullptr);
    EXPECT_EQ(PelSim_LogCount(), 0);
}

}  // namespace

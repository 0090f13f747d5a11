// The folder's context menus: their entries, and the translation of verbs and offsets.
#include <shlobj.h>
#include "FolderTestSupport.h"
#include "folder/CameraFolder.h"
#include "base/Raii.h"
#include "resources/resource.h"

namespace {

struct MenuEntry {
    UINT id;
    std::string text;  // empty for a separator
    bool isDefault;
    bool operator==(const MenuEntry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const MenuEntry& entry)
{
    return out << "{" << entry.id << ",\"" << entry.text << "\"," << entry.isDefault << "}";
}

std::vector<MenuEntry> ReadMenu(HMENU menu)
{
    std::vector<MenuEntry> entries;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof(text);
        GetMenuItemInfoA(menu, i, TRUE, &info);
        const bool separator = (info.fType & MFT_SEPARATOR) != 0;
        entries.push_back({info.wID, separator ? "" : text, (info.fState & MFS_DEFAULT) != 0});
    }
    return entries;
}

// A popup menu destroyed at scope end.
class PopupMenu {
public:
    PopupMenu() : m_hMenu(CreatePopupMenu()) {}
    ~PopupMenu() { DestroyMenu(m_hMenu); }
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;
    HMENU Get() const { return m_hMenu; }

private:
    HMENU m_hMenu;
};

// Files on the clipboard for the length of a test, as the Explorer's Copy leaves them.
class FilesOnClipboard {
public:
    FilesOnClipboard()
    {
        const char files[] = "C:\\PHOTO.JPG\0";
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + sizeof(files) + 1);
        {
            GlobalLockPtr<DROPFILES> drop(block);
            drop.Get()->pFiles = sizeof(DROPFILES);
            memcpy(reinterpret_cast<BYTE*>(drop.Get()) + sizeof(DROPFILES), files, sizeof(files));
        }
        EXPECT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        EXPECT_NE(SetClipboardData(CF_HDROP, block), nullptr);
        CloseClipboard();
    }
    ~FilesOnClipboard() { EmptyTheClipboard(); }
    FilesOnClipboard(const FilesOnClipboard&) = delete;
    FilesOnClipboard& operator=(const FilesOnClipboard&) = delete;

    static void EmptyTheClipboard()
    {
        if (!OpenClipboard(nullptr)) return;
        EmptyClipboard();
        CloseClipboard();
    }
};

class ItemContextMenuTest : public FolderTest {
protected:
    void SetUp() override
    {
        FolderTest::SetUp();
        m_pFolder = Adopt(CreateCameraFolder(nullptr));
        ASSERT_NE(m_pFolder, nullptr);
        m_pItem = Item("DSC1.JPG", 10);
        LPCITEMIDLIST items[] = {m_pItem};
        ASSERT_EQ(m_pFolder->GetUIObjectOf(nullptr, 1, items, IID_IContextMenu, nullptr, &m_pItemMenu), S_OK);
        ASSERT_EQ(m_pFolder->CreateViewObject(nullptr, IID_PPV_ARGS(&m_pBackgroundMenu)), S_OK);
        FilesOnClipboard::EmptyTheClipboard();
    }
    void TearDown() override
    {
        m_pItemMenu.Reset();
        m_pBackgroundMenu.Reset();
        m_pFolder.Reset();
        Free(m_pItem);
        FolderTest::TearDown();
    }

    std::vector<MenuEntry> Fill(IContextMenu* menu, UINT idCmdFirst, UINT flags = CMF_NORMAL)
    {
        PopupMenu popup;
        EXPECT_EQ(menu->QueryContextMenu(popup.Get(), 0, idCmdFirst, idCmdFirst + 0x7FFF, flags),
                  MAKE_HRESULT(SEVERITY_SUCCESS, 0, 15));
        return ReadMenu(popup.Get());
    }

    ComPtr<IShellFolder> m_pFolder;
    LPITEMIDLIST m_pItem = nullptr;
    ComPtr<IContextMenu> m_pItemMenu;
    ComPtr<IContextMenu> m_pBackgroundMenu;
};

using Entries = std::vector<MenuEntry>;

const Entries kBackgroundViewItems = {
    {IDM_VIEW_LARGEICONS, "Lar&ge Icons", false},
    {IDM_VIEW_SMALLICONS, "S&mall Icons", false},
    {IDM_VIEW_LIST, "&List", false},
    {IDM_VIEW_DETAILS, "&Details", false},
    {IDM_VIEW_THUMBNAILS, "T&humbnails", false},
};

class ItemMenuFirstId : public ItemContextMenuTest, public testing::WithParamInterface<UINT> {};

TEST_P(ItemMenuFirstId, HoldsSixEntriesOffsetByTheFirstId)
{
    const UINT first = GetParam();
    const Entries expected = {
        {first + IDM_OPEN, "&Open", true},      {0, "", false},
        {first + IDM_COPY, "&Copy\tCtrl+C", false}, {first + IDM_CUT, "Cu&t\tCtrl+X", false},
        {0, "", false},                         {first + IDM_DELETE, "&Delete", false},
    };
    EXPECT_EQ(Fill(m_pItemMenu.Get(), first), expected);
}

TEST_P(ItemMenuFirstId, BackgroundIgnoresTheFirstId)
{
    EXPECT_EQ(Fill(m_pBackgroundMenu.Get(), GetParam()), kBackgroundViewItems);
    FilesOnClipboard files;
    Entries expected = {{IDM_PASTE, "&Paste\tCtrl+V", false}, {0, "", false}};
    expected.insert(expected.end(), kBackgroundViewItems.begin(), kBackgroundViewItems.end());
    EXPECT_EQ(Fill(m_pBackgroundMenu.Get(), GetParam()), expected);
}

TEST_P(ItemMenuFirstId, DefaultOnlyGivesOpenForBoth)
{
    const Entries expected = {{GetParam() + IDM_OPEN, "&Open", true}};
    EXPECT_EQ(Fill(m_pItemMenu.Get(), GetParam(), CMF_DEFAULTONLY), expected);
    EXPECT_EQ(Fill(m_pBackgroundMenu.Get(), GetParam(), CMF_DEFAULTONLY), expected);
}

INSTANTIATE_TEST_SUITE_P(FirstIds, ItemMenuFirstId, testing::Values(0u, 100u));

TEST_F(ItemContextMenuTest, ItemMenuGoesInAtThePosition)
{
    PopupMenu popup;
    AppendMenuA(popup.Get(), MF_STRING, 900, "before");
    AppendMenuA(popup.Get(), MF_STRING, 901, "after");
    m_pItemMenu->QueryContextMenu(popup.Get(), 1, 0, 0x7FFF, CMF_NORMAL);
    const Entries entries = ReadMenu(popup.Get());
    ASSERT_EQ(entries.size(), 8u);
    EXPECT_EQ(entries[0].id, 900u);
    EXPECT_EQ(entries[1].id, static_cast<UINT>(IDM_OPEN));
    EXPECT_EQ(entries[6].id, static_cast<UINT>(IDM_DELETE));
    EXPECT_EQ(entries[7].id, 901u);
}

TEST_F(ItemContextMenuTest, ViewItemsComeLastWhateverTheMenuHolds)
{
    PopupMenu popup;
    for (UINT id : {IDM_OPEN, IDM_DELETE, IDM_COPY, IDM_CUT}) AppendMenuA(popup.Get(), MF_STRING, id, "view's own");
    FilesOnClipboard files;
    m_pBackgroundMenu->QueryContextMenu(popup.Get(), 0, 0, 0x7FFF, CMF_NORMAL);
    const Entries entries = ReadMenu(popup.Get());
    ASSERT_EQ(entries.size(), 11u);
    EXPECT_EQ(entries[0].id, static_cast<UINT>(IDM_PASTE));
    EXPECT_EQ(Entries(entries.end() - 5, entries.end()), kBackgroundViewItems);
}

// InvokeCommand: verbs become offsets, offsets are checked, and a command is only carried
// out by a camera view whose window invokes the menu. Without one (no window, or a window
// that is no view) a command of the view fails; an offset that is none fails as unknown.
struct InvokeCase {
    const char* verb;  // null: use the offset
    UINT_PTR offset;
    DWORD cbSize;
    bool fPlainWindow;  // a window of this thread that is no view, else none
    HRESULT expected;
    UINT_PTR verbAfter;  // 0: left as it was
};

class InvokeCommandCase : public ItemContextMenuTest, public testing::WithParamInterface<InvokeCase> {};

TEST_P(InvokeCommandCase, ChecksAndTranslatesButDoesNothingWithoutAView)
{
    const InvokeCase& c = GetParam();
    WindowHandle plain(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    CMINVOKECOMMANDINFOEX info = {};
    info.cbSize = c.cbSize;
    info.hwnd = c.fPlainWindow ? plain.Get() : nullptr;
    info.lpVerb = c.verb ? c.verb : MAKEINTRESOURCEA(c.offset);
    const LPCSTR before = info.lpVerb;
    EXPECT_EQ(m_pItemMenu->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&info)), c.expected);
    const LPCSTR expected = c.verbAfter ? MAKEINTRESOURCEA(c.verbAfter) : before;
    EXPECT_EQ(info.lpVerb, expected);
}

constexpr DWORD kInfoSize = sizeof(CMINVOKECOMMANDINFO);

INSTANTIATE_TEST_SUITE_P(
    Commands, InvokeCommandCase,
    testing::Values(InvokeCase{"DELETE", 0, kInfoSize, false, E_FAIL, IDM_DELETE},
                    InvokeCase{"open", 0, kInfoSize, true, E_FAIL, IDM_OPEN},
                    InvokeCase{"Paste", 0, kInfoSize, false, E_FAIL, IDM_PASTE},
                    InvokeCase{"cUt", 0, kInfoSize, true, E_FAIL, IDM_CUT},
                    InvokeCase{"rename", 0, kInfoSize, false, E_INVALIDARG, 0}, InvokeCase{"", 0, kInfoSize, false, E_INVALIDARG, 0},
                    InvokeCase{nullptr, 14, kInfoSize, false, E_FAIL, 0}, InvokeCase{nullptr, 15, kInfoSize, true, E_INVALIDARG, 0},
                    InvokeCase{nullptr, 0, kInfoSize, false, E_INVALIDARG, 0}, InvokeCase{nullptr, 8, kInfoSize, true, E_FAIL, 0},
                    InvokeCase{nullptr, 1, kInfoSize, true, E_INVALIDARG, 0}, InvokeCase{nullptr, 12, kInfoSize, true, E_FAIL, 0},
                    InvokeCase{nullptr, 0xFFFF, kInfoSize, false, E_INVALIDARG, 0},
                    InvokeCase{nullptr, 3, 32, false, E_INVALIDARG, 0}, InvokeCase{"delete", 0, 32, false, E_INVALIDARG, 0},
                    InvokeCase{nullptr, 3, kInfoSize - 1, false, E_INVALIDARG, 0},
                    InvokeCase{nullptr, 3, sizeof(CMINVOKECOMMANDINFOEX), true, E_FAIL, 0}),
    [](const testing::TestParamInfo<InvokeCase>& info) { return "Case" + std::to_string(info.index); });

TEST_F(ItemContextMenuTest, InvokeCommandRefusesNoInformation)
{
    EXPECT_EQ(m_pItemMenu->InvokeCommand(nullptr), E_INVALIDARG);
}

TEST_F(ItemContextMenuTest, CommandInformationIsThePlatformsSize)
{
    EXPECT_EQ(sizeof(CMINVOKECOMMANDINFO), sizeof(void*) == 8 ? 56u : 36u);
}

// GetCommandString: verbs in either width, help texts and validation.
struct CommandStringCase {
    UINT type;
    UINT_PTR offset;
    HRESULT expected;
    const char* text;  // null: the buffer is left as it was
};

class GetCommandStringCase : public ItemContextMenuTest, public testing::WithParamInterface<CommandStringCase> {};

TEST_P(GetCommandStringCase, Answers)
{
    const CommandStringCase& c = GetParam();
    union {
        char ansi[64];
        wchar_t wide[32];
    } buffer;
    memset(&buffer, '#', sizeof(buffer));
    EXPECT_EQ(m_pItemMenu->GetCommandString(c.offset, c.type, nullptr, buffer.ansi, 32), c.expected);
    if (!c.text) {
        EXPECT_EQ(buffer.ansi[0], '#');
    } else if (c.type == GCS_VERBW) {
        EXPECT_EQ(std::wstring(buffer.wide), std::wstring(c.text, c.text + strlen(c.text)));
    } else {
        EXPECT_STREQ(buffer.ansi, c.text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, GetCommandStringCase,
    testing::Values(CommandStringCase{GCS_VERBA, 14, S_OK, "paste"}, CommandStringCase{GCS_VERBA, 2, S_OK, "open"},
                    CommandStringCase{GCS_VERBA, 3, S_OK, "delete"}, CommandStringCase{GCS_VERBA, 4, S_OK, "copy"},
                    CommandStringCase{GCS_VERBA, 5, S_OK, "cut"}, CommandStringCase{GCS_VERBA, 8, E_INVALIDARG, nullptr},
                    CommandStringCase{GCS_VERBA, 0, E_INVALIDARG, nullptr},
                    CommandStringCase{GCS_VERBA, static_cast<UINT_PTR>(-1), E_INVALIDARG, nullptr},
                    CommandStringCase{GCS_HELPTEXTA, 0, S_OK, nullptr},
                    CommandStringCase{GCS_HELPTEXTA, 2, E_INVALIDARG, nullptr},
                    CommandStringCase{GCS_VALIDATEA, 2, S_OK, nullptr}, CommandStringCase{GCS_VALIDATEA, 99, S_OK, nullptr},
                    CommandStringCase{GCS_VERBW, 3, S_OK, "delete"}, CommandStringCase{GCS_VERBW, 14, S_OK, "paste"},
                    CommandStringCase{GCS_VERBW, 8, E_INVALIDARG, nullptr}, CommandStringCase{3, 2, E_INVALIDARG, nullptr},
                    CommandStringCase{GCS_HELPTEXTW, 0, E_INVALIDARG, nullptr},
                    CommandStringCase{GCS_VALIDATEW, 2, E_INVALIDARG, nullptr}),
    [](const testing::TestParamInfo<CommandStringCase>& info) { return "Case" + std::to_string(info.index); });

TEST_F(ItemContextMenuTest, VerbIsCutToTheBuffer)
{
    char buffer[8];
    memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(m_pItemMenu->GetCommandString(IDM_PASTE, GCS_VERBA, nullptr, buffer, 3), S_OK);
    EXPECT_STREQ(buffer, "pa");
    EXPECT_EQ(buffer[3], '#');
}

TEST_F(ItemContextMenuTest, VerbsAsStringsAreNoOffsets)
{
    char buffer[16] = "keep";
    EXPECT_EQ(m_pItemMenu->GetCommandString(reinterpret_cast<UINT_PTR>("paste"), GCS_VERBA, nullptr, buffer, 16),
              E_INVALIDARG);
    EXPECT_STREQ(buffer, "keep");
}

TEST_F(ItemContextMenuTest, InterfacesAndCount)
{
    EXPECT_EQ(g_cObjects, m_cObjectsAtStart + 2 + 2 + 2);  // folder, item menu, background menu
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(m_pItemMenu->QueryInterface(IID_PPV_ARGS(&unknown)), S_OK);
    EXPECT_EQ(static_cast<void*>(unknown.Get()), static_cast<void*>(m_pItemMenu.Get()));
    for (REFIID refused : {IID_IContextMenu2, IID_IContextMenu3, IID_IShellExtInit}) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(m_pItemMenu->QueryInterface(refused, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
}

}  // namespace

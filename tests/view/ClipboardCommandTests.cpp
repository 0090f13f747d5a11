// Cut, Copy and Paste through the real clipboard: a Cut cancelled by Escape or replaced by
// a Copy, a Cut a PC folder completes as a move, a clipboard that cannot be opened, and
// Paste of well-formed and broken file lists.
#include "CommandTestSupport.h"
#include <shellapi.h>
#include "resources/resource.h"

namespace {

// Where the view's Cut or Copy stands: the dimmed rows, whether a Cut is pending, and
// whether the clipboard holds the view's data.
struct CutState {
    std::vector<int> cutRows;
    UINT fCutPending;
    bool fOnClipboard;
    bool operator==(const CutState&) const = default;
};

class ClipboardCommandTest : public ViewCommandTest {
protected:
    // The clipboard's files as a receiver reads them.
    static std::vector<std::string> ClipboardPaths()
    {
        std::vector<std::string> paths;
        ComPtr<IDataObject> data;
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium = {};
        if (FAILED(OleGetClipboard(&data)) || FAILED(data->GetData(&format, &medium))) return paths;
        const auto drop = static_cast<HDROP>(medium.hGlobal);
        for (UINT i = 0; i < DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0); ++i) {
            char path[MAX_PATH] = "";
            DragQueryFileA(drop, i, path, MAX_PATH);
            paths.push_back(path);
        }
        ReleaseStgMedium(&medium);
        return paths;
    }

    // Where the view's Cut or Copy stands.
    CutState CutNow() const
    {
        ComPtr<CameraView> view = View();
        const bool onClipboard = view->ClipboardData() && OleIsCurrentClipboard(view->ClipboardData()) == S_OK;
        return {CutRows(), view->CutPending(), onClipboard};
    }

    // The shell's data object for a PC file, as the Explorer's Copy puts it on the clipboard.
    static ComPtr<IDataObject> ShellDataObjectFor(const std::string& path)
    {
        wchar_t widePath[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
        PidlHandle pidl;
        ComPtr<IShellFolder> parent;
        LPCITEMIDLIST child = nullptr;
        ComPtr<IDataObject> data;
        if (SUCCEEDED(SHParseDisplayName(widePath, nullptr, pidl.Put(), 0, nullptr)) &&
            SUCCEEDED(SHBindToParent(pidl.Get(), IID_PPV_ARGS(&parent), &child)))
            parent->GetUIObjectOf(nullptr, 1, &child, IID_IDataObject, nullptr, reinterpret_cast<void**>(data.GetAddressOf()));
        return data;
    }
};

void PrintTo(const CutState& s, std::ostream* os)
{
    *os << "{" << testing::PrintToString(s.cutRows) << ", " << s.fCutPending << ", " << s.fOnClipboard << "}";
}

TEST_F(ClipboardCommandTest, CutEscapeCopyAndAMoveIntoAPcFolder)
{
    using State = CutState;
    auto now = [this] { return CutNow(); };
    ShowFiles({0, 2});
    PcFolder destination("lumora-moved");

    PressKey('X', true);
    EXPECT_EQ(now(), (State{{0, 2}, 1, true})) << "Cut";
    PostMessageA(List(), WM_KEYDOWN, VK_ESCAPE, 1);
    PumpQueued();
    EXPECT_EQ(now(), (State{{}, 0, false})) << "Escape after Cut";
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_HDROP)) << "Escape empties the clipboard";

    PressKey('X', true);
    SelectRows({1});
    PressKey('C', true);
    EXPECT_EQ(now(), (State{{}, 0, true})) << "Copy after Cut";
    PostMessageA(List(), WM_KEYDOWN, VK_ESCAPE, 1);
    PumpQueued();
    EXPECT_EQ(now(), (State{{}, 0, true})) << "Escape after Copy";
    EXPECT_EQ(CameraCalls(), std::vector<std::string>{}) << "the camera is read only when the files are asked for";

    // A Cut a PC folder completes: it reads the files (they are copied off the camera), moves
    // them one at a time, and tells the data object that it moved them.
    SelectRows({0, 2});
    PressKey('X', true);
    ComPtr<IDataObject> cut(View()->ClipboardData());
    const std::vector<std::string> paths = ClipboardPaths();
    EXPECT_EQ(paths, (std::vector<std::string>{TempCopyPath("A.QQH"), TempCopyPath("C.QQH")}));
    for (const std::string& path : paths) {
        std::string from = path + '\0';
        std::string to = destination.Path() + '\0';
        SHFILEOPSTRUCTA move = {};
        move.wFunc = FO_MOVE;
        move.pFrom = from.c_str();
        move.pTo = to.c_str();
        move.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        EXPECT_EQ(SHFileOperationA(&move), 0) << path;
    }
    FORMATETC performed = {static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Performed DropEffect")), nullptr,
                           DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD));
    *static_cast<DWORD*>(GlobalLock(medium.hGlobal)) = DROPEFFECT_MOVE;
    GlobalUnlock(medium.hGlobal);
    EXPECT_EQ(cut->SetData(&performed, &medium, TRUE), S_OK);
    PumpQueued();

    EXPECT_EQ(NamesPassedTo("ZQ_DeleteFile"), (std::vector<std::string>{"A.QQH", "C.QQH"}));
    EXPECT_EQ(CameraNames(), (std::vector<std::string>{"B.QQH"}));
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"B.QQH"}));
    EXPECT_EQ(PcFolder::ReadFile(destination.Path("A.QQH")), std::string(100, 'x'));
    EXPECT_EQ(PcFolder::ReadFile(destination.Path("C.QQH")), std::string(300, 'x'));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_HDROP)) << "the finished move empties the clipboard";
    ASSERT_EQ(m_capture.Count(), 1u);
    EXPECT_EQ(m_capture.Dialogs()[0].caption, "Copying from Lumora");
    cut.Reset();
}

// Holds the clipboard open on a thread of its own while it lives.
class ClipboardHeldElsewhere {
public:
    ClipboardHeldElsewhere() : m_opened(CreateEventA(nullptr, TRUE, FALSE, nullptr)), m_release(CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
        m_thread.Reset(CreateThread(nullptr, 0, &Hold, this, 0, nullptr));
        WaitForSingleObject(m_opened.Get(), 10000);
    }
    ~ClipboardHeldElsewhere()
    {
        SetEvent(m_release.Get());
        WaitForSingleObject(m_thread.Get(), 10000);
    }
    ClipboardHeldElsewhere(const ClipboardHeldElsewhere&) = delete;
    ClipboardHeldElsewhere& operator=(const ClipboardHeldElsewhere&) = delete;

    bool m_fHeld = false;

private:
    static DWORD WINAPI Hold(void* parameter)
    {
        auto* self = static_cast<ClipboardHeldElsewhere*>(parameter);
        self->m_fHeld = OpenClipboard(nullptr) != FALSE;
        SetEvent(self->m_opened.Get());
        WaitForSingleObject(self->m_release.Get(), 10000);
        if (self->m_fHeld) CloseClipboard();
        return 0;
    }

    KernelHandle m_opened, m_release, m_thread;
};

TEST_F(ClipboardCommandTest, AClipboardThatCannotBeTakenLeavesNoCutPending)
{
    ShowFiles({0, 2});
    PutTextOnClipboard("keep");
    MarkCut(1);  // from an earlier Cut
    ComPtr<IContextMenu> menu;
    ASSERT_EQ(m_pBrowser->ActiveView()->GetItemObject(SVGIO_SELECTION, IID_PPV_ARGS(&menu)), S_OK);
    {
        ClipboardHeldElsewhere held;
        ASSERT_TRUE(held.m_fHeld);
        PressKey('X', true);
        EXPECT_EQ(CutNow(), (CutState{{}, 0, false})) << "Cut";
        EXPECT_EQ(View()->ClipboardData(), nullptr);
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof(info);
        info.hwnd = ViewWindow();
        info.lpVerb = "cut";
        EXPECT_EQ(menu->InvokeCommand(&info), E_FAIL) << "a Cut that did not happen was reported done";
        LPCITEMIDLIST items[] = {RowItem(0)};
        EXPECT_EQ(View()->Commands().CopyItemsToClipboard(1, items, TRUE), FALSE);
        EXPECT_EQ(CutNow(), (CutState{{}, 0, false})) << "Cut through the menu";
    }
    EXPECT_EQ(ClipboardText(), "keep");
    PressKey('X', true);
    EXPECT_EQ(CutNow(), (CutState{{0, 2}, 1, true})) << "Cut once the clipboard is free";
}

TEST_F(ClipboardCommandTest, PasteTakesOnlySoundFileLists)
{
    PcFolder source("lumora-paste");
    const std::string note = source.WriteFile("NOTE.TXT", 40);
    struct Row {
        const char* what;
        std::vector<BYTE> block;  // empty: the shell's own data object for the file
        std::vector<std::string> sent;
    };
    std::vector<BYTE> header = DropBlock({}, false);
    header.resize(10);
    std::vector<BYTE> outside = DropBlock({note}, false);
    reinterpret_cast<DROPFILES*>(outside.data())->pFiles = static_cast<DWORD>(outside.size()) + 4;
    std::vector<BYTE> unended = DropBlock({note}, false);
    unended.resize(unended.size() - 2);  // the list's end and the name's zero are missing
    const Row rows[] = {
        {"a single-byte list", DropBlock({note}, false), {"NOTE    .TXT"}},
        {"a wide list", DropBlock({note}, true), {"NOTE    .TXT"}},
        {"the shell's own files", {}, {"NOTE    .TXT"}},
        {"half a header", header, {}},
        {"a list outside the block", outside, {}},
        {"a list without its end", unended, {}},
    };
    ShowFiles({1});
    for (const Row& row : rows) {
        ResetFiles({1});
        ComPtr<IDataObject> shellFiles;
        if (row.block.empty()) {
            shellFiles = ShellDataObjectFor(note);
            ASSERT_EQ(OleSetClipboard(shellFiles.Get()), S_OK) << row.what;
        } else {
            PutDropBlockOnClipboard(row.block);
        }

        PressKey('V', true);

        EXPECT_EQ(NamesPassedTo("ZQ_PutFile"), row.sent) << row.what;
        EXPECT_EQ(PelSim_GetFile("NOTE    .TXT", nullptr, 0), row.sent.empty() ? -1 : 40) << row.what;
        std::vector<std::string> captions;
        for (const CapturedDialog& dialog : m_capture.Dialogs()) captions.push_back(dialog.caption);
        EXPECT_EQ(captions, row.sent.empty() ? std::vector<std::string>{} : std::vector<std::string>{"Downloading to Lumora"})
            << row.what << ": a broken list shows nothing";
        OleSetClipboard(nullptr);
    }
}

}  // namespace

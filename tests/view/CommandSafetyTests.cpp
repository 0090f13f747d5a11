// A command of the view while others try to run inside it: commands that arrive through a
// message box's or the connect dialog's loop are refused, a refresh waits for the end, the
// rows may go meanwhile without the command noticing, and commands invoked through the
// folder's context menu are carried out only by the view whose window invokes them.
#include "CommandTestSupport.h"
#include "folder/CameraFolder.h"
#include "resources/resource.h"

namespace {

// Blocks of the shell allocator's heap, filled with 'Z', that live until the scope ends:
// memory freed just before is likely handed out again here and overwritten.
class HeapScribble {
public:
    HeapScribble()
    {
        for (SIZE_T size = 8; size <= 64; ++size) {
            for (int i = 0; i < 8; ++i) {
                void* block = CoTaskMemAlloc(size);
                if (!block) continue;
                FillMemory(block, size, 'Z');
                m_blocks.push_back(block);
            }
        }
    }
    ~HeapScribble()
    {
        for (void* block : m_blocks) CoTaskMemFree(block);
    }
    HeapScribble(const HeapScribble&) = delete;
    HeapScribble& operator=(const HeapScribble&) = delete;

private:
    std::vector<void*> m_blocks;
};

// Commands another thread sends to a view window, then a press on the connect dialog's Cancel.
struct SentCommands {
    HWND view = nullptr;
    HWND dialog = nullptr;
    std::vector<UINT> commands;
    std::vector<LRESULT> delivered;

    static DWORD WINAPI Send(void* parameter)
    {
        auto* sent = static_cast<SentCommands*>(parameter);
        for (UINT command : sent->commands) {
            DWORD_PTR result = 0;
            sent->delivered.push_back(
                SendMessageTimeoutA(sent->view, WM_COMMAND, MAKEWPARAM(command, 0), 0, SMTO_NORMAL, 10000, &result));
        }
        PostMessageA(sent->dialog, WM_COMMAND, IDC_CONNECT_CANCEL, 0);
        return 0;
    }
};

using CommandSafetyTest = ViewCommandTest;

TEST_F(CommandSafetyTest, CommandsArrivingInsideAMessageBoxAreRefusedAndTheRefreshWaits)
{
    ShowFiles({0, 2});
    ComPtr<IContextMenu> menu;  // the selection's menu, as a browser's File menu would hold it
    ASSERT_EQ(m_pBrowser->ActiveView()->GetItemObject(SVGIO_SELECTION, IID_PPV_ARGS(&menu)), S_OK);
    PelSim_FailCall("ZQ_ReceiveFile", 1, 3, 0);  // Open's first copy fails: two boxes, each with its own loop
    PelSim_ClearLog();
    HRESULT invoked = S_OK;
    struct Inside {
        std::vector<std::string> rows;
        std::vector<int> selected;
        size_t listings = 0, popups = 0;
    } inside;
    m_capture.SetAction([&](HWND box, const CapturedDialog& dialog) {
        if (m_capture.Count() == 1) {
            // What the menu bar, a key, the right-click, the camera's refresh request and a
            // browser's File menu send; the box's loop dispatches them before its OK.
            PostMessageA(ViewWindow(), WM_COMMAND, MAKEWPARAM(IDM_DELETE, 0), 0);
            PostMessageA(ViewWindow(), WM_COMMAND, MAKEWPARAM(IDM_SELECTALL, 0), 0);
            PostMessageA(ViewWindow(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()), MAKELPARAM(10, 10));
            PostMessageA(ViewWindow(), CameraRefreshMessage(), 0, 0);
            CMINVOKECOMMANDINFO info = {};
            info.cbSize = sizeof(info);
            info.hwnd = ViewWindow();
            info.lpVerb = "delete";
            invoked = menu->InvokeCommand(&info);
        } else {
            inside = {RowNames(), SelectedRows(), NamesPassedTo("ZQ_GetNumFiles").size(), TakePopups().size()};
        }
        EXPECT_EQ(dialog.owner, GetAncestor(ViewWindow(), GA_ROOT));
        DialogCapture::PressDefaultButton(box);
    });

    ChooseFromMenuBar(IDM_OPEN);

    EXPECT_EQ(m_capture.Messages(), (std::vector<std::string>{Text(1003), Text(2002)}));
    EXPECT_EQ(invoked, E_FAIL) << "a command invoked through the menu meanwhile ran, or said it did";
    EXPECT_EQ(inside.rows, (std::vector<std::string>{"A.QQH", "B.QQH", "C.QQH"}));
    EXPECT_EQ(inside.selected, (std::vector<int>{0, 2})) << "Select All ran inside Open";
    EXPECT_EQ(inside.listings, 0u) << "the list was read again in the middle of Open";
    EXPECT_EQ(inside.popups, 0u) << "a right-click menu opened inside Open";
    EXPECT_EQ(NamesPassedTo("ZQ_DeleteFile"), std::vector<std::string>{});
    EXPECT_EQ(NamesPassedTo("ZQ_GetNumFiles").size(), 1u) << "the refresh asked for runs once, at the end";
    EXPECT_EQ(CameraNames(), (std::vector<std::string>{"A.QQH", "B.QQH", "C.QQH"}));

    // Nothing of the refused commands is left over: the next command runs.
    m_capture.SetAction(&DialogCapture::ActionPressDefault);
    m_capture.Clear();
    SelectRows({1});
    ChooseFromMenuBar(IDM_DELETE);
    EXPECT_EQ(NamesPassedTo("ZQ_DeleteFile"), std::vector<std::string>{"B.QQH"});
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A.QQH", "C.QQH"}));
    EXPECT_EQ(m_capture.Count(), 0u);
}

TEST_F(CommandSafetyTest, CommandsSentWhileTheConnectDialogWaitsAreRefused)
{
    ShowFiles({0, 2});
    PelSim_SetOpenResult(0, 2, 0);          // no quick link: the connect dialog and the slow search
    PelSim_SetOpenResult(1, 0, 3000);  // which goes on until it is cancelled (or for seconds: no hang)
    PelSim_ClearLog();
    KernelHandle sender;
    SentCommands sent;
    sent.view = ViewWindow();
    sent.commands = {IDM_DELETE, IDM_SELECTALL, IDM_VIEW_LIST};
    m_capture.SetAction([&](HWND hwnd, const CapturedDialog& dialog) {
        if (dialog.caption.rfind("Connecting to", 0) != 0) return DialogCapture::PressDefaultButton(hwnd);
        // Another thread's commands reach the view while only the connect's own loop runs;
        // then the user cancels.
        sent.dialog = hwnd;
        sender.Reset(CreateThread(nullptr, 0, &SentCommands::Send, &sent, 0, nullptr));
    });

    ChooseFromMenuBar(IDM_OPEN);
    ASSERT_TRUE(sender.IsValid());
    EXPECT_EQ(WaitForSingleObject(sender.Get(), 10000), WAIT_OBJECT_0);

    EXPECT_EQ(sent.delivered, (std::vector<LRESULT>{1, 1, 1}))
        << "the commands were not delivered during the connect";
    ASSERT_EQ(m_capture.Count(), 2u);
    EXPECT_EQ(m_capture.Dialogs()[1].texts.front(), Text(1014));
    EXPECT_EQ(NamesPassedTo("ZQ_DeleteFile"), std::vector<std::string>{});
    EXPECT_EQ(NamesPassedTo("ZQ_ReceiveFile"), std::vector<std::string>{});
    EXPECT_EQ(SelectedRows(), (std::vector<int>{0, 2}));
    EXPECT_EQ(CurrentViewMode(), static_cast<UINT>(FVM_DETAILS));
    EXPECT_EQ(CameraNames(), (std::vector<std::string>{"A.QQH", "B.QQH", "C.QQH"}));
    PelSim_SetOpenResult(0, 0, 0);
}

TEST_F(CommandSafetyTest, RowsThatGoInTheMiddleOfACommandDoNotChangeWhatItWorksOn)
{
    ShowFiles({0, 2});
    PelSim_SetOpenResult(0, 2, 0);  // the connect dialog comes, and the slow link opens after a few polls
    PelSim_SetOpenResult(1, 0, 3);
    PelSim_ClearLog();
    std::unique_ptr<HeapScribble> scribble;
    std::vector<std::string> rowsAfterRefresh = {"(not asked)"};
    m_capture.SetAction([&](HWND hwnd, const CapturedDialog& dialog) {
        if (dialog.caption.rfind("Connecting to", 0) != 0) return DialogCapture::PressDefaultButton(hwnd);
        // While Open connects, every row goes and its item is freed (as a finished move's
        // rows go), the freed memory is written over, and a refresh is asked for.
        SendMessageA(List(), LVM_DELETEALLITEMS, 0, 0);
        scribble = std::make_unique<HeapScribble>();
        View()->Refresh();
        PumpQueued();
        rowsAfterRefresh = RowNames();
    });

    ChooseFromMenuBar(IDM_OPEN);

    EXPECT_EQ(NamesPassedTo("ZQ_ReceiveFile"), (std::vector<std::string>{"A.QQH", "C.QQH"}));
    EXPECT_EQ(m_capture.Count(), 1u) << "only the connect dialog";
    EXPECT_EQ(rowsAfterRefresh, std::vector<std::string>{}) << "the list was read again in the middle of Open";
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A.QQH", "B.QQH", "C.QQH"})) << "read again at the end";
    scribble.reset();
    PelSim_SetOpenResult(0, 0, 0);
}

TEST_F(CommandSafetyTest, TheContextMenuCarriesOutOnlyThroughItsViewAndSaysWhetherItDid)
{
    enum class Invoker { View, Frame, NoWindow, OtherThread };
    struct Row {
        const char* what;
        const char* verb;  // null: the numeric id
        UINT id;
        bool fBackground;  // the folder's background menu, else the menu of rows 0 and 2
        Invoker invoker;
        const char* failing;  // a camera function whose first call fails with status 3
        HRESULT result;
        std::vector<std::string> deleted, received, camera, messages;
        UINT viewMode;
    };
    const std::vector<std::string> all = {"A.QQH", "B.QQH", "C.QQH"};
    const Row rows[] = {
        {"delete through the view", "delete", 0, false, Invoker::View, nullptr, S_OK, {"A.QQH", "C.QQH"}, {}, {"B.QQH"}, {}, FVM_DETAILS},
        {"open by number", nullptr, IDM_OPEN, false, Invoker::View, nullptr, S_OK, {}, {"A.QQH", "C.QQH"}, all, {}, FVM_DETAILS},
        {"a delete the camera refuses", "Delete", 0, false, Invoker::View, "ZQ_DeleteFile", E_FAIL, {"A.QQH"}, {}, all,
         {Text(1003)}, FVM_DETAILS},
        {"cut", "cut", 0, false, Invoker::View, nullptr, S_OK, {}, {}, all, {}, FVM_DETAILS},
        {"copy by number", nullptr, IDM_COPY, false, Invoker::View, nullptr, S_OK, {}, {}, all, {}, FVM_DETAILS},
        {"a paste without files on the clipboard", "paste", 0, true, Invoker::View, nullptr, DV_E_FORMATETC, {}, {}, all, {},
         FVM_DETAILS},
        {"a view mode of the background menu", nullptr, IDM_VIEW_LARGEICONS, true, Invoker::View, nullptr, S_OK, {}, {}, all, {},
         FVM_ICON},
        {"delete through the background menu", "delete", 0, true, Invoker::View, nullptr, E_INVALIDARG, {}, {}, all, {}, FVM_DETAILS},
        {"an id without a command", nullptr, 1, false, Invoker::View, nullptr, E_INVALIDARG, {}, {}, all, {}, FVM_DETAILS},
        {"delete from the frame", "delete", 0, false, Invoker::Frame, nullptr, E_FAIL, {}, {}, all, {}, FVM_DETAILS},
        {"delete from no window", nullptr, IDM_DELETE, false, Invoker::NoWindow, nullptr, E_FAIL, {}, {}, all, {}, FVM_DETAILS},
        {"delete from another thread", "delete", 0, false, Invoker::OtherThread, nullptr, E_FAIL, {}, {}, all, {}, FVM_DETAILS},
    };
    ShowFiles({0, 2});
    ComPtr<IShellFolder> folder = Adopt(CreateCameraFolder(nullptr));
    for (const Row& row : rows) {
        ResetFiles({0, 2});
        PutTextOnClipboard("keep");
        ComPtr<IContextMenu> menu;
        if (row.fBackground) ASSERT_EQ(folder->CreateViewObject(nullptr, IID_PPV_ARGS(&menu)), S_OK);
        else ASSERT_EQ(m_pBrowser->ActiveView()->GetItemObject(SVGIO_SELECTION, IID_PPV_ARGS(&menu)), S_OK);
        if (row.failing) PelSim_FailCall(row.failing, 1, 3, 0);
        PelSim_ClearLog();
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof(info);
        info.hwnd = row.invoker == Invoker::Frame ? m_pBrowser->FrameWindow() : row.invoker == Invoker::NoWindow ? nullptr : ViewWindow();
        info.lpVerb = row.verb ? row.verb : MAKEINTRESOURCEA(row.id);

        HRESULT hr = E_UNEXPECTED;
        if (row.invoker == Invoker::OtherThread) RunOnOtherThread([&] { hr = menu->InvokeCommand(&info); });
        else hr = menu->InvokeCommand(&info);
        PumpQueued();

        EXPECT_EQ(hr, row.result) << row.what;
        EXPECT_EQ(NamesPassedTo("ZQ_DeleteFile"), row.deleted) << row.what;
        EXPECT_EQ(NamesPassedTo("ZQ_ReceiveFile"), row.received) << row.what;
        EXPECT_EQ(CameraNames(), row.camera) << row.what;
        EXPECT_EQ(RowNames(), row.camera) << row.what;
        EXPECT_EQ(m_capture.Messages(), row.messages) << row.what;
        EXPECT_EQ(CurrentViewMode(), row.viewMode) << row.what;
        // Only Cut and Copy through the view put the files on the clipboard (a Cut's rows dimmed).
        const bool clipboard = hr == S_OK && (info.lpVerb == MAKEINTRESOURCEA(IDM_CUT) || info.lpVerb == MAKEINTRESOURCEA(IDM_COPY));
        EXPECT_EQ(ClipboardText(), clipboard ? "" : "keep") << row.what;
        EXPECT_EQ(CutRows(), (clipboard && info.lpVerb == MAKEINTRESOURCEA(IDM_CUT) ? std::vector<int>{0, 2} : std::vector<int>{}))
            << row.what;
    }
}

}  // namespace

// The view's commands from every place a user gives them: the menu bar, the toolbar, the
// keys, the right-click menu and the activation of a row; each reaches its handler, whose
// camera calls, list, clipboard and messages are checked. Then the handlers' own cases.
#include "CommandTestSupport.h"
#include "about/FileVersion.h"
#include "resources/resource.h"

namespace {

enum class Source { MenuBar, Toolbar, Key, ControlKey, RightClick, Enter, DoubleClick };

const char* const kSourceNames[] = {"menu bar", "toolbar", "key", "Ctrl key", "right-click menu", "Enter", "double-click"};

// The popups the right-click opens: for selected files, and for the background.
const std::vector<UINT> kSelectionMenu = {IDM_OPEN, 0, IDM_COPY, IDM_CUT, 0, IDM_DELETE};
const std::vector<UINT> kBackgroundMenu = {IDM_VIEW_LARGEICONS, IDM_VIEW_SMALLICONS, IDM_VIEW_LIST, IDM_VIEW_DETAILS,
                                          IDM_VIEW_THUMBNAILS};

std::vector<UINT> Ids(const std::vector<MenuEntry>& entries)
{
    std::vector<UINT> ids;
    for (const MenuEntry& entry : entries) ids.push_back(entry.id);
    return ids;
}

// The "Preferred DropEffect" a receiver reads from the clipboard; none when it is not there.
DWORD PreferredDropEffect()
{
    ComPtr<IDataObject> data;
    if (FAILED(OleGetClipboard(&data))) return DROPEFFECT_NONE;
    FORMATETC format = {static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Preferred DropEffect")), nullptr, DVASPECT_CONTENT,
                        -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium))) return DROPEFFECT_NONE;
    DWORD effect = DROPEFFECT_NONE;
    if (GlobalLockPtr<DWORD> block{medium.hGlobal}) effect = *block.Get();
    ReleaseStgMedium(&medium);
    return effect;
}

// What the about box showed.
struct AboutFields {
    int shown = 0;
    HWND owner = nullptr;
    std::string module, firmware, library;
};

class CommandTest : public ViewCommandTest {
protected:
    void SetUp() override
    {
        ViewCommandTest::SetUp();
        m_note = m_pc.WriteFile("NOTE.TXT", 64);
        m_capture.SetAction([this](HWND hwnd, const CapturedDialog&) {
            if (GetDlgItem(hwnd, IDC_ABOUT_MODULE)) {
                ++m_about.shown;
                m_about.owner = GetWindow(hwnd, GW_OWNER);
                m_about.module = WindowText(GetDlgItem(hwnd, IDC_ABOUT_MODULE));
                m_about.firmware = WindowText(GetDlgItem(hwnd, IDC_ABOUT_FIRMWARE));
                m_about.library = WindowText(GetDlgItem(hwnd, IDC_ABOUT_LIBRARY));
            }
            DialogCapture::PressDefaultButton(hwnd);
        });
    }

    // The usual start of a command: rows selected, row 1 still marked from an earlier Cut,
    // text on the clipboard (for Paste a PC file), and a view mode other than the one a
    // mode command asks for.
    void Prepare(UINT id, const std::vector<int>& selected)
    {
        ResetFiles(selected);
        MarkCut(1);
        if (id == IDM_PASTE) PutDropBlockOnClipboard(DropBlock({m_note}, false));
        else PutTextOnClipboard("keep");
        View()->SetViewMode(id == IDM_VIEW_DETAILS ? FVM_LIST : FVM_DETAILS);
        m_about = {};
        m_capture.Clear();
    }

    void Give(Source source, UINT id, const std::vector<WPARAM>& keys)
    {
        switch (source) {
        case Source::MenuBar: ChooseFromMenuBar(id); break;
        case Source::Toolbar: ClickToolbarButton(id); break;
        case Source::Key: PressKey(keys.front(), false); break;
        case Source::ControlKey: PressKey(keys.front(), true); break;
        case Source::RightClick: RightClick(keys); break;
        case Source::Enter: PressEnter(); break;
        case Source::DoubleClick: DoubleClickRow(0); break;
        }
    }

    // What the command's handler did with rows 0 and 2 selected (none for the view modes
    // from the background menu).
    void ExpectHandlerRan(UINT id, const std::string& where)
    {
        const bool cameraWork = id == IDM_OPEN || id == IDM_DELETE || id == IDM_ABOUT || id == IDM_PASTE;
        EXPECT_EQ(!CameraCalls().empty(), cameraWork) << where;
        EXPECT_FALSE(PelSim_IsLinkOpen()) << where;
        ComPtr<CameraView> view = View();
        switch (id) {
        case IDM_OPEN:
            EXPECT_EQ(NamesPassedTo("ZQ_ReceiveFile"), (std::vector<std::string>{"A.QQH", "C.QQH"})) << where;
            EXPECT_TRUE(GetFileAttributesA(TempCopyPath("C.QQH").c_str()) & FILE_ATTRIBUTE_READONLY) << where;
            break;
        case IDM_DELETE:
            EXPECT_EQ(NamesPassedTo("ZQ_DeleteFile"), (std::vector<std::string>{"A.QQH", "C.QQH"})) << where;
            EXPECT_EQ(CameraNames(), (std::vector<std::string>{"B.QQH"})) << where;
            EXPECT_EQ(RowNames(), (std::vector<std::string>{"B.QQH"})) << where;
            break;
        case IDM_COPY:
        case IDM_CUT:  // the earlier Cut's mark goes; the files go on the clipboard, a Cut's dimmed
            EXPECT_EQ(CutRows(), (id == IDM_CUT ? std::vector<int>{0, 2} : std::vector<int>{})) << where;
            EXPECT_EQ(view->CutPending(), id == IDM_CUT ? 1u : 0u) << where;
            EXPECT_EQ(OleIsCurrentClipboard(view->ClipboardData()), S_OK) << where;
            EXPECT_TRUE(IsClipboardFormatAvailable(CF_HDROP)) << where;
            EXPECT_EQ(PreferredDropEffect(), id == IDM_CUT ? DROPEFFECT_MOVE : DROPEFFECT_NONE) << where;
            break;
        case IDM_PASTE:
            EXPECT_EQ(NamesPassedTo("ZQ_PutFile"), std::vector<std::string>{"NOTE    .TXT"}) << where;
            EXPECT_EQ(RowNames(), (std::vector<std::string>{"A.QQH", "B.QQH", "C.QQH", "NOTE    .TXT"})) << where;
            break;
        case IDM_SELECTALL: EXPECT_EQ(SelectedRows(), (std::vector<int>{0, 1, 2})) << where; break;
        case IDM_INVERTSELECTION: EXPECT_EQ(SelectedRows(), (std::vector<int>{1})) << where; break;
        case IDM_ABOUT:
            EXPECT_EQ(m_about.shown, 1) << where;
            EXPECT_EQ(m_about.owner, GetAncestor(ViewWindow(), GA_ROOT)) << where;
            EXPECT_EQ(m_about.module, "1. 2. 0. 31") << where;
            break;
        default: {
            const UINT mode = FVM_ICON + (id - IDM_VIEW_LARGEICONS);
            const DWORD styles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT, LVS_ICON};
            EXPECT_EQ(CurrentViewMode(), mode) << where;
            EXPECT_EQ(ListType(), styles[id - IDM_VIEW_LARGEICONS]) << where;
            break;
        }
        }
        if (id == IDM_PASTE) {
            ASSERT_EQ(m_capture.Count(), 1u) << where;
            EXPECT_EQ(m_capture.Dialogs()[0].caption, "Downloading to Lumora") << where;
        } else if (id != IDM_ABOUT) {
            EXPECT_EQ(m_capture.Count(), 0u) << where;
        }
    }

    AboutFields m_about;
    PcFolder m_pc{"lumora-commands"};
    std::string m_note;  // a PC file for Paste
};

TEST_F(CommandTest, EveryCommandReachesItsHandlerFromEveryPlaceItIsOffered)
{
    struct Row {
        Source source;
        UINT id;
        std::vector<WPARAM> keys;  // the key, or the keys that choose in the right-click menu
    };
    const WPARAM down = VK_DOWN, enter = VK_RETURN;
    std::vector<Row> rows;
    for (UINT id : {IDM_OPEN, IDM_DELETE, IDM_COPY, IDM_CUT, IDM_PASTE, IDM_SELECTALL, IDM_INVERTSELECTION,
                    IDM_VIEW_LARGEICONS, IDM_VIEW_SMALLICONS, IDM_VIEW_LIST, IDM_VIEW_DETAILS, IDM_VIEW_THUMBNAILS, IDM_ABOUT})
        rows.push_back({Source::MenuBar, id, {}});
    for (UINT id : {IDM_OPEN, IDM_DELETE, IDM_COPY, IDM_CUT, IDM_PASTE, IDM_VIEW_LARGEICONS, IDM_VIEW_SMALLICONS,
                    IDM_VIEW_LIST, IDM_VIEW_DETAILS})
        rows.push_back({Source::Toolbar, id, {}});
    rows.insert(rows.end(), {
        {Source::Key, IDM_DELETE, {VK_DELETE}},
        {Source::ControlKey, IDM_SELECTALL, {'A'}},
        {Source::ControlKey, IDM_COPY, {'C'}},
        {Source::ControlKey, IDM_CUT, {'X'}},
        {Source::ControlKey, IDM_PASTE, {'V'}},  // rows are selected: the given command needs no item of their menu
        {Source::RightClick, IDM_OPEN, {down, enter}},
        {Source::RightClick, IDM_COPY, {down, down, enter}},
        {Source::RightClick, IDM_CUT, {down, down, down, enter}},
        {Source::RightClick, IDM_DELETE, {down, down, down, down, enter}},
        {Source::RightClick, IDM_VIEW_LARGEICONS, {down, enter}},
        {Source::RightClick, IDM_VIEW_SMALLICONS, {down, down, enter}},
        {Source::RightClick, IDM_VIEW_LIST, {down, down, down, enter}},
        {Source::RightClick, IDM_VIEW_DETAILS, {down, down, down, down, enter}},
        {Source::RightClick, IDM_VIEW_THUMBNAILS, {down, down, down, down, down, enter}},
        {Source::RightClick, IDM_PASTE, {down, enter}},  // first in the background menu when files are on the clipboard
        {Source::Enter, IDM_OPEN, {}},
        {Source::DoubleClick, IDM_OPEN, {}},
    });
    ShowFiles({0, 2});
    for (const Row& row : rows) {
        const bool background = row.source == Source::RightClick && row.id >= IDM_VIEW_LARGEICONS;
        const std::string where = std::string(kSourceNames[static_cast<int>(row.source)]) + " " + std::to_string(row.id);
        Prepare(row.id, background ? std::vector<int>{} : std::vector<int>{0, 2});
        if (row.source == Source::MenuBar) {
            bool offered = false;
            for (const MenuPopup& popup : m_pBrowser->MenuBar())
                for (const MenuEntry& entry : popup.items) offered = offered || entry.id == row.id;
            EXPECT_TRUE(offered) << where;
        }
        if (row.source == Source::Enter) {
            LVITEMA focus = {};
            focus.stateMask = focus.state = LVIS_FOCUSED;
            SendMessageA(List(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&focus));
        }
        PelSim_ClearLog();
        TakePopups();

        Give(row.source, row.id, row.keys);

        ExpectHandlerRan(row.id, where);
        const auto popups = TakePopups();
        if (row.source == Source::RightClick) {
            ASSERT_EQ(popups.size(), 1u) << where;
            std::vector<UINT> shown = background ? kBackgroundMenu : kSelectionMenu;
            if (row.id == IDM_PASTE) shown.insert(shown.begin(), {IDM_PASTE, 0});
            EXPECT_EQ(Ids(popups[0]), shown) << where;
        } else if (row.source != Source::MenuBar) {
            EXPECT_EQ(popups.size(), 0u) << where;
        }
    }
}

TEST_F(CommandTest, HandlersStopWhereTheCameraFailsAndDoWhatTheirSelectionSays)
{
    const std::string connect = "OpenComm StopAcquisition SetAcquisitionMode ";
    auto listing = [&](int files) {
        std::string calls = connect + "GetNumFiles GetFiles ";
        for (int i = 0; i < files; ++i) calls += "GetFileSize ";
        return calls + "CloseComm";
    };
    const std::string openOne = "GetFileSize GetFirmwareVersion ReceiveFile ";
    struct Row {
        const char* what;
        std::vector<int> selected;
        bool fFocusElsewhere;  // the address box has the focus: the view is active without it
        const char* failing;   // a camera function whose second call fails with status 3
        bool fNoCamera;        // ZQ_OpenComm finds no camera
        UINT id;
        std::string calls;     // the camera's functions, without "ZQ_"
        std::vector<std::string> rows, messages;
        std::vector<int> selectedAfter;
    };
    const std::vector<std::string> all = {"A.QQH", "B.QQH", "C.QQH"};
    const Row rows[] = {
        {"Delete with nothing selected reads the camera again", {}, false, nullptr, false, IDM_DELETE,
         connect + "CloseComm " + listing(3), all, {}, {}},
        {"Open without the focus acts on no files", {0, 2}, true, nullptr, false, IDM_OPEN, connect + "CloseComm", all, {}, {0, 2}},
        // A failed receive tells its status, then the copy's failure.
        {"Open stops at the first file that fails", {0, 1, 2}, false, "ZQ_ReceiveFile", false, IDM_OPEN,
         connect + openOne + openOne + "CloseComm", all, {Text(1003), Text(2002)}, {0, 1, 2}},
        {"Delete stops at the first failure, files deleted stay deleted, the list follows", {0, 1, 2}, false,
         "ZQ_DeleteFile", false, IDM_DELETE, connect + "DeleteFile DeleteFile CloseComm " + listing(2), {"B.QQH", "C.QQH"},
         {Text(1003)}, {}},
        {"Delete reads the camera again even when no link opens", {0}, false, nullptr, true, IDM_DELETE,
         "OpenComm SetAcquisitionMode OpenComm SetAcquisitionMode", {}, {Text(1003), Text(1003)}, {}},
        {"Invert Selection twice gives the selection back", {0, 2}, false, nullptr, false, IDM_INVERTSELECTION, "", all, {}, {0, 2}},
        {"An id without a handler does nothing, and nothing loops", {0, 2}, false, nullptr, false, 12, "", all, {}, {0, 2}},
        {"Nor does id 1", {}, false, nullptr, false, 1, "", all, {}, {}},
        {"Nor an id past the menu's", {1}, false, nullptr, false, 200, "", all, {}, {1}},
    };
    ShowFiles({});
    for (const Row& row : rows) {
        Prepare(row.id, row.selected);
        if (row.fFocusElsewhere) m_pBrowser->FocusAddressBox();
        if (row.failing) PelSim_FailCall(row.failing, 2, 3, 0);
        if (row.fNoCamera) PelSim_SetOpenResult(0, 3, 0);
        PelSim_ClearLog();

        SendMessageA(ViewWindow(), WM_COMMAND, MAKEWPARAM(row.id, 0), 0);
        if (row.id == IDM_INVERTSELECTION) SendMessageA(ViewWindow(), WM_COMMAND, MAKEWPARAM(row.id, 0), 0);
        PumpQueued();

        std::string calls;
        for (const std::string& call : CameraCalls()) calls.append(calls.empty() ? "" : " ").append(call, 3);
        EXPECT_EQ(calls, row.calls) << row.what;
        EXPECT_EQ(CameraNames(), row.fNoCamera ? all : row.rows) << row.what;
        EXPECT_EQ(RowNames(), row.rows) << row.what;
        EXPECT_EQ(m_capture.Messages(), row.messages) << row.what;
        EXPECT_EQ(SelectedRows(), row.selectedAfter) << row.what;
        // Only Copy and Cut take an earlier Cut's marks off (a list read again has none).
        EXPECT_EQ(CutRows(), row.id == IDM_DELETE ? std::vector<int>{} : std::vector<int>{1}) << row.what;
        PelSim_SetOpenResult(0, 0, 0);
    }
}

TEST_F(CommandTest, AboutShowsTheVersionsOfWhatRunsAlsoWithoutACamera)
{
    char library[MAX_PATH] = "";
    GetModuleFileNameA(GetModuleHandleA("pelcore.dll"), library, MAX_PATH);
    char libraryVersion[32] = "";
    ASSERT_TRUE(GetFileProductVersion(library, libraryVersion, sizeof(libraryVersion)));
    CommasToPeriods(libraryVersion);
    struct Row {
        const char* what;
        int openStatus;
        std::vector<std::string> captions;  // of every box and dialog, the about box last
        std::string firmware;
        std::vector<std::string> calls;
    };
    const Row rows[] = {
        {"camera present", 0, {"Lumora"}, "4.0.1",
         {"ZQ_OpenComm", "ZQ_StopAcquisition", "ZQ_SetAcquisitionMode", "ZQ_GetFirmwareVersion", "ZQ_CloseComm"}},
        {"camera absent", 3, {Text(1), "Lumora"}, "", {"ZQ_OpenComm", "ZQ_SetAcquisitionMode", "ZQ_GetFirmwareVersion"}},
    };
    ShowFiles({});
    for (const Row& row : rows) {
        Prepare(IDM_ABOUT, {});
        PelSim_SetOpenResult(0, row.openStatus, 0);
        PelSim_ClearLog();

        ChooseFromMenuBar(IDM_ABOUT);

        std::vector<std::string> captions;
        for (const CapturedDialog& dialog : m_capture.Dialogs()) {
            captions.push_back(dialog.caption);
            EXPECT_EQ(dialog.owner, GetAncestor(ViewWindow(), GA_ROOT)) << row.what << " " << dialog.caption;
        }
        EXPECT_EQ(captions, row.captions) << row.what;
        if (row.openStatus != 0) {
            EXPECT_TRUE(m_capture.Dialogs().front().HasText(Text(1003))) << row.what;
        }
        EXPECT_EQ(m_about.shown, 1) << row.what;
        EXPECT_EQ(m_about.module, "1. 2. 0. 31") << row.what;
        EXPECT_EQ(m_about.firmware, row.firmware) << row.what;
        EXPECT_EQ(m_about.library, libraryVersion) << row.what;
        EXPECT_EQ(CameraCalls(), row.calls) << row.what;
        EXPECT_FALSE(PelSim_IsLinkOpen()) << row.what;
    }
    PelSim_SetOpenResult(0, 0, 0);
}

}  // namespace

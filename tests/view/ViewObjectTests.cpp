// The view object in the host's browser: its keys, the objects it hands out, its life and
// windows, a browser that refuses every optional call, where context menus open, sizes
// beyond 4 GB, and the drop source and drop target.
#include <shlwapi.h>
#include "CameraViewTestSupport.h"
#include "folder/CameraFolder.h"
#include "resources/resource.h"
#include "transfer/ItemDropSource.h"
#include "transfer/ViewDropTarget.h"

namespace {

// Counts the commands that reach a window.
LRESULT CALLBACK CountCommands(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    if (uMsg == WM_COMMAND) reinterpret_cast<std::vector<UINT>*>(data)->push_back(LOWORD(wParam));
    return DefSubclassProc(hwnd, uMsg, wParam, lParam);
}

// Holds the Ctrl key down (in this thread's key state) for the length of a scope.
class ControlKeyDown {
public:
    explicit ControlKeyDown(bool down)
    {
        GetKeyboardState(m_saved);
        BYTE state[256];
        CopyMemory(state, m_saved, sizeof(state));
        state[VK_CONTROL] = down ? 0x80 : 0;
        SetKeyboardState(state);
    }
    ~ControlKeyDown() { SetKeyboardState(m_saved); }
    ControlKeyDown(const ControlKeyDown&) = delete;
    ControlKeyDown& operator=(const ControlKeyDown&) = delete;

private:
    BYTE m_saved[256];
};

// A key pressed in a window.
MSG KeyDown(HWND hwnd, WPARAM key)
{
    MSG msg = {};
    msg.hwnd = hwnd;
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    msg.lParam = 1;
    return msg;
}

class ViewObjectTest : public CameraViewTest {
protected:
    void ShowThreeFiles(HostOptions options = {})
    {
        AddFiles({{"A.JPG", 1000}, {"B.JPG", 3000}, {"C.TXT", 5000}});
        ShowCamera(options);
    }
};

TEST_F(ViewObjectTest, KeysAreTranslatedOnlyForTheViewsOwnWindows)
{
    ShowThreeFiles();
    std::vector<UINT> commands;
    SetWindowSubclass(ViewWindow(), CountCommands, 1, reinterpret_cast<DWORD_PTR>(&commands));
    struct Row {
        const char* target;
        HWND hwnd;
        WPARAM key;
        bool fControl;
        HRESULT result;
        std::vector<UINT> commands;
    };
    const Row rows[] = {
        {"list", List(), VK_DELETE, false, S_OK, {IDM_DELETE}},
        {"view window", ViewWindow(), 'A', true, S_OK, {IDM_SELECTALL}},
        {"list", List(), 'V', true, S_OK, {IDM_PASTE}},
        {"list", List(), 'Q', true, S_FALSE, {}},
        {"address box", m_pBrowser->AddressBoxWindow(), VK_DELETE, false, S_FALSE, {}},
        {"address box", m_pBrowser->AddressBoxWindow(), 'A', true, S_FALSE, {}},
        {"toolbar", m_pBrowser->ToolbarWindow(), VK_DELETE, false, S_FALSE, {}},
        {"frame", m_pBrowser->FrameWindow(), 'C', true, S_FALSE, {}},
        {"no window", nullptr, VK_DELETE, false, S_FALSE, {}},
    };
    for (const Row& row : rows) {
        commands.clear();
        ControlKeyDown control(row.fControl);
        const MSG msg = KeyDown(row.hwnd, row.key);
        EXPECT_EQ(m_pBrowser->ActiveView()->TranslateAccelerator(const_cast<MSG*>(&msg)), row.result) << row.target << " " << row.key;
        PumpQueued();
        EXPECT_EQ(commands, row.commands) << row.target << " " << row.key;
    }

    // Through the browser's own loop: a Delete in the list is the view's, one in the address box is not.
    commands.clear();
    PostMessageA(List(), WM_KEYDOWN, VK_DELETE, 1);
    PumpQueued();
    m_pBrowser->FocusAddressBox();
    PostMessageA(m_pBrowser->AddressBoxWindow(), WM_KEYDOWN, VK_DELETE, 1);
    PumpQueued();
    EXPECT_EQ(commands, (std::vector<UINT>{IDM_DELETE}));
    RemoveWindowSubclass(ViewWindow(), CountCommands, 1);
}

TEST_F(ViewObjectTest, ItemObjectIsTheFoldersObjectForTheSelection)
{
    ShowThreeFiles();
    struct Row {
        const char* what;
        std::vector<int> selection;
        UINT uItem;
        IID iid;
        bool fAllocationFails;
        HRESULT result;
    };
    const Row rows[] = {
        {"nothing selected", {}, SVGIO_SELECTION, IID_IContextMenu, false, E_FAIL},
        {"two selected", {0, 2}, SVGIO_SELECTION, IID_IContextMenu, false, S_OK},
        {"in view order", {1}, SVGIO_SELECTION | SVGIO_FLAG_VIEWORDER, IID_IContextMenu, false, S_OK},
        {"background", {1}, SVGIO_BACKGROUND, IID_IContextMenu, false, E_NOTIMPL},
        {"all items", {1}, SVGIO_ALLVIEW, IID_IContextMenu, false, E_NOTIMPL},
        {"data object for one", {1}, SVGIO_SELECTION, IID_IDataObject, false, S_OK},
        {"data object for two", {0, 1}, SVGIO_SELECTION, IID_IDataObject, false, S_OK},
        {"no memory for the array", {0, 1}, SVGIO_SELECTION, IID_IContextMenu, true, E_OUTOFMEMORY},
    };
    for (const Row& row : rows) {
        SelectRows(row.selection);
        void* object = reinterpret_cast<void*>(1);
        HRESULT hr;
        if (row.fAllocationFails) {
            AllocationFailure failure(row.selection.size() * sizeof(LPCITEMIDLIST), 1);
            hr = m_pBrowser->ActiveView()->GetItemObject(row.uItem, row.iid, &object);
            EXPECT_TRUE(failure.Happened()) << row.what;
        } else {
            hr = m_pBrowser->ActiveView()->GetItemObject(row.uItem, row.iid, &object);
        }
        EXPECT_EQ(hr, row.result) << row.what;
        EXPECT_EQ(object != nullptr, hr == S_OK) << row.what;
        if (hr == S_OK) static_cast<IUnknown*>(object)->Release();
    }
}

TEST_F(ViewObjectTest, WindowsAndObjectsGoWithTheView)
{
    ShowThreeFiles();
    const HWND shownView = ViewWindow();
    const HWND shownList = List();
    ComPtr<IShellFolder> folder = Adopt(CreateCameraFolder(nullptr));
    ComPtr<IShellView> view;
    ASSERT_EQ(folder->CreateViewObject(nullptr, IID_PPV_ARGS(&view)), S_OK);
    FOLDERSETTINGS settings = {FVM_DETAILS, 0};
    RECT rc = {0, 0, 300, 200};
    HWND hwnd = nullptr;
    const ULONG browserRefs = m_pBrowser->AddRef() - 1;
    m_pBrowser->Release();
    ASSERT_EQ(view->CreateViewWindow(nullptr, &settings, m_pBrowser.Get(), &rc, &hwnd), S_OK);
    EXPECT_EQ(m_pBrowser->AddRef() - 1, browserRefs + 1);
    m_pBrowser->Release();

    HWND again = reinterpret_cast<HWND>(1);
    EXPECT_EQ(view->CreateViewWindow(nullptr, &settings, m_pBrowser.Get(), &rc, &again), E_UNEXPECTED);
    EXPECT_EQ(again, nullptr);
    ComPtr<CameraView> fromWindow = Adopt(ViewFromWindow(hwnd));
    EXPECT_EQ(static_cast<IShellView*>(fromWindow.Get()), view.Get());
    for (HWND other : {GetDlgItem(hwnd, IDC_LIST), m_pBrowser->FrameWindow(), static_cast<HWND>(nullptr)})
        EXPECT_EQ(ViewFromWindow(other), nullptr);
    ComPtr<ViewDropTarget> target = Adopt(ViewDropTarget::Create(fromWindow.Get()));
    EXPECT_EQ(RegisterDragDrop(hwnd, target.Get()), DRAGDROP_E_ALREADYREGISTERED);
    fromWindow.Reset();
    target.Reset();

    folder.Reset();  // the view holds its folder
    view.Reset();    // released without DestroyViewWindow: its window goes with it
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(m_pBrowser->AddRef() - 1, browserRefs);
    m_pBrowser->Release();

    CloseBrowser();
    EXPECT_FALSE(IsWindow(shownView));
    EXPECT_FALSE(IsWindow(shownList));
}

TEST_F(ViewObjectTest, RefusingBrowserStillShowsAndSortsTheFiles)
{
    HostOptions options;
    options.fRefusing = true;
    ShowThreeFiles(options);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A.JPG", "B.JPG", "C.TXT"}));
    ClickHeader(kColumnSize);
    ClickHeader(kColumnSize);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"C.TXT", "B.JPG", "A.JPG"}));
    DragDivider(kColumnName, 30);
    EXPECT_EQ(ReadStoredDisplaySettings()[0], 130);
    SelectRows({0, 1});
    void* object = nullptr;
    EXPECT_EQ(m_pBrowser->ActiveView()->GetItemObject(SVGIO_SELECTION, IID_IContextMenu, &object), S_OK);
    static_cast<IUnknown*>(object)->Release();
    MSG msg = KeyDown(List(), VK_DELETE);
    EXPECT_EQ(m_pBrowser->ActiveView()->TranslateAccelerator(&msg), S_OK);
    m_pBrowser->FocusAddressBox();
    m_pBrowser->FocusView();

    EXPECT_EQ(PopupTexts(FCIDM_MENU_FILE), (std::vector<std::string>{"&Close\tCtrl+W"}));
    EXPECT_EQ(m_pBrowser->ToolbarButtons().size(), 2u) << "the host's own buttons only";
    EXPECT_EQ(m_pBrowser->Calls().Count("view.UIActivate(*)"), 0u);
}

TEST_F(ViewObjectTest, ContextMenusOpenAtSignedPositionsOrAtTheFocusedRow)
{
    ShowThreeFiles();
    ComPtr<CameraView> view = View();
    auto point = [](int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); };
    auto position = [&](LPARAM lParam) {
        const POINT pt = view->ContextMenuPosition(lParam);
        return std::vector<LONG>{pt.x, pt.y};
    };
    EXPECT_EQ(position(point(-300, 200)), (std::vector<LONG>{-300, 200})) << "a monitor left of the primary";
    EXPECT_EQ(position(point(1500, -20)), (std::vector<LONG>{1500, -20}));

    LVITEMA focus = {};
    focus.stateMask = LVIS_FOCUSED;
    focus.state = LVIS_FOCUSED;
    SendMessageA(List(), LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&focus));
    RECT label = {};
    label.left = LVIR_LABEL;
    SendMessageA(List(), LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&label));
    POINT below = {label.left, label.bottom};
    ClientToScreen(List(), &below);
    EXPECT_EQ(position(point(-1, -1)), (std::vector<LONG>{below.x, below.y})) << "the keyboard's menu key";

    focus.state = 0;
    SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&focus));
    POINT corner = {0, 0};
    ClientToScreen(List(), &corner);
    EXPECT_EQ(position(point(-1, -1)), (std::vector<LONG>{corner.x, corner.y})) << "no focused row";
}

TEST_F(ViewObjectTest, TwoFilesOfThreeGigabytesShowSixGigabytes)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    PathAppendA(folder, "lumora-view-large");
    CreateDirectoryA(folder, nullptr);
    const ULONGLONG kThreeGiB = 3ull << 30;
    std::vector<std::string> paths;
    for (const char* name : {"BIG1.MOV", "BIG2.MOV"}) {
        char path[MAX_PATH];
        PathCombineA(path, folder, name);
        FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(kThreeGiB);
        ASSERT_TRUE(SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.Get())) << path;
        paths.push_back(path);
    }
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Lumora Camera Simulator", "StorageFolder", REG_SZ, folder, lstrlenA(folder) + 1);
    PelSim_UseDemoFolderFromRegistry();

    ShowCamera();
    char three[64], six[64], wrapped[64];
    StrFormatByteSize64A(static_cast<LONGLONG>(2 * kThreeGiB), six, sizeof(six));
    StrFormatByteSize64A(static_cast<LONGLONG>((2 * kThreeGiB) & 0xFFFFFFFF), wrapped, sizeof(wrapped));
    StrFormatKBSizeA(static_cast<LONGLONG>(kThreeGiB), three, sizeof(three));
    EXPECT_EQ(RowTexts(0)[1], three);
    EXPECT_EQ(StatusTexts()[0], "2 object(s)");
    EXPECT_EQ(StatusTexts()[1], six);
    SelectRows({0, 1});
    EXPECT_EQ(StatusTexts()[1], six);
    EXPECT_NE(StatusTexts()[1], wrapped);

    CloseBrowser();
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Lumora Camera Simulator", "StorageFolder");
    PelSim_Reset();
    for (const std::string& path : paths) EXPECT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_TRUE(RemoveDirectoryA(folder));
}

TEST_F(ViewObjectTest, DropSourceAndDropTarget)
{
    struct DragRow {
        BOOL fEscape;
        DWORD keys;
        HRESULT result;
    };
    ComPtr<ItemDropSource> source = Adopt(ItemDropSource::Create());
    for (const DragRow& row : {DragRow{TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL}, DragRow{TRUE, 0, DRAGDROP_S_CANCEL},
                               DragRow{FALSE, MK_LBUTTON, S_OK}, DragRow{FALSE, MK_LBUTTON | MK_SHIFT, S_OK},
                               DragRow{FALSE, 0, DRAGDROP_S_DROP}, DragRow{FALSE, MK_RBUTTON, DRAGDROP_S_DROP}})
        EXPECT_EQ(source->QueryContinueDrag(row.fEscape, row.keys), row.result) << row.fEscape << " " << row.keys;
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);

    ShowThreeFiles();
    ComPtr<CameraView> view = View();
    ComPtr<ViewDropTarget> target = Adopt(ViewDropTarget::Create(view.Get()));

    // Text on the clipboard: a data object without files.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 5);
    lstrcpyA(static_cast<char*>(GlobalLock(text)), "text");
    GlobalUnlock(text);
    SetClipboardData(CF_TEXT, text);
    CloseClipboard();
    ComPtr<IDataObject> textData;
    ASSERT_EQ(OleGetClipboard(&textData), S_OK);
    // A PC file as the shell offers it.
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    PathAppendA(path, "lumora-drop.txt");
    FileHandle(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    wchar_t widePath[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH);
    PidlHandle pidl;
    ASSERT_EQ(SHParseDisplayName(widePath, nullptr, pidl.Put(), 0, nullptr), S_OK);
    ComPtr<IShellFolder> parent;
    LPCITEMIDLIST child = nullptr;
    ASSERT_EQ(SHBindToParent(pidl.Get(), IID_PPV_ARGS(&parent), &child), S_OK);
    ComPtr<IDataObject> fileData;
    ASSERT_EQ(parent->GetUIObjectOf(nullptr, 1, &child, IID_IDataObject, nullptr, reinterpret_cast<void**>(fileData.GetAddressOf())), S_OK);

    DWORD effect = DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(textData.Get(), MK_LBUTTON, {0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY)) << "any data is offered a copy";
    effect = DROPEFFECT_LINK;
    EXPECT_EQ(target->DragOver(MK_LBUTTON, {1, 1}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(target->DragLeave(), S_OK);

    FORMATETC files = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    const HRESULT noFiles = textData->QueryGetData(&files);
    ASSERT_NE(noFiles, S_OK);
    EXPECT_EQ(target->Drop(textData.Get(), 0, {0, 0}, &effect), noFiles);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(fileData.Get(), 0, {0, 0}, &effect), S_OK) << "the upload's answer";
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    target->DetachView();
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->Drop(fileData.Get(), 0, {0, 0}, &effect), S_OK) << "a view that went takes nothing";
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));

    target.Reset();
    view.Reset();
    textData.Reset();
    fileData.Reset();
    parent.Reset();
    DeleteFileA(path);
}

}  // namespace

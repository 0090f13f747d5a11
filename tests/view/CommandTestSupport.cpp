#include "CommandTestSupport.h"
#include <shellapi.h>

const CameraFiles kThreeFiles = {{"A.QQH", 100}, {"B.QQH", 200}, {"C.QQH", 300}};

namespace {
constexpr UINT_PTR kPopupRecorder = 7;
}  // namespace

void ViewCommandTest::SetUp()
{
    CameraViewTest::SetUp();
    RemoveTempCopies();
}

void ViewCommandTest::TearDown()
{
    if (m_pBrowser && IsWindow(ViewWindow())) RemoveWindowSubclass(ViewWindow(), RecordPopups, kPopupRecorder);
    CameraViewTest::TearDown();
    RemoveTempCopies();
}

void ViewCommandTest::ShowFiles(const std::vector<int>& selected)
{
    AddFiles(kThreeFiles);
    ShowCamera();
    SetWindowSubclass(ViewWindow(), RecordPopups, kPopupRecorder, reinterpret_cast<DWORD_PTR>(&m_popups));
    ResetFiles(selected);
}

void ViewCommandTest::ResetFiles(const std::vector<int>& selected)
{
    PelSim_Reset();
    AddFiles(kThreeFiles);
    ComPtr<CameraView> view = View();
    view->SetViewMode(FVM_DETAILS);
    view->Refresh();
    PumpQueued();
    m_pBrowser->FocusView();
    SelectRows(selected);
    PelSim_ClearLog();
    m_capture.Clear();
    m_popups.clear();
}

std::vector<int> ViewCommandTest::RowsInState(UINT state) const
{
    std::vector<int> rows;
    for (int row = 0; row < static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0)); ++row)
        if (SendMessageA(List(), LVM_GETITEMSTATE, row, state)) rows.push_back(row);
    return rows;
}

void ViewCommandTest::MarkCut(int row) const
{
    LVITEMA item = {};
    item.stateMask = LVIS_CUT;
    item.state = LVIS_CUT;
    SendMessageA(List(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

UINT ViewCommandTest::CurrentViewMode() const
{
    FOLDERSETTINGS settings = {};
    m_pBrowser->ActiveView()->GetCurrentInfo(&settings);
    return settings.ViewMode;
}

std::vector<std::string> ViewCommandTest::CameraNames()
{
    std::vector<std::string> names;
    for (const auto& [name, size] : kThreeFiles)
        if (PelSim_GetFile(name.c_str(), nullptr, 0) >= 0) names.push_back(name);
    return names;
}

std::vector<std::string> ViewCommandTest::NamesPassedTo(const char* function)
{
    std::vector<std::string> names;
    for (const PelSimCall& call : CallsOf(function)) names.push_back(call.name);
    return names;
}

void ViewCommandTest::ChooseFromMenuBar(UINT id)
{
    PostMessageA(m_pBrowser->FrameWindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    PumpQueued();
}

void ViewCommandTest::ClickToolbarButton(UINT id)
{
    const HWND toolbar = m_pBrowser->ToolbarWindow();
    RECT rc = {};
    ASSERT_TRUE(SendMessageA(toolbar, TB_GETRECT, id, reinterpret_cast<LPARAM>(&rc))) << "no button " << id;
    const LPARAM point = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    PostMessageA(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(toolbar, WM_LBUTTONUP, 0, point);
    PumpQueued();
}

void ViewCommandTest::PressKey(WPARAM key, bool fControl)
{
    ControlKey control(fControl);
    PostMessageA(List(), WM_KEYDOWN, key, 1);
    PumpQueued();
}

void ViewCommandTest::RightClick(const std::vector<WPARAM>& keys)
{
    POINT pt = {20, 40};
    ClientToScreen(List(), &pt);
    PostMessageA(ViewWindow(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()), MAKELPARAM(pt.x, pt.y));
    for (WPARAM key : keys) PostMessageA(ViewWindow(), WM_KEYDOWN, key, 1);
    PumpQueued();
}

void ViewCommandTest::PressEnter()
{
    PostMessageA(List(), WM_KEYDOWN, VK_RETURN, 1);
    PumpQueued();
}

void ViewCommandTest::DoubleClickRow(int row)
{
    RECT rc = {};
    rc.left = LVIR_LABEL;
    SendMessageA(List(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rc));
    const LPARAM point = MAKELPARAM(rc.left + 2, (rc.top + rc.bottom) / 2);
    PostMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    PostMessageA(List(), WM_LBUTTONUP, 0, point);
    PumpQueued();
}

std::vector<std::vector<MenuEntry>> ViewCommandTest::TakePopups()
{
    return std::exchange(m_popups, {});
}

LRESULT CALLBACK ViewCommandTest::RecordPopups(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    const LRESULT result = DefSubclassProc(hwnd, uMsg, wParam, lParam);
    if (uMsg == WM_INITMENUPOPUP)
        reinterpret_cast<std::vector<std::vector<MenuEntry>>*>(data)->push_back(ReadMenuEntries(reinterpret_cast<HMENU>(wParam)));
    return result;
}

void ViewCommandTest::PutTextOnClipboard(const char* text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, lstrlenA(text) + 1);
    lstrcpyA(static_cast<char*>(GlobalLock(block)), text);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

std::string ViewCommandTest::ClipboardText()
{
    if (!OpenClipboard(nullptr)) return "(clipboard busy)";
    std::string text;
    if (HANDLE block = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return text;
}

void ViewCommandTest::PutDropBlockOnClipboard(const std::vector<BYTE>& block)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, block.size());
    CopyMemory(GlobalLock(copy), block.data(), block.size());
    GlobalUnlock(copy);
    SetClipboardData(CF_HDROP, copy);
    CloseClipboard();
}

std::vector<BYTE> DropBlock(const std::vector<std::string>& paths, bool fWide)
{
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = fWide;
    std::vector<BYTE> block(reinterpret_cast<const BYTE*>(&header), reinterpret_cast<const BYTE*>(&header + 1));
    auto append = [&](const std::string& text) {
        for (char c : text) {
            block.push_back(static_cast<BYTE>(c));
            if (fWide) block.push_back(0);
        }
        block.insert(block.end(), fWide ? 2 : 1, 0);
    };
    for (const std::string& path : paths) append(path);
    append("");
    return block;
}

PcFolder::PcFolder(const char* name)
{
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    m_path = std::string(temp) + name;
    CreateDirectoryA(m_path.c_str(), nullptr);
}

PcFolder::~PcFolder()
{
    WIN32_FIND_DATAA found = {};
    FindHandle find(FindFirstFileA(Path("*").c_str(), &found));
    for (bool more = find.IsValid(); more; more = FindNextFileA(find.Get(), &found)) {
        SetFileAttributesA(Path(found.cFileName).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(Path(found.cFileName).c_str());
    }
    find.Close();
    RemoveDirectoryA(m_path.c_str());
}

std::string PcFolder::WriteFile(const std::string& name, DWORD size) const
{
    const std::string path = Path(name);
    const std::string bytes(size, 'p');
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ::WriteFile(file.Get(), bytes.data(), size, &written, nullptr);
    return path;
}

std::string PcFolder::ReadFile(const std::string& path)
{
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.IsValid()) return "(missing)";
    std::string bytes(GetFileSize(file.Get(), nullptr), '\0');
    DWORD read = 0;
    ::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    return bytes;
}

std::string Text(UINT id)
{
    char text[512] = "";
    LoadStringA(g_hinstModule, id, text, sizeof(text));
    return text;
}

// The folder of every temporary copy, with its final backslash.
static std::string TempCopiesFolder()
{
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "Lumora\\";
}

std::string TempCopyPath(const std::string& name)
{
    WIN32_FIND_DATAA found = {};
    FindHandle find(FindFirstFileA((TempCopiesFolder() + "*").c_str(), &found));
    for (bool more = find.IsValid(); more; more = FindNextFileA(find.Get(), &found)) {
        const std::string path = TempCopiesFolder() + found.cFileName + "\\" + name;
        if (found.cFileName[0] != '.' && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return path;
    }
    return TempCopiesFolder() + name;
}

void RemoveTempCopies()
{
    const std::string from = TempCopiesFolder().substr(0, TempCopiesFolder().size() - 1) + '\0';
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&operation);
}

ControlKey::ControlKey(bool down)
{
    GetKeyboardState(m_saved);
    BYTE state[256];
    CopyMemory(state, m_saved, sizeof(state));
    state[VK_CONTROL] = down ? 0x80 : 0;
    SetKeyboardState(state);
}

ControlKey::~ControlKey()
{
    SetKeyboardState(m_saved);
}

namespace {
DWORD WINAPI RunWork(void* parameter)
{
    (*static_cast<const std::function<void()>*>(parameter))();
    return 0;
}
}  // namespace

void RunOnOtherThread(const std::function<void()>& work)
{
    KernelHandle thread(CreateThread(nullptr, 0, RunWork, const_cast<std::function<void()>*>(&work), 0, nullptr));
    ASSERT_TRUE(thread.IsValid());
    // The view's thread keeps serving messages sent to its windows meanwhile.
    HANDLE handle = thread.Get();
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
}

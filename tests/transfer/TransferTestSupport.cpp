#include "TransferTestSupport.h"
#include <shlwapi.h>
#include <fstream>
#include <iterator>
#include "folder/CameraFolder.h"
#include "resources/resource.h"

Bytes PatternBytes(size_t size, unsigned seed)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>((i * 7 + i / 251 + seed) & 0xFF);
    return bytes;
}

bool AddCameraFile(const std::string& name, size_t size, unsigned seed)
{
    const Bytes bytes = PatternBytes(size, seed);
    return PelSim_AddFile(name.c_str(), bytes.data(), static_cast<unsigned>(bytes.size())) != 0;
}

Bytes CameraFile(const std::string& name)
{
    const int size = PelSim_GetFile(name.c_str(), nullptr, 0);
    if (size <= 0) return {};
    Bytes bytes(static_cast<size_t>(size));
    PelSim_GetFile(name.c_str(), bytes.data(), static_cast<unsigned>(size));
    return bytes;
}

bool CameraHolds(const std::string& name)
{
    return PelSim_GetFile(name.c_str(), nullptr, 0) >= 0;
}

std::string TempCopiesFolder()
{
    char directory[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, directory);
    return std::string(directory) + "Lumora\\";
}

std::string TempCopyPathOf(const std::string& name)
{
    const std::string root = TempCopiesFolder();
    WIN32_FIND_DATAA data;
    FindHandle find(FindFirstFileA((root + "*").c_str(), &data));
    for (bool more = find.IsValid(); more; more = FindNextFileA(find.Get(), &data)) {
        const std::string path = root + data.cFileName + "\\" + name;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && data.cFileName[0] != '.' && FileExists(path)) return path;
    }
    return root + name;
}

void RemoveTempCopies()
{
    RemoveFolder(TempCopiesFolder());
}

Bytes ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.good()) << path;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveFolder(const std::string& folder)
{
    std::string base = folder;
    if (!base.empty() && base.back() != '\\') base += '\\';
    WIN32_FIND_DATAA data;
    FindHandle find(FindFirstFileA((base + "*").c_str(), &data));
    if (find) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = base + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveFolder(path);
                continue;
            }
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        } while (FindNextFileA(find.Get(), &data));
    }
    find.Reset();
    RemoveDirectoryA(base.c_str());
}

void CreatePcFile(const std::string& path, ULONGLONG size, unsigned seed)
{
    for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1))
        CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
    if (size < (64ull << 20)) {
        WriteWholeFile(path, PatternBytes(static_cast<size_t>(size), seed));
        return;
    }
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.IsValid()) << path;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    ASSERT_TRUE(SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.Get())) << path;
}

Bytes DropBlock(const std::vector<std::string>& paths, bool fWide)
{
    Bytes block(sizeof(DROPFILES));
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = fWide;
    CopyMemory(block.data(), &header, sizeof(header));
    auto append = [&](const std::string& path) {
        if (!fWide) {
            block.insert(block.end(), path.begin(), path.end() + 1);  // with its zero
            return;
        }
        std::wstring wide(path.size() + 1, L'\0');
        wide.resize(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size())));  // with its zero
        const auto* bytes = reinterpret_cast<const unsigned char*>(wide.c_str());
        block.insert(block.end(), bytes, bytes + wide.size() * sizeof(wchar_t));
    };
    for (const std::string& path : paths) append(path);
    append("");
    return block;
}

namespace {
// The slot of the program's import table through which it calls a function of a module.
void** FindImportSlot(const char* module, const char* function)
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name; ++entry) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), module) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) == 0) return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

using ReadFileFunction = BOOL(WINAPI*)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
ReadFileFunction g_pRealReadFile = nullptr;

BOOL WINAPI ReadOneByteShort(HANDLE file, LPVOID buffer, DWORD size, LPDWORD read, LPOVERLAPPED overlapped)
{
    const BOOL result = g_pRealReadFile(file, buffer, size > 0 ? size - 1 : 0, read, overlapped);
    SetLastError(ERROR_SUCCESS);
    return result;
}

BOOL WINAPI ReadFailing(HANDLE, LPVOID, DWORD, LPDWORD read, LPOVERLAPPED)
{
    if (read) *read = 0;
    SetLastError(ERROR_LOCK_VIOLATION);
    return FALSE;
}

int g_readsBeforeFailure = 0;

BOOL WINAPI ReadFailingOnce(HANDLE file, LPVOID buffer, DWORD size, LPDWORD read, LPOVERLAPPED overlapped)
{
    if (g_readsBeforeFailure-- == 0) return ReadFailing(file, buffer, size, read, overlapped);
    return g_pRealReadFile(file, buffer, size, read, overlapped);
}

// Swaps the function behind an import slot.
void* SwapSlot(void** slot, void* function)
{
    DWORD protection = 0;
    VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &protection);
    void* previous = *slot;
    *slot = function;
    VirtualProtect(slot, sizeof(void*), protection, &protection);
    return previous;
}
}  // namespace

FaultyReads::FaultyReads(ReadFault fault, const char* function, int goodReads)
    : m_pSlot(FindImportSlot("kernel32.dll", function))
{
    if (!m_pSlot || fault == ReadFault::None) return;
    m_pOriginal = *m_pSlot;
    g_pRealReadFile = reinterpret_cast<ReadFileFunction>(m_pOriginal);
    g_readsBeforeFailure = goodReads;
    void* const faulty[] = {nullptr, reinterpret_cast<void*>(&ReadOneByteShort), reinterpret_cast<void*>(&ReadFailing),
                            reinterpret_cast<void*>(&ReadFailingOnce)};
    SwapSlot(m_pSlot, faulty[static_cast<int>(fault)]);
}

FaultyReads::~FaultyReads()
{
    if (m_pSlot && m_pOriginal) SwapSlot(m_pSlot, m_pOriginal);
}

namespace {
thread_local ProgressRecorder* t_pRecorder = nullptr;
}  // namespace

ProgressRecorder::ProgressRecorder()
    : m_hHook(SetWindowsHookExA(WH_CALLWNDPROC, &ProgressRecorder::HookProc, nullptr, GetCurrentThreadId()))
{
    t_pRecorder = this;
}

ProgressRecorder::~ProgressRecorder()
{
    t_pRecorder = nullptr;
    if (m_hHook) UnhookWindowsHookEx(m_hHook);
}

// The number of the file that begins is set last: the line is the dialog's title and both numbers.
LRESULT CALLBACK ProgressRecorder::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && t_pRecorder && message->message == WM_SETTEXT &&
        GetDlgCtrlID(message->hwnd) == IDC_PROGRESS_CURRENT) {
        const HWND dialog = GetParent(message->hwnd);
        if (ClassName(dialog) == "#32770") {
            const std::string number = reinterpret_cast<const char*>(message->lParam);
            t_pRecorder->m_lines.push_back(WindowText(dialog) + ": " + number + " of " +
                                           WindowText(GetDlgItem(dialog, IDC_PROGRESS_TOTAL)));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

FORMATETC HGlobalFormat(UINT cf)
{
    return {static_cast<CLIPFORMAT>(cf), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

Bytes BlockBytes(HGLOBAL block)
{
    GlobalLockPtr<unsigned char> bytes(block);
    if (!bytes) return {};
    return Bytes(bytes.Get(), bytes.Get() + GlobalSize(block));
}

std::vector<std::string> DroppedPaths(HGLOBAL block)
{
    std::vector<std::string> paths;
    const UINT count = DragQueryFileA(static_cast<HDROP>(block), 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        char path[MAX_PATH] = "";
        DragQueryFileA(static_cast<HDROP>(block), i, path, MAX_PATH);
        paths.push_back(path);
    }
    return paths;
}

std::vector<std::string> FileListOf(IDataObject* data)
{
    FORMATETC files = HGlobalFormat(CF_HDROP);
    STGMEDIUM medium = {};
    if (!data || data->GetData(&files, &medium) != S_OK) return {};
    std::vector<std::string> paths = DroppedPaths(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return paths;
}

std::vector<std::wstring> WideFileListOf(IDataObject* data)
{
    FORMATETC files = HGlobalFormat(CF_HDROP);
    STGMEDIUM medium = {};
    if (!data || data->GetData(&files, &medium) != S_OK) return {};
    std::vector<std::wstring> paths(DragQueryFileW(static_cast<HDROP>(medium.hGlobal), 0xFFFFFFFF, nullptr, 0));
    for (UINT i = 0; i < paths.size(); ++i) {
        wchar_t path[2 * MAX_PATH] = L"";
        DragQueryFileW(static_cast<HDROP>(medium.hGlobal), i, path, ARRAYSIZE(path));
        paths[i] = path;
    }
    ReleaseStgMedium(&medium);
    return paths;
}

HGLOBAL NewBlock(const Bytes& bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!block) return nullptr;
    if (!bytes.empty()) CopyMemory(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    return block;
}

STGMEDIUM BlockMedium(HGLOBAL block, IUnknown* pUnkForRelease, DWORD tymed)
{
    STGMEDIUM medium = {};
    medium.tymed = tymed;
    medium.hGlobal = block;
    medium.pUnkForRelease = pUnkForRelease;
    return medium;
}

bool ShellMove(const std::string& path, const std::string& folder)
{
    std::string from = path + '\0';
    std::string to = folder + '\0';
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_MOVE;
    operation.pFrom = from.c_str();
    operation.pTo = to.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI | FOF_SILENT;
    return SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted;
}

ComPtr<IDataObject> ShellDataObject(const std::vector<std::string>& paths)
{
    std::vector<PidlHandle> items;
    ComPtr<IShellFolder> parent;
    for (const std::string& path : paths) {
        wchar_t widePath[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
        PidlHandle pidl;
        if (FAILED(SHParseDisplayName(widePath, nullptr, pidl.Put(), 0, nullptr))) return nullptr;
        items.push_back(std::move(pidl));
    }
    std::vector<LPCITEMIDLIST> children;
    for (const PidlHandle& item : items) {
        LPCITEMIDLIST child = nullptr;
        parent.Reset();
        if (FAILED(SHBindToParent(item.Get(), IID_PPV_ARGS(&parent), &child))) return nullptr;
        children.push_back(child);
    }
    ComPtr<IDataObject> data;
    if (!parent || FAILED(parent->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(),
                                                IID_IDataObject, nullptr, reinterpret_cast<void**>(data.GetAddressOf())))) {
        return nullptr;
    }
    return data;
}

IFACEMETHODIMP ReleaseCounter::QueryInterface(REFIID riid, void** ppv)
{
    *ppv = IsEqualIID(riid, IID_IUnknown) ? this : nullptr;
    if (!*ppv) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

void TransferTest::SetUp()
{
    CameraViewTest::SetUp();
    char directory[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, directory);
    m_pcFolder = std::string(directory) + "lumora-transfer-test\\";
    RemoveFolder(m_pcFolder);
    ASSERT_TRUE(CreateDirectoryA(m_pcFolder.c_str(), nullptr));
    RemoveTempCopies();
}

void TransferTest::TearDown()
{
    CameraViewTest::TearDown();
    RemoveFolder(m_pcFolder);
    RemoveTempCopies();
}

ComPtr<IDataObject> TransferTest::DataObjectForRows(const std::vector<int>& rows, bool fCut)
{
    std::vector<LPCITEMIDLIST> items;
    for (int row : rows) items.push_back(RowItem(row));
    ComPtr<IShellFolder> folder = Adopt(CreateCameraFolder(nullptr));
    UINT flag = fCut ? 1 : 0;
    ComPtr<IDataObject> data;
    EXPECT_EQ(folder->GetUIObjectOf(ViewWindow(), static_cast<UINT>(items.size()), items.data(), IID_IDataObject,
                                    &flag, reinterpret_cast<void**>(data.GetAddressOf())),
              S_OK);
    return data;
}

std::vector<std::string> TransferTest::CutRows() const
{
    std::vector<std::string> rows;
    const std::vector<std::string> names = RowNames();
    for (size_t row = 0; row < names.size(); ++row)
        if (SendMessageA(List(), LVM_GETITEMSTATE, row, LVIS_CUT)) rows.push_back(names[row]);
    return rows;
}

Messages TransferTest::Boxes() const
{
    return BoxesOf(m_capture);
}

Messages BoxesOf(const DialogCapture& capture)
{
    Messages messages;
    for (const CapturedDialog& dialog : capture.Dialogs()) {
        bool box = true;
        for (const char* title : {"Copying from ", "Downloading to ", "Connecting to "}) box = box && dialog.caption.rfind(title, 0) != 0;
        if (box) messages.push_back(dialog.texts.empty() ? std::string() : dialog.texts.front());
    }
    return messages;
}

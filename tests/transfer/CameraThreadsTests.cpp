// Two camera windows, each on a thread of its own as the Explorer runs its folder windows,
// over the one shared connection: the listings, opens, copies out and uploads of both
// interleave, and the camera sees the calls of one unit of work at a time.
#include "TransferTestSupport.h"
#include <algorithm>
#include <atomic>
#include <cstdio>
#include "folder/CameraFolder.h"
#include "resources/resource.h"
#include "support/HarmlessFileType.h"

namespace {

constexpr int kRounds = 8;
// Far longer than the whole test takes: a wait this long is a deadlock, not a slow machine.
constexpr ULONGLONG kDeadlockMs = 120000;

// A file of one window: its camera name, size, the seed of its bytes, and for an upload the
// PC file it comes from.
struct WindowFile {
    std::string cameraName;
    size_t size;
    unsigned seed;
    std::string pcName;
};

// Window t's files: two on the camera from the start ("T0A.QQH" read whole, "T0B.QQH" in
// segments), then the two of each round's upload (one sent whole, one in two segments).
std::vector<WindowFile> FilesOf(int t)
{
    const std::string id = std::to_string(t);
    std::vector<WindowFile> files;
    auto add = [&](const std::string& cameraName, size_t size, const std::string& pcName) {
        files.push_back({cameraName, size, 100u * t + static_cast<unsigned>(files.size()), pcName});
    };
    add("T" + id + "A.QQH", 3000, "");
    add("T" + id + "B.QQH", 600000, "");
    for (int round = 0; round < kRounds; ++round) {
        const std::string r = std::to_string(round);
        add("T" + id + "S" + r + "    .TXT", 2000 + round, "t" + id + "s" + r + ".txt");
        add("T" + id + "B" + r + "    .JPG", 700000 + 100 * t + round, "t" + id + "b" + r + ".jpg");
    }
    return files;
}

// What the camera lists, sorted, once window t sent `own` uploads and the other window `other`.
std::vector<std::string> ListedNames(int t, int own, int other)
{
    std::vector<std::string> names;
    for (int id : {0, 1}) {
        const std::vector<WindowFile> files = FilesOf(id);
        for (int i = 0; i < 2 + 2 * (id == t ? own : other); ++i) names.push_back(files[i].cameraName);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Waits for an object while this thread's windows are served; false after kDeadlockMs.
bool WaitPumping(HANDLE handle)
{
    const ULONGLONG deadline = GetTickCount64() + kDeadlockMs;
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, 1000, QS_ALLINPUT) != WAIT_OBJECT_0) {
        if (GetTickCount64() > deadline) return false;
        PumpMessages();
    }
    return true;
}

// What both windows' threads share: the start, the PC folder, each window's uploads begun and done.
struct Shared {
    KernelHandle go{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<int> ready{0};
    std::atomic<int> begun[2]{};
    std::atomic<int> done[2]{};
    std::string pcFolder;
};

// One camera window on a thread of its own: OLE, its browser, its boxes, and each round its
// script of steps (L lists, O opens, C copies out, U uploads). What goes wrong is written
// down, to be read once the thread has ended.
class WindowThread {
public:
    WindowThread(int id, const char* script, Shared& shared) : m_id(id), m_script(script), m_shared(shared) {}

    // The thread's procedure.
    static DWORD WINAPI Main(void* self)
    {
        static_cast<WindowThread*>(self)->Run();
        return 0;
    }

    std::vector<std::string> faults;
    Messages boxes;

private:
    // The window's life: shown, both windows ready, the rounds, closed; OLE around it all.
    void Run()
    {
        OleInitialize(nullptr);
        {
            DialogCapture capture;
            const bool shown = Show();
            if (++m_shared.ready == 2) SetEvent(m_shared.go.Get());
            Expect(WaitPumping(m_shared.go.Get()), "the other window never came");
            for (int round = 0; shown && round < kRounds; ++round) {
                const std::string at = "round " + std::to_string(round) + ": ";
                for (const char* step = m_script; *step; ++step) {
                    if (*step == 'L') List(at);
                    if (*step == 'O') Open(at, m_files[round % 2]);
                    if (*step == 'C') Copy(at);
                    if (*step == 'U') Upload(at, round);
                    WaitForListing();
                }
            }
            boxes = BoxesOf(capture);
            if (m_browser) m_browser->Close();
            m_browser.Reset();
            m_folder.Reset();
        }
        OleUninitialize();
    }

    // Writes down what went wrong; answers ok.
    bool Expect(bool ok, const std::string& what)
    {
        if (!ok) faults.push_back(what);
        return ok;
    }

    // The browser shows the camera folder as the view tests show it, with the camera's files.
    bool Show()
    {
        m_browser = Adopt(HostBrowser::Create(HostOptions{}));
        if (!Expect(m_browser != nullptr, "no browser")) return false;
        m_browser->Calls().ExpectOnly(kViewCalls);
        m_browser->Calls().SetFailureHook([this](const std::string& call) { faults.push_back("a call nobody expected: " + call); });
        m_folder = Adopt(CreateCameraFolder(nullptr));
        const HRESULT hr = m_folder ? m_browser->ShowFolder(m_folder.Get()) : E_OUTOFMEMORY;
        if (!Expect(hr == S_OK, "the camera folder not shown: " + std::to_string(hr))) return false;
        WaitForListing();
        ExpectRows("the first listing: ", 0, 0);
        return true;
    }

    // The view reads the camera again: its rows are this window's files with its uploads so
    // far, and the other window's with the uploads that ended before or ran during the reading.
    void List(const std::string& at)
    {
        const int otherBefore = m_shared.done[1 - m_id];
        View()->Refresh();
        WaitForListing();
        ExpectRows(at, otherBefore, m_shared.begun[1 - m_id]);
    }

    // The rows hold this window's files and uploads and between otherBefore and otherAfter of the other's.
    void ExpectRows(const std::string& at, int otherBefore, int otherAfter)
    {
        std::vector<std::string> names;
        std::string shown;
        for (const auto& [name, item] : Rows()) {
            names.push_back(name);
            shown += "[" + name + "]";
        }
        std::sort(names.begin(), names.end());
        bool ok = false;
        for (int other = otherBefore; other <= otherAfter && !ok; ++other) ok = names == ListedNames(m_id, m_shared.done[m_id], other);
        Expect(ok, at + "the rows " + shown);
    }

    // The Open command on the row of a camera file: its read-only temporary copy holds its bytes.
    void Open(const std::string& at, const WindowFile& file)
    {
        LPCITEMIDLIST item = ItemOf(file.cameraName);
        if (Expect(item && View()->InvokeMenuCommand(IDM_OPEN, 1, &item) == S_OK, at + "Open of " + file.cameraName))
            ExpectCopy(at, file, TempCopiesFolder() + "Open\\" + file.cameraName);
    }

    // The folder's data object for the rows of both camera files lists their temporary
    // copies, which hold their bytes.
    void Copy(const std::string& at)
    {
        LPCITEMIDLIST items[] = {ItemOf(m_files[0].cameraName), ItemOf(m_files[1].cameraName)};
        UINT flag = 0;
        ComPtr<IDataObject> data;
        m_folder->GetUIObjectOf(m_browser->ViewWindow(), 2, items, IID_IDataObject, &flag, reinterpret_cast<void**>(data.GetAddressOf()));
        FORMATETC format = HGlobalFormat(CF_HDROP);
        STGMEDIUM medium = {};
        if (!Expect(items[0] && items[1] && data && data->GetData(&format, &medium) == S_OK, at + "the copy out")) return;
        const std::vector<std::string> copies = DroppedPaths(medium.hGlobal);
        ReleaseStgMedium(&medium);
        if (!Expect(copies.size() == 2, at + "the list of the copies")) return;
        for (int i : {0, 1}) {
            Expect(copies[i].substr(copies[i].rfind('\\') + 1) == m_files[i].cameraName, at + "the list of the copies");
            ExpectCopy(at, m_files[i], copies[i]);
        }
    }

    // The temporary copy of a camera file holds its bytes.
    void ExpectCopy(const std::string& at, const WindowFile& file, const std::string& path)
    {
        Expect(ReadWholeFile(path) == PatternBytes(file.size, file.seed), at + "the copy of " + file.cameraName);
    }

    // The round's two PC files sent as the Paste command sends them: the camera holds their bytes.
    void Upload(const std::string& at, int round)
    {
        const WindowFile* sent[] = {&m_files[2 + 2 * round], &m_files[3 + 2 * round]};
        GlobalBlock drop(NewBlock(DropBlock({m_shared.pcFolder + sent[0]->pcName, m_shared.pcFolder + sent[1]->pcName})));
        ++m_shared.begun[m_id];
        Expect(View()->UploadFiles(static_cast<HDROP>(drop.Get())) == S_OK, at + "the upload");
        ++m_shared.done[m_id];
        for (const WindowFile* file : sent)
            Expect(CameraFile(file->cameraName) == PatternBytes(file->size, file->seed), at + file->cameraName + " on the camera");
    }

    ComPtr<CameraView> View() const { return Adopt(ViewFromWindow(m_browser->ViewWindow())); }

    // The window's messages until its view has read the camera.
    void WaitForListing()
    {
        const bool listed = m_browser->PumpUntil([this] { return !View() || !View()->IsListing(); }, kDeadlockMs);
        Expect(listed, "the view never finished reading the camera");
    }

    // The rows' camera names and items, in list order.
    std::vector<std::pair<std::string, LPCITEMIDLIST>> Rows() const
    {
        const ComPtr<CameraView> view = View();
        std::vector<std::pair<std::string, LPCITEMIDLIST>> rows;
        char name[16] = "";
        for (int row = 0; view->Rows().GetListItemName(row, name); ++row) {
            LVITEMA item = {};
            item.mask = LVIF_PARAM;
            item.iItem = row;
            SendMessageA(view->ListWindow(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            rows.emplace_back(name, reinterpret_cast<LPCITEMIDLIST>(item.lParam));
        }
        return rows;
    }

    // The item of the row of a camera name; null when no row shows it.
    LPCITEMIDLIST ItemOf(const std::string& cameraName) const
    {
        for (const auto& [name, item] : Rows())
            if (name == cameraName) return item;
        return nullptr;
    }

    const int m_id;
    const char* const m_script;
    Shared& m_shared;
    const std::vector<WindowFile> m_files = FilesOf(m_id);
    ComPtr<HostBrowser> m_browser;
    ComPtr<IShellFolder> m_folder;
};

// Reads the camera's log as units one after the other: each opens the link, makes calls that
// all succeed, moves files of one window only, sends a segment right after its transfer's
// start or another of its segments, and closes the link. Counts the units; answers each call
// that breaks this.
std::vector<std::string> UnitBreaks(int* units)
{
    static const std::string kMoves[] = {"ZQ_ReceiveFile", "ZQ_GetSegmentedFile", "ZQ_PutFile", "ZQ_PutSegmentedFile"};
    std::vector<std::string> breaks;
    bool open = false;
    std::string owner;  // "T0" or "T1": the window whose files the running unit moves
    std::string previous;
    const std::vector<PelSimCall> log = CameraLog();
    for (size_t i = 0; i < log.size(); ++i) {
        const PelSimCall& call = log[i];
        const std::string function = call.function, name = call.name;
        const std::string at = std::to_string(i) + " " + function + " " + name + ": ";
        if (call.status != ZQ_STATUS_OK) breaks.push_back(at + "status " + std::to_string(call.status));
        if ((function == "ZQ_GetSegment" || function == "ZQ_PutSegment") && previous.rfind(function, 0) != 0)
            breaks.push_back(at + "apart from its transfer");
        previous = function;
        if (function == "ZQ_OpenComm") {
            if (open) breaks.push_back(at + "inside a unit");
            open = true;
            owner.clear();
            ++*units;
            continue;
        }
        if (!open) breaks.push_back(at + "outside a unit");
        open = open && function != "ZQ_CloseComm";
        if (std::find(std::begin(kMoves), std::end(kMoves), function) == std::end(kMoves)) continue;
        if (owner.empty()) owner = name.substr(0, 2);
        if (owner != name.substr(0, 2)) breaks.push_back(at + "a file of the other window");
    }
    return breaks;
}

class CameraThreadsTest : public TransferTest {};

TEST_F(CameraThreadsTest, TwoWindowsOnTheirOwnThreadsTakeTheCameraOneUnitAtATime)
{
    HarmlessFileType harmless(".qqh");
    for (int t : {0, 1}) {
        for (const WindowFile& file : FilesOf(t)) {
            if (file.pcName.empty()) ASSERT_TRUE(AddCameraFile(file.cameraName, file.size, file.seed));
            else CreatePcFile(PcPath(file.pcName), file.size, file.seed);
        }
    }
    PelSim_ClearLog();
    Shared shared;
    shared.pcFolder = m_pcFolder;
    WindowThread windows[2] = {{0, "LOCU", shared}, {1, "UCLO", shared}};
    KernelHandle threads[2];
    for (int t : {0, 1}) threads[t].Reset(CreateThread(nullptr, 0, WindowThread::Main, &windows[t], 0, nullptr));
    for (const KernelHandle& thread : threads) {
        if (!thread || WaitPumping(thread.Get())) continue;
        // The threads still use this test's objects: the program ends here, with the failure.
        ADD_FAILURE() << "a window's thread did not end: a deadlock";
        fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 1);
    }
    ASSERT_TRUE(threads[0] && threads[1]);

    for (const WindowThread& window : windows) {
        EXPECT_EQ(window.faults, std::vector<std::string>{});
        EXPECT_EQ(window.boxes, Messages{});
    }
    int units = 0;
    EXPECT_EQ(UnitBreaks(&units), std::vector<std::string>{});
    EXPECT_EQ(units, 2 * (1 + 5 * kRounds))
        << "the first listing, then every listing, open, copy, upload and the listing after it opened the link once";
    EXPECT_FALSE(PelSim_IsLinkOpen());
    EXPECT_EQ(PelSim_FileCount(), 2 * (2 + 2 * kRounds));
    for (int t : {0, 1})
        for (const WindowFile& file : FilesOf(t)) EXPECT_EQ(CameraFile(file.cameraName), PatternBytes(file.size, file.seed)) << file.cameraName;
    EXPECT_EQ(g_cObjects, m_cObjectsAtStart);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
    EXPECT_EQ(g_pConnection, nullptr);
}

}  // namespace

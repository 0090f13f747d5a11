// Every operation of the folder with each of its camera calls failing in turn: the user
// hears of the failure once, in the words of its status, and nothing is lost, left alive,
// claimed or written where it does not belong.
#include "TransferTestSupport.h"
#include <algorithm>
#include <functional>
#include <map>
#include "resources/resource.h"
#include "support/HarmlessFileType.h"

namespace {

// The camera's files before every run: one read whole, one read in segments.
const std::vector<std::pair<std::string, size_t>> kCameraFiles = {{"A.QQH", 1000}, {"B.QQH", 600000}};
// The PC files an upload sends, and the names they must arrive under.
const std::vector<std::pair<std::string, size_t>> kPcFiles = {{"small.txt", 100}, {"large.jpg", 600000}};
const std::vector<std::string> kUploadNames = {"SMALL   .TXT", "LARGE   .JPG"};

// The statuses each call fails with: one with a message of its own, and "aborted".
struct FailingStatus {
    int status;
    const char* message;
};
const FailingStatus kStatuses[] = {
    {3, "An error occurred while communicating with the Camera. Please check the connections and make sure the camera's power is on."},
    {14, "Communication aborted."},
};
const char kStatusMessage[] = "<the status's own message>";

// What the user is told when a call fails: the first row for the operation ("" for any)
// and the call's function and occurrence (0 for any); the status's own message where the
// row says so. A call without a row shows the status's own message alone.
struct Expected {
    const char* operation;
    const char* function;
    unsigned nth;
    Messages messages;
};
const Expected kExpected[] = {
    // The link cannot be opened: then the free space counts as none. The listing after an
    // upload is a unit of its own: its open is the second.
    {"upload", "ZQ_OpenComm", 1, {kStatusMessage, text::k2004}},
    // What a connect does after opening the link, and the close, are not checked.
    {"", "ZQ_StopAcquisition", 0, {}},
    {"", "ZQ_SetAcquisitionMode", 0, {}},
    // A link whose close failed is still open when the next unit connects.
    {"delete", "ZQ_CloseComm", 1, {"Error!  The camera is in use by another application."}},
    {"cut and move", "ZQ_CloseComm", 1, {"Error!  The camera is in use by another application."}},
    {"upload", "ZQ_CloseComm", 1, {"Error!  The camera is in use by another application."}},
    {"", "ZQ_CloseComm", 0, {}},
    // An unread version is version 0: a large file is refused, in either direction (the second
    // copy out reads B.QQH).
    {"upload", "ZQ_GetFirmwareVersion", 0, {text::k2005}},
    {"", "ZQ_GetFirmwareVersion", 2, {text::k2005}},
    {"", "ZQ_GetFirmwareVersion", 0, {}},
    // A failed read of a temporary copy's bytes says so twice.
    {"", "ZQ_ReceiveFile", 0, {kStatusMessage, text::k2002}},
    {"", "ZQ_GetSegmentedFile", 0, {kStatusMessage, text::k2002}},
    {"", "ZQ_GetSegment", 0, {kStatusMessage, text::k2002}},
    // An unread free space is none; a refused put ends the run without a message.
    {"", "ZQ_GetMediaFree", 0, {text::k2004}},
    {"", "ZQ_PutFile", 0, {}},
    {"", "ZQ_PutSegmentedFile", 0, {}},
    {"", "ZQ_PutSegment", 0, {}},
};

// The messages of a call failing with a status, by the table.
Messages ExpectedMessages(const std::string& operation, const std::string& function, unsigned nth, const FailingStatus& status)
{
    Messages messages = {kStatusMessage};
    for (const Expected& row : kExpected) {
        if ((row.operation[0] && operation != row.operation) || function != row.function || (row.nth && row.nth != nth)) continue;
        messages = row.messages;
        break;
    }
    for (std::string& message : messages)
        if (message == kStatusMessage) message = status.message;
    return messages;
}

// The top-level entries of a folder.
std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::string TempDirectory()
{
    char directory[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, directory);
    return directory;
}

class FaultSweepTest : public TransferTest {
protected:
    struct Operation {
        const char* name;
        std::function<void()> run;
        std::vector<std::string> reaches;  // calls that show it did its work
    };

    void SetUp() override
    {
        TransferTest::SetUp();
        m_tempEntries = FolderEntries(TempDirectory());
        m_tempEntries.push_back("Lumora");
        std::sort(m_tempEntries.begin(), m_tempEntries.end());
    }

    std::vector<Operation> Operations()
    {
        return {
            {"list", [this] { View()->Refresh(); PumpQueued(); }, {"ZQ_GetFiles", "ZQ_GetFileSize"}},
            {"open", [this] { RunCommand(IDM_OPEN, {0, 1}); }, {"ZQ_ReceiveFile", "ZQ_GetSegment"}},
            {"delete", [this] { RunCommand(IDM_DELETE, {0, 1}); }, {"ZQ_DeleteFile", "ZQ_GetNumFiles"}},
            {"copy out", [this] { CopyOut(); }, {"ZQ_ReceiveFile", "ZQ_GetSegment"}},
            {"cut and move", [this] { CutAndMove(); }, {"ZQ_GetSegment", "ZQ_DeleteFile"}},
            {"upload", [this] { Upload(); }, {"ZQ_PutFile", "ZQ_PutSegment", "ZQ_GetFileSize"}},
            {"about", [this] { RunCommand(IDM_ABOUT, {}); }, {"ZQ_GetFirmwareVersion"}},
        };
    }

    // One run on a fresh camera: the operation with the nth call of a function failing (no
    // call when the function is empty); the names of the calls it made.
    std::vector<std::string> RunOnce(const Operation& operation, const std::string& function = "", unsigned nth = 0, int status = 0)
    {
        Prepare();
        if (!function.empty()) PelSim_FailCall(function.c_str(), nth, status, 0);
        operation.run();
        PumpQueued();
        PelSim_ClearFailures();
        return CameraCalls();
    }

    // What every run must leave: the messages of its failure and no other, every camera
    // file on the camera or moved intact, only whole files sent and kept, nothing written
    // outside the copies' folder and the test's own, nothing of the module alive.
    void CheckRun(const std::string& operation, const std::string& function = "", unsigned nth = 0, const FailingStatus& status = {})
    {
        const Messages expected = function.empty() ? Messages{} : ExpectedMessages(operation, function, nth, status);
        EXPECT_EQ(UserMessages(), expected);
        EXPECT_EQ(m_aboutBoxes, operation == "about" ? 1u : 0u) << "About boxes";
        CheckCameraFiles(operation);
        CheckUpload(function.empty() || operation != "upload");
        CheckTemporaryFiles();
        if (function != "ZQ_CloseComm") {
            EXPECT_FALSE(PelSim_IsLinkOpen()) << "the unit closed the link";
        }
        CloseBrowser();
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        EXPECT_EQ(DllCanUnloadNow(), S_OK);
        EXPECT_EQ(g_pConnection, nullptr);
    }

private:
    // A fresh camera and PC folders, the camera shown, the log and the boxes cleared.
    void Prepare()
    {
        PelSim_Reset();
        PelSim_SetFirmware("4.0.1");
        for (size_t i = 0; i < kCameraFiles.size(); ++i)
            ASSERT_TRUE(AddCameraFile(kCameraFiles[i].first, kCameraFiles[i].second, static_cast<unsigned>(i + 1)));
        RemoveTempCopies();
        RemoveFolder(m_pcFolder);
        CreateDirectoryA(m_pcFolder.c_str(), nullptr);
        CreateDirectoryA(Moved().c_str(), nullptr);
        for (size_t i = 0; i < kPcFiles.size(); ++i) CreatePcFile(Source(i), kPcFiles[i].second, SourceSeed(i));
        ShowCamera();
        PelSim_ClearLog();
        m_capture.Clear();
        m_uploadResult = E_PENDING;
    }

    std::string Moved() const { return PcPath("moved\\"); }
    std::string Source(size_t i) const { return PcPath("source\\") + kPcFiles[i].first; }
    static unsigned SourceSeed(size_t i) { return static_cast<unsigned>(10 + i); }

    void RunCommand(UINT id, const std::vector<int>& rows)
    {
        SelectRows(rows);
        View()->ShowItemMenu(0, 0, false, static_cast<int>(id));
    }

    void CopyOut() { FileListOf(DataObjectForRows({0, 1}, false).Get()); }

    // A Cut that a PC folder completes: the list read, each copy moved by the shell, then
    // the receiver's notice that it moved them, to the object the Cut placed.
    void CutAndMove()
    {
        RunCommand(IDM_CUT, {0, 1});
        ComPtr<IDataObject> cut(View()->ClipboardData());
        for (const std::string& path : FileListOf(cut.Get())) ShellMove(path, Moved());
        if (!cut) return;
        DWORD effect = DROPEFFECT_MOVE;
        STGMEDIUM notice = BlockMedium(NewBlock(Bytes(reinterpret_cast<BYTE*>(&effect), reinterpret_cast<BYTE*>(&effect) + 4)));
        FORMATETC performed = HGlobalFormat(RegisterClipboardFormatA("Performed DropEffect"));
        cut->SetData(&performed, &notice, TRUE);
    }

    void Upload()
    {
        std::vector<std::string> paths;
        for (size_t i = 0; i < kPcFiles.size(); ++i) paths.push_back(Source(i));
        GlobalBlock hDrop(NewBlock(DropBlock(paths)));
        m_uploadResult = View()->UploadFiles(static_cast<HDROP>(hDrop.Get()));
        PumpQueued();
    }

    // The boxes but the About box, which is counted apart.
    Messages UserMessages()
    {
        m_aboutBoxes = 0;
        Messages messages = Boxes();
        for (const CapturedDialog& dialog : m_capture.Dialogs()) {
            if (!dialog.HasText("Firmware version")) continue;
            ++m_aboutBoxes;
            messages.erase(std::find(messages.begin(), messages.end(), dialog.texts.front()));
        }
        return messages;
    }

    // A camera file is on the camera as it was, or (deleted or moved) gone; a moved one
    // is in the PC folder whole.
    void CheckCameraFiles(const std::string& operation)
    {
        for (size_t i = 0; i < kCameraFiles.size(); ++i) {
            const auto& [name, size] = kCameraFiles[i];
            const Bytes bytes = PatternBytes(size, static_cast<unsigned>(i + 1));
            const bool moved = FileExists(Moved() + name);
            if (moved) {
                EXPECT_TRUE(ReadWholeFile(Moved() + name) == bytes) << name << " moved";
            }
            if (CameraHolds(name)) {
                EXPECT_TRUE(CameraFile(name) == bytes) << name << " changed on the camera";
            } else {
                EXPECT_TRUE(operation == "delete" || moved) << name << " left the camera";
            }
        }
        EXPECT_EQ(FolderEntries(Moved()).size(), static_cast<size_t>(std::count_if(kCameraFiles.begin(), kCameraFiles.end(),
                                                                                   [&](const auto& file) { return FileExists(Moved() + file.first); })));
    }

    // Whatever arrived on the camera arrived whole; a run that failed says so, and one that
    // did not sent everything.
    void CheckUpload(bool fEverything)
    {
        size_t arrived = 0;
        for (size_t i = 0; i < kPcFiles.size(); ++i) {
            if (!CameraHolds(kUploadNames[i])) continue;
            ++arrived;
            EXPECT_TRUE(CameraFile(kUploadNames[i]) == PatternBytes(kPcFiles[i].second, SourceSeed(i))) << kUploadNames[i] << " arrived damaged";
        }
        if (m_uploadResult == E_PENDING) {
            EXPECT_EQ(arrived, 0u);
            return;
        }
        if (fEverything) {
            EXPECT_EQ(arrived, kPcFiles.size());
        }
        if (arrived < kPcFiles.size() && UserMessages().empty()) {
            EXPECT_TRUE(FAILED(m_uploadResult)) << "a run that sent less failed";
        }
    }

    // Only whole temporary copies, in folders of their own inside theirs; nothing else in the
    // temporary directory.
    void CheckTemporaryFiles()
    {
        for (const std::string& folder : FolderEntries(TempCopiesFolder())) {
            const std::string path = TempCopiesFolder() + folder + "\\";
            EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) << folder;
            for (const std::string& name : FolderEntries(path)) {
                auto source = std::find_if(kCameraFiles.begin(), kCameraFiles.end(), [&](const auto& file) { return file.first == name; });
                ASSERT_NE(source, kCameraFiles.end()) << name;
                const unsigned seed = static_cast<unsigned>(source - kCameraFiles.begin() + 1);
                EXPECT_TRUE(ReadWholeFile(path + name) == PatternBytes(source->second, seed)) << name << " copied in part";
            }
        }
        std::vector<std::string> entries = FolderEntries(TempDirectory());
        if (std::find(entries.begin(), entries.end(), "Lumora") == entries.end()) entries.push_back("Lumora");
        std::sort(entries.begin(), entries.end());
        EXPECT_EQ(entries, m_tempEntries);
    }

    HarmlessFileType m_type{".qqh"};
    HRESULT m_uploadResult = E_PENDING;
    size_t m_aboutBoxes = 0;
    std::vector<std::string> m_tempEntries;
};

TEST_F(FaultSweepTest, EveryCallOfEveryOperationFailing)
{
    size_t runs = 0;
    for (const Operation& operation : Operations()) {
        SCOPED_TRACE(operation.name);
        const std::vector<std::string> calls = RunOnce(operation);
        CheckRun(operation.name);
        for (const std::string& function : operation.reaches)
            EXPECT_NE(std::find(calls.begin(), calls.end(), function), calls.end()) << function;
        std::map<std::string, unsigned> seen;
        for (const std::string& function : calls) {
            const unsigned nth = ++seen[function];
            for (const FailingStatus& status : kStatuses) {
                SCOPED_TRACE(function + " #" + std::to_string(nth) + " failing with " + std::to_string(status.status));
                RunOnce(operation, function, nth, status.status);
                CheckRun(operation.name, function, nth, status);
                ++runs;
            }
        }
        printf("%s: %zu calls\n", operation.name, calls.size());
    }
    printf("%zu runs with a failing call\n", runs);
}

}  // namespace

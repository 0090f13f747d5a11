// Sending PC files to the camera: whole runs of files as the Paste command hands them over,
// the shell's own data objects dropped onto the view, and blocks that other programs got wrong.
#include "TransferTestSupport.h"
#include <optional>
#include "transfer/CameraNames.h"
#include "transfer/ViewDropTarget.h"

namespace {

// A PC file of a run: where it lies in the test's folder, its size, and the camera name it
// must arrive under ("" when it must not arrive).
struct PcFile {
    std::string path;
    ULONGLONG size;
    std::string cameraName;
};

const ULONGLONG kNotCreated = ~0ull;
const ULONGLONG kFourGiB = 1ull << 32;

// The camera's put calls as lines: "ZQ_PutFile NAME size", "ZQ_PutSegmentedFile NAME total", "ZQ_PutSegment size".
std::vector<std::string> PutCalls()
{
    std::vector<std::string> lines;
    for (const PelSimCall& call : CameraLog()) {
        const std::string function = call.function;
        if (function.rfind("ZQ_Put", 0) != 0) continue;
        std::string line = function;
        if (call.name[0]) line.append(" ").append(call.name);
        lines.push_back(line.append(" ").append(std::to_string(call.size)));
    }
    return lines;
}

// A block of the given header and list bytes.
Bytes WithHeader(DWORD pFiles, BOOL fWide, const Bytes& list)
{
    DROPFILES header = {};
    header.pFiles = pFiles;
    header.fWide = fWide;
    Bytes block(sizeof(header) + list.size());
    CopyMemory(block.data(), &header, sizeof(header));
    if (!list.empty()) CopyMemory(block.data() + sizeof(header), list.data(), list.size());
    return block;
}

// The list of a block, without its header.
Bytes ListOf(const Bytes& block)
{
    return Bytes(block.begin() + sizeof(DROPFILES), block.end());
}

Bytes Joined(const Bytes& first, const Bytes& second)
{
    Bytes joined(first.size() + second.size());
    if (!first.empty()) CopyMemory(joined.data(), first.data(), first.size());
    if (!second.empty()) CopyMemory(joined.data() + first.size(), second.data(), second.size());
    return joined;
}

Bytes CutShort(Bytes bytes, size_t by)
{
    bytes.resize(bytes.size() - by);
    return bytes;
}

std::vector<std::string> Progress(size_t shown, size_t files, const std::string& title = "Downloading to Lumora")
{
    std::vector<std::string> lines;
    for (size_t n = 1; n <= shown; ++n) lines.push_back(title + ": " + std::to_string(n) + " of " + std::to_string(files));
    return lines;
}

class UploadTest : public TransferTest {
protected:
    // Creates the files of the list (each with its own bytes) and answers their full paths.
    std::vector<std::string> CreateFiles(const std::vector<PcFile>& files)
    {
        std::vector<std::string> paths;
        for (size_t i = 0; i < files.size(); ++i) {
            paths.push_back(PcPath(files[i].path));
            if (files[i].size != kNotCreated) CreatePcFile(paths.back(), files[i].size, static_cast<unsigned>(i + 1));
        }
        return paths;
    }
    // Sends a list as the Paste command does: the CF_HDROP block handed to the view.
    HRESULT Upload(const Bytes& block)
    {
        GlobalBlock hDrop(NewBlock(block));
        const HRESULT hr = View()->UploadFiles(static_cast<HDROP>(hDrop.Get()));
        PumpQueued();
        return hr;
    }
};

TEST_F(UploadTest, RunsOfFiles)
{
    struct Row {
        const char* what;
        CameraFiles camera;       // on the camera and shown by the view
        CameraFiles cameraOnly;   // put on the camera after the view was filled
        std::vector<PcFile> files;
        const char* firmware;
        unsigned freeKiB;
        std::vector<std::string> puts;
        Messages messages;
        HRESULT result;
        size_t shown;             // files the progress dialog counted
    };
    const Row rows[] = {
        {"a picture, a document and a note", {}, {}, {{"a.jpg", 100, "A       .JPG"}, {"b.doc", 100, ""}, {"notes.txt", 200, "NOTES   .TXT"}},
         "4.0", 65536, {"ZQ_PutFile A       .JPG 100", "ZQ_PutFile NOTES   .TXT 200"}, {}, S_OK, 3},
        {"one name from two folders", {}, {}, {{"one\\photo.jpg", 10, "PHOTO   .JPG"}, {"two\\photo.jpg", 20, "PHOTO ~1.JPG"}},
         "4.0", 65536, {"ZQ_PutFile PHOTO   .JPG 10", "ZQ_PutFile PHOTO ~1.JPG 20"}, {}, S_OK, 2},
        {"a row that differs only in case", {{"photo   .jpg", 5}}, {}, {{"Photo.JPG", 10, "PHOTO ~1.JPG"}}, "4.0", 65536,
         {"ZQ_PutFile PHOTO ~1.JPG 10"}, {}, S_OK, 1},
        {"a file on the camera that the view does not show", {}, {{"DOG     .JPG", 5}}, {{"dog.jpg", 10, "DOG   ~1.JPG"}},
         "4.0", 65536, {"ZQ_PutFile DOG   ~1.JPG 10"}, {}, S_OK, 1},
        {"a large file on old firmware", {}, {}, {{"big.jpg", 1000000, ""}, {"small.txt", 10, "SMALL   .TXT"}}, "3.1", 65536,
         {"ZQ_PutFile SMALL   .TXT 10"}, {text::k2005}, S_OK, 2},
        {"a large file in segments", {}, {}, {{"big.jpg", 1000000, "BIG     .JPG"}}, "4.0", 65536,
         {"ZQ_PutSegmentedFile BIG     .JPG 1000000", "ZQ_PutSegment 524288", "ZQ_PutSegment 475712"}, {}, S_OK, 1},
        {"one segment's worth on old firmware", {}, {}, {{"seg.jpg", 524288, "SEG     .JPG"}}, "3.9", 65536,
         {"ZQ_PutFile SEG     .JPG 524288"}, {}, S_OK, 1},
        {"one segment's worth whole on new firmware too", {}, {}, {{"seg.jpg", 524288, "SEG     .JPG"}}, "4.0", 65536,
         {"ZQ_PutFile SEG     .JPG 524288"}, {}, S_OK, 1},
        {"an empty file", {}, {}, {{"empty.txt", 0, ""}}, "4.0", 65536, {}, {}, S_OK, 1},
        {"just enough room", {}, {}, {{"ten.jpg", 10240, "TEN     .JPG"}}, "4.0", 11, {"ZQ_PutFile TEN     .JPG 10240"}, {}, S_OK, 1},
        {"one KiB short", {}, {}, {{"ten.jpg", 10240, ""}, {"next.jpg", 1, ""}}, "4.0", 10, {}, {text::k2004}, E_OUTOFMEMORY, 1},
        {"four GiB cannot be described", {}, {}, {{"huge.mov", kFourGiB, ""}, {"after.txt", 10, "AFTER   .TXT"}}, "4.0", 0xFFFFFFFF,
         {"ZQ_PutFile AFTER   .TXT 10"}, {text::k2005}, S_OK, 2},
        {"names without a dot, with a tilde, or without a free name", {}, {{"~9999999.JPG", 5}},
         {{"xjpg", 10, "X       .JPG"}, {"a~b.jpg", 10, "A~B     .JPG"}, {"~9999999.jpg", 10, ""}, {"last.txt", 10, "LAST    .TXT"}},
         "4.0", 65536, {"ZQ_PutFile X       .JPG 10", "ZQ_PutFile A~B     .JPG 10", "ZQ_PutFile LAST    .TXT 10"},
         {text::kNoFreeName}, S_OK, 4},
        {"an empty list", {}, {}, {}, "4.0", 65536, {}, {}, S_OK, 0},
        {"just under 4 GiB needs 4 GiB of room", {}, {}, {{"huge.mov", kFourGiB - 1, ""}}, "4.0", 100, {}, {text::k2004}, E_OUTOFMEMORY, 1},
        {"paths shorter than five characters", {}, {}, {{"ajpg", 10, "A       .JPG"}, {"jpg", 20, "        .JPG"}}, "4.0", 65536,
         {"ZQ_PutFile A       .JPG 10", "ZQ_PutFile         .JPG 20"}, {}, S_OK, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        PelSim_Reset();
        AddFiles(row.camera);
        ShowCamera();
        for (const auto& [name, size] : row.cameraOnly) ASSERT_TRUE(AddCameraFile(name, size, 99));
        PelSim_SetFirmware(row.firmware);
        PelSim_SetMediaFree(row.freeKiB);
        std::vector<std::string> paths = CreateFiles(row.files);
        // Short paths are relative to the current folder, the test's own.
        const bool relative = row.what == std::string("paths shorter than five characters");
        char previous[MAX_PATH] = "";
        GetCurrentDirectoryA(MAX_PATH, previous);
        if (relative) {
            SetCurrentDirectoryA(m_pcFolder.c_str());
            for (size_t i = 0; i < paths.size(); ++i) paths[i] = row.files[i].path;
        }
        PelSim_ClearLog();
        m_capture.Clear();
        ProgressRecorder progress;

        EXPECT_EQ(Upload(DropBlock(paths)), row.result);
        SetCurrentDirectoryA(previous);

        EXPECT_EQ(PutCalls(), row.puts);
        EXPECT_EQ(Boxes(), row.messages);
        EXPECT_EQ(progress.Lines(), Progress(row.shown, row.files.size()));
        for (size_t i = 0; i < row.files.size(); ++i) {
            if (!row.files[i].cameraName.empty()) {
                EXPECT_EQ(CameraFile(row.files[i].cameraName), PatternBytes(static_cast<size_t>(row.files[i].size), static_cast<unsigned>(i + 1)))
                    << row.files[i].path;
            }
        }
        for (const auto& [name, size] : row.cameraOnly) EXPECT_EQ(CameraFile(name), PatternBytes(size, 99)) << "never overwritten";
        const bool sentAnything = !row.puts.empty() || row.what == std::string("an empty file");
        EXPECT_EQ(CallsOf("ZQ_GetNumFiles").size(), (row.files.empty() ? 0u : 1u) + (sentAnything ? 1u : 0u))
            << "the camera's names once, then the refresh when anything arrived";
        EXPECT_FALSE(PelSim_IsLinkOpen());
        CloseBrowser();
        RemoveFolder(m_pcFolder);
        CreateDirectoryA(m_pcFolder.c_str(), nullptr);
    }
}

TEST_F(UploadTest, NothingIsClaimedThatDidNotArrive)
{
    struct Row {
        const char* what;
        ULONGLONG firstSize;       // of the first file (a second one follows)
        const char* failingCall;   // the camera refuses its first call
        ReadFault readFault;       // how the platform's reads of the file go wrong
        bool fNoMemory;            // the buffer for the bytes cannot be had
        bool fLinkFails;
        HRESULT result;
        Messages messages;
    };
    const Row rows[] = {
        {"the camera refuses the put", 100, "ZQ_PutFile", ReadFault::None, false, false, MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x207), {}},
        {"a segment is refused", 600000, "ZQ_PutSegment", ReadFault::None, false, false, MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x207), {}},
        {"a read fails with an error", 600000, nullptr, ReadFault::Fails, false, false, HRESULT_FROM_WIN32(ERROR_LOCK_VIOLATION), {}},
        {"a read comes up short without an error", 600000, nullptr, ReadFault::Short, false, false, HRESULT_FROM_WIN32(ERROR_HANDLE_EOF), {}},
        {"the camera cannot be reached", 600000, nullptr, ReadFault::None, false, true, E_OUTOFMEMORY, {text::k1002, text::k2004}},
        {"no memory for the bytes", 600000, nullptr, ReadFault::None, true, false, E_OUTOFMEMORY, {text::k2000}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        PelSim_Reset();
        ShowCamera();
        const std::vector<std::string> paths = CreateFiles({{"first.jpg", row.firstSize, ""}, {"second.txt", 10, ""}});
        if (row.failingCall) PelSim_FailCall(row.failingCall, 1, 7, 0);
        if (row.fLinkFails) {
            PelSim_SetOpenResult(0, 2, 0);
            PelSim_SetOpenResult(1, 2, 0);
        }
        PelSim_ClearLog();
        m_capture.Clear();
        HRESULT result;
        {
            FaultyReads faulty(row.readFault);
            ASSERT_TRUE(faulty.Active());
            std::optional<AllocationFailure> noMemory;
            if (row.fNoMemory) noMemory.emplace(ZQ_SEGMENT_SIZE, 1);
            result = Upload(DropBlock(paths));
            if (noMemory) {
                EXPECT_TRUE(noMemory->Happened());
            }
        }

        EXPECT_EQ(result, row.result);
        EXPECT_TRUE(FAILED(result)) << "a failure is never a success code";
        const bool unreadable = row.readFault != ReadFault::None;
        EXPECT_EQ(Boxes(), unreadable ? Messages{text::kFilesNotSent + paths[0] + "\n" + paths[1]} : row.messages);
        EXPECT_EQ(PelSim_FileCount(), 0) << "nothing arrived";
        EXPECT_EQ(CallsOf("ZQ_GetNumFiles").size(), row.fLinkFails ? 0u : 1u) << "no refresh for what did not arrive";
        EXPECT_EQ(CallsOf("ZQ_PutFile").size() + CallsOf("ZQ_PutSegmentedFile").size(), row.failingCall ? 1u : 0u)
            << "no later file is sent";
        CloseBrowser();
        RemoveFolder(m_pcFolder);
        CreateDirectoryA(m_pcFolder.c_str(), nullptr);
    }
}

TEST_F(UploadTest, ShellFilesDroppedOntoTheViewAsOneOperation)
{
    ShowCamera();
    const std::vector<std::string> paths = CreateFiles({{"a.jpg", 100, ""}, {"notes.txt", 200, ""}});
    ComPtr<IDataObject> files = ShellDataObject(paths);
    ASSERT_NE(files, nullptr);
    FORMATETC format = HGlobalFormat(CF_HDROP);
    STGMEDIUM list = {};
    ASSERT_EQ(files->GetData(&format, &list), S_OK);
    ASSERT_GE(BlockBytes(list.hGlobal).size(), sizeof(DROPFILES));
    EXPECT_EQ(reinterpret_cast<const DROPFILES*>(BlockBytes(list.hGlobal).data())->fWide, TRUE) << "the shell sends wide paths";
    ReleaseStgMedium(&list);
    ComPtr<CameraView> view = View();
    ComPtr<ViewDropTarget> target = Adopt(ViewDropTarget::Create(view.Get()));
    ProductNameScope product("Lumora Pro");
    ProgressRecorder progress;
    PelSim_ClearLog();

    DWORD effect = DROPEFFECT_COPY;
    {
        ViewOperation running(view.Get());
        EXPECT_EQ(target->Drop(files.Get(), 0, {0, 0}, &effect), S_OK) << "refused quietly while a command runs";
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
        EXPECT_EQ(PelSim_LogCount(), 0);
    }
    effect = DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(files.Get(), 0, {0, 0}, &effect), S_OK);
    PumpQueued();

    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY)) << "a copy: the source keeps its files";
    EXPECT_EQ(CameraFile("A       .JPG"), PatternBytes(100, 1));
    EXPECT_EQ(CameraFile("NOTES   .TXT"), PatternBytes(200, 2));
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A       .JPG", "NOTES   .TXT"})) << "listed anew at the operation's end";
    EXPECT_EQ(progress.Lines(), Progress(2, 2, "Downloading to Lumora Pro"));
    EXPECT_EQ(Boxes(), Messages{});
    EXPECT_TRUE(FileExists(paths[0]) && FileExists(paths[1]));
    target.Reset();
    view.Reset();
    files.Reset();
}

TEST_F(UploadTest, BlocksOfOtherProgramsAreCheckedBeforeAnythingIsSent)
{
    std::string longPath(304, 'x');
    longPath.replace(300, 4, ".txt");
    struct Row {
        const char* what;
        Bytes block;
        HRESULT result;
        std::vector<std::string> sent;
        bool fDialog;  // the list names files: the progress dialog counts them
        std::string named = "";  // the files the message names as not sent
    };
    ShowCamera();
    const std::string path = PcPath("a.jpg");
    CreatePcFile(path, 100, 1);
    const Bytes narrowName(path.begin(), path.end());
    const HRESULT invalid = HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
    const Row rows[] = {
        {"a single-byte list", DropBlock({path}), S_OK, {"A       .JPG"}, true},
        {"a wide list", DropBlock({path}, true), S_OK, {"A       .JPG"}, true},
        {"a wide list at an odd offset", WithHeader(21, TRUE, Joined({0}, ListOf(DropBlock({path}, true)))), S_OK, {"A       .JPG"}, true},
        {"an empty list", WithHeader(20, FALSE, {0}), S_OK, {}, false},
        {"a path longer than a path can be", DropBlock({longPath}), HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE), {}, true,
         "..." + longPath.substr(longPath.size() - 257)},
        {"a header cut short", Bytes(19, 0), invalid, {}, false},
        {"a header and nothing else", WithHeader(20, FALSE, {}), invalid, {}, false},
        {"the list inside the header", WithHeader(4, FALSE, {0, 0}), invalid, {}, false},
        {"the list beyond the block", WithHeader(4000, FALSE, {0, 0}), invalid, {}, false},
        {"a list without its last empty name", WithHeader(20, FALSE, Joined(narrowName, {0})), invalid, {}, false},
        {"a list without any end", WithHeader(20, FALSE, narrowName), invalid, {}, false},
        {"a wide list cut in a character", CutShort(DropBlock({path}, true), 3), invalid, {}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        for (const std::string& name : row.sent) PelSim_RemoveFile(name.c_str());
        View()->Refresh();
        PumpQueued();
        // The block reaches the view through the real clipboard, as another program put it there.
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        ASSERT_NE(SetClipboardData(CF_HDROP, NewBlock(row.block)), nullptr);
        CloseClipboard();
        ComPtr<IDataObject> clipboard;
        ASSERT_EQ(OleGetClipboard(&clipboard), S_OK);
        FORMATETC format = HGlobalFormat(CF_HDROP);
        STGMEDIUM medium = {};
        ASSERT_EQ(clipboard->GetData(&format, &medium), S_OK);
        EXPECT_EQ(BlockBytes(medium.hGlobal), row.block) << "the clipboard hands the block over as it stands";
        ReleaseStgMedium(&medium);
        ComPtr<ViewDropTarget> target = Adopt(ViewDropTarget::Create(View().Get()));
        PelSim_ClearLog();
        m_capture.Clear();
        DWORD effect = DROPEFFECT_COPY;

        EXPECT_EQ(target->Drop(clipboard.Get(), 0, {0, 0}, &effect), row.result);

        EXPECT_EQ(effect, static_cast<DWORD>(row.result == S_OK ? DROPEFFECT_COPY : DROPEFFECT_NONE));
        for (const std::string& name : row.sent) EXPECT_EQ(CameraFile(name), PatternBytes(100, 1));
        if (row.result == invalid) {
            EXPECT_EQ(PelSim_LogCount(), 0) << "an invalid block never reaches the camera";
        }
        EXPECT_EQ(m_capture.Count(), (row.fDialog ? 1u : 0u) + (row.named.empty() ? 0u : 1u)) << "the progress dialog only for a list with files";
        EXPECT_EQ(Boxes(), row.named.empty() ? Messages{} : Messages{text::kFilesNotSent + row.named});
    }
}

TEST_F(UploadTest, FilesLeftOutAreNamedAndTheDropIsNoCopy)
{
    enum class Kind { File, Folder, Missing, HeldOpen };
    struct Item { const char* name; Kind kind; ULONGLONG size; };
    struct Row {
        const char* what;
        std::vector<Item> items;
        int goodReads;  // reads before the one that fails; -1: none fails
        std::vector<std::string> puts;
        std::vector<std::pair<size_t, std::string>> arrived;  // item, camera name
        std::vector<size_t> named;                             // items the message names
        HRESULT result;
    };
    const HRESULT locked = HRESULT_FROM_WIN32(ERROR_LOCK_VIOLATION);
    const Row rows[] = {
        {"folders, whatever their names", {{"Holiday", Kind::Folder, 0}, {"album.jpg", Kind::Folder, 0}, {"a.jpg", Kind::File, 10}}, -1,
         {"ZQ_PutFile A       .JPG 10"}, {{2, "A       .JPG"}}, {0, 1}, HRESULT_FROM_WIN32(336)},
        {"a file another program holds open without sharing", {{"held.jpg", Kind::HeldOpen, 10}, {"b.txt", Kind::File, 20}}, -1,
         {"ZQ_PutFile B       .TXT 20"}, {{1, "B       .TXT"}}, {0}, HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION)},
        {"a file that is not there", {{"missing.jpg", Kind::Missing, 0}, {"there.jpg", Kind::File, 10}}, -1,
         {"ZQ_PutFile THERE   .JPG 10"}, {{1, "THERE   .JPG"}}, {0}, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
        {"a file that cannot be read", {{"bad.jpg", Kind::File, 10}, {"good.jpg", Kind::File, 30}}, 0,
         {"ZQ_PutFile GOOD    .JPG 30"}, {{1, "GOOD    .JPG"}}, {0}, locked},
        {"a read that fails once the camera holds part of the file", {{"big.mov", Kind::File, 1000000}, {"after.txt", Kind::File, 10}}, 1,
         {"ZQ_PutSegmentedFile BIG     .MOV 1000000", "ZQ_PutSegment 524288"}, {}, {0}, locked},
        {"other types stay quiet", {{"notes.doc", Kind::File, 10}, {"c.wav", Kind::File, 10}}, -1,
         {"ZQ_PutFile C       .WAV 10"}, {{1, "C       .WAV"}}, {}, S_OK},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        PelSim_Reset();
        ShowCamera();
        std::vector<std::string> paths;
        FileHandle held;
        for (size_t i = 0; i < row.items.size(); ++i) {
            const Item& item = row.items[i];
            paths.push_back(PcPath(item.name));
            if (item.kind == Kind::Folder) CreateDirectoryA(paths.back().c_str(), nullptr);
            if (item.kind == Kind::File || item.kind == Kind::HeldOpen) CreatePcFile(paths.back(), item.size, static_cast<unsigned>(i + 1));
            if (item.kind == Kind::HeldOpen) held.Reset(CreateFileA(paths.back().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        }
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        ASSERT_NE(SetClipboardData(CF_HDROP, NewBlock(DropBlock(paths))), nullptr);
        CloseClipboard();
        ComPtr<IDataObject> clipboard;
        ASSERT_EQ(OleGetClipboard(&clipboard), S_OK);
        ComPtr<ViewDropTarget> target = Adopt(ViewDropTarget::Create(View().Get()));
        PelSim_ClearLog();
        m_capture.Clear();
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        {
            FaultyReads faulty(row.goodReads < 0 ? ReadFault::None : ReadFault::FailsOne, "ReadFile", row.goodReads);
            EXPECT_EQ(target->Drop(clipboard.Get(), 0, {0, 0}, &effect), row.result);
        }

        EXPECT_EQ(effect, static_cast<DWORD>(row.result == S_OK ? DROPEFFECT_COPY : DROPEFFECT_NONE));
        EXPECT_EQ(PutCalls(), row.puts);
        EXPECT_EQ(PelSim_FileCount(), static_cast<int>(row.arrived.size())) << "nothing half-sent is kept";
        for (const auto& [item, name] : row.arrived)
            EXPECT_EQ(CameraFile(name), PatternBytes(static_cast<size_t>(row.items[item].size), static_cast<unsigned>(item + 1))) << name;
        std::string named;
        for (size_t item : row.named) named += (named.empty() ? "" : "\n") + paths[item];
        EXPECT_EQ(Boxes(), named.empty() ? Messages{} : Messages{text::kFilesNotSent + named});
        if (!named.empty()) {
            EXPECT_EQ(m_capture.Dialogs().back().caption, text::kCaption);
            EXPECT_EQ(m_capture.Dialogs().back().owner, GetAncestor(ViewWindow(), GA_ROOT));
        }
        held.Reset();
        target.Reset();
        CloseBrowser();
        RemoveFolder(m_pcFolder);
        CreateDirectoryA(m_pcFolder.c_str(), nullptr);
    }
}

// Camera names of PC names in a double-byte code page: read by character, whether the list
// is single-byte or wide. The transfer_cp932 test runs this in a Japanese locale.
TEST_F(UploadTest, CameraNamesOfCodePage932Names)
{
    if (GetACP() != 932) GTEST_SKIP() << "needs the ANSI code page 932 (LANG=ja_JP.UTF-8)";
    const struct {
        const wchar_t* file;
        const char* cameraName;  // null: not sent (its type is not one the camera takes)
    } rows[] = {
        {L"テスト.jpg", "___     .JPG"},        // trail bytes 0x65 0x58 0x67 stay what they are
        {L"表紙.jpg", "__      .JPG"},          // a trail byte 0x5C is no backslash
        {L"abcdeテスト2.jpg", "ABCDE_~1.JPG"},  // the cut never splits a character
        {L"夏休みの写真アルバム.mov", "______~1.MOV"},
        {L"aソb.txt", "A_B     .TXT"},
        {L"ｶﾒﾗ.wav", "___     .WAV"},           // single-byte katakana
        {L"写ニpg", nullptr},                     // ends in bytes "jpg", but not in the characters
    };
    ShowCamera();
    std::vector<std::string> paths, puts;
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(testing::Message() << i);
        std::string file(64, '\0');
        file.resize(WideCharToMultiByte(CP_ACP, 0, rows[i].file, -1, file.data(), 64, nullptr, nullptr) - 1);
        char name[kCameraNameBuffer];
        EXPECT_EQ(FirstCameraName(("C:\\pics\\" + file).c_str(), name), rows[i].cameraName != nullptr);
        EXPECT_STREQ(name, rows[i].cameraName ? rows[i].cameraName : "");
        paths.push_back(PcPath(file));
        CreatePcFile(PcPath("made"), 10, 1);  // the C library's streams do not take code page 932 names
        ASSERT_TRUE(MoveFileA(PcPath("made").c_str(), paths.back().c_str()));
        if (rows[i].cameraName) puts.push_back(std::string("ZQ_PutFile ") + rows[i].cameraName + " 10");
    }
    for (bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "wide list" : "single-byte list");
        PelSim_Reset();
        View()->Refresh();
        PumpQueued();
        EXPECT_EQ(Upload(DropBlock(paths, wide)), S_OK);
        EXPECT_EQ(PutCalls(), puts);
        EXPECT_EQ(Boxes(), Messages{});
    }
}

// A data object that says it has files but hands them over wrongly: GetData fails, or gives
// a stream, or a global handle that is null.
class OddFiles final : public IDataObject {
public:
    enum class Answer { Fails, Stream, NullHandle };
    OddFiles(Answer answer, IStream* stream) : m_answer(answer), m_pStream(stream) {}

    IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject) ? this : nullptr;
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return 2; }  // lives on the test's stack
    IFACEMETHODIMP_(ULONG) Release() override { return 1; }
    IFACEMETHODIMP GetData(FORMATETC*, STGMEDIUM* pmedium) override
    {
        if (m_answer == Answer::Fails) return E_FAIL;
        *pmedium = {};
        pmedium->tymed = m_answer == Answer::Stream ? TYMED_ISTREAM : TYMED_HGLOBAL;
        if (m_answer == Answer::Stream) {
            m_pStream->AddRef();
            pmedium->pstm = m_pStream;
        }
        return S_OK;
    }
    IFACEMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    IFACEMETHODIMP QueryGetData(FORMATETC*) override { return S_OK; }
    IFACEMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    IFACEMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    IFACEMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    IFACEMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    IFACEMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
    IFACEMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
    Answer m_answer;
    IStream* m_pStream;
};

TEST_F(UploadTest, DropNeedsTheListAsAGlobalHandle)
{
    ShowCamera();
    const std::vector<std::string> paths = CreateFiles({{"a.jpg", 100, ""}});
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(NewBlock(DropBlock(paths)), TRUE, &stream), S_OK);
    ComPtr<ViewDropTarget> target = Adopt(ViewDropTarget::Create(View().Get()));
    PelSim_ClearLog();
    for (OddFiles::Answer answer : {OddFiles::Answer::Fails, OddFiles::Answer::Stream, OddFiles::Answer::NullHandle}) {
        OddFiles files(answer, stream.Get());
        DWORD effect = DROPEFFECT_COPY;
        EXPECT_EQ(target->Drop(&files, 0, {0, 0}, &effect), E_OUTOFMEMORY) << static_cast<int>(answer);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    }
    EXPECT_EQ(PelSim_LogCount(), 0) << "nothing reached the camera";
    EXPECT_EQ(stream.Get()->AddRef(), 2u) << "the stream handed over was released";
    stream.Get()->Release();
    EXPECT_EQ(m_capture.Count(), 0u);
}

}  // namespace

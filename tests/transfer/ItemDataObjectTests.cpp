// The item data object: camera files copied out through the real OLE clipboard, a Cut
// finished by the shell's own move, the receiver's notices, the lists it builds for every
// kind of selection, and its formats and enumerator.
#include "TransferTestSupport.h"
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <shlwapi.h>
#include "resources/resource.h"
#include "support/HarmlessFileType.h"
#include "folder/CameraFolder.h"

namespace {

// The CF_HDROP block the object must build for these temporary copies (paths wide).
Bytes ExpectedDropFiles(const std::vector<std::string>& names)
{
    std::vector<std::string> paths;
    for (const std::string& name : names) paths.push_back(TempCopyPathOf(name));
    return DropBlock(paths, true);
}

// A notice block of a receiver: the drop effect in four bytes (or fewer).
Bytes EffectBytes(DWORD effect, size_t size = 4)
{
    Bytes bytes(reinterpret_cast<const unsigned char*>(&effect), reinterpret_cast<const unsigned char*>(&effect) + 4);
    bytes.resize(size);
    return bytes;
}

// A camera file of the tests: name, size, seed of its bytes.
struct CameraFileSpec {
    std::string name;
    size_t size;
    unsigned seed;
};

class ItemDataObjectTest : public TransferTest {
protected:
    void ShowFiles(const std::vector<CameraFileSpec>& files)
    {
        for (const CameraFileSpec& file : files) ASSERT_TRUE(AddCameraFile(file.name, file.size, file.seed)) << file.name;
        ShowCamera();
        PelSim_ClearLog();
    }
    // Marks the rows as cut, as the view's Cut command does.
    void MarkCut(const std::vector<int>& rows)
    {
        std::vector<LPCITEMIDLIST> items;
        for (int row : rows) items.push_back(RowItem(row));
        View()->MarkCutItems(items.data(), static_cast<UINT>(items.size()), TRUE);
    }
    // The paths of the CF_HDROP list a receiver gets through the clipboard.
    std::vector<std::string> PasteListFromClipboard()
    {
        ComPtr<IDataObject> clipboard;
        EXPECT_EQ(OleGetClipboard(&clipboard), S_OK);
        return FileListOf(clipboard.Get());
    }
};

TEST_F(ItemDataObjectTest, CopyThroughTheClipboardListsTheTemporaryCopiesOnce)
{
    ShowFiles({{"A.JPG", 1000, 1}, {"B.JPG", 600000, 2}, {"C.TXT", 5000, 3}});
    ComPtr<IDataObject> data = DataObjectForRows({0, 1, 2}, false);
    ASSERT_EQ(OleSetClipboard(data.Get()), S_OK);
    ProgressRecorder progress;

    ComPtr<IDataObject> clipboard;
    ASSERT_EQ(OleGetClipboard(&clipboard), S_OK);
    FORMATETC files = HGlobalFormat(CF_HDROP);
    FORMATETC preferred = HGlobalFormat(RegisterClipboardFormatA("Preferred DropEffect"));
    STGMEDIUM first = {};
    STGMEDIUM second = {};
    STGMEDIUM effect = {};
    EXPECT_EQ(clipboard->QueryGetData(&files), S_OK);
    EXPECT_NE(clipboard->GetData(&preferred, &effect), S_OK) << "a Copy announces no move";
    ASSERT_EQ(clipboard->GetData(&files, &first), S_OK);
    const int callsOfTheCopy = PelSim_LogCount();
    ASSERT_EQ(clipboard->GetData(&files, &second), S_OK);

    EXPECT_EQ(PelSim_LogCount(), callsOfTheCopy) << "the camera is read once";
    EXPECT_NE(first.hGlobal, second.hGlobal);
    EXPECT_EQ(BlockBytes(first.hGlobal), ExpectedDropFiles({"A.JPG", "B.JPG", "C.TXT"}));
    EXPECT_EQ(BlockBytes(second.hGlobal), BlockBytes(first.hGlobal));
    EXPECT_EQ(ReadWholeFile(TempCopyPathOf("A.JPG")), PatternBytes(1000, 1));
    EXPECT_EQ(ReadWholeFile(TempCopyPathOf("B.JPG")), PatternBytes(600000, 2));
    EXPECT_EQ(ReadWholeFile(TempCopyPathOf("C.TXT")), PatternBytes(5000, 3));
    EXPECT_EQ(CallsOf("ZQ_GetSegment").size(), 2u) << "the large file comes in segments";
    EXPECT_FALSE(PelSim_IsLinkOpen()) << "the unit closed the link";
    EXPECT_EQ(progress.Lines(), (std::vector<std::string>{"Copying from Lumora: 1 of 3", "Copying from Lumora: 2 of 3",
                                                          "Copying from Lumora: 3 of 3"}));
    ASSERT_EQ(m_capture.Count(), 1u) << "the progress dialog, and no message";
    EXPECT_EQ(m_capture.Dialogs()[0].owner, GetAncestor(ViewWindow(), GA_ROOT)) << "owned by the view's window";
    EXPECT_FALSE(IsWindow(m_capture.Dialogs()[0].hwnd)) << "the dialog went with the copy";
    ReleaseStgMedium(&first);
    ReleaseStgMedium(&second);
}

TEST_F(ItemDataObjectTest, CutMovedByTheShellDeletesOnTheCameraOnlyWhatMoved)
{
    struct Row {
        const char* what;
        std::vector<CameraFileSpec> files;
        const char* locked;                // a copy the receiver cannot move (opened without sharing)
        std::vector<std::string> moved;    // end up in the PC folder and leave the camera
        std::vector<std::string> kept;     // stay on the camera and come back as rows
        Messages messages;
    };
    const std::vector<CameraFileSpec> three = {{"A.JPG", 1000, 1}, {"B.JPG", 600000, 2}, {"C.TXT", 5000, 3}};
    const Row rows[] = {
        {"every copy moved", three, nullptr, {"A.JPG", "B.JPG", "C.TXT"}, {}, {}},
        {"one copy locked", three, "B.JPG", {"A.JPG", "C.TXT"}, {"B.JPG"}, {}},
        {"names equal but for case share one copy", {{"ABC.JPG", 100, 4}, {"abc.jpg", 200, 5}}, nullptr, {"ABC.JPG"},
         {"abc.jpg"}, {text::k2002}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        PelSim_Reset();
        ShowFiles(row.files);
        std::vector<int> all;
        for (size_t i = 0; i < row.files.size(); ++i) all.push_back(static_cast<int>(i));
        MarkCut(all);
        ComPtr<IDataObject> data = DataObjectForRows(all, true);
        ASSERT_EQ(OleSetClipboard(data.Get()), S_OK);

        // The receiver: the preferred effect and the list through the clipboard, then one move a file.
        ComPtr<IDataObject> clipboard;
        ASSERT_EQ(OleGetClipboard(&clipboard), S_OK);
        FORMATETC preferred = HGlobalFormat(RegisterClipboardFormatA("Preferred DropEffect"));
        STGMEDIUM effect = {};
        ASSERT_EQ(clipboard->GetData(&preferred, &effect), S_OK);
        EXPECT_EQ(BlockBytes(effect.hGlobal), EffectBytes(DROPEFFECT_MOVE));
        ReleaseStgMedium(&effect);
        const std::vector<std::string> paths = PasteListFromClipboard();
        FileHandle lock;
        if (row.locked) lock.Reset(CreateFileA(TempCopyPathOf(row.locked).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        for (const std::string& path : paths) ShellMove(path, m_pcFolder);
        PelSim_ClearLog();
        STGMEDIUM notice = BlockMedium(NewBlock(EffectBytes(DROPEFFECT_MOVE)));
        FORMATETC performed = HGlobalFormat(RegisterClipboardFormatA("Performed DropEffect"));
        EXPECT_EQ(data->SetData(&performed, &notice, TRUE), S_OK);
        PumpQueued();

        std::vector<std::string> deleted;
        for (const PelSimCall& call : CallsOf("ZQ_DeleteFile")) deleted.push_back(call.name);
        EXPECT_EQ(deleted, row.moved);
        for (const CameraFileSpec& file : row.files) {
            const bool moved = std::find(row.moved.begin(), row.moved.end(), file.name) != row.moved.end();
            EXPECT_EQ(CameraHolds(file.name), !moved) << file.name;
            if (moved) {
                EXPECT_EQ(ReadWholeFile(PcPath(file.name)), PatternBytes(file.size, file.seed)) << file.name;
            }
        }
        EXPECT_EQ(RowNames(), row.kept);
        EXPECT_EQ(CutRows(), std::vector<std::string>{});
        EXPECT_EQ(CallsOf("ZQ_GetNumFiles").empty(), row.kept.empty()) << "the camera listed anew when a file was kept";
        EXPECT_EQ(OleIsCurrentClipboard(data.Get()), S_FALSE) << "the clipboard was emptied";
        EXPECT_EQ(Boxes(), row.messages);
        m_capture.Clear();
        lock.Reset();
        CloseBrowser();
        RemoveFolder(m_pcFolder);
        CreateDirectoryA(m_pcFolder.c_str(), nullptr);
    }
}

TEST_F(ItemDataObjectTest, ReceiverNoticesEndTheCutOnlyWhenTheyAreSound)
{
    ShowFiles({{"A.JPG", 1000, 1}, {"B.JPG", 2000, 2}});
    const UINT performed = RegisterClipboardFormatA("Performed DropEffect");
    const UINT succeeded = RegisterClipboardFormatA("Paste Succeeded");
    struct Row {
        const char* what;
        bool fCut;
        bool fListed;         // the receiver asked for the list first
        bool fOwnerIsView;
        UINT format;
        DWORD tymed;
        bool fBlock;          // false: a null handle
        Bytes block;
        BOOL fRelease;
        HRESULT result;
        bool fCutEnds;        // marks cleared (or rows listed anew) and the clipboard emptied of the object
        bool fOtherData = false;  // another program copied text before the notice came: it stays
    };
    const Bytes move = EffectBytes(DROPEFFECT_MOVE);
    const Row rows[] = {
        {"a move before any request for the list deletes nothing", true, false, true, performed, TYMED_HGLOBAL, true, move, TRUE, S_OK, true},
        {"a move whose copies are all still there deletes nothing", true, true, true, performed, TYMED_HGLOBAL, true, move, TRUE, S_OK, true},
        {"performed, no effect", true, false, true, performed, TYMED_HGLOBAL, true, EffectBytes(0), TRUE, E_INVALIDARG, false},
        {"paste succeeded, no effect", true, false, true, succeeded, TYMED_HGLOBAL, true, EffectBytes(0), TRUE, S_OK, true},
        {"performed, a copy", true, false, true, performed, TYMED_HGLOBAL, true, EffectBytes(DROPEFFECT_COPY), TRUE, S_OK, true},
        {"kept by the caller", true, false, true, succeeded, TYMED_HGLOBAL, true, move, FALSE, S_OK, true},
        {"a block of two bytes", true, false, true, performed, TYMED_HGLOBAL, true, EffectBytes(DROPEFFECT_MOVE, 2), TRUE, E_INVALIDARG, false},
        {"a block of no bytes", true, false, true, performed, TYMED_HGLOBAL, true, Bytes{}, TRUE, E_INVALIDARG, false},
        {"no block", true, false, true, performed, TYMED_HGLOBAL, false, {}, TRUE, DV_E_FORMATETC, false},
        {"a stream, not a block", true, false, true, performed, TYMED_ISTREAM, true, move, TRUE, DV_E_TYMED, false},
        {"not a Cut", false, false, true, performed, TYMED_HGLOBAL, true, move, TRUE, E_INVALIDARG, false},
        {"another format", true, false, true, CF_HDROP, TYMED_HGLOBAL, true, move, TRUE, E_INVALIDARG, false},
        {"after another program copied text", true, false, true, succeeded, TYMED_HGLOBAL, true, EffectBytes(0), TRUE, S_OK, true, true},
        {"an owner that is no view", true, false, false, performed, TYMED_HGLOBAL, true, move, TRUE, S_OK, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        MarkCut({0, 1});
        ComPtr<IDataObject> data;
        if (row.fOwnerIsView) {
            data = DataObjectForRows({0, 1}, row.fCut);
        } else {
            LPCITEMIDLIST items[] = {RowItem(0), RowItem(1)};
            UINT flag = 1;
            ComPtr<IShellFolder> folder = Adopt(CreateCameraFolder(nullptr));
            ASSERT_EQ(folder->GetUIObjectOf(m_pBrowser->FrameWindow(), 2, items, IID_IDataObject, &flag,
                                            reinterpret_cast<void**>(data.GetAddressOf())), S_OK);
        }
        ASSERT_EQ(OleSetClipboard(data.Get()), S_OK);
        if (row.fOtherData && OpenClipboard(nullptr)) {
            EmptyClipboard();
            SetClipboardData(CF_TEXT, NewBlock({'h', 'i', 0}));
            CloseClipboard();
        }
        if (row.fListed) {
            FORMATETC files = HGlobalFormat(CF_HDROP);
            STGMEDIUM list = {};
            ASSERT_EQ(data->GetData(&files, &list), S_OK);
            ReleaseStgMedium(&list);
        }
        PelSim_ClearLog();
        ReleaseCounter counter;
        HGLOBAL block = row.fBlock ? NewBlock(row.block) : nullptr;
        STGMEDIUM medium = BlockMedium(block, &counter, row.tymed);
        FORMATETC format = HGlobalFormat(row.format);

        EXPECT_EQ(data->SetData(&format, &medium, row.fRelease), row.result);
        PumpQueued();

        const bool released = row.result == S_OK && row.fRelease;
        EXPECT_EQ(counter.Count(), released ? 0 : 1) << "the medium is released when it was handed over and taken";
        EXPECT_TRUE(CameraHolds("A.JPG") && CameraHolds("B.JPG"));
        EXPECT_EQ(CallsOf("ZQ_DeleteFile").size(), 0u);
        EXPECT_EQ(RowNames(), (std::vector<std::string>{"A.JPG", "B.JPG"}));
        const std::vector<std::string> marked = row.fCutEnds ? std::vector<std::string>{} : std::vector<std::string>{"A.JPG", "B.JPG"};
        EXPECT_EQ(CutRows(), marked);
        EXPECT_EQ(OleIsCurrentClipboard(data.Get()), row.fCutEnds ? S_FALSE : S_OK);
        EXPECT_EQ(IsClipboardFormatAvailable(CF_TEXT) != FALSE, row.fOtherData);
        if (block) GlobalFree(block);
        OleSetClipboard(nullptr);
        LPCITEMIDLIST items[] = {RowItem(0), RowItem(1)};
        View()->MarkCutItems(items, 2, FALSE);
    }
    EXPECT_EQ(Boxes(), Messages{});
}

TEST_F(ItemDataObjectTest, ListsForEverySelection)
{
    struct Row {
        const char* what;
        std::vector<CameraFileSpec> files;
        const char* firmware;
        const char* sizeReadsZero;          // a file the camera no longer holds
        bool fLinkFails;
        std::vector<std::string> listed;   // empty: no block (STG_E_MEDIUMFULL)
        std::vector<std::string> progress;
        Messages messages;
        bool fWritesFail = false;
    };
    const std::vector<CameraFileSpec> three = {{"A.JPG", 1000, 1}, {"B.JPG", 2000, 2}, {"C.TXT", 3000, 3}};
    auto of = [](int n, int m) { return "Copying from Lumora: " + std::to_string(n) + " of " + std::to_string(m); };
    const Row rows[] = {
        {"the second of three is gone", three, "4.0", "B.JPG", false, {"A.JPG", "C.TXT"}, {of(1, 3), of(2, 3), of(3, 3)},
         {text::kNotAvailable}},
        {"every file is gone", {{"A.JPG", 10, 1}}, "4.0", "A.JPG", false, {}, {of(1, 1)}, {text::kNotAvailable}},
        {"a large file on old firmware stays behind", {{"A.JPG", 10, 1}, {"BIG.JPG", 524289, 2}}, "3.2", nullptr, false,
         {"A.JPG"}, {of(1, 2), of(2, 2)}, {text::k2005}},
        {"one segment is no large file", {{"ONE.JPG", 524288, 2}}, "3.2", nullptr, false, {"ONE.JPG"}, {of(1, 1)}, {}},
        {"a copy that cannot be written", {{"A.JPG", 10, 1}}, "4.0", nullptr, false, {}, {of(1, 1)}, {text::k2002}, true},
        {"names equal but for case", {{"ABC.JPG", 10, 1}, {"abc.jpg", 20, 2}, {"aBc.JpG", 30, 3}}, "4.0", nullptr, false,
         {"ABC.JPG"}, {of(1, 3), of(2, 3), of(3, 3)}, {text::k2002, text::k2002}},
        {"the camera cannot be reached", three, "4.0", nullptr, true, {}, {}, {text::k1002}},
        {"no items", {}, "4.0", nullptr, false, {}, {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        PelSim_Reset();
        ShowFiles(row.files);
        PelSim_SetFirmware(row.firmware);
        if (row.sizeReadsZero) PelSim_SetFileListing(row.sizeReadsZero, ' ', 1);
        if (row.fLinkFails) {
            PelSim_SetOpenResult(0, 2, 0);
            PelSim_SetOpenResult(1, 2, 0);
        }
        std::vector<int> all;
        for (size_t i = 0; i < row.files.size(); ++i) all.push_back(static_cast<int>(i));
        ComPtr<IDataObject> data = DataObjectForRows(all, false);
        m_capture.Clear();
        PelSim_ClearLog();
        ProgressRecorder progress;
        FORMATETC files = HGlobalFormat(CF_HDROP);
        STGMEDIUM medium = {};
        std::unique_ptr<FaultyReads> writes(new FaultyReads(row.fWritesFail ? ReadFault::Fails : ReadFault::None, "WriteFile"));

        const HRESULT hr = data->GetData(&files, &medium);
        writes.reset();

        EXPECT_EQ(hr, row.listed.empty() ? STG_E_MEDIUMFULL : S_OK);
        if (hr == S_OK) {
            EXPECT_EQ(BlockBytes(medium.hGlobal), ExpectedDropFiles(row.listed));
        }
        for (const std::string& name : row.listed) EXPECT_EQ(ReadWholeFile(TempCopyPathOf(name)), CameraFile(name)) << name;
        EXPECT_EQ(progress.Lines(), row.progress);
        EXPECT_EQ(Boxes(), row.messages);
        if (row.files.empty()) {
            EXPECT_EQ(PelSim_LogCount(), 0) << "no items: the camera is left alone";
        }
        EXPECT_FALSE(PelSim_IsLinkOpen());
        if (hr == S_OK) ReleaseStgMedium(&medium);
        data.Reset();
        CloseBrowser();
        RemoveTempCopies();
    }
}

TEST_F(ItemDataObjectTest, FormatsAndTheSharedEnumerator)
{
    ShowFiles({{"A.JPG", 1000, 1}});
    ComPtr<IDataObject> copy = DataObjectForRows({0}, false);
    ComPtr<IDataObject> cut = DataObjectForRows({0}, true);
    const UINT preferred = RegisterClipboardFormatA("Preferred DropEffect");
    DVTARGETDEVICE device = {sizeof(DVTARGETDEVICE), 0, 0, 0, 0, {0}};
    struct Row {
        const char* what;
        IDataObject* data;
        FORMATETC format;
        HRESULT get;
        HRESULT query;
    };
    const Row rows[] = {
        {"text", copy.Get(), HGlobalFormat(CF_TEXT), E_INVALIDARG, DV_E_TYMED},
        {"for a device", copy.Get(), {CF_HDROP, &device, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, DV_E_FORMATETC, S_OK},
        {"as an icon", copy.Get(), {CF_HDROP, nullptr, DVASPECT_ICON, -1, TYMED_HGLOBAL}, DV_E_FORMATETC, DV_E_DVASPECT},
        {"in a stream", copy.Get(), {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM}, DV_E_FORMATETC, DV_E_TYMED},
        {"one piece of it", copy.Get(), {CF_HDROP, nullptr, DVASPECT_CONTENT, 0, TYMED_HGLOBAL}, STG_E_MEDIUMFULL, S_OK},
        {"preferred effect of a Copy", copy.Get(), HGlobalFormat(preferred), E_INVALIDARG, DV_E_TYMED},
        {"preferred effect of a Cut, any medium", cut.Get(), {static_cast<CLIPFORMAT>(preferred), nullptr, DVASPECT_ICON, 3, TYMED_ISTREAM},
         S_OK, DV_E_DVASPECT},
        {"preferred effect of a Cut is not acknowledged", cut.Get(), HGlobalFormat(preferred), S_OK, DV_E_TYMED},
    };
    for (const Row& row : rows) {
        FORMATETC format = row.format;
        STGMEDIUM medium = {};
        EXPECT_EQ(row.data->GetData(&format, &medium), row.get) << row.what;
        if (row.get == S_OK) {
            EXPECT_EQ(BlockBytes(medium.hGlobal), EffectBytes(DROPEFFECT_MOVE)) << row.what;
            ReleaseStgMedium(&medium);
        }
        EXPECT_EQ(row.data->QueryGetData(&format), row.query) << row.what;
    }
    EXPECT_EQ(PelSim_LogCount(), 0) << "no request reached the camera";

    FORMATETC canonical = {CF_HDROP, &device, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_EQ(copy->GetCanonicalFormatEtc(&canonical, &canonical), DATA_S_SAMEFORMATETC);
    EXPECT_EQ(canonical.ptd, nullptr);
    EXPECT_EQ(copy->GetCanonicalFormatEtc(&canonical, nullptr), E_INVALIDARG);
    EXPECT_EQ(copy->GetDataHere(&canonical, nullptr), E_NOTIMPL);
    EXPECT_EQ(copy->DAdvise(&canonical, 0, nullptr, nullptr), E_NOTIMPL);

    // One enumerator, shared by every caller and never reset by EnumFormatEtc.
    ComPtr<IEnumFORMATETC> formats;
    EXPECT_EQ(copy->EnumFormatEtc(DATADIR_SET, &formats), E_NOTIMPL);
    ASSERT_EQ(copy->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
    EXPECT_EQ(formats->Skip(1), S_FALSE) << "up to exactly the end is refused";
    EXPECT_EQ(formats->Skip(0), S_OK);
    FORMATETC got[2] = {};
    ULONG fetched = 9;
    EXPECT_EQ(formats->Next(2, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(got[0].cfFormat, CF_HDROP);
    EXPECT_EQ(got[0].dwAspect, static_cast<DWORD>(DVASPECT_CONTENT));
    EXPECT_EQ(got[0].lindex, -1);
    EXPECT_EQ(got[0].tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    ComPtr<IEnumFORMATETC> again;
    ASSERT_EQ(copy->EnumFormatEtc(DATADIR_GET, &again), S_OK);
    EXPECT_EQ(again->Next(1, got, &fetched), S_FALSE) << "the second enumeration starts at the end";
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(again->Next(1, nullptr, &fetched), E_INVALIDARG);
    EXPECT_EQ(again->Reset(), S_OK);
    EXPECT_EQ(formats->Next(1, got, nullptr), S_OK) << "both enumerations are one enumerator";
    ComPtr<IEnumFORMATETC> clone;
    ASSERT_EQ(formats->Clone(&clone), S_OK);
    EXPECT_EQ(clone->Next(1, got, nullptr), S_FALSE) << "the clone stands where the original stood";
    EXPECT_EQ(clone->Reset(), S_OK);
    EXPECT_EQ(clone->Next(1, got, nullptr), S_OK);
    EXPECT_EQ(formats->Next(1, got, nullptr), S_FALSE) << "the original stays where it was";
    ComPtr<IDataObject> cloneData;
    ASSERT_EQ(clone.As(&cloneData), S_OK);
    EXPECT_NE(cloneData.Get(), copy.Get());
    ComPtr<IUnknown> identity;
    ASSERT_EQ(formats.As(&identity), S_OK);
    EXPECT_EQ(identity.Get(), static_cast<IUnknown*>(copy.Get())) << "one object under both interfaces";
}

TEST_F(ItemDataObjectTest, ShortNamesOfOtherFilesInTheTemporaryDirectoryAreNeverTouched)
{
    // A user's long-named file straight in the temporary directory, and a camera file named
    // like that file's short name.
    char directory[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, directory);
    const std::string userFile = std::string(directory) + "Holiday plans for the board.txt";
    WriteWholeFile(userFile, PatternBytes(300, 7));
    char shortPath[MAX_PATH] = "";
    ASSERT_NE(GetShortPathNameA(userFile.c_str(), shortPath, MAX_PATH), 0u);
    const std::string shortName = PathFindFileNameA(shortPath);
    ASSERT_NE(shortName, "Holiday plans for the board.txt");
    ASSERT_EQ(ReadWholeFile(std::string(directory) + shortName), PatternBytes(300, 7)) << "the short name reaches the file";
    ShowFiles({{shortName, 100, 1}});
    MarkCut({0});
    ComPtr<IDataObject> data = DataObjectForRows({0}, true);
    ASSERT_EQ(OleSetClipboard(data.Get()), S_OK);

    const std::vector<std::string> paths = PasteListFromClipboard();
    ASSERT_EQ(paths, std::vector<std::string>{TempCopyPathOf(shortName)});
    EXPECT_TRUE(ShellMove(paths[0], m_pcFolder));
    STGMEDIUM notice = BlockMedium(NewBlock(EffectBytes(DROPEFFECT_MOVE)));
    FORMATETC performed = HGlobalFormat(RegisterClipboardFormatA("Performed DropEffect"));
    EXPECT_EQ(data->SetData(&performed, &notice, TRUE), S_OK);

    EXPECT_EQ(ReadWholeFile(userFile), PatternBytes(300, 7)) << "the user's file is as it was";
    EXPECT_EQ(ReadWholeFile(PcPath(shortName)), PatternBytes(100, 1));
    EXPECT_FALSE(CameraHolds(shortName)) << "its copy really moved";
    EXPECT_EQ(Boxes(), Messages{});
    DeleteFileA(userFile.c_str());
}

TEST_F(ItemDataObjectTest, CutDeletesOnTheCameraOnlyWhatItsOwnListedCopyBecame)
{
    // Between the receiver's request for the list and its notice of a move, another operation
    // meets the name of the Cut's copy; the receiver then moves what the list names.
    enum class Meets { Nothing, FailedCopyOfTheName, CopyOfTheCaseTwin, DeletionOfTheCopy };
    struct Row {
        const char* what;
        Meets meets;
        bool fDeleted;  // abc.jpg left the camera (and is then in the PC folder whole)
        Messages messages;
    };
    const Row rows[] = {
        {"the copy really moved", Meets::Nothing, true, {}},
        {"another object's copy of the same name failed", Meets::FailedCopyOfTheName, true, {text::k1003, text::k2002}},
        {"another object copied the case twin", Meets::CopyOfTheCaseTwin, true, {}},
        {"the copy was deleted before the move", Meets::DeletionOfTheCopy, false, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        PelSim_Reset();
        ShowFiles({{"ABC.JPG", 100, 4}, {"abc.jpg", 200, 5}});
        const std::vector<std::string> names = RowNames();
        const int cut = static_cast<int>(std::find(names.begin(), names.end(), "abc.jpg") - names.begin());
        MarkCut({cut});
        ComPtr<IDataObject> data = DataObjectForRows({cut}, true);
        ASSERT_EQ(OleSetClipboard(data.Get()), S_OK);
        const std::vector<std::string> listed = PasteListFromClipboard();
        ASSERT_EQ(listed.size(), 1u);

        if (row.meets == Meets::FailedCopyOfTheName) PelSim_FailCall("ZQ_ReceiveFile", 1, 3, 0);
        if (row.meets == Meets::FailedCopyOfTheName || row.meets == Meets::CopyOfTheCaseTwin) {
            FileListOf(DataObjectForRows({row.meets == Meets::CopyOfTheCaseTwin ? 1 - cut : cut}, false).Get());
        }
        if (row.meets == Meets::DeletionOfTheCopy) EXPECT_TRUE(DeleteFileA(listed[0].c_str()));
        else EXPECT_TRUE(ShellMove(listed[0], m_pcFolder));
        STGMEDIUM notice = BlockMedium(NewBlock(EffectBytes(DROPEFFECT_MOVE)));
        FORMATETC performed = HGlobalFormat(RegisterClipboardFormatA("Performed DropEffect"));
        EXPECT_EQ(data->SetData(&performed, &notice, TRUE), S_OK);

        EXPECT_EQ(CameraHolds("abc.jpg"), !row.fDeleted);
        EXPECT_EQ(ReadWholeFile(PcPath("abc.jpg")), row.fDeleted ? PatternBytes(200, 5) : Bytes{}) << "moved whole, as it was";
        EXPECT_EQ(CameraFile("ABC.JPG"), PatternBytes(100, 4));
        EXPECT_EQ(Boxes(), row.messages);
        m_capture.Clear();
        data.Reset();
        CloseBrowser();
        RemoveFolder(m_pcFolder);
        CreateDirectoryA(m_pcFolder.c_str(), nullptr);
        RemoveTempCopies();
    }
}

// The bytes of a file named by a wide path.
Bytes ReadWideFile(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Removes a folder named by a wide path with everything in it.
void RemoveWideFolder(const std::wstring& folder)
{
    const std::wstring from = folder + L'\0';
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&operation);
}

TEST_F(ItemDataObjectTest, TemporaryFoldersTheCodePageCannotSpellAreUsedAsTheyAre)
{
    // TMP and TEMP name a folder inside the real temporary directory; a Copy lists its copy and
    // an Open hands one over there, or the user is told of the folder, never of the camera.
    HarmlessFileType type(".qqh");
    ShowFiles({{"A.QQH", 300, 7}});
    wchar_t real[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, real);
    const std::wstring cyrillic = L"\u041f\u0440\u0438\u043c\u0435\u0440";
    // A folder so long that "Lumora\Open\A.QQH" in it is no path that programs can open.
    const std::wstring longFolder = cyrillic + L"\\" + std::wstring(243 - lstrlenW(real) - cyrillic.size() - 2, L'x');
    struct Row {
        const char* what;
        std::wstring folder;      // in the real temporary directory
        std::wstring sibling;     // a folder of the name the code page would make of it (empty: none)
        bool fListed;
    };
    const Row rows[] = {
        {"Cyrillic", cyrillic, L"", true},
        {"CJK", L"\u5199\u771f", L"", true},
        {"a best fit that names another folder", L"\u0141ukasz", L"Lukasz", true},
        {"too long for a copy's path", longFolder, L"", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::wstring temp = real + row.folder + L"\\";
        CreateDirectoryW((real + row.folder.substr(0, row.folder.find(L'\\'))).c_str(), nullptr);
        CreateDirectoryW(temp.c_str(), nullptr);
        ASSERT_EQ(GetFileAttributesW(temp.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
        if (!row.sibling.empty()) CreateDirectoryW((real + row.sibling).c_str(), nullptr);
        std::vector<std::wstring> wideBoxes;
        m_capture.SetAction([&](HWND hwnd, const CapturedDialog& dialog) {
            for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                wchar_t text[1024] = L"";
                if (GetWindowTextW(child, text, 1024) > 60) wideBoxes.push_back(text);
            }
            DialogCapture::ActionPressDefault(hwnd, dialog);
        });
        SetEnvironmentVariableW(L"TMP", temp.c_str());
        SetEnvironmentVariableW(L"TEMP", temp.c_str());
        const std::vector<std::wstring> listed = WideFileListOf(DataObjectForRows({0}, false).Get());
        SelectRows({0});
        View()->ShowItemMenu(0, 0, false, IDM_OPEN);
        SetEnvironmentVariableW(L"TMP", real);
        SetEnvironmentVariableW(L"TEMP", real);

        const std::wstring copies = temp + L"Lumora\\";
        if (row.fListed) {
            const std::wstring copy = listed.size() == 1 ? listed[0] : L"(not one copy)";
            EXPECT_EQ(copy.substr(0, copies.size()), copies) << "in the folder as it is spelled";
            EXPECT_EQ(std::wstring(PathFindFileNameW(copy.c_str())), L"A.QQH");
            EXPECT_EQ(ReadWideFile(copy), PatternBytes(300, 7));
            EXPECT_EQ(wideBoxes, std::vector<std::wstring>{});
        } else {
            EXPECT_EQ(listed, std::vector<std::wstring>{});
            EXPECT_EQ(wideBoxes, std::vector<std::wstring>(2, text::k2008(temp + L"Lumora"))) << "the folder named, not the camera blamed";
        }
        EXPECT_EQ(ReadWideFile(copies + L"Open\\A.QQH"), row.fListed ? PatternBytes(300, 7) : Bytes{}) << "Open's copy";
        if (!row.sibling.empty()) {
            EXPECT_TRUE(PathIsDirectoryEmptyW((real + row.sibling).c_str())) << "nothing went into the other folder";
            RemoveWideFolder(real + row.sibling);
        }
        EXPECT_FALSE(FileExists(TempCopiesFolder())) << "nothing went into the real temporary directory's copies";
        m_capture.SetAction(DialogCapture::ActionPressDefault);
        m_capture.Clear();
        RemoveWideFolder(real + row.folder.substr(0, row.folder.find(L'\\')));
    }
}

}  // namespace

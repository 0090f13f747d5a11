// Transfers over a slow link: the window's thread makes no camera call, the progress dialog
// tells the bytes, and a Cancel or the window's end stops a copy out or an upload within a
// second, leaving no partial file anywhere and no message.
#include "TransferTestSupport.h"
#include <functional>
#include "resources/resource.h"

namespace {

constexpr DWORD kRate = 1000000;            // bytes a second, as USB 1.1
constexpr size_t kSmallFile = 1000;         // goes whole before the stop
constexpr size_t kLargeFile = 3000000;      // six segments: three seconds
constexpr UINT kStopAfterMs = 1200;         // in the middle of the large file
constexpr ULONGLONG kStopWithinMs = 1000;

// What a row does to the running transfer, from a timer of the window's thread.
struct StopAt {
    std::function<void(HWND dialog)> stop;
    HWND dialog = nullptr;
    std::string bytesShown;  // the dialog's bytes when the stop came
    ULONGLONG tick = 0;
};
StopAt* g_pStop = nullptr;

void CALLBACK StopTimerProc(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (!g_pStop || !IsWindow(g_pStop->dialog)) return;
    g_pStop->bytesShown = WindowText(GetDlgItem(g_pStop->dialog, IDC_PROGRESS_BYTES));
    g_pStop->tick = GetTickCount64();
    g_pStop->stop(g_pStop->dialog);
}

class CancelTest : public TransferTest {
protected:
    // Arms the stop for the next progress dialog.
    void StopTransfer(StopAt& at)
    {
        g_pStop = &at;
        m_capture.SetAction([&at](HWND hwnd, const CapturedDialog&) {
            if (!FindWindowExA(hwnd, nullptr, "msctls_progress32", nullptr)) return DialogCapture::PressDefaultButton(hwnd);
            at.dialog = hwnd;
            SetTimer(nullptr, 0, kStopAfterMs, StopTimerProc);
        });
    }
};

TEST_F(CancelTest, AStoppedTransferEndsWithinASecondAndLeavesNothingHalfDone)
{
    enum class Op { CopyOut, Upload, Open };
    struct Row {
        const char* what;
        Op op;
        bool fCloseWindow;  // the window goes instead of a click on Cancel
        bool fKeepPartial;  // the camera stores what arrived of a write that ended early
    };
    const Row rows[] = {
        {"Cancel while copying out", Op::CopyOut, false, false},
        {"Cancel while opening (the dialog comes once the copy takes a while)", Op::Open, false, false},
        {"Cancel while sending to a camera that keeps what arrived", Op::Upload, false, true},
        {"the window closes while copying out", Op::CopyOut, true, false},
        {"the window closes while sending", Op::Upload, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        PelSim_Reset();
        const bool fUpload = row.op == Op::Upload;
        if (!fUpload) {
            ASSERT_TRUE(AddCameraFile("A.JPG", kSmallFile, 1));
            ASSERT_TRUE(AddCameraFile("B.JPG", kLargeFile, 2));
        }
        ShowCamera();
        PelSim_SetLinkTiming(kRate, 0);
        PelSim_KeepInterruptedWrites(row.fKeepPartial);
        PelSim_ClearLog();
        m_capture.Clear();
        StopAt at;
        at.stop = [&](HWND dialog) {
            if (row.fCloseWindow) CloseBrowser();
            else PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        };
        StopTransfer(at);
        HRESULT hr;
        if (fUpload) {
            CreatePcFile(PcPath("a.jpg"), kSmallFile, 1);
            CreatePcFile(PcPath("b.jpg"), kLargeFile, 2);
            GlobalBlock hDrop(NewBlock(DropBlock({PcPath("a.jpg"), PcPath("b.jpg")})));
            hr = View()->UploadFiles(static_cast<HDROP>(hDrop.Get()));
        } else if (row.op == Op::Open) {
            LPCITEMIDLIST item = RowItem(1);
            hr = View()->InvokeMenuCommand(IDM_OPEN, 1, &item) == E_FAIL ? E_ABORT : S_OK;
        } else {
            ComPtr<IDataObject> data = DataObjectForRows({0, 1}, false);
            FORMATETC files = HGlobalFormat(CF_HDROP);
            STGMEDIUM medium = {};
            hr = data->GetData(&files, &medium);
        }
        const ULONGLONG stoppedIn = GetTickCount64() - at.tick;
        g_pStop = nullptr;

        EXPECT_EQ(hr, E_ABORT);
        ASSERT_NE(at.tick, 0u) << "the transfer ended before the stop";
        EXPECT_LE(stoppedIn, kStopWithinMs);
        EXPECT_NE(at.bytesShown.find(" of 2.86 MB"), std::string::npos) << at.bytesShown;
        EXPECT_EQ(at.bytesShown.rfind("0 bytes", 0), std::string::npos) << "no bytes were shown moving";
        EXPECT_EQ(Boxes(), Messages{}) << "a stop is no failure to tell";
        for (const PelSimCall& call : CameraLog()) EXPECT_NE(call.thread, GetCurrentThreadId()) << call.function;
        EXPECT_EQ(CallsOf("ZQ_DeleteFile").size(), row.fKeepPartial ? 1u : 0u) << "only the partial file was deleted";
        if (fUpload) {
            EXPECT_EQ(PelSim_FileCount(), 1) << "the file sent before stays, and only it";
            if (!row.fCloseWindow) {
                PumpQueued();
                ASSERT_EQ(RowNames().size(), 1u) << "the view shows the file sent before";
                EXPECT_EQ(CameraFile(RowNames()[0]), PatternBytes(kSmallFile, 1));
            }
        } else {
            EXPECT_EQ(PelSim_FileCount(), 2) << "the camera keeps its files";
            EXPECT_FALSE(FileExists(TempCopyPathOf("A.JPG")) || FileExists(TempCopyPathOf("B.JPG"))) << "a copy was left behind";
        }
        EXPECT_FALSE(PelSim_IsLinkOpen());
        CloseBrowser();
        RemoveTempCopies();
    }
}

}  // namespace

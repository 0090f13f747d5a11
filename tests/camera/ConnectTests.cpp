// Opening and closing the link: the call orders on both link types, the connect dialog,
// its Cancel button and the abort callback, and the life of the shared connection.
#include "camera/CameraTestSupport.h"
#include "resources/resource.h"

using Calls = std::vector<std::string>;

namespace {
// The "Connecting to" dialogs the capture saw.
std::vector<CapturedDialog> ConnectDialogs(const DialogCapture& capture)
{
    std::vector<CapturedDialog> dialogs;
    for (const CapturedDialog& dialog : capture.Dialogs())
        if (GetDlgItem(dialog.hwnd, IDC_CONNECT_CANCEL) || dialog.caption.rfind("Connecting to", 0) == 0) dialogs.push_back(dialog);
    return dialogs;
}
}  // namespace

using ConnectTest = CameraTest;

TEST_F(ConnectTest, QuickLinkStopsAcquisitionAndShowsNothing)
{
    CameraConnection* connection = AcquireOwned();
    ASSERT_NE(connection, nullptr);

    EXPECT_TRUE(connection->Connect());

    EXPECT_EQ(CameraCalls(), (Calls{"ZQ_OpenComm 0", "ZQ_StopAcquisition", "ZQ_SetAcquisitionMode 0"}));
    EXPECT_TRUE(connection->IsConnected());
    EXPECT_FALSE(connection->IsLinkType1());
    EXPECT_TRUE(PelSim_IsLinkOpen());
    EXPECT_FALSE(PelSim_HasAbortProc());
    EXPECT_EQ(m_capture.Count(), 0u);
}

TEST_F(ConnectTest, ConnectWhileConnectedAsksNothing)
{
    CameraConnection* connection = AcquireOwned();
    ConnectAndClearLog(connection);

    EXPECT_TRUE(connection->Connect());
    EXPECT_EQ(PelSim_LogCount(), 0);
}

TEST_F(ConnectTest, DisconnectClosesOnceAndThenAsksNothing)
{
    CameraConnection* connection = AcquireOwned();
    ConnectAndClearLog(connection);

    EXPECT_TRUE(connection->Disconnect());
    EXPECT_TRUE(connection->Disconnect());

    EXPECT_EQ(CameraCalls(), (Calls{"ZQ_CloseComm"}));
    EXPECT_FALSE(PelSim_IsLinkOpen());
}

// Statuses 2 and 12 on the quick link lead to the slow link under the connect dialog.
class SlowLinkTest : public CameraTest, public testing::WithParamInterface<int> {};

TEST_P(SlowLinkTest, SecondAttemptRunsUnderTheDialogWithoutStoppingAcquisition)
{
    PelSim_SetOpenResult(0, GetParam(), 0);
    CameraConnection* connection = AcquireOwned();

    EXPECT_TRUE(connection->Connect());

    EXPECT_EQ(CameraCalls(), (Calls{"ZQ_OpenComm 0", "ZQ_SetStatusAbortProc", "ZQ_OpenComm 1", "ZQ_SetAcquisitionMode 0"}));
    EXPECT_TRUE(connection->IsLinkType1());
    EXPECT_TRUE(PelSim_HasAbortProc());
    const auto dialogs = ConnectDialogs(m_capture);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].caption, "Connecting to Lumora");
    EXPECT_TRUE(dialogs[0].HasText("Checking USB "));
    EXPECT_TRUE(dialogs[0].HasText("Checking COM Ports"));
    EXPECT_EQ(dialogs[0].owner, m_view.Window());
    EXPECT_FALSE(IsWindow(dialogs[0].hwnd));
    EXPECT_EQ(g_hwndConnectDialog, nullptr);
    EXPECT_EQ(m_capture.Messages().size(), dialogs.size());  // no message box
}

INSTANTIATE_TEST_SUITE_P(Statuses, SlowLinkTest, testing::Values(2, 12));

TEST_F(ConnectTest, AfterTheSlowLinkEveryConnectGoesStraightToIt)
{
    PelSim_SetOpenResult(0, 2, 0);
    CameraConnection* connection = AcquireOwned();
    ASSERT_TRUE(connection->Connect());
    ASSERT_TRUE(connection->Disconnect());
    PelSim_ClearLog();
    m_capture.Clear();

    EXPECT_TRUE(connection->Connect());

    EXPECT_EQ(CameraCalls(), (Calls{"ZQ_OpenComm 1", "ZQ_SetAcquisitionMode 0"}));
    EXPECT_EQ(ConnectDialogs(m_capture).size(), 1u);
    EXPECT_TRUE(connection->IsLinkType1());
}

TEST_F(ConnectTest, SlowLinkFailureIsReportedAndTheLinkTypeIsNotKept)
{
    PelSim_SetOpenResult(0, 12, 0);
    PelSim_SetOpenResult(1, 2, 0);
    CameraConnection* connection = AcquireOwned();

    EXPECT_FALSE(connection->Connect());

    EXPECT_FALSE(connection->IsLinkType1());
    EXPECT_FALSE(connection->IsConnected());
    const Messages messages = m_capture.Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), text::k1002);
    EXPECT_EQ(m_capture.Dialogs().back().caption, text::kCaption);
    EXPECT_EQ(m_capture.Dialogs().back().owner, m_view.Window());
}

// Any other failure of the quick link is reported at once, with no second attempt.
struct QuickFailureCase {
    int status;
    const std::string* message;
};

class QuickLinkFailureTest : public CameraTest, public testing::WithParamInterface<QuickFailureCase> {};

TEST_P(QuickLinkFailureTest, IsReportedWithoutDialogOrSecondAttempt)
{
    PelSim_SetOpenResult(0, GetParam().status, 0);
    CameraConnection* connection = AcquireOwned();

    EXPECT_FALSE(connection->Connect());

    EXPECT_EQ(CallsOf("ZQ_OpenComm").size(), 1u);
    EXPECT_TRUE(CallsOf("ZQ_SetStatusAbortProc").empty());
    EXPECT_TRUE(CallsOf("ZQ_StopAcquisition").empty());
    EXPECT_EQ(CallsOf("ZQ_SetAcquisitionMode").size(), 1u);
    EXPECT_EQ(m_capture.Messages(), Messages{*GetParam().message});
    EXPECT_FALSE(connection->IsConnected());
}

INSTANTIATE_TEST_SUITE_P(Statuses, QuickLinkFailureTest,
                         testing::Values(QuickFailureCase{1, &text::k1001}, QuickFailureCase{3, &text::k1003},
                                         QuickFailureCase{13, &text::k1013}, QuickFailureCase{-5, &text::k1000}));

TEST_F(ConnectTest, CancelDuringTheSlowAttemptAbortsItAndClosesTheLink)
{
    PelSim_SetOpenResult(0, 2, 0);
    PelSim_SetOpenResult(1, 0, 50);
    m_capture.SetAction([](HWND hwnd, const CapturedDialog& dialog) {
        if (GetDlgItem(hwnd, IDC_CONNECT_CANCEL))
            PostMessageA(hwnd, WM_COMMAND, IDC_CONNECT_CANCEL, 0);
        else
            DialogCapture::ActionPressDefault(hwnd, dialog);
    });
    CameraConnection* connection = AcquireOwned();

    EXPECT_FALSE(connection->Connect());

    const auto opens = CallsOf("ZQ_OpenComm");
    ASSERT_EQ(opens.size(), 2u);
    EXPECT_EQ(opens[1].status, ZQ_STATUS_ABORTED);
    EXPECT_EQ(m_capture.Messages().back(), text::k1014);
    EXPECT_FALSE(PelSim_IsLinkOpen());
    EXPECT_FALSE(connection->IsConnected());
    EXPECT_FALSE(connection->IsLinkType1());
    EXPECT_EQ(g_hwndConnectDialog, nullptr);
}

TEST_F(ConnectTest, CancelBeforeTheSlowAttemptSkipsIt)
{
    PelSim_SetOpenResult(0, 12, 0);
    m_capture.SetAction([](HWND hwnd, const CapturedDialog& dialog) {
        if (GetDlgItem(hwnd, IDC_CONNECT_CANCEL))
            SendMessageA(hwnd, WM_COMMAND, IDC_CONNECT_CANCEL, 0);
        else
            DialogCapture::ActionPressDefault(hwnd, dialog);
    });
    CameraConnection* connection = AcquireOwned();

    EXPECT_FALSE(connection->Connect());

    EXPECT_EQ(CallsOf("ZQ_OpenComm").size(), 1u);
    EXPECT_EQ(m_capture.Messages().back(), text::k1014);
}

TEST_F(ConnectTest, ConnectFromInsideARunningConnectIsRefused)
{
    PelSim_SetOpenResult(0, 2, 0);
    CameraConnection* connection = AcquireOwned();
    int nestedResult = -1;
    m_capture.SetAction([&](HWND hwnd, const CapturedDialog& dialog) {
        if (GetDlgItem(hwnd, IDC_CONNECT_CANCEL))
            nestedResult = connection->Connect() ? 1 : 0;
        else
            DialogCapture::ActionPressDefault(hwnd, dialog);
    });

    EXPECT_TRUE(connection->Connect());

    EXPECT_EQ(nestedResult, 0);
    EXPECT_EQ(CallsOf("ZQ_OpenComm").size(), 2u);
    EXPECT_TRUE(PelSim_IsLinkOpen());
}

TEST_F(ConnectTest, AbortCallbackPumpsNothingOnceTheDialogIsGone)
{
    PelSim_SetOpenResult(0, 2, 0);
    CameraConnection* connection = AcquireOwned();
    ASSERT_TRUE(connection->Connect());
    ASSERT_EQ(g_hwndConnectDialog, nullptr);
    PumpMessages();
    PostMessageA(m_view.Window(), WM_USER + 7, 0, 0);

    EXPECT_EQ(ConnectAbortProc(), 0);

    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, m_view.Window(), WM_USER + 7, WM_USER + 7, PM_REMOVE));
}

TEST_F(ConnectTest, DialogTitleNamesTheRegisteredProductCutToItsBuffer)
{
    const struct {
        std::string product;
        std::string title;
    } cases[] = {
        {"Cam Pro", "Connecting to Cam Pro"},
        {std::string(99, 'N'), "Connecting to " + std::string(85, 'N')},
    };
    for (const auto& c : cases) {
        SetRegistryText("Software\\Corvane\\Lumora", "ProductName", c.product);
        PelSim_SetOpenResult(0, 2, 0);
        CameraConnection* connection = Acquire();
        m_capture.Clear();

        ASSERT_TRUE(connection->Connect());

        const auto dialogs = ConnectDialogs(m_capture);
        ASSERT_EQ(dialogs.size(), 1u);
        EXPECT_EQ(dialogs[0].caption, c.title);
        EXPECT_EQ(dialogs[0].owner, nullptr);
        ReleaseCameraConnection();
        --m_cUses;
    }
}

TEST_F(ConnectTest, SharedConnectionLivesFromFirstUseToLastRelease)
{
    const LONG before = g_cObjects;
    CameraConnection* first = Acquire();
    CameraConnection* second = Acquire();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(second, first);
    EXPECT_EQ(g_cObjects, before + 1);
    EXPECT_EQ(g_cConnectionUsers, 2);
    ASSERT_TRUE(first->Connect());
    PelSim_ClearLog();

    ReleaseCameraConnection();
    --m_cUses;
    EXPECT_EQ(g_pConnection, first);
    EXPECT_TRUE(PelSim_IsLinkOpen());

    ReleaseCameraConnection();
    --m_cUses;
    EXPECT_EQ(g_pConnection, nullptr);
    EXPECT_EQ(g_cObjects, before);
    EXPECT_EQ(CameraCalls(), (Calls{"ZQ_CloseComm"}));

    ReleaseCameraConnection();  // one too many: nothing happens
    EXPECT_EQ(g_cConnectionUsers, 0);
}

TEST_F(ConnectTest, SlowConnectServesOnlyItsDialogAndKeepsTheWindowFromBeingUsed)
{
    PelSim_SetOpenResult(0, 2, 0);
    PelSim_SetOpenResult(1, 0, 20);
    CameraConnection* connection = AcquireOwned();
    BOOL enabledDuringConnect = TRUE;
    m_capture.SetAction([&](HWND hwnd, const CapturedDialog& dialog) {
        if (!GetDlgItem(hwnd, IDC_CONNECT_CANCEL)) return DialogCapture::ActionPressDefault(hwnd, dialog);
        enabledDuringConnect = IsWindowEnabled(m_view.Window());
        PostMessageA(m_view.Window(), WM_USER + 9, 0, 0);  // a command for the window, mid-connect
    });

    EXPECT_TRUE(connection->Connect());

    EXPECT_FALSE(enabledDuringConnect);
    EXPECT_TRUE(IsWindowEnabled(m_view.Window()));
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, m_view.Window(), WM_USER + 9, WM_USER + 9, PM_REMOVE)) << "dispatched inside the connect";
}

TEST_F(ConnectTest, QuitDuringTheSlowConnectAbortsItAndStaysQueued)
{
    PelSim_SetOpenResult(0, 2, 0);
    PelSim_SetOpenResult(1, 0, 50);
    CameraConnection* connection = AcquireOwned();
    m_capture.SetAction([](HWND hwnd, const CapturedDialog& dialog) {
        if (GetDlgItem(hwnd, IDC_CONNECT_CANCEL))
            PostQuitMessage(7);
        else
            DialogCapture::ActionPressDefault(hwnd, dialog);
    });

    EXPECT_FALSE(connection->Connect());

    EXPECT_EQ(CallsOf("ZQ_OpenComm").back().status, ZQ_STATUS_ABORTED);
    EXPECT_FALSE(PelSim_IsLinkOpen());
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit request was swallowed";
    EXPECT_EQ(msg.wParam, 7u);
}

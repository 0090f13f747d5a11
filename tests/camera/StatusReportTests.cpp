// The messages a user reads for every failure, their caption and parent, and what
// happens to the link and the owner view after each.
#include "camera/CameraTestSupport.h"

namespace {
// No text: the not-available message and a refresh.
const std::string* const kNotAvailable = &text::kNotAvailable;
}  // namespace

struct ComStatusCase {
    ComStatus status;
    const std::string* message;
};

class ComStatusReportTest : public CameraTest, public testing::WithParamInterface<ComStatusCase> {};

TEST_P(ComStatusReportTest, ShowsItsMessageAndClosesTheLink)
{
    const ComStatusCase& c = GetParam();
    CameraConnection* connection = AcquireOwned();
    ConnectAndClearLog(connection);

    connection->Messages().ReportComStatus(c.status);

    EXPECT_EQ(m_capture.Messages(), Messages{*c.message});
    EXPECT_EQ(m_capture.Dialogs()[0].caption, text::kCaption);
    EXPECT_EQ(m_capture.Dialogs()[0].owner, m_view.Window());
    EXPECT_EQ(m_view.RefreshCount(), c.message == kNotAvailable ? 1 : 0);
    EXPECT_FALSE(connection->IsConnected());
    EXPECT_EQ(CameraCalls(), std::vector<std::string>{"ZQ_CloseComm"});
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, ComStatusReportTest,
    testing::Values(ComStatusCase{-5, &text::k1000}, ComStatusCase{-0x7FFFFFFF, &text::k1000}, ComStatusCase{1, &text::k1001},
                    ComStatusCase{2, &text::k1002}, ComStatusCase{3, &text::k1003}, ComStatusCase{4, &text::k1004},
                    ComStatusCase{12, &text::k1004}, ComStatusCase{13, &text::k1013}, ComStatusCase{14, &text::k1014},
                    ComStatusCase{15, kNotAvailable}, ComStatusCase{20, kNotAvailable},
                    ComStatusCase{0x7FFFFFFF, kNotAvailable}, ComStatusCase{64536 + 1001, kNotAvailable}));

using StatusReportTest = CameraTest;

TEST_F(StatusReportTest, SuccessShowsNothingAndKeepsTheLink)
{
    CameraConnection* connection = AcquireOwned();
    ConnectAndClearLog(connection);

    connection->Messages().ReportComStatus(ZQ_STATUS_OK);

    EXPECT_EQ(m_capture.Count(), 0u);
    EXPECT_TRUE(connection->IsConnected());
    EXPECT_EQ(PelSim_LogCount(), 0);
}

TEST_F(StatusReportTest, TransferErrorsShowTheirMessageAndLeaveTheLink)
{
    const struct {
        int code;
        const std::string* message;
    } cases[] = {{0, &text::k2000}, {2, &text::k2002}, {3, kNotAvailable}, {4, &text::k2004}};
    CameraConnection* connection = AcquireOwned();
    ConnectAndClearLog(connection);
    for (const auto& c : cases) {
        m_capture.Clear();
        const int refreshes = m_view.RefreshCount();

        connection->Messages().ReportTransferError(TransferError(c.code));

        EXPECT_EQ(m_capture.Messages(), Messages{*c.message}) << c.code;
        EXPECT_EQ(m_view.RefreshCount() - refreshes, c.message == kNotAvailable ? 1 : 0) << c.code;
    }
    EXPECT_TRUE(connection->IsConnected());
    EXPECT_EQ(PelSim_LogCount(), 0);
}

TEST_F(StatusReportTest, ShellErrorsShowTheirMessageOrNothing)
{
    const struct {
        UINT_PTR code;
        const std::string* message;
    } cases[] = {
        {2, &text::k3000},  {3, &text::k3001},  {27, &text::k3002}, {31, &text::k3002}, {5, &text::k3003},
        {8, &text::k3003},  {11, &text::k3003}, {26, &text::k3003}, {28, &text::k3003}, {29, &text::k3003},
        {30, &text::k3003}, {32, &text::k3003}, {0xFFA0, &text::k2000}, {0xFFA1, &text::k2005},
        {0, nullptr}, {1, nullptr}, {4, nullptr}, {33, nullptr}, {0xFFA2, nullptr},
    };
    CameraConnection* connection = AcquireOwned();
    for (const auto& c : cases) {
        m_capture.Clear();

        connection->Messages().ReportShellError(c.code);

        EXPECT_EQ(m_capture.Messages(), c.message ? Messages{*c.message} : Messages{}) << c.code;
    }
    EXPECT_EQ(m_view.RefreshCount(), 0);
}

TEST_F(StatusReportTest, UnitWindowParentsItsMessagesAndGetsTheRefresh)
{
    CameraConnection* connection = Acquire();
    FakeCameraWindow other;
    FakeCameraWindow gone;
    std::vector<HWND> owners;
    auto report = [&](int code) {
        m_capture.Clear();
        connection->Messages().ReportTransferError(TransferError(code));
        owners.push_back(m_capture.Count() == 1 ? m_capture.Dialogs()[0].owner : HWND(-1));
    };
    {
        CameraWork outer(connection, m_view.Window());
        report(2);
        {
            CameraWork nestedWithout(connection, nullptr);  // keeps the enclosing unit's window
            report(3);
        }
        {
            CameraWork nestedWith(connection, other.Window());
            report(3);
        }
        report(2);  // the enclosing unit's window again
    }
    report(3);  // no unit: no parent, no refresh
    {
        CameraWork unit(connection, gone.Window());
        DestroyWindow(gone.Window());
        report(2);  // a window that is gone parents nothing
    }

    EXPECT_EQ(owners, (std::vector<HWND>{m_view.Window(), m_view.Window(), other.Window(), m_view.Window(), nullptr, nullptr}));
    EXPECT_EQ(m_view.RefreshCount(), 1);
    EXPECT_EQ(other.RefreshCount(), 1);
}

TEST_F(StatusReportTest, CaptionIsTheRegisteredProductName)
{
    SetRegistryText("Software\\Corvane\\Lumora", "ProductName", "Cam Pro 2");
    CameraConnection* connection = AcquireOwned();

    connection->Messages().ReportTransferError(kTransferCameraFull);

    ASSERT_EQ(m_capture.Count(), 1u);
    EXPECT_EQ(m_capture.Dialogs()[0].caption, "Cam Pro 2");
}

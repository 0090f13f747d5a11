// Opening and closing the link, calls while it is closed, slow opens and their abort.
#include "PelcoreTest.h"

namespace {

using LinkTest = PelcoreTest;

// Every call that needs the open link, made with sound arguments.
struct ClosedCase {
    const char* function;
    ComStatus (*call)();
};

unsigned char g_buffer[64];
unsigned g_value;

const ClosedCase c_closedCases[] = {
    {"ZQ_CloseComm", [] { return ZQ_CloseComm(); }},
    {"ZQ_SetAcquisitionMode", [] { return ZQ_SetAcquisitionMode(0); }},
    {"ZQ_StopAcquisition", [] { return ZQ_StopAcquisition(); }},
    {"ZQ_GetNumFiles", [] { return ZQ_GetNumFiles(&g_value); }},
    {"ZQ_GetFiles", [] { return ZQ_GetFiles(reinterpret_cast<char*>(g_buffer), 14); }},
    {"ZQ_GetFileSize", [] { return ZQ_GetFileSize("A.JPG", &g_value); }},
    {"ZQ_ReceiveFile", [] { return ZQ_ReceiveFile("A.JPG", 10, g_buffer); }},
    {"ZQ_GetSegmentedFile", [] { return ZQ_GetSegmentedFile(ZQ_SEGMENT_SIZE, "A.JPG"); }},
    {"ZQ_GetSegment", [] { return ZQ_GetSegment(10, g_buffer); }},
    {"ZQ_PutFile", [] { return ZQ_PutFile(10, g_buffer, "B.JPG"); }},
    {"ZQ_PutSegmentedFile", [] { return ZQ_PutSegmentedFile(600000, "B.JPG"); }},
    {"ZQ_PutSegment", [] { return ZQ_PutSegment(10, g_buffer); }},
    {"ZQ_DeleteFile", [] { return ZQ_DeleteFile("A.JPG"); }},
    {"ZQ_GetFirmwareVersion", [] { return ZQ_GetFirmwareVersion(reinterpret_cast<char*>(g_buffer)); }},
    {"ZQ_GetMediaFree", [] { return ZQ_GetMediaFree(&g_value); }},
};

class ClosedLinkTest : public PelcoreTest, public testing::WithParamInterface<ClosedCase> {};

TEST_P(ClosedLinkTest, FailsWithoutTouchingTheCamera)
{
    AddTestFile("A.JPG", 10, 1);
    g_value = 0xCDCDCDCD;
    memset(g_buffer, 0xCD, sizeof(g_buffer));

    EXPECT_EQ(GetParam().call(), PELSIM_STATUS_LINK_CLOSED);

    EXPECT_EQ(g_value, 0xCDCDCDCDu);
    EXPECT_EQ(g_buffer[0], 0xCD);
    EXPECT_EQ(PelSim_FileCount(), 1);
    EXPECT_EQ(PelSim_GetMediaFree(), 65536u);
    EXPECT_EQ(LoggedFunctions(), std::vector<std::string>{GetParam().function});
}

// The same calls also fail once a link was opened and closed again.
TEST_P(ClosedLinkTest, FailsAfterTheLinkClosed)
{
    ASSERT_EQ(ZQ_OpenComm(ZqLinkUsb), ZQ_STATUS_OK);
    ASSERT_EQ(ZQ_CloseComm(), ZQ_STATUS_OK);
    EXPECT_EQ(GetParam().call(), PELSIM_STATUS_LINK_CLOSED);
}

INSTANTIATE_TEST_SUITE_P(EveryCall, ClosedLinkTest, testing::ValuesIn(c_closedCases),
                         [](const testing::TestParamInfo<ClosedCase>& info) { return std::string(info.param.function + 3); });

TEST_F(LinkTest, OpensAndClosesOnEitherLinkType)
{
    for (ZqLinkType type : {ZqLinkUsb, ZqLinkPorts}) {
        EXPECT_EQ(ZQ_OpenComm(type), ZQ_STATUS_OK);
        EXPECT_EQ(PelSim_IsLinkOpen(), 1);
        EXPECT_EQ(ZQ_CloseComm(), ZQ_STATUS_OK);
        EXPECT_EQ(PelSim_IsLinkOpen(), 0);
    }
    EXPECT_EQ(LoggedCalls(), (std::vector<std::string>{"ZQ_OpenComm  0 0 0", "ZQ_CloseComm  0 0 0", "ZQ_OpenComm  0 1 0",
                                                       "ZQ_CloseComm  0 0 0"}));
}

TEST_F(LinkTest, OpenWhileOpenIsRefusedAndKeepsTheLink)
{
    ASSERT_EQ(ZQ_OpenComm(ZqLinkUsb), ZQ_STATUS_OK);
    EXPECT_EQ(ZQ_OpenComm(ZqLinkPorts), ZQ_STATUS_IN_USE);
    EXPECT_EQ(PelSim_IsLinkOpen(), 1);
    unsigned count = 99;
    EXPECT_EQ(ZQ_GetNumFiles(&count), ZQ_STATUS_OK);
    EXPECT_EQ(count, 0u);
}

TEST_F(LinkTest, UnknownLinkTypeIsRefused)
{
    EXPECT_EQ(ZQ_OpenComm(static_cast<ZqLinkType>(2)), PELSIM_STATUS_BAD_ARGUMENT);
    EXPECT_EQ(PelSim_IsLinkOpen(), 0);
}

// The scripted outcome of each link type, as the connect sequence meets it.
struct OpenCase {
    ComStatus usb;
    ComStatus ports;
    ComStatus expectedUsb;
    ComStatus expectedPorts;  // -1: not tried
    bool openAtEnd;
};

class OpenResultTest : public PelcoreTest, public testing::WithParamInterface<OpenCase> {};

TEST_P(OpenResultTest, EachLinkTypeAnswersItsScriptedStatus)
{
    const OpenCase& c = GetParam();
    PelSim_SetOpenResult(ZqLinkUsb, c.usb, 0);
    PelSim_SetOpenResult(ZqLinkPorts, c.ports, 0);

    const ComStatus first = ZQ_OpenComm(ZqLinkUsb);
    EXPECT_EQ(first, c.expectedUsb);
    if (c.expectedPorts >= 0) {
        EXPECT_EQ(ZQ_OpenComm(ZqLinkPorts), c.expectedPorts);
    }
    EXPECT_EQ(PelSim_IsLinkOpen(), c.openAtEnd ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Scripted, OpenResultTest,
                         testing::Values(OpenCase{0, 0, 0, -1, true}, OpenCase{ZQ_STATUS_NOT_LOCATED, 0, 2, 0, true},
                                         OpenCase{ZQ_STATUS_PORT_UNAVAILABLE, 0, 12, 0, true},
                                         OpenCase{ZQ_STATUS_NOT_LOCATED, ZQ_STATUS_NOT_LOCATED, 2, 2, false},
                                         OpenCase{ZQ_STATUS_IN_USE, 0, 13, -1, false},
                                         OpenCase{-5, 0, -5, -1, false}));

// Abort callback that counts its calls and asks to abort at a chosen call.
int g_abortCalls;
int g_abortAt;
int __cdecl CountingAbortProc(void)
{
    ++g_abortCalls;
    return g_abortCalls == g_abortAt ? 1 : 0;
}

struct SlowOpenCase {
    unsigned polls;
    int abortAt;  // 0: never
    ComStatus expected;
    int expectedCalls;
};

class SlowOpenTest : public PelcoreTest, public testing::WithParamInterface<SlowOpenCase> {};

TEST_P(SlowOpenTest, PollsTheCallbackUntilItAborts)
{
    const SlowOpenCase& c = GetParam();
    g_abortCalls = 0;
    g_abortAt = c.abortAt;
    PelSim_SetOpenResult(ZqLinkPorts, ZQ_STATUS_OK, c.polls);
    ASSERT_EQ(ZQ_SetStatusAbortProc(CountingAbortProc), ZQ_STATUS_OK);
    EXPECT_EQ(PelSim_HasAbortProc(), 1);

    EXPECT_EQ(ZQ_OpenComm(ZqLinkPorts), c.expected);

    EXPECT_EQ(g_abortCalls, c.expectedCalls);
    EXPECT_EQ(PelSim_IsLinkOpen(), c.expected == ZQ_STATUS_OK ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Polls, SlowOpenTest,
                         testing::Values(SlowOpenCase{5, 3, ZQ_STATUS_ABORTED, 3}, SlowOpenCase{5, 1, ZQ_STATUS_ABORTED, 1},
                                         SlowOpenCase{5, 0, ZQ_STATUS_OK, 5}, SlowOpenCase{0, 1, ZQ_STATUS_OK, 0}));

TEST_F(LinkTest, SlowOpenWithoutCallbackJustWaits)
{
    PelSim_SetOpenResult(ZqLinkPorts, ZQ_STATUS_OK, 20);
    EXPECT_EQ(PelSim_HasAbortProc(), 0);
    EXPECT_EQ(ZQ_OpenComm(ZqLinkPorts), ZQ_STATUS_OK);
    EXPECT_EQ(PelSim_IsLinkOpen(), 1);
}

// A scripted failure after a slow open still runs the polls first.
TEST_F(LinkTest, SlowFailingOpenPollsThenFails)
{
    g_abortCalls = 0;
    g_abortAt = 0;
    PelSim_SetOpenResult(ZqLinkPorts, ZQ_STATUS_NOT_LOCATED, 4);
    ZQ_SetStatusAbortProc(CountingAbortProc);
    EXPECT_EQ(ZQ_OpenComm(ZqLinkPorts), ZQ_STATUS_NOT_LOCATED);
    EXPECT_EQ(g_abortCalls, 4);
    EXPECT_EQ(PelSim_IsLinkOpen(), 0);
}

// The callback may call back into the library: a nested open is refused, and the
// nested call is logged after the open that began first.
int __cdecl ReenteringAbortProc(void)
{
    ++g_abortCalls;
    EXPECT_EQ(ZQ_OpenComm(ZqLinkUsb), ZQ_STATUS_IN_USE);
    return 0;
}

TEST_F(LinkTest, OpenFromInsideTheAbortCallbackIsRefused)
{
    g_abortCalls = 0;
    PelSim_SetOpenResult(ZqLinkPorts, ZQ_STATUS_OK, 1);
    ZQ_SetStatusAbortProc(ReenteringAbortProc);
    PelSim_ClearLog();
    EXPECT_EQ(ZQ_OpenComm(ZqLinkPorts), ZQ_STATUS_OK);
    EXPECT_EQ(g_abortCalls, 1);
    EXPECT_EQ(LoggedCalls(), (std::vector<std::string>{"ZQ_OpenComm  0 1 0", "ZQ_OpenComm  0 0 13"}));
}

TEST_F(LinkTest, ResetClosesTheLinkAndForgetsTheCallback)
{
    ZQ_SetStatusAbortProc(CountingAbortProc);
    ZQ_OpenComm(ZqLinkUsb);
    PelSim_Reset();
    EXPECT_EQ(PelSim_IsLinkOpen(), 0);
    EXPECT_EQ(PelSim_HasAbortProc(), 0);
    EXPECT_EQ(PelSim_LogCount(), 0);
}

struct ModeCase {
    unsigned mode;
    ComStatus expected;
};

class AcquisitionModeTest : public PelcoreTest, public testing::WithParamInterface<ModeCase> {};

TEST_P(AcquisitionModeTest, OnlyModeZeroIsAccepted)
{
    OpenLinkQuietly();
    EXPECT_EQ(ZQ_SetAcquisitionMode(GetParam().mode), GetParam().expected);
    EXPECT_EQ(ZQ_StopAcquisition(), ZQ_STATUS_OK);
    PelSimCall call;
    ASSERT_EQ(PelSim_LogEntry(0, &call), 1);
    EXPECT_EQ(call.arg, static_cast<int>(GetParam().mode));
}

INSTANTIATE_TEST_SUITE_P(Modes, AcquisitionModeTest,
                         testing::Values(ModeCase{0, ZQ_STATUS_OK}, ModeCase{1, PELSIM_STATUS_BAD_ARGUMENT},
                                         ModeCase{0x80000000u, PELSIM_STATUS_BAD_ARGUMENT}));

}  // namespace

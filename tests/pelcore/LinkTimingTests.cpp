// The link's timing: long calls poll the abort callback, a stopped call does nothing and
// drops its transfer, and the log names each call's thread.
#include <functional>
#include "PelcoreTest.h"

namespace {

int g_polls = 0;
int g_stopAtPoll = 0;  // 0: never stops

int __cdecl StoppingAbortProc(void)
{
    ++g_polls;
    return g_stopAtPoll != 0 && g_polls >= g_stopAtPoll ? 1 : 0;
}

struct StoppedCallCase {
    const char* label;
    unsigned bytesPerSecond;
    unsigned callLatencyMs;
    std::function<ComStatus()> prepare;  // the calls before the stopped one, all succeeding
    std::function<ComStatus()> stopped;
    std::function<ComStatus()> after;    // what the camera answers next
    ComStatus afterStatus;
};

std::vector<unsigned char> g_bytes(2 * ZQ_SEGMENT_SIZE);

// Reads "A.JPG" (300,000 bytes) whole into the buffer; the thread's exit code is the status.
DWORD WINAPI ReceiveOnOtherThread(void* buffer)
{
    return static_cast<DWORD>(ZQ_ReceiveFile("A.JPG", 300000, static_cast<unsigned char*>(buffer)));
}

ComStatus Ok() { return ZQ_STATUS_OK; }

const StoppedCallCase c_stoppedCases[] = {
    {"whole write stores nothing", 1000000, 0, Ok, [] { return ZQ_PutFile(200000, g_bytes.data(), "NEW.JPG"); },
     [] { return static_cast<ComStatus>(PelSim_GetFile("NEW.JPG", nullptr, 0) == -1 ? 0 : 1); }, ZQ_STATUS_OK},
    {"segment write drops the transfer", 1000000, 0, [] { return ZQ_PutSegmentedFile(ZQ_SEGMENT_SIZE + 10, "NEW.MOV"); },
     [] { return ZQ_PutSegment(ZQ_SEGMENT_SIZE, g_bytes.data()); },
     [] { return ZQ_PutSegment(ZQ_SEGMENT_SIZE, g_bytes.data()); },
     PELSIM_STATUS_OUT_OF_SEQUENCE},
    {"segment read drops the transfer", 1000000, 0, [] { return ZQ_GetSegmentedFile(ZQ_SEGMENT_SIZE, "BIG.MOV"); },
     [] { return ZQ_GetSegment(ZQ_SEGMENT_SIZE, g_bytes.data()); },
     [] { return ZQ_GetSegment(ZQ_SEGMENT_SIZE, g_bytes.data()); }, PELSIM_STATUS_OUT_OF_SEQUENCE},
    {"listing call under latency", 0, 200, Ok, [] {
         unsigned count = 0;
         return ZQ_GetNumFiles(&count);
     },
     [] {
         unsigned count = 0;
         return ZQ_GetNumFiles(&count);
     },
     ZQ_STATUS_OK},
};

class StoppedCallTest : public PelcoreTest, public testing::WithParamInterface<StoppedCallCase> {};

// A long call polls the callback and fails with 14 when it answers non-zero; the next call
// finds nothing of the stopped one. The delay comes before the work: prepare runs untimed.
TEST_P(StoppedCallTest, FailsWith14AndLeavesNothingHalfDone)
{
    AddTestFile("BIG.MOV", 2 * ZQ_SEGMENT_SIZE, 3);
    OpenLinkQuietly();
    ZQ_SetStatusAbortProc(StoppingAbortProc);
    ASSERT_EQ(GetParam().prepare(), ZQ_STATUS_OK);
    PelSim_SetLinkTiming(GetParam().bytesPerSecond, GetParam().callLatencyMs);
    g_polls = 0;
    g_stopAtPoll = 3;
    EXPECT_EQ(GetParam().stopped(), ZQ_STATUS_ABORTED);
    EXPECT_EQ(g_polls, 3) << "the call goes on after its callback asked to stop";
    g_stopAtPoll = 0;
    PelSim_SetLinkTiming(0, 0);
    EXPECT_EQ(GetParam().after(), GetParam().afterStatus);
}

INSTANTIATE_TEST_SUITE_P(Calls, StoppedCallTest, testing::ValuesIn(c_stoppedCases),
                         [](const testing::TestParamInfo<StoppedCallCase>& info) {
                             std::string name = info.param.label;
                             for (char& c : name) c = isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

// A call of 300 ms asks the callback at least every 50 ms and lasts its bytes at the rate;
// the log names the thread that made each call.
TEST_F(PelcoreTest, LongCallPollsTheCallbackAndLogsItsThread)
{
    AddTestFile("A.JPG", 300000, 1);
    OpenLinkQuietly();
    ZQ_SetStatusAbortProc(StoppingAbortProc);
    PelSim_SetLinkTiming(1000000, 0);
    g_polls = 0;
    g_stopAtPoll = 0;
    DWORD callerThread = 0;
    std::vector<unsigned char> buffer(300000);
    HANDLE thread = CreateThread(nullptr, 0, ReceiveOnOtherThread, buffer.data(), 0, &callerThread);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    DWORD status = 99;
    GetExitCodeThread(thread, &status);
    CloseHandle(thread);
    EXPECT_EQ(status, 0u);
    EXPECT_GE(g_polls, 6) << "fewer polls than one every 50 ms";
    EXPECT_EQ(buffer, TestBytes(300000, 1));
    PelSimCall call;
    ASSERT_EQ(PelSim_LogEntry(PelSim_LogCount() - 1, &call), 1);
    EXPECT_STREQ(call.function, "ZQ_ReceiveFile");
    EXPECT_EQ(call.thread, callerThread);
}

}  // namespace

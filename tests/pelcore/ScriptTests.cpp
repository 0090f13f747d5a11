// Scripted failures, the call log and the firmware text.
#include "PelcoreTest.h"

namespace {

using ScriptTest = PelcoreTest;

// Which calls of ZQ_GetFileSize fail after a FailCall, counted from the scripting.
struct FailCase {
    const char* label;
    unsigned callsBefore;  // made before the scripting: they do not count
    unsigned nth;
    bool always;
    std::vector<ComStatus> expected;
};

const FailCase c_failCases[] = {
    {"FirstOnce", 0, 1, false, {3, 0, 0, 0}},
    {"SecondOnce", 0, 2, false, {0, 3, 0, 0}},
    {"SecondOnward", 0, 2, true, {0, 3, 3, 3}},
    {"CountedFromTheScripting", 3, 1, false, {3, 0}},
    {"AlwaysFromTheFirst", 2, 1, true, {3, 3, 3}},
};

class FailCallTest : public PelcoreTest, public testing::WithParamInterface<FailCase> {};

TEST_P(FailCallTest, FailsTheScriptedCallsOnly)
{
    AddTestFile("A.JPG", 55, 1);
    OpenLinkQuietly();
    unsigned size = 0;
    for (unsigned i = 0; i < GetParam().callsBefore; ++i) ASSERT_EQ(ZQ_GetFileSize("A.JPG", &size), ZQ_STATUS_OK);

    PelSim_FailCall("ZQ_GetFileSize", GetParam().nth, ZQ_STATUS_COMM_ERROR, GetParam().always ? 1 : 0);

    for (size_t i = 0; i < GetParam().expected.size(); ++i) {
        size = 0xCDCDCDCD;
        const ComStatus status = ZQ_GetFileSize("A.JPG", &size);
        EXPECT_EQ(status, GetParam().expected[i]) << "call " << i + 1;
        EXPECT_EQ(size, status == ZQ_STATUS_OK ? 55u : 0xCDCDCDCDu) << "call " << i + 1;
    }
    // Other functions are not affected.
    unsigned count = 0;
    EXPECT_EQ(ZQ_GetNumFiles(&count), ZQ_STATUS_OK);
}

INSTANTIATE_TEST_SUITE_P(Rules, FailCallTest, testing::ValuesIn(c_failCases),
                         [](const testing::TestParamInfo<FailCase>& info) { return std::string(info.param.label); });

// A scripted failure does none of the call's work.
struct NoWorkCase {
    const char* function;
    ComStatus (*call)();
    bool linkOpenAfter;
    int filesAfter;
};

unsigned char g_data[16];

const NoWorkCase c_noWorkCases[] = {
    {"ZQ_OpenComm", [] { return ZQ_OpenComm(ZqLinkPorts); }, false, 1},
    {"ZQ_CloseComm", [] { return ZQ_CloseComm(); }, true, 1},
    {"ZQ_DeleteFile", [] { return ZQ_DeleteFile("A.JPG"); }, true, 1},
    {"ZQ_PutFile", [] { return ZQ_PutFile(16, g_data, "B.JPG"); }, true, 1},
    {"ZQ_PutSegment", [] { return ZQ_PutSegment(16, g_data); }, true, 1},
};

class NoWorkTest : public PelcoreTest, public testing::WithParamInterface<NoWorkCase> {};

TEST_P(NoWorkTest, ScriptedStatusInsteadOfTheWork)
{
    AddTestFile("A.JPG", 10, 1);
    const bool opensItself = std::string(GetParam().function) == "ZQ_OpenComm";
    if (!opensItself) {
        OpenLinkQuietly();
        ASSERT_EQ(ZQ_PutSegmentedFile(16, "C.JPG"), ZQ_STATUS_OK);
    }
    PelSim_FailCall(GetParam().function, 1, 9, 0);

    EXPECT_EQ(GetParam().call(), 9);

    EXPECT_EQ(PelSim_IsLinkOpen(), GetParam().linkOpenAfter ? 1 : 0);
    EXPECT_EQ(PelSim_FileCount(), GetParam().filesAfter);
    EXPECT_EQ(PelSim_GetMediaFree(), 65536u);
    PelSimCall call;
    ASSERT_EQ(PelSim_LogEntry(PelSim_LogCount() - 1, &call), 1);
    EXPECT_STREQ(call.function, GetParam().function);
    EXPECT_EQ(call.status, 9);
}

INSTANTIATE_TEST_SUITE_P(Calls, NoWorkTest, testing::ValuesIn(c_noWorkCases),
                         [](const testing::TestParamInfo<NoWorkCase>& info) { return std::string(info.param.function + 3); });

TEST_F(ScriptTest, ScriptedStatusComesFirstEvenWhileClosed)
{
    PelSim_FailCall("ZQ_GetMediaFree", 1, -5, 0);
    unsigned freeKiB = 0;
    EXPECT_EQ(ZQ_GetMediaFree(&freeKiB), -5);
    EXPECT_EQ(ZQ_GetMediaFree(&freeKiB), PELSIM_STATUS_LINK_CLOSED);
}

TEST_F(ScriptTest, ClearFailuresEndsEveryRule)
{
    OpenLinkQuietly();
    PelSim_FailCall("ZQ_StopAcquisition", 1, 3, 1);
    EXPECT_EQ(ZQ_StopAcquisition(), ZQ_STATUS_COMM_ERROR);
    PelSim_ClearFailures();
    EXPECT_EQ(ZQ_StopAcquisition(), ZQ_STATUS_OK);
}

// A connect, a listing, a read, a write, a failing delete and a close, as logged.
TEST_F(ScriptTest, LogHoldsEveryCallWithItsArgumentsAndStatus)
{
    AddTestFile("A.JPG", 10, 1);
    unsigned char buffer[16] = {};
    char listing[14];
    unsigned value = 0;
    PelSim_SetOpenResult(ZqLinkUsb, ZQ_STATUS_NOT_LOCATED, 0);

    ZQ_OpenComm(ZqLinkUsb);
    ZQ_OpenComm(ZqLinkPorts);
    ZQ_SetAcquisitionMode(0);
    ZQ_GetNumFiles(&value);
    ZQ_GetFiles(listing, sizeof(listing));
    ZQ_GetFileSize("A.JPG", &value);
    ZQ_ReceiveFile("A.JPG", 10, buffer);
    ZQ_PutFile(16, buffer, "B.JPG");
    ZQ_DeleteFile("NONE.JPG");
    ZQ_DeleteFile("ABCDEFGHIJKLMNOPQ");
    ZQ_CloseComm();

    EXPECT_EQ(LoggedCalls(), (std::vector<std::string>{
                                 "ZQ_OpenComm  0 0 2",
                                 "ZQ_OpenComm  0 1 0",
                                 "ZQ_SetAcquisitionMode  0 0 0",
                                 "ZQ_GetNumFiles  0 0 0",
                                 "ZQ_GetFiles  14 0 0",
                                 "ZQ_GetFileSize A.JPG 0 0 0",
                                 "ZQ_ReceiveFile A.JPG 10 0 0",
                                 "ZQ_PutFile B.JPG 16 0 0",
                                 "ZQ_DeleteFile NONE.JPG 0 0 20",
                                 "ZQ_DeleteFile ABCDEFGHIJKLMNO 0 0 4",
                                 "ZQ_CloseComm  0 0 0",
                             }));
    EXPECT_EQ(PelSim_LogCount(), 11);
}

TEST_F(ScriptTest, LogEntryOutsideTheLogIsRefused)
{
    ZQ_StopAcquisition();
    PelSimCall call;
    EXPECT_EQ(PelSim_LogEntry(0, &call), 1);
    EXPECT_EQ(PelSim_LogEntry(1, &call), 0);
    EXPECT_EQ(PelSim_LogEntry(-1, &call), 0);
    EXPECT_EQ(PelSim_LogEntry(0, nullptr), 0);
    PelSim_ClearLog();
    EXPECT_EQ(PelSim_LogCount(), 0);
}

// The 32 bytes ZQ_GetFirmwareVersion writes, and nothing past them.
struct FirmwareCase {
    const char* label;
    std::string scripted;  // set with PelSim_SetFirmware, or raw when 32 bytes long
    std::string expected;  // all 32 bytes
};

std::string Padded(const std::string& text)
{
    std::string bytes = text;
    bytes.resize(ZQ_FIRMWARE_TEXT, '\0');
    return bytes;
}

const FirmwareCase c_firmwareCases[] = {
    {"Default", "", Padded("4.0.1")},
    {"Dotted", "12.34.5678", Padded("12.34.5678")},
    {"TooLongText", std::string(35, '7') + ".", Padded(std::string(31, '7'))},
    {"RawWithoutTerminator", std::string("5.1.") + std::string(28, 'Z'), std::string("5.1.") + std::string(28, 'Z')},
};

class FirmwareTest : public PelcoreTest, public testing::WithParamInterface<FirmwareCase> {};

TEST_P(FirmwareTest, WritesExactlyThirtyTwoBytes)
{
    const std::string& scripted = GetParam().scripted;
    if (scripted.size() == ZQ_FIRMWARE_TEXT) {
        PelSim_SetFirmwareRaw(scripted.data());
    } else if (!scripted.empty()) {
        PelSim_SetFirmware(scripted.c_str());
    }
    OpenLinkQuietly();
    char text[ZQ_FIRMWARE_TEXT + 8];
    memset(text, 0xCD, sizeof(text));

    ASSERT_EQ(ZQ_GetFirmwareVersion(text), ZQ_STATUS_OK);

    EXPECT_EQ(std::string(text, ZQ_FIRMWARE_TEXT), GetParam().expected);
    for (size_t i = ZQ_FIRMWARE_TEXT; i < sizeof(text); ++i) EXPECT_EQ(static_cast<unsigned char>(text[i]), 0xCD);
}

INSTANTIATE_TEST_SUITE_P(Texts, FirmwareTest, testing::ValuesIn(c_firmwareCases),
                         [](const testing::TestParamInfo<FirmwareCase>& info) { return std::string(info.param.label); });

TEST_F(ScriptTest, FirmwareNeedsABuffer)
{
    OpenLinkQuietly();
    EXPECT_EQ(ZQ_GetFirmwareVersion(nullptr), PELSIM_STATUS_BAD_ARGUMENT);
}

}  // namespace

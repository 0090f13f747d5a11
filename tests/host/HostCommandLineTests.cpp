// LumoraHost.exe's command line: the view mode that reaches the first view, the waits and the
// options refused with the usage text.
#include "HostTestSupport.h"
#include "host/HostCommandLine.h"

TEST_F(HostTest, ViewOptionGivesTheModeTheFirstViewOpensWith)
{
    const struct {
        std::vector<std::wstring> args;
        const char* createCall;  // null: the command line is refused
    } kRows[] = {
        {{}, "view.CreateViewWindow(FVM_DETAILS, 0x00000201)"},
        {{L"--view", L"icons"}, "view.CreateViewWindow(FVM_ICON, 0x00000201)"},
        {{L"--view", L"smallicons"}, "view.CreateViewWindow(FVM_SMALLICON, 0x00000201)"},
        {{L"--view", L"list", L"--refuse"}, "view.CreateViewWindow(FVM_LIST, 0x00000201)"},
        {{L"--view", L"details"}, "view.CreateViewWindow(FVM_DETAILS, 0x00000201)"},
        {{L"--view", L"Thumbnails"}, "view.CreateViewWindow(FVM_THUMBNAIL, 0x00000201)"},
        {{L"--view", L"tiles"}, nullptr},
        {{L"--view"}, nullptr},
        {{L"--views", L"list"}, nullptr},
    };
    for (const auto& row : kRows) {
        std::wstring label;
        for (const auto& arg : row.args) label += arg + L" ";
        SCOPED_TRACE(AnsiFromWide(label.c_str()));
        const HostCommandLine line = ParseHostCommandLine(row.args);
        ASSERT_EQ(line.fValid, row.createCall != nullptr);
        if (!line.fValid) continue;
        OpenBrowser(line.BrowserOptions());
        ShowRecordingView();
        EXPECT_TRUE(m_pBrowser->Calls().HasInOrder({row.createCall}));
        EXPECT_EQ(m_pBrowser->Options().fRefusing, line.fRefuse);
        CloseBrowser();
    }
}

TEST_F(HostTest, CommandLineKeepsThePlaceTheScreenshotAndTheWaits)
{
    const struct {
        const char* label;
        std::vector<std::wstring> args;
        std::wstring place, screenshot;
        DWORD delayMs, closeAfterMs;
    } kRows[] = {
        {"nothing given", {}, kCameraFolderParsingName, L"", 0, 0},
        {"a place and a screenshot", {L"C:\\pics", L"--screenshot", L"a.png", L"--close-after", L"4"}, L"C:\\pics",
         L"a.png", 0, 4000},
        {"a later screenshot", {L"--screenshot-delay", L"2.5", L"--screenshot", L"b.png"}, kCameraFolderParsingName,
         L"b.png", 2500, 0},
        {"no numbers", {L"--screenshot-delay", L"-3", L"--close-after", L"x"}, kCameraFolderParsingName, L"", 0, 0},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.label);
        const HostCommandLine line = ParseHostCommandLine(row.args);
        EXPECT_TRUE(line.fValid);
        EXPECT_EQ(line.place, row.place);
        EXPECT_EQ(line.screenshot, row.screenshot);
        EXPECT_EQ(line.screenshotDelayMs, row.delayMs);
        EXPECT_EQ(line.closeAfterMs, row.closeAfterMs);
        EXPECT_EQ(line.viewMode, 0u);
    }
}

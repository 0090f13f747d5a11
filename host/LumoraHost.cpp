// LumoraHost.exe: the host's browser as a program. It opens a place (the camera folder
// under My Computer unless given another parsing name, such as a PC folder's path) the way
// the Explorer does, reaching the extension only through COM.
//
//   LumoraHost.exe [PLACE] [--view icons|smallicons|list|details|thumbnails] [--screenshot FILE.png]
//                  [--screenshot-delay SECONDS] [--close-after SECONDS] [--refuse]
//
// --view opens the view in that mode (FVM_ICON, FVM_SMALLICON, FVM_LIST, FVM_DETAILS,
// FVM_THUMBNAIL) instead of details: the browser keeps view state only while it runs
// (host/ViewStateStore.h), so nothing stored overrides it; views opened later in the run keep
// the mode the user last chose, as before. --screenshot saves a picture of the window once
// the view has painted, --screenshot-delay that many seconds later still (for pictures a view
// makes in the background); --close-after closes the window that many seconds after the
// screenshot (after opening when there is none); --refuse answers as the platform's own
// explorer under Wine does. Exit code 0 when the window closed cleanly (with or without a
// view), 2 when the place could not be opened, 1 for any other failure.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <cstdio>
#include <string>
#include <vector>
#include "host/HostBrowser.h"
#include "host/HostCommandLine.h"
#include "host/WindowCapture.h"
#include "base/ModuleState.h"
#include "base/Raii.h"

namespace {

constexpr DWORD kPaintSettleMs = 800;

// The place and the options, from the program's command line.
HostCommandLine ReadCommandLine()
{
    int argc = 0;
    LocalPtr<LPWSTR*> argv(CommandLineToArgvW(GetCommandLineW(), &argc));
    std::vector<std::wstring> args;
    for (int i = 1; argv && i < argc; ++i) args.emplace_back(argv.Get()[i]);
    return ParseHostCommandLine(args);
}

// Saves the picture once everything that was posted has been handled and painted, and the
// delay asked for has passed (pictures a view makes in the background arrive meanwhile).
bool SaveScreenshot(HostBrowser* browser, const std::wstring& path, DWORD delayMs)
{
    browser->PumpFor(kPaintSettleMs + delayMs);
    const HRESULT hr = SaveWindowAsPng(browser->FrameWindow(), path.c_str());
    if (FAILED(hr)) fprintf(stderr, "LumoraHost: cannot save the screenshot (0x%08lX)\n", static_cast<unsigned long>(hr));
    else printf("LumoraHost: screenshot saved to %s\n", AnsiFromWide(path.c_str()).c_str());
    return SUCCEEDED(hr);
}

// Shows the place, takes the picture, runs until closed; the program's exit code.
int Run(HostBrowser* browser, const HostCommandLine& line)
{
    const HRESULT hr = browser->ShowParsingName(line.place.c_str());
    const std::string status = browser->StatusBar().texts.empty() ? "" : browser->StatusBar().texts.front();
    const std::string address = browser->AddressText();
    printf("LumoraHost: %s\n", address.empty() ? AnsiFromWide(line.place.c_str()).c_str() : address.c_str());
    if (FAILED(hr)) fprintf(stderr, "LumoraHost: %s\n", status.c_str());
    int result = !browser->CurrentPlace() ? 2 : 0;
    fflush(stdout);
    if (!line.screenshot.empty() && !SaveScreenshot(browser, line.screenshot, line.screenshotDelayMs)) result = 1;
    fflush(stdout);
    if (line.closeAfterMs) {
        HWND frame = browser->FrameWindow();
        browser->PumpUntil([frame] { return !IsWindow(frame); }, line.closeAfterMs);
        browser->Close();
    } else {
        browser->RunMessageLoop();
    }
    return result;
}

}  // namespace

int main()
{
    g_hinstModule = GetModuleHandleW(nullptr);
    const HostCommandLine line = ReadCommandLine();
    if (!line.fValid) {
        fputs(kHostUsage, stderr);
        return 1;
    }
    if (FAILED(OleInitialize(nullptr))) return 1;
    int result = 1;
    {
        HostOptions options = line.BrowserOptions();
        options.fQuitOnClose = true;
        ComPtr<HostBrowser> browser = Adopt(HostBrowser::Create(options));
        if (browser) result = Run(browser.Get(), line);
        else fprintf(stderr, "LumoraHost: cannot create the browser window\n");
    }
    if (g_cObjects != 0) {
        fprintf(stderr, "LumoraHost: %ld object(s) left alive\n", static_cast<long>(g_cObjects));
        result = 1;
    }
    OleUninitialize();
    return result;
}

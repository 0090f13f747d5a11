// LumoraHost.exe: the host's browser as a program. It opens a place (the camera folder
// under My Computer unless given another parsing name, such as a PC folder's path) the way
// the Explorer does, reaching the extension only through COM.
//
//   LumoraHost.exe [PLACE] [--screenshot FILE.png] [--close-after SECONDS] [--refuse]
//
// --screenshot saves a picture of the window once the view has painted; --close-after
// closes the window after that many seconds; --refuse answers as the platform's own
// explorer under Wine does. Exit code 0 when the window closed cleanly (with or without a
// view), 2 when the place could not be opened, 1 for any other failure.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <cstdio>
#include <cwchar>
#include <string>
#include "host/HostBrowser.h"
#include "host/WindowCapture.h"
#include "base/ModuleState.h"
#include "base/Raii.h"

namespace {

constexpr DWORD kPaintSettleMs = 800;

struct CommandLine {
    std::wstring place = kCameraFolderParsingName;
    std::wstring screenshot;
    DWORD closeAfterMs = 0;  // 0: until the user closes the window
    bool fRefuse = false;
    bool fValid = true;
};

// The place and the options; fValid false for an option the program does not know.
CommandLine ParseCommandLine()
{
    CommandLine line;
    int argc = 0;
    LocalPtr<LPWSTR*> argv(CommandLineToArgvW(GetCommandLineW(), &argc));
    for (int i = 1; argv && i < argc; ++i) {
        const std::wstring arg = argv.Get()[i];
        const bool hasValue = i + 1 < argc;
        if (arg == L"--screenshot" && hasValue) {
            line.screenshot = argv.Get()[++i];
        } else if (arg == L"--close-after" && hasValue) {
            line.closeAfterMs = static_cast<DWORD>(_wtof(argv.Get()[++i]) * 1000.0);
        } else if (arg == L"--refuse") {
            line.fRefuse = true;
        } else if (arg.rfind(L"--", 0) != 0) {
            line.place = arg;
        } else {
            line.fValid = false;
        }
    }
    return line;
}

// Saves the picture once everything that was posted has been handled and painted.
bool SaveScreenshot(HostBrowser* browser, const std::wstring& path)
{
    browser->PumpFor(kPaintSettleMs);
    const HRESULT hr = SaveWindowAsPng(browser->FrameWindow(), path.c_str());
    if (FAILED(hr)) fprintf(stderr, "LumoraHost: cannot save the screenshot (0x%08lX)\n", static_cast<unsigned long>(hr));
    else printf("LumoraHost: screenshot saved to %s\n", AnsiFromWide(path.c_str()).c_str());
    return SUCCEEDED(hr);
}

// Shows the place, takes the picture, runs until closed; the program's exit code.
int Run(HostBrowser* browser, const CommandLine& line)
{
    const HRESULT hr = browser->ShowParsingName(line.place.c_str());
    const std::string status = browser->StatusBar().texts.empty() ? "" : browser->StatusBar().texts.front();
    const std::string address = browser->AddressText();
    printf("LumoraHost: %s\n", address.empty() ? AnsiFromWide(line.place.c_str()).c_str() : address.c_str());
    if (FAILED(hr)) fprintf(stderr, "LumoraHost: %s\n", status.c_str());
    int result = !browser->CurrentPlace() ? 2 : 0;
    fflush(stdout);
    if (!line.screenshot.empty() && !SaveScreenshot(browser, line.screenshot)) result = 1;
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
    const CommandLine line = ParseCommandLine();
    if (!line.fValid) {
        fprintf(stderr, "usage: LumoraHost.exe [PLACE] [--screenshot FILE.png] [--close-after SECONDS] [--refuse]\n");
        return 1;
    }
    if (FAILED(OleInitialize(nullptr))) return 1;
    int result = 1;
    {
        HostOptions options;
        options.fRefusing = line.fRefuse;
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

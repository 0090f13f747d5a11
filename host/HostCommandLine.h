// The command line of LumoraHost.exe (kHostUsage spells it) and the browser options it gives.
#pragma once
#include <windows.h>
#include <shobjidl.h>
#include <string>
#include <vector>
#include "host/HostBrowser.h"

extern const char kHostUsage[];

struct HostCommandLine {
    std::wstring place = kCameraFolderParsingName;
    std::wstring screenshot;
    DWORD screenshotDelayMs = 0;  // waited after the view has painted, before the picture
    DWORD closeAfterMs = 0;       // 0: until the user closes the window
    UINT viewMode = 0;            // 0: none given, the browser's own (details)
    bool fRefuse = false;
    bool fValid = true;           // false for an option or a view mode the program does not know

    // The browser's options: refusing or not, and the view mode its first view opens with.
    HostOptions BrowserOptions() const;
};

// Reads the arguments that follow the program's name.
HostCommandLine ParseHostCommandLine(const std::vector<std::wstring>& args);

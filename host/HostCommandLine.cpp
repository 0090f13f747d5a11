// The command line of LumoraHost.exe and the browser options it gives.
#include "host/HostCommandLine.h"
#include <cwchar>

const char kHostUsage[] =
    "usage: LumoraHost.exe [PLACE] [--view icons|smallicons|list|details|thumbnails] [--screenshot FILE.png]\n"
    "                      [--screenshot-delay SECONDS] [--close-after SECONDS] [--refuse]\n";

namespace {

// The view mode a --view value names, 0 for none.
UINT ViewModeNamed(const wchar_t* name)
{
    static const struct {
        const wchar_t* name;
        UINT mode;
    } kModes[] = {{L"icons", FVM_ICON},
                  {L"smallicons", FVM_SMALLICON},
                  {L"list", FVM_LIST},
                  {L"details", FVM_DETAILS},
                  {L"thumbnails", FVM_THUMBNAIL}};
    for (const auto& entry : kModes) {
        if (_wcsicmp(name, entry.name) == 0) return entry.mode;
    }
    return 0;
}

// A number of seconds as milliseconds; what is not a positive number is none.
DWORD MillisecondsOf(const std::wstring& seconds)
{
    const double ms = _wtof(seconds.c_str()) * 1000.0;
    return ms > 0 ? static_cast<DWORD>(ms) : 0;
}

}  // namespace

HostOptions HostCommandLine::BrowserOptions() const
{
    HostOptions options;
    options.fRefusing = fRefuse;
    if (viewMode != 0) options.folderSettings.ViewMode = viewMode;
    return options;
}

HostCommandLine ParseHostCommandLine(const std::vector<std::wstring>& args)
{
    HostCommandLine line;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == L"--screenshot" && hasValue) {
            line.screenshot = args[++i];
        } else if (arg == L"--screenshot-delay" && hasValue) {
            line.screenshotDelayMs = MillisecondsOf(args[++i]);
        } else if (arg == L"--close-after" && hasValue) {
            line.closeAfterMs = MillisecondsOf(args[++i]);
        } else if (arg == L"--view" && hasValue) {
            line.viewMode = ViewModeNamed(args[++i].c_str());
            if (line.viewMode == 0) line.fValid = false;
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

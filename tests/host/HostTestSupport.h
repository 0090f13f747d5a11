// What the host tests share: a browser per test that must close with nothing left alive,
// views of the tests' own shown through a stub folder, a PC folder for the platform's own
// view, and keystrokes through the browser's message loop.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <string>
#include <vector>
#include "RecordingView.h"
#include "StubFolder.h"
#include "host/HostBrowser.h"
#include "base/ModuleState.h"
#include "base/Raii.h"

constexpr DWORD kPumpTimeoutMs = 5000;

// A PC folder under the temporary directory: two files and a subfolder SUB with one file;
// removed at the end, which must leave nothing behind.
class TempPcFolder {
public:
    TempPcFolder();
    ~TempPcFolder();
    TempPcFolder(const TempPcFolder&) = delete;
    TempPcFolder& operator=(const TempPcFolder&) = delete;

    const std::wstring& Path() const { return m_path; }
    std::wstring SubPath() const { return m_path + L"\\SUB"; }

private:
    std::wstring m_path;
};

class HostTest : public testing::Test {
protected:
    void SetUp() override { m_cObjectsAtStart = g_cObjects; }
    void TearDown() override;

    // A new browser for the test; closed and released by TearDown or CloseBrowser.
    HostBrowser* OpenBrowser(const HostOptions& options = {});
    // Closes the browser as the user does and lets it go; its frame must be gone.
    void CloseBrowser();
    // A recording view shown through a stub folder; the browser holds the only reference.
    RecordingView* ShowRecordingView(const RecordingViewSetup& setup = {});
    // A folder that refuses to give a view.
    HRESULT ShowRefusingFolder(HRESULT result);
    // Posts a key press to the focused window and pumps until the view's log grows to count.
    void PressKey(WPARAM key, size_t logCount);
    // The absolute identifier list of a PC path.
    PidlHandle PidlOf(const std::wstring& path);

    LONG m_cObjectsAtStart = 0;
    ComPtr<HostBrowser> m_pBrowser;
    std::vector<std::string> m_viewLog;  // written by recording views
};

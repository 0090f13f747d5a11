#include "HostTestSupport.h"

namespace {

// A file of six bytes.
void WriteSmallFile(const std::wstring& path)
{
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) WriteFile(file.Get(), "lumora", 6, &written, nullptr);
}

}  // namespace

TempPcFolder::TempPcFolder()
{
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp) + L"lumora-host-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(m_path.c_str(), nullptr);
    CreateDirectoryW(SubPath().c_str(), nullptr);
    WriteSmallFile(m_path + L"\\ALPHA.TXT");
    WriteSmallFile(m_path + L"\\BETA.TXT");
    WriteSmallFile(SubPath() + L"\\GAMMA.TXT");
}

TempPcFolder::~TempPcFolder()
{
    EXPECT_TRUE(DeleteFileW((SubPath() + L"\\GAMMA.TXT").c_str()));
    EXPECT_TRUE(DeleteFileW((m_path + L"\\ALPHA.TXT").c_str()));
    EXPECT_TRUE(DeleteFileW((m_path + L"\\BETA.TXT").c_str()));
    EXPECT_TRUE(RemoveDirectoryW(SubPath().c_str()));
    EXPECT_TRUE(RemoveDirectoryW(m_path.c_str())) << "something was left in the PC folder";
}

// The browser closes as the user's close does and nothing of the host stays.
void HostTest::TearDown()
{
    CloseBrowser();
    EXPECT_EQ(FindWindowW(L"LumoraHostFrame", nullptr), nullptr);
    EXPECT_EQ(g_cObjects, m_cObjectsAtStart) << "an object was left alive";
}

void HostTest::CloseBrowser()
{
    if (!m_pBrowser) return;
    m_pBrowser->Close();
    EXPECT_EQ(m_pBrowser->FrameWindow(), nullptr);
    m_pBrowser.Reset();
}

HostBrowser* HostTest::OpenBrowser(const HostOptions& options)
{
    m_pBrowser = Adopt(HostBrowser::Create(options));
    EXPECT_NE(m_pBrowser, nullptr);
    return m_pBrowser.Get();
}

RecordingView* HostTest::ShowRecordingView(const RecordingViewSetup& setup)
{
    RecordingView* view = RecordingView::Create(&m_viewLog, setup);
    ComPtr<IShellFolder> folder = Adopt<IShellFolder>(StubFolder::Create(view, S_OK));
    const HRESULT hr = m_pBrowser->ShowFolder(folder.Get());
    EXPECT_EQ(hr, SUCCEEDED(setup.createWindowResult) ? S_OK : setup.createWindowResult);
    return view;
}

HRESULT HostTest::ShowRefusingFolder(HRESULT result)
{
    ComPtr<IShellFolder> folder = Adopt<IShellFolder>(StubFolder::Create(nullptr, result));
    return m_pBrowser->ShowFolder(folder.Get());
}

void HostTest::PressKey(WPARAM key, size_t logCount)
{
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    m_pBrowser->PumpUntil([&] { return m_viewLog.size() >= logCount; }, kPumpTimeoutMs);
}

PidlHandle HostTest::PidlOf(const std::wstring& path)
{
    PidlHandle pidl;
    std::wstring name = path;
    ComPtr<IShellFolder> desktop;
    SHGetDesktopFolder(&desktop);
    EXPECT_EQ(desktop->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, pidl.Put(), nullptr), S_OK);
    return pidl;
}

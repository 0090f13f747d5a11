// The about box: the versions of the files that actually run, the firmware text, the
// link's state afterwards, and the version helpers.
#include "camera/CameraTestSupport.h"
#include "about/AboutDialog.h"
#include "about/FileVersion.h"
#include "base/Raii.h"
#include "resources/resource.h"

namespace {
// What the about box showed when it opened.
struct AboutFields {
    int shown = 0;
    HWND owner = nullptr;
    std::string title, module, firmware, driver, library;
};

std::string FieldText(HWND hwnd, int id)
{
    return WindowText(GetDlgItem(hwnd, id));
}

// The file the simulated camera's library was loaded from.
std::string LoadedLibraryPath()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(GetModuleHandleA("pelcore.dll"), path, MAX_PATH);
    return path;
}

// The stream driver's place in the native system folder, holding a file with a version while it lives.
class InstalledDriver {
public:
    explicit InstalledDriver(bool install)
    {
        char directory[MAX_PATH] = "";
        GetWindowsDirectoryA(directory, MAX_PATH);
        m_path = std::string(directory) + "\\system32\\drivers\\zqstream.sys";
        const std::string library = LoadedLibraryPath();
        NativeSystemFolders native;
        if (install) {
            EXPECT_TRUE(CopyFileA(library.c_str(), m_path.c_str(), FALSE));
        }
    }
    ~InstalledDriver()
    {
        NativeSystemFolders native;
        RemoveFile(m_path);
    }

private:
    std::string m_path;
};

struct AboutCase {
    const char* label;
    int firstOpenStatus;    // of ZQ_OpenComm(0): 2 opens on link type 1, 3 finds no camera
    std::string firmware;   // the 32 bytes the camera sends (zero-padded)
    const char* productName;
    bool driverInstalled;
    Messages captions;      // of every box and dialog in order, the about box last
    std::string message;    // of the message box before the about box, if any
    std::string title, firmwareShown, driverShown;
    std::vector<std::string> calls;
};

void PrintTo(const AboutCase& c, std::ostream* os) { *os << c.label; }

const std::string kLibraryVersion = "2. 6. 0. 4";

class AboutBoxTest : public CameraTest, public testing::WithParamInterface<AboutCase> {};

TEST_P(AboutBoxTest, ShowsTheVersionsOfWhatRunsAndLeavesTheLinkAsItsTypeSays)
{
    const AboutCase& c = GetParam();
    PelSim_SetOpenResult(0, c.firstOpenStatus, 0);
    char raw[ZQ_FIRMWARE_TEXT] = {};
    memcpy(raw, c.firmware.data(), std::min(c.firmware.size(), sizeof(raw)));
    PelSim_SetFirmwareRaw(raw);
    if (c.productName) SetRegistryText("Software\\Corvane\\Lumora", "ProductName", c.productName);
    InstalledDriver driver(c.driverInstalled);
    AboutFields about;
    m_capture.SetAction([&](HWND hwnd, const CapturedDialog&) {
        if (GetDlgItem(hwnd, IDC_ABOUT_MODULE)) {
            ++about.shown;
            about.owner = GetWindow(hwnd, GW_OWNER);
            about.title = WindowText(hwnd);
            about.module = FieldText(hwnd, IDC_ABOUT_MODULE);
            about.firmware = FieldText(hwnd, IDC_ABOUT_FIRMWARE);
            about.driver = FieldText(hwnd, IDC_ABOUT_DRIVER);
            about.library = FieldText(hwnd, IDC_ABOUT_LIBRARY);
        }
        DialogCapture::PressDefaultButton(hwnd);
    });
    CameraConnection* connection = Acquire();

    ShowAboutBox(connection, m_view.Window());

    Messages captions;
    for (const CapturedDialog& dialog : m_capture.Dialogs()) captions.push_back(dialog.caption);
    EXPECT_EQ(captions, c.captions);
    if (!c.message.empty()) {
        EXPECT_TRUE(m_capture.Dialogs().front().HasText(c.message));
    }
    for (const CapturedDialog& dialog : m_capture.Dialogs()) EXPECT_EQ(dialog.owner, m_view.Window()) << dialog.caption;
    EXPECT_EQ(about.shown, 1);
    EXPECT_EQ(about.owner, m_view.Window());
    EXPECT_EQ(about.title, c.title);
    EXPECT_EQ(about.module, "1. 2. 0. 31");  // this program carries the module's version resource
    EXPECT_EQ(about.firmware, c.firmwareShown);
    EXPECT_EQ(about.driver, c.driverShown);
    EXPECT_EQ(about.library, kLibraryVersion);
    EXPECT_EQ(CameraCalls(), c.calls);
    EXPECT_EQ(PelSim_IsLinkOpen() != 0, connection->IsLinkType1());
}

const std::vector<std::string> kOpenType0 = {"ZQ_OpenComm 0", "ZQ_StopAcquisition", "ZQ_SetAcquisitionMode 0"};

INSTANTIATE_TEST_SUITE_P(
    Links, AboutBoxTest,
    testing::Values(
        AboutCase{"type0", 0, "4.0.1", nullptr, false, {"Lumora"}, "", "Lumora", "4.0.1", "",
                  {"ZQ_OpenComm 0", "ZQ_StopAcquisition", "ZQ_SetAcquisitionMode 0", "ZQ_GetFirmwareVersion", "ZQ_CloseComm"}},
        AboutCase{"type1", 2, "5.2", nullptr, true, {"Connecting to Lumora", "Lumora"}, "", "Lumora", "5.2", kLibraryVersion,
                  {"ZQ_OpenComm 0", "ZQ_SetStatusAbortProc", "ZQ_OpenComm 1", "ZQ_SetAcquisitionMode 0", "ZQ_GetFirmwareVersion"}},
        AboutCase{"absent", 3, "4.0.1", nullptr, false, {text::kCaption, "Lumora"}, text::k1003, "Lumora", "", "",
                  {"ZQ_OpenComm 0", "ZQ_SetAcquisitionMode 0", "ZQ_GetFirmwareVersion"}},
        AboutCase{"named", 0, "4.0.1", "Pointed Cam", false, {"Pointed Cam"}, "", "Pointed Cam", "4.0.1", "",
                  {"ZQ_OpenComm 0", "ZQ_StopAcquisition", "ZQ_SetAcquisitionMode 0", "ZQ_GetFirmwareVersion", "ZQ_CloseComm"}},
        // All 32 bytes used, no terminator: the first 31 are shown.
        AboutCase{"full", 0, "1.2." + std::string(28, '7'), nullptr, false, {"Lumora"}, "", "Lumora", "1.2." + std::string(27, '7'), "",
                  {"ZQ_OpenComm 0", "ZQ_StopAcquisition", "ZQ_SetAcquisitionMode 0", "ZQ_GetFirmwareVersion", "ZQ_CloseComm"}}),
    [](const testing::TestParamInfo<AboutCase>& info) { return std::string(info.param.label); });

TEST(FileVersion, ProductVersionOfFilesWithAndWithoutOne)
{
    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    const std::string plain = TempDirectoryPathOf("VERSIONLESS.TXT");
    WriteTextFile(plain, "no resources here");
    const struct {
        std::string path;
        int capacity;
        bool found;
        std::string text;
    } cases[] = {
        {program, 32, true, "1, 2, 0, 31"},
        {LoadedLibraryPath(), 32, true, "2, 6, 0, 4"},
        {program, 5, true, "1, 2"},
        {plain, 32, false, "unchanged"},
        {TempDirectoryPathOf("MISSING.DLL"), 32, false, "unchanged"},
    };
    for (const auto& c : cases) {
        char text[40];
        memset(text, '#', sizeof(text));
        strcpy(text, "unchanged");
        EXPECT_EQ(GetFileProductVersion(c.path.c_str(), text, c.capacity), c.found) << c.path;
        EXPECT_EQ(std::string(text), c.text) << c.path;
        EXPECT_EQ(text[sizeof(text) - 1], '#') << c.path;
    }
    RemoveFile(plain);
}

TEST(FileVersion, CommasBecomeFullStopsInPlace)
{
    const struct {
        const char* before;
        const char* after;
    } cases[] = {{"1, 0, 0, 5", "1. 0. 0. 5"}, {"2,1,0,3", "2.1.0.3"}, {"", ""}, {"4.0.1", "4.0.1"}, {",,", ".."}};
    for (const auto& c : cases) {
        char text[32];
        strcpy(text, c.before);
        CommasToPeriods(text);
        EXPECT_STREQ(text, c.after) << c.before;
    }
}
}  // namespace

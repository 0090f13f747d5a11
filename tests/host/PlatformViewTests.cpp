// The browser with the platform's own shell view of a PC folder: what that view asks of
// it, going places, view state streams per folder, and a picture of the window.
#include "HostTestSupport.h"
#include <commctrl.h>
#include <wincodec.h>
#include <unordered_set>
#include "host/WindowCapture.h"

namespace {

// A path as the address box shows it to the readers.
std::string Narrow(const std::wstring& text)
{
    return AnsiFromWide(text.c_str());
}

// The rows of the list the platform's view shows, -1 without a list.
int ListItemCount(HWND view)
{
    HWND list = FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr);
    return list ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : -1;
}

// Writes the text into the stream the browser gives (empty text: only opens it), or reads
// it all back; the result of GetViewStateStream.
HRESULT UseViewStateStream(IShellBrowser* browser, DWORD grfMode, const std::string& write, std::string* read)
{
    ComPtr<IStream> stream;
    const HRESULT hr = browser->GetViewStateStream(grfMode, &stream);
    if (FAILED(hr)) return hr;
    char buffer[64] = "";
    ULONG done = 0;
    if (!write.empty()) stream->Write(write.data(), static_cast<ULONG>(write.size()), &done);
    else stream->Read(buffer, sizeof(buffer) - 1, &done);
    *read = write.empty() ? std::string(buffer, done) : "";
    return hr;
}

// Size and pixels of a PNG file, read back through the imaging component.
bool ReadPng(const std::wstring& path, UINT* width, UINT* height, std::vector<UINT32>* pixels)
{
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory));
    if (SUCCEEDED(hr)) hr = factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand, &decoder);
    if (SUCCEEDED(hr)) hr = decoder->GetFrame(0, &frame);
    if (SUCCEEDED(hr)) hr = frame->GetSize(width, height);
    if (SUCCEEDED(hr)) hr = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(hr)) hr = converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0, WICBitmapPaletteTypeCustom);
    if (SUCCEEDED(hr)) pixels->resize(static_cast<size_t>(*width) * *height);
    if (SUCCEEDED(hr)) hr = converter->CopyPixels(nullptr, *width * 4, static_cast<UINT>(pixels->size() * 4), reinterpret_cast<BYTE*>(pixels->data()));
    return SUCCEEDED(hr);
}

}  // namespace

TEST_F(HostTest, PlatformViewOfAPcFolderMakesOnlyTheCallsItIsExpectedTo)
{
    TempPcFolder pcFolder;
    OpenBrowser();
    BrowserCallLog& calls = m_pBrowser->Calls();
    calls.SetFailureHook([](const std::string& call) { ADD_FAILURE() << "unexpected call of the view: " << call; });
    calls.ExpectOnly({"GetWindow", "OnViewWindowActive", "InsertMenusSB", "SetMenuSB(*)", "RemoveMenusSB",
                      "SendControlMsg(FCW_STATUS, SB_SETPARTS, 1, {-1})"});
    ASSERT_EQ(m_pBrowser->ShowParsingName(pcFolder.Path().c_str()), S_OK);
    m_pBrowser->FocusAddressBox();
    m_pBrowser->FocusView();

    EXPECT_EQ(ListItemCount(m_pBrowser->ViewWindow()), 3);
    EXPECT_EQ(m_pBrowser->AddressText(), Narrow(pcFolder.Path()));
    EXPECT_TRUE(calls.HasInOrder({"view.CreateViewWindow(FVM_DETAILS, 0x00000201)", "GetWindow",
                                  "view.UIActivate(SVUIA_ACTIVATE_FOCUS)", "InsertMenusSB", "SetMenuSB(hmenu!=0)",
                                  "view.UIActivate(SVUIA_ACTIVATE_NOFOCUS)", "view.UIActivate(SVUIA_ACTIVATE_FOCUS)"}));
    m_pBrowser->Close();
    EXPECT_TRUE(calls.HasInOrder({"view.UIActivate(SVUIA_DEACTIVATE)", "SetMenuSB(0)", "RemoveMenusSB",
                                  "view.DestroyViewWindow", "view.Release"}));
    EXPECT_TRUE(calls.Unexpected().empty());
}

TEST_F(HostTest, PlatformViewInRefusingModeLeavesTheHostsMenusAlone)
{
    TempPcFolder pcFolder;
    HostOptions options;
    options.fRefusing = true;
    OpenBrowser(options);
    ASSERT_EQ(m_pBrowser->ShowParsingName(pcFolder.Path().c_str()), S_OK);
    m_pBrowser->FocusView();
    EXPECT_EQ(ListItemCount(m_pBrowser->ViewWindow()), 3);
    EXPECT_EQ(GetMenu(m_pBrowser->FrameWindow()), m_pBrowser->HostMenu());
    EXPECT_EQ(m_pBrowser->Calls().Count("view.UIActivate*"), 0u);
    EXPECT_GE(m_pBrowser->Calls().Count("InsertMenusSB"), 1u);  // the view tried, and was refused
}

TEST_F(HostTest, BrowseObjectGoesAbsoluteRelativeAndUpOnceTheCallingViewReturned)
{
    TempPcFolder pcFolder;
    OpenBrowser();
    ASSERT_EQ(m_pBrowser->ShowParsingName(pcFolder.Path().c_str()), S_OK);
    PidlHandle sub = PidlOf(pcFolder.SubPath());
    struct Step {
        const char* name;
        LPCITEMIDLIST pidl;
        UINT flags;
        std::wstring address;
    };
    const Step steps[] = {
        {"relative", ILFindLastID(sub.Get()), SBSP_RELATIVE, pcFolder.SubPath()},
        {"parent", nullptr, SBSP_PARENT, pcFolder.Path()},
        {"absolute", sub.Get(), SBSP_ABSOLUTE, pcFolder.SubPath()},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        HWND before = m_pBrowser->ViewWindow();
        ASSERT_EQ(m_pBrowser->BrowseObject(step.pidl, step.flags), S_OK);
        EXPECT_EQ(m_pBrowser->ViewWindow(), before);  // not while the caller runs
        const std::string address = Narrow(step.address);
        EXPECT_TRUE(m_pBrowser->PumpUntil([&] { return m_pBrowser->AddressText() == address; }, kPumpTimeoutMs));
        EXPECT_FALSE(IsWindow(before));
        EXPECT_EQ(ListItemCount(m_pBrowser->ViewWindow()), step.address == pcFolder.Path() ? 3 : 1);
    }
    PostMessageW(m_pBrowser->FrameWindow(), WM_COMMAND, IDM_HOST_UP, 0);  // the toolbar's Up One Level
    const std::string parent = Narrow(pcFolder.Path());
    EXPECT_TRUE(m_pBrowser->PumpUntil([&] { return m_pBrowser->AddressText() == parent; }, kPumpTimeoutMs));
}

TEST_F(HostTest, ViewStateStreamsAreKeptPerFolder)
{
    TempPcFolder pcFolder;
    OpenBrowser();
    struct Step {
        std::wstring place;
        DWORD grfMode;
        std::string write;
        HRESULT hr;
        std::string read;
    };
    const Step steps[] = {
        {pcFolder.Path(), STGM_READ, "", E_FAIL, ""},
        {pcFolder.Path(), STGM_WRITE, "details, by size", S_OK, ""},
        {pcFolder.Path(), STGM_READ, "", S_OK, "details, by size"},
        {pcFolder.SubPath(), STGM_READ, "", E_FAIL, ""},
        {pcFolder.SubPath(), STGM_WRITE, "icons", S_OK, ""},
        {pcFolder.Path(), STGM_READWRITE, "", S_OK, "details, by size"},
        {pcFolder.SubPath(), STGM_READ, "", S_OK, "icons"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(Narrow(step.place) + " " + std::to_string(step.grfMode) + " " + step.write);
        if (m_pBrowser->AddressText() != Narrow(step.place)) {
            ASSERT_EQ(m_pBrowser->ShowParsingName(step.place.c_str()), S_OK);
        }
        std::string read;
        EXPECT_EQ(UseViewStateStream(m_pBrowser.Get(), step.grfMode, step.write, &read), step.hr);
        EXPECT_EQ(read, step.read);
    }
}

TEST_F(HostTest, ScreenshotIsAPngOfTheWholeWindow)
{
    TempPcFolder pcFolder;
    OpenBrowser();
    ASSERT_EQ(m_pBrowser->ShowParsingName(pcFolder.Path().c_str()), S_OK);
    const std::wstring png = pcFolder.Path() + L"-shot.png";
    ASSERT_EQ(SaveWindowAsPng(m_pBrowser->FrameWindow(), png.c_str()), S_OK);
    UINT width = 0, height = 0;
    std::vector<UINT32> pixels;
    EXPECT_TRUE(ReadPng(png, &width, &height, &pixels));
    EXPECT_TRUE(DeleteFileW(png.c_str()));
    RECT frame = {};
    GetWindowRect(m_pBrowser->FrameWindow(), &frame);
    EXPECT_EQ(width, static_cast<UINT>(frame.right - frame.left));
    EXPECT_EQ(height, static_cast<UINT>(frame.bottom - frame.top));
    const std::unordered_set<UINT32> colours(pixels.begin(), pixels.end());
    EXPECT_GT(colours.size(), 16u) << "the picture is blank";
}

TEST_F(HostTest, AddressBoxShowsThePlacesNameAndOpensWhatIsEntered)
{
    TempPcFolder pcFolder;
    OpenBrowser();
    const std::wstring myComputer = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
    const std::string path = Narrow(pcFolder.Path());
    const std::string pathTitle = path.substr(path.rfind('\\') + 1) + " - Lumora Host";
    struct Step {
        const char* what;
        const wchar_t* typed;  // null: Enter on the text shown
        std::string address;
        std::string title;
    };
    const Step steps[] = {
        {"a parsing name", myComputer.c_str(), "My Computer", "My Computer - Lumora Host"},
        {"the display name shown, entered again", nullptr, "My Computer", "My Computer - Lumora Host"},
        {"a path", pcFolder.Path().c_str(), path, pathTitle},
        {"the path shown, entered again", nullptr, path, pathTitle},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        HWND before = m_pBrowser->ViewWindow();
        m_pBrowser->FocusAddressBox();
        if (step.typed) SetWindowTextW(m_pBrowser->AddressBoxWindow(), step.typed);
        PostMessageW(m_pBrowser->AddressBoxWindow(), WM_KEYDOWN, VK_RETURN, 1);
        EXPECT_TRUE(m_pBrowser->PumpUntil([&] { return m_pBrowser->ViewWindow() != before; }, kPumpTimeoutMs))
            << testing::PrintToString(m_pBrowser->StatusBar().texts);
        EXPECT_EQ(m_pBrowser->AddressText(), step.address);
        EXPECT_EQ(ReadWindowText(m_pBrowser->FrameWindow()), step.title);
        EXPECT_EQ(GetFocus(), m_pBrowser->AddressBoxWindow());
    }
}

#include "CameraViewTestSupport.h"
#include <atomic>
#include "folder/CameraFolder.h"
#include "view/DisplaySettings.h"

const std::vector<std::string> kViewCalls = {
    "GetWindow",
    "InsertMenusSB",
    "SetMenuSB(*)",
    "RemoveMenusSB",
    "OnViewWindowActive",
    "SetToolbarItems(*, FCT_MERGE)",
    "GetControlWindow(FCW_STATUS)",
    "GetControlWindow(FCW_TREE)",
    "SendControlMsg(FCW_TOOLBAR, TB_ADDBITMAP, *)",
    "SendControlMsg(FCW_TOOLBAR, TB_ENABLEBUTTON, *)",
    "SendControlMsg(FCW_TOOLBAR, TB_CHECKBUTTON, *)",
    "SendControlMsg(FCW_STATUS, SB_SETPARTS, *)",
    "SendControlMsg(FCW_STATUS, SB_SETTEXTA, *)",
};

void CameraViewTest::SetUp()
{
    ViewTest::SetUp();
    DeleteStoredDisplaySettings();
    ReadDisplaySettings();
}

void CameraViewTest::TearDown()
{
    CloseBrowser();
    DeleteStoredDisplaySettings();  // the prefix is the demo's too
    ReadDisplaySettings();
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    ViewTest::TearDown();
}

void CameraViewTest::AddFiles(const CameraFiles& files)
{
    for (const auto& [name, size] : files) {
        std::vector<unsigned char> data(size, 'x');
        ASSERT_TRUE(PelSim_AddFile(name.c_str(), data.data(), size)) << name;
    }
    PelSim_ClearLog();
}

namespace {
// Far longer than a listing of the tests' cameras takes.
constexpr DWORD kListingTimeoutMs = 30000;
}  // namespace

void CameraViewTest::ShowCamera(HostOptions options)
{
    m_pBrowser = Adopt(HostBrowser::Create(options));
    ASSERT_NE(m_pBrowser, nullptr);
    m_pBrowser->Calls().ExpectOnly(kViewCalls);
    m_pBrowser->Calls().SetFailureHook([](const std::string& call) { ADD_FAILURE() << "a call nobody expected: " << call; });
    ComPtr<IShellFolder> folder = Adopt(CreateCameraFolder(nullptr));
    ASSERT_EQ(m_pBrowser->ShowFolder(folder.Get()), S_OK);
    PumpQueued();
}

void CameraViewTest::CloseBrowser()
{
    if (!m_pBrowser) return;
    m_pBrowser->Close();
    m_pBrowser.Reset();
}

void CameraViewTest::PumpQueued()
{
    m_pBrowser->PumpUntil([this] {
        const ComPtr<CameraView> view = View();
        return !view || !view->IsListing();
    }, kListingTimeoutMs);
}

ComPtr<CameraView> CameraViewTest::View() const
{
    return Adopt(ViewFromWindow(ViewWindow()));
}

std::vector<std::string> CameraViewTest::RowTexts(int row) const
{
    std::vector<std::string> texts;
    for (int column = 0; column < 3; ++column) {
        char text[MAX_PATH] = "";
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        SendMessageA(List(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        texts.push_back(text);
    }
    return texts;
}

std::vector<std::string> CameraViewTest::RowNames() const
{
    std::vector<std::string> names;
    const int count = static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) names.push_back(RowTexts(row)[0]);
    return names;
}

LPCITEMIDLIST CameraViewTest::RowItem(int row) const
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageA(List(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return reinterpret_cast<LPCITEMIDLIST>(item.lParam);
}

void CameraViewTest::SelectRows(const std::vector<int>& rows)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    item.state = LVIS_SELECTED;
    for (int row : rows) SendMessageA(List(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    PumpQueued();
}

std::vector<int> CameraViewTest::ColumnWidths() const
{
    std::vector<int> widths;
    for (int column = 0; column < 3; ++column)
        widths.push_back(static_cast<int>(SendMessageA(List(), LVM_GETCOLUMNWIDTH, column, 0)));
    return widths;
}

HMENU CameraViewTest::Popup(UINT idPopup) const
{
    for (const MenuPopup& popup : m_pBrowser->MenuBar())
        if (popup.id == idPopup) return popup.hMenu;
    return nullptr;
}

std::vector<std::string> CameraViewTest::PopupTexts(UINT idPopup) const
{
    std::vector<std::string> texts;
    for (const MenuEntry& entry : ReadMenuEntries(Popup(idPopup))) texts.push_back(entry.text);
    return texts;
}

std::vector<ToolbarButton> CameraViewTest::ViewButtons() const
{
    std::vector<ToolbarButton> buttons = m_pBrowser->ToolbarButtons();
    if (buttons.size() < 12) return buttons;
    return {buttons.end() - 12, buttons.end()};
}

namespace {
// A point in the header: x in a column's rectangle (or its right edge), the vertical middle.
LPARAM HeaderPoint(HWND header, int column, bool rightEdge, int dx = 0)
{
    RECT rc = {};
    SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&rc));
    const int x = (rightEdge ? rc.right - 1 : (rc.left + rc.right) / 2) + dx;
    return MAKELPARAM(x, (rc.top + rc.bottom) / 2);
}
}  // namespace

void CameraViewTest::ClickHeader(int column) const
{
    const LPARAM point = HeaderPoint(Header(), column, false);
    SendMessageA(Header(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(Header(), WM_LBUTTONUP, 0, point);
}

void CameraViewTest::DragDivider(int column, int dx) const
{
    // The points come from the rectangle before the drag: the header sizes the column as it
    // goes. The button comes up further on than the last move, as in a quick drag: the list
    // then has the width of the last move until the header takes the drag's end.
    const LPARAM start = HeaderPoint(Header(), column, true);
    const LPARAM halfway = HeaderPoint(Header(), column, true, dx / 2);
    const LPARAM end = HeaderPoint(Header(), column, true, dx);
    SendMessageA(Header(), WM_LBUTTONDOWN, MK_LBUTTON, start);
    SendMessageA(Header(), WM_MOUSEMOVE, MK_LBUTTON, halfway);
    SendMessageA(Header(), WM_LBUTTONUP, 0, end);
}

void CameraViewTest::DoubleClickDivider(int column) const
{
    const LPARAM point = HeaderPoint(Header(), column, true);
    SendMessageA(Header(), WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    SendMessageA(Header(), WM_LBUTTONUP, 0, point);
}

namespace {
const char kProductKey[] = "Software\\Corvane\\Lumora";
}  // namespace

ProductNameScope::ProductNameScope(const char* name)
{
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kProductKey, "ProductName", REG_SZ, name, lstrlenA(name) + 1);
}

ProductNameScope::~ProductNameScope()
{
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kProductKey, "ProductName");
}

namespace {

// Passes every call of the OLE allocator through, but refuses the armed allocation.
class FailingSpy final : public IMallocSpy {
public:
    void Arm(SIZE_T cb, int nth)
    {
        m_cb = cb;
        m_remaining = nth;
        m_fHappened = false;
    }
    void Disarm() { m_remaining = 0; }
    bool Happened() const { return m_fHappened; }

    IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IMallocSpy)) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = static_cast<IMallocSpy*>(this);
        return S_OK;
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return 2; }  // lives as long as the program
    IFACEMETHODIMP_(ULONG) Release() override { return 1; }
    IFACEMETHODIMP_(SIZE_T) PreAlloc(SIZE_T cbRequest) override
    {
        if (m_remaining > 0 && cbRequest == m_cb && --m_remaining == 0) {
            m_fHappened = true;
            return 0;  // the allocation fails
        }
        return cbRequest;
    }
    IFACEMETHODIMP_(void*) PostAlloc(void* pActual) override { return pActual; }
    IFACEMETHODIMP_(void*) PreFree(void* pRequest, BOOL) override { return pRequest; }
    IFACEMETHODIMP_(void) PostFree(BOOL) override {}
    IFACEMETHODIMP_(SIZE_T) PreRealloc(void* pRequest, SIZE_T cbRequest, void** ppNewRequest, BOOL) override
    {
        *ppNewRequest = pRequest;
        return cbRequest;
    }
    IFACEMETHODIMP_(void*) PostRealloc(void* pActual, BOOL) override { return pActual; }
    IFACEMETHODIMP_(void*) PreGetSize(void* pRequest, BOOL) override { return pRequest; }
    IFACEMETHODIMP_(SIZE_T) PostGetSize(SIZE_T cbActual, BOOL) override { return cbActual; }
    IFACEMETHODIMP_(void*) PreDidAlloc(void* pRequest, BOOL) override { return pRequest; }
    IFACEMETHODIMP_(int) PostDidAlloc(void*, BOOL, int fActual) override { return fActual; }
    IFACEMETHODIMP_(void) PreHeapMinimize() override {}
    IFACEMETHODIMP_(void) PostHeapMinimize() override {}

private:
    SIZE_T m_cb = 0;
    std::atomic<int> m_remaining = 0;
    bool m_fHappened = false;
};

FailingSpy& Spy()
{
    static FailingSpy spy;
    static const HRESULT registered = CoRegisterMallocSpy(&spy);
    EXPECT_EQ(registered, S_OK);
    return spy;
}

}  // namespace

AllocationFailure::AllocationFailure(SIZE_T cb, int nth)
{
    Spy().Arm(cb, nth);
}

AllocationFailure::~AllocationFailure()
{
    Spy().Disarm();
}

bool AllocationFailure::Happened() const
{
    return Spy().Happened();
}

std::vector<std::string> CameraCalls()
{
    std::vector<std::string> calls;
    for (const PelSimCall& call : CameraLog()) calls.push_back(call.function);
    return calls;
}

size_t CountCalls(const std::string& function)
{
    size_t count = 0;
    for (const std::string& call : CameraCalls()) count += call == function;
    return count;
}

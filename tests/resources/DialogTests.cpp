// The four dialog templates of the module: what the resource holds (styles, size, font,
// caption, controls) and what the dialog manager makes of it (live controls, their ids,
// texts and positions, the icon found, every text fitting its control).
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "BuiltModule.h"
#include "DialogTemplate.h"
#include "resources/resource.h"
#include "support/DialogCapture.h"

namespace {

constexpr WORD kButtonAtom = 0x80;
constexpr WORD kStaticAtom = 0x82;
constexpr WORD kProgressBar = 0;  // a class named in the template: "msctls_progress32"
constexpr DWORD kNoId = 0xFFFF;

struct ControlCase {
    DWORD id;          // kNoId for the controls that have none
    WORD classAtom;    // kButtonAtom, kStaticAtom or kProgressBar
    const char* text;  // null for an icon, which shows icon resource 100
    short x, y;
    short cx, cy;      // 0: any size that fits the dialog
    DWORD type;        // the control's type bits: SS_LEFT, SS_CENTER, SS_ICON, BS_PUSHBUTTON, ...
};

struct DialogCase {
    const char* name;
    WORD id;
    DWORD style;  // the template's whole style
    DWORD exStyle;
    short cx, cy;
    const char* caption;
    std::vector<ControlCase> controls;  // in template order
};

void PrintTo(const DialogCase& c, std::ostream* os) { *os << c.name; }

constexpr DWORD kPopupFrame = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION;

const std::vector<ControlCase> kProgressControls = {
    {kNoId, kStaticAtom, nullptr, 12, 12, 0, 0, SS_ICON},
    {kNoId, kStaticAtom, "File ", 55, 14, 0, 0, SS_LEFT},
    {IDC_PROGRESS_CURRENT, kStaticAtom, "9999", 66, 14, 18, 0, SS_CENTER},
    {kNoId, kStaticAtom, "of", 85, 14, 0, 0, SS_LEFT},
    {IDC_PROGRESS_TOTAL, kStaticAtom, "9999", 92, 14, 18, 0, SS_CENTER},
    {kNoId, kStaticAtom, "files.", 111, 14, 0, 0, SS_LEFT},
    {IDC_PROGRESS_BAR, kProgressBar, "", 12, 38, 206, 9, 0},
    {IDC_PROGRESS_BYTES, kStaticAtom, "", 12, 51, 100, 8, SS_LEFT},
    {IDC_PROGRESS_RATE, kStaticAtom, "", 112, 51, 106, 8, SS_RIGHT},
    {IDCANCEL, kButtonAtom, "Cancel", 168, 64, 50, 14, BS_PUSHBUTTON},
};

const DialogCase kDialogs[] = {
    {"About", IDD_ABOUT, kPopupFrame, 0, 158, 89, "Lumora",
     {
         {IDOK, kButtonAtom, "OK", 52, 64, 53, 14, BS_DEFPUSHBUTTON},
         {kNoId, kStaticAtom, nullptr, 12, 15, 0, 0, SS_ICON},
         {kNoId, kStaticAtom, "Software version", 43, 10, 0, 0, SS_LEFT},
         {IDC_ABOUT_MODULE, kStaticAtom, "", 110, 10, 36, 8, SS_LEFT},
         {kNoId, kStaticAtom, "Firmware version", 43, 22, 0, 0, SS_LEFT},
         {IDC_ABOUT_FIRMWARE, kStaticAtom, "", 110, 22, 34, 8, SS_LEFT},
         {kNoId, kStaticAtom, "Stream Driver", 43, 34, 0, 0, SS_LEFT},
         {IDC_ABOUT_DRIVER, kStaticAtom, "", 110, 34, 34, 8, SS_LEFT},
         {kNoId, kStaticAtom, "Pelcore DLL", 43, 46, 0, 0, SS_LEFT},
         {IDC_ABOUT_LIBRARY, kStaticAtom, "", 110, 46, 34, 8, SS_LEFT},
     }},
    {"UploadProgress", IDD_UPLOAD_PROGRESS, kPopupFrame | WS_VISIBLE, 0, 230, 85, "Downloading to Lumora",
     kProgressControls},
    {"Connect", IDD_CONNECT, kPopupFrame | WS_VISIBLE, 0, 158, 68, "Connecting to Lumora",
     {
         {kNoId, kStaticAtom, nullptr, 13, 12, 0, 0, SS_ICON},
         {IDC_CONNECT_USB_TEXT, kStaticAtom, "Checking USB ", 44, 12, 0, 0, SS_LEFT},
         {IDC_CONNECT_PORTS_TEXT, kStaticAtom, "Checking COM Ports", 44, 25, 0, 0, SS_LEFT},
         {IDC_CONNECT_CANCEL, kButtonAtom, "&Cancel", 54, 43, 50, 14, BS_PUSHBUTTON},
     }},
    {"CopyProgress", IDD_COPY_PROGRESS, kPopupFrame | WS_VISIBLE | DS_SETFOREGROUND | DS_3DLOOK, WS_EX_CLIENTEDGE,
     230, 85, "Copying from Lumora", kProgressControls},
};

std::wstring Widen(const char* text) { return std::wstring(text, text + strlen(text)); }

INT_PTR CALLBACK TrivialDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// A dialog created from the built module, destroyed with the test.
class LiveDialog {
public:
    explicit LiveDialog(WORD id)
        : m_hwnd(CreateDialogParamA(BuiltModule(), MAKEINTRESOURCEA(id), nullptr, TrivialDialogProc, 0)) {}
    ~LiveDialog() { if (m_hwnd) DestroyWindow(m_hwnd); }
    LiveDialog(const LiveDialog&) = delete;
    LiveDialog& operator=(const LiveDialog&) = delete;

    HWND Get() const { return m_hwnd; }

private:
    HWND m_hwnd;
};

// The children of a dialog in creation (template) order.
std::vector<HWND> ChildWindows(HWND hwndDialog)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(hwndDialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// The child's rectangle in the dialog's client coordinates.
RECT ChildRect(HWND hwndDialog, HWND child)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, hwndDialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT DialogUnitsToPixels(HWND hwndDialog, int x, int y, int cx, int cy)
{
    RECT rect = {x, y, x + cx, y + cy};
    MapDialogRect(hwndDialog, &rect);
    return rect;
}

class DialogResourceTest : public testing::TestWithParam<DialogCase> {
protected:
    void SetUp() override { ASSERT_NE(BuiltModule(), nullptr); }
};

TEST_P(DialogResourceTest, TemplateHasStyleSizeFontAndCaption)
{
    const DialogCase& c = GetParam();
    DialogTemplate dialog;
    ASSERT_TRUE(ReadDialogTemplate(BuiltModule(), c.id, &dialog));
    EXPECT_EQ(dialog.style, c.style) << std::hex << (dialog.style ^ c.style);
    EXPECT_EQ(dialog.exStyle, c.exStyle);
    EXPECT_EQ(dialog.cx, c.cx);
    EXPECT_EQ(dialog.cy, c.cy);
    EXPECT_EQ(dialog.caption, Widen(c.caption));
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.typeface, L"MS Sans Serif");
    EXPECT_TRUE(dialog.menu.text.empty() && dialog.menu.ordinal == 0);
    EXPECT_TRUE(dialog.windowClass.text.empty() && dialog.windowClass.ordinal == 0);
}

void ExpectTemplateControl(const DialogTemplate& dialog, const TemplateControl& control, const ControlCase& expected)
{
    EXPECT_EQ(control.id & 0xFFFF, expected.id);
    EXPECT_EQ(control.windowClass.ordinal, expected.classAtom);
    if (expected.classAtom == kProgressBar) {
        EXPECT_EQ(_wcsicmp(control.windowClass.text.c_str(), L"msctls_progress32"), 0) << "class of control " << expected.id;
    }
    EXPECT_EQ(control.style & (WS_CHILD | WS_VISIBLE), static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
    EXPECT_EQ(control.style & SS_TYPEMASK, expected.type);
    if (expected.text) {
        EXPECT_EQ(control.text.ordinal, 0);
        EXPECT_EQ(control.text.text, Widen(expected.text));
    } else {
        EXPECT_EQ(control.text.ordinal, IDI_CAMERA);
    }
    EXPECT_EQ(control.x, expected.x);
    EXPECT_EQ(control.y, expected.y);
    if (expected.cx) {
        EXPECT_EQ(control.cx, expected.cx);
    }
    if (expected.cy) {
        EXPECT_EQ(control.cy, expected.cy);
    }
    if (expected.text) {  // an icon takes the icon's own size
        EXPECT_GT(control.cx, 0);
        EXPECT_GT(control.cy, 0);
    }
    EXPECT_LE(control.x + control.cx, dialog.cx);
    EXPECT_LE(control.y + control.cy, dialog.cy);
}

TEST_P(DialogResourceTest, TemplateHasControlsInOrder)
{
    const DialogCase& c = GetParam();
    DialogTemplate dialog;
    ASSERT_TRUE(ReadDialogTemplate(BuiltModule(), c.id, &dialog));
    ASSERT_EQ(dialog.controls.size(), c.controls.size());
    for (size_t i = 0; i < c.controls.size(); ++i) {
        SCOPED_TRACE("control " + std::to_string(i));
        ExpectTemplateControl(dialog, dialog.controls[i], c.controls[i]);
    }
}

void ExpectLiveControl(HWND hwndDialog, HWND child, const ControlCase& expected)
{
    EXPECT_EQ(static_cast<DWORD>(GetDlgCtrlID(child)) & 0xFFFF, expected.id);
    const char* const className = expected.classAtom == kButtonAtom ? "Button" : expected.classAtom == kStaticAtom ? "Static" : "msctls_progress32";
    EXPECT_STRCASEEQ(ClassName(child).c_str(), className);
    if (expected.text) {
        EXPECT_EQ(WindowText(child), expected.text);
    } else {
        EXPECT_NE(SendMessageA(child, STM_GETICON, 0, 0), 0) << "icon 100 not found";
    }
    // The dialog manager maps position and size each on its own, as MapDialogRect does.
    const RECT actual = ChildRect(hwndDialog, child);
    const RECT origin = DialogUnitsToPixels(hwndDialog, expected.x, expected.y, 0, 0);
    const RECT size = DialogUnitsToPixels(hwndDialog, 0, 0, expected.cx, expected.cy);
    EXPECT_EQ(actual.left, origin.left);
    EXPECT_EQ(actual.top, origin.top);
    if (expected.text && expected.cx) {
        EXPECT_EQ(actual.right - actual.left, size.right);
    }
    if (expected.text && expected.cy) {
        EXPECT_EQ(actual.bottom - actual.top, size.bottom);
    }
}

TEST_P(DialogResourceTest, CreatesDialogWithItsControls)
{
    const DialogCase& c = GetParam();
    DialogCapture capture;
    capture.SetAction(nullptr);  // leave the dialog be: only its appearance counts
    LiveDialog dialog(c.id);
    ASSERT_NE(dialog.Get(), nullptr);

    EXPECT_EQ(WindowText(dialog.Get()), c.caption);
    const DWORD frameBits = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME;
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(dialog.Get(), GWL_STYLE)) & frameBits, c.style & frameBits);
    EXPECT_EQ(IsWindowVisible(dialog.Get()) != FALSE, (c.style & WS_VISIBLE) != 0);
    EXPECT_EQ(GetWindowLongA(dialog.Get(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, static_cast<LONG>(c.exStyle));
    RECT client;
    GetClientRect(dialog.Get(), &client);
    const RECT wanted = DialogUnitsToPixels(dialog.Get(), 0, 0, c.cx, c.cy);
    EXPECT_EQ(client.right, wanted.right);
    EXPECT_EQ(client.bottom, wanted.bottom);

    const std::vector<HWND> children = ChildWindows(dialog.Get());
    ASSERT_EQ(children.size(), c.controls.size());
    for (size_t i = 0; i < children.size(); ++i) {
        SCOPED_TRACE("control " + std::to_string(i));
        ExpectLiveControl(dialog.Get(), children[i], c.controls[i]);
    }
}

// Width in pixels of a control's text drawn with the dialog's font (the & prefix and
// trailing blanks take no room).
int TextWidth(HWND hwndDialog, const std::string& text)
{
    std::string shown = text.substr(0, text.find_last_not_of(' ') + 1);
    HDC hdc = GetDC(hwndDialog);
    HGDIOBJ previous = SelectObject(hdc, reinterpret_cast<HGDIOBJ>(SendMessageA(hwndDialog, WM_GETFONT, 0, 0)));
    RECT rect = {0, 0, 0, 0};
    DrawTextA(hdc, shown.c_str(), -1, &rect, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(hdc, previous);
    ReleaseDC(hwndDialog, hdc);
    return rect.right - rect.left;
}

TEST_P(DialogResourceTest, EveryTextFitsItsControl)
{
    const DialogCase& c = GetParam();
    DialogCapture capture;
    capture.SetAction(nullptr);
    LiveDialog dialog(c.id);
    ASSERT_NE(dialog.Get(), nullptr);
    const std::vector<HWND> children = ChildWindows(dialog.Get());
    ASSERT_EQ(children.size(), c.controls.size());
    for (size_t i = 0; i < children.size(); ++i) {
        if (!c.controls[i].text || !*c.controls[i].text) continue;
        RECT client;
        GetClientRect(children[i], &client);
        EXPECT_LE(TextWidth(dialog.Get(), c.controls[i].text), client.right) << '"' << c.controls[i].text << '"';
    }
}

INSTANTIATE_TEST_SUITE_P(All, DialogResourceTest, testing::ValuesIn(kDialogs),
                         [](const testing::TestParamInfo<DialogCase>& info) { return std::string(info.param.name); });

}  // namespace

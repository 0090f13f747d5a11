// Accelerator table 116 of the built module: its five entries, and the keys that
// TranslateAcceleratorA turns into the view's WM_COMMAND ids (and the keys it does not).
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <iterator>
#include <vector>
#include "BuiltModule.h"
#include "resources/resource.h"

namespace {

// Sets the thread's Ctrl key state for one case and puts the old state back after it.
class ControlKeyState {
public:
    explicit ControlKeyState(bool down)
    {
        GetKeyboardState(m_saved);
        BYTE state[256];
        std::copy(std::begin(m_saved), std::end(m_saved), std::begin(state));
        const BYTE value = down ? 0x80 : 0x00;
        state[VK_CONTROL] = state[VK_LCONTROL] = value;
        state[VK_RCONTROL] = 0;
        state[VK_SHIFT] = state[VK_LSHIFT] = state[VK_RSHIFT] = 0;
        state[VK_MENU] = state[VK_LMENU] = state[VK_RMENU] = 0;
        SetKeyboardState(state);
    }
    ~ControlKeyState() { SetKeyboardState(m_saved); }
    ControlKeyState(const ControlKeyState&) = delete;
    ControlKeyState& operator=(const ControlKeyState&) = delete;

private:
    BYTE m_saved[256];
};

// A hidden window that records the WM_COMMAND wParams it receives.
class CommandWindow {
public:
    CommandWindow()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClassName;
        RegisterClassA(&wc);
        m_hwnd = CreateWindowExA(0, kClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        s_commands.clear();
    }
    ~CommandWindow() { if (m_hwnd) DestroyWindow(m_hwnd); }
    CommandWindow(const CommandWindow&) = delete;
    CommandWindow& operator=(const CommandWindow&) = delete;

    HWND Get() const { return m_hwnd; }
    static std::vector<WPARAM>& Commands() { return s_commands; }

private:
    static constexpr const char* kClassName = "LumoraAcceleratorTestWindow";
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_COMMAND) s_commands.push_back(wParam);
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }

    static inline std::vector<WPARAM> s_commands;
    HWND m_hwnd = nullptr;
};

void PumpWaitingMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

struct KeyCase {
    const char* name;
    WORD key;
    bool ctrl;
    int command;  // 0: the key must not be translated
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

const KeyCase kKeys[] = {
    {"CtrlA", 'A', true, IDM_SELECTALL},
    {"CtrlC", 'C', true, IDM_COPY},
    {"CtrlV", 'V', true, IDM_PASTE},
    {"Delete", VK_DELETE, false, IDM_DELETE},
    {"CtrlX", 'X', true, IDM_CUT},
    {"PlainA", 'A', false, 0},
    {"PlainC", 'C', false, 0},
    {"CtrlDelete", VK_DELETE, true, 0},
    {"CtrlB", 'B', true, 0},
    {"CtrlZ", 'Z', true, 0},
    {"Insert", VK_INSERT, false, 0},
};

class AcceleratorKeyTest : public testing::TestWithParam<KeyCase> {};

TEST_P(AcceleratorKeyTest, TranslatesOnlyItsKeys)
{
    const KeyCase& c = GetParam();
    HACCEL hAccel = LoadAcceleratorsA(BuiltModule(), MAKEINTRESOURCEA(IDR_VIEW_ACCELERATORS));
    ASSERT_NE(hAccel, nullptr);
    CommandWindow window;
    ASSERT_NE(window.Get(), nullptr);
    PumpWaitingMessages();
    CommandWindow::Commands().clear();

    int translated;
    {
        ControlKeyState keys(c.ctrl);
        MSG msg = {window.Get(), WM_KEYDOWN, c.key, 1, 0, {0, 0}};
        translated = TranslateAcceleratorA(window.Get(), hAccel, &msg);
        PumpWaitingMessages();
    }
    DestroyAcceleratorTable(hAccel);

    if (c.command) {
        EXPECT_NE(translated, 0);
        ASSERT_EQ(CommandWindow::Commands().size(), 1u);
        EXPECT_EQ(CommandWindow::Commands()[0], MAKEWPARAM(c.command, 1));
    } else {
        EXPECT_EQ(translated, 0);
        EXPECT_TRUE(CommandWindow::Commands().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(All, AcceleratorKeyTest, testing::ValuesIn(kKeys),
                         [](const testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST(AcceleratorTable, HoldsFiveVirtualKeyEntriesWithoutInversion)
{
    HACCEL hAccel = LoadAcceleratorsA(BuiltModule(), MAKEINTRESOURCEA(IDR_VIEW_ACCELERATORS));
    ASSERT_NE(hAccel, nullptr);
    ACCEL entries[8] = {};
    const int count = CopyAcceleratorTableA(hAccel, entries, 8);
    DestroyAcceleratorTable(hAccel);

    const ACCEL expected[] = {
        {FVIRTKEY | FCONTROL | FNOINVERT, 'A', IDM_SELECTALL},
        {FVIRTKEY | FCONTROL | FNOINVERT, 'C', IDM_COPY},
        {FVIRTKEY | FCONTROL | FNOINVERT, 'V', IDM_PASTE},
        {FVIRTKEY | FNOINVERT, VK_DELETE, IDM_DELETE},
        {FVIRTKEY | FCONTROL | FNOINVERT, 'X', IDM_CUT},
    };
    ASSERT_EQ(count, 5);
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        EXPECT_EQ(entries[i].fVirt & 0x7F, expected[i].fVirt);
        EXPECT_EQ(entries[i].key, expected[i].key);
        EXPECT_EQ(entries[i].cmd, expected[i].cmd);
    }
}

}  // namespace

// The bench itself: boxes are captured with what the user would read, and closed.
#include <gtest/gtest.h>
#include "support/DialogCapture.h"

TEST(DialogCapture, RecordsAndClosesAMessageBox)
{
    DialogCapture capture;
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);

    const int pressed = MessageBoxA(owner, "Something happened.", "Lumora ", MB_TASKMODAL | MB_ICONWARNING);

    EXPECT_EQ(pressed, IDOK);
    ASSERT_EQ(capture.Count(), 1u);
    EXPECT_EQ(capture.Dialogs()[0].caption, "Lumora ");
    EXPECT_EQ(capture.Messages(), std::vector<std::string>{"Something happened."});
    EXPECT_EQ(capture.Dialogs()[0].owner, owner);
    DestroyWindow(owner);
}

TEST(DialogCapture, InnerCaptureTakesOverAndHandsBack)
{
    DialogCapture outer;
    {
        DialogCapture inner;
        MessageBoxA(nullptr, "inner", "t", MB_OK);
        EXPECT_EQ(inner.Count(), 1u);
    }
    MessageBoxA(nullptr, "outer", "t", MB_OK);
    EXPECT_EQ(outer.Messages(), std::vector<std::string>{"outer"});
}

TEST(DialogCapture, CustomActionSeesTheDialogFirst)
{
    DialogCapture capture;
    int seen = 0;
    capture.SetAction([&](HWND hwnd, const CapturedDialog& dialog) {
        ++seen;
        EXPECT_TRUE(dialog.HasText("Pick one."));
        PostMessageA(hwnd, WM_COMMAND, IDNO, 0);
    });
    EXPECT_EQ(MessageBoxA(nullptr, "Pick one.", "t", MB_YESNO), IDNO);
    EXPECT_EQ(seen, 1);
}

TEST(DialogCapture, ReadsAnOwnerlessTaskModalBox)
{
    DialogCapture capture;
    MessageBoxA(nullptr, "No owner here.", "Lumora ", MB_TASKMODAL | MB_ICONWARNING);
    ASSERT_EQ(capture.Count(), 1u);
    EXPECT_EQ(capture.Dialogs()[0].owner, nullptr);
    EXPECT_EQ(capture.Messages(), std::vector<std::string>{"No owner here."});
}

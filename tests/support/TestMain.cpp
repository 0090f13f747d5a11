// Entry point of every test program: resources come from the program itself, COM and
// OLE are up, and a capture closes any box that a test did not expect.
#include <gtest/gtest.h>
#include <ole2.h>
#include "base/ModuleState.h"
#include "support/DialogCapture.h"

int main(int argc, char** argv)
{
    g_hinstModule = GetModuleHandleA(nullptr);
    OleInitialize(nullptr);
    testing::InitGoogleTest(&argc, argv);
    int result;
    {
        DialogCapture strayBoxes;
        result = RUN_ALL_TESTS();
    }
    OleUninitialize();
    return result;
}

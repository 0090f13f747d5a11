// Every text of the module's string table, loaded back from the built module: the
// exact bytes (trailing blanks, double blanks, tabs and misspellings included).
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <cstring>
#include <string>
#include "BuiltModule.h"
#include "resources/resource.h"

namespace {

struct StringCase {
    UINT id;
    const char* text;
};

void PrintTo(const StringCase& c, std::ostream* os) { *os << "string " << c.id; }

#define LUMORA_COMM_FAILURE \
    "An error occurred while communicating with the Camera. Please check the connections and make sure the camera's power is on."

const StringCase kStrings[] = {
    {IDS_PRODUCT_NAME, "Lumora "},
    {IDS_ABOUT_DEFAULT, "About &Lumora"},
    {IDS_DOWNLOADING_TO, "Downloading to "},
    {IDS_CONNECTING_TO, "Connecting to "},
    {IDS_ABOUT_PREFIX, "A&bout "},
    {IDS_COPYING_FROM, "Copying from "},
    {IDS_COLUMN_NAME, "Name"},
    {IDS_COLUMN_SIZE, "Size"},
    {IDS_COLUMN_TYPE, "Type"},
    {IDS_MENU_DELETE, "&Delete"},
    {IDS_MENU_OPEN, "&Open"},
    {IDS_MENU_CUT, "Cu&t\x09" "Ctrl+X"},
    {IDS_MENU_COPY, "&Copy\x09" "Ctrl+C"},
    {IDS_MENU_LARGEICONS, "Lar&ge Icons"},
    {IDS_MENU_SMALLICONS, "S&mall Icons"},
    {IDS_MENU_LIST, "&List"},
    {IDS_MENU_DETAILS, "&Details"},
    {IDS_MENU_SELECTALL, "Select &All\x09" "Ctrl+A"},
    {IDS_MENU_INVERTSELECTION, "&Invert Selection"},
    {IDS_STATUS_OBJECTS, "%d object(s)"},
    {IDS_STATUS_SELECTED, "%d object(s) selected"},
    {IDS_MENU_PASTE, "&Paste\x09" "Ctrl+V"},
    {IDS_PROGRESS_BYTES, "%s of %s"},
    {IDS_PROGRESS_RATE, "%s/s, %s left"},
    {IDS_MENU_THUMBNAILS, "T&humbnails"},
    {IDS_STATUS_READING, "Reading the camera: %s of %s files"},
    {1000, "The requested function is not implemented in this version of the Camera's firmware. Please contact Technical Suport."},
    {1001, "The Camera is not ready to receive commands. Please check the connections and make sure the camera's power is on. If the window is open, click Refresh from its View menu."},
    {1002, "The Camera was not located on the computer. Please check the connections and make sure the camera's power is on. If the window is open, click Refresh from its View menu."},
    {1003, LUMORA_COMM_FAILURE},
    {1004, LUMORA_COMM_FAILURE " "},
    {1005, LUMORA_COMM_FAILURE " "},
    {1006, LUMORA_COMM_FAILURE " "},
    {1007, LUMORA_COMM_FAILURE " "},
    {1008, LUMORA_COMM_FAILURE " "},
    {1009, LUMORA_COMM_FAILURE " "},
    {1010, LUMORA_COMM_FAILURE " "},
    {1011, LUMORA_COMM_FAILURE " "},
    {1012, LUMORA_COMM_FAILURE " "},
    {1013, "Error!  The camera is in use by another application."},
    {1014, "Communication aborted."},
    {2000, "The was not enough memory to complete the operation. Please close some applications, or reboot the system."},
    {2002, "The file size came back as 0 bytes. This is an error condidtion. Please check the camera connections and try again."},
    {2004, "There is not enough memory in the camera to complete this operation."},
    {2005, "Large file transfer is not supported in this version of camera firmware."},
    {IDS_NO_FREE_CAMERA_NAME, "The file could not be copied to the camera because all the names it could be given there are already in use."},
    {IDS_SHELL_FILE_NOT_FOUND, "The file cannot be opened because the file was not found. Please try again."},
    {IDS_SHELL_PATH_NOT_FOUND, "The file cannot be opened because the path is not valid. Please try again."},
    {IDS_SHELL_NO_ASSOCIATION, "There is no application associated with this type of file. Please associate an application with this file type . Then try to open the file again."},
    {IDS_SHELL_OPEN_FAILED, "An error prevented the file from being opened by the associated application.  Please try again."},
};

// Ids that must load nothing: a message id without text shows the not-available message.
const UINT kIdsWithoutText[] = {0,    27,   31,   1015, 1016, 1017, 1020, 1023, 1100,
                                2001, 2003, 2006, 2015, 2999, 3004, 3015};

// LoadStringA as the module's users call it: a 260-byte buffer.
std::string LoadModuleString(UINT id, int* pLoaded)
{
    char buffer[260];
    std::memset(buffer, 'x', sizeof(buffer));
    *pLoaded = LoadStringA(BuiltModule(), id, buffer, sizeof(buffer));
    return std::string(buffer, strnlen(buffer, sizeof(buffer)));
}

class StringTableTest : public testing::TestWithParam<StringCase> {};

TEST_P(StringTableTest, LoadsExactText)
{
    ASSERT_NE(BuiltModule(), nullptr);
    const StringCase& c = GetParam();
    int loaded = 0;
    const std::string text = LoadModuleString(c.id, &loaded);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(loaded, static_cast<int>(std::strlen(c.text)));
    EXPECT_EQ(text.size(), std::strlen(c.text));
}

INSTANTIATE_TEST_SUITE_P(All, StringTableTest, testing::ValuesIn(kStrings));

class MissingStringTest : public testing::TestWithParam<UINT> {};

TEST_P(MissingStringTest, LoadsNothing)
{
    ASSERT_NE(BuiltModule(), nullptr);
    int loaded = -1;
    const std::string text = LoadModuleString(GetParam(), &loaded);
    EXPECT_EQ(loaded, 0);
    EXPECT_EQ(text, "");
}

INSTANTIATE_TEST_SUITE_P(All, MissingStringTest, testing::ValuesIn(kIdsWithoutText));

// The menu texts carry a real tab between the label and the shortcut, not "\t".
TEST(StringTable, MenuShortcutsAreSeparatedByOneTab)
{
    ASSERT_NE(BuiltModule(), nullptr);
    for (UINT id : {IDS_MENU_CUT, IDS_MENU_COPY, IDS_MENU_SELECTALL, IDS_MENU_PASTE}) {
        int loaded = 0;
        const std::string text = LoadModuleString(id, &loaded);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\t'), 1) << "string " << id;
        EXPECT_EQ(text.find('\\'), std::string::npos) << "string " << id;
    }
}

}  // namespace

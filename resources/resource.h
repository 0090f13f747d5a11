// Identifiers of the module's resources, commands and dialog controls.
#pragma once

// Icon, accelerators, dialogs.
#define IDI_CAMERA 100
#define IDR_VIEW_ACCELERATORS 116
#define IDD_ABOUT 117
#define IDD_UPLOAD_PROGRESS 118
#define IDD_CONNECT 119
#define IDD_COPY_PROGRESS 120

// Connect dialog controls.
#define IDC_CONNECT_PORTS_TEXT 1004
#define IDC_CONNECT_USB_TEXT 1005
#define IDC_CONNECT_CANCEL 1011

// Progress dialogs: number of the file being moved, number of files, the bar over all
// bytes, the bytes in words, the rate and time left; Cancel is IDCANCEL.
#define IDC_PROGRESS_CURRENT 1001
#define IDC_PROGRESS_TOTAL 1002
#define IDC_PROGRESS_BAR 1003
#define IDC_PROGRESS_BYTES 1006
#define IDC_PROGRESS_RATE 1007

// About dialog version fields.
#define IDC_ABOUT_FIRMWARE 1000
#define IDC_ABOUT_DRIVER 1001
#define IDC_ABOUT_LIBRARY 1002
#define IDC_ABOUT_MODULE 1012

// View commands: menu items, toolbar buttons, accelerators and context-menu verbs.
#define IDM_OPEN 2
#define IDM_DELETE 3
#define IDM_COPY 4
#define IDM_CUT 5
#define IDM_SELECTALL 6
#define IDM_INVERTSELECTION 7
#define IDM_VIEW_LARGEICONS 8
#define IDM_VIEW_SMALLICONS 9
#define IDM_VIEW_LIST 10
#define IDM_VIEW_DETAILS 11
#define IDM_VIEW_THUMBNAILS 12
#define IDM_ABOUT 13
#define IDM_PASTE 14

// Strings: product name, titles, columns, menus, status texts.
#define IDS_PRODUCT_NAME 1
#define IDS_ABOUT_DEFAULT 2
#define IDS_DOWNLOADING_TO 3
#define IDS_CONNECTING_TO 4
#define IDS_ABOUT_PREFIX 5
#define IDS_COPYING_FROM 6
#define IDS_COLUMN_NAME 7
#define IDS_COLUMN_SIZE 8
#define IDS_COLUMN_TYPE 9
#define IDS_MENU_DELETE 10
#define IDS_MENU_OPEN 11
#define IDS_MENU_CUT 12
#define IDS_MENU_COPY 13
#define IDS_MENU_LARGEICONS 14
#define IDS_MENU_SMALLICONS 15
#define IDS_MENU_LIST 16
#define IDS_MENU_DETAILS 17
#define IDS_MENU_SELECTALL 18
#define IDS_MENU_INVERTSELECTION 19
#define IDS_STATUS_OBJECTS 20
#define IDS_STATUS_SELECTED 21
#define IDS_MENU_PASTE 22
// The status bar while the camera is listed: files read, files listed (numbers as text).
#define IDS_STATUS_READING 23
// Progress dialogs: "%s of %s" bytes, "%s/s, %s left" rate and time.
#define IDS_PROGRESS_BYTES 24
#define IDS_PROGRESS_RATE 25
#define IDS_MENU_THUMBNAILS 26

// Messages: 1000 + comm status, 2000 + transfer error code, 3000.. for a failed open.
#define IDS_COMSTATUS_BASE 1000
#define IDS_TRANSFER_BASE 2000
#define IDS_NO_FREE_CAMERA_NAME 2007
// The folder of temporary copies cannot hold a copy (%s: that folder, wide).
#define IDS_TEMP_FOLDER_UNUSABLE 2008
// Files of a drop or paste left out for a reason other than their type (%s: their names, one a line).
#define IDS_FILES_NOT_SENT 2009
#define IDS_SHELL_FILE_NOT_FOUND 3000
#define IDS_SHELL_PATH_NOT_FOUND 3001
#define IDS_SHELL_NO_ASSOCIATION 3002
#define IDS_SHELL_OPEN_FAILED 3003

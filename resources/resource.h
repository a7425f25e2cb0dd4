#pragma once

// Resource identifiers of the Windows programs, shared by the .rc files and the code.

// The program icon, and the about box's own.
#define IDI_APP 1
#define IDI_ABOUT 2

// Blocks of control and command identifiers, one per window, and the help services' popup menu
// (its fixed items, then the items its callers add), all clear of the dialog commands (IDOK...):
//   main window  IDC_ 1000-1099
//   help window  IDC_ 1100-1199
//   about box    IDC_ 1200-1299
//   popup menu   IDM_ 1300-1399, callers' items 0x1000-0x8FFF
#define IDC_MAIN_FIRST 1000
#define IDC_MAIN_LAST 1099
#define IDC_HELP_FIRST 1100
#define IDC_HELP_LAST 1199
#define IDC_ABOUT_FIRST 1200
#define IDC_ABOUT_LAST 1299
#define IDM_POPUP_FIRST 1300
#define IDM_POPUP_LAST 1399
#define IDM_POPUP_USER_FIRST 0x1000
#define IDM_POPUP_USER_END 0x9000

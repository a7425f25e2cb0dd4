#pragma once

// Resource identifiers of the Windows programs, shared by the .rc files and the code.

// The program icon, and the about box's own.
#define IDI_APP 1
#define IDI_ABOUT 2

// Blocks of control and command identifiers, one per window:
//   main window  IDC_ 1000-1099
//   help window  IDC_ 1100-1199
//   about box    IDC_ 1200-1299
#define IDC_MAIN_FIRST 1000
#define IDC_MAIN_LAST 1099
#define IDC_HELP_FIRST 1100
#define IDC_HELP_LAST 1199
#define IDC_ABOUT_FIRST 1200
#define IDC_ABOUT_LAST 1299

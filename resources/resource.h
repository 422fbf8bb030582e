// Resource identifiers, grouped by dialog.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC              -1
#endif

// Icons and bitmaps
#define IDI_APP                 108
#define IDB_LOGO                134
#define IDB_RATING              138

// Shuffle page (DIALOG 103)
#define IDD_SHUFFLE_PAGE        103

// Song selection dialog

// Shuffle preferences (DIALOG 109)
#define IDD_SHUFFLE_PREFS       109

// Main window (DIALOG 113)
#define IDD_MAIN                113
#define IDC_MAIN_TAB            1001
#define IDC_SETTINGS_LABEL      1002
#define IDC_HELP_LABEL          1003
#define IDC_SETTINGS_FRAME      1004
#define IDC_HELP_FRAME          1005

// Album art page (DIALOG 114)
#define IDD_ALBUMART_PAGE       114

// Album Art Options, copy selection and copy progress dialogs

// About box (DIALOG 135)
#define IDD_ABOUT               135
#define IDC_ABOUT_LOGO          1101
#define IDC_ABOUT_VERSION       1102
#define IDC_ABOUT_COPYRIGHT     1103
#define IDC_ABOUT_HOMELINK      1104
#define IDC_ABOUT_CPICTURELINK  1105

// Logging options (DIALOG 142)
#define IDD_LOGGING_OPTIONS     142

// Menu commands of the main window
#define ID_SETTINGS_SHUFFLE     40006
#define ID_SETTINGS_ALBUMART    40008
#define ID_HELP_CONTENTS        40009
#define ID_HELP_ABOUT           40010
#define ID_SETTINGS_LOGGING     40013

// Private messages of the main window
#define WM_APP_MENU_CLOSED      (WM_APP + 1)

// Resource, control and command identifiers shared by the .rc file and the code.
#ifndef PEXOR_RESOURCE_H
#define PEXOR_RESOURCE_H

// Dialog templates, pictures, accelerators
#define IDD_ABOUT 121
#define IDD_COMMANDBAR 123
#define IDD_PROPERTIES 132
#define IDB_GRIP 131
#define IDI_PEXOR 135
#define IDR_ACCELERATORS 139
#define IDB_ABOUT_LOGO 144
#define IDB_ABOUT_PICTURE 145
#define IDB_BROWSE 148
#define IDC_LINKHAND 115

// Commands shared by the main window, the command bar, its menu and the accelerators
#define CMD_RUN 1
#define CMD_CANCEL 2
#define CMD_EXIT 108
#define CMD_PROPERTIES 109
#define CMD_ACTIVATE 110
#define CMD_ABOUT 111
#define CMD_CLOSE_BAR 112
#define CMD_CLEAR_HISTORY 113
#define CMD_COMMAND_PROMPT 114
#define CMD_SEARCH_HISTORY 40003
#define CMD_SHOW_HISTORY 40004

// Controls of the command bar
#define IDC_DEFAULT_BUTTON 1
#define IDC_COMMAND_COMBO 1056
#define IDC_GRIP 1065

// Controls of the properties dialog; 1058 to 1063 are the six switches in
// their settings order
#define IDC_PROP_START_DIR 1057
#define IDC_PROP_CHECK_INTERNAL 1058
#define IDC_PROP_DIRECT_EXECUTE 1059
#define IDC_PROP_EXIT 1060
#define IDC_PROP_TOP 1061
#define IDC_PROP_SAVE 1062
#define IDC_PROP_CHECK_ALIAS 1063
#define IDC_PROP_ALIAS_FILE 1064
#define IDC_PROP_HIDE_DELAY 1065
#define IDC_PROP_SAVE_HISTORY 1066
#define IDC_PROP_MAX_HISTORY 1067
#define IDC_PROP_BROWSE 1069
#define IDC_PROP_TOOLTIPS 1070
#define IDC_PROP_MAX_HISTORY_ARROWS 1071
#define IDC_PROP_HOTKEY 1072
#define IDC_PROP_TRAY_ICON 1073
#define IDC_PROP_AUTO_HIDE 1074
#define IDC_PROP_HIDE_DELAY_ARROWS 1075
#define IDC_PROP_SYS_STARTUP 1076

// Sent by the notification area for mouse events on the tray icon (WM_APP + 100)
#define TRAY_CALLBACK_MESSAGE 32868

// Controls of the About dialog
#define IDC_ABOUT_LOGO 1077
#define IDC_ABOUT_TITLE 1078
#define IDC_MAIL_LINK 1125
#define IDC_WEB_LINK 1126

#endif

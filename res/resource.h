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

// Sent by the notification area for mouse events on the tray icon (WM_APP + 100)
#define TRAY_CALLBACK_MESSAGE 32868

#endif

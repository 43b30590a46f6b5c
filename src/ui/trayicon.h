// The program's icon in the notification area.
#ifndef PEXOR_TRAYICON_H
#define PEXOR_TRAYICON_H

#include <windows.h>
#include <shellapi.h>

// 1 after an add, 0 after a delete, whatever the shell answered.
extern int trayIconShown;

// message: NIM_ADD or NIM_DELETE. iconChoice >= 0 loads and passes icon 135;
// tip (or null) is cut to 63 characters. Returns Shell_NotifyIconA's result,
// or 0 when the icon could not be loaded (then nothing is sent).
int notifyTrayIcon(HWND window, DWORD message, UINT id, int iconChoice, const char* tip);

#endif

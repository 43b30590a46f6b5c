// The program's icon in the notification area.
#ifndef PEXOR_TRAYICON_H
#define PEXOR_TRAYICON_H

#include <windows.h>
#include <shellapi.h>

// The program has one icon; the shell knows it by its owner window and this id.
enum { TRAY_ICON_ID = 1 };

// 1 after an add, 0 after a delete, whatever the shell answered.
extern int trayIconShown;

// Adds the icon with the tip "Pexor"; its clicks come to owner. Removes it
// again: owner and id name it, so owner may already be destroyed. Both return
// what notifyTrayIcon returns.
int showTrayIcon(HWND owner);
int removeTrayIcon(HWND owner);

// message: NIM_ADD or NIM_DELETE. iconChoice >= 0 loads and passes icon 135;
// tip (or null) is cut to 63 characters. Returns Shell_NotifyIconA's result,
// or 0 when the icon could not be loaded or the shell has no such function
// (then nothing is sent and trayIconShown stays).
int notifyTrayIcon(HWND window, DWORD message, UINT id, int iconChoice, const char* tip);

#endif

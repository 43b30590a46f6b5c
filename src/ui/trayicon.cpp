// The program's icon in the notification area. Clicks on it come back to the
// owner window (the command bar) as TRAY_CALLBACK_MESSAGE.
#include "trayicon.h"

#include <shellapi.h>

#include "../../res/resource.h"
#include "../base/winutil_win32.h"
#include "mainwindow.h"

enum { TRAY_TIP_CAPACITY = 64 };  // 63 characters and the NUL

// NOTIFYICONDATAA in its first form (88 bytes on 32-bit Windows), which every
// shell understands.
static const DWORD TRAY_RECORD_SIZE = NOTIFYICONDATAA_V1_SIZE;

int trayIconShown;

int notifyTrayIcon(HWND window, DWORD message, UINT id, int iconChoice, const char* tip) {
    NOTIFYICONDATAA data;
    ZeroMemory(&data, sizeof data);
    data.cbSize = TRAY_RECORD_SIZE;
    data.hWnd = window;
    data.uID = id;
    data.uFlags = NIF_MESSAGE;
    data.uCallbackMessage = TRAY_CALLBACK_MESSAGE;

    // Without the shell's function (reported already) nothing is sent and the
    // flag stays: a later OK in the properties tries again.
    ShellNotifyIconFunction shellNotifyIcon = lateBound<ShellNotifyIconFunction>(window, SHELL_NOTIFY_ICON);
    if (shellNotifyIcon == 0) return 0;
    HICON icon = 0;
    if (iconChoice >= 0) {
        icon = LoadIconA(instanceHandle, MAKEINTRESOURCEA(IDI_PEXOR));
        if (icon == 0) return 0;
        data.hIcon = icon;
        data.uFlags |= NIF_ICON;
    }
    if (tip != 0) {
        data.uFlags |= NIF_TIP;
        lstrcpynA(data.szTip, tip, TRAY_TIP_CAPACITY);
    }
    BOOL result = shellNotifyIcon(message, &data);
    // The notification area keeps its own copy of the picture.
    if (icon != 0) DestroyIcon(icon);
    // Set whatever the shell answered: a failed add is not retried, and the
    // delete at exit is still sent.
    trayIconShown = message != NIM_DELETE ? 1 : 0;
    return result;
}

int showTrayIcon(HWND owner) { return notifyTrayIcon(owner, NIM_ADD, TRAY_ICON_ID, 1, "Pexor"); }

// No icon: the shell needs none to delete, and one that failed to load would
// keep the delete from being sent.
int removeTrayIcon(HWND owner) { return notifyTrayIcon(owner, NIM_DELETE, TRAY_ICON_ID, -1, 0); }

// The command bar dialog.
#include "commandbar.h"

#include <stdio.h>

#include "../../res/resource.h"
#include "../interp/interpreter_win32.h"
#include "../interp/textutil.h"
#include "../state/settings.h"
#include "../tooltips/tooltips.h"
#include "mainwindow.h"
#include "trayicon.h"

HWND commandBarWindow;

enum { COMMAND_LINE_LENGTH = LINE_CAPACITY - 1, TOOLTIP_DELAY_MS = 100 };

static void changeToStartDirectory(HWND bar) {
    char line[LINE_CAPACITY + 3];  // "cd " and the longest start directory
    copyText(line, sizeof line, "cd ");
    appendText(line, sizeof line, settings.BaseDir);
    int result = executeCommandLine(bar, line);
    if (result == EXEC_DONE) return;
    char text[PATH_CAPACITY];
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, 0,
                        GetLastError(), 0, text, sizeof text, 0))
        copyText(text, sizeof text, execErrorText(result));
    MessageBoxA(bar, text, "Pexor - Hinweis", MB_ICONINFORMATION);
}

static void attachTooltip(HWND bar) {
    if (createDialogTooltip(bar, TOOLTIP_DELAY_MS) == 0) {
        MessageBeep(MB_ICONEXCLAMATION);
        MessageBoxA(bar, "Toolinfos werden nicht unterstützt...", "Pexor - Fehler",
                    MB_ICONEXCLAMATION);
    }
    activateDialogTooltip(bar, settings.Tooltips);
}

void createCommandBar(HWND owner) {
    commandBarWindow = CreateDialogParamA(instanceHandle, MAKEINTRESOURCEA(IDD_COMMANDBAR), owner,
                                          commandBarProc, 0);
    HWND bar = commandBarWindow;
    if (bar == 0) return;
    SetWindowTextA(bar, "Pexor");
    SendDlgItemMessageA(bar, IDC_COMMAND_COMBO, CB_LIMITTEXT, COMMAND_LINE_LENGTH, 0);
    SetWindowPos(bar, settings.Top == 1 ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
    changeToStartDirectory(bar);
    attachTooltip(bar);
    SetFocus(GetDlgItem(bar, IDC_COMMAND_COMBO));
    if (settings.AutoHide == 0) ShowWindow(bar, SW_SHOWNORMAL);
    if (settings.TrayIcon != 0) notifyTrayIcon(bar, NIM_ADD, 1, 1, "Pexor");
}

static INT_PTR onCommand(HWND bar, WPARAM wParam) {
    switch (LOWORD(wParam)) {
        case CMD_EXIT:
            SendMessageA(mainWindow, WM_CLOSE, 0, 0);
            return 1;
        case CMD_CLOSE_BAR:
            destroyDialogTooltip(bar);
            EndDialog(bar, 0);
            return 1;
    }
    return 0;
}

INT_PTR CALLBACK commandBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return 1;
        case WM_COMMAND:
            return onCommand(bar, wParam);
        case WM_SYSCOMMAND:
            if (wParam != SC_CLOSE) return 0;
            SendMessageA(mainWindow, WM_CLOSE, 0, 0);
            return 1;
    }
    return 0;
}

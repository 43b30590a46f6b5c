// The command bar: a captionless tool window with one editable drop-down
// list. Enter runs the line, the list is the history, the grip moves the bar.
#include "commandbar.h"

#include <shellapi.h>
#include <windowsx.h>

#include "../../res/resource.h"
#include "../base/textutil.h"
#include "../base/winutil_win32.h"
#include "../interp/interpreter_win32.h"
#include "../state/history_win32.h"
#include "../state/settings_win32.h"
#include "../tooltips/tooltips.h"
#include "aboutdialog.h"
#include "mainwindow.h"
#include "propertiesdialog.h"
#include "trayicon.h"

HWND commandBarWindow;
HWND aboutDialogWindow;
HWND propertiesDialogWindow;
HMENU barMenu;
int propertiesDialogOpen;

enum {
    COMMAND_LINE_LENGTH = LINE_CAPACITY - 1,
    DROPPED_PATH_CAPACITY = LINE_CAPACITY - 1,  // at most 258 characters of a dropped path
    TOOLTIP_DELAY_MS = 100,  // the tips stand in for labels the bar has no room for
    AUTO_HIDE_TIMER = 1,
    BAR_CONTENT_HEIGHT = 25,     // room for the closed combo box in MS Sans Serif 8
    BAR_MIN_CONTENT_WIDTH = 50,  // the grip and a few characters of the field
    COMBO_LEFT = 10,             // right of the grip: 7 dialog units in MS Sans Serif 8
    COMBO_RIGHT_SPACE = 15,      // the grip's 10 pixels and 5 to spare at the right
    // Where the bar goes while [Geometry] holds nothing.
    DEFAULT_LEFT = 10,
    DEFAULT_TOP = 10,
    DEFAULT_WIDTH = 200
};

static INT_PTR CALLBACK commandBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam);
static LRESULT CALLBACK comboSubclassProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
static LRESULT CALLBACK editSubclassProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

static WNDPROC previousComboProc;
static WNDPROC previousEditProc;
static HWND barTooltip;
static HistoryList history;
static HistoryFile historyFile;

// Inside the system's loop that sizes the bar by its frame: the place is
// stored when the loop ends, not at every step of it.
static int sizing;

// Dragging by the bar's own surface.
static int dragging;
static POINT dragOffset;
static int dragWidth;
static int dragHeight;

// The tooltip's text must outlive the dialog procedure's return.
static char tooltipText[PATH_CAPACITY];

static int windowBorder() {
    int border = 0;
    SystemParametersInfoA(SPI_GETBORDER, 0, &border, 0);
    return border;
}

static HWND combo(HWND bar) { return GetDlgItem(bar, IDC_COMMAND_COMBO); }

static int readGeometry(const char* key, int fallback) {
    return low16(GetPrivateProfileIntA(GEOMETRY_SECTION, key, fallback, iniPath));
}

// 25 pixels inside the border hold the closed combo box in small and large
// fonts; with larger ones (150 %, 144 dpi) the box is taller, and the bar
// grows with it rather than cut it off.
static int barHeight(HWND bar) {
    int height = 2 * windowBorder() + BAR_CONTENT_HEIGHT;
    RECT outer, inner, box;
    // Before its controls exist, the bar has only the fixed height to go by.
    if (GetWindowRect(bar, &outer) && GetClientRect(bar, &inner) && GetWindowRect(combo(bar), &box)) {
        int needed = (int)(outer.bottom - outer.top - inner.bottom) + (int)(box.bottom - box.top);
        if (needed > height) height = needed;
    }
    return height;
}
static int barMinWidth() { return 2 * windowBorder() + BAR_MIN_CONTENT_WIDTH; }

// The primary screen without the taskbar.
static ScreenArea workArea() {
    RECT rect;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &rect, 0))
        SetRect(&rect, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    ScreenArea area = {(int)rect.left, (int)rect.top, (int)rect.right, (int)rect.bottom};
    return area;
}

// Where the bar is, as it may be stored: inside the work area, so that the
// next start finds it even after it was dragged partly off the screen.
static BarPlace storablePlace(HWND bar) {
    RECT rect;
    GetWindowRect(bar, &rect);
    BarPlace place = {(int)rect.left, (int)rect.top, (int)(rect.right - rect.left)};
    return fitBarInto(place, barHeight(bar), barMinWidth(), workArea());
}

static void writePlace(HWND bar, int withWidth) {
    if (!writeBarPlace(storablePlace(bar), withWidth)) tellSettingsNotSaved(bar);
}

static void buildMenu() {
    barMenu = CreatePopupMenu();
    AppendMenuA(barMenu, MF_STRING, CMD_PROPERTIES, "&Eigenschaften...");
    AppendMenuA(barMenu, MF_STRING, CMD_CLEAR_HISTORY, "&Historie löschen\tAlt+F7");
    AppendMenuA(barMenu, MF_STRING, CMD_COMMAND_PROMPT, "&MS-DOS-Eingabeaufforderung");
    AppendMenuA(barMenu, MF_SEPARATOR, 0, 0);
    AppendMenuA(barMenu, MF_STRING, CMD_ABOUT, "&Info...");
    AppendMenuA(barMenu, MF_STRING, CMD_EXIT, "&Beenden\tAlt+F4");
}

static void showMenu(HWND bar) {
    POINT cursor;
    GetCursorPos(&cursor);
    TrackPopupMenu(barMenu, TPM_RIGHTALIGN, cursor.x, cursor.y, 0, bar, 0);
}

// An open dialog comes to the front instead of the menu; 1 when there was one.
static int raiseOpenDialogs() {
    if (propertiesDialogWindow != 0) SetForegroundWindow(propertiesDialogWindow);
    if (aboutDialogWindow != 0) SetForegroundWindow(aboutDialogWindow);
    return propertiesDialogWindow != 0 || aboutDialogWindow != 0;
}

// Runs line (LINE_CAPACITY bytes) through executeCommandLine. EXIT closes the
// program: WM_CLOSE is posted, so that the caller finishes first (runLine
// records the line), and EXEC_DONE returned; other results come back as they are.
static int runCommandLine(HWND owner, char* line) {
    int result = executeCommandLine(owner, line);
    if (result != EXEC_CLOSE) return result;
    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    return EXEC_DONE;
}

// From [Geometry], whole inside the work area whatever the file says.
static void placeBar(HWND bar) {
    BarPlace wanted = {readGeometry("Left", DEFAULT_LEFT), readGeometry("Top", DEFAULT_TOP),
                       readGeometry("Width", DEFAULT_WIDTH)};
    int height = barHeight(bar);
    BarPlace place = fitBarInto(wanted, height, barMinWidth(), workArea());
    MoveWindow(bar, place.left, place.top, place.width, height, TRUE);
}

static void changeToStartDirectory(HWND bar) {
    int result = executeChangeDirectory(bar, settings.BaseDir);
    // A failed change has shown the system's text already; what is left is a
    // directory too long for the line.
    if (result != EXEC_DONE) showNotice(bar, execErrorText(result));
}

static void attachTooltip(HWND bar) {
    barTooltip = createDialogTooltip(bar, TOOLTIP_DELAY_MS);
    if (barTooltip == 0) showWarning(bar, "Toolinfos werden nicht unterstützt...");
    activateDialogTooltip(bar, settings.Tooltips);
}

void createCommandBar(HWND owner) {
    commandBarWindow = CreateDialogParamA(instanceHandle, MAKEINTRESOURCEA(IDD_COMMANDBAR), owner,
                                          commandBarProc, 0);
    HWND bar = commandBarWindow;
    if (bar == 0) return;
    if (isOnWhenOne(settings.SysStartup)) setStartWithWindows();
    SetWindowTextA(bar, "Pexor");
    HWND box = combo(bar);
    SendMessageA(box, CB_LIMITTEXT, COMMAND_LINE_LENGTH, 0);
    history = comboHistoryList(box);
    historyFile = historyFileAt(historyPath, bar);
    SendMessageA(box, CB_INSERTSTRING, 0, (LPARAM) "");
    if (isOnWhenOne(settings.SaveHistory)) loadHistoryFile(&history, &historyFile, settings.MaxHistory);
    SendMessageA(box, CB_SETCURSEL, 0, 0);
    SetWindowPos(bar, isOnWhenOne(settings.Top) ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
    placeBar(bar);
    changeToStartDirectory(bar);
    attachTooltip(bar);
    previousComboProc = (WNDPROC)SetWindowLongPtrA(box, GWLP_WNDPROC, (LONG_PTR)comboSubclassProc);
    HWND edit = FindWindowExA(box, 0, "Edit", 0);
    if (edit != 0)
        previousEditProc = (WNDPROC)SetWindowLongPtrA(edit, GWLP_WNDPROC, (LONG_PTR)editSubclassProc);
    SetFocus(box);
    if (!isOnWhenNotZero(settings.AutoHide)) ShowWindow(bar, SW_SHOWNORMAL);
    if (isOnWhenNotZero(settings.TrayIcon)) showTrayIcon(bar);
}

static void layOut(HWND bar) {
    RECT rect;
    GetWindowRect(bar, &rect);
    if (isOnWhenOne(settings.Save) && !sizing) writePlace(bar, 1);
    int width = rect.right - rect.left;
    RECT comboRect;
    GetWindowRect(combo(bar), &comboRect);
    MoveWindow(combo(bar), COMBO_LEFT, 0, width - 2 * windowBorder() - COMBO_RIGHT_SPACE,
               comboRect.bottom - comboRect.top, TRUE);
}

// After a change of the display: back inside at the right and bottom edges.
static void keepOnScreen(HWND bar) {
    RECT rect;
    GetWindowRect(bar, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int left = rect.left;
    int top = rect.top;
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (rect.right > screenWidth) left = screenWidth - width;
    if (rect.bottom > screenHeight) top = screenHeight - height;
    if (left != rect.left || top != rect.top) MoveWindow(bar, left, top, width, height, TRUE);
}

static void limitTracking(HWND bar, MINMAXINFO* info) {
    info->ptMinTrackSize.x = barMinWidth();
    info->ptMinTrackSize.y = barHeight(bar);
    info->ptMaxTrackSize.y = barHeight(bar);
}

// The field holds at most what can be typed, but a line picked from the
// history may be longer: it is refused whole, never run cut.
static void runLine(HWND bar) {
    char text[HISTORY_READ_CAPACITY];
    char line[LINE_CAPACITY];
    int whole = GetWindowTextLengthA(combo(bar)) < (int)sizeof text;
    GetDlgItemTextA(bar, IDC_COMMAND_COMBO, text, sizeof text);
    trimRight(text);
    trimLeft(text);
    if (text[0] == '\0') return;
    int result = whole && copyText(line, sizeof line, text) ? runCommandLine(bar, line)
                                                           : EXEC_LINE_TOO_LONG;
    if (result != EXEC_DONE) {
        showExecError(bar, result);
        return;
    }
    recordRunLine(&history, line, &settings, &historyFile);
    SendDlgItemMessageA(bar, IDC_COMMAND_COMBO, CB_SETCURSEL, 0, 0);
}

static void askAndClearHistory(HWND bar) {
    if (askQuestion(bar, "Möchten Sie wirklich die Historie löschen?")) clearHistory(&history, &historyFile);
}

static void searchOnce(HWND bar) {
    char text[LINE_CAPACITY];
    GetDlgItemTextA(bar, IDC_COMMAND_COMBO, text, sizeof text);
    if (!searchHistory(&history, text)) MessageBeep(0);
}

static void openCommandPrompt(HWND bar) {
    char line[LINE_CAPACITY] = "!";
    runCommandLine(bar, line);
}

// The auto-hide timer leaves the bar alone while the properties are open;
// the focus afterwards activates the bar again and so stops the timer. When
// the program ends meanwhile (log-off), the dialog returns without OK, and the
// bar with its history list is gone: nothing is trimmed or saved then.
static void editProperties(HWND bar) {
    propertiesDialogOpen = 1;
    if (runPropertiesDialog() == 1) trimHistory(&history, &settings, &historyFile);
    propertiesDialogOpen = 0;
    SetFocus(combo(bar));
}

static INT_PTR onCommand(HWND bar, WPARAM wParam) {
    switch (LOWORD(wParam)) {
        case CMD_RUN:
            runLine(bar);
            return 1;
        case CMD_CANCEL:
            SendDlgItemMessageA(bar, IDC_COMMAND_COMBO, CB_SETCURSEL, 0, 0);
            resetHistorySearch();
            return 1;
        case CMD_EXIT:
            SendMessageA(mainWindow, WM_CLOSE, 0, 0);
            return 1;
        case CMD_PROPERTIES:
            editProperties(bar);
            return 1;
        case CMD_ABOUT:
            runAboutDialog();  // the bar may hide meanwhile
            return 1;
        case CMD_CLOSE_BAR:
            destroyDialogTooltip(bar);
            EndDialog(bar, 0);
            return 1;
        case CMD_CLEAR_HISTORY:
            askAndClearHistory(bar);
            return 1;
        case CMD_COMMAND_PROMPT:
            openCommandPrompt(bar);
            return 1;
        case IDC_COMMAND_COMBO:
            // A line is on its way: the shell is loaded while it is typed or picked.
            if (HIWORD(wParam) == CBN_EDITCHANGE || HIWORD(wParam) == CBN_SELCHANGE) prepareShell();
            if (HIWORD(wParam) == CBN_SELCHANGE && isOnWhenOne(settings.DirectExecute)) {
                // Posted: the edit field shows the picked line only afterwards.
                PostMessageA(bar, WM_COMMAND, CMD_RUN, 0);
                return 1;
            }
            resetHistorySearch();
            return 0;
        case CMD_SEARCH_HISTORY:
            searchOnce(bar);
            return 1;
        case CMD_SHOW_HISTORY:
            SendDlgItemMessageA(bar, IDC_COMMAND_COMBO, CB_SHOWDROPDOWN, TRUE, 0);
            return 1;
    }
    return 0;
}

static void onActivate(HWND bar, WPARAM wParam) {
    if (LOWORD(wParam) != WA_INACTIVE) {
        KillTimer(bar, AUTO_HIDE_TIMER);
        return;
    }
    if (!isOnWhenNotZero(settings.AutoHide)) return;
    if (SetTimer(bar, AUTO_HIDE_TIMER, settings.AutoHideDelay * 1000u, 0) == 0)
        ShowWindow(bar, SW_HIDE);
}

static void onTimer(HWND bar, WPARAM id) {
    if (id != AUTO_HIDE_TIMER || propertiesDialogOpen) return;
    // Hiding the active bar deactivates it, and that starts the timer anew:
    // it is stopped only afterwards.
    ShowWindow(bar, SW_HIDE);
    KillTimer(bar, AUTO_HIDE_TIMER);
}

static INT_PTR onNotify(const NMHDR* header) {
    if (header->code == TTN_SHOW) {
        if (barTooltip != 0) {
            SetWindowPos(barTooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
            SetWindowPos(barTooltip, HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
        }
        return 1;
    }
    if (header->code != TTN_NEEDTEXTA) return 0;
    NMTTDISPINFOA* info = (NMTTDISPINFOA*)header;
    tooltipText[0] = '\0';
    switch (tooltipControlId(info)) {
        case IDC_COMMAND_COMBO:
            if (GetCurrentDirectoryA(sizeof tooltipText, tooltipText) >= sizeof tooltipText)
                tooltipText[0] = '\0';
            toLower(tooltipText, COLUMN_CP1252);
            break;
        case IDC_GRIP:
            copyText(tooltipText, sizeof tooltipText, "Verschieben");
            break;
    }
    info->lpszText = tooltipText;
    return 1;
}

static void onTrayIcon(HWND bar, LPARAM mouseMessage) {
    switch (mouseMessage) {
        case WM_LBUTTONDOWN:
            raiseOpenDialogs();
            return;
        case WM_RBUTTONDOWN:
            if (raiseOpenDialogs()) return;
            SetForegroundWindow(bar);
            showMenu(bar);
            PostMessageA(bar, WM_USER, 0, 0);  // lets the menu close properly
            return;
        case WM_LBUTTONDBLCLK:
            PostMessageA(mainWindow, WM_COMMAND, CMD_ACTIVATE, 0);
            return;
    }
}

static void onDropFiles(HWND bar, HDROP drop) {
    char path[DROPPED_PATH_CAPACITY];
    DragQueryFileFunction dragQueryFile = lateBound<DragQueryFileFunction>(bar, DRAG_QUERY_FILE);
    DragFinishFunction dragFinish = lateBound<DragFinishFunction>(bar, DRAG_FINISH);
    // Without the shell's functions (reported already) the drop is not read.
    if (dragQueryFile == 0 || dragFinish == 0) return;
    if (dragQueryFile(drop, 0, path, sizeof path) == 0) path[0] = '\0';
    dragFinish(drop);
    SetDlgItemTextA(bar, IDC_COMMAND_COMBO, path);
    SendMessageA(bar, WM_COMMAND, CMD_RUN, 0);
}

// At the button-up, or when the capture is taken away (a message box, Alt+Tab):
// later mouse moves over the bar must not move it.
static void endDrag(HWND bar) {
    if (!dragging) return;
    dragging = 0;
    if (isOnWhenOne(settings.Save)) writePlace(bar, 0);
}

// The cursor position is the one the mouse message carries: where the button
// went down, not where the pointer has got to by the time the message is
// handled (a quick drag would otherwise lose its first stretch).
static void onMouse(HWND bar, UINT message, LPARAM position) {
    POINT cursor = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ClientToScreen(bar, &cursor);
    if (message == WM_LBUTTONDOWN) {
        RECT rect;
        GetWindowRect(bar, &rect);
        SetCapture(bar);
        dragging = 1;
        dragOffset.x = cursor.x - rect.left;
        dragOffset.y = cursor.y - rect.top;
        dragWidth = rect.right - rect.left;
        dragHeight = rect.bottom - rect.top;
    } else if (dragging && message == WM_MOUSEMOVE) {
        MoveWindow(bar, cursor.x - dragOffset.x, cursor.y - dragOffset.y, dragWidth, dragHeight,
                   TRUE);
    } else if (dragging && message == WM_LBUTTONUP) {
        ReleaseCapture();
        endDrag(bar);
    }
}

static void onInitDialog() {
    buildMenu();
    dragging = 0;
    propertiesDialogOpen = 0;
    lastRunLine[0] = '\0';
    resetHistorySearch();
}

static INT_PTR CALLBACK commandBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            onInitDialog();
            return 1;
        case WM_SIZE:
            layOut(bar);
            return 0;
        case WM_ENTERSIZEMOVE:
            sizing = 1;
            return 0;
        case WM_EXITSIZEMOVE:
            sizing = 0;
            if (isOnWhenOne(settings.Save)) writePlace(bar, 1);
            return 0;
        case WM_ACTIVATE:
            onActivate(bar, wParam);
            return 0;
        case WM_TIMER:
            onTimer(bar, wParam);
            return 1;
        case WM_WININICHANGE:
        case WM_DISPLAYCHANGE:
            keepOnScreen(bar);
            return 0;
        case WM_GETMINMAXINFO:
            limitTracking(bar, (MINMAXINFO*)lParam);
            return 1;
        case WM_NOTIFY:
            return onNotify((const NMHDR*)lParam);
        case WM_CONTEXTMENU:
            if (!raiseOpenDialogs()) showMenu(bar);
            return 1;
        case WM_COMMAND:
            return onCommand(bar, wParam);
        case WM_SYSCOMMAND:
            if (wParam != SC_CLOSE) return 0;
            SendMessageA(mainWindow, WM_CLOSE, 0, 0);
            return 1;
        case WM_LBUTTONDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
            onMouse(bar, message, lParam);
            return 0;
        case WM_CAPTURECHANGED:
            endDrag(bar);
            return 0;
        case WM_DROPFILES:
            onDropFiles(bar, (HDROP)wParam);
            return 1;
        case TRAY_CALLBACK_MESSAGE:
            onTrayIcon(bar, lParam);
            return 1;
    }
    return 0;
}

static LRESULT CALLBACK comboSubclassProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CONTEXTMENU:
        case WM_DROPFILES:
            SendMessageA(GetParent(box), message, wParam, lParam);
            return 0;
        case WM_PARENTNOTIFY:
            // A right click into the edit field opens the bar's menu.
            if (LOWORD(wParam) == WM_RBUTTONDOWN)
                SendMessageA(GetParent(box), WM_CONTEXTMENU, (WPARAM)box, lParam);
            return 1;
    }
    return CallWindowProcA(previousComboProc, box, message, wParam, lParam);
}

// The edit field's own menu (Undo, Cut, ...) would open on the button-up of
// a right click that only brought an open dialog to the front; the bar decides
// instead. Without an open dialog the bar's menu has already taken that
// button-up.
static LRESULT CALLBACK editSubclassProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CONTEXTMENU) {
        SendMessageA(commandBarWindow, WM_CONTEXTMENU, wParam, lParam);
        return 0;
    }
    return CallWindowProcA(previousEditProc, edit, message, wParam, lParam);
}

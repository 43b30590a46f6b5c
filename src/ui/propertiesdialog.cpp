// The properties dialog: shows the settings, and on OK stores them and brings
// the running program in line at once (hotkey, macros, tooltips, topmost
// state, tray icon, auto-hide, start with Windows). The global hotkey is off
// while the dialog is open, so that the program's own key can be chosen again;
// a new key that would take a character from the keyboard is asked about.
#include "propertiesdialog.h"

#include <commctrl.h>
#include <commdlg.h>
#include <stddef.h>

#include "../../res/resource.h"
#include "../base/winutil_win32.h"
#include "../interp/aliasfile.h"
#include "../state/properties.h"
#include "../state/settings_win32.h"
#include "../tooltips/tooltips.h"
#include "commandbar.h"
#include "mainwindow.h"
#include "trayicon.h"

enum {
    TEXT_LENGTH = PATH_CAPACITY - 1,  // start directory and alias file
    MAX_HISTORY_DIGITS = 3,   // MAX_HISTORY_HIGHEST is 999
    HIDE_DELAY_HIGHEST = 60,  // the arrows' top, a minute; typed, the field takes more
    BROWSE_IMAGE_WIDTH = 16,  // browse.bmp holds one 16 x 16 picture
    BROWSE_IMAGE_GROWTH = 1   // the list never grows; 1 is the least it takes
};

static const UINT HOTKEY_MODIFIERS = MOD_ALT | MOD_CONTROL;
static const char HOTKEY_TAKEN_TEXT[] =
    "Die ausgewählte Tastenkombination wird bereits verwendet. "
    "Wählen Sie bitte eine andere Kombination aus.";
static const char BROWSE_TITLE[] = "Pexor - AliasDatei suchen";
static const char BROWSE_EXTENSION[] = "bat";
static const char BROWSE_DIRECTORY[] = "c:\\";

// The open-file record as Windows 95 and NT 4 know it (76 bytes on 32-bit
// Windows; OPENFILENAME_SIZE_VERSION_400A); every later comdlg32 accepts it.
static const DWORD OPEN_FILE_RECORD_SIZE = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
#ifndef _WIN64
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == 76,
              "the first form of OPENFILENAMEA");
#endif

// Shows the open-file dialog for an existing file. path (pathCapacity bytes)
// is where it starts and is cut in place at its last backslash or colon.
// Returns the chosen full path in a buffer that the next call overwrites, or
// null when the user cancelled or the dialog failed (failure beeps).
static const char* browseForFile(HWND owner, char* path, size_t pathCapacity, const char* title,
                                 const char* defaultExtension, const char* defaultDirectory);

// The browse button's picture; both live only while the dialog is open.
static HIMAGELIST browseImages;
static HICON browseIcon;
// What browseForFile returns.
static char browsedPath[PATH_CAPACITY];
// OK has stored and applied the settings. The dialog's own result cannot tell:
// a WM_QUIT (the session ends while the dialog is open) ends it with IDOK too.
static int confirmed;

static int isChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

static void setChecked(HWND dialog, int id, int on) {
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

static void enableControl(HWND dialog, int id, int on) { EnableWindow(GetDlgItem(dialog, id), on); }

// A number field read unsigned into 16 bits; text that is no number reads as 0.
static uint16_t readNumber(HWND dialog, int id) { return low16(GetDlgItemInt(dialog, id, 0, FALSE)); }

static void enableAliasControls(HWND dialog) {
    int on = isChecked(dialog, IDC_PROP_CHECK_ALIAS);
    enableControl(dialog, IDC_PROP_ALIAS_FILE, on);
    enableControl(dialog, IDC_PROP_BROWSE, on);
}

static void enableHideControls(HWND dialog) {
    int on = isChecked(dialog, IDC_PROP_AUTO_HIDE);
    enableControl(dialog, IDC_PROP_HIDE_DELAY, on);
    enableControl(dialog, IDC_PROP_HIDE_DELAY_ARROWS, on);
}

// The check boxes show a switch the way the program reads it: some count as
// on only when exactly 1, the others whenever not 0.
static void fillControls(HWND dialog) {
    SetDlgItemTextA(dialog, IDC_PROP_START_DIR, settings.BaseDir);
    for (int i = 0; i < SWITCH_COUNT; i++)
        setChecked(dialog, IDC_PROP_CHECK_INTERNAL + i, isOnWhenOne(*settingsSwitch(&settings, i)));
    SetDlgItemTextA(dialog, IDC_PROP_ALIAS_FILE, settings.AliasFile);
    setChecked(dialog, IDC_PROP_SAVE_HISTORY, isOnWhenOne(settings.SaveHistory));
    SetDlgItemInt(dialog, IDC_PROP_MAX_HISTORY, settings.MaxHistory, FALSE);
    setChecked(dialog, IDC_PROP_TOOLTIPS, isOnWhenNotZero(settings.Tooltips));
    setChecked(dialog, IDC_PROP_TRAY_ICON, isOnWhenNotZero(settings.TrayIcon));
    setChecked(dialog, IDC_PROP_AUTO_HIDE, isOnWhenNotZero(settings.AutoHide));
    SetDlgItemInt(dialog, IDC_PROP_HIDE_DELAY, settings.AutoHideDelay, FALSE);
    setChecked(dialog, IDC_PROP_SYS_STARTUP, isOnWhenOne(settings.SysStartup));
}

// The top-left pixel's colour (CLR_DEFAULT) is the transparent one.
static void attachBrowseImage(HWND dialog) {
    browseImages = ImageList_LoadImageA(instanceHandle, MAKEINTRESOURCEA(IDB_BROWSE),
                                        BROWSE_IMAGE_WIDTH, BROWSE_IMAGE_GROWTH, CLR_DEFAULT,
                                        IMAGE_BITMAP, 0);
    if (browseImages == 0) return;
    browseIcon = ImageList_GetIcon(browseImages, 0, ILD_NORMAL);
    SendDlgItemMessageA(dialog, IDC_PROP_BROWSE, BM_SETIMAGE, IMAGE_ICON, (LPARAM)browseIcon);
}

static void fillHotkeyList(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_PROP_HOTKEY);
    char text[HOTKEY_TEXT_CAPACITY];
    for (int row = 0; HotkeyKeyTable[row].name[0] != '\0'; row++) {
        hotkeyRowText(row, text, sizeof text);
        SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)text);
    }
    SendMessageA(list, CB_SETCURSEL, hotkeyRowOfCode(settings.Hotkey), 0);
}

static void onInitDialog(HWND dialog) {
    propertiesDialogWindow = dialog;
    SetClassLongPtrA(dialog, GCLP_HICON,
                     (LONG_PTR)LoadIconA(instanceHandle, MAKEINTRESOURCEA(IDI_PEXOR)));
    SendDlgItemMessageA(dialog, IDC_PROP_START_DIR, EM_LIMITTEXT, TEXT_LENGTH, 0);
    SendDlgItemMessageA(dialog, IDC_PROP_MAX_HISTORY, EM_LIMITTEXT, MAX_HISTORY_DIGITS, 0);
    // Longer text would only be cut when it is read back.
    SendDlgItemMessageA(dialog, IDC_PROP_ALIAS_FILE, EM_LIMITTEXT, TEXT_LENGTH, 0);
    SendDlgItemMessageA(dialog, IDC_PROP_MAX_HISTORY_ARROWS, UDM_SETRANGE, 0,
                        MAKELPARAM(MAX_HISTORY_HIGHEST, MAX_HISTORY_LOWEST));
    SendDlgItemMessageA(dialog, IDC_PROP_HIDE_DELAY_ARROWS, UDM_SETRANGE, 0,
                        MAKELPARAM(HIDE_DELAY_HIGHEST, 0));
    fillControls(dialog);
    enableAliasControls(dialog);
    enableHideControls(dialog);
    attachBrowseImage(dialog);
    fillHotkeyList(dialog);
    UnregisterHotKey(mainWindow, hotkeyAtom);
    SetFocus(GetDlgItem(dialog, IDC_PROP_START_DIR));
}

// Without the atom the program has no hotkey at all (see start-up).
static int registerHotkey(UINT key) {
    if (key == 0 || hotkeyAtom == 0) return 1;
    return RegisterHotKey(mainWindow, hotkeyAtom, HOTKEY_MODIFIERS, key) != 0;
}

static int selectedHotkeyRow(HWND dialog) {
    LRESULT row = SendDlgItemMessageA(dialog, IDC_PROP_HOTKEY, CB_GETCURSEL, 0, 0);
    return row > 0 && row < HOTKEY_KEY_COUNT ? (int)row : 0;
}

// VkKeyScanA asks the keyboard layout of this thread, the one the user types
// with. The characters are asked, not the layout's number: Wine answers with
// the X keyboard's characters (German ones too) but names every layout
// 0x04090409, US.
static uint16_t scanKey(unsigned char character) { return (uint16_t)VkKeyScanA((CHAR)character); }

// Asks before row's key takes the character AltGr types with it (German
// keyboards: AltGr+Q is @); whether the key may be used.
static int hotkeyMayTakeCharacter(HWND dialog, int row) {
    unsigned char character = hotkeyTakenCharacter(row, settings.Hotkey, scanKey);
    if (character == 0) return 1;
    char text[HOTKEY_QUESTION_CAPACITY];
    hotkeyQuestionText(row, character, text, sizeof text);
    return askQuestion(dialog, text);
}

// Registers row's key for the program, after asking when it takes a
// character; 0 when the user said Nein or another program holds the key (told).
static int takeHotkey(HWND dialog, int row) {
    if (!hotkeyMayTakeCharacter(dialog, row)) return 0;
    if (registerHotkey(HotkeyKeyTable[row].code)) return 1;
    MessageBeep(MB_ICONWARNING);
    MessageBoxA(dialog, HOTKEY_TAKEN_TEXT, "Hinweis", MB_ICONWARNING);
    return 0;
}

static void readControls(HWND dialog, int hotkeyRow) {
    GetDlgItemTextA(dialog, IDC_PROP_START_DIR, settings.BaseDir, PATH_CAPACITY);
    for (int i = 0; i < SWITCH_COUNT; i++)
        *settingsSwitch(&settings, i) = isChecked(dialog, IDC_PROP_CHECK_INTERNAL + i);
    GetDlgItemTextA(dialog, IDC_PROP_ALIAS_FILE, settings.AliasFile, PATH_CAPACITY);
    settings.SaveHistory = isChecked(dialog, IDC_PROP_SAVE_HISTORY);
    settings.MaxHistory = readNumber(dialog, IDC_PROP_MAX_HISTORY);
    settings.Tooltips = isChecked(dialog, IDC_PROP_TOOLTIPS);
    settings.Hotkey = HotkeyKeyTable[hotkeyRow].code;
    settings.TrayIcon = (uint16_t)isChecked(dialog, IDC_PROP_TRAY_ICON);
    settings.AutoHide = (uint16_t)isChecked(dialog, IDC_PROP_AUTO_HIDE);
    settings.AutoHideDelay = readNumber(dialog, IDC_PROP_HIDE_DELAY);
    settings.SysStartup = isChecked(dialog, IDC_PROP_SYS_STARTUP);
}

static void applyTrayIcon() {
    if (isOnWhenNotZero(settings.TrayIcon) && trayIconShown == 0)
        showTrayIcon(commandBarWindow);
    else if (!isOnWhenNotZero(settings.TrayIcon) && trayIconShown == 1)
        removeTrayIcon(commandBarWindow);
}

// Auto-hide on: the bar starts its countdown as if it had lost activation.
// Off: the main window shows and focuses the bar.
static void applyAutoHide() {
    if (isOnWhenNotZero(settings.AutoHide))
        PostMessageA(commandBarWindow, WM_ACTIVATE, WA_INACTIVE, 0);
    else
        PostMessageA(mainWindow, WM_COMMAND, CMD_ACTIVATE, 0);
}

static void applyStartWithWindows() {
    if (isOnWhenOne(settings.SysStartup))
        setStartWithWindows();
    else
        clearStartWithWindows();
}

static void onOk(HWND dialog) {
    int row = selectedHotkeyRow(dialog);
    if (!takeHotkey(dialog, row)) {
        SetFocus(GetDlgItem(dialog, IDC_PROP_HOTKEY));
        return;
    }
    uint16_t shownMaxHistory = settings.MaxHistory;
    readControls(dialog, row);
    settings.MaxHistory = boundMaxHistory(settings.MaxHistory, shownMaxHistory);
    // The settings still apply until the program ends; the user learns that
    // the file (read-only, say) does not keep them.
    if (!writeSettings()) tellSettingsNotSaved(dialog);
    loadMacroTable();
    activateDialogTooltip(commandBarWindow, settings.Tooltips);
    SetWindowPos(commandBarWindow, isOnWhenOne(settings.Top) ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
    applyTrayIcon();
    applyAutoHide();
    applyStartWithWindows();
    confirmed = 1;
    EndDialog(dialog, 1);
}

// The stored key comes back; with none stored there is nothing to register.
static void onCancel(HWND dialog) {
    registerHotkey(settings.Hotkey);
    EndDialog(dialog, 0);
}

static void onBrowse(HWND dialog) {
    if (!isChecked(dialog, IDC_PROP_CHECK_ALIAS)) return;
    char path[PATH_CAPACITY];
    GetDlgItemTextA(dialog, IDC_PROP_ALIAS_FILE, path, sizeof path);
    const char* chosen = browseForFile(dialog, path, sizeof path, BROWSE_TITLE, BROWSE_EXTENSION,
                                       BROWSE_DIRECTORY);
    if (chosen != 0) SetDlgItemTextA(dialog, IDC_PROP_ALIAS_FILE, chosen);
}

static INT_PTR onCommand(HWND dialog, WORD id) {
    switch (id) {
        case IDOK:
            onOk(dialog);
            return 1;
        case IDCANCEL:
            onCancel(dialog);
            return 1;
        case IDC_PROP_CHECK_ALIAS:
            enableAliasControls(dialog);
            return 1;
        case IDC_PROP_BROWSE:
            onBrowse(dialog);
            return 1;
        case IDC_PROP_AUTO_HIDE:
            enableHideControls(dialog);
            return 1;
    }
    return 0;
}

// The button does not own its picture, so the icon made from the image list
// is released here as well.
static void onDestroy() {
    if (browseImages != 0) ImageList_Destroy(browseImages);
    browseImages = 0;
    if (browseIcon != 0) DestroyIcon(browseIcon);
    browseIcon = 0;
    propertiesDialogWindow = 0;
}

static INT_PTR CALLBACK propertiesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            onInitDialog(dialog);
            return 0;  // the focus is set
        case WM_COMMAND:
            return onCommand(dialog, LOWORD(wParam));
        case WM_DESTROY:
            onDestroy();
            return 0;
    }
    return 0;
}

int runPropertiesDialog(void) {
    // The arrow controls' class, on every version of the common controls.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    confirmed = 0;
    INT_PTR result = DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(IDD_PROPERTIES), 0,
                                     propertiesDialogProc, 0);
    return result == -1 ? -1 : confirmed;
}

static const char* browseForFile(HWND owner, char* path, size_t pathCapacity, const char* title,
                                 const char* defaultExtension, const char* defaultDirectory) {
    const char* directory;
    browseStart(path, pathCapacity, defaultExtension, defaultDirectory, browsedPath,
                sizeof browsedPath, &directory);
    char filter[BROWSE_FILTER_CAPACITY];
    OPENFILENAMEA request;
    ZeroMemory(&request, sizeof request);
    request.lStructSize = OPEN_FILE_RECORD_SIZE;
    request.hwndOwner = owner;
    request.hInstance = instanceHandle;
    request.lpstrFilter = browseFilter(defaultExtension, filter, sizeof filter) ? filter : 0;
    request.nFilterIndex = 1;
    request.lpstrFile = browsedPath;
    request.nMaxFile = sizeof browsedPath;
    request.lpstrInitialDir = directory;
    request.lpstrTitle = title;
    request.lpstrDefExt = defaultExtension;
    request.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    GetOpenFileNameFunction getOpenFileName = lateBound<GetOpenFileNameFunction>(owner, GET_OPEN_FILE_NAME);
    if (getOpenFileName == 0) return 0;  // reported already
    if (getOpenFileName(&request)) return browsedPath;
    // Cancelling is no error and makes no sound.
    CommDlgExtendedErrorFunction commDlgExtendedError =
        lateBound<CommDlgExtendedErrorFunction>(owner, COMM_DLG_EXTENDED_ERROR);
    if (commDlgExtendedError != 0 && commDlgExtendedError() != 0) MessageBeep(0);
    return 0;
}

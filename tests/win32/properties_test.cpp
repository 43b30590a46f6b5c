// The properties dialog from pexor.exe's template, run modally as the command
// bar runs it and driven from inside its own message loop (a thread timer):
// the template, the controls filled from the settings, and what OK and Cancel
// do to the settings file, the macro table, the global hotkey, a stand-in
// command bar, the tray icon and the Run key. Boxes and the file picker that
// the dialog opens are answered the same way, on the dialog's own thread.
#include "harness.h"

#include <commctrl.h>
#include <shellapi.h>
#include <stdio.h>

#include <functional>
#include <string>
#include <vector>

#include "../../res/resource.h"
#include "interp/aliasfile.h"
#include "interp/textutil.h"
#include "state/properties.h"
#include "ui/commandbar.h"
#include "ui/mainwindow.h"
#include "ui/propertiesdialog.h"
#include "ui/trayicon.h"

namespace {

const char RUN_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const UINT MODIFIERS = MOD_ALT | MOD_CONTROL;
const UINT TICK_MS = 10;
const int PROBE_ID = 0x7001;
const int ROW_P = 16, ROW_F9 = 60, ROW_F10 = 61;  // rows of HotkeyKeyTable

// The template lives in pexor.exe, two folders above the test program.
std::string programPath() {
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(0, self, sizeof self);
    std::string path(self, n);
    for (int up = 0; up < 3; up++) path = path.substr(0, path.find_last_of('\\'));
    return path + "\\pexor.exe";
}

bool underWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != 0; }

std::string windowText(HWND window) {
    char text[512];
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// ------------------------------------------------ driving the modal dialog

// Answers the dialog boxes (message box, file picker) that a window opens
// while an action runs: each box owned by owner, directly or not, is noted and
// gets command.
struct BoxAnswer {
    HWND owner = 0;
    WORD command = IDOK;
    std::vector<std::string> captions, texts;
};
BoxAnswer* currentAnswer;

BOOL CALLBACK firstStaticText(HWND child, LPARAM out) {
    char className[32];
    std::string text = windowText(child);
    if (GetClassNameA(child, className, sizeof className) && lstrcmpiA(className, "Static") == 0 &&
        !text.empty()) {
        *(std::string*)out = text;
        return FALSE;
    }
    return TRUE;
}

bool ownedBy(HWND window, HWND owner) {
    for (HWND o = GetWindow(window, GW_OWNER); o != 0; o = GetWindow(o, GW_OWNER))
        if (o == owner) return true;
    return false;
}

// Only the box on top is enabled. One that is still there after its answer
// (the picker after a "not found" box, say) is cancelled.
BOOL CALLBACK answerOwnedBox(HWND window, LPARAM) {
    if (currentAnswer == 0 || !IsWindowVisible(window) || !IsWindowEnabled(window) ||
        !ownedBy(window, currentAnswer->owner))
        return TRUE;
    if (GetPropA(window, "answered") != 0) {
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }
    SetPropA(window, "answered", (HANDLE)1);
    currentAnswer->captions.push_back(windowText(window));
    std::string text;
    EnumChildWindows(window, firstStaticText, (LPARAM)&text);
    currentAnswer->texts.push_back(text);
    PostMessageA(window, WM_COMMAND, currentAnswer->command, 0);
    return TRUE;
}

void CALLBACK answerBoxes(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), answerOwnedBox, 0);
}

// Runs action with the answers in place; the boxes' own loops take the timer.
void answeringBoxes(BoxAnswer* answer, const std::function<void()>& action) {
    BoxAnswer* outer = currentAnswer;
    currentAnswer = answer;
    UINT_PTR timer = SetTimer(0, 0, TICK_MS, answerBoxes);
    action();
    KillTimer(0, timer);
    currentAnswer = outer;
}

std::function<void(HWND)> pendingScript;

void CALLBACK runScript(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = propertiesDialogWindow;
    if (dialog == 0 || !IsWindowVisible(dialog)) return;  // not shown yet
    KillTimer(0, timer);
    std::function<void(HWND)> script;
    script.swap(pendingScript);
    // A box nobody expected is answered too, so that the test fails instead of hanging.
    BoxAnswer unexpected;
    unexpected.owner = dialog;
    answeringBoxes(&unexpected, [&] { script(dialog); });
    for (const std::string& caption : unexpected.captions) ADD_FAILURE() << "a box: " << caption;
    // A script that stopped at a failed assertion must not leave the dialog running.
    if (IsWindow(dialog) && IsWindowVisible(dialog)) {
        ADD_FAILURE() << "the script left the dialog open";
        EndDialog(dialog, -2);
    }
}

// Runs the dialog as the command bar does; script runs once inside its
// message loop while it is shown, and ends it.
int runDialog(std::function<void(HWND)> script) {
    pendingScript = script;
    UINT_PTR timer = SetTimer(0, 0, TICK_MS, runScript);
    int result = runPropertiesDialog();
    KillTimer(0, timer);
    return result;
}

void command(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}
void pressOk(HWND dialog) { command(dialog, IDOK); }
void pressCancel(HWND dialog) { command(dialog, IDCANCEL); }

// As a click does: the new state, then the notification.
void setCheck(HWND dialog, int id, bool on) {
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
    command(dialog, id);
}
bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
bool enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }
std::string fieldText(HWND dialog, int id) { return windowText(GetDlgItem(dialog, id)); }
int hotkeyRow(HWND dialog) { return (int)SendDlgItemMessageA(dialog, IDC_PROP_HOTKEY, CB_GETCURSEL, 0, 0); }
void selectHotkeyRow(HWND dialog, int row) { SendDlgItemMessageA(dialog, IDC_PROP_HOTKEY, CB_SETCURSEL, row, 0); }

// The switches in the order of check boxes 1058 to 1063, then the others.
const int SWITCH_BOXES[] = {IDC_PROP_CHECK_INTERNAL, IDC_PROP_DIRECT_EXECUTE, IDC_PROP_EXIT,
                            IDC_PROP_TOP,            IDC_PROP_SAVE,           IDC_PROP_CHECK_ALIAS,
                            IDC_PROP_SAVE_HISTORY,   IDC_PROP_TOOLTIPS,       IDC_PROP_TRAY_ICON,
                            IDC_PROP_AUTO_HIDE,      IDC_PROP_SYS_STARTUP};
const char* const SWITCH_KEYS[] = {"CheckInternal", "DirectExecute", "Exit",     "Top",
                                   "Save",          "CheckAlias",    "SaveHistory", "Tooltips",
                                   "TrayIcon",      "AutoHide",      "SysStartup"};
const int SWITCHES = sizeof SWITCH_BOXES / sizeof SWITCH_BOXES[0];

void setSwitch(int index, int value) {
    switch (index) {
        case 6: settings.SaveHistory = value; break;
        case 7: settings.Tooltips = value; break;
        case 8: settings.TrayIcon = (uint16_t)value; break;
        case 9: settings.AutoHide = (uint16_t)value; break;
        case 10: settings.SysStartup = value; break;
        default: *settingsSwitch(&settings, index) = value;
    }
}

class PropertiesDialog : public Win32Test {
protected:
    void SetUp() override {
        program = LoadLibraryExA(programPath().c_str(), 0, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(program != 0) << programPath() << " (build pexor.exe first)";
        saved.instance = instanceHandle;
        saved.atom = hotkeyAtom;
        saved.bar = commandBarWindow;
        saved.trayShown = trayIconShown;
        instanceHandle = program;
        // Stand-ins for the main window and the command bar, and a prober of hotkeys.
        WNDCLASSA cls = {};
        cls.lpfnWndProc = DefWindowProcA;
        cls.hInstance = GetModuleHandleA(0);
        cls.lpszClassName = "PexorPropertiesStandIn";
        RegisterClassA(&cls);
        mainWindow = CreateWindowExA(0, cls.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, 0);
        commandBarWindow = CreateWindowExA(0, cls.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, 0);
        probe = CreateWindowExA(0, cls.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, 0);
        hotkeyAtom = GlobalAddAtomA("PexorPropertiesTest");
        trayIconShown = 0;
        // Every OK writes or deletes the value; this puts it back afterwards.
        registry.setString(HKEY_CURRENT_USER, RUN_KEY, "Pexor", "before");
        copyText(iniPath, sizeof iniPath, temp.file("pexor.ini").c_str());
        aliasFile = temp.file("alias.bat");
        harness::writeFile(aliasFile, "doskey ll=dir /w $*\r\n");
        copyText(settings.BaseDir, sizeof settings.BaseDir, "c:\\");
        for (int i = 0; i < SWITCHES; i++) setSwitch(i, 0);
        copyText(settings.AliasFile, sizeof settings.AliasFile, aliasFile.c_str());
        settings.MaxHistory = 25;
        settings.Hotkey = 0;
        settings.AutoHideDelay = 5;
    }
    void TearDown() override {
        UnregisterHotKey(mainWindow, hotkeyAtom);
        UnregisterHotKey(probe, PROBE_ID);
        GlobalDeleteAtom(hotkeyAtom);
        deleteTrayIcon();
        DestroyWindow(probe);
        DestroyWindow(commandBarWindow);
        DestroyWindow(mainWindow);
        freeMacroTable();
        instanceHandle = saved.instance;
        hotkeyAtom = saved.atom;
        commandBarWindow = saved.bar;
        trayIconShown = saved.trayShown;
        if (program != 0) FreeLibrary(program);
    }

    // Someone holds Ctrl+Alt+key: a probe registration of it fails.
    bool keyTaken(UINT key) {
        if (!RegisterHotKey(probe, PROBE_ID, MODIFIERS, key)) return true;
        UnregisterHotKey(probe, PROBE_ID);
        return false;
    }
    // Whether the program held a hotkey; it holds none afterwards.
    bool takeProgramHotkey() { return UnregisterHotKey(mainWindow, hotkeyAtom) != 0; }

    int storedInt(const char* key) { return (int)GetPrivateProfileIntA("Setup", key, -1, iniPath); }
    std::string storedText(const char* key) {
        char text[PATH_CAPACITY];
        GetPrivateProfileStringA("Setup", key, "(missing)", text, sizeof text, iniPath);
        return text;
    }
    bool runValue(std::string* value) {
        char text[MAX_PATH] = "";
        DWORD size = sizeof text;
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, RUN_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        LONG result = RegQueryValueExA(key, "Pexor", 0, 0, (BYTE*)text, &size);
        RegCloseKey(key);
        *value = text;
        return result == ERROR_SUCCESS;
    }
    // A posted message waiting for window, taken off the queue.
    bool takePosted(HWND window, UINT message, WPARAM wParam) {
        MSG msg;
        while (PeekMessageA(&msg, window, message, message, PM_REMOVE))
            if (msg.wParam == wParam && msg.lParam == 0) return true;
        return false;
    }
    bool deleteTrayIcon() {  // true when there was one for the bar
        NOTIFYICONDATAA icon = {};
        icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
        icon.hWnd = commandBarWindow;
        icon.uID = 1;
        return Shell_NotifyIconA(NIM_DELETE, &icon) != 0;
    }

    HMODULE program = 0;
    HWND probe = 0;
    std::string aliasFile;
    harness::RegistryOverride registry;
    struct {
        HINSTANCE instance;
        ATOM atom;
        HWND bar;
        int trayShown;
    } saved = {};
};

// ------------------------------------------------------------- the template

enum RowFlags { GROUP = 1, TAB = 2, NO_HEIGHT = 4, NO_WIDTH = 8, ARROWS = 16 };
const DWORD CHECK_BOX = BS_AUTOCHECKBOX;
const DWORD ARROW_STYLE = UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS;

struct ControlRow {
    int id;  // -1: none
    const char* className;
    const char* text;  // not looked at for edit fields
    int x, y, w, h;
    DWORD style;  // bits that must be set; for buttons the exact type
    int flags;
};

// In tab order. A drop-down list's window is only as high as its field; an
// arrow control moves to its buddy's right edge and narrows the buddy.
const ControlRow TEMPLATE_ROWS[] = {
    {-1, "Button", "", 7, 3, 206, 234, BS_GROUPBOX, GROUP},
    {-1, "Static", "&Anfangsverzeichnis", 14, 14, 62, 8, SS_LEFT, GROUP},
    {1057, "Edit", "", 107, 12, 101, 12, ES_AUTOHSCROLL, GROUP | TAB},
    {-1, "Static", "&Tastenkombination", 13, 32, 61, 8, SS_LEFT, GROUP},
    {1072, "ComboBox", "Strg + Alt + P", 107, 29, 101, 65, CBS_DROPDOWNLIST, GROUP | TAB | NO_HEIGHT},
    {-1, "Static", "&Maximale Anzahl von Einträgen in der Historieliste", 14, 49, 156, 8, SS_LEFT, GROUP},
    {1067, "Edit", "", 181, 47, 28, 12, ES_NUMBER, GROUP | TAB | NO_WIDTH},
    {1071, "msctls_updown32", "", 206, 46, 11, 14, ARROW_STYLE, ARROWS},
    {1066, "Button", "&Historie immer für die nächste Sitzung speichern", 14, 66, 166, 10, CHECK_BOX, GROUP | TAB},
    {1058, "Button", "&Interne DOS-Kommandos automatisch erkennen", 14, 82, 168, 10, CHECK_BOX, TAB},
    {1063, "Button", "&DOSKEY-Makros erkennen", 14, 98, 103, 10, CHECK_BOX, TAB},
    {1064, "Edit", "", 120, 97, 72, 12, ES_AUTOHSCROLL, TAB},
    {1069, "Button", "", 194, 97, 14, 12, BS_PUSHBUTTON | BS_ICON, TAB},
    {1059, "Button", "&Kommando direkt nach Auswahl aus Historie ausführen", 14, 114, 189, 10,
     CHECK_BOX | BS_MULTILINE, TAB},
    {1060, "Button", "&Eingabe von 'exit' beendet Pexor", 14, 130, 121, 10, CHECK_BOX, TAB},
    {1070, "Button", "T&ooltips anzeigen", 14, 146, 71, 10, CHECK_BOX, TAB},
    {1062, "Button", "&Position des Kommandofensters speichern", 14, 162, 149, 10, CHECK_BOX, TAB},
    {1061, "Button", "&Fenster immer im Vordergrund anzeigen", 14, 178, 139, 10, CHECK_BOX | BS_MULTILINE, TAB},
    {1073, "Button", "&Symbol in der Taskleiste anzeigen", 14, 194, 123, 10, CHECK_BOX, TAB},
    {1074, "Button", "Fe&nster automatisch nach", 14, 210, 97, 10, CHECK_BOX, TAB},
    {1065, "Edit", "", 111, 209, 23, 12, ES_AUTOHSCROLL, TAB | NO_WIDTH},
    {1075, "msctls_updown32", "", 206, 208, 11, 14, ARROW_STYLE, ARROWS},
    {-1, "Static", "Sekunden ausblenden", 136, 211, 72, 8, SS_LEFT, GROUP},
    {1076, "Button", "&Pexor bei jedem Systemstart automatisch aktivieren.", 14, 225, 180, 10, CHECK_BOX, TAB},
    {IDOK, "Button", "OK", 110, 242, 50, 14, 0, GROUP | TAB},  // the default button: DM_GETDEFID
    {IDCANCEL, "Button", "Abbrechen", 163, 242, 50, 14, 0, TAB},
};

// As the dialog manager places a control: origin and size converted apart.
RECT dialogUnits(HWND dialog, int x, int y, int w, int h) {
    RECT origin = {x, y, x, y}, size = {w, h, w, h};
    MapDialogRect(dialog, &origin);
    MapDialogRect(dialog, &size);
    RECT r = {origin.left, origin.top, origin.left + size.left, origin.top + size.top};
    return r;
}

RECT placeInDialog(HWND dialog, HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(0, dialog, (POINT*)&r, 2);
    return r;
}

void expectTemplate(HWND dialog) {
    EXPECT_EQ(windowText(dialog), "Pexor - Eigenschaften");
    DWORD style = GetWindowLongA(dialog, GWL_STYLE);
    DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(style & frame, frame);
    RECT client, expected = dialogUnits(dialog, 0, 0, 220, 263);
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, expected.right);
    EXPECT_EQ(client.bottom, expected.bottom);
    EXPECT_EQ(LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)), IDOK);

    HWND control = GetWindow(dialog, GW_CHILD);
    for (const ControlRow& row : TEMPLATE_ROWS) {
        ASSERT_TRUE(control != 0) << "missing: " << row.text << " " << row.id;
        SCOPED_TRACE(std::string("control ") + std::to_string(row.id) + " |" + row.text + "|");
        char className[64];
        GetClassNameA(control, className, sizeof className);
        EXPECT_EQ(lstrcmpiA(className, row.className), 0) << className;
        if (row.id != -1) { EXPECT_EQ(GetDlgCtrlID(control), row.id); }
        if (lstrcmpiA(className, "Edit") != 0) {
            EXPECT_EQ(windowText(control), row.text);
        }
        DWORD s = GetWindowLongA(control, GWL_STYLE);
        EXPECT_EQ(s & row.style, row.style);
        if (row.style != 0 && lstrcmpiA(className, "Button") == 0) {
            EXPECT_EQ(s & BS_TYPEMASK, row.style & BS_TYPEMASK);
        }
        EXPECT_EQ((s & WS_GROUP) != 0, (row.flags & GROUP) != 0);
        EXPECT_EQ((s & WS_TABSTOP) != 0, (row.flags & TAB) != 0);
        if (lstrcmpiA(className, "Edit") == 0) {
            EXPECT_TRUE((s & WS_BORDER) || (GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
            EXPECT_EQ((s & ES_NUMBER) != 0, row.id == 1067) << "only the history size takes digits only";
        }
        RECT is = placeInDialog(dialog, control), want = dialogUnits(dialog, row.x, row.y, row.w, row.h);
        if (row.flags & ARROWS) {
            RECT buddy = placeInDialog(dialog, (HWND)SendMessageA(control, UDM_GETBUDDY, 0, 0));
            EXPECT_EQ((HWND)SendMessageA(control, UDM_GETBUDDY, 0, 0), GetWindow(control, GW_HWNDPREV));
            EXPECT_NEAR(is.left, buddy.right, 2) << "at the buddy's right edge";
            EXPECT_NEAR(is.top, buddy.top, 2);
        } else {
            EXPECT_EQ(is.left, want.left);
            EXPECT_EQ(is.top, want.top);
            if (!(row.flags & NO_WIDTH)) { EXPECT_EQ(is.right, want.right); }
            if (!(row.flags & NO_HEIGHT)) { EXPECT_EQ(is.bottom, want.bottom); }
        }
        control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_TRUE(control == 0) << "a control too many";
}

TEST_F(PropertiesDialog, TemplateHasEveryControlInTabOrderWithTextPlaceAndStyle) {
    settings.Hotkey = 'P';
    EXPECT_EQ(runDialog([&](HWND dialog) {
                  expectTemplate(dialog);
                  pressCancel(dialog);
              }),
              0);
}

// ------------------------------------------------------------ filled controls

TEST_F(PropertiesDialog, ControlsShowTheSettingsAndTheFocusIsInTheStartDirectory) {
    // Alternating switches, so that two boxes bound the wrong way round show.
    for (int pattern = 0; pattern < 2; pattern++) {
        SCOPED_TRACE(pattern);
        for (int i = 0; i < SWITCHES; i++) setSwitch(i, (i + pattern) % 2);
        copyText(settings.BaseDir, sizeof settings.BaseDir, pattern ? "d:\\\xC4rger" : "c:\\");  // Ärger
        settings.MaxHistory = pattern ? 999 : 1;
        settings.AutoHideDelay = pattern ? 90 : 0;
        settings.Hotkey = pattern ? 0x7B : 0x7C;  // F12; F13 is in no row
        runDialog([&](HWND dialog) {
            for (int i = 0; i < SWITCHES; i++)
                EXPECT_EQ(checked(dialog, SWITCH_BOXES[i]), (i + pattern) % 2 == 1) << SWITCH_KEYS[i];
            EXPECT_EQ(fieldText(dialog, IDC_PROP_START_DIR), settings.BaseDir);
            EXPECT_EQ(fieldText(dialog, IDC_PROP_ALIAS_FILE), aliasFile);
            EXPECT_EQ(fieldText(dialog, IDC_PROP_MAX_HISTORY), pattern ? "999" : "1");
            EXPECT_EQ(fieldText(dialog, IDC_PROP_HIDE_DELAY), pattern ? "90" : "0");
            EXPECT_EQ(hotkeyRow(dialog), pattern ? 63 : 0);
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_PROP_HOTKEY, CB_GETCOUNT, 0, 0), HOTKEY_KEY_COUNT);
            // CheckAlias is the sixth switch, AutoHide the tenth.
            bool alias = (5 + pattern) % 2 == 1, hide = (9 + pattern) % 2 == 1;
            EXPECT_EQ(enabled(dialog, IDC_PROP_ALIAS_FILE), alias);
            EXPECT_EQ(enabled(dialog, IDC_PROP_BROWSE), alias);
            EXPECT_EQ(enabled(dialog, IDC_PROP_HIDE_DELAY), hide);
            EXPECT_EQ(enabled(dialog, IDC_PROP_HIDE_DELAY_ARROWS), hide);
            EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_PROP_START_DIR));
            // The two switches enable their fields at once.
            setCheck(dialog, IDC_PROP_CHECK_ALIAS, !alias);
            EXPECT_EQ(enabled(dialog, IDC_PROP_ALIAS_FILE), !alias);
            EXPECT_EQ(enabled(dialog, IDC_PROP_BROWSE), !alias);
            setCheck(dialog, IDC_PROP_AUTO_HIDE, !hide);
            EXPECT_EQ(enabled(dialog, IDC_PROP_HIDE_DELAY), !hide);
            EXPECT_EQ(enabled(dialog, IDC_PROP_HIDE_DELAY_ARROWS), !hide);
            pressCancel(dialog);
        });
    }
}

TEST_F(PropertiesDialog, FieldsHoldAtMostWhatIsStoredAndArrowsKeepTheirRange) {
    runDialog([&](HWND dialog) {
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_PROP_START_DIR, EM_GETLIMITTEXT, 0, 0), 259);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_PROP_MAX_HISTORY, EM_GETLIMITTEXT, 0, 0), 3);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_PROP_MAX_HISTORY_ARROWS, UDM_GETRANGE, 0, 0),
                  MAKELONG(999, 1));
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_PROP_HIDE_DELAY_ARROWS, UDM_GETRANGE, 0, 0),
                  MAKELONG(60, 0));
        pressCancel(dialog);
    });
}

// ------------------------------------------------------------------- OK

TEST_F(PropertiesDialog, OkStoresEveryControlInSettingsAndFile) {
    for (int pattern = 0; pattern < 2; pattern++) {
        SCOPED_TRACE(pattern);
        for (int i = 0; i < SWITCHES; i++) setSwitch(i, (i + pattern + 1) % 2);
        std::string startDirectory = pattern ? "d:\\\xC4rger" : "c:\\temp";
        std::string alias = pattern ? "" : aliasFile;
        EXPECT_EQ(runDialog([&](HWND dialog) {
                      for (int i = 0; i < SWITCHES; i++) setCheck(dialog, SWITCH_BOXES[i], (i + pattern) % 2);
                      SetDlgItemTextA(dialog, IDC_PROP_START_DIR, startDirectory.c_str());
                      SetDlgItemTextA(dialog, IDC_PROP_ALIAS_FILE, alias.c_str());
                      selectHotkeyRow(dialog, pattern ? ROW_F9 : 0);
                      pressOk(dialog);
                  }),
                  1);
        for (int i = 0; i < SWITCHES; i++) EXPECT_EQ(storedInt(SWITCH_KEYS[i]), (i + pattern) % 2) << SWITCH_KEYS[i];
        EXPECT_EQ(storedText("BaseDir"), startDirectory);
        EXPECT_EQ(std::string(settings.BaseDir), startDirectory);
        EXPECT_EQ(storedText("AliasFile"), alias);
        EXPECT_EQ(storedInt("Hotkey"), pattern ? 0x78 : 0);
        EXPECT_EQ(settings.Hotkey, pattern ? 0x78 : 0);
        EXPECT_EQ(storedInt("MaxHistory"), 25);
        EXPECT_EQ(storedInt("AutoHideDelay"), 5);
    }
}

TEST_F(PropertiesDialog, OkBoundsTheHistorySizeButNotTheHideDelay) {
    const struct {
        const char* history;
        int storedHistory;
        const char* delay;
        int storedDelay;
    } cases[] = {
        {"0", 1, "90", 90},  // typed past the arrows' 60
        {"", 1, "", 0},
        {"999", 999, "abc", 0},
        {"7", 7, "60", 60},
    };
    for (const auto& c : cases) {
        runDialog([&](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_PROP_MAX_HISTORY, c.history);
            SetDlgItemTextA(dialog, IDC_PROP_HIDE_DELAY, c.delay);
            pressOk(dialog);
        });
        EXPECT_EQ(storedInt("MaxHistory"), c.storedHistory) << "|" << c.history << "|";
        EXPECT_EQ(settings.MaxHistory, c.storedHistory);
        EXPECT_EQ(storedInt("AutoHideDelay"), c.storedDelay) << "|" << c.delay << "|";
    }
}

TEST_F(PropertiesDialog, OkReloadsTheMacroTable) {
    for (bool on : {true, false}) {
        runDialog([&](HWND dialog) {
            setCheck(dialog, IDC_PROP_CHECK_ALIAS, on);
            pressOk(dialog);
        });
        if (on) {
            ASSERT_TRUE(macroTable != 0);
            EXPECT_STREQ(macroTable->name, "LL");
        } else {
            EXPECT_TRUE(macroTable == 0) << "macros off: the table is emptied";
        }
    }
}

TEST_F(PropertiesDialog, OkMakesTheBarTopmostOrNot) {
    for (bool on : {true, false, true}) {
        runDialog([&](HWND dialog) {
            setCheck(dialog, IDC_PROP_TOP, on);
            pressOk(dialog);
        });
        EXPECT_EQ((GetWindowLongA(commandBarWindow, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, on);
    }
}

TEST_F(PropertiesDialog, OkAddsTheTrayIconOnlyWhenNotShownAndRemovesIt) {
    const struct {
        int shownBefore;
        bool iconBefore;
        bool checkedBox;
        int shownAfter;
        bool iconAfter;
    } cases[] = {
        {0, false, true, 1, true},
        {1, false, true, 1, false},  // counted as shown: no second add
        {1, true, false, 0, false},
        {0, false, false, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shownBefore * 10 + c.checkedBox);
        if (c.iconBefore) {
            ASSERT_NE(notifyTrayIcon(commandBarWindow, NIM_ADD, 1, 1, "Pexor"), 0);
        }
        trayIconShown = c.shownBefore;
        runDialog([&](HWND dialog) {
            setCheck(dialog, IDC_PROP_TRAY_ICON, c.checkedBox);
            pressOk(dialog);
        });
        EXPECT_EQ(trayIconShown, c.shownAfter);
        EXPECT_EQ(deleteTrayIcon(), c.iconAfter);
    }
}

TEST_F(PropertiesDialog, OkPostsTheHideCountdownOrTheActivation) {
    for (bool hide : {true, false}) {
        runDialog([&](HWND dialog) {
            setCheck(dialog, IDC_PROP_AUTO_HIDE, hide);
            pressOk(dialog);
        });
        // Posted: they wait in the queue after the dialog has ended.
        EXPECT_EQ(takePosted(commandBarWindow, WM_ACTIVATE, WA_INACTIVE), hide);
        EXPECT_EQ(takePosted(mainWindow, WM_COMMAND, CMD_ACTIVATE), !hide);
    }
}

TEST_F(PropertiesDialog, OkWritesOrDeletesTheRunValue) {
    char self[MAX_PATH];
    GetModuleFileNameA(0, self, sizeof self);
    const struct {
        bool on;
        bool present;
    } cases[] = {{true, true}, {true, true}, {false, false}, {false, false}};  // again: no error
    for (const auto& c : cases) {
        runDialog([&](HWND dialog) {
            setCheck(dialog, IDC_PROP_SYS_STARTUP, c.on);
            pressOk(dialog);
        });
        std::string value;
        EXPECT_EQ(runValue(&value), c.present);
        if (c.present) { EXPECT_EQ(value, self); }
    }
}

// ---------------------------------------------------------------- the hotkey

TEST_F(PropertiesDialog, OwnKeyIsFreeWhileOpenAndCanBeChosenAgain) {
    settings.Hotkey = 'P';
    ASSERT_TRUE(RegisterHotKey(mainWindow, hotkeyAtom, MODIFIERS, 'P'));  // as at start-up
    EXPECT_EQ(runDialog([&](HWND dialog) {
                  EXPECT_FALSE(keyTaken('P')) << "unregistered while the dialog is open";
                  EXPECT_EQ(hotkeyRow(dialog), ROW_P);
                  pressOk(dialog);
              }),
              1);
    EXPECT_TRUE(keyTaken('P'));
    EXPECT_TRUE(takeProgramHotkey());
}

TEST_F(PropertiesDialog, KeyTakenElsewhereWarnsAndKeepsTheDialogAsItWas) {
    settings.Hotkey = 'P';
    ASSERT_TRUE(RegisterHotKey(probe, PROBE_ID, MODIFIERS, VK_F10));  // another program's key
    BoxAnswer answer;
    EXPECT_EQ(runDialog([&](HWND dialog) {
                  SetDlgItemTextA(dialog, IDC_PROP_START_DIR, "c:\\changed");
                  selectHotkeyRow(dialog, ROW_F10);
                  answer.owner = dialog;
                  answeringBoxes(&answer, [&] { pressOk(dialog); });
                  EXPECT_TRUE(IsWindowVisible(dialog)) << "still open";
                  EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_PROP_HOTKEY));
                  EXPECT_EQ(hotkeyRow(dialog), ROW_F10);
                  EXPECT_EQ(fieldText(dialog, IDC_PROP_START_DIR), "c:\\changed");
                  pressCancel(dialog);
              }),
              0);
    ASSERT_EQ(answer.captions.size(), 1u);
    EXPECT_EQ(answer.captions[0], "Hinweis");
    EXPECT_EQ(answer.texts[0],
              "Die ausgewählte Tastenkombination wird bereits verwendet. "
              "Wählen Sie bitte eine andere Kombination aus.");
    EXPECT_FALSE(harness::fileExists(iniPath)) << "nothing written";
    EXPECT_STREQ(settings.BaseDir, "c:\\");
    EXPECT_EQ(settings.Hotkey, 'P');
    EXPECT_TRUE(takeProgramHotkey()) << "Cancel registers the stored key again";
}

TEST_F(PropertiesDialog, KeineAndCancelLeaveTheRightHotkey) {
    const struct {
        uint16_t stored;
        int row;  // -1: keep the selection
        bool ok;
        bool registered;
        uint16_t storedAfter;
    } cases[] = {
        {'P', 0, true, false, 0},        // "keine": no hotkey
        {0x7C, -1, true, false, 0},      // a code in no row reads as "keine"
        {'P', ROW_F9, false, true, 'P'},  // Cancel: the stored key again
        {0, -1, false, false, 0},        // Cancel with none stored registers nothing
        {'P', ROW_F9, true, true, 0x78},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.stored) + (c.ok ? " OK" : " Cancel"));
        settings.Hotkey = c.stored;
        runDialog([&](HWND dialog) {
            if (c.row >= 0) selectHotkeyRow(dialog, c.row);
            c.ok ? pressOk(dialog) : pressCancel(dialog);
        });
        EXPECT_EQ(settings.Hotkey, c.storedAfter);
        if (c.registered) { EXPECT_TRUE(keyTaken(c.storedAfter)); }
        EXPECT_EQ(takeProgramHotkey(), c.registered);
    }
}

// -------------------------------------------------------------- browsing

TEST_F(PropertiesDialog, BrowseStartsAtTheAliasFileAndPutsThePickedPathInTheField) {
    settings.CheckAlias = 1;
    std::string other = temp.file("other.bat");
    harness::writeFile(other, "rem\r\n");
    runDialog([&](HWND dialog) {
        BoxAnswer answer;
        answer.owner = dialog;
        // The picker opens in the field's folder with its name: OK picks that file.
        SetDlgItemTextA(dialog, IDC_PROP_ALIAS_FILE, other.c_str());
        answeringBoxes(&answer, [&] { command(dialog, IDC_PROP_BROWSE); });
        ASSERT_EQ(answer.captions.size(), 1u);
        EXPECT_EQ(answer.captions[0], "Pexor - AliasDatei suchen");
        EXPECT_EQ(harness::lowerCase(fieldText(dialog, IDC_PROP_ALIAS_FILE)), harness::lowerCase(other));
        // Cancelling the picker changes nothing.
        SetDlgItemTextA(dialog, IDC_PROP_ALIAS_FILE, aliasFile.c_str());
        answer.command = IDCANCEL;
        answeringBoxes(&answer, [&] { command(dialog, IDC_PROP_BROWSE); });
        EXPECT_EQ(answer.captions.size(), 2u);
        EXPECT_EQ(fieldText(dialog, IDC_PROP_ALIAS_FILE), aliasFile);
        // With macros off the button opens nothing.
        setCheck(dialog, IDC_PROP_CHECK_ALIAS, false);
        answeringBoxes(&answer, [&] { command(dialog, IDC_PROP_BROWSE); });
        EXPECT_EQ(answer.captions.size(), 2u);
        pressCancel(dialog);
    });
    EXPECT_EQ(std::string(settings.AliasFile), aliasFile) << "Cancel keeps the stored file";
}

// ------------------------------------------------------------- resources

// Wine reports 0 for both counts (GetGuiResources is not implemented there);
// the browse button's icon is then checked directly: it must be gone after
// every close.
TEST_F(PropertiesDialog, FiftyOpenAndCloseCyclesLeaveNoObjectsBehind) {
    settings.CheckAlias = 1;
    HANDLE self = GetCurrentProcess();
    auto cycle = [&] {
        HICON icon = 0;
        EXPECT_EQ(runDialog([&](HWND dialog) {
                      icon = (HICON)SendDlgItemMessageA(dialog, IDC_PROP_BROWSE, BM_GETIMAGE, IMAGE_ICON, 0);
                      pressCancel(dialog);
                  }),
                  0);
        EXPECT_TRUE(icon != 0) << "the browse button shows bitmap 148";
        ICONINFO info;
        EXPECT_FALSE(GetIconInfo(icon, &info)) << "the icon is released with the dialog";
        EXPECT_TRUE(propertiesDialogWindow == 0);
    };
    cycle();  // the first run may load what stays loaded
    DWORD gdiBefore = GetGuiResources(self, GR_GDIOBJECTS), userBefore = GetGuiResources(self, GR_USEROBJECTS);
    for (int i = 0; i < 50; i++) cycle();
    DWORD gdiAfter = GetGuiResources(self, GR_GDIOBJECTS), userAfter = GetGuiResources(self, GR_USEROBJECTS);
    EXPECT_EQ(gdiAfter, gdiBefore);
    EXPECT_EQ(userAfter, userBefore);
    printf("GDI objects %lu -> %lu, USER objects %lu -> %lu%s\n", gdiBefore, gdiAfter, userBefore,
           userAfter, underWine() ? " (Wine)" : "");
}

}  // namespace

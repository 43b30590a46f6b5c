// The properties dialog from pexor.exe's template, run modally as the command
// bar runs it and driven from inside its own message loop (a thread timer):
// the controls filled from the settings, and what OK and Cancel do to the
// settings file, the macro table, the global hotkey, a stand-in command bar
// and its tooltip, the tray icon and the Run key. Boxes and the file picker
// that the dialog opens are answered on its own thread; a dialog that hangs
// is ended, and its test fails (harness::runModalDialog).
#include "harness.h"

#include "interp/aliasfile.h"
#include "state/properties.h"
#include "ui/propertiesdialog.h"

namespace {

const char RUN_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const UINT MODIFIERS = MOD_ALT | MOD_CONTROL;
const int PROBE_ID = 0x7001;
// Ctrl+Alt+Num / is no other test's key, nor that of a Pexor the end-to-end
// tests run (Ctrl+Alt+P); F9 and F10 are used only here.
const UINT OWN_KEY = VK_DIVIDE;
const int ROW_P = 16, ROW_F9 = 60, ROW_F10 = 61;  // rows of HotkeyKeyTable

// Runs the dialog as the command bar does, with script inside its message
// loop; boxes it opens go to the test's harness::Boxes, if any. Every
// closing releases the browse button's icon and forgets the dialog (while it
// is known as open, the bar does not hide itself).
int runDialog(const std::function<void(HWND)>& script) {
    HICON icon = 0;
    auto run = [&](HWND dialog) {
        icon = (HICON)SendDlgItemMessageA(dialog, IDC_PROP_BROWSE, BM_GETIMAGE, IMAGE_ICON, 0);
        script(dialog);
    };
    int result = (int)harness::runModalDialog([] { return (INT_PTR)runPropertiesDialog(); },
                                              [] { return propertiesDialogWindow; }, run);
    ICONINFO info;
    EXPECT_TRUE(icon != 0 && !GetIconInfo(icon, &info)) << "bitmap 148 on the browse button, released";
    EXPECT_TRUE(propertiesDialogWindow == 0);
    return result;
}

void command(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}
// As a click does: the new state, then the notification.
void setCheck(HWND dialog, int id, bool on) {
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
    command(dialog, id);
}
std::string fieldText(HWND dialog, int id) { return harness::windowText(GetDlgItem(dialog, id)); }
LRESULT ask(HWND dialog, int id, UINT message) { return SendDlgItemMessageA(dialog, id, message, 0, 0); }
void selectHotkeyRow(HWND dialog, int row) { SendDlgItemMessageA(dialog, IDC_PROP_HOTKEY, CB_SETCURSEL, row, 0); }

// The switches in the order of check boxes 1058 to 1063, then the others.
const int SWITCH_BOXES[] = {IDC_PROP_CHECK_INTERNAL, IDC_PROP_DIRECT_EXECUTE, IDC_PROP_EXIT,       IDC_PROP_TOP,
                            IDC_PROP_SAVE,           IDC_PROP_CHECK_ALIAS,    IDC_PROP_SAVE_HISTORY, IDC_PROP_TOOLTIPS,
                            IDC_PROP_TRAY_ICON,      IDC_PROP_AUTO_HIDE,      IDC_PROP_SYS_STARTUP};
const char* const SWITCH_KEYS[] = {"CheckInternal", "DirectExecute", "Exit",     "Top",      "Save",      "CheckAlias",
                                   "SaveHistory",   "Tooltips",      "TrayIcon", "AutoHide", "SysStartup"};
const int SWITCHES = 11, CHECK_ALIAS = 5, AUTO_HIDE = 9;

// The bar's tooltip control notes whether it was last switched on or off.
WNDPROC tooltipProc;
int tooltipActive;
LRESULT CALLBACK noteActivation(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TTM_ACTIVATE) tooltipActive = (int)wParam;
    return CallWindowProcA(tooltipProc, window, message, wParam, lParam);
}

class PropertiesDialog : public Win32Test {
protected:
    void SetUp() override {
        // Stand-ins for the main window and the command bar, and a prober of hotkeys.
        for (HWND* window : {&mainWindow, &commandBarWindow, &probe})
            *window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, 0);
        hotkeyAtom = GlobalAddAtomA("PexorPropertiesTest");
        trayIconShown = 0;
        CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, commandBarWindow, 0, 0, 0);  // for its tooltip
        initTooltips(GetModuleHandleA(0));
        HWND tooltip = createDialogTooltip(commandBarWindow, 500);
        tooltipProc = (WNDPROC)SetWindowLongPtrA(tooltip, GWLP_WNDPROC, (LONG_PTR)noteActivation);
        SetWindowLongPtrA(tooltip, GWLP_HWNDPARENT, 0);  // an owned topmost popup keeps Wine's bar from the top
        tooltipActive = -1;
        // Every OK writes or deletes the value; this puts it back afterwards.
        undo.setRegistryString(HKEY_CURRENT_USER, RUN_KEY, "Pexor", "before");
        copyText(iniPath, sizeof iniPath, temp.file("pexor.ini").c_str());
        harness::writeFile(aliasFile, "doskey ll=dir /w $*\r\n");
        settings = Settings();  // every switch off, no hotkey
        copyText(settings.BaseDir, sizeof settings.BaseDir, "c:\\");
        copyText(settings.AliasFile, sizeof settings.AliasFile, aliasFile.c_str());
        // A program still running in this Wine prefix may hold a key these tests register.
        for (UINT key : {OWN_KEY, (UINT)VK_F9, (UINT)VK_F10})
            ASSERT_FALSE(keyTaken(key)) << "another program holds Ctrl+Alt+key " << key << " (a Pexor left running?)";
    }
    void TearDown() override {
        UnregisterHotKey(mainWindow, hotkeyAtom);
        GlobalDeleteAtom(hotkeyAtom);
        deleteTrayIcon();
        destroyDialogTooltip(commandBarWindow);
        shutdownTooltips();
        for (HWND window : {probe, commandBarWindow, mainWindow}) DestroyWindow(window);
        freeMacroTable();
        hotkeyAtom = savedAtom;
        commandBarWindow = savedBar;
        trayIconShown = savedTrayShown;
    }

    // Someone holds Ctrl+Alt+key: a probe registration of it fails.
    bool keyTaken(UINT key) {
        if (!RegisterHotKey(probe, PROBE_ID, MODIFIERS, key)) return true;
        UnregisterHotKey(probe, PROBE_ID);
        return false;
    }
    // Whether the program held a hotkey; it holds none afterwards.
    bool takeProgramHotkey() { return UnregisterHotKey(mainWindow, hotkeyAtom) != 0; }
    // True when the bar had an icon; clears trayIconShown.
    bool deleteTrayIcon() { return notifyTrayIcon(commandBarWindow, NIM_DELETE, 1, -1, 0) != 0; }
    std::string stored(const char* key) {
        char text[PATH_CAPACITY];
        GetPrivateProfileStringA("Setup", key, "(missing)", text, sizeof text, iniPath);
        return text;
    }
    std::string runValue() {
        char text[MAX_PATH] = "(missing)";
        DWORD size = sizeof text;
        RegGetValueA(HKEY_CURRENT_USER, RUN_KEY, "Pexor", RRF_RT_REG_SZ, 0, text, &size);
        return text;
    }
    // A posted message waiting for window, taken off the queue.
    bool takePosted(HWND window, UINT message, WPARAM wParam) {
        MSG msg;
        while (PeekMessageA(&msg, window, message, message, PM_REMOVE))
            if (msg.wParam == wParam && msg.lParam == 0) return true;
        return false;
    }

    harness::ProgramResources resources;
    HWND probe = 0;
    const std::string aliasFile = temp.file("alias.bat");
    const ATOM savedAtom = hotkeyAtom;
    const HWND savedBar = commandBarWindow;
    const int savedTrayShown = trayIconShown;
};

// Alternating switches, so that two boxes bound the wrong way round show:
// each run reads one pattern from a settings file, shows it, switches every
// box and stores and applies the other. Of the numbers typed, the history
// size is bounded to 1..999 (a hand-set 5000 left alone stays), the hide
// delay is not bounded at all (only its arrows stop at 60), and text reads as 0.
TEST_F(PropertiesDialog, ControlsShowTheSettingsAndOkStoresAndAppliesWhatTheyHold) {
    char self[MAX_PATH];
    GetModuleFileNameA(0, self, sizeof self);
    for (int pattern = 0; pattern < 2; pattern++) {
        SCOPED_TRACE(pattern);
        // F13 (0x7C) is in no row; P is only shown, never registered.
        std::string file = std::string("[Setup]\r\nBaseDir=") + (pattern ? "d:\\\xC4rger" : "c:\\") +  // Ärger
                           "\r\nAliasFile=" + aliasFile +
                           (pattern ? "\r\nMaxHistory=5000\r\nAutoHideDelay=60\r\nHotkey=80"
                                    : "\r\nMaxHistory=1\r\nAutoHideDelay=0\r\nHotkey=124");
        for (int i = 0; i < SWITCHES; i++) file += std::string("\r\n") + SWITCH_KEYS[i] + "=" + "01"[(i + pattern) % 2];
        copyText(iniPath, sizeof iniPath, temp.file("p" + std::to_string(pattern) + ".ini").c_str());
        harness::writeFile(iniPath, file + "\r\n");
        readSettings();
        const std::string startDirectory = pattern ? "c:\\temp" : "d:\\\xC4rger", alias = pattern ? aliasFile : "";
        // CheckAlias and AutoHide enable their fields, at once when switched.
        const bool aliasOn = (CHECK_ALIAS + pattern) % 2 == 1, hideOn = (AUTO_HIDE + pattern) % 2 == 1;
        EXPECT_EQ(runDialog([&](HWND dialog) {
                      EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_PROP_START_DIR));
                      EXPECT_EQ(fieldText(dialog, IDC_PROP_START_DIR), pattern ? "d:\\\xC4rger" : "c:\\");
                      EXPECT_EQ(fieldText(dialog, IDC_PROP_ALIAS_FILE), aliasFile);
                      EXPECT_EQ(fieldText(dialog, IDC_PROP_MAX_HISTORY), pattern ? "5000" : "1");
                      EXPECT_EQ(fieldText(dialog, IDC_PROP_HIDE_DELAY), pattern ? "60" : "0");
                      EXPECT_EQ(ask(dialog, IDC_PROP_HOTKEY, CB_GETCURSEL), pattern ? ROW_P : 0);
                      EXPECT_EQ(fieldText(dialog, IDC_PROP_HOTKEY), pattern ? "Strg + Alt + P" : "keine");
                      EXPECT_EQ(ask(dialog, IDC_PROP_HOTKEY, CB_GETCOUNT), HOTKEY_KEY_COUNT);
                      for (int flipped = 0; flipped < 2; flipped++) {
                          for (int id : {IDC_PROP_ALIAS_FILE, IDC_PROP_BROWSE})
                              EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, id)) != 0, aliasOn != flipped) << id;
                          for (int id : {IDC_PROP_HIDE_DELAY, IDC_PROP_HIDE_DELAY_ARROWS})
                              EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, id)) != 0, hideOn != flipped) << id;
                          for (int i = 0; i < SWITCHES; i++) {
                              EXPECT_EQ(IsDlgButtonChecked(dialog, SWITCH_BOXES[i]), (i + pattern + flipped) % 2u)
                                  << SWITCH_KEYS[i];
                              if (!flipped) setCheck(dialog, SWITCH_BOXES[i], (i + pattern + 1) % 2);
                          }
                      }
                      // What the fields take: 259 characters of a path, three digits.
                      for (int id : {IDC_PROP_START_DIR, IDC_PROP_ALIAS_FILE})
                          EXPECT_EQ(ask(dialog, id, EM_GETLIMITTEXT), 259) << id;
                      EXPECT_EQ(ask(dialog, IDC_PROP_MAX_HISTORY, EM_GETLIMITTEXT), 3);
                      EXPECT_EQ(ask(dialog, IDC_PROP_MAX_HISTORY_ARROWS, UDM_GETRANGE), MAKELONG(999, 1));
                      EXPECT_EQ(ask(dialog, IDC_PROP_HIDE_DELAY_ARROWS, UDM_GETRANGE), MAKELONG(60, 0));
                      SetDlgItemTextA(dialog, IDC_PROP_START_DIR, startDirectory.c_str());
                      SetDlgItemTextA(dialog, IDC_PROP_ALIAS_FILE, alias.c_str());
                      if (!pattern) SetDlgItemTextA(dialog, IDC_PROP_MAX_HISTORY, "0");
                      SetDlgItemTextA(dialog, IDC_PROP_HIDE_DELAY, pattern ? "abc" : "90");
                      selectHotkeyRow(dialog, pattern ? 0 : ROW_F9);
                      command(dialog, IDOK);
                  }),
                  1);
        for (int i = 0; i < SWITCHES; i++)
            EXPECT_EQ(stored(SWITCH_KEYS[i]), (i + pattern) % 2 ? "0" : "1") << SWITCH_KEYS[i];
        const struct { const char* key; std::string value; } values[] = {
            {"BaseDir", startDirectory}, {"AliasFile", alias}, {"Hotkey", pattern ? "0" : "120"},
            {"MaxHistory", pattern ? "5000" : "1"}, {"AutoHideDelay", pattern ? "0" : "90"},
        };
        for (const auto& v : values) EXPECT_EQ(stored(v.key), v.value) << v.key;
        // Applied at once: macros, tooltips, topmost and auto-hide on in
        // pattern 1, tray icon and start with Windows in pattern 0.
        EXPECT_TRUE(pattern ? macroTable != 0 && lstrcmpA(macroTable->name, "LL") == 0 : macroTable == 0);
        EXPECT_EQ(tooltipActive, pattern);
        EXPECT_EQ((GetWindowLongA(commandBarWindow, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, pattern == 1);
        EXPECT_EQ(trayIconShown, 1 - pattern);
        // Posted: they wait in the queue after the dialog has ended.
        EXPECT_EQ(takePosted(commandBarWindow, WM_ACTIVATE, WA_INACTIVE), pattern == 1) << "the hide countdown";
        EXPECT_EQ(takePosted(mainWindow, WM_COMMAND, CMD_ACTIVATE), pattern == 0) << "the bar shown";
        EXPECT_EQ(runValue(), pattern ? "(missing)" : self);
    }
    EXPECT_FALSE(deleteTrayIcon()) << "the icon pattern 0 added was removed";
}

// A settings file that cannot be written (a folder here) is told; the
// settings apply all the same. A tray icon counted as shown is not added again.
TEST_F(PropertiesDialog, UnwritableSettingsFileIsToldAndTheSettingsApplyAllTheSame) {
    copyText(iniPath, sizeof iniPath, temp.makeDirectory("folder.ini").c_str());
    trayIconShown = 1;
    harness::Boxes boxes;
    runDialog([&](HWND dialog) {
        for (int id : {IDC_PROP_TOOLTIPS, IDC_PROP_TRAY_ICON}) setCheck(dialog, id, true);
        command(dialog, IDOK);
    });
    EXPECT_EQ(boxes.shown(), "Pexor - Fehler: Die Einstellungen konnten nicht in " + std::string(iniPath) +
                                 " gespeichert werden. Sie gelten, bis Pexor beendet wird.\n");
    EXPECT_EQ(tooltipActive, 1);
    EXPECT_EQ(trayIconShown, 1);
    EXPECT_FALSE(deleteTrayIcon()) << "no icon added";
}

// The stored key, registered as at start-up, is free while the dialog is
// open, so that it can be chosen again. A key another program holds is told,
// and the dialog stays as it was, nothing stored, until Cancel registers the
// stored key again; "keine" registers none. (OK with a key, and that key
// working, are the end-to-end test's.)
TEST_F(PropertiesDialog, ATakenHotkeyIsToldAndKeineRegistersNone) {
    ASSERT_TRUE(RegisterHotKey(probe, PROBE_ID + 1, MODIFIERS, VK_F10));  // another program's key
    settings.Hotkey = OWN_KEY;
    ASSERT_TRUE(RegisterHotKey(mainWindow, hotkeyAtom, MODIFIERS, OWN_KEY));
    DeleteFileA(iniPath);
    harness::Boxes boxes;
    runDialog([&](HWND dialog) {
        EXPECT_FALSE(keyTaken(OWN_KEY)) << "unregistered while the dialog is open";
        SetDlgItemTextA(dialog, IDC_PROP_START_DIR, "c:\\changed");
        selectHotkeyRow(dialog, ROW_F10);
        command(dialog, IDOK);
        EXPECT_TRUE(IsWindowVisible(dialog) && ask(dialog, IDC_PROP_HOTKEY, CB_GETCURSEL) == ROW_F10);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_PROP_HOTKEY));
        EXPECT_EQ(fieldText(dialog, IDC_PROP_START_DIR), "c:\\changed");
        command(dialog, IDCANCEL);
    });
    EXPECT_EQ(boxes.shown(), "Hinweis: Die ausgewählte Tastenkombination wird bereits verwendet. "
                             "Wählen Sie bitte eine andere Kombination aus.\n");
    EXPECT_FALSE(harness::fileExists(iniPath)) << "written on OK only";
    EXPECT_TRUE(keyTaken(OWN_KEY)) << "the stored key registered again";
    runDialog([&](HWND dialog) { selectHotkeyRow(dialog, 0), command(dialog, IDOK); });
    EXPECT_EQ(settings.Hotkey, 0);
    EXPECT_FALSE(takeProgramHotkey()) << "keine: none registered";
    UnregisterHotKey(probe, PROBE_ID + 1);
}

// The picker opens in the field's folder with its name: OK puts that file's
// full path in the field, Cancel changes nothing; with macros off the button
// opens nothing.
TEST_F(PropertiesDialog, BrowseStartsAtTheAliasFileAndPutsThePickedPathInTheField) {
    settings.CheckAlias = 1;
    const std::string other = temp.file("other.bat");
    harness::writeFile(other, "rem\r\n");
    harness::Boxes boxes;
    runDialog([&](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_PROP_ALIAS_FILE, temp.file("sub\\..\\other.bat").c_str());
        command(dialog, IDC_PROP_BROWSE);
        EXPECT_EQ(harness::lowerCase(fieldText(dialog, IDC_PROP_ALIAS_FILE)), harness::lowerCase(other));
        SetDlgItemTextA(dialog, IDC_PROP_ALIAS_FILE, aliasFile.c_str());
        boxes.answer = IDCANCEL;
        command(dialog, IDC_PROP_BROWSE);
        EXPECT_EQ(fieldText(dialog, IDC_PROP_ALIAS_FILE), aliasFile);
        setCheck(dialog, IDC_PROP_CHECK_ALIAS, false);
        command(dialog, IDC_PROP_BROWSE);
        command(dialog, IDCANCEL);
    });
    EXPECT_EQ(boxes.captions, std::vector<std::string>(2, "Pexor - AliasDatei suchen"));
    EXPECT_EQ(std::string(settings.AliasFile), aliasFile) << "Cancel keeps the stored file";
}

}  // namespace

// Settings: defaults, path derivation and the order in which keys are read
// and written.
#include "settings.h"

#include "../base/textutil.h"

Settings settings;
char iniPath[PATH_CAPACITY];
char historyPath[PATH_CAPACITY];

const char SETUP_SECTION[] = "Setup";
const char GEOMETRY_SECTION[] = "Geometry";
const char DEFAULT_START_DIRECTORY[] = "c:\\";
const char DEFAULT_ALIAS_FILE[] = "c:\\autoexec.bat";

int32_t* settingsSwitch(Settings* s, int index) {
    int32_t* switches[SWITCH_COUNT] = {&s->CheckInternal, &s->DirectExecute, &s->Exit,
                                       &s->Top, &s->Save, &s->CheckAlias};
    return index >= 0 && index < SWITCH_COUNT ? switches[index] : 0;
}

void derivePathsFrom(const char* exePath, char* ini, char* history) {
    copyText(ini, PATH_CAPACITY, exePath);
    toLower(ini, COLUMN_CP1252);
    // Same length in and out, so neither replacement can run out of room.
    replaceAll(ini, PATH_CAPACITY, ".exe", ".ini");
    copyText(history, PATH_CAPACITY, ini);
    replaceAll(history, PATH_CAPACITY, ".ini", ".his");
}

// One integer key, low 16 bits.
static uint16_t readKey(const ProfileStore* p, const char* key, int32_t fallback) {
    return low16(p->readInt(p->context, SETUP_SECTION, key, fallback));
}

static void resolveShell(char* shell, const ProfileStore* p, const ShellQuery* q) {
    p->readText(p->context, SETUP_SECTION, "Shell", "", shell, PATH_CAPACITY);
    if (shell[0] != '\0') return;
    if (q->readComspec(q->context, shell, PATH_CAPACITY)) return;
    copyText(shell, PATH_CAPACITY, q->isNtPlatform(q->context) ? "cmd.exe" : "command.com");
}

void readSettingsFrom(Settings* s, const ProfileStore* p, const ShellQuery* q) {
    // The profile API must not read its default from the buffer it writes to.
    char startDirectory[PATH_CAPACITY];
    copyText(startDirectory, sizeof startDirectory, s->BaseDir);
    p->readText(p->context, SETUP_SECTION, "BaseDir", startDirectory, s->BaseDir, PATH_CAPACITY);

    s->CheckInternal = readKey(p, "CheckInternal", 1);
    s->DirectExecute = readKey(p, "DirectExecute", 0);
    s->Exit = readKey(p, "Exit", 1);
    s->Top = readKey(p, "Top", 1);
    s->Save = readKey(p, "Save", 1);
    s->CheckAlias = readKey(p, "CheckAlias", 1);
    p->readText(p->context, SETUP_SECTION, "AliasFile", DEFAULT_ALIAS_FILE, s->AliasFile,
                PATH_CAPACITY);
    s->SaveHistory = readKey(p, "SaveHistory", 1);
    s->MaxHistory = maxHistoryFromFile(p->readInt(p->context, SETUP_SECTION, "MaxHistory",
                                                  DEFAULT_MAX_HISTORY));
    s->Tooltips = readKey(p, "Tooltips", 1);
    s->Hotkey = readKey(p, "Hotkey", 0);
    s->AutoHide = readKey(p, "AutoHide", 0);
    s->AutoHideDelay = readKey(p, "AutoHideDelay", 5);
    s->TrayIcon = readKey(p, "TrayIcon", 0);
    s->SysStartup = readKey(p, "SysStartup", 1);
    resolveShell(s->Shell, p, q);
}

uint16_t maxHistoryFromFile(uint32_t value) {
    int32_t number = (int32_t)value;
    if (number < MAX_HISTORY_LOWEST) return DEFAULT_MAX_HISTORY;
    if (number > MAX_HISTORY_HIGHEST) return MAX_HISTORY_HIGHEST;
    return (uint16_t)number;
}

static int writeKey(const ProfileStore* p, const char* key, int32_t value) {
    char text[INT_TEXT_CAPACITY];
    return p->writeText(p->context, SETUP_SECTION, key, intToText(value, text));
}

// Every key is tried, also after a failure: what can be written is.
int writeSettingsTo(const Settings* s, const ProfileStore* p) {
    int all = p->writeText(p->context, SETUP_SECTION, "BaseDir", s->BaseDir);
    all &= writeKey(p, "CheckInternal", s->CheckInternal);
    all &= writeKey(p, "DirectExecute", s->DirectExecute);
    all &= writeKey(p, "Exit", s->Exit);
    all &= writeKey(p, "Top", s->Top);
    all &= writeKey(p, "Save", s->Save);
    all &= writeKey(p, "CheckAlias", s->CheckAlias);
    all &= p->writeText(p->context, SETUP_SECTION, "AliasFile", s->AliasFile);
    all &= writeKey(p, "SaveHistory", s->SaveHistory);
    all &= writeKey(p, "MaxHistory", s->MaxHistory);
    all &= writeKey(p, "Tooltips", s->Tooltips);
    all &= writeKey(p, "Hotkey", s->Hotkey);
    all &= writeKey(p, "AutoHide", s->AutoHide);
    all &= writeKey(p, "AutoHideDelay", s->AutoHideDelay);
    all &= writeKey(p, "TrayIcon", s->TrayIcon);
    all &= writeKey(p, "SysStartup", s->SysStartup);
    return all;
}

int settingsNotSavedMessage(const char* path, char* out, size_t capacity) {
    int whole = copyText(out, capacity, "Die Einstellungen konnten nicht in ");
    whole = appendText(out, capacity, path) && whole;
    return appendText(out, capacity,
                      " gespeichert werden. Sie gelten, bis Pexor beendet wird.") &&
           whole;
}

// The nearest of low .. high, low winning when high is below it.
static int clampTo(int value, int low, int high) {
    if (value > high) value = high;
    return value < low ? low : value;
}

BarPlace fitBarInto(BarPlace wanted, int height, int minWidth, ScreenArea area) {
    BarPlace place;
    place.width = clampTo(wanted.width, minWidth, area.right - area.left);
    place.left = clampTo(wanted.left, area.left, area.right - place.width);
    place.top = clampTo(wanted.top, area.top, area.bottom - height);
    return place;
}

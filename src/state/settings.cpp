// Settings: defaults, path derivation and the order in which keys are read
// and written.
#include "settings.h"

#include "../interp/textutil.h"

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
    s->MaxHistory = readKey(p, "MaxHistory", 25);
    s->Tooltips = readKey(p, "Tooltips", 1);
    s->Hotkey = readKey(p, "Hotkey", 0);
    s->AutoHide = readKey(p, "AutoHide", 0);
    s->AutoHideDelay = readKey(p, "AutoHideDelay", 5);
    s->TrayIcon = readKey(p, "TrayIcon", 0);
    s->SysStartup = readKey(p, "SysStartup", 1);
    resolveShell(s->Shell, p, q);
}

static void writeKey(const ProfileStore* p, const char* key, int32_t value) {
    char text[INT_TEXT_CAPACITY];
    p->writeText(p->context, SETUP_SECTION, key, intToText(value, text));
}

void writeSettingsTo(const Settings* s, const ProfileStore* p) {
    p->writeText(p->context, SETUP_SECTION, "BaseDir", s->BaseDir);
    writeKey(p, "CheckInternal", s->CheckInternal);
    writeKey(p, "DirectExecute", s->DirectExecute);
    writeKey(p, "Exit", s->Exit);
    writeKey(p, "Top", s->Top);
    writeKey(p, "Save", s->Save);
    writeKey(p, "CheckAlias", s->CheckAlias);
    p->writeText(p->context, SETUP_SECTION, "AliasFile", s->AliasFile);
    writeKey(p, "SaveHistory", s->SaveHistory);
    writeKey(p, "MaxHistory", s->MaxHistory);
    writeKey(p, "Tooltips", s->Tooltips);
    writeKey(p, "Hotkey", s->Hotkey);
    writeKey(p, "AutoHide", s->AutoHide);
    writeKey(p, "AutoHideDelay", s->AutoHideDelay);
    writeKey(p, "TrayIcon", s->TrayIcon);
    writeKey(p, "SysStartup", s->SysStartup);
}

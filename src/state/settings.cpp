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
const char SETTINGS_NEW_SUFFIX[] = ".new";

// MaxHistory as the profile service read it: 1 to 65535 as they are (a
// hand-set value above what the dialog offers too). Only what the 16-bit field
// would cut into fewer lines than asked for is made sound, so that no setting
// can empty the history: above 65535 the nearest value, 65535 (whoever wrote
// it wanted many lines); 0 or negative the default 25 (a text that is not a
// number reads as 0 as well, and 1 would throw away all lines but one).
static uint16_t maxHistoryFromFile(uint32_t value) {
    if ((int32_t)value < 1) return DEFAULT_MAX_HISTORY;
    return value > MAX_HISTORY_STORABLE ? (uint16_t)MAX_HISTORY_STORABLE : (uint16_t)value;
}

// The integer keys of [Setup] in the order of the file, with their defaults;
// the first SWITCH_COUNT are the switches. The text AliasFile stands between
// CheckAlias and SaveHistory.
struct IntegerKey {
    const char* name;
    int32_t Settings::*wide;      // the field when it is 32 bits wide,
    uint16_t Settings::*narrow;   // else this one
    int32_t fallback;
    uint16_t (*fromFile)(uint32_t value);  // what is kept of the value read
};
static const IntegerKey IntegerKeys[] = {
    {"CheckInternal", &Settings::CheckInternal, 0, 1, low16},
    {"DirectExecute", &Settings::DirectExecute, 0, 0, low16},
    {"Exit", &Settings::Exit, 0, 1, low16},
    {"Top", &Settings::Top, 0, 1, low16},
    {"Save", &Settings::Save, 0, 1, low16},
    {"CheckAlias", &Settings::CheckAlias, 0, 1, low16},
    {"SaveHistory", &Settings::SaveHistory, 0, 1, low16},
    {"MaxHistory", 0, &Settings::MaxHistory, DEFAULT_MAX_HISTORY, maxHistoryFromFile},
    {"Tooltips", &Settings::Tooltips, 0, 1, low16},
    {"Hotkey", 0, &Settings::Hotkey, 0, low16},
    {"AutoHide", 0, &Settings::AutoHide, 0, low16},
    {"AutoHideDelay", 0, &Settings::AutoHideDelay, 5, low16},
    {"TrayIcon", 0, &Settings::TrayIcon, 0, low16},
    {"SysStartup", &Settings::SysStartup, 0, 1, low16},
};
enum {
    INTEGER_KEY_COUNT = sizeof IntegerKeys / sizeof IntegerKeys[0],
    ALIAS_FILE_POSITION = 6  // before SaveHistory
};

int32_t* settingsSwitch(Settings* s, int index) {
    return index >= 0 && index < SWITCH_COUNT ? &(s->*IntegerKeys[index].wide) : 0;
}

void derivePathsFrom(const char* exePath, char* ini, char* history) {
    copyText(ini, PATH_CAPACITY, exePath);
    toLower(ini, COLUMN_CP1252);
    // Same length in and out, so neither replacement can run out of room.
    replaceAll(ini, PATH_CAPACITY, ".exe", ".ini");
    copyText(history, PATH_CAPACITY, ini);
    replaceAll(history, PATH_CAPACITY, ".ini", ".his");
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

    for (int i = 0; i < INTEGER_KEY_COUNT; ++i) {
        const IntegerKey& key = IntegerKeys[i];
        if (i == ALIAS_FILE_POSITION)
            p->readText(p->context, SETUP_SECTION, "AliasFile", DEFAULT_ALIAS_FILE, s->AliasFile,
                        PATH_CAPACITY);
        uint16_t value = key.fromFile(p->readInt(p->context, SETUP_SECTION, key.name, key.fallback));
        if (key.wide != 0)
            s->*key.wide = value;
        else
            s->*key.narrow = value;
    }
    resolveShell(s->Shell, p, q);
}

static int writeKey(const ProfileStore* p, const char* key, int32_t value) {
    char text[INT_TEXT_CAPACITY];
    return p->writeText(p->context, SETUP_SECTION, key, intToText(value, text));
}

// Every key is tried, also after a failure: what can be written is.
int writeSettingsTo(const Settings* s, const ProfileStore* p) {
    int all = p->writeText(p->context, SETUP_SECTION, "BaseDir", s->BaseDir);
    for (int i = 0; i < INTEGER_KEY_COUNT; ++i) {
        const IntegerKey& key = IntegerKeys[i];
        if (i == ALIAS_FILE_POSITION)
            all &= p->writeText(p->context, SETUP_SECTION, "AliasFile", s->AliasFile);
        all &= writeKey(p, key.name, key.wide != 0 ? s->*key.wide : s->*key.narrow);
    }
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

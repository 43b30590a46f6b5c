// The settings record with its defaults, the file paths derived from the
// executable's path, and the rules for reading and writing the [Setup]
// section. The profile file itself is reached through a ProfileStore, so these
// rules run the same against the real profile API and against a test double.
#ifndef PEXOR_SETTINGS_H
#define PEXOR_SETTINGS_H

#include <stddef.h>
#include <stdint.h>

enum {
    PATH_CAPACITY = 260,
    // What the properties dialog can store as MaxHistory.
    MAX_HISTORY_LOWEST = 1,
    MAX_HISTORY_HIGHEST = 999,
    MAX_HISTORY_STORABLE = 65535,  // what the file may hold
    DEFAULT_MAX_HISTORY = 25
};

struct Settings {
    char BaseDir[PATH_CAPACITY];  // the start directory
    int32_t CheckInternal;
    int32_t DirectExecute;
    int32_t Exit;
    int32_t Top;
    int32_t Save;
    int32_t CheckAlias;
    char AliasFile[PATH_CAPACITY];
    int32_t SaveHistory;
    uint16_t MaxHistory;
    int32_t Tooltips;
    uint16_t Hotkey;
    uint16_t AutoHide;
    uint16_t AutoHideDelay;
    uint16_t TrayIcon;
    int32_t SysStartup;
    char Shell[PATH_CAPACITY];  // after readSettings: the resolved shell program
};

// The process-wide record and paths; the shell program lives in settings.Shell.
extern Settings settings;
extern char iniPath[PATH_CAPACITY];
extern char historyPath[PATH_CAPACITY];

extern const char SETUP_SECTION[];     // "Setup"
extern const char GEOMETRY_SECTION[];  // "Geometry"
extern const char DEFAULT_START_DIRECTORY[];  // "c:\"
extern const char DEFAULT_ALIAS_FILE[];       // "c:\autoexec.bat"
extern const char SETTINGS_NEW_SUFFIX[];      // ".new": the copy a write goes to first

// A switch counts as on in one of two ways, fixed per use: most only when
// they are exactly 1; Tooltips, TrayIcon and AutoHide whenever they are not 0,
// and so is CheckAlias where it decides whether the alias file is read.
inline int isOnWhenOne(int32_t value) { return value == 1; }
inline int isOnWhenNotZero(int32_t value) { return value != 0; }

// The six switches bound, in this order, to check boxes 1058 to 1063.
enum { SWITCH_COUNT = 6 };
int32_t* settingsSwitch(Settings* s, int index);

// A profile file as the settings rules see it.
struct ProfileStore {
    void* context;
    // Copies the key's text, or fallback when missing, into out (always terminated).
    void (*readText)(void* context, const char* section, const char* key, const char* fallback,
                     char* out, size_t capacity);
    // The key read as an integer, or fallback when missing (the platform's reading).
    uint32_t (*readInt)(void* context, const char* section, const char* key, int32_t fallback);
    // 0 when the value could not be written.
    int (*writeText)(void* context, const char* section, const char* key, const char* value);
};

// Answers the shell resolution needs from the platform.
struct ShellQuery {
    void* context;
    int (*readComspec)(void* context, char* out, size_t capacity);  // nonzero when set
    int (*isNtPlatform)(void* context);
};

// Executable path -> settings file and history file paths (lower case, every
// ".exe" replaced by ".ini", then every ".ini" by ".his").
void derivePathsFrom(const char* exePath, char* ini, char* history);

// Reads every [Setup] key; s->BaseDir must hold the start directory chosen at
// start-up, which serves as the default of BaseDir. Resolves the shell program.
void readSettingsFrom(Settings* s, const ProfileStore* profile, const ShellQuery* shell);

// Writes every [Setup] key except Shell, in the fixed order; 1 when every
// key was written.
int writeSettingsTo(const Settings* s, const ProfileStore* profile);

// "Die Einstellungen konnten nicht in <path> gespeichert werden. ..."; 0 when
// it did not fit.
enum { SETTINGS_MESSAGE_CAPACITY = 512 };
int settingsNotSavedMessage(const char* path, char* out, size_t capacity);

// The command bar's place: outer left and top edge and width, in pixels, as
// [Geometry] stores them; and a rectangle of the screen.
struct BarPlace {
    int left, top, width;
};
struct ScreenArea {
    int left, top, right, bottom;
};

// Where the bar goes, whatever [Geometry] says or where it was dragged to: a
// width outside minWidth .. the area's width becomes the nearest of the two,
// then the bar (of the given height) is moved into the area, its left and top
// edge winning where it cannot fit. Used before the bar is shown and before
// its place is stored, so that the next start finds it too.
BarPlace fitBarInto(BarPlace wanted, int height, int minWidth, ScreenArea area);

// Profile integers keep their low 16 bits, unsigned.
inline uint16_t low16(uint32_t value) { return (uint16_t)(value & 0xFFFFu); }

#endif

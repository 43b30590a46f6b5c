// Settings through GetPrivateProfileStringA/IntA and WritePrivateProfileStringA.
#include "settings_win32.h"

#include "../base/textutil.h"
#include "../base/winutil_win32.h"

static const char* profilePath(void* context) { return static_cast<const char*>(context); }

static void profileReadText(void* context, const char* section, const char* key,
                            const char* fallback, char* out, size_t capacity) {
    GetPrivateProfileStringA(section, key, fallback, out, (DWORD)capacity, profilePath(context));
}

static uint32_t profileReadInt(void* context, const char* section, const char* key,
                               int32_t fallback) {
    return GetPrivateProfileIntA(section, key, fallback, profilePath(context));
}

static int profileWriteText(void* context, const char* section, const char* key,
                            const char* value) {
    return WritePrivateProfileStringA(section, key, value, profilePath(context)) != 0;
}

// Writes to a copy of the settings file: begun by beginUpdate, written
// through the store, put in place (or dropped) by finishUpdate.
struct SettingsUpdate {
    char newPath[PATH_CAPACITY + 4];  // iniPath + ".new"
    int ready;  // the copy is there and writable
};

// The failure going on has been told (see tellSettingsNotSaved).
static int notSavedTold;

static void beginUpdate(SettingsUpdate* update) {
    update->ready = copyText(update->newPath, sizeof update->newPath, iniPath) &&
                    appendText(update->newPath, sizeof update->newPath, SETTINGS_NEW_SUFFIX);
    if (!update->ready) return;
    // A copy left by a crash goes; a copy of a read-only file would be read-only.
    SetFileAttributesA(update->newPath, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(update->newPath);
    if (GetFileAttributesA(iniPath) == INVALID_FILE_ATTRIBUTES) return;  // a new file
    update->ready = CopyFileA(iniPath, update->newPath, FALSE) &&
                    SetFileAttributesA(update->newPath, FILE_ATTRIBUTE_NORMAL);
}

// written: every key reached the copy. 1 when the copy took the file's place.
static int finishUpdate(SettingsUpdate* update, int written) {
    // Windows 95 and 98 keep profile writes in a cache until told to flush.
    if (update->ready && written) WritePrivateProfileStringA(0, 0, 0, update->newPath);
    int done = update->ready && written && replaceFileWith(update->newPath, iniPath);
    if (!done) DeleteFileA(update->newPath);
    if (done) notSavedTold = 0;
    return done;
}

// A ProfileStore on the profile file at path (which must outlive the store).
static ProfileStore profileFileStore(const char* path) {
    ProfileStore store = {const_cast<char*>(path), profileReadText, profileReadInt,
                          profileWriteText};
    return store;
}

static int readComspec(void*, char* out, size_t capacity) {
    DWORD n = GetEnvironmentVariableA("COMSPEC", out, (DWORD)capacity);
    if (n == 0 || n >= capacity) {  // unset, or too long to be used whole
        out[0] = '\0';
        return 0;
    }
    return 1;
}

static int isNtPlatform(void*) {
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// The platform's answers for the shell program: COMSPEC and the NT test.
static ShellQuery platformShellQuery() {
    ShellQuery query = {0, readComspec, isNtPlatform};
    return query;
}

void deriveSettingsPaths(HINSTANCE instance) {
    char exePath[PATH_CAPACITY];
    modulePath(instance, exePath, sizeof exePath);  // no usable path: no files
    derivePathsFrom(exePath, iniPath, historyPath);
}

void readSettings() {
    ProfileStore store = profileFileStore(iniPath);
    ShellQuery query = platformShellQuery();
    readSettingsFrom(&settings, &store, &query);
}

int writeSettings() {
    SettingsUpdate update;
    beginUpdate(&update);
    ProfileStore store = profileFileStore(update.newPath);
    return finishUpdate(&update, update.ready && writeSettingsTo(&settings, &store));
}

static int writeGeometry(const char* file, const char* key, int value) {
    char text[INT_TEXT_CAPACITY];
    return WritePrivateProfileStringA(GEOMETRY_SECTION, key, intToText(value, text), file) != 0;
}

static int storedGeometry(const char* key) {
    return (int)GetPrivateProfileIntA(GEOMETRY_SECTION, key, -1, iniPath);
}

int writeBarPlace(BarPlace place, int withWidth) {
    // The bar stores its place whenever it is laid out, at every start too: a
    // place already stored is not written again, so that a settings file made
    // read-only on purpose is only reported when the bar was really moved.
    if (storedGeometry("Left") == place.left && storedGeometry("Top") == place.top &&
        (!withWidth || storedGeometry("Width") == place.width))
        return 1;
    SettingsUpdate update;
    beginUpdate(&update);
    int written = update.ready && writeGeometry(update.newPath, "Left", place.left) &&
                  writeGeometry(update.newPath, "Top", place.top) &&
                  (!withWidth || writeGeometry(update.newPath, "Width", place.width));
    return finishUpdate(&update, written);
}

void tellSettingsNotSaved(HWND owner) {
    if (notSavedTold) return;
    char text[SETTINGS_MESSAGE_CAPACITY];
    settingsNotSavedMessage(iniPath, text, sizeof text);
    notSavedTold = 1;
    showWarning(owner, text);
}

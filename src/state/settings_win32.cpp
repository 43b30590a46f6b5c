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
    ProfileStore store = profileFileStore(iniPath);
    return writeSettingsTo(&settings, &store);
}

// Entry point of pexor.exe.
#include <windows.h>

#include "../interp/textutil.h"
#include "../state/settings_win32.h"
#include "mainwindow.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    instanceHandle = instance;
    deriveSettingsPaths(instance);
    copyText(settings.BaseDir, sizeof settings.BaseDir, DEFAULT_START_DIRECTORY);
    readSettings();
    return 0;
}

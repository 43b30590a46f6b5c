// The settings record against the real profile (.ini) API.
#ifndef PEXOR_SETTINGS_WIN32_H
#define PEXOR_SETTINGS_WIN32_H

#include <windows.h>

#include "settings.h"

// Settings file and history file from the running executable's path.
void deriveSettingsPaths(HINSTANCE instance);
// Every [Setup] key of iniPath into settings; settings.BaseDir must hold the
// start directory. Resolves the shell program into settings.Shell.
void readSettings();
// Every [Setup] key except Shell into iniPath; 1 when all were written.
int writeSettings();

#endif

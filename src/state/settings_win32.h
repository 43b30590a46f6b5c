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

// The command bar's place into [Geometry] (Left and Top, with withWidth also
// Width); 1 when written or already stored.
int writeBarPlace(BarPlace place, int withWidth);

// Both write the file so that a crash at any moment leaves the old one or the
// new one, never a cut one: the profile service rewrites a whole file in
// place, so it writes a copy (iniPath + ".new"), which then takes the file's
// place in one step. What else the file holds (Shell, written by hand)
// stays. A failure (read-only file or folder) leaves the file as it was.

// Tells the user in a box owned by owner that the settings file could not be
// written; once for a run of failures, as for the history: the next write
// that succeeds ends the run.
void tellSettingsNotSaved(HWND owner);

#endif

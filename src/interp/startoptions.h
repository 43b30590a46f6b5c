// The command-line option "-p <directory>" and the check of a start
// directory handed over by a second instance. Portable: no <windows.h>.
#ifndef PEXOR_STARTOPTIONS_H
#define PEXOR_STARTOPTIONS_H

#include <stddef.h>

// What became of the last "-p" value; all but START_OPTIONS_USED are told.
enum StartOptionsResult {
    START_DIRECTORY_TOO_LONG = 0,  // longer than PATH_CAPACITY - 1 characters
    START_OPTIONS_USED = 1,        // used, missing (dropped silently) or none given
    START_DIRECTORY_UNUSABLE = 2   // holds "?": no path can, and a character the
                                   // code page lacks arrives as one
};

// Scans the command line for "-p"/"/p" (any case, anywhere, repeatable) and
// copies the last value into startDirectory (PATH_CAPACITY bytes). A value
// naming no existing path leaves it empty, and so does one the result says is
// too long or unusable, so that the user can be told.
StartOptionsResult parseStartOptions(const char* commandLine, char* startDirectory,
                                     int (*pathExists)(const char* path));

// A whole command line (as GetCommandLine gives it) without the program's
// name: what follows the closing quote of a quoted name, or the first blank
// or tab, with the blanks and tabs after it; as WinMain gets it.
const char* skipProgramName(const char* commandLine);

// Trims the line end of a line read from the hand-off file and accepts only
// "cd " followed by a path of printable characters of at most PATH_CAPACITY - 1
// characters. Anyone who can write the temp directory can write that file, so
// nothing else may be run from it.
int acceptHandOffLine(char* line);

// The hand-off line for directory into line ("cd " + directory); 0 when the
// running instance would refuse it (or it does not fit capacity).
int makeHandOffLine(const char* directory, char* line, size_t capacity);

extern const char HAND_OFF_FILE_NAME[];  // "pexorcd.tmp"

#endif

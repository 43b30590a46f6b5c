// The command-line option "-p <directory>" and the check of a start
// directory handed over by a second instance. Portable: no <windows.h>.
#ifndef PEXOR_STARTOPTIONS_H
#define PEXOR_STARTOPTIONS_H

#include <stddef.h>

// Scans the command line for "-p"/"/p" (any case, anywhere, repeatable) and
// copies the last value into startDirectory (PATH_CAPACITY bytes, at most 259
// characters kept). A value naming no existing path leaves it empty.
void parseStartOptions(const char* commandLine, char* startDirectory,
                       int (*pathExists)(const char* path));

// Trims the line end of a line read from the hand-off file and accepts only
// "cd " followed by a path of printable characters that fits a command line.
// Anyone who can write the temp directory can write that file, so nothing
// else may be run from it.
int acceptHandOffLine(char* line);

extern const char HAND_OFF_FILE_NAME[];  // "pexorcd.tmp"

#endif

// The command-line option "-p <directory>" and the check of a start
// directory handed over by a second instance. Portable: no <windows.h>.
#ifndef PEXOR_STARTOPTIONS_H
#define PEXOR_STARTOPTIONS_H

#include <stddef.h>

// Scans the command line for "-p"/"/p" (any case, anywhere, repeatable) and
// copies the last value into startDirectory (PATH_CAPACITY bytes). A value
// naming no existing path leaves it empty; so does one longer than
// PATH_CAPACITY - 1 characters, and then the result is 0 (else 1), so that
// the user can be told.
int parseStartOptions(const char* commandLine, char* startDirectory,
                      int (*pathExists)(const char* path));

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

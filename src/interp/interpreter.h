// Interpretation of one command line: what it asks for, decided without
// touching the system. The Win32 side (interpreter_win32) performs the
// request that comes out of interpretLine.
#ifndef PEXOR_INTERPRETER_H
#define PEXOR_INTERPRETER_H

#include <stddef.h>

#include "../state/settings.h"
#include "macrotable.h"

enum {
    LINE_CAPACITY = 260,                    // MAX_PATH: a full path typed alone fits
    DRIVE_COUNT = 26,                       // a to z
    MESSAGE_CAPACITY = 300,                 // a system text about an error, as showSystemError holds it
    OWN_LINE_CAPACITY = 3 + PATH_CAPACITY  // "cd " and the longest directory
};

// ExecResult: EXEC_DONE when the line was carried out, needed nothing or its
// failure was already reported; EXEC_CLOSE when it asks to close the program,
// which is the caller's to do; otherwise an error code for execErrorText.
enum {
    EXEC_DONE = -1,
    EXEC_CLOSE = -2,
    EXEC_LINE_TOO_LONG = 206  // the line would not fit a buffer; nothing was run
};

// Per drive a to z: the directory last set on it by CD, without drive letter
// and colon, lower case ("\" for the root); empty while none was set.
typedef char DriveDirectoryTable[DRIVE_COUNT][PATH_CAPACITY];
extern DriveDirectoryTable driveDirectoryTable;

// Built-in commands of the command interpreter program, upper case.
enum { INTERNAL_COMMAND_COUNT = 32 };
extern const char* const InternalCommandTable[INTERNAL_COMMAND_COUNT];

// What interpretation needs to know: settings, tables and two questions
// about the file system.
struct InterpreterEnv {
    const Settings* settings;       // CheckAlias, CheckInternal, Exit; Shell is the shell program
    const MacroEntry* macros;
    const DriveDirectoryTable* drives;
    void* context;                  // handed to both queries
    int (*isDirectory)(void* context, const char* path);
    // Path of the program that opens ".html" files; 0 when there is none.
    int (*findBrowser)(void* context, char* path, size_t capacity);
};

enum RequestKind {
    REQUEST_NOTHING,           // empty line, bare CD, or EXIT while Exit is off
    REQUEST_CHANGE_DIRECTORY,  // CD: parameters hold the directory, unquoted
    REQUEST_CLOSE,             // EXIT while Exit is 1
    REQUEST_EXECUTE,           // shell-execute verb, program, parameters
    REQUEST_TOO_LONG           // a rewrite would not fit its buffer; nothing to do
};

struct Request {
    RequestKind kind;
    const char* verb;  // "open" or "explore", for REQUEST_EXECUTE
    char program[WORD_CAPACITY];
    char parameters[PARAMETER_CAPACITY];
};

// line: the caller's buffer of lineCapacity bytes. A drive switch ("c:") is
// rewritten in place into its CD line; nothing else changes the line, and a
// drive switch that would not fit leaves it unchanged (REQUEST_TOO_LONG).
void interpretLine(char* line, size_t lineCapacity, const InterpreterEnv* env, Request* request);

// The program's own line "cd " + directory (the start directory, a directory
// handed over by a second start): interpreted like a typed one, but never
// expanded by the user's macros. A directory of up to PATH_CAPACITY - 1
// characters fits; a longer one gives REQUEST_TOO_LONG.
void interpretChangeDirectory(const char* directory, const InterpreterEnv* env, Request* request);

// After a successful change of directory: folds current (the full current
// directory) to lower case in place and stores it in its drive's slot. A path
// without a drive letter (\\server\share) leaves the table unchanged.
void rememberDirectory(DriveDirectoryTable* drives, char* current);

// The per-drive environment variable a change to dir records ("=C:"), into
// name (4 bytes). 0 for a path that begins with two slashes or backslashes,
// or has no drive letter.
int driveVariableName(const char* dir, char* name);

// The German text for an error code that interpretation returned.
const char* execErrorText(int code);

#endif

// Start options and the hand-off line.
#include "startoptions.h"

#include <string.h>

#include "../base/textutil.h"
#include "interpreter.h"

const char HAND_OFF_FILE_NAME[] = "pexorcd.tmp";

static int isQuote(char c) { return c == '"' || c == '\''; }

// Reads one option value starting at p (just after the letter p); returns
// where the scan goes on, and in *result what became of the value.
static const char* readValue(const char* p, char* startDirectory,
                             int (*pathExists)(const char*), StartOptionsResult* result) {
    while (*p == ' ' || *p == '\t') ++p;
    const char* end;
    if (isQuote(*p)) {
        ++p;  // either quote closes, whichever opened
        end = p + strcspn(p, "\"'");
    } else {
        end = p + strcspn(p, " ");
    }
    // A cut value would name another place than the one asked for.
    *result = copyTextPart(startDirectory, PATH_CAPACITY, p, (size_t)(end - p))
                  ? START_OPTIONS_USED
                  : START_DIRECTORY_TOO_LONG;
    if (*result == START_OPTIONS_USED && strchr(startDirectory, '?') != 0)
        *result = START_DIRECTORY_UNUSABLE;
    if (*result != START_OPTIONS_USED || (startDirectory[0] != '\0' && !pathExists(startDirectory)))
        startDirectory[0] = '\0';
    return end;
}

StartOptionsResult parseStartOptions(const char* commandLine, char* startDirectory,
                                     int (*pathExists)(const char*)) {
    startDirectory[0] = '\0';
    StartOptionsResult result = START_OPTIONS_USED;
    const char* p = commandLine;
    while (*p != '\0') {
        if ((p[0] == '-' || p[0] == '/') && (p[1] == 'p' || p[1] == 'P'))
            p = readValue(p + 2, startDirectory, pathExists, &result);
        else
            ++p;
    }
    return result;
}

const char* skipProgramName(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        p = strchr(p + 1, '"');
        p = p != 0 ? p + 1 : commandLine + strlen(commandLine);
    } else {
        p += strcspn(p, " \t");
    }
    return p + strspn(p, " \t");
}

int acceptHandOffLine(char* line) {
    size_t length = strlen(line);
    while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r'))
        line[--length] = '\0';
    if (length >= OWN_LINE_CAPACITY || strncmp(line, "cd ", 3) != 0 || length == 3) return 0;
    for (size_t i = 3; i < length; ++i)
        if ((unsigned char)line[i] < 0x20 || line[i] == 0x7F) return 0;
    return 1;
}

int makeHandOffLine(const char* directory, char* line, size_t capacity) {
    return copyText(line, capacity, "cd ") && appendText(line, capacity, directory) &&
           acceptHandOffLine(line);
}

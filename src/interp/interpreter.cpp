// Command line interpretation: shell prefix, drive switch, program word and
// parameters, macros, URLs, CD, EXIT and the built-in commands that only the
// command interpreter program knows.
#include "interpreter.h"

#include <string.h>

#include "../base/textutil.h"

DriveDirectoryTable driveDirectoryTable;

const char* const InternalCommandTable[INTERNAL_COMMAND_COUNT] = {
    "BREAK", "CALL", "CHDIR",  "CLS",    "COPY",   "CTTY", "DATE", "DEL",
    "DELETE", "ERASE", "DIR",  "ECHO",   "FOR",    "GOTO", "IF",   "MD",
    "MKDIR", "PATH", "PAUSE",  "PROMPT", "RD",     "RMDIR", "REM", "REN",
    "RENAME", "SET", "TYPE",   "VER",    "VERIFY", "VOL",  "SHIFT", "TIME",
};

static int isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
static char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c + 0x20) : c; }

static int isInternalCommand(const char* upper) {
    for (int i = 0; i < INTERNAL_COMMAND_COUNT; ++i)
        if (strcmp(upper, InternalCommandTable[i]) == 0) return 1;
    return 0;
}

static int isUrl(const char* upper) {
    return strncmp(upper, "HTTP://", 7) == 0 || strncmp(upper, "FTP://", 6) == 0 ||
           strncmp(upper, "WWW.", 4) == 0 || strncmp(upper, "FTP.", 4) == 0;
}

// "c:" alone becomes "cd c:" plus the directory remembered for that drive, or
// "cd c:\" when there is none. 0 when the rewrite does not fit.
static int rewriteDriveSwitch(char* line, size_t capacity, const DriveDirectoryTable* drives) {
    const char* slot = (*drives)[asciiLower(line[0]) - 'a'];
    char rewritten[LINE_CAPACITY];
    copyText(rewritten, sizeof rewritten, "cd ");
    appendText(rewritten, sizeof rewritten, line);
    if (!appendText(rewritten, sizeof rewritten, slot[0] != '\0' ? slot : "\\")) return 0;
    if (strlen(rewritten) >= capacity) return 0;
    copyText(line, capacity, rewritten);
    return 1;
}

// The command interpreter program runs the request instead: the parameters
// become " /c " + program + " " + parameters.
static int wrapInShell(Request* r, const char* shell) {
    char wrapped[PARAMETER_CAPACITY];
    copyText(wrapped, sizeof wrapped, " /c ");
    int fits = appendText(wrapped, sizeof wrapped, r->program) &&
               appendText(wrapped, sizeof wrapped, " ") &&
               appendText(wrapped, sizeof wrapped, r->parameters);
    if (!fits) return 0;
    copyText(r->parameters, sizeof r->parameters, wrapped);
    copyText(r->program, sizeof r->program, shell);
    return 1;
}

// Program word and parameter text; 0 when either would not fit.
static int splitLine(const char* p, Request* r) {
    const char* end;
    if (*p == '"') {
        ++p;
        end = strchr(p, '"');
        if (end == 0) end = p + strlen(p);
        if (!copyTextPart(r->program, sizeof r->program, p, (size_t)(end - p))) return 0;
        p = *end == '"' ? end + 1 : end;
    } else {
        end = strchr(p, ' ');
        if (end == 0) end = p + strlen(p);
        if (!copyTextPart(r->program, sizeof r->program, p, (size_t)(end - p))) return 0;
        p = end;
    }
    while (*p == ' ') ++p;
    return copyText(r->parameters, sizeof r->parameters, p);
}

// The directory of a CD line, as cmd takes it: blanks and tabs around it and
// one pair of double quotes enclosing it do not belong to it.
static void cdDirectory(char* text) {
    trimRight(text);
    trimLeft(text);
    size_t length = strlen(text);
    if (length >= 2 && text[0] == '"' && text[length - 1] == '"') {
        memmove(text, text + 1, length - 2);
        text[length - 2] = '\0';
    }
}

static void tooLong(Request* r) {
    r->kind = REQUEST_TOO_LONG;
    r->program[0] = '\0';
    r->parameters[0] = '\0';
}

void interpretLine(char* line, size_t lineCapacity, const InterpreterEnv* env, Request* r) {
    const Settings* s = env->settings;
    r->kind = REQUEST_NOTHING;
    r->verb = "open";
    r->program[0] = '\0';
    r->parameters[0] = '\0';

    char* p = line;
    while (*p == ' ') ++p;  // tabs are not stepped over

    int shellPrefix = 0;
    if (*p == '!') {
        shellPrefix = 1;
        ++p;
        while (*p == ' ') ++p;
    } else if (isAsciiLetter(p[0]) && p[1] == ':' && p[2] == '\0') {
        if (!rewriteDriveSwitch(p, lineCapacity - (size_t)(p - line), env->drives))
            return tooLong(r);
    }

    if (*p == '\0') {
        if (!shellPrefix) return;
        copyText(r->program, sizeof r->program, s->Shell);  // "!" alone: a bare command prompt
        shellPrefix = 0;
    } else if (!splitLine(p, r)) {
        return tooLong(r);
    }
    if (r->program[0] == '\0') return;

    // Keyword tests see an upper-case copy; a sharp s grows into "SS", and the
    // copy has room for that even in a word of full length.
    char upper[2 * WORD_CAPACITY];
    copyText(upper, sizeof upper, r->program);
    toUpper(upper, sizeof upper, COLUMN_CP1252);

    if (isOnWhenOne(s->CheckAlias)) {
        int expanded = expandMacro(env->macros, upper, r->parameters);
        if (expanded == EXPAND_TOO_LONG) return tooLong(r);
        if (expanded == EXPAND_DONE) copyText(r->program, sizeof r->program, upper);
    }

    if (isUrl(upper)) {
        char browser[PATH_CAPACITY];
        if (env->findBrowser(env->context, browser, sizeof browser)) {
            copyText(r->parameters, sizeof r->parameters, r->program);  // words after the URL are dropped
            copyText(r->program, sizeof r->program, browser);
        }
    }

    if (strcmp(upper, "CD") == 0) {
        cdDirectory(r->parameters);
        // A bare "cd" asks for nothing here: there is no console to show the
        // current directory in.
        r->kind = r->parameters[0] != '\0' ? REQUEST_CHANGE_DIRECTORY : REQUEST_NOTHING;
        return;
    }
    if (strcmp(upper, "EXIT") == 0) {
        r->kind = isOnWhenOne(s->Exit) ? REQUEST_CLOSE : REQUEST_NOTHING;
        return;
    }
    if (shellPrefix && !wrapInShell(r, s->Shell)) return tooLong(r);
    // Independent of the prefix: "!dir" is wrapped twice.
    if (isOnWhenOne(s->CheckInternal) && isInternalCommand(upper) && !wrapInShell(r, s->Shell))
        return tooLong(r);

    r->verb = env->isDirectory(env->context, r->program) ? "explore" : "open";
    r->kind = REQUEST_EXECUTE;
}

void interpretChangeDirectory(const char* directory, const InterpreterEnv* env, Request* request) {
    char line[OWN_LINE_CAPACITY];
    InterpreterEnv own = *env;
    own.macros = 0;  // the user's macros are for typed lines
    if (!copyText(line, sizeof line, "cd ") || !appendText(line, sizeof line, directory)) {
        request->kind = REQUEST_TOO_LONG;
        request->program[0] = request->parameters[0] = '\0';
        return;
    }
    interpretLine(line, sizeof line, &own, request);
}

void rememberDirectory(DriveDirectoryTable* drives, char* current) {
    toLower(current, COLUMN_CP1252);
    if (!isAsciiLetter(current[0]) || current[1] != ':') return;
    copyText((*drives)[current[0] - 'a'], PATH_CAPACITY, current + 2);
}

static int isSlash(char c) { return c == '\\' || c == '/'; }

int driveVariableName(const char* dir, char* name) {
    if (isSlash(dir[0]) && isSlash(dir[1])) return 0;
    if (!isAsciiLetter(dir[0]) || dir[1] != ':') return 0;
    name[0] = '=';
    name[1] = (char)(asciiLower(dir[0]) - 0x20);
    name[2] = ':';
    name[3] = '\0';
    return 1;
}

struct ErrorText {
    int code;
    const char* text;
};

static const ErrorText ErrorTable[] = {
    {0, "Dem Betriebssystem stehen nicht genügend Ressourcen oder Hauptspeicher zur Verfügung."},
    {2, "Die angegebene Datei ist nicht vorhanden."},
    {3, "Der angegebene Pfad existiert nicht."},
    {5, "Zugriff zur angegebenen Datei verweigert."},
    {8, "Es fehlt Hauptspeicher zur Durchführung der Operation."},
    {11, "Das .EXE Dateiformat ist ungültig (kein Win32 .EXE oder ein Fehler im .EXE)."},
    {26, "Die Datei wird bereits durch eine andere Anwendung exklusiv verwendet."},
    {27, "Für die angegebene Datei fehlt die Verknüpfung."},
    {28, "Die DDE-Verknüpfung konnte aufgrund einer Zeitüberschreitung nicht aufgebaut werden."},
    {29, "Die DDE-Transaktion schlug fehl."},
    {30, "Die DDE-Verbindung konnte aufgrund anderer DDE-Transaktionen nicht aufgebaut werden."},
    {31, "Für die angegebene Dateierweiterung existiert keine Dateiverknüpfung."},
    {32, "Die angegebene DLL wurde nicht gefunden."},
    {EXEC_LINE_TOO_LONG, "Die Befehlszeile ist zu lang und wurde nicht ausgeführt."},
};

const char* execErrorText(int code) {
    for (size_t i = 0; i < sizeof ErrorTable / sizeof ErrorTable[0]; ++i)
        if (ErrorTable[i].code == code) return ErrorTable[i].text;
    return "Unbekannter Fehler...";
}

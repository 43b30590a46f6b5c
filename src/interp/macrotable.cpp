// DOSKEY macro expansion: "$*" is the whole parameter text, "$1" to "$9" the
// blank-separated parameters.
#include "macrotable.h"

#include <string.h>

#include "../base/textutil.h"

MacroEntry* macroTable = 0;

// Room for the body's rest while the codes are replaced; a text that only
// shrinks back below PARAMETER_CAPACITY in a later step is still accepted.
enum { EXPANSION_SCRATCH = 2048 };

void nthParameter(const char* text, int n, char* out, size_t capacity) {
    const char* p = text;
    for (int i = 1;; ++i) {
        while (*p == ' ') ++p;
        if (*p == '\0') break;
        const char* end = p;
        while (*end != '\0' && *end != ' ') ++end;
        if (i == n) {
            copyTextPart(out, capacity, p, (size_t)(end - p));
            return;
        }
        p = end;
    }
    copyText(out, capacity, "");
}

static const MacroEntry* findMacro(const MacroEntry* table, const char* word) {
    for (const MacroEntry* e = table; e != 0; e = e->next)
        if (strcmp(e->name, word) == 0) return e;
    return 0;
}

int expandMacro(const MacroEntry* table, char* word, char* parameters) {
    const MacroEntry* entry = findMacro(table, word);
    if (entry == 0) return EXPAND_NONE;

    // The body's program word runs up to the first blank or tab; the rest keeps
    // that blank or tab.
    size_t wordLength = strcspn(entry->body, " \t");
    if (wordLength >= WORD_CAPACITY) return EXPAND_TOO_LONG;

    char rest[EXPANSION_SCRATCH];
    if (!copyText(rest, sizeof rest, entry->body + wordLength)) return EXPAND_TOO_LONG;
    if (!replaceAll(rest, sizeof rest, "$*", parameters)) return EXPAND_TOO_LONG;
    char code[3] = {'$', '0', '\0'};
    for (int n = 1; n <= 9; ++n) {
        code[1] = (char)('0' + n);
        if (strstr(rest, code) == 0) continue;
        char parameter[PARAMETER_CAPACITY];
        nthParameter(parameters, n, parameter, sizeof parameter);
        if (!replaceAll(rest, sizeof rest, code, parameter)) return EXPAND_TOO_LONG;
    }
    if (strlen(rest) >= PARAMETER_CAPACITY) return EXPAND_TOO_LONG;

    copyTextPart(word, WORD_CAPACITY, entry->body, wordLength);
    copyText(parameters, PARAMETER_CAPACITY, rest);
    return EXPAND_DONE;
}

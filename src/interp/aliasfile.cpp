// Reading the alias file: every line that mentions DOSKEY and names a macro
// with a body adds one entry at the tail of the macro table.
#include "aliasfile.h"

#include <stdlib.h>
#include <string.h>

#include "../base/textutil.h"
#include "../state/settings.h"

void* (*macroAllocate)(size_t size) = malloc;

static const char DOSKEY[] = "DOSKEY";

static char* skipBlanksAndTabs(char* p) {
    while (isBlankOrTab(*p)) ++p;
    return p;
}

int parseAliasLine(const char* line, AliasDefinition* definition) {
    char* text = definition->text;
    definition->name = definition->body = "";
    copyTextPart(text, sizeof definition->text, line, ALIAS_LINE_LENGTH);
    // The buffer holds the worst case, every character a sharp s: no refusal.
    toUpper(text, sizeof definition->text, COLUMN_CP1252);
    trimLeft(text);
    if (strncmp(text, "REM ", 4) == 0) return 0;  // "REM" and a tab is no comment

    char* p = strstr(text, DOSKEY);
    if (p == 0) return 0;
    p += sizeof DOSKEY - 1;
    while (*p != '\0' && !isBlankOrTab(*p)) ++p;  // "DOSKEY.COM" is passed as a whole
    p = skipBlanksAndTabs(p);
    if (*p == '\0') return 0;

    char* name = p;
    while (*p != '\0' && !isBlankOrTab(*p) && *p != '=') ++p;
    char* nameEnd = p;
    while (isBlankOrTab(*p) || *p == '=') ++p;
    char* body = p;
    body[strcspn(body, "\r\n")] = '\0';
    trimRight(body);
    // Only now: the byte after the name may be where an empty body begins.
    *nameEnd = '\0';
    if (name[0] == '\0' || body[0] == '\0') return 0;
    definition->name = name;
    definition->body = body;
    return 1;
}

// An exactly sized copy, or a null pointer when there is no memory for it.
static char* copyOf(const char* text) {
    size_t size = strlen(text) + 1;
    char* copy = (char*)macroAllocate(size);
    if (copy != 0) memcpy(copy, text, size);
    return copy;
}

int readMacroDefinitions(MacroEntry** table, FILE* file) {
    MacroEntry** tail = table;
    while (*tail != 0) tail = &(*tail)->next;

    char line[ALIAS_LINE_CAPACITY];
    AliasDefinition definition;
    while (fgets(line, (int)sizeof line, file) != 0) {
        // The rest of a longer line belongs to it and is passed over: text in
        // a long REM line must not turn into a line of its own.
        size_t length = strlen(line);
        if (length == ALIAS_LINE_LENGTH && line[length - 1] != '\n') {
            int c;
            do c = fgetc(file);
            while (c != EOF && c != '\n');
        }
        if (!parseAliasLine(line, &definition)) continue;
        char* name = copyOf(definition.name);
        if (name == 0) continue;
        char* body = copyOf(definition.body);
        if (body == 0) {
            free(name);
            continue;
        }
        MacroEntry* entry = (MacroEntry*)macroAllocate(sizeof *entry);
        if (entry == 0) {
            free(name);
            free(body);
            return 0;
        }
        entry->name = name;
        entry->body = body;
        entry->next = 0;
        *tail = entry;
        tail = &entry->next;
    }
    return 1;
}

void loadMacroTableFrom(MacroEntry** table, const char* path, int32_t checkAlias) {
    freeMacroTableAt(table);
    if (path[0] == '\0' || !isOnWhenNotZero(checkAlias)) return;
    FILE* file = fopen(path, "r");  // text mode: a CR LF line end reads as LF
    if (file == 0) return;
    readMacroDefinitions(table, file);
    fclose(file);
}

void freeMacroTableAt(MacroEntry** table) {
    MacroEntry* entry = *table;
    while (entry != 0) {
        MacroEntry* next = entry->next;
        free(entry->name);
        free(entry->body);
        free(entry);
        entry = next;
    }
    *table = 0;
}

void loadMacroTable() { loadMacroTableFrom(&macroTable, settings.AliasFile, settings.CheckAlias); }

void freeMacroTable() { freeMacroTableAt(&macroTable); }

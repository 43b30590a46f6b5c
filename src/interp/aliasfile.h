// The alias-file reader: fills the macro table from the DOSKEY lines of a
// batch file (by default c:\autoexec.bat), so that the macros the user keeps
// for the command prompt work in the command bar as well.
#ifndef PEXOR_ALIASFILE_H
#define PEXOR_ALIASFILE_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include "macrotable.h"

enum {
    ALIAS_LINE_CAPACITY = 1024,                   // the read buffer
    ALIAS_LINE_LENGTH = ALIAS_LINE_CAPACITY - 1,  // characters read at a time
    // Upper-casing turns every sharp s into "SS", so a line of them doubles;
    // folding in a buffer of this size never has to cut anything.
    ALIAS_FOLD_CAPACITY = 2 * ALIAS_LINE_LENGTH + 1
};

// One line folded and cut into a macro definition; name and body point into
// text and are NUL-terminated there.
struct AliasDefinition {
    char text[ALIAS_FOLD_CAPACITY];
    const char* name;
    const char* body;
};

// line: one line as read from the file, a line end may follow. Only its first
// ALIAS_LINE_LENGTH characters are looked at, as many as one read delivers.
// Returns 1 when the line defines a macro: name and body are then upper case
// and not empty. 0 for a comment, a line without DOSKEY, or a definition
// without a name or without a body.
int parseAliasLine(const char* line, AliasDefinition* definition);

// Allocates names, bodies and entries; what it returns is released by free().
// malloc, unless a test puts a failing allocator in its place.
extern void* (*macroAllocate)(size_t size);

// Appends the definitions of every line of file at the tail of *table, in the
// order of the lines. Of a line longer than ALIAS_LINE_LENGTH only the first
// ALIAS_LINE_LENGTH characters are looked at; the rest is skipped. A name or body that cannot be copied
// drops its line and reading goes on; an entry that cannot be allocated stops
// reading. Returns 0 in that case (the entries read so far stay), else 1.
int readMacroDefinitions(MacroEntry** table, FILE* file);

// Empties *table, then fills it from the file at path, provided that path is
// not empty and checkAlias is not 0. A file that cannot be opened leaves the
// table empty; nothing is reported.
void loadMacroTableFrom(MacroEntry** table, const char* path, int32_t checkAlias);

// Releases every entry with its name and body; *table is empty afterwards.
void freeMacroTableAt(MacroEntry** table);

// The same for the process-wide macroTable, with settings.AliasFile and
// settings.CheckAlias. Called at start-up, after the properties dialog was
// confirmed, and (freeMacroTable) at exit.
void loadMacroTable();
void freeMacroTable();

#endif

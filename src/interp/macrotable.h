// The DOSKEY macro table and the expansion of a typed program word by it.
#ifndef PEXOR_MACROTABLE_H
#define PEXOR_MACROTABLE_H

#include <stddef.h>

enum { WORD_CAPACITY = 260, PARAMETER_CAPACITY = 300 };

// One macro: name and body are upper case and never empty; the name has no
// blanks, tabs or "="; the body no trailing blanks or tabs and no line ends.
struct MacroEntry {
    char* name;
    char* body;
    MacroEntry* next;
};

// Singly linked, in the order of the alias file's lines; the earlier of two
// entries with the same name wins every lookup.
extern MacroEntry* macroTable;

enum ExpandResult { EXPAND_NONE = 0, EXPAND_DONE = 1, EXPAND_TOO_LONG = -1 };

// word (in/out, WORD_CAPACITY bytes): the upper-cased program word.
// parameters (in/out, PARAMETER_CAPACITY bytes): the parameter text as typed.
// EXPAND_DONE: word holds the macro's program word, parameters the expanded
// text. EXPAND_NONE: no such macro. EXPAND_TOO_LONG: the expansion would not
// fit its buffer. With anything but EXPAND_DONE both texts are unchanged.
int expandMacro(const MacroEntry* table, char* word, char* parameters);

// The n-th blank-separated parameter (n from 1) of text, or an empty text.
void nthParameter(const char* text, int n, char* out, size_t capacity);

#endif

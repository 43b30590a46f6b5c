// The command history: the lines that ran, newest first, kept in the command
// bar's drop-down list and in the history file between runs, and searched by
// prefix with F8. The rules work on a HistoryList, so that the same code runs
// on the real combo box and on a list in memory.
//
// The list: entry 0 is always the empty string (selecting it empties the edit
// field) and is never stored; entries 1 .. count-1 are history lines, the
// newest at index 1. The file holds entries 1 .. count-1 in that order, each
// followed by CR LF, and nothing else. It is read and written in binary, so
// that a Ctrl-Z in a line is a byte like any other.
#ifndef PEXOR_HISTORY_H
#define PEXOR_HISTORY_H

#include <stddef.h>
#include <stdio.h>

#include "settings.h"

enum {
    HISTORY_LINE_CAPACITY = 260,                       // lastRunLine, historySearchText
    HISTORY_READ_CAPACITY = 1024,                      // one line of the file
    HISTORY_ENTRY_LENGTH = HISTORY_READ_CAPACITY - 1,  // longest entry loaded from the file
    HISTORY_MESSAGE_CAPACITY = 512                     // a message with a path in it
};

// The combo box (its item list and its edit field) as the history sees it.
// Indices count from 0; entry 0 is the empty one.
struct HistoryList {
    void* context;
    unsigned (*count)(void* context);
    // Copies entry index into out, cut to capacity - 1 bytes and terminated;
    // 0 when there is no such entry.
    int (*getText)(void* context, unsigned index, char* out, size_t capacity);
    // Inserts before index (index == count appends); 0 when index is beyond
    // the end or there is no room.
    int (*insertAt)(void* context, unsigned index, const char* text);
    void (*deleteAt)(void* context, unsigned index);
    int (*append)(void* context, const char* text);  // 0 when there is no room
    void (*reset)(void* context);                    // no entries, empty edit field
    // CB_SELECTSTRING: selects the first entry after start whose text begins
    // with prefix, letters compared without regard to case; the search goes on
    // at the top after the last entry and ends with start itself; start -1 (or
    // any start outside the list) searches the whole list from the top. The
    // selected entry's text shows in the edit field. Returns its index, or -1
    // with the selection left alone. findHistoryPrefix is the reference.
    int (*selectPrefix)(void* context, int start, const char* prefix);
};

// Where the history file lives, how a finished new copy takes its place, and
// whom to tell when it cannot be read or written.
struct HistoryFile {
    const char* path;  // HistoryPath
    void* context;
    // Puts the file newPath in the place of oldPath, which may be missing;
    // 1 when done. Refuses to replace a read-only file.
    int (*replace)(void* context, const char* newPath, const char* oldPath);
    // Shows the user a German message; null: nobody is told.
    void (*tell)(void* context, const char* message);
    // The file was there at start but could not be read. Until it has been
    // read (and its lines kept after the newer ones) it is never overwritten;
    // only clearing the history, which the user asked for, lifts this.
    int unread;
    // The failure going on has been told; the next success resets it, so one
    // message stands for a whole run of failed saves.
    int told;
};

// A save writes path + this suffix first; the old file stays until it is complete.
extern const char HISTORY_NEW_SUFFIX[];  // ".new"

extern char lastRunLine[HISTORY_LINE_CAPACITY];        // the line recordRunLine last put in
extern char historySearchText[HISTORY_LINE_CAPACITY];  // empty: the next F8 captures a prefix
extern int lastSearchHit;                              // index the last F8 selected

// Appends the lines of file (opened in binary) after the list's last entry
// until the list holds maxHistory lines. Every byte of a line is kept except
// NUL bytes and the line end (LF, or CR LF); a line longer than
// HISTORY_ENTRY_LENGTH bytes is one entry of its first HISTORY_ENTRY_LENGTH
// bytes. An empty list first gets its entry 0. 0 on a read error.
int loadHistoryFrom(const HistoryList* list, FILE* file, uint16_t maxHistory);

// Loads file->path after entry 0. A missing file is an empty history; a file
// that is there but cannot be read (locked, a folder, a read error) leaves
// the list as it was, sets file->unread and tells the user.
void loadHistoryFile(const HistoryList* list, HistoryFile* file, uint16_t maxHistory);

// Writes the list to path + HISTORY_NEW_SUFFIX, checks that every byte
// reached the file (the stream's error state and its size after a flush:
// fclose alone is not trusted to report a full disk), then lets
// file->replace put it in place. On any failure the new file is removed, the
// old one is left as it was and the user is told once. While file->unread
// is set nothing is written, nor for a list without its entry 0: that is no
// history but a combo box that is gone (the bar closed with the program),
// and saving it would empty the file. 1 when saved.
int saveHistoryFile(const HistoryList* list, HistoryFile* file);

// After a line ran (line: as the interpreter left it): unless it equals
// lastRunLine, drops the oldest lines so that the list keeps at most
// s->MaxHistory lines with it, inserts it at index 1, remembers it in
// lastRunLine and saves when s->SaveHistory is 1. A line with a line feed in
// it would come back as two lines: it is not recorded. Before a save, a file
// that could not be read at start is read now if it can be, its lines kept
// after the newer ones.
// MaxHistory 0 keeps no lines: the list shrinks to entry 0, the line is not
// inserted nor remembered, and the (then empty) list is saved as usual.
// Entry 0 is never deleted; an empty list first gets it back.
void recordRunLine(const HistoryList* list, const char* line, const Settings* s,
                   HistoryFile* file);

// After the properties dialog's OK: cuts the list to s->MaxHistory lines (the
// newest stay, entry 0 always) and saves when s->SaveHistory is 1, as
// recordRunLine does.
void trimHistory(const HistoryList* list, const Settings* s, HistoryFile* file);

// After the user answered Yes to "Möchten Sie wirklich die Historie löschen?"
// (the question is the caller's): only entry 0 remains, the edit field is
// empty, and the file is saved empty whatever SaveHistory says, also one that
// could not be read. lastRunLine and the search state stay as they are.
void clearHistory(const HistoryList* list, HistoryFile* file);

// F8. editText: the edit field's text now (used when a new search starts).
// Returns 1 when an entry was selected, 0 when the caller should sound
// MessageBeep(0): nothing matched (the search text is then forgotten) or
// there was nothing to search for.
int searchHistory(const HistoryList* list, const char* editText);

// Forgets the search text, so the next F8 captures the edit field anew.
void resetHistorySearch();

// The reference for HistoryList::selectPrefix, reading the list through
// count and getText: the index selectPrefix would select, or -1.
int findHistoryPrefix(const HistoryList* list, int start, const char* prefix);

// 1 when text begins with prefix, Windows-1252 letters compared without
// regard to case (ä matches Ä, é matches É; ß has no capital and matches
// only itself).
int beginsWithIgnoringCase(const char* text, const char* prefix);

#endif

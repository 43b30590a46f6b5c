// The properties dialog's decisions, free of Windows: the keys the global
// hotkey can use and their texts in the drop-down list, the bound on the
// history size, and where the file picker for the alias file starts.
#ifndef PEXOR_PROPERTIES_H
#define PEXOR_PROPERTIES_H

#include <stddef.h>
#include <stdint.h>

#include "settings.h"  // the range of MaxHistory

enum {
    HOTKEY_NAME_CAPACITY = 10,  // a name of at most 9 characters
    HOTKEY_KEY_COUNT = 64,      // rows before the empty end row
    // "Strg + Alt + " and a name
    HOTKEY_TEXT_CAPACITY = 13 + HOTKEY_NAME_CAPACITY,
    // "*.ext#*.ext#Alle Dateien (*.*)#*.*#" for an extension of up to 17 characters
    BROWSE_FILTER_CAPACITY = 64
};

// One key the hotkey can use: the name the list shows and its virtual-key code.
struct HotkeyKey {
    char name[HOTKEY_NAME_CAPACITY];
    uint16_t code;
};

// Row 0 is "keine" (code 0, no hotkey); a row with an empty name ends the table.
extern const HotkeyKey HotkeyKeyTable[HOTKEY_KEY_COUNT + 1];

// The drop-down list's text for a row: "keine" for row 0, otherwise
// "Strg + Alt + " and the row's name. Returns 0 (and an empty text) for a row
// outside the table or when the text does not fit.
int hotkeyRowText(int row, char* out, size_t capacity);

// The row whose code is code; row 0 ("keine") when no row has it.
int hotkeyRowOfCode(uint16_t code);

// The history size as stored after OK: the value the dialog showed stays as it
// is (a hand-set one above 999 too); a changed one is bounded, 0 becoming 1 and
// 1000 and more 999.
uint16_t boundMaxHistory(uint16_t typed, uint16_t shown);

// Where the file picker starts for the text in path (capacity bytes), which
// is cut in place:
// - empty: the name "*." + defaultExtension in defaultDirectory;
// - with a backslash or colon: the name after the last one, in the text before
//   it ("c:\x.bat" and "c:x.bat" give "c:\", "\x.bat" gives "\");
// - otherwise: the whole text as the name, in defaultDirectory.
// *directory points into path or is defaultDirectory. Returns 0 when the name
// had to be cut to fit fileName.
int browseStart(char* path, size_t capacity, const char* defaultExtension,
                const char* defaultDirectory, char* fileName, size_t fileNameCapacity,
                const char** directory);

// The picker's filter list: "*.ext", "*.ext", "Alle Dateien (*.*)", "*.*",
// each NUL-terminated, then one more NUL. Returns the bytes used, the final
// NUL included, or 0 when the list does not fit (out is then an empty list).
size_t browseFilter(const char* defaultExtension, char* out, size_t capacity);

#endif

// The properties dialog's decisions, free of Windows: the keys the global
// hotkey can use and their texts in the drop-down list, whether a key would
// take a character from the keyboard, the bound on the history size, and
// where the file picker for the alias file starts.
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
    // the question before a key takes a character, with the longest name
    HOTKEY_QUESTION_CAPACITY = 192,
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

// What the keyboard layout in use types, as the platform tells it for one
// Windows-1252 character: the virtual-key code of its key in the low byte and
// the shift state in the high byte (1 Shift, 2 Strg, 4 Alt); 0xFFFF when no
// key types it.
typedef uint16_t (*KeyScanFunction)(unsigned char character);

// AltGr is Strg+Alt, so a hotkey Strg+Alt+key receives every AltGr+key: the
// character that AltGr+key types (German keyboards: @ on Q, { [ ] } on 7 8 9 0)
// could no longer be typed in any program. This is the first character of
// 0x20 to 0xFF that keyScan finds on row's key with exactly Strg+Alt, when the
// user should be asked before the key is taken, and 0 otherwise: for "keine",
// for a key that types nothing with AltGr (one typed with Shift+AltGr is not
// taken, the hotkey wants Shift up), and for the key already in use
// (storedCode), whose character has been taken all along.
unsigned char hotkeyTakenCharacter(int row, uint16_t storedCode, KeyScanFunction keyScan);

// The question before row's key takes character: "Auf dieser Tastatur
// schreibt AltGr + Q das Zeichen @. ..." Returns 0 (and an empty text) when
// it does not fit.
int hotkeyQuestionText(int row, unsigned char character, char* out, size_t capacity);

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

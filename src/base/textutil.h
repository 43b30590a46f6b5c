// In-place operations on single-byte, NUL-terminated texts (Windows-1252 and
// three older 8-bit code pages for the German letters). Nothing here allocates.
//
// The operations that can make a text longer (insertAt, replaceAll, toUpper)
// take the capacity of the caller's buffer, counting the NUL. When the result
// would not fit they leave the text exactly as it was and return a null
// pointer, so that no caller can write past its buffer by accident.
#ifndef PEXOR_TEXTUTIL_H
#define PEXOR_TEXTUTIL_H

#include <stddef.h>
#include <stdint.h>

// Columns of the umlaut table: the 8-bit encodings case folding knows.
enum UmlautColumn {
    COLUMN_ROMAN8 = 0,     // HP Roman-8
    COLUMN_CP437 = 1,      // code page 437 / 850
    COLUMN_CP1252 = 2,     // Windows-1252 (ISO 8859-1), the one this program uses
    COLUMN_ISO646DE = 3    // ISO 646-DE (DIN 66003)
};

enum { UMLAUT_ROWS = 7, UMLAUT_COLUMNS = 4, INT_TEXT_CAPACITY = 12 };

// Rows 0-2: ä ö ü, rows 3-5: Ä Ö Ü, row 6: ß.
extern const unsigned char UmlautTable[UMLAUT_ROWS][UMLAUT_COLUMNS];

char* trimLeft(char* text);
char* trimRight(char* text);
char* insertAt(char* text, size_t capacity, const char* insertion, uint16_t position);
char* replaceAll(char* text, size_t capacity, const char* search, const char* replacement);
char* toUpper(char* text, size_t capacity, uint16_t column);
char* toLower(char* text, uint16_t column);
char* intToText(int32_t value, char* buffer);  // buffer: INT_TEXT_CAPACITY bytes

// Length of the text after toUpper: one more byte for every sharp s.
size_t upperLength(const char* text, uint16_t column);

// Bounded copy and append: the destination always ends with a NUL (when its
// capacity is not 0). Both return 1 when all of source fitted, 0 when it was cut.
int copyText(char* destination, size_t capacity, const char* source);
int appendText(char* destination, size_t capacity, const char* source);

// Copies at most count bytes of source (fewer at its NUL); 0 when cut.
int copyTextPart(char* destination, size_t capacity, const char* source, size_t count);

inline int isBlankOrTab(char c) { return c == ' ' || c == '\t'; }

#endif

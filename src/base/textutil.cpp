// Text utilities: trimming, insertion, replacement, German-aware case folding
// and integer formatting, all inside the caller's buffer.
#include "textutil.h"

#include <string.h>

const unsigned char UmlautTable[UMLAUT_ROWS][UMLAUT_COLUMNS] = {
    {0xCC, 0x84, 0xE4, 0x7B},  // ä
    {0xCE, 0x94, 0xF6, 0x7C},  // ö
    {0xCF, 0x81, 0xFC, 0x7D},  // ü
    {0xD8, 0x8E, 0xC4, 0x5B},  // Ä
    {0xDA, 0x99, 0xD6, 0x5C},  // Ö
    {0xDB, 0x9A, 0xDC, 0x5D},  // Ü
    {0xDE, 0xE1, 0xDF, 0x7E},  // ß
};

enum { ROW_SHARP_S = 6, ROW_NONE = -1 };

// Row of the byte in the given column, or ROW_NONE. A column outside the table
// knows no German letters, so only ASCII is folded then.
static int umlautRow(unsigned char c, uint16_t column) {
    if (column >= UMLAUT_COLUMNS) return ROW_NONE;
    for (int row = 0; row < UMLAUT_ROWS; ++row)
        if (UmlautTable[row][column] == c) return row;
    return ROW_NONE;
}

char* trimLeft(char* text) {
    if (!isBlankOrTab(text[0])) return text;
    size_t skip = 0;
    while (isBlankOrTab(text[skip])) ++skip;
    size_t oldLength = skip + strlen(text + skip);
    size_t rest = oldLength - skip;
    memmove(text, text + skip, rest);
    memset(text + rest, 0, oldLength - rest + 1);
    return text;
}

char* trimRight(char* text) {
    size_t length = strlen(text);
    while (length > 0 && isBlankOrTab(text[length - 1])) text[--length] = '\0';
    return text;
}

char* insertAt(char* text, size_t capacity, const char* insertion, uint16_t position) {
    size_t n = strlen(insertion);
    if (n == 0) return text;
    size_t length = strlen(text);
    if (length + n + 1 > capacity) return NULL;
    if (position > length) position = (uint16_t)length;  // never leave a gap of stale bytes
    memmove(text + position + n, text + position, length - position + 1);
    memcpy(text + position, insertion, n);
    return text;
}

// Where the next match at or after i begins, or the text's length when none.
static size_t nextMatch(const char* text, size_t i, const char* search, size_t ls) {
    for (; text[i] != '\0'; ++i)
        if (strncmp(text + i, search, ls) == 0) return i;
    return i;
}

char* replaceAll(char* text, size_t capacity, const char* search, const char* replacement) {
    size_t ls = strlen(search), lr = strlen(replacement);
    if (text[0] == '\0' || ls == 0) return text;
    size_t length = strlen(text);
    if (lr > ls) {
        // Matches never overlap and scanning resumes behind each replacement,
        // so the grown length can be counted on the unchanged text.
        size_t grown = length;
        for (size_t i = nextMatch(text, 0, search, ls); text[i] != '\0';
             i = nextMatch(text, i + ls, search, ls))
            grown += lr - ls;
        if (grown + 1 > capacity) return NULL;
    }
    size_t i = 0;
    while (text[i] != '\0') {
        if (strncmp(text + i, search, ls) != 0) { ++i; continue; }
        memmove(text + i + lr, text + i + ls, length - (i + ls) + 1);
        memcpy(text + i, replacement, lr);
        length = length - ls + lr;
        i += lr;
    }
    return text;
}

size_t upperLength(const char* text, uint16_t column) {
    size_t length = 0;
    for (const char* p = text; *p != '\0'; ++p)
        length += umlautRow((unsigned char)*p, column) == ROW_SHARP_S ? 2 : 1;
    return length;
}

char* toUpper(char* text, size_t capacity, uint16_t column) {
    size_t length = strlen(text);
    if (upperLength(text, column) + 1 > capacity) return NULL;
    // From the end towards the front: a sharp s growing into "SS" only shifts
    // bytes that have been folded already.
    for (size_t i = length; i-- > 0;) {
        unsigned char c = (unsigned char)text[i];
        if (c >= 'a' && c <= 'z') { text[i] = (char)(c - 0x20); continue; }
        int row = umlautRow(c, column);
        if (row >= 0 && row <= 2) text[i] = (char)UmlautTable[row + 3][column];
        else if (row == ROW_SHARP_S) {
            text[i] = 'S';
            memmove(text + i + 1, text + i, length - i + 1);
            ++length;
        }
    }
    return text;
}

char* toLower(char* text, uint16_t column) {
    for (size_t i = strlen(text); i-- > 0;) {
        unsigned char c = (unsigned char)text[i];
        if (c >= 'A' && c <= 'Z') { text[i] = (char)(c + 0x20); continue; }
        int row = umlautRow(c, column);
        if (row >= 3 && row <= 5) text[i] = (char)UmlautTable[row - 3][column];
    }
    return text;
}

char* intToText(int32_t value, char* buffer) {
    char scratch[INT_TEXT_CAPACITY];
    char* p = scratch + sizeof scratch;
    *--p = '\0';
    // Work on the magnitude as unsigned so that INT32_MIN needs no special case.
    uint32_t magnitude = value < 0 ? 0u - (uint32_t)value : (uint32_t)value;
    do {
        *--p = (char)('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *--p = '-';
    memcpy(buffer, p, (size_t)(scratch + sizeof scratch - p));
    return buffer;
}

int copyTextPart(char* destination, size_t capacity, const char* source, size_t count) {
    if (capacity == 0) return source[0] == '\0' || count == 0;
    size_t n = 0;
    while (n < count && source[n] != '\0' && n + 1 < capacity) {
        destination[n] = source[n];
        ++n;
    }
    destination[n] = '\0';
    return n == count || source[n] == '\0';
}

int copyText(char* destination, size_t capacity, const char* source) {
    return copyTextPart(destination, capacity, source, (size_t)-1);
}

int appendText(char* destination, size_t capacity, const char* source) {
    size_t used = 0;
    while (used < capacity && destination[used] != '\0') ++used;
    if (used >= capacity) return source[0] == '\0';
    return copyText(destination + used, capacity - used, source);
}

// The properties dialog's decisions: hotkey rows and texts, the question
// before a key takes a character, the history size bound, the file picker's
// start and filter.
#include "properties.h"

#include <string.h>

#include "../base/textutil.h"

const HotkeyKey HotkeyKeyTable[HOTKEY_KEY_COUNT + 1] = {
    {"keine", 0},
    {"A", 0x41}, {"B", 0x42}, {"C", 0x43}, {"D", 0x44}, {"E", 0x45}, {"F", 0x46},
    {"G", 0x47}, {"H", 0x48}, {"I", 0x49}, {"J", 0x4A}, {"K", 0x4B}, {"L", 0x4C},
    {"M", 0x4D}, {"N", 0x4E}, {"O", 0x4F}, {"P", 0x50}, {"Q", 0x51}, {"R", 0x52},
    {"S", 0x53}, {"T", 0x54}, {"U", 0x55}, {"V", 0x56}, {"W", 0x57}, {"X", 0x58},
    {"Y", 0x59}, {"Z", 0x5A},
    {"0", 0x30}, {"1", 0x31}, {"2", 0x32}, {"3", 0x33}, {"4", 0x34},
    {"5", 0x35}, {"6", 0x36}, {"7", 0x37}, {"8", 0x38}, {"9", 0x39},
    {"Num 0", 0x60}, {"Num 1", 0x61}, {"Num 2", 0x62}, {"Num 3", 0x63}, {"Num 4", 0x64},
    {"Num 5", 0x65}, {"Num 6", 0x66}, {"Num 7", 0x67}, {"Num 8", 0x68}, {"Num 9", 0x69},
    {"Num ,", 0x6E},  // the keypad's decimal key
    {"Num -", 0x6D},
    {"Num +", 0x6B},
    {"Num /", 0x6F},
    {"Leertaste", 0x20},
    {"F1", 0x70}, {"F2", 0x71}, {"F3", 0x72}, {"F4", 0x73}, {"F5", 0x74}, {"F6", 0x75},
    {"F7", 0x76}, {"F8", 0x77}, {"F9", 0x78}, {"F10", 0x79}, {"F11", 0x7A}, {"F12", 0x7B},
    {"", 0},
};

static const char NO_HOTKEY_TEXT[] = "keine";
static const char HOTKEY_PREFIX[] = "Strg + Alt + ";

int hotkeyRowText(int row, char* out, size_t capacity) {
    if (capacity > 0) out[0] = '\0';
    if (row < 0 || row >= HOTKEY_KEY_COUNT) return 0;
    int whole = row == 0 ? copyText(out, capacity, NO_HOTKEY_TEXT)
                         : copyText(out, capacity, HOTKEY_PREFIX) &&
                               appendText(out, capacity, HotkeyKeyTable[row].name);
    // Never half a text in the list.
    if (!whole && capacity > 0) out[0] = '\0';
    return whole;
}

int hotkeyRowOfCode(uint16_t code) {
    for (int row = 0; HotkeyKeyTable[row].name[0] != '\0'; row++)
        if (HotkeyKeyTable[row].code == code) return row;
    return 0;
}

enum {
    FIRST_CHARACTER = 0x20,  // the control characters below are no typed text
    ALTGR_SHIFT_STATE = 0x06  // Strg and Alt, and no Shift
};

unsigned char hotkeyTakenCharacter(int row, uint16_t storedCode, KeyScanFunction keyScan) {
    if (row <= 0 || row >= HOTKEY_KEY_COUNT) return 0;
    uint16_t code = HotkeyKeyTable[row].code;
    if (code == storedCode) return 0;
    for (unsigned character = FIRST_CHARACTER; character <= 0xFF; character++)
        if (keyScan((unsigned char)character) == ((ALTGR_SHIFT_STATE << 8) | code))
            return (unsigned char)character;
    return 0;
}

int hotkeyQuestionText(int row, unsigned char character, char* out, size_t capacity) {
    if (capacity > 0) out[0] = '\0';
    if (row <= 0 || row >= HOTKEY_KEY_COUNT) return 0;
    const char* name = HotkeyKeyTable[row].name;
    const char typed[2] = {(char)character, '\0'};
    int whole = copyText(out, capacity, "Auf dieser Tastatur schreibt AltGr + ") &&
                appendText(out, capacity, name) && appendText(out, capacity, " das Zeichen ") &&
                appendText(out, capacity, typed) &&
                appendText(out, capacity, ". Solange Pexor mit Strg + Alt + ") &&
                appendText(out, capacity, name) &&
                appendText(out, capacity, " als Tastenkombination läuft, lässt sich ") &&
                appendText(out, capacity, typed) &&
                appendText(out, capacity, " nicht mehr eingeben. Trotzdem verwenden?");
    if (!whole && capacity > 0) out[0] = '\0';
    return whole;
}

uint16_t boundMaxHistory(uint16_t value, uint16_t shown) {
    if (value == shown) return value;
    if (value < MAX_HISTORY_LOWEST) return MAX_HISTORY_LOWEST;
    if (value > MAX_HISTORY_HIGHEST) return MAX_HISTORY_HIGHEST;
    return value;
}

// The last backslash or colon, or null.
static char* lastSeparator(char* text) {
    char* found = 0;
    for (char* p = text; *p != '\0'; p++)
        if (*p == '\\' || *p == ':') found = p;
    return found;
}

int browseStart(char* path, size_t capacity, const char* defaultExtension,
                const char* defaultDirectory, char* fileName, size_t fileNameCapacity,
                const char** directory) {
    *directory = defaultDirectory;
    if (path[0] == '\0') {
        int whole = copyText(fileName, fileNameCapacity, "*.");
        return appendText(fileName, fileNameCapacity, defaultExtension) && whole;
    }
    char* separator = lastSeparator(path);
    if (separator == 0) return copyText(fileName, fileNameCapacity, path);
    int whole = copyText(fileName, fileNameCapacity, separator + 1);
    // A drive ("c:") or the root ("\") keeps its separator: dropping it would
    // leave a relative or empty directory.
    if (*separator == ':' || separator == path)
        separator[1] = '\0';
    else
        separator[0] = '\0';
    size_t length = strlen(path);
    if (length > 0 && path[length - 1] == ':') appendText(path, capacity, "\\");
    *directory = path;
    return whole;
}

size_t browseFilter(const char* defaultExtension, char* out, size_t capacity) {
    if (capacity < 2) return 0;
    // "*.%s#*.%s#Alle Dateien (*.*)#*.*#"; appending stops at the first cut.
    int whole = copyText(out, capacity, "*.") && appendText(out, capacity, defaultExtension) &&
                appendText(out, capacity, "#*.") && appendText(out, capacity, defaultExtension) &&
                appendText(out, capacity, "#Alle Dateien (*.*)#*.*#");
    if (!whole) {
        out[0] = out[1] = '\0';
        return 0;
    }
    size_t used = strlen(out) + 1;
    for (size_t i = 0; i < used; i++)
        if (out[i] == '#') out[i] = '\0';
    return used;
}

// The properties dialog's rules: hotkey rows and their texts, the history
// size bound, where the file picker starts and its filter list.
#include "state/properties.h"

#include <gtest/gtest.h>
#include <string.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string bar(const std::string& s) { return "|" + s + "|"; }

// The rows as the list shows them, group by group, then an empty end row;
// each code finds its row, an unknown one (F13, the keypad separator, Enter,
// a code above 255) finds "keine".
TEST(HotkeyKeyTable, HoldsTheSixtyFourKeysInListOrderAndEachCodeFindsItsRow) {
    std::string expected = "keine=0", table;
    auto add = [&](const std::string& name, int code) { expected += "," + name + "=" + std::to_string(code); };
    for (char c = 'A'; c <= 'Z'; c++) add(std::string(1, c), c);
    for (char c = '0'; c <= '9'; c++) add(std::string(1, c), c);
    for (int d = 0; d <= 9; d++) add("Num " + std::to_string(d), 0x60 + d);
    const std::pair<const char*, int> keys[] = {{"Num ,", 0x6E}, {"Num -", 0x6D}, {"Num +", 0x6B}, {"Num /", 0x6F},
                                                {"Leertaste", 0x20}};
    for (auto& key : keys) add(key.first, key.second);
    for (int f = 1; f <= 12; f++) add("F" + std::to_string(f), 0x70 + f - 1);
    for (int row = 0; row < HOTKEY_KEY_COUNT; row++) {
        const HotkeyKey& key = HotkeyKeyTable[row];
        table += (row ? "," : "") + std::string(key.name) + "=" + std::to_string(key.code);
        EXPECT_EQ(hotkeyRowOfCode(key.code), row) << key.name;
    }
    EXPECT_EQ(table + "," + HotkeyKeyTable[HOTKEY_KEY_COUNT].name + "|", expected + ",|") << "an empty end row";
    for (uint16_t code : {0x7C, 0x6C, 0x0D, 0x141}) EXPECT_EQ(hotkeyRowOfCode(code), 0) << code;
}

TEST(HotkeyKeyTable, ListTextIsKeineForRowZeroAndStrgAltWithTheNameOtherwise) {
    const struct { int row; size_t capacity; int fits; const char* text; } cases[] = {
        {0, HOTKEY_TEXT_CAPACITY, 1, "keine"}, {1, HOTKEY_TEXT_CAPACITY, 1, "Strg + Alt + A"},
        {47, HOTKEY_TEXT_CAPACITY, 1, "Strg + Alt + Num ,"}, {63, HOTKEY_TEXT_CAPACITY, 1, "Strg + Alt + F12"},
        {51, HOTKEY_TEXT_CAPACITY, 1, "Strg + Alt + Leertaste"},  // the longest text
        {51, 23, 1, "Strg + Alt + Leertaste"}, {51, 22, 0, ""}, {0, 5, 0, ""},  // never half a text
        {64, HOTKEY_TEXT_CAPACITY, 0, ""}, {-1, HOTKEY_TEXT_CAPACITY, 0, ""},  // no key rows
    };
    for (const auto& c : cases) {
        char out[64];
        memset(out, 'x', sizeof out);
        EXPECT_EQ(hotkeyRowText(c.row, out, c.capacity), c.fits) << "row " << c.row;
        EXPECT_EQ(bar(out), bar(c.text)) << "row " << c.row << ", capacity " << c.capacity;
    }
    char none[1] = {'x'};
    EXPECT_EQ(hotkeyRowText(1, none, 0), 0);
    EXPECT_EQ(none[0], 'x') << "capacity 0: nothing written";
    // What the dialog showed stays (a hand-set 5000 too); a typed value is bounded.
    for (uint16_t typed : {0, 1, 25, 999, 1000, 5000, 65535}) {
        EXPECT_EQ(boundMaxHistory(typed, 25), typed < 1 ? 1 : typed > 999 ? 999 : typed) << "MaxHistory " << typed;
        EXPECT_EQ(boundMaxHistory(typed, typed), typed) << "MaxHistory " << typed << " untouched";
    }
}

// Windows' German and US keyboards as VkKeyScanA answers for them: the AltGr
// characters and, around them, Shift alone, Strg or Alt alone (made up, on N),
// Shift+AltGr (made up, on U) and AltGr on keys with no row (ß, +, <).
typedef std::map<unsigned char, uint16_t> Keyboard;
const Keyboard GERMAN = {{'@', 0x651}, {0x80, 0x645}, {0xB5, 0x64D}, {0xB2, 0x632}, {0xB3, 0x633}, {'{', 0x637},
                         {'[', 0x638}, {']', 0x639},  {'}', 0x630},  {'\\', 0x6DB}, {'~', 0x6BB},  {'|', 0x6E2},
                         {'q', 0x51},  {'"', 0x132},  {0xF1, 0x24E}, {0xE9, 0x44E}, {0xFA, 0x755}};
const Keyboard US = {{'@', 0x132}, {'q', 0x51}, {'[', 0xDB}, {'{', 0x1DB}}, *keyboard;
uint16_t scanKey(unsigned char character) { return keyboard->count(character) ? keyboard->at(character) : 0xFFFF; }

TEST(HotkeyTakenCharacter, IsWhatAltGrTypesOnTheChosenKeyUnlessItIsTheStoredKey) {
    const struct { const Keyboard* keys; uint16_t stored; const char* taken; } cases[] = {
        {&GERMAN, 0, " E=\x80 M=\xB5 Q=@ 0=} 2=\xB2 3=\xB3 7={ 8=[ 9=]"},
        {&GERMAN, 'Q', " E=\x80 M=\xB5 0=} 2=\xB2 3=\xB3 7={ 8=[ 9=]"}, {&US, 0, ""}};
    for (const auto& c : cases) {
        keyboard = c.keys;
        std::string taken;
        for (int row = -1; row <= HOTKEY_KEY_COUNT; row++)
            if (unsigned char character = hotkeyTakenCharacter(row, c.stored, scanKey))
                taken += " " + std::string(HotkeyKeyTable[row].name) + "=" + (char)character;
        EXPECT_EQ(bar(taken), bar(c.taken)) << "stored " << c.stored;
    }
    char text[HOTKEY_QUESTION_CAPACITY];
    EXPECT_EQ(hotkeyQuestionText(17, '@', text, sizeof text), 1);
    EXPECT_EQ(bar(text), bar("Auf dieser Tastatur schreibt AltGr + Q das Zeichen @. Solange Pexor mit Strg + Alt + "
                             "Q als Tastenkombination läuft, lässt sich @ nicht mehr eingeben. Trotzdem verwenden?"));
    EXPECT_EQ(hotkeyQuestionText(51, 0xA0, text, sizeof text), 1) << "the longest name fits";
}

TEST(BrowseStart, SplitsThePathAtItsLastBackslashOrColonInsideItsBuffers) {
    const struct { const char *path, *directory, *name; size_t nameCapacity; int whole; } cases[] = {
        {"", "c:\\", "*.bat", 260, 1},         {"c:\\autoexec.bat", "c:\\", "autoexec.bat", 260, 1},
        {"d:\\tools\\x.bat", "d:\\tools", "x.bat", 260, 1}, {"autoexec.bat", "c:\\", "autoexec.bat", 260, 1},
        {"c:x.bat", "c:\\", "x.bat", 260, 1},  {"c:", "c:\\", "", 260, 1},  {"d:\\tools\\", "d:\\tools", "", 260, 1},
        {"\\x.bat", "\\", "x.bat", 260, 1},    {"\\\\server\\share\\x.bat", "\\\\server\\share", "x.bat", 260, 1},
        {" x.bat ", "c:\\", " x.bat ", 260, 1}, {"c:\\\xC4rger\\\xFC.bat", "c:\\\xC4rger", "\xFC.bat", 260, 1},
        {"c:\\averylongname.bat", "c:\\", "averylo", 8, 0},  {"", "c:\\", "*.b", 4, 0},  // cut and reported
        {"averylongname.bat", "c:\\", "averylo", 8, 0},
    };
    for (const auto& c : cases) {
        char path[260], name[260];
        strcpy(path, c.path);
        const char* directory = nullptr;
        EXPECT_EQ(browseStart(path, sizeof path, "bat", "c:\\", name, c.nameCapacity, &directory), c.whole)
            << bar(c.path);
        EXPECT_EQ(bar(directory), bar(c.directory)) << bar(c.path);
        EXPECT_EQ(bar(name), bar(c.name)) << bar(c.path);
    }
    char tight[4] = "c:x", name[8];  // the backslash after a drive needs one byte more than the cut text
    const char* directory = nullptr;
    EXPECT_EQ(browseStart(tight, sizeof tight, "bat", "a:\\", name, sizeof name, &directory), 1);
    EXPECT_EQ(bar(directory), bar("c:\\"));
}

TEST(BrowseFilter, IsTwoEntriesSeparatedAndEndedByNulsOrEmptyWhenItDoesNotFit) {
    char out[BROWSE_FILTER_CAPACITY];
    const char expected[] = "*.bat\0*.bat\0Alle Dateien (*.*)\0*.*\0";  // and the literal's NUL
    ASSERT_EQ(browseFilter("bat", out, sizeof out), sizeof expected);
    EXPECT_EQ(std::string(out, sizeof expected), std::string(expected, sizeof expected));
    const std::string longest(17, 'e');
    EXPECT_EQ(browseFilter(longest.c_str(), out, sizeof out), sizeof out);
    EXPECT_EQ(browseFilter((longest + "e").c_str(), out, sizeof out), 0u);
    EXPECT_EQ(std::string(out, 2), std::string("\0\0", 2));
    EXPECT_EQ(browseFilter("bat", out, 1), 0u);
}

}  // namespace

// The properties dialog's rules: hotkey rows and their texts, the history
// size bound, where the file picker starts and its filter list.
#include "state/properties.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

std::string bar(const std::string& s) { return "|" + s + "|"; }

// The rows as the list shows them, built group by group.
std::vector<HotkeyKey> expectedRows() {
    std::vector<HotkeyKey> rows;
    auto add = [&](const std::string& name, uint16_t code) {
        HotkeyKey key = {};
        strncpy(key.name, name.c_str(), sizeof key.name - 1);
        key.code = code;
        rows.push_back(key);
    };
    add("keine", 0);
    for (char c = 'A'; c <= 'Z'; c++) add(std::string(1, c), (uint16_t)c);
    for (char c = '0'; c <= '9'; c++) add(std::string(1, c), (uint16_t)c);
    for (int d = 0; d <= 9; d++) add("Num " + std::to_string(d), (uint16_t)(0x60 + d));
    add("Num ,", 0x6E);
    add("Num -", 0x6D);
    add("Num +", 0x6B);
    add("Num /", 0x6F);
    add("Leertaste", 0x20);
    for (int f = 1; f <= 12; f++) add("F" + std::to_string(f), (uint16_t)(0x70 + f - 1));
    return rows;
}

TEST(HotkeyKeyTable, HoldsTheSixtyFourKeysInListOrderThenAnEmptyRow) {
    std::vector<HotkeyKey> rows = expectedRows();
    ASSERT_EQ(rows.size(), (size_t)HOTKEY_KEY_COUNT);
    for (size_t row = 0; row < rows.size(); row++) {
        EXPECT_EQ(bar(HotkeyKeyTable[row].name), bar(rows[row].name)) << "row " << row;
        EXPECT_EQ(HotkeyKeyTable[row].code, rows[row].code) << "row " << row;
        EXPECT_LT(strlen(HotkeyKeyTable[row].name), (size_t)HOTKEY_NAME_CAPACITY);
    }
    EXPECT_STREQ(HotkeyKeyTable[HOTKEY_KEY_COUNT].name, "");
}

TEST(HotkeyKeyTable, ListTextIsKeineForRowZeroAndStrgAltWithTheNameOtherwise) {
    const struct {
        int row;
        size_t capacity;
        int fits;
        const char* text;
    } cases[] = {
        {0, HOTKEY_TEXT_CAPACITY, 1, "keine"},
        {1, HOTKEY_TEXT_CAPACITY, 1, "Strg + Alt + A"},
        {47, HOTKEY_TEXT_CAPACITY, 1, "Strg + Alt + Num ,"},
        {51, HOTKEY_TEXT_CAPACITY, 1, "Strg + Alt + Leertaste"},  // the longest text
        {63, HOTKEY_TEXT_CAPACITY, 1, "Strg + Alt + F12"},
        {51, 23, 1, "Strg + Alt + Leertaste"},  // exactly fits
        {51, 22, 0, ""},                        // never half a text
        {0, 5, 0, ""},
        {64, HOTKEY_TEXT_CAPACITY, 0, ""},  // the end row is no key
        {-1, HOTKEY_TEXT_CAPACITY, 0, ""},
    };
    for (const auto& c : cases) {
        char out[64];
        memset(out, 'x', sizeof out);
        EXPECT_EQ(hotkeyRowText(c.row, out, c.capacity), c.fits) << "row " << c.row;
        EXPECT_EQ(bar(out), bar(c.text)) << "row " << c.row << ", capacity " << c.capacity;
    }
}

TEST(HotkeyKeyTable, CodeFindsItsRowAndAnUnknownCodeFindsKeine) {
    for (int row = 0; row < HOTKEY_KEY_COUNT; row++)
        EXPECT_EQ(hotkeyRowOfCode(HotkeyKeyTable[row].code), row) << HotkeyKeyTable[row].name;
    // F13, the keypad separator, Enter, a code above 255.
    for (uint16_t code : {0x7C, 0x6C, 0x0D, 0x141}) EXPECT_EQ(hotkeyRowOfCode(code), 0) << code;
}

TEST(MaxHistoryBound, KeepsOneTo999) {
    const struct {
        uint16_t typed, stored;
    } cases[] = {{0, 1}, {1, 1}, {25, 25}, {999, 999}, {1000, 999}, {65535, 999}};
    for (const auto& c : cases) EXPECT_EQ(boundMaxHistory(c.typed), c.stored) << c.typed;
}

TEST(BrowseStart, SplitsThePathAtItsLastBackslashOrColon) {
    const struct {
        const char* path;
        const char* directory;
        const char* name;
    } cases[] = {
        {"", "c:\\", "*.bat"},
        {"c:\\autoexec.bat", "c:\\", "autoexec.bat"},
        {"d:\\tools\\x.bat", "d:\\tools", "x.bat"},
        {"autoexec.bat", "c:\\", "autoexec.bat"},
        {"c:x.bat", "c:\\", "x.bat"},
        {"c:", "c:\\", ""},
        {"d:\\tools\\", "d:\\tools", ""},
        {"\\x.bat", "\\", "x.bat"},
        {"\\\\server\\share\\x.bat", "\\\\server\\share", "x.bat"},
        {" x.bat ", "c:\\", " x.bat "},
        {"c:\\\xC4rger\\\xFC.bat", "c:\\\xC4rger", "\xFC.bat"},  // Ärger\ü.bat
    };
    for (const auto& c : cases) {
        char path[260];
        strcpy(path, c.path);
        char name[260];
        const char* directory = nullptr;
        EXPECT_EQ(browseStart(path, sizeof path, "bat", "c:\\", name, sizeof name, &directory), 1);
        EXPECT_EQ(bar(directory), bar(c.directory)) << bar(c.path);
        EXPECT_EQ(bar(name), bar(c.name)) << bar(c.path);
    }
}

TEST(BrowseStart, StaysInsideItsBuffers) {
    // A name that does not fit is cut and reported.
    char path[260] = "c:\\averylongname.bat";
    char name[8];
    const char* directory = nullptr;
    EXPECT_EQ(browseStart(path, sizeof path, "bat", "c:\\", name, sizeof name, &directory), 0);
    EXPECT_EQ(bar(name), bar("averylo"));
    EXPECT_EQ(bar(directory), bar("c:\\"));
    // The backslash after a drive needs one byte more than the cut text.
    char tight[4] = "c:x";
    EXPECT_EQ(browseStart(tight, sizeof tight, "bat", "a:\\", name, sizeof name, &directory), 1);
    EXPECT_EQ(bar(directory), bar("c:\\"));
}

TEST(BrowseFilter, IsTwoEntriesSeparatedAndEndedByNuls) {
    char out[BROWSE_FILTER_CAPACITY];
    memset(out, 'x', sizeof out);
    const char expected[] = "*.bat\0*.bat\0Alle Dateien (*.*)\0*.*\0";  // and the literal's NUL
    ASSERT_EQ(browseFilter("bat", out, sizeof out), sizeof expected);
    EXPECT_EQ(std::string(out, sizeof expected), std::string(expected, sizeof expected));

    // The longest extension that fits, and one character more.
    std::string longest(17, 'e');
    EXPECT_EQ(browseFilter(longest.c_str(), out, sizeof out), sizeof out);
    EXPECT_EQ(browseFilter((longest + "e").c_str(), out, sizeof out), 0u);
    EXPECT_EQ(std::string(out, 2), std::string("\0\0", 2)) << "an empty list when it does not fit";
}

}  // namespace

// Text utilities: trimming, insertion, replacement, case folding in all four
// columns, integer text, and the capacity checks of the growing operations.
#include "base/textutil.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

namespace {

TEST(Trim, RemovesLeadingOrTrailingBlanksAndTabs) {
    struct { const char* in; const char* left; const char* right; } cases[] = {
        {"ab", "ab", "ab"},   {"   ", "", ""},        {"", "", ""},         {"\t\tx", "x", "\t\tx"},
        {"x  ", "x  ", "x"}, {" a b ", "a b ", " a b"}, {"ab \t", "ab \t", "ab"},
    };
    for (auto& c : cases) {
        char left[16], right[16];
        EXPECT_STREQ(trimLeft(strcpy(left, c.in)), c.left) << c.in;
        EXPECT_STREQ(trimRight(strcpy(right, c.in)), c.right) << c.in;
    }
    char text[16];  // the bytes behind the moved text are cleared
    memset(text, 'x', sizeof text);
    memcpy(text, " \t ab c ", 9);
    EXPECT_STREQ(trimLeft(text), "ab c ");
    for (size_t i = strlen(text); i < 9; ++i) EXPECT_EQ(text[i], '\0') << "byte " << i;
}

TEST(InsertAt, InsertsBeforeThePositionOrAtTheEndAndRefusesWhatDoesNotFit) {
    struct { const char* text; const char* ins; uint16_t pos; const char* out; } cases[] = {
        {"dir", "cd ", 0, "cd dir"}, {"abc", "X", 3, "abcX"}, {"abc", "", 1, "abc"}, {"abc", "XY", 1, "aXYbc"},
        {"", "a", 0, "a"},           {"ab", "X", 5, "abX"},  // never a gap of stale bytes
        {"abcd", "xyz", 0, "xyzabcd"},                          // exactly full
        {"xyzabcd", "q", 0, nullptr},
    };
    for (auto& c : cases) {
        char b[8];
        strcpy(b, c.text);
        char* result = insertAt(b, sizeof b, c.ins, c.pos);
        EXPECT_STREQ(b, c.out ? c.out : c.text) << c.text << " + " << c.ins << " at " << c.pos;
        EXPECT_EQ(result == nullptr, c.out == nullptr);
    }
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutRescanningInsertedText) {
    struct { const char* text; const char* s; const char* r; const char* out; } cases[] = {
        {"$* und $*", "$*", "a b", "a b und a b"},
        {"aaa", "a", "aa", "aaaaaa"},
        {"xx", "x", "", ""},
        {"c:\\my.exe.d\\pexor.exe", ".exe", ".ini", "c:\\my.ini.d\\pexor.ini"},
        {"abab", "ab", "b", "bb"},
        {"aaa", "aa", "b", "ba"},
        {"", "a", "b", ""},
        {"ab", "abc", "x", "ab"},  // a match cut off by the end is no match
        {"$1$1", "$1", "$1x", "$1x$1x"},
    };
    for (auto& c : cases) {
        char b[64];
        strcpy(b, c.text);
        ASSERT_NE(replaceAll(b, sizeof b, c.s, c.r), nullptr);
        EXPECT_STREQ(b, c.out) << c.text << " " << c.s << " -> " << c.r;
    }
}

TEST(ReplaceAll, GrowthIsCheckedAgainstTheCapacityAtTheBoundary) {
    // "a" -> "aa" on "aaaa" needs 8 characters plus the NUL.
    for (size_t cap : {8u, 9u}) {
        char b[16] = "aaaa";
        EXPECT_EQ(replaceAll(b, cap, "a", "aa") != nullptr, cap == 9) << cap;
        EXPECT_STREQ(b, cap == 9 ? "aaaaaaaa" : "aaaa");
    }
    char s[5] = "abcd";  // shrinking never needs room
    EXPECT_NE(replaceAll(s, sizeof s, "bc", ""), nullptr);
    EXPECT_STREQ(s, "ad");
}

TEST(ToUpper, FoldsAsciiAndGermanLettersInWindows1252) {
    struct { const char* in; const char* out; } cases[] = {
        {"straße", "STRASSE"}, {"äöü", "ÄÖÜ"}, {"ÄÖÜ", "ÄÖÜ"},
        {"abc-09!é", "ABC-09!é"}, {"ßß", "SSSS"}, {"", ""},
    };
    for (auto& c : cases) {
        char b[32];
        strcpy(b, c.in);
        ASSERT_NE(toUpper(b, sizeof b, COLUMN_CP1252), nullptr);
        EXPECT_STREQ(b, c.out) << c.in;
    }
}

TEST(ToUpper, EveryColumnUsesItsOwnBytes) {
    for (uint16_t col = 0; col < UMLAUT_COLUMNS; ++col) {
        for (int row = 0; row < 3; ++row) {
            char b[4] = {(char)UmlautTable[row][col], 'a', 0, 0};
            toUpper(b, sizeof b, col);
            EXPECT_EQ((unsigned char)b[0], UmlautTable[row + 3][col]) << "column " << col << " row " << row;
            EXPECT_EQ(b[1], 'A');
            toLower(b, col);
            EXPECT_EQ((unsigned char)b[0], UmlautTable[row][col]) << "column " << col << " row " << row;
        }
        char s[4] = {(char)UmlautTable[6][col], 0, 0, 0};
        EXPECT_STREQ(toUpper(s, sizeof s, col), "SS") << "column " << col;
    }
    char din[8] = "{~", dos[4] = "\x84", other[8] = "\xE4x";
    EXPECT_STREQ(toUpper(din, sizeof din, COLUMN_ISO646DE), "[SS");
    EXPECT_STREQ(toUpper(dos, sizeof dos, COLUMN_CP437), "\x8E");
    EXPECT_STREQ(toUpper(other, sizeof other, 7), "\xE4X") << "outside the table only ASCII folds";
}

TEST(ToUpper, SharpSGrowthIsRefusedWhenTheBufferIsFull) {
    // "aß" becomes "ASS": three characters plus the NUL.
    for (size_t cap : {3u, 4u}) {
        char b[8] = "aß";
        EXPECT_EQ(toUpper(b, cap, COLUMN_CP1252) != nullptr, cap == 4);
        EXPECT_STREQ(b, cap == 4 ? "ASS" : "aß") << cap;
    }
    EXPECT_EQ(upperLength("straße", COLUMN_CP1252), 7u);
    EXPECT_EQ(upperLength("straße", COLUMN_CP437), 6u);
}

TEST(ToLower, FoldsLettersAndLeavesSharpSAndLength) {
    struct { const char* in; const char* out; } cases[] = {
        {"C:\\WINDOWS\\ÄRGER", "c:\\windows\\ärger"}, {"ß", "ß"}, {"SS", "ss"}, {"ÖÜ1", "öü1"},
    };
    for (auto& c : cases) {
        char b[32];
        EXPECT_STREQ(toLower(strcpy(b, c.in), COLUMN_CP1252), c.out) << c.in;
    }
}

TEST(IntToText, WritesSignedDecimal) {
    struct { int32_t v; const char* out; } cases[] = {
        {0, "0"}, {-25, "-25"}, {2147483647, "2147483647"}, {INT32_MIN, "-2147483648"}, {7, "7"},
    };
    for (auto& c : cases) {
        char b[INT_TEXT_CAPACITY];
        EXPECT_STREQ(intToText(c.v, b), c.out);
    }
}

TEST(CopyText, AlwaysTerminatesAndReportsCuts) {
    char b[4], c[6] = "ab";
    EXPECT_EQ(copyText(b, sizeof b, "abc"), 1);
    EXPECT_EQ(copyText(b, sizeof b, "abcd"), 0);
    EXPECT_STREQ(b, "abc");
    EXPECT_EQ(appendText(b, sizeof b, ""), 1);
    EXPECT_EQ(appendText(b, sizeof b, "x"), 0);
    EXPECT_EQ(appendText(c, sizeof c, "cde"), 1);
    EXPECT_STREQ(c, "abcde");
    EXPECT_EQ(copyTextPart(c, sizeof c, "hello world", 5), 1);
    EXPECT_STREQ(c, "hello");
    EXPECT_EQ(copyTextPart(c, sizeof c, "hello world", 6), 0);
}

}  // namespace

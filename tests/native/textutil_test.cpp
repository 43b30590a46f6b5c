// Text utilities: trimming, insertion, replacement, case folding in all four
// columns, integer text, and the capacity checks of the growing operations.
#include "interp/textutil.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

namespace {

std::string bar(const std::string& s) { return "|" + s + "|"; }

TEST(TrimLeft, RemovesLeadingBlanksAndTabsAndClearsTheOldTail) {
    char text[16];
    memset(text, 'x', sizeof text);
    memcpy(text, " \t ab c ", 9);
    trimLeft(text);
    EXPECT_EQ(bar(text), bar("ab c "));
    for (size_t i = strlen(text); i < 9; ++i) EXPECT_EQ(text[i], '\0') << "byte " << i;

    struct { const char* in; const char* out; } cases[] = {
        {"ab", "ab"}, {"   ", ""}, {"", ""}, {"\t\tx", "x"}, {"x  ", "x  "},
    };
    for (auto& c : cases) {
        char b[16];
        strcpy(b, c.in);
        EXPECT_EQ(bar(trimLeft(b)), bar(c.out)) << bar(c.in);
    }
}

TEST(TrimRight, RemovesTrailingBlanksAndTabs) {
    struct { const char* in; const char* out; } cases[] = {
        {"ab \t", "ab"}, {"\t", ""}, {"", ""}, {" a b ", " a b"}, {"ab", "ab"},
    };
    for (auto& c : cases) {
        char b[16];
        strcpy(b, c.in);
        EXPECT_EQ(bar(trimRight(b)), bar(c.out)) << bar(c.in);
    }
}

TEST(InsertAt, InsertsBeforeThePosition) {
    struct { const char* text; const char* ins; uint16_t pos; const char* out; } cases[] = {
        {"dir", "cd ", 0, "cd dir"}, {"abc", "X", 3, "abcX"}, {"abc", "", 1, "abc"},
        {"abc", "XY", 1, "aXYbc"}, {"", "a", 0, "a"},
    };
    for (auto& c : cases) {
        char b[32];
        strcpy(b, c.text);
        ASSERT_NE(insertAt(b, sizeof b, c.ins, c.pos), nullptr);
        EXPECT_EQ(bar(b), bar(c.out)) << bar(c.text) << " + " << bar(c.ins) << " at " << c.pos;
    }
}

TEST(InsertAt, RefusesWhatDoesNotFitAndLeavesTheTextAlone) {
    char b[8] = "abcd";  // 4 characters, room for 7
    EXPECT_NE(insertAt(b, sizeof b, "xyz", 0), nullptr);  // 7 characters: exactly full
    EXPECT_EQ(bar(b), bar("xyzabcd"));
    EXPECT_EQ(insertAt(b, sizeof b, "q", 0), nullptr);
    EXPECT_EQ(bar(b), bar("xyzabcd"));
    // A position past the end appends instead of leaving stale bytes between.
    char c[8] = "ab";
    EXPECT_NE(insertAt(c, sizeof c, "X", 5), nullptr);
    EXPECT_EQ(bar(c), bar("abX"));
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
        EXPECT_EQ(bar(b), bar(c.out)) << bar(c.text) << " " << bar(c.s) << " -> " << bar(c.r);
    }
}

TEST(ReplaceAll, GrowthIsCheckedAgainstTheCapacityAtTheBoundary) {
    // "a" -> "aa" on "aaaa" needs 8 characters plus the NUL.
    for (size_t cap : {8u, 9u, 10u}) {
        char b[16] = "aaaa";
        char* result = replaceAll(b, cap, "a", "aa");
        if (cap < 9) {
            EXPECT_EQ(result, nullptr) << cap;
            EXPECT_EQ(bar(b), bar("aaaa"));
        } else {
            EXPECT_NE(result, nullptr) << cap;
            EXPECT_EQ(bar(b), bar("aaaaaaaa"));
        }
    }
    // Shrinking never needs room.
    char s[5] = "abcd";
    EXPECT_NE(replaceAll(s, sizeof s, "bc", ""), nullptr);
    EXPECT_EQ(bar(s), bar("ad"));
}

TEST(ToUpper, FoldsAsciiAndGermanLettersInWindows1252) {
    struct { const char* in; const char* out; } cases[] = {
        {"straße", "STRASSE"}, {"äöü", "ÄÖÜ"}, {"ÄÖÜ", "ÄÖÜ"}, {"abc-09!é", "ABC-09!é"},
        {"ßß", "SSSS"}, {"", ""},
    };
    for (auto& c : cases) {
        char b[32];
        strcpy(b, c.in);
        ASSERT_NE(toUpper(b, sizeof b, COLUMN_CP1252), nullptr);
        EXPECT_EQ(bar(b), bar(c.out)) << bar(c.in);
    }
}

TEST(ToUpper, EveryColumnUsesItsOwnBytes) {
    const char* names[] = {"Roman-8", "437/850", "1252", "646-DE"};
    for (uint16_t col = 0; col < UMLAUT_COLUMNS; ++col) {
        for (int row = 0; row < 3; ++row) {
            char b[4] = {(char)UmlautTable[row][col], 'a', 0, 0};
            toUpper(b, sizeof b, col);
            EXPECT_EQ((unsigned char)b[0], UmlautTable[row + 3][col]) << names[col] << " row " << row;
            EXPECT_EQ(b[1], 'A');
            toLower(b, col);
            EXPECT_EQ((unsigned char)b[0], UmlautTable[row][col]) << names[col] << " row " << row;
        }
        char s[4] = {(char)UmlautTable[6][col], 0, 0, 0};
        toUpper(s, sizeof s, col);
        EXPECT_EQ(bar(s), bar("SS")) << names[col];
    }
    char din[8] = "{~";
    toUpper(din, sizeof din, COLUMN_ISO646DE);
    EXPECT_EQ(bar(din), bar("[SS"));
    char dos[4] = "\x84";
    toUpper(dos, sizeof dos, COLUMN_CP437);
    EXPECT_EQ((unsigned char)dos[0], 0x8E);
    // Outside the table only ASCII folds.
    char other[8] = "\xE4x";
    toUpper(other, sizeof other, 7);
    EXPECT_EQ(bar(other), bar("\xE4X"));
}

TEST(ToUpper, SharpSGrowthIsRefusedWhenTheBufferIsFull) {
    // "aß" becomes "ASS": three characters plus the NUL.
    for (size_t cap : {3u, 4u, 5u}) {
        char b[8] = "aß";
        char* result = toUpper(b, cap, COLUMN_CP1252);
        if (cap < 4) {
            EXPECT_EQ(result, nullptr);
            EXPECT_EQ(bar(b), bar("aß")) << "unchanged when refused";
        } else {
            EXPECT_EQ(bar(b), bar("ASS")) << cap;
        }
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
        strcpy(b, c.in);
        EXPECT_EQ(bar(toLower(b, COLUMN_CP1252)), bar(c.out)) << bar(c.in);
    }
}

TEST(IntToText, WritesSignedDecimal) {
    struct { int32_t v; const char* out; } cases[] = {
        {0, "0"}, {-25, "-25"}, {2147483647, "2147483647"}, {INT32_MIN, "-2147483648"}, {7, "7"},
    };
    for (auto& c : cases) {
        char b[INT_TEXT_CAPACITY];
        EXPECT_EQ(bar(intToText(c.v, b)), bar(c.out));
    }
}

TEST(CopyText, AlwaysTerminatesAndReportsCuts) {
    char b[4];
    EXPECT_EQ(copyText(b, sizeof b, "abc"), 1);
    EXPECT_EQ(bar(b), bar("abc"));
    EXPECT_EQ(copyText(b, sizeof b, "abcd"), 0);
    EXPECT_EQ(bar(b), bar("abc"));
    EXPECT_EQ(appendText(b, sizeof b, ""), 1);
    EXPECT_EQ(appendText(b, sizeof b, "x"), 0);
    char c[6] = "ab";
    EXPECT_EQ(appendText(c, sizeof c, "cde"), 1);
    EXPECT_EQ(bar(c), bar("abcde"));
    EXPECT_EQ(copyTextPart(c, sizeof c, "hello world", 5), 1);
    EXPECT_EQ(bar(c), bar("hello"));
    EXPECT_EQ(copyTextPart(c, sizeof c, "hello world", 6), 0);
}

}  // namespace

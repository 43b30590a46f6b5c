// Text utilities. Every operation runs in a heap block of exactly the size
// its row names, so that ASan reports a write even one byte past it.
#include "base/textutil.h"

#include <gtest/gtest.h>
#include <string.h>

#include <functional>
#include <memory>
#include <string>

namespace {

// text in a block of capacity bytes (0: just big enough for text and after),
// run through op; "|result|", with "null " in front when op refused.
std::string inBlock(const std::string& text, size_t capacity, const std::function<char*(char*, size_t)>& op,
                    const std::string& after = "") {
    if (capacity == 0) capacity = std::max(text.size(), after.size()) + 1;
    std::unique_ptr<char[]> block(new char[capacity]);
    memcpy(block.get(), text.c_str(), text.size() + 1);
    char* result = op(block.get(), capacity);
    return (result == nullptr ? "null |" : "|") + std::string(block.get()) + "|";
}

TEST(Trim, RemovesLeadingOrTrailingBlanksAndTabsAndClearsWhatMoved) {
    struct { const char* in; const char* left; const char* right; } cases[] = {
        {"ab", "ab", "ab"}, {"   ", "", ""}, {"", "", ""}, {"\t\tx", "x", "\t\tx"}, {"x  ", "x  ", "x"},
        {" a b ", "a b ", " a b"}, {"ab \t", "ab \t", "ab"}, {" ", "", ""}, {"x", "x", "x"},
    };
    for (auto& c : cases) {
        EXPECT_EQ(inBlock(c.in, 0, [](char* t, size_t) { return trimLeft(t); }), "|" + std::string(c.left) + "|");
        EXPECT_EQ(inBlock(c.in, 0, [](char* t, size_t) { return trimRight(t); }), "|" + std::string(c.right) + "|");
    }
    char text[] = " \t ab c ";
    trimLeft(text);
    EXPECT_EQ(std::string(text, sizeof text), std::string("ab c \0\0\0\0", 9)) << "the bytes behind are cleared";
}

TEST(InsertAt, InsertsBeforeThePositionOrAtTheEndAndRefusesWhatDoesNotFit) {
    struct { const char* text; const char* ins; uint16_t pos; size_t cap; const char* out; } cases[] = {
        {"dir", "cd ", 0, 7, "|cd dir|"}, {"abc", "X", 3, 5, "|abcX|"},  {"abc", "", 1, 4, "|abc|"},
        {"abc", "XY", 1, 6, "|aXYbc|"},   {"", "a", 0, 2, "|a|"},        {"ab", "X", 5, 4, "|abX|"},
        {"abcd", "xyz", 0, 8, "|xyzabcd|"}, {"abcd", "xyz", 0, 7, "null |abcd|"}, {"", "a", 0, 1, "null ||"},
    };
    for (auto& c : cases)
        EXPECT_EQ(inBlock(c.text, c.cap, [&](char* t, size_t cap) { return insertAt(t, cap, c.ins, c.pos); }), c.out)
            << "|" << c.text << "| + |" << c.ins << "| at " << c.pos << " in " << c.cap;
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutRescanningAndRefusesWhatDoesNotFit) {
    struct { const char* text; const char* s; const char* r; size_t cap; const char* out; } cases[] = {
        {"$* und $*", "$*", "a b", 0, "|a b und a b|"}, {"aaa", "a", "aa", 0, "|aaaaaa|"}, {"xx", "x", "", 0, "||"},
        {"c:\\my.exe.d\\pexor.exe", ".exe", ".ini", 0, "|c:\\my.ini.d\\pexor.ini|"},
        {"abab", "ab", "b", 0, "|bb|"}, {"aaa", "aa", "b", 0, "|ba|"}, {"", "a", "b", 0, "||"},
        {"ab", "abc", "x", 0, "|ab|"},  // a match cut off by the end is no match
        {"$1$1", "$1", "$1x", 0, "|$1x$1x|"}, {"a", "a", "b", 0, "|b|"}, {"abcd", "bc", "", 5, "|ad|"},
        {"aaaa", "a", "aa", 9, "|aaaaaaaa|"}, {"aaaa", "a", "aa", 8, "null |aaaa|"}, {"a", "", "b", 0, "|a|"},
    };
    for (auto& c : cases)
        EXPECT_EQ(inBlock(c.text, c.cap, [&](char* t, size_t cap) { return replaceAll(t, cap, c.s, c.r); }, c.out),
                  c.out)
            << "|" << c.text << "| |" << c.s << "| -> |" << c.r << "| in " << c.cap;
}

// Each column's German letters (ä ö ü ß, Ä Ö Ü), written out, so that a wrong
// byte in the table shows; with ASCII around them, z and Z included.
TEST(CaseFolding, FoldsAsciiAndTheGermanLettersOfEveryColumn) {
    struct { uint16_t column; std::string lower, upper; } cases[] = {
        {COLUMN_ROMAN8, "\xCC\xCE\xCF\xDE", "\xD8\xDA\xDB"},  {COLUMN_CP437, "\x84\x94\x81\xE1", "\x8E\x99\x9A"},
        {COLUMN_CP1252, "\xE4\xF6\xFC\xDF", "\xC4\xD6\xDC"}, {COLUMN_ISO646DE, "{|}~", "[\\]"},
    };
    for (auto& c : cases) {
        std::string lower = "az" + c.lower + "@", upper = "AZ" + c.upper + "SS@", col = "column ";
        uint16_t column = c.column;
        auto up = [=](char* t, size_t cap) { return toUpper(t, cap, column); };
        auto down = [=](char* t, size_t) { return toLower(t, column); };
        EXPECT_EQ(inBlock(lower, upper.size() + 1, up), "|" + upper + "|") << col << column;
        EXPECT_EQ(inBlock(lower, upper.size(), up), "null |" + lower + "|") << col << column;
        EXPECT_EQ(upperLength(lower.c_str(), column), upper.size()) << col << column;
        EXPECT_EQ(inBlock(upper, 0, down), "|az" + c.lower.substr(0, 3) + "ss@|") << col << column;
        EXPECT_EQ(inBlock("AZ" + c.upper + c.lower.substr(3), 0, down), "|az" + c.lower + "|") << "ß stays";
    }
    // Outside the table only ASCII folds (and nothing is read past its end).
    for (uint16_t col : {(uint16_t)UMLAUT_COLUMNS, (uint16_t)7}) {
        EXPECT_EQ(inBlock("\xE4\xDFx", 0, [=](char* t, size_t cap) { return toUpper(t, cap, col); }), "|\xE4\xDFX|");
        EXPECT_EQ(inBlock("\xC4X", 0, [=](char* t, size_t) { return toLower(t, col); }), "|\xC4x|");
    }
}

// Into a block of exactly capacity bytes holding before (when it fits).
TEST(CopyText, StaysInsideTheCapacityAlwaysTerminatesAndReportsCuts) {
    enum Op { COPY, APPEND, PART };
    struct { Op op; const char *before, *source; size_t count, cap; int whole; const char* after; } cases[] = {
        {COPY, "", "abc", 0, 4, 1, "abc"}, {COPY, "", "abcd", 0, 4, 0, "abc"}, {COPY, "", "a", 0, 2, 1, "a"},
        {COPY, "", "a", 0, 1, 0, ""},      {COPY, "", "", 0, 1, 1, ""},        {COPY, "", "a", 0, 0, 0, 0},
        {COPY, "", "", 0, 0, 1, 0},        {APPEND, "ab", "cde", 0, 6, 1, "abcde"}, {APPEND, "abc", "", 0, 4, 1, "abc"},
        {APPEND, "abc", "x", 0, 4, 0, "abc"}, {APPEND, "ab", "cd", 0, 4, 0, "abc"}, {APPEND, "", "x", 0, 0, 0, 0},
        {APPEND, "", "", 0, 0, 1, 0},      {APPEND, "xxx", "a", 0, 3, 0, 0},  // no NUL inside: nothing fits
        {PART, "", "hello world", 5, 6, 1, "hello"}, {PART, "", "hello world", 6, 6, 0, "hello"},
        {PART, "", "hi", 5, 3, 1, "hi"},   {PART, "", "hi", 0, 1, 1, ""},      {PART, "", "a", 1, 0, 0, 0},
        {PART, "", "a", 0, 0, 1, 0},
    };
    for (auto& c : cases) {
        std::unique_ptr<char[]> block(new char[c.cap]);
        c.cap > strlen(c.before) ? (void)strcpy(block.get(), c.before) : (void)memset(block.get(), 'x', c.cap);
        int whole = c.op == COPY     ? copyText(block.get(), c.cap, c.source)
                    : c.op == APPEND ? appendText(block.get(), c.cap, c.source)
                                     : copyTextPart(block.get(), c.cap, c.source, c.count);
        EXPECT_EQ(whole, c.whole) << c.op << " |" << c.before << "| |" << c.source << "| in " << c.cap;
        if (c.after) { EXPECT_STREQ(block.get(), c.after) << c.op << " |" << c.source << "| in " << c.cap; }
    }
}

}  // namespace

// The alias-file reader: which lines define macros, how the file is read
// (line ends, long lines, sharp s growth), what happens when memory runs out,
// and the way from the file to an expanded command line.
#include "interp/aliasfile.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "interp/interpreter.h"

namespace {

// Between bars, with line ends and tabs made visible.
std::string shown(const std::string& s) {
    std::string out = "|";
    for (char c : s) out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : c == '\t' ? "\\t" : std::string(1, c);
    return out + "|";
}

using Entries = std::vector<std::pair<std::string, std::string>>;

Entries entriesOf(const MacroEntry* table) {
    Entries out;
    for (const MacroEntry* e = table; e != nullptr; e = e->next) out.emplace_back(e->name, e->body);
    return out;
}

TEST(AliasLine, DefinesAMacroOnlyFromADoskeyLineWithNameAndBody) {
    struct { const char* line; const char* name; const char* body; } cases[] = {  // name 0: nothing
        {"doskey ls=dir /w $*", "LS", "DIR /W $*"},
        {"   DOSKEY  cp = copy $1 $2", "CP", "COPY $1 $2"},
        {"C:\\DOS\\DOSKEY.COM LL=DIR $1", "LL", "DIR $1"},
        {"LH C:\\DOS\\DOSKEY /INSERT", 0, 0},
        {"DOSKEY /BUFSIZE=512", "/BUFSIZE", "512"},
        {"DOSKEY /REINSTALL\n", 0, 0},
        {"REM DOSKEY X=Y", 0, 0},
        {"   rem doskey x=y", 0, 0},
        {"\tREM DOSKEY X=Y", 0, 0},
        {"REM\tDOSKEY X=Y", "X", "Y"},
        {"@REM DOSKEY X=Y", "X", "Y"},
        {":: DOSKEY X=Y", "X", "Y"},
        {"echo doskey is here", "IS", "HERE"},  // DOSKEY anywhere in the line
        {"DOSKEY X=", 0, 0},
        {"DOSKEY X", 0, 0},
        {"DOSKEY X=\n", 0, 0},
        {"DOSKEY X\r\n", 0, 0},
        {"DOSKEY X= \t\r\n", 0, 0},
        {"DOSKEY =X", 0, 0},
        {"DOSKEY", 0, 0},
        {"DOSKEY  \t\n", 0, 0},
        {"DOSKEYX=Y", 0, 0},
        {"DOSKEY ls=dir\r\n", "LS", "DIR"},
        {"DOSKEY ls=dir /w \t\n", "LS", "DIR /W"},
        {"DOSKEY x=y\rz", "X", "Y"},
        {"DOSKEY x == = y", "X", "Y"},
        {"DOSKEY\tx\t=\ty\tz", "X", "Y\tZ"},
        {"DOSKEY a=b=c", "A", "B=C"},
        {"doskey straße=cd \\daten\\müll", "STRASSE", "CD \\DATEN\\MÜLL"},
    };
    for (auto& c : cases) {
        AliasDefinition d;
        int defined = parseAliasLine(c.line, &d);
        if (c.name == 0) {
            EXPECT_EQ(defined, 0) << shown(c.line) << " defined " << shown(d.name);
            continue;
        }
        ASSERT_EQ(defined, 1) << shown(c.line);
        EXPECT_EQ(shown(d.name), shown(c.name)) << shown(c.line);
        EXPECT_EQ(shown(d.body), shown(c.body)) << shown(c.line);
    }
}

TEST(AliasLine, SharpSGrowthOfAFullLineKeepsNameAndBodyWhole) {
    const std::string ss1014(1014, '\xDF');  // 1014 sharp s
    struct { std::string line; std::string name; std::string body; } cases[] = {
        {"DOSKEY S=" + ss1014, "S", std::string(2028, 'S')},
        {"DOSKEY " + ss1014 + "=X", std::string(2028, 'S'), "X"},
    };
    for (auto& c : cases) {
        ASSERT_EQ(c.line.size(), 1023u);
        AliasDefinition d;
        ASSERT_EQ(parseAliasLine(c.line.c_str(), &d), 1) << shown(c.line.substr(0, 12)) << "...";
        EXPECT_EQ(std::string(d.name), c.name);
        EXPECT_EQ(std::string(d.body), c.body);
    }
}

TEST(AliasLine, LooksAtNoMoreThanOneReadOfALongLine) {
    std::string line = "DOSKEY A=" + std::string(1014, 'b') + "cde";
    AliasDefinition d;
    ASSERT_EQ(parseAliasLine(line.c_str(), &d), 1);
    EXPECT_EQ(std::string(d.body), std::string(1014, 'B'));
}

class AliasFile : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tmp = getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/pexor-alias-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        ASSERT_NE(mkdtemp(buffer.data()), nullptr);
        dir = buffer.data();
    }
    void TearDown() override {
        freeMacroTableAt(&table);
        macroAllocate = malloc;
        for (auto& f : files) remove(f.c_str());
        rmdir(dir.c_str());
    }
    std::string write(const std::string& bytes) {
        std::string path = dir + "/alias" + std::to_string(files.size()) + ".bat";
        FILE* f = fopen(path.c_str(), "wb");
        EXPECT_NE(f, nullptr);
        if (f != nullptr) {
            fwrite(bytes.data(), 1, bytes.size(), f);
            fclose(f);
        }
        files.push_back(path);
        return path;
    }
    Entries load(const std::string& bytes) {
        loadMacroTableFrom(&table, write(bytes).c_str(), 1);
        return entriesOf(table);
    }

    std::string dir;
    std::vector<std::string> files;
    MacroEntry* table = nullptr;
};

TEST_F(AliasFile, KeepsFileOrderWithEitherLineEndAndALastLineWithoutOne) {
    const char* lines[] = {"@echo off", "doskey ls=dir /w $*", "REM doskey no=thing",
                           "   DOSKEY  cp = copy $1 $2", "DOSKEY X=ONE", "DOSKEY X=TWO", "doskey last=one"};
    Entries expected = {{"LS", "DIR /W $*"}, {"CP", "COPY $1 $2"}, {"X", "ONE"}, {"X", "TWO"},
                        {"LAST", "ONE"}};
    for (const char* end : {"\r\n", "\n"}) {
        for (bool endAtLast : {true, false}) {
            std::string file;
            for (const char* l : lines) file += std::string(l) + end;
            if (!endAtLast) file.resize(file.size() - strlen(end));
            EXPECT_EQ(load(file), expected) << shown(file);
        }
    }
}

TEST_F(AliasFile, AnIncompleteDefinitionAddsNothingAtLineOrFileEnd) {
    struct { const char* file; Entries expected; } cases[] = {
        {"DOSKEY X=", {}}, {"DOSKEY X", {}}, {"DOSKEY X= \t", {}}, {"DOSKEY X=\r\n", {}},
        {"DOSKEY X\n", {}}, {"DOSKEY A=B\nDOSKEY X=\nDOSKEY X", {{"A", "B"}}},
    };
    for (auto& c : cases) EXPECT_EQ(load(c.file), c.expected) << shown(c.file);
}

TEST_F(AliasFile, TheRestOfALongLineIsALineOfItsOwn) {
    const std::string filler(1023 - 9, 'x');
    struct { std::string file; Entries expected; } cases[] = {
        // The second definition begins exactly where the first read stops.
        {"DOSKEY A=" + filler + "DOSKEY B=C\n", {{"A", std::string(1014, 'X')}, {"B", "C"}}},
        // A line of exactly 1023 characters: its line end comes as an empty line.
        {"DOSKEY A=" + filler + "\nDOSKEY D=E\n", {{"A", std::string(1014, 'X')}, {"D", "E"}}},
        // CR LF split by the end of a read.
        {"DOSKEY A=" + std::string(1013, 'x') + "\r\nDOSKEY D=E", {{"A", std::string(1013, 'X')}, {"D", "E"}}},
    };
    for (auto& c : cases) EXPECT_EQ(load(c.file), c.expected) << shown(c.file.substr(0, 12)) << "...";
}

TEST_F(AliasFile, SharpSAtTheEndOfAFullReadGrowsWithoutLoss) {
    const std::string ss(1014, '\xDF');
    struct { std::string file; Entries expected; } cases[] = {
        {"DOSKEY S=" + ss + "\nDOSKEY T=\xDF", {{"S", std::string(2028, 'S')}, {"T", "SS"}}},
        // 1029 characters: the read stops after 1014 sharp s, the six left over
        // are a line without DOSKEY.
        {"DOSKEY S=" + ss + std::string(6, '\xDF') + "\n", {{"S", std::string(2028, 'S')}}},
    };
    for (auto& c : cases) EXPECT_EQ(load(c.file), c.expected) << shown(c.file.substr(0, 12)) << "...";
}

TEST_F(AliasFile, LoadsNothingWhenSwitchedOffUnnamedOrUnreadable) {
    std::string good = write("DOSKEY A=B\n");
    struct { std::string path; int32_t checkAlias; size_t entries; } cases[] = {
        {good, 1, 1}, {good, 2, 1}, {good, -1, 1},  // any value but 0 loads
        {good, 0, 0}, {"", 1, 0}, {dir + "/missing.bat", 1, 0}, {dir, 1, 0},
    };
    for (auto& c : cases) {
        loadMacroTableFrom(&table, good.c_str(), 1);  // something to replace
        ASSERT_EQ(entriesOf(table).size(), 1u);
        loadMacroTableFrom(&table, c.path.c_str(), c.checkAlias);
        EXPECT_EQ(entriesOf(table).size(), c.entries) << shown(c.path) << " CheckAlias " << c.checkAlias;
    }
}

// Fails the failAt-th allocation (counted from 1); 0 never fails.
int allocations, failAt;
void* failingAllocate(size_t size) { return ++allocations == failAt ? nullptr : malloc(size); }

TEST_F(AliasFile, OutOfMemoryDropsALineOrStopsAtTheEntry) {
    // Per line: name, body, entry.
    std::string path = write("DOSKEY A=1\nDOSKEY B=2\nDOSKEY C=3\n");
    struct { int failAt; const char* names; int complete; } cases[] = {
        {0, "ABC", 1}, {1, "BC", 1}, {2, "BC", 1}, {3, "", 0}, {4, "AC", 1},
        {5, "AC", 1},  {6, "A", 0},  {7, "AB", 1}, {8, "AB", 1}, {9, "AB", 0},
    };
    for (auto& c : cases) {
        allocations = 0;
        failAt = c.failAt;
        macroAllocate = failingAllocate;
        FILE* f = fopen(path.c_str(), "r");
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(readMacroDefinitions(&table, f), c.complete) << "allocation " << c.failAt;
        fclose(f);
        macroAllocate = malloc;
        std::string names;
        for (auto& e : entriesOf(table)) names += e.first;
        EXPECT_EQ(shown(names), shown(c.names)) << "allocation " << c.failAt;
        freeMacroTableAt(&table);
    }
}

TEST_F(AliasFile, TheProcessTableFollowsTheSettings) {
    Settings saved = settings;
    std::string path = write("DOSKEY A=B\nDOSKEY C=D\n");
    snprintf(settings.AliasFile, sizeof settings.AliasFile, "%s", path.c_str());
    settings.CheckAlias = 1;
    // Reloading many times, without freeing in between, must leave nothing behind.
    for (int i = 0; i < 50; ++i) loadMacroTable();
    EXPECT_EQ(entriesOf(macroTable), (Entries{{"A", "B"}, {"C", "D"}}));
    settings.CheckAlias = 0;
    loadMacroTable();
    EXPECT_EQ(macroTable, nullptr) << "switching CheckAlias off empties the table";
    settings.CheckAlias = 1;
    loadMacroTable();
    freeMacroTable();
    EXPECT_EQ(macroTable, nullptr);
    freeMacroTable();  // freeing an empty table is harmless
    settings = saved;
}

int noDirectory(void*, const char*) { return 0; }
int noBrowser(void*, char*, size_t) { return 0; }

TEST_F(AliasFile, TypedLinesExpandByTheLoadedMacros) {
    load("doskey ls=dir /w $*\r\n   DOSKEY  cp = copy $1 $2\r\nC:\\DOS\\DOSKEY.COM LL=DIR $1\r\n"
         "DOSKEY X=ONE\r\nDOSKEY X=TWO\r\nDOSKEY /BUFSIZE=512\r\ndoskey h=cd \\home\r\n");
    Settings s;
    memset(&s, 0, sizeof s);
    s.CheckAlias = 1;
    snprintf(s.Shell, sizeof s.Shell, "cmd.exe");
    DriveDirectoryTable drives = {};
    InterpreterEnv env = {&s, table, &drives, nullptr, noDirectory, noBrowser};
    struct { const char* typed; RequestKind kind; const char* program; const char* parameters; } cases[] = {
        {"ls c:\\temp", REQUEST_EXECUTE, "DIR", " /W c:\\temp"},
        {"LS", REQUEST_EXECUTE, "DIR", " /W "},
        {"cp a.txt   b.txt", REQUEST_EXECUTE, "COPY", " a.txt b.txt"},
        {"Ll x y", REQUEST_EXECUTE, "DIR", " x"},
        {"x", REQUEST_EXECUTE, "ONE", ""},  // the earlier line wins
        {"/bufsize", REQUEST_EXECUTE, "512", ""},
        {"h", REQUEST_CHANGE_DIRECTORY, "CD", " \\HOME"},
        {"lsx", REQUEST_EXECUTE, "lsx", ""},
    };
    for (auto& c : cases) {
        char line[LINE_CAPACITY];
        snprintf(line, sizeof line, "%s", c.typed);
        Request r;
        interpretLine(line, sizeof line, &env, &r);
        EXPECT_EQ(r.kind, c.kind) << shown(c.typed);
        EXPECT_EQ(shown(r.program), shown(c.program)) << shown(c.typed);
        EXPECT_EQ(shown(r.parameters), shown(c.parameters)) << shown(c.typed);
    }
}

}  // namespace

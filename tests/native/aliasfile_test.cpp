// The alias-file reader: which lines define macros, how the file is read
// (line ends, long lines, sharp s growth) and what happens when memory runs out.
#include "interp/aliasfile.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "state/settings.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

Entries entriesOf(const MacroEntry* table) {
    Entries out;
    for (const MacroEntry* e = table; e != nullptr; e = e->next) out.emplace_back(e->name, e->body);
    return out;
}

const std::string SS1014(1014, '\xDF');  // 1014 sharp s: "DOSKEY S=" and these make one full read

TEST(AliasLine, DefinesAMacroOnlyFromADoskeyLineWithNameAndBody) {
    struct { std::string line, name, body; } cases[] = {  // no name: nothing defined
        {"doskey ls=dir /w $*", "LS", "DIR /W $*"}, {"   DOSKEY  cp = copy $1 $2", "CP", "COPY $1 $2"},
        {"C:\\DOS\\DOSKEY.COM LL=DIR $1", "LL", "DIR $1"}, {"DOSKEY /BUFSIZE=512", "/BUFSIZE", "512"},
        {"LH C:\\DOS\\DOSKEY /INSERT", "", ""}, {"   rem doskey x=y", "", ""}, {"\tREM DOSKEY X=Y", "", ""},
        {"REM\tDOSKEY X=Y", "X", "Y"},  // "REM" and a tab is no comment
        {"@REM DOSKEY X=Y", "X", "Y"},
        {"echo doskey is here", "IS", "HERE"},  // DOSKEY anywhere in the line
        {"DOSKEY X\n", "", ""},  {"DOSKEY X= \t\r\n", "", ""}, {"DOSKEY =X", "", ""}, {"DOSKEY  \t\n", "", ""},
        {"DOSKEYX=Y", "", ""}, {"DOSKEY ls=dir /w \t\r\n", "LS", "DIR /W"},
        {"DOSKEY x == = y", "X", "Y"}, {"DOSKEY\tx\t=\ty\tz", "X", "Y\tZ"}, {"DOSKEY a=b=c", "A", "B=C"},
        {"doskey straße=cd \\daten\\müll", "STRASSE", "CD \\DATEN\\MÜLL"},
        // A full read of sharp s doubles and still fits; beyond one read nothing is looked at.
        {"DOSKEY S=" + SS1014, "S", std::string(2028, 'S')}, {"DOSKEY " + SS1014 + "=X", std::string(2028, 'S'), "X"},
        {"DOSKEY A=" + std::string(1014, 'b') + "cde", "A", std::string(1014, 'B')},
    };
    for (auto& c : cases) {
        AliasDefinition d;
        int defined = parseAliasLine(c.line.c_str(), &d);
        EXPECT_EQ(defined, !c.name.empty()) << c.line;
        if (defined) {
            EXPECT_EQ(d.name, c.name) << c.line;
            EXPECT_EQ(d.body, c.body) << c.line;
        }
    }
}

class AliasFile : public ::testing::Test {
protected:
    void TearDown() override {
        freeMacroTableAt(&table);
        macroAllocate = malloc;
        remove(path.c_str());
    }
    const std::string& write(const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    Entries load(const std::string& bytes) {
        loadMacroTableFrom(&table, write(bytes).c_str(), 1);
        return entriesOf(table);
    }
    std::string path = testing::TempDir() + "pexor-alias-" + std::to_string(getpid()) + ".bat";
    MacroEntry* table = nullptr;
};

TEST_F(AliasFile, TheRestOfALongLineBelongsToItAndIsSkipped) {
    const std::string filler(1023 - 9, 'x');
    struct { std::string file; Entries expected; } cases[] = {
        {"DOSKEY A=", {}}, {"DOSKEY A=" + filler + "DOSKEY B=C\n", {{"A", std::string(1014, 'X')}}},
        {"REM " + std::string(1100, 'r') + " doskey zz=format c:\nDOSKEY D=E\n", {{"D", "E"}}},
        // A line of exactly 1023 characters: the line after it is read as usual.
        {"DOSKEY A=" + filler + "\nDOSKEY D=E\n", {{"A", std::string(1014, 'X')}, {"D", "E"}}},
        // CR LF split by the end of a read.
        {"DOSKEY A=" + std::string(1013, 'x') + "\r\nDOSKEY D=E", {{"A", std::string(1013, 'X')}, {"D", "E"}}},
        {"DOSKEY S=" + SS1014 + std::string(6, '\xDF') + "\nDOSKEY T=\xDF", {{"S", std::string(2028, 'S')}, {"T", "SS"}}},
    };
    for (auto& c : cases) EXPECT_EQ(load(c.file), c.expected) << c.file.substr(0, 12) << "...";
}

// The process table, from what the settings name: any CheckAlias but 0
// loads, and each load replaces what was there (2 entries, not 4).
TEST_F(AliasFile, LoadsNothingWhenSwitchedOffUnnamedOrUnreadable) {
    Settings saved = settings;
    std::string good = write("DOSKEY A=B\nDOSKEY C=D\n");
    struct { std::string path; int32_t checkAlias; size_t entries; } cases[] = {
        {good, 1, 2}, {good, 2, 2}, {good, 0, 0}, {good, -1, 2}, {"", 1, 0},
        {good, 1, 2}, {good + ".missing", 1, 0}, {good, 1, 2}, {testing::TempDir(), 1, 0}};
    for (auto& c : cases) {
        snprintf(settings.AliasFile, sizeof settings.AliasFile, "%s", c.path.c_str());
        settings.CheckAlias = c.checkAlias;
        loadMacroTable();
        EXPECT_EQ(entriesOf(macroTable).size(), c.entries) << c.path << " CheckAlias " << c.checkAlias;
    }
    freeMacroTable();
    EXPECT_EQ(macroTable, nullptr);
    settings = saved;
}

// Fails the failAt-th allocation (counted from 1); 0 never fails.
int allocations, failAt;
void* failingAllocate(size_t size) { return ++allocations == failAt ? nullptr : malloc(size); }

// Reading appends to a table that holds Z; per line it allocates name, body, entry.
TEST_F(AliasFile, OutOfMemoryDropsALineOrStopsAtTheEntry) {
    struct { int failAt; const char* names; int complete; } cases[] = {
        {0, "ZABC", 1}, {1, "ZBC", 1}, {2, "ZBC", 1}, {3, "Z", 0},  {4, "ZAC", 1},
        {5, "ZAC", 1},  {6, "ZA", 0},  {7, "ZAB", 1}, {8, "ZAB", 1}, {9, "ZAB", 0},
    };
    for (auto& c : cases) {
        load("DOSKEY Z=0\n");
        write("DOSKEY A=1\nDOSKEY B=2\nDOSKEY C=3\n");
        allocations = 0, failAt = c.failAt, macroAllocate = failingAllocate;
        FILE* f = fopen(path.c_str(), "r");
        EXPECT_EQ(readMacroDefinitions(&table, f), c.complete) << "allocation " << c.failAt;
        fclose(f), macroAllocate = malloc;
        std::string names;
        for (auto& e : entriesOf(table)) names += e.first;
        EXPECT_EQ(names, c.names) << "allocation " << c.failAt;
    }
}

}  // namespace

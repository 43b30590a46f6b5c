// The "-p" start option and the hand-off line check.
#include "interp/startoptions.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <utility>
#include <vector>

#include "interp/interpreter.h"

namespace {

std::string bar(const std::string& s) { return "|" + s + "|"; }

int pathExists(const char* path) {
    static const char* const existing[] = {"c:\\temp", "c:\\program files\\x", "c:\\program",
                                           "c:\\good", "c:\\boot.ini", "c:\\a\tb"};
    for (const char* e : existing)
        if (strcmp(path, e) == 0) return 1;
    return strncmp(path, "c:\\long", 7) == 0;
}

// A value is kept whole or not at all (0): a cut one would name another place;
// nor is one with "?" (2), as a character the code page lacks arrives.
TEST(StartOptions, FindTheDirectoryInEveryAcceptedSpellingAndKeepItWholeOrNotAtAll) {
    const std::string v259 = "c:\\long" + std::string(252, 'a');
    struct { std::string line, dir; int fits = 1; } cases[] = {
        {"-p c:\\temp", "c:\\temp"},         {"/P c:\\temp", "c:\\temp"},     {"-pc:\\temp", "c:\\temp"},
        {"-p   \t c:\\temp", "c:\\temp"},    {"-x -p c:\\temp", "c:\\temp"},  {"x-pc:\\temp", "c:\\temp"},
        {"--p c:\\temp", "c:\\temp"}, {"-p 'c:\\program files\\x'", "c:\\program files\\x"},
        {"-p \"c:\\program files\\x\"", "c:\\program files\\x"},
        {"-p 'c:\\program files\\x\" tail", "c:\\program files\\x"},  // either quote closes
        {"-p \"c:\\program files\\x'", "c:\\program files\\x"},
        {"-p \"c:\\program files\\x", "c:\\program files\\x"},  // unclosed: up to the end
        {"-p c:\\program files", "c:\\program"},
        {"-p c:\\a\tb", "c:\\a\tb"},         // a tab does not end an unquoted value
        {"-p c:\\boot.ini", "c:\\boot.ini"},  // any existing path, a file too
        {"", ""},          {"-p", ""},          {"-p   ", ""},          {"-q c:\\temp", ""},
        {"p c:\\temp", ""}, {"-p c:\\nowhere", ""}, {"-p c:\\temp -p", ""},
        {"-p c:\\good -p c:\\nowhere", ""},    {"-p c:\\nowhere -p c:\\good", "c:\\good"},
        {"-p " + v259 + " -x", v259}, {"-p " + v259 + "a", "", 0},
        {"-p " + v259 + "a -p c:\\temp", "c:\\temp"},  // the last value decides
        {"-p c:\\hx\\???", "", 2}, {"-p 'c:\\a?b'", "", 2}, {"-p c:\\a?b -p c:\\temp", "c:\\temp"},
    };
    for (auto& c : cases) {
        char dir[PATH_CAPACITY];
        memset(dir, 'x', sizeof dir);
        EXPECT_EQ(parseStartOptions(c.line.c_str(), dir, pathExists), c.fits) << bar(c.line);
        EXPECT_EQ(bar(dir), bar(c.dir)) << bar(c.line);
    }
    // The whole command line loses the program's name as WinMain's does.
    for (auto& c : std::vector<std::pair<const char*, const char*>>{
             {"\"c:\\a b\\pexor.exe\" \t-p x", "-p x"}, {"pexor.exe  -p x", "-p x"}, {"\"c:\\a-p\\p.exe\"", ""},
             {"c:\\a-p\\p.exe", ""}, {"\"unclosed -p x", ""}, {"", ""}})
        EXPECT_EQ(bar(skipProgramName(c.first)), bar(c.second)) << bar(c.first);
}

TEST(HandOffLine, AcceptsOnlyCdWithAPrintablePath) {
    struct { const char* line; int ok; const char* after; } cases[] = {
        {"cd c:\\temp", 1, "cd c:\\temp"}, {"cd c:\\temp\n", 1, "cd c:\\temp"}, {"cd c:\\temp\r\n", 1, "cd c:\\temp"},
        {"cd c:\\Programme\\Grüße", 1, "cd c:\\Programme\\Grüße"},
        {"cd ", 0, ""},           {"cd", 0, ""},            {"", 0, ""},             {"dir c:\\", 0, ""},
        {"CD c:\\temp", 0, ""},   {" cd c:\\temp", 0, ""},  {"!cd c:\\temp", 0, ""}, {"cdx c:\\temp", 0, ""},
        {"cd c:\\a\tb", 0, ""},  {"cd c:\\a\x1b[b", 0, ""}, {"cd c:\\a\rformat c:", 0, ""}, {"cd \x01c:\\", 0, ""},
        {"cd \x7f", 0, ""},      {"cd x", 1, "cd x"},
    };
    for (auto& c : cases) {
        char line[300];
        strcpy(line, c.line);
        EXPECT_EQ(acceptHandOffLine(line), c.ok) << bar(c.line);
        if (c.ok) { EXPECT_EQ(bar(line), bar(c.after)); }
    }
    // Any directory a start can have (259 characters) is handed over whole;
    // a second start makes only lines the running one accepts.
    for (size_t length : {258u, 259u, 260u}) {
        std::string dir = "c:\\" + std::string(length - 3, 'd');
        char buffer[400], made[300];
        strcpy(buffer, ("cd " + dir).c_str());
        EXPECT_EQ(acceptHandOffLine(buffer), length <= PATH_CAPACITY - 1 ? 1 : 0) << length;
        EXPECT_EQ(makeHandOffLine(dir.c_str(), made, sizeof made), length <= PATH_CAPACITY - 1 ? 1 : 0);
    }
    char made[300];
    EXPECT_EQ(makeHandOffLine("c:\\a\tb", made, sizeof made), 0);
}

}  // namespace

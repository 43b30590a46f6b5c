// Line interpretation: what one typed line asks for under given settings,
// macros and remembered directories.
#include "interp/interpreter.h"

#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "base/textutil.h"

namespace {

const char SHELL[] = "c:\\windows\\command.com";
const char BROWSER[] = "c:\\web\\browser.exe";

struct Fixture {
    Settings settings{};
    DriveDirectoryTable drives{};
    std::vector<MacroEntry> macros;
    std::vector<std::string> names, bodies;
    bool browserKnown = true;
    int browserQueries = 0;

    Fixture() { settings.CheckAlias = settings.CheckInternal = settings.Exit = 1, strcpy(settings.Shell, SHELL); }
    void addMacro(const std::string& name, const std::string& body) { names.push_back(name), bodies.push_back(body); }
    InterpreterEnv env() {
        macros.assign(names.size(), MacroEntry{});
        for (size_t i = 0; i < names.size(); ++i)
            macros[i] = {&names[i][0], &bodies[i][0], i + 1 < names.size() ? &macros[i + 1] : nullptr};
        return {&settings, macros.empty() ? nullptr : &macros[0], &drives, this, isDirectory, findBrowser};
    }
    static int isDirectory(void*, const char* path) { return strcmp(path, "c:\\windows") == 0; }
    static int findBrowser(void* context, char* path, size_t capacity) {
        Fixture* f = static_cast<Fixture*>(context);
        ++f->browserQueries;
        return f->browserKnown && copyText(path, capacity, BROWSER);
    }
    // The line in a buffer of lineCapacity bytes; rewritten: the buffer afterwards.
    // A line that begins with ">" is a directory for the program's own cd.
    Request run(const std::string& text, std::string* rewritten = nullptr, size_t lineCapacity = LINE_CAPACITY) {
        std::vector<char> line(text.begin(), text.end());
        line.resize(std::max(lineCapacity, text.size() + 1));
        InterpreterEnv e = env();
        Request r;
        text[0] == '>' ? interpretChangeDirectory(&line[1], &e, &r) : interpretLine(line.data(), lineCapacity, &e, &r);
        if (rewritten) *rewritten = line.data();
        return r;
    }
};

// Program and parameters are compared for execute and CD requests (parameters also for
// refused ones), the verb for execute.
struct Expect {
    std::string line;
    RequestKind kind;
    std::string program = "", parameters = "";
    const char* verb = "open";
};

void check(Fixture& f, const std::vector<Expect>& cases) {
    for (const Expect& c : cases) {
        SCOPED_TRACE("|" + c.line + "|");
        Request r = f.run(c.line);
        EXPECT_EQ(r.kind, c.kind);
        if (c.kind == REQUEST_TOO_LONG) { EXPECT_EQ(r.parameters, c.parameters); }
        if (c.kind != REQUEST_EXECUTE && c.kind != REQUEST_CHANGE_DIRECTORY) continue;
        EXPECT_EQ(r.program, c.program);
        EXPECT_EQ(r.parameters, c.parameters);
        EXPECT_STREQ(c.kind == REQUEST_EXECUTE ? r.verb : "open", c.verb);
    }
}

const RequestKind RUN = REQUEST_EXECUTE, CD = REQUEST_CHANGE_DIRECTORY, NOTHING = REQUEST_NOTHING,
                  CLOSE = REQUEST_CLOSE;

TEST(Interpreter, SplitsTheLineIntoWhatItAsksFor) {
    Fixture f;
    check(f, {
        {"notepad c:\\a.txt", RUN, "notepad", "c:\\a.txt"}, {"   notepad", RUN, "notepad", ""},
        {"prog   a  \"b c\"\t ", RUN, "prog", "a  \"b c\"\t "},
        {"\"c:\\Program Files\\x.exe\" -a", RUN, "c:\\Program Files\\x.exe", "-a"},
        {"\"c:\\Program Files\\x.exe\"", RUN, "c:\\Program Files\\x.exe", ""},
        {"\"unterminated path", RUN, "unterminated path", ""},
        {"a\tb c", RUN, "a\tb", "c"},  // a tab does not end the word
        {"\tcls", RUN, "\tcls", ""},   // nor is it stepped over in front
        {"c:\\windows", RUN, "c:\\windows", "", "explore"}, {"", NOTHING}, {"    ", NOTHING}, {"\"\" x", NOTHING},
        // "!" runs the command interpreter (and is no drive switch).
        {"!", RUN, SHELL, ""}, {"  !   ", RUN, SHELL, ""}, {"! net view", RUN, SHELL, " /c net view"},
        {"!notepad", RUN, SHELL, " /c notepad "}, {"!c:", RUN, SHELL, " /c c: "},
        // cd as cmd takes it: blanks around the directory and one pair of quotes go.
        {"cd c:\\temp", CD, "cd", "c:\\temp"}, {"CD \"c:\\a b\"", CD, "CD", "c:\\a b"},
        {"cd  \"c:\\a b\" \t", CD, "cd", "c:\\a b"}, {"cd \"c:\\a b", CD, "cd", "\"c:\\a b"},
        {"cd \"\"c:\\a\"\"", CD, "cd", "\"c:\\a\""},
        {"cd", NOTHING}, {"cd   ", NOTHING}, {"cd \"\"", NOTHING},  // a bare cd shows nothing
        {"exit", CLOSE}, {"EXIT now", CLOSE},
    });
}

TEST(Interpreter, BuiltInCommandsAndExitAreOnlyWhenTheirSwitchIsOne) {
    Fixture f;
    check(f, {
        {"dir c:\\", RUN, SHELL, " /c dir c:\\"}, {"Dir", RUN, SHELL, " /c Dir "},
        {"!dir", RUN, SHELL, std::string(" /c ") + SHELL + "  /c dir "},  // wrapped twice
        {"dirx", RUN, "dirx", ""}, {"cd..", RUN, "cd..", ""}, {"cd\\", RUN, "cd\\", ""},
    });
    for (const char* command : InternalCommandTable) {
        std::string word = command;
        for (char& ch : word) ch = (char)tolower(ch);
        EXPECT_STREQ(f.run(word).program, SHELL) << word;
    }
    for (int32_t off : {0, 2}) {  // only exactly 1 switches them on
        f.settings.CheckInternal = f.settings.Exit = off;
        check(f, {{"dir c:\\", RUN, "dir", "c:\\"}, {"exit", NOTHING}});
    }
}

TEST(Interpreter, DriveSwitchBecomesCdToTheRememberedDirectory) {
    Fixture f;
    char dirs[4][PATH_CAPACITY] = {"C:\\WINDOWS\\System", "E:\\", "\\\\Server\\Share", "1:\\X"};
    std::string rewritten;
    EXPECT_EQ(f.run("c:", &rewritten).kind, CD);
    EXPECT_EQ(rewritten, "cd c:\\") << "nothing remembered: the root";
    for (char* dir : dirs) rememberDirectory(&f.drives, dir);
    EXPECT_EQ(std::vector<std::string>(dirs, dirs + 4),
              (std::vector<std::string>{"c:\\windows\\system", "e:\\", "\\\\server\\share", "1:\\x"}));
    for (int d = 0; d < DRIVE_COUNT; ++d)
        EXPECT_STREQ(f.drives[d], d == 2 ? "\\windows\\system" : d == 4 ? "\\" : "") << "drive " << d;
    const struct { const char* typed; const char* rewritten; } cases[] = {
        {"c:", "cd c:\\windows\\system"}, {"C:", "cd C:\\windows\\system"}, {"  e:", "  cd e:\\"},
        {"c:\\", "c:\\"}, {"c:x", "c:x"}, {"1:", "1:"}, {"cc:", "cc:"},  // no drive switch
    };
    for (auto& c : cases) {
        Request r = f.run(c.typed, &rewritten);
        EXPECT_EQ(rewritten, c.rewritten);
        EXPECT_EQ(r.kind, rewritten == c.typed ? RUN : CD) << c.typed;
    }
    struct { const char* dir; const char* name; } names[] = {  // letters of either case, a to z
        {"c:\\windows", "=C:"}, {"z:\\", "=Z:"}, {"Z:\\", "=Z:"}, {"a:", "=A:"}, {"A:", "=A:"}, {"\\\\srv\\x", ""},
        {"//srv/x", ""},         {"\\/srv", ""},  {"1:\\", ""},  {"[:", ""},   {"@:", ""},   {"`:", ""},   {"{:", ""},
    };
    for (auto& c : names) {
        char name[4] = "";
        EXPECT_EQ(driveVariableName(c.dir, name), c.name[0] != '\0') << c.dir;
        EXPECT_STREQ(name, c.name) << c.dir;
    }
}

TEST(Interpreter, UrlsOpenTheBrowserWithTheUrlAlone) {
    Fixture f;
    f.settings.CheckInternal = 0;
    check(f, {
        {"http://example.org/a b", RUN, BROWSER, "http://example.org/a"}, {"FtP://host", RUN, BROWSER, "FtP://host"},
        {"www.example.org", RUN, BROWSER, "www.example.org"}, {"Ftp.example.org", RUN, BROWSER, "Ftp.example.org"},
        {"\"http://x y\" z", RUN, BROWSER, "http://x y"},
        {"https://example.org", RUN, "https://example.org", ""}, {"www", RUN, "www", ""},
    });
    f.browserKnown = false, f.browserQueries = 0;
    check(f, {{"www.example.org x", RUN, "www.example.org", "x"}, {"notepad", RUN, "notepad", ""}});
    EXPECT_EQ(f.browserQueries, 1) << "only URLs look for the browser";
}

TEST(Interpreter, MacrosExpandBeforeEveryOtherTest) {
    Fixture f;
    const char* macros[][2] = {
        {"LS", "DIR /W $*"}, {"CP", "COPY $1 $2"}, {"X", "FIRST"},        {"X", "SECOND"},
        {"HOME", "CD\t\"C:\\A B\""}, {"BYE", "EXIT"},      {"WEB", "WWW.EXAMPLE.ORG"}, {"E", "ECHO $*"},
        {"ODD", "$1 FOO"},   {"GRUSS", "ECHO HALLO"}, {"M", "ECHO $10 $9 $G $$ $"},
    };
    for (auto& m : macros) f.addMacro(m[0], m[1]);
    f.settings.CheckInternal = 0;
    check(f, {
        {"ls c:\\temp", RUN, "DIR", " /W c:\\temp"}, {"Ls", RUN, "DIR", " /W "},
        {"cp a.txt   b.txt", RUN, "COPY", " a.txt b.txt"}, {"cp a.txt", RUN, "COPY", " a.txt "},
        {"cp a\tb  c", RUN, "COPY", " a\tb c"},  // parameters are split at blanks only
        {"x", RUN, "FIRST", ""}, {"home", CD, "CD", "C:\\A B"}, {"bye", CLOSE},
        {"web", RUN, BROWSER, "WWW.EXAMPLE.ORG"}, {"e x $1 y", RUN, "ECHO", " x x y"}, {"odd a", RUN, "$1", " FOO"},
        {"gruß welt", RUN, "ECHO", " HALLO"},  // ß is compared in its upper-case form
        {"Straße", RUN, "Straße", ""},         // and the word itself keeps its case
        // "$10" is "$1" and "0"; other "$" sequences pass through.
        {"m a b c d e f g h i j", RUN, "ECHO", " a0 i $G $$ $"},
    });
    f.settings.CheckInternal = 1;
    check(f, {{"ls", RUN, SHELL, " /c DIR  /W "}});
    f.settings.CheckAlias = 2;  // loaded but not expanded
    check(f, {{"ls", RUN, "ls", ""}});
}

// Overlong texts: refused at capacity + 1, accepted at capacity and below.
TEST(Interpreter, OverlongRewritesAreRefusedNotCut) {
    Fixture f;
    // "cd c:" and the remembered directory must fit in the 259 characters the
    // line has left after leading blanks; a refused line stays as typed.
    const struct { const char* typed; size_t slot; bool fits; } drives[] = {
        {"c:", 254, true}, {"c:", 255, false}, {"  c:", 252, true}, {"  c:", 253, false},
    };
    for (auto& c : drives) {
        std::string slot = "\\" + std::string(c.slot - 1, 'x'), rewritten;
        copyText(f.drives[2], PATH_CAPACITY, slot.c_str());
        Request r = f.run(c.typed, &rewritten);
        EXPECT_EQ(r.kind, c.fits ? CD : REQUEST_TOO_LONG) << c.typed << " " << c.slot;
        EXPECT_EQ(rewritten, c.fits ? std::string(strlen(c.typed) - 2, ' ') + "cd c:" + slot : c.typed);
    }
    // Parameters hold 299 characters; these macros grow them past a line's length.
    const std::string q40(40, 'q');
    f.addMacro("D", "DIR " + q40 + "$*");   // a built-in command: wrapped
    f.addMacro("L", "LONG " + q40 + "$*");  // wrapped after "!"
    check(f, {
        {"d " + std::string(250, 'p'), RUN, SHELL, " /c DIR  " + q40 + std::string(250, 'p')},
        {"d " + std::string(251, 'p'), REQUEST_TOO_LONG},
        {"!l " + std::string(249, 'p'), RUN, SHELL, " /c LONG  " + q40 + std::string(249, 'p')},
        {"!l " + std::string(250, 'p'), REQUEST_TOO_LONG}, {std::string(259, 'w'), RUN, std::string(259, 'w'), ""},
    });
    // A program word of 260 characters does not fit its buffer.
    EXPECT_EQ(f.run(std::string(260, 'w'), nullptr, 400).kind, REQUEST_TOO_LONG);
}

TEST(MacroExpansion, ResultsThatDoNotFitLeaveWordAndParametersUnchanged) {
    std::string body = "ECHO $* $*", longWord(WORD_CAPACITY, 'W');
    char name[] = "M";
    MacroEntry m = {name, &body[0], nullptr}, w = {name, &longWord[0], nullptr};
    // The expansion is " " + p + " " + p: 2 + 2 * length, at most 299.
    for (size_t length : {148u, 149u}) {
        char word[WORD_CAPACITY] = "M", params[PARAMETER_CAPACITY];
        strcpy(params, std::string(length, 'a').c_str());
        bool fits = 2 + 2 * length <= PARAMETER_CAPACITY - 1;
        EXPECT_EQ(expandMacro(&m, word, params), fits ? EXPAND_DONE : EXPAND_TOO_LONG) << length;
        EXPECT_EQ(strlen(params), fits ? 2 + 2 * length : length);
        EXPECT_STREQ(word, fits ? "ECHO" : "M");
    }
    char word[WORD_CAPACITY] = "M", params[PARAMETER_CAPACITY] = "";
    EXPECT_EQ(expandMacro(&w, word, params), EXPAND_TOO_LONG);
    EXPECT_EQ(expandMacro(nullptr, word, params), EXPAND_NONE);
}

// Codes 2 and the overlong line show in the Win32 tests' boxes.
TEST(ErrorTable, EveryCodeHasItsGermanText) {
    EXPECT_STREQ(execErrorText(31), "F\xFCr die angegebene Dateierweiterung existiert keine Dateiverkn\xFCpfung.");
    EXPECT_STREQ(execErrorText(32), "Die angegebene DLL wurde nicht gefunden.");
    const std::set<int> known = {0, 2, 3, 5, 8, 11, 26, 27, 28, 29, 30, 31, 32, EXEC_LINE_TOO_LONG};
    for (int code = -5; code <= EXEC_LINE_TOO_LONG + 2; ++code)
        EXPECT_EQ(strcmp(execErrorText(code), "Unbekannter Fehler...") != 0, known.count(code) == 1) << code;
}

}  // namespace

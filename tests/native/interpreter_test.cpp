// Line interpretation: what one typed line asks for under given settings,
// macros and remembered directories.
#include "interp/interpreter.h"

#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "interp/textutil.h"

namespace {

std::string bar(const std::string& s) { return "|" + s + "|"; }

const char SHELL[] = "c:\\windows\\command.com";
const char BROWSER[] = "c:\\web\\browser.exe";

struct Fixture {
    Settings settings{};
    DriveDirectoryTable drives{};
    std::vector<MacroEntry> macros;
    std::vector<std::string> names, bodies;
    bool browserKnown = true;
    int browserQueries = 0;

    Fixture() {
        settings.CheckAlias = 1;
        settings.CheckInternal = 1;
        settings.Exit = 1;
        strcpy(settings.Shell, SHELL);
    }

    void addMacro(const char* name, const char* body) {
        names.push_back(name);
        bodies.push_back(body);
    }

    InterpreterEnv env() {
        macros.assign(names.size(), MacroEntry{});
        for (size_t i = 0; i < names.size(); ++i) {
            macros[i].name = &names[i][0];
            macros[i].body = &bodies[i][0];
            macros[i].next = i + 1 < names.size() ? &macros[i + 1] : nullptr;
        }
        InterpreterEnv e = {&settings, macros.empty() ? nullptr : &macros[0], &drives, this,
                            isDirectory, findBrowser};
        return e;
    }

    static int isDirectory(void*, const char* path) {
        return strcmp(path, "c:\\windows") == 0 || strcmp(path, "D:\\Daten") == 0;
    }
    static int findBrowser(void* context, char* path, size_t capacity) {
        Fixture* f = static_cast<Fixture*>(context);
        ++f->browserQueries;
        return f->browserKnown && copyText(path, capacity, BROWSER);
    }

    Request run(const char* text, std::string* rewritten = nullptr) {
        char line[LINE_CAPACITY];
        copyText(line, sizeof line, text);
        InterpreterEnv e = env();
        Request r;
        interpretLine(line, sizeof line, &e, &r);
        if (rewritten) *rewritten = line;
        return r;
    }
};

const char* kindName(RequestKind k) {
    switch (k) {
        case REQUEST_NOTHING: return "nothing";
        case REQUEST_CHANGE_DIRECTORY: return "cd";
        case REQUEST_CLOSE: return "close";
        case REQUEST_EXECUTE: return "execute";
        case REQUEST_TOO_LONG: return "too long";
    }
    return "?";
}

struct Expect {
    const char* line;
    RequestKind kind;
    const char* program;
    const char* parameters;
    const char* verb;
};

void check(Fixture& f, const std::vector<Expect>& cases) {
    for (const Expect& c : cases) {
        Request r = f.run(c.line);
        SCOPED_TRACE(bar(c.line));
        EXPECT_STREQ(kindName(r.kind), kindName(c.kind));
        if (c.kind == REQUEST_EXECUTE || c.kind == REQUEST_CHANGE_DIRECTORY) {
            EXPECT_EQ(bar(r.program), bar(c.program));
            EXPECT_EQ(bar(r.parameters), bar(c.parameters));
        }
        if (c.kind == REQUEST_EXECUTE) {
            EXPECT_STREQ(r.verb, c.verb);
        }
    }
}

const std::string WRAP = std::string(" /c ");

TEST(Interpreter, SplitsProgramWordAndParameters) {
    Fixture f;
    check(f, {
        {"notepad c:\\a.txt", REQUEST_EXECUTE, "notepad", "c:\\a.txt", "open"},
        {"   notepad", REQUEST_EXECUTE, "notepad", "", "open"},
        {"prog   a  \"b c\"\t ", REQUEST_EXECUTE, "prog", "a  \"b c\"\t ", "open"},
        {"\"c:\\Program Files\\x.exe\" -a", REQUEST_EXECUTE, "c:\\Program Files\\x.exe", "-a", "open"},
        {"\"c:\\Program Files\\x.exe\"", REQUEST_EXECUTE, "c:\\Program Files\\x.exe", "", "open"},
        {"\"unterminated path", REQUEST_EXECUTE, "unterminated path", "", "open"},
        {"a\tb c", REQUEST_EXECUTE, "a\tb", "c", "open"},  // a tab does not end the word
        {"\tcls", REQUEST_EXECUTE, "\tcls", "", "open"},   // nor is it stepped over in front
        {"c:\\windows", REQUEST_EXECUTE, "c:\\windows", "", "explore"},
        {"", REQUEST_NOTHING, "", "", ""},
        {"    ", REQUEST_NOTHING, "", "", ""},
        {"\"\" x", REQUEST_NOTHING, "", "", ""},
    });
}

TEST(Interpreter, ShellPrefixRunsTheCommandInterpreter) {
    Fixture f;
    f.settings.CheckInternal = 0;
    check(f, {
        {"!", REQUEST_EXECUTE, SHELL, "", "open"},
        {"  !   ", REQUEST_EXECUTE, SHELL, "", "open"},
        {"! dir /w", REQUEST_EXECUTE, SHELL, " /c dir /w", "open"},
        {"!notepad", REQUEST_EXECUTE, SHELL, " /c notepad ", "open"},
        {"!c:", REQUEST_EXECUTE, SHELL, " /c c: ", "open"},  // no drive switch after "!"
    });
}

TEST(Interpreter, BuiltInCommandsGoThroughTheShellOnlyWhenCheckInternalIsOne) {
    Fixture f;
    std::string twice = WRAP + SHELL + "  /c dir ";
    check(f, {
        {"dir c:\\", REQUEST_EXECUTE, SHELL, " /c dir c:\\", "open"},
        {"Dir", REQUEST_EXECUTE, SHELL, " /c Dir ", "open"},
        {"chdir x", REQUEST_EXECUTE, SHELL, " /c chdir x", "open"},
        {"!dir", REQUEST_EXECUTE, SHELL, twice.c_str(), "open"},
        {"dirx", REQUEST_EXECUTE, "dirx", "", "open"},
        {"cd..", REQUEST_EXECUTE, "cd..", "", "open"},
        {"cd\\", REQUEST_EXECUTE, "cd\\", "", "open"},
    });
    for (int i = 0; i < INTERNAL_COMMAND_COUNT; ++i) {
        std::string word = InternalCommandTable[i];
        for (char& ch : word) ch = (char)tolower(ch);
        Request r = f.run(word.c_str());
        EXPECT_STREQ(r.program, SHELL) << word;
    }
    f.settings.CheckInternal = 2;  // only exactly 1 switches it on
    check(f, {{"dir c:\\", REQUEST_EXECUTE, "dir", "c:\\", "open"}});
    f.settings.CheckInternal = 0;
    check(f, {{"dir c:\\", REQUEST_EXECUTE, "dir", "c:\\", "open"}});
}

TEST(Interpreter, CdAndExitAreHandledHere) {
    Fixture f;
    check(f, {
        {"cd c:\\temp", REQUEST_CHANGE_DIRECTORY, "cd", "c:\\temp", ""},
        {"CD \"c:\\a b\"", REQUEST_CHANGE_DIRECTORY, "CD", "\"c:\\a b\"", ""},  // quotes stay
        {"cd", REQUEST_CHANGE_DIRECTORY, "cd", "", ""},
        {"exit", REQUEST_CLOSE, "", "", ""},
        {"EXIT now", REQUEST_CLOSE, "", "", ""},
    });
    f.settings.Exit = 0;
    check(f, {{"exit", REQUEST_NOTHING, "", "", ""}});
    f.settings.Exit = 2;
    check(f, {{"exit", REQUEST_NOTHING, "", "", ""}});
}

TEST(Interpreter, SharpSIsComparedInItsUpperCaseForm) {
    Fixture f;
    f.addMacro("GRUSS", "ECHO HALLO");
    check(f, {
        {"gruß welt", REQUEST_EXECUTE, SHELL, " /c ECHO  HALLO", "open"},
        {"Straße", REQUEST_EXECUTE, "Straße", "", "open"},  // the word itself keeps its case
    });
}

TEST(Interpreter, DriveSwitchUsesTheRememberedDirectory) {
    Fixture f;
    std::string rewritten;
    Request r = f.run("c:", &rewritten);
    EXPECT_EQ(r.kind, REQUEST_CHANGE_DIRECTORY);
    EXPECT_EQ(bar(rewritten), bar("cd c:\\"));
    EXPECT_EQ(bar(r.parameters), bar("c:\\"));

    char current[PATH_CAPACITY] = "C:\\WINDOWS\\System";
    rememberDirectory(&f.drives, current);
    EXPECT_EQ(bar(current), bar("c:\\windows\\system"));
    EXPECT_EQ(bar(f.drives[2]), bar("\\windows\\system"));
    f.run("c:", &rewritten);
    EXPECT_EQ(bar(rewritten), bar("cd c:\\windows\\system"));
    f.run("C:", &rewritten);
    EXPECT_EQ(bar(rewritten), bar("cd C:\\windows\\system"));

    char daten[PATH_CAPACITY] = "D:\\Daten\\Projekte";
    rememberDirectory(&f.drives, daten);
    f.run("d:", &rewritten);
    EXPECT_EQ(bar(rewritten), bar("cd d:\\daten\\projekte"));

    char root[PATH_CAPACITY] = "E:\\";
    rememberDirectory(&f.drives, root);
    EXPECT_EQ(bar(f.drives[4]), bar("\\"));

    for (const char* notSwitch : {"c:\\", "c:x", "1:", "cc:"}) {
        Request n = f.run(notSwitch, &rewritten);
        EXPECT_EQ(n.kind, REQUEST_EXECUTE) << bar(notSwitch);
        EXPECT_EQ(bar(rewritten), bar(notSwitch));
    }
}

TEST(Interpreter, NetworkPathsAndDriveVariables) {
    DriveDirectoryTable drives{};
    char unc[PATH_CAPACITY] = "\\\\Server\\Share";
    rememberDirectory(&drives, unc);
    EXPECT_EQ(bar(unc), bar("\\\\server\\share"));
    for (auto& slot : drives) EXPECT_EQ(slot[0], '\0');

    struct { const char* dir; int ok; const char* name; } cases[] = {
        {"c:\\windows", 1, "=C:"}, {"z:\\", 1, "=Z:"}, {"\\\\srv\\x", 0, ""},
        {"//srv/x", 0, ""}, {"\\/srv", 0, ""}, {"1:\\", 0, ""},
    };
    for (auto& c : cases) {
        char name[4] = "";
        EXPECT_EQ(driveVariableName(c.dir, name), c.ok) << bar(c.dir);
        if (c.ok) {
            EXPECT_EQ(bar(name), bar(c.name));
        }
    }
}

TEST(Interpreter, UrlsOpenTheBrowserWithTheUrlAlone) {
    Fixture f;
    f.settings.CheckInternal = 0;
    check(f, {
        {"http://example.org/a b", REQUEST_EXECUTE, BROWSER, "http://example.org/a", "open"},
        {"FtP://host", REQUEST_EXECUTE, BROWSER, "FtP://host", "open"},
        {"www.example.org", REQUEST_EXECUTE, BROWSER, "www.example.org", "open"},
        {"Ftp.example.org", REQUEST_EXECUTE, BROWSER, "Ftp.example.org", "open"},
        {"\"http://x y\" z", REQUEST_EXECUTE, BROWSER, "http://x y", "open"},
        {"https://example.org", REQUEST_EXECUTE, "https://example.org", "", "open"},
        {"www", REQUEST_EXECUTE, "www", "", "open"},
    });
    f.browserKnown = false;
    check(f, {{"www.example.org x", REQUEST_EXECUTE, "www.example.org", "x", "open"}});
    f.browserQueries = 0;
    f.run("notepad");
    EXPECT_EQ(f.browserQueries, 0) << "only URLs look for the browser";
}

TEST(Interpreter, MacrosExpandBeforeEveryOtherTest) {
    Fixture f;
    f.addMacro("LS", "DIR /W $*");
    f.addMacro("CP", "COPY $1 $2");
    f.addMacro("X", "FIRST");
    f.addMacro("X", "SECOND");
    f.addMacro("D", "DIR");
    f.addMacro("HOME", "CD C:\\");
    f.addMacro("BYE", "EXIT");
    f.addMacro("WEB", "WWW.EXAMPLE.ORG");
    f.addMacro("E", "ECHO $*");
    f.addMacro("ODD", "$1 FOO");
    f.settings.CheckInternal = 0;
    check(f, {
        {"ls c:\\temp", REQUEST_EXECUTE, "DIR", " /W c:\\temp", "open"},
        {"Ls", REQUEST_EXECUTE, "DIR", " /W ", "open"},
        {"cp a.txt   b.txt", REQUEST_EXECUTE, "COPY", " a.txt b.txt", "open"},
        {"cp a.txt", REQUEST_EXECUTE, "COPY", " a.txt ", "open"},
        {"cp a100 b", REQUEST_EXECUTE, "COPY", " a100 b", "open"},
        {"x", REQUEST_EXECUTE, "FIRST", "", "open"},
        {"d", REQUEST_EXECUTE, "DIR", "", "open"},
        {"home", REQUEST_CHANGE_DIRECTORY, "CD", " C:\\", ""},
        {"bye", REQUEST_CLOSE, "", "", ""},
        {"web", REQUEST_EXECUTE, BROWSER, "WWW.EXAMPLE.ORG", "open"},
        {"e x $1 y", REQUEST_EXECUTE, "ECHO", " x x y", "open"},
        {"odd a", REQUEST_EXECUTE, "$1", " FOO", "open"},
    });
    f.settings.CheckInternal = 1;
    check(f, {{"ls", REQUEST_EXECUTE, SHELL, " /c DIR  /W ", "open"}});
    f.settings.CheckAlias = 2;  // loaded but not expanded
    check(f, {{"ls", REQUEST_EXECUTE, "ls", "", "open"}});
}

TEST(MacroExpansion, ParametersAreSplitAtBlanksOnly) {
    struct { const char* text; int n; const char* out; } cases[] = {
        {"a b c", 1, "a"}, {"  a   b", 2, "b"}, {"a\tb c", 1, "a\tb"}, {"a", 2, ""},
        {"", 1, ""}, {"a b c d e f g h i j", 9, "i"},
    };
    for (auto& c : cases) {
        char out[PARAMETER_CAPACITY];
        nthParameter(c.text, c.n, out, sizeof out);
        EXPECT_EQ(bar(out), bar(c.out)) << bar(c.text) << " #" << c.n;
    }
    // Codes: "$10" is "$1" and "0"; other "$" sequences pass through.
    Fixture f;
    f.addMacro("M", "ECHO $10 $G $$ $");
    f.settings.CheckInternal = 0;
    check(f, {{"m a", REQUEST_EXECUTE, "ECHO", " a0 $G $$ $", "open"}});
}

// Overlong texts: refused at capacity + 1, accepted at capacity and below.
TEST(Interpreter, OverlongRewritesAreRefusedNotCut) {
    Fixture f;
    // Drive switch: "cd c:" + slot must fit in 259 characters.
    for (size_t slotLength : {253u, 254u, 255u}) {
        std::string slot = "\\" + std::string(slotLength - 1, 'x');
        strcpy(f.drives[2], slot.c_str());
        std::string rewritten;
        Request r = f.run("c:", &rewritten);
        bool fits = 5 + slotLength <= LINE_CAPACITY - 1;
        EXPECT_EQ(r.kind, fits ? REQUEST_CHANGE_DIRECTORY : REQUEST_TOO_LONG) << slotLength;
        EXPECT_EQ(rewritten, fits ? "cd c:" + slot : "c:") << slotLength;
    }
    // Built-in rewrite: " /c dir " + parameters must fit in 299 characters.
    for (size_t n : {290u, 291u, 292u}) {
        Fixture g;
        std::string params(n - 40, 'p');
        // The line itself holds at most 259 characters, so grow the parameters
        // through a macro whose body carries the rest.
        g.addMacro("D", ("DIR " + std::string(40, 'q') + "$*").c_str());
        Request r = g.run(("d " + params).c_str());
        size_t total = 4 + 3 + 1 + 41 + params.size();  // " /c " "DIR" " " + rest
        EXPECT_EQ(r.kind, total <= PARAMETER_CAPACITY - 1 ? REQUEST_EXECUTE : REQUEST_TOO_LONG)
            << "parameters of " << total;
        if (r.kind == REQUEST_EXECUTE) {
            EXPECT_EQ(strlen(r.parameters), total);
        }
    }
    // A program word of 260 characters does not fit its buffer.
    EXPECT_EQ(f.run(std::string(259, 'w').c_str()).kind, REQUEST_EXECUTE);
    char longLine[400];
    memset(longLine, 'w', 260);
    longLine[260] = '\0';
    InterpreterEnv e = f.env();
    Request r;
    interpretLine(longLine, sizeof longLine, &e, &r);
    EXPECT_EQ(r.kind, REQUEST_TOO_LONG);
}

TEST(MacroExpansion, ResultsThatDoNotFitLeaveWordAndParametersUnchanged) {
    std::string body = "ECHO $* $*";
    char name[] = "M";
    MacroEntry m = {name, &body[0], nullptr};
    // The expansion is " " + p + " " + p: 2 + 2 * length.
    for (size_t length : {148u, 149u}) {
        char word[WORD_CAPACITY] = "M";
        char params[PARAMETER_CAPACITY];
        std::string p(length, 'a');
        strcpy(params, p.c_str());
        int result = expandMacro(&m, word, params);
        if (2 + 2 * length <= PARAMETER_CAPACITY - 1) {
            EXPECT_EQ(result, EXPAND_DONE);
            EXPECT_EQ(strlen(params), 2 + 2 * length);
        } else {
            EXPECT_EQ(result, EXPAND_TOO_LONG);
            EXPECT_EQ(bar(word), bar("M"));
            EXPECT_EQ(bar(params), bar(p));
        }
    }
    std::string longWord(WORD_CAPACITY, 'W');
    MacroEntry w = {name, &longWord[0], nullptr};
    char word[WORD_CAPACITY] = "M";
    char params[PARAMETER_CAPACITY] = "";
    EXPECT_EQ(expandMacro(&w, word, params), EXPAND_TOO_LONG);
    EXPECT_EQ(expandMacro(nullptr, word, params), EXPAND_NONE);
}

TEST(ErrorTable, EveryCodeHasItsGermanText) {
    EXPECT_STREQ(execErrorText(2), "Die angegebene Datei íst nicht vorhanden.");
    EXPECT_STREQ(execErrorText(0),
                 "Dem Betriebssystem stehen nicht genügend Ressourcen oder Hauptspeicher zur "
                 "Verfügung.");
    EXPECT_STREQ(execErrorText(31),
                 "Für die angegebene Dateierweiterung existiert keine Dateiverknüpfung.");
    EXPECT_STREQ(execErrorText(32), "Die angegebene DDL wurde nicht gefunden.");
    EXPECT_STREQ(execErrorText(EXEC_LINE_TOO_LONG),
                 "Die Befehlszeile ist zu lang und wurde nicht ausgeführt.");
    const std::string unknown = "Unbekannter Fehler...";
    int known[] = {0, 2, 3, 5, 8, 11, 26, 27, 28, 29, 30, 31, 32};
    for (int code = -5; code <= 40; ++code) {
        bool isKnown = std::find(std::begin(known), std::end(known), code) != std::end(known);
        EXPECT_EQ(execErrorText(code) != unknown, isKnown) << code;
    }
    // Windows-1252 bytes: "ü" is one byte 0xFC.
    EXPECT_NE(strchr(execErrorText(8), '\xFC'), nullptr);
}

}  // namespace

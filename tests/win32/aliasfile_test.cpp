// The alias file read through the Windows C runtime: text mode, the default
// path on drive C, and silence when the file is missing.
#include <string.h>

#include "harness.h"
#include "interp/aliasfile.h"
#include "interp/interpreter_win32.h"
#include "interp/textutil.h"

namespace {

class AliasFileOnWindows : public Win32Test {
protected:
    AliasFileOnWindows() {
        settings.CheckAlias = 1;
        settings.CheckInternal = 0;
        copyText(settings.Shell, sizeof settings.Shell, "cmd.exe");
    }
    ~AliasFileOnWindows() override { freeMacroTable(); }

    std::vector<std::string> entries() const {
        std::vector<std::string> out;
        for (const MacroEntry* e = macroTable; e != nullptr; e = e->next)
            out.push_back(std::string(e->name) + "=" + e->body);
        return out;
    }
};

TEST_F(AliasFileOnWindows, ReadsDoskeyLinesWithCrLfInFileOrder) {
    std::string path = temp.file("Autoexec.bat");
    harness::writeFile(path,
                       "@ECHO OFF\r\n"
                       "doskey ls=dir /w $*\r\n"
                       "REM DOSKEY X=Y\r\n"
                       "C:\\DOS\\DOSKEY.COM Größe=echo ß $1\r\n"
                       "   DOSKEY  cp = copy $1 $2");  // last line without a line end
    copyText(settings.AliasFile, sizeof settings.AliasFile, path.c_str());
    loadMacroTable();
    EXPECT_EQ(entries(), (std::vector<std::string>{"LS=DIR /W $*", "GRÖSSE=ECHO SS $1",
                                                   "CP=COPY $1 $2"}));

    // A typed macro name runs through the real interpreter: the recorder is
    // the macro's program, started with the expanded parameters.
    std::string record = temp.file("record.txt");
    environment.set("PEXOR_RECORD", record);
    std::string body = "\"" + harness::recorderPath() + "\" A $1";
    copyText(settings.AliasFile, sizeof settings.AliasFile, path.c_str());
    harness::writeFile(path, "DOSKEY rec=" + body + "\r\n");
    loadMacroTable();
    ASSERT_EQ(entries().size(), 1u);
    char line[LINE_CAPACITY] = "Rec eins zwei";
    // The body is upper case, so the program word is the path in upper case;
    // the file system does not mind.
    EXPECT_EQ(executeCommandLine(0, line), EXEC_DONE);
    ASSERT_TRUE(harness::waitForRecords(record, 1));
    std::string commandLine = harness::readRecords(record)[0].commandLine;
    EXPECT_NE(commandLine.find(" A eins"), std::string::npos) << "|" << commandLine << "|";
}

TEST_F(AliasFileOnWindows, MissingFileEmptyNameOrSwitchedOffLeavesTheTableEmpty) {
    std::string path = temp.file("alias.bat");
    harness::writeFile(path, "DOSKEY A=B\r\n");
    struct { std::string file; int checkAlias; } cases[] = {
        {temp.file("missing.bat"), 1}, {"", 1}, {path, 0}, {temp.path(), 1},
    };
    for (auto& c : cases) {
        copyText(settings.AliasFile, sizeof settings.AliasFile, path.c_str());
        settings.CheckAlias = 1;
        loadMacroTable();
        ASSERT_EQ(entries().size(), 1u);
        copyText(settings.AliasFile, sizeof settings.AliasFile, c.file.c_str());
        settings.CheckAlias = c.checkAlias;
        harness::MessageBoxCatcher boxes;
        loadMacroTable();
        EXPECT_TRUE(entries().empty()) << "|" << c.file << "| " << c.checkAlias;
        EXPECT_TRUE(boxes.boxes().empty()) << "nothing is reported";
    }
}

TEST_F(AliasFileOnWindows, DefaultPathIsAutoexecOnDriveC) {
    // The prefix's drive C may or may not hold an autoexec.bat; either way the
    // default path is read without a message, and what it defines is loaded.
    copyText(settings.AliasFile, sizeof settings.AliasFile, "c:\\autoexec.bat");
    EXPECT_STREQ(DEFAULT_ALIAS_FILE, "c:\\autoexec.bat");
    std::string original = harness::readFile("c:\\autoexec.bat");
    bool existed = harness::fileExists("c:\\autoexec.bat");
    harness::writeFile("c:\\autoexec.bat", original + "\r\nDOSKEY PEXORTEST=echo ok\r\n");
    loadMacroTable();
    std::vector<std::string> loaded = entries();
    if (existed)
        harness::writeFile("c:\\autoexec.bat", original);
    else
        DeleteFileA("c:\\autoexec.bat");
    ASSERT_FALSE(loaded.empty());
    EXPECT_EQ(loaded.back(), "PEXORTEST=ECHO OK");
}

}  // namespace

// The settings store against the real profile (.ini) API.
#include <string.h>

#include "harness.h"
#include "interp/textutil.h"
#include "state/settings_win32.h"

using harness::readFile;
using harness::writeFile;

namespace {

// Every integer key of [Setup] with its default, and a way to reach the field.
struct IntegerKey {
    const char* key;
    long fallback;
    long (*get)(const Settings&);
    void (*set)(Settings&, long);
};

#define INTEGER_KEY(name, fallback)                                                      \
    {#name, fallback, [](const Settings& s) { return (long)s.name; },                  \
     [](Settings& s, long v) { s.name = (decltype(s.name))v; }}

const IntegerKey IntegerKeys[] = {
    INTEGER_KEY(CheckInternal, 1), INTEGER_KEY(DirectExecute, 0), INTEGER_KEY(Exit, 1),
    INTEGER_KEY(Top, 1),           INTEGER_KEY(Save, 1),          INTEGER_KEY(CheckAlias, 1),
    INTEGER_KEY(SaveHistory, 1),   INTEGER_KEY(MaxHistory, 25),   INTEGER_KEY(Tooltips, 1),
    INTEGER_KEY(Hotkey, 0),        INTEGER_KEY(AutoHide, 0),      INTEGER_KEY(AutoHideDelay, 5),
    INTEGER_KEY(TrayIcon, 0),      INTEGER_KEY(SysStartup, 1),
};

class SettingsFile : public Win32Test {
protected:
    SettingsFile() {
        useFile("pexor.ini");
        memset(&settings, 0x5A, sizeof settings);  // nothing read may come from an earlier test
        copyText(settings.BaseDir, sizeof settings.BaseDir, "c:\\");
        copyText(settings.AliasFile, sizeof settings.AliasFile, "x");
        copyText(settings.Shell, sizeof settings.Shell, "x");
    }
    // A settings file of its own for each case: nothing cached from another.
    void useFile(const std::string& name) {
        copyText(iniPath, sizeof iniPath, temp.file(name).c_str());
    }
    void writeIni(const std::string& setupLines) {
        writeFile(iniPath, "[Setup]\r\n" + setupLines);
    }
    // The text stored for a key, or "<missing>"; written values are flushed first.
    std::string storedText(const char* key) {
        WritePrivateProfileStringA(0, 0, 0, iniPath);
        char text[PATH_CAPACITY];
        GetPrivateProfileStringA("Setup", key, "<missing>", text, sizeof text, iniPath);
        return text;
    }
};

TEST_F(SettingsFile, MissingFileGivesEveryDefault) {
    environment.set("COMSPEC", "C:\\windows\\system32\\cmd.exe");
    readSettings();
    for (const IntegerKey& k : IntegerKeys) EXPECT_EQ(k.get(settings), k.fallback) << k.key;
    EXPECT_STREQ(settings.BaseDir, "c:\\");
    EXPECT_STREQ(settings.AliasFile, "c:\\autoexec.bat");
    EXPECT_STREQ(settings.Shell, "C:\\windows\\system32\\cmd.exe");
    EXPECT_FALSE(harness::fileExists(iniPath)) << "reading must not create the file";
}

// Every integer key keeps the low 16 bits of the profile integer, unsigned,
// also in the 32-bit fields, whose upper half is then zero.
TEST_F(SettingsFile, IntegerKeysKeepTheLow16BitsOfTheProfileInteger) {
    const struct {
        const char* text;
        long stored;
    } cases[] = {
        {"65537", 1},      // 0x10001
        {"-20", 65516},    // the profile API reads 0xFFFFFFEC
        {"2", 2},          // kept as 2: a switch tested for exactly 1 counts as off
        {"0", 0},
        {"65535", 65535},
        {"12abc", 12},     // the profile API stops at the first non-digit
    };
    for (const auto& c : cases) {
        std::string lines;
        for (const IntegerKey& k : IntegerKeys) lines += std::string(k.key) + "=" + c.text + "\r\n";
        useFile(std::string("v") + c.text + ".ini");
        writeIni(lines);
        readSettings();
        for (const IntegerKey& k : IntegerKeys)
            EXPECT_EQ(k.get(settings), c.stored) << k.key << "=|" << c.text << "|";
    }
}

TEST_F(SettingsFile, WrittenSettingsReadBackAsTheSameRecord) {
    environment.set("COMSPEC", "c:\\dos\\command.com");
    Settings written = settings;
    copyText(written.BaseDir, sizeof written.BaseDir, "d:\\Arbeit\\Übersicht");
    copyText(written.AliasFile, sizeof written.AliasFile, "c:\\dos\\alias.bat");
    long value = 0;
    // Switches as the properties dialog stores them, and some larger values.
    for (const IntegerKey& k : IntegerKeys) k.set(written, value++ % 2);
    written.MaxHistory = 65535;
    written.AutoHideDelay = 300;
    written.Hotkey = 0x50;
    copyText(written.Shell, sizeof written.Shell, "c:\\dos\\command.com");
    settings = written;
    writeSettings();

    memset(&settings, 0, sizeof settings);
    copyText(settings.BaseDir, sizeof settings.BaseDir, "c:\\");
    readSettings();
    EXPECT_STREQ(settings.BaseDir, written.BaseDir);
    EXPECT_STREQ(settings.AliasFile, written.AliasFile);
    EXPECT_STREQ(settings.Shell, written.Shell);
    for (const IntegerKey& k : IntegerKeys) EXPECT_EQ(k.get(settings), k.get(written)) << k.key;
}

TEST_F(SettingsFile, IntegersAreWrittenAsSignedDecimalText) {
    settings.MaxHistory = 65535;   // 16-bit field: its unsigned value
    settings.CheckInternal = -1;   // 32-bit field: its full value
    settings.Top = 70000;
    writeSettings();
    EXPECT_EQ(storedText("MaxHistory"), "65535");
    EXPECT_EQ(storedText("CheckInternal"), "-1");
    EXPECT_EQ(storedText("Top"), "70000");
}

TEST_F(SettingsFile, HandWrittenShellSurvivesWritingAndWinsOverComspec) {
    environment.set("COMSPEC", "c:\\windows\\system32\\cmd.exe");
    writeIni("Shell=c:\\tools\\shell.exe\r\nMaxHistory=7\r\n");
    readSettings();
    EXPECT_STREQ(settings.Shell, "c:\\tools\\shell.exe");
    copyText(settings.Shell, sizeof settings.Shell, "c:\\somewhere\\else.exe");
    settings.MaxHistory = 8;
    writeSettings();
    EXPECT_EQ(storedText("Shell"), "c:\\tools\\shell.exe");
    EXPECT_EQ(storedText("MaxHistory"), "8");
    std::string file = readFile(iniPath);
    EXPECT_EQ(file.find("Shell="), file.rfind("Shell=")) << "one Shell line only:\n" << file;
}

TEST_F(SettingsFile, ResolvedShellNeverReachesTheFile) {
    environment.set("COMSPEC", "c:\\windows\\system32\\cmd.exe");
    readSettings();
    ASSERT_STREQ(settings.Shell, "c:\\windows\\system32\\cmd.exe");
    writeSettings();
    EXPECT_EQ(storedText("Shell"), "<missing>");
    EXPECT_EQ(storedText("SysStartup"), "1") << "the other keys were written";
}

TEST_F(SettingsFile, BaseDirKeyWinsOverTheStartDirectory) {
    const struct {
        const char* setup;
        const char* startDirectory;
        const char* expected;
    } cases[] = {
        {"BaseDir=d:\\work\r\n", "c:\\temp", "d:\\work"},
        {"Save=1\r\n", "c:\\temp", "c:\\temp"},  // no key: the -p directory stands
        {"Save=1\r\n", "c:\\", "c:\\"},
        {"BaseDir=\r\n", "c:\\temp", ""},        // present but empty
    };
    int n = 0;
    for (const auto& c : cases) {
        useFile("base" + std::to_string(n++) + ".ini");
        writeIni(c.setup);
        copyText(settings.BaseDir, sizeof settings.BaseDir, c.startDirectory);
        readSettings();
        EXPECT_STREQ(settings.BaseDir, c.expected)
            << "|" << c.setup << "| start |" << c.startDirectory << "|";
    }
}

TEST_F(SettingsFile, ShellPathComesFromShellKeyElseComspecElseCmdExe) {
    const struct {
        const char* setup;
        const char* comspec;  // null: not set
        const char* expected;
    } cases[] = {
        {"Shell=c:\\tools\\shell.exe\r\n", "c:\\winnt\\system32\\cmd.exe", "c:\\tools\\shell.exe"},
        {"Shell=\r\n", "c:\\4dos\\4nt.exe", "c:\\4dos\\4nt.exe"},
        {"Save=1\r\n", "c:\\4dos\\4nt.exe", "c:\\4dos\\4nt.exe"},
        // Wine reports the NT platform, as do all Windows versions since 2000.
        {"Save=1\r\n", nullptr, "cmd.exe"},
    };
    int n = 0;
    for (const auto& c : cases) {
        if (c.comspec != nullptr)
            environment.set("COMSPEC", c.comspec);
        else
            environment.unset("COMSPEC");
        useFile("shell" + std::to_string(n++) + ".ini");
        writeIni(c.setup);
        readSettings();
        EXPECT_STREQ(settings.Shell, c.expected) << "|" << c.setup << "|";
    }
}

TEST_F(SettingsFile, PathsAreTheLowerCasedExecutablePathWithIniAndHis) {
    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(0, self, sizeof self), 0u);
    std::string exe = harness::lowerCase(self);
    ASSERT_EQ(exe.substr(exe.size() - 4), ".exe");
    std::string stem = exe.substr(0, exe.size() - 4);

    deriveSettingsPaths(GetModuleHandleA(0));
    EXPECT_EQ(std::string(iniPath), stem + ".ini");
    EXPECT_EQ(std::string(historyPath), stem + ".his");
}

}  // namespace

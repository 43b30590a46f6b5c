// The settings store against the real profile (.ini) API, environment and
// module path: what the platform adds to the rules the native tests check.
#include <string.h>

#include "harness.h"
#include "base/textutil.h"
#include "state/settings_win32.h"

namespace {

class SettingsFile : public Win32Test {
protected:
    SettingsFile() {
        memset(&settings, 0x5A, sizeof settings);  // nothing read may come from an earlier test
        copyText(settings.BaseDir, sizeof settings.BaseDir, "c:\\temp");
        useFile("pexor.ini", "");
    }
    // A settings file of its own for each case: nothing cached from another.
    void useFile(const std::string& name, const char* setupLines) {
        copyText(iniPath, sizeof iniPath, temp.file(name).c_str());
        if (setupLines[0] != '\0') harness::writeFile(iniPath, std::string("[Setup]\r\n") + setupLines);
    }
    std::string storedText(const char* key) {
        WritePrivateProfileStringA(0, 0, 0, iniPath);  // flushes what was written
        char text[PATH_CAPACITY];
        GetPrivateProfileStringA("Setup", key, "<missing>", text, sizeof text, iniPath);
        return text;
    }
};

TEST_F(SettingsFile, MissingFileGivesTheDefaultsAndIsNotCreated) {
    readSettings();
    EXPECT_EQ(settings.MaxHistory, 25);
    EXPECT_EQ(settings.AutoHideDelay, 5);
    EXPECT_EQ(settings.DirectExecute, 0);
    EXPECT_STREQ(settings.BaseDir, "c:\\temp") << "the start directory stands";
    EXPECT_STREQ(settings.AliasFile, "c:\\autoexec.bat");
    EXPECT_FALSE(harness::fileExists(iniPath));
}

// The profile API's reading of integers, kept to their low 16 bits; a
// MaxHistory the properties dialog could not store is brought into its range.
TEST_F(SettingsFile, ProfileIntegersKeepTheirLow16Bits) {
    const struct { const char* text; long stored, maxHistory; } cases[] = {
        {"65537", 1, 999}, {"-20", 65516, 25}, {"12abc", 12, 12}, {"65535", 65535, 999}, {"abc", 0, 25},
    };
    for (const auto& c : cases) {
        useFile(std::string("v") + c.text + ".ini",
                (std::string("MaxHistory=") + c.text + "\r\nCheckInternal=" + c.text + "\r\n").c_str());
        readSettings();
        EXPECT_EQ(settings.MaxHistory, c.maxHistory) << c.text;
        EXPECT_EQ(settings.CheckInternal, c.stored) << c.text;
    }
}

TEST_F(SettingsFile, WrittenSettingsReadBackAndAHandWrittenShellStays) {
    useFile("written.ini", "Shell=c:\\tools\\shell.exe\r\n");
    Settings written = settings;
    copyText(written.BaseDir, sizeof written.BaseDir, "d:\\Arbeit\\Übersicht");
    copyText(written.AliasFile, sizeof written.AliasFile, "c:\\dos\\alias.bat");
    copyText(written.Shell, sizeof written.Shell, "c:\\resolved\\cmd.exe");
    for (int i = 0; i < SWITCH_COUNT; i++) *settingsSwitch(&written, i) = i % 2;
    written.SaveHistory = 0;
    written.MaxHistory = 999;
    written.Tooltips = 0;
    written.Hotkey = 0x50;
    written.AutoHide = 1;
    written.AutoHideDelay = 300;
    written.TrayIcon = 1;
    written.SysStartup = 0;
    settings = written;
    EXPECT_EQ(writeSettings(), 1);
    EXPECT_EQ(storedText("Shell"), "c:\\tools\\shell.exe");
    EXPECT_EQ(storedText("MaxHistory"), "999");

    memset(&settings, 0, sizeof settings);
    readSettings();
    EXPECT_STREQ(settings.BaseDir, written.BaseDir);
    EXPECT_STREQ(settings.AliasFile, written.AliasFile);
    EXPECT_STREQ(settings.Shell, "c:\\tools\\shell.exe");
    for (int i = 0; i < SWITCH_COUNT; i++) EXPECT_EQ(*settingsSwitch(&settings, i), i % 2) << "switch " << i;
    const int32_t fields[][2] = {
        {settings.SaveHistory, 0}, {settings.MaxHistory, 999},  {settings.Tooltips, 0},  {settings.Hotkey, 0x50},
        {settings.AutoHide, 1},    {settings.AutoHideDelay, 300}, {settings.TrayIcon, 1}, {settings.SysStartup, 0},
    };
    for (auto& f : fields) EXPECT_EQ(f[0], f[1]) << "field " << (&f - fields);
}

TEST_F(SettingsFile, ShellPathComesFromShellKeyElseComspecElseCmdExe) {
    const std::string tooLong = "c:\\" + std::string(PATH_CAPACITY, 'x') + ".exe";
    const struct { const char* setup; const char* comspec; const char* expected; } cases[] = {
        {"Shell=c:\\tools\\shell.exe\r\n", "c:\\winnt\\system32\\cmd.exe", "c:\\tools\\shell.exe"},
        {"Shell=\r\n", "c:\\4dos\\4nt.exe", "c:\\4dos\\4nt.exe"},
        // Wine reports the NT platform, as do all Windows versions since 2000.
        {"Save=1\r\n", nullptr, "cmd.exe"},
        {"Save=1\r\n", tooLong.c_str(), "cmd.exe"},  // too long to be used whole
    };
    int n = 0;
    for (const auto& c : cases) {
        if (c.comspec != nullptr)
            environment.set("COMSPEC", c.comspec);
        else
            environment.unset("COMSPEC");
        useFile("shell" + std::to_string(n++) + ".ini", c.setup);
        readSettings();
        EXPECT_STREQ(settings.Shell, c.expected) << c.setup << (c.comspec ? c.comspec : "(no COMSPEC)");
    }
}

TEST_F(SettingsFile, PathsAreTheLowerCasedExecutablePathWithIniAndHis) {
    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(0, self, sizeof self), 0u);
    std::string exe = harness::lowerCase(self);
    ASSERT_EQ(exe.substr(exe.size() - 4), ".exe");
    deriveSettingsPaths(GetModuleHandleA(0));
    EXPECT_EQ(std::string(iniPath), exe.substr(0, exe.size() - 4) + ".ini");
    EXPECT_EQ(std::string(historyPath), exe.substr(0, exe.size() - 4) + ".his");
}

}  // namespace

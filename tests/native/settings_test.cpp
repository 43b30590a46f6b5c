// Settings: path derivation, defaults, the 16-bit reading of integers, the
// start directory rule, shell resolution and the keys written.
#include "state/settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

#include "interp/textutil.h"

namespace {

std::string bar(const std::string& s) { return "|" + s + "|"; }

// A profile file in memory. Integers are read the way the platform reads
// them: leading decimal digits with an optional sign, wrapping to 32 bits.
struct FakeProfile {
    std::map<std::string, std::string> values;  // "section/key" -> text
    std::vector<std::string> written;           // keys in the order written

    static FakeProfile* of(void* c) { return static_cast<FakeProfile*>(c); }
    static void readText(void* c, const char* section, const char* key, const char* fallback,
                         char* out, size_t capacity) {
        auto it = of(c)->values.find(std::string(section) + "/" + key);
        copyText(out, capacity, it == of(c)->values.end() ? fallback : it->second.c_str());
    }
    static uint32_t readInt(void* c, const char* section, const char* key, int32_t fallback) {
        auto it = of(c)->values.find(std::string(section) + "/" + key);
        if (it == of(c)->values.end() || it->second.empty()) return (uint32_t)fallback;
        return (uint32_t)strtoll(it->second.c_str(), nullptr, 10);
    }
    static void writeText(void* c, const char* section, const char* key, const char* value) {
        of(c)->values[std::string(section) + "/" + key] = value;
        of(c)->written.push_back(key);
    }
    ProfileStore store() { return ProfileStore{this, readText, readInt, writeText}; }
};

struct FakeShell {
    const char* comspec = nullptr;
    bool nt = true;
    static int readComspec(void* c, char* out, size_t capacity) {
        const char* v = static_cast<FakeShell*>(c)->comspec;
        return v != nullptr && copyText(out, capacity, v);
    }
    static int isNt(void* c) { return static_cast<FakeShell*>(c)->nt; }
    ShellQuery query() { return ShellQuery{this, readComspec, isNt}; }
};

Settings readWith(FakeProfile& profile, FakeShell& shell, const char* startDirectory = "c:\\") {
    Settings s;
    memset(&s, 0x5A, sizeof s);  // nothing may survive from before
    copyText(s.BaseDir, sizeof s.BaseDir, startDirectory);
    ProfileStore store = profile.store();
    ShellQuery query = shell.query();
    readSettingsFrom(&s, &store, &query);
    return s;
}

TEST(SettingsPaths, FollowTheExecutableInLowerCase) {
    struct { const char* exe; const char* ini; const char* his; } cases[] = {
        {"C:\\Tools\\PEXOR.EXE", "c:\\tools\\pexor.ini", "c:\\tools\\pexor.his"},
        {"c:\\my.exe.d\\pexor.exe", "c:\\my.ini.d\\pexor.ini", "c:\\my.his.d\\pexor.his"},
        {"c:\\x.ini\\Pexor.exe", "c:\\x.ini\\pexor.ini", "c:\\x.his\\pexor.his"},
        {"C:\\ÄRGER\\P.EXE", "c:\\ärger\\p.ini", "c:\\ärger\\p.his"},
    };
    for (auto& c : cases) {
        char ini[PATH_CAPACITY], his[PATH_CAPACITY];
        derivePathsFrom(c.exe, ini, his);
        EXPECT_EQ(bar(ini), bar(c.ini)) << bar(c.exe);
        EXPECT_EQ(bar(his), bar(c.his)) << bar(c.exe);
    }
}

TEST(SettingsRead, MissingFileGivesEveryDefault) {
    FakeProfile profile;
    FakeShell shell;
    shell.comspec = "C:\\WINDOWS\\system32\\cmd.exe";
    Settings s = readWith(profile, shell);
    EXPECT_EQ(bar(s.BaseDir), bar("c:\\"));
    EXPECT_EQ(s.CheckInternal, 1);
    EXPECT_EQ(s.DirectExecute, 0);
    EXPECT_EQ(s.Exit, 1);
    EXPECT_EQ(s.Top, 1);
    EXPECT_EQ(s.Save, 1);
    EXPECT_EQ(s.CheckAlias, 1);
    EXPECT_EQ(bar(s.AliasFile), bar("c:\\autoexec.bat"));
    EXPECT_EQ(s.SaveHistory, 1);
    EXPECT_EQ(s.MaxHistory, 25);
    EXPECT_EQ(s.Tooltips, 1);
    EXPECT_EQ(s.Hotkey, 0);
    EXPECT_EQ(s.AutoHide, 0);
    EXPECT_EQ(s.AutoHideDelay, 5);
    EXPECT_EQ(s.TrayIcon, 0);
    EXPECT_EQ(s.SysStartup, 1);
    EXPECT_EQ(bar(s.Shell), bar("C:\\WINDOWS\\system32\\cmd.exe"));
}

TEST(SettingsRead, IntegersKeepTheirLow16Bits) {
    FakeProfile profile;
    FakeShell shell;
    profile.values = {{"Setup/MaxHistory", "65537"}, {"Setup/Save", "2"},
                      {"Setup/TrayIcon", "2"},       {"Setup/CheckInternal", "-20"},
                      {"Setup/Hotkey", "70000"},     {"Setup/Exit", "65536"}};
    Settings s = readWith(profile, shell);
    EXPECT_EQ(s.MaxHistory, 1);
    EXPECT_EQ(s.Save, 2);  // counts as off: only exactly 1 is on
    EXPECT_EQ(s.TrayIcon, 2);
    EXPECT_EQ(s.CheckInternal, 65516);  // upper half is zero for the 32-bit fields too
    EXPECT_EQ(s.Hotkey, 70000 - 65536);
    EXPECT_EQ(s.Exit, 0);
}

TEST(SettingsRead, BaseDirKeyWinsOverTheStartDirectory) {
    FakeShell shell;
    FakeProfile none;
    EXPECT_EQ(bar(readWith(none, shell, "c:\\temp").BaseDir), bar("c:\\temp"));
    FakeProfile withKey;
    withKey.values["Setup/BaseDir"] = "d:\\work";
    EXPECT_EQ(bar(readWith(withKey, shell, "c:\\temp").BaseDir), bar("d:\\work"));
    FakeProfile empty;
    empty.values["Setup/BaseDir"] = "";
    EXPECT_EQ(bar(readWith(empty, shell, "c:\\temp").BaseDir), bar(""));
}

TEST(SettingsRead, ShellComesFromTheKeyThenComspecThenThePlatform) {
    FakeProfile withShell;
    withShell.values["Setup/Shell"] = "c:\\tools\\shell.exe";
    FakeShell shell;
    shell.comspec = "c:\\command.com";
    EXPECT_EQ(bar(readWith(withShell, shell).Shell), bar("c:\\tools\\shell.exe"));
    FakeProfile none;
    EXPECT_EQ(bar(readWith(none, shell).Shell), bar("c:\\command.com"));
    shell.comspec = nullptr;
    EXPECT_EQ(bar(readWith(none, shell).Shell), bar("cmd.exe"));
    shell.nt = false;
    EXPECT_EQ(bar(readWith(none, shell).Shell), bar("command.com"));
}

TEST(SettingsWrite, WritesEveryKeyButShellInOrderAndReadsBackTheSame) {
    FakeProfile profile;
    FakeShell shell;
    profile.values["Setup/Shell"] = "c:\\by\\hand.exe";
    Settings s = readWith(profile, shell);
    copyText(s.BaseDir, sizeof s.BaseDir, "d:\\Arbeit");
    copyText(s.AliasFile, sizeof s.AliasFile, "c:\\dos\\alias.bat");
    s.CheckInternal = 0;
    s.DirectExecute = 1;
    s.Top = 0;
    s.MaxHistory = 65535;
    s.Hotkey = 0x50;
    s.AutoHide = 1;
    s.AutoHideDelay = 90;
    s.TrayIcon = 1;
    s.SysStartup = 0;
    copyText(s.Shell, sizeof s.Shell, "resolved.exe");
    ProfileStore store = profile.store();
    writeSettingsTo(&s, &store);

    std::vector<std::string> order = {"BaseDir", "CheckInternal", "DirectExecute", "Exit",
                                      "Top", "Save", "CheckAlias", "AliasFile", "SaveHistory",
                                      "MaxHistory", "Tooltips", "Hotkey", "AutoHide",
                                      "AutoHideDelay", "TrayIcon", "SysStartup"};
    EXPECT_EQ(profile.written, order);
    EXPECT_EQ(profile.values["Setup/Shell"], "c:\\by\\hand.exe");
    EXPECT_EQ(profile.values["Setup/MaxHistory"], "65535");
    EXPECT_EQ(profile.values["Setup/Hotkey"], "80");

    Settings back = readWith(profile, shell, "ignored");
    copyText(back.Shell, sizeof back.Shell, s.Shell);
    EXPECT_EQ(bar(back.BaseDir), bar(s.BaseDir));
    EXPECT_EQ(bar(back.AliasFile), bar(s.AliasFile));
    for (int i = 0; i < SWITCH_COUNT; ++i) EXPECT_EQ(*settingsSwitch(&back, i), *settingsSwitch(&s, i));
    EXPECT_EQ(back.MaxHistory, s.MaxHistory);
    EXPECT_EQ(back.Hotkey, s.Hotkey);
    EXPECT_EQ(back.AutoHide, s.AutoHide);
    EXPECT_EQ(back.AutoHideDelay, s.AutoHideDelay);
    EXPECT_EQ(back.TrayIcon, s.TrayIcon);
    EXPECT_EQ(back.SysStartup, s.SysStartup);
    EXPECT_EQ(back.SaveHistory, s.SaveHistory);
    EXPECT_EQ(back.Tooltips, s.Tooltips);
}

TEST(SettingsSwitches, AreBoundInCheckBoxOrder) {
    Settings s{};
    int32_t* expected[] = {&s.CheckInternal, &s.DirectExecute, &s.Exit, &s.Top, &s.Save,
                           &s.CheckAlias};
    for (int i = 0; i < SWITCH_COUNT; ++i) EXPECT_EQ(settingsSwitch(&s, i), expected[i]) << i;
    EXPECT_EQ(settingsSwitch(&s, SWITCH_COUNT), nullptr);
    EXPECT_EQ(settingsSwitch(&s, -1), nullptr);
}

}  // namespace

// Settings: path derivation, defaults, the 16-bit reading of integers, the
// start directory rule, shell resolution and the keys written.
#include "state/settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

#include "base/textutil.h"

namespace {

// A profile file in memory. Integers are read the way the platform reads
// them: leading decimal digits with an optional sign, wrapping to 32 bits.
struct FakeProfile {
    std::map<std::string, std::string> values;  // "section/key" -> text
    std::vector<std::string> written;           // keys in the order written
    bool readOnly = false;                      // every write fails

    static FakeProfile* of(void* c) { return static_cast<FakeProfile*>(c); }
    static void readText(void* c, const char* section, const char* key, const char* fallback, char* out,
                         size_t capacity) {
        auto it = of(c)->values.find(std::string(section) + "/" + key);
        copyText(out, capacity, it == of(c)->values.end() ? fallback : it->second.c_str());
    }
    static uint32_t readInt(void* c, const char* section, const char* key, int32_t fallback) {
        auto it = of(c)->values.find(std::string(section) + "/" + key);
        if (it == of(c)->values.end() || it->second.empty()) return (uint32_t)fallback;
        return (uint32_t)strtoll(it->second.c_str(), nullptr, 10);
    }
    static int writeText(void* c, const char* section, const char* key, const char* value) {
        of(c)->written.push_back(key);
        if (of(c)->readOnly) return 0;
        of(c)->values[std::string(section) + "/" + key] = value;
        return 1;
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

Settings readWith(FakeProfile& profile, FakeShell shell = FakeShell(), const char* startDirectory = "c:\\") {
    Settings s;
    memset(&s, 0x5A, sizeof s);  // nothing may survive from before
    copyText(s.BaseDir, sizeof s.BaseDir, startDirectory);
    ProfileStore store = profile.store();
    ShellQuery query = shell.query();
    readSettingsFrom(&s, &store, &query);
    return s;
}

// Every integer key of [Setup] in the order written, with its default and its field.
struct IntegerKey {
    const char* key;
    long fallback;
    long (*get)(const Settings&);
    void (*set)(Settings&, long);
};
#define INTEGER_KEY(name, fallback)                                        \
    {#name, fallback, [](const Settings& s) { return (long)s.name; }, \
     [](Settings& s, long v) { s.name = (decltype(s.name))v; }}
const IntegerKey IntegerKeys[] = {
    INTEGER_KEY(CheckInternal, 1), INTEGER_KEY(DirectExecute, 0), INTEGER_KEY(Exit, 1),
    INTEGER_KEY(Top, 1),           INTEGER_KEY(Save, 1),          INTEGER_KEY(CheckAlias, 1),
    INTEGER_KEY(SaveHistory, 1),   INTEGER_KEY(MaxHistory, 25),   INTEGER_KEY(Tooltips, 1),
    INTEGER_KEY(Hotkey, 0),        INTEGER_KEY(AutoHide, 0),      INTEGER_KEY(AutoHideDelay, 5),
    INTEGER_KEY(TrayIcon, 0),      INTEGER_KEY(SysStartup, 1),
};

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
        EXPECT_STREQ(ini, c.ini) << c.exe;
        EXPECT_STREQ(his, c.his) << c.exe;
    }
}

TEST(SettingsRead, MissingFileGivesEveryDefault) {
    FakeProfile profile;
    Settings s = readWith(profile);
    for (const IntegerKey& k : IntegerKeys) EXPECT_EQ(k.get(s), k.fallback) << k.key;
    EXPECT_STREQ(s.BaseDir, "c:\\");
    EXPECT_STREQ(s.AliasFile, "c:\\autoexec.bat");
}

// Also the 32-bit fields, whose upper half is then zero.
TEST(SettingsRead, IntegersKeepTheirLow16BitsUnsigned) {
    const struct { const char* text; long stored; } cases[] = {
        {"65537", 1}, {"-20", 65516}, {"70000", 70000 - 65536}, {"65536", 0}, {"2", 2},  // 2 counts as off
    };
    for (auto& c : cases) {
        FakeProfile profile;
        for (const IntegerKey& k : IntegerKeys) profile.values[std::string("Setup/") + k.key] = c.text;
        Settings s = readWith(profile);
        for (const IntegerKey& k : IntegerKeys) {
            if (strcmp(k.key, "MaxHistory") == 0) continue;  // a test of its own below
            EXPECT_EQ(k.get(s), c.stored) << k.key << "=" << c.text;
        }
    }
}

// No value in the file may empty the history at the next save.
TEST(SettingsRead, MaxHistoryOutsideTheDialogsRangeIsTheNearestValueOrTheDefault) {
    const struct { const char* text; long stored; } cases[] = {
        {"1", 1},      {"999", 999},   {"12abc", 12},  {"1000", 999}, {"65536", 999},
        {"65537", 999}, {"abc", 25}, {"0", 25}, {"-5", 25}, {"", 25},
    };
    for (auto& c : cases) {
        FakeProfile profile;
        profile.values["Setup/MaxHistory"] = c.text;
        EXPECT_EQ(readWith(profile).MaxHistory, c.stored) << "|" << c.text << "|";
    }
}

TEST(SettingsRead, BaseDirKeyWinsOverTheStartDirectory) {
    const struct { const char* key; const char* expected; } cases[] = {
        {nullptr, "c:\\temp"}, {"d:\\work", "d:\\work"}, {"", ""},  // present but empty
    };
    for (auto& c : cases) {
        FakeProfile profile;
        if (c.key != nullptr) profile.values["Setup/BaseDir"] = c.key;
        EXPECT_STREQ(readWith(profile, FakeShell(), "c:\\temp").BaseDir, c.expected);
    }
}

TEST(SettingsRead, ShellComesFromTheKeyThenComspecThenThePlatform) {
    FakeProfile withShell, none;
    withShell.values["Setup/Shell"] = "c:\\tools\\shell.exe";
    FakeShell shell;
    shell.comspec = "c:\\command.com";
    EXPECT_STREQ(readWith(withShell, shell).Shell, "c:\\tools\\shell.exe");
    EXPECT_STREQ(readWith(none, shell).Shell, "c:\\command.com");
    shell.comspec = nullptr;
    EXPECT_STREQ(readWith(none, shell).Shell, "cmd.exe");
    shell.nt = false;
    EXPECT_STREQ(readWith(none, shell).Shell, "command.com");
}

TEST(SettingsWrite, WritesEveryKeyButShellInOrderAndReadsBackTheSame) {
    FakeProfile profile;
    profile.values["Setup/Shell"] = "c:\\by\\hand.exe";
    Settings s = readWith(profile);
    copyText(s.BaseDir, sizeof s.BaseDir, "d:\\Arbeit");
    copyText(s.AliasFile, sizeof s.AliasFile, "c:\\dos\\alias.bat");
    copyText(s.Shell, sizeof s.Shell, "resolved.exe");
    long value = 0;
    for (const IntegerKey& k : IntegerKeys) k.set(s, value++ % 3);
    s.MaxHistory = 999;
    s.Hotkey = 0x50;
    s.AutoHideDelay = 90;
    ProfileStore store = profile.store();
    EXPECT_EQ(writeSettingsTo(&s, &store), 1);

    std::vector<std::string> order = {"BaseDir"};
    for (const IntegerKey& k : IntegerKeys) order.push_back(k.key);
    order.insert(order.begin() + 7, "AliasFile");
    EXPECT_EQ(profile.written, order);
    EXPECT_EQ(profile.values["Setup/Shell"], "c:\\by\\hand.exe");
    EXPECT_EQ(profile.values["Setup/MaxHistory"], "999");
    EXPECT_EQ(profile.values["Setup/Hotkey"], "80");

    Settings back = readWith(profile, FakeShell(), "ignored");
    EXPECT_STREQ(back.BaseDir, s.BaseDir);
    EXPECT_STREQ(back.AliasFile, s.AliasFile);
    for (const IntegerKey& k : IntegerKeys) EXPECT_EQ(k.get(back), k.get(s)) << k.key;

    // A read-only file: reported, and still every key is tried.
    profile.readOnly = true;
    profile.written.clear();
    EXPECT_EQ(writeSettingsTo(&s, &store), 0);
    EXPECT_EQ(profile.written, order);
    char text[SETTINGS_MESSAGE_CAPACITY];
    EXPECT_EQ(settingsNotSavedMessage("c:\\pexor.ini", text, sizeof text), 1);
    EXPECT_STREQ(text, "Die Einstellungen konnten nicht in c:\\pexor.ini gespeichert werden. "
                       "Sie gelten, bis Pexor beendet wird.");
}

// The bar in a 1024 x 768 work area (below a taskbar of 30 at the top in
// the last rows); height 31, minimum width 56. [Geometry] values arrive as
// unsigned 16-bit numbers, so -20 is 65516.
TEST(BarPlacement, StaysWholeInsideTheWorkArea) {
    const struct { const char* what; BarPlace wanted, placed; ScreenArea area; } cases[] = {
        {"the default", {10, 10, 200}, {10, 10, 200}, {0, 0, 1024, 768}},
        {"Left -20: flush right", {65516, 10, 200}, {824, 10, 200}, {0, 0, 1024, 768}},
        {"bottom right corner", {65535, 65535, 200}, {824, 737, 200}, {0, 0, 1024, 768}},
        {"Width 65535: as wide as the area", {10, 10, 65535}, {0, 10, 1024}, {0, 0, 1024, 768}},
        {"Width 0: the narrowest", {10, 10, 0}, {10, 10, 56}, {0, 0, 1024, 768}},
        {"dragged past the left and top edge", {-500, -40, 200}, {0, 0, 200}, {0, 0, 1024, 768}},
        {"under the taskbar", {10, 0, 200}, {10, 30, 200}, {0, 30, 1024, 768}},
        {"an area lower than the bar: its top", {10, 50, 200}, {10, 30, 200}, {0, 30, 1024, 40}},
    };
    for (auto& c : cases) {
        BarPlace p = fitBarInto(c.wanted, 31, 56, c.area);
        EXPECT_EQ((std::vector<int>{p.left, p.top, p.width}),
                  (std::vector<int>{c.placed.left, c.placed.top, c.placed.width})) << c.what;
    }
}

TEST(SettingsSwitches, AreBoundInCheckBoxOrder) {
    Settings s{};
    int32_t* expected[] = {&s.CheckInternal, &s.DirectExecute, &s.Exit, &s.Top, &s.Save, &s.CheckAlias};
    for (int i = 0; i < SWITCH_COUNT; ++i) EXPECT_EQ(settingsSwitch(&s, i), expected[i]) << i;
    EXPECT_EQ(settingsSwitch(&s, SWITCH_COUNT), nullptr);
    EXPECT_EQ(settingsSwitch(&s, -1), nullptr);
}

}  // namespace

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
    static std::string* find(void* c, const char* section, const char* key) {
        auto it = static_cast<FakeProfile*>(c)->values.find(std::string(section) + "/" + key);
        return it == static_cast<FakeProfile*>(c)->values.end() ? nullptr : &it->second;
    }
    ProfileStore store() {
        return ProfileStore{this,
            [](void* c, const char* section, const char* key, const char* fallback, char* out, size_t capacity) {
                std::string* v = find(c, section, key);
                copyText(out, capacity, v ? v->c_str() : fallback);
            },
            [](void* c, const char* section, const char* key, int32_t fallback) {
                std::string* v = find(c, section, key);
                return v == nullptr || v->empty() ? (uint32_t)fallback : (uint32_t)strtoll(v->c_str(), nullptr, 10);
            },
            [](void* c, const char* section, const char* key, const char* value) {
                FakeProfile* f = static_cast<FakeProfile*>(c);
                f->written.push_back(key);
                return f->readOnly ? 0 : (f->values[std::string(section) + "/" + key] = value, 1);
            }};
    }
};

// COMSPEC (null: not set) and whether the platform is NT.
struct FakeShell { const char* comspec = nullptr; bool nt = true; };

Settings readWith(FakeProfile& profile, FakeShell shell = FakeShell(), const char* startDirectory = "c:\\") {
    Settings s;
    memset(&s, 0x5A, sizeof s);  // nothing may survive from before
    copyText(s.BaseDir, sizeof s.BaseDir, startDirectory);
    ProfileStore store = profile.store();
    ShellQuery query{&shell, [](void* c, char* out, size_t capacity) {
        const char* v = static_cast<FakeShell*>(c)->comspec;
        return (int)(v != nullptr && copyText(out, capacity, v));
    }, [](void* c) { return (int)static_cast<FakeShell*>(c)->nt; }};
    readSettingsFrom(&s, &store, &query);
    return s;
}

// What writeSettingsTo makes of the settings read: every key but Shell, in order.
std::vector<std::string> written(const Settings& s) {
    FakeProfile out;
    ProfileStore store = out.store();
    writeSettingsTo(&s, &store);
    std::vector<std::string> keys;
    for (auto& key : out.written) keys.push_back(key + "=" + out.values["Setup/" + key]);
    return keys;
}
const char* const KEYS[] = {"BaseDir", "CheckInternal", "DirectExecute", "Exit", "Top", "Save", "CheckAlias",
                            "AliasFile", "SaveHistory", "MaxHistory", "Tooltips", "Hotkey", "AutoHide",
                            "AutoHideDelay", "TrayIcon", "SysStartup"};
std::vector<std::string> keyValues(const std::vector<std::string>& values) {
    std::vector<std::string> keys;
    for (size_t i = 0; i < values.size(); ++i) keys.push_back(KEYS[i] + ("=" + values[i]));
    return keys;
}

// Integers keep their low 16 bits, unsigned (also the 32-bit fields, whose
// upper half is then zero); MaxHistory keeps 1 to 65535, but what its 16 bits
// would cut to fewer lines becomes 65535 or the default, so that no value in
// the file can empty the history at the next save.
TEST(SettingsRead, EveryKeyHasItsDefaultAndIntegersTheirLow16Bits) {
    FakeProfile none;  // the start directory is the default BaseDir
    // The shell program from the key, COMSPEC or the platform: the real ones
    // are the Win32 tests'; only Windows 9x has command.com.
    EXPECT_STREQ(readWith(none, FakeShell{nullptr, false}).Shell, "command.com");
    EXPECT_EQ(written(readWith(none, FakeShell(), "d:\\start")), keyValues({"d:\\start", "1", "0", "1", "1", "1", "1", "c:\\autoexec.bat", "1",
                                                  "25", "1", "0", "0", "5", "0", "1"}));
    const struct { const char *text, *stored, *maxHistory; } cases[] = {
        {"65537", "1", "65535"}, {"-20", "65516", "25"}, {"70000", "4464", "65535"}, {"65536", "0", "65535"},
        {"2", "2", "2"},       {"1", "1", "1"},        {"999", "999", "999"},     {"12abc", "12", "12"},
        {"1000", "1000", "1000"}, {"65535", "65535", "65535"}, {"abc", "0", "25"}, {"0", "0", "25"}, {"", "1", "25"},
    };
    for (auto& c : cases) {
        FakeProfile profile;
        for (const char* key : KEYS) profile.values[std::string("Setup/") + key] = c.text;
        std::vector<std::string> values(16, c.stored);
        values[0] = values[7] = c.text;
        values[9] = c.maxHistory;
        if (c.text[0] == '\0') values = {"", "1", "0", "1", "1", "1", "1", "", "1", "25", "1", "0", "0", "5", "0", "1"};
        EXPECT_EQ(written(readWith(profile)), keyValues(values)) << "|" << c.text << "|";
    }
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

}  // namespace

// The settings store against the real profile (.ini) API, environment and
// module path: what the platform adds to the rules the native tests check.
#include "harness.h"

namespace {

using SettingsFile = Win32Test;

// Each row a settings file of its own (nothing cached from another): the
// profile API's reading of integers, kept to their low 16 bits, and the shell
// program from the Shell key, else COMSPEC unless too long to be used whole,
// else cmd.exe (Wine reports the NT platform, as does every Windows since 2000).
TEST_F(SettingsFile, IntegersKeepTheirLow16BitsAndTheShellComesFromKeyComspecOrPlatform) {
    const std::string tooLong = "c:\\" + std::string(PATH_CAPACITY, 'x') + ".exe";
    const struct { const char* setup; const char* comspec; long checkInternal; const char* shell; } cases[] = {
        {"CheckInternal=65537\r\nShell=c:\\tools\\shell.exe\r\n", "c:\\winnt\\cmd.exe", 1, "c:\\tools\\shell.exe"},
        {"CheckInternal=-20\r\nShell=\r\n", "c:\\4dos\\4nt.exe", 65516, "c:\\4dos\\4nt.exe"},
        {"CheckInternal=12abc\r\n", nullptr, 12, "cmd.exe"}, {"CheckInternal=abc\r\n", tooLong.c_str(), 0, "cmd.exe"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("|") + c.setup + "|" + (c.comspec ? c.comspec : "(no COMSPEC)") + "|");
        c.comspec ? environment.set("COMSPEC", c.comspec) : environment.unset("COMSPEC");
        copyText(iniPath, sizeof iniPath, temp.file("v" + std::to_string(n++) + ".ini").c_str());
        harness::writeFile(iniPath, std::string("[Setup]\r\n") + c.setup);
        readSettings();
        EXPECT_EQ(settings.CheckInternal, c.checkInternal);
        EXPECT_STREQ(settings.Shell, c.shell);
    }
}

}  // namespace

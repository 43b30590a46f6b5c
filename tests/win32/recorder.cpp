// recorder.exe: stands in for every program the tests have Pexor start. It
// appends one record to the file named by PEXOR_RECORD and exits at once:
//
//   module=<its own path>
//   cmdline=<GetCommandLineA()>
//   cwd=<GetCurrentDirectoryA()>
//   env=<each variable whose name begins with "=", such as "=C:=c:\temp">
//   end
//
// The record is written with a single append so that a reader never sees half
// of it. A GUI program, so that no console window comes up.
#include <windows.h>

#include <string>

static void appendLine(std::string& record, const char* key, const char* value) {
    record += key;
    record += '=';
    record += value;
    record += '\n';
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char target[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("PEXOR_RECORD", target, sizeof target);
    if (n == 0 || n >= sizeof target) return 1;

    std::string record;
    char text[32768];
    if (GetModuleFileNameA(0, text, sizeof text) == 0) text[0] = '\0';
    appendLine(record, "module", text);
    appendLine(record, "cmdline", GetCommandLineA());
    if (GetCurrentDirectoryA(sizeof text, text) == 0) text[0] = '\0';
    appendLine(record, "cwd", text);
    char* block = GetEnvironmentStringsA();
    for (const char* p = block; p != 0 && *p != '\0'; p += lstrlenA(p) + 1)
        if (p[0] == '=') appendLine(record, "env", p);
    if (block != 0) FreeEnvironmentStringsA(block);
    record += "end\n";

    HANDLE file = CreateFileA(target, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, 0,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    BOOL ok = WriteFile(file, record.data(), (DWORD)record.size(), &written, 0);
    CloseHandle(file);
    return ok && written == record.size() ? 0 : 3;
}

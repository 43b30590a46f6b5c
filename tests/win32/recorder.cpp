// recorder.exe: stands in for every program the tests have Pexor start. It
// appends one record to the file named by PEXOR_RECORD and exits at once:
//
//   cmdline=<GetCommandLineA()>
//   cwd=<GetCurrentDirectoryA()>
//   env=<each variable whose name begins with "=", such as "=C:=c:\temp">
//   end
//
// The record is written with a single append so that a reader never sees half
// of it. A GUI program, so that no console window comes up.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char target[MAX_PATH], cwd[MAX_PATH] = "";
    DWORD n = GetEnvironmentVariableA("PEXOR_RECORD", target, sizeof target);
    if (n == 0 || n >= sizeof target) return 1;
    GetCurrentDirectoryA(sizeof cwd, cwd);
    std::string record = std::string("cmdline=") + GetCommandLineA() + "\ncwd=" + cwd + "\n";
    char* block = GetEnvironmentStringsA();
    for (const char* p = block; p != 0 && *p != '\0'; p += lstrlenA(p) + 1)
        if (p[0] == '=') record += std::string("env=") + p + "\n";
    if (block != 0) FreeEnvironmentStringsA(block);
    record += "end\n";
    HANDLE file = CreateFileA(target, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, 0, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    BOOL ok = WriteFile(file, record.data(), (DWORD)record.size(), &written, 0);
    CloseHandle(file);
    return ok && written == record.size() ? 0 : 3;
}

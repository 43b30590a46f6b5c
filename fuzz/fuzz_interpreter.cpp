// Random line, random small macro table, random settings and remembered
// directories through interpretLine; every result must stay inside its buffer.
#include <stdint.h>
#include <string.h>

#include "base/textutil.h"
#include "interp/interpreter.h"

namespace {

int fakeIsDirectory(void*, const char* path) { return path[0] == 'd'; }

int fakeBrowser(void* context, char* path, size_t capacity) {
    return *static_cast<const uint8_t*>(context) & 1 ? copyText(path, capacity, "c:\\web.exe") : 0;
}

// Takes the next piece of input up to a 0x00 byte or the end.
const char* nextPiece(const uint8_t*& data, size_t& size, char* out, size_t capacity) {
    size_t n = 0;
    for (; size > 0 && *data != 0; ++data, --size)
        if (n + 1 < capacity) out[n++] = (char)*data;
    if (size > 0) ++data, --size;
    return out[n] = '\0', out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    uint8_t flags = data[0], macroCount = data[1] % 4;
    data += 2, size -= 2;

    Settings s{};
    s.CheckAlias = flags >> 1 & 1, s.CheckInternal = flags >> 2 & 1, s.Exit = flags >> 3 & 1;
    // A shell path of full length makes the " /c " rewrites as long as they get.
    if (flags & 16) memset(s.Shell, 's', PATH_CAPACITY - 1);
    else copyText(s.Shell, sizeof s.Shell, "cmd.exe");

    static DriveDirectoryTable drives;
    char slot[PATH_CAPACITY];
    copyText(drives[flags % DRIVE_COUNT], PATH_CAPACITY, nextPiece(data, size, slot, sizeof slot));

    char names[4][64], bodies[4][600]; MacroEntry macros[4];
    for (int i = 0; i < macroCount; ++i) {
        nextPiece(data, size, names[i], sizeof names[i]);
        nextPiece(data, size, bodies[i], sizeof bodies[i]);
        macros[i] = MacroEntry{names[i], bodies[i], i + 1 < macroCount ? &macros[i + 1] : 0};
    }

    // The line fills an exactly sized heap block, so any overrun is seen.
    char text[LINE_CAPACITY], *line = new char[LINE_CAPACITY];
    copyText(line, LINE_CAPACITY, nextPiece(data, size, text, sizeof text));

    InterpreterEnv env = {&s, macroCount ? macros : 0, &drives, &flags, fakeIsDirectory, fakeBrowser};
    Request r;
    interpretLine(line, LINE_CAPACITY, &env, &r);
    if (strlen(line) >= LINE_CAPACITY || strlen(r.program) >= WORD_CAPACITY ||
        strlen(r.parameters) >= PARAMETER_CAPACITY)
        __builtin_trap();
    if (r.kind == REQUEST_TOO_LONG && strcmp(line, text) != 0) __builtin_trap();  // refused: untouched

    char current[PATH_CAPACITY], variable[4];
    copyText(current, sizeof current, text);
    rememberDirectory(&drives, current);
    driveVariableName(current, variable);
    delete[] line;
    return 0;
}

// Reads arbitrary bytes as an alias file, checks every entry against the
// macro table's rules, expands lines made of the same bytes by the table and
// frees it. The first byte may make allocations fail, so that the paths that
// drop a line or stop reading run as well; LeakSanitizer sees what they lose.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "base/textutil.h"
#include "interp/aliasfile.h"
#include "interp/interpreter.h"

static unsigned allocations, failEvery;

static void* sometimesFailingAllocate(size_t size) {
    ++allocations;
    return failEvery != 0 && allocations % failEvery == 0 ? 0 : malloc(size);
}

static int isLowerCase(unsigned char c) { return (c >= 'a' && c <= 'z') || c == 0xE4 || c == 0xF6 || c == 0xFC ||
                                                   c == 0xDF; }

static void checkEntry(const MacroEntry* e) {
    size_t nameLength = strlen(e->name), bodyLength = strlen(e->body);
    if (nameLength == 0 || bodyLength == 0 || strpbrk(e->name, " \t=") != 0 || strpbrk(e->body, "\r\n") != 0 ||
        isBlankOrTab(e->body[bodyLength - 1]))
        __builtin_trap();
    for (const char* p = e->name; *p; ++p) if (isLowerCase((unsigned char)*p)) __builtin_trap();
    for (const char* p = e->body; *p; ++p) if (isLowerCase((unsigned char)*p)) __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    failEvery = data[0] < 32 ? data[0] % 8 : 0, allocations = 0;  // mostly no failures

    char* bytes = (char*)memcpy(malloc(size), data, size);
    FILE* file = fmemopen(bytes, size, "r");
    if (file == 0) return free(bytes), 0;
    MacroEntry* table = 0;
    macroAllocate = sometimesFailingAllocate;
    readMacroDefinitions(&table, file);
    macroAllocate = malloc;
    fclose(file);

    for (const MacroEntry* e = table; e != 0; e = e->next) checkEntry(e);

    // Typed lines: the first few lines of the input, each at most as long as
    // the command bar allows, with the macros on.
    Settings s{};
    s.CheckAlias = s.Exit = 1, s.CheckInternal = data[0] & 1;
    copyText(s.Shell, sizeof s.Shell, "cmd.exe");
    static DriveDirectoryTable drives;
    InterpreterEnv env = {&s, table, &drives, 0, [](void*, const char*) { return 0; },
                          [](void*, char*, size_t) { return 0; }};
    const char *p = bytes, *end = bytes + size;
    for (int n = 0; n < 4 && p < end; ++n) {
        const char* lineEnd = (const char*)memchr(p, '\n', (size_t)(end - p)) ?: end;
        char line[LINE_CAPACITY];
        copyTextPart(line, sizeof line, p, (size_t)(lineEnd - p));
        Request request;
        interpretLine(line, sizeof line, &env, &request);
        if (strlen(request.program) >= WORD_CAPACITY || strlen(request.parameters) >= PARAMETER_CAPACITY)
            __builtin_trap();

        // The first macros are found by their own names, with this line as parameters.
        int looked = 0;
        for (const MacroEntry* e = table; e != 0 && n == 0 && looked < 32; e = e->next, ++looked) {
            char word[WORD_CAPACITY], parameters[PARAMETER_CAPACITY];
            if (!copyText(word, sizeof word, e->name)) continue;
            copyText(parameters, sizeof parameters, line);
            if (expandMacro(table, word, parameters) == EXPAND_NONE) __builtin_trap();
        }
        p = lineEnd + 1;
    }

    freeMacroTableAt(&table);
    free(bytes);
    return 0;
}

// The console on Windows: the wide command line converted to UTF-8, binary streams and a
// UTF-8 console, so that rows print the same bytes as on POSIX.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>

#include "console.h"
#include "foundation/convert.h"
#include "foundation/wide.h"

int GetUtf8Arguments(int, char**, char*** utf8) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return -1;
    auto** out = static_cast<char**>(std::calloc(static_cast<size_t>(count) + 1, sizeof(char*)));
    bool ok = out != nullptr;
    for (int i = 0; ok && i < count; ++i) {
        out[i] = WideToMultiByteAlloc(U(wide[i]), -1, kCodePageUtf8);
        ok = out[i] != nullptr;
    }
    LocalFree(wide);
    if (!ok) {
        FreeUtf8Arguments(count, out);
        return -1;
    }
    *utf8 = out;
    return count;
}

void FreeUtf8Arguments(int count, char** utf8) {
    if (utf8 == nullptr) return;
    for (int i = 0; i < count; ++i) std::free(utf8[i]);
    std::free(utf8);
}

void PrepareConsole() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
}

int StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) ? 1 : 0; }

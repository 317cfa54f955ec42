// The console on POSIX: arguments and streams are bytes already.
#include <unistd.h>

#include "console.h"

int GetUtf8Arguments(int argc, char** argv, char*** utf8) {
    *utf8 = argv;
    return argc;
}

void FreeUtf8Arguments(int, char**) {}

void PrepareConsole() {}

int StandardErrorIsTerminal() { return isatty(STDERR_FILENO) ? 1 : 0; }

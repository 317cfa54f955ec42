// quillon-cli's entry point: UTF-8 arguments and streams, then the tool itself.
#include <cstdio>

#include "cli_app.h"
#include "console.h"

int main(int argc, char** argv) {
    PrepareConsole();
    char** utf8 = nullptr;
    int count = GetUtf8Arguments(argc, argv, &utf8);
    if (count < 0) {
        std::fputs("quillon-cli: out of memory\n", stderr);
        return 2;
    }
    int status = RunCli(count, utf8);
    FreeUtf8Arguments(count, utf8);
    return status;
}

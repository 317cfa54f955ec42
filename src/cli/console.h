// The console seam of quillon-cli. Arguments come as UTF-8; standard output and standard
// error carry UTF-8 bytes unchanged (no newline translation).
// Windows: GetCommandLineW / CommandLineToArgvW, binary stdio, the console's code page set
// to UTF-8. POSIX: argv as given (taken to be UTF-8), nothing to set up.
#pragma once

// Fills *argv with UTF-8 arguments for main's argc/argv; returns their number, or -1 when
// memory ran out. The array stays valid until FreeUtf8Arguments.
int GetUtf8Arguments(int argc, char** argv, char*** utf8);
void FreeUtf8Arguments(int count, char** utf8);
// Prepares the standard streams for UTF-8 bytes.
void PrepareConsole();
// 1 when standard error is a terminal (the progress bar is shown only there).
int StandardErrorIsTerminal();

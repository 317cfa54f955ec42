// quillon-cli: index a log as the viewer does and print its rows, a search hit, an
// extraction or the error lines. RunCli returns the exit status: 0 with output, 1 when
// nothing is found or there are no rows (nothing is printed then), 2 for a usage error, a
// file that cannot be opened or an extraction that is too large (one line on standard error).
#pragma once

int RunCli(int argc, char** argv);

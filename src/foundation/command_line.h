// Splits a program's command line into file names: blanks separate tokens, a token that
// starts with a double quote runs to the next one (or the end); there is no escape.
#pragma once

#include <string>
#include <vector>

std::vector<std::u16string> SplitCommandLine(const char16_t* commandLine);

// The viewer's command line, "[log] [--line N] [--follow]": the paths in their order (every
// other token, as before there were options), the line to open the log at (from 1; 0 for
// none) and whether to follow it. "--line" without a positive number after it is ignored.
struct CViewerArguments {
    std::vector<std::u16string> paths;
    int line = 0;
    bool follow = false;
};
CViewerArguments ParseViewerArguments(const std::vector<std::u16string>& tokens);

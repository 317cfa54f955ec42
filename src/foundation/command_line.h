// Splits a program's command line into file names: blanks separate tokens, a token that
// starts with a double quote runs to the next one (or the end); there is no escape.
#pragma once

#include <string>
#include <vector>

std::vector<std::u16string> SplitCommandLine(const char16_t* commandLine);

// Command-line tokenising for the files named at start-up.
#include "foundation/command_line.h"

std::vector<std::u16string> SplitCommandLine(const char16_t* line) {
    std::vector<std::u16string> tokens;
    if (line == nullptr) return tokens;
    const char16_t* p = line;
    while (*p != 0) {
        if (*p == u' ') {
            ++p;
            continue;
        }
        const char16_t* start;
        const char16_t* end;
        if (*p == u'"') {
            start = ++p;
            while (*p != 0 && *p != u'"') ++p;
            end = p;
            if (*p == u'"') ++p;
        } else {
            start = p;
            while (*p != 0 && *p != u' ') ++p;
            end = p;
        }
        if (end > start) tokens.emplace_back(start, end);
    }
    return tokens;
}

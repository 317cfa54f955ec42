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

namespace {

// A positive decimal number that fits an int, or 0.
int PositiveNumber(const std::u16string& token) {
    long long value = 0;
    for (char16_t c : token) {
        if (c < u'0' || c > u'9') return 0;
        value = value * 10 + (c - u'0');
        if (value > 0x7fffffff) return 0;
    }
    return static_cast<int>(value);
}

}  // namespace

CViewerArguments ParseViewerArguments(const std::vector<std::u16string>& tokens) {
    CViewerArguments arguments;
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i] == u"--follow") {
            arguments.follow = true;
        } else if (tokens[i] == u"--line") {
            int line = i + 1 < tokens.size() ? PositiveNumber(tokens[i + 1]) : 0;
            if (line > 0) {
                arguments.line = line;
                ++i;
            }
        } else {
            arguments.paths.push_back(tokens[i]);
        }
    }
    return arguments;
}

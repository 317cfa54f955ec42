// The failure message and the texts' condition shared by the console commands.
#include "cli_texts.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "foundation/convert.h"

int CliFail(const char* format, ...) {
    std::fputs("quillon-cli: ", stderr);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
    return 2;
}

int AddCommandTexts(const CCliOptions& o, CSearchCondition* condition) {
    int options = (o.ignoreCase ? 0 : kMatchCase) | (o.regex ? kRegex : 0);
    for (int i = 0; i < o.textCount + o.notCount; ++i) {
        bool isNot = i >= o.textCount;
        const char* given = isNot ? o.notTexts[i - o.textCount] : o.texts[i];
        char16_t* text = MultiByteToWideAlloc(given, -1, kCodePageUtf8);
        CPatternError error;
        int added = text != nullptr && condition->Add(text, options | (isNot ? kNot : 0), &error);
        std::free(text);
        if (!added && error.offset >= 0) {
            char* message = WideToMultiByteAlloc(error.message, -1, kCodePageUtf8);
            CliFail("regular expression '%s' does not compile at offset %d: %s", given, error.offset,
                    message != nullptr ? message : "");
            std::free(message);
            return 0;
        }
    }
    return 1;
}

// The trace pointer, its do-nothing default, and where the trace library is looked for.
#include "foundation/trace.h"

int TraceNone(const char16_t*, ...) { return 0; }

TraceFunction TraceOutput = TraceNone;

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// "/x", "\x", "\\server\x" or "C:\x": anything else depends on the current folder.
bool IsAbsolute(const char16_t* path) {
    if (IsSeparator(path[0])) return true;
    return path[0] != 0 && path[1] == u':' && IsSeparator(path[2]);
}

}  // namespace

int TraceLibraryPath(const char16_t* exePath, char16_t* out, int capacity) {
    if (out == nullptr || capacity <= 0) return 0;
    out[0] = 0;
    if (exePath == nullptr || !IsAbsolute(exePath)) return 0;
    int folder = -1;  // length up to and including the last separator
    int n = 0;
    for (; exePath[n] != 0; ++n) {
        if (IsSeparator(exePath[n])) folder = n + 1;
    }
    static const char16_t kName[] = u"tracelib64.dll";
    const int name = static_cast<int>(sizeof(kName) / sizeof(kName[0])) - 1;
    if (folder <= 0 || folder + name >= capacity) return 0;
    for (int i = 0; i < folder; ++i) out[i] = exePath[i];
    for (int i = 0; i <= name; ++i) out[folder + i] = kName[i];
    return 1;
}

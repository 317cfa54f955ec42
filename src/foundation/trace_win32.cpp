// Loads "tracelib64.dll" and its "tracewprintf" export, a wide printf-style function.
#include <windows.h>

#include "foundation/trace.h"

namespace {
HMODULE g_traceLibrary = nullptr;
}

int LoadTraceLibrary() {
    TraceOutput = TraceNone;
    g_traceLibrary = LoadLibraryW(L"tracelib64.dll");
    if (g_traceLibrary == nullptr) return 0;
    FARPROC proc = GetProcAddress(g_traceLibrary, "tracewprintf");
    if (proc == nullptr) return 0;
    // wchar_t and char16_t are the same 16-bit units here, so the call form matches.
    TraceOutput = reinterpret_cast<TraceFunction>(reinterpret_cast<void*>(proc));
    return 1;
}

void ReleaseTraceLibrary() {
    TraceOutput = TraceNone;
    if (g_traceLibrary != nullptr) {
        FreeLibrary(g_traceLibrary);
        g_traceLibrary = nullptr;
    }
}

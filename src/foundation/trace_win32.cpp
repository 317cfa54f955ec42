// Loads "tracelib64.dll" from the program's folder and its "tracewprintf" export, a wide
// printf-style function.
#include <windows.h>

#include <cstdlib>

#include "foundation/trace.h"
#include "foundation/wide.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace {

HMODULE g_traceLibrary = nullptr;

// Libraries loaded by name are then looked for in the system folder only, never in the
// current folder, where anyone could have put one. SetDefaultDllDirectories exists from
// Windows 8 (and Windows 7 with KB2533623); SetDllDirectoryW("") at least drops the current
// folder on older systems.
void MakeLibrarySearchSafe() {
    SetDllDirectoryW(L"");
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) return;
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int LoadTraceLibrary() {
    TraceOutput = TraceNone;
    MakeLibrarySearchSafe();
    // The longest path the system knows; a cut one is not used.
    const DWORD kCapacity = 32768;
    auto* exe = static_cast<char16_t*>(std::malloc(kCapacity * sizeof(char16_t)));
    auto* library = static_cast<char16_t*>(std::malloc(kCapacity * sizeof(char16_t)));
    if (exe != nullptr && library != nullptr) {
        DWORD n = GetModuleFileNameW(nullptr, W(exe), kCapacity);
        // A full path, so no search happens; the library's own imports are looked for
        // beside it first.
        if (n > 0 && n < kCapacity && TraceLibraryPath(exe, library, static_cast<int>(kCapacity))) {
            g_traceLibrary = LoadLibraryExW(W(library), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        }
    }
    std::free(exe);
    std::free(library);
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

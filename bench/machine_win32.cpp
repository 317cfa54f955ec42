// Windows figures: the process memory counters, the processor description and the newline
// count through ReadFile; the grep reference is not run here.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "machine.h"

uint64_t CurrentMemory() {
    PROCESS_MEMORY_COUNTERS counters = {};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return counters.WorkingSetSize;
}

uint64_t PeakMemory() {
    PROCESS_MEMORY_COUNTERS counters = {};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return counters.PeakWorkingSetSize;
}

bool ResetPeakMemory() { return false; }

double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>(static_cast<uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

void DescribeMachine(char* out, size_t capacity) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const char* model = std::getenv("PROCESSOR_IDENTIFIER");
    std::snprintf(out, capacity, "%lu x %s", static_cast<unsigned long>(info.dwNumberOfProcessors),
                  model != nullptr ? model : "unknown processor");
}

double TimeGrepCount(const char*, const char*, const char*, int64_t*) { return -1; }

double TimeRgCount(const char*, const char*, const char*, int64_t*) { return -1; }

double TimeNewlineCount(const char* path, int64_t* count) {
    constexpr DWORD kBlock = 10u << 20;
    char* block = static_cast<char*>(std::malloc(kBlock));
    if (block == nullptr) return -1;
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    HANDLE h =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        std::free(block);
        return -1;
    }
    int64_t n = 0;
    DWORD got = 0;
    BOOL ok;
    while ((ok = ReadFile(h, block, kBlock, &got, nullptr)) && got > 0) {
        const char* last = block + got;
        for (const char* p = block; (p = static_cast<const char*>(std::memchr(p, '\n', last - p))) != nullptr; ++p) {
            ++n;
        }
    }
    CloseHandle(h);
    QueryPerformanceCounter(&end);
    std::free(block);
    if (!ok) return -1;
    *count = n;
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Windows figures: the process memory counters and the processor description; the grep
// reference is not run here.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>

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

bool ResetPeakMemory() {
    return false;
}

void DescribeMachine(char* out, size_t capacity) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const char* model = std::getenv("PROCESSOR_IDENTIFIER");
    std::snprintf(out, capacity, "%lu x %s", static_cast<unsigned long>(info.dwNumberOfProcessors),
                  model != nullptr ? model : "unknown processor");
}

double TimeGrepCount(const char*, const char*, int64_t*) {
    return -1;
}

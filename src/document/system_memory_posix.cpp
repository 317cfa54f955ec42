// AvailableMemoryBytes on POSIX: what Linux reports as available without swapping, plus
// the free swap; elsewhere the free physical pages.
#include <unistd.h>

#include <cstdio>

#include "document/system_memory.h"

uint64_t AvailableMemoryBytes() {
    std::FILE* f = std::fopen("/proc/meminfo", "r");
    if (f != nullptr) {
        unsigned long long available = 0, swap = 0;
        bool found = false;
        char line[256];
        while (std::fgets(line, sizeof line, f) != nullptr) {
            unsigned long long kib = 0;
            if (std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1) {
                available = kib;
                found = true;
            } else if (std::sscanf(line, "SwapFree: %llu kB", &kib) == 1) {
                swap = kib;
            }
        }
        std::fclose(f);
        if (found) return (static_cast<uint64_t>(available) + swap) * 1024;
    }
    long pages = sysconf(_SC_AVPHYS_PAGES);
    long size = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || size <= 0) return UINT64_MAX;
    return static_cast<uint64_t>(pages) * static_cast<uint64_t>(size);
}

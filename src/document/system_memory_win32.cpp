// AvailableMemoryBytes on Win32: the commit that can still be made.
#include <windows.h>

#include "document/system_memory.h"

uint64_t AvailableMemoryBytes() {
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return UINT64_MAX;
    // ullAvailPhys alone would refuse what the page file can hold; the commit limit is what
    // an allocation meets.
    return status.ullAvailPageFile;
}

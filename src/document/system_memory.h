// AvailableMemoryBytes: how much memory the system can still give the process, asked before
// an allocation large enough that the system might grant it and then end the process when
// its pages are touched (Linux overcommits; Windows fails at its commit limit).
// Windows: GlobalMemoryStatusEx's ullAvailPageFile, the commit the system can still make
// (physical memory and page files together). POSIX: /proc/meminfo's MemAvailable plus
// SwapFree, or the free physical pages where there is no /proc.
#pragma once

#include <cstdint>

// The bytes available; UINT64_MAX when the system does not say.
uint64_t AvailableMemoryBytes();

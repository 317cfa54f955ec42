// What the benchmark asks of the platform: memory figures of this process, a description
// of the machine, and the times of the references. Linux: /proc and popen; Windows:
// the process memory counters and the processor description (no grep reference).
#pragma once

#include <cstddef>
#include <cstdint>

// Resident memory now, and its high-water mark since the last ResetPeakMemory (bytes, 0 if unknown).
uint64_t CurrentMemory();
uint64_t PeakMemory();
// Starts a new high-water mark where the platform allows it; false when it does not.
bool ResetPeakMemory();
// The processor time this process has used on all its threads, user and system (seconds).
double ProcessCpuSeconds();
// "N x <processor model>" into out.
void DescribeMachine(char* out, size_t capacity);
// The plainest newline count, the benchmark's reference: the file opened afresh and read
// with the system's read call in 10 MiB blocks into one buffer, each '\n' found with memchr.
// Returns the wall time in seconds (open to close) and the count in *count; -1 on failure.
double TimeNewlineCount(const char* path, int64_t* count);
// Runs `grep -c <options> -- text path` (options such as "-F", "-i -F" or "-E"), returns its
// wall time in seconds and its count in *count; -1 when grep cannot be run here.
double TimeGrepCount(const char* path, const char* options, const char* text, int64_t* count);
// The same with `rg --no-mmap -j1 -c <options> -- text path` (ripgrep reading as we do, on
// one thread); -1 when rg is not installed.
double TimeRgCount(const char* path, const char* options, const char* text, int64_t* count);

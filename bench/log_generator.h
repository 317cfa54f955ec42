// CLogGenerator: writes a deterministic, realistic application log of a requested size -
// time-stamped lines with levels, stack traces without stamps, slow intervals, a midnight
// rollover, some Japanese text, about 110 bytes a line, CR LF and LF in alternating runs.
// The same seed and size always give the same bytes.
#pragma once

#include <cstdint>
#include <cstdio>

enum class CLineEnds { kCrLf, kLf, kMixed };

struct CLogGeneratorOptions {
    uint64_t size = 1ull << 30;  // bytes; the last line is finished, so the file may be a little longer
    uint64_t seed = 20240315;
    CLineEnds lineEnds = CLineEnds::kMixed;
};

// Writes the log to out; returns the number of lines written, or -1 when writing failed.
int64_t GenerateLog(const CLogGeneratorOptions& options, std::FILE* out);

// A text that the generator never writes (the benchmark's absent search text).
constexpr const char* kAbsentText = "DeadlockDetected";

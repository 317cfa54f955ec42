// CLogGenerator: writes a deterministic, realistic application log of a requested size -
// time-stamped lines with levels, stack traces without stamps, slow intervals, a midnight
// rollover, some Japanese text, about 110 bytes a line, CR LF and LF in alternating runs.
// The same seed and size always give the same bytes.
#pragma once

#include <cstdint>
#include <cstdio>

enum class CLineEnds { kCrLf, kLf, kMixed };

// How the lines' time stamps are written: the line-start form the loader always read, or a
// form only the further stamp forms read (the same times, so the logs compare).
enum class CStampStyle {
    kBasic,
    kIsoZone,
    kAccessLog,
    kCLibrary,
    kCompact,
    kEpoch,
    kEpochMs,
    kPrefix,
    kLogfmt,
    kGlog,
    kTimeOnly,
    kJson,
};

// The style named by --form ("basic", "iso-zone", "access-log", "c-library", "compact",
// "epoch", "epoch-ms", "prefix", "logfmt", "glog", "time-only", "json"); false for another
// name. A JSON line holds the same fields as the others, its time key last.
bool ParseStampStyle(const char* name, CStampStyle* style);

struct CLogGeneratorOptions {
    uint64_t size = 1ull << 30;  // bytes; the last line is finished, so the file may be a little longer
    uint64_t seed = 20240315;
    CLineEnds lineEnds = CLineEnds::kMixed;
    CStampStyle stamps = CStampStyle::kBasic;
};

// Writes the log to out; returns the number of lines written, or -1 when writing failed.
int64_t GenerateLog(const CLogGeneratorOptions& options, std::FILE* out);

// A text that the generator never writes (the benchmark's absent search text).
constexpr const char* kAbsentText = "DeadlockDetected";

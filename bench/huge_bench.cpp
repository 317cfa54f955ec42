// quillon-huge-bench: a log of billions of short lines ("a\n", written once when the file is
// missing), loaded as the viewer loads it: load time, peak memory, the time to the last row
// (its entry and its bytes) and a search for an absent text over every row.
//   quillon-huge-bench <log-file> [lines]   (lines: 2,500,000,000 by default)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "bench_timing.h"
#include "document/log_file.h"
#include "foundation/convert.h"
#include "loader/log_loader.h"
#include "log_generator.h"
#include "machine.h"
#include "search/line_scan.h"

namespace {

bool WriteShortLines(const char* path, int64_t lines) {
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr) return false;
    std::vector<char> block(1 << 24);
    for (size_t i = 0; i < block.size(); i += 2) {
        block[i] = 'a';
        block[i + 1] = '\n';
    }
    bool ok = true;
    for (int64_t left = lines * 2; ok && left > 0;) {
        size_t n = left < static_cast<int64_t>(block.size()) ? static_cast<size_t>(left) : block.size();
        ok = std::fwrite(block.data(), 1, n, out) == n;
        left -= static_cast<int64_t>(n);
    }
    return std::fclose(out) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fputs("usage: quillon-huge-bench <log-file> [lines]\n", stderr);
        return 2;
    }
    int64_t wanted = argc == 3 ? std::atoll(argv[2]) : 2500000000LL;
    if (std::FILE* f = std::fopen(argv[1], "rb")) {
        std::fclose(f);
    } else if (wanted <= 0 || !WriteShortLines(argv[1], wanted)) {
        std::fprintf(stderr, "quillon-huge-bench: cannot write %s\n", argv[1]);
        return 2;
    }
    char16_t* wide = MultiByteToWideAlloc(argv[1], -1, kCodePageAnsi);
    CLogFile file;
    int opened = wide != nullptr && file.Open(wide);
    std::free(wide);
    if (!opened) {
        std::fprintf(stderr, "quillon-huge-bench: cannot open %s\n", argv[1]);
        return 2;
    }
    char machine[320];
    DescribeMachine(machine, sizeof machine);
    std::printf("Quillon huge-log benchmark on %s\n  file %s: %llu bytes\n", machine, argv[1],
                static_cast<unsigned long long>(file.Size()));

    bool peakReset = ResetPeakMemory();
    uint64_t before = CurrentMemory();
    CLogLineList errors;
    CLoadRequest request;
    double start = Now();
    std::unique_ptr<CLogLineList> lines = LoadLogLines(&file, request, &errors);
    double load = Now() - start;
    uint64_t peak = PeakMemory();
    if (lines == nullptr) {
        std::fprintf(stderr, "quillon-huge-bench: the load failed\n");
        return 2;
    }
    int64_t count = lines->Count();
    std::printf(
        "  %lld lines loaded in %.2f s; index %.1f MiB = %.2f bytes per line; peak memory %.1f MiB over %.1f "
        "MiB before%s\n",
        static_cast<long long>(count), load, static_cast<double>(lines->MemoryBytes()) / 1048576.0,
        count > 0 ? static_cast<double>(lines->MemoryBytes()) / static_cast<double>(count) : 0.0,
        static_cast<double>(peak > before ? peak - before : 0) / 1048576.0, static_cast<double>(before) / 1048576.0,
        peakReset ? "" : " (peak since process start)");

    // The last row, as Ctrl+End shows it: its entry and its bytes.
    start = Now();
    CLogLine last;
    char bytes[64] = {};
    bool got = lines->Get(count - 1, &last) &&
               file.ReadLine(bytes, last.length < 64 ? static_cast<uint32_t>(last.length) : 64, last.offset) > 0;
    double toLast = Now() - start;
    std::printf("  the last row (line %lld) %s in %.3f ms\n", static_cast<long long>(last.lineNumber + 1),
                got ? "read" : "NOT read", toLast * 1000.0);

    CSearchCondition absent;
    absent.Add(u"DeadlockDetected");
    start = Now();
    int64_t found = SearchForward(&file, *lines, 0, absent, kCodePageAnsi);
    std::printf("  search for an absent text over every row: %.2f s (found %lld, expected -1)\n", Now() - start,
                static_cast<long long>(found));
    return 0;
}

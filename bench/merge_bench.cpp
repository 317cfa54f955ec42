// The merge figures. The reference is the plainest way to see every row of the same indexes:
// one decoding walk over each, in order, which the merge cannot do with less.
#include "merge_bench.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "document/log_file.h"
#include "foundation/convert.h"
#include "loader/log_loader.h"
#include "merge/log_merge.h"

namespace {

double Now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

template <typename F>
double Best(int repeat, F work) {
    double best = 1e30;
    for (int i = 0; i < repeat; ++i) {
        double start = Now();
        work();
        double t = Now() - start;
        if (t < best) best = t;
    }
    return best;
}

// xorshift64: random rows without the cost of a library generator.
uint64_t Next(uint64_t* x) {
    *x ^= *x << 13;
    *x ^= *x >> 7;
    *x ^= *x << 17;
    return *x;
}

}  // namespace

int RunMergeBench(const char* const* paths, int count, int repeat) {
    if (count > kMaxMergedLogs) count = kMaxMergedLogs;
    std::vector<std::unique_ptr<CLogFile>> files;
    std::vector<CMergeInput> inputs(static_cast<size_t>(count));
    int64_t rows = 0;
    for (int i = 0; i < count; ++i) {
        files.emplace_back(new (std::nothrow) CLogFile);
        char16_t* path = MultiByteToWideAlloc(paths[i], -1, kCodePageUtf8);
        int opened = path != nullptr && files.back() != nullptr && files.back()->Open(path);
        std::free(path);
        if (!opened) {
            std::fprintf(stderr, "quillon-bench: cannot open %s\n", paths[i]);
            return 2;
        }
        CLoadRequest request;
        CLogLineList errors;
        inputs[static_cast<size_t>(i)].index = LoadLogLines(files.back().get(), request, &errors);
        inputs[static_cast<size_t>(i)].file = files.back().get();
        if (inputs[static_cast<size_t>(i)].index == nullptr) {
            std::fprintf(stderr, "quillon-bench: cannot index %s\n", paths[i]);
            return 2;
        }
        rows += inputs[static_cast<size_t>(i)].index->Count();
    }
    std::printf("Merged view of %d logs: %lld rows; best of %d runs each\n", count, static_cast<long long>(rows),
                repeat);
    uint64_t sum = 0;
    double walk = Best(repeat, [&] {
        CLogLine line;
        for (const CMergeInput& input : inputs) {
            for (CLogLineReader reader(*input.index, 0); reader.Next(&line);) sum += line.timeStamp.milliseconds;
        }
    });
    std::unique_ptr<CMergedRows> merged;
    int ok = 1;
    double merge = Best(repeat, [&] { ok = MergeLogs(inputs.data(), count, &merged) == 1 ? ok : 0; });
    if (ok != 1 || merged == nullptr) {
        std::fprintf(stderr, "quillon-bench: the merge failed\n");
        return 2;
    }
    double rate = static_cast<double>(rows) / merge / 1e6;
    std::printf("  %-40s %8.3f s   %-16s %7.3f s   %6.2fx   %.1f M rows/s, target >= 50  %s\n", "merge pass", merge,
                "walk the indexes", walk, merge / walk, rate, rate >= 50 ? "met" : "MISSED");
    double bytes = rows > 0 ? static_cast<double>(merged->MemoryBytes()) / static_cast<double>(rows) : 0;
    std::printf("  merged order: %.2f bytes a row beyond the logs' indexes (target <= 2: %s), blocks of %lld rows\n",
                bytes, bytes <= 2 ? "met" : "MISSED", static_cast<long long>(merged->BlockRows()));

    constexpr int kFetches = 1000000;
    uint64_t x = 88172645463325252ull;
    CLogLine line;
    double start = Now();
    for (int i = 0; i < kFetches && rows > 0; ++i) {
        merged->Entry(CRow(static_cast<int64_t>(Next(&x) % static_cast<uint64_t>(rows))), &line);
        sum += line.offset;
    }
    double fetch = (Now() - start) * 1e6 / kFetches;
    // A view's page: 50 rows read in one batch from a random row.
    constexpr int kPages = 100000;
    CLogLine page[50];
    start = Now();
    for (int i = 0; i < kPages && rows > 0; ++i) {
        merged->ReadRows(CRow(static_cast<int64_t>(Next(&x) % static_cast<uint64_t>(rows))), 50, page);
        sum += page[0].offset;
    }
    double pageTime = (Now() - start) * 1e6 / kPages;
    // A scan's walk: every row in batches of 4096.
    std::unique_ptr<CLogLine[]> batch(new (std::nothrow) CLogLine[4096]);
    if (batch == nullptr) return 2;
    double scan = Best(repeat, [&] {
        for (int64_t r = 0; r < rows; r += 4096)
            sum += static_cast<uint64_t>(merged->ReadRows(CRow(r), 4096, batch.get()));
    });
    std::printf(
        "  random row: %.3f us a fetch (Entry); a page of 50 rows at random: %.2f us (ReadRows);\n"
        "  every row in batches of 4096: %.1f M rows/s%s\n",
        fetch, pageTime, static_cast<double>(rows) / scan / 1e6, sum == 1 ? " " : "");
    return 0;
}

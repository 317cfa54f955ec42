// The compressed-log figures. The references are the plainest pipelines that do the same
// work with the system's gzip, run through the shell in the same run as the figures.
#include "packed_bench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "document/log_file.h"
#include "foundation/convert.h"
#include "loader/log_loader.h"
#include "search/line_scan.h"
#include "search/search_condition.h"

namespace {

void Figure(const char* name, double seconds, const char* referenceName, double reference, double target) {
    double ratio = seconds / reference;
    std::printf("  %-40s %8.3f s   %-22s %7.3f s   %6.2fx   target <= %.1fx  %s\n", name, seconds, referenceName,
                reference, ratio, target, ratio <= target ? "met" : "MISSED");
}

std::unique_ptr<CLogFile> OpenPacked(const char* path) {
    std::unique_ptr<CLogFile> file(new CLogFile());
    char16_t* wide = MultiByteToWideAlloc(path, -1, kCodePageUtf8);
    int opened = wide != nullptr && file->Open(wide) && file->Unpack() && file->IsPacked();
    std::free(wide);
    return opened ? std::move(file) : nullptr;
}

// The slowest and the mean time of fetches of 1 + rows rows from a random row on, each on a
// handle whose spans are cold (a new one every time, as after the view jumped far away).
void Fetches(CLogFile* file, const CLogLineList& lines, int count, int rows, double* slowest, double* mean,
             double* tail) {
    uint64_t x = 88172645463325252ull;
    std::string buffer;
    std::vector<double> times;
    *slowest = 0;
    double total = 0;
    for (int k = 0; k < count; ++k) {
        std::unique_ptr<CFile> handle = OpenAnotherHandle(file);
        int64_t first = static_cast<int64_t>(Next(&x) % static_cast<uint64_t>(lines.Count()));
        double start = Now();
        CLogLine line;
        int read = 0;
        for (CLogLineReader reader(lines, first); read++ <= rows && reader.Next(&line);) {
            buffer.resize(static_cast<size_t>(line.length));
            handle->Read(&buffer[0], static_cast<uint32_t>(line.length), line.offset);
        }
        double t = Now() - start;
        total += t;
        times.push_back(t);
        if (t > *slowest) *slowest = t;
    }
    *mean = total / count;
    std::sort(times.begin(), times.end());
    *tail = times[times.size() * 95 / 100];
}

}  // namespace

int RunPackedBench(const char* path, int repeat) {
    std::unique_ptr<CLogFile> file;
    std::unique_ptr<CLogLineList> lines;
    CLogLineList errors;
    double load = Best(repeat, [&] {
        file = OpenPacked(path);
        if (file == nullptr) return;
        CLoadRequest request;
        lines = LoadLogLines(file.get(), request, &errors);
    });
    if (file == nullptr || lines == nullptr) {
        std::fprintf(stderr, "quillon-bench: cannot index %s as a gzip log\n", path);
        return 2;
    }
    const char* absent = "QuillonAbsentText";
    std::string quoted = std::string("'") + path + "'";
    std::string count = "zcat " + quoted + " | wc -l >/dev/null";
    std::string grep = "zcat " + quoted + " | grep -c -F " + absent + " >/dev/null";
    double countReference = Best(repeat, [&] { (void)std::system(count.c_str()); });
    std::printf("Compressed log %s: %llu bytes, %llu uncompressed, %lld lines; best of %d runs each\n", path,
                static_cast<unsigned long long>(file->PackedSize()), static_cast<unsigned long long>(file->Size()),
                static_cast<long long>(lines->Count()), repeat);
    Figure("index a gzip log", load, "zcat | wc -l", countReference, 1.2);
    CSearchCondition condition;
    char16_t wide[32] = {};
    for (int i = 0; absent[i] != 0; ++i) wide[i] = static_cast<char16_t>(absent[i]);
    condition.Add(wide);
    CScanOptions options;
    int64_t found = 0;
    double search = Best(repeat, [&] { found = SearchForward(file.get(), *lines, 0, condition, 0, options); });
    double grepReference = Best(repeat, [&] { (void)std::system(grep.c_str()); });
    Figure(found < 0 ? "search, absent text, two cores" : "search (FOUND the absent text?)", search,
           "zcat | grep -c -F", grepReference, 1.0);
    double slowest = 0;
    double mean = 0;
    double tail = 0;
    Fetches(file.get(), *lines, 200, 0, &slowest, &mean, &tail);
    std::printf("  random row fetch: slowest %.2f ms, 95%% within %.2f ms, mean %.2f ms; target <= 10 ms  %s\n",
                slowest * 1e3, tail * 1e3, mean * 1e3, slowest <= 0.010 ? "met" : "MISSED");
    Fetches(file.get(), *lines, 100, 80, &slowest, &mean, &tail);
    std::printf(
        "  jump to a row (80 rows read): slowest %.2f ms, 95%% within %.2f ms, mean %.2f ms; "
        "target <= 50 ms  %s\n",
        slowest * 1e3, tail * 1e3, mean * 1e3, slowest <= 0.050 ? "met" : "MISSED");
    double share = static_cast<double>(file->AccessPointBytes()) / static_cast<double>(file->Size());
    std::printf("  access points: %lld, %.2f MiB = %.3f%% of the uncompressed size; target <= 1%%  %s\n",
                static_cast<long long>(file->AccessPointCount()),
                static_cast<double>(file->AccessPointBytes()) / 1048576.0, share * 100,
                share <= 0.01 ? "met" : "MISSED");
    return 0;
}

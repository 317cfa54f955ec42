// The merge figures, each beside the same work on the logs alone in the same run: the loads
// (the merged view is ready when both are loaded, merged and their error rows found), the
// merge pass beside a plain walk over the same indexes (the least a merge must do), the
// bytes of the merged order, what fetching rows and jumping costs, and a search and an
// extraction on the merged view beside the sum of the same on each log alone; and what
// following costs: rows merged in a second, and a row that comes later than younger ones.
#include "merge_bench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "bench_timing.h"
#include "document/log_file.h"
#include "foundation/convert.h"
#include "loader/log_loader.h"
#include "log_generator.h"
#include "merge/log_merge.h"
#include "merge/merged_sources.h"
#include "search/line_scan.h"
#include "search/row_scan.h"

namespace {

void Figure(const char* name, double seconds, const char* referenceName, double reference, double target) {
    double ratio = reference > 0 ? seconds / reference : 0;
    std::printf("  %-40s %8.3f s   %-16s %7.3f s   %6.2fx   target <= %.1fx  %s\n", name, seconds, referenceName,
                reference, ratio, target, ratio <= target ? "met" : "MISSED");
}

class CMergeBench {
public:
    CMergeBench(const char* const* paths, int count, int repeat, const CKeywordSet& keywords)
        : m_paths(paths), m_count(count), m_repeat(repeat), m_keywords(keywords) {}
    int Run();

private:
    // Each log indexed as the viewer does (with the error keywords); false when one fails.
    bool LoadAll();
    void LoadAndMergeFigures();
    void FetchFigures();
    void ScanFigures();
    void FollowFigures();
    // Each log's first rows[log] rows as an index of its own, and a merge of them.
    bool StartOf(const int64_t* rows, std::vector<std::shared_ptr<CLogLineList>>* parts,
                 std::unique_ptr<CMergedRows>* merged);

    const char* const* m_paths;
    int m_count;
    int m_repeat;
    const CKeywordSet& m_keywords;
    std::vector<std::unique_ptr<CLogFile>> m_files;
    std::vector<CLogLineList> m_errors;
    std::vector<CMergeInput> m_inputs;
    int64_t m_rows = 0;
    std::shared_ptr<CMergedRows> m_merged;
    std::shared_ptr<CLogLineList> m_errorRows;
    uint64_t m_sum = 0;  // keeps reads from being dropped
};

bool CMergeBench::LoadAll() {
    m_rows = 0;
    for (int i = 0; i < m_count; ++i) {
        CLoadRequest request;
        request.keywords = &m_keywords;
        m_errors[static_cast<size_t>(i)].Free();
        m_inputs[static_cast<size_t>(i)].index =
            LoadLogLines(m_files[static_cast<size_t>(i)].get(), request, &m_errors[static_cast<size_t>(i)]);
        if (m_inputs[static_cast<size_t>(i)].index == nullptr) {
            std::fprintf(stderr, "quillon-bench: cannot index %s\n", m_paths[i]);
            return false;
        }
        m_rows += m_inputs[static_cast<size_t>(i)].index->Count();
    }
    return true;
}

void CMergeBench::LoadAndMergeFigures() {
    // Each run of the merged view's loads follows a run of the loads alone (as in the
    // scans' figures), the best of each kept.
    double alone = 1e30;
    double ready = 1e30;
    bool ok = true;
    for (int r = 0; r < m_repeat; ++r) {
        double start = Now();
        for (int i = 0; i < m_count; ++i) {
            CLoadRequest request;
            request.keywords = &m_keywords;
            CLogLineList errors;
            std::unique_ptr<CLogLineList> index = LoadLogLines(m_files[static_cast<size_t>(i)].get(), request, &errors);
            m_sum += index != nullptr ? static_cast<uint64_t>(index->Count()) : 0;
        }
        alone = std::min(alone, Now() - start);
        start = Now();
        ok = LoadAll() && ok;
        std::unique_ptr<CMergedRows> merged;
        auto errorRows = std::make_shared<CLogLineList>();
        // As the viewer makes them: on the merge's way.
        for (int i = 0; i < m_count; ++i) m_inputs[static_cast<size_t>(i)].errors = &m_errors[static_cast<size_t>(i)];
        ok = MergeLogs(m_inputs.data(), m_count, &merged, nullptr, nullptr, errorRows.get()) == 1 && ok;
        ready = std::min(ready, Now() - start);
        m_merged = std::move(merged);
        m_errorRows = errorRows;
    }
    Figure(ok ? "merged view ready: loads, merge, errors" : "merged view ready: FAILED", ready, "the loads alone",
           alone, 1.3);
    double walk = Best(m_repeat, [&] {
        CLogLine line;
        for (const CMergeInput& input : m_inputs) {
            for (CLogLineReader reader(*input.index, 0); reader.Next(&line);) m_sum += line.timeStamp.milliseconds;
        }
    });
    std::unique_ptr<CMergedRows> again;
    double merge = Best(m_repeat, [&] { ok = MergeLogs(m_inputs.data(), m_count, &again) == 1 && ok; });
    double rate = static_cast<double>(m_rows) / merge / 1e6;
    std::printf("  %-40s %8.3f s   %-16s %7.3f s   %6.2fx   %.1f M rows/s, target >= 50  %s\n", "merge pass", merge,
                "walk the indexes", walk, merge / walk, rate, rate >= 50 ? "met" : "MISSED");
    double errorPicks = Best(m_repeat, [&] {
        CLogLineList picks;
        std::vector<const CLogLineList*> errors;
        for (const CLogLineList& list : m_errors) errors.push_back(&list);
        ok = MergedErrorPicks(*m_merged, errors.data(), &picks) == 1 && ok;
    });
    std::printf("  the error rows in merged order: %.3f s for %lld rows on their own, or on the merge's way\n",
                errorPicks, static_cast<long long>(m_errorRows->Count()));
    double bytes = m_rows > 0 ? static_cast<double>(m_merged->MemoryBytes()) / static_cast<double>(m_rows) : 0;
    std::printf("  merged order: %.2f bytes a row beyond the logs' indexes (target <= 2: %s), blocks of %lld rows\n",
                bytes, bytes <= 2 ? "met" : "MISSED", static_cast<long long>(m_merged->BlockRows()));
}

void CMergeBench::FetchFigures() {
    if (m_rows == 0) return;
    CMergedViewRows view(m_merged, m_errorRows);
    constexpr int kFetches = 1000000;
    uint64_t x = 88172645463325252ull;
    auto random = [&] { return static_cast<int64_t>(Next(&x) % static_cast<uint64_t>(m_rows)); };
    CLogLine line;
    double start = Now();
    for (int i = 0; i < kFetches; ++i) {
        m_merged->Entry(CRow(random()), &line);
        m_sum += line.offset;
    }
    double raw = (Now() - start) * 1e6 / kFetches;
    constexpr int kViewFetches = 200000;
    start = Now();
    for (int i = 0; i < kViewFetches; ++i) {
        view.Entry(CRow(random()), &line);
        m_sum += line.timeStamp.milliseconds;
    }
    double keyed = (Now() - start) * 1e6 / kViewFetches;
    // A jump: a log's line to its merged row, then the page of 50 rows shown there.
    constexpr int kJumps = 100000;
    CLogLine page[50];
    start = Now();
    for (int i = 0; i < kJumps; ++i) {
        int log = static_cast<int>(Next(&x) % static_cast<uint64_t>(m_count));
        int64_t lines = m_merged->Log(log).index->Count();
        if (lines == 0) continue;
        int64_t row = m_merged->RowOf(log, CRow(static_cast<int64_t>(Next(&x) % static_cast<uint64_t>(lines))));
        m_sum += static_cast<uint64_t>(view.ReadRows(CRow(row), 50, page));
    }
    double jump = (Now() - start) * 1e6 / kJumps;
    std::unique_ptr<CLogLine[]> batch(new (std::nothrow) CLogLine[4096]);
    if (batch == nullptr) return;
    double scan = Best(m_repeat, [&] {
        for (int64_t r = 0; r < m_rows; r += 4096)
            m_sum += static_cast<uint64_t>(view.ReadRows(CRow(r), 4096, batch.get()));
    });
    std::printf(
        "  a row at random: %.3f us its entry, %.3f us with its key (as the view reads it; target: a few us)\n"
        "  a jump to a log's line: %.2f us to its merged row and the page of 50 rows there\n"
        "  every row with its key in batches of 4096: %.1f M rows/s\n",
        raw, keyed, jump, static_cast<double>(m_rows) / scan / 1e6);
}

void CMergeBench::ScanFigures() {
    CMergedViewRows view(m_merged, m_errorRows);
    CLogReaders readers;
    if (!readers.Open(view, false)) return;
    CSearchCondition absent;
    char16_t text[32] = {};
    for (int k = 0; kAbsentText[k] != 0 && k < 31; ++k) text[k] = static_cast<char16_t>(kAbsentText[k]);
    absent.Add(text);
    CSearchCondition error;
    error.Add(u"ERROR");
    CScanOptions options;
    options.hideEscapes = true;  // as the viewer scans with colour codes on, its default
    // Each run of the merged view follows a run of every log alone, so that both see the
    // machine as it is then; the best of each is kept.
    auto best = [](double* kept, double t) { *kept = *kept < 0 || t < *kept ? t : *kept; };
    double searchAlone = -1;
    double extractAlone = -1;
    double search = -1;
    double extract = -1;
    int64_t aloneRows = 0;
    int64_t found = 0;
    int64_t extracted = 0;
    for (int r = 0; r < m_repeat; ++r) {
        double start = Now();
        for (const CMergeInput& input : m_inputs)
            m_sum += static_cast<uint64_t>(SearchForward(input.file, *input.index, 0, absent, kCodePageUtf8, options));
        best(&searchAlone, Now() - start);
        start = Now();
        found = SearchLogRows(view, view, readers, 0, CSearchDirection::kNext, absent, options);
        best(&search, Now() - start);
        start = Now();
        aloneRows = 0;
        for (const CMergeInput& input : m_inputs) {
            CLogLineList result;
            result.ReferTo(input.index);  // as the viewer keeps an extraction
            ExtractLines(input.file, *input.index, error, kCodePageUtf8, 0, 0, &result, options);
            aloneRows += result.Count();
        }
        best(&extractAlone, Now() - start);
        start = Now();
        CLogLineList result;
        ExtractLogRows(view, view, readers, error, 0, 0, &result, options);
        extracted = result.Count();
        best(&extract, Now() - start);
    }
    Figure("search for an absent text, merged view", search, "sum of the logs", searchAlone, 1.2);
    Figure("extraction of \"ERROR\", merged view", extract, "sum of the logs", extractAlone, 1.2);
    std::printf("  search found %lld (expected -1); the extraction gave %lld rows (the logs alone %lld)\n",
                static_cast<long long>(found), static_cast<long long>(extracted), static_cast<long long>(aloneRows));
}

bool CMergeBench::StartOf(const int64_t* rows, std::vector<std::shared_ptr<CLogLineList>>* parts,
                          std::unique_ptr<CMergedRows>* merged) {
    std::vector<CMergeInput> inputs = m_inputs;
    parts->clear();
    for (int i = 0; i < m_count; ++i) {
        auto part = std::make_shared<CLogLineList>();
        if (rows[i] > 0 && !part->Append(*m_inputs[static_cast<size_t>(i)].index, 0, rows[i])) return false;
        parts->push_back(part);
        inputs[static_cast<size_t>(i)].index = part;
    }
    return MergeLogs(inputs.data(), m_count, merged) == 1;
}

// A follow step as the viewer takes it: each log's last row read again with the rows after
// it (made beforehand, as the follow job makes them in the background), then merged in.
void CMergeBench::FollowFigures() {
    constexpr int64_t kStepRows = 25000;  // what a poll brings of a log written at 100,000 lines a second
    int64_t start[kMaxMergedLogs];
    for (int i = 0; i < m_count; ++i) start[i] = m_inputs[static_cast<size_t>(i)].index->Count() * 9 / 10;
    std::vector<std::shared_ptr<CLogLineList>> parts;
    std::unique_ptr<CMergedRows> rows;
    if (!StartOf(start, &parts, &rows)) return;
    std::vector<std::unique_ptr<CLogLineList>> steps;
    std::vector<int64_t> froms;
    for (int64_t at = 0;; at += kStepRows) {
        bool any = false;
        for (int i = 0; i < m_count; ++i) {
            const CLogLineList& whole = *m_inputs[static_cast<size_t>(i)].index;
            int64_t from = start[i] + at - 1;
            int64_t end = std::min(start[i] + at + kStepRows, whole.Count());
            std::unique_ptr<CLogLineList> more(new (std::nothrow) CLogLineList);
            if (more == nullptr || (end > from && !more->Append(whole, from, end - from))) return;
            any = any || end > from + 1;
            steps.push_back(std::move(more));
            froms.push_back(from);
        }
        if (!any) break;
    }
    int64_t before = rows->Count();
    double begin = Now();
    for (size_t k = 0; k < steps.size(); k += static_cast<size_t>(m_count)) {
        int64_t replaced[kMaxMergedLogs];
        for (int i = 0; i < m_count; ++i) {
            replaced[i] = froms[k + static_cast<size_t>(i)];
            if (!ReplaceTail(parts[static_cast<size_t>(i)].get(), replaced[i], *steps[k + static_cast<size_t>(i)]))
                return;
        }
        CMergeChange change;
        if (!ExtendMerge(rows.get(), replaced, &change)) return;
    }
    double took = Now() - begin;
    double rate = static_cast<double>(rows->Count() - before) / took / 1e6;
    std::printf("  following: %lld rows merged in by steps of %lld rows a log: %.1f M rows/s (%.2f ms a step)\n",
                static_cast<long long>(rows->Count() - before), static_cast<long long>(kStepRows), rate,
                took * 1e3 / static_cast<double>(steps.size() / static_cast<size_t>(m_count)));
    // One row of a log coming late: it goes back about `distance` merged rows, which are
    // merged again behind it. The late log is one that does not end the merged rows, so that
    // other logs' rows lie after its row.
    int late = (m_merged->LogOf(CRow(m_rows - 1)) + 1) % m_count;
    for (int64_t distance : {int64_t{100000}, int64_t{1000000}}) {
        if (distance >= m_rows) break;
        int64_t held[kMaxMergedLogs];
        m_merged->RowsBefore(CRow(m_rows - distance), held);
        if (held[late] >= m_inputs[static_cast<size_t>(late)].index->Count()) continue;
        for (int i = 0; i < m_count; ++i)
            start[i] = i == late ? held[i] : m_inputs[static_cast<size_t>(i)].index->Count();
        if (!StartOf(start, &parts, &rows)) return;
        CLogLineList one;
        if (!one.Append(*m_inputs[static_cast<size_t>(late)].index, held[late], 1)) return;
        int64_t replaced[kMaxMergedLogs];
        for (int i = 0; i < m_count; ++i) replaced[i] = rows->LogRows(i);
        if (!ReplaceTail(parts[static_cast<size_t>(late)].get(), held[late], one)) return;
        CMergeChange change;
        begin = Now();
        int ok = ExtendMerge(rows.get(), replaced, &change);
        took = Now() - begin;
        std::printf("  a row %lld rows older than the merged tail: %.2f ms (%.1f ns a row merged again)%s\n",
                    static_cast<long long>(rows->Count() - change.First()), took * 1e3,
                    took * 1e9 / static_cast<double>(rows->Count() - change.First()), ok == 1 ? "" : " FAILED");
    }
}

int CMergeBench::Run() {
    if (m_count > kMaxMergedLogs) m_count = kMaxMergedLogs;
    m_errors = std::vector<CLogLineList>(static_cast<size_t>(m_count));
    m_inputs.resize(static_cast<size_t>(m_count));
    for (int i = 0; i < m_count; ++i) {
        m_files.emplace_back(new (std::nothrow) CLogFile);
        char16_t* path = MultiByteToWideAlloc(m_paths[i], -1, kCodePageUtf8);
        int opened = path != nullptr && m_files.back() != nullptr && m_files.back()->Open(path);
        std::free(path);
        if (!opened) {
            std::fprintf(stderr, "quillon-bench: cannot open %s\n", m_paths[i]);
            return 2;
        }
        m_inputs[static_cast<size_t>(i)].file = m_files.back().get();
        m_inputs[static_cast<size_t>(i)].codePage = kCodePageUtf8;
    }
    if (!LoadAll()) return 2;
    std::printf("Merged view of %d logs: %lld rows; best of %d runs each, page cache warm\n", m_count,
                static_cast<long long>(m_rows), m_repeat);
    LoadAndMergeFigures();
    if (m_merged == nullptr) {
        std::fprintf(stderr, "quillon-bench: the merge failed\n");
        return 2;
    }
    FetchFigures();
    ScanFigures();
    FollowFigures();
    std::printf("%s", m_sum == 1 ? " \n" : "");
    return 0;
}

}  // namespace

int RunMergeBench(const char* const* paths, int count, int repeat, const CKeywordSet& keywords) {
    CMergeBench bench(paths, count, repeat, keywords);
    return bench.Run();
}

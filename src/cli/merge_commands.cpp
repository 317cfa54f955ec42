// The console's commands on merged logs. The scans of src/search take one file and its
// list, so search and extraction run on each log's own index and their rows are put in the
// merged order; the error rows, the timeline and --at-time read the merged rows.
#include "merge_commands.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "cli_config.h"
#include "cli_texts.h"
#include "document/encoding.h"
#include "document/log_file.h"
#include "document/row_cells.h"
#include "foundation/buffer.h"
#include "foundation/convert.h"
#include "loader/log_loader.h"
#include "merge/log_merge.h"
#include "merge/merged_time_rows.h"
#include "progress_bar.h"
#include "row_printer.h"
#include "search/line_scan.h"
#include "search/row_navigation.h"
#include "timeline_command.h"

namespace {

struct CMergedLogFile {
    const char* name = nullptr;
    CLogFile file;
    unsigned codePage = 0;
    std::shared_ptr<CLogLineList> index;
    CLogLineList errors;
    CStampCount stampCount;
    std::unique_ptr<CRowPrinter> printer;
};

// A scan's progress over one log as a share of all the logs' rows.
class CShareListener : public CProgressListener {
public:
    CShareListener(CProgressListener* all, uint64_t before, uint64_t total, uint64_t rows)
        : m_all(all), m_before(before), m_total(total), m_rows(rows) {}
    void OnProgress(uint64_t position, uint64_t total) override {
        uint64_t done = total > 0 ? position * m_rows / total : 0;
        m_all->OnProgress(m_before + done, m_total);
    }

private:
    CProgressListener* m_all;
    uint64_t m_before;
    uint64_t m_total;
    uint64_t m_rows;
};

class CMergedCli {
public:
    explicit CMergedCli(const CMergeSettings& s) : m_s(s), m_o(*s.options) {}
    int Run();

private:
    template <class Front>
    friend int ::RunCliCommand(CCliCommand command, Front& front);
    int Open(CMergedLogFile* log, const CLoadRequest& given);
    int Info();
    int Rows();
    int Errors();
    int Search();
    int Extract();
    int Timeline();
    // Prints the rows of picked (entries numbered by merged row) with the cells of a view of them.
    void PrintPicked(const CLogLineList& picked);
    // Prints merged rows [first, end) with the cells of a view whose first row is first.
    void PrintRows(int64_t first, int64_t end);
    void Print(int64_t row, const CLogLine& line, const CRowCell& cell);
    int PrintRaw(const CLogLineList& picked);
    // The error rows of every log, numbered by merged row; 1, or 0 after saying memory ran out.
    int ErrorRows(CLogLineList* out);
    std::string Names() const;

    const CMergeSettings& m_s;
    const CCliOptions& m_o;
    std::unique_ptr<CMergedLogFile[]> m_logs;
    std::unique_ptr<CMergedRows> m_rows;
};

int CMergedCli::Open(CMergedLogFile* log, const CLoadRequest& given) {
    const char* reason = "";
    if (!CheckReadable(log->name, &reason)) return CliFail("cannot open '%s': %s", log->name, reason);
    char16_t* path = MultiByteToWideAlloc(log->name, -1, kCodePageUtf8);
    int opened = path != nullptr && log->file.Open(path);
    std::free(path);
    if (!opened) return CliFail("cannot open '%s': it cannot be read", log->name);
    if (!log->file.Unpack(-1)) {
        return CliFail("cannot read '%s': %s", log->name, UnpackErrorText(log->file.UnpackError()));
    }
    log->codePage = ChooseCodePage(m_o.encoding, DetectFileCodePage(&log->file));
    CLoadRequest request = given;
    CLoadResult result;
    request.codePage = log->codePage;
    request.result = &result;
    request.stampCount = &log->stampCount;
    CProgressBar bar(m_s.showProgress, "indexing");
    request.listener = &bar;
    log->index = LoadLogLines(&log->file, request, &log->errors);
    bar.Finish();
    if (result.status == CLoadStatus::kDamaged) {
        std::fprintf(stderr, "quillon-cli: '%s' is incomplete: %s\n", log->name, UnpackErrorText(result.damage));
    }
    if (log->index != nullptr) return 0;
    if (result.status == CLoadStatus::kTooLarge) {
        return CliFail("'%s' has %lld lines: their index needs %llu bytes of memory, and %llu bytes are available",
                       log->name, static_cast<long long>(result.lines), static_cast<unsigned long long>(result.needed),
                       static_cast<unsigned long long>(result.available));
    }
    return CliFail("not enough memory to index '%s'", log->name);
}

int CMergedCli::Run() {
    int count = m_o.mergeCount;
    m_logs.reset(new (std::nothrow) CMergedLogFile[count]);
    if (m_logs == nullptr) return CliFail("not enough memory to merge the logs");
    CLoadRequest request;
    bool wantErrors = m_o.command == CCliCommand::kInfo || m_o.command == CCliCommand::kErrors ||
                      m_o.command == CCliCommand::kTimeline;
    request.keywords = wantErrors ? &m_s.config->Keywords() : nullptr;
    request.stamps = m_s.stampRules;
    CMergeInput inputs[kMaxMergedLogs];
    for (int i = 0; i < count; ++i) {
        m_logs[i].name = m_o.mergeLogs[i];
        if (int status = Open(&m_logs[i], request)) return status;
        inputs[i].index = m_logs[i].index;
        inputs[i].file = &m_logs[i].file;
        inputs[i].offsetMinutes = m_o.offsets[i];
    }
    CProgressBar bar(m_s.showProgress, "merging");
    int merged = MergeLogs(inputs, count, &m_rows, &bar);
    bar.Finish();
    if (merged != 1) return CliFail("not enough memory to merge the logs");
    return RunCliCommand(m_o.command, *this);
}

std::string CMergedCli::Names() const {
    std::string names;
    for (int i = 0; i < m_o.mergeCount; ++i) names += std::string(i > 0 ? ", " : "") + m_logs[i].name;
    return names;
}

int CMergedCli::Info() {
    for (int i = 0; i < m_o.mergeCount; ++i) {
        const CMergedLogFile& log = m_logs[i];
        char first[40] = "";
        char last[40] = "";
        CLogLine line;
        for (CLogLineReader reader(*log.index, 0); reader.Next(&line);) {
            if (line.timeStamp.HasDate()) {
                FormatStamp(line.timeStamp, first, sizeof first);
                break;
            }
        }
        if (log.index->Get(log.index->Count() - 1, &line)) FormatStamp(line.timeStamp, last, sizeof last);
        int64_t rows = log.index->Count();
        int64_t tenths = rows > 0 ? log.stampCount.stamped * 1000 / rows : 0;
        const char* n = log.name;
        std::printf(
            "%s\tfile\t%s\n%s\tsize\t%llu\n%s\tlines\t%lld\n%s\terror lines\t%lld\n%s\tfirst time stamp\t%s\n"
            "%s\tlast time stamp\t%s\n%s\tstamp form\t%s\n%s\trows with a stamp\t%lld (%d.%d%%)\n",
            n, n, n, static_cast<unsigned long long>(m_logs[i].file.Size()), n, static_cast<long long>(rows), n,
            static_cast<long long>(log.errors.Count()), n, first, n, last, n,
            log.stampCount.stamped > 0 ? StampFormName(log.stampCount.firstForm) : "", n,
            static_cast<long long>(log.stampCount.stamped), static_cast<int>(tenths / 10),
            static_cast<int>(tenths % 10));
    }
    // The merged rows' first and last time on the common clock (UTC, offsets added).
    char first[40] = "";
    char last[40] = "";
    CMergedTimeRows times(*m_rows);
    CRowWalker walker(times, CRow(0));
    CLogLine line;
    while (walker.Next(&line)) {
        if (line.timeStamp.HasDate()) {
            FormatStamp(line.timeStamp, first, sizeof first);
            break;
        }
    }
    if (times.Entry(CRow(m_rows->Count() - 1), &line)) FormatStamp(line.timeStamp, last, sizeof last);
    std::printf("\tmerged rows\t%lld\n\tfirst time\t%s\n\tlast time\t%s\n", static_cast<long long>(m_rows->Count()),
                first, last);
    return 0;
}

void CMergedCli::Print(int64_t row, const CLogLine& line, const CRowCell& cell) {
    CMergedLogFile& log = m_logs[m_rows->LogOf(CRow(row))];
    if (log.printer == nullptr) {
        log.printer.reset(new (std::nothrow) CRowPrinter(&log.file, log.codePage, m_s.hideEscapes, stdout));
        if (log.printer == nullptr) return;
    }
    std::fputs(log.name, stdout);
    std::fputc('\t', stdout);
    log.printer->Print(line, cell);
}

void CMergedCli::PrintRows(int64_t first, int64_t end) {
    CRowCells cells(*m_rows, CRow(first), m_s.checkOn, m_s.threshold);
    CRowWalker walker(*m_rows, CRow(first));
    CLogLine line;
    for (int64_t row = first; row < end && walker.Next(&line); ++row) {
        CRowCell cell;
        cells.Next(line, &cell);
        Print(row, line, cell);
    }
}

void CMergedCli::PrintPicked(const CLogLineList& picked) {
    // The picked entries keep their stamps, so the first is the cells' reference as in a view.
    CRowCells cells(picked, 0, m_s.checkOn, m_s.threshold);
    CLogLine pick;
    for (CLogLineReader reader(picked, 0); reader.Next(&pick);) {
        CLogLine line;
        if (!m_rows->Entry(CRow(pick.lineNumber), &line)) continue;
        CRowCell cell;
        cells.Next(line, &cell);
        Print(pick.lineNumber, line, cell);
    }
}

int CMergedCli::Rows() {
    int64_t count = m_rows->Count();
    int64_t first = m_o.hasFrom ? m_o.from : 0;
    if (m_o.hasAtTime) {
        first = FirstRowAtOrAfter(CMergedTimeRows(*m_rows), m_o.atTime);
        if (first < 0) return 1;
    }
    if (m_o.hasCount && m_o.count == 0) return 1;
    if (first >= count) return 1;
    int64_t end = m_o.hasCount && m_o.count < count - first ? first + m_o.count : count;
    PrintRows(first, end);
    return 0;
}

int CMergedCli::ErrorRows(CLogLineList* out) {
    const CLogLineList* errors[kMaxMergedLogs] = {};
    for (int i = 0; i < m_o.mergeCount; ++i) errors[i] = &m_logs[i].errors;
    if (MergedErrorRows(*m_rows, errors, out)) return 1;
    CliFail("not enough memory for the error rows of %s", Names().c_str());
    return 0;
}

int CMergedCli::Errors() {
    CLogLineList picked;
    if (!ErrorRows(&picked)) return 2;
    if (picked.Count() == 0) return 1;
    PrintPicked(picked);
    return 0;
}

int CMergedCli::Timeline() {
    CLogLineList errors;
    if (!ErrorRows(&errors)) return 2;
    CProgressBar bar(m_s.showProgress, "counting");
    return PrintTimeline(CMergedTimeRows(*m_rows), errors, static_cast<int32_t>(m_o.bucket), Names().c_str(), &bar);
}

int CMergedCli::Search() {
    CSearchCondition condition;
    if (!AddCommandTexts(m_o, &condition)) return 2;
    if (condition.Count() == 0) return 1;
    int64_t count = m_rows->Count();
    int64_t start = m_o.hasFrom ? m_o.from : 0;
    if (count == 0 || (!m_o.backward && start >= count)) return 1;
    if (start >= count) start = count - 1;
    // Each log is searched from its first row at or after the start (its last at or before
    // it, backward); the merged row nearest the start of those found is the answer.
    int64_t before[kMaxMergedLogs];
    m_rows->RowsBefore(CRow(m_o.backward ? start + 1 : start), before);
    CProgressBar bar(m_s.showProgress, "searching");
    CScanOptions options;
    options.hideEscapes = m_s.hideEscapes;
    int64_t found = -1;
    uint64_t done = 0;
    for (int i = 0; i < m_o.mergeCount; ++i) {
        CMergedLogFile& log = m_logs[i];
        CShareListener share(&bar, done, static_cast<uint64_t>(count), static_cast<uint64_t>(log.index->Count()));
        options.listener = &share;
        int64_t hit = m_o.backward
                          ? SearchBackward(&log.file, *log.index, before[i] - 1, condition, log.codePage, options)
                          : SearchForward(&log.file, *log.index, before[i], condition, log.codePage, options);
        done += static_cast<uint64_t>(log.index->Count());
        if (hit < 0) continue;
        int64_t row = m_rows->RowOf(i, CRow(hit));
        if (found < 0 || (m_o.backward ? row > found : row < found)) found = row;
    }
    bar.Finish();
    if (condition.LimitHits() > 0) {
        std::fprintf(stderr,
                     "quillon-cli: the regular expression reached the matching limit on %lld lines; "
                     "they were taken as not matching\n",
                     static_cast<long long>(condition.LimitHits()));
    }
    if (found < 0) return 1;
    CRowCells cells(*m_rows, CRow(0), m_s.checkOn, m_s.threshold);
    CRowWalker walker(*m_rows, CRow(0));
    CRowCell cell;
    CLogLine line;
    for (int64_t i = 0; i <= found && walker.Next(&line); ++i) cells.Next(line, &cell);
    Print(found, line, cell);
    return 0;
}

int CMergedCli::Extract() {
    CSearchCondition condition;
    if (!AddCommandTexts(m_o, &condition)) return 2;
    condition.SetMatchAll(m_o.matchAll ? 1 : 0);
    if (condition.Count() == 0) return 1;
    int64_t before = m_o.hasBefore ? m_o.before : m_s.config->m_contextBefore;
    int64_t after = m_o.hasAfter ? m_o.after : m_s.config->m_contextAfter;
    if (before < 0) before = 0;
    if (after < 0) after = 0;
    int64_t count = m_rows->Count();
    int64_t limit = m_o.hasMaxRows && m_o.maxRows > 0 ? m_o.maxRows : std::max(kExtractRowLimit, count);
    // The hits of every log (no context: the context is the merged rows around a hit).
    CGrowBuffer<int64_t> hits;
    int64_t hitCount = 0;
    CProgressBar bar(m_s.showProgress, "extracting");
    CScanOptions options;
    options.hideEscapes = m_s.hideEscapes;
    uint64_t done = 0;
    for (int i = 0; i < m_o.mergeCount; ++i) {
        CMergedLogFile& log = m_logs[i];
        CShareListener share(&bar, done, static_cast<uint64_t>(count), static_cast<uint64_t>(log.index->Count()));
        options.listener = &share;
        CLogLineList found;
        int ok = ExtractLines(&log.file, *log.index, condition, log.codePage, 0, 0, &found, options);
        done += static_cast<uint64_t>(log.index->Count());
        if (ok != 1 || !hits.Grow(static_cast<size_t>(hitCount + found.Count()))) {
            bar.Finish();
            return CliFail("not enough memory to extract from %s", Names().c_str());
        }
        CLogLine line;
        for (CLogLineReader reader(found, 0); reader.Next(&line);) {
            hits.Data()[hitCount++] = m_rows->RowOf(i, CRow(line.lineNumber));
        }
    }
    bar.Finish();
    std::sort(hits.Data(), hits.Data() + hitCount);
    // As the viewer's extraction: each hit with its context, a row once per hit reaching it.
    int64_t rows = 0;
    for (int64_t k = 0; k < hitCount; ++k) {
        int64_t h = hits.Data()[k];
        rows += std::min(h + after, count - 1) - std::max(h - before, int64_t{0}) + 1;
    }
    if (rows > limit) {
        return CliFail("the extraction from %s is too large: more than %lld rows (use fewer context lines)",
                       Names().c_str(), static_cast<long long>(limit));
    }
    CLogLineList picked;
    for (int64_t k = 0; k < hitCount; ++k) {
        int64_t h = hits.Data()[k];
        int64_t from = std::max(h - before, int64_t{0});
        int64_t to = std::min(h + after, count - 1);
        CRowWalker walker(*m_rows, CRow(from));
        CLogLine line;
        for (int64_t r = from; r <= to && walker.Next(&line); ++r) {
            line.lineNumber = r;
            if (!picked.Append(line)) return CliFail("not enough memory to extract from %s", Names().c_str());
        }
    }
    if (picked.Count() == 0) return 1;
    if (m_o.raw) return PrintRaw(picked);
    PrintPicked(picked);
    return 0;
}

int CMergedCli::PrintRaw(const CLogLineList& picked) {
    constexpr uint32_t kChunk = 1u << 20;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kChunk]);
    if (buffer == nullptr) return CliFail("not enough memory to print the rows");
    CLogLine pick;
    for (CLogLineReader reader(picked, 0); reader.Next(&pick);) {
        CMergedLogFile& log = m_logs[m_rows->LogOf(CRow(pick.lineNumber))];
        uint64_t length = pick.length > 0 ? static_cast<uint64_t>(pick.length) : 0;
        for (uint64_t at = 0; at < length;) {
            uint32_t want = length - at < kChunk ? static_cast<uint32_t>(length - at) : kChunk;
            if (log.file.Read(buffer.get(), want, pick.offset + at) != want ||
                std::fwrite(buffer.get(), 1, want, stdout) != want) {
                return CliFail("the rows of '%s' could not be read or written", log.name);
            }
            at += want;
        }
    }
    return 0;
}

}  // namespace

int RunMergedCommand(const CMergeSettings& settings) {
    CMergedCli cli(settings);
    return cli.Run();
}

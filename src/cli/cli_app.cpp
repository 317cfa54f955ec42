// The commands of quillon-cli over the core: the loader, the row cells, the search and
// extraction scans and the error-line copy, exactly as the viewer uses them.
#include "cli_app.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "cli_config.h"
#include "cli_texts.h"
#include "cli_options.h"
#include "console.h"
#include "document/encoding.h"
#include "document/row_export.h"
#include "document/log_file.h"
#include "loader/log_follow.h"
#include "loader/log_loader.h"
#include "merge_commands.h"
#include "foundation/convert.h"
#include "foundation/format.h"
#include "foundation/trace.h"
#include "progress_bar.h"
#include "row_printer.h"
#include "search/line_scan.h"
#include "timeline_command.h"

namespace {

// --trace: the program's trace lines, formatted as the trace library would, on standard error.
int TraceToStandardError(const char16_t* format, ...) {
    char16_t line[2048];
    va_list args;
    va_start(args, format);
    int n = FormatStringV(line, 2048, format, args);
    va_end(args);
    if (n <= 0) return 0;
    char* bytes = WideToMultiByteAlloc(line, n, kCodePageUtf8);
    if (bytes == nullptr) return 0;
    std::fputs(bytes, stderr);
    std::free(bytes);
    return n;
}

bool CodePageWorks(unsigned codePage) {
    char16_t out[4];
    return MultiByteToWide(codePage, "a", 1, out, 4) == 1 && out[0] == u'a';
}

constexpr int kFollowPollMilliseconds = 250;

class CCli {
public:
    explicit CCli(const CCliOptions& o) : m_o(o), m_showProgress(StandardErrorIsTerminal() != 0) {}
    int Run();

private:
    template <class Front>
    friend int ::RunCliCommand(CCliCommand command, Front& front);
    int Info();
    void StampRules(CStampRules* rules);
    // The stamp rules and the colour codes, as the settings and options say.
    void SettleRules();
    int Rows();
    int Errors();
    int Search();
    int Extract();
    int Timeline();
    // --follow: polls the log and prints the complete rows appended to it (error rows only
    // with errors), from the counts already printed on. Returns only when the log is gone.
    int Follow(int64_t printedRows, int64_t printedErrors);
    // The rows of the index that end with a line break (their last unit, in the code page's
    // unit size and byte order, is CR or LF): a last line still being written is printed
    // when it is complete. Error rows: those among them.
    int64_t CompleteRows();
    int64_t CompleteErrorRows();
    // Prints rows [first, end) of list with the cells of a view whose first row is first.
    void PrintRows(const CLogLineList& list, int64_t first, int64_t end);
    // The rows' bytes as they are in the log; 0, or 2 after saying a read or write failed.
    int PrintRawRows(const CLogLineList& list);
    int CheckOn() const { return m_o.hasIntervalCheck ? 1 : m_config.m_intervalCheck; }
    int32_t Threshold() const {
        return m_o.hasIntervalCheck ? static_cast<int32_t>(m_o.intervalCheck) : m_config.m_intervalTime;
    }
    // Condition texts from UTF-8 arguments; empty texts are left out, as the dialogs do.
    // 1, or 0 after telling why a regular expression does not compile.
    // One line on standard error when an expression reached PCRE2's limits on some lines.
    void ReportLimitHits(const CSearchCondition& condition);
    // The log's code page from Auto's look at it as it is now (or the chosen one).
    void DetectEncoding();
    // Indexes the log into m_lines and m_errors; 1, or 0 after saying why it could not (exit status 2).
    int Index(const CLoadRequest& request);

    const CCliOptions& m_o;
    bool m_showProgress;
    CAppParameter m_config;
    CLogFile m_file;
    std::unique_ptr<CLogLineList> m_lines;
    CLogLineList m_errors;
    unsigned m_codePage = 0;      // the log's: the chosen one, or what auto found
    bool m_hideEscapes = false;   // rows are printed and matched without their escape sequences
    uint64_t m_detectedSize = 0;  // the log's size when auto looked at it
    CStampRules m_stampRules;
    CStampCount m_stampCount;
};

void CCli::DetectEncoding() {
    m_codePage = ChooseCodePage(m_o.encoding, DetectFileCodePage(&m_file));
    m_detectedSize = m_file.Size();
}

// The settings' choice unless --stamps says otherwise (--no-config: the line-start forms);
// patterns from the command line come before those of the settings.
void CCli::StampRules(CStampRules* rules) {
    if (m_o.noConfig) m_config.m_stampForms = 0;
    if (m_o.stamps >= 0) m_config.m_stampForms = m_o.stamps;
    m_config.GetStampRules(rules);
    CStampRules mine;
    mine.moreForms = rules->moreForms;
    for (int k = 0; k < m_o.stampPatternCount; ++k) {
        CStampPattern pattern;
        if (pattern.Compile(m_o.stampPatterns[k])) mine.AddPattern(pattern);
    }
    for (int k = 0; k < rules->patternCount; ++k) mine.AddPattern(rules->patterns[k]);
    *rules = mine;
}

int CCli::Run() {
    if (m_o.encoding >= 0 && !CodePageWorks(static_cast<unsigned>(m_o.encoding))) {
        return CliFail("code page %d is not available here", m_o.encoding);
    }
    char message[1024];
    if (!LoadCliConfiguration(m_o, &m_config, message, sizeof message)) return CliFail("%s", message);
    SettleRules();
    if (m_o.mergeCount > 0) {
        CMergeSettings settings;
        settings.options = &m_o;
        settings.config = &m_config;
        settings.stampRules = &m_stampRules;
        settings.hideEscapes = m_hideEscapes;
        settings.showProgress = m_showProgress;
        settings.checkOn = CheckOn();
        settings.threshold = Threshold();
        return RunMergedCommand(settings);
    }
    const char* reason = "";
    if (!CheckReadable(m_o.log, &reason)) return CliFail("cannot open '%s': %s", m_o.log, reason);
    char16_t* path = MultiByteToWideAlloc(m_o.log, -1, kCodePageUtf8);
    int opened = path != nullptr && m_file.Open(path);
    std::free(path);
    if (!opened) return CliFail("cannot open '%s': it cannot be read", m_o.log);
    int entry = EntryOf(&m_file, m_o.entry);
    if (entry < -1) return CliFail("'%s' has no entry '%s'", m_o.log, m_o.entry);
    if (!m_file.Unpack(entry)) {
        return CliFail("cannot read '%s': %s", m_o.log, UnpackErrorText(m_file.UnpackError()));
    }
    if (m_o.follow && !m_file.CanFollow()) return CliFail("'%s' is compressed: it cannot be followed", m_o.log);
    DetectEncoding();

    CLoadRequest request;
    request.codePage = m_codePage;
    // Error lines are only looked for where they are shown.
    bool wantErrors = m_o.command == CCliCommand::kInfo || m_o.command == CCliCommand::kErrors ||
                      m_o.command == CCliCommand::kTimeline;
    request.keywords = wantErrors ? &m_config.Keywords() : nullptr;
    CProgressBar bar(m_showProgress, "indexing");
    request.listener = &bar;
    request.stamps = &m_stampRules;
    request.stampCount = &m_stampCount;
    int indexed = Index(request);
    bar.Finish();
    if (!indexed) return 2;

    return RunCliCommand(m_o.command, *this);
}

void CCli::SettleRules() {
    StampRules(&m_stampRules);
    // Colour codes as the settings say, like the stamp forms: kept with --no-config.
    if (m_o.noConfig) m_config.m_colorCodes = 0;
    if (m_o.escapes >= 0) m_config.m_colorCodes = m_o.escapes;
    m_hideEscapes = m_config.m_colorCodes != 0;
}

int CCli::Index(const CLoadRequest& given) {
    CLoadResult result;
    CLoadRequest request = given;
    request.result = &result;
    m_lines = LoadLogLines(&m_file, request, &m_errors);
    if (result.status == CLoadStatus::kDamaged) {
        // The rows before the damage are printed, but never as the whole log.
        std::fprintf(stderr, "quillon-cli: '%s' is incomplete: %s\n", m_o.log, UnpackErrorText(result.damage));
    }
    if (m_lines != nullptr) return 1;
    if (result.status == CLoadStatus::kTooLarge) {
        CliFail("'%s' has %lld lines: their index needs %llu bytes of memory, and %llu bytes are available", m_o.log,
                static_cast<long long>(result.lines), static_cast<unsigned long long>(result.needed),
                static_cast<unsigned long long>(result.available));
        return 0;
    }
    CliFail("not enough memory to index '%s'", m_o.log);
    return 0;
}

int CCli::Info() {
    char first[40] = "";
    char last[40] = "";
    CLogLine line;
    for (CLogLineReader reader(*m_lines, 0); reader.Next(&line);) {
        if (line.timeStamp.HasDate()) {
            FormatStamp(line.timeStamp, first, sizeof first);
            break;
        }
    }
    if (m_lines->Get(m_lines->Count() - 1, &line)) FormatStamp(line.timeStamp, last, sizeof last);
    std::printf("file\t%s\nsize\t%llu\nlines\t%lld\nerror lines\t%lld\nfirst time stamp\t%s\nlast time stamp\t%s\n",
                m_o.log, static_cast<unsigned long long>(m_file.Size()), static_cast<long long>(m_lines->Count()),
                static_cast<long long>(m_errors.Count()), first, last);
    PrintPackedInfo(m_file, m_o.entry);
    // The share in tenths of a per cent, rounded down so that 100.0 means every row.
    int64_t rows = m_lines->Count();
    int64_t tenths = rows > 0 ? m_stampCount.stamped * 1000 / rows : 0;
    std::printf("stamp form\t%s\nrows with a stamp\t%lld (%d.%d%%)\n",
                m_stampCount.stamped > 0 ? StampFormName(m_stampCount.firstForm) : "",
                static_cast<long long>(m_stampCount.stamped), static_cast<int>(tenths / 10),
                static_cast<int>(tenths % 10));
    return 0;
}

void CCli::PrintRows(const CLogLineList& list, int64_t first, int64_t end) {
    CRowCells cells(list, first, CheckOn(), Threshold());
    CRowPrinter printer(&m_file, m_codePage, m_hideEscapes, stdout);
    CLogLineReader reader(list, first);
    CLogLine line;
    for (int64_t i = first; i < end && reader.Next(&line); ++i) {
        CRowCell cell;
        cells.Next(line, &cell);
        printer.Print(line, cell);
    }
}

int CCli::PrintRawRows(const CLogLineList& list) {
    class CStdoutSink : public CRowSink {
    public:
        int Write(const char* bytes, uint32_t length) override {
            return std::fwrite(bytes, 1, length, stdout) == length ? 1 : 0;
        }
    } sink;
    CRowExport how;
    if (ExportRows(&m_file, list, how, &sink) == 1) return 0;
    return CliFail("the rows of '%s' could not be read or written", m_o.log);
}

int CCli::Timeline() {
    CProgressBar bar(m_showProgress, "counting");
    return PrintTimeline(*m_lines, m_errors, static_cast<int32_t>(m_o.bucket), m_o.log, &bar);
}

int CCli::Rows() {
    int64_t count = m_lines->Count();
    int64_t first = m_o.hasFrom ? m_o.from : 0;
    if (m_o.hasAtTime) {
        first = RowAtTime(*m_lines, m_o.atTime);
        if (first < 0) return 1;
    }
    if (m_o.hasCount && m_o.count == 0) return 1;
    if (m_o.follow) {
        // Rows that have not come yet (an empty log, blank lines, --from past the end) are
        // waited for.
        int64_t complete = CompleteRows();
        if (first < complete) PrintRows(*m_lines, first, complete);
        return Follow(complete > first ? complete : first, 0);
    }
    if (first >= count) return 1;
    int64_t end = m_o.hasCount && m_o.count < count - first ? first + m_o.count : count;
    PrintRows(*m_lines, first, end);
    return 0;
}

int CCli::Errors() {
    if (m_o.follow) {
        int64_t complete = CompleteErrorRows();
        PrintRows(m_errors, 0, complete);
        return Follow(0, complete);
    }
    CLogLineList view;
    CopyLineList(m_errors, &view);
    if (view.Count() == 0) return 1;
    PrintRows(view, 0, view.Count());
    return 0;
}

void CCli::ReportLimitHits(const CSearchCondition& condition) {
    if (condition.LimitHits() > 0) {
        std::fprintf(stderr,
                     "quillon-cli: the regular expression reached the matching limit on %lld lines; "
                     "they were taken as not matching\n",
                     static_cast<long long>(condition.LimitHits()));
    }
}

int CCli::Search() {
    CSearchCondition condition;
    if (!AddCommandTexts(m_o, &condition)) return 2;
    if (condition.Count() == 0) return 1;
    int64_t start = m_o.hasFrom ? m_o.from : 0;
    CProgressBar bar(m_showProgress, "searching");
    CScanOptions options;
    options.listener = &bar;
    options.hideEscapes = m_hideEscapes;
    int64_t found = m_o.backward ? SearchBackward(&m_file, *m_lines, start, condition, m_codePage, options)
                                 : SearchForward(&m_file, *m_lines, start, condition, m_codePage, options);
    bar.Finish();
    ReportLimitHits(condition);
    if (found < 0) return 1;
    // The row's cells as a view starting at the top of the list draws them.
    CRowCells cells(*m_lines, 0, CheckOn(), Threshold());
    CRowCell cell;
    CLogLine line;
    CLogLineReader reader(*m_lines, 0);
    for (int64_t i = 0; i <= found && reader.Next(&line); ++i) cells.Next(line, &cell);
    CRowPrinter printer(&m_file, m_codePage, m_hideEscapes, stdout);
    printer.Print(line, cell);
    return 0;
}

int CCli::Extract() {
    CSearchCondition condition;
    if (!AddCommandTexts(m_o, &condition)) return 2;
    condition.SetMatchAll(m_o.matchAll ? 1 : 0);
    if (condition.Count() == 0) return 1;
    auto before = static_cast<int32_t>(m_o.hasBefore ? m_o.before : m_config.m_contextBefore);
    auto after = static_cast<int32_t>(m_o.hasAfter ? m_o.after : m_config.m_contextAfter);
    CLogLineList result;
    CProgressBar bar(m_showProgress, "extracting");
    CScanOptions options;
    options.listener = &bar;
    options.maxRows = m_o.hasMaxRows ? m_o.maxRows : 0;
    options.hideEscapes = m_hideEscapes;
    int ok = ExtractLines(&m_file, *m_lines, condition, m_codePage, before, after, &result, options);
    bar.Finish();
    ReportLimitHits(condition);
    if (ok == kExtractTooLarge) {
        long long limit = options.maxRows > 0 ? options.maxRows : kExtractRowLimit;
        if (options.maxRows <= 0 && limit < m_lines->Count()) limit = m_lines->Count();
        return CliFail("the extraction from '%s' is too large: more than %lld rows (use fewer context lines)", m_o.log,
                       limit);
    }
    if (ok != 1) return CliFail("not enough memory to extract from '%s'", m_o.log);
    if (result.Count() == 0) return 1;
    if (m_o.raw) return PrintRawRows(result);
    PrintRows(result, 0, result.Count());
    return 0;
}

}  // namespace

int64_t CCli::CompleteRows() {
    int64_t count = m_lines->Count();
    CLogLine last;
    if (!m_lines->Get(count - 1, &last)) return 0;
    // In UTF-16 every break ends in a zero byte in one order and 0A or 0D may end any unit
    // in the other: only the whole unit tells. A lone byte at the end is no whole unit.
    uint32_t unit = static_cast<uint32_t>(UnitBytes(m_codePage));
    uint32_t length = static_cast<uint32_t>(last.length);
    unsigned char b[2] = {};
    if (length < unit || m_file.Read(b, unit, last.offset + length - unit) != unit) return count - 1;
    unsigned c = unit == 1 ? b[0] : m_codePage == kCodePageUtf16Be ? (b[0] << 8 | b[1]) : (b[0] | b[1] << 8);
    return c == '\r' || c == '\n' ? count : count - 1;
}

int64_t CCli::CompleteErrorRows() {
    int64_t rows = CompleteRows();
    int64_t n = m_errors.Count();
    CLogLine line;
    while (n > 0 && m_errors.Get(n - 1, &line) && line.lineNumber >= rows) --n;
    return n;
}

int CCli::Follow(int64_t printedRows, int64_t printedErrors) {
    bool errorsOnly = m_o.command == CCliCommand::kErrors;
    CLoadRequest request;
    request.codePage = m_codePage;
    request.keywords = errorsOnly ? &m_config.Keywords() : nullptr;
    request.stamps = &m_stampRules;
    CLoadResult result;
    request.result = &result;
    CFollowState state;
    StartFollowing(*m_lines, m_file.Size(), &state);
    for (;;) {
        std::fflush(stdout);
        // A quiet log costs a size query four times a second.
        std::this_thread::sleep_for(std::chrono::milliseconds(kFollowPollMilliseconds));
        // A log that cannot be read for a moment is asked again at the next poll.
        if (!m_file.RefreshSize() || m_file.Size() == state.size) continue;
        if (m_file.Size() < state.size) {
            CliFail("'%s' became shorter: reading it again from the start", m_o.log);
            m_lines.reset();  // before the new index is built, not after
            m_errors.Free();
            DetectEncoding();
            request.codePage = m_codePage;
            if (!Index(request)) return 2;
            StartFollowing(*m_lines, m_file.Size(), &state);
            printedRows = 0;
            printedErrors = 0;
        } else {
            // A log that was empty when it was looked at is judged by its first bytes; its
            // index is still empty, so nothing was read with the old code page.
            if (ShouldDetectAgain(m_detectedSize, m_file.Size())) {
                DetectEncoding();
                request.codePage = m_codePage;
            }
            CLogLineList lines;
            CLogLineList errors;
            int64_t from = state.lastNumber;
            // A step that could not read is tried again at the next poll.
            bool read = FollowLogLines(&m_file, request, &state, &lines, &errors);
            if (!read && result.status == CLoadStatus::kDone) continue;
            if (!read || !ReplaceTail(m_lines.get(), from, lines) || !ReplaceTail(&m_errors, from, errors)) {
                return CliFail("not enough memory to index '%s'", m_o.log);
            }
        }
        int64_t complete = errorsOnly ? CompleteErrorRows() : CompleteRows();
        const CLogLineList& list = errorsOnly ? m_errors : *m_lines;
        int64_t& printed = errorsOnly ? printedErrors : printedRows;
        if (complete > printed) PrintRows(list, printed, complete);
        if (complete > printed) printed = complete;
    }
}

int RunCli(int argc, char** argv) {
    CCliOptions options;
    char error[512];
    if (!ParseCliOptions(argc, argv, &options, error, sizeof error)) return CliFail("%s", error);
    if (options.help) {
        std::fputs(kCliUsage, stdout);
        return 0;
    }
    if (options.trace) TraceOutput = TraceToStandardError;
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    CCli cli(options);
    int status = cli.Run();
    std::fflush(stdout);
    TraceOutput = TraceNone;
    return status;
}

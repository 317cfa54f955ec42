// quillon-bench: times the loader, and a search and an extraction on one core and on two,
// and a search ignoring case and extractions by regular expression, on one log, each beside a reference measured in the
// same run on the same file (the plainest newline count: read() in 10 MiB blocks and memchr; grep -c -F of the same
// text, with -i for the search ignoring case, grep -c -E for regular expressions; and the searches beside ripgrep too,
// rg --no-mmap -j1, where it is installed), and the load's peak memory per line.
// The references run interleaved with the figures, so that both see the same machine.
//   quillon-bench [--repeat N] [--no-prefilter] [--load-only] <log-file>   (--no-prefilter: the searches test
//   every line; --load-only: the load figures alone, each with the processor time of its best run)
//   quillon-bench [--repeat N] --stamp-forms <basic-log> <log-in-another-form>...  (stamp_forms_bench.h)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <cstring>
#include <vector>

#include "bench_timing.h"
#include "document/log_file.h"
#include "loader/log_loader.h"
#include "foundation/convert.h"
#include "keywords/keyword_set.h"
#include "log_generator.h"
#include "machine.h"
#include "search/line_scan.h"
#include "merge_bench.h"
#include "packed_bench.h"
#include "stamp_forms_bench.h"

namespace {

constexpr const char* kExtractText = "ERROR";

void AddKeywords(CKeywordSet* set) {
    const char16_t* const errors[] = {u"ERROR",   u"FATAL",  u"Exception", u"failed",    u"refused",
                                      u"timeout", u"denied", u"panic",     u"Traceback", u"OutOfMemory"};
    for (const char16_t* e : errors) set->Add(e, 6, 1, 1);
    const char16_t* const others[] = {u"WARN", u"INFO", u"DEBUG", u"SELECT"};
    for (const char16_t* o : others) set->Add(o, 8, 0, 0);
    set->BuildFlagTable();
}

struct CFigure {
    const char* name;
    double seconds;
    const char* referenceName;
    double reference;
    double target;  // ratio limit
};

void Print(const CFigure& f) {
    if (f.reference <= 0) {
        std::printf("  %-40s %8.3f s\n", f.name, f.seconds);
        return;
    }
    double ratio = f.seconds / f.reference;
    std::printf("  %-40s %8.3f s   %-16s %7.3f s   %6.2fx   target <= %.1fx  %s\n", f.name, f.seconds, f.referenceName,
                f.reference, ratio, f.target, ratio <= f.target ? "met" : "MISSED");
}

class CBench {
public:
    CBench(const char* path, int repeat, bool prefilter, bool loadOnly)
        : m_path(path), m_repeat(repeat), m_prefilter(prefilter), m_loadOnly(loadOnly) {}
    int Run();

private:
    // The best of m_repeat runs of work, each run followed by one run of the newline count,
    // so that the reference is measured throughout and not at one quiet or busy moment.
    template <typename F>
    double Best(F work) {
        double best = 1e30;
        for (int i = 0; i < m_repeat; ++i) {
            double start = Now();
            double cpu = ProcessCpuSeconds();
            work();
            double t = Now() - start;
            if (t < best) {
                best = t;
                m_bestCpu = ProcessCpuSeconds() - cpu;
            }
            CountNewlines();
        }
        return best;
    }
    void CountNewlines() {
        int64_t count = 0;
        double t = TimeNewlineCount(m_path, &count);
        if (t < 0) return;
        m_newlines = count;
        if (m_reference < 0 || t < m_reference) m_reference = t;
    }
    double Load(const CKeywordSet* keywords, const CStampRules* stamps = nullptr, CStampCount* found = nullptr) {
        CLoadRequest request;
        request.keywords = keywords;
        request.stamps = stamps;
        request.stampCount = found;
        return Best([&] {
            m_lines.reset();
            m_lines = LoadLogLines(&m_file, request, &m_errors);
        });
    }
    // The best of m_repeat runs of work, each followed by a run of grep -c <options> text;
    // the best grep time goes to *grep (-1 when grep cannot run here).
    template <typename F>
    double BestBesideGrep(F work, const char* text, double* grep, int64_t* count, const char* options = "-F") {
        *grep = -1;
        double best = 1e30;
        for (int i = 0; i < m_repeat; ++i) {
            double start = Now();
            work();
            double t = Now() - start;
            if (t < best) best = t;
            double g = TimeGrepCount(m_path, options, text, count);
            if (g >= 0 && (*grep < 0 || g < *grep)) *grep = g;
        }
        return best;
    }
    // A search figure: the best of m_repeat runs of work, each followed by grep and rg.
    struct CReference {
        double seconds = -1;
        int64_t count = 0;
    };
    template <typename F>
    double BestBesideGrepAndRg(F work, const char* grepOptions, const char* grepText, const char* rgOptions,
                               const char* rgText, CReference* grep, CReference* rg) {
        double best = 1e30;
        for (int i = 0; i < m_repeat; ++i) {
            double start = Now();
            work();
            double t = Now() - start;
            if (t < best) best = t;
            double g = TimeGrepCount(m_path, grepOptions, grepText, &grep->count);
            if (g >= 0 && (grep->seconds < 0 || g < grep->seconds)) grep->seconds = g;
            double r = TimeRgCount(m_path, rgOptions, rgText, &rg->count);
            if (r >= 0 && (rg->seconds < 0 || r < rg->seconds)) rg->seconds = r;
        }
        return best;
    }
    // The search and extraction figures; results get the extraction of "ERROR" on one core and two.
    void RunSearchFigures(CLogLineList* results);
    // Extractions with "not" texts beside the same work without them.
    void RunNotFigures();

    // What fetching one row at random costs, on average over a million rows.
    double RandomFetchMicroseconds() const {
        constexpr int kFetches = 1000000;
        if (m_lines->Count() == 0) return 0;
        uint64_t x = 88172645463325252ull;
        uint64_t sum = 0;
        CLogLine line;
        double start = Now();
        for (int i = 0; i < kFetches; ++i) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            m_lines->Get(static_cast<int64_t>(x % static_cast<uint64_t>(m_lines->Count())), &line);
            sum += line.offset;
        }
        double t = Now() - start;
        return sum == 1 ? 0 : t * 1e6 / kFetches;  // the sum keeps the reads from being dropped
    }
    static double ResultBytesPerRow(const CLogLineList& result) {
        return result.Count() > 0 ? static_cast<double>(result.MemoryBytes()) / static_cast<double>(result.Count()) : 0;
    }

    const char* m_path;
    int m_repeat;
    bool m_prefilter;
    bool m_loadOnly;
    double m_bestCpu = 0;  // processor time of the best run of Best
    CLogFile m_file;
    std::shared_ptr<CLogLineList> m_lines;
    CLogLineList m_errors;
    double m_reference = -1;
    int64_t m_newlines = 0;
};

// Prints a search figure beside grep and, where it is installed, rg.
void PrintBeside(const char* name, double seconds, const char* grepName, double grep, double grepTarget,
                 const char* rgName, double rg, double rgTarget) {
    Print({name, seconds, grepName, grep, grepTarget});
    if (rg < 0) {
        std::printf("  %-40s %8s     %-16s rg not installed\n", "", "", rgName);
        return;
    }
    double ratio = seconds / rg;
    std::printf("  %-40s %8s     %-16s %7.3f s   %6.2fx   target <= %.1fx  %s\n", "", "", rgName, rg, ratio, rgTarget,
                ratio <= rgTarget ? "met" : "MISSED");
}

void CBench::RunSearchFigures(CLogLineList* results) {
    // Search and extraction on one core and then with the helper thread, the search beside
    // grep and rg of the same text; the two must agree entry for entry.
    CSearchCondition absent;
    absent.Add(u"DeadlockDetected");
    CSearchCondition extract;
    extract.Add(u"ERROR");
    double search[2] = {};
    CReference grepAbsent[2];
    CReference rgAbsent[2];
    double extraction[2] = {};
    double grepExtract[2] = {};
    int64_t found[2] = {};
    int64_t grepExtractCount = 0;
    for (int k = 0; k < 2; ++k) {
        CScanOptions options;
        options.threads = k + 1;
        options.hideEscapes = true;  // as the viewer scans with colour codes on, its default
        options.prefilter = m_prefilter;
        search[k] =
            BestBesideGrepAndRg([&] { found[k] = SearchForward(&m_file, *m_lines, 0, absent, kCodePageAnsi, options); },
                                "-F", kAbsentText, "-F", kAbsentText, &grepAbsent[k], &rgAbsent[k]);
        extraction[k] = BestBesideGrep(
            [&] {
                results[k].ReferTo(m_lines);  // as the viewer keeps an extraction
                ExtractLines(&m_file, *m_lines, extract, kCodePageAnsi, 0, 0, &results[k], options);
            },
            kExtractText, &grepExtract[k], &grepExtractCount);
    }
    // Ignoring case, on one core, an absent text whose letters no character beyond ASCII
    // folds to (so that lines are tested on their bytes), beside grep -c -i -F.
    CSearchCondition folded;
    folded.Add(u"deadlockdetected", 0);
    CReference grepFolded;
    CReference rgFolded;
    int64_t foundFolded = 0;
    CScanOptions oneCore;
    oneCore.threads = 1;
    oneCore.hideEscapes = true;
    oneCore.prefilter = m_prefilter;
    double searchFolded =
        BestBesideGrepAndRg([&] { foundFolded = SearchForward(&m_file, *m_lines, 0, folded, kCodePageAnsi, oneCore); },
                            "-i -F", "deadlockdetected", "-i -F", "deadlockdetected", &grepFolded, &rgFolded);

    // Regular expressions on one core, extracted: literal alternatives, an optional group,
    // a class between literals, and a caseless one.
    struct CRegexCase {
        const char16_t* pattern;
        const char* name;
        const char* grepOptions;
        const char* grepText;
        const char* rgText;
    };
    static const CRegexCase kRegexes[] = {
        {u"timeout|refused", "regex timeout|refused, one core", "-E", "timeout|refused", "timeout|refused"},
        {u"time(d ?)?out|refused", "regex time(d ?)?out|refused, one core", "-E", "time(d ?)?out|refused",
         "time(d ?)?out|refused"},
        {u"id=[0-9]{5}99", "regex id=[0-9]{5}99, one core", "-E", "id=[0-9]{5}99", "id=[0-9]{5}99"},
        {u"(?i)connection (reset|refused)", "regex (?i)connection (reset|refu..", "-i -E", "connection (reset|refused)",
         "(?i)connection (reset|refused)"},
    };
    constexpr int kRegexCount = sizeof kRegexes / sizeof kRegexes[0];
    double regexSeconds[kRegexCount] = {};
    CReference grepRegex[kRegexCount];
    CReference rgRegex[kRegexCount];
    int64_t regexRows[kRegexCount] = {};
    for (int i = 0; i < kRegexCount; ++i) {
        CSearchCondition regex;
        regex.Add(kRegexes[i].pattern, kRegex | kMatchCase);
        CLogLineList regexResult;
        regexSeconds[i] = BestBesideGrepAndRg(
            [&] {
                regexResult.Free();
                ExtractLines(&m_file, *m_lines, regex, kCodePageAnsi, 0, 0, &regexResult, oneCore);
            },
            kRegexes[i].grepOptions, kRegexes[i].grepText, "", kRegexes[i].rgText, &grepRegex[i], &rgRegex[i]);
        regexRows[i] = regexResult.Count();
    }

    bool agree = found[0] == found[1] && SameEntries(results[0], results[1]);
    PrintBeside("search for an absent text, one core", search[0], "grep -c -F", grepAbsent[0].seconds, 1.5, "rg -c -F",
                rgAbsent[0].seconds, 1.3);
    PrintBeside("search for an absent text, two cores", search[1], "grep -c -F", grepAbsent[1].seconds, 1.0, "rg -c -F",
                rgAbsent[1].seconds, 1.0);
    Print({"extraction of \"ERROR\", one core", extraction[0], "grep -c -F", grepExtract[0], 1.5});
    Print({"extraction of \"ERROR\", two cores", extraction[1], "grep -c -F", grepExtract[1], 1.0});
    PrintBeside("search ignoring case, one core", searchFolded, "grep -c -i -F", grepFolded.seconds, 1.5, "rg -c -i -F",
                rgFolded.seconds, 1.3);
    std::printf("  search ignoring case found %lld (expected -1; grep counted %lld)\n",
                static_cast<long long>(foundFolded), static_cast<long long>(grepFolded.count));
    for (int i = 0; i < kRegexCount; ++i) {
        std::string grepName = std::string("grep -c ") + kRegexes[i].grepOptions;
        PrintBeside(kRegexes[i].name, regexSeconds[i], grepName.c_str(), grepRegex[i].seconds, 1.5, "rg -c",
                    rgRegex[i].seconds, 1.5);
        std::printf("  it gave %lld lines (grep counted %lld, rg %lld)\n", static_cast<long long>(regexRows[i]),
                    static_cast<long long>(grepRegex[i].count), static_cast<long long>(rgRegex[i].count));
    }
    std::printf("  search found %lld and %lld (expected -1); extraction gave %lld lines; one and two cores %s",
                static_cast<long long>(found[0]), static_cast<long long>(found[1]),
                static_cast<long long>(results[0].Count()), agree ? "agree" : "DIFFER");
    if (grepAbsent[0].seconds >= 0 && grepExtract[0] >= 0) {
        std::printf(" (grep counted %lld and %lld)\n", static_cast<long long>(grepAbsent[0].count),
                    static_cast<long long>(grepExtractCount));
    } else {
        std::printf(" (grep was not run here)\n");
    }
}

void CBench::RunNotFigures() {
    CScanOptions oneCore;
    oneCore.threads = 1;
    oneCore.hideEscapes = true;
    oneCore.prefilter = m_prefilter;
    auto extract = [&](const CSearchCondition& condition, CLogLineList* result) {
        result->Free();
        ExtractLines(&m_file, *m_lines, condition, kCodePageAnsi, 0, 0, result, oneCore);
    };
    // Each figure's run beside its reference's run, the best of each kept.
    auto pair = [&](const CSearchCondition& figure, CLogLineList* figureRows, const CSearchCondition& reference,
                    CLogLineList* referenceRows, double* referenceSeconds) {
        double best = 1e30;
        *referenceSeconds = 1e30;
        for (int i = 0; i < m_repeat; ++i) {
            *referenceSeconds = std::min(*referenceSeconds, ::Best(1, [&] { extract(reference, referenceRows); }));
            best = std::min(best, ::Best(1, [&] { extract(figure, figureRows); }));
        }
        return best;
    };
    // The same rows with a "not" text that no line holds.
    CSearchCondition positive;
    positive.Add(u"ERROR");
    CSearchCondition withNot;
    withNot.Add(u"ERROR");
    withNot.Add(u"DeadlockDetected", kMatchCase | kNot);
    CLogLineList plainRows;
    CLogLineList notRows;
    double plain = 0;
    double notSeconds = pair(withNot, &notRows, positive, &plainRows, &plain);
    // A "not" text alone beside a text of about as many rows (the stamped ones).
    CSearchCondition notOnly;
    notOnly.Add(u"ERROR", kMatchCase | kNot);
    CSearchCondition everyRow;
    everyRow.Add(u"2024-");
    CLogLineList without;
    CLogLineList all;
    double allSeconds = 0;
    double notOnlySeconds = pair(notOnly, &without, everyRow, &all, &allSeconds);
    int64_t grepWithout = 0;
    TimeGrepCount(m_path, "-v -F", kExtractText, &grepWithout);
    Print({"\"ERROR\" and not an absent text, one core", notSeconds, "\"ERROR\" alone", plain, 1.1});
    Print({"extraction of not \"ERROR\", one core", notOnlySeconds, "\"2024-\" alone", allSeconds, 1.1});
    std::printf(
        "  they gave %lld and %lld lines (the same: %s); not \"ERROR\" gave %lld (grep -v counted %lld), "
        "\"2024-\" %lld\n",
        static_cast<long long>(plainRows.Count()), static_cast<long long>(notRows.Count()),
        SameEntries(plainRows, notRows) ? "yes" : "NO", static_cast<long long>(without.Count()),
        static_cast<long long>(grepWithout), static_cast<long long>(all.Count()));
}

int CBench::Run() {
    char16_t* wide = MultiByteToWideAlloc(m_path, -1, kCodePageAnsi);
    int opened = wide != nullptr && m_file.Open(wide);
    std::free(wide);
    if (!opened) {
        std::fprintf(stderr, "quillon-bench: cannot open %s\n", m_path);
        return 2;
    }
    char machine[320];
    DescribeMachine(machine, sizeof machine);
    std::printf("Quillon benchmark on %s\n  file %s: %llu bytes; best of %d runs each, page cache warm\n", machine,
                m_path, static_cast<unsigned long long>(m_file.Size()), m_repeat);

    CountNewlines();  // warms the page cache
    if (m_reference < 0) {
        std::fprintf(stderr, "quillon-bench: cannot read %s\n", m_path);
        return 2;
    }
    m_reference = -1;
    for (int i = 0; i < m_repeat; ++i) CountNewlines();

    // Peak memory of one load without error keywords, over what the process held before it.
    m_lines.reset();
    bool peakReset = ResetPeakMemory();
    uint64_t before = CurrentMemory();
    {
        CLoadRequest request;
        m_lines = LoadLogLines(&m_file, request, &m_errors);
    }
    uint64_t peak = PeakMemory();
    if (m_lines == nullptr) return 2;
    int64_t lines = m_lines->Count();

    double plain = Load(nullptr);
    double plainCpu = m_bestCpu;
    // The same load reading every stamp form: as fast as the plain one on logs whose stamps
    // stand at the line start, and at most 1.3 times a basic log's plain load on others.
    CStampRules moreForms;
    moreForms.moreForms = true;
    CStampCount stamped;
    double allForms = Load(nullptr, &moreForms, &stamped);
    CKeywordSet keywords;
    AddKeywords(&keywords);
    double withKeywords = Load(&keywords);
    double keywordsCpu = m_bestCpu;
    int64_t errorLines = m_errors.Count();
    // The error lines as the viewer keeps them: references to the index's rows.
    m_errors.ReferKeeping(m_lines);
    uint64_t indexBytes = m_lines->MemoryBytes() + m_errors.MemoryBytes();
    double fetch = RandomFetchMicroseconds();

    std::printf("  %lld indexed lines (%lld newlines), %lld error lines with 10 error keywords\n",
                static_cast<long long>(lines), static_cast<long long>(m_newlines), static_cast<long long>(errorLines));
    double reference = m_reference;
    Print({"newline count: read() 10 MiB, memchr", reference, "", 0, 0});
    Print({"load, no error keywords", plain, "newline count", reference, 3.0});
    Print({"load, every stamp form", allForms, "newline count", reference, 3.9});
    std::printf("  rows with a stamp of their own: %lld of %lld, the first in the form %s\n",
                static_cast<long long>(stamped.stamped), static_cast<long long>(lines),
                StampFormName(stamped.firstForm));
    Print({"load, 10 error keywords", withKeywords, "newline count", reference, 6.0});
    if (m_loadOnly) {
        std::printf("  processor time of the best loads: %.3f s without error keywords, %.3f s with 10\n", plainCpu,
                    keywordsCpu);
        return 0;
    }
    CLogLineList results[2];
    RunSearchFigures(results);
    RunNotFigures();
    if (lines > 0) {
        std::printf(
            "  index memory: %.1f MiB with the error lines = %.2f bytes per line (the index alone %.2f); target <= 4  "
            "%s\n"
            "  extraction result: %.2f bytes per row (%lld rows); target <= 8  %s\n"
            "  a row fetched at random: %.3f us\n",
            static_cast<double>(indexBytes) / 1048576.0, static_cast<double>(indexBytes) / static_cast<double>(lines),
            static_cast<double>(m_lines->MemoryBytes()) / static_cast<double>(lines),
            indexBytes <= 4 * static_cast<uint64_t>(lines) ? "met" : "MISSED", ResultBytesPerRow(results[0]),
            static_cast<long long>(results[0].Count()), ResultBytesPerRow(results[0]) <= 8 ? "met" : "MISSED", fetch);
    }
    if (peak > 0 && lines > 0) {
        double used = peak > before ? static_cast<double>(peak - before) : 0;
        double limit = 4.0 * static_cast<double>(lines) + 64.0 * 1048576.0;
        std::printf(
            "  peak memory of a load: %.1f MiB over %.1f MiB before it = %.1f bytes per line; "
            "target <= 4 bytes per line + 64 MiB (%.1f MiB)  %s%s\n",
            used / 1048576.0, static_cast<double>(before) / 1048576.0, used / static_cast<double>(lines),
            limit / 1048576.0, used <= limit ? "met" : "MISSED", peakReset ? "" : " (peak since process start)");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* const usage =
        "usage: quillon-bench [--repeat N] [--no-prefilter] [--load-only] <log-file>\n"
        "       quillon-bench [--repeat N] --stamp-forms <basic-log> <log-in-another-form>...\n"
        "       quillon-bench [--repeat N] --merge <log> <log>...\n"
        "       quillon-bench [--repeat N] --packed <log.gz>\n";
    int repeat = 3;
    bool stampForms = false;
    bool merge = false;
    bool packed = false;
    bool prefilter = true;
    bool loadOnly = false;
    std::vector<const char*> paths;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
            repeat = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--no-prefilter") == 0) {
            prefilter = false;
        } else if (std::strcmp(argv[i], "--load-only") == 0) {
            loadOnly = true;
        } else if (std::strcmp(argv[i], "--stamp-forms") == 0) {
            stampForms = true;
        } else if (std::strcmp(argv[i], "--merge") == 0) {
            merge = true;
        } else if (std::strcmp(argv[i], "--packed") == 0) {
            packed = true;
        } else if (argv[i][0] != '-') {
            paths.push_back(argv[i]);
        } else {
            std::fputs(usage, stderr);
            return 2;
        }
    }
    size_t wanted = stampForms || merge ? 2 : 1;
    if (paths.size() < wanted || (!stampForms && !merge && paths.size() > 1) || repeat < 1) {
        std::fputs(usage, stderr);
        return 2;
    }
    if (packed) return RunPackedBench(paths[0], repeat);
    if (merge) {
        CKeywordSet keywords;
        AddKeywords(&keywords);
        return RunMergeBench(paths.data(), static_cast<int>(paths.size()), repeat, keywords);
    }
    if (stampForms) return RunStampFormsBench(paths.data(), static_cast<int>(paths.size()), repeat);
    CBench bench(paths[0], repeat, prefilter, loadOnly);
    return bench.Run();
}

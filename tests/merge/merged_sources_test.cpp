// The scans over merged logs against the same on a plain list of every row sorted by the
// common clock: random logs (UTF-8 and UTF-16, rows before the first stamp, unstamped
// continuations, falling times) give the same extraction, search hits, error rows and
// timeline, and an extraction of an extraction the same rows again; a merged view's own
// scans (each log scanned alone, its hits put in the merged order) within their row limit
// and a stretch at a time.
#include "merge/merged_sources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "foundation/convert.h"
#include "keywords/keyword_set.h"
#include "loader/log_follow.h"
#include "loader/log_loader.h"
#include "merge/log_merge.h"
#include "merge/merged_export.h"
#include "merge/merged_picks.h"
#include "merge/merged_scan.h"
#include "merge/merged_time_rows.h"
#include "search/line_scan.h"
#include "search/row_scan.h"
#include "search/timeline.h"

namespace {

struct CPlannedRow {
    int64_t key = kBeforeFirstStamp;  // the running latest, as the merge keys it
    bool needle = false;
    bool error = false;
};

struct CPlannedLog {
    std::string bytes;
    bool utf16 = false;
    std::vector<CPlannedRow> rows;
};

std::string Utf16(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

CPlannedLog PlanLog(std::mt19937& rng, int64_t base, int most) {
    CPlannedLog plan;
    plan.utf16 = rng() % 3 == 0;
    int64_t t = base + static_cast<int64_t>(rng() % 600000);
    int64_t latest = kBeforeFirstStamp;
    std::string text;
    bool stamped = false;
    int rows = 1 + static_cast<int>(rng() % static_cast<unsigned>(most));
    for (int r = 0; r < rows; ++r) {
        CPlannedRow row;
        row.needle = rng() % 7 == 0;
        row.error = rng() % 9 == 0;
        std::string words = std::string(row.needle ? "a needle" : "hay") + (row.error ? " ERROR" : " fine");
        if ((r == 0 && rng() % 3 == 0) || (stamped && rng() % 4 == 0)) {
            text += "\tat " + words + "\n";  // no stamp of its own
        } else {
            t += static_cast<int64_t>(rng() % 20000) - (rng() % 10 == 0 ? 30000 : 0);
            latest = std::max(latest, t);
            stamped = true;
            int64_t day = t / kMillisecondsPerDay;
            int64_t ms = t - day * kMillisecondsPerDay;
            int64_t year = 0;
            unsigned month = 0;
            unsigned mday = 0;
            CivilFromDays(day, &year, &month, &mday);
            char stamp[40];
            std::snprintf(stamp, sizeof stamp, "%04d-%02u-%02u %02d:%02d:%02d.%03d ", static_cast<int>(year), month,
                          mday, static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60),
                          static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000));
            text += stamp + words + (rng() % 2 == 0 ? "\n" : "\r\n");
        }
        row.key = latest;
        plan.rows.push_back(row);
    }
    plan.bytes = plan.utf16 ? Utf16(text) : text;
    return plan;
}

class CStringSink : public CRowSink {
public:
    int Write(const char* bytes, uint32_t length) override {
        text.append(bytes, length);
        return 1;
    }
    std::string text;
};

// A row of the plain sort, with its entry as the merged view gives it.
struct CSortedRow {
    CPlannedRow planned;
    int log = 0;
    CLogLine entry;
};

class MergedSourcesTest : public ::testing::Test {
protected:
    void Merge(const std::vector<CPlannedLog>& plans) {
        m_files = std::vector<CLogFile>(plans.size());
        m_errors = std::vector<CLogLineList>(plans.size());
        std::vector<CMergeInput> inputs(plans.size());
        CKeywordSet keywords;
        keywords.Add(u"ERROR", 6, 0, 1);
        keywords.BuildFlagTable();
        std::vector<const CLogLineList*> errors;
        for (size_t i = 0; i < plans.size(); ++i) {
            ASSERT_TRUE(m_files[i].OpenBytes(plans[i].bytes.data(), plans[i].bytes.size()));
            CLoadRequest request;
            request.codePage = plans[i].utf16 ? kCodePageUtf16Le : kCodePageUtf8;
            request.keywords = &keywords;
            request.threads = 1;
            inputs[i].index = LoadLogLines(&m_files[i], request, &m_errors[i]);
            ASSERT_NE(nullptr, inputs[i].index);
            ASSERT_EQ(static_cast<int64_t>(plans[i].rows.size()), inputs[i].index->Count());
            inputs[i].file = &m_files[i];
            inputs[i].codePage = request.codePage;
            errors.push_back(&m_errors[i]);
        }
        std::unique_ptr<CMergedRows> merged;
        ASSERT_EQ(1, MergeLogs(inputs.data(), static_cast<int>(inputs.size()), &merged));
        auto errorRows = std::make_shared<CLogLineList>();
        ASSERT_EQ(1, MergedErrorPicks(*merged, errors.data(), errorRows.get()));
        // The same error rows made by the merge on its way.
        for (size_t i = 0; i < plans.size(); ++i) inputs[i].errors = &m_errors[i];
        CLogLineList onTheWay;
        std::unique_ptr<CMergedRows> again;
        ASSERT_EQ(1, MergeLogs(inputs.data(), static_cast<int>(inputs.size()), &again, nullptr, nullptr, &onTheWay));
        ASSERT_TRUE(SameEntries(*errorRows, onTheWay));
        m_merged = std::shared_ptr<CMergedRows>(std::move(merged));
        m_errorRows = errorRows;
        m_view = std::make_unique<CMergedViewRows>(m_merged, m_errorRows);
        // The plain sort: stable by key, ties in the logs' order.
        m_sorted.clear();
        for (size_t i = 0; i < plans.size(); ++i) {
            for (size_t r = 0; r < plans[i].rows.size(); ++r) {
                CSortedRow row;
                row.planned = plans[i].rows[r];
                row.log = static_cast<int>(i);
                ASSERT_TRUE(inputs[i].index->Get(static_cast<int64_t>(r), &row.entry));
                m_sorted.push_back(row);
            }
        }
        std::stable_sort(m_sorted.begin(), m_sorted.end(),
                         [](const CSortedRow& a, const CSortedRow& b) { return a.planned.key < b.planned.key; });
        for (size_t r = 0; r < m_sorted.size(); ++r) {
            m_sorted[r].entry.lineNumber = static_cast<int64_t>(r);
            m_sorted[r].entry.timeStamp = StampOfKey(m_sorted[r].planned.key);
        }
    }

    // The rows of `from` (indexes into m_sorted) that a hit reaches, each with its context.
    static std::vector<size_t> Extracted(const std::vector<size_t>& from, const std::vector<bool>& hit, int before,
                                         int after) {
        std::vector<size_t> out;
        auto n = static_cast<int64_t>(from.size());
        for (int64_t h = 0; h < n; ++h) {
            if (!hit[static_cast<size_t>(h)]) continue;
            for (int64_t r = std::max<int64_t>(h - before, 0); r <= std::min(h + after, n - 1); ++r)
                out.push_back(from[static_cast<size_t>(r)]);
        }
        return out;
    }

    void ExpectRows(const std::vector<size_t>& want, const CLogLineList& got) {
        ASSERT_EQ(static_cast<int64_t>(want.size()), got.Count());
        for (size_t k = 0; k < want.size(); ++k) {
            CLogLine line;
            ASSERT_TRUE(got.Get(static_cast<int64_t>(k), &line));
            ASSERT_EQ(m_sorted[want[k]].entry, line) << "row " << k;
        }
    }

    std::vector<CLogFile> m_files;
    std::vector<CLogLineList> m_errors;
    std::shared_ptr<CMergedRows> m_merged;
    std::shared_ptr<const CLogLineList> m_errorRows;
    std::unique_ptr<CMergedViewRows> m_view;
    std::vector<CSortedRow> m_sorted;
};

TEST_F(MergedSourcesTest, ScansOfMergedLogsEqualTheSameOnAPlainSortOfAllRows) {
    std::mt19937 rng(20260311);
    const int64_t noon = DaysFromCivil(2024, 6, 15) * kMillisecondsPerDay + 12 * 3600000;
    CSearchCondition needle;
    ASSERT_TRUE(needle.Add(u"needle"));
    CSearchCondition error;
    ASSERT_TRUE(error.Add(u"ERROR"));
    for (int round = 0; round < 25; ++round) {
        SCOPED_TRACE(round);
        std::vector<CPlannedLog> plans;
        int logs = 2 + static_cast<int>(rng() % 4);
        // Now and then logs long enough to pass their key states and the merged blocks.
        for (int i = 0; i < logs; ++i) plans.push_back(PlanLog(rng, noon, round % 6 == 5 ? 1500 : 120));
        Merge(plans);
        if (HasFatalFailure()) return;
        ASSERT_EQ(static_cast<int64_t>(m_sorted.size()), m_view->Count());
        CLogReaders readers;
        ASSERT_TRUE(readers.Open(*m_view, false));
        std::vector<size_t> all(m_sorted.size());
        std::vector<bool> needles(m_sorted.size());
        std::vector<bool> errors(m_sorted.size());
        for (size_t r = 0; r < all.size(); ++r) {
            all[r] = r;
            needles[r] = m_sorted[r].planned.needle;
            errors[r] = m_sorted[r].planned.error;
            int log = -1;
            int64_t line = -1;
            ASSERT_TRUE(m_view->LogLineOf(CRow(static_cast<int64_t>(r)), &log, &line));
            ASSERT_EQ(m_sorted[r].log, log);
        }

        // Extraction with context, and an extraction of that extraction.
        int before = static_cast<int>(rng() % 3);
        int after = static_cast<int>(rng() % 3);
        auto picks = std::make_unique<CLogLineList>();
        ASSERT_EQ(1, ExtractLogRows(*m_view, *m_view, readers, needle, before, after, picks.get(), CScanOptions()));
        std::vector<size_t> wantPicks = Extracted(all, needles, before, after);
        ExpectRows(wantPicks, *picks);
        // Both cores: each log scanned on two, the hits mapped and read in two parts.
        CScanOptions twoCores;
        twoCores.threads = 2;
        twoCores.twoCoreBytes = 0;
        CLogLineList both;
        ASSERT_EQ(1, ExtractLogRows(*m_view, *m_view, readers, needle, 0, 0, &both, twoCores));
        ExpectRows(Extracted(all, needles, 0, 0), both);
        // Memory running out while the hits are read, when each log's own hits fit: 0, nothing kept.
        std::vector<int64_t> logHits(plans.size());
        for (size_t r = 0; r < all.size(); ++r) logHits[static_cast<size_t>(m_sorted[r].log)] += needles[r] ? 1 : 0;
        g_lineListLimit = *std::max_element(logHits.begin(), logHits.end());
        bool fits = g_lineListLimit == 0 || g_lineListLimit == both.Count();
        CLogLineList cut;
        EXPECT_EQ(fits ? 1 : 0, ExtractLogRows(*m_view, *m_view, readers, needle, 0, 0, &cut, CScanOptions()));
        g_lineListLimit = 0;
        EXPECT_EQ(fits ? both.Count() : 0, cut.Count());
        // The row limit counts the rows with their context, whichever logs they come from.
        CScanOptions limited;
        limited.maxRows = static_cast<int64_t>(wantPicks.size());
        CLogLineList exact;
        ASSERT_EQ(1, ExtractLogRows(*m_view, *m_view, readers, needle, before, after, &exact, limited));
        ExpectRows(wantPicks, exact);
        if (!wantPicks.empty()) {
            --limited.maxRows;
            EXPECT_EQ(kExtractTooLarge,
                      ExtractLogRows(*m_view, *m_view, readers, needle, before, after, &exact, limited));
            ExpectRows(wantPicks, exact);
        }
        CMergedPickRows picked(std::move(picks), m_merged, m_errorRows);
        std::vector<bool> pickErrors;
        for (size_t r : wantPicks) pickErrors.push_back(m_sorted[r].planned.error);
        CLogLineList again;
        ASSERT_EQ(1, ExtractLogRows(picked, picked, readers, error, 0, 1, &again, CScanOptions()));
        ExpectRows(Extracted(wantPicks, pickErrors, 0, 1), again);

        // Search from random rows, both ways, in the view and in the extraction.
        for (int k = 0; k < 8; ++k) {
            auto count = static_cast<int64_t>(all.size());
            int64_t start = static_cast<int64_t>(rng() % static_cast<uint64_t>(count + 1)) - (k == 0 ? 1 : 0);
            int64_t next = -1;
            for (int64_t r = std::max<int64_t>(start, 0); r < count && next < 0; ++r) next = needles[r] ? r : -1;
            int64_t previous = -1;
            for (int64_t r = std::min(start, count - 1); r >= 0 && previous < 0; --r) previous = needles[r] ? r : -1;
            EXPECT_EQ(next, SearchLogRows(*m_view, *m_view, readers, start, CSearchDirection::kNext, needle, {}));
            EXPECT_EQ(previous,
                      SearchLogRows(*m_view, *m_view, readers, start, CSearchDirection::kPrevious, needle, {}));
            // The same a few rows of a stretch at a time: hits in a later stretch, or in
            // several logs of one, come out the same.
            int64_t stretch = 1 + static_cast<int64_t>(rng() % 6);
            EXPECT_EQ(next, SearchMergedView(*m_merged, readers, start, CSearchDirection::kNext, needle, {}, stretch));
            EXPECT_EQ(previous,
                      SearchMergedView(*m_merged, readers, start, CSearchDirection::kPrevious, needle, {}, stretch));
            auto pickCount = static_cast<int64_t>(pickErrors.size());
            int64_t at = pickCount > 0 ? static_cast<int64_t>(rng() % static_cast<uint64_t>(pickCount)) : 0;
            int64_t pickNext = -1;
            for (int64_t r = at; r < pickCount && pickNext < 0; ++r) pickNext = pickErrors[r] ? r : -1;
            EXPECT_EQ(pickNext, SearchLogRows(picked, picked, readers, at, CSearchDirection::kNext, error, {}));
        }

        // Copy and save: each row read from its own log, in its own code page.
        std::string raw;
        std::u16string text;
        const char* names[] = {"a.log", "b.log", "c.log", "d.log", "e.log"};
        for (const CSortedRow& row : m_sorted) {
            const CPlannedLog& plan = plans[static_cast<size_t>(row.log)];
            std::string own = plan.bytes.substr(row.entry.offset, static_cast<size_t>(row.entry.length));
            raw += own;
            for (size_t k = 0; k < own.size(); k += plan.utf16 ? 2 : 1) text += static_cast<char16_t>(own[k]);
        }
        CRowRange range;
        range.lastRow = m_view->Count() - 1;
        range.lastColumn = 1 << 30;
        char16_t* copied = LogRowsText(*m_view, *m_view, readers, range, false);
        ASSERT_NE(nullptr, copied);
        EXPECT_EQ(text, std::u16string(copied));
        std::free(copied);
        CStringSink inLogs;
        CRowExport how;
        ASSERT_EQ(1, ExportLogRows(*m_view, *m_view, readers, names, how, &inLogs));
        EXPECT_EQ(raw, inLogs.text);
        CStringSink shown;
        how.format = CRowFormat::kAsShown;
        ASSERT_EQ(1, ExportLogRows(*m_view, *m_view, readers, names, how, &shown));
        size_t at = 3;
        for (size_t r = 0; r < m_sorted.size(); ++r) {
            size_t end = shown.text.find("\r\n", at);
            ASSERT_NE(std::string::npos, end);
            std::string row = shown.text.substr(at, end - at);
            EXPECT_EQ(0u, row.find(std::to_string(r + 1) + "\t")) << row;
            EXPECT_NE(std::string::npos, row.find(std::string("\t") + names[m_sorted[r].log] + "\t")) << row;
            at = end + 2;
        }

        // The error rows, and the timeline with them.
        std::vector<size_t> wantErrors = Extracted(all, errors, 0, 0);
        ExpectRows(wantErrors, *m_errorRows);
        // ... numbered by merged row, with each log's own entries.
        std::vector<const CLogLineList*> errorLists;
        for (const CLogLineList& list : m_errors) errorLists.push_back(&list);
        CLogLineList numbered;
        ASSERT_EQ(1, MergedErrorRows(*m_merged, errorLists.data(), &numbered));
        ASSERT_EQ(static_cast<int64_t>(wantErrors.size()), numbered.Count());
        for (size_t k = 0; k < wantErrors.size(); ++k) {
            CLogLine own;
            ASSERT_TRUE(m_merged->Entry(CRow(static_cast<int64_t>(wantErrors[k])), &own));
            own.lineNumber = static_cast<int64_t>(wantErrors[k]);
            EXPECT_EQ(own, numbered[static_cast<int64_t>(k)]) << k;
        }
        auto plain = std::make_unique<CLogLineList>();
        for (const CSortedRow& row : m_sorted) ASSERT_TRUE(plain->Append(row.entry));
        CLineListRows plainRows(std::move(plain), &m_files[0]);
        CTimeline merged;
        CTimeline sorted;
        CTimelineRequest request;
        request.rows = m_view.get();
        request.errors = m_errorRows.get();
        ASSERT_EQ(1, merged.Build(request));
        request.rows = &plainRows;
        ASSERT_EQ(1, sorted.Build(request));
        ASSERT_EQ(sorted.BucketCount(), merged.BucketCount());
        ASSERT_EQ(sorted.WidthMs(), merged.WidthMs());
        for (int64_t b = 0; b < sorted.BucketCount(); ++b) {
            EXPECT_EQ(sorted.Bucket(b).rows, merged.Bucket(b).rows) << b;
            EXPECT_EQ(sorted.Bucket(b).errors, merged.Bucket(b).errors) << b;
            EXPECT_EQ(sorted.Bucket(b).firstRow, merged.Bucket(b).firstRow) << b;
        }
    }
}

// Following: the start of each log merged, an extraction and the error log taken, then the
// rest of each log merged in as a follow step indexes it (lagging logs' rows landing among
// the others'): the error rows are those of a merge of the whole logs, the error log takes
// the new ones, the extraction keeps its rows where they stood (each with the entry of where
// its log's row is now), and the moves of the views lead to the same log rows as before.
TEST_F(MergedSourcesTest, FollowedRowsKeepWhatWasTakenFromThem) {
    std::mt19937 rng(20261211);
    const int64_t noon = DaysFromCivil(2024, 6, 15) * kMillisecondsPerDay + 12 * 3600000;
    CKeywordSet keywords;
    keywords.Add(u"ERROR", 6, 0, 1);
    keywords.BuildFlagTable();
    CSearchCondition needle;
    ASSERT_TRUE(needle.Add(u"needle"));
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        auto n = static_cast<size_t>(2 + rng() % 3);
        std::vector<CPlannedLog> plans;
        for (size_t i = 0; i < n; ++i) plans.push_back(PlanLog(rng, noon, round % 4 == 3 ? 900 : 120));
        std::vector<CLogFile> whole(n);
        std::vector<std::shared_ptr<CLogLineList>> indexes(n);
        std::vector<CLogLineList> errors(n);
        std::vector<CFollowState> states(n);
        std::vector<CLoadRequest> requests(n);
        std::vector<CMergeInput> inputs(n);
        std::vector<const CLogLineList*> errorLists;
        for (size_t i = 0; i < n; ++i) {
            const std::string& bytes = plans[i].bytes;
            ASSERT_TRUE(whole[i].OpenBytes(bytes.data(), bytes.size()));
            requests[i].codePage = plans[i].utf16 ? kCodePageUtf16Le : kCodePageUtf8;
            requests[i].keywords = &keywords;
            requests[i].threads = 1;
            size_t size = static_cast<size_t>(rng() % (bytes.size() + 1)) & ~size_t{1};
            CLogFile start;
            ASSERT_TRUE(start.OpenBytes(bytes.data(), size));
            indexes[i] = LoadLogLines(&start, requests[i], &errors[i]);
            ASSERT_NE(nullptr, indexes[i]);
            StartFollowing(*indexes[i], size, &states[i]);
            inputs[i].index = indexes[i];
            inputs[i].file = &whole[i];
            inputs[i].codePage = requests[i].codePage;
            errorLists.push_back(&errors[i]);
        }
        std::unique_ptr<CMergedRows> made;
        ASSERT_EQ(1, MergeLogs(inputs.data(), static_cast<int>(n), &made));
        auto merged = std::shared_ptr<CMergedRows>(std::move(made));
        auto errorRows = std::make_shared<CLogLineList>();
        ASSERT_EQ(1, MergedErrorPicks(*merged, errorLists.data(), errorRows.get()));
        CMergedViewRows view(merged, errorRows);
        CLogReaders readers;
        ASSERT_TRUE(readers.Open(view, false));
        auto extracted = std::make_unique<CLogLineList>();
        ASSERT_EQ(1, ExtractLogRows(view, view, readers, needle, static_cast<int32_t>(rng() % 3),
                                    static_cast<int32_t>(rng() % 3), extracted.get(), CScanOptions()));
        auto errorCopy = std::make_unique<CLogLineList>();
        ASSERT_EQ(1, CopyLineList(*errorRows, errorCopy.get()));
        CMergedPickRows picks(std::move(extracted), merged, errorRows);
        CMergedPickRows errorLog(std::move(errorCopy), merged, errorRows, true);
        // The log rows of the merged rows and of the extraction's rows, before.
        auto originOf = [&](int64_t row) {
            int log = -1;
            CRow logRow;
            EXPECT_TRUE(merged->Origin(CRow(row), &log, &logRow)) << row;
            return std::make_pair(log, logRow.Value());
        };
        std::vector<std::pair<int, int64_t>> viewBefore;
        for (int64_t r = 0; r < view.Count(); ++r) viewBefore.push_back(originOf(r));
        std::vector<std::pair<int, int64_t>> picksBefore;
        CLogLine entry;
        for (int64_t r = 0; r < picks.Count() && picks.Entry(CRow(r), &entry); ++r)
            picksBefore.push_back(originOf(entry.lineNumber));

        int64_t replaced[kMaxMergedLogs];
        for (size_t i = 0; i < n; ++i) {
            CLogLineList more;
            CLogLineList moreErrors;
            replaced[i] = states[i].lastNumber;
            ASSERT_EQ(1, FollowLogLines(&whole[i], requests[i], &states[i], &more, &moreErrors));
            ASSERT_EQ(1, ReplaceTail(indexes[i].get(), replaced[i], more));
            ASSERT_EQ(1, ReplaceTail(&errors[i], replaced[i], moreErrors));
        }
        CMergeChange change;
        ASSERT_EQ(1, ExtendMerge(merged.get(), replaced, &change));
        errorRows->Truncate(FirstEntryFrom(*errorRows, change.First()));
        ASSERT_EQ(1, AppendMergedErrorPicks(*merged, errorLists.data(), change.First(), errorRows.get()));
        std::unique_ptr<CRowMoves> viewMoves = view.FollowChange(change);
        std::unique_ptr<CRowMoves> picksMoves = picks.FollowChange(change);
        std::unique_ptr<CRowMoves> errorMoves = errorLog.FollowChange(change);
        ASSERT_TRUE(viewMoves != nullptr && picksMoves != nullptr && errorMoves != nullptr);

        CLogLineList wholeErrors;
        ASSERT_EQ(1, MergedErrorPicks(*merged, errorLists.data(), &wholeErrors));
        EXPECT_TRUE(SameEntries(wholeErrors, *errorRows));
        ASSERT_EQ(wholeErrors.Count(), errorLog.Count());
        for (int64_t r = 0; r < errorLog.Count(); ++r) {
            ASSERT_TRUE(errorLog.Entry(CRow(r), &entry));
            EXPECT_EQ(wholeErrors[r], entry) << r;
        }
        for (size_t r = 0; r < viewBefore.size(); ++r) {
            int64_t now = viewMoves->RowNow(static_cast<int64_t>(r));
            EXPECT_EQ(viewBefore[r], originOf(now)) << r;
        }
        // The extraction's rows where they stood, each now the entry of its log's row.
        ASSERT_EQ(static_cast<int64_t>(picksBefore.size()), picks.Count());
        CMergedTimeRows times(*merged);
        for (size_t r = 0; r < picksBefore.size(); ++r) {
            EXPECT_EQ(static_cast<int64_t>(r), picksMoves->RowNow(static_cast<int64_t>(r)));
            ASSERT_TRUE(picks.Entry(CRow(static_cast<int64_t>(r)), &entry)) << r;
            EXPECT_EQ(picksBefore[r], originOf(entry.lineNumber)) << r;
            CLogLine keyed;
            ASSERT_TRUE(times.Entry(CRow(entry.lineNumber), &keyed));
            EXPECT_EQ(keyed, entry) << r;
        }
    }
}

}  // namespace

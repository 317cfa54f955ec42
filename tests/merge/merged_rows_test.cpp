// The merged view of random logs against a plain stable sort of all their rows by the
// common clock's rule: every stamp kind the loader reads (with a zone, a time alone, no
// year, UTF-16), unstamped runs, rows before the first stamp, equal and falling times,
// long lines and per-log offsets; each merged row's log, row, entry, key and way back.
#include "merge/log_merge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "foundation/convert.h"
#include "loader/log_follow.h"
#include "loader/log_loader.h"
#include "merge/merged_time_rows.h"
#include "stamps/stamp_clock.h"

namespace {

enum class CKind { kDated, kZoned, kTimeAlone, kNoYear, kUtf16, kCount };

const char* const kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

struct CLogPlan {
    CKind kind = CKind::kDated;
    std::string bytes;
    std::vector<int64_t> keys;  // each row's expected key, the log's offset added, before the running latest
    int32_t offsetMinutes = 0;
    int64_t writtenDay = CStampClock::kNoDay;
};

std::string StampText(CKind kind, int64_t utc, int zoneMinutes) {
    int64_t local = utc + (kind == CKind::kZoned ? int64_t{zoneMinutes} * 60000 : 0);
    int64_t day = local / kMillisecondsPerDay;
    auto ms = static_cast<unsigned>(local - day * kMillisecondsPerDay);
    int64_t year = 0;
    unsigned month = 0;
    unsigned mday = 0;
    CivilFromDays(day, &year, &month, &mday);
    unsigned h = ms / 3600000;
    unsigned m = ms / 60000 % 60;
    unsigned s = ms / 1000 % 60;
    char out[64];
    switch (kind) {
        case CKind::kZoned: {
            int z = zoneMinutes < 0 ? -zoneMinutes : zoneMinutes;
            std::snprintf(out, sizeof out, "%04d-%02u-%02uT%02u:%02u:%02u.%03u%c%02d:%02d", static_cast<int>(year),
                          month, mday, h, m, s, ms % 1000, zoneMinutes < 0 ? '-' : '+', z / 60, z % 60);
            break;
        }
        case CKind::kTimeAlone:
            std::snprintf(out, sizeof out, "%02u:%02u:%02u.%03u", h, m, s, ms % 1000);
            break;
        case CKind::kNoYear:
            std::snprintf(out, sizeof out, "%s %2u %02u:%02u:%02u", kMonthNames[month - 1], mday, h, m, s);
            break;
        default:
            std::snprintf(out, sizeof out, "%04d-%02u-%02u %02u:%02u:%02u.%03u", static_cast<int>(year), month, mday, h,
                          m, s, ms % 1000);
    }
    return out;
}

// Letters and blanks only: no text a stamp reader could take for a time.
std::string Words(std::mt19937& rng, size_t n) {
    std::string text;
    for (size_t i = 0; i < n; ++i) text += rng() % 6 == 0 ? ' ' : static_cast<char>('a' + rng() % 26);
    return text;
}

std::string Utf16(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

// A log of one kind whose times start near base; its rows' expected keys.
CLogPlan PlanLog(std::mt19937& rng, CKind kind, int64_t base, bool withOffset) {
    CLogPlan plan;
    plan.kind = kind;
    plan.offsetMinutes = withOffset ? static_cast<int32_t>(rng() % 181) - 90 : 0;
    const int zones[] = {-300, 0, 60, 330, 120};
    int zone = zones[rng() % 5];
    int64_t spread = rng() % 5 == 0 ? 3 * kMillisecondsPerDay : 3600000;  // disjoint or interleaved
    int64_t t = base + static_cast<int64_t>(rng() % (2 * spread)) - spread;
    int64_t step = kind == CKind::kNoYear ? 1000 : 1;
    t -= t % step;
    int64_t firstUtc = -1;
    std::string text;
    int rows = rng() % 8 == 0 ? 1200 : static_cast<int>(rng() % 200);
    int64_t offset = int64_t{plan.offsetMinutes} * 60000;
    int64_t key = kBeforeFirstStamp;
    for (int lead = static_cast<int>(rng() % 4); lead > 0; --lead) {
        text += "before " + Words(rng, 10) + "\n";
        plan.keys.push_back(key);
    }
    for (int r = 0; r < rows; ++r) {
        const char* brk = rng() % 2 == 0 ? "\n" : "\r\n";
        if (rng() % 20 == 0) text += brk;  // a blank line is no row
        if (firstUtc >= 0 && rng() % 5 == 0) {
            text += "\tat " + Words(rng, rng() % 100 == 0 ? 70000 : 20) + brk;
            plan.keys.push_back(key);
            continue;
        }
        unsigned roll = rng() % 20;
        // Equal times, steps, and (but for a time alone, whose day would be lost) falls.
        if (roll >= 4 && roll < 19) t += static_cast<int64_t>(rng() % 5000 + 1) * step;
        if (roll == 19 && kind != CKind::kTimeAlone) t -= static_cast<int64_t>(rng() % 600) * step;
        if (firstUtc < 0) firstUtc = t;
        key = t + offset;
        text += StampText(kind, t, zone) + " " + Words(rng, rng() % 100 == 0 ? 70000 : 30) + brk;
        plan.keys.push_back(key);
    }
    // Logs without a year are dated on the day their file was written: the first stamp's.
    if (firstUtc >= 0 && (kind == CKind::kTimeAlone || kind == CKind::kNoYear)) {
        plan.writtenDay = firstUtc / kMillisecondsPerDay;
    }
    plan.bytes = kind == CKind::kUtf16 ? Utf16(text) : text;
    return plan;
}

struct CExpectedRow {
    int64_t key;
    int log;
    int64_t row;
};

class MergedRowsTest : public ::testing::Test {
protected:
    // Loads each plan as the console does (all stamp forms) and merges them.
    void Merge(std::vector<CLogPlan>& plans) {
        m_files = std::vector<CLogFile>(plans.size());
        std::vector<CMergeInput> inputs(plans.size());
        CStampRules rules;
        rules.moreForms = true;
        for (size_t i = 0; i < plans.size(); ++i) {
            ASSERT_TRUE(m_files[i].OpenBytes(plans[i].bytes.data(), plans[i].bytes.size()));
            CLoadRequest request;
            request.codePage = plans[i].kind == CKind::kUtf16 ? kCodePageUtf16Le : kCodePageUtf8;
            request.stamps = &rules;
            request.threads = 1;
            CLogLineList errors;
            std::shared_ptr<const CLogLineList> index = LoadLogLines(&m_files[i], request, &errors);
            ASSERT_NE(nullptr, index);
            ASSERT_EQ(static_cast<int64_t>(plans[i].keys.size()), index->Count()) << "log " << i;
            inputs[i].index = index;
            inputs[i].file = &m_files[i];
            inputs[i].offsetMinutes = plans[i].offsetMinutes;
            inputs[i].writtenDay = plans[i].writtenDay;
        }
        ASSERT_EQ(1, MergeLogs(inputs.data(), static_cast<int>(inputs.size()), &m_rows));
    }

    // The plain stable sort: each log's keys never fall (a falling time keeps the latest).
    static std::vector<CExpectedRow> Sorted(const std::vector<CLogPlan>& plans) {
        std::vector<CExpectedRow> all;
        for (size_t i = 0; i < plans.size(); ++i) {
            int64_t latest = kBeforeFirstStamp;
            for (size_t r = 0; r < plans[i].keys.size(); ++r) {
                latest = std::max(latest, plans[i].keys[r]);
                all.push_back({latest, static_cast<int>(i), static_cast<int64_t>(r)});
            }
        }
        std::stable_sort(all.begin(), all.end(),
                         [](const CExpectedRow& a, const CExpectedRow& b) { return a.key < b.key; });
        return all;
    }

    std::vector<CLogFile> m_files;
    std::unique_ptr<CMergedRows> m_rows;
};

TEST_F(MergedRowsTest, RandomLogsMergeAsAStableSortByTheCommonClock) {
    std::mt19937 rng(20261209);
    // 2024-06-15 12:00 and 23:55 UTC: times that interleave, and that pass midnight.
    const int64_t noon = DaysFromCivil(2024, 6, 15) * kMillisecondsPerDay + 12 * 3600000;
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        int64_t base = round % 3 == 2 ? noon + 11 * 3600000 + 55 * 60000 : noon;
        int logs = round == 7 ? 40 : 2 + static_cast<int>(rng() % 4);
        std::vector<CLogPlan> plans;
        for (int i = 0; i < logs; ++i) {
            auto kind = static_cast<CKind>(rng() % static_cast<unsigned>(CKind::kCount));
            plans.push_back(PlanLog(rng, kind, base, round % 2 == 1));
        }
        Merge(plans);
        if (HasFatalFailure()) return;
        std::vector<CExpectedRow> want = Sorted(plans);
        const CMergedRows& rows = *m_rows;
        ASSERT_EQ(static_cast<int64_t>(want.size()), rows.Count());
        EXPECT_LE(rows.MemoryBytes(), 2 * static_cast<uint64_t>(rows.Count()) + 1024);
        std::vector<int64_t> keys(want.size() + 1);
        ASSERT_EQ(rows.Count(), rows.ReadKeys(CRow(0), rows.Count() + 5, keys.data()));
        std::vector<CLogLine> entries(want.size());
        for (size_t r = 0; r < want.size(); ++r) {
            int log = -1;
            CRow logRow;
            ASSERT_TRUE(rows.Origin(CRow(static_cast<int64_t>(r)), &log, &logRow));
            ASSERT_EQ(want[r].log, log) << "row " << r;
            ASSERT_EQ(want[r].row, logRow.Value()) << "row " << r;
            ASSERT_EQ(want[r].key, keys[r]) << "row " << r;
            ASSERT_TRUE(rows.Log(log).index->Get(logRow.Value(), &entries[r]));
            CLogLine line;
            ASSERT_TRUE(rows.Entry(CRow(static_cast<int64_t>(r)), &line));
            ASSERT_EQ(entries[r], line);
            ASSERT_EQ(&m_files[static_cast<size_t>(log)], rows.FileOf(CRow(static_cast<int64_t>(r))));
            ASSERT_EQ(static_cast<int64_t>(r), rows.RowOf(log, logRow));
        }
        // Each log's rows mapped at once, rising as a scan's hits come, and falling.
        for (int log = 0; log < rows.LogCount(); ++log) {
            std::vector<int64_t> logRows;
            std::vector<int64_t> merged;
            for (size_t r = 0; r < want.size(); ++r) {
                if (want[r].log != log || rng() % 3 == 0) continue;
                logRows.push_back(want[r].row);
                merged.push_back(static_cast<int64_t>(r));
            }
            logRows.push_back(rows.Log(log).index->Count());  // not a row of the log
            merged.push_back(-1);
            std::vector<int64_t> got(logRows.size());
            rows.RowsOf(log, logRows.data(), static_cast<int64_t>(logRows.size()), got.data());
            EXPECT_EQ(merged, got) << "log " << log;
            // Falling, each row lower than the last: found again from the blocks' tables.
            std::reverse(logRows.begin(), logRows.end());
            std::reverse(merged.begin(), merged.end());
            rows.RowsOf(log, logRows.data(), static_cast<int64_t>(logRows.size()), got.data());
            EXPECT_EQ(merged, got) << "log " << log << ", falling";
        }
        // Rising ranges, near and far apart, read by one cursor as an extraction reads them.
        CMergedTimeCursor cursor(rows);
        for (int64_t first = static_cast<int64_t>(rng() % 5); first < rows.Count();) {
            int64_t n = 1 + static_cast<int64_t>(rng() % 40);
            int64_t expect = std::min(n, rows.Count() - first);
            std::vector<CLogLine> out(static_cast<size_t>(n));
            ASSERT_EQ(expect, cursor.Read(first, n, out.data()));
            for (int64_t i = 0; i < expect; ++i) {
                auto at = static_cast<size_t>(first + i);
                CLogLine keyed = entries[at];
                keyed.timeStamp = StampOfKey(want[at].key);
                keyed.lineNumber = first + i;
                ASSERT_EQ(keyed, out[static_cast<size_t>(i)]) << first << "+" << i;
            }
            first += static_cast<int64_t>(rng() % 2 == 0 ? rng() % 8 : rng() % 900);
        }
        CLogLine line;
        EXPECT_FALSE(rows.Entry(CRow(rows.Count()), &line));
        EXPECT_EQ(nullptr, rows.FileOf(CRow(-1)));
        EXPECT_EQ(-1, rows.RowOf(0, CRow(rows.Log(0).index->Count())));
        // Batches at random places and of random lengths, the keys made again from there,
        // and the rows as the timeline sees them.
        CMergedTimeRows times(rows);
        for (int k = 0; k < 30 && rows.Count() > 0; ++k) {
            int64_t first = static_cast<int64_t>(rng() % static_cast<uint64_t>(rows.Count()));
            int64_t n = 1 + static_cast<int64_t>(rng() % 700);
            int64_t expect = std::min(n, rows.Count() - first);
            std::vector<CLogLine> out(static_cast<size_t>(n));
            ASSERT_EQ(expect, rows.ReadRows(CRow(first), n, out.data()));
            std::vector<int64_t> some(static_cast<size_t>(n));
            ASSERT_EQ(expect, rows.ReadKeys(CRow(first), n, some.data()));
            ASSERT_EQ(expect, times.ReadRows(CRow(first), n, out.data()));
            for (int64_t i = 0; i < expect; ++i) {
                auto at = static_cast<size_t>(first + i);
                ASSERT_EQ(want[at].key, some[static_cast<size_t>(i)]) << first << "+" << i;
                EXPECT_EQ(StampOfKey(want[at].key), out[static_cast<size_t>(i)].timeStamp);
                EXPECT_EQ(first + i, out[static_cast<size_t>(i)].lineNumber);
            }
            std::vector<CLogLine> again(static_cast<size_t>(n));
            ASSERT_EQ(expect, rows.ReadRows(CRow(first), n, again.data()));
            for (int64_t i = 0; i < expect; ++i)
                ASSERT_EQ(entries[static_cast<size_t>(first + i)], again[static_cast<size_t>(i)]);
        }
    }
}

// Following: the start of each log merged, then more of each (cut anywhere, so that a line
// cut in two is read again and completed) merged in step by step as a follow step indexes it,
// one log lagging behind another so that its new rows land among the earlier ones: each step
// gives the merge of what the logs hold now, and every earlier row is found again.
TEST_F(MergedRowsTest, FollowedLogsMergeInAsAMergeOfWhatTheyHoldNow) {
    std::mt19937 rng(20261210);
    const int64_t noon = DaysFromCivil(2024, 6, 15) * kMillisecondsPerDay + 12 * 3600000;
    CStampRules rules;
    rules.moreForms = true;
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(round);
        int logs = 2 + static_cast<int>(rng() % 3);
        std::vector<CLogPlan> plans;
        for (int i = 0; i < logs; ++i) {
            auto kind = static_cast<CKind>(rng() % static_cast<unsigned>(CKind::kCount));
            plans.push_back(PlanLog(rng, kind, noon, round % 2 == 1));
        }
        auto n = static_cast<size_t>(logs);
        std::vector<CLogFile> whole(n);
        std::vector<std::shared_ptr<CLogLineList>> indexes(n);
        std::vector<CFollowState> states(n);
        std::vector<CLoadRequest> requests(n);
        std::vector<size_t> sizes(n);
        std::vector<CMergeInput> inputs(n);
        for (size_t i = 0; i < n; ++i) {
            const std::string& bytes = plans[i].bytes;
            ASSERT_TRUE(whole[i].OpenBytes(bytes.data(), bytes.size()));
            requests[i].codePage = plans[i].kind == CKind::kUtf16 ? kCodePageUtf16Le : kCodePageUtf8;
            requests[i].stamps = &rules;
            requests[i].threads = 1;
            // Now and then empty: its first rows then go among the others' without a row read again.
            sizes[i] = rng() % 4 == 0 ? 0 : static_cast<size_t>(rng() % (bytes.size() + 1)) & ~size_t{1};
            CLogFile start;
            ASSERT_TRUE(start.OpenBytes(bytes.data(), sizes[i]));
            CLogLineList errors;
            indexes[i] = LoadLogLines(&start, requests[i], &errors);
            ASSERT_NE(nullptr, indexes[i]);
            StartFollowing(*indexes[i], sizes[i], &states[i]);
            inputs[i].index = indexes[i];
            inputs[i].file = &whole[i];
            inputs[i].offsetMinutes = plans[i].offsetMinutes;
            inputs[i].writtenDay = plans[i].writtenDay;
        }
        std::unique_ptr<CMergedRows> rows;
        ASSERT_EQ(1, MergeLogs(inputs.data(), logs, &rows));
        for (int step = 0; step < 4; ++step) {
            SCOPED_TRACE(step);
            // Each log's rows before the step, by merged row.
            std::vector<std::pair<int, int64_t>> before(static_cast<size_t>(rows->Count()));
            for (int64_t r = 0; r < rows->Count(); ++r) {
                CRow logRow;
                ASSERT_TRUE(rows->Origin(CRow(r), &before[static_cast<size_t>(r)].first, &logRow));
                before[static_cast<size_t>(r)].second = logRow.Value();
            }
            int64_t replaced[kMaxMergedLogs];
            for (size_t i = 0; i < n; ++i) {
                replaced[i] = rows->LogRows(static_cast<int>(i));
                const std::string& bytes = plans[i].bytes;
                if (rng() % 3 == 0 || sizes[i] == bytes.size()) continue;  // this one stays as it was
                sizes[i] = step == 3
                               ? bytes.size()
                               : (sizes[i] + static_cast<size_t>(rng() % (bytes.size() - sizes[i] + 1))) & ~size_t{1};
                CLogFile grown;
                ASSERT_TRUE(grown.OpenBytes(bytes.data(), sizes[i]));
                CLogLineList more;
                CLogLineList errors;
                replaced[i] = states[i].lastNumber;
                ASSERT_EQ(1, FollowLogLines(&grown, requests[i], &states[i], &more, &errors));
                ASSERT_EQ(1, ReplaceTail(indexes[i].get(), replaced[i], more));
            }
            CMergeChange change;
            ASSERT_EQ(1, ExtendMerge(rows.get(), replaced, &change));
            std::unique_ptr<CMergedRows> fresh;
            ASSERT_EQ(1, MergeLogs(inputs.data(), logs, &fresh));
            ASSERT_EQ(fresh->Count(), rows->Count());
            std::vector<int64_t> keys(static_cast<size_t>(rows->Count()) + 1);
            std::vector<int64_t> freshKeys(keys.size());
            ASSERT_EQ(rows->Count(), rows->ReadKeys(CRow(0), rows->Count(), keys.data()));
            ASSERT_EQ(rows->Count(), fresh->ReadKeys(CRow(0), rows->Count(), freshKeys.data()));
            CMergedTimeCursor cursor(*rows);
            CMergedTimeRows freshTimes(*fresh);
            for (int64_t r = 0; r < rows->Count(); ++r) {
                int log = -1;
                int freshLog = -1;
                CRow logRow;
                CRow freshRow;
                ASSERT_TRUE(rows->Origin(CRow(r), &log, &logRow));
                ASSERT_TRUE(fresh->Origin(CRow(r), &freshLog, &freshRow));
                ASSERT_EQ(freshLog, log) << "row " << r;
                ASSERT_EQ(freshRow, logRow) << "row " << r;
                ASSERT_EQ(freshKeys[static_cast<size_t>(r)], keys[static_cast<size_t>(r)]) << "row " << r;
                CLogLine keyed;
                CLogLine want;
                ASSERT_EQ(1, cursor.Read(r, 1, &keyed));
                ASSERT_TRUE(freshTimes.Entry(CRow(r), &want));
                ASSERT_EQ(want, keyed) << "row " << r;
            }
            // Every row of before is found again where its log's row is now.
            for (size_t r = 0; r < before.size(); ++r) {
                int64_t now = change.RowNow(*rows, static_cast<int64_t>(r));
                if (static_cast<int64_t>(r) < change.First()) {
                    ASSERT_EQ(static_cast<int64_t>(r), now);
                }
                int log = -1;
                CRow logRow;
                ASSERT_TRUE(rows->Origin(CRow(now), &log, &logRow)) << r;
                EXPECT_EQ(before[r].first, log) << r;
                EXPECT_EQ(before[r].second, logRow.Value()) << r;
            }
        }
    }
}

CLogLine Stamped(int64_t number, uint16_t year, uint8_t month, uint8_t day, uint32_t ms) {
    CLogLine line;
    line.lineNumber = number;
    line.offset = static_cast<uint64_t>(number) * 10;
    line.length = 10;
    line.timeStamp = CTimeStamp{year, month, day, ms};
    return line;
}

TEST_F(MergedRowsTest, ALogDatedByNothingOfItsOwnTakesTheOthersFirstDayAndBadInputsAreRefused) {
    auto dated = std::make_shared<CLogLineList>();
    auto alone = std::make_shared<CLogLineList>();
    ASSERT_TRUE(dated->Append(Stamped(0, 2024, 6, 15, 10 * 3600000)));
    ASSERT_TRUE(dated->Append(Stamped(1, 2024, 6, 16, 9 * 3600000)));
    // A time alone at 11:00, with no written day: on 2024-06-15, between the two.
    ASSERT_TRUE(alone->Append(Stamped(0, 0, CTimeStamp::kTimeOnly, 0, 11 * 3600000)));
    CMergeInput inputs[2];
    inputs[0].index = alone;
    inputs[1].index = dated;
    ASSERT_EQ(1, MergeLogs(inputs, 2, &m_rows));
    int logs[3] = {};
    for (int64_t r = 0; r < 3; ++r) logs[r] = m_rows->LogOf(CRow(r));
    EXPECT_EQ(1, logs[0]);
    EXPECT_EQ(0, logs[1]);
    EXPECT_EQ(1, logs[2]);
    // An offset moves a log's times: 30 hours on puts the time alone after both.
    inputs[0].offsetMinutes = 30 * 60;
    ASSERT_EQ(1, MergeLogs(inputs, 2, &m_rows));
    EXPECT_EQ(0, m_rows->LogOf(CRow(2)));

    // Without a year, the written day dates a log: a month after that day's is last year's...
    auto noYear = std::make_shared<CLogLineList>();
    ASSERT_TRUE(noYear->Append(Stamped(0, 0, 12, 31, 1000)));
    ASSERT_TRUE(noYear->Append(Stamped(1, 0, 1, 1, 2000)));
    CMergeInput written;
    written.index = noYear;
    written.writtenDay = DaysFromCivil(2025, 1, 2);
    ASSERT_EQ(1, MergeLogs(&written, 1, &m_rows));
    int64_t keys[2] = {};
    ASSERT_EQ(2, m_rows->ReadKeys(CRow(0), 2, keys));
    EXPECT_EQ(DaysFromCivil(2024, 12, 31) * kMillisecondsPerDay + 1000, keys[0]);
    // ... and the next January is in the next year.
    EXPECT_EQ(DaysFromCivil(2025, 1, 1) * kMillisecondsPerDay + 2000, keys[1]);

    std::atomic<int> cancel{1};
    std::unique_ptr<CMergedRows> untouched;
    EXPECT_EQ(kMergeCancelled, MergeLogs(inputs, 2, &untouched, nullptr, &cancel));
    EXPECT_EQ(nullptr, untouched);
    EXPECT_EQ(0, MergeLogs(inputs, 0, &untouched));
    std::vector<CMergeInput> many(kMaxMergedLogs + 1, inputs[1]);
    EXPECT_EQ(0, MergeLogs(many.data(), kMaxMergedLogs + 1, &untouched));
    ASSERT_EQ(1, MergeLogs(many.data(), kMaxMergedLogs, &untouched));
    EXPECT_EQ(2 * kMaxMergedLogs, untouched->Count());
    EXPECT_EQ(kMaxMergedLogs - 1, untouched->LogOf(CRow(kMaxMergedLogs - 1)));
    inputs[1].index = nullptr;
    EXPECT_EQ(0, MergeLogs(inputs, 2, &untouched));
}

}  // namespace

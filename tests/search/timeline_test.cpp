// The timeline's buckets, the typed time and the navigation by time, error and slow interval.
#include "search/timeline.h"

#include <gtest/gtest.h>

#include <utime.h>

#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "search/line_scan.h"
#include "search/row_navigation.h"
#include "search/timeline_axis.h"
#include "test_support.h"

namespace {

CTimeStamp At(int h, int m, int s, int ms = 0, int year = 0, int month = 1, int day = 1) {
    CTimeStamp t;
    t.year = static_cast<uint16_t>(year);
    t.month = static_cast<uint8_t>(month);
    t.day = static_cast<uint8_t>(day);
    t.milliseconds = static_cast<uint32_t>(((h * 60 + m) * 60 + s) * 1000 + ms);
    return t;
}

// Rows of the given stamps; row i holds line lines[i] (or i when lines is empty).
CLineListRows Rows(const std::vector<CTimeStamp>& stamps, const std::vector<int32_t>& lines = {}) {
    auto list = std::make_unique<CLogLineList>();
    for (size_t i = 0; i < stamps.size(); ++i) {
        list->Append(lines.empty() ? static_cast<int32_t>(i) : lines[i], stamps[i], i * 10, 10);
    }
    return CLineListRows(std::move(list), nullptr);
}

std::unique_ptr<CLogLineList> Errors(const std::vector<int32_t>& lines) {
    auto list = std::make_unique<CLogLineList>();
    for (int32_t line : lines) list->Append(line, CTimeStamp(), 0, 1);
    return list;
}

// "start rows errors firstRow" of every bucket.
std::vector<std::string> Describe(const CTimeline& t) {
    std::vector<std::string> out;
    for (int64_t i = 0; i < t.BucketCount(); ++i) {
        char start[32];
        FormatStampKey(t.BucketStart(i), t.Clock().Dated(), start, sizeof start);
        const CTimeBucket& b = t.Bucket(i);
        out.push_back(std::string(start) + " " + std::to_string(b.rows) + " " + std::to_string(b.errors) + " " +
                      std::to_string(b.firstRow.Value()));
    }
    return out;
}

// Every shown bucket read, as the pane reads them to draw.
int64_t ShownRows(const CTimeline& t) {
    int64_t rows = 0;
    for (int64_t i = 0; i < t.BucketCount(); ++i) rows += t.Bucket(i).rows;
    return rows;
}

int Build(CTimeline& t, const CRowSource& rows, const CLogLineList* errors, int64_t widthMs) {
    CTimelineRequest request;
    request.rows = &rows;
    request.errors = errors;
    request.widthMs = widthMs;
    return t.Build(request);
}

bool Query(const char* text, CTimeQuery* q) { return ParseTimeQuery(text, std::strlen(text), q) == 1; }

TEST(TimelineTest, TypedTimesAndTheirKeys) {
    CTimeQuery q;
    ASSERT_TRUE(Query(" 2021-03-05 00:10:00.5 ", &q));
    EXPECT_TRUE(q.hasDate);
    EXPECT_EQ(600500, q.milliseconds);
    ASSERT_TRUE(Query("7:08:09", &q));
    EXPECT_FALSE(q.hasDate);
    EXPECT_EQ(25689000, q.milliseconds);
    for (const char* bad : {"", "12:34", "24:00:00", "12:60:00", "12:00:00.1234", "2021-02-29 00:00:00", "2021-03-05",
                            "2021-03-0500:00:00", "12:00:00 x", "1:2:3"}) {
        EXPECT_FALSE(Query(bad, &q)) << bad;
    }

    CStampClock dated(At(23, 0, 0, 0, 2021, 3, 4));
    CStampClock timeOnly(At(23, 0, 0));
    ASSERT_TRUE(Query("2021-03-05 00:10:00", &q));
    char text[32];
    FormatStampKey(QueryKey(dated, q), true, text, sizeof text);
    EXPECT_STREQ("2021-03-05 00:10:00", text);
    EXPECT_EQ(600000, QueryKey(timeOnly, q));  // its time of day on a log without dates
    ASSERT_TRUE(Query("01:00:00", &q));
    FormatStampKey(QueryKey(dated, q), true, text, sizeof text);
    EXPECT_STREQ("2021-03-04 01:00:00", text);  // the log's first day
    // A stamp without a year in a dated log takes the first stamp's year.
    EXPECT_EQ(dated.Key(At(1, 0, 0, 0, 2021, 12, 31)), dated.Key(At(1, 0, 0, 0, 0, 12, 31)));
    FormatStampKey(dated.Key(At(0, 0, 0, 0, 2024, 2, 30)), true, text, sizeof text);
    EXPECT_STREQ("2024-03-01 00:00:00", text);
}

TEST(TimelineTest, DatedRowsAcrossMidnightWithErrorsAndRowsBeforeTheFirstStamp) {
    CLineListRows rows = Rows({CTimeStamp(), At(23, 30, 0, 0, 2021, 3, 4), At(23, 59, 59, 999, 2021, 3, 4),
                               At(0, 10, 0, 0, 2021, 3, 5), At(2, 0, 0, 0, 2021, 3, 5)});
    auto errors = Errors({0, 2, 4});
    CTimeline t;
    ASSERT_EQ(1, Build(t, rows, errors.get(), 3600000));
    EXPECT_EQ((std::vector<std::string>{"2021-03-04 23:00:00 2 1 1", "2021-03-05 00:00:00 1 0 3",
                                        "2021-03-05 01:00:00 0 0 -1", "2021-03-05 02:00:00 1 1 4"}),
              Describe(t));
    EXPECT_EQ(2, t.MaxRows());
    EXPECT_EQ(1, t.BucketOf(t.Clock().Key(At(0, 59, 59, 999, 2021, 3, 5))));
    EXPECT_EQ(-1, t.BucketOf(t.Clock().Key(At(3, 0, 0, 0, 2021, 3, 5))));
}

TEST(TimelineTest, EachRowCountsAtItsOwnTimeOfDayWhenTheTimeGoesBack) {
    // A time-only log passing midnight, then a jump back: no row is lost or moved.
    CLineListRows rows =
        Rows({At(23, 59, 58), At(0, 0, 1), At(0, 0, 3), At(23, 59, 58, 500), At(0, 0, 1, 900)}, {5, 7, 8, 9, 12});
    auto errors = Errors({7, 9, 12});
    CTimeline t;
    ASSERT_EQ(1, Build(t, rows, errors.get(), kMillisecondsPerDay / 2));
    EXPECT_FALSE(t.Clock().Dated());
    EXPECT_EQ((std::vector<std::string>{"00:00:00 3 2 1", "12:00:00 2 1 0"}), Describe(t));
    ASSERT_EQ(1, Build(t, rows, errors.get(), 2000));
    EXPECT_EQ(43200, t.BucketCount());
    EXPECT_EQ("00:00:00 2 2 1", Describe(t)[0]);
    // Rows whose lines go back (an extraction's context) still find their error lines.
    CLineListRows context = Rows({At(1, 0, 0), At(1, 0, 0), At(1, 0, 1), At(1, 0, 1)}, {4, 5, 4, 5});
    ASSERT_EQ(1, Build(t, context, Errors({4}).get(), 1000));
    EXPECT_EQ((std::vector<std::string>{"01:00:00 2 1 0", "01:00:01 2 1 2"}), Describe(t));
    // Long gaps between the error lines asked for, forward and back.
    std::vector<int32_t> evens;
    for (int32_t line = 0; line <= 40; line += 2) evens.push_back(line);
    CLineListRows jumps = Rows({At(1, 0, 0), At(1, 0, 0), At(1, 0, 0), At(1, 0, 0), At(1, 0, 0)}, {2, 30, 5, 31, 40});
    ASSERT_EQ(1, Build(t, jumps, Errors(evens).get(), 1000));
    EXPECT_EQ((std::vector<std::string>{"01:00:00 5 3 0"}), Describe(t));
}

// Stamps of a time alone run on past midnight, a day later whenever they go back by more
// than twelve hours; in a dated log they are on its first day.
TEST(TimelineTest, ATimeAloneRunsOnPastMidnight) {
    auto alone = [](int h, int m, int s) {
        CTimeStamp t;
        t.month = CTimeStamp::kTimeOnly;
        t.milliseconds = static_cast<uint32_t>(((h * 60 + m) * 60 + s) * 1000);
        return t;
    };
    // Back by eleven hours stays on its day, by more than twelve passes midnight.
    CLineListRows rows = Rows({alone(23, 30, 0), alone(23, 59, 58), alone(0, 0, 1), alone(12, 0, 0), alone(1, 0, 0),
                               alone(23, 0, 0), alone(0, 30, 0)});
    CTimeline t;
    ASSERT_EQ(1, Build(t, rows, nullptr, 3600000));
    EXPECT_FALSE(t.Clock().Dated());
    std::vector<std::string> buckets = Describe(t);
    ASSERT_EQ(26u, buckets.size());
    EXPECT_EQ("23:00:00 2 0 0", buckets[0]);
    EXPECT_EQ("24:00:00 1 0 2", buckets[1]);
    EXPECT_EQ("25:00:00 1 0 4", buckets[2]);
    EXPECT_EQ("36:00:00 1 0 3", buckets[13]);
    EXPECT_EQ("47:00:00 1 0 5", buckets[24]);
    EXPECT_EQ("48:00:00 1 0 6", buckets.back());
    CLineListRows dated = Rows({At(23, 0, 0, 0, 2021, 3, 4), alone(23, 30, 0), alone(0, 30, 0)});
    ASSERT_EQ(1, Build(t, dated, nullptr, 3600000));
    EXPECT_EQ((std::vector<std::string>{"2021-03-04 23:00:00 2 0 0", "2021-03-05 00:00:00 1 0 2"}), Describe(t));

    // A log of times alone is dated on the local day its file was last written; a time typed
    // alone means that day, one typed with a date the date.
    testing_support::TempDir dir;
    testing_support::WriteBytes(dir.FsPath("t.log"), "x\n");
    std::tm noon = {};
    noon.tm_year = 2024 - 1900;
    noon.tm_mon = 1;
    noon.tm_mday = 28;
    noon.tm_hour = 12;
    noon.tm_isdst = -1;
#ifdef _WIN32
    struct _utimbuf times = {std::mktime(&noon), std::mktime(&noon)};
    ASSERT_EQ(0, _wutime(dir.FsPath("t.log").c_str(), &times));
#else
    struct utimbuf times = {std::mktime(&noon), std::mktime(&noon)};
    ASSERT_EQ(0, utime(dir.FsPath("t.log").c_str(), &times));
#endif
    CLogFile file;
    ASSERT_EQ(1, file.Open(dir.File("t.log").c_str()));
    auto list = std::make_unique<CLogLineList>();
    for (int32_t i = 0; i < 3; ++i) list->Append(i, (i == 2 ? alone(0, 30, 0) : alone(23, 10 * i, 0)), i, 1);
    CLineListRows written(std::move(list), &file);
    ASSERT_EQ(1, Build(t, written, nullptr, 3600000));
    EXPECT_TRUE(t.Clock().Dated());
    EXPECT_EQ((std::vector<std::string>{"2024-02-28 23:00:00 2 0 0", "2024-02-29 00:00:00 1 0 2"}), Describe(t));
    CTimeQuery query;
    ASSERT_EQ(1, ParseTimeQuery("2024-02-29 00:00:00", 19, &query));
    EXPECT_EQ(2, FirstRowAtOrAfter(written, query, nullptr));
    ASSERT_EQ(1, ParseTimeQuery("23:05:00", 8, &query));
    EXPECT_EQ(1, FirstRowAtOrAfter(written, query, nullptr));
}

TEST(TimelineTest, WidthChoiceAndLimits) {
    constexpr int64_t s = 1000;
    EXPECT_EQ(1 * s, AutoBucketWidth(0, 60 * s));
    EXPECT_EQ(1 * s, AutoBucketWidth(0, 399 * s));
    EXPECT_EQ(2 * s, AutoBucketWidth(0, 400 * s));
    EXPECT_EQ(10 * s, AutoBucketWidth(0, 3600 * s));
    EXPECT_EQ(300 * s, AutoBucketWidth(0, kMillisecondsPerDay - 1));
    EXPECT_EQ(3600 * s, AutoBucketWidth(0, 10 * kMillisecondsPerDay));
    EXPECT_EQ(kMillisecondsPerDay, AutoBucketWidth(0, 399 * kMillisecondsPerDay));
    EXPECT_EQ(3 * kMillisecondsPerDay, AutoBucketWidth(0, 1000 * kMillisecondsPerDay));
    for (int64_t range : {int64_t{500} * s, int64_t{7200} * s, 3 * kMillisecondsPerDay, 90 * kMillisecondsPerDay}) {
        int64_t w = AutoBucketWidth(12345, 12345 + range);
        int64_t bars = (12345 + range) / w - 12345 / w + 1;
        EXPECT_GE(bars, 100) << range;
        EXPECT_LE(bars, 400) << range;
    }

    CTimeline t;
    CLineListRows none = Rows({CTimeStamp(), CTimeStamp()});
    EXPECT_EQ(1, Build(t, none, nullptr, 0));
    EXPECT_FALSE(t.HasStamps());
    EXPECT_FALSE(RowsHaveStamps(none));
    CLineListRows year = Rows({At(0, 0, 0, 0, 2020, 1, 1), At(0, 0, 0, 0, 2021, 1, 1)});
    EXPECT_TRUE(RowsHaveStamps(year));
    EXPECT_EQ(kTimelineTooManyBuckets, Build(t, year, nullptr, 1000));
    EXPECT_FALSE(t.HasStamps());
    ASSERT_EQ(1, Build(t, year, nullptr, 0));
    EXPECT_EQ(367, t.BucketCount());
    CTimelineRequest request;
    request.rows = &year;
    request.widthMs = 60000;
    request.maxBuckets = 1 << 20;  // a console's limit
    ASSERT_EQ(1, t.Build(request));
    EXPECT_EQ(527041, t.BucketCount());
    std::atomic<int> cancel{1};
    request.cancel = &cancel;
    EXPECT_EQ(kScanCancelled, t.Build(request));
}

// A followed log: each step replaces the last row (as a line completed) and appends rows,
// the time running from milliseconds a row to hours, now and then back. Counting only what
// each step changed gives the buckets a count of all rows gives, through every change of
// the width; a replaced row that held the range's end and does not come back asks for a
// count afresh.
TEST(TimelineTest, CountingAFollowedLogStepByStepEqualsCountingItWhole) {
    std::mt19937 random(7);
    std::vector<CTimeStamp> stamps;
    std::vector<int32_t> errorLines;
    int64_t ms = 0;
    auto next = [&](int step) {
        ms += static_cast<int64_t>(random() % (int64_t{1} << (step / 3))) - (random() % 50 == 0 ? 3600000 : 0);
        ms = std::min(std::max<int64_t>(ms, 0), 27 * kMillisecondsPerDay);
        int64_t day = std::min<int64_t>(ms / kMillisecondsPerDay, 27);
        int64_t time = ms % kMillisecondsPerDay;
        return random() % 10 == 0 ? CTimeStamp()
                                  : At(0, 0, 0, static_cast<int>(time), 2021, 3, 1 + static_cast<int>(day));
    };
    auto errorsOf = [&] {
        errorLines.clear();
        for (size_t i = 0; i < stamps.size(); ++i) {
            if ((i * 7919) % 13 == 0) errorLines.push_back(static_cast<int32_t>(i));
        }
        return Errors(errorLines);
    };
    CTimeline grown;
    for (int step = 0; step < 70; ++step) {
        // The last row again, completed, then new ones.
        if (!stamps.empty()) stamps.push_back(stamps.back()), stamps.erase(stamps.end() - 2);
        for (int k = 1 + static_cast<int>(random() % 300); k > 0; --k) stamps.push_back(next(step));
        CLineListRows rows = Rows(stamps);
        auto errors = errorsOf();
        CTimelineRequest request;
        request.rows = &rows;
        request.errors = errors.get();
        if (step == 0) {
            ASSERT_EQ(1, grown.Build(request));
        } else {
            ASSERT_TRUE(grown.Uncount(CRow(grown.Counted() - 1)));
            ASSERT_EQ(1, grown.CountMore(request, 100));
            ASSERT_EQ(1, grown.CountMore(request, INT64_MAX));
        }
        CTimeline whole;
        ASSERT_EQ(1, whole.Build(request));
        ASSERT_EQ(Describe(whole), Describe(grown)) << "step " << step;
        ASSERT_EQ(whole.WidthMs(), grown.WidthMs());
        EXPECT_LE(grown.HeldBytes(), int64_t{1} << 20);
    }
    EXPECT_GE(grown.WidthMs(), 1800000);  // the range outgrew the first fine buckets

    CLineListRows before = Rows({At(10, 0, 0), At(10, 0, 1), At(10, 5, 0)});
    CLineListRows after = Rows({At(10, 0, 0), At(10, 0, 1), At(10, 0, 2)});
    CTimelineRequest request;
    request.rows = &before;
    ASSERT_EQ(1, grown.Build(request));
    ASSERT_TRUE(grown.Uncount(CRow(2)));
    request.rows = &after;
    EXPECT_EQ(kTimelineRecount, grown.CountMore(request, INT64_MAX));
    EXPECT_FALSE(grown.Uncount(CRow(0)));  // the row the clock came from
}

// Far-off stamps in a followed log (a default date some loggers print, a jump of years): a
// step that cannot carry the counts on shows no bucket until the count afresh, whose buckets
// equal a whole count's; buckets are read after every step, as the pane draws them.
TEST(TimelineTest, AFollowedLogWithFarOffStampsShowsNothingStaleAndNothingFreed) {
    std::vector<CTimeStamp> stamps;
    for (int i = 0; i < 100; ++i) stamps.push_back(At(10, i / 60, i % 60, 0, 2024, 5, 6));
    CTimeline t;
    CLineListRows first = Rows(stamps);
    CTimelineRequest request;
    request.rows = &first;
    ASSERT_EQ(1, t.Build(request));
    ASSERT_EQ(1000, t.WidthMs());  // shown at the fine width
    stamps.push_back(At(11, 0, 0, 0, 2024, 5, 6));
    stamps.push_back(At(0, 0, 0, 0, 1, 1, 1));
    CLineListRows grown = Rows(stamps);
    request.rows = &grown;
    ASSERT_EQ(kTimelineRecount, t.CountMore(request, INT64_MAX));
    EXPECT_EQ(0, ShownRows(t));
    EXPECT_FALSE(t.HasStamps());
    EXPECT_EQ(0, t.BucketCount());
    ASSERT_EQ(1, t.Build(request));

    std::mt19937 random(11);
    for (int step = 0; step < 60; ++step) {
        for (int k = 1 + static_cast<int>(random() % 40); k > 0; --k) {
            int pick = static_cast<int>(random() % 20);
            int day = 6 + static_cast<int>(random() % 3);
            stamps.push_back(pick == 0   ? At(0, 0, 0, 0, 1, 1, 1)
                             : pick == 1 ? At(3, 0, 0, 0, 2024 + static_cast<int>(random() % 90), 12, 31)
                             : pick == 2 ? CTimeStamp()
                                         : At(static_cast<int>(random() % 24), 0, 0, 0, 2024, 5, day));
        }
        CLineListRows rows = Rows(stamps);
        request.rows = &rows;
        int result = t.CountMore(request, 1 + random() % 50);
        if (result == 1) result = t.CountMore(request, INT64_MAX);
        EXPECT_LE(ShownRows(t), t.Counted());
        if (result == kTimelineRecount) {
            EXPECT_EQ(0, t.BucketCount());
            ASSERT_EQ(1, t.Build(request));
        } else {
            ASSERT_EQ(1, result);
        }
        CTimeline whole;
        ASSERT_EQ(1, whole.Build(request));
        ASSERT_EQ(Describe(whole), Describe(t)) << "step " << step;
    }
}

// Buckets of several days on a log reaching back to 0001-01-01 start on or after that day,
// whatever the width, and every start prints as a date.
TEST(TimelineTest, NoBucketStartsBeforeTheFirstDay) {
    CLineListRows rows = Rows({At(10, 0, 0, 0, 2024, 5, 6), At(0, 0, 0, 0, 1, 1, 1), At(0, 0, 0, 0, 1, 1, 3)});
    CTimeline t;
    for (int64_t width : {int64_t{0}, 3 * kMillisecondsPerDay, 7 * kMillisecondsPerDay}) {
        CTimelineRequest request;
        request.rows = &rows;
        request.widthMs = width;
        request.maxBuckets = int64_t{1} << 22;
        ASSERT_EQ(1, t.Build(request)) << width;
        char start[32];
        FormatStampKey(t.BucketStart(0), true, start, sizeof start);
        EXPECT_STREQ("0001-01-01 00:00:00", start) << width;
        EXPECT_EQ(2, t.Bucket(0).rows) << width;
        EXPECT_EQ(3, t.Bucket(0).rows + t.Bucket(t.BucketCount() - 1).rows) << width;
        EXPECT_EQ(0, t.BucketOf(t.Clock().Key(At(0, 0, 0, 0, 1, 1, 1)))) << width;
    }
}

TEST(TimelineTest, FirstRowAtOrAfterATime) {
    CLineListRows rows = Rows({CTimeStamp(), At(23, 0, 0, 0, 2021, 3, 4), At(22, 0, 0, 0, 2021, 3, 4),
                               At(0, 30, 0, 0, 2021, 3, 5), At(23, 30, 0, 0, 2021, 3, 4)});
    CTimeQuery q;
    auto find = [&](const CRowSource& source, const char* text) {
        EXPECT_TRUE(Query(text, &q)) << text;
        return FirstRowAtOrAfter(source, q);
    };
    EXPECT_EQ(1, find(rows, "2021-03-04 22:30:00"));
    EXPECT_EQ(3, find(rows, "2021-03-04 23:00:00.001"));  // the jump back to 22:00 is earlier
    EXPECT_EQ(3, find(rows, "2021-03-05 00:30:00"));
    EXPECT_EQ(-1, find(rows, "2021-03-05 00:30:00.001"));
    EXPECT_EQ(3, find(rows, "23:15:00"));  // on the log's first day, not the time of day of row 4
    CLineListRows timeOnly = Rows({At(0, 1, 0), At(0, 2, 0), At(0, 0, 5)});
    EXPECT_EQ(1, find(timeOnly, "00:01:30"));
    EXPECT_EQ(0, find(timeOnly, "1999-12-31 00:00:30"));  // the time of day of a dated query
    EXPECT_EQ(-1, find(timeOnly, "00:02:00.001"));
    EXPECT_EQ(-1, find(Rows({CTimeStamp()}), "00:00:00"));
}

TEST(TimelineTest, NextAndPreviousErrorAndSlowRows) {
    CLineListRows lines = Rows({At(1, 0, 0), At(1, 0, 1), At(1, 0, 5), At(1, 0, 5), At(0, 0, 1), At(0, 0, 2)});
    auto errors = Errors({1, 4});
    for (bool direct : {true, false}) {
        EXPECT_EQ(1, NextErrorRow(lines, *errors, CRow(-1), direct));
        EXPECT_EQ(4, NextErrorRow(lines, *errors, CRow(1), direct));
        EXPECT_EQ(-1, NextErrorRow(lines, *errors, CRow(4), direct));
        EXPECT_EQ(1, PreviousErrorRow(lines, *errors, CRow(4), direct));
        EXPECT_EQ(-1, PreviousErrorRow(lines, *errors, CRow(1), direct));
    }
    // An extraction's rows: error line 4 sits at rows 1 and 3.
    CLineListRows picked = Rows({At(1, 0, 0), At(1, 0, 0), At(1, 0, 0), At(1, 0, 0)}, {3, 4, 5, 4});
    EXPECT_EQ(1, NextErrorRow(picked, *errors, CRow(0), false));
    EXPECT_EQ(3, NextErrorRow(picked, *errors, CRow(1), false));
    EXPECT_EQ(1, PreviousErrorRow(picked, *errors, CRow(3), false));

    // Intervals: 0, 1 s, 4 s, 0, wrapped (99 h), 1 s.
    EXPECT_EQ(2, NextSlowRow(lines, CRow(-1), 2000));
    EXPECT_EQ(4, NextSlowRow(lines, CRow(2), 2000));
    EXPECT_EQ(-1, NextSlowRow(lines, CRow(4), 2000));
    EXPECT_EQ(1, NextSlowRow(lines, CRow(0), 1000));
    EXPECT_EQ(0, NextSlowRow(lines, CRow(-1), 0));
    EXPECT_EQ(4, PreviousSlowRow(lines, CRow(5), 2000));
    EXPECT_EQ(2, PreviousSlowRow(lines, CRow(4), 2000));
    EXPECT_EQ(-1, PreviousSlowRow(lines, CRow(2), 2000));
    EXPECT_EQ(-1, PreviousSlowRow(lines, CRow(0), 0));
}

}  // namespace

namespace {

std::vector<std::string> LabelTexts(int64_t start, int64_t end, int width, int limit, bool dated) {
    CAxisLabel labels[64];
    int n = TimelineAxisLabels(start, end, width, limit, 7, dated, labels, 64);
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) out.push_back(std::to_string(labels[i].x) + " " + labels[i].text);
    return out;
}

// The labels under the bars: the shortest step whose labels fit apart, at whole steps from
// midnight (or month starts), a day's date at midnight, never overlapping one another or
// what stands at the axis's end, at any width and range.
TEST(TimelineAxisTest, LabelsStandAtWholeStepsAndNeverOverlap) {
    const int64_t day = kMillisecondsPerDay;
    const int64_t march4 = DaysFromCivil(2021, 3, 4) * day;
    // An hour over 400 pixels: ten minutes apart; 23:30 to 01:30: midnight names the day.
    EXPECT_EQ((std::vector<std::string>{"0 10:00", "66 10:10", "133 10:20", "200 10:30", "266 10:40", "333 10:50"}),
              LabelTexts(march4 + 10 * 3600000, march4 + 11 * 3600000, 400, 400, true));
    EXPECT_EQ((std::vector<std::string>{"0 23:30", "50 23:45", "100 03-05", "150 00:15", "200 00:30", "250 00:45",
                                        "300 01:00", "350 01:15"}),
              LabelTexts(march4 + 23 * 3600000 + 1800000, march4 + day + 5400000, 400, 400, true));
    // Months and years; times of day past midnight in a log without dates; an end kept free.
    EXPECT_EQ((std::vector<std::string>{"87 2021-05", "178 2021-07", "271 2021-09", "363 2021-11", "454 2022-01",
                                        "543 2022-03"}),
              LabelTexts(march4, march4 + 400 * day, 600, 600, true));
    EXPECT_EQ((std::vector<std::string>{"0 22:00", "100 24:00", "200 26:00"}),
              LabelTexts(22 * 3600000, 30 * 3600000, 400, 300, false));
    EXPECT_TRUE(LabelTexts(march4, march4 + 1, 0, 0, true).empty());

    std::mt19937_64 random(5);
    for (int round = 0; round < 3000; ++round) {
        bool dated = round % 4 != 0;
        int64_t start = dated ? march4 + static_cast<int64_t>(random() % (3000 * day)) - 1500 * day
                              : static_cast<int64_t>(random() % (3 * day));
        int64_t span = 1000 + static_cast<int64_t>(random() % (round % 3 == 0 ? 20000 * day : day));
        int width = 20 + static_cast<int>(random() % 3000);
        int limit = width - static_cast<int>(random() % 100);
        int charWidth = 4 + static_cast<int>(random() % 12);
        CAxisLabel labels[256];
        int n = TimelineAxisLabels(start, start + span, width, limit, charWidth, dated, labels, 256);
        for (int i = 0; i < n; ++i) {
            int chars = static_cast<int>(std::strlen(labels[i].text));
            ASSERT_GE(labels[i].key, start);
            ASSERT_LT(labels[i].key, start + span);
            ASSERT_LE(labels[i].x + chars * charWidth, limit);
            if (i > 0) {
                ASSERT_GT(labels[i].x, labels[i - 1].x + static_cast<int>(std::strlen(labels[i - 1].text)) * charWidth);
            }
            // Each names its own time: at midnight or a month's start the date, else the clock time.
            char whole[32];
            FormatStampKey(labels[i].key, dated, whole, sizeof whole);
            std::string text = labels[i].text;
            std::string clock = dated ? std::string(whole + 11) : std::string(whole);
            bool named = clock.compare(0, text.size(), text) == 0 || std::string(whole).find(text) != std::string::npos;
            ASSERT_TRUE(named) << text << " for " << whole;
        }
    }
}

TEST(TimelineAxisTest, BucketWidthsInTheirUnit) {
    int64_t count = 0;
    int unit = -1;
    const int64_t cases[][3] = {{1000, 1, 0},    {30000, 30, 0},    {60000, 1, 1},    {900000, 15, 1},
                                {3600000, 1, 2}, {43200000, 12, 2}, {86400000, 1, 3}, {3 * 86400000LL, 3, 3},
                                {500, 0, 0},     {90000, 90, 0}};
    for (const auto& c : cases) {
        BucketWidthUnit(c[0], &count, &unit);
        EXPECT_EQ(c[1], count) << c[0];
        EXPECT_EQ(c[2], unit) << c[0];
    }
}

}  // namespace

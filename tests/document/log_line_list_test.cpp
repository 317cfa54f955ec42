// The packed line list against a plain array of the same entries: random logs with long
// lines, runs of blank lines, time going back and jumping forward, stamps with and without
// a date; reading one, many and in order, cutting back, replacing the tail, and the runs
// that the loader's workers code apart and join.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "document/log_line.h"

namespace {

// A random log's entries as the loader would give them: line numbers in order (steps of
// one, or more in a list of some lines only), each stamp its own or the one before.
std::vector<CLogLine> RandomEntries(std::mt19937_64& rng, int count, bool sparse) {
    std::vector<CLogLine> v;
    CLogLine line;
    line.lineNumber = sparse ? static_cast<int64_t>(rng() % 1000) : 0;
    line.offset = rng() % 4;
    for (int i = 0; i < count; ++i) {
        switch (rng() % 8) {
            case 0:  // a long line: pieces of a cut line, or one of several MiB
                line.length = static_cast<int32_t>(rng() % 2 ? 2048 + rng() % 600000 : 0x7fffffff - rng() % 16);
                break;
            case 1:
                line.length = static_cast<int32_t>(1 + rng() % 7);
                break;
            default:
                line.length = static_cast<int32_t>(20 + rng() % 300);
        }
        switch (rng() % 10) {
            case 0:  // back in time, or to another day, or a stamp without a date
                line.timeStamp.milliseconds = static_cast<uint32_t>(rng() % 86400000);
                line.timeStamp.day = static_cast<uint8_t>(rng() % 3 == 0 ? 0 : 1 + rng() % 28);
                line.timeStamp.month = line.timeStamp.day == 0 ? 0 : static_cast<uint8_t>(1 + rng() % 12);
                line.timeStamp.year = line.timeStamp.day == 0 ? 0 : static_cast<uint16_t>(2000 + rng() % 30);
                break;
            case 1:  // a long pause
                line.timeStamp.milliseconds += static_cast<uint32_t>(60000 + rng() % 10000000);
                break;
            case 2:
            case 3:
            case 4:
                line.timeStamp.milliseconds += static_cast<uint32_t>(1 + rng() % (rng() % 2 ? 256 : 70000));
                break;
            default:  // the stamp of the line before
                break;
        }
        v.push_back(line);
        line.offset += static_cast<uint32_t>(line.length);
        if (rng() % 6 == 0) line.offset += rng() % 3 == 0 ? rng() % 100000 : 1 + rng() % 4;  // blank lines
        line.lineNumber += sparse ? 1 + static_cast<int64_t>(rng() % 5000) : 1;
    }
    return v;
}

// The entries, and each block header of a list of its own entries: the end, line number and
// stamp of the entry before the block (none before the first).
void ExpectSame(const std::vector<CLogLine>& expected, const CLogLineList& list, const char* what) {
    ASSERT_EQ(static_cast<int64_t>(expected.size()), list.Count()) << what;
    CLogLineReader reader(list, 0);
    CLogLine line;
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_TRUE(reader.Next(&line)) << what << " " << i;
        ASSERT_TRUE(line == expected[i]) << what << " entry " << i;
    }
    EXPECT_FALSE(reader.Next(&line)) << what;
    if (list.Index() != nullptr) return;
    for (int64_t b = 0;; b = list.NextBlockStart(b)) {
        CLogLine before;
        before.lineNumber = -1;
        if (b > 0) before = expected[static_cast<size_t>(b - 1)];
        const CLineBlock& header = list.HeaderAt(b);
        ASSERT_EQ(before.offset + static_cast<uint32_t>(before.length), header.end) << what << " block at " << b;
        ASSERT_EQ(before.lineNumber, header.lineNumber) << what << " block at " << b;
        ASSERT_TRUE(before.timeStamp == header.stamp) << what << " block at " << b;
        if (b == list.Count()) break;
    }
}

TEST(CLogLineListTest, GivesBackExactlyWhatWasAppendedHoweverItIsRead) {
    std::mt19937_64 rng(20261209);
    for (int round = 0; round < 12; ++round) {
        bool sparse = round % 3 == 2;
        int count = 1 + static_cast<int>(rng() % (round < 2 ? 300 : 5000));
        std::vector<CLogLine> entries = RandomEntries(rng, count, sparse);
        CLogLineList list;
        for (const CLogLine& e : entries) ASSERT_EQ(1, list.Append(e));
        ExpectSame(entries, list, "appended");
        EXPECT_LT(list.MemoryBytes(), 64u * entries.size() + (3u << 20));
        // A short list (error lines, a small file's chunk) takes no whole segment of 1 MiB,
        // and a list of a few lines not even a block's room.
        if (entries.size() <= 300) {
            EXPECT_LT(list.MemoryBytes(), 64u << 10) << entries.size();
        }
        if (round == 0) {
            CLogLineList few;
            for (int i = 0; i < 3; ++i) ASSERT_EQ(1, few.Append(i, CTimeStamp(), 100u * i, 50));
            EXPECT_LT(few.MemoryBytes(), 1024u);
            // Shrunk to its few bytes, it takes entries of any size again.
            few.ShrinkToFit();
            std::vector<CLogLine> more = {few[0], few[1], few[2]};
            for (const CLogLine& e : RandomEntries(rng, 300, true)) {
                CLogLine moved = e;
                moved.lineNumber += 3;
                moved.offset += 200;
                more.push_back(moved);
                ASSERT_EQ(1, few.Append(moved));
            }
            ExpectSame(more, few, "shrunk, then grown");
        }

        // One at a time at random, many at once from anywhere, and a reader moved about.
        auto n = static_cast<int64_t>(entries.size());
        CLogLine line;
        for (int k = 0; k < 200; ++k) {
            int64_t i = static_cast<int64_t>(rng() % static_cast<uint64_t>(n));
            ASSERT_TRUE(list.Get(i, &line));
            ASSERT_TRUE(line == entries[static_cast<size_t>(i)]) << i;
        }
        EXPECT_FALSE(list.Get(n, &line));
        EXPECT_FALSE(list.Get(-1, &line));
        std::vector<CLogLine> out(300);
        int64_t first = static_cast<int64_t>(rng() % static_cast<uint64_t>(n));
        int64_t got = list.Read(first, 300, out.data());
        ASSERT_EQ(n - first < 300 ? n - first : 300, got);
        for (int64_t k = 0; k < got; ++k)
            ASSERT_TRUE(out[static_cast<size_t>(k)] == entries[static_cast<size_t>(first + k)]);
        CLogLineReader reader(list, 0);
        for (int k = 0; k < 100; ++k) {
            int64_t i = static_cast<int64_t>(rng() % static_cast<uint64_t>(n));
            reader.Seek(i);
            ASSERT_TRUE(reader.Next(&line));
            ASSERT_TRUE(line == entries[static_cast<size_t>(i)]) << "seek " << i;
        }

        // Cut back anywhere (a block's start, inside one), then grow again with other entries,
        // also once shrunk to fit (a followed log's error lines, complete until it grows).
        int64_t keep = round % 4 == 0 ? (n / kLineBlockEntries) * kLineBlockEntries
                                      : static_cast<int64_t>(rng() % static_cast<uint64_t>(n));
        list.Truncate(keep);
        entries.resize(static_cast<size_t>(keep));
        ExpectSame(entries, list, "cut back");
        if (round % 2 == 1) list.ShrinkToFit();
        for (const CLogLine& e : RandomEntries(rng, 700, sparse)) {
            CLogLine moved = e;
            moved.lineNumber += entries.empty() ? 0 : entries.back().lineNumber + 1;
            moved.offset += entries.empty() ? 0 : entries.back().offset + 1000;
            entries.push_back(moved);
            ASSERT_EQ(1, list.Append(moved));
        }
        ExpectSame(entries, list, "grown again");
    }
}

TEST(CLogLineListTest, ReplacingTheTailAndTheLimitKeepEveryOtherEntry) {
    std::mt19937_64 rng(7);
    std::vector<CLogLine> entries = RandomEntries(rng, 1000, false);
    CLogLineList list;
    for (const CLogLine& e : entries) list.Append(e);
    // A followed log: the entries numbered 990 and above give way to the grown ones.
    CLogLineList more;
    std::vector<CLogLine> grown(entries.begin(), entries.begin() + 990);
    for (int k = 0; k < 300; ++k) {
        CLogLine e = entries[990];
        e.lineNumber = 990 + k;
        e.offset += static_cast<uint64_t>(k) * 50;
        e.length = 50;
        more.Append(e);
        grown.push_back(e);
    }
    ASSERT_EQ(1, ReplaceTail(&list, 990, more));
    ExpectSame(grown, list, "tail replaced");
    // A list that may not grow keeps what it had.
    g_lineListLimit = 1250;
    EXPECT_EQ(0, ReplaceTail(&list, 1200, more));
    g_lineListLimit = 0;
    ExpectSame(grown, list, "tail kept");
    g_lineListLimit = 10;
    EXPECT_EQ(0, list.Append(entries[0]));
    g_lineListLimit = 0;
    ExpectSame(grown, list, "limit reached");
}

// The runs of the index line up with its blocks; those of the error lines (few, numbered
// sparsely) start at 0 and join wherever the list ends. Runs often meet at a block's start.
TEST(CLogLineListTest, RunsCodedApartJoinAsOneList) {
    std::mt19937_64 rng(42);
    for (int round = 0; round < 20; ++round) {
        bool sparse = round % 4 == 3;
        std::vector<CLogLine> entries = RandomEntries(rng, 2000 + static_cast<int>(rng() % 3000), sparse);
        // Each run holds a stretch of the entries; the stamps before its first own one
        // are not known to it and come with the join.
        CLogLineList joined;
        size_t at = 0;
        CTimeStamp carried;
        while (at < entries.size()) {
            size_t size = rng() % 3 == 0 ? rng() % 40 : rng() % 900;
            if (rng() % 2 == 0) size += kLineBlockEntries - (at + size) % kLineBlockEntries;
            size_t end = at + size < entries.size() ? at + size : entries.size();
            size_t lead = at + static_cast<size_t>(rng() % (size + 2));
            if (lead > end) lead = end;
            CLogLineList run;
            run.StartRun(sparse ? 0 : static_cast<int64_t>(at));
            for (size_t i = at; i < end; ++i) {
                CLogLine e = entries[i];
                if (i < lead) e.timeStamp = CTimeStamp();
                if (i == lead) run.CodeNextStampWhole();
                ASSERT_EQ(1, run.Append(e));
            }
            // A lead line holds the stamp carried into the run; a line from the lead on, its own.
            for (size_t i = at; i < lead; ++i) entries[i].timeStamp = carried;
            ASSERT_EQ(1, joined.JoinRun(&run, static_cast<int64_t>(lead - at), carried));
            EXPECT_EQ(0, run.Count());
            if (lead < end) carried = entries[end - 1].timeStamp;
            at = end;
        }
        ExpectSame(entries, joined, "joined");
        CLogLine last = entries.back();
        last.lineNumber += 1;
        last.offset += 1000;
        ASSERT_EQ(1, joined.Append(last));
        EXPECT_TRUE(joined[joined.Count() - 1] == last);
    }
}

}  // namespace

namespace {

TEST(CLogLineListTest, AReferenceListGivesTheIndexEntriesOfItsRowsAndNarrowsTheirCost) {
    std::mt19937_64 rng(5);
    std::vector<CLogLine> entries = RandomEntries(rng, 3000, false);
    auto index = std::make_shared<CLogLineList>();
    for (const CLogLine& e : entries) index->Append(e);
    // An extraction with context: rows ascending, some again and some back.
    std::vector<int64_t> rows;
    for (int64_t r = 0; r < 3000; r += 1 + static_cast<int64_t>(rng() % 40)) {
        rows.push_back(r);
        if (r >= 2) rows.push_back(r - 2);
    }
    CLogLineList refs;
    refs.ReferTo(index);
    std::vector<CLogLine> expected;
    for (int64_t r : rows) {
        ASSERT_EQ(1, refs.Append((*index)[r]));
        expected.push_back(entries[static_cast<size_t>(r)]);
    }
    ExpectSame(expected, refs, "references");
    EXPECT_LE(refs.MemoryBytes(), 8 * rows.size());
    refs.ShrinkToFit();
    EXPECT_EQ(4 * rows.size(), refs.MemoryBytes());
    // A reference to a reference list refers to the index itself; a list kept as references.
    auto again = std::make_shared<CLogLineList>();
    again->ReferTo(index);
    CLogLineList second;
    second.ReferTo(again);
    EXPECT_EQ(index, second.Index());
    CLogLineList kept;
    for (int64_t r : rows) kept.Append((*index)[r]);
    ASSERT_EQ(1, kept.ReferKeeping(index));
    ExpectSame(expected, kept, "kept as references");
    // Cut back and a row beyond 32 bits (no such row here: it reads as nothing).
    refs.Truncate(10);
    expected.resize(10);
    ExpectSame(expected, refs, "cut back");
    CLogLine far;
    far.lineNumber = 5000000000LL;
    ASSERT_EQ(1, refs.Append(far));
    EXPECT_EQ(11, refs.Count());
    CLogLine line;
    EXPECT_FALSE(refs.Get(10, &line));
    ASSERT_TRUE(refs.Get(9, &line));
    EXPECT_TRUE(line == expected[9]);
}

}  // namespace

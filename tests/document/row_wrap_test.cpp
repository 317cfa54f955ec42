// Wrapping long rows: break positions by the rules (blanks, wide and zero-width units, units
// wider than the width), checked against every line's sum on random texts too; moves over
// visual lines that ask only for the rows they pass; the cache of line counts.
#include "document/row_wrap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// Widths of a fixed-pitch font: 2 cells above U+00FF, the second half of a pair 0.
std::vector<int32_t> CellWidths(const std::u16string& text) {
    std::vector<int32_t> widths;
    for (char16_t c : text) widths.push_back(c >= 0xDC00 && c <= 0xDFFF ? 0 : (c > 0xFF ? 2 : 1));
    return widths;
}

std::vector<std::u16string> Lines(const std::u16string& text, int32_t width) {
    std::vector<int32_t> widths = CellWidths(text);
    CRowWrap wrap;
    EXPECT_EQ(1, wrap.Wrap(text.data(), widths.data(), static_cast<int>(text.size()), width));
    std::vector<std::u16string> lines;
    for (int k = 0; k < wrap.LineCount(); ++k) {
        lines.push_back(text.substr(static_cast<size_t>(wrap.LineStart(k)),
                                    static_cast<size_t>(wrap.LineEnd(k) - wrap.LineStart(k))));
    }
    return lines;
}

using L = std::vector<std::u16string>;

TEST(RowWrap, BreaksAfterBlanksOrWhereTheWidthEnds) {
    EXPECT_EQ((L{u"short"}), Lines(u"short", 10));
    EXPECT_EQ((L{u""}), Lines(u"", 10));
    EXPECT_EQ((L{u"aaaa bbbb ", u"cccc"}), Lines(u"aaaa bbbb cccc", 10));
    EXPECT_EQ((L{u"aaaa\tbb ", u"ccccc"}), Lines(u"aaaa\tbb ccccc", 10));
    // A word longer than the width is cut; so is a line whose only blank comes too early.
    EXPECT_EQ((L{u"abcd", u"efgh", u"ij"}), Lines(u"abcdefghij", 4));
    EXPECT_EQ((L{u"a bcdefg", u"hijk"}), Lines(u"a bcdefghijk", 8));
    EXPECT_EQ((L{u"abc ", u"   "}), Lines(u"abc    ", 4));
    // Wide units take two cells; a pair's second half stays with its first.
    EXPECT_EQ((L{u"日本", u"語テ", u"キス", u"ト"}), Lines(u"日本語テキスト", 5));
    EXPECT_EQ((L{u"a", u"\U0001F600", u"b"}), Lines(u"a\U0001F600b", 2));
    // A unit wider than the width has a line of its own, never none.
    EXPECT_EQ((L{u"日", u"本", u"a"}), Lines(u"日本a", 1));
    EXPECT_EQ((L{u"\U0001F600", u"x"}), Lines(u"\U0001F600x", 1));

    std::u16string text = u"aaaa bbbb cccc";
    std::vector<int32_t> widths = CellWidths(text);
    CRowWrap wrap;
    wrap.Wrap(text.data(), widths.data(), 14, 10);
    EXPECT_EQ(0, wrap.LineOf(0));
    EXPECT_EQ(0, wrap.LineOf(9));
    EXPECT_EQ(1, wrap.LineOf(10));  // a line's first unit starts it
    EXPECT_EQ(1, wrap.LineOf(14));  // the end belongs to the last line
    EXPECT_EQ(14, wrap.LineEnd(1));
    // Wrapping again starts afresh.
    wrap.Wrap(text.data(), widths.data(), 14, 100);
    EXPECT_EQ(1, wrap.LineCount());
    EXPECT_EQ(14, wrap.LineEnd(0));
}

// Random texts of narrow, wide, blank and paired units: the lines cover the text in order,
// none is wider than the width unless it holds one unit (with its zero-width followers),
// none starts with a zero-width unit, and a line ends early only after a blank that lets it
// fill half the width.
TEST(RowWrap, RandomTextsKeepTheRules) {
    std::mt19937 random(7);
    const std::u16string alphabet = u"ab \tx日語";
    for (int round = 0; round < 3000; ++round) {
        std::u16string text;
        int n = static_cast<int>(random() % 120);
        while (static_cast<int>(text.size()) < n) {
            if (random() % 10 == 0) {
                text += u"\U0001F600";
            } else {
                text += alphabet[random() % alphabet.size()];
            }
        }
        int32_t width = 1 + static_cast<int32_t>(random() % 30);
        std::vector<int32_t> widths = CellWidths(text);
        CRowWrap wrap;
        ASSERT_EQ(1, wrap.Wrap(text.data(), widths.data(), static_cast<int>(text.size()), width));
        int expectStart = 0;
        for (int k = 0; k < wrap.LineCount(); ++k) {
            int start = wrap.LineStart(k);
            int end = wrap.LineEnd(k);
            ASSERT_EQ(expectStart, start) << round;
            ASSERT_TRUE(end > start || text.empty()) << round;
            ASSERT_EQ(k, wrap.LineOf(start)) << round;
            int32_t used = 0;
            int units = 0;
            for (int i = start; i < end; ++i) {
                used += widths[static_cast<size_t>(i)];
                units += widths[static_cast<size_t>(i)] > 0 ? 1 : 0;
            }
            ASSERT_TRUE(used <= width || units == 1) << round << " line " << k;
            if (start > 0) {
                ASSERT_GT(widths[static_cast<size_t>(start)], 0) << round;
            }
            // A line that is not the last and ends before its width is full ends after a
            // blank, or the next unit would not have fitted.
            if (k + 1 < wrap.LineCount() && used + widths[static_cast<size_t>(end)] <= width) {
                char16_t last = text[static_cast<size_t>(end - 1)];
                ASSERT_TRUE(last == u' ' || last == u'\t') << round << " line " << k;
                ASSERT_GE(used * 2, width) << round;
            }
            expectStart = end;
        }
        ASSERT_EQ(static_cast<int>(text.size()), expectStart) << round;
    }
}

// Rows of the given line counts; remembers which rows it was asked for.
class FakeCounter : public CLineCounter {
public:
    explicit FakeCounter(std::vector<int32_t> counts) : m_counts(std::move(counts)) {}
    int32_t LinesOf(int64_t row) override {
        asked.insert(row);
        return row < static_cast<int64_t>(m_counts.size()) ? m_counts[static_cast<size_t>(row)] : 1;
    }
    std::set<int64_t> asked;

private:
    std::vector<int32_t> m_counts;
};

std::pair<int64_t, int32_t> Move(CWrapPlace from, int64_t delta, int64_t rows, CLineCounter& counter,
                                 int64_t* moved = nullptr) {
    CWrapPlace to = MoveWrapPlace(from, delta, rows, counter, moved);
    return {to.row, to.line};
}

TEST(RowWrap, MovesOverVisualLinesStopAtTheEnds) {
    // Rows of 3, 1, 1, 5 and 2 lines: 12 lines, numbered 0..11.
    FakeCounter counter({3, 1, 1, 5, 2});
    int64_t moved = 0;
    EXPECT_EQ((std::pair<int64_t, int32_t>{2, 0}), Move({0, 0}, 4, 5, counter, &moved));
    EXPECT_EQ(4, moved);
    EXPECT_EQ((std::pair<int64_t, int32_t>{3, 4}), Move({0, 1}, 8, 5, counter));
    EXPECT_EQ((std::pair<int64_t, int32_t>{4, 1}), Move({0, 1}, 100, 5, counter, &moved));
    EXPECT_EQ(10, moved);
    EXPECT_EQ((std::pair<int64_t, int32_t>{0, 2}), Move({3, 2}, -5, 5, counter));
    EXPECT_EQ((std::pair<int64_t, int32_t>{0, 0}), Move({1, 0}, -10, 5, counter, &moved));
    EXPECT_EQ(-3, moved);
    EXPECT_EQ((std::pair<int64_t, int32_t>{3, 2}), Move({3, 2}, 0, 5, counter, &moved));
    EXPECT_EQ(0, moved);
    // A line beyond its row is the row's last; a row beyond the rows is the last line.
    EXPECT_EQ((std::pair<int64_t, int32_t>{1, 0}), Move({0, 9}, 1, 5, counter));
    EXPECT_EQ((std::pair<int64_t, int32_t>{4, 1}), Move({7, 0}, 0, 5, counter));
    EXPECT_EQ((std::pair<int64_t, int32_t>{0, 0}), Move({-3, 0}, 0, 5, counter));
    EXPECT_EQ((std::pair<int64_t, int32_t>{0, 0}), Move({2, 0}, 5, 0, counter));

    // Among billions of rows only the rows passed are counted.
    FakeCounter many({});
    int64_t rows = int64_t{3} << 40;
    EXPECT_EQ((std::pair<int64_t, int32_t>{rows / 2 + 40, 0}), Move({rows / 2, 0}, 40, rows, many));
    EXPECT_EQ((std::pair<int64_t, int32_t>{rows - 1, 0}), Move({rows - 1, 0}, 40, rows, many));
    EXPECT_EQ(42u, many.asked.size());
}

TEST(RowWrap, TheCacheKeepsARowUntilAnotherTakesItsSlotOrAllAreForgotten) {
    CLineCountCache cache;
    EXPECT_EQ(0, cache.Find(5));
    cache.Keep(5, 3);
    cache.Keep(int64_t{1} << 40, 7);
    EXPECT_EQ(3, cache.Find(5));
    EXPECT_EQ(7, cache.Find(int64_t{1} << 40));
    EXPECT_EQ(0, cache.Find(5 + CLineCountCache::kSlots));
    cache.Keep(5 + CLineCountCache::kSlots, 2);
    EXPECT_EQ(0, cache.Find(5));
    EXPECT_EQ(2, cache.Find(5 + CLineCountCache::kSlots));
    cache.Forget();
    EXPECT_EQ(0, cache.Find(5 + CLineCountCache::kSlots));
    EXPECT_EQ(0, cache.Find(int64_t{1} << 40));
}

}  // namespace

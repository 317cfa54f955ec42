// The search condition: storage of its texts and the AND / OR line test.
#include "search/search_condition.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "search/regex.h"

namespace {

int M(const CSearchCondition& c, const std::u16string& line) {
    return c.Matches(line.data(), static_cast<int>(line.size()));
}

TEST(SearchConditionTest, WithoutTextsNothingMatches) {
    CSearchCondition c;
    EXPECT_EQ(0, M(c, u"anything"));
    c.SetMatchAll(1);
    EXPECT_EQ(0, M(c, u"anything"));
}

TEST(SearchConditionTest, MatchingIsExactAndCaseSensitive) {
    CSearchCondition c;
    ASSERT_EQ(1, c.Add(u"Error"));
    EXPECT_EQ(0, M(c, u"ERROR: disk full"));
    EXPECT_EQ(1, M(c, u"an Error\r\n"));
    EXPECT_EQ(1, M(c, u"Error"));
    EXPECT_EQ(0, M(c, u"Erro"));
    EXPECT_EQ(0, M(c, u""));
}

TEST(SearchConditionTest, AndNeedsEveryTextOrNeedsOne) {
    CSearchCondition c;
    c.Add(u"a");
    c.Add(u"bc");
    c.SetMatchAll(1);
    EXPECT_EQ(1, M(c, u"xx bc a"));
    EXPECT_EQ(0, M(c, u"only a"));
    EXPECT_EQ(0, M(c, u"only bc"));
    c.SetMatchAll(0);
    EXPECT_EQ(1, M(c, u"only a"));
    EXPECT_EQ(1, M(c, u"only bc"));
    EXPECT_EQ(0, M(c, u"neither b c"));
    // A text at the very end and texts in Japanese.
    c.Clear();
    c.Add(u"エラー");
    EXPECT_EQ(1, M(c, u"接続エラー"));
}

// A text marked kNot leaves out the lines holding it, under AND or OR; alone, such texts keep
// every other line but an empty one. They are never highlighted.
TEST(SearchConditionTest, NotTextsLeaveLinesOut) {
    CSearchCondition c;
    c.Add(u"a");
    c.Add(u"debug", kNot | kMatchCase);
    c.Add(u"b");
    c.Add(u"T.ACE", kNot | kRegex);
    EXPECT_EQ(2, c.PositiveCount());
    EXPECT_EQ(0, M(c, u"b debug"));  // OR: a later kNot text still counts after a hit
    EXPECT_EQ(1, M(c, u"b DEBUG"));
    EXPECT_EQ(0, M(c, u"a TRACE"));
    EXPECT_EQ(0, M(c, u"nothing"));
    c.SetMatchAll(1);
    EXPECT_EQ(0, M(c, u"only a"));
    EXPECT_EQ(1, M(c, u"a b"));
    EXPECT_EQ(0, M(c, u"a b debug"));
    EXPECT_EQ(1, c.MatchesAtStart(u"b", 1));
    EXPECT_EQ(0, c.MatchesAtStart(u"debug", 5));
    c.Clear();
    c.Add(u"DEBUG", kNot);
    c.Add(u"TRACE", kNot);
    for (int all : {0, 1}) {
        c.SetMatchAll(all);
        EXPECT_EQ(1, M(c, u"x"));
        EXPECT_EQ(0, M(c, u"x DEBUG"));
        EXPECT_EQ(0, M(c, u"TRACE x"));
        EXPECT_EQ(0, M(c, u""));
    }
}

TEST(SearchConditionTest, ClearResetsTextsAndFlagAndSlotsAreLimitedToTen) {
    CSearchCondition c;
    EXPECT_EQ(0, c.Add(u""));
    for (int i = 0; i < kMaxConditionTexts; ++i)
        EXPECT_EQ(1, c.Add(std::u16string(1, static_cast<char16_t>(u'a' + i)).c_str()));
    EXPECT_EQ(0, c.Add(u"z"));
    EXPECT_EQ(10, c.Count());
    int n = 0;
    EXPECT_EQ(std::u16string(u"c"), std::u16string(c.WideText(2, &n)));
    EXPECT_EQ(1, n);
    EXPECT_EQ(nullptr, c.WideText(10, &n));
    c.SetMatchAll(1);
    c.Clear();
    EXPECT_EQ(0, c.Count());
    EXPECT_EQ(0, c.MatchAll());
    EXPECT_EQ(nullptr, c.Text(0));
}

// Ignoring case folds both sides with simple case folding: letters of every script, the
// characters that fold to ASCII, supplementary letters (through their surrogate pair),
// and no full foldings (one character never matches two).
TEST(SearchConditionTest, IgnoringCaseFoldsWithSimpleCaseFolding) {
    struct Case {
        const char16_t* text;
        const char16_t* line;
        int expected;
    } cases[] = {
        {u"error", u"an ERROR here", 1},
        {u"ΣΊΣΥΦΟΣ", u"σίσυφος", 1},  // final sigma folds like sigma
        {u"ПРИВЕТ", u"привет", 1},
        {u"ｅｒｒｏｒ", u"ＥＲＲＯＲ", 1},  // full-width letters
        {u"k", u"K", 1},                    // the Kelvin sign
        {u"STRASSE", u"straſse", 1},        // the long s
        {u"ẞ", u"groß", 1},                 // capital sharp s
        {u"strasse", u"straße", 0},         // sharp s is one character, not two
        {u"i", u"İ", 0},                    // dotted capital I has no simple folding
        {u"Ꭰ", u"ꭰ", 1},                  // Cherokee
        {u"𐐀", u"x𐐨y", 1},                  // Deseret, beyond the BMP
        {u"𐐀", u"x𐐩y", 0},
        {u"aß", u"Aẞ", 1},
    };
    for (const Case& c : cases) {
        CSearchCondition condition;
        ASSERT_EQ(1, condition.Add(c.text, 0));
        EXPECT_EQ(c.expected, M(condition, c.line)) << std::u16string(c.text).size();
        condition.Clear();
        ASSERT_EQ(1, condition.Add(c.text));
        EXPECT_EQ(std::u16string(c.text) == c.line ? 1 : 0, M(condition, c.line));
    }
    // Each text keeps its own rule; the highlight's test at a token's start follows them.
    CSearchCondition c;
    c.Add(u"Warn", kMatchCase);
    c.Add(u"fail", 0);
    EXPECT_EQ(0, M(c, u"WARN"));
    EXPECT_EQ(1, M(c, u"FAILED"));
    EXPECT_EQ(1, c.MatchesAtStart(u"FAILED", 6));
    EXPECT_EQ(0, c.MatchesAtStart(u"xFAILED", 7));
    EXPECT_EQ(0, c.MatchesAtStart(u"WARNING", 7));
    EXPECT_EQ(1, c.MatchesAtStart(u"Warning", 7));
    EXPECT_EQ(0, c.MatchesAtStart(u"Fai", 3));
    int length = 0;
    EXPECT_EQ(std::u16string(u"fail"), c.ComparedText(1, &length));
    EXPECT_EQ(u'W', c.ComparedText(0, &length)[0]);
}

// Regular expressions: PCRE2's syntax on the line, "$" before the line's break, ignoring
// case, the highlight's anchored test, invalid UTF-16 lines, and refused patterns.
TEST(SearchConditionTest, RegularExpressionsMatchLinesAndReportTheirErrors) {
    CSearchCondition c;
    ASSERT_EQ(1, c.Add(u"time(out)?\\b|refused$", kRegex | kMatchCase));
    EXPECT_EQ(1, M(c, u"read timeout after 5 s\r\n"));
    EXPECT_EQ(1, M(c, u"connection refused\r\n"));
    EXPECT_EQ(0, M(c, u"connection refused twice\r\n"));
    EXPECT_EQ(0, M(c, u"TIMEOUT\r\n"));
    EXPECT_EQ(1, M(c, u"\xD800 lone surrogate, time\n"));
    EXPECT_EQ(1, c.MatchesAtStart(u"timeout=5", 9));
    EXPECT_EQ(0, c.MatchesAtStart(u"xtimeout", 8));
    c.Clear();
    ASSERT_EQ(1, c.Add(u"エラー.*db-0[0-9]", kRegex));
    EXPECT_EQ(1, M(c, u"エラー: 接続できません (db-02:5432)"));
    c.Clear();
    ASSERT_EQ(1, c.Add(u"straẞe|ERROR", kRegex));
    EXPECT_EQ(1, M(c, u"Error"));
    EXPECT_EQ(1, M(c, u"STRASSE") + M(c, u"strasse") + M(c, u"Straße"));
    CPatternError error;
    EXPECT_EQ(0, c.Add(u"a(b", kRegex | kMatchCase, &error));
    EXPECT_EQ(3, error.offset);
    EXPECT_NE(u'\0', error.message[0]);
    EXPECT_EQ(1, c.Count());
    EXPECT_EQ(0, c.Add(u"x{2,1}", kRegex, &error));
    EXPECT_EQ(5, error.offset);
}

// A pattern that backtracks without end on a line stops at PCRE2's limit: the line counts
// as not matching, the hit is counted, and the next line is matched as usual. The view's
// highlighting meets the same limit without adding to the count a scan reports.
TEST(SearchConditionTest, ALineThatReachesTheMatchLimitDoesNotMatch) {
    CSearchCondition c;
    ASSERT_EQ(1, c.Add(u"(a|aa)+$", kRegex | kMatchCase));
    std::u16string hard(64, u'a');
    hard += u"!";
    EXPECT_EQ(0, M(c, hard));
    EXPECT_EQ(1, c.LimitHits());
    EXPECT_EQ(1, M(c, u"aaa"));
    EXPECT_EQ(0, c.MatchesAtStart(hard.data(), static_cast<int>(hard.size())));
    EXPECT_EQ(1, c.LimitHits());
}

// Lines of a few thousand characters need more backtracking room than PCRE2's default JIT
// stack: each thread's stack grows, so they match on any thread and no limit is reported.
TEST(SearchConditionTest, LongLinesMatchWithoutReachingALimit) {
    CSearchCondition c;
    ASSERT_EQ(1, c.Add(u"(?:.)*END", kRegex | kMatchCase));
    std::u16string line = std::u16string(4997, u'x') + u"END\r\n";
    int helper = 0;
    std::thread thread([&] { helper = M(c, line); });
    thread.join();
    EXPECT_EQ(1, helper);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(1, M(c, line));
    EXPECT_EQ(0, M(c, std::u16string(5000, u'x')));
    EXPECT_EQ(0, c.LimitHits());
}

TEST(SearchConditionTest, PatternsOfLiteralAlternativesAreKnown) {
    int starts[4], lengths[4];
    EXPECT_EQ(2, LiteralAlternatives(u"timeout|refused", 15, starts, lengths, 4));
    EXPECT_EQ(8, starts[1]);
    EXPECT_EQ(7, lengths[1]);
    EXPECT_EQ(1, LiteralAlternatives(u"a b", 3, starts, lengths, 4));
    for (const char16_t* other : {u"a||b", u"|a", u"a.b", u"a\\|b", u"(a)", u"a*", u"a|b|c|d|e"}) {
        EXPECT_EQ(0, LiteralAlternatives(other, static_cast<int>(std::u16string(other).size()), starts, lengths, 4));
    }
}

}  // namespace

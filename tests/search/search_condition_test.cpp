// The search condition: storage of its texts and the AND / OR line test.
#include "search/search_condition.h"

#include <gtest/gtest.h>

#include <string>

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

TEST(SearchConditionTest, ClearResetsTextsAndFlagAndSlotsAreLimitedToTen) {
    CSearchCondition c;
    EXPECT_EQ(0, c.Add(u""));
    for (int i = 0; i < kMaxConditionTexts; ++i) EXPECT_EQ(1, c.Add(std::u16string(1, static_cast<char16_t>(u'a' + i)).c_str()));
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

}  // namespace

// Command-line tokenising: quotes, runs of blanks, unterminated and empty quotes.
#include "foundation/command_line.h"

#include <gtest/gtest.h>

namespace {

using Tokens = std::vector<std::u16string>;

TEST(SplitCommandLineTest, QuotedPathWithSpaceThenPlainName) {
    EXPECT_EQ((Tokens{u"C:\\my logs\\a.log", u"b.log"}), SplitCommandLine(u"\"C:\\my logs\\a.log\" b.log"));
}

TEST(SplitCommandLineTest, BlanksAndEmptyQuotesYieldNoTokens) {
    EXPECT_EQ((Tokens{u"a", u"b"}), SplitCommandLine(u"   a    b   "));
    EXPECT_EQ((Tokens{u"x"}), SplitCommandLine(u"\"\" x \"\""));
    EXPECT_EQ(Tokens{}, SplitCommandLine(u""));
    EXPECT_EQ(Tokens{}, SplitCommandLine(nullptr));
}

TEST(SplitCommandLineTest, UnclosedQuoteTakesTheRest) {
    EXPECT_EQ((Tokens{u"a", u"b c  d"}), SplitCommandLine(u"a \"b c  d"));
    // A quote inside a plain token is kept; the closing quote ends a quoted token at once.
    EXPECT_EQ((Tokens{u"a\"b", u"c", u"d"}), SplitCommandLine(u"a\"b \"c\"d"));
}

}  // namespace

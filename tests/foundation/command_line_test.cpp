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

TEST(ParseViewerArgumentsTest, OptionsAnywhereAndPathsAsBefore) {
    CViewerArguments a = ParseViewerArguments(SplitCommandLine(u"--line 42 \"C:\\my logs\\a.log\" --follow b.log"));
    EXPECT_EQ((Tokens{u"C:\\my logs\\a.log", u"b.log"}), a.paths);
    EXPECT_EQ(42, a.line);
    EXPECT_TRUE(a.follow);
    // Without a positive number "--line" is dropped and what follows stays a path.
    for (const char16_t* line :
         {u"a.log --line", u"a.log --line 0", u"a.log --line x.log", u"a.log --line 99999999999"}) {
        CViewerArguments b = ParseViewerArguments(SplitCommandLine(line));
        EXPECT_EQ(0, b.line);
        EXPECT_FALSE(b.follow);
        EXPECT_EQ(u"a.log", b.paths.front());
    }
    EXPECT_EQ((Tokens{u"a.log", u"x.log"}), ParseViewerArguments(SplitCommandLine(u"a.log --line x.log")).paths);
}

}  // namespace

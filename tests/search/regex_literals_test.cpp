// The literal derivation: the sets it must find, and the patterns where any set would lose
// matches (so that it must give none) or where its reading could go wrong.
#include "search/regex_literals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The set as "a|b" in sorted order ("i:" before it when folded), or "none".
std::string Derive(const std::u16string& pattern, bool ignoreCase = false) {
    CLiteralSet set;
    if (!DeriveLiterals(pattern.data(), static_cast<int>(pattern.size()), ignoreCase, &set)) return "none";
    std::vector<std::string> items;
    for (int i = 0; i < set.count; ++i) {
        std::string s;
        for (int k = 0; k < set.items[i].length; ++k) {
            char16_t u = set.items[i].units[k];
            s += u < 0x80 ? static_cast<char>(u) : '#';
        }
        items.push_back(s);
    }
    std::sort(items.begin(), items.end());
    std::string joined = set.folded ? "i:" : "";
    for (size_t i = 0; i < items.size(); ++i) joined += (i > 0 ? "|" : "") + items[i];
    return joined;
}

TEST(RegexLiteralsTest, FindsTheTextsEveryMatchHolds) {
    EXPECT_EQ("refused|timeout", Derive(u"timeout|refused"));
    EXPECT_EQ("refused|timed out|timedout|timeout", Derive(u"time(d ?)?out|refused"));
    EXPECT_EQ("id=", Derive(u"id=[0-9]{5}99"));
    EXPECT_EQ("i:connection refused|connection reset", Derive(u"(?i)connection (reset|refused)"));
    EXPECT_EQ("i:error", Derive(u"ERROR", true));
    EXPECT_EQ("i:abc", Derive(u"a(?i)bC"));  // caseless anywhere folds the whole set
    EXPECT_EQ("err1|err2|err3", Derive(u"\\berr[1-3]\\b"));
    EXPECT_EQ("a.b|a\\b", Derive(u"a[.\\\\]b"));
    EXPECT_EQ("abab", Derive(u"(?:ab){2}"));
    EXPECT_EQ("Timeout", Derive(u"^.*Timeout\\s+\\d+ ms$"));
    EXPECT_EQ("a", Derive(u"(a)\\1"));
    EXPECT_EQ("ba|fo|foo", Derive(u"\\bfoo?\\b|bar*"));
    EXPECT_EQ("foo", Derive(u"(?<name>foo)\\k<name>(?=bar)"));  // the lookahead consumes nothing
    EXPECT_EQ("a{b", Derive(u"a{b"));
    EXPECT_EQ("x}", Derive(u"x}"));
    EXPECT_EQ("tab\tA", Derive(u"tab\\t\\x41"));
    EXPECT_EQ("#t#", Derive(u"\u00E9t\u00E9"));  // beyond ASCII, kept when case matters
}

// Exact: the pattern matches wherever one of the texts occurs, so a line holding one needs
// no regular expression; an assertion or an option leaves it to PCRE2.
TEST(RegexLiteralsTest, TellsWhenTheSetIsAllThePatternMatches) {
    for (const char16_t* p : {u"time(d ?)?out|refused", u"err[1-3]", u"(?:ab){2}", u"a(?#note)b"}) {
        CLiteralSet set;
        std::u16string s(p);
        ASSERT_EQ(1, DeriveLiterals(s.data(), static_cast<int>(s.size()), false, &set));
        EXPECT_TRUE(set.exact);
    }
    for (const char16_t* p : {u"\\bfoo", u"^foo|bar", u"foo(?=x)", u"(?i)foo", u"foo\\d", u"(?s:foo)"}) {
        CLiteralSet set;
        std::u16string s(p);
        ASSERT_EQ(1, DeriveLiterals(s.data(), static_cast<int>(s.size()), false, &set));
        EXPECT_FALSE(set.exact);
    }
}

TEST(RegexLiteralsTest, GivesNoSetWhereAMatchMayHoldNone) {
    for (const char16_t* p : {u".*", u"\\w+", u"(a|b)*", u"a?", u"foo|", u"foo|\\d+", u"[^x]", u"x{0,3}", u"(?:)",
                              u"[a-z]+", u"(?=foo)", u"\\bfoo?\\b|x*"}) {
        EXPECT_EQ("none", Derive(p));
    }
    // Constructs that change how the rest reads, or that it does not follow: no set at all.
    for (const char16_t* p :
         {u"(?x) f o o", u"(?x:f o o)", u"\\Qa|b\\E", u"a\\Eb", u"(*ACCEPT)foo", u"(*UTF)foo", u"(?(1)foo|bar)",
          u"(?C1)foo", u"(?<*foo)", u"}(?#c)*b", u"x{ 2}", u"x{,2}", u"(a)\\12", u"[[:alpha:]-z]", u"\\ka"}) {
        EXPECT_EQ("none", Derive(p));
    }
    // Caseless letters beyond ASCII fold in ways the set cannot say: they count as some text.
    EXPECT_EQ("none", Derive(u"\u00C9", true));
    EXPECT_EQ("i:ab", Derive(u"ab\u00C9", true));
}

}  // namespace

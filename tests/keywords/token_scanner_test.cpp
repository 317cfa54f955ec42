// The row tokenizer and the cell/column conversions that the log view's drawing,
// hit testing and double-click word selection rely on.
#include "keywords/token_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::u16string> Tokens(const std::u16string& text) {
    std::vector<std::u16string> out;
    int count = static_cast<int>(text.size());
    for (int s = 0; s < count;) {
        int n = TokenLength(text.data(), count, s);
        if (n <= 0) break;
        out.push_back(text.substr(s, n));
        s += n;
    }
    return out;
}

using V = std::vector<std::u16string>;

TEST(TokenScanner, SplitsWordsNumbersAndPunctuation) {
    EXPECT_EQ(Tokens(u"value=0x1F;"), (V{u"value", u"=", u"0x1F", u";"}));
    EXPECT_EQ(Tokens(u"ERROR ERRORS XERROR ERROR_1"),
              (V{u"ERROR", u" ", u"ERRORS", u" ", u"XERROR", u" ", u"ERROR_1"}));
    // A sign starts a number at a token boundary; inside a punctuation run it stays punctuation.
    EXPECT_EQ(Tokens(u"-12"), (V{u"-12"}));
    EXPECT_EQ(Tokens(u"x-12"), (V{u"x", u"-12"}));
    EXPECT_EQ(Tokens(u"a = -12"), (V{u"a", u" = -", u"12"}));
    EXPECT_EQ(Tokens(u"+5+6"), (V{u"+5", u"+6"}));
    // Runs of blanks and punctuation, line breaks included, are one token.
    EXPECT_EQ(Tokens(u"a, [b]\r\n"), (V{u"a", u", [", u"b", u"]\r\n"}));
}

TEST(TokenScanner, NumberStates) {
    EXPECT_EQ(Tokens(u"0x"), (V{u"0x"}));
    EXPECT_EQ(Tokens(u"0X1"), (V{u"0", u"X1"}));      // only a lower-case x makes hex
    EXPECT_EQ(Tokens(u"007x"), (V{u"007", u"x"}));    // a leading zero and digits are decimal
    EXPECT_EQ(Tokens(u"0xfFg"), (V{u"0xfF", u"g"}));  // hex stops at a non-hex letter
    EXPECT_EQ(Tokens(u"12ab"), (V{u"12", u"ab"}));    // decimal takes digits only
    EXPECT_EQ(Tokens(u"0_"), (V{u"0", u"_"}));
    EXPECT_EQ(Tokens(u"abc123_Z9"), (V{u"abc123_Z9"}));  // words take digits and letters
    EXPECT_EQ(Tokens(u"9."), (V{u"9", u"."}));
}

TEST(TokenScanner, WideRunsAreTheirOwnTokens) {
    EXPECT_EQ(Tokens(u"エラー発生abc"), (V{u"エラー発生", u"abc"}));
    EXPECT_EQ(Tokens(u"a\u00e9b"), (V{u"a", u"\u00e9", u"b"}));  // 128..255 is wide too
    EXPECT_EQ(Tokens(u" \u3000 "), (V{u" ", u"\u3000", u" "}));
}

TEST(TokenScanner, TokenLengthOutsideTheText) {
    const char16_t* t = u"abc";
    EXPECT_EQ(TokenLength(t, 3, 3), 0);
    EXPECT_EQ(TokenLength(t, 3, -1), 0);
    EXPECT_EQ(TokenLength(nullptr, 3, 0), 0);
    EXPECT_EQ(TokenLength(t, 2, 0), 2);  // the count bounds the token, not the terminator
}

TEST(TokenScanner, DisplayCells) {
    std::u16string t = u"a\u00ffあb";
    int n = static_cast<int>(t.size());
    EXPECT_EQ(DisplayWidth(t.data(), n), 5);  // U+00FF is one cell, あ two
    EXPECT_EQ(DisplayOffsetToColumn(t.data(), n, 0), 0);
    EXPECT_EQ(DisplayOffsetToColumn(t.data(), n, 2), 2);
    EXPECT_EQ(DisplayOffsetToColumn(t.data(), n, 3), 3);  // the second half of あ lies after it
    EXPECT_EQ(DisplayOffsetToColumn(t.data(), n, 4), 3);
    EXPECT_EQ(DisplayOffsetToColumn(t.data(), n, 99), n);
    EXPECT_EQ(DisplayOffsetToColumn(t.data(), n, -5), 0);
}

TEST(TokenScanner, FindTokenAtSelectsTheWholeToken) {
    std::u16string t = u"value=0x1F;";
    int n = static_cast<int>(t.size());
    int start = -1, length = -1;
    for (int offset = 6; offset <= 9; ++offset) {
        ASSERT_EQ(FindTokenAt(t.data(), n, offset, &start, &length), 1);
        EXPECT_EQ(t.substr(start, length), u"0x1F") << offset;
    }
    ASSERT_EQ(FindTokenAt(t.data(), n, 10, &start, &length), 1);
    EXPECT_EQ(t.substr(start, length), u";");
    ASSERT_EQ(FindTokenAt(t.data(), n, 0, &start, &length), 1);
    EXPECT_EQ(t.substr(start, length), u"value");
    ASSERT_EQ(FindTokenAt(t.data(), n, -3, &start, &length), 1);
    EXPECT_EQ(start, 0);
}

TEST(TokenScanner, FindTokenAtPastTheEndIsEmpty) {
    std::u16string t = u"abc";
    int start = -1, length = -1;
    EXPECT_EQ(FindTokenAt(t.data(), 3, 3, &start, &length), 0);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(FindTokenAt(t.data(), 0, 0, &start, &length), 0);
    EXPECT_EQ(FindTokenAt(nullptr, 5, 0, &start, &length), 0);
}

TEST(TokenScanner, FindTokenAtCountsWideCells) {
    std::u16string t = u"日本 x";  // cells: 日 0-1, 本 2-3, space 4, x 5
    int n = static_cast<int>(t.size());
    int start = -1, length = -1;
    ASSERT_EQ(FindTokenAt(t.data(), n, 3, &start, &length), 1);
    EXPECT_EQ(t.substr(start, length), u" ");  // the second half of 本 rounds to the next unit
    ASSERT_EQ(FindTokenAt(t.data(), n, 5, &start, &length), 1);
    EXPECT_EQ(t.substr(start, length), u"x");
    ASSERT_EQ(FindTokenAt(t.data(), n, 2, &start, &length), 1);
    EXPECT_EQ(t.substr(start, length), u"日本");
}

}  // namespace

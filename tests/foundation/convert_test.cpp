// Code-page conversions: terminators, replacement of invalid input, Shift_JIS, sizing.
#include "foundation/convert.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::u16string Decode(const std::string& bytes, unsigned cp) {
    char16_t* w = MultiByteToWideAlloc(bytes.data(), static_cast<int>(bytes.size()), cp);
    std::u16string result = w != nullptr ? std::u16string(w) : u"<null>";
    std::free(w);
    return result;
}

std::string Encode(const std::u16string& text, unsigned cp) {
    char* b = WideToMultiByteAlloc(text.data(), static_cast<int>(text.size()), cp);
    std::string result = b != nullptr ? std::string(b) : "<null>";
    std::free(b);
    return result;
}

TEST(ConvertTest, AllocTerminatesEvenWhenCountExcludesIt) {
    char16_t* w = MultiByteToWideAlloc("abc", 3, kCodePageUtf8);
    ASSERT_NE(nullptr, w);
    EXPECT_EQ(u'a', w[0]);
    EXPECT_EQ(u'c', w[2]);
    EXPECT_EQ(0, w[3]);
    std::free(w);
    // A count of -1 takes the terminator too.
    w = MultiByteToWideAlloc("xy", -1, kCodePageUtf8);
    ASSERT_NE(nullptr, w);
    EXPECT_EQ(std::u16string(u"xy"), std::u16string(w));
    std::free(w);
}

TEST(ConvertTest, Utf8RoundTripIncludingSurrogatePairs) {
    std::u16string text = u"A\u00E9\u3042\U0001F600z";
    std::string bytes = Encode(text, kCodePageUtf8);
    EXPECT_EQ("A\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80z", bytes);
    EXPECT_EQ(text, Decode(bytes, kCodePageUtf8));
}

TEST(ConvertTest, InvalidUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(std::u16string(u"a\uFFFDb"), Decode("a\xFF"
                                                  "b",
                                                  kCodePageUtf8));
    // A truncated three-byte sequence is one replacement.
    EXPECT_EQ(std::u16string(u"a\uFFFDb"), Decode("a\xE3\x81"
                                                  "b",
                                                  kCodePageUtf8));
    // Overlong forms and encoded surrogates are invalid.
    EXPECT_EQ(std::u16string(u"\uFFFD\uFFFD"), Decode("\xC0\xAF", kCodePageUtf8));
    // An encoded surrogate never decodes to a surrogate unit (systems differ in how
    // many replacements they emit for it).
    std::u16string surrogate = Decode("\xED\xA0\x80", kCodePageUtf8);
    ASSERT_FALSE(surrogate.empty());
    for (char16_t c : surrogate) EXPECT_EQ(u'\uFFFD', c);
    // A truncated sequence at the very end.
    EXPECT_EQ(std::u16string(u"x\uFFFD"), Decode("x\xF0\x9F\x98", kCodePageUtf8));
}

TEST(ConvertTest, LoneSurrogateEncodesAsReplacement) {
    std::u16string lone = u"a";
    lone.push_back(static_cast<char16_t>(0xD800));
    lone += u"b";
    EXPECT_EQ(
        "a\xEF\xBF\xBD"
        "b",
        Encode(lone, kCodePageUtf8));
}

TEST(ConvertTest, ShiftJisDecodesAndEncodes) {
    // "ログ" in Shift_JIS.
    std::string sjis = "\x83\x8D\x83\x4F";
    EXPECT_EQ(std::u16string(u"ログ"), Decode(sjis, kCodePageShiftJis));
    EXPECT_EQ(sjis, Encode(u"ログ", kCodePageShiftJis));
    // A lead byte without its trail byte does not stop the conversion.
    std::u16string cut = Decode("a\x83", kCodePageShiftJis);
    ASSERT_FALSE(cut.empty());
    EXPECT_EQ(u'a', cut[0]);
}

TEST(ConvertTest, SizingQueryAndTooSmallBuffer) {
    EXPECT_EQ(3, MultiByteToWide(kCodePageUtf8, "\xE3\x81\x82xy", 5, nullptr, 0));
    char16_t small[2];
    EXPECT_EQ(0, MultiByteToWide(kCodePageUtf8, "abc", 3, small, 2));
    EXPECT_EQ(0, MultiByteToWide(kCodePageUtf8, "abc", 0, small, 2));
    EXPECT_EQ(4, WideToMultiByte(kCodePageUtf8, u"\U0001F600", 2, nullptr, 0));
}

}  // namespace

// CString: growth, trimming, slicing, wide round trips and comparison.
#include "foundation/string.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

TEST(CStringTest, GrowthAddsNeededSizePlusOne) {
    CString s;
    ASSERT_EQ(1, s.AssignBytes("abc", 3));
    EXPECT_EQ(3, s.Length());
    EXPECT_EQ(5, s.Capacity());
    ASSERT_EQ(1, s.AssignBytes("0123456789", 10));
    EXPECT_EQ(17, s.Capacity());
    EXPECT_STREQ("0123456789", s.Data());
    ASSERT_EQ(1, s.AssignBytes("xy", 2));  // a shorter text reuses the buffer
    EXPECT_EQ(17, s.Capacity());
    EXPECT_STREQ("xy", s.Data());
}

TEST(CStringTest, GetWideMakesAFreshCopyEachTime) {
    CString s;
    s.AssignBytes("abc", 3);
    const char16_t* first = s.GetWide();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(std::u16string(u"abc"), std::u16string(first));
    const char16_t* second = s.GetWide();
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(std::u16string(u"abc"), std::u16string(second));
    CString empty;
    EXPECT_EQ(nullptr, empty.GetWide());
    EXPECT_EQ(std::u16string(), std::u16string(empty.GetWideOrEmpty()));
}

TEST(CStringTest, AssignWideWithNothingClears) {
    CString s(u"text");
    ASSERT_NE(nullptr, s.Data());
    s.AssignWide(u"", -1);
    EXPECT_EQ(nullptr, s.Data());
    EXPECT_EQ(0, s.Capacity());
    EXPECT_EQ(0, s.Length());
    s.AssignWide(u"abc", 2);
    EXPECT_STREQ("ab", s.Data());
    s.AssignWide(nullptr, 5);
    EXPECT_EQ(nullptr, s.Data());
}

TEST(CStringTest, AssignCopiesOrClears) {
    CString a(u"hello"), b, none;
    EXPECT_STREQ("hello", b.Assign(a));
    EXPECT_EQ(5, b.Length());
    EXPECT_EQ(nullptr, b.Assign(none));
    EXPECT_EQ(nullptr, b.Data());
    EXPECT_EQ(0, b.Capacity());
}

// Characters outside every ANSI code page must survive storage (UTF-8 inside).
TEST(CStringTest, JapaneseAndAstralTextRoundTrip) {
    const std::u16string texts[] = {u"ログメッセージ 行番号", u"emoji \U0001F600 and \u20AC and \u00E9",
                                    u"mixed ASCII テキスト \U00020BB7"};
    for (const auto& text : texts) {
        CString s(text.c_str());
        ASSERT_NE(nullptr, s.Data());
        EXPECT_EQ(text, std::u16string(s.GetWide()));
        EXPECT_EQ(1, s.EqualsWide(text.c_str()));
    }
}

TEST(CStringTest, TrimRemovesBlanksOnly) {
    CString s;
    s.AssignBytes("  ab \r\n", 7);
    s.Trim();
    EXPECT_STREQ("ab", s.Data());
    EXPECT_EQ(2, s.Length());
    s.AssignBytes("a", 1);
    s.Trim();
    EXPECT_STREQ("a", s.Data());
    EXPECT_EQ(1, s.Length());
    s.AssignBytes(" \t ", 3);
    s.Trim();
    EXPECT_NE(nullptr, s.Data());
    EXPECT_EQ(0, s.Length());
    EXPECT_EQ('\0', s.Data()[0]);
    // UTF-8 bytes at or above 0x80 are never blanks.
    CString j(u"\u3000x\u3000");
    int before = j.Length();
    j.Trim();
    EXPECT_EQ(before, j.Length());
    CString none;
    none.Trim();
    EXPECT_EQ(nullptr, none.Data());
}

TEST(CStringTest, MidCutsCountAndRejectsBadStart) {
    CString s;
    s.AssignBytes("abcdef", 6);
    std::unique_ptr<CString> mid(s.Mid(2, 100));
    ASSERT_NE(nullptr, mid);
    EXPECT_STREQ("cdef", mid->Data());
    EXPECT_EQ(nullptr, s.Mid(6, 1));
    EXPECT_EQ(nullptr, s.Mid(-1, 1));
    EXPECT_EQ(nullptr, s.Mid(0, -1));
    std::unique_ptr<CString> empty(s.Mid(0, 0));
    ASSERT_NE(nullptr, empty);
    EXPECT_NE(nullptr, empty->Data());
    EXPECT_EQ(0, empty->Length());
    CString none;
    EXPECT_EQ(nullptr, none.Mid(0, 0));
}

TEST(CStringTest, EqualsWideDistinguishesNoDataFromEmptyText) {
    CString never;
    EXPECT_EQ(1, never.EqualsWide(u""));
    EXPECT_EQ(1, never.EqualsWide(nullptr));
    EXPECT_EQ(0, never.EqualsWide(u"a"));
    CString trimmed;
    trimmed.AssignBytes("   ", 3);
    trimmed.Trim();
    EXPECT_EQ(0, trimmed.EqualsWide(u""));
    CString s(u"Error");
    EXPECT_EQ(1, s.EqualsWide(u"Error"));
    EXPECT_EQ(0, s.EqualsWide(u"error"));
    EXPECT_EQ(0, s.EqualsWide(u"Errors"));
}

}  // namespace

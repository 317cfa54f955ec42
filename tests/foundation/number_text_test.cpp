// The dialogs' number rule: blanks, sign, digits to the end, empty text, overflow.
#include "foundation/number_text.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(ParseDecimalFieldTest, AcceptedAndRejectedTexts) {
    int v = 99;
    EXPECT_EQ(1, ParseDecimalField(u" \t250", &v, true));
    EXPECT_EQ(250, v);
    EXPECT_EQ(1, ParseDecimalField(u"-1", &v, true));
    EXPECT_EQ(-1, v);
    v = 7;
    EXPECT_EQ(0, ParseDecimalField(u"1a", &v, true));
    EXPECT_EQ(0, ParseDecimalField(u"25ms", &v, true));
    EXPECT_EQ(0, ParseDecimalField(u"1 ", &v, true));
    EXPECT_EQ(0, ParseDecimalField(u"+3", &v, true));
    EXPECT_EQ(0, ParseDecimalField(u"99999999999", &v, true));
    EXPECT_EQ(7, v);
    EXPECT_EQ(1, ParseDecimalField(u"", &v, true));
    EXPECT_EQ(0, v);
    EXPECT_EQ(0, ParseDecimalField(u"", &v, false));
    EXPECT_EQ(1, ParseDecimalField(u"-2147483648", &v, false));
    EXPECT_EQ(-2147483647 - 1, v);
}

TEST(ParseDecimalFieldTest, SixtyFourBitFieldsReachTheEndsAndNoFurther) {
    int64_t v = 7;
    EXPECT_EQ(1, ParseDecimalField64(u" 4000000000", &v, false));
    EXPECT_EQ(4000000000, v);
    EXPECT_EQ(1, ParseDecimalField64(u"9223372036854775807", &v, false));
    EXPECT_EQ(INT64_MAX, v);
    EXPECT_EQ(1, ParseDecimalField64(u"-9223372036854775808", &v, false));
    EXPECT_EQ(INT64_MIN, v);
    v = 7;
    for (const char16_t* bad : {u"9223372036854775808", u"-9223372036854775809", u"18446744073709551616",
                                u"99999999999999999999", u"4e9", u""}) {
        EXPECT_EQ(0, ParseDecimalField64(bad, &v, false));
    }
    EXPECT_EQ(7, v);
    int narrow = 3;
    EXPECT_EQ(0, ParseDecimalField(u"2147483648", &narrow, false));
    EXPECT_EQ(1, ParseDecimalField(u"2147483647", &narrow, false));
    EXPECT_EQ(INT32_MAX, narrow);
}

TEST(ParseDecimalFieldTest, BlanksOnlyOrSignOnlyIsNoNumberExceptAsZero) {
    int v = 5;
    // Blanks followed by nothing: digits "run to the end" vacuously, reading as 0.
    EXPECT_EQ(1, ParseDecimalField(u"  ", &v, true));
    EXPECT_EQ(0, v);
    EXPECT_EQ(1, ParseDecimalField(u"-", &v, true));
    EXPECT_EQ(0, v);
}

}  // namespace

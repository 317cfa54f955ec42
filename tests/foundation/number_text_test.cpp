// The dialogs' number rule: blanks, sign, digits to the end, empty text, overflow.
#include "foundation/number_text.h"

#include <gtest/gtest.h>

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

TEST(ParseDecimalFieldTest, BlanksOnlyOrSignOnlyIsNoNumberExceptAsZero) {
    int v = 5;
    // Blanks followed by nothing: digits "run to the end" vacuously, reading as 0.
    EXPECT_EQ(1, ParseDecimalField(u"  ", &v, true));
    EXPECT_EQ(0, v);
    EXPECT_EQ(1, ParseDecimalField(u"-", &v, true));
    EXPECT_EQ(0, v);
}

}  // namespace

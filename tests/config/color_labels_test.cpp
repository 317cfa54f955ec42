// Colour labels: where their texts occur in a row, how a label is given and taken, and their
// colours, which read at 4.5:1 on the light and the dark view and stay apart from each other.
#include "config/color_labels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "config/app_parameter.h"
#include "config/color_table.h"
#include "config/dark_colors.h"

namespace {

std::vector<std::u16string> SpanTexts(const CColorLabels& labels, const std::u16string& row, int capacity = 64) {
    std::vector<CLabelSpan> spans(static_cast<size_t>(capacity));
    int n = labels.FindSpans(row.data(), static_cast<int>(row.size()), spans.data(), capacity);
    std::vector<std::u16string> out;
    for (int i = 0; i < n; ++i) {
        out.push_back(
            std::u16string(1, static_cast<char16_t>(u'1' + spans[i].label)) + u":" +
            row.substr(static_cast<size_t>(spans[i].start), static_cast<size_t>(spans[i].end - spans[i].start)));
    }
    return out;
}

void Set(CColorLabels* labels, int label, const std::u16string& text) {
    EXPECT_EQ(1, labels->Set(label, text.data(), static_cast<int>(text.size())));
}

double HueOf(CColorRef c) {
    double r = (c & 0xFF) / 255.0, g = ((c >> 8) & 0xFF) / 255.0, b = ((c >> 16) & 0xFF) / 255.0;
    return std::fmod(std::atan2(std::sqrt(3.0) * (g - b), 2 * r - g - b) * 180 / std::acos(-1.0) + 360, 360);
}

TEST(ColorLabels, SpansAreTheLongestTextAtEachPlaceLeftToRight) {
    CColorLabels labels;
    EXPECT_TRUE(labels.Empty());
    Set(&labels, 0, u"ERR");
    Set(&labels, 4, u"ERROR");
    Set(&labels, 2, u"disk full");
    Set(&labels, 8, u"ディスク");
    Set(&labels, 1, u"ll");  // inside "full": taken there already
    std::u16string row = u"ERROR: disk full, ERRno ディスク full ERRORS";
    EXPECT_EQ((std::vector<std::u16string>{u"5:ERROR", u"3:disk full", u"1:ERR", u"9:ディスク", u"2:ll", u"5:ERROR"}),
              SpanTexts(labels, row));
    // Exact: case counts, and no more spans than there is room for.
    EXPECT_TRUE(SpanTexts(labels, u"error Disk FULL").empty());
    EXPECT_EQ((std::vector<std::u16string>{u"5:ERROR", u"3:disk full"}), SpanTexts(labels, row, 2));
    // A text given to another label leaves the first one; an empty text takes a label off.
    uint32_t generation = labels.Generation();
    Set(&labels, 6, u"ERR");
    EXPECT_NE(generation, labels.Generation());
    EXPECT_TRUE(labels.Text(0).empty());
    EXPECT_EQ(u"ERR", labels.Text(6));
    Set(&labels, 2, u"");
    EXPECT_EQ((std::vector<std::u16string>{u"5:ERROR", u"2:ll", u"7:ERR"}), SpanTexts(labels, u"ERROR full ERRno"));
    EXPECT_EQ(0, labels.Set(9, u"x", 1));
    EXPECT_EQ(0, labels.Set(-1, u"x", 1));
    EXPECT_TRUE(labels.Text(9).empty());
    labels.Clear();
    EXPECT_TRUE(labels.Empty());
    EXPECT_TRUE(SpanTexts(labels, row).empty());
    // A label's text is at most what a row shows.
    std::u16string huge(kMaxLabelText + 10, u'a');
    Set(&labels, 3, huge);
    EXPECT_EQ(static_cast<size_t>(kMaxLabelText), labels.Text(3).size());
}

// The grounds a view has: the default light one, the dark theme's (made from the default
// table), and a few a user may choose on the Color page.
TEST(ColorLabels, ColoursReadOnEveryGroundAndStayApart) {
    CColorEntry dark[kAppColorCount];
    MakeDarkColorTable(kAppColors, kAppColorCount, dark);
    const CColorRef themes[] = {kAppColors[0].background, dark[0].background};
    const CColorRef others[] = {0x000000, 0xCCFFFF, 0x808080, 0x553300, 0xF0F0F0};
    for (CColorRef ground : themes) {
        for (int k = 0; k < kColorLabelCount; ++k) {
            CColorRef c = LabelColor(k, ground);
            EXPECT_GE(ContrastRatio(c, ground), kMinTextContrast) << k << " on " << std::hex << ground;
            // Nine hues a reader tells apart: at least 20 degrees between any two.
            for (int j = 0; j < k; ++j) {
                double d = std::fabs(HueOf(c) - HueOf(LabelColor(j, ground)));
                EXPECT_GE(std::fmin(d, 360 - d), 20.0) << j << " and " << k << " on " << std::hex << ground;
            }
            // Neither the ground's own colour nor its text colour.
            EXPECT_NE(kAppColors[0].text, c);
        }
    }
    for (CColorRef ground : others) {
        for (int k = 0; k < kColorLabelCount; ++k) {
            EXPECT_GE(ContrastRatio(LabelColor(k, ground), ground), kMinTextContrast) << k << " " << std::hex << ground;
        }
    }
}

}  // namespace

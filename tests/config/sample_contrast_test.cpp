// The bundled keyword file reads well: every colour it uses, in the default colour table,
// has a contrast of at least 4.5:1 (WCAG's relative luminance) against the view's default
// background and against the entry's own background.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "config/app_parameter.h"
#include "config/color_table.h"
#include "keywords/keyword_set.h"

namespace {

// A COLORREF's channel (0x00BBGGRR) as a linear light value.
double Linear(CColorRef color, int shift) {
    double c = static_cast<double>((color >> shift) & 0xFF) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(CColorRef color) {
    return 0.2126 * Linear(color, 0) + 0.7152 * Linear(color, 8) + 0.0722 * Linear(color, 16);
}

double Contrast(CColorRef a, CColorRef b) {
    double la = Luminance(a), lb = Luminance(b);
    return (std::fmax(la, lb) + 0.05) / (std::fmin(la, lb) + 0.05);
}

TEST(SampleKeywords, EveryColourReadsAtFourAndAHalfToOne) {
    // The formula itself: black on white is 21:1, pure red on white 4.0:1.
    EXPECT_NEAR(21.0, Contrast(0x000000, 0xFFFFFF), 1e-9);
    EXPECT_NEAR(4.0, Contrast(0x0000FF, 0xFFFFFF), 0.01);

    std::string path = std::string(QUILLON_SAMPLES) + "/keyword_default.xml";
    std::u16string wide(path.begin(), path.end());
    CKeywordSet keywords;
    ASSERT_EQ(1, keywords.LoadFile(wide.c_str())) << path;
    ASSERT_GT(keywords.Count(), 0u);
    CColorRef background = kAppColors[0].background;
    for (uint32_t k = 0; k < keywords.Count(); ++k) {
        int entry = keywords.Entry(k).color;
        ASSERT_TRUE(entry >= 0 && entry < kAppColorCount) << k;
        const CColorEntry& color = kAppColors[entry];
        EXPECT_GE(Contrast(color.text, background), 4.5) << "keyword " << k << ", colour entry " << entry;
        EXPECT_GE(Contrast(color.text, color.background), 4.5) << "keyword " << k << ", colour entry " << entry;
    }
}

}  // namespace

// The contrast formulas and the dark colour table: every text colour of the default table and
// of any light table reads at 4.5:1 on its dark backgrounds, hues survive, and the light
// table reaches the views unchanged while the theme is off.
#include "config/dark_colors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "config/app_parameter.h"
#include "config/color_table.h"
#include "keywords/keyword_set.h"

namespace {

int Red(CColorRef c) { return static_cast<int>(c & 0xFF); }
int Green(CColorRef c) { return static_cast<int>((c >> 8) & 0xFF); }
int Blue(CColorRef c) { return static_cast<int>((c >> 16) & 0xFF); }

// The channels from the largest down, as a code: the same code means a near hue.
int ChannelOrder(CColorRef c) {
    int r = Red(c), g = Green(c), b = Blue(c);
    return (r > g ? 1 : 0) + (g > b ? 2 : 0) + (r > b ? 4 : 0) + (r == g ? 8 : 0) + (g == b ? 16 : 0);
}

bool IsGrey(CColorRef c) { return Red(c) == Green(c) && Green(c) == Blue(c); }

TEST(DarkColors, ContrastFollowsTheFormula) {
    EXPECT_NEAR(0.0, RelativeLuminance(0x000000), 1e-12);
    EXPECT_NEAR(1.0, RelativeLuminance(0xFFFFFF), 1e-12);
    // The channels weigh differently, and 0x80 is about a fifth of white's light.
    EXPECT_NEAR(0.2126, RelativeLuminance(0x0000FF), 1e-4);
    EXPECT_NEAR(0.7152, RelativeLuminance(0x00FF00), 1e-4);
    EXPECT_NEAR(0.0722, RelativeLuminance(0xFF0000), 1e-4);
    EXPECT_NEAR(0.2159, RelativeLuminance(0x808080), 1e-4);
    EXPECT_NEAR(21.0, ContrastRatio(0x000000, 0xFFFFFF), 1e-9);
    EXPECT_NEAR(21.0, ContrastRatio(0xFFFFFF, 0x000000), 1e-9);
    EXPECT_NEAR(1.0, ContrastRatio(0x336699, 0x336699), 1e-12);
    EXPECT_NEAR(4.0, ContrastRatio(0x0000FF, 0xFFFFFF), 0.01);
    EXPECT_NEAR(3.95, ContrastRatio(0x808080, 0xFFFFFF), 0.01);
}

TEST(DarkColors, DefaultTableReadsOnItsDarkBackgroundsAndKeepsItsHues) {
    CColorEntry dark[kAppColorCount];
    MakeDarkColorTable(kAppColors, kAppColorCount, dark);
    EXPECT_EQ(kDarkGround, dark[0].background);
    double ground = RelativeLuminance(kDarkGround);
    for (int k = 0; k < kAppColorCount; ++k) {
        const CColorEntry& light = kAppColors[k];
        EXPECT_GE(ContrastRatio(dark[k].text, dark[k].background), kMinTextContrast) << k;
        EXPECT_GE(ContrastRatio(dark[k].text, dark[0].background), kMinTextContrast) << k;
        // Backgrounds turn dark, and text lighter than its background.
        EXPECT_LE(RelativeLuminance(dark[k].background), 0.11) << k;
        EXPECT_GE(RelativeLuminance(dark[k].background), ground - 1e-9) << k;
        EXPECT_GT(RelativeLuminance(dark[k].text), RelativeLuminance(dark[k].background)) << k;
        if (IsGrey(light.text)) {
            EXPECT_TRUE(IsGrey(dark[k].text)) << k;
        } else {
            EXPECT_EQ(ChannelOrder(light.text), ChannelOrder(dark[k].text)) << k << " " << std::hex << dark[k].text;
        }
        if (IsGrey(light.background)) {
            EXPECT_TRUE(IsGrey(dark[k].background)) << k;
        } else {
            EXPECT_EQ(ChannelOrder(light.background), ChannelOrder(dark[k].background)) << k;
        }
    }
    // The views' marked rows stand apart from the ground, and lighter grey stays lighter.
    for (int k : {1, 2, 3, 4, 5, 14, 19}) EXPECT_NE(dark[0].background, dark[k].background) << k;
    EXPECT_GT(RelativeLuminance(dark[21].text), RelativeLuminance(kDarkGround));
    EXPECT_GT(RelativeLuminance(dark[0].text), RelativeLuminance(dark[17].text));
}

// A user's light table can hold any colours: each text still reads on its dark background
// and the ground, and the mapping is the same each time.
TEST(DarkColors, AnyLightColoursReadInTheDarkTable) {
    const int levels[4] = {0x00, 0x55, 0xAA, 0xFF};
    CColorRef palette[64];
    for (int k = 0; k < 64; ++k) {
        palette[k] = static_cast<CColorRef>(levels[k & 3] | (levels[(k >> 2) & 3] << 8) | (levels[k >> 4] << 16));
    }
    for (CColorRef ground : {0xFFFFFFu, 0xE0F0FFu, 0x000000u}) {
        for (CColorRef text : palette) {
            for (CColorRef back : palette) {
                const CColorEntry light[2] = {{0x000000, ground}, {text, back}};
                CColorEntry dark[2];
                MakeDarkColorTable(light, 2, dark);
                ASSERT_GE(ContrastRatio(dark[1].text, dark[1].background), kMinTextContrast)
                    << std::hex << text << " on " << back << " (ground " << ground << ")";
                ASSERT_GE(ContrastRatio(dark[1].text, dark[0].background), kMinTextContrast)
                    << std::hex << text << " on " << back << " (ground " << ground << ")";
                ASSERT_EQ(dark[1].background, DarkBackground(back));
            }
        }
    }
}

TEST(DarkColors, TheKeywordColoursReadInTheDarkTable) {
    std::string path = std::string(QUILLON_SAMPLES) + "/keyword_default.xml";
    std::u16string wide(path.begin(), path.end());
    CKeywordSet keywords;
    ASSERT_EQ(1, keywords.LoadFile(wide.c_str())) << path;
    CColorEntry dark[kAppColorCount];
    MakeDarkColorTable(kAppColors, kAppColorCount, dark);
    // Keyword tokens are also drawn on the cursor and marker lines.
    for (uint32_t k = 0; k < keywords.Count(); ++k) {
        int entry = keywords.Entry(k).color;
        ASSERT_TRUE(entry >= 0 && entry < kAppColorCount) << k;
        EXPECT_GE(ContrastRatio(dark[entry].text, dark[0].background), kMinTextContrast) << entry;
        EXPECT_GE(ContrastRatio(dark[entry].text, dark[entry].background), kMinTextContrast) << entry;
    }
}

TEST(DarkColors, TheViewsGetTheLightTableUnlessTheThemeIsInForce) {
    EXPECT_FALSE(DarkThemeInForce(kDarkThemeOff, true));
    EXPECT_FALSE(DarkThemeInForce(kDarkThemeSystem, false));
    EXPECT_TRUE(DarkThemeInForce(kDarkThemeSystem, true));
    EXPECT_TRUE(DarkThemeInForce(kDarkThemeOn, false));
    CAppParameter config;
    config.SetDefaults();
    config.m_colors[6].text = 0x00AA00;  // the user's own colour: the dark table follows it
    CColorEntry dark[kAppColorCount];
    MakeDarkColorTable(config.m_colors, kAppColorCount, dark);
    for (int choice : {kDarkThemeOff, kDarkThemeOn, kDarkThemeSystem}) {
        for (bool systemDark : {false, true}) {
            config.m_darkTheme = choice;
            CColorEntry out[kAppColorCount + 2] = {};
            ASSERT_EQ(kAppColorCount, config.ViewColors(systemDark, out, kAppColorCount + 2));
            bool inForce = DarkThemeInForce(choice, systemDark);
            for (int k = 0; k < kAppColorCount; ++k) {
                const CColorEntry& want = inForce ? dark[k] : config.m_colors[k];
                EXPECT_EQ(want.text, out[k].text) << choice << systemDark << k;
                EXPECT_EQ(want.background, out[k].background) << choice << systemDark << k;
            }
            EXPECT_EQ(0u, out[kAppColorCount].text | out[kAppColorCount].background);
        }
    }
    EXPECT_EQ(0x00AA00u, config.m_colors[6].text);
    EXPECT_EQ(Green(dark[6].text), std::max({Red(dark[6].text), Green(dark[6].text), Blue(dark[6].text)}));
    CColorEntry few[3] = {};
    EXPECT_EQ(3, config.ViewColors(true, few, 3));
    EXPECT_EQ(dark[2].text, few[2].text);
}

}  // namespace

// The contrast formulas and the dark table's mapping: colours go through HSL, so that a
// colour keeps its hue while its lightness is searched for the contrast it needs.
#include "config/dark_colors.h"

#include <cmath>

namespace {

// Full colours (HSL lightness 0.5) become backgrounds of this luminance: white text on them
// reaches 1.05 / 0.15 = 7:1, and text at half that luminance still 4.5:1.
constexpr double kTopBackground = 0.10;
// Mirrored text is kept a little off white: pure white on the dark ground glares.
constexpr double kTopTextLightness = 0.93;
constexpr double kLightnessStep = 1.0 / 512;

struct CHsl {
    double h, s, l;  // hue in [0, 6), saturation and lightness in [0, 1]
};

double Channel(CColorRef color, int shift) { return static_cast<double>((color >> shift) & 0xFF) / 255.0; }

double Linear(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }

CHsl ToHsl(CColorRef color) {
    double r = Channel(color, 0), g = Channel(color, 8), b = Channel(color, 16);
    double high = std::fmax(r, std::fmax(g, b)), low = std::fmin(r, std::fmin(g, b));
    CHsl hsl{0, 0, (high + low) / 2};
    double d = high - low;
    if (d <= 0) return hsl;
    hsl.s = d / (1 - std::fabs(2 * hsl.l - 1));
    if (high == r) {
        hsl.h = std::fmod((g - b) / d + 6, 6);
    } else if (high == g) {
        hsl.h = (b - r) / d + 2;
    } else {
        hsl.h = (r - g) / d + 4;
    }
    return hsl;
}

CColorRef FromHsl(const CHsl& hsl) {
    double c = (1 - std::fabs(2 * hsl.l - 1)) * hsl.s;
    double x = c * (1 - std::fabs(std::fmod(hsl.h, 2) - 1));
    double m = hsl.l - c / 2;
    double rgb[3] = {};
    int sector = static_cast<int>(hsl.h) % 6;
    const int order[6][3] = {{0, 1, 2}, {1, 0, 2}, {2, 0, 1}, {2, 1, 0}, {1, 2, 0}, {0, 2, 1}};
    const double parts[3] = {c, x, 0};
    for (int k = 0; k < 3; ++k) rgb[k] = parts[order[sector][k]];
    CColorRef out = 0;
    for (int k = 0; k < 3; ++k) {
        long v = std::lround((rgb[k] + m) * 255);
        v = v < 0 ? 0 : (v > 255 ? 255 : v);
        out |= static_cast<CColorRef>(v) << (8 * k);
    }
    return out;
}

CColorRef WithLightness(CHsl hsl, double l) {
    hsl.l = l;
    return FromHsl(hsl);
}

bool ReadsOnAll(CColorRef text, const CColorRef* backs, int count) {
    for (int k = 0; k < count; ++k) {
        if (ContrastRatio(text, backs[k]) < kMinTextContrast) return false;
    }
    return true;
}

}  // namespace

double RelativeLuminance(CColorRef color) {
    return 0.2126 * Linear(Channel(color, 0)) + 0.7152 * Linear(Channel(color, 8)) +
           0.0722 * Linear(Channel(color, 16));
}

double ContrastRatio(CColorRef a, CColorRef b) {
    double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::fmax(la, lb) + 0.05) / (std::fmin(la, lb) + 0.05);
}

CColorRef DarkBackground(CColorRef light) {
    CHsl hsl = ToHsl(light);
    // White is the ground; the further from white, the nearer the top (darker colours clamp there).
    double ground = RelativeLuminance(kDarkGround);
    double share = std::fmin(1.0, 2 * (1 - hsl.l));
    double target = ground + share * (kTopBackground - ground);
    // Luminance grows with lightness at a fixed hue and saturation: bisect for the target.
    double low = 0, high = 1;
    for (int k = 0; k < 40; ++k) {
        double mid = (low + high) / 2;
        if (RelativeLuminance(WithLightness(hsl, mid)) < target) {
            low = mid;
        } else {
            high = mid;
        }
    }
    return WithLightness(hsl, high);
}

CColorRef DarkText(CColorRef light, CColorRef lightBack, const CColorRef* backs, int count) {
    CHsl hsl = ToHsl(light);
    // Dark text on a light background was written for the light view: it turns light.
    double l =
        RelativeLuminance(light) < RelativeLuminance(lightBack) ? std::fmin(1 - hsl.l, kTopTextLightness) : hsl.l;
    // The dark backgrounds are below kTopBackground, so lighter always reads better and white reads.
    for (; l < 1; l += kLightnessStep) {
        CColorRef text = WithLightness(hsl, l);
        if (ReadsOnAll(text, backs, count)) return text;
    }
    return 0xFFFFFF;
}

CColorRef HueReadingOn(double hueDegrees, double saturation, CColorRef ground) {
    CHsl hsl{std::fmod(std::fmod(hueDegrees, 360) + 360, 360) / 60, saturation, 0.5};
    bool darker = ContrastRatio(0x000000, ground) >= ContrastRatio(0xFFFFFF, ground);
    double step = darker ? -kLightnessStep : kLightnessStep;
    for (double l = 0.5; l > 0 && l < 1; l += step) {
        CColorRef text = WithLightness(hsl, l);
        if (ContrastRatio(text, ground) >= kMinTextContrast) return text;
    }
    return darker ? 0x000000 : 0xFFFFFF;
}

void MakeDarkColorTable(const CColorEntry* light, int count, CColorEntry* out) {
    for (int k = 0; k < count; ++k) out[k].background = DarkBackground(light[k].background);
    for (int k = 0; k < count; ++k) {
        const CColorRef backs[2] = {out[k].background, out[0].background};
        out[k].text = DarkText(light[k].text, light[k].background, backs, 2);
    }
}

bool DarkThemeInForce(int choice, bool systemDark) {
    return choice == kDarkThemeOn || (choice == kDarkThemeSystem && systemDark);
}

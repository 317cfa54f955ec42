// Escape sequences hidden in place, colour sequences read as they go, and the palettes.
#include "document/escape_codes.h"

#include <cstring>

namespace {

constexpr int kMaxParameters = 32;
constexpr int kMaxNumber = 65535;

bool IsParameter(char16_t u) { return u >= 0x30 && u <= 0x3F; }
bool IsIntermediate(char16_t u) { return u >= 0x20 && u <= 0x2F; }
bool OpensString(char16_t u) { return u == u']' || u == u'P' || u == u'X' || u == u'^' || u == u'_'; }

uint32_t Indexed(int n) { return kTermIndexed | static_cast<uint32_t>(n > 255 ? 255 : n); }

uint32_t Rgb(int r, int g, int b) {
    auto c = [](int v) { return static_cast<uint32_t>(v > 255 ? 255 : v); };
    return kTermRgb | c(r) << 16 | c(g) << 8 | c(b);
}

// The parameters of a colour sequence: numbers (empty counts as 0), each marked when a
// ":" joins it to the one before.
struct CParameters {
    int value[kMaxParameters];
    bool joined[kMaxParameters];
    int count = 0;
};

void ReadParameters(const char16_t* p, int n, CParameters* out) {
    int value = 0;
    bool joined = false;
    for (int k = 0; k <= n && out->count < kMaxParameters; ++k) {
        if (k < n && p[k] >= u'0' && p[k] <= u'9') {
            value = value * 10 + (p[k] - u'0');
            if (value > kMaxNumber) value = kMaxNumber;
            continue;
        }
        out->value[out->count] = value;
        out->joined[out->count] = joined;
        ++out->count;
        value = 0;
        joined = k < n && p[k] == u':';
    }
}

// 38 or 48 in the ":" form (38:5:n, 38:2:r:g:b, 38:2:space:r:g:b): the colour, or kTermDefault.
uint32_t JoinedColor(const int* g, int n) {
    if (n >= 3 && g[1] == 5) return Indexed(g[2]);
    if (n == 5 && g[1] == 2) return Rgb(g[2], g[3], g[4]);
    if (n >= 6 && g[1] == 2) return Rgb(g[3], g[4], g[5]);
    return kTermDefault;
}

// One plain parameter; 0 when the rest of the sequence cannot be read (a colour whose
// form is unknown), with *used the parameters it took.
int ApplyOne(const CParameters& p, int k, CTermStyle* style, int* used) {
    int v = p.value[k];
    *used = 1;
    if (v == 0) {
        *style = CTermStyle();
    } else if (v == 1) {
        style->bold = true;
    } else if (v == 22) {
        style->bold = false;
    } else if (v >= 30 && v <= 37) {
        style->foreground = Indexed(v - 30);
    } else if (v >= 90 && v <= 97) {
        style->foreground = Indexed(v - 90 + 8);
    } else if (v == 39) {
        style->foreground = kTermDefault;
    } else if (v >= 40 && v <= 47) {
        style->background = Indexed(v - 40);
    } else if (v >= 100 && v <= 107) {
        style->background = Indexed(v - 100 + 8);
    } else if (v == 49) {
        style->background = kTermDefault;
    } else if (v == 38 || v == 48) {
        uint32_t* target = v == 38 ? &style->foreground : &style->background;
        int left = p.count - k - 1;
        if (left >= 2 && p.value[k + 1] == 5) {
            *target = Indexed(p.value[k + 2]);
            *used = 3;
        } else if (left >= 4 && p.value[k + 1] == 2) {
            *target = Rgb(p.value[k + 2], p.value[k + 3], p.value[k + 4]);
            *used = 5;
        } else {
            return 0;
        }
    }
    return 1;
}

void ApplyColors(const char16_t* p, int n, CTermStyle* style) {
    for (int k = 0; k < n; ++k) {
        bool number = (p[k] >= u'0' && p[k] <= u'9') || p[k] == u';' || p[k] == u':';
        if (!number) return;  // a private form such as ESC[>4;2m
    }
    CParameters params;
    ReadParameters(p, n, &params);
    for (int k = 0; k < params.count;) {
        int group = 1;
        while (k + group < params.count && params.joined[k + group]) ++group;
        int used = group;
        if (group > 1) {
            int v = params.value[k];
            uint32_t color = v == 38 || v == 48 ? JoinedColor(params.value + k, group) : kTermDefault;
            if (color != kTermDefault) (v == 38 ? style->foreground : style->background) = color;
        } else if (!ApplyOne(params, k, style, &used)) {
            return;
        }
        k += used;
    }
}

// The end of the sequence whose ESC is at i, applying what it says to style.
int SequenceEnd(const char16_t* text, int count, int i, CTermStyle* style) {
    int j = i + 1;
    if (j >= count) return count;
    char16_t u = text[j];
    if (u == u'[') {
        int first = ++j;
        while (j < count && IsParameter(text[j])) ++j;
        int last = j;
        while (j < count && IsIntermediate(text[j])) ++j;
        if (j >= count || text[j] < 0x40 || text[j] > 0x7E) return j;
        if (text[j] == u'm' && j == last) ApplyColors(text + first, last - first, style);
        return j + 1;
    }
    if (OpensString(u)) {
        for (++j; j < count; ++j) {
            char16_t c = text[j];
            if (c == 0x07) return j + 1;
            if (c == kEscapeUnit) return j + 1 < count && text[j + 1] == u'\\' ? j + 2 : (j + 1 < count ? j : count);
            if (c < 0x20) return j;
        }
        return count;
    }
    if (IsIntermediate(u)) {
        while (j < count && IsIntermediate(text[j])) ++j;
        return j < count && text[j] >= 0x30 && text[j] <= 0x7E ? j + 1 : j;
    }
    return u >= 0x30 && u <= 0x7E ? j + 1 : j;
}

// The 16 named colours as 0xRRGGBB: the Windows console's, and darker ones for text on a
// light view.
constexpr uint32_t kConsole[16] = {0x0C0C0C, 0xC50F1F, 0x13A10E, 0xC19C00, 0x0037DA, 0x881798, 0x3A96DD, 0xCCCCCC,
                                   0x767676, 0xE74856, 0x16C60C, 0xF9F1A5, 0x3B78FF, 0xB4009E, 0x61D6D6, 0xF2F2F2};
constexpr uint32_t kOnLight[16] = {0x000000, 0xCD3131, 0x00A000, 0x949800, 0x0451A5, 0xBC05BC, 0x0598BC, 0x555555,
                                   0x666666, 0xCD3131, 0x14A014, 0xA0A000, 0x0451A5, 0xBC05BC, 0x0598BC, 0x7F7F7F};

uint32_t PaletteRgb(int n, bool background, bool lightView) {
    if (n < 16) return (lightView && !background ? kOnLight : kConsole)[n];
    if (n < 232) {
        static const uint32_t kLevels[6] = {0, 95, 135, 175, 215, 255};
        int c = n - 16;
        return kLevels[c / 36] << 16 | kLevels[c / 6 % 6] << 8 | kLevels[c % 6];
    }
    uint32_t grey = static_cast<uint32_t>(8 + 10 * (n - 232));
    return grey << 16 | grey << 8 | grey;
}

}  // namespace

bool HasEscape(const char16_t* text, int count) {
    for (int i = 0; i < count; ++i) {
        if (text[i] == kEscapeUnit) return true;
    }
    return false;
}

int HideEscapes(char16_t* text, int count, CStyleRun* runs, int* runCount) {
    int out = 0;
    int made = 0;
    CTermStyle style;
    for (int i = 0; i < count;) {
        int end = i;
        while (end < count && text[end] != kEscapeUnit) ++end;
        if (end > i) {
            if (runs != nullptr && (made == 0 || runs[made - 1].style != style)) runs[made++] = CStyleRun{out, style};
            if (out != i) std::memmove(text + out, text + i, static_cast<size_t>(end - i) * sizeof(char16_t));
            out += end - i;
        }
        if (end < count) end = SequenceEnd(text, count, end, &style);
        i = end;
    }
    if (runCount != nullptr) *runCount = made;
    return out;
}

CColorRef TermColorRef(uint32_t color, bool background, bool lightView) {
    uint32_t rgb = (color & 0xFF000000u) == kTermIndexed
                       ? PaletteRgb(static_cast<int>(color & 0xFF), background, lightView)
                       : color & 0xFFFFFFu;
    // 0xRRGGBB to the platform's 0x00BBGGRR.
    return (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}

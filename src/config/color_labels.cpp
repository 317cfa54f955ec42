// The colour labels' texts, their occurrences in a row and their colours.
#include "config/color_labels.h"

#include "config/dark_colors.h"

namespace {

// Nine hues at least 25 degrees apart, in the order of the context menu's names: red,
// orange, yellow, lime, green, teal, blue, purple, pink.
constexpr double kLabelHues[kColorLabelCount] = {0, 28, 53, 85, 130, 175, 215, 270, 320};
constexpr double kLabelSaturation = 0.9;

const std::u16string kNoText;

}  // namespace

int CColorLabels::Set(int label, const char16_t* text, int length) {
    if (label < 0 || label >= kColorLabelCount) return 0;
    if (text == nullptr || length < 0) length = 0;
    if (length > kMaxLabelText) length = kMaxLabelText;
    std::u16string value(text != nullptr ? text : u"", static_cast<size_t>(length));
    for (std::u16string& other : m_texts) {
        if (!value.empty() && other == value) other.clear();
    }
    m_texts[static_cast<size_t>(label)] = value;
    ++m_generation;
    return 1;
}

void CColorLabels::Clear() {
    for (std::u16string& text : m_texts) text.clear();
    ++m_generation;
}

const std::u16string& CColorLabels::Text(int label) const {
    return label >= 0 && label < kColorLabelCount ? m_texts[static_cast<size_t>(label)] : kNoText;
}

bool CColorLabels::Empty() const {
    for (const std::u16string& text : m_texts) {
        if (!text.empty()) return false;
    }
    return true;
}

int CColorLabels::FindSpans(const char16_t* text, int n, CLabelSpan* out, int capacity) const {
    int count = 0;
    if (text == nullptr || Empty()) return 0;
    for (int at = 0; at < n && count < capacity;) {
        int best = -1;
        int bestLength = 0;
        for (int k = 0; k < kColorLabelCount; ++k) {
            const std::u16string& t = m_texts[static_cast<size_t>(k)];
            auto length = static_cast<int>(t.size());
            if (length <= bestLength || length > n - at || t[0] != text[at]) continue;
            if (t.compare(0, t.size(), text + at, t.size()) == 0) {
                best = k;
                bestLength = length;
            }
        }
        if (best < 0) {
            ++at;
            continue;
        }
        out[count++] = CLabelSpan{at, at + bestLength, best};
        at += bestLength;
    }
    return count;
}

CColorRef LabelColor(int label, CColorRef ground) {
    if (label < 0 || label >= kColorLabelCount) label = 0;
    return HueReadingOn(kLabelHues[label], kLabelSaturation, ground);
}

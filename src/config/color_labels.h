// CColorLabels: the texts the user gave one of nine colour labels (a selected word or text,
// Ctrl+Shift+1..9 or the view's context menu), where they occur in a row, and the colour each
// label is drawn in. Portable; UI thread only.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "foundation/color.h"

constexpr int kColorLabelCount = 9;
// A label's text comes from one row, which the view shows up to this many units of.
constexpr int kMaxLabelText = 8192;

// One occurrence of a label's text: units [start, end) of a row.
struct CLabelSpan {
    int32_t start;
    int32_t end;
    int32_t label;  // 0..kColorLabelCount - 1
};

class CColorLabels {
public:
    // Gives label (0..kColorLabelCount - 1) the first length units of text (at most
    // kMaxLabelText); an empty text takes the label off. A label that held the same text
    // loses it. 1, or 0 for a label out of range.
    int Set(int label, const char16_t* text, int length);
    // Takes every label off.
    void Clear();
    // The label's text (empty when it has none or is out of range).
    const std::u16string& Text(int label) const;
    bool Empty() const;
    // Changes with every change of a text, for views that keep what they found.
    uint32_t Generation() const { return m_generation; }
    // The labels' texts as they occur in the n units of text, left to right and apart: at
    // each place the longest text that starts there (the lower label of two equal ones).
    // Compared exactly, unit by unit. Writes at most capacity spans; returns how many.
    int FindSpans(const char16_t* text, int n, CLabelSpan* out, int capacity) const;

private:
    std::array<std::u16string, kColorLabelCount> m_texts;
    uint32_t m_generation = 0;
};

// The colour label (0..kColorLabelCount - 1) is drawn in on ground: a hue of its own, as dark
// or light as it must be to read at 4.5:1 on ground (config/dark_colors.h).
CColorRef LabelColor(int label, CColorRef ground);

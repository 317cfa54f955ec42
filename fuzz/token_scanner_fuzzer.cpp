// Fuzzes the view's row tokenizer against a reference state machine: the tokens of a row,
// the token found under a display offset, and the cell arithmetic must agree for any text.
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "keywords/token_scanner.h"

namespace {

using fuzzing::FuzzInput;

enum Kind { kDigit, kHex, kWord, kOther, kWide };

Kind KindOf(char16_t u) {
    if (u >= 128) return kWide;
    if (u >= '0' && u <= '9') return kDigit;
    if ((u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f')) return kHex;
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_') return kWord;
    return kOther;
}

// Token boundaries of the whole text, written as a table of states.
std::vector<std::pair<int, int>> RefTokens(const std::u16string& t) {
    enum State { zero, decimal, hex, word, punct, wide };
    std::vector<std::pair<int, int>> tokens;
    size_t i = 0;
    while (i < t.size()) {
        size_t start = i;
        char16_t u = t[i++];
        State st;
        Kind k = KindOf(u);
        if (u == '0')
            st = zero;
        else if (u == '+' || u == '-' || k == kDigit)
            st = decimal;
        else if (k == kHex || k == kWord)
            st = word;
        else if (k == kWide)
            st = wide;
        else
            st = punct;
        for (; i < t.size(); ++i) {
            Kind c = KindOf(t[i]);
            bool more = false;
            switch (st) {
                case zero:
                    if (t[i] == 'x')
                        st = hex, more = true;
                    else if (c == kDigit)
                        st = decimal, more = true;
                    break;
                case decimal:
                    more = c == kDigit;
                    break;
                case hex:
                    more = c == kDigit || c == kHex;
                    break;
                case word:
                    more = c == kDigit || c == kHex || c == kWord;
                    break;
                case punct:
                    more = c == kOther;
                    break;
                case wide:
                    more = c == kWide;
                    break;
            }
            if (!more) break;
        }
        tokens.emplace_back(static_cast<int>(start), static_cast<int>(i - start));
    }
    return tokens;
}

int Cells(char16_t u) { return u > 0xFF ? 2 : 1; }

// Units counted while the cells so far are below the offset.
int RefColumn(const std::u16string& t, int offset) {
    int column = 0, width = 0;
    while (column < static_cast<int>(t.size()) && width < offset) width += Cells(t[column++]);
    return column;
}

const char16_t kUnits[] = {u'0', u'1',  u'9', u'x', u'X', u'a', u'f', u'F', u'g',  u'z',   u'G',   u'_',   u'+', u'-',
                           u' ', u'\t', u'.', u'[', u'@', 0x7F, 0x80, 0xFF, 0x100, 0x3042, 0xD800, 0xFFFF, 0};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    std::u16string text;
    uint32_t n = in.Below(200);
    for (uint32_t i = 0; i < n && !in.Empty(); ++i) {
        uint8_t b = in.Byte();
        text.push_back(b < 220 ? kUnits[b % (sizeof(kUnits) / sizeof(kUnits[0]))] : in.Word());
    }
    const int count = static_cast<int>(text.size());
    const char16_t* p = text.data();

    int width = 0;
    for (char16_t u : text) width += Cells(u);
    FUZZ_CHECK(DisplayWidth(p, count) == width);

    std::vector<std::pair<int, int>> tokens = RefTokens(text);
    for (const auto& t : tokens) FUZZ_CHECK(TokenLength(p, count, t.first) == t.second);
    FUZZ_CHECK(TokenLength(p, count, count) == 0);
    FUZZ_CHECK(TokenLength(p, count, -1) == 0);

    for (int probe = 0; probe < 8; ++probe) {
        int offset = static_cast<int>(in.Below(width + 4)) - 1;
        FUZZ_CHECK(DisplayOffsetToColumn(p, count, offset) == RefColumn(text, offset));
        int k = RefColumn(text, offset < 0 ? 0 : offset);
        int expectStart = 0, expectLength = 0;
        for (const auto& t : tokens) {
            if (k >= t.first && k < t.first + t.second) {
                expectStart = t.first;
                expectLength = t.second;
            }
        }
        int start = -1, length = -1;
        int found = FindTokenAt(p, count, offset, &start, &length);
        FUZZ_CHECK(found == (expectLength > 0 ? 1 : 0));
        FUZZ_CHECK(start == expectStart && length == expectLength);
    }
    return 0;
}

// The token state machine. A unit that does not continue the current token ends it and
// starts the next one, so every unit belongs to exactly one token.
#include "keywords/token_scanner.h"

namespace {

enum class CharClass { kDigit, kHex, kWord, kOther, kWide };
enum class State { kZero, kDecimal, kHex, kWord, kPunctuation, kWide };

CharClass Classify(char16_t u) {
    if (u >= 128) return CharClass::kWide;
    if (u >= '0' && u <= '9') return CharClass::kDigit;
    if ((u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f')) return CharClass::kHex;
    if ((u >= 'G' && u <= 'Z') || (u >= 'g' && u <= 'z') || u == '_') return CharClass::kWord;
    return CharClass::kOther;
}

State StartState(char16_t u) {
    if (u == '0') return State::kZero;
    if (u == '+' || u == '-' || (u >= '1' && u <= '9')) return State::kDecimal;
    switch (Classify(u)) {
        case CharClass::kHex:
        case CharClass::kWord:
            return State::kWord;
        case CharClass::kWide:
            return State::kWide;
        default:
            return State::kPunctuation;
    }
}

// Whether u continues a token in state *state; may move the state on ("0" then "x").
bool Continues(State* state, char16_t u) {
    CharClass c = Classify(u);
    switch (*state) {
        case State::kZero:
            if (u == 'x') {
                *state = State::kHex;
                return true;
            }
            if (c == CharClass::kDigit) {
                *state = State::kDecimal;
                return true;
            }
            return false;
        case State::kDecimal:
            return c == CharClass::kDigit;
        case State::kHex:
            return c == CharClass::kDigit || c == CharClass::kHex;
        case State::kWord:
            return c == CharClass::kDigit || c == CharClass::kHex || c == CharClass::kWord;
        case State::kPunctuation:
            return c == CharClass::kOther;
        case State::kWide:
            return c == CharClass::kWide;
    }
    return false;
}

}  // namespace

int DisplayWidth(const char16_t* text, int count) {
    int width = 0;
    for (int i = 0; i < count; ++i) width += CellWidth(text[i]);
    return width;
}

int DisplayOffsetToColumn(const char16_t* text, int count, int offset) {
    int column = 0;
    int width = 0;
    while (column < count && width < offset) width += CellWidth(text[column++]);
    return column;
}

int TokenLength(const char16_t* text, int count, int start) {
    if (text == nullptr || start < 0 || start >= count) return 0;
    State state = StartState(text[start]);
    int end = start + 1;
    while (end < count && Continues(&state, text[end])) ++end;
    return end - start;
}

int FindTokenAt(const char16_t* text, int count, int offset, int* start, int* length) {
    *start = 0;
    *length = 0;
    if (text == nullptr || count <= 0) return 0;
    int k = DisplayOffsetToColumn(text, count, offset < 0 ? 0 : offset);
    if (k >= count) return 0;
    for (int s = 0; s < count;) {
        int n = TokenLength(text, count, s);
        if (k < s + n) {
            *start = s;
            *length = n;
            return 1;
        }
        s += n;
    }
    return 0;
}

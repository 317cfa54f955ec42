// The literals a regular expression's matches must contain: from a PCRE2 pattern, a small
// set of texts of which every match holds at least one, derived conservatively (anything
// the derivation does not understand gives no set), so that a scan can skip the lines
// that hold none of them without asking PCRE2.
#pragma once

constexpr int kMaxLiterals = 16;
constexpr int kMaxLiteralUnits = 24;

struct CLiteral {
    char16_t units[kMaxLiteralUnits] = {};
    int length = 0;
};

// Folded: the literals are ASCII in lower case and stand for every casing of their letters
// (and, as PCRE2 matches ignoring case, for U+017F and U+212A where they hold s or k).
struct CLiteralSet {
    CLiteral items[kMaxLiterals];
    int count = 0;
    bool folded = false;
    // The pattern matches exactly where one of the texts occurs (no assertion, no option).
    bool exact = false;
};

// 1 with the set in *out when every match of the m units of pattern (compiled with PCRE2's
// UTF mode, CASELESS when ignoreCase) contains one of its literals; 0 when no such set can
// be told, or it would hold an empty text.
int DeriveLiterals(const char16_t* pattern, int m, bool ignoreCase, CLiteralSet* out);
// How much a set narrows a search: the smallest score of its literals, a literal's score
// growing with its length and the rarity of its units in logs. 0 for an empty set.
int LiteralSetScore(const CLiteralSet& set);

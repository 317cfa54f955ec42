// The literal derivation: a recursive descent over the pattern that knows, for each part,
// either the exact texts it matches (a few short ones) or texts one of which every match
// holds. Constructs it does not follow exactly either count as "some text" (an escape
// class, a back reference, a dot) or, where they could change how the rest is read
// (extended mode, \Q, verbs, conditionals), end the derivation with no set.
#include "search/regex_literals.h"

namespace {

constexpr int kMaxDepth = 10;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsAsciiAlnum(char16_t c) { return IsDigit(c) || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool IsQuantifierStart(char16_t c) { return c == u'?' || c == u'*' || c == u'+' || c == u'{'; }

int HexValue(char16_t c) {
    if (IsDigit(c)) return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// How common a unit is in logs: spaces, digits and the usual lower-case letters most.
int Commonness(char16_t c) {
    if (c == u' ' || c == u'e' || c == u't' || c == u'a' || c == u'o' || c == u'i' || c == u'n' || c == u's' ||
        c == u'r' || IsDigit(c)) {
        return 4;
    }
    if ((c >= u'a' && c <= u'z') || c == u'=' || c == u':' || c == u'.' || c == u'-' || c == u'/' || c == u',')
        return 3;
    if (c >= u'A' && c <= u'Z') return 2;
    return 1;
}

// Texts a part of the pattern matches exactly (exact), or of which every match holds one.
struct CPartInfo {
    CLiteralSet exact;
    bool exactKnown = false;
    CLiteralSet required;
    bool requiredKnown = false;
};

bool HasEmpty(const CLiteralSet& s) {
    for (int i = 0; i < s.count; ++i) {
        if (s.items[i].length == 0) return true;
    }
    return false;
}

bool SameLiteral(const CLiteral& a, const CLiteral& b) {
    if (a.length != b.length) return false;
    for (int k = 0; k < a.length; ++k) {
        if (a.units[k] != b.units[k]) return false;
    }
    return true;
}

bool AddLiteral(CLiteralSet* s, const CLiteral& l) {
    for (int i = 0; i < s->count; ++i) {
        if (SameLiteral(s->items[i], l)) return true;
    }
    if (s->count == kMaxLiterals) return false;
    s->items[s->count++] = l;
    return true;
}

void SetEmpty(CLiteralSet* s) {
    s->count = 1;
    s->items[0].length = 0;
}

// out = a, then b appended to every text of a; false when it grows too large.
bool Product(const CLiteralSet& a, const CLiteralSet& b, CLiteralSet* out) {
    if (a.count * b.count > kMaxLiterals) return false;
    CLiteralSet r;
    for (int i = 0; i < a.count; ++i) {
        for (int j = 0; j < b.count; ++j) {
            const CLiteral& x = a.items[i];
            const CLiteral& y = b.items[j];
            if (x.length + y.length > kMaxLiteralUnits) return false;
            CLiteral l = x;
            for (int k = 0; k < y.length; ++k) l.units[l.length++] = y.units[k];
            if (!AddLiteral(&r, l)) return false;
        }
    }
    *out = r;
    return true;
}

bool Union(const CLiteralSet& a, const CLiteralSet& b, CLiteralSet* out) {
    CLiteralSet r = a;
    for (int j = 0; j < b.count; ++j) {
        if (!AddLiteral(&r, b.items[j])) return false;
    }
    *out = r;
    return true;
}

// The texts every match of the part holds, or null.
const CLiteralSet* Required(const CPartInfo& info) {
    if (info.exactKnown && !HasEmpty(info.exact)) return &info.exact;
    return info.requiredKnown ? &info.required : nullptr;
}

int LiteralScore(const CLiteral& l) {
    int score = 0;
    for (int k = 0; k < l.length; ++k) score += 5 - Commonness(l.units[k]);
    return score;
}

class CLiteralParser {
public:
    CLiteralParser(const char16_t* pattern, int m, bool fold) : m_p(pattern), m_m(m), m_fold(fold) {}
    // 1 with the part's info for the whole pattern, 0 when it cannot be derived.
    int Parse(CPartInfo* out) {
        Alternation(out, 0);
        return !m_bad && m_i == m_m;
    }
    // An assertion or an option setting was read: the texts alone do not say where it matches.
    bool Asserts() const { return m_asserts; }

private:
    char16_t At(int i) const { return i < m_m ? m_p[i] : 0; }
    void Alternation(CPartInfo* out, int depth);
    void Sequence(CPartInfo* out, int depth);
    void Atom(CPartInfo* out, int depth);
    void Group(CPartInfo* out, int depth);
    void Class(CPartInfo* out);
    int Escape(bool inClass);
    bool Quantifier(int* min, int* max);
    void Repeat(CPartInfo* item, int min, int max);
    void Char(CPartInfo* out, int c);
    bool SkipTo(char16_t close);
    void SkipName(char16_t close);

    const char16_t* m_p;
    int m_m;
    bool m_fold;
    int m_i = 0;
    bool m_bad = false;
    bool m_asserts = false;
};

// Escape results besides a character value.
constexpr int kSomeText = -1;  // matches something not known
constexpr int kNoText = -2;    // matches the empty text (an assertion)

void CLiteralParser::Char(CPartInfo* out, int c) {
    *out = CPartInfo();
    if (c == kNoText) {
        m_asserts = true;
        SetEmpty(&out->exact);
        out->exactKnown = true;
        return;
    }
    if (c < 0 || IsSurrogate(static_cast<char16_t>(c)) || (m_fold && c >= 0x80)) return;
    auto unit = static_cast<char16_t>(c);
    if (m_fold && unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit + 0x20);
    out->exact.count = 1;
    out->exact.items[0].units[0] = unit;
    out->exact.items[0].length = 1;
    out->exactKnown = true;
}

bool CLiteralParser::SkipTo(char16_t close) {
    while (m_i < m_m && m_p[m_i] != close) ++m_i;
    if (m_i == m_m) return false;
    ++m_i;
    return true;
}

// A group's name up to close: word characters only, or the derivation ends (so that a
// construct such as (?<* is never taken for a name).
void CLiteralParser::SkipName(char16_t close) {
    int start = m_i;
    while (m_i < m_m && m_p[m_i] != close) {
        char16_t c = m_p[m_i++];
        if (!IsAsciiAlnum(c) && c != u'_' && c < 0x80) m_bad = true;
    }
    if (m_i == m_m || m_i == start) m_bad = true;
    ++m_i;
}

// Reads the escape at m_i (the backslash): a character value, kSomeText or kNoText; sets
// m_bad for escapes that change how the rest is read or that it does not know.
int CLiteralParser::Escape(bool inClass) {
    char16_t c = At(m_i + 1);
    m_i += 2;
    if (m_i > m_m) {
        m_bad = true;
        return kSomeText;
    }
    if (!IsAsciiAlnum(c)) return c;
    switch (c) {
        case u't':
            return '\t';
        case u'n':
            return '\n';
        case u'r':
            return '\r';
        case u'f':
            return '\f';
        case u'a':
            return 7;
        case u'e':
            return 0x1B;
        case u'x': {
            int value = 0;
            if (At(m_i) == u'{') {
                ++m_i;
                while (HexValue(At(m_i)) >= 0 && value < 0x110000) value = value * 16 + HexValue(m_p[m_i++]);
                if (At(m_i) != u'}') m_bad = true;
                ++m_i;
            } else {
                for (int k = 0; k < 2 && HexValue(At(m_i)) >= 0; ++k) value = value * 16 + HexValue(m_p[m_i++]);
            }
            return value < 0x80 ? value : kSomeText;
        }
        case u'b':
            return inClass ? 8 : kNoText;
        case u'B':
        case u'A':
        case u'z':
        case u'Z':
        case u'G':
        case u'K':
            return kNoText;
        case u'd':
        case u'D':
        case u'w':
        case u'W':
        case u's':
        case u'S':
        case u'h':
        case u'H':
        case u'v':
        case u'V':
        case u'R':
        case u'X':
        case u'C':
            return kSomeText;
        case u'N':
        case u'p':
        case u'P':
            if (At(m_i) == u'{') {
                if (!SkipTo(u'}')) m_bad = true;
            } else if (c != u'N') {
                ++m_i;
            }
            return kSomeText;
        case u'o':
            if (At(m_i) != u'{' || !SkipTo(u'}')) m_bad = true;
            return kSomeText;
        case u'c':
            ++m_i;
            return kSomeText;
        case u'k':
        case u'g': {
            char16_t open = At(m_i);
            char16_t close = open == u'<' ? u'>' : open == u'\'' ? u'\'' : open == u'{' ? u'}' : 0;
            if (close != 0) {
                ++m_i;
                if (!SkipTo(close)) m_bad = true;
                return kSomeText;
            }
            if (c == u'k') m_bad = true;
            if (At(m_i) == u'+' || At(m_i) == u'-') ++m_i;
            while (IsDigit(At(m_i))) ++m_i;
            return kSomeText;
        }
        default:
            break;
    }
    if (IsDigit(c)) {
        // \1 to \9 refer back; longer numbers may be octal codes instead, \0 always is one.
        if (c == u'0') {
            for (int k = 0; k < 2 && At(m_i) >= u'0' && At(m_i) <= u'7'; ++k) ++m_i;
        } else if (IsDigit(At(m_i)) || inClass) {
            m_bad = true;
        }
        return kSomeText;
    }
    m_bad = true;
    return kSomeText;
}

// A {n}, {n,} or {n,m} at m_i, read into min and max (-1: no limit); false, leaving m_i,
// when there is none. A brace that is no strict quantifier but might read as one in some
// PCRE2 version (spaces, {,m}) ends the derivation.
bool CLiteralParser::Quantifier(int* min, int* max) {
    char16_t c = At(m_i);
    if (c == u'?' || c == u'*' || c == u'+') {
        ++m_i;
        *min = c == u'+' ? 1 : 0;
        *max = c == u'?' ? 1 : -1;
    } else if (c == u'{') {
        int j = m_i + 1;
        int lo = 0;
        int hi = -1;
        bool digits = false;
        while (IsDigit(At(j)) && lo < 100000) {
            lo = lo * 10 + (At(j++) - u'0');
            digits = true;
        }
        if (At(j) == u',') {
            ++j;
            if (IsDigit(At(j))) {
                hi = 0;
                while (IsDigit(At(j)) && hi < 100000) hi = hi * 10 + (At(j++) - u'0');
            }
        } else {
            hi = lo;
        }
        if (!digits || At(j) != u'}') {
            char16_t next = At(m_i + 1);
            if (IsDigit(next) || next == u',' || next == u' ' || next == u'\t') m_bad = true;
            return false;  // a literal brace
        }
        m_i = j + 1;
        *min = lo;
        *max = hi;
    } else {
        return false;
    }
    if (At(m_i) == u'?' || At(m_i) == u'+') ++m_i;  // lazy or possessive
    return true;
}

void CLiteralParser::Repeat(CPartInfo* item, int min, int max) {
    CPartInfo r;
    if (min == 0) {
        if (max == 1 && item->exactKnown) {
            CLiteralSet empty;
            SetEmpty(&empty);
            r.exactKnown = Union(item->exact, empty, &r.exact);
        }
    } else {
        const CLiteralSet* required = Required(*item);
        if (required != nullptr) {
            r.required = *required;
            r.requiredKnown = true;
        }
        if (min == max && min <= 4 && item->exactKnown) {
            r.exact = item->exact;
            r.exactKnown = true;
            for (int k = 1; k < min && r.exactKnown; ++k) r.exactKnown = Product(r.exact, item->exact, &r.exact);
        }
    }
    *item = r;
}

void CLiteralParser::Class(CPartInfo* out) {
    *out = CPartInfo();
    ++m_i;
    bool known = true;
    if (At(m_i) == u'^') {
        known = false;
        ++m_i;
    }
    CLiteralSet set;
    for (bool first = true;; first = false) {
        if (m_i >= m_m || m_bad) {
            m_bad = true;
            return;
        }
        char16_t c = m_p[m_i];
        if (c == u']' && !first) {
            ++m_i;
            break;
        }
        if (c == u'[' && (At(m_i + 1) == u':' || At(m_i + 1) == u'.' || At(m_i + 1) == u'=')) {
            char16_t kind = At(m_i + 1);
            int j = m_i + 2;
            while (j + 1 < m_m && !(m_p[j] == kind && m_p[j + 1] == u']')) ++j;
            if (j + 1 >= m_m) {
                m_bad = true;
                return;
            }
            m_i = j + 2;
            known = false;
            continue;
        }
        int lo = c == u'\\' ? Escape(true) : m_p[m_i++];
        int hi = lo;
        if (At(m_i) == u'-' && m_i + 1 < m_m && m_p[m_i + 1] != u']') {
            ++m_i;
            if (At(m_i) == u'[') {
                m_bad = true;
                return;
            }
            hi = At(m_i) == u'\\' ? Escape(true) : m_p[m_i++];
        }
        if (lo < 0 || hi < 0 || hi - lo >= kMaxLiterals) {
            known = false;
            continue;
        }
        for (int v = lo; v <= hi && known; ++v) {
            CPartInfo one;
            Char(&one, v);
            known = one.exactKnown && AddLiteral(&set, one.exact.items[0]);
        }
    }
    if (!known || set.count == 0) return;
    out->exact = set;
    out->exactKnown = true;
}

// A group at m_i (the opening parenthesis): capturing, non-capturing, named, atomic,
// with options, or an assertion (which matches the empty text).
void CLiteralParser::Group(CPartInfo* out, int depth) {
    *out = CPartInfo();
    ++m_i;
    bool assertion = false;
    if (At(m_i) == u'*' || depth >= kMaxDepth) {
        m_bad = true;
        return;
    }
    if (At(m_i) == u'?') {
        char16_t c = At(m_i + 1);
        char16_t d = At(m_i + 2);
        m_i += 2;
        if (c == u':' || c == u'|' || c == u'>') {
        } else if (c == u'=' || c == u'!') {
            assertion = true;
        } else if (c == u'<' && (d == u'=' || d == u'!')) {
            ++m_i;
            assertion = true;
        } else if (c == u'<' || c == u'\'' || (c == u'P' && d == u'<')) {
            if (c == u'P') ++m_i;
            SkipName(c == u'\'' ? u'\'' : u'>');
        } else if (c == u'#') {
            // A comment is not an item: a quantifier after it repeats the item before.
            if (!SkipTo(u')') || IsQuantifierStart(At(m_i))) m_bad = true;
            SetEmpty(&out->exact);
            out->exactKnown = true;
            return;
        } else if (c == u'R' || IsDigit(c) || c == u'&' || (c == u'P' && (d == u'=' || d == u'>')) ||
                   ((c == u'+' || c == u'-') && IsDigit(d))) {
            // A back reference or a call of a group: some text.
            if (!SkipTo(u')')) m_bad = true;
            return;
        } else {
            // Options (the caller read them beforehand), alone or opening a group.
            m_asserts = true;
            --m_i;
            while (m_i < m_m && (IsAsciiAlnum(m_p[m_i]) || m_p[m_i] == u'-' || m_p[m_i] == u'^')) {
                if (IsDigit(m_p[m_i])) m_bad = true;
                ++m_i;
            }
            if (At(m_i) == u')') {
                ++m_i;
                if (IsQuantifierStart(At(m_i))) m_bad = true;
                SetEmpty(&out->exact);
                out->exactKnown = true;
                return;
            }
            if (At(m_i) != u':') m_bad = true;
            ++m_i;
        }
    }
    if (m_bad) return;
    Alternation(out, depth + 1);
    if (At(m_i) != u')') {
        m_bad = true;
        return;
    }
    ++m_i;
    if (assertion) {
        m_asserts = true;
        *out = CPartInfo();
        SetEmpty(&out->exact);
        out->exactKnown = true;
    }
}

void CLiteralParser::Atom(CPartInfo* out, int depth) {
    char16_t c = m_p[m_i];
    switch (c) {
        case u'(':
            Group(out, depth);
            return;
        case u'[':
            Class(out);
            return;
        case u'\\':
            Char(out, Escape(false));
            return;
        case u'.':
            ++m_i;
            Char(out, kSomeText);
            return;
        case u'^':
        case u'$':
            ++m_i;
            Char(out, kNoText);
            return;
        case u'*':
        case u'+':
        case u'?':
            m_bad = true;
            return;
        case u'{': {
            char16_t next = At(m_i + 1);
            if (IsDigit(next) || next == u',' || next == u' ' || next == u'\t') m_bad = true;
            break;
        }
        default:
            break;
    }
    ++m_i;
    Char(out, c);
}

void CLiteralParser::Sequence(CPartInfo* out, int depth) {
    CLiteralSet run;
    SetEmpty(&run);
    bool allExact = true;
    CLiteralSet best;
    bool bestKnown = false;
    auto consider = [&](const CLiteralSet& s) {
        if (HasEmpty(s) || s.count == 0) return;
        if (!bestKnown || LiteralSetScore(s) > LiteralSetScore(best)) {
            best = s;
            bestKnown = true;
        }
    };
    CPartInfo item;
    while (m_i < m_m && !m_bad && m_p[m_i] != u'|' && m_p[m_i] != u')') {
        Atom(&item, depth);
        int min = 1;
        int max = 1;
        while (!m_bad && Quantifier(&min, &max)) Repeat(&item, min, max);
        if (m_bad) return;
        if (item.exactKnown) {
            CLiteralSet joined;
            if (Product(run, item.exact, &joined)) {
                run = joined;
                continue;
            }
            consider(run);
            run = item.exact;
            allExact = false;
            continue;
        }
        consider(run);
        const CLiteralSet* required = Required(item);
        if (required != nullptr) consider(*required);
        SetEmpty(&run);
        allExact = false;
    }
    consider(run);
    *out = CPartInfo();
    if (allExact) {
        out->exact = run;
        out->exactKnown = true;
    }
    out->required = best;
    out->requiredKnown = bestKnown;
}

void CLiteralParser::Alternation(CPartInfo* out, int depth) {
    Sequence(out, depth);
    while (!m_bad && At(m_i) == u'|') {
        ++m_i;
        CPartInfo branch;
        Sequence(&branch, depth);
        const CLiteralSet* a = Required(*out);
        const CLiteralSet* b = Required(branch);
        CPartInfo joined;
        joined.requiredKnown = a != nullptr && b != nullptr && Union(*a, *b, &joined.required);
        joined.exactKnown = out->exactKnown && branch.exactKnown && Union(out->exact, branch.exact, &joined.exact);
        *out = joined;
    }
}

// Looks at every option setting, (?flags) or (?flags:: 0 when one turns on extended mode
// (where spaces and # read otherwise); *fold when one turns on caseless matching anywhere
// (the whole pattern is then taken as caseless, which only widens the set).
int ReadOptions(const char16_t* p, int m, bool* fold) {
    for (int i = 0; i + 1 < m; ++i) {
        if (p[i] == u'\\') {
            ++i;
            continue;
        }
        if (p[i] != u'(' || p[i + 1] != u'?') continue;
        int j = i + 2;
        bool off = false;
        bool sawI = false;
        bool sawX = false;
        for (; j < m &&
               ((p[j] >= u'a' && p[j] <= u'z') || (p[j] >= u'A' && p[j] <= u'Z') || p[j] == u'-' || p[j] == u'^');
             ++j) {
            if (p[j] == u'-') off = true;
            if (p[j] == u'i' && !off) sawI = true;
            if (p[j] == u'x') sawX = true;
        }
        if (j == m || (p[j] != u')' && p[j] != u':')) continue;
        if (sawX) return 0;
        if (sawI) *fold = true;
    }
    return 1;
}

}  // namespace

int LiteralSetScore(const CLiteralSet& set) {
    if (set.count == 0) return 0;
    int score = -1;
    for (int i = 0; i < set.count; ++i) {
        int s = LiteralScore(set.items[i]);
        if (score < 0 || s < score) score = s;
    }
    return score;
}

int DeriveLiterals(const char16_t* pattern, int m, bool ignoreCase, CLiteralSet* out) {
    out->count = 0;
    bool fold = ignoreCase;
    if (pattern == nullptr || m <= 0 || !ReadOptions(pattern, m, &fold)) return 0;
    for (int i = 0; i + 1 < m; ++i) {
        // \Q quotes and \E ends the quote (alone, it is ignored): both change how text reads.
        if (pattern[i] == u'\\' && (pattern[i + 1] == u'Q' || pattern[i + 1] == u'E')) return 0;
        if (pattern[i] == u'\\') ++i;
    }
    CLiteralParser parser(pattern, m, fold);
    CPartInfo info;
    if (!parser.Parse(&info)) return 0;
    const CLiteralSet* required = Required(info);
    if (required == nullptr || required->count == 0 || HasEmpty(*required)) return 0;
    *out = *required;
    out->folded = fold;
    out->exact = info.exactKnown && !parser.Asserts();
    return 1;
}

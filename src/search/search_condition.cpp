// The search condition: storage of its texts and the AND / OR test of one line.
#include "search/search_condition.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "search/case_fold.h"
#include "search/regex.h"

CSearchCondition::~CSearchCondition() { Clear(); }

void CSearchCondition::Clear() {
    for (int i = 0; i < m_count; ++i) {
        delete m_texts[i];
        std::free(m_wide[i]);
        std::free(m_folded[i]);
        delete m_regex[i];
        m_regex[i] = nullptr;
        m_texts[i] = nullptr;
        m_wide[i] = nullptr;
        m_folded[i] = nullptr;
        m_lengths[i] = 0;
        m_options[i] = 0;
    }
    m_count = 0;
    m_matchAll = 0;
}

int CSearchCondition::Add(const char16_t* text, int options, CPatternError* error) {
    if (text == nullptr || text[0] == 0 || m_count >= kMaxConditionTexts) return 0;
    auto* s = new (std::nothrow) CString(text);
    if (s == nullptr) return 0;
    // Compare with what the string holds, so the highlight and the search agree.
    const char16_t* held = s->GetWide();
    int n = 0;
    while (held != nullptr && held[n] != 0) ++n;
    auto* copy = n > 0 ? static_cast<char16_t*>(std::malloc((static_cast<size_t>(n) + 1) * sizeof(char16_t))) : nullptr;
    if (copy == nullptr) {
        delete s;
        return 0;
    }
    std::memcpy(copy, held, (static_cast<size_t>(n) + 1) * sizeof(char16_t));
    CRegex* regex = nullptr;
    if ((options & kRegex) != 0) {
        CPatternError own;
        CPatternError* e = error != nullptr ? error : &own;
        regex = new (std::nothrow) CRegex();
        if (regex == nullptr || !regex->Compile(copy, n, (options & kMatchCase) == 0, e->message, &e->offset)) {
            if (regex == nullptr) e->offset = -1;
            delete regex;
            std::free(copy);
            delete s;
            return 0;
        }
    }
    char16_t* folded = nullptr;
    if ((options & kMatchCase) == 0 && regex == nullptr) {
        folded = static_cast<char16_t*>(std::malloc((static_cast<size_t>(n) + 1) * sizeof(char16_t)));
        if (folded == nullptr) {
            std::free(copy);
            delete s;
            return 0;
        }
        FoldText(copy, n, folded);
        folded[n] = 0;
    }
    m_texts[m_count] = s;
    m_wide[m_count] = copy;
    m_folded[m_count] = folded;
    m_regex[m_count] = regex;
    m_lengths[m_count] = n;
    m_options[m_count] = options;
    ++m_count;
    return 1;
}

const char16_t* CSearchCondition::ComparedText(int i, int* length) const {
    const char16_t* text = WideText(i, length);
    return text != nullptr && m_folded[i] != nullptr ? m_folded[i] : text;
}

const char16_t* CSearchCondition::WideText(int i, int* length) const {
    if (i < 0 || i >= m_count) {
        if (length != nullptr) *length = 0;
        return nullptr;
    }
    if (length != nullptr) *length = m_lengths[i];
    return m_wide[i];
}

int FindUnits(const char16_t* text, int n, const char16_t* needle, int m) {
    if (m <= 0 || m > n) return -1;
    char16_t first = needle[0];
    for (int j = 0; j + m <= n; ++j) {
        if (text[j] != first) continue;
        int k = 1;
        while (k < m && text[j + k] == needle[k]) ++k;
        if (k == m) return j;
    }
    return -1;
}

bool CSearchCondition::Occurs(int i, const char16_t* text, int n) const {
    return m_regex[i] != nullptr    ? m_regex[i]->Match(text, n, false) != 0
           : m_folded[i] != nullptr ? FindUnitsFolded(text, n, m_folded[i], m_lengths[i]) >= 0
                                    : FindUnits(text, n, m_wide[i], m_lengths[i]) >= 0;
}

int CSearchCondition::PositiveCount() const {
    int n = 0;
    for (int i = 0; i < m_count; ++i) n += IsNot(i) ? 0 : 1;
    return n;
}

int CSearchCondition::Matches(const char16_t* text, int n) const {
    if (m_count == 0 || text == nullptr || n <= 0) return 0;
    // The positive texts first: a line they refuse never needs the kNot texts.
    bool any = false;
    bool satisfied = m_matchAll != 0;
    for (int i = 0; i < m_count; ++i) {
        if (IsNot(i)) continue;
        any = true;
        bool found = Occurs(i, text, n);
        if (m_matchAll != 0 && !found) return 0;
        if (m_matchAll == 0 && found) {
            satisfied = true;
            break;
        }
    }
    if (any && !satisfied) return 0;
    for (int i = 0; i < m_count; ++i) {
        if (IsNot(i) && Occurs(i, text, n)) return 0;
    }
    return 1;
}

int CSearchCondition::MatchesAtStart(const char16_t* text, int n) const {
    if (text == nullptr) return 0;
    for (int i = 0; i < m_count; ++i) {
        if (IsNot(i)) continue;
        if (m_regex[i] != nullptr) {
            if (m_regex[i]->Match(text, n, true, false)) return 1;
            continue;
        }
        int m = m_lengths[i];
        if (m <= 0 || m > n) continue;
        int k = 0;
        if (m_folded[i] != nullptr) {
            while (k < m && FoldAt(text, k) == m_folded[i][k]) ++k;
        } else {
            while (k < m && text[k] == m_wide[i][k]) ++k;
        }
        if (k == m) return 1;
    }
    return 0;
}

int64_t CSearchCondition::LimitHits() const {
    int64_t hits = 0;
    for (int i = 0; i < m_count; ++i) hits += m_regex[i] != nullptr ? m_regex[i]->LimitHits() : 0;
    return hits;
}

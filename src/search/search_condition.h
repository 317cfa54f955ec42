// CSearchCondition: the application's one search condition - up to 10 texts and a
// match-all flag - that search, extraction and the view's highlighting share.
// Texts are kept as CString and as a UTF-16 copy made once, so Matches never converts or
// allocates. UI thread only.
#pragma once

#include <cstdint>

#include "foundation/object.h"
#include "foundation/string.h"

constexpr int kMaxConditionTexts = 10;

// How a condition text is compared: kMatchCase exactly, unit by unit; without it both
// sides are folded with Unicode's simple case folding.
constexpr int kMatchCase = 1;

class CSearchCondition : public CObject {
public:
    CSearchCondition() = default;
    ~CSearchCondition() override;
    CSearchCondition(const CSearchCondition&) = delete;
    CSearchCondition& operator=(const CSearchCondition&) = delete;

    // Destroys the texts; count 0, match all 0.
    void Clear();
    // Stores text as the next condition text, compared as options say: 1, or 0 when it is
    // empty, all 10 slots are taken or memory ran out (nothing changes then).
    int Add(const char16_t* text, int options = kMatchCase);
    // 1 when the n units of text satisfy the condition: with match all every condition
    // text occurs in it, otherwise at least one does, each compared by its options. No
    // texts or an empty line never match.
    int Matches(const char16_t* text, int n) const;
    // 1 when some condition text matches at the start of the n units of text (the view's
    // highlighting of a token), else 0.
    int MatchesAtStart(const char16_t* text, int n) const;

    int Count() const { return m_count; }
    int MatchAll() const { return m_matchAll; }
    void SetMatchAll(int matchAll) { m_matchAll = matchAll != 0 ? 1 : 0; }
    // Text i as stored, or null outside 0..Count() - 1.
    CString* Text(int i) const { return i >= 0 && i < m_count ? m_texts[i] : nullptr; }
    // Text i in UTF-16 (NUL-terminated) with its length in units, or null.
    const char16_t* WideText(int i, int* length) const;
    // The options text i was added with (0 outside 0..Count() - 1).
    int Options(int i) const { return i >= 0 && i < m_count ? m_options[i] : 0; }
    // Text i as it is compared: folded when case is ignored, else as stored; null outside.
    const char16_t* ComparedText(int i, int* length) const;

private:
    CString* m_texts[kMaxConditionTexts] = {};
    char16_t* m_wide[kMaxConditionTexts] = {};
    char16_t* m_folded[kMaxConditionTexts] = {};  // the folded text when case is ignored
    int32_t m_lengths[kMaxConditionTexts] = {};
    int m_options[kMaxConditionTexts] = {};
    int m_count = 0;
    int m_matchAll = 0;
};

// Index of the first occurrence of the m units of needle in the n units of text, or -1.
int FindUnits(const char16_t* text, int n, const char16_t* needle, int m);

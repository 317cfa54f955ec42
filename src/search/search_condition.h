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
// sides are folded with Unicode's simple case folding. kRegex: the text is a regular
// expression (PCRE2; ignoring case then as PCRE2 does in UTF mode). kNot: a line that
// holds the text does not match, whatever the other texts say.
constexpr int kMatchCase = 1;
constexpr int kRegex = 2;
constexpr int kNot = 4;

class CRegex;

// Which way a search goes from its start row.
enum class CSearchDirection { kPrevious, kNext };

// Why a regular expression was refused: PCRE2's message and the offset (in units) of the
// place in the pattern where it stopped.
struct CPatternError {
    char16_t message[256] = {};
    int offset = -1;  // -1: no pattern error (the text was empty, or memory ran out)
};

class CSearchCondition : public CObject {
public:
    CSearchCondition() = default;
    ~CSearchCondition() override;
    CSearchCondition(const CSearchCondition&) = delete;
    CSearchCondition& operator=(const CSearchCondition&) = delete;

    // Destroys the texts; count 0, match all 0.
    void Clear();
    // Stores text as the next condition text, compared as options say: 1, or 0 when it is
    // empty, all 10 slots are taken, memory ran out or (with kRegex) it does not compile,
    // which error (when given) then explains. Nothing changes on 0.
    int Add(const char16_t* text, int options = kMatchCase, CPatternError* error = nullptr);
    // 1 when the n units of text satisfy the condition: with match all every condition
    // text without kNot occurs in it, otherwise at least one does (or there is none), and
    // no kNot text occurs, each compared by its options. No texts or an empty line never
    // match.
    int Matches(const char16_t* text, int n) const;
    // 1 when some condition text without kNot matches at the start of the n units of text
    // (the view's highlighting of a token), else 0. A limit reached here is not counted in
    // LimitHits.
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
    bool IsNot(int i) const { return (Options(i) & kNot) != 0; }
    // How many texts are kept without kNot.
    int PositiveCount() const;
    // Text i as it is compared: folded when case is ignored, else as stored; null outside.
    const char16_t* ComparedText(int i, int* length) const;
    // Text i's compiled expression (null for a plain text).
    const CRegex* Regex(int i) const { return i >= 0 && i < m_count ? m_regex[i] : nullptr; }
    // Lines on which an expression of the condition reached PCRE2's limits in Matches (the
    // scans; they counted as not matching), since its texts were added.
    int64_t LimitHits() const;

private:
    bool Occurs(int i, const char16_t* text, int n) const;

    CString* m_texts[kMaxConditionTexts] = {};
    char16_t* m_wide[kMaxConditionTexts] = {};
    char16_t* m_folded[kMaxConditionTexts] = {};  // the folded text when case is ignored
    CRegex* m_regex[kMaxConditionTexts] = {};
    int32_t m_lengths[kMaxConditionTexts] = {};
    int m_options[kMaxConditionTexts] = {};
    int m_count = 0;
    int m_matchAll = 0;
};

// Index of the first occurrence of the m units of needle in the n units of text, or -1.
int FindUnits(const char16_t* text, int n, const char16_t* needle, int m);

// The error-keyword test on bytes where it is exact, on converted text elsewhere.
// FindErrorKeyword tries every position whose unit has the error bit and every error keyword
// there; a keyword can only match where the unit equals its first unit, so at a flagged
// byte b only the error keywords beginning with b need comparing.
#include "document/error_scanner.h"

#include <cstdlib>

#include "foundation/convert.h"
#include "keywords/keyword_set.h"

namespace {

bool IsAscii(const char16_t* text, int32_t length) {
    for (int32_t i = 0; i < length; ++i) {
        if (text[i] >= 0x80) return false;
    }
    return true;
}

}  // namespace

CErrorScanner::CErrorScanner(const CKeywordSet* keywords, unsigned codePage)
    : m_keywords(keywords), m_codePage(codePage) {}

CErrorScanner::~CErrorScanner() {
    std::free(m_candidates);
    std::free(m_wide);
}

int CErrorScanner::Prepare() {
    m_active = false;
    if (m_keywords == nullptr) return 1;
    const uint8_t* flags = m_keywords->FlagTable();
    uint32_t errorCount = 0;
    bool asciiOnly = true;
    for (uint32_t i = 0; i < m_keywords->Count(); ++i) {
        const CKeywordEntry& e = m_keywords->Entry(i);
        if (e.error == 0 || e.length == 0) continue;
        ++errorCount;
        if (!IsAscii(e.wide, e.length)) asciiOnly = false;
    }
    if (errorCount == 0) return 1;
    bool wideFlagged = false;
    for (uint32_t u = 0x80; u < 0x10000 && !wideFlagged; ++u) wideFlagged = (flags[u] & kKeywordFlagError) != 0;
    m_traits = GetCodePageTraits(m_codePage);
    m_anyLineOnBytes = m_traits.utf8 && asciiOnly && !wideFlagged;

    m_candidates = static_cast<Candidate*>(std::calloc(errorCount, sizeof(Candidate)));
    if (m_candidates == nullptr) return 0;
    // Group the ASCII error keywords by first byte, keeping set order within a group.
    uint32_t next = 0;
    for (int b = 0; b < 128; ++b) {
        m_first[b] = next;
        for (uint32_t i = 0; i < m_keywords->Count(); ++i) {
            const CKeywordEntry& e = m_keywords->Entry(i);
            if (e.error == 0 || e.length == 0 || e.wide[0] != b || !IsAscii(e.wide, e.length)) continue;
            m_candidates[next++] = Candidate{e.wide, e.length};
            ++m_count[b];
        }
    }
    for (int b = 0; b < 256; ++b) {
        if (b >= 0x80) {
            m_class[b] = 2;
        } else if ((flags[b] & kKeywordFlagError) != 0) {
            m_class[b] = 1;
        }
    }
    m_active = true;
    return 1;
}

int CErrorScanner::TryAt(const unsigned char* bytes, uint32_t length, uint32_t at) const {
    const Candidate* c = m_candidates + m_first[bytes[at]];
    for (uint32_t k = 0; k < m_count[bytes[at]]; ++k, ++c) {
        if (static_cast<uint32_t>(c->length) > length - at) continue;
        int32_t i = 1;
        while (i < c->length && c->text[i] == bytes[at + i]) ++i;
        if (i == c->length) return 1;
    }
    return 0;
}

int CErrorScanner::Convert(const char* bytes, uint32_t length) {
    // A unit never takes more than a byte in the code pages used for logs; ask when it does.
    size_t need = static_cast<size_t>(length) + 1;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (need > m_wideCapacity) {
            auto* grown = static_cast<char16_t*>(std::realloc(m_wide, need * sizeof(char16_t)));
            if (grown == nullptr) return -1;
            m_wide = grown;
            m_wideCapacity = need;
        }
        int n = MultiByteToWide(m_codePage, bytes, static_cast<int>(length), m_wide, static_cast<int>(m_wideCapacity));
        if (n > 0 || length == 0) return n;
        int needed = MultiByteToWide(m_codePage, bytes, static_cast<int>(length), nullptr, 0);
        if (needed <= 0 || static_cast<size_t>(needed) < m_wideCapacity) return 0;
        need = static_cast<size_t>(needed) + 1;
    }
    return 0;
}

int CErrorScanner::HasError(const char* text, uint32_t length) {
    if (!m_active) return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    if (m_anyLineOnBytes) {
        for (uint32_t i = 0; i < length; ++i) {
            if (m_class[bytes[i]] == 1 && TryAt(bytes, length, i)) return 1;
        }
        return 0;
    }
    if (m_traits.asciiIdentity) {
        // Up to the first byte of 0x80 or more, bytes are units; a match there stands.
        uint32_t i = 0;
        for (; i < length; ++i) {
            uint8_t c = m_class[bytes[i]];
            if (c == 0) continue;
            if (c == 2) break;
            if (TryAt(bytes, length, i)) return 1;
        }
        if (i == length) return 0;
    }
    int n = Convert(text, length);
    if (n <= 0) return 0;
    return m_keywords->FindErrorKeyword(m_wide, n) >= 0 ? 1 : 0;
}

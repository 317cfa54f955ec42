// CKeywordSet storage, the flag table and the lookups. The file format is in keyword_file.cpp.
#include "keywords/keyword_set.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

int WideLength(const char16_t* text) {
    int n = 0;
    while (text[n] != 0) ++n;
    return n;
}

// Fills an entry's text and its UTF-16 copy. The copy is taken from the stored string, so
// lengths and comparisons see exactly what the string holds. 1, or 0 with nothing allocated.
int MakeText(const char16_t* text, CString** outText, char16_t** outWide, int32_t* outLength) {
    CString* s = new (std::nothrow) CString(text != nullptr ? text : u"");
    if (s == nullptr) return 0;
    const char16_t* w = s->GetWideOrEmpty();
    int n = WideLength(w);
    auto* copy = static_cast<char16_t*>(std::malloc((static_cast<size_t>(n) + 1) * sizeof(char16_t)));
    if (copy == nullptr) {
        delete s;
        return 0;
    }
    std::memcpy(copy, w, (static_cast<size_t>(n) + 1) * sizeof(char16_t));
    *outText = s;
    *outWide = copy;
    *outLength = n;
    return 1;
}

void DestroyText(CKeywordEntry& entry) {
    delete entry.text;
    std::free(entry.wide);
    entry.text = nullptr;
    entry.wide = nullptr;
    entry.length = 0;
}

}  // namespace

CKeywordSet::CKeywordSet() { std::memset(m_flags, 0, sizeof(m_flags)); }

CKeywordSet::~CKeywordSet() { Clear(); }

void CKeywordSet::Clear() {
    for (uint32_t i = 0; i < m_count; ++i) DestroyText(m_entries[i]);
    std::free(m_entries);
    m_entries = nullptr;
    m_capacity = 0;
    m_count = 0;
}

int CKeywordSet::Add(const char16_t* text, int color, int bold, int error) {
    if (m_count == m_capacity) {
        uint64_t capacity = static_cast<uint64_t>(m_capacity) + kKeywordGrowStep;
        uint64_t bytes = capacity * sizeof(CKeywordEntry);
        if (capacity > 0xffffffffull || bytes > 0x7fffffffull) return -1;
        auto* grown = static_cast<CKeywordEntry*>(std::calloc(static_cast<size_t>(capacity), sizeof(CKeywordEntry)));
        if (grown == nullptr) return -1;
        if (m_count > 0) std::memcpy(grown, m_entries, m_count * sizeof(CKeywordEntry));
        std::free(m_entries);
        m_entries = grown;
        m_capacity = static_cast<uint32_t>(capacity);
    }
    CKeywordEntry& entry = m_entries[m_count];
    if (!MakeText(text, &entry.text, &entry.wide, &entry.length)) return -1;
    entry.color = color;
    entry.bold = bold;
    entry.error = error;
    return static_cast<int>(m_count++);
}

void CKeywordSet::CopyFrom(const CKeywordSet& other) {
    if (&other == this) return;
    Clear();
    for (uint32_t i = 0; i < other.m_count; ++i) {
        const CKeywordEntry& e = other.m_entries[i];
        Add(e.wide, e.color, e.bold, e.error);
    }
}

void CKeywordSet::BuildFlagTable() {
    std::memset(m_flags, 0, sizeof(m_flags));
    for (uint32_t i = 0; i < m_count; ++i) {
        const CKeywordEntry& e = m_entries[i];
        if (e.length == 0) continue;
        char16_t first = e.wide[0];
        m_flags[first] |= kKeywordFlagStart;
        if (e.error != 0) m_flags[first] |= kKeywordFlagError;
    }
}

int CKeywordSet::Find(const char16_t* word, int length) const {
    if (word == nullptr) return -1;
    if ((m_flags[word[0]] & kKeywordFlagStart) == 0) return -1;
    if (length <= 0) length = WideLength(word);
    if (length == 0) return -1;
    for (uint32_t i = 0; i < m_count; ++i) {
        const CKeywordEntry& e = m_entries[i];
        if (e.length == length && std::memcmp(e.wide, word, static_cast<size_t>(length) * sizeof(char16_t)) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int CKeywordSet::FindErrorKeyword(const char16_t* text, int count) const {
    if (text == nullptr) return -1;
    for (int k = 0; k < count; ++k) {
        if ((m_flags[text[k]] & kKeywordFlagError) == 0) continue;
        for (uint32_t i = 0; i < m_count; ++i) {
            const CKeywordEntry& e = m_entries[i];
            if (e.error == 0 || e.length == 0 || e.length > count - k) continue;
            if (std::memcmp(e.wide, text + k, static_cast<size_t>(e.length) * sizeof(char16_t)) == 0) {
                return static_cast<int>(i);
            }
        }
    }
    return -1;
}

int CKeywordSet::SetEntry(uint32_t index, const char16_t* text, int color, int bold, int error) {
    if (index >= m_count) return 0;
    CString* s = nullptr;
    char16_t* wide = nullptr;
    int32_t length = 0;
    if (!MakeText(text, &s, &wide, &length)) return 0;
    CKeywordEntry& entry = m_entries[index];
    DestroyText(entry);
    entry.text = s;
    entry.wide = wide;
    entry.length = length;
    entry.color = color;
    entry.bold = bold;
    entry.error = error;
    return 1;
}

int CKeywordSet::Remove(uint32_t index) {
    if (index >= m_count) return 0;
    DestroyText(m_entries[index]);
    uint32_t after = m_count - index - 1;
    if (after > 0) std::memmove(&m_entries[index], &m_entries[index + 1], after * sizeof(CKeywordEntry));
    --m_count;
    std::memset(&m_entries[m_count], 0, sizeof(CKeywordEntry));
    return 1;
}

// CKeywordSet: the highlight keywords in insertion order, with a 65536-byte table of the
// UTF-16 units that keywords begin with, and the "quillon_keyword" file that stores them.
// Text: each entry keeps its keyword as UTF-8 (CString) and as a UTF-16 copy made once by
// the set, so lookups never convert or allocate and are safe from several readers at once.
// Threads: the loader (worker) and the renderer (UI) may call the const operations at the
// same time; nothing may change the set while either reads it. Returns follow the house
// rules: 1/0, an index or -1.
#pragma once

#include <cstdint>

#include "foundation/string.h"

class CFile;

// Bits of the flag table.
constexpr uint8_t kKeywordFlagStart = 1;  // some keyword begins with this unit
constexpr uint8_t kKeywordFlagError = 2;  // some error keyword begins with this unit (bit 1 is set too)

constexpr uint32_t kKeywordGrowStep = 100;
constexpr int kKeywordFlagTableSize = 65536;

// One keyword. Owned by its set: never free or replace the pointers directly.
struct CKeywordEntry {
    CString* text;   // the keyword, never empty in a set filled from a file or a dialog
    int32_t color;   // colour-table entry number; 6..13 are the highlight colours 1..8, 0 when a file gives none
    int32_t bold;    // 0 or 1
    int32_t error;   // 0 or 1; 1 marks an error keyword
    char16_t* wide;  // the text as UTF-16, NUL-terminated (u"" when the text converts to nothing)
    int32_t length;  // number of UTF-16 units in wide
};

class CKeywordSet : public CObject {
public:
    CKeywordSet();
    ~CKeywordSet() override;
    CKeywordSet(const CKeywordSet&) = delete;
    CKeywordSet& operator=(const CKeywordSet&) = delete;

    // Destroys every entry and frees the array; count and capacity become 0. The flag table is kept.
    void Clear();
    // Appends a keyword (null text counts as empty). Returns its index, or -1 when the array
    // cannot grow (it grows by 100 entries). The flag table is not updated.
    int Add(const char16_t* text, int color, int bold, int error);
    // Clear, then Add of every entry of other in order. The flag table is not copied.
    void CopyFrom(const CKeywordSet& other);
    // Rebuilds the flag table from the entries.
    void BuildFlagTable();
    // Index of the first entry whose text equals word over exactly length units
    // (length <= 0: up to the terminator), or -1. Case-sensitive; one table test first.
    int Find(const char16_t* word, int length) const;
    // Scans count units of text for error keywords: at each position whose unit has the
    // error bit, tries the error keywords in set order. Returns the index of the first match
    // at the first matching position, or -1. This is the loader's error-line test.
    int FindErrorKeyword(const char16_t* text, int count) const;

    // For the keyword list dialog: replace entry index in place (1, or 0 for a bad index or
    // a failed allocation, in which case the entry is unchanged), and remove entry index,
    // moving the following entries up (1 or 0). Both leave the flag table stale.
    int SetEntry(uint32_t index, const char16_t* text, int color, int bold, int error);
    int Remove(uint32_t index);

    // Reads a "quillon_keyword" file (UTF-8 XML) into the set, replacing its entries.
    // 1 when the file was read and parsed (even if it held no keywords), else 0 with an
    // empty set. A path given makes the flag table valid again in every case.
    int LoadFile(const char16_t* path);
    // The same from an open file, such as bytes in memory (CFile::OpenBytes).
    int LoadFile(CFile& file);
    // Writes the set as a "quillon_keyword" file. The document goes to a temporary file in
    // the same folder, which then replaces the old file; 1 when all of it reached the disk,
    // else 0 with the previous file untouched.
    int SaveFile(const char16_t* path) const;
    // The document SaveFile writes: a new NUL-terminated UTF-8 text (std::free), or null.
    char* SaveText() const;

    // Read access. Entries() is null when the set is empty.
    const CKeywordEntry* Entries() const { return m_entries; }
    const CKeywordEntry& Entry(uint32_t index) const { return m_entries[index]; }
    uint32_t Count() const { return m_count; }
    uint32_t Capacity() const { return m_capacity; }
    const uint8_t* FlagTable() const { return m_flags; }
    uint8_t Flag(char16_t unit) const { return m_flags[unit]; }

private:
    CKeywordEntry* m_entries = nullptr;
    uint32_t m_capacity = 0;
    uint32_t m_count = 0;
    uint8_t m_flags[kKeywordFlagTableSize];
};

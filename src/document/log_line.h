// CLogLine, one 32-byte entry of a line index, and CLogLineList, the growable array
// that serves as the line index, the error-line list and an extraction's list.
#pragma once

#include <cstdint>

#include "document/time_stamp.h"
#include "foundation/buffer.h"

struct CLogLine {
    CTimeStamp timeStamp;    // own, inherited from an earlier line, or all zero
    int32_t lineNumber = 0;  // 0-based among the non-empty lines of the file
    uint64_t offset = 0;     // file offset of the first byte
    int32_t length = 0;      // bytes, line break included
};
static_assert(sizeof(CLogLine) == 32, "a line entry is 32 bytes");

class CLogLineList;

// Test hook: a list cannot grow beyond this many entries (0: no limit), as when memory runs out.
extern int32_t g_lineListLimit;

// Replaces the entries numbered from and above of list with more (both in line-number
// order): how a followed log's index and error lines take what was appended. 1, or 0 when
// list could not grow (it is then unchanged, unless every entry was to be replaced: it is
// then empty).
int ReplaceTail(CLogLineList* list, int32_t from, const CLogLineList& more);

class CLogLineList {
public:
    CLogLineList() = default;
    CLogLineList(const CLogLineList&) = delete;
    CLogLineList& operator=(const CLogLineList&) = delete;

    // 1 when appended, 0 when the list could not grow (it is then unchanged).
    int Append(int32_t lineNumber, const CTimeStamp& timeStamp, uint64_t offset, int32_t length);
    int Append(const CLogLine& line) { return Append(line.lineNumber, line.timeStamp, line.offset, line.length); }
    // Appends copies of n entries (not of this list) in one step; 1, or 0 when the list
    // could not grow (it is then unchanged).
    int Append(const CLogLine* lines, int32_t n);
    // Makes room for at least n entries in one step; 1 or 0.
    int Reserve(int32_t n);
    // Makes room for n more entries, growing as appends do; 1, or 0 (the list is unchanged).
    int EnsureRoom(int32_t n);
    // Frees the entries; capacity and count become 0.
    void Free();
    // Drops the entries from index count on (to undo appends); frees the array when none remain.
    void Truncate(int32_t count);
    // For writers that fill the slots Reserve made in place, through Entries() (the loader's
    // workers, each in its own range): counts the first count slots as entries. 1, or 0 when
    // count is below Count() or above Capacity() (the list is then unchanged).
    int CommitFilled(int32_t count);

    const CLogLine* Entries() const { return m_entries.Data(); }
    CLogLine* Entries() { return m_entries.Data(); }
    int32_t Count() const { return m_count; }
    int32_t Capacity() const { return static_cast<int32_t>(m_entries.Capacity()); }
    // Copies the entry at index into *line; false outside the list.
    bool Get(int64_t index, CLogLine* line) const {
        if (index < 0 || index >= m_count) return false;
        *line = m_entries.Data()[index];
        return true;
    }
    // Copies up to n entries from index first on into out; how many it copied (0 outside).
    int64_t Read(int64_t first, int64_t n, CLogLine* out) const;
    // The entry at index, or null outside the list.
    const CLogLine* At(int32_t index) const {
        return index >= 0 && index < m_count ? &m_entries.Data()[index] : nullptr;
    }

private:
    CGrowBuffer<CLogLine> m_entries;
    int32_t m_count = 0;
};

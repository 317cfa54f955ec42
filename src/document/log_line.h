// CLogLine, the entry of one line (what callers receive), and CLogLineList, the compact list
// of entries that serves as the line index, the error-line list and a result's list.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "stamps/time_stamp.h"
#include "foundation/buffer.h"

struct CLogLine {
    CTimeStamp timeStamp;    // own, inherited from an earlier line, or all zero
    int64_t lineNumber = 0;  // 0-based among the non-empty lines of the file
    uint64_t offset = 0;     // file offset of the first byte
    int32_t length = 0;      // bytes, line break included

    bool operator==(const CLogLine& o) const {
        return timeStamp == o.timeStamp && lineNumber == o.lineNumber && offset == o.offset && length == o.length;
    }
};

class CLogLineList;

// Whether two lists hold the same entries.
bool SameEntries(const CLogLineList& a, const CLogLineList& b);

// Test hook: a list cannot grow beyond this many entries (0: no limit), as when memory runs
// out; a list cut back may grow again to what it held.
extern int64_t g_lineListLimit;
// Test hook: when not negative, how many more entries all line lists together may take (an
// append takes one, a joined run its count); then they cannot grow, as when memory runs out.
extern std::atomic<int64_t> g_lineListBudget;

// Replaces the entries numbered from and above of list with more (both in line-number
// order): how a followed log's index and error lines take what was appended. 1, or 0 when
// list could not grow (it is then unchanged, unless every entry was to be replaced: it is
// then empty).
int ReplaceTail(CLogLineList* list, int64_t from, const CLogLineList& more);

// The entries are kept packed: blocks of kLineBlockEntries, each with a header holding the
// state before its first entry (end offset, line number and stamp of the entry before), and
// per entry a tag byte and the few bytes its changes need: the length, and the stamp as a
// step forward from the one before. A gap or a line-number step other than one, a backward
// or long jump in time and long lines take escape codes, so every entry comes back exactly.
// An entry costs 2-4 bytes on a typical log against 32 unpacked.
constexpr int64_t kLineBlockEntries = 128;

// What an index of lines entries is expected to take: 4 bytes an entry (typical logs take
// 2-3) and its block headers; with codeBytes measured on codedLines of its entries (CodeBytes),
// the entries at that rate when it is more (a log whose every stamp jumps takes about 10).
uint64_t EstimatedIndexBytes(int64_t lines, uint64_t codeBytes = 0, int64_t codedLines = 0);

struct CLineBlock {
    uint64_t end = 0;         // offset + length of the entry before the block
    int64_t lineNumber = -1;  // line number of the entry before the block
    CTimeStamp stamp;         // time stamp of the entry before the block
    uint32_t segment = 0;     // where the block's codes begin
    uint32_t position = 0;
};

// A piece of a list's codes and its size in bytes.
struct CLineSegment {
    uint8_t* codes;
    uint32_t size;
};

class CLogLineList {
public:
    CLogLineList() = default;
    ~CLogLineList();
    CLogLineList(const CLogLineList&) = delete;
    CLogLineList& operator=(const CLogLineList&) = delete;

    // 1 when appended, 0 when the list could not grow (it is then unchanged).
    int Append(int64_t lineNumber, const CTimeStamp& timeStamp, uint64_t offset, int32_t length);
    int Append(const CLogLine& line) { return Append(line.lineNumber, line.timeStamp, line.offset, line.length); }
    // Appends copies of n entries of another list from first on; 1, or 0 when the list
    // could not grow (it then holds the entries it held before).
    int Append(const CLogLineList& from, int64_t first, int64_t n);
    // Frees the entries; the count becomes 0 and the list one of its own entries.
    void Free();
    // Gives back the room kept for more entries (a list that is complete); appends may follow.
    void ShrinkToFit();
    // Drops the entries from index count on (to undo appends); frees everything when none remain.
    void Truncate(int64_t count);

    // Copies the entry at index into *line; false outside the list. Decodes up to a block.
    bool Get(int64_t index, CLogLine* line) const;
    // Copies up to n entries from index first on into out; how many it copied (0 outside).
    int64_t Read(int64_t first, int64_t n, CLogLine* out) const;
    int64_t Count() const { return m_count; }
    // The entry at index by value (an empty entry outside the list), for single entries:
    // walks take a CLogLineReader.
    CLogLine operator[](int64_t index) const {
        CLogLine line;
        Get(index, &line);
        return line;
    }
    // The bytes the list holds (codes, block headers and slack), for the memory figures.
    uint64_t MemoryBytes() const;
    // For walks that split a list of its own entries by the bytes they cover, without
    // decoding: the index where the block after the one holding index begins (at most
    // Count()), and the file offset where the entries before such an index end.
    int64_t NextBlockStart(int64_t index) const {
        int64_t next = BlockStart(BlockOf(index) + 1);
        return next < m_count ? next : m_count;
    }
    uint64_t EndBefore(int64_t blockStart) const { return HeaderAt(blockStart).end; }
    // The header of the block that begins at blockStart (at Count(): the state after the last
    // entry): the end, line number and stamp of the entry before it.
    const CLineBlock& HeaderAt(int64_t blockStart) const {
        return blockStart < m_count ? m_blocks.Data()[BlockOf(blockStart)] : m_tail;
    }
    // The bytes the entries' codes take, without block headers and room kept for more.
    uint64_t CodeBytes() const;

    // A list of references: empties the list, which from now on keeps for each entry only
    // its row in index (4 bytes a row, 8 beyond 2^32 rows) and gives back that row's entry.
    // Entries appended name their row by line number, which in a log's index is the row.
    // The views and scans made from a log's index (extractions, the error lines) keep such
    // lists; a reference to a reference list refers to its index.
    void ReferTo(std::shared_ptr<const CLogLineList> index);
    // The same, keeping the entries it holds (as references to the rows of their line
    // numbers); 1, or 0 when memory ran out (the list is then empty).
    int ReferKeeping(std::shared_ptr<const CLogLineList> index);
    // The index a reference list refers to; null for a list of its own entries.
    const std::shared_ptr<const CLogLineList>& Index() const { return m_index; }
    // A reference list: appends a reference to row of its index without reading it; 1 or 0.
    int AppendReference(int64_t row) { return m_index != nullptr ? AppendRow(row) : 0; }
    // A reference list: the row of its index that its entry at index refers to.
    int64_t ReferredRow(int64_t index) const { return RowAt(index); }

    // For the loader's workers, each coding its own run of a file: empties the list; its
    // first entry will have index first in the list it joins, so that their blocks line up.
    void StartRun(int64_t first);
    // The next entry's stamp is coded whole, not as a step: a run's first own stamp, since
    // the stamps before the run are not known yet (JoinRun gives them).
    void CodeNextStampWhole() { m_anchorStamp = true; }
    // Appends a run (of the index Count()), whose entries before index lead had no stamp
    // of their own and take carried instead. The run's blocks after its first move over
    // without being coded again; the first is coded again (its header holds the start of
    // the run, not the entry before it) unless this list is empty. The run is left empty.
    // 1, or 0 when the list could not grow (then unchanged).
    int JoinRun(CLogLineList* run, int64_t lead, const CTimeStamp& carried);

private:
    friend class CLogLineReader;
    // The block of an entry, and the index of a block's first entry.
    int64_t BlockOf(int64_t index) const { return (index + m_shift) / kLineBlockEntries; }
    int64_t BlockStart(int64_t block) const { return block == 0 ? 0 : block * kLineBlockEntries - m_shift; }
    int64_t BlockCount() const { return m_count == 0 ? 0 : BlockOf(m_count - 1) + 1; }
    // A new block header for the entry Count(), with its codes' room; 1 or 0 (unchanged).
    int OpenBlock();
    // Room for one more entry's codes in the last segment; 1 or 0 (unchanged).
    int EntryRoom();
    // Gives a finished segment's unused end back to the system.
    void CloseSegment();
    void FreeSegmentsAfter(uint32_t segment);
    // Whether n more entries may be taken (the test hooks); takes them from the budget.
    bool MayTake(int64_t n);
    // Moves a run's blocks from block on (its segments with them) to the end of this list.
    int AdoptBlocks(CLogLineList* run, int64_t block, int64_t lead, const CTimeStamp& carried);

    // The row of a reference list's entry.
    int64_t RowAt(int64_t index) const {
        return m_wideRows ? m_rows64.Data()[index] : static_cast<int64_t>(m_rows32.Data()[index]);
    }
    int AppendRow(int64_t row);

    std::shared_ptr<const CLogLineList> m_index;
    CGrowBuffer<uint32_t> m_rows32;
    CGrowBuffer<int64_t> m_rows64;
    bool m_wideRows = false;
    CGrowBuffer<CLineBlock> m_blocks;
    CGrowBuffer<CLineSegment> m_segments;
    uint32_t m_segmentCount = 0;
    uint64_t m_segmentBytes = 0;
    int64_t m_count = 0;
    int64_t m_held = 0;   // the most entries held since the list was last emptied
    int64_t m_shift = 0;  // StartRun's first, modulo the block size
    bool m_anchorStamp = false;
    CLineBlock m_tail;  // the state after the last entry, and where the next code goes
};

// A reader's state after an entry, in scalars that stay in registers through a walk, the
// stamp's time of day apart from its date: kept as one CLogLine, it would be written in
// parts and read back whole, a stall an entry.
struct CLineDecodeState {
    uint64_t offset = 0;
    int64_t lineNumber = 0;
    int32_t length = 0;
    CTimeStamp stamp;
    uint32_t milliseconds = 0;

    void Set(const CLogLine& line);
    void Put(CLogLine* out) const;
    // Decodes the entry whose codes begin at p; where its codes end.
    const uint8_t* Decode(const uint8_t* p);
};

// Reads a list's entries in order from a given index: the cheap way to walk many of them.
// The list must not change while a reader walks it.
class CLogLineReader {
public:
    CLogLineReader(const CLogLineList& list, int64_t first);
    // The next entry; false at the end of the list.
    bool Next(CLogLine* line);
    // The next entries, up to n, into out; how many there were.
    int64_t Next(int64_t n, CLogLine* out);
    // The index of the entry that Next gives next.
    int64_t Index() const { return m_index; }
    // Moves to index (Next gives that entry next): forward within a block by decoding on,
    // elsewhere from its block's start.
    void Seek(int64_t index);

private:
    void EnterBlock(int64_t block);
    // Decodes n entries on within the block without giving them.
    void Skip(int64_t n);
    bool NextReferred(CLogLine* line);

    const CLogLineList& m_list;
    std::unique_ptr<CLogLineReader> m_referred;  // a reference list's reader of its index
    int64_t m_index;
    const uint8_t* m_code = nullptr;
    int64_t m_blockEnd = 0;  // the index of the next block's first entry
    CLineDecodeState m_state;
};

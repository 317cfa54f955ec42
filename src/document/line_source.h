// CLineSource: reads a file in blocks and hands out its non-empty lines in file order, each
// with all its bytes in memory. A block starts at the first line the previous block did not
// finish; a line longer than a block makes the buffer grow until it ends. Lines break after
// CR, LF, CR LF or LF CR; empty lines are skipped; the last line needs no break.
// In UTF-16 the breaks are those units, at even offsets in the code page's byte order.
// One source per thread: it reads through its own CFile.
#pragma once

#include <cstddef>
#include <cstdint>

#include "document/file.h"
#include "foundation/buffer.h"

constexpr uint32_t kLoadBlockSize = 0xa00000;    // 10 MiB
constexpr uint32_t kMaxLineLength = 0x7fffffff;  // a CLogLine's length is a signed 32-bit count

struct CLineView {
    uint64_t offset = 0;
    const char* bytes = nullptr;  // valid until the next call of Next
    uint32_t length = 0;          // line break included
};

// Told before each block is read, with the block's file offset. Returns 0 to stop reading.
class CBlockListener {
public:
    virtual ~CBlockListener() = default;
    virtual int OnBlock(uint64_t blockStart) = 0;
};

class CLineSource {
public:
    enum Status { kReading, kEnd, kStopped, kReadFailed, kNoMemory };

    // Reads the first fileSize bytes of file. A line of more than maxLineLength bytes is cut
    // into pieces of that length (the index cannot describe a longer one). A compressed log
    // whose size is not known yet learns it as it is read: its data ends where its reads do.
    CLineSource(CFile* file, uint64_t fileSize, uint32_t blockSize, uint32_t maxLineLength, CBlockListener* listener);
    CLineSource(const CLineSource&) = delete;
    CLineSource& operator=(const CLineSource&) = delete;

    // Lines of unitBytes-byte units (1, or 2 for UTF-16 in big- or little-endian order)
    // that begin at origin at the earliest (the bytes before it, a byte-order mark, belong
    // to no line). Before Init. CountStarts reads single-byte units only.
    void SetLayout(int unitBytes, bool bigEndian, uint64_t origin);
    // Allocates the block buffer; 1, or 0 when it cannot be had.
    int Init();
    // The next line handed out is the first that begins at or after position.
    void Seek(uint64_t position);
    // 1 with the next line that begins before limit; 0 when there is none, when reading
    // stopped or failed (see GetStatus).
    int Next(uint64_t limit, CLineView* line);
    Status GetStatus() const { return m_status; }
    // Counts the non-empty lines that begin in [begin, end) into *count, reading in blocks
    // (the listener is told of each). 1, or 0 when reading stopped or failed.
    int CountStarts(uint64_t begin, uint64_t end, uint64_t* count);

private:
    int Next16(uint64_t limit, CLineView* line);
    void LearnSize();
    int Refill(uint64_t at);
    int Grow();
    int More(size_t lineStart);
    int TakeLine(size_t start, bool hasBreak, size_t breakEnd, bool eof, CLineView* line);

    CFile* m_file;
    uint64_t m_size;
    uint32_t m_blockSize;
    uint32_t m_maxLine;
    CBlockListener* m_listener;
    int m_unit = 1;
    bool m_bigEndian = false;
    uint64_t m_origin = 0;
    CGrowBuffer<char> m_buffer;
    uint64_t m_start = 0;   // file offset of m_buffer[0]
    size_t m_length = 0;    // bytes held
    size_t m_pos = 0;       // next byte to look at
    bool m_inside = false;  // positioned inside a line that began before the start position
    uint64_t m_limit = 0;
    Status m_status = kReading;
};

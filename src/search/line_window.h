// CLineWindow: reads the lines of a scan through a window of the file, so that a
// scan over consecutive lines costs one read per window instead of one per line.
// A line longer than the window is read whole into a buffer of its own. One thread only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "document/file.h"
#include "foundation/buffer.h"

constexpr uint32_t kLineWindowSize = 256u << 10;  // small enough to stay in the processor's cache

class CLineWindow {
public:
    explicit CLineWindow(CFile* file, uint32_t windowSize = kLineWindowSize);
    ~CLineWindow();
    CLineWindow(const CLineWindow&) = delete;
    CLineWindow& operator=(const CLineWindow&) = delete;

    // The bytes of [offset, offset + length), valid until the next call, with *got set to
    // the number available (fewer at the end of a file that shrank); null when none can be
    // read. backward: the scan moves towards the file's start, so the window is read to
    // end at this line.
    const char* Get(uint64_t offset, uint32_t length, bool backward, uint32_t* got);
    // True when the bytes Get returned last lie in a window (or a long line) that holds no
    // escape byte (0x1B), so that none of them is one. Looked for once per read.
    bool NoEscapeByte();

private:
    CFile* m_file;
    uint32_t m_windowSize;
    char* m_window = nullptr;
    uint64_t m_start = 0;
    uint32_t m_length = 0;
    CGrowBuffer<char> m_long;  // for a line longer than the window
    uint32_t m_longLength = 0;
    bool m_lastLong = false;  // the last bytes came from m_long
    int m_windowEscape = -1;  // the window holds an escape byte: 1, 0, or -1 not looked for
    int m_longEscape = -1;    // the same for m_long
};

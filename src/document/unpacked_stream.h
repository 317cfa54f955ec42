// CUnpackedStream: a handle's reader of a compressed log, so that CFile::Read gives the
// uncompressed bytes at any offset. Reads going forward decode on from where the last one
// ended; a read elsewhere starts at the access point before it and decodes that point's
// span, as far as reads ask, into a small cache (two spans), which serves the reads around
// it too. Stored
// zip entries are read as they are. The access points are shared by every handle on the log
// (OpenSameFile). A large read where the cursor stands while the log is first read starts
// a helper thread that decodes ahead (CReadAhead). One thread at a time.
#pragma once

#include <cstdint>

#include "document/access_points.h"
#include "document/inflate_cursor.h"
#include "document/read_ahead.h"
#include "foundation/buffer.h"

class CFile;

class CUnpackedStream {
public:
    // Holds points once (let go when deleted).
    CUnpackedStream(CFile* file, CAccessPoints* points);
    ~CUnpackedStream();
    CUnpackedStream(const CUnpackedStream&) = delete;
    CUnpackedStream& operator=(const CUnpackedStream&) = delete;

    // Up to count uncompressed bytes at offset; fewer at the end or at a damage.
    uint32_t Read(void* buffer, uint32_t count, uint64_t offset);

    CAccessPoints* Points() const { return m_points; }

private:
    struct CSpan {
        uint64_t start = 0;
        uint64_t length = 0;  // from its point to the next
        uint64_t filled = 0;  // decoded so far
        CGrowBuffer<char> bytes;
        uint64_t used = 0;  // when last used, for replacing the older one
    };

    uint32_t ReadStored(char* buffer, uint32_t count, uint64_t offset);
    uint32_t FromSpans(uint64_t offset, char* dest, uint32_t n);
    int Seek(uint64_t offset);
    int DecodeSpan(const CAccessPoint& point, int64_t index);

    CFile* m_file;
    CAccessPoints* m_points;
    CInflateCursor m_cursor;
    CReadAhead m_ahead;  // stopped before the cursor goes
    CSpan m_spans[2];
    CSpan* m_filling = nullptr;  // the span the cursor decodes on, if any
    uint64_t m_uses = 0;
    CGrowBuffer<unsigned char> m_window;
    uint64_t m_storedChecked = 0;  // a stored entry: its bytes checked so far (from its start)
    uint32_t m_storedCrc = 0;
};

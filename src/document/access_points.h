// CAccessPoints: what every handle on one compressed log shares. The points where decoding
// can start again (a gzip member's header, or a deflate block boundary with the 32 KiB of
// output before it, kept deflated), recorded while the log is first read; how far that first
// reading got; and, once found, the log's uncompressed size and the damage that ended it.
// Points are at least kSpacing of output apart and their windows take at most 1% of it, so
// the points of a log cost less than 1% of its uncompressed size.
// Threads: every method locks; any handle's thread may call any of them. Ownership: shared
// by the handles that read the log, each holding it once (Create, Hold, Release).
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "document/packed_format.h"
#include "foundation/buffer.h"

constexpr uint64_t kAccessSpacing = 1u << 20;
constexpr uint32_t kDeflateWindow = 32768;

// Test hook: how far apart new access points are, and how many times its deflated window a
// point's span must be at least (production: kAccessSpacing and 100, the 1% bound).
struct CAccessPointRules {
    uint64_t spacing = kAccessSpacing;
    uint64_t windowShare = 100;
};
extern CAccessPointRules g_accessPointRules;

struct CAccessPoint {
    uint64_t out = 0;         // its uncompressed offset
    uint64_t in = 0;          // a member point: its header's offset; else the byte after the bits left
    uint64_t window = 0;      // where its deflated window is kept (CAccessPoints)
    uint32_t windowSize = 0;  // deflated bytes; 0: no window (a member or the stream's start)
    uint32_t crc = 0;         // the member's CRC-32 of the output before out
    uint32_t memberOut = 0;   // the member's output before out, modulo 2^32
    uint8_t bits = 0;         // bits of the byte before in still to decode
    uint8_t member = 0;       // 1: decoding starts with a gzip member header
};

// How far the first reading got and its check state there, for a decoder that goes on from it.
struct CFrontier {
    uint64_t out = 0;
    uint32_t crc = 0;
    uint32_t memberOut = 0;
};

class CAccessPoints {
public:
    // New points for the stream, held once by the caller, with the point at its start; null
    // when memory ran out.
    static CAccessPoints* Create(const CPackedStream& stream);
    CAccessPoints(const CAccessPoints&) = delete;
    CAccessPoints& operator=(const CAccessPoints&) = delete;
    void Hold() { m_holders.fetch_add(1); }
    // Lets go of one hold; the last deletes the points.
    void Release();

    const CPackedStream& Stream() const { return m_stream; }

    // The last point at or before offset (*index its number), its deflated window copied to
    // window. 1, or 0 when the window cannot be copied.
    int Find(uint64_t offset, CAccessPoint* point, int64_t* index, CGrowBuffer<unsigned char>* window);
    // The uncompressed offset of point index + 1; 0 when there is none (yet).
    int NextOut(int64_t index, uint64_t* out);
    // The last point's uncompressed offset.
    uint64_t LastOut();

    CFrontier Frontier();
    // Moves the frontier on from from.out to to (only when it still is at from). 1 when moved.
    int Advance(const CFrontier& from, const CFrontier& to, uint64_t packedIn);
    // Adds a point beyond the last one with its deflated window. 1, or 0 when memory ran out
    // (the stream just has fewer points).
    int Add(const CAccessPoint& point, const unsigned char* window, uint32_t windowSize);
    // The uncompressed data ends at size, for the reason given (kNone: its true end). The
    // first end found stands, or a shorter one with a damage.
    void End(uint64_t size, CUnpackError error);

    // The uncompressed size, or Stream().declared until the end is found.
    uint64_t Size();
    bool SizeKnown();
    CUnpackError Error();
    // The compressed bytes the first reading has gone through, from the file's start.
    uint64_t PackedDone();
    int64_t Count();
    // The memory the points and their windows take.
    uint64_t Bytes();

private:
    explicit CAccessPoints(const CPackedStream& stream);
    ~CAccessPoints() = default;

    std::atomic<int> m_holders{1};
    std::mutex m_lock;
    CPackedStream m_stream;
    CGrowBuffer<CAccessPoint> m_points;
    int64_t m_count = 0;
    CGrowBuffer<unsigned char> m_windows;
    uint64_t m_windowBytes = 0;
    CFrontier m_frontier;
    uint64_t m_packedDone = 0;
    uint64_t m_size;
    bool m_ended = false;
    CUnpackError m_error = CUnpackError::kNone;
};

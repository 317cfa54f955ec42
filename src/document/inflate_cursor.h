// CInflateCursor: one handle's decoder of a compressed log, at one uncompressed position.
// It starts again at an access point and decodes on from there, keeping the last 64 KiB of
// output. When it stands where the first reading of the log got to (the frontier of the
// shared CAccessPoints), it reads on as that first reading: it checks CRC-32s and lengths,
// records access points and, at the end, the size and any damage.
// Owned by one handle (CUnpackedStream); reads the compressed bytes through the file's
// ReadPacked. One thread at a time.
#pragma once

#include <cstdint>

#include "document/access_points.h"
#include "document/packed_format.h"
#include "foundation/buffer.h"

class CFile;
struct z_stream_s;

constexpr uint32_t kCursorHistory = 65536;

class CInflateCursor {
public:
    CInflateCursor(CFile* file, CAccessPoints* points);
    ~CInflateCursor();
    CInflateCursor(const CInflateCursor&) = delete;
    CInflateCursor& operator=(const CInflateCursor&) = delete;

    // Starts at point (window: its deflated window). 1, or 0 with the cursor stopped.
    int Restart(const CAccessPoint& point, const unsigned char* window);
    // Decodes up to n bytes into dest (null: only kept in the history). Fewer only where the
    // data ends (Stopped()).
    uint32_t Decode(char* dest, uint32_t n);
    // Copies the bytes from offset on that the history holds, up to n; their count.
    uint32_t FromHistory(uint64_t offset, char* dest, uint32_t n) const;

    uint64_t Position() const { return m_pos; }
    // 1 after a Restart, until the data ended or a damage or failure stopped it.
    bool Ready() const { return m_ready && !m_stopped; }
    bool Stopped() const { return m_stopped; }

private:
    int Prepare();
    int FillInput();
    void Produced(const char* bytes, uint32_t count);
    int StartMember();
    int EndMember();
    int EndDeflate();
    void EndAtDeclared();
    void CheckFrontier();
    void NoteFrontier();
    void MaybeAddPoint();
    void Stop(CUnpackError error);
    uint64_t PackedPosition() const;

    CFile* m_file;
    CAccessPoints* m_points;
    CPackedStream m_stream;
    z_stream_s* m_z = nullptr;      // the raw inflater
    z_stream_s* m_codec = nullptr;  // deflates and inflates windows
    bool m_codecDeflates = false;
    CGrowBuffer<unsigned char> m_input;
    uint64_t m_inputAt = 0;  // the compressed offset of m_input's first byte
    uint64_t m_in = 0;       // the next compressed byte to read into m_input
    CGrowBuffer<char> m_history;
    uint32_t m_historyLength = 0;
    CGrowBuffer<char> m_scratch;
    CGrowBuffer<unsigned char> m_window;
    uint64_t m_pos = 0;
    uint32_t m_crc = 0;
    uint32_t m_memberOut = 0;
    bool m_ready = false;
    bool m_stopped = false;
    bool m_atMember = false;  // the next bytes at m_in are a gzip member header
    bool m_discovering = false;
    uint64_t m_stopAt = 0;  // not discovering: the frontier, where decoding pauses to take it over
    uint64_t m_lastPoint = 0;
    uint64_t m_nextPoint = 0;  // the earliest output offset of the next access point
};

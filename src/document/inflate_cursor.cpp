// The decoder over zlib's raw inflate. gzip members are framed here (header, then the
// 8-byte trailer), so that decoding can start again in the middle of any member. A point
// is a deflate block boundary: the bits left in its byte are primed and its window set as
// the dictionary.
#include "document/inflate_cursor.h"

#include <zlib.h>

#include <cstring>
#include <new>

#include "document/file.h"

namespace {

constexpr uint32_t kInputSize = 256u << 10;
constexpr uint32_t kScratchSize = 64u << 10;

uint32_t Le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

CInflateCursor::CInflateCursor(CFile* file, CAccessPoints* points)
    : m_file(file), m_points(points), m_stream(points->Stream()) {}

CInflateCursor::~CInflateCursor() {
    if (m_z != nullptr) inflateEnd(m_z);
    delete m_z;
    if (m_codec != nullptr) {
        if (m_codecDeflates) {
            deflateEnd(m_codec);
        } else {
            inflateEnd(m_codec);
        }
    }
    delete m_codec;
}

int CInflateCursor::Prepare() {
    if (m_z != nullptr) return 1;
    if (!m_input.Reserve(kInputSize) || !m_history.Reserve(2 * static_cast<size_t>(kCursorHistory)) ||
        !m_scratch.Reserve(kScratchSize)) {
        return 0;
    }
    auto* z = new (std::nothrow) z_stream();
    if (z == nullptr) return 0;
    std::memset(z, 0, sizeof *z);
    if (inflateInit2(z, -15) != Z_OK) {
        delete z;
        return 0;
    }
    m_z = z;
    return 1;
}

void CInflateCursor::Stop(CUnpackError error) {
    m_stopped = true;
    m_discovering = false;
    if (error != CUnpackError::kNoMemory) m_points->End(m_pos, error);
}

int CInflateCursor::Restart(const CAccessPoint& point, const unsigned char* window) {
    m_ready = false;
    m_stopped = false;
    m_discovering = false;
    m_stopAt = 0;
    m_historyLength = 0;
    if (!Prepare()) return 0;
    m_pos = point.out;
    m_in = point.in;
    m_inputAt = point.in;
    m_z->avail_in = 0;
    m_z->next_in = m_input.Data();
    m_crc = point.crc;
    m_memberOut = point.memberOut;
    m_atMember = point.member != 0;
    if (inflateReset(m_z) != Z_OK) return 0;
    if (!m_atMember) {
        if (point.bits > 0) {
            unsigned char byte = 0;
            if (point.in == 0 || m_file->ReadPacked(&byte, 1, point.in - 1) != 1) return 0;
            if (inflatePrime(m_z, point.bits, byte >> (8 - point.bits)) != Z_OK) return 0;
        }
        if (point.windowSize > 0) {
            if (m_codec != nullptr && m_codecDeflates) {
                deflateEnd(m_codec);
                delete m_codec;
                m_codec = nullptr;
            }
            if (m_codec == nullptr) {
                m_codec = new (std::nothrow) z_stream();
                if (m_codec == nullptr) return 0;
                std::memset(m_codec, 0, sizeof *m_codec);
                m_codecDeflates = false;
                if (inflateInit2(m_codec, -15) != Z_OK) {
                    delete m_codec;
                    m_codec = nullptr;
                    return 0;
                }
            } else if (inflateReset(m_codec) != Z_OK) {
                return 0;
            }
            m_codec->next_in = const_cast<unsigned char*>(window);
            m_codec->avail_in = point.windowSize;
            m_codec->next_out = reinterpret_cast<unsigned char*>(m_history.Data());
            m_codec->avail_out = kDeflateWindow;
            if (inflate(m_codec, Z_FINISH) != Z_STREAM_END) return 0;
            m_historyLength = kDeflateWindow - m_codec->avail_out;
            if (inflateSetDictionary(m_z, reinterpret_cast<unsigned char*>(m_history.Data()), m_historyLength) !=
                Z_OK) {
                return 0;
            }
        }
    }
    m_ready = true;
    return 1;
}

uint64_t CInflateCursor::PackedPosition() const {
    return m_inputAt + static_cast<uint64_t>(m_z->next_in - m_input.Data());
}

// Reads more compressed bytes when the last ones are used up and more are left. 0 when the
// read failed (the cursor stopped).
int CInflateCursor::FillInput() {
    if (m_z->avail_in > 0 || m_in >= m_stream.end) return 1;
    uint64_t left = m_stream.end - m_in;
    uint32_t want = left < kInputSize ? static_cast<uint32_t>(left) : kInputSize;
    uint32_t got = m_file->ReadPacked(m_input.Data(), want, m_in);
    if (got == 0) {
        Stop(CUnpackError::kReadFailed);
        return 0;
    }
    m_inputAt = m_in;
    m_in += got;
    m_z->next_in = m_input.Data();
    m_z->avail_in = got;
    return 1;
}

void CInflateCursor::Produced(const char* bytes, uint32_t count) {
    if (count == 0) return;
    if (m_discovering) m_crc = crc32(m_crc, reinterpret_cast<const unsigned char*>(bytes), count);
    m_memberOut += count;
    m_pos += count;
    if (count >= kCursorHistory) {
        std::memcpy(m_history.Data(), bytes + count - kCursorHistory, kCursorHistory);
        m_historyLength = kCursorHistory;
        return;
    }
    if (m_historyLength + count > 2 * kCursorHistory) {
        uint32_t keep = kCursorHistory - count;
        std::memmove(m_history.Data(), m_history.Data() + m_historyLength - keep, keep);
        m_historyLength = keep;
    }
    std::memcpy(m_history.Data() + m_historyLength, bytes, count);
    m_historyLength += count;
}

uint32_t CInflateCursor::FromHistory(uint64_t offset, char* dest, uint32_t n) const {
    uint64_t first = m_pos - m_historyLength;
    if (!m_ready || offset < first || offset >= m_pos) return 0;
    uint64_t left = m_pos - offset;
    uint32_t count = left < n ? static_cast<uint32_t>(left) : n;
    std::memcpy(dest, m_history.Data() + (offset - first), count);
    return count;
}

void CInflateCursor::CheckFrontier() {
    if (m_discovering) return;
    if (m_points->SizeKnown()) {
        m_stopAt = 0;
        return;
    }
    CFrontier frontier = m_points->Frontier();
    if (m_pos < frontier.out) {
        m_stopAt = frontier.out;
        return;
    }
    m_stopAt = 0;
    // Taken over only where this cursor is surely in the same state (not between members).
    if (m_pos != frontier.out || m_memberOut != frontier.memberOut) return;
    m_discovering = true;
    m_crc = frontier.crc;
    m_lastPoint = m_points->LastOut();
    m_nextPoint = m_lastPoint + g_accessPointRules.spacing;
}

void CInflateCursor::NoteFrontier() {
    if (!m_discovering) return;
    CFrontier from = m_points->Frontier();
    CFrontier to;
    to.out = m_pos;
    to.crc = m_crc;
    to.memberOut = m_memberOut;
    if (!m_points->Advance(from, to, PackedPosition())) m_discovering = false;
}

void CInflateCursor::MaybeAddPoint() {
    if (!m_discovering || m_pos < m_nextPoint || (m_z->data_type & 128) == 0 || (m_z->data_type & 64) != 0) return;
    if (m_codec != nullptr && !m_codecDeflates) {
        inflateEnd(m_codec);
        delete m_codec;
        m_codec = nullptr;
    }
    if (m_codec == nullptr) {
        m_codec = new (std::nothrow) z_stream();
        if (m_codec == nullptr) return;
        std::memset(m_codec, 0, sizeof *m_codec);
        m_codecDeflates = true;
        if (deflateInit2(m_codec, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            delete m_codec;
            m_codec = nullptr;
            return;
        }
    } else if (deflateReset(m_codec) != Z_OK) {
        return;
    }
    uint32_t length = m_historyLength < kDeflateWindow ? m_historyLength : kDeflateWindow;
    uLong bound = deflateBound(m_codec, length);
    if (!m_window.Reserve(bound)) return;
    m_codec->next_in = reinterpret_cast<unsigned char*>(m_history.Data() + m_historyLength - length);
    m_codec->avail_in = length;
    m_codec->next_out = m_window.Data();
    m_codec->avail_out = static_cast<uInt>(bound);
    if (deflate(m_codec, Z_FINISH) != Z_STREAM_END) return;
    uint32_t size = static_cast<uint32_t>(bound - m_codec->avail_out);
    // A window that deflates badly waits for a longer span, which keeps the share.
    if (m_pos - m_lastPoint < g_accessPointRules.windowShare * size) {
        m_nextPoint = m_lastPoint + g_accessPointRules.windowShare * size;
        return;
    }
    CAccessPoint point;
    point.out = m_pos;
    point.in = PackedPosition();
    point.bits = static_cast<uint8_t>(m_z->data_type & 7);
    point.crc = m_crc;
    point.memberOut = m_memberOut;
    if (m_points->Add(point, m_window.Data(), size)) {
        m_lastPoint = m_pos;
        m_nextPoint = m_pos + g_accessPointRules.spacing;
    }
}

int CInflateCursor::StartMember() {
    uint64_t at = PackedPosition();
    unsigned char magic[2] = {};
    bool first = at == m_stream.begin;
    if (at >= m_stream.end ||
        (!first && (m_file->ReadPacked(magic, 2, at) != 2 || magic[0] != 0x1f || magic[1] != 0x8b))) {
        // The last member ended: what follows is no member (zeros, say) and is left alone, as gzip does.
        if (first) {
            Stop(CUnpackError::kTruncated);
        } else {
            m_stopped = true;
            m_points->End(m_pos, CUnpackError::kNone);
        }
        return 0;
    }
    CheckFrontier();
    if (m_discovering && m_pos >= m_nextPoint) {
        CAccessPoint point;
        point.out = m_pos;
        point.in = at;
        point.member = 1;
        if (m_points->Add(point, nullptr, 0)) {
            m_lastPoint = m_pos;
            m_nextPoint = m_pos + g_accessPointRules.spacing;
        }
    }
    uint64_t data = 0;
    CUnpackError error = CUnpackError::kNone;
    if (!ReadGzipHeader(m_file, at, m_stream.end, &data, &error)) {
        Stop(error);
        return 0;
    }
    if (inflateReset(m_z) != Z_OK) {
        Stop(CUnpackError::kNoMemory);
        return 0;
    }
    m_in = data;
    m_inputAt = data;
    m_z->next_in = m_input.Data();
    m_z->avail_in = 0;
    m_crc = 0;
    m_memberOut = 0;
    m_atMember = false;
    NoteFrontier();
    return 1;
}

int CInflateCursor::EndMember() {
    uint64_t at = PackedPosition();
    unsigned char trailer[8];
    if (at + 8 > m_stream.end) {
        Stop(CUnpackError::kTruncated);
        return 0;
    }
    if (m_file->ReadPacked(trailer, 8, at) != 8) {
        Stop(CUnpackError::kReadFailed);
        return 0;
    }
    if (m_discovering && (Le32(trailer) != m_crc || Le32(trailer + 4) != m_memberOut)) {
        Stop(CUnpackError::kBadCheck);
        return 0;
    }
    m_in = at + 8;
    m_inputAt = m_in;
    m_z->next_in = m_input.Data();
    m_z->avail_in = 0;
    m_atMember = true;
    m_crc = 0;
    m_memberOut = 0;
    NoteFrontier();
    return 1;
}

int CInflateCursor::EndDeflate() {
    m_stopped = true;
    // The CRC-32 is known only to the first reading; the length to every cursor.
    bool wrongSize = m_pos != m_stream.declared && m_stream.declared != kUnknownUnpackedSize;
    bool wrongCrc = m_discovering && m_crc != m_stream.crc;
    m_points->End(m_pos, wrongSize || wrongCrc ? CUnpackError::kBadCheck : CUnpackError::kNone);
    return 0;
}

// At a zip entry's declared size: the stream must end here, without one byte more.
void CInflateCursor::EndAtDeclared() {
    while (Ready()) {
        if (!FillInput()) return;
        unsigned char extra = 0;
        m_z->next_out = &extra;
        m_z->avail_out = 1;
        int result = inflate(m_z, Z_NO_FLUSH);
        if (result == Z_BUF_ERROR && m_z->avail_in == 0 && m_in >= m_stream.end) {
            Stop(CUnpackError::kTruncated);
        } else if (m_z->avail_out == 0) {
            Stop(CUnpackError::kBadCheck);
        } else if (result == Z_STREAM_END) {
            EndDeflate();
        } else if (result != Z_OK && result != Z_BUF_ERROR) {
            Stop(result == Z_MEM_ERROR ? CUnpackError::kNoMemory : CUnpackError::kCorrupt);
        }
    }
}

uint32_t CInflateCursor::Decode(char* dest, uint32_t n) {
    uint32_t done = 0;
    while (done < n && Ready()) {
        if (m_atMember) {
            if (!StartMember()) break;
            continue;
        }
        CheckFrontier();
        uint32_t want = n - done;
        if (m_stopAt > m_pos && m_stopAt - m_pos < want) want = static_cast<uint32_t>(m_stopAt - m_pos);
        char* out = dest != nullptr ? dest + done : m_scratch.Data();
        if (dest == nullptr && want > kScratchSize) want = kScratchSize;
        if (!FillInput()) break;
        m_z->next_out = reinterpret_cast<unsigned char*>(out);
        m_z->avail_out = want;
        int result = inflate(m_z, m_discovering ? Z_BLOCK : Z_NO_FLUSH);
        uint32_t got = want - m_z->avail_out;
        Produced(out, got);
        done += got;
        if (m_stream.declared != kUnknownUnpackedSize && m_pos > m_stream.declared) {
            // More than the archive declared: only what it declared is read.
            uint64_t over = m_pos - m_stream.declared;
            done -= static_cast<uint32_t>(over);
            m_pos = m_stream.declared;
            Stop(CUnpackError::kBadCheck);
            break;
        }
        if (result == Z_STREAM_END) {
            if (m_stream.format != CPackedFormat::kGzip) {
                NoteFrontier();
                EndDeflate();
                break;
            }
            if (!EndMember()) break;
            continue;
        }
        if (result == Z_MEM_ERROR) {
            Stop(CUnpackError::kNoMemory);
            break;
        }
        // Nothing more can come: the compressed bytes ended inside the stream.
        if (result == Z_BUF_ERROR && m_z->avail_in == 0 && m_in >= m_stream.end) {
            Stop(CUnpackError::kTruncated);
            break;
        }
        if (result != Z_OK && result != Z_BUF_ERROR) {
            Stop(CUnpackError::kCorrupt);
            break;
        }
        MaybeAddPoint();
        NoteFrontier();
        if (m_pos == m_stream.declared) EndAtDeclared();
    }
    return done;
}

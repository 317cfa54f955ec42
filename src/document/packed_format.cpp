// Sniffing the compressed formats and reading gzip member headers.
#include "document/packed_format.h"

#include "document/file.h"

namespace {

constexpr unsigned kFlagHeaderCrc = 2;
constexpr unsigned kFlagExtra = 4;
constexpr unsigned kFlagName = 8;
constexpr unsigned kFlagComment = 16;
constexpr unsigned kFlagReserved = 0xe0;

// Skips a zero-terminated field from *at; 1, or 0 when the bytes end first.
int SkipText(CFile* file, uint64_t* at, uint64_t end) {
    unsigned char chunk[256];
    while (*at < end) {
        uint64_t left = end - *at;
        uint32_t want = left < sizeof chunk ? static_cast<uint32_t>(left) : static_cast<uint32_t>(sizeof chunk);
        uint32_t got = file->ReadPacked(chunk, want, *at);
        if (got == 0) return 0;
        for (uint32_t i = 0; i < got; ++i) {
            if (chunk[i] == 0) {
                *at += i + 1;
                return 1;
            }
        }
        *at += got;
    }
    return 0;
}

}  // namespace

CPackedFormat SniffPackedFormat(const unsigned char* head, uint32_t length) {
    if (length >= 2 && head[0] == 0x1f && head[1] == 0x8b) return CPackedFormat::kGzip;
    if (length >= 4 && head[0] == 'P' && head[1] == 'K' &&
        ((head[2] == 3 && head[3] == 4) || (head[2] == 5 && head[3] == 6))) {
        return CPackedFormat::kZipDeflate;
    }
    return CPackedFormat::kPlain;
}

int ReadGzipHeader(CFile* file, uint64_t offset, uint64_t end, uint64_t* data, CUnpackError* error) {
    *error = CUnpackError::kNone;
    if (offset >= end) return 0;
    unsigned char h[10];
    uint64_t left = end - offset;
    uint32_t want = left < sizeof h ? static_cast<uint32_t>(left) : static_cast<uint32_t>(sizeof h);
    uint32_t got = file->ReadPacked(h, want, offset);
    if (got >= 1 && h[0] != 0x1f) *error = CUnpackError::kCorrupt;
    if (got >= 2 && h[1] != 0x8b) *error = CUnpackError::kCorrupt;
    if (got >= 3 && h[2] != 8) *error = CUnpackError::kCorrupt;
    if (got >= 4 && (h[3] & kFlagReserved) != 0) *error = CUnpackError::kCorrupt;
    if (*error != CUnpackError::kNone) return 0;
    if (got < sizeof h) {
        *error = got == want ? CUnpackError::kTruncated : CUnpackError::kReadFailed;
        return 0;
    }
    unsigned flags = h[3];
    uint64_t at = offset + sizeof h;
    if ((flags & kFlagExtra) != 0) {
        unsigned char n[2];
        if (at + 2 > end || file->ReadPacked(n, 2, at) != 2) {
            *error = CUnpackError::kTruncated;
            return 0;
        }
        at += 2 + (n[0] | n[1] << 8);
    }
    if (((flags & kFlagName) != 0 && !SkipText(file, &at, end)) ||
        ((flags & kFlagComment) != 0 && !SkipText(file, &at, end))) {
        *error = CUnpackError::kTruncated;
        return 0;
    }
    if ((flags & kFlagHeaderCrc) != 0) at += 2;
    if (at > end) {
        *error = CUnpackError::kTruncated;
        return 0;
    }
    *data = at;
    return 1;
}

// What a compressed log is: its format, the part of the file that holds its compressed
// bytes, and the damage its reading can meet. The gzip header is read here too.
#pragma once

#include <cstdint>

class CFile;

enum class CPackedFormat { kPlain, kGzip, kZipDeflate, kZipStored };

// Why a compressed log cannot be read whole. The first damage found is kept; the rows before
// it stay readable and the load that met it is incomplete.
enum class CUnpackError {
    kNone,
    kTruncated,    // the compressed bytes end before the data does (a cut file, an entry that ends early)
    kCorrupt,      // the bytes are no valid gzip or deflate data
    kBadCheck,     // the data decodes but its CRC-32 or its length is not the one recorded
    kUnsupported,  // a zip entry stored with another method than deflate, or encrypted
    kTooLarge,     // a zip entry's declared size is more than its compressed bytes can hold
    kBadArchive,   // a zip archive whose directory cannot be read
    kNoEntry,      // a zip archive without that entry, or without any file
    kNoMemory,     // the decoder's buffers could not be had
    kReadFailed,   // the file itself could not be read
};

// The size a compressed log reads as while its end is not known yet (a gzip stream before
// it was read to its end): larger than any log, and far from overflowing.
constexpr uint64_t kUnknownUnpackedSize = 1ull << 62;

// Where the compressed bytes of the log are and what the archive says of them.
struct CPackedStream {
    CPackedFormat format = CPackedFormat::kPlain;
    uint64_t begin = 0;                        // first compressed byte (gzip: its first header)
    uint64_t end = 0;                          // past the last one
    uint64_t declared = kUnknownUnpackedSize;  // zip: the entry's size
    uint32_t crc = 0;                          // zip: the entry's CRC-32
};

// The format the first bytes of a file announce: kGzip for 1f 8b, kZipDeflate for a zip's
// local header or directory end ("PK" 3 4, "PK" 5 6), else kPlain.
CPackedFormat SniffPackedFormat(const unsigned char* head, uint32_t length);

// Reads the gzip member header at offset of file's own (compressed) bytes, which end at end.
// 1 with *data at its first deflate byte; 0 with *error: kTruncated when it is cut off,
// kCorrupt when it is no gzip header (*error is kNone when offset is at end).
int ReadGzipHeader(CFile* file, uint64_t offset, uint64_t end, uint64_t* data, CUnpackError* error);

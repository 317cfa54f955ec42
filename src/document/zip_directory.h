// CZipDirectory: the file entries of a zip archive, read from its central directory (zip64
// too), or from the first local header when the directory is missing (a cut archive).
// Names are UTF-8 (entries not marked UTF-8 are read as code page 437). One thread.
#pragma once

#include <cstdint>

#include "document/packed_format.h"
#include "foundation/buffer.h"

struct CZipEntry {
    uint64_t name = 0;        // offset of its NUL-terminated UTF-8 name (CZipDirectory::Name)
    uint64_t size = 0;        // declared uncompressed size
    uint64_t packedSize = 0;  // compressed bytes
    uint64_t header = 0;      // offset of its local header
    uint32_t crc = 0;
    uint16_t method = 0;  // 0 stored, 8 deflate, others unsupported
    uint16_t flags = 0;
    bool sized = true;  // false: a local header without sizes (the directory was missing)
};

class CZipDirectory {
public:
    // Reads the file entries of the zip archive that file holds (its own bytes). 1, or 0
    // with Error() kBadArchive (or kReadFailed, kNoMemory).
    int Read(CFile* file);
    int Count() const { return m_count; }
    const CZipEntry& At(int index) const { return m_entries.Data()[index]; }
    // Entry index's name, UTF-8, valid while the directory lives.
    const char* Name(int index) const { return m_names.Data() + At(index).name; }
    // The index of the entry of that UTF-8 name, or -1.
    int Find(const char* name) const;
    CUnpackError Error() const { return m_error; }

    // The compressed bytes of entry index: 1 with *stream, or 0 with the error kind
    // (kNoEntry, kUnsupported, kTooLarge, kBadArchive, kTruncated).
    int Locate(CFile* file, int index, CPackedStream* stream, CUnpackError* error) const;

private:
    int ReadCentral(CFile* file, uint64_t size);
    int ReadFirstLocal(CFile* file, uint64_t size);
    int ParseCentral(const unsigned char* p, uint64_t length, uint64_t count);

    int NoMemory();
    int AddName(const unsigned char* p, int length, uint16_t flags, CZipEntry* entry);

    int Add(const CZipEntry& entry);

    CGrowBuffer<CZipEntry> m_entries;
    int m_count = 0;
    CGrowBuffer<char> m_names;
    uint64_t m_namesLength = 0;
    CUnpackError m_error = CUnpackError::kNone;
};

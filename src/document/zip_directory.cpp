// The zip directory: the end record (searched in the last 64 KiB), its zip64 form, the
// central entries and their zip64 extra fields; a local header when there is no end.
#include "document/zip_directory.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "document/file.h"
#include "foundation/buffer.h"
#include "foundation/convert.h"
#include "foundation/string.h"

namespace {

constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kEnd64Signature = 0x06064b50;
constexpr uint32_t kLocator64Signature = 0x07064b50;
constexpr uint32_t kEndSize = 22;
constexpr uint32_t kCentralSize = 46;
constexpr uint32_t kLocalSize = 30;
constexpr uint64_t kMaxDirectory = 256u << 20;
// Deflate writes at most 258 bytes for 2 bits: no honest entry unpacks to more than this
// many times its compressed size (and a little).
constexpr uint64_t kMaxRatio = 1032;

uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const unsigned char* p) { return Le16(p) | static_cast<uint32_t>(Le16(p + 2)) << 16; }
uint64_t Le64(const unsigned char* p) { return Le32(p) | static_cast<uint64_t>(Le32(p + 4)) << 32; }

// Applies a zip64 extra field (id 1) to the values that the record marked as too large.
void ApplyZip64(const unsigned char* extra, uint32_t length, CZipEntry* entry) {
    for (uint32_t at = 0; at + 4 <= length;) {
        uint16_t id = Le16(extra + at);
        uint16_t n = Le16(extra + at + 2);
        const unsigned char* p = extra + at + 4;
        uint32_t end = at + 4 + n;
        if (end > length) return;
        if (id == 1) {
            uint64_t* wide[3] = {&entry->size, &entry->packedSize, &entry->header};
            uint32_t k = 0;
            for (uint64_t* value : wide) {
                if (*value != 0xffffffffu || k + 8 > n) continue;
                *value = Le64(p + k);
                k += 8;
            }
            return;
        }
        at = end;
    }
}

}  // namespace

int CZipDirectory::Find(const char* name) const {
    if (name == nullptr) return -1;
    for (int i = 0; i < Count(); ++i) {
        if (std::strcmp(Name(i), name) == 0) return i;
    }
    return -1;
}

// Keeps the name as UTF-8: marked so (flag bit 11), plain ASCII, or else code page 437.
int CZipDirectory::AddName(const unsigned char* p, int length, uint16_t flags, CZipEntry* entry) {
    bool ascii = true;
    for (int i = 0; i < length; ++i) ascii = ascii && p[i] < 0x80;
    CString converted;
    const char* bytes = reinterpret_cast<const char*>(p);
    if ((flags & 0x800) == 0 && !ascii) {
        char16_t* wide = MultiByteToWideAlloc(bytes, length, 437);
        if (wide != nullptr) {
            converted.AssignWide(wide, -1);
            std::free(wide);
        }
        if (converted.Data() != nullptr) {
            bytes = converted.Data();
            length = converted.Length();
        }
    }
    if (!m_names.Grow(m_namesLength + static_cast<uint64_t>(length) + 1)) return 0;
    entry->name = m_namesLength;
    if (length > 0) std::memcpy(m_names.Data() + m_namesLength, bytes, static_cast<size_t>(length));
    m_names.Data()[m_namesLength + static_cast<uint64_t>(length)] = 0;
    m_namesLength += static_cast<uint64_t>(length) + 1;
    return 1;
}

int CZipDirectory::NoMemory() {
    m_error = CUnpackError::kNoMemory;
    return 0;
}

int CZipDirectory::Add(const CZipEntry& entry) {
    if (m_count == INT32_MAX || !m_entries.Grow(static_cast<size_t>(m_count) + 1)) return 0;
    m_entries.Data()[m_count++] = entry;
    return 1;
}

int CZipDirectory::Read(CFile* file) {
    m_count = 0;
    m_namesLength = 0;
    m_error = CUnpackError::kNone;
    uint64_t size = file->OwnSize();
    if (ReadCentral(file, size)) return 1;
    if (m_error == CUnpackError::kNoMemory || m_error == CUnpackError::kReadFailed) return 0;
    m_count = 0;
    m_namesLength = 0;
    m_error = CUnpackError::kNone;
    if (ReadFirstLocal(file, size)) return 1;
    if (m_error == CUnpackError::kNone) m_error = CUnpackError::kBadArchive;
    return 0;
}

int CZipDirectory::ReadCentral(CFile* file, uint64_t size) {
    if (size < kEndSize) return 0;
    uint32_t tail = size < 65535 + kEndSize ? static_cast<uint32_t>(size) : 65535 + kEndSize;
    CGrowBuffer<unsigned char> buffer;
    if (!buffer.Reserve(tail)) {
        m_error = CUnpackError::kNoMemory;
        return 0;
    }
    unsigned char* t = buffer.Data();
    if (file->ReadPacked(t, tail, size - tail) != tail) {
        m_error = CUnpackError::kReadFailed;
        return 0;
    }
    int64_t end = -1;
    for (int64_t i = static_cast<int64_t>(tail) - kEndSize; i >= 0 && end < 0; --i) {
        if (Le32(t + i) == kEndSignature) end = i;
    }
    if (end < 0) return 0;
    const unsigned char* e = t + end;
    uint64_t count = Le16(e + 10);
    uint64_t length = Le32(e + 12);
    uint64_t offset = Le32(e + 16);
    uint64_t endAt = size - tail + static_cast<uint64_t>(end);
    if ((count == 0xffff || length == 0xffffffffu || offset == 0xffffffffu) && endAt >= 20) {
        unsigned char locator[20];
        unsigned char record[56];
        if (file->ReadPacked(locator, 20, endAt - 20) == 20 && Le32(locator) == kLocator64Signature &&
            file->ReadPacked(record, 56, Le64(locator + 8)) == 56 && Le32(record) == kEnd64Signature) {
            count = Le64(record + 32);
            length = Le64(record + 40);
            offset = Le64(record + 48);
        }
    }
    if (length > kMaxDirectory || offset > size || length > size - offset || count > length / kCentralSize) return 0;
    CGrowBuffer<unsigned char> directory;
    if (!directory.Reserve(length > 0 ? length : 1)) {
        m_error = CUnpackError::kNoMemory;
        return 0;
    }
    if (length > 0 && file->ReadPacked(directory.Data(), static_cast<uint32_t>(length), offset) != length) {
        m_error = CUnpackError::kReadFailed;
        return 0;
    }
    return ParseCentral(directory.Data(), length, count);
}

int CZipDirectory::ParseCentral(const unsigned char* p, uint64_t length, uint64_t count) {
    uint64_t at = 0;
    for (uint64_t k = 0; k < count; ++k) {
        if (at + kCentralSize > length || Le32(p + at) != kCentralSignature) return 0;
        const unsigned char* c = p + at;
        uint32_t nameLength = Le16(c + 28);
        uint32_t extraLength = Le16(c + 30);
        uint64_t next = at + kCentralSize + nameLength + extraLength + Le16(c + 32);
        if (next > length) return 0;
        CZipEntry entry;
        entry.flags = Le16(c + 8);
        entry.method = Le16(c + 10);
        entry.crc = Le32(c + 16);
        entry.packedSize = Le32(c + 20);
        entry.size = Le32(c + 24);
        entry.header = Le32(c + 42);
        ApplyZip64(c + kCentralSize + nameLength, extraLength, &entry);
        bool folder = nameLength > 0 && c[kCentralSize + nameLength - 1] == '/';
        if (!folder) {
            if (!AddName(c + kCentralSize, static_cast<int>(nameLength), entry.flags, &entry)) return NoMemory();
            if (!Add(entry)) return NoMemory();
        }
        at = next;
    }
    return 1;
}

int CZipDirectory::ReadFirstLocal(CFile* file, uint64_t size) {
    unsigned char h[kLocalSize];
    if (size < kLocalSize || file->ReadPacked(h, kLocalSize, 0) != kLocalSize || Le32(h) != kLocalSignature) return 0;
    uint32_t nameLength = Le16(h + 26);
    CGrowBuffer<unsigned char> name;
    if (!name.Reserve(nameLength + 1) || file->ReadPacked(name.Data(), nameLength, kLocalSize) != nameLength) return 0;
    CZipEntry entry;
    entry.flags = Le16(h + 6);
    entry.method = Le16(h + 8);
    entry.crc = Le32(h + 14);
    entry.packedSize = Le32(h + 18);
    entry.size = Le32(h + 22);
    // Sizes kept for a data descriptor (or zip64) are not known: the data runs to the file's end.
    entry.sized = (entry.flags & 8) == 0 && entry.size != 0xffffffffu && entry.packedSize != 0xffffffffu;
    if (!AddName(name.Data(), static_cast<int>(nameLength), entry.flags, &entry)) return NoMemory();
    if (!Add(entry)) return NoMemory();
    return 1;
}

int CZipDirectory::Locate(CFile* file, int index, CPackedStream* stream, CUnpackError* error) const {
    if (index < 0 || index >= Count()) {
        *error = CUnpackError::kNoEntry;
        return 0;
    }
    const CZipEntry& entry = At(index);
    if ((entry.flags & 1) != 0 || (entry.method != 0 && entry.method != 8)) {
        *error = CUnpackError::kUnsupported;
        return 0;
    }
    unsigned char h[kLocalSize];
    uint64_t size = file->OwnSize();
    if (file->ReadPacked(h, kLocalSize, entry.header) != kLocalSize || Le32(h) != kLocalSignature) {
        *error = CUnpackError::kBadArchive;
        return 0;
    }
    uint64_t data = entry.header + kLocalSize + Le16(h + 26) + Le16(h + 28);
    if (data > size) {
        *error = CUnpackError::kTruncated;
        return 0;
    }
    stream->format = entry.method == 8 ? CPackedFormat::kZipDeflate : CPackedFormat::kZipStored;
    stream->begin = data;
    stream->crc = entry.crc;
    if (!entry.sized) {
        stream->end = size;
        stream->declared = entry.method == 0 ? size - data : kUnknownUnpackedSize;
        return 1;
    }
    bool bomb = entry.method == 8 ? entry.size / kMaxRatio > entry.packedSize + 64 : entry.size != entry.packedSize;
    if (bomb) {
        *error = entry.method == 8 ? CUnpackError::kTooLarge : CUnpackError::kCorrupt;
        return 0;
    }
    stream->declared = entry.size;
    // An entry whose bytes the file no longer holds reads up to where they end.
    stream->end = entry.packedSize <= size - data ? data + entry.packedSize : size;
    return 1;
}

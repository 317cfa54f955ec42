// The platform-independent parts of CFile and the whole-file helpers.
#include "document/file.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "document/access_points.h"
#include "document/unpacked_stream.h"
#include "document/zip_directory.h"
#include "foundation/convert.h"

CFileFaults g_fileFaults;

CFile::~CFile() {
    // Not virtual dispatch here: a derived object is already gone.
    CFile::Close();
}

int CFile::OpenBytes(const void* bytes, uint64_t size) {
    if (IsOpen()) return 0;
    static const unsigned char kNone = 0;
    m_bytes = bytes != nullptr ? static_cast<const unsigned char*>(bytes) : &kNone;
    m_size = bytes != nullptr ? size : 0;
    m_readable = 1;
    m_writable = 0;
    m_path.Clear();
    return 1;
}

uint32_t CFile::Read(void* buffer, uint32_t count, uint64_t offset) {
    if (m_unpacked != nullptr) return m_unpacked->Read(buffer, count, offset);
    return ReadPacked(buffer, count, offset);
}

int CFile::OpenSameFile(const CFile& source) {
    if (!OpenSameRaw(source)) return 0;
    if (source.m_unpacked == nullptr) return 1;
    m_unpacked = new (std::nothrow) CUnpackedStream(this, source.m_unpacked->Points());
    if (m_unpacked != nullptr) return 1;
    Close();
    return 0;
}

void CFile::ForgetUnpacked() {
    delete m_unpacked;
    m_unpacked = nullptr;
    m_unpackError = CUnpackError::kNone;
}

int CFile::Unpack(int entry) {
    m_unpackError = CUnpackError::kNone;
    if (!IsOpen() || m_unpacked != nullptr) return m_unpacked != nullptr ? 1 : 0;
    unsigned char head[4] = {};
    uint32_t got = ReadPacked(head, sizeof head, 0);
    CPackedStream stream;
    stream.format = SniffPackedFormat(head, got);
    if (stream.format == CPackedFormat::kPlain) return 1;
    stream.end = m_size;
    if (stream.format != CPackedFormat::kGzip) {
        CZipDirectory directory;
        if (!directory.Read(this)) {
            m_unpackError = directory.Error();
            return 0;
        }
        if (!directory.Locate(this, entry >= 0 ? entry : 0, &stream, &m_unpackError)) return 0;
    }
    CAccessPoints* points = CAccessPoints::Create(stream);
    if (points == nullptr) {
        m_unpackError = CUnpackError::kNoMemory;
        return 0;
    }
    if (stream.format == CPackedFormat::kZipStored) {
        uint64_t held = stream.end - stream.begin;
        points->End(held < stream.declared ? held : stream.declared,
                    held < stream.declared ? CUnpackError::kTruncated : CUnpackError::kNone);
    }
    m_unpacked = new (std::nothrow) CUnpackedStream(this, points);
    points->Release();
    if (m_unpacked == nullptr) m_unpackError = CUnpackError::kNoMemory;
    return m_unpacked != nullptr ? 1 : 0;
}

CPackedFormat CFile::PackedFormat() const {
    return m_unpacked != nullptr ? m_unpacked->Points()->Stream().format : CPackedFormat::kPlain;
}

uint64_t CFile::PackedSize() const {
    if (m_unpacked == nullptr) return m_size;
    const CPackedStream& stream = m_unpacked->Points()->Stream();
    return stream.format == CPackedFormat::kGzip ? m_size : stream.end - stream.begin;
}

bool CFile::SizeKnown() const { return m_unpacked == nullptr || m_unpacked->Points()->SizeKnown(); }

CUnpackError CFile::UnpackError() const {
    return m_unpacked != nullptr ? m_unpacked->Points()->Error() : m_unpackError;
}

uint64_t CFile::PackedDone() const {
    if (m_unpacked == nullptr) return m_size;
    uint64_t done = m_unpacked->Points()->PackedDone();
    uint64_t begin = m_unpacked->Points()->Stream().begin;
    const CPackedStream& stream = m_unpacked->Points()->Stream();
    if (stream.format == CPackedFormat::kGzip) return done;
    return done > begin ? done - begin : 0;
}

uint64_t CFile::AccessPointBytes() const { return m_unpacked != nullptr ? m_unpacked->Points()->Bytes() : 0; }

int64_t CFile::AccessPointCount() const { return m_unpacked != nullptr ? m_unpacked->Points()->Count() : 0; }

uint64_t CFile::AccessPointOffset(int64_t index) const {
    uint64_t out = 0;
    if (m_unpacked == nullptr || index < 0) return 0;
    if (index == 0) return 0;
    return m_unpacked->Points()->NextOut(index - 1, &out) ? out : 0;
}

uint64_t CFile::UnpackedSize() const { return m_unpacked->Points()->Size(); }

uint32_t CFile::ReadBytes(void* buffer, uint32_t count, uint64_t offset) const {
    if (offset == kCurrentOffset || offset >= m_size) return 0;
    uint64_t left = m_size - offset;
    uint32_t n = left < count ? static_cast<uint32_t>(left) : count;
    std::memcpy(buffer, m_bytes + offset, n);
    return n;
}

char* ReadWholeFile(const char16_t* path, uint32_t* size) {
    *size = 0;
    CFile file;
    if (!file.Open(path)) return nullptr;
    uint64_t total = file.Size();
    if (total >= 0xffffffffull) return nullptr;
    auto* buffer = static_cast<char*>(std::malloc(static_cast<size_t>(total) + 1));
    if (buffer == nullptr) return nullptr;
    uint32_t n = total > 0 ? file.Read(buffer, static_cast<uint32_t>(total), 0) : 0;
    if (n != total) {
        std::free(buffer);
        return nullptr;
    }
    buffer[n] = '\0';
    *size = n;
    return buffer;
}

std::unique_ptr<CFile> OpenAnotherHandle(CFile* file) {
    std::unique_ptr<CFile> other(new (std::nothrow) CFile());
    if (other != nullptr && (!other->OpenSameFile(*file) || other->Size() < file->Size())) other.reset();
    return other;
}

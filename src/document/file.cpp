// The platform-independent parts of CFile and the whole-file helpers.
#include "document/file.h"

#include <cstdlib>
#include <cstring>
#include <new>

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

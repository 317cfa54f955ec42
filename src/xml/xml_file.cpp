// Loading and atomic saving of XML files over CFile.
#include "xml/xml_file.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <new>

#include "document/file.h"
#include "foundation/trace.h"

uint32_t g_temporaryTagSeed = 0;

namespace {

constexpr size_t kNameLimit = 255;   // bytes of one name in a path, on common file systems
constexpr size_t kPathLimit = 4095;  // bytes of a whole path on Linux, its terminator excluded
constexpr size_t kSuffixUnits = 13;  // ".<8 hex digits>.tmp"

bool IsSeparator(char16_t c) {
#ifdef _WIN32
    return c == u'\\' || c == u'/';
#else
    return c == u'/';
#endif
}

// The UTF-8 size of count UTF-16 units (an unpaired surrogate becomes U+FFFD, 3 bytes).
size_t Utf8Bytes(const char16_t* text, size_t count) {
    size_t bytes = 0;
    for (size_t i = 0; i < count; ++i) {
        char16_t c = text[i];
        if (c < 0x80) {
            bytes += 1;
        } else if (c < 0x800) {
            bytes += 2;
        } else if (c >= 0xD800 && c < 0xDC00 && i + 1 < count && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            bytes += 4;
            ++i;
        } else {
            bytes += 3;
        }
    }
    return bytes;
}

// A tag that another program cannot tell in advance; the exclusive creation, not the tag,
// is what keeps a planted file or link from being used.
uint32_t RandomTag() {
    static std::atomic<uint64_t> counter{0};
    uint64_t x = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    x ^= static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) << 17;
    x ^= counter.fetch_add(1) * 0x9E3779B97F4A7C15ull;
    x ^= static_cast<uint64_t>(reinterpret_cast<uintptr_t>(&counter));  // differs per process with ASLR
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return static_cast<uint32_t>(x ^ (x >> 31));
}

// True when the file at path holds exactly these bytes, so that a save has nothing to do.
bool SameContent(const char16_t* path, const char* bytes, uint32_t length) {
    CFile file;
    if (!file.Open(path) || file.Size() != length) return false;
    const uint32_t kChunk = 64 * 1024;
    auto* buffer = static_cast<char*>(std::malloc(kChunk));
    if (buffer == nullptr) return false;
    bool same = true;
    for (uint32_t done = 0; same && done < length;) {
        uint32_t count = length - done < kChunk ? length - done : kChunk;
        same = file.Read(buffer, count, done) == count && std::memcmp(buffer, bytes + done, count) == 0;
        done += count;
    }
    std::free(buffer);
    return same;
}

// Whether the files at path and at written hold the same size bytes.
bool SameFiles(const char16_t* path, const char16_t* writtenPath, uint64_t size) {
    CFile file;
    CFile written;
    if (!file.Open(path) || file.Size() != size || !written.Open(writtenPath)) return false;
    const uint32_t kChunk = 64 * 1024;
    auto* buffer = static_cast<char*>(std::malloc(size_t{2} * kChunk));
    if (buffer == nullptr) return false;
    bool same = true;
    for (uint64_t done = 0; same && done < size;) {
        uint32_t count = size - done < kChunk ? static_cast<uint32_t>(size - done) : kChunk;
        same = file.Read(buffer, count, done) == count && written.Read(buffer + kChunk, count, done) == count &&
               std::memcmp(buffer, buffer + kChunk, count) == 0;
        done += count;
    }
    std::free(buffer);
    return same;
}

bool SamePath(const char16_t* a, const char16_t* b) {
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

}  // namespace

CXmlElement* LoadXmlFile(CXml& xml, const char16_t* path) {
    if (path == nullptr || path[0] == 0) return nullptr;
    CFile file;
    if (!file.Open(path)) return nullptr;
    return LoadXmlFile(xml, file);
}

CXmlElement* LoadXmlFile(CXml& xml, CFile& file) {
    uint64_t size = file.Size();
    if (size == 0 || size > 0x7fffffffull) return nullptr;
    auto* buffer = static_cast<char*>(std::malloc(static_cast<size_t>(size)));
    if (buffer == nullptr) return nullptr;
    uint32_t read = file.Read(buffer, static_cast<uint32_t>(size), 0);
    CXmlElement* first = nullptr;
    if (read == size) first = xml.Parse(buffer, static_cast<int>(size));
    std::free(buffer);
    return first;
}

char16_t* TemporaryPath(const char16_t* path, uint32_t tag) {
    if (path == nullptr) return nullptr;
    size_t n = 0;
    while (path[n] != 0) ++n;
    size_t nameStart = n;
    while (nameStart > 0 && !IsSeparator(path[nameStart - 1])) --nameStart;
    const size_t nameUnits = n - nameStart;
    if (nameUnits == 0) return nullptr;
    char16_t digits[8];
    for (int i = 0; i < 8; ++i) digits[i] = u"0123456789abcdef"[(tag >> (28 - 4 * i)) & 15];
    const bool suffixFits = Utf8Bytes(path + nameStart, nameUnits) + kSuffixUnits <= kNameLimit &&
                            Utf8Bytes(path, n) + kSuffixUnits <= kPathLimit;
    // Otherwise a name no longer than the file's own, so that a path that is valid for the
    // file is valid for its temporary file too.
    const size_t total = suffixFits ? n + kSuffixUnits : n;
    auto* out = static_cast<char16_t*>(std::malloc((total + 1) * sizeof(char16_t)));
    if (out == nullptr) return nullptr;
    if (suffixFits) {
        std::memcpy(out, path, n * sizeof(char16_t));
        out[n] = u'.';
        std::memcpy(out + n + 1, digits, sizeof(digits));
        std::memcpy(out + n + 9, u".tmp", 4 * sizeof(char16_t));
    } else {
        std::memcpy(out, path, nameStart * sizeof(char16_t));
        // "~", zeros, then the tag's last digits; a name of one unit is one digit.
        for (size_t i = 0; i < nameUnits; ++i) {
            size_t fromEnd = nameUnits - i;
            out[nameStart + i] = fromEnd <= 8 ? digits[8 - fromEnd] : u'0';
        }
        if (nameUnits > 1) out[nameStart] = u'~';
    }
    out[total] = 0;
    return out;
}

namespace {

// A new file under a fresh name beside path, created exclusively: a file or link that someone
// planted under a name we try is never opened, so it cannot redirect the save. Its name
// (std::free), or null.
char16_t* CreateTemporary(const char16_t* path, CFile& file) {
    char16_t* temporary = nullptr;
    for (int attempt = 0; attempt < kTemporaryAttempts && temporary == nullptr; ++attempt) {
        uint32_t tag = g_temporaryTagSeed != 0 ? g_temporaryTagSeed + static_cast<uint32_t>(attempt) : RandomTag();
        temporary = TemporaryPath(path, tag);
        if (temporary != nullptr && (SamePath(temporary, path) || file.CreateNew(temporary) != 0)) {
            std::free(temporary);
            temporary = nullptr;
        }
    }
    if (temporary == nullptr) TraceOutput(u"save of %s failed: no temporary file could be created beside it\n", path);
    return temporary;
}

}  // namespace

int SaveBytesAtomic(const char16_t* path, const char* bytes, uint32_t length) {
    if (path == nullptr || path[0] == 0 || bytes == nullptr) return 0;
    // Every search saves the configuration: an unchanged file is left alone, mtime and all.
    if (SameContent(path, bytes, length)) return 1;
    CFile file;
    char16_t* temporary = CreateTemporary(path, file);
    if (temporary == nullptr) return 0;
    int ok = file.Write(bytes, length, 0) == length && file.FlushReported() == 1;
    file.Close();
    if (ok) ok = ReplaceFileAtomic(temporary, path);
    if (!ok) {
        DeleteFilePath(temporary);
        TraceOutput(u"save of %s failed: the file was left as it was\n", path);
    }
    std::free(temporary);
    return ok;
}

int SaveXmlFile(CXml& xml, CXmlElement* first, const char16_t* path) {
    if (path == nullptr || path[0] == 0) return 0;
    char* bytes = xml.Write(first);
    if (bytes == nullptr) return 0;
    int ok = SaveBytesAtomic(path, bytes, static_cast<uint32_t>(std::strlen(bytes)));
    std::free(bytes);
    return ok;
}

CAtomicFile::CAtomicFile() = default;

CAtomicFile::~CAtomicFile() { Abandon(); }

int CAtomicFile::Create(const char16_t* path) {
    Abandon();
    if (path == nullptr || path[0] == 0) return 0;
    m_file.reset(new (std::nothrow) CFile());
    if (m_file == nullptr) return 0;
    m_temporary = CreateTemporary(path, *m_file);
    if (m_temporary == nullptr) {
        m_file.reset();
        return 0;
    }
    m_target = path;
    m_written = 0;
    return 1;
}

int CAtomicFile::Write(const char* bytes, uint32_t length) {
    if (m_file == nullptr) return 0;
    if (length == 0) return 1;
    if (m_file->Write(bytes, length, m_written) != length) return 0;
    m_written += length;
    return 1;
}

int CAtomicFile::Commit() {
    if (m_file == nullptr) return 0;
    int ok = m_file->FlushReported() == 1;
    m_file->Close();
    // A file that would not change is left alone.
    if (ok && SameFiles(m_target.c_str(), m_temporary, m_written)) {
        Abandon();
        return 1;
    }
    if (ok) ok = ReplaceFileAtomic(m_temporary, m_target.c_str());
    if (!ok) {
        Abandon();
        return 0;
    }
    std::free(m_temporary);
    m_temporary = nullptr;
    m_file.reset();
    return 1;
}

void CAtomicFile::Abandon() {
    if (m_file != nullptr) m_file->Close();
    m_file.reset();
    if (m_temporary != nullptr) DeleteFilePath(m_temporary);
    std::free(m_temporary);
    m_temporary = nullptr;
}

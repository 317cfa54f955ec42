// Loading and atomic saving of XML files over CFile.
#include "xml/xml_file.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "document/file.h"

namespace {

// path + ".tmp", NUL-terminated, or null (std::free).
char16_t* TemporaryPath(const char16_t* path) {
    size_t n = 0;
    while (path[n] != 0) ++n;
    static const char16_t kSuffix[] = u".tmp";
    const size_t suffix = sizeof(kSuffix) / sizeof(kSuffix[0]);  // with the terminator
    auto* out = static_cast<char16_t*>(std::malloc((n + suffix) * sizeof(char16_t)));
    if (out == nullptr) return nullptr;
    std::memcpy(out, path, n * sizeof(char16_t));
    std::memcpy(out + n, kSuffix, suffix * sizeof(char16_t));
    return out;
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

}  // namespace

CXmlElement* LoadXmlFile(CXml& xml, const char16_t* path) {
    if (path == nullptr || path[0] == 0) return nullptr;
    CFile file;
    if (!file.Open(path)) return nullptr;
    uint64_t size = file.Size();
    if (size == 0 || size > 0x7fffffffull) return nullptr;
    auto* buffer = static_cast<char*>(std::malloc(static_cast<size_t>(size)));
    if (buffer == nullptr) return nullptr;
    uint32_t read = file.Read(buffer, static_cast<uint32_t>(size), 0);
    file.Close();
    CXmlElement* first = nullptr;
    if (read == size) first = xml.Parse(buffer, static_cast<int>(size));
    std::free(buffer);
    return first;
}

int SaveBytesAtomic(const char16_t* path, const char* bytes, uint32_t length) {
    if (path == nullptr || path[0] == 0 || bytes == nullptr) return 0;
    // Every search saves the configuration: an unchanged file is left alone, mtime and all.
    if (SameContent(path, bytes, length)) return 1;
    char16_t* temporary = TemporaryPath(path);
    if (temporary == nullptr) return 0;
    int ok = 0;
    {
        CFile file;
        if (file.Create(temporary) == 0) {
            ok = file.Write(bytes, length, 0) == length && file.FlushReported() == 1;
            file.Close();
            if (ok) ok = ReplaceFileAtomic(temporary, path);
            if (!ok) DeleteFilePath(temporary);
        }
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

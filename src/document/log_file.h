// CLogFile: the open log document. Adds to CFile the split path, a read cache of
// 200 blocks of 4096 bytes for fetching single lines, and the error-line list.
// Only one thread at a time may use the cache and the file pointer.
#pragma once

#include <memory>

#include "document/file.h"
#include "document/log_line.h"
#include "foundation/file_name.h"

constexpr uint32_t kCacheBlockSize = 4096;
constexpr int kCacheBlockCount = 200;

struct CLogCacheBlock {
    CLogCacheBlock* next = nullptr;
    uint64_t start = 0;
    uint64_t end = 0;  // start + bytes actually read
    unsigned char data[kCacheBlockSize];
};

class CLogFile : public CFile {
public:
    CLogFile() = default;
    ~CLogFile() override;

    // Frees the cache and the error-line list, then closes the handle.
    void Close() override;
    uint32_t Read(void* buffer, uint32_t count, uint64_t offset) override;

    // Copies a line's bytes (offset and length from its CLogLine) into buffer and returns
    // the count, 0 on failure. A request of at most one block goes through the cache; a
    // longer one is read directly and comes back whole.
    uint32_t ReadLine(void* buffer, uint32_t length, uint64_t offset);

    CFileName& Name() { return m_name; }
    // The lines holding an error keyword, which the loader fills (LoadLogFile).
    CLogLineList& ErrorLines() { return m_errorLines; }
    // Number of blocks in the cache (for tests and diagnostics).
    int CacheBlockCount() const;

private:
    void FreeCache();

    CLogCacheBlock* m_cache = nullptr;
    CFileName m_name;
    CLogLineList m_errorLines;
};

// CLogFile: the open log document. Adds to CFile the split path, a read cache of
// 200 blocks of 4096 bytes for fetching single lines, and the error-line list.
// Only one thread at a time may use the cache and the file pointer.
#pragma once

#include <atomic>
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

class CProgressListener;

class CKeywordSet;
struct CLoadResult;
struct CStampRules;
struct CStampCount;

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

    // Indexes the open file with the given log code page and keyword set (see LoadLogLines
    // in log_loader.h) and rebuilds the error-line list. Worker thread only; the keyword set
    // must stay unchanged until the load returns (the application gives the worker a copy).
    // Another thread may set *cancel to non-zero to stop the load at its next block; the
    // lines indexed so far are then returned. Returns a new index that belongs to the
    // caller, or null when the working buffers cannot be allocated or the index would not
    // fit in the memory the system can give; result (when given) tells which, with the
    // figures of a refusal (CLoadResult in loader/log_loader.h). stamps (null: the line-start
    // forms only) stays unchanged while the load runs; *stampCount, when given, receives
    // what it found.
    std::unique_ptr<CLogLineList> Load(unsigned codePage, const CKeywordSet* keywords, CProgressListener* listener,
                                       const std::atomic<int>* cancel = nullptr, const CStampRules* stamps = nullptr,
                                       CStampCount* stampCount = nullptr, CLoadResult* result = nullptr);

    CFileName& Name() { return m_name; }
    CLogLineList& ErrorLines() { return m_errorLines; }
    // Number of blocks in the cache (for tests and diagnostics).
    int CacheBlockCount() const;

private:
    void FreeCache();

    CLogCacheBlock* m_cache = nullptr;
    CFileName m_name;
    CLogLineList m_errorLines;
};

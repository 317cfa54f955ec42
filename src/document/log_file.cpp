// CLogFile's line cache: most recently used first, blocks start where a request began.
#include "document/log_file.h"

#include <cstring>
#include <new>

CLogFile::~CLogFile() { CLogFile::Close(); }

void CLogFile::FreeCache() {
    while (m_cache != nullptr) {
        CLogCacheBlock* next = m_cache->next;
        delete m_cache;
        m_cache = next;
    }
}

void CLogFile::Close() {
    FreeCache();
    m_errorLines.Free();
    CFile::Close();
}

uint32_t CLogFile::Read(void* buffer, uint32_t count, uint64_t offset) { return CFile::Read(buffer, count, offset); }

int CLogFile::CacheBlockCount() const {
    int n = 0;
    for (const CLogCacheBlock* b = m_cache; b != nullptr; b = b->next) ++n;
    return n;
}

uint32_t CLogFile::ReadLine(void* buffer, uint32_t length, uint64_t offset) {
    if (length > kCacheBlockSize) {
        // Too long for a block: read it whole, so that searches see every byte.
        if (!IsOpen()) return 0;
        return Read(buffer, length, offset);
    }
    CLogCacheBlock* previous = nullptr;
    CLogCacheBlock* beforeLast = nullptr;
    int visited = 0;
    for (CLogCacheBlock* b = m_cache; b != nullptr; previous = b, b = b->next) {
        ++visited;
        bool inside = b->start <= offset && offset + length < b->end;
        bool tail = b->start <= offset && b->end >= Size() && offset < b->end;
        if (inside || tail) {
            uint32_t count = inside ? length : static_cast<uint32_t>(b->end - offset);
            std::memcpy(buffer, b->data + (offset - b->start), count);
            if (previous != nullptr) {
                previous->next = b->next;
                b->next = m_cache;
                m_cache = b;
            }
            return count;
        }
        if (b->next != nullptr && b->next->next == nullptr) beforeLast = b;
    }
    CLogCacheBlock* block = nullptr;
    if (visited >= kCacheBlockCount && m_cache != nullptr) {
        // Recycle the least recently used block, the last one.
        if (m_cache->next == nullptr) {
            block = m_cache;
            m_cache = nullptr;
        } else {
            block = beforeLast->next;
            beforeLast->next = nullptr;
        }
    } else {
        block = new (std::nothrow) CLogCacheBlock();
        if (block == nullptr) return 0;
        std::memset(block->data, 0, sizeof block->data);
    }
    uint32_t read = 0;
    if (IsOpen()) {
        read = CFile::Read(block->data, kCacheBlockSize, offset);
    }
    block->start = offset;
    block->end = offset + read;
    block->next = m_cache;
    m_cache = block;
    uint32_t count = read < length ? read : length;
    std::memcpy(buffer, block->data, count);
    return count;
}

// CReadAhead: while a compressed log is read in large pieces from one place onwards (the
// load), a helper thread decodes the next megabytes into a few buffers, so that decoding
// and indexing each take a processor. The reader's thread copies from the buffers; one
// buffer before the one it reads stays, for a line read again from its start.
// The helper alone uses the cursor while it runs; Stop leaves the cursor where its decoding
// ended. The reader calls everything from one thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "document/helper_thread.h"
#include "document/inflate_cursor.h"
#include "foundation/buffer.h"

// Reads of at least this many bytes start the helper.
constexpr uint32_t kReadAheadMinimum = 1u << 20;

class CReadAhead {
public:
    explicit CReadAhead(CInflateCursor* cursor) : m_cursor(cursor) {}
    ~CReadAhead() { Stop(); }
    CReadAhead(const CReadAhead&) = delete;
    CReadAhead& operator=(const CReadAhead&) = delete;

    // Starts the helper at the cursor's position. 1, or 0 when no thread or memory could be had.
    int Start();
    bool Active() const { return m_active; }
    // Copies up to n bytes from at on out of the buffers, waiting for the helper when at lies
    // where it goes on. 0 when the data ended there, or at lies before the buffers kept.
    uint32_t Read(uint64_t at, char* dest, uint32_t n);
    // Stops the helper and drops the buffers.
    void Stop();

private:
    static constexpr int kSlots = 6;
    static constexpr uint32_t kSlotSize = 2u << 20;
    struct CSlot {
        uint64_t start = 0;
        uint32_t length = 0;
        CGrowBuffer<char> bytes;
    };

    static void Run(void* self);
    void Produce();
    CSlot& Slot(uint64_t sequence) { return m_slots[sequence % kSlots]; }

    CInflateCursor* m_cursor;
    CHelperThread m_thread;
    std::mutex m_lock;
    std::condition_variable m_changed;
    CSlot m_slots[kSlots];
    uint64_t m_produced = 0;  // slots filled so far (sequence numbers)
    uint64_t m_kept = 0;      // the first slot still kept
    bool m_ended = false;     // the helper decoded its last slot
    bool m_stop = false;
    bool m_active = false;
};

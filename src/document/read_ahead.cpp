// The helper fills the slots in turn and waits when all are full; the reader frees the slots
// before the one it reads, but the last.
#include "document/read_ahead.h"

#include <cstring>

int CReadAhead::Start() {
    if (m_active || !m_cursor->Ready()) return 0;
    for (CSlot& slot : m_slots) {
        if (!slot.bytes.Reserve(kSlotSize)) return 0;
    }
    m_produced = 0;
    m_kept = 0;
    m_ended = false;
    m_stop = false;
    if (!m_thread.Start(Run, this)) return 0;
    m_active = true;
    return 1;
}

void CReadAhead::Run(void* self) { static_cast<CReadAhead*>(self)->Produce(); }

void CReadAhead::Produce() {
    for (;;) {
        uint64_t sequence = 0;
        {
            std::unique_lock<std::mutex> hold(m_lock);
            m_changed.wait(hold, [&] { return m_stop || m_produced - m_kept < kSlots; });
            if (m_stop) return;
            sequence = m_produced;
        }
        CSlot& slot = Slot(sequence);
        slot.start = m_cursor->Position();
        slot.length = m_cursor->Decode(slot.bytes.Data(), kSlotSize);
        std::lock_guard<std::mutex> hold(m_lock);
        ++m_produced;
        if (slot.length < kSlotSize) m_ended = true;
        m_changed.notify_all();
        if (m_ended) return;
    }
}

uint32_t CReadAhead::Read(uint64_t at, char* dest, uint32_t n) {
    std::unique_lock<std::mutex> hold(m_lock);
    for (;;) {
        if (m_kept < m_produced && at < Slot(m_kept).start) return 0;
        for (uint64_t s = m_kept; s < m_produced; ++s) {
            CSlot& slot = Slot(s);
            if (at >= slot.start + slot.length) continue;
            // Free the slots before the one before this: the helper may fill them again.
            if (s > m_kept + 1) {
                m_kept = s - 1;
                m_changed.notify_all();
            }
            uint64_t left = slot.start + slot.length - at;
            uint32_t count = left < n ? static_cast<uint32_t>(left) : n;
            std::memcpy(dest, slot.bytes.Data() + (at - slot.start), count);
            return count;
        }
        if (m_ended) return 0;
        // Beyond every slot filled: the ones before the last are done with.
        if (m_produced > m_kept + 1) {
            m_kept = m_produced - 1;
            m_changed.notify_all();
        }
        m_changed.wait(hold);
    }
}

void CReadAhead::Stop() {
    if (!m_active) return;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_stop = true;
        m_changed.notify_all();
    }
    m_thread.Join();
    m_active = false;
}

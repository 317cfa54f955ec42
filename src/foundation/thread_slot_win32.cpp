// CThreadSlot on fiber-local storage, whose callback deletes each thread's object as the
// thread ends.
#include <windows.h>

#include "foundation/thread_slot.h"

namespace {

void NTAPI DeleteOwned(void* owned) { delete static_cast<CThreadOwned*>(owned); }

}  // namespace

CThreadSlot::CThreadSlot(Make make) : m_make(make) {
    DWORD index = FlsAlloc(DeleteOwned);
    m_valid = index != FLS_OUT_OF_INDEXES;
    m_key = index;
}

CThreadOwned* CThreadSlot::Get() const {
    if (!m_valid) return nullptr;
    auto* owned = static_cast<CThreadOwned*>(FlsGetValue(m_key));
    if (owned != nullptr) return owned;
    owned = m_make();
    if (owned != nullptr && !FlsSetValue(m_key, owned)) {
        delete owned;
        return nullptr;
    }
    return owned;
}

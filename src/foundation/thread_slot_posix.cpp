// CThreadSlot on a pthread key, whose destructor deletes each thread's object as the
// thread ends.
#include <pthread.h>

#include "foundation/thread_slot.h"

namespace {

void DeleteOwned(void* owned) { delete static_cast<CThreadOwned*>(owned); }

}  // namespace

CThreadSlot::CThreadSlot(Make make) : m_make(make) {
    pthread_key_t key;
    m_valid = pthread_key_create(&key, DeleteOwned) == 0;
    m_key = m_valid ? static_cast<unsigned long>(key) : 0;
}

CThreadOwned* CThreadSlot::Get() const {
    if (!m_valid) return nullptr;
    auto key = static_cast<pthread_key_t>(m_key);
    auto* owned = static_cast<CThreadOwned*>(pthread_getspecific(key));
    if (owned != nullptr) return owned;
    owned = m_make();
    if (owned != nullptr && pthread_setspecific(key, owned) != 0) {
        delete owned;
        return nullptr;
    }
    return owned;
}

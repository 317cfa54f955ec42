// CHelperThread on POSIX threads.
#include <pthread.h>
#include <unistd.h>

#include <new>

#include "document/helper_thread.h"

bool g_helperThreadsRefused = false;

struct CHelperThreadEntry {
    static void* Run(void* self) {
        auto* t = static_cast<CHelperThread*>(self);
        t->m_function(t->m_context);
        return nullptr;
    }
};

CHelperThread::~CHelperThread() { Join(); }

int CHelperThread::Start(Function function, void* context) {
    if (m_thread != nullptr || function == nullptr || g_helperThreadsRefused) return 0;
    auto* handle = new (std::nothrow) pthread_t;
    if (handle == nullptr) return 0;
    m_function = function;
    m_context = context;
    if (pthread_create(handle, nullptr, CHelperThreadEntry::Run, this) != 0) {
        delete handle;
        return 0;
    }
    m_thread = handle;
    return 1;
}

void CHelperThread::Join() {
    if (m_thread == nullptr) return;
    auto* handle = static_cast<pthread_t*>(m_thread);
    pthread_join(*handle, nullptr);
    delete handle;
    m_thread = nullptr;
}

int CHelperThread::ProcessorCount() {
    long n = sysconf(_SC_NPROCESSORS_ONLN);
    return n > 0 ? static_cast<int>(n) : 1;
}

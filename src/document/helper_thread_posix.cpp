// CHelperThread on POSIX threads, kept in a pool: a thread whose function has returned and
// been joined waits for the next Start, since creating and ending a thread costs more than
// a small load or scan.
#include <pthread.h>
#include <unistd.h>

#include <new>

#include "document/helper_thread.h"

bool g_helperThreadsRefused = false;

namespace {

// One pooled thread. Its fields are guarded by g_poolLock.
struct CPoolSlot {
    pthread_cond_t signal = PTHREAD_COND_INITIALIZER;  // a job given, or the job done
    CHelperThread::Function function = nullptr;        // the job; null while there is none
    void* context = nullptr;
    bool done = false;
    CPoolSlot* nextIdle = nullptr;
};

pthread_mutex_t g_poolLock = PTHREAD_MUTEX_INITIALIZER;
CPoolSlot* g_idle = nullptr;  // joined threads waiting for a job

void* SlotMain(void* self) {
    auto* slot = static_cast<CPoolSlot*>(self);
    pthread_mutex_lock(&g_poolLock);
    for (;;) {
        while (slot->function == nullptr) pthread_cond_wait(&slot->signal, &g_poolLock);
        CHelperThread::Function function = slot->function;
        void* context = slot->context;
        pthread_mutex_unlock(&g_poolLock);
        function(context);
        pthread_mutex_lock(&g_poolLock);
        slot->function = nullptr;
        slot->done = true;
        pthread_cond_broadcast(&slot->signal);
    }
    return nullptr;
}

// A new slot with a detached thread of its own, or null.
CPoolSlot* NewSlot() {
    auto* slot = new (std::nothrow) CPoolSlot();
    if (slot == nullptr) return nullptr;
    pthread_attr_t attributes;
    pthread_t thread;
    bool started = pthread_attr_init(&attributes) == 0;
    if (started) {
        started = pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED) == 0 &&
                  pthread_create(&thread, &attributes, SlotMain, slot) == 0;
        pthread_attr_destroy(&attributes);
    }
    if (!started) {
        delete slot;
        return nullptr;
    }
    return slot;
}

}  // namespace

CHelperThread::~CHelperThread() { Join(); }

int CHelperThread::Start(Function function, void* context) {
    if (m_thread != nullptr || function == nullptr || g_helperThreadsRefused) return 0;
    pthread_mutex_lock(&g_poolLock);
    CPoolSlot* slot = g_idle;
    if (slot != nullptr) g_idle = slot->nextIdle;
    pthread_mutex_unlock(&g_poolLock);
    // The new thread waits on the lock until its job is set.
    if (slot == nullptr) slot = NewSlot();
    if (slot == nullptr) return 0;
    pthread_mutex_lock(&g_poolLock);
    slot->nextIdle = nullptr;
    slot->function = function;
    slot->context = context;
    slot->done = false;
    pthread_cond_broadcast(&slot->signal);
    pthread_mutex_unlock(&g_poolLock);
    m_thread = slot;
    return 1;
}

void CHelperThread::Join() {
    if (m_thread == nullptr) return;
    auto* slot = static_cast<CPoolSlot*>(m_thread);
    pthread_mutex_lock(&g_poolLock);
    while (!slot->done) pthread_cond_wait(&slot->signal, &g_poolLock);
    slot->nextIdle = g_idle;
    g_idle = slot;
    pthread_mutex_unlock(&g_poolLock);
    m_thread = nullptr;
}

int CHelperThread::ProcessorCount() {
    long n = sysconf(_SC_NPROCESSORS_ONLN);
    return n > 0 ? static_cast<int>(n) : 1;
}

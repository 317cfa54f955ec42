// CScanWorker: a thread that sleeps on an event until a job is handed over, runs it, marks
// itself idle and posts the job's end to the frame.
#include "shell/scan_worker.h"

#include <initializer_list>

CScanWorker::~CScanWorker() { Stop(); }

bool CScanWorker::Start(HWND frame) {
    if (m_thread != nullptr) return true;
    m_frame = frame;
    m_startEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_idleEvent = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    m_goEvent = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    if (m_startEvent != nullptr && m_idleEvent != nullptr && m_goEvent != nullptr) {
        m_quitting.store(0);
        m_thread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
    }
    if (m_thread != nullptr) return true;
    for (HANDLE* event : {&m_startEvent, &m_idleEvent, &m_goEvent}) {
        if (*event != nullptr) CloseHandle(*event);
        *event = nullptr;
    }
    return false;
}

void CScanWorker::Stop() {
    if (m_thread == nullptr) return;
    Cancel();
    Wait();
    m_quitting.store(1);
    SetEvent(m_startEvent);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    for (HANDLE* event : {&m_startEvent, &m_idleEvent, &m_goEvent}) {
        CloseHandle(*event);
        *event = nullptr;
    }
    m_thread = nullptr;
    m_job = nullptr;
    m_quitting.store(0);
}

bool CScanWorker::Busy() const { return m_thread != nullptr && WaitForSingleObject(m_idleEvent, 0) != WAIT_OBJECT_0; }

bool CScanWorker::Submit(CScanJob* job) {
    if (m_thread == nullptr || job == nullptr || Busy()) return false;
    m_job = job;
    m_cancel.store(0);
    m_position.store(0);
    m_total.store(0);
    m_progressPosted.store(0);
    // Only the UI thread resets the event, and only after the worker has set it for the
    // previous job: the worker sets it once per job, so no late signal can follow.
    ResetEvent(m_idleEvent);
    SetEvent(m_startEvent);
    return true;
}

void CScanWorker::Wait() {
    if (m_thread != nullptr) WaitForSingleObject(m_idleEvent, INFINITE);
}

void CScanWorker::Cancel() {
    m_cancel.store(1);
    m_stepMode.store(0);
    Hold(false);
}

void CScanWorker::Hold(bool held) {
    if (m_goEvent == nullptr) return;
    if (held) {
        ResetEvent(m_goEvent);
    } else {
        SetEvent(m_goEvent);
    }
}

void CScanWorker::TakeProgress(uint64_t* position, uint64_t* total) {
    m_progressPosted.store(0);
    *position = m_position.load();
    *total = m_total.load();
}

void CScanWorker::OnProgress(uint64_t position, uint64_t total) {
    m_position.store(position);
    m_total.store(total);
    if (m_progressPosted.exchange(1) == 0) PostMessageW(m_frame, UM_SCAN_PROGRESS, 0, 0);
    if (m_stepMode.load() != 0 && m_cancel.load() == 0) {
        ResetEvent(m_goEvent);
        WaitForSingleObject(m_goEvent, INFINITE);
    }
}

DWORD WINAPI CScanWorker::ThreadProc(void* parameter) {
    static_cast<CScanWorker*>(parameter)->Loop();
    return 0;
}

void CScanWorker::Loop() {
    for (;;) {
        WaitForSingleObject(m_startEvent, INFINITE);
        if (m_quitting.load() != 0) return;
        CScanJob* job = m_job;
        WaitForSingleObject(m_goEvent, INFINITE);
        if (job != nullptr) job->Run(&m_cancel, this);
        UINT done = job != nullptr ? job->DoneMessage() : UM_SCAN_DONE;
        // Idle before the post: the frame may start the next job as soon as it hears of this one.
        SetEvent(m_idleEvent);
        if (m_idleHook != nullptr) m_idleHook(m_idleHookContext);
        PostMessageW(m_frame, done, 0, reinterpret_cast<LPARAM>(job));
    }
}

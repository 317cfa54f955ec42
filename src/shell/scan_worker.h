// CScanWorker: the one background thread beside the UI. It runs one CScanJob at a time
// (a load, a search, an extraction, the error-log copy, a large clipboard copy) and tells
// the frame by posted messages only, so the UI thread never serves a call from it and can
// wait for it without pumping messages.
// Threads: Submit, Cancel, Wait, Stop and Busy are for the UI thread; CScanJob::Run runs
// on the worker; OnProgress is called by the job on the worker.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "document/progress_listener.h"

// Posted to the frame by the worker: progress of the running job (read it with
// TakeProgress), and the end of a job (lParam: the job).
constexpr UINT UM_SCAN_PROGRESS = WM_USER + 9;
constexpr UINT UM_SCAN_DONE = WM_USER + 10;

// What the progress dialog says while a job runs.
enum class CScanKind { kLoad, kSearch, kExtract, kErrorLog, kCopy, kFollow };

class CScanJob {
public:
    virtual ~CScanJob() = default;
    // On the worker: the work itself. cancel becomes non-zero when the user cancels or the
    // program closes the log; the job stops within one block and says so by Cancelled().
    virtual void Run(const std::atomic<int>* cancel, CProgressListener* progress) = 0;
    virtual CScanKind Kind() const = 0;
    // The message that reports the job's end to the frame (UM_SCAN_DONE by default).
    virtual UINT DoneMessage() const { return UM_SCAN_DONE; }
};

class CScanWorker : public CProgressListener {
public:
    CScanWorker() = default;
    ~CScanWorker() override;
    CScanWorker(const CScanWorker&) = delete;
    CScanWorker& operator=(const CScanWorker&) = delete;

    // Starts the thread; the frame receives its messages. false when it cannot be started.
    bool Start(HWND frame);
    // Cancels a running job, waits for it and ends the thread.
    void Stop();
    bool Started() const { return m_thread != nullptr; }

    // Hands job to the worker (it stays the caller's); false when the worker is busy or
    // not started. The job's DoneMessage is posted with the job when it has ended.
    bool Submit(CScanJob* job);
    // Asks the running job to stop at its next block (a held job is let go).
    void Cancel();
    // Waits until no job runs (the worker only posts, so no message needs serving).
    void Wait();
    bool Busy() const { return m_state.load() == kRunning; }
    // The flag Cancel sets, for the progress dialog's Cancel button.
    std::atomic<int>* CancelFlag() { return &m_cancel; }

    // For tests: while held, a handed-over job waits before it starts (Cancel and Stop
    // release it).
    void Hold(bool held);

    // The latest progress of the running job; clears the pending mark so the next report is posted.
    void TakeProgress(uint64_t* position, uint64_t* total);

    // CProgressListener, on the worker: keeps the figures and posts one UM_SCAN_PROGRESS
    // at a time (the UI reads the latest when it gets there).
    void OnProgress(uint64_t position, uint64_t total) override;

private:
    enum State { kIdle, kRunning, kQuitting };
    static DWORD WINAPI ThreadProc(void* parameter);
    void Loop();

    HWND m_frame = nullptr;
    HANDLE m_thread = nullptr;
    HANDLE m_startEvent = nullptr;  // auto-reset: a job (or the quit) is ready
    HANDLE m_idleEvent = nullptr;   // manual-reset: set while no job runs
    HANDLE m_goEvent = nullptr;     // manual-reset: cleared while tests hold the jobs
    std::atomic<int> m_state{kIdle};
    std::atomic<int> m_cancel{0};
    CScanJob* m_job = nullptr;  // written by the UI only while idle
    std::atomic<uint64_t> m_position{0};
    std::atomic<uint64_t> m_total{0};
    std::atomic<int> m_progressPosted{0};
};

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

class CLogView;

// Posted to the frame by the worker: progress of the running job (read it with
// TakeProgress), and the end of a job (lParam: the job).
constexpr UINT UM_SCAN_PROGRESS = WM_USER + 9;
constexpr UINT UM_SCAN_DONE = WM_USER + 10;

// What the progress dialog says while a job runs (kPackedLoad: a load of a compressed log,
// which counts its compressed bytes).
enum class CScanKind {
    kLoad,
    kPackedLoad,
    kSearch,
    kExtract,
    kErrorLog,
    kCopy,
    kFollow,
    kSave,
    kTimeline,
    kNavigate,
    kMerge
};

class CScanJob {
public:
    virtual ~CScanJob() = default;
    // On the worker: the work itself. cancel becomes non-zero when the user cancels or the
    // program closes the log; the job stops within one block and says so by Cancelled().
    virtual void Run(const std::atomic<int>* cancel, CProgressListener* progress) = 0;
    virtual CScanKind Kind() const = 0;
    // The message that reports the job's end to the frame (UM_SCAN_DONE by default).
    virtual UINT DoneMessage() const { return UM_SCAN_DONE; }
    // A quiet job shows no progress and greys nothing: a command waits for it instead.
    virtual bool Quiet() const { return false; }
    // True when the job reads view's lines or hands its result to view.
    virtual bool Uses(const CLogView*) const { return false; }
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
    // A job runs until the worker signals idle: the event alone says so, so that "idle" and
    // what Wait waits for can never disagree.
    bool Busy() const;
    // The flag Cancel sets, for the progress dialog's Cancel button.
    std::atomic<int>* CancelFlag() { return &m_cancel; }

    // For tests: while held, a handed-over job waits before it starts (Cancel and Stop
    // release it). In step mode a job also waits at each progress report until Step.
    void Hold(bool held);
    void SetStepMode(bool on) { m_stepMode.store(on ? 1 : 0); }
    void Step() { Hold(false); }
    // For tests: called on the worker right after it has become idle, before it posts the
    // job's end (the moment the UI may already start the next job).
    void SetIdleHook(void (*hook)(void* context), void* context) {
        m_idleHook = hook;
        m_idleHookContext = context;
    }

    // The latest progress of the running job; clears the pending mark so the next report is posted.
    void TakeProgress(uint64_t* position, uint64_t* total);

    // CProgressListener, on the worker: keeps the figures and posts one UM_SCAN_PROGRESS
    // at a time (the UI reads the latest when it gets there).
    void OnProgress(uint64_t position, uint64_t total) override;

private:
    static DWORD WINAPI ThreadProc(void* parameter);
    void Loop();

    HWND m_frame = nullptr;
    HANDLE m_thread = nullptr;
    HANDLE m_startEvent = nullptr;  // auto-reset: a job (or the quit) is ready
    HANDLE m_idleEvent = nullptr;   // manual-reset: set while no job runs; reset only by Submit
    HANDLE m_goEvent = nullptr;     // manual-reset: cleared while tests hold the jobs
    std::atomic<int> m_quitting{0};
    std::atomic<int> m_cancel{0};
    CScanJob* m_job = nullptr;  // written by the UI only while idle
    std::atomic<uint64_t> m_position{0};
    std::atomic<uint64_t> m_total{0};
    std::atomic<int> m_progressPosted{0};
    std::atomic<int> m_stepMode{0};
    void (*m_idleHook)(void*) = nullptr;
    void* m_idleHookContext = nullptr;
};

// CJobRunner: the background runner as the application uses it. It owns the worker thread,
// the job handed to it (until its result has been applied), the progress dialog and its
// timer. The application applies results and greys commands through CJobHost.
// UI thread only; the worker reports by posted messages (see scan_worker.h).
#pragma once

#include <windows.h>

#include <memory>

#include "shell/progress_dialog.h"
#include "shell/scan_worker.h"

class CFile;
class CFileScanJob;

// Posted to the frame: a load was handed to the worker (its dialog may show), and a load
// ended (lParam: the job; the other jobs end with UM_SCAN_DONE).
constexpr UINT UM_LOAD_BEGIN = WM_USER + 5;
constexpr UINT UM_LOAD_END = WM_USER + 6;

// The frame's timer that shows the progress dialog once a scan has lasted.
constexpr UINT_PTR kProgressTimer = 0x5157;

class CJobHost {
public:
    virtual ~CJobHost() = default;
    // Applies a job's result on the UI thread (the runner deletes the job afterwards).
    virtual void ApplyJob(CScanJob* job) = 0;
    // Greys the commands that read the log while a job runs, and restores them after.
    virtual void EnableLogCommands(bool enabled) = 0;
};

class CJobRunner {
public:
    explicit CJobRunner(CJobHost* host) : m_host(host) {}
    CJobRunner(const CJobRunner&) = delete;
    CJobRunner& operator=(const CJobRunner&) = delete;

    // The worker, started with the frame and stopped (after its job) at the end.
    void Start(HWND frame);
    void Stop();

    // Runs job on the worker, or at once on this thread when quick is set or the worker
    // cannot take it; its result is applied when it has ended. A quiet job that still runs
    // is let end first, so that a scan never runs here for want of the worker.
    void Run(std::unique_ptr<CScanJob> job, bool quick);
    // A scan that reads the log: in the background through a handle of its own on log,
    // unless quick or no such handle can be had; then here, through log itself. A scan of
    // rows of several logs (job->logs) takes a handle of its own on each of them instead.
    void RunScan(std::unique_ptr<CFileScanJob> job, CFile* log, bool quick);
    // Hands a load to the worker (its dialog shows on UM_LOAD_BEGIN); false when the worker
    // cannot take it (the job is then deleted).
    bool SubmitLoad(std::unique_ptr<CScanJob> job);

    // The messages and the timer of the frame that concern the runner.
    void OnDone(CScanJob* job);
    void OnProgress();
    void OnProgressTimer();
    void OnLoadBegin();

    // Lets a running quiet job end and applies it (before a command acts on the log).
    void SettleQuiet();
    // Stops the running job at its next block, waits for it and applies it (a load keeps
    // the lines indexed so far; other jobs change nothing). Before anything that closes
    // the file, deletes views or ends the program.
    void CancelAndWait();

    // A job is running, or its result has not been applied yet.
    bool Busy() const { return m_current != nullptr; }
    CScanJob* Current() const { return m_current.get(); }
    CScanWorker& Worker() { return m_worker; }
    CProgressDialog& Progress() { return m_progress; }
    // How long a scan runs before the progress dialog shows (tests shorten it).
    void SetProgressDelay(UINT milliseconds) { m_progressDelay = milliseconds; }

private:
    void Apply(std::unique_ptr<CScanJob> job);
    void ShowProgress(CScanKind kind);

    CJobHost* m_host;
    HWND m_frame = nullptr;
    CScanWorker m_worker;
    std::unique_ptr<CScanJob> m_current;
    CProgressDialog m_progress;
    UINT m_progressDelay = 300;
};

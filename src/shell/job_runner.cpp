// CJobRunner: hands jobs to the worker with the progress dialog, and applies their results
// on the UI thread when they end (or at once, for a quick job).
#include "shell/job_runner.h"

#include <new>

#include "document/file.h"
#include "shell/scan_jobs.h"

namespace {

// A load (of one log or of a merged set) shows its dialog as it starts.
bool IsLoad(CScanKind kind) {
    return kind == CScanKind::kLoad || kind == CScanKind::kPackedLoad || kind == CScanKind::kMerge;
}

}  // namespace

void CJobRunner::Start(HWND frame) {
    m_frame = frame;
    m_progress.SetCancelFlag(m_worker.CancelFlag());
    m_worker.Start(frame);
}

void CJobRunner::Stop() {
    CancelAndWait();
    m_worker.Stop();
}

void CJobRunner::Run(std::unique_ptr<CScanJob> job, bool quick) {
    if (job == nullptr) return;
    if (!job->Quiet()) SettleQuiet();
    if (quick || m_current != nullptr || !m_worker.Submit(job.get())) {
        job->Run(nullptr, nullptr);
        Apply(std::move(job));
        return;
    }
    m_current = std::move(job);
    // A quiet job: a command waits for it instead (SettleQuiet).
    if (m_current->Quiet()) return;
    m_host->EnableLogCommands(false);
    // A load shows its dialog when it starts; a scan only when it lasts.
    if (!IsLoad(m_current->Kind())) SetTimer(m_frame, kProgressTimer, m_progressDelay, nullptr);
}

void CJobRunner::RunScan(std::unique_ptr<CFileScanJob> job, CFile* log, bool quick) {
    if (job == nullptr) return;
    if (job->logs != nullptr) {
        // Rows of several logs: a handle of its own on each, or here through the logs' files.
        bool own = !quick && m_worker.Started();
        job->readers.reset(new (std::nothrow) CLogReaders());
        if (job->readers == nullptr) return;
        if (own && !job->readers->Open(*job->logs, true)) own = false;
        if (!own && !job->readers->Open(*job->logs, false)) return;
        Run(std::move(job), !own);
        return;
    }
    if (!quick && m_worker.Started()) job->ownFile = OpenAnotherHandle(log);
    job->file = job->ownFile != nullptr ? job->ownFile.get() : log;
    bool here = job->ownFile == nullptr;
    Run(std::move(job), here);
}

bool CJobRunner::SubmitLoad(std::unique_ptr<CScanJob> job) {
    if (job == nullptr || m_current != nullptr || !m_worker.Submit(job.get())) return false;
    m_current = std::move(job);
    // The progress dialog, once the view and its activation are done.
    PostMessageW(m_frame, UM_LOAD_BEGIN, 0, 0);
    return true;
}

void CJobRunner::OnDone(CScanJob* job) {
    // Compared only: a job that CancelAndWait applied is gone already.
    if (m_current == nullptr || job != m_current.get() || m_worker.Busy()) return;
    KillTimer(m_frame, kProgressTimer);
    HWND dialog = m_progress.Window();
    if (dialog != nullptr) SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    Apply(std::move(m_current));
}

void CJobRunner::OnProgress() {
    uint64_t position = 0, total = 0;
    m_worker.TakeProgress(&position, &total);
    if (m_current != nullptr) m_progress.SetProgress(position, total);
}

void CJobRunner::OnProgressTimer() {
    KillTimer(m_frame, kProgressTimer);
    if (m_current != nullptr) ShowProgress(m_current->Kind());
}

void CJobRunner::OnLoadBegin() {
    // A load that a Close already applied needs no dialog.
    if (m_current != nullptr && IsLoad(m_current->Kind())) ShowProgress(m_current->Kind());
}

void CJobRunner::ShowProgress(CScanKind kind) {
    if (!m_worker.Busy() || m_progress.Window() != nullptr) return;
    m_progress.SetKind(kind);
    m_progress.Run(m_frame);
}

void CJobRunner::SettleQuiet() {
    if (m_current == nullptr || !m_current->Quiet()) return;
    m_worker.Wait();
    Apply(std::move(m_current));
}

void CJobRunner::CancelAndWait() {
    if (m_current != nullptr) {
        m_worker.Cancel();
        m_worker.Wait();
    }
    KillTimer(m_frame, kProgressTimer);
    m_progress.Close();
    if (m_current != nullptr) Apply(std::move(m_current));
}

void CJobRunner::Apply(std::unique_ptr<CScanJob> job) {
    m_host->ApplyJob(job.get());
    bool quiet = job->Quiet();
    job.reset();
    if (!quiet) m_host->EnableLogCommands(true);
}

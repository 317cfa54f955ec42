// CAppMain's loading pipeline and its background runner: opening a log, creating views,
// handing jobs to the runner with the progress dialog, and settling their results.
// The runner never touches a view: a job leaves its result in itself and the UI thread
// applies it, so views change only on the UI thread. Everything that closes the file or
// deletes views first cancels the running job and waits for it.
#include <cstring>
#include <new>
#include <utility>

#include "config/app_parameter.h"
#include "config/ui_text.h"
#include "document/encoding.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "shell/app_main.h"
#include "shell/command_ids.h"
#include "shell/scan_jobs.h"
#include "view/log_view.h"

void CAppMain::StartWorker() {
    m_progress.SetCancelFlag(m_worker.CancelFlag());
    m_worker.Start(m_frame);
}

void CAppMain::StopWorker() {
    CancelAndWaitForScan();
    m_worker.Stop();
}

void CAppMain::RunJob(CScanJob* job, bool quick) {
    if (job == nullptr) return;
    if (quick || m_currentJob != nullptr || !m_worker.Submit(job)) {
        job->Run(nullptr, nullptr);
        FinishJob(job);
        return;
    }
    m_currentJob = job;
    // Following runs quietly: a command waits for it instead (SettleFollowJob).
    if (job->Kind() == CScanKind::kFollow) return;
    EnableLogCommands(false);
    // A load shows its dialog when it starts; a scan only when it lasts.
    if (job->Kind() != CScanKind::kLoad) SetTimer(m_frame, kProgressTimer, m_progressDelay, nullptr);
}

void CAppMain::OnTimer(UINT_PTR id) {
    if (id == kFollowTimer) {
        FollowTick();
        return;
    }
    if (id != kProgressTimer) {
        CAppBase::OnTimer(id);
        return;
    }
    KillTimer(m_frame, kProgressTimer);
    if (m_currentJob == nullptr || !m_worker.Busy() || m_progress.Window() != nullptr) return;
    m_progress.SetKind(m_currentJob->Kind());
    m_progress.Run(m_frame);
}

void CAppMain::OnLoadBegin() {
    // A load that a Close already settled needs no dialog.
    if (m_currentJob == nullptr || m_currentJob->Kind() != CScanKind::kLoad || !m_worker.Busy()) return;
    if (m_progress.Window() != nullptr) return;
    m_progress.SetKind(CScanKind::kLoad);
    m_progress.Run(m_frame);
}

void CAppMain::OnScanProgress() {
    uint64_t position = 0, total = 0;
    m_worker.TakeProgress(&position, &total);
    if (m_currentJob != nullptr) OnLoadProgress(position, total);
}

void CAppMain::OnLoadProgress(uint64_t done, uint64_t total) { m_progress.SetProgress(done, total); }

void CAppMain::OnScanDone(CScanJob* job) {
    // Compared only: a job that CancelAndWaitForScan settled is gone already.
    if (m_currentJob == nullptr || job != m_currentJob || m_worker.Busy()) return;
    KillTimer(m_frame, kProgressTimer);
    HWND dialog = m_progress.Window();
    if (dialog != nullptr) SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    m_currentJob = nullptr;
    FinishJob(job);
}

void CAppMain::SettleFollowJob() {
    if (m_currentJob == nullptr || m_currentJob->Kind() != CScanKind::kFollow) return;
    m_worker.Wait();
    CScanJob* job = m_currentJob;
    m_currentJob = nullptr;
    FinishJob(job);
}

void CAppMain::CancelAndWaitForScan() {
    if (m_currentJob != nullptr) {
        m_worker.Cancel();
        m_worker.Wait();
    }
    KillTimer(m_frame, kProgressTimer);
    m_progress.Close();
    CScanJob* job = m_currentJob;
    m_currentJob = nullptr;
    if (job != nullptr) FinishJob(job);
}

void CAppMain::FinishJob(CScanJob* job) {
    switch (job->Kind()) {
        case CScanKind::kLoad: FinishLoad(static_cast<CLoadJob*>(job)); break;
        case CScanKind::kSearch: FinishSearch(static_cast<CSearchJob*>(job)); break;
        case CScanKind::kExtract: FinishExtract(static_cast<CExtractJob*>(job)); break;
        case CScanKind::kErrorLog: FinishErrorLog(static_cast<CErrorLogJob*>(job)); break;
        case CScanKind::kCopy: FinishCopy(static_cast<CCopyJob*>(job)); break;
        case CScanKind::kFollow: FinishFollow(static_cast<CFollowJob*>(job)); break;
    }
    bool quiet = job->Kind() == CScanKind::kFollow;
    delete job;
    if (!quiet) EnableLogCommands(true);
}

void CAppMain::EnableLogCommands(bool enabled) {
    CLogView* active = ActiveView();
    if (enabled) {
        if (active != nullptr) OnViewStateChanged(active);
        return;
    }
    for (int id : kLogCommands) EnableCommand(id, false);
}

void CAppMain::FinishLoad(CLoadJob* job) {
    CLogView* view = job->view;
    if (view == nullptr || !IsViewInList(view)) return;
    CAppParameter& config = AppConfig();
    view->SetLines(std::move(job->lines), &m_logFile);
    view->SetKeywordSet(&config.Keywords());
    view->Invalidate();
    if (view == m_views) ShowStampStatus(job->stampCount, view->Lines() != nullptr ? view->Lines()->Count() : 0);
    if (view == m_views && config.m_follow != 0) {
        StartFollowing();
        if (!m_followReason.empty()) ShowFollowStatus(m_followReason.c_str());
    }
    m_followReason.clear();
}

// The status bar's follow part tells, until following says more, how many rows have a
// stamp of their own and the form of the first.
void CAppMain::ShowStampStatus(const CStampCount& count, int32_t rows) {
    char16_t text[96];
    if (count.stamped == 0 || rows <= 0) {
        FormatString(text, 96, u"%s", UiText(TextId::kStampNone));
    } else {
        int64_t tenths = count.stamped * 1000 / rows;
        char16_t form[32] = {};
        const char* name = StampFormName(count.firstForm);
        for (int k = 0; name[k] != 0 && k < 31; ++k) form[k] = static_cast<char16_t>(name[k]);
        FormatString(text, 96, UiText(TextId::kStampShareFormat), static_cast<int>(tenths / 10),
                     static_cast<int>(tenths % 10), form);
    }
    SetStatusText(m_views, 2, W(text));
}

std::unique_ptr<CFile> CAppMain::OpenJobHandle() {
    return m_worker.Started() ? OpenAnotherHandle(&m_logFile) : nullptr;
}

void CAppMain::OpenLogFile(const wchar_t* path) {
    if (path == nullptr || path[0] == 0) return;
    if (m_logFile.IsOpen()) CloseEverything();
    if (!m_logFile.Open(U(path))) return;
    m_logFile.Name().SetPathWide(U(path));
    // Before the load, which decodes with the code page chosen here.
    m_detectedCodePage = DetectFileCodePage(&m_logFile);
    ApplyEncoding();
    EnableCommand(IDM_OPEN_LOG, false);
    CLogView* view = CreateLogView(&m_logFile, nullptr, W(m_logFile.Name().m_fileName.GetWideOrEmpty()));
    if (view == nullptr) {
        // Without a view nothing could close the file again.
        m_logFile.Close();
        ApplyEncoding();
        EnableCommand(IDM_OPEN_LOG, true);
        return;
    }
    auto* job = new (std::nothrow) CLoadJob();
    if (job != nullptr) {
        CAppParameter& config = AppConfig();
        job->file = &m_logFile;
        job->view = view;
        job->codePage = config.m_codePage;
        job->keywords.CopyFrom(config.Keywords());
        job->keywords.BuildFlagTable();
        config.GetStampRules(&job->stamps);
        if (m_currentJob == nullptr && m_worker.Submit(job)) {
            m_currentJob = job;
            // The progress dialog, once the view and its activation are done.
            PostMessageW(m_frame, UM_LOAD_BEGIN, 0, 0);
        } else {
            delete job;  // the view stays empty, as when the worker is busy
        }
    }
    ActivateChild(view->Window());
}

CLogView* CAppMain::CreateLogView(CLogFile* file, std::unique_ptr<CLogLineList> lines, const wchar_t* title) {
    std::unique_ptr<CLogView> view(new (std::nothrow) CLogView());
    if (view == nullptr) return nullptr;
    view->Attach(m_frame, m_mdiClient, this);
    CAppParameter& config = AppConfig();
    // Before the window exists: its creation measures the font.
    view->SetSettings(ViewSettingsOf(config));
    const wchar_t* className = W(config.m_mdiClientClassName.GetWideOrEmpty());
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_frame, GWLP_HINSTANCE));
    HWND window = CreateMDIWindowW(className, title != nullptr ? title : L"", WS_VSCROLL | WS_HSCROLL, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_mdiClient, instance,
                                   reinterpret_cast<LPARAM>(view.get()));
    if (window == nullptr) return nullptr;
    ShowWindow(window, SW_SHOW);
    view->SetKeywordSet(&config.Keywords());
    view->SetCondition(&m_searchConditions);
    if (lines != nullptr) view->SetLines(std::move(lines), file);
    return AppendView(std::move(view));
}

void CAppMain::JumpFirstViewToLine(int line) {
    if (m_views != nullptr) m_views->GoToLine(line);
}

void CAppMain::CopySelection() {
    EnableCommand(IDM_COPY, false);
    CLogView* view = ActiveView();
    if (view == nullptr) return;
    bool copyable = view->HasCopyableSelection();
    CRowRange range = view->SelectedRange();
    view->ClearSelection();
    view->Invalidate();
    auto* job = copyable ? new (std::nothrow) CCopyJob() : nullptr;
    if (job == nullptr) return;
    job->lines = view->Lines();
    job->codePage = AppConfig().m_codePage;
    job->firstRow = range.firstRow;
    job->firstColumn = range.firstColumn;
    job->lastRow = range.lastRow;
    job->lastColumn = range.lastColumn;
    bool quick = IsQuickScan(*view->Lines(), range.firstRow, range.lastRow);
    if (!quick) job->ownFile = OpenJobHandle();
    job->file = job->ownFile != nullptr ? job->ownFile.get() : view->File();
    RunJob(job, job->ownFile == nullptr);
}

void CAppMain::FinishCopy(CCopyJob* job) {
    const char16_t* text = job->text;
    size_t length = 0;
    while (text != nullptr && text[length] != 0) ++length;
    // Nothing to copy (or a cancelled copy) must not empty the clipboard.
    if (length == 0) return;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, (length + 1) * sizeof(char16_t));
    void* locked = memory != nullptr ? GlobalLock(memory) : nullptr;
    if (locked == nullptr) {
        if (memory != nullptr) GlobalFree(memory);
        return;
    }
    std::memcpy(locked, text, (length + 1) * sizeof(char16_t));
    GlobalUnlock(memory);
    bool given = false;
    if (OpenClipboard(m_frame)) {
        EmptyClipboard();
        given = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        CloseClipboard();
    }
    if (!given) GlobalFree(memory);
}

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
#include "res/resource.h"
#include "shell/scan_jobs.h"
#include "view/log_view.h"

void CAppMain::OnTimer(UINT_PTR id) {
    if (id == kFollowTimer) {
        m_follower.Tick();
    } else if (id == kProgressTimer) {
        m_runner.OnProgressTimer();
    } else {
        CAppBase::OnTimer(id);
    }
}

void CAppMain::OnLoadProgress(uint64_t done, uint64_t total) { m_runner.Progress().SetProgress(done, total); }

void CAppMain::ApplyJob(CScanJob* job) {
    switch (job->Kind()) {
        case CScanKind::kLoad: FinishLoad(static_cast<CLoadJob*>(job)); break;
        case CScanKind::kSearch: FinishSearch(static_cast<CSearchJob*>(job)); break;
        case CScanKind::kExtract: FinishExtract(static_cast<CExtractJob*>(job)); break;
        case CScanKind::kErrorLog: FinishErrorLog(static_cast<CErrorLogJob*>(job)); break;
        case CScanKind::kCopy: FinishCopy(static_cast<CCopyJob*>(job)); break;
        case CScanKind::kFollow: m_follower.Finish(static_cast<CFollowJob*>(job)); break;
    }
}

void CAppMain::FinishLoad(CLoadJob* job) {
    CLogView* view = job->view;
    if (view == nullptr || !m_viewList.Contains(view)) return;
    if (job->result.status == CLoadStatus::kTooLarge) {
        RefuseTooLargeLog(job->result);
        return;
    }
    CAppParameter& config = AppConfig();
    view->SetLines(std::move(job->lines), &m_logFile);
    view->SetKeywordSet(&config.Keywords());
    view->Invalidate();
    m_loadComplete = job->complete;
    if (view == m_viewList.First()) ShowStampStatus(job->stampCount, view->Lines() != nullptr ? view->Lines()->Count() : 0);
    if (view == m_viewList.First() && config.m_follow != 0) m_follower.Start(m_frame, m_loadComplete, config.Keywords());
    m_follower.ClearReason();
}

// The index would not fit in the memory the system can give: say so, and close the view and
// the file as if the log had not been opened.
void CAppMain::RefuseTooLargeLog(const CLoadResult& result) {
    char16_t text[512];
    FormatString(text, 512, UiText(TextId::kLoadTooLargeFormat), static_cast<long long>(result.lines),
                 static_cast<long long>(result.needed), static_cast<long long>(result.available));
    CloseEverything();
    MessageBoxW(m_frame, W(text), W(UiText(TextId::kLoadTooLargeCaption)), MB_OK | MB_ICONWARNING);
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
    m_follower.ShowStatus(text);
}

void CAppMain::OpenLogFile(const wchar_t* path) {
    if (path == nullptr || path[0] == 0) return;
    if (m_logFile.IsOpen()) CloseEverything();
    if (!m_logFile.Open(U(path))) return;
    m_logFile.Name().SetPathWide(U(path));
    m_loadComplete = false;
    // Before the load, which decodes with the code page chosen here.
    m_detectedCodePage = DetectFileCodePage(&m_logFile);
    ApplyEncoding();
    UpdateCommandState();
    CLogView* view = CreateLogView(&m_logFile, nullptr, W(m_logFile.Name().m_fileName.GetWideOrEmpty()));
    if (view == nullptr) {
        // Without a view nothing could close the file again.
        m_logFile.Close();
        ApplyEncoding();
        UpdateCommandState();
        return;
    }
    std::unique_ptr<CLoadJob> job(new (std::nothrow) CLoadJob());
    if (job != nullptr) {
        CAppParameter& config = AppConfig();
        job->file = &m_logFile;
        job->view = view;
        job->codePage = config.m_codePage;
        job->keywords.CopyFrom(config.Keywords());
        job->keywords.BuildFlagTable();
        config.GetStampRules(&job->stamps);
        // When the worker cannot take it the view stays empty.
        m_runner.SubmitLoad(std::move(job));
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
    CLogView* added = m_viewList.Add(std::move(view));
    UpdateCommandState();
    return added;
}

void CAppMain::JumpFirstViewToLine(int line) {
    if (!m_viewList.Empty()) m_viewList.First()->GoToLine(line);
}

void CAppMain::CopySelection() {
    EnableCommand(IDM_COPY, false);
    CLogView* view = m_viewList.Active();
    if (view == nullptr) return;
    bool copyable = view->HasCopyableSelection();
    CRowRange range = view->SelectedRange();
    view->ClearSelection();
    view->Invalidate();
    std::unique_ptr<CCopyJob> job(copyable ? new (std::nothrow) CCopyJob() : nullptr);
    if (job == nullptr) return;
    job->lines = view->Lines();
    job->view = view;
    job->codePage = AppConfig().m_codePage;
    job->firstRow = range.firstRow;
    job->firstColumn = range.firstColumn;
    job->lastRow = range.lastRow;
    job->lastColumn = range.lastColumn;
    bool quick = IsQuickScan(*view->Lines(), range.firstRow, range.lastRow);
    m_runner.RunScan(std::move(job), view->File(), quick);
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

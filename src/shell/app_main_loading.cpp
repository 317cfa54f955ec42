// CAppMain's loading pipeline: opening a log, creating views and the frame's timers. The
// runner never touches a view: a job leaves its result in itself and the UI thread applies
// it (job_results.cpp), so views change only on the UI thread. Everything that closes the file or deletes views first
// cancels the running job and waits for it.
#include <new>
#include <utility>

#include "config/app_parameter.h"
#include "config/ui_text.h"
#include "document/encoding.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "shell/app_main.h"
#include "res/resource.h"
#include "shell/packed_open.h"
#include "shell/recent_menu.h"
#include "shell/scan_jobs.h"
#include "shell/window_layout.h"
#include "view/log_view.h"
#include "winui/window_instance.h"

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

void CAppMain::OpenLogFile(const wchar_t* path, const WINDOWPLACEMENT* placement) {
    if (path == nullptr || path[0] == 0) return;
    // A recent log chosen closes the open one, or the merged set.
    if (LogOpen()) CloseEverything();
    if (!m_logFile.Open(U(path))) return;
    // A compressed log reads as the log it holds from here on, or is not opened at all.
    if (!UnpackForViewing(m_frame, &m_logFile)) {
        m_logFile.Close();
        return;
    }
    m_logFile.Name().SetPathWide(U(path));
    m_logStates.Opening(*this, m_logFile, path);
    NoteRecentLog(m_frame, path);
    m_follower.SetIndexComplete(false);
    // Before the load, which decodes with the code page chosen here.
    m_detectedCodePage = DetectFileCodePage(&m_logFile);
    ApplyEncoding();
    UpdateCommandState();
    CLogView* view = CreateLogView(&m_logFile, nullptr, W(m_logFile.Name().m_fileName.GetWideOrEmpty()), placement);
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
        job->states = &m_logStates;
        job->codePage = config.m_codePage;
        job->keywords.CopyFrom(config.Keywords());
        job->keywords.BuildFlagTable();
        config.GetStampRules(&job->stamps);
        // When the worker cannot take it the view stays empty.
        m_runner.SubmitLoad(std::move(job));
    }
    ActivateChild(view->Window());
}

CLogView* CAppMain::CreateLogView(CLogFile* file, std::unique_ptr<CLogLineList> lines, const wchar_t* title,
                                  const WINDOWPLACEMENT* placement) {
    std::unique_ptr<CLogView> view(new (std::nothrow) CLogView());
    if (view == nullptr) return nullptr;
    view->Attach(m_frame, m_mdiClient, this);
    CAppParameter& config = AppConfig();
    // Before the window exists: its creation measures the font.
    view->SetSettings(ViewSettingsOf(config));
    const wchar_t* className = W(config.m_mdiClientClassName.GetWideOrEmpty());
    auto instance = InstanceOf(m_frame);
    DWORD style = WS_VSCROLL | WS_HSCROLL | NewViewStyle(m_mdiClient);
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = CW_USEDEFAULT, height = CW_USEDEFAULT;
    if (placement != nullptr) {
        // Made where it is to stand: moved there afterwards, it would show elsewhere first.
        UINT shown = placement->showCmd;
        style = WS_VSCROLL | WS_HSCROLL | (shown == SW_SHOWMAXIMIZED ? WS_MAXIMIZE : 0) |
                (shown == SW_SHOWMINIMIZED ? WS_MINIMIZE : 0);
        const RECT& normal = placement->rcNormalPosition;
        x = normal.left;
        y = normal.top;
        width = normal.right - normal.left;
        height = normal.bottom - normal.top;
    }
    HWND window = CreateMDIWindowW(className, title != nullptr ? title : L"", style, x, y, width, height, m_mdiClient,
                                   instance, reinterpret_cast<LPARAM>(view.get()));
    if (window == nullptr) return nullptr;
    ShowWindow(window, SW_SHOW);
    // Painted now: until the UI thread is free again it would show what lay beneath.
    UpdateWindow(window);
    view->SetKeywordSet(&config.Keywords());
    view->SetCondition(&m_searchConditions);
    view->SetLabels(&m_labels);
    if (lines != nullptr) view->SetLines(std::move(lines), file);
    CLogView* added = m_viewList.Add(std::move(view));
    UpdateCommandState();
    return added;
}

void CAppMain::JumpFirstViewToLine(CLineNumber line) {
    // In the log's own view the row of a line is its line number.
    if (!m_viewList.Empty()) m_viewList.First()->GoToLine(line.Value());
}

void CAppMain::OpenMergedLogs(const std::vector<std::u16string>& paths, const char16_t* status) {
    if (LogOpen()) CloseEverything();
    std::unique_ptr<CMergedLogs> merged(new (std::nothrow) CMergedLogs());
    // A compressed log joins as the log it holds.
    auto unpack = [this](CFile* file) { return UnpackForViewing(m_frame, file); };
    if (merged == nullptr || merged->Open(paths, unpack) == 0) return;
    m_merged = std::move(merged);
    m_mergedStatus = status != nullptr ? status : u"";
    m_logStates.OpeningMerged(*this, *m_merged);
    m_follower.SetIndexComplete(false);
    ApplyEncoding();
    UpdateCommandState();
    std::u16string title = m_merged->Names(u" + ");
    CLogView* view = CreateLogView(nullptr, nullptr, W(title.c_str()));
    if (view == nullptr) {
        m_merged.reset();
        ApplyEncoding();
        UpdateCommandState();
        return;
    }
    std::unique_ptr<CMergeLoadJob> job(new (std::nothrow) CMergeLoadJob());
    if (job != nullptr) {
        CAppParameter& config = AppConfig();
        job->logs = m_merged.get();
        job->view = view;
        job->states = &m_logStates;
        job->keywords.CopyFrom(config.Keywords());
        job->keywords.BuildFlagTable();
        config.GetStampRules(&job->stamps);
        m_runner.SubmitLoad(std::move(job));
    }
    ActivateChild(view->Window());
}

const CLogLineList& CAppMain::ErrorRows() {
    if (m_merged != nullptr) return m_merged->ErrorRows() != nullptr ? *m_merged->ErrorRows() : m_noErrorRows;
    return m_logFile.ErrorLines();
}

CLogView* CAppMain::CreateMergedView(std::unique_ptr<CLogLineList> picks, const wchar_t* title, bool errorLog) {
    if (m_merged == nullptr) return nullptr;
    std::unique_ptr<CMergedPickRows> rows = m_merged->PickRows(std::move(picks), errorLog);
    if (rows == nullptr) return nullptr;
    CLogView* view = CreateLogView(nullptr, nullptr, title);
    if (view == nullptr) return nullptr;
    const CRowLogs* logs = rows.get();
    view->SetRows(std::move(rows), logs);
    return view;
}

void CAppMain::ShowMergedStatus() {
    if (m_merged == nullptr) return;
    std::u16string text = m_mergedStatus;
    if (text.empty()) {
        std::u16string names = m_merged->Names(u", ");
        char16_t summary[1024];
        FormatString(summary, 1024, UiText(TextId::kMergedStatusFormat), m_merged->Count(), names.c_str());
        text = summary;
    }
    // Rows of a compressed log that ended at a damage are not the whole set.
    for (int i = 0; i < m_merged->Count(); ++i) {
        if (m_merged->File(i).UnpackError() == CUnpackError::kNone) continue;
        text = std::u16string(UiText(TextId::kPackedIncompleteStatus)) + u" | " + text;
        break;
    }
    m_follower.ShowStatus(text.c_str());
}

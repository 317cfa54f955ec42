// CAppMain: the application object. Owns the view list, the one log file, the search
// condition, the progress dialog and the loading worker thread; handles every command.
// UI thread, except the worker's fields (thread id, busy flag) and OnLoadProgress.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "document/log_file.h"
#include "document/progress_listener.h"
#include "keywords/keyword_set.h"
#include "search/search_condition.h"
#include "shell/app_base.h"
#include "shell/event_listener.h"
#include "shell/progress_dialog.h"

class CLogView;

constexpr UINT UM_LOAD_REQUEST = WM_USER + 4;
constexpr UINT UM_LOAD_BEGIN = WM_USER + 5;
constexpr UINT UM_LOAD_END = WM_USER + 6;
constexpr UINT UM_OPEN_FILE = WM_USER + 8;

class CAppMain : public CAppBase, public CAppEventListener, public CProgressListener {
public:
    CAppMain();
    ~CAppMain() override;

    int Run(HINSTANCE instance, HINSTANCE previous, const wchar_t* commandLine, int showCommand) override;
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnNotify(int id, NMHDR* header) override;
    void OnCommand(int id, int code) override;
    int OnDropFiles(HDROP drop, wchar_t* buffer, int capacity) override;
    void OnChildClosed(HWND window) override;
    void CloseAllChildren() override;
    LRESULT MDIChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void ActivateChild(HWND window) override;
    int InitInstance(HINSTANCE instance) override;
    void ProcessCommandLine(const wchar_t* commandLine) override;
    int CanClose() override;

    // CAppEventListener
    void SetStatusText(CLogView* view, int part, const wchar_t* text) override;
    void OnViewStateChanged(CLogView* view) override;
    HWND GetFrameWindow() override { return m_frame; }
    void OnLoadProgress(uint64_t done, uint64_t total) override;
    void JumpFirstViewToLine(int line) override;
    // CProgressListener: the loader's per-block report (worker thread).
    void OnProgress(uint64_t position, uint64_t total) override { OnLoadProgress(position, total); }

    // Loading pipeline.
    void OpenLogFile(const wchar_t* path);
    // On failure (null) lines still belong to the caller.
    CLogView* CreateLogView(CLogFile* file, CLogLineList* lines, const wchar_t* title);
    static DWORD WINAPI LoadThreadProc(void* parameter);
    void StartWorker();
    void StopWorker();
    // Stops a running load (at its next block) and waits until the worker is idle.
    void CancelAndWaitForLoad();

    // Command 6004: the keyword list dialog; on OK the set is put in force, saved and every view repainted.
    void EditKeywords();
    // Command 5016: the settings property sheet; every view is repainted afterwards.
    void EditSettings();

    // Search, extraction, error log and markers (the commands on the active view).
    int32_t SearchNext(CLogView* view, int32_t start);
    int32_t SearchPrevious(CLogView* view, int32_t start);
    void ExtractLines(CLogView* source, CLogLineList* result);
    void Extract(int mode);
    void ShowErrorLog();
    void SetHighlightSearchState(CLogView* view, bool on);
    // Highlights and activates a view just made for an extraction or the error log; frees
    // lines when no view could be made.
    void ShowNewView(CLogView* created, CLogLineList* lines);
    // Makes a selection within one line the only search text (saved in the history);
    // 1 when the view had a selection to take, else 0. The condition is cleared either way.
    int UseSelectionAsCondition(CLogView* view);
    void RunSearchDialog(CLogView* view);
    void SearchAgain(CLogView* view, bool forward);
    void RunJumpDialog(CLogView* view);
    void RunMarkerListDialog(CLogView* view);
    void ToggleMarker(CLogView* view);
    void GoToMarker(CLogView* view, bool forward);

    // Command state.
    void ResetCommandState();
    void OnFirstViewAdded();
    // Closes every view and the log file, and resets the command state (commands 6002/5023).
    void CloseEverything();
    void DeleteAllViews();
    void RedrawAllViews();
    CLogView* ActiveView() const;
    CLogView* FirstView() const { return m_views; }
    void AppendView(CLogView* view);
    void CopySelection();

    CLogFile& LogFile() { return m_logFile; }
    CSearchCondition& SearchConditions() { return m_searchConditions; }
    CProgressDialog& ProgressDialog() { return m_progress; }
    bool WorkerBusy() const { return m_workerBusy.load() != 0; }
    DWORD WorkerThreadId() const { return m_workerThreadId.load(); }

private:
    void OnLoadBegin();
    void OnLoadEnd();
    // Worker side of a request: Load, then the hand-over and UM_LOAD_END.
    void RunLoad();
    bool LoadInFlight() const;
    // Waits (serving the worker's sent messages) until no request is pending or running.
    void WaitForWorkerIdle();
    // Gives a finished index to the view it was loaded for (or frees it); UI thread.
    void DeliverLoadResult();
    void OnOpenFileMessage(wchar_t* path);
    void OnCodePageChanged(int code);
    // The commands that act on the active view (search, extraction, markers, jumps);
    // true when id is one of them.
    bool OnViewCommand(int id);
    bool IsViewInList(const CLogView* view) const;

    CLogView* m_views = nullptr;
    CLogFile m_logFile;
    CSearchCondition m_searchConditions;
    std::atomic<HANDLE> m_workerThread{nullptr};
    std::atomic<DWORD> m_workerThreadId{0};
    std::atomic<int> m_workerBusy{0};
    // Set by Cancel or Close during a load; the loader checks it between blocks.
    std::atomic<int> m_cancelLoad{0};
    // The worker's hand-over: it leaves the finished index in m_loadedLines and then sets
    // m_loadFinished; the UI thread gives it to m_loadingView (UI only). m_loadsPending
    // counts requests posted and not yet finished, so a wait cannot miss a queued one.
    std::atomic<CLogLineList*> m_loadedLines{nullptr};
    std::atomic<int> m_loadFinished{0};
    std::atomic<int> m_loadsPending{0};
    CLogView* m_loadingView = nullptr;
    // What the worker decodes and scans with: copied when a load is asked for, so that the
    // settings and keyword dialogs never change what a running (or cancelled) load reads.
    unsigned m_loadCodePage = 0;
    CKeywordSet m_loadKeywords;
    CProgressDialog m_progress;
};

CAppMain* GetAppMain();

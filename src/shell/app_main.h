// CAppMain: the application object. Owns the view list, the one log file, the search
// condition, the progress dialog and the background runner; handles every command.
// UI thread only: the runner's jobs carry their own inputs and report by posted messages.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "document/log_file.h"
#include "loader/log_follow.h"
#include "document/progress_listener.h"
#include "keywords/keyword_set.h"
#include "search/search_condition.h"
#include "shell/app_base.h"
#include "view/event_listener.h"
#include "view/view_settings.h"
#include "shell/progress_dialog.h"
#include "shell/scan_worker.h"

class CAppParameter;
class CLogView;
class CLoadJob;
class CSearchJob;
class CExtractJob;
class CErrorLogJob;
class CCopyJob;
class CFollowJob;

constexpr UINT UM_LOAD_REQUEST = WM_USER + 4;
constexpr UINT UM_LOAD_BEGIN = WM_USER + 5;
constexpr UINT UM_LOAD_END = WM_USER + 6;
constexpr UINT UM_OPEN_FILE = WM_USER + 8;

// The frame's timers.
constexpr UINT_PTR kProgressTimer = 0x5157;
constexpr UINT_PTR kFollowTimer = 0x5158;

// What the views draw with, taken from the configuration.
CViewSettings ViewSettingsOf(CAppParameter& config);

class CAppMain : public CAppBase, public CAppEventListener {
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

    // Loading pipeline.
    void OpenLogFile(const wchar_t* path);
    // On failure (null) lines still belong to the caller.
    CLogView* CreateLogView(CLogFile* file, std::unique_ptr<CLogLineList> lines, const wchar_t* title);
    // The background runner: started with the frame, stopped (after its job) at the end.
    void StartWorker();
    void StopWorker();
    // Stops the running job at its next block, waits for it and settles it: a load keeps
    // the lines indexed so far, any other job changes nothing. Before anything that
    // closes the file, deletes views or ends the program.
    void CancelAndWaitForScan();
    // Follow mode (command "Follow"): the first view's log is polled and what is appended
    // is indexed in the background; a truncated or replaced log is read again.
    void ToggleFollow();
    void StartFollowing();
    void StopFollowing();
    bool Following() const { return m_following; }
    // One poll of the followed log (the follow timer; tests call it directly).
    void FollowTick();
    // How long a background job runs before the progress dialog shows (tests shorten it).
    void SetProgressDelay(UINT milliseconds) { m_progressDelay = milliseconds; }

    // Command 6004: the keyword list dialog; on OK the set is put in force, saved and every view repainted.
    void EditKeywords();
    // Command 5016: the settings property sheet; every view is repainted afterwards.
    void EditSettings();

    // Search, extraction, error log and markers (the commands on the active view).
    // Searches from start (-1: the caret row); a hit becomes the caret row, centred, with
    // highlighting on. Runs on this thread for a few rows, else in the background.
    void SearchNext(CLogView* view, int32_t start);
    void SearchPrevious(CLogView* view, int32_t start);
    void StartSearch(CLogView* view, int32_t start, bool forward);
    // 6016 (mode 0: the dialog) and 6023 (mode 1: the selection): a new view of the hits.
    void Extract(int mode);
    // The extraction of the current condition from a view's lines into a new view.
    void StartExtraction(CLogView* view);
    void ShowErrorLog();
    void SetHighlightSearchState(CLogView* view, bool on);
    // Highlights and activates a view just made for an extraction or the error log; frees
    // lines when no view could be made.
    void ShowNewView(CLogView* created);
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
    // Hands every view the settings of the configuration, and so repaints it: after any
    // change of what the views draw with (colours, font, code page, interval check).
    void ApplyViewSettings();
    CLogView* ActiveView() const;
    CLogView* FirstView() const { return m_views; }
    CLogView* AppendView(std::unique_ptr<CLogView> view);
    void CopySelection();

    CLogFile& LogFile() { return m_logFile; }
    CSearchCondition& SearchConditions() { return m_searchConditions; }
    CProgressDialog& ProgressDialog() { return m_progress; }
    // A job is running, or its result has not been applied yet.
    bool WorkerBusy() const { return m_currentJob != nullptr; }
    bool WorkerStarted() const { return m_worker.Started(); }
    CScanWorker& Worker() { return m_worker; }

private:
    void OnLoadBegin();
    // Runs job on the worker (and owns it until it ends), or at once on this thread when
    // quick is set or the worker is not there; then applies its result.
    void RunJob(CScanJob* job, bool quick);
    // The end of a job the worker posted; the current job is settled unless it already was.
    void OnScanDone(CScanJob* job);
    void OnScanProgress();
    void OnTimer(UINT_PTR id) override;
    // Applies a job's result on this thread and deletes the job.
    void FinishJob(CScanJob* job);
    void FinishLoad(CLoadJob* job);
    void ShowStampStatus(const CStampCount& count, int32_t rows);
    void FinishSearch(CSearchJob* job);
    void FinishExtract(CExtractJob* job);
    void FinishErrorLog(CErrorLogJob* job);
    void FinishCopy(CCopyJob* job);
    void FinishFollow(CFollowJob* job);
    void ReloadFollowedLog(const char16_t* reason);
    void ShowFollowStatus(const char16_t* text);
    // Lets a running follow job end and applies it (before a command acts on the log).
    void SettleFollowJob();
    // Tells the user once, after a search or extraction, of lines on which a regular
    // expression reached PCRE2's limits (they counted as not matching).
    void ReportLimitHits();
    // While a job runs in the background the commands on the log are greyed.
    void EnableLogCommands(bool enabled);
    // A second handle on the log for a job (the UI keeps reading through its own), or null.
    std::unique_ptr<CFile> OpenJobHandle();
    void OnOpenFileMessage(wchar_t* path);
    void OnCodePageChanged(int code);
    // Sets the code page of the open log (or of none) from the box's choice and shows it.
    void ApplyEncoding();
    // The commands that act on the active view (search, extraction, markers, jumps);
    // true when id is one of them.
    bool OnViewCommand(int id);
    bool IsViewInList(const CLogView* view) const;

    CLogView* m_views = nullptr;
    CLogFile m_logFile;
    CSearchCondition m_searchConditions;
    CScanWorker m_worker;
    // The job handed to the worker, until its result has been applied.
    CScanJob* m_currentJob = nullptr;
    UINT m_progressDelay = 300;
    // Following.
    bool m_following = false;
    CFollowState m_followState;
    CKeywordSet m_followKeywords;  // what appended lines are scanned with (jobs read it)
    int m_followPolls = 0;
    std::u16string m_followReason;  // why the log was read again, shown once it is loaded
    CLogView* m_errorLogView = nullptr;  // the error-log view, which follows the error lines
    // What Auto found at the start of the open log (see DetectCodePage).
    unsigned m_detectedCodePage = 0;
    // Lines on which the condition's expressions had reached PCRE2's limits when the
    // running search or extraction started.
    int64_t m_limitHitsAtStart = 0;
    CProgressDialog m_progress;
};

CAppMain* GetAppMain();

// CAppMain: the application object. Owns the view list, the one log file, the search
// condition, the progress dialog and the background runner; handles every command.
// UI thread only: the runner's jobs carry their own inputs and report by posted messages.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config/color_labels.h"
#include "document/log_file.h"
#include "loader/log_follow.h"
#include "document/progress_listener.h"
#include "keywords/keyword_set.h"
#include "search/search_condition.h"
#include "shell/app_base.h"
#include "view/event_listener.h"
#include "view/view_settings.h"
#include "shell/follower.h"
#include "shell/job_runner.h"
#include "shell/log_state_keeper.h"
#include "shell/merged_logs.h"
#include "shell/view_list.h"

class CAppParameter;
class CLogView;

constexpr UINT UM_OPEN_FILE = WM_USER + 8;
// Posted by ProcessCommandLine for "--merge" (its paths wait in the application).
constexpr UINT UM_OPEN_MERGED = WM_USER + 13;

// What the views draw with, taken from the configuration.
CViewSettings ViewSettingsOf(CAppParameter& config);

class CAppMain : public CAppBase, public CAppEventListener, public CJobHost, public CFollowHost {
public:
    CAppMain();
    ~CAppMain() override;

    int Run(HINSTANCE instance, HINSTANCE previous, const wchar_t* commandLine, int showCommand) override;
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCommand(int id, int code) override;
    int OnDropFiles(HDROP drop, wchar_t* buffer, int capacity) override;
    void OnChildClosed(HWND window) override;
    void CloseAllChildren() override;
    void OnChildrenDpiChanged(int dpi) override;
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
    void JumpFirstViewToLine(CLineNumber line) override;
    bool RecountTimeline(CLogView* view) override;

    // Loading pipeline. A placement (a view's, from GetWindowPlacement) makes the log's view
    // there; else it opens as new views do.
    void OpenLogFile(const wchar_t* path, const WINDOWPLACEMENT* placement = nullptr);
    // Opens logs as one view ordered by time (at most kMaxMergedLogs; those that cannot be
    // opened are left out): each is indexed, then they are merged, in the background. status:
    // what the status bar says once they are merged (null: the logs' names).
    void OpenMergedLogs(const std::vector<std::u16string>& paths, const char16_t* status = nullptr);
    // A log, or a merged set of them, is open.
    bool LogOpen() const { return m_logFile.IsOpen() || m_merged != nullptr; }
    // The merged set, or null while none is open.
    CMergedLogs* Merged() const { return m_merged.get(); }
    // A view of rows taken from the merged view (picks: entries numbered by merged row), as
    // CreateLogView makes one; null on failure.
    // errorLog: the picks are the error rows, which take those a follow step brings.
    CLogView* CreateMergedView(std::unique_ptr<CLogLineList> picks, const wchar_t* title, bool errorLog = false);
    // The status bar's summary of the merged set.
    void ShowMergedStatus();
    // The error rows of the open log (or merged set) as its own view numbers its rows.
    const CLogLineList& ErrorRows();
    // On failure (null) lines still belong to the caller.
    CLogView* CreateLogView(CLogFile* file, std::unique_ptr<CLogLineList> lines, const wchar_t* title,
                            const WINDOWPLACEMENT* placement = nullptr);
    // Follow mode (command "Follow"): the first view's log is polled and what is appended
    // is indexed in the background; a truncated or replaced log is read again.
    CFollower& Follower() { return m_follower; }
    // CFollowHost
    void ReloadFollowedLog() override;
    void DetectEncodingAgain() override;
    CMergedLogs* FollowedSet() override { return m_merged.get(); }

    // The scans on a view's rows (the commands around them are in search_commands.h).
    // Searches from start (-1: the caret row); a hit becomes the caret row, centred, with
    // highlighting on. Runs on this thread for a few rows, else in the background.
    void SearchNext(CLogView* view, int64_t start);
    void SearchPrevious(CLogView* view, int64_t start);
    void StartSearch(CLogView* view, int64_t start, CSearchDirection direction);
    // The extraction of the current condition from a view's lines into a new view, with the
    // configured rows before and after each hit (withContext) or none.
    void StartExtraction(CLogView* view, bool withContext = true);

    // Command state.
    // The menu and toolbar state, derived from the command table, the open log, the active
    // view and the runner.
    void UpdateCommandState();
    // Closes every view and the log file, and resets the command state (Close, All Close).
    void CloseEverything();
    // Hands every view the settings of the configuration, and so repaints it: after any
    // change of what the views draw with (colours, font, code page, interval check).
    void ApplyViewSettings();
    // Puts the Dark Theme choice (with the system's app mode) in force: the menu's check, the
    // frame's title bar and every view with its strip and timeline.
    void ApplyTheme();
    CViewList& Views() { return m_viewList; }
    // Sets the code page of the open log (or of none) from the encoding chosen in the
    // settings and shows it; the views decode their rows again.
    void ApplyEncoding();

    CLogFile& LogFile() { return m_logFile; }
    CSearchCondition& SearchConditions() { return m_searchConditions; }
    // The colour labels of the open log, which every view draws (kept with the log's state).
    CColorLabels& Labels() { return m_labels; }
    // The background runner and its progress dialog.
    CJobRunner& Runner() { return m_runner; }
    // What is kept of each log between runs (markers, place, follow, code page).
    CLogStateKeeper& LogStates() { return m_logStates; }

    // CJobHost: a job's result, applied on this thread.
    void ApplyJob(CScanJob* job) override;
    // While a job runs in the background the commands on the log are greyed.
    void EnableLogCommands(bool enabled) override;

private:
    void OnTimer(UINT_PTR id) override;

    CViewList m_viewList;
    CLogFile m_logFile;
    // The logs open as one view, instead of m_logFile; after the views in the destructor.
    std::unique_ptr<CMergedLogs> m_merged;
    std::u16string m_mergedStatus;                   // what the status bar says once they are merged
    std::vector<std::u16string> m_commandLineMerge;  // the paths after "--merge"
    CLogLineList m_noErrorRows;                      // a merged set's until it is merged
    CSearchCondition m_searchConditions;
    CColorLabels m_labels;
    CJobRunner m_runner{this};
    // Following.
    CFollower m_follower{this, this, &m_runner, &m_viewList, &m_logFile};
    // What is kept about a log between runs.
    CLogStateKeeper m_logStates;
    bool m_searchMenuEnabled = true;  // as the menu resource has it
    // What Auto found at the start of the open log (see DetectCodePage).
    unsigned m_detectedCodePage = 0;
};

CAppMain* GetAppMain();

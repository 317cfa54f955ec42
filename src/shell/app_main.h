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
#include "shell/follower.h"
#include "shell/job_runner.h"
#include "shell/log_state_keeper.h"
#include "shell/view_list.h"

class CAppParameter;
class CLogView;

constexpr UINT UM_OPEN_FILE = WM_USER + 8;

// What the views draw with, taken from the configuration.
CViewSettings ViewSettingsOf(CAppParameter& config);

// Where an extraction takes its condition from.
enum class CExtractFrom { kDialog, kSelection };

class CAppMain : public CAppBase, public CAppEventListener, public CJobHost, public CFollowHost {
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
    // Follow mode (command "Follow"): the first view's log is polled and what is appended
    // is indexed in the background; a truncated or replaced log is read again.
    void ToggleFollow();
    CFollower& Follower() { return m_follower; }
    // CFollowHost
    void ReloadFollowedLog() override;
    void DetectEncodingAgain() override;

    // Keyword Settings (IDM_SETTING_HIGHLIGHT): the keyword list dialog; on OK the set is put in force, saved and every
    // view repainted.
    void EditKeywords();
    // Settings (IDM_SETTING): the settings property sheet; every view is repainted afterwards.
    void EditSettings();

    // Search, extraction, error log and markers (the commands on the active view).
    // Searches from start (-1: the caret row); a hit becomes the caret row, centred, with
    // highlighting on. Runs on this thread for a few rows, else in the background.
    void SearchNext(CLogView* view, int32_t start);
    void SearchPrevious(CLogView* view, int32_t start);
    void StartSearch(CLogView* view, int32_t start, bool forward);
    // Extraction (the dialog) and Selection Extraction (the selection): a new view of the hits.
    void Extract(CExtractFrom from);
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
    // The menu and toolbar state, derived from the command table, the open log, the active
    // view and the runner.
    void UpdateCommandState();
    // Closes every view and the log file, and resets the command state (Close, All Close).
    void CloseEverything();
    void RedrawAllViews();
    // Hands every view the settings of the configuration, and so repaints it: after any
    // change of what the views draw with (colours, font, code page, interval check).
    void ApplyViewSettings();
    CViewList& Views() { return m_viewList; }
    void CopySelection();
    // The toolbar's code-page box changed (code: its notification).
    void OnCodePageChanged(int code);

    CLogFile& LogFile() { return m_logFile; }
    CSearchCondition& SearchConditions() { return m_searchConditions; }
    // The background runner and its progress dialog.
    CJobRunner& Runner() { return m_runner; }

    // CJobHost: a job's result, applied on this thread.
    void ApplyJob(CScanJob* job) override;
    // While a job runs in the background the commands on the log are greyed.
    void EnableLogCommands(bool enabled) override;

private:
    void OnTimer(UINT_PTR id) override;
    void OnOpenFileMessage(wchar_t* path);

    // Sets the code page of the open log (or of none) from the box's choice and shows it.
    void ApplyEncoding();

    CViewList m_viewList;
    CLogFile m_logFile;
    CSearchCondition m_searchConditions;
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

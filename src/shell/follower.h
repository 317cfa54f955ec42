// CFollower: follow mode. It polls the open log's size on a timer of the frame, hands what
// was appended to the runner as a follow job, and has the application read the log again
// when it was truncated or replaced. A merged set's logs are polled each in the same way,
// one job reads what each appended, and the new rows are merged in by time (a row older
// than the last ones goes to its place; the views keep theirs). UI thread only.
#pragma once

#include <windows.h>

#include "document/log_file.h"
#include "keywords/keyword_set.h"
#include "loader/log_follow.h"

#include <cstdint>
#include <string>
#include <vector>

class CAppEventListener;
class CFollowJob;
class CJobRunner;
class CLogView;
class CMergedFollowJob;
class CMergedLogs;
class CViewList;

// The frame's timer of the polls.
constexpr UINT_PTR kFollowTimer = 0x5158;

// What the follower asks of the application.
class CFollowHost {
public:
    virtual ~CFollowHost() = default;
    // Closes everything and opens the log again (the follower starts again once it is loaded).
    virtual void ReloadFollowedLog() = 0;
    // The log was empty when its encoding was chosen and has bytes now.
    virtual void DetectEncodingAgain() = 0;
    // The merged set whose logs are followed instead of the one log (null for none).
    virtual CMergedLogs* FollowedSet() = 0;
};

class CFollower {
public:
    CFollower(CFollowHost* host, CAppEventListener* listener, CJobRunner* runner, CViewList* views, CLogFile* log)
        : m_host(host), m_listener(listener), m_runner(runner), m_views(views), m_log(log) {}

    // Whether the first view's index covers the whole log (a load neither cancelled nor refused).
    void SetIndexComplete(bool complete) { m_indexComplete = complete; }
    // Follows the log of the first view from its index (a partial one is refused with a
    // status text), with keywords for the error lines appended. After a reload it says why.
    void Start(HWND frame, const CKeywordSet& keywords);
    // Forgets why the log was read again and where its view was (once it is loaded,
    // following or not).
    void ClearReason() {
        m_reason.clear();
        m_place = {};
    }
    // After a reload, puts the new view of the log where the old one was: on the last row
    // when the old caret was (so it goes on tailing), else on the same rows within the new
    // ones; a timeline the old one showed is counted again.
    void PutBack(CLogView* view);
    // The follow part of the status bar (null: empty).
    void ShowStatus(const char16_t* text);
    void Stop();
    bool Active() const { return m_active; }
    // One poll (the follow timer; tests call it directly).
    void Tick();
    // Applies a follow job that has ended.
    void Finish(CFollowJob* job);
    void FinishMerged(CMergedFollowJob* job);

private:
    bool CheckName();
    bool IsStillFollowed(CLogFile& file);
    // Whether a follow job's entries are to be taken; else the status says why, and a
    // cancelled follow stops.
    bool Succeeded(int status, const CLoadResult& result);
    // The same for the logs of a merged set.
    bool StartSet(CMergedLogs* set);
    bool CheckSetNames();
    void TickSet();
    void Reload(const char16_t* reason);
    void ShowLastChange();

    CFollowHost* m_host;
    CAppEventListener* m_listener;
    CJobRunner* m_runner;
    CViewList* m_views;
    CLogFile* m_log;
    std::u16string m_reason;  // why the log was read again, shown once it is loaded
    // Where the old view was, for the new one once the log is read again.
    struct CPlace {
        bool kept = false;
        bool tail = false;
        int64_t caretRow = 0;
        int64_t firstRow = 0;
        bool timeline = false;
    };
    CPlace m_place;
    HWND m_frame = nullptr;
    bool m_active = false;
    bool m_indexComplete = false;
    CFollowState m_state;
    CMergedLogs* m_set = nullptr;  // while following a merged set's logs
    std::vector<CFollowState> m_setStates;
    CKeywordSet m_keywords;  // what appended lines are scanned with (jobs read it)
    int m_polls = 0;
};

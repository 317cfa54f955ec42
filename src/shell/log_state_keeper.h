// CLogStateKeeper: brings back what was kept about a log when it opens again (markers,
// caret and first row, follow mode, a code page chosen by hand, colour labels) and keeps it when the log
// closes, in the state file beside the settings (config/log_state.h). UI thread only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "config/log_state.h"

class CAppBase;
class CColorLabels;
class CLogFile;
class CLogView;
class CMergedLogs;

class CLogStateKeeper {
public:
    // Before the log's load: finds what was kept for it (the same log only) and puts its
    // code page and follow mode in force. The first call reads the state file.
    void Opening(CAppBase& app, CLogFile& file, const wchar_t* path);
    // After the load of the log's own view: its markers and rows, and the labels; a line
    // asked for on the command line (from 1) wins over the kept caret.
    void Restore(CLogView* view, CColorLabels* labels);
    // Before the log closes: what its own view shows now and the labels, saved when it changed.
    void Keep(CLogView* first, CLogFile& file, const CColorLabels& labels);
    // The same for the logs of a merged set, each under its own path: their markers, which
    // the merged view shows on its rows and keeps for each log apart, and the minutes added
    // to their times (put in the set as it opens). The rest of what was kept for a log alone
    // (its place, follow mode, code page, labels) is left as it was.
    void OpeningMerged(CAppBase& app, CMergedLogs& logs);
    void RestoreMerged(CLogView* view, CMergedLogs& logs);
    void KeepMerged(CLogView* first, CMergedLogs& logs);
    // The user chose a code page in the box while the log was open.
    void EncodingChosen(int32_t choice);
    // The command line's "--line N" (0: none) and "--follow", for the next log opened:
    // they win over what was kept.
    void RequestStart(int line, bool follow) {
        m_requestedLine = line;
        m_requestedFollow = follow;
    }

private:
    void ReadStore(HWND owner);

    CLogStateStore m_store;
    bool m_storeRead = false;
    bool m_open = false;                  // a log is open and will be kept
    bool m_restoring = false;             // m_kept is to be restored once the log is loaded
    std::u16string m_path;                // the open log's absolute path
    CLogState m_kept;                     // what was kept for it
    std::vector<CLogState> m_keptMerged;  // for each log of a merged set (its path only when new)
    int32_t m_encoding = kNoEncodingChoice;
    int m_requestedLine = 0;
    bool m_requestedFollow = false;
};

// Save Rows As: the active view's rows written to a file the user names, as they are in the
// log or as shown (document/row_export.h). The file dialog, the confirmation before an
// existing file is replaced, and the save job that runs in the background with progress and
// Cancel; the file is written through a temporary file, so a cancelled or failed save
// leaves no file and the old one as it was. UI thread only (the job's Run aside).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "document/row_export.h"
#include "shell/scan_jobs.h"

class CAppMain;
class CLogView;

class CSaveRowsJob : public CFileScanJob {
public:
    void Run(const std::atomic<int>* cancel, CProgressListener* progress) override;
    CScanKind Kind() const override { return CScanKind::kSave; }
    void Apply(CAppMain& app) override;
    bool Uses(const CLogView* v) const override { return v == view; }

    const CLogLineList* lines = nullptr;
    const CRowSource* rows = nullptr;   // with logs: the rows saved instead of lines
    std::vector<std::string> logNames;  // with logs: each log's file name (UTF-8)
    CLogView* view = nullptr;           // whose rows they are
    CRowExport how;
    std::u16string path;
    int status = 0;  // 1, 0 (failed: nothing was replaced) or kScanCancelled
};

// The command: asks for the file and its format, confirms a replacement, saves.
void SaveRowsAs(CAppMain& app, CLogView* view);
// The save itself, once the path and format are settled (tests call it too).
void StartRowSave(CAppMain& app, CLogView* view, const wchar_t* path, CRowFormat format);

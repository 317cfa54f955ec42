// CMergedLogs: the logs open as one merged view (File > Open Logs Merged, Open with Rotated
// Files, "--merge"): their files, each log's code page as Auto found it and as the encoding
// box makes it, and once they are loaded and merged, the merged rows and their error rows,
// which the merged view and the views taken from it share. The application owns it while
// the set is open; the files outlive every view of it. UI thread only, except that the load
// job (CMergeLoadJob) reads the files while the UI leaves them alone.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/log_file.h"
#include "merge/merged_sources.h"

class CMergedLogs {
public:
    // Opens the files of paths in their order, at most kMaxMergedLogs; a file that cannot be
    // opened is left out, and so is one that unpack (when given) refuses: it makes a file just
    // opened read as the log it holds (a compressed one), 1 or 0. How many opened.
    int Open(const std::vector<std::u16string>& paths, const std::function<int(CFile*)>& unpack = nullptr);
    int Count() const { return m_count; }
    CLogFile& File(int log) { return *m_files[log]; }
    const std::u16string& Path(int log) const { return m_paths[log]; }
    // A log's file name, as the title and the status bar show it.
    const char16_t* Name(int log) { return m_files[log]->Name().m_fileName.GetWideOrEmpty(); }
    // The names joined by separator.
    std::u16string Names(const char16_t* separator);
    // The log whose file name is name (length units, ignoring the case of ASCII letters), or -1.
    int Find(const char16_t* name, int length);

    // Each log's code page as the box's choice makes it (Auto: what each log's start shows);
    // the merged rows, once there, decode with them.
    void ApplyEncoding(int32_t choice);
    unsigned CodePage(int log) const { return m_codePages[log]; }
    unsigned DetectedCodePage(int log) const { return m_detected[log]; }

    // The merge, once the load job has made it.
    void TakeMerge(std::shared_ptr<CMergedRows> rows, std::shared_ptr<const CLogLineList> errorRows);
    bool Merged() const { return m_rows != nullptr; }
    const std::shared_ptr<CMergedRows>& Rows() const { return m_rows; }
    const std::shared_ptr<const CLogLineList>& ErrorRows() const { return m_errorRows; }
    // The merged rows as a view shows them, or the rows taken from them (picks: entries
    // numbered by merged row); null when out of memory or not merged yet.
    std::unique_ptr<CMergedViewRows> ViewRows() const;
    std::unique_ptr<CMergedPickRows> PickRows(std::unique_ptr<CLogLineList> picks) const;

private:
    int m_count = 0;
    std::unique_ptr<CLogFile> m_files[kMaxMergedLogs];
    std::u16string m_paths[kMaxMergedLogs];
    unsigned m_detected[kMaxMergedLogs] = {};
    unsigned m_codePages[kMaxMergedLogs] = {};
    std::shared_ptr<CMergedRows> m_rows;
    std::shared_ptr<const CLogLineList> m_errorRows;
};

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
#include "merge/log_merge.h"
#include "merge/merge_change.h"
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

    // The merge, once the load job has made it: the merged rows, each log's index (which the
    // rows refer to) and the error rows.
    void TakeMerge(std::shared_ptr<CMergedRows> rows, const std::shared_ptr<CLogLineList>* indexes,
                   std::shared_ptr<CLogLineList> errorRows);
    bool Merged() const { return m_rows != nullptr; }
    const std::shared_ptr<CMergedRows>& Rows() const { return m_rows; }
    std::shared_ptr<const CLogLineList> ErrorRows() const { return m_errorRows; }
    const CLogLineList& Index(int log) const { return *m_indexes[log]; }
    // The merged rows as a view shows them, or the rows taken from them (picks: entries
    // numbered by merged row; errorLog: the error rows, which take the rows a follow step
    // brings); null when out of memory or not merged yet.
    std::unique_ptr<CMergedViewRows> ViewRows() const;
    std::unique_ptr<CMergedPickRows> PickRows(std::unique_ptr<CLogLineList> picks, bool errorLog = false) const;

    // What a follow step read of one log: its entries (and error lines) from its line from on.
    struct CFollowed {
        bool grown = false;
        int64_t from = 0;
        const CLogLineList* lines = nullptr;
        const CLogLineList* errors = nullptr;
    };
    // Takes each grown log's new entries into its index and error lines and merges them in by
    // time (ExtendMerge); the error rows follow. change: how the merged rows moved, for the
    // views. 1, or 0 when memory ran out (what could not be taken is read again next time).
    int TakeFollowed(const CFollowed* logs, CMergeChange* change);
    // A log empty when its encoding was chosen has bytes now: Auto looks at them.
    void DetectAgain(int log, int32_t choice);

    // The minutes added to a log's times (kept for it between runs).
    int32_t Offset(int log) const { return m_offsets[log]; }
    void SetOffset(int log, int32_t minutes) { m_offsets[log] = minutes; }
    // What a merge of the logs as they are takes (their indexes, files, code pages, the days
    // they were dated on), with offsets for their minutes.
    void MergeInputs(const int32_t* offsets, CMergeInput* inputs) const;
    // The logs merged again (with other offsets, now): the merged rows become those of now
    // where the views read them, and the error rows follow. change: how the rows moved. 1, or
    // 0 when memory ran out (the merge is then as it was).
    int TakeMergeAgain(CMergedRows* now, const int32_t* offsets, CMergeChange* change);

private:
    int m_count = 0;
    std::unique_ptr<CLogFile> m_files[kMaxMergedLogs];
    std::u16string m_paths[kMaxMergedLogs];
    unsigned m_detected[kMaxMergedLogs] = {};
    unsigned m_codePages[kMaxMergedLogs] = {};
    std::shared_ptr<CMergedRows> m_rows;
    std::shared_ptr<CLogLineList> m_indexes[kMaxMergedLogs];
    std::shared_ptr<CLogLineList> m_errorRows;
    int32_t m_offsets[kMaxMergedLogs] = {};
};

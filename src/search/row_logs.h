// CRowLogs: for rows that come from several logs (a merged view and what is taken from it),
// which log each row is from, and each log's file, code page and error rows; and
// CLogReaders, the files and code pages a scan reads those logs through.
#pragma once

#include <cstdint>
#include <memory>

#include "document/log_file.h"
#include "document/log_line.h"
#include "document/row_source.h"
#include "document/row_types.h"

// The most logs one set of rows may come from.
constexpr int kMaxRowLogs = 64;

class CRowScans;

class CRowLogs {
public:
    virtual ~CRowLogs() = default;

    virtual int LogCount() const = 0;
    // The log of a row whose entry (as the rows give it) the caller holds; -1 when unknown.
    virtual int LogOf(CRow row, const CLogLine& entry) const = 0;
    // The log a row comes from and its line number there; false outside the rows.
    virtual bool LogLineOf(CRow row, int* log, int64_t* line) const = 0;
    // A log's file (borrowed; UI thread only, as its line cache is).
    virtual CLogFile* LogFile(int log) const = 0;
    // The code page a log's bytes are decoded with. May change between scans (the
    // encoding box): a scan takes a copy in its CLogReaders.
    virtual unsigned LogCodePage(int log) const = 0;
    // The rows that hold an error line of their log, numbered as the rows number their lines
    // (in that order); null for none.
    virtual const CLogLineList* ErrorRows() const = 0;
    // The same rows as a scan that only reads their bytes may walk them more cheaply (their
    // entries' offsets and lengths as the rows', the rest anything); null: the rows themselves.
    virtual const CRowSource* BytesRows() const { return nullptr; }
    // Search and extraction of their own that give what the scans of search/row_scan.h give,
    // faster (a merged view runs each log's own scan); null: those scans walk the rows.
    virtual const CRowScans* Scans() const { return nullptr; }
};

// What a scan reads each log through: a file handle (of its own in the background) and
// the code page, indexed by log. Owns the handles it opened.
class CLogReaders {
public:
    // The logs' own files (for a scan on the UI thread), or, when ownHandles, a handle of
    // its own on each (OpenAnotherHandle); false when one could not be opened.
    bool Open(const CRowLogs& logs, bool ownHandles);
    int Count() const { return m_count; }
    CFile* File(int log) const { return log >= 0 && log < m_count ? m_files[log] : nullptr; }
    unsigned CodePage(int log) const { return log >= 0 && log < m_count ? m_codePages[log] : 0; }

private:
    int m_count = 0;
    CFile* m_files[kMaxRowLogs] = {};
    unsigned m_codePages[kMaxRowLogs] = {};
    std::unique_ptr<CFile> m_own[kMaxRowLogs];
};

// CRowSource: how a view reads its rows - for each row its entry (line number, time stamp,
// offset and length) and the file its bytes come from - whatever holds them: a list of
// entries today, a compact index or several files merged tomorrow. CLineListRows is the
// source over one CLogLineList of one file.
#pragma once

#include <cstdint>
#include <memory>

#include "document/log_file.h"
#include "document/log_line.h"
#include "document/row_types.h"

class CRowSource {
public:
    virtual ~CRowSource() = default;

    // How many rows there are.
    virtual int64_t Count() const = 0;
    // The entry of a row, made on demand where the source keeps a packed form; false for a
    // row outside [0, Count()).
    virtual bool Entry(CRow row, CLogLine* line) const = 0;
    // The entries of up to n rows from first on, into out: how many (0 when first is
    // outside). The cheap way to walk many rows of a packed source.
    virtual int64_t ReadRows(CRow first, int64_t n, CLogLine* out) const;
    // The file whose bytes the row's entry names; null outside the rows.
    virtual CLogFile* FileOf(CRow row) const = 0;
    // The log the rows belong to (of several, the first), also while there are no rows.
    virtual CLogFile* File() const = 0;
    // The list of entries behind the rows, for the scans that walk a list (search,
    // extraction, copy, follow); null for a source that keeps none.
    virtual CLogLineList* List() const { return nullptr; }
    // The log's index the rows come from, shared, for the lists that refer to its rows (an
    // extraction, the error log); null for a source without one.
    virtual std::shared_ptr<const CLogLineList> IndexList() const { return nullptr; }
};

// The day (since 1970-01-01) the rows' log was last written, which dates stamps of a time
// alone (see CStampClock); CStampClock::kNoDay when it cannot be known.
int64_t WrittenDay(const CRowSource& rows);

// Walks the rows of a source in order from a given row, reading them a batch at a time (a
// packed source decodes a batch in one pass; one row at a time would start each anew).
class CRowWalker {
public:
    CRowWalker(const CRowSource& rows, CRow first) : m_rows(rows), m_next(first) {}
    // The next row's entry; false after the last row.
    bool Next(CLogLine* line);

private:
    static constexpr int kBatch = 256;
    const CRowSource& m_rows;
    CRow m_next;
    int64_t m_at = 0;
    int64_t m_count = 0;
    CLogLine m_batch[kBatch];
};

// The rows of one list of entries, all from one file. Owns the list, not the file.
class CLineListRows : public CRowSource {
public:
    CLineListRows(std::unique_ptr<CLogLineList> lines, CLogFile* file) : m_lines(std::move(lines)), m_file(file) {}

    int64_t Count() const override { return m_lines != nullptr ? m_lines->Count() : 0; }
    bool Entry(CRow row, CLogLine* line) const override;
    int64_t ReadRows(CRow first, int64_t n, CLogLine* out) const override;
    CLogFile* FileOf(CRow row) const override;
    CLogFile* File() const override { return m_file; }
    CLogLineList* List() const override { return m_lines.get(); }
    // The list itself, or the index it refers to.
    std::shared_ptr<const CLogLineList> IndexList() const override;

private:
    std::shared_ptr<CLogLineList> m_lines;
    CLogFile* m_file;
};

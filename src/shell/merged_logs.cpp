// The merged set's files, code pages and merge.
#include "shell/merged_logs.h"

#include <new>

#include "document/encoding.h"
#include "merge/log_merge.h"
#include "merge/merged_picks.h"

int CMergedLogs::Open(const std::vector<std::u16string>& paths, const std::function<int(CFile*)>& unpack) {
    for (const std::u16string& path : paths) {
        if (m_count == kMaxMergedLogs) break;
        std::unique_ptr<CLogFile> file(new (std::nothrow) CLogFile());
        if (file == nullptr || !file->Open(path.c_str())) continue;
        if (unpack && !unpack(file.get())) continue;
        file->Name().SetPathWide(path.c_str());
        m_detected[m_count] = DetectFileCodePage(file.get());
        m_codePages[m_count] = m_detected[m_count];
        m_paths[m_count] = path;
        m_files[m_count++] = std::move(file);
    }
    return m_count;
}

std::u16string CMergedLogs::Names(const char16_t* separator) {
    std::u16string names;
    for (int i = 0; i < m_count; ++i) {
        if (i > 0) names += separator;
        names += Name(i);
    }
    return names;
}

int CMergedLogs::Find(const char16_t* name, int length) {
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
    for (int i = 0; i < m_count; ++i) {
        const char16_t* own = Name(i);
        int k = 0;
        while (k < length && own[k] != 0 && lower(own[k]) == lower(name[k])) ++k;
        if (k == length && own[k] == 0) return i;
    }
    return -1;
}

void CMergedLogs::ApplyEncoding(int32_t choice) {
    for (int i = 0; i < m_count; ++i) {
        m_codePages[i] = ChooseCodePage(choice, m_detected[i]);
        if (m_rows != nullptr) m_rows->SetCodePage(i, m_codePages[i]);
    }
}

void CMergedLogs::TakeMerge(std::shared_ptr<CMergedRows> rows, const std::shared_ptr<CLogLineList>* indexes,
                            std::shared_ptr<CLogLineList> errorRows) {
    m_rows = std::move(rows);
    for (int i = 0; i < m_count; ++i) m_indexes[i] = indexes[i];
    m_errorRows = std::move(errorRows);
}

int CMergedLogs::TakeFollowed(const CFollowed* logs, CMergeChange* change) {
    if (m_rows == nullptr || m_errorRows == nullptr) return 0;
    int64_t replaced[kMaxMergedLogs];
    const CLogLineList* errors[kMaxMergedLogs] = {};
    for (int i = 0; i < m_count; ++i) {
        errors[i] = &m_files[i]->ErrorLines();
        replaced[i] = m_rows->LogRows(i);
        if (!logs[i].grown) continue;
        // An index that took its entries and error lines that did not are both taken again next time.
        if (!ReplaceTail(m_indexes[i].get(), logs[i].from, *logs[i].lines) ||
            !ReplaceTail(&m_files[i]->ErrorLines(), logs[i].from, *logs[i].errors)) {
            return 0;
        }
        replaced[i] = logs[i].from;
    }
    if (!ExtendMerge(m_rows.get(), replaced, change)) return 0;
    // The error rows from the first row that moved are made again; those before it stay.
    m_errorRows->Truncate(FirstEntryFrom(*m_errorRows, change->First()));
    return AppendMergedErrorPicks(*m_rows, errors, change->First(), m_errorRows.get());
}

void CMergedLogs::MergeInputs(const int32_t* offsets, CMergeInput* inputs) const {
    for (int i = 0; i < m_count; ++i) {
        inputs[i].index = m_indexes[i];
        inputs[i].file = m_files[i].get();
        inputs[i].offsetMinutes = offsets[i];
        inputs[i].codePage = m_codePages[i];
        inputs[i].writtenDay = m_rows != nullptr ? m_rows->Log(i).writtenDay : CStampClock::kNoDay;
    }
}

int CMergedLogs::TakeMergeAgain(CMergedRows* now, const int32_t* offsets, CMergeChange* change) {
    if (m_rows == nullptr || m_errorRows == nullptr || now->LogCount() != m_count) return 0;
    const CLogLineList* errors[kMaxMergedLogs] = {};
    for (int i = 0; i < m_count; ++i) errors[i] = &m_files[i]->ErrorLines();
    CLogLineList errorRows;
    if (!DescribeChange(*m_rows, *now, change) || !MergedErrorPicks(*now, errors, &errorRows)) return 0;
    m_rows->Swap(*now);
    for (int i = 0; i < m_count; ++i) {
        m_offsets[i] = offsets[i];
        m_rows->SetCodePage(i, m_codePages[i]);
    }
    // Without room for the copy the error rows are none rather than rows of the old order.
    m_errorRows->Free();
    if (errorRows.Count() > 0) m_errorRows->Append(errorRows, 0, errorRows.Count());
    return 1;
}

void CMergedLogs::DetectAgain(int log, int32_t choice) {
    m_detected[log] = DetectFileCodePage(m_files[log].get());
    ApplyEncoding(choice);
}

std::unique_ptr<CMergedViewRows> CMergedLogs::ViewRows() const {
    if (m_rows == nullptr) return nullptr;
    return std::unique_ptr<CMergedViewRows>(new (std::nothrow) CMergedViewRows(m_rows, m_errorRows));
}

std::unique_ptr<CMergedPickRows> CMergedLogs::PickRows(std::unique_ptr<CLogLineList> picks, bool errorLog) const {
    if (m_rows == nullptr || picks == nullptr) return nullptr;
    return std::unique_ptr<CMergedPickRows>(new (std::nothrow)
                                                CMergedPickRows(std::move(picks), m_rows, m_errorRows, errorLog));
}

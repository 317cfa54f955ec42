// The merged set's files, code pages and merge.
#include "shell/merged_logs.h"

#include <new>

#include "document/encoding.h"

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

void CMergedLogs::TakeMerge(std::shared_ptr<CMergedRows> rows, std::shared_ptr<const CLogLineList> errorRows) {
    m_rows = std::move(rows);
    m_errorRows = std::move(errorRows);
}

std::unique_ptr<CMergedViewRows> CMergedLogs::ViewRows() const {
    if (m_rows == nullptr) return nullptr;
    return std::unique_ptr<CMergedViewRows>(new (std::nothrow) CMergedViewRows(m_rows, m_errorRows));
}

std::unique_ptr<CMergedPickRows> CMergedLogs::PickRows(std::unique_ptr<CLogLineList> picks) const {
    if (m_rows == nullptr || picks == nullptr) return nullptr;
    return std::unique_ptr<CMergedPickRows>(new (std::nothrow) CMergedPickRows(std::move(picks), m_rows, m_errorRows));
}

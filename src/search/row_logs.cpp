// The files and code pages a scan reads several logs through.
#include "search/row_logs.h"

bool CLogReaders::Open(const CRowLogs& logs, bool ownHandles) {
    int count = logs.LogCount();
    if (count < 0 || count > kMaxRowLogs) return false;
    m_count = count;
    for (int i = 0; i < count; ++i) {
        CLogFile* file = logs.LogFile(i);
        m_codePages[i] = logs.LogCodePage(i);
        m_own[i] = ownHandles && file != nullptr ? OpenAnotherHandle(file) : nullptr;
        m_files[i] = ownHandles ? m_own[i].get() : file;
        if (m_files[i] == nullptr) return false;
    }
    return true;
}

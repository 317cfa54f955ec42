// CLogLineList growth: at least 10,000 entries a step and geometric beyond that, so
// that indexing a multi-gigabyte log copies its index a bounded number of times.
#include "document/log_line.h"

#include <cstdlib>
#include <cstring>

namespace {
constexpr int32_t kGrowthStep = 10000;
constexpr int32_t kMaxEntries = 0x7fffffff;
}  // namespace

void CLogLineList::Free() {
    m_entries.Free();
    m_count = 0;
}

void CLogLineList::Truncate(int32_t count) {
    if (count <= 0) {
        Free();
    } else if (count < m_count) {
        m_count = count;
    }
}

int32_t g_lineListLimit = 0;

int CLogLineList::Reserve(int32_t n) {
    if (n <= Capacity()) return 1;
    if (g_lineListLimit > 0 && n > g_lineListLimit) return 0;
    if (!m_entries.Reserve(static_cast<size_t>(n))) return 0;
    // Slots that writers fill in place (CommitFilled) start as empty entries.
    std::memset(static_cast<void*>(m_entries.Data() + m_count), 0, static_cast<size_t>(n - m_count) * sizeof(CLogLine));
    return 1;
}

int CLogLineList::Append(int32_t lineNumber, const CTimeStamp& timeStamp, uint64_t offset, int32_t length) {
    if (!EnsureRoom(1)) return 0;
    CLogLine& line = m_entries.Data()[m_count++];
    line.timeStamp = timeStamp;
    line.lineNumber = lineNumber;
    line.offset = offset;
    line.length = length;
    return 1;
}

int CLogLineList::EnsureRoom(int32_t n) {
    if (n <= 0) return 1;
    if (n > kMaxEntries - m_count) return 0;
    if (m_count + n <= Capacity()) return 1;
    // Grow as single appends would, so that a run of small appends stays linear.
    int64_t step = Capacity() / 2 > kGrowthStep ? Capacity() / 2 : kGrowthStep;
    int64_t wanted = static_cast<int64_t>(Capacity()) + step;
    if (wanted < static_cast<int64_t>(m_count) + n) wanted = static_cast<int64_t>(m_count) + n;
    if (wanted > kMaxEntries) wanted = kMaxEntries;
    return Reserve(static_cast<int32_t>(wanted));
}

int CLogLineList::Append(const CLogLine* lines, int32_t n) {
    if (n <= 0) return 1;
    if (!EnsureRoom(n)) return 0;
    std::memcpy(static_cast<void*>(m_entries.Data() + m_count), lines, static_cast<size_t>(n) * sizeof(CLogLine));
    m_count += n;
    return 1;
}

int64_t CLogLineList::Read(int64_t first, int64_t n, CLogLine* out) const {
    if (first < 0 || first >= m_count || n <= 0) return 0;
    if (n > m_count - first) n = m_count - first;
    std::memcpy(static_cast<void*>(out), m_entries.Data() + first, static_cast<size_t>(n) * sizeof(CLogLine));
    return n;
}

int CLogLineList::CommitFilled(int32_t count) {
    if (count < m_count || count > Capacity()) return 0;
    m_count = count;
    return 1;
}

int ReplaceTail(CLogLineList* list, int32_t from, const CLogLineList& more) {
    int32_t keep = list->Count();
    while (keep > 0 && list->Entries()[keep - 1].lineNumber >= from) --keep;
    // Room first, so that a list that cannot take the new entries keeps its old ones.
    if (keep > 0 && !list->EnsureRoom(more.Count() - (list->Count() - keep))) return 0;
    list->Truncate(keep);
    return more.Count() == 0 || list->Append(more.Entries(), more.Count()) ? 1 : 0;
}

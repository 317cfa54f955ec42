// The shared access points: a list in output order (found by binary search) and one pool
// of deflated windows, both growing geometrically.
#include "document/access_points.h"

#include <cstring>
#include <new>

CAccessPoints::CAccessPoints(const CPackedStream& stream) : m_stream(stream), m_size(stream.declared) {
    CAccessPoint start;
    start.in = stream.begin;
    start.member = stream.format == CPackedFormat::kGzip ? 1 : 0;
    m_packedDone = stream.begin;
    if (m_points.Grow(16)) m_points.Data()[m_count++] = start;
}

CAccessPointRules g_accessPointRules;

CAccessPoints* CAccessPoints::Create(const CPackedStream& stream) {
    auto* points = new (std::nothrow) CAccessPoints(stream);
    if (points != nullptr && points->m_count == 0) {
        delete points;
        points = nullptr;
    }
    return points;
}

void CAccessPoints::Release() {
    if (m_holders.fetch_sub(1) == 1) delete this;
}

int CAccessPoints::Find(uint64_t offset, CAccessPoint* point, int64_t* index, CGrowBuffer<unsigned char>* window) {
    std::lock_guard<std::mutex> hold(m_lock);
    int64_t lo = 0;
    int64_t hi = m_count;
    while (hi - lo > 1) {
        int64_t mid = lo + (hi - lo) / 2;
        if (m_points.Data()[mid].out <= offset) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    if (m_count == 0) return 0;
    *point = m_points.Data()[lo];
    *index = lo;
    if (point->windowSize == 0) return 1;
    if (!window->Reserve(point->windowSize)) return 0;
    std::memcpy(window->Data(), m_windows.Data() + point->window, point->windowSize);
    return 1;
}

int CAccessPoints::NextOut(int64_t index, uint64_t* out) {
    std::lock_guard<std::mutex> hold(m_lock);
    if (index + 1 >= m_count) return 0;
    *out = m_points.Data()[index + 1].out;
    return 1;
}

uint64_t CAccessPoints::LastOut() {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_count > 0 ? m_points.Data()[m_count - 1].out : 0;
}

CFrontier CAccessPoints::Frontier() {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_frontier;
}

int CAccessPoints::Advance(const CFrontier& from, const CFrontier& to, uint64_t packedIn) {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_frontier.out != from.out || to.out < from.out) return 0;
    m_frontier = to;
    if (packedIn > m_packedDone) m_packedDone = packedIn;
    return 1;
}

int CAccessPoints::Add(const CAccessPoint& point, const unsigned char* window, uint32_t windowSize) {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_count > 0 && point.out <= m_points.Data()[m_count - 1].out) return 0;
    if (!m_points.Grow(static_cast<size_t>(m_count) + 1) || !m_windows.Grow(m_windowBytes + windowSize)) return 0;
    CAccessPoint& added = m_points.Data()[m_count++];
    added = point;
    added.window = m_windowBytes;
    added.windowSize = windowSize;
    if (windowSize > 0) std::memcpy(m_windows.Data() + m_windowBytes, window, windowSize);
    m_windowBytes += windowSize;
    return 1;
}

void CAccessPoints::End(uint64_t size, CUnpackError error) {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_ended && !(error != CUnpackError::kNone && size <= m_size)) return;
    if (m_ended && m_error != CUnpackError::kNone && size == m_size) return;
    m_ended = true;
    m_size = size;
    m_error = error;
    m_packedDone = m_stream.end;
}

uint64_t CAccessPoints::Size() {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_size;
}

bool CAccessPoints::SizeKnown() {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_ended;
}

CUnpackError CAccessPoints::Error() {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_error;
}

uint64_t CAccessPoints::PackedDone() {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_packedDone;
}

int64_t CAccessPoints::Count() {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_count;
}

uint64_t CAccessPoints::Bytes() {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_windowBytes + static_cast<uint64_t>(m_count) * sizeof(CAccessPoint);
}

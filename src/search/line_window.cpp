// The scan window: a hit when the whole line lies in the bytes read, else one new read.
#include "search/line_window.h"

#include <cstdlib>

CLineWindow::CLineWindow(CFile* file, uint32_t windowSize)
    : m_file(file), m_windowSize(windowSize < 1 ? 1 : windowSize) {}

CLineWindow::~CLineWindow() { std::free(m_window); }

const char* CLineWindow::Get(uint64_t offset, uint32_t length, bool backward, uint32_t* got) {
    *got = 0;
    if (length == 0) return nullptr;
    if (offset >= m_start && offset + length <= m_start + m_length) {
        *got = length;
        return m_window + (offset - m_start);
    }
    if (length > m_windowSize) {
        if (!m_long.Grow(length)) return nullptr;
        *got = m_file->Read(m_long.Data(), length, offset);
        return *got > 0 ? m_long.Data() : nullptr;
    }
    if (m_window == nullptr) {
        m_window = static_cast<char*>(std::malloc(m_windowSize));
        if (m_window == nullptr) return nullptr;
    }
    uint64_t start = offset;
    if (backward) {
        uint64_t end = offset + length;
        start = end > m_windowSize ? end - m_windowSize : 0;
    }
    uint64_t size = m_file->Size();
    uint64_t want = size > start ? size - start : 0;
    if (want > m_windowSize) want = m_windowSize;
    if (want < offset + length - start) want = offset + length - start;
    m_length = m_file->Read(m_window, static_cast<uint32_t>(want), start);
    m_start = start;
    if (offset + length <= m_start + m_length) {
        *got = length;
    } else if (offset < m_start + m_length) {
        *got = static_cast<uint32_t>(m_start + m_length - offset);
    }
    return *got > 0 ? m_window + (offset - m_start) : nullptr;
}

// The scan window: a hit when the whole line lies in the bytes read, else one new read;
// whether it holds an escape byte is looked for once per read, when asked.
#include "search/line_window.h"

#include <cstdlib>
#include <cstring>

CLineWindow::CLineWindow(CFile* file, uint32_t windowSize)
    : m_file(file), m_windowSize(windowSize < 1 ? 1 : windowSize) {}

CLineWindow::~CLineWindow() { std::free(m_window); }

const char* CLineWindow::Get(uint64_t offset, uint32_t length, bool backward, uint32_t* got) {
    *got = 0;
    if (length == 0) return nullptr;
    m_lastLong = false;
    if (offset >= m_start && offset + length <= m_start + m_length) {
        *got = length;
        return m_window + (offset - m_start);
    }
    if (length > m_windowSize) {
        if (!m_long.Grow(length)) return nullptr;
        *got = m_file->Read(m_long.Data(), length, offset);
        m_lastLong = true;
        m_longLength = *got;
        m_longEscape = -1;
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
    m_windowEscape = -1;
    if (offset + length <= m_start + m_length) {
        *got = length;
    } else if (offset < m_start + m_length) {
        *got = static_cast<uint32_t>(m_start + m_length - offset);
    }
    return *got > 0 ? m_window + (offset - m_start) : nullptr;
}

bool CLineWindow::NoEscapeByte() {
    int& state = m_lastLong ? m_longEscape : m_windowEscape;
    if (state < 0) {
        const char* bytes = m_lastLong ? m_long.Data() : m_window;
        uint32_t length = m_lastLong ? m_longLength : m_length;
        state = bytes != nullptr && std::memchr(bytes, 0x1B, length) != nullptr ? 1 : 0;
    }
    return state == 0;
}

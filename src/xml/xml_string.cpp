// CXmlString growth: length + piece + NUL, plus 256 bytes or half that size, whichever is
// more, whenever a piece does not fit.
#include "xml/xml_string.h"

#include <cstdlib>
#include <cstring>

#include "foundation/convert.h"

constexpr int64_t kHeadroom = 256;

CXmlString::~CXmlString() { std::free(m_data); }

void CXmlString::Append(const char16_t* piece, int count) {
    if (piece == nullptr || count == 0) return;
    if (count < 0) {
        count = 0;
        while (piece[count] != 0) ++count;
        if (count == 0) return;
    }
    // Converted straight into the buffer: a document is written a few units at a time.
    int n = WideToMultiByte(m_codePage, piece, count, nullptr, 0);
    if (n <= 0) return;
    int64_t needed = static_cast<int64_t>(m_length) + n + 1;
    if (needed >= m_capacity) {
        // At least the fixed headroom, and half the size for large documents: a fixed step
        // copied a 10 MB document once per 256 bytes.
        int64_t size = needed + (needed / 2 > kHeadroom ? needed / 2 : kHeadroom);
        if (size > 0x7fffffff) size = needed + kHeadroom;
        char* grown = size <= 0x7fffffff ? static_cast<char*>(std::malloc(static_cast<size_t>(size))) : nullptr;
        if (grown == nullptr) return;
        if (m_length > 0) std::memcpy(grown, m_data, static_cast<size_t>(m_length));
        std::free(m_data);
        m_data = grown;
        m_capacity = static_cast<int32_t>(size);
    }
    char* at = m_data + m_length;
    int written = WideToMultiByte(m_codePage, piece, count, at, n + 1);
    if (written < 0) written = 0;
    // The text ends at a NUL, as a C string does.
    const void* nul = std::memchr(at, 0, static_cast<size_t>(written));
    if (nul != nullptr) written = static_cast<int>(static_cast<const char*>(nul) - at);
    m_length += written;
    m_data[m_length] = '\0';
}

char* CXmlString::Detach() {
    char* data = m_data;
    m_data = nullptr;
    m_capacity = 0;
    m_length = 0;
    return data;
}

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
    char* bytes = WideToMultiByteAlloc(piece, count, m_codePage);
    if (bytes == nullptr) return;
    int64_t n = static_cast<int64_t>(std::strlen(bytes));
    if (n == 0) {
        std::free(bytes);
        return;
    }
    int64_t needed = static_cast<int64_t>(m_length) + n + 1;
    if (needed >= m_capacity) {
        // At least the fixed headroom, and half the size for large documents: a fixed step
        // copied a 10 MB document once per 256 bytes.
        int64_t size = needed + (needed / 2 > kHeadroom ? needed / 2 : kHeadroom);
        if (size > 0x7fffffff) size = needed + kHeadroom;
        char* grown = size <= 0x7fffffff ? static_cast<char*>(std::malloc(static_cast<size_t>(size))) : nullptr;
        if (grown == nullptr) {
            std::free(bytes);
            return;
        }
        if (m_length > 0) std::memcpy(grown, m_data, static_cast<size_t>(m_length));
        std::free(m_data);
        m_data = grown;
        m_capacity = static_cast<int32_t>(size);
    }
    std::memcpy(m_data + m_length, bytes, static_cast<size_t>(n));
    m_length += static_cast<int32_t>(n);
    m_data[m_length] = '\0';
    std::free(bytes);
}

char* CXmlString::Detach() {
    char* data = m_data;
    m_data = nullptr;
    m_capacity = 0;
    m_length = 0;
    return data;
}

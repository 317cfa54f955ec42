// CXmlString growth: length + piece + NUL, plus 256 bytes or half that size, whichever is
// more, whenever a piece does not fit; and the test for UTF-8 that may be copied as it is.
#include "xml/xml_string.h"

#include <cstdlib>
#include <cstring>

#include "foundation/convert.h"

constexpr int64_t kHeadroom = 256;

CXmlString::~CXmlString() { std::free(m_data); }

char* CXmlString::Room(int n) {
    int64_t needed = static_cast<int64_t>(m_length) + n + 1;
    if (needed >= m_capacity) {
        // At least the fixed headroom, and half the size for large documents: a fixed step
        // copied a 10 MB document once per 256 bytes.
        int64_t size = needed + (needed / 2 > kHeadroom ? needed / 2 : kHeadroom);
        if (size > 0x7fffffff) size = needed + kHeadroom;
        char* grown = size <= 0x7fffffff ? static_cast<char*>(std::malloc(static_cast<size_t>(size))) : nullptr;
        if (grown == nullptr) return nullptr;
        if (m_length > 0) std::memcpy(grown, m_data, static_cast<size_t>(m_length));
        std::free(m_data);
        m_data = grown;
        m_capacity = static_cast<int32_t>(size);
    }
    return m_data + m_length;
}

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
    char* at = Room(n);
    if (at == nullptr) return;
    int written = WideToMultiByte(m_codePage, piece, count, at, n + 1);
    if (written < 0) written = 0;
    // The text ends at a NUL, as a C string does.
    const void* nul = std::memchr(at, 0, static_cast<size_t>(written));
    if (nul != nullptr) written = static_cast<int>(static_cast<const char*>(nul) - at);
    m_length += written;
    m_data[m_length] = '\0';
}

void CXmlString::AppendBytes(const char* bytes, int count) {
    if (bytes == nullptr || count <= 0) return;
    char* at = Room(count);
    if (at == nullptr) return;
    std::memcpy(at, bytes, static_cast<size_t>(count));
    m_length += count;
    m_data[m_length] = '\0';
}

bool IsPlainUtf8(const char* bytes, int count) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    for (int i = 0; i < count;) {
        unsigned c = b[i];
        if (c >= 0x01 && c < 0x80) {
            ++i;
            continue;
        }
        int need = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : 0;
        if (need == 0 || need >= count - i) return false;
        unsigned lo = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80;  // no overlong forms
        unsigned hi = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF;  // no surrogates, nothing past U+10FFFF
        for (int k = 1; k <= need; ++k) {
            if (b[i + k] < lo || b[i + k] > hi) return false;
            lo = 0x80;
            hi = 0xBF;
        }
        i += need + 1;
    }
    return true;
}

char* CXmlString::Detach() {
    char* data = m_data;
    m_data = nullptr;
    m_capacity = 0;
    m_length = 0;
    return data;
}

int NarrowAscii(const char16_t* text, char* out, int capacity) {
    if (text == nullptr) return -1;
    for (int n = 0; n < capacity; ++n) {
        if (text[n] >= 0x80) return -1;
        out[n] = static_cast<char>(text[n]);
        if (text[n] == 0) return n;
    }
    return -1;
}

// CXmlString: the writer's output buffer, UTF-8 bytes that grow in place with at least 256
// bytes of headroom (geometrically for large documents). Always NUL-terminated once a piece
// has been stored; a piece that cannot be converted or stored is dropped. Detach hands the
// bytes to the caller (std::free).
#pragma once

#include <cstdint>

class CXmlString {
public:
    CXmlString() = default;
    virtual ~CXmlString();
    CXmlString(const CXmlString&) = delete;
    CXmlString& operator=(const CXmlString&) = delete;

    // Converts count UTF-16 units (-1: up to the terminator) to the output code page and appends them.
    void Append(const char16_t* piece, int count = -1);
    // Gives up the data (null when nothing was ever stored) and starts empty again.
    char* Detach();

    const char* Data() const { return m_data; }
    int32_t Length() const { return m_length; }

    char* m_data = nullptr;
    int32_t m_capacity = 0;
    int32_t m_length = 0;
    unsigned m_codePage = 65001;
};

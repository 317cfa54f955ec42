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
    // Appends count bytes as they are (the caller knows them to be in the output code page).
    void AppendBytes(const char* bytes, int count);
    // Gives up the data (null when nothing was ever stored) and starts empty again.
    char* Detach();

    const char* Data() const { return m_data; }
    int32_t Length() const { return m_length; }

    // Room for n more bytes and the NUL after them: where they go, or null.
    char* Room(int n);

    char* m_data = nullptr;
    int32_t m_capacity = 0;
    int32_t m_length = 0;
    unsigned m_codePage = 65001;
};

// Well-formed UTF-8 without a NUL: converting it to UTF-16 and back gives the same bytes, so
// it may be copied where the conversion would take place.
bool IsPlainUtf8(const char* bytes, int count);
// Copies a NUL-terminated text of ASCII units (no NUL among them) into out as bytes, which
// are then its UTF-8: the length, or -1 when it is not such a text or does not fit with its
// terminator (a text of no units gives 0).
int NarrowAscii(const char16_t* text, char* out, int capacity);

// CString: a growable byte string holding UTF-8 text, with a UTF-16 copy made on demand.
// Contract: data is NUL-terminated whenever it is not null; both "no data" and
// "length 0" read as the empty text. Not safe for concurrent use (GetWide mutates).
#pragma once

#include "foundation/object.h"

class CString : public CObject {
public:
    CString() = default;
    explicit CString(const char16_t* wide);
    ~CString() override;
    CString(const CString&) = delete;
    CString& operator=(const CString&) = delete;

    // Copies the other string's text; a source without data clears this one.
    const char* Assign(const CString& other);
    // Stores length bytes (-1: up to the NUL). Returns 1, or 0 when growing failed (unchanged).
    int AssignBytes(const char* bytes, int length);
    // Stores count UTF-16 units (-1: up to the terminator); null or 0 clears the string.
    void AssignWide(const char16_t* wide, int count);
    // A fresh UTF-16 copy, valid until the next GetWide or until the string is cleared; null when empty.
    const char16_t* GetWide();
    // Like GetWide, but never null: the empty text stands in.
    const char16_t* GetWideOrEmpty();
    // Adds n + 1 bytes to the capacity, keeping the text. Returns 1, or 0 (unchanged).
    int Grow(int n);
    // Removes leading and trailing space, tab, CR, LF and NUL bytes in place.
    void Trim();
    // A new string of count bytes from start (cut to what is left); null for a bad start or count.
    CString* Mid(int start, int count) const;
    // 1 when the text equals the converted wide string (see the class notes), else 0.
    int EqualsWide(const char16_t* wide) const;
    // Frees data and the wide copy.
    void Clear();

    const char* Data() const { return m_data; }
    int Length() const;
    int Capacity() const { return m_capacity; }
    bool IsEmpty() const { return m_data == nullptr || Length() == 0; }

private:
    char* m_data = nullptr;
    int m_capacity = 0;
    int m_length = 0;
    char16_t* m_wide = nullptr;
};

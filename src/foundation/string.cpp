// CString storage rules: growth by needed size + 1, in-place trimming, wide copies through UTF-8.
#include "foundation/string.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "foundation/convert.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\0'; }

int Utf16Length(const char16_t* wide) {
    int n = 0;
    while (wide[n] != 0) ++n;
    return n;
}

}  // namespace

CString::CString(const char16_t* wide) { AssignWide(wide, -1); }

CString::~CString() { Clear(); }

int CString::Length() const {
    if (m_data == nullptr) return 0;
    return m_length < 0 ? static_cast<int>(std::strlen(m_data)) : m_length;
}

void CString::Clear() {
    std::free(m_data);
    std::free(m_wide);
    m_data = nullptr;
    m_wide = nullptr;
    m_capacity = 0;
    m_length = 0;
}

int CString::Grow(int n) {
    if (n < 0) return 0;
    long long size = static_cast<long long>(m_capacity) + n + 1;
    if (size > 0x7fffffff) return 0;
    char* buffer = static_cast<char*>(std::calloc(static_cast<size_t>(size), 1));
    if (buffer == nullptr) return 0;
    if (m_data != nullptr) std::memcpy(buffer, m_data, static_cast<size_t>(Length()));
    std::free(m_data);
    m_data = buffer;
    m_capacity = static_cast<int>(size);
    return 1;
}

int CString::AssignBytes(const char* bytes, int length) {
    if (length < 0) length = bytes != nullptr ? static_cast<int>(std::strlen(bytes)) : 0;
    if (length == 0x7fffffff) return 0;
    if (m_data == nullptr || m_capacity < length + 1) {
        // Growing keeps the old text, which is then overwritten.
        if (!Grow(length + 1)) return 0;
    }
    if (length > 0) std::memmove(m_data, bytes, static_cast<size_t>(length));
    m_data[length] = '\0';
    m_length = length;
    return 1;
}

const char* CString::Assign(const CString& other) {
    if (&other == this) return m_data;
    if (other.m_data == nullptr) {
        Clear();
        return nullptr;
    }
    AssignBytes(other.m_data, other.Length());
    return m_data;
}

void CString::AssignWide(const char16_t* wide, int count) {
    if (wide == nullptr || count == 0 || (count < 0 && wide[0] == 0)) {
        Clear();
        return;
    }
    if (count < 0) count = Utf16Length(wide);
    // Converted straight into this string's buffer: texts are assigned by the thousand when a
    // settings or keyword file is read.
    int n = WideToMultiByte(kCodePageUtf8, wide, count, nullptr, 0);
    if (n < 0) n = 0;
    if (n == 0x7fffffff || ((m_data == nullptr || m_capacity < n + 1) && !Grow(n + 1))) {
        Clear();
        return;
    }
    int written = n > 0 ? WideToMultiByte(kCodePageUtf8, wide, count, m_data, m_capacity) : 0;
    m_data[written > 0 ? written : 0] = '\0';
    m_length = static_cast<int>(std::strlen(m_data));  // a NUL unit ends the text
}

const char16_t* CString::GetWide() {
    std::free(m_wide);
    m_wide = nullptr;
    int length = Length();
    if (m_data == nullptr || length == 0) return nullptr;
    m_wide = MultiByteToWideAlloc(m_data, length, kCodePageUtf8);
    return m_wide;
}

const char16_t* CString::GetWideOrEmpty() {
    const char16_t* wide = GetWide();
    return wide != nullptr ? wide : u"";
}

void CString::Trim() {
    if (m_data == nullptr) return;
    int length = Length();
    int i = 0;
    while (i < length && IsBlank(m_data[i])) ++i;
    int j = length - 1;
    while (j >= 0 && IsBlank(m_data[j])) --j;
    if (j < i) {
        m_data[0] = '\0';
        m_length = 0;
        return;
    }
    if (i > 0) std::memmove(m_data, m_data + i, static_cast<size_t>(j - i + 1));
    m_length = j - i + 1;
    m_data[m_length] = '\0';
}

CString* CString::Mid(int start, int count) const {
    int length = Length();
    if (m_data == nullptr || start < 0 || start >= length || count < 0) return nullptr;
    if (count > length - start) count = length - start;
    CString* result = new (std::nothrow) CString();
    if (result == nullptr) return nullptr;
    if (!result->AssignBytes(m_data + start, count)) {
        delete result;
        return nullptr;
    }
    return result;
}

int CString::EqualsWide(const char16_t* wide) const {
    CString other(wide);
    if (m_data == nullptr) return other.m_data == nullptr ? 1 : 0;
    if (other.m_data == nullptr) return 0;
    int length = Length();
    if (length != other.Length()) return 0;
    return std::memcmp(m_data, other.m_data, static_cast<size_t>(length)) == 0 ? 1 : 0;
}

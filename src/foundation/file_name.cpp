// CFileName::SetPath: one scan for the last separator and the last dot after it.
#include "foundation/file_name.h"

namespace {

void StoreTrimmed(CString& piece, const char* bytes, int count) {
    piece.AssignBytes(bytes, count);
    piece.Trim();
}

int SkipBlanks(const char* p, int from, int length) {
    int i = from;
    while (i < length && (p[i] == ' ' || p[i] == '\t')) ++i;
    return i < length ? i : -1;
}

}  // namespace

int CFileName::SetPath(const char* path) {
    if (path == nullptr) return 0;
    if (!m_path.AssignBytes(path, -1)) return 0;
    const char* p = m_path.Data();
    int length = m_path.Length();
    int s = 0;   // just after the last separator; 0 when none
    int e = -1;  // just after the last dot that follows it; -1 when none
    for (int i = 0; i < length; ++i) {
        if (p[i] == '\\' || p[i] == '/') {
            s = i + 1;
            e = -1;
        } else if (p[i] == '.') {
            e = i + 1;
        }
    }
    if (s > 1) {
        StoreTrimmed(m_folder, p, s - 1);
        if (s < length) StoreTrimmed(m_fileName, p + s, length - s);
    }
    if (e >= 0 && e - s > 1) {
        if (e < length) StoreTrimmed(m_extension, p + e, length - e);
        StoreTrimmed(m_baseName, p + s, e - s - 1);
    } else if (e >= 0) {
        StoreTrimmed(m_baseName, p, 0);
    } else if (s < length) {
        StoreTrimmed(m_baseName, p + s, length - s);
    }
    m_nameStart = SkipBlanks(p, s, length);
    m_extensionStart = e >= 0 ? SkipBlanks(p, e, length) : -1;
    return 1;
}

int CFileName::SetPathWide(const char16_t* path) {
    CString bytes(path);
    if (bytes.Data() == nullptr) return 0;
    return SetPath(bytes.Data());
}

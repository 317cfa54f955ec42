// CFileName: a path split textually into folder, file name, base name and extension.
// Separators are '\' and '/' alike; pieces are cut from the UTF-8 bytes and trimmed.
// A piece the path does not have keeps its previous value (a fresh object: empty).
#pragma once

#include "foundation/string.h"

class CFileName : public CObject {
public:
    // Splits a UTF-8 path; returns 1, or 0 for a null path (nothing changes).
    int SetPath(const char* path);
    // Converts and splits a UTF-16 path; 0 when it converts to nothing.
    int SetPathWide(const char16_t* path);

    CString m_path;
    int m_nameStart = -1;
    int m_extensionStart = -1;
    CString m_folder;
    CString m_fileName;
    CString m_baseName;
    CString m_extension;
};

// CFile on Windows: CreateFileW, ReadFile, WriteFile, SetFilePointerEx, GetFileSizeEx.
#include <windows.h>

#include "document/file.h"
#include "foundation/wide.h"

namespace {

HANDLE H(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

int CFile::Open(const char16_t* path) {
    if (m_handle != 0 || path == nullptr || path[0] == 0) return 0;
    m_path.AssignWide(path, -1);
    // A log that its program is still writing, or rotating, must open too.
    HANDLE h = CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_RANDOM_ACCESS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        m_handle = 0;
        return 0;
    }
    m_handle = reinterpret_cast<intptr_t>(h);
    m_readable = 1;
    m_writable = 0;
    LARGE_INTEGER size;
    if (GetFileSizeEx(h, &size)) m_size = static_cast<uint64_t>(size.QuadPart);
    return 1;
}

int CFile::Create(const char16_t* path) {
    if (m_handle != 0 || path == nullptr || path[0] == 0) return -1;
    m_path.AssignWide(path, -1);
    HANDLE h = CreateFileW(W(path), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_FLAG_RANDOM_ACCESS,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    m_handle = reinterpret_cast<intptr_t>(h);
    m_readable = 0;
    m_writable = 1;
    m_size = 0;
    return 0;
}

void CFile::Close() {
    if (m_handle != 0) CloseHandle(H(m_handle));
    m_handle = 0;
    m_size = 0;
}

int CFile::Seek(uint64_t offset) {
    if (m_handle == 0) return 0;
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(H(m_handle), distance, nullptr, FILE_BEGIN) ? 1 : 0;
}

uint32_t CFile::Read(void* buffer, uint32_t count, uint64_t offset) {
    if (m_handle == 0) return 0;
    if (offset != kCurrentOffset && !Seek(offset)) return 0;
    DWORD read = 0;
    if (!ReadFile(H(m_handle), buffer, count, &read, nullptr)) return 0;
    return read;
}

uint32_t CFile::Write(const void* buffer, uint32_t count, uint64_t offset) {
    if (m_handle == 0) return 0;
    if (offset != kCurrentOffset && !Seek(offset)) return 0;
    DWORD limit = count;
    if (g_fileFaults.writeBudget >= 0 && g_fileFaults.writeBudget < static_cast<int64_t>(count)) {
        limit = static_cast<DWORD>(g_fileFaults.writeBudget);
    }
    DWORD written = 0;
    if (limit > 0 && !WriteFile(H(m_handle), buffer, limit, &written, nullptr)) written = 0;
    if (g_fileFaults.writeBudget >= 0) g_fileFaults.writeBudget -= written;
    if (offset == kCurrentOffset) {
        m_size += written;
    } else {
        if (offset + written > m_size) m_size = offset + written;
        LARGE_INTEGER zero;
        zero.QuadPart = 0;
        SetFilePointerEx(H(m_handle), zero, nullptr, FILE_END);
    }
    return written;
}

int CFile::Flush() {
    if (m_handle == 0) return 0;
    FlushFileBuffers(H(m_handle));
    return 1;
}

int CFile::IsSameFile(const CFile& other) const {
    BY_HANDLE_FILE_INFORMATION a;
    BY_HANDLE_FILE_INFORMATION b;
    if (m_handle == 0 || other.m_handle == 0) return 0;
    if (!GetFileInformationByHandle(H(m_handle), &a) || !GetFileInformationByHandle(H(other.m_handle), &b)) return 0;
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
                   a.nFileIndexLow == b.nFileIndexLow
               ? 1
               : 0;
}

int CFile::FlushReported() {
    if (m_handle == 0 || g_fileFaults.failFlush) return 0;
    return FlushFileBuffers(H(m_handle)) ? 1 : 0;
}

int CFile::IsEnd() {
    if (m_handle == 0) return 1;
    LARGE_INTEGER zero, pos;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(H(m_handle), zero, &pos, FILE_CURRENT)) pos.QuadPart = 0;
    return static_cast<uint64_t>(pos.QuadPart) >= m_size ? 1 : 0;
}

int ReplaceFileAtomic(const char16_t* from, const char16_t* to) {
    if (g_fileFaults.failReplace) return 0;
    // A read-only file is not to be changed; not every file system refuses the move itself.
    DWORD attributes = GetFileAttributesW(W(to));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return 0;
    return MoveFileExW(W(from), W(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 1 : 0;
}

int DeleteFilePath(const char16_t* path) {
    return DeleteFileW(W(path)) ? 1 : 0;
}

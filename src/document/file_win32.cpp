// CFile on Windows: CreateFileW, ReadFile, WriteFile, SetFilePointerEx, GetFileSizeEx.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "document/file.h"
#include "foundation/wide.h"

namespace {

HANDLE H(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// A path as the wide file functions take it. Below MAX_PATH it goes as it is. A longer one
// (a settings file of 259 characters has a longer temporary file beside it) is made full,
// which resolves "." and ".." and turns "/" into "\", and given the "\\?\" prefix
// ("\\?\UNC\" for a share) that lifts the limit. When that fails the path goes as it is,
// and the call fails as it always did.
class CSystemPath {
public:
    explicit CSystemPath(const char16_t* path) : m_path(W(path)) {
        size_t n = 0;
        while (path[n] != 0) ++n;
        if (n < MAX_PATH) return;
        DWORD need = GetFullPathNameW(m_path, 0, nullptr, nullptr);
        if (need == 0) return;
        const size_t kRoom = 8;  // the longest prefix, "\\?\UNC\"
        m_buffer = static_cast<wchar_t*>(std::malloc((need + kRoom) * sizeof(wchar_t)));
        if (m_buffer == nullptr) return;
        wchar_t* full = m_buffer + kRoom;
        DWORD got = GetFullPathNameW(m_path, need, full, nullptr);
        if (got == 0 || got >= need) return;
        wchar_t* start = full;  // a device path ("\\?\", "\\.\") needs no prefix
        if (full[0] == L'\\' && full[1] == L'\\' && full[2] != L'?' && full[2] != L'.') {
            start = full + 2 - 8;  // "\\server\share" becomes "\\?\UNC\server\share"
            std::memcpy(start, L"\\\\?\\UNC\\", 8 * sizeof(wchar_t));
        } else if (full[0] != 0 && full[1] == L':') {
            start = full - 4;
            std::memcpy(start, L"\\\\?\\", 4 * sizeof(wchar_t));
        }
        m_path = start;
    }
    ~CSystemPath() { std::free(m_buffer); }
    CSystemPath(const CSystemPath&) = delete;
    CSystemPath& operator=(const CSystemPath&) = delete;
    const wchar_t* Get() const { return m_path; }

private:
    const wchar_t* m_path;
    wchar_t* m_buffer = nullptr;
};

}  // namespace

int CFile::Open(const char16_t* path) {
    if (IsOpen() || path == nullptr || path[0] == 0) return 0;
    m_path.AssignWide(path, -1);
    // A log that its program is still writing, or rotating, must open too.
    CSystemPath system(path);
    HANDLE h = CreateFileW(system.Get(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_RANDOM_ACCESS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        m_handle = 0;
        return 0;
    }
    Adopt(reinterpret_cast<intptr_t>(h), false);
    LARGE_INTEGER size;
    if (GetFileSizeEx(h, &size)) m_size = static_cast<uint64_t>(size.QuadPart);
    return 1;
}

int CFile::Create(const char16_t* path) {
    if (IsOpen() || path == nullptr || path[0] == 0) return -1;
    m_path.AssignWide(path, -1);
    CSystemPath system(path);
    HANDLE h = CreateFileW(system.Get(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_FLAG_RANDOM_ACCESS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    Adopt(reinterpret_cast<intptr_t>(h), true);
    return 0;
}

int CFile::CreateNew(const char16_t* path) {
    if (IsOpen() || path == nullptr || path[0] == 0) return -1;
    m_path.AssignWide(path, -1);
    // CREATE_NEW fails on any existing name; with FILE_FLAG_OPEN_REPARSE_POINT a link is
    // never followed, not even one whose target is missing.
    CSystemPath system(path);
    HANDLE h = CreateFileW(system.Get(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    Adopt(reinterpret_cast<intptr_t>(h), true);
    return 0;
}

void CFile::Close() {
    ForgetUnpacked();
    if (m_handle != 0) CloseHandle(H(m_handle));
    m_bytes = nullptr;
    m_handle = 0;
    m_size = 0;
}

int CFile::OpenSameRaw(const CFile& source) {
    if (source.m_bytes != nullptr) return OpenBytes(source.m_bytes, source.m_size);
    if (IsOpen() || source.m_handle == 0) return 0;
    // A duplicate shares source's file pointer, which is harmless: reads at an offset say
    // where they read (Read below), so neither handle depends on where the other left it.
    HANDLE h = nullptr;
    HANDLE process = GetCurrentProcess();
    if (!DuplicateHandle(process, H(source.m_handle), process, &h, 0, FALSE, DUPLICATE_SAME_ACCESS)) return 0;
    m_path.Assign(source.m_path);
    Adopt(reinterpret_cast<intptr_t>(h), false);
    RefreshSize();
    return 1;
}

int CFile::Seek(uint64_t offset) {
    if (m_handle == 0) return 0;
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(H(m_handle), distance, nullptr, FILE_BEGIN) ? 1 : 0;
}

uint32_t CFile::ReadPacked(void* buffer, uint32_t count, uint64_t offset) {
    if (m_bytes != nullptr) return ReadBytes(buffer, count, offset);
    if (m_handle == 0) return 0;
    DWORD read = 0;
    if (offset == kCurrentOffset) return ReadFile(H(m_handle), buffer, count, &read, nullptr) ? read : 0;
    // Positional: a handle duplicated by OpenSameFile shares its file pointer with another.
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    if (!ReadFile(H(m_handle), buffer, count, &read, &at)) return 0;
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
    if (m_bytes != nullptr || other.m_bytes != nullptr) return m_bytes == other.m_bytes ? 1 : 0;
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
    CSystemPath source(from), target(to);
    DWORD attributes = GetFileAttributesW(target.Get());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return 0;
    return MoveFileExW(source.Get(), target.Get(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 1 : 0;
}

int DeleteFilePath(const char16_t* path) {
    CSystemPath system(path);
    return DeleteFileW(system.Get()) ? 1 : 0;
}

int CFile::RefreshSize() {
    LARGE_INTEGER size;
    if (m_bytes != nullptr) return 1;  // bytes in memory do not grow
    if (m_handle == 0 || !GetFileSizeEx(H(m_handle), &size)) return 0;
    m_size = static_cast<uint64_t>(size.QuadPart);
    return 1;
}

int CFile::LastWriteDay(int64_t* day) const {
    FILETIME written;
    FILETIME local;
    if (m_handle == 0 || !GetFileTime(H(m_handle), nullptr, nullptr, &written)) return 0;
    if (!FileTimeToLocalFileTime(&written, &local)) return 0;
    // 100 ns ticks since 1601-01-01; that day is 134774 days before 1970-01-01.
    uint64_t ticks = static_cast<uint64_t>(local.dwHighDateTime) << 32 | local.dwLowDateTime;
    *day = static_cast<int64_t>(ticks / 864000000000ULL) - 134774;
    return 1;
}

int CFile::IsDeleted() const {
    FILE_STANDARD_INFO info = {};
    if (m_handle == 0 || !GetFileInformationByHandleEx(H(m_handle), FileStandardInfo, &info, sizeof info)) return 0;
    return info.DeletePending || info.NumberOfLinks == 0 ? 1 : 0;
}

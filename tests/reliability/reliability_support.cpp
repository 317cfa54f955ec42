// Sparse files and permission checks of the reliability tests, for Windows and POSIX.
#include "reliability_support.h"

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>

#include "foundation/wide.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "foundation/string.h"
#endif

namespace reliability {

#ifdef _WIN32

bool MakeSparseFile(const std::u16string& path, uint64_t size,
                    const std::vector<std::pair<uint64_t, std::string>>& pieces) {
    HANDLE h = CreateFileW(W(path.c_str()), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD got = 0;
    // Without the flag NTFS would write every zero of the holes.
    BOOL sparse = DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &got, nullptr);
    bool ok = true;
    for (const auto& piece : pieces) {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(piece.first);
        DWORD written = 0;
        ok = ok && SetFilePointerEx(h, at, nullptr, FILE_BEGIN) &&
             WriteFile(h, piece.second.data(), static_cast<DWORD>(piece.second.size()), &written, nullptr) &&
             written == piece.second.size();
    }
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    ok = ok && SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    CloseHandle(h);
    if (!ok || !sparse) {
        DeleteFileW(W(path.c_str()));
        return false;
    }
    return true;
}

bool PermissionsBind() { return false; }

#else

bool MakeSparseFile(const std::u16string& path, uint64_t size,
                    const std::vector<std::pair<uint64_t, std::string>>& pieces) {
    CString p(path.c_str());
    int fd = open(p.Data(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = true;
    for (const auto& piece : pieces) {
        ssize_t n = pwrite(fd, piece.second.data(), piece.second.size(), static_cast<off_t>(piece.first));
        ok = ok && n == static_cast<ssize_t>(piece.second.size());
    }
    ok = ok && ftruncate(fd, static_cast<off_t>(size)) == 0;
    struct stat st;
    ok = ok && fstat(fd, &st) == 0 && static_cast<uint64_t>(st.st_blocks) * 512 < (256u << 20);
    close(fd);
    if (!ok) unlink(p.Data());
    return ok;
}

bool PermissionsBind() { return geteuid() != 0; }

#endif

}  // namespace reliability

// CFile on POSIX: descriptors with open/read/write/lseek/fstat/fsync; paths are UTF-8.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

#include "document/file.h"

namespace {

int Fd(intptr_t handle) { return static_cast<int>(handle - 1); }

// Retries short transfers, so that one call moves the whole count when it can:
// transfer(done, left) moves up to left bytes after the first done and says how many.
template <typename Transfer>
uint32_t TransferAll(uint32_t count, Transfer transfer) {
    uint32_t done = 0;
    while (done < count) {
        ssize_t n = transfer(done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<uint32_t>(n);
    }
    return done;
}

uint32_t ReadAll(int fd, char* p, uint32_t count) {
    return TransferAll(count, [&](uint32_t done, uint32_t left) { return read(fd, p + done, left); });
}

// Positional: a descriptor duplicated by OpenSameFile shares its file offset with the
// original, so reads at an offset must not move it.
uint32_t ReadAllAt(int fd, char* p, uint32_t count, uint64_t offset) {
    return TransferAll(count, [&](uint32_t done, uint32_t left) {
        return pread(fd, p + done, left, static_cast<off_t>(offset + done));
    });
}

uint32_t WriteAll(int fd, const char* p, uint32_t count) {
    uint32_t limit = count;
    if (g_fileFaults.writeBudget >= 0 && g_fileFaults.writeBudget < static_cast<int64_t>(count)) {
        limit = static_cast<uint32_t>(g_fileFaults.writeBudget);
    }
    uint32_t done = TransferAll(limit, [&](uint32_t at, uint32_t left) { return write(fd, p + at, left); });
    if (g_fileFaults.writeBudget >= 0) g_fileFaults.writeBudget -= done;
    return done;
}

}  // namespace

int CFile::Open(const char16_t* path) {
    if (IsOpen() || path == nullptr || path[0] == 0) return 0;
    m_path.AssignWide(path, -1);
    if (m_path.Data() == nullptr) return 0;
    int fd = open(m_path.Data(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        m_handle = 0;
        return 0;
    }
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        close(fd);
        return 0;
    }
    Adopt(fd + 1, false);
    if (fstat(fd, &st) == 0) m_size = static_cast<uint64_t>(st.st_size);
    return 1;
}

int CFile::OpenSameRaw(const CFile& source) {
    if (source.m_bytes != nullptr) return OpenBytes(source.m_bytes, source.m_size);
    if (IsOpen() || source.m_handle == 0) return 0;
    int fd = fcntl(Fd(source.m_handle), F_DUPFD_CLOEXEC, 0);
    if (fd < 0) return 0;
    m_path.Assign(source.m_path);
    Adopt(fd + 1, false);
    RefreshSize();
    return 1;
}

int CFile::Create(const char16_t* path) {
    if (IsOpen() || path == nullptr || path[0] == 0) return -1;
    m_path.AssignWide(path, -1);
    if (m_path.Data() == nullptr) return -1;
    int fd = open(m_path.Data(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return -1;
    Adopt(fd + 1, true);
    return 0;
}

int CFile::CreateNew(const char16_t* path) {
    if (IsOpen() || path == nullptr || path[0] == 0) return -1;
    m_path.AssignWide(path, -1);
    if (m_path.Data() == nullptr) return -1;
    // O_EXCL fails on any existing name, a symbolic link included; O_NOFOLLOW says so twice.
    int fd = open(m_path.Data(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return -1;
    Adopt(fd + 1, true);
    return 0;
}

void CFile::Close() {
    ForgetUnpacked();
    if (m_handle != 0) close(Fd(m_handle));
    m_bytes = nullptr;
    m_handle = 0;
    m_size = 0;
}

int CFile::Seek(uint64_t offset) {
    if (m_handle == 0) return 0;
    if (offset > static_cast<uint64_t>(INT64_MAX)) return 0;
    return lseek(Fd(m_handle), static_cast<off_t>(offset), SEEK_SET) >= 0 ? 1 : 0;
}

uint32_t CFile::ReadPacked(void* buffer, uint32_t count, uint64_t offset) {
    if (m_bytes != nullptr) return ReadBytes(buffer, count, offset);
    if (m_handle == 0) return 0;
    if (offset == kCurrentOffset) return ReadAll(Fd(m_handle), static_cast<char*>(buffer), count);
    if (offset > static_cast<uint64_t>(INT64_MAX) - count) return 0;
    return ReadAllAt(Fd(m_handle), static_cast<char*>(buffer), count, offset);
}

uint32_t CFile::Write(const void* buffer, uint32_t count, uint64_t offset) {
    if (m_handle == 0) return 0;
    if (offset != kCurrentOffset && !Seek(offset)) return 0;
    uint32_t written = WriteAll(Fd(m_handle), static_cast<const char*>(buffer), count);
    if (offset == kCurrentOffset) {
        m_size += written;
    } else {
        if (offset + written > m_size) m_size = offset + written;
        lseek(Fd(m_handle), 0, SEEK_END);
    }
    return written;
}

int CFile::Flush() {
    if (m_handle == 0) return 0;
    fsync(Fd(m_handle));
    return 1;
}

int CFile::IsSameFile(const CFile& other) const {
    struct stat a;
    struct stat b;
    if (m_bytes != nullptr || other.m_bytes != nullptr) return m_bytes == other.m_bytes ? 1 : 0;
    if (m_handle == 0 || other.m_handle == 0) return 0;
    if (fstat(Fd(m_handle), &a) != 0 || fstat(Fd(other.m_handle), &b) != 0) return 0;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino ? 1 : 0;
}

int CFile::FlushReported() {
    if (m_handle == 0 || g_fileFaults.failFlush) return 0;
    return fsync(Fd(m_handle)) == 0 ? 1 : 0;
}

int CFile::IsEnd() {
    if (m_handle == 0) return 1;
    off_t pos = lseek(Fd(m_handle), 0, SEEK_CUR);
    if (pos < 0) pos = 0;
    return static_cast<uint64_t>(pos) >= m_size ? 1 : 0;
}

int ReplaceFileAtomic(const char16_t* from, const char16_t* to) {
    if (g_fileFaults.failReplace) return 0;
    CString a(from), b(to);
    if (a.Data() == nullptr || b.Data() == nullptr) return 0;
    // rename() would replace a file that its owner made read-only; such a file stays.
    if (access(b.Data(), W_OK) != 0 && errno != ENOENT) return 0;
    if (rename(a.Data(), b.Data()) != 0) return 0;
    // Make the rename itself durable: sync the folder that holds the file.
    CString folder;
    const char* slash = nullptr;
    for (const char* p = b.Data(); *p; ++p)
        if (*p == '/') slash = p;
    folder.AssignBytes(slash != nullptr ? b.Data() : ".", slash != nullptr ? static_cast<int>(slash - b.Data()) : 1);
    if (folder.Length() == 0) folder.AssignBytes("/", 1);
    int fd = open(folder.Data(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
    return 1;
}

int DeleteFilePath(const char16_t* path) {
    CString p(path);
    if (p.Data() == nullptr) return 0;
    return unlink(p.Data()) == 0 ? 1 : 0;
}

int CFile::RefreshSize() {
    struct stat st;
    if (m_bytes != nullptr) return 1;  // bytes in memory do not grow
    if (m_handle == 0 || fstat(Fd(m_handle), &st) != 0) return 0;
    m_size = static_cast<uint64_t>(st.st_size);
    return 1;
}

int CFile::LastWriteDay(int64_t* day) const {
    struct stat st;
    struct tm local;
    if (m_handle == 0 || fstat(Fd(m_handle), &st) != 0 || localtime_r(&st.st_mtime, &local) == nullptr) return 0;
    int64_t seconds = static_cast<int64_t>(st.st_mtime) + local.tm_gmtoff;
    *day = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    return 1;
}

int CFile::IsDeleted() const {
    struct stat st;
    return m_handle != 0 && fstat(Fd(m_handle), &st) == 0 && st.st_nlink == 0 ? 1 : 0;
}

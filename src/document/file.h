// CFile: the thin wrapper over an operating-system file that every read and write uses.
// Offsets are 64-bit absolute; kCurrentOffset means "at the current file pointer".
// Paths are UTF-16. Windows: CreateFileW and friends, with the "\\?\" form for paths of
// MAX_PATH or more; POSIX: open/pread/write/lseek. A file may also be bytes in memory
// (OpenBytes), which reads the same without the system. A compressed log, once Unpack found
// it so, reads as its uncompressed bytes (document/unpacked_stream.h).
// Open returns 1/0; Create returns 0 on success and -1 on failure.
#pragma once

#include <cstdint>
#include <memory>

#include "document/packed_format.h"
#include "foundation/string.h"

constexpr uint64_t kCurrentOffset = ~0ull;

class CUnpackedStream;

class CFile {
public:
    CFile() = default;
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens an existing file for reading, sharing read, write and delete. 1 or 0.
    int Open(const char16_t* path);
    // Opens the file that source has open for reading, through source's handle rather than
    // its path, so a renamed or deleted file opens too. The two may share a file pointer:
    // reads at an offset never use it. A compressed log reads uncompressed here too, through
    // the access points of source. 1 or 0.
    int OpenSameFile(const CFile& source);
    // Opens size bytes in memory as a file for reading, with no path: reads at an offset
    // copy from them (a read at kCurrentOffset reads nothing), and OpenSameFile gives another
    // handle on them. The bytes are borrowed: they must outlive this file and every handle
    // opened from it, unchanged. For the fuzzers, which read thousands of inputs a second. 1.
    int OpenBytes(const void* bytes, uint64_t size);
    // Creates (or truncates) a file for writing. 0 on success, -1 on failure.
    int Create(const char16_t* path);
    // Creates a new file for writing, shared with no one, and fails when anything already
    // has the name (a file, a folder, a link, even one that points nowhere): an existing
    // file is never opened or written through. 0 on success, -1 on failure.
    int CreateNew(const char16_t* path);

    virtual void Close();
    // Reads up to count bytes at offset (without using the file pointer), or at the file
    // pointer for kCurrentOffset; returns the bytes read, 0 on any failure. A compressed log
    // gives its uncompressed bytes (never at the file pointer), fewer where its data ends.
    virtual uint32_t Read(void* buffer, uint32_t count, uint64_t offset);
    // Reads the file's own bytes, compressed or not, as Read does for a plain file.
    uint32_t ReadPacked(void* buffer, uint32_t count, uint64_t offset);
    // Writes count bytes at offset; returns the bytes written, 0 on failure.
    virtual uint32_t Write(const void* buffer, uint32_t count, uint64_t offset);
    // Moves the file pointer; non-zero on success.
    virtual int Seek(uint64_t offset);
    // Asks the system to flush; 0 when closed, else 1 whatever the system reports.
    virtual int Flush();
    // 1 when closed or when the file pointer is at or beyond the size.
    virtual int IsEnd();

    // Flushes and reports the system's answer (1 or 0): for saves that must not lie.
    int FlushReported();
    // 1 when both are open on the same file (not merely the same path), else 0.
    int IsSameFile(const CFile& other) const;
    // 1 when the open file has been deleted (its name removed, or its deletion pending until
    // the last handle closes), else 0.
    int IsDeleted() const;

    // Asks the system for the open file's size now and keeps it as Size() (a log that its
    // program writes grows). 1, or 0 when the file is closed or the query fails.
    int RefreshSize();
    // 1 and *day, the local calendar day of the open file's last write (days since
    // 1970-01-01); 0 when it cannot be known (bytes in memory, a failed query).
    int LastWriteDay(int64_t* day) const;

    // Reads the open file, from now on, as the log it holds when it is compressed: a gzip
    // stream (its magic bytes, whatever the name; members one after another) or an entry of a
    // zip archive (entry: its index in CZipDirectory; -1: the first). Nothing changes for a
    // plain file. 1; or 0 with UnpackError() saying why it cannot be read (the file stays as
    // it was). Damage further on is found as the log is read: it then ends there.
    int Unpack(int entry = -1);
    CPackedFormat PackedFormat() const;
    bool IsPacked() const { return m_unpacked != nullptr; }
    // The compressed bytes: the file's size, or a zip entry's compressed size.
    uint64_t PackedSize() const;
    // The file's own size, compressed or not (what ReadPacked reads).
    uint64_t OwnSize() const { return m_size; }
    // Whether Size() is the log's size: a gzip log's is known once it was read to its end.
    bool SizeKnown() const;
    // Why the log could not be unpacked, or the damage where its data ended; kNone else.
    CUnpackError UnpackError() const;
    // How far the first reading of a compressed log went, in compressed bytes from the
    // file's start (the file's size for a plain one).
    uint64_t PackedDone() const;
    // The memory the access points of a compressed log take (0 for a plain one).
    uint64_t AccessPointBytes() const;
    // For tests and diagnostics: how many access points a compressed log has so far, and the
    // uncompressed offset of point index (0 outside them).
    int64_t AccessPointCount() const;
    uint64_t AccessPointOffset(int64_t index) const;
    // A compressed log never grows as a log does: following it makes no sense.
    bool CanFollow() const { return !IsPacked(); }

    bool IsOpen() const { return m_handle != 0 || m_bytes != nullptr; }
    // The bytes the file reads as: a compressed log's uncompressed size once known, and
    // kUnknownUnpackedSize (a gzip log) or the declared size (a zip entry) before.
    uint64_t Size() const { return m_unpacked != nullptr ? UnpackedSize() : m_size; }
    CString& Path() { return m_path; }
    int IsReadable() const { return m_readable; }
    int IsWritable() const { return m_writable; }

protected:
    // Takes a handle the seam just opened, for reading or for writing, at size 0.
    void Adopt(intptr_t handle, bool writing) {
        m_handle = handle;
        m_readable = writing ? 0 : 1;
        m_writable = writing ? 1 : 0;
        m_size = 0;
    }

    // What a file in memory does where the seam would ask the system.
    uint32_t ReadBytes(void* buffer, uint32_t count, uint64_t offset) const;
    // The seam's own opening of source's file; OpenSameFile adds the unpacking.
    int OpenSameRaw(const CFile& source);
    // Reading as a plain file again (Close).
    void ForgetUnpacked();
    uint64_t UnpackedSize() const;

    intptr_t m_handle = 0;                   // Windows HANDLE, or POSIX descriptor + 1; 0 when closed
    const unsigned char* m_bytes = nullptr;  // a file in memory (OpenBytes); m_handle is then 0
    CString m_path;
    int m_readable = 1;
    int m_writable = 0;
    uint64_t m_size = 0;
    CUnpackedStream* m_unpacked = nullptr;  // owned: the reader of a compressed log
    CUnpackError m_unpackError = CUnpackError::kNone;
};

// Whole-file helpers on top of CFile and the folder operations the saves need.
// ReadWholeFile returns a NUL-terminated buffer (free with std::free) and its size, or null.
char* ReadWholeFile(const char16_t* path, uint32_t* size);
// Moves from over to, replacing it atomically and durably. 1 or 0.
int ReplaceFileAtomic(const char16_t* from, const char16_t* to);
// Deletes a file; 1 or 0.
int DeleteFilePath(const char16_t* path);
// A second read handle on the file that file has open, for a helper thread (a CFile reads
// through one file pointer, so two threads cannot share one). Opened from file's own handle,
// so a rotated (renamed) or deleted log still opens; refused (null) when the file has become
// shorter than file->Size() or the handle cannot be had. The caller deletes it.
std::unique_ptr<CFile> OpenAnotherHandle(CFile* file);

// Test hooks: make file operations fail on purpose, to prove that callers lose nothing.
struct CFileFaults {
    int64_t writeBudget = -1;  // bytes the next writes may still write; -1 unlimited
    bool failFlush = false;
    bool failReplace = false;
};
extern CFileFaults g_fileFaults;

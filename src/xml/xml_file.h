// Whole-file reading and saving of XML documents, shared by the settings and keyword files.
// Paths are UTF-16. Saving never truncates the old file: the document is written to a new
// temporary file in the same folder, created exclusively under a fresh name, flushed, and
// then moved over the old file in one step.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "xml/xml.h"

class CFile;

// Reads the file whole (one read of its size) and parses it with xml. Returns the first
// top-level element (the caller frees it with CXml::FreeElements), or null when the file
// cannot be opened, is empty or larger than 2 GiB, cannot be read whole, or does not parse.
CXmlElement* LoadXmlFile(CXml& xml, const char16_t* path);
// The same from an open file (which stays open), such as bytes in memory (CFile::OpenBytes).
CXmlElement* LoadXmlFile(CXml& xml, CFile& file);

// Writes length bytes to path through the temporary file. 1 when every byte was written,
// flushed and the file replaced, or when the file already holds exactly these bytes (it is
// then not touched); 0 otherwise, with the old file unchanged and no temporary file left behind.
int SaveBytesAtomic(const char16_t* path, const char* bytes, uint32_t length);

// How many temporary names a save tries before it gives up (with a trace line).
constexpr int kTemporaryAttempts = 16;

// The temporary file that a save of path tries with a tag: "<path>.<tag as 8 hex digits>.tmp",
// or, when that would pass the limits of a name (255 bytes) or a path (4095 bytes), a name as
// long as the file's own in the same folder: "~", then zeros and the tag's last digits (one
// digit for a name of one unit; a save skips a name equal to its file's). A new string
// (std::free), or null for a path without a file name.
char16_t* TemporaryPath(const char16_t* path, uint32_t tag);

// Test hook: 0 (the default) draws unpredictable tags; otherwise the k-th name that a save
// tries (from 0) has the tag seed + k.
extern uint32_t g_temporaryTagSeed;

// A file written in pieces and put in place of its path in one step, through a temporary
// file as SaveBytesAtomic does: until Commit the old file (or none) stays as it was, and a
// save abandoned (or destroyed) before it leaves no file behind.
class CAtomicFile {
public:
    CAtomicFile();
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Creates the temporary file beside path. 1 or 0.
    int Create(const char16_t* path);
    // Appends bytes. 1 or 0.
    int Write(const char* bytes, uint32_t length);
    // Flushes and replaces the file at path. 1, or 0 with the temporary file removed.
    int Commit();
    // Removes the temporary file.
    void Abandon();

private:
    std::unique_ptr<CFile> m_file;
    char16_t* m_temporary = nullptr;
    std::u16string m_target;
    uint64_t m_written = 0;
};

// CXml::Write of first, then SaveBytesAtomic. 1 or 0.
int SaveXmlFile(CXml& xml, CXmlElement* first, const char16_t* path);

// The log loader: reads a file once in 10 MiB blocks and builds its line index (one 32-byte
// CLogLine per non-empty line, with its own time stamp or the last one before it) and the
// list of lines holding an error keyword. LoadLogFile is the application's entry; tests,
// the console tool and the benchmark call LoadLogLines with explicit inputs.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "document/file.h"
#include "document/line_source.h"
#include "document/log_line.h"
#include "document/progress_listener.h"
#include "stamps/stamp_rules.h"

class CKeywordSet;
class CLogFile;

// What a load ended with. kTooLarge: the file's index would need more memory than the system
// can give (checked before it is allocated and again as it grows), or it could not grow; no
// index is made, and the figures say why. kNoMemory: the working buffers could not be had
// (a follow step: the lines appended could not be indexed). kDamaged: a compressed log whose
// data ends early at a damage (the figures say which); its lines up to there are indexed,
// and the index is not the whole log.
enum class CLoadStatus { kDone, kNoMemory, kTooLarge, kDamaged };
struct CLoadResult {
    CLoadStatus status = CLoadStatus::kDone;
    int64_t lines = 0;                          // kTooLarge: the lines counted
    uint64_t needed = 0;                        // kTooLarge: the bytes their index needs (at the rate measured)
    uint64_t available = 0;                     // kTooLarge: the bytes the system could give (when the index could
                                                // not grow: the bytes of codes it held then)
    CUnpackError damage = CUnpackError::kNone;  // kDamaged: what ended the data
};

struct CLoadRequest {
    unsigned codePage = 0;                     // decodes the lines for the error-keyword test; in
                                               // UTF-16 (1200, 1201) lines break on its units. A
                                               // byte-order mark of the code page starts no line.
    const CKeywordSet* keywords = nullptr;     // its error keywords and flag table; null: none
    CProgressListener* listener = nullptr;     // OnProgress(position, file size) before blocks
    const std::atomic<int>* cancel = nullptr;  // non-zero: stop at the next block
    uint32_t blockSize = kLoadBlockSize;
    uint32_t maxLineLength = kMaxLineLength;  // longer lines are indexed in pieces of this length
    int threads = 0;                          // 0: one per processor (up to 4); 1: this thread only
    uint64_t countAbove = 0;                  // larger files are counted first; 0: two blocks
    uint64_t availableBytes = 0;              // memory a counted file's index may take; 0: what
                                              // the system can give now (AvailableMemoryBytes)
    CLoadResult* result = nullptr;            // when given, receives how the load ended
    const CStampRules* stamps = nullptr;      // stamps beyond the line-start forms; null: none
    CStampCount* stampCount = nullptr;        // receives what the load found, when not null
};

// Indexes the first file->Size() bytes of an open file. Returns a new index that belongs to
// the caller (empty for an empty file, which gets no progress call), or null when the
// working buffers cannot be allocated (kNoMemory) or when the index does not fit the memory
// the system can give (kTooLarge: checked before a counted file's index is allocated, so
// that it is refused rather than granted and then killed on first touch; checked again at
// the rate its codes take as it grows; and when the index or its error lines cannot grow,
// the rest of the file is only counted for the figures).
// errorLines is emptied first, then receives the error lines in file order, each at most
// once. When the load is cancelled or a read fails, the lines indexed before that point
// are returned (none when it stops while counting).
// Progress comes from this thread only. A file read in one pass reports each block's start
// offset; a large file whose index is sure to fit, indexed on every processor without a
// count, the bytes done. A file counted first reports both passes in one range: the count as
// the first quarter (position = bytes counted / 4) and the indexing as the rest (file size / 4
// + three quarters of the bytes indexed), ending at the file size. Progress goes back, to 0,
// only when the load changes its way: at most twice, when a load without a count gives up and
// the file is counted, and when an over-long line is met and the file is read again in one pass.
// With more than one thread, the other threads read through handles of their own
// (OpenAnotherHandle); the bytes done are then those of all threads.
std::unique_ptr<CLogLineList> LoadLogLines(CFile* file, const CLoadRequest& request, CLogLineList* errorLines);

// Indexes an open log file as LoadLogLines does and rebuilds its error-line list. Worker
// thread only; what request points to stays unchanged until the load returns (the
// application gives the worker copies).
std::unique_ptr<CLogLineList> LoadLogFile(CLogFile* file, const CLoadRequest& request);

// A line's own time stamp as the loader reads it (UTF-16 lines are narrowed first), with the
// request's code page and stamp rules. 1 or 0. hint: kept from line to line of one log, as
// ReadLineStamp takes it.
int ParseLineTimeStamp(const CLineView& line, const CLoadRequest& request, CTimeStamp* stamp, StampForm* form = nullptr,
                       CStampHint* hint = nullptr);
// Where the first line of the open file may begin in the code page: after its byte-order mark.
uint64_t FirstLineOrigin(CFile* file, unsigned codePage);

// Following a growing log: after a full load, each call indexes what was appended since,
// so that the index always equals what a full load of the file as it is now would give.
// The last line of the index is read again each time: it may have been cut off by the end
// of the file (a line still being written, or a CR whose LF had not come yet), so it is
// shown as it was and then completed. Reading goes on from the start of a whole line: the
// first piece of a line longer than the maximum length, and the line before a lone byte at
// the end (in UTF-16, the first byte of the LF unit that the row before it still lacks).
#pragma once

#include <cstdint>

#include "document/file.h"
#include "document/log_line.h"
#include "loader/log_loader.h"
#include "stamps/time_stamp.h"

struct CFollowState {
    uint64_t lastOffset = 0;  // where the line read again begins: indexing goes on from here
    int64_t lastNumber = 0;   // its line number: entries from here on are replaced
    CTimeStamp before;        // the stamp in force before it
    uint64_t size = 0;        // the file size the index describes
};

// The state for an index of the whole file of size bytes (LoadLogLines' result, loaded
// with the given maximum line length).
void StartFollowing(const CLogLineList& lines, uint64_t size, CFollowState* state,
                    uint32_t maxLineLength = kMaxLineLength);

// Indexes the bytes of file from state->lastOffset to file->Size() (the caller refreshes the
// size first) into lines and errors, both emptied first; their line numbers start at
// state->lastNumber. The caller then replaces its entries numbered state->lastNumber and
// above (in the index and in the error list) with these, and the state moves on.
// Progress goes to request.listener before each block, as bytes done of the bytes to read.
// Returns 1; 0 when a read failed, memory ran out or the load was cancelled (state, lines
// and errors are then to be ignored: the caller keeps what it has and may try again). When
// the lines or error lines could not grow, request.result (if given) says kNoMemory.
int FollowLogLines(CFile* file, const CLoadRequest& request, CFollowState* state, CLogLineList* lines,
                   CLogLineList* errors);

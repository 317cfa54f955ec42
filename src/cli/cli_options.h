// CCliOptions: the command line of quillon-cli, parsed. Options may stand anywhere; "--"
// ends them. Texts are the UTF-8 arguments themselves (owned by the caller's argv).
#pragma once

#include <cstddef>
#include <cstdint>

#include "stamps/stamp_clock.h"

enum class CCliCommand { kNone, kInfo, kRows, kErrors, kSearch, kExtract, kTimeline };

constexpr int kMaxExtractTexts = 5;
constexpr int kMaxCliStampPatterns = 16;
constexpr int kMaxCliMergedLogs = 64;

// The command's own function of a front end (of one log, or of logs merged): its exit status,
// 2 for no command.
template <class Front>
int RunCliCommand(CCliCommand command, Front& front) {
    switch (command) {
        case CCliCommand::kInfo:
            return front.Info();
        case CCliCommand::kRows:
            return front.Rows();
        case CCliCommand::kErrors:
            return front.Errors();
        case CCliCommand::kSearch:
            return front.Search();
        case CCliCommand::kExtract:
            return front.Extract();
        case CCliCommand::kTimeline:
            return front.Timeline();
        default:
            return 2;
    }
}

struct CCliOptions {
    CCliCommand command = CCliCommand::kNone;
    const char* log = nullptr;                      // the first merged log with --merge
    const char* mergeLogs[kMaxCliMergedLogs] = {};  // --merge: the logs, 2 to 64
    int mergeCount = 0;
    int32_t offsets[kMaxCliMergedLogs] = {};  // --offsets: minutes added to each merged log's times
    bool hasOffsets = false;
    const char* texts[kMaxExtractTexts] = {};
    int textCount = 0;
    const char* notTexts[kMaxExtractTexts] = {};  // --not: a matching row holds none of them
    int notCount = 0;

    int32_t encoding = 0;         // a code page, or -1 (auto): as the viewer's box chooses per file
    const char* entry = nullptr;  // the zip archive's entry to read: its name, or its number from 1
    const char* keywordsFile = nullptr;
    const char* settingsFile = nullptr;
    bool noConfig = false;
    int stamps = -1;   // 0: the line-start forms only; 1: all forms; -1: the settings' choice
    int escapes = -1;  // 1: escape sequences hidden (colour codes on), 0: kept; -1: the settings' choice
    const char* stampPatterns[kMaxCliStampPatterns] = {};  // each one compiles
    int stampPatternCount = 0;
    bool trace = false;
    bool help = false;

    bool hasFrom = false;
    int64_t from = 0;
    bool hasCount = false;
    int64_t count = 0;
    bool hasIntervalCheck = false;
    int64_t intervalCheck = 0;
    bool backward = false;
    bool matchAll = false;
    bool ignoreCase = false;
    bool regex = false;
    bool follow = false;  // rows and errors: go on printing the rows appended to the log
    bool raw = false;     // extract: the rows' original bytes, line breaks included
    bool hasBefore = false;
    int64_t before = 0;
    bool hasAfter = false;
    int64_t after = 0;
    bool hasMaxRows = false;
    int64_t maxRows = 0;  // 0: the core's default limit
    bool hasBucket = false;
    int64_t bucket = 0;  // timeline: seconds a bucket; 0 chooses
    bool hasAtTime = false;
    CTimeQuery atTime;  // rows: start at the first row at or after it
};

// Parses argv[1..argc-1]. 1, or 0 with a one-line reason (UTF-8, no line break) in error.
int ParseCliOptions(int argc, char** argv, CCliOptions* options, char* error, size_t capacity);

// The text of --help.
extern const char kCliUsage[];

// What the viewer keeps about each log between runs (markers, caret and first visible row,
// follow mode, a code page chosen by hand, colour labels, the minutes added to its times when
// it is merged with others), and the store of it: its own XML file beside
// the settings ("quillon_state.xml"), at most kMaxLogStates logs, the least recently used
// dropped. A log counts as the one a state was kept for when its path matches, it is not
// shorter and its head (the first kStateHeadBytes, or all of it when it was shorter) hashes
// the same. UI thread only.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "config/color_labels.h"

class CFile;

constexpr int kMaxLogStates = 100;
constexpr uint32_t kStateHeadBytes = 64 * 1024;
// A log's encoding was not chosen by hand (the box's choice in force is kept).
constexpr int32_t kNoEncodingChoice = -2;
// The most minutes a log's times may be moved either way: two weeks, more than any zone or
// clock set wrong.
constexpr int32_t kMaxTimeOffsetMinutes = 20160;

struct CLogMarkerState {
    int64_t row = 0;
    uint64_t offset = 0;  // the marked line's offset: a row that now holds another line is dropped
};

// What identifies a log's content: its size and the hash of its head.
struct CLogFingerprint {
    uint64_t size = 0;
    uint32_t headLength = 0;
    uint64_t headHash = 0;
};

struct CLogState {
    std::u16string path;
    CLogFingerprint fingerprint;
    int64_t caretRow = 0;
    int64_t firstRow = 0;
    int32_t follow = 0;
    int32_t encoding = kNoEncodingChoice;
    int32_t timeOffset = 0;  // minutes added to its times in a merged view
    std::vector<CLogMarkerState> markers;
    // The colour labels' texts (empty: none), written only when there is one.
    std::array<std::u16string, kColorLabelCount> labels;
};

bool operator==(const CLogState& a, const CLogState& b);

// The fingerprint of an open file of size bytes (headLength = min(size, kStateHeadBytes));
// 0 when the head cannot be read.
int TakeFingerprint(CFile& file, uint64_t size, CLogFingerprint* out);
// Whether file (now size bytes) still holds the log that kept was taken of.
bool IsSameLog(CFile& file, uint64_t size, const CLogFingerprint& kept);

enum class CStateLoad {
    kMissing,     // no file yet: an empty store that may be saved
    kRead,        // read
    kSetAside,    // damaged: renamed to "<file>.damaged"; an empty store that may be saved
    kUnreadable,  // there but not readable, or damaged and not renamed: never saved over
};

class CLogStateStore {
public:
    CStateLoad Load(const char16_t* path);
    // The state kept for path, or null.
    const CLogState* Find(const std::u16string& path) const;
    // Keeps state as the most recently used (replacing one of the same path); the least
    // recently used goes beyond kMaxLogStates.
    void Put(const CLogState& state);
    // Writes the file when something changed since it was read or last saved: 1 saved,
    // -1 nothing to write, 0 failed or not allowed (the file could not be read).
    int Save();
    int Count() const { return static_cast<int>(m_states.size()); }

private:
    std::u16string m_path;
    std::vector<CLogState> m_states;  // most recently used first
    bool m_changed = false;
    bool m_writable = false;
};

// The state file's path for a settings file path ("<settings folder>/quillon_state.xml").
std::u16string StateFilePath(const char16_t* settingsFile);

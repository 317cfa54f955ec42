// CStampPattern: a time-stamp pattern of the user's own, such as "%d/%b/%Y:%H:%M:%S" or
// "#3:%Y-%m-%d %H:%M:%S.%f", compiled once and matched against a line's raw bytes.
//
// Grammar: an optional place, "#N:" (the N-th field, fields separated by blanks and tabs,
// counted from 1) or "@N:" (byte offset N, from 0); without one the stamp starts at the first
// field. Then literal text and conversions: %Y four-digit year, %m month, %d day, %H hour
// (one or two digits each), %M minute, %S second (two digits), %f fraction of a second (any
// digits, kept to milliseconds), %b month name, %a weekday name (English, any case, short or
// full), %z zone ("Z", "+09:00", "-0700": read, the time is not converted), %% a percent
// sign. A blank stands for one or more blanks or tabs. %H, %M and %S are required; a pattern
// without %d and a month gives 1 January with no year (the interval uses the time of day).
#pragma once

#include <cstddef>
#include <cstdint>

#include "stamps/time_stamp.h"

constexpr int kStampPatternMaxOps = 48;
constexpr int kStampPatternMaxText = 128;  // bytes of a pattern's text
constexpr int kStampPatternMaxPlace = 4096;

// Why a pattern was refused.
enum class StampPatternError : uint8_t {
    kNone,
    kEmpty,
    kTooLong,            // more than kStampPatternMaxText bytes or kStampPatternMaxOps parts
    kBadPlace,           // "#" or "@" and a digit, but not a number up to 4096 and ":"
    kUnknownConversion,  // % and a letter outside the list
    kTrailingPercent,
    kRepeated,        // a conversion appears twice
    kNoTime,          // %H, %M or %S is missing
    kIncompleteDate,  // %d without a month, a month without %d, %Y without both
};

// The reason in English (ASCII, one line), for the console tool.
const char* StampPatternErrorText(StampPatternError error);

class CStampPattern {
public:
    // Compiles UTF-8 text. 1, or 0 with the reason in *error (when not null); a refused
    // pattern matches nothing.
    int Compile(const char* text, StampPatternError* error = nullptr);
    // 1 and the stamp when the line (raw bytes) holds the pattern at its place; else 0.
    int Match(const char* bytes, int length, CTimeStamp* stamp) const;
    bool IsValid() const { return m_count > 0; }

private:
    int Start(const char* bytes, int length) const;

    enum : uint8_t { kField = 1, kOffset = 2 };
    uint8_t m_place = kField;
    int32_t m_where = 1;
    uint16_t m_ops[kStampPatternMaxOps] = {};  // a literal byte, or 0x100 + conversion letter
    int m_count = 0;
};

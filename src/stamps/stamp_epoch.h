// Epoch times and TAI64N labels as stamps (in UTC): the numbers of the stamp search's fields,
// of JSON lines' time keys, and of daemontools' lines.
#pragma once

#include <cstdint>

#include "stamps/stamp_forms.h"

// Ten digits of seconds (with an optional fraction) or thirteen of milliseconds at bytes[at],
// alone in their field and between 2000 and 2100, as UTC: 1 and *match, else 0 (unchanged).
// Bare digits count only at the line's leading place (leading); elsewhere only seconds with
// a fraction of 3, 6 or 9 digits do, since a thread id or a count looks the same.
int ReadEpochAt(const char* bytes, int length, int at, bool leading, CStampMatch* match);

// The same with the run of digits at bytes[at] known to be digits long. cache, when not
// null, holds the date of the last day read and is kept up to date.
int ReadEpochDigits(const char* bytes, int length, int at, int digits, bool leading, CStampMatch* match,
                    CEpochDay* cache = nullptr);

// Whether the epoch time of digits digits that ReadEpochDigits read at bytes[at] is plainly
// one - thirteen digits of milliseconds, or seconds with a fraction of 3, 6 or 9 digits - so
// that at the line's leading place it is the line's stamp whatever follows it. (Bare seconds
// there are as often an id, and a readable stamp later in the line wins over them.)
bool EpochStandsAtLead(const char* bytes, int length, int at, int digits);

// A TAI64N label leading the line ("@40000000433225833b6e1a8c", as daemontools' multilog
// writes it), in UTC: 1 and *match, else 0 (unchanged).
int ReadTai64n(const char* bytes, int length, CStampMatch* match);

// Milliseconds since 1970-01-01 00:00 UTC as a stamp (in UTC): 1 and *stamp when they lie
// between 2000 and 2100, else 0 (unchanged). cache as above.
int EpochStamp(uint64_t ms, CTimeStamp* stamp, CEpochDay* cache = nullptr);

// The stamp of a JSON line ({"ts": "2013-09-06T20:00:48.124817Z", ...}): the value of its
// first top-level time key, wherever in the line it stands, as text in one of the stamp
// forms or as an epoch number whose magnitude tells its unit.
#pragma once

#include "stamps/stamp_forms.h"

// The keys whose value is a line's time, any of them; the first met in the line counts.
// "timestamp", "@timestamp", "time", "ts", "t", "date", "datetime", "@t", "created_at",
// "timeMillis".
bool IsJsonTimeKey(const char* key, int length);

// A line whose first non-blank byte is "{": the first top-level time key (not one of a
// nested object, nor text inside a string) with a readable value. A string value is read
// with the built-in forms at its start (or as epoch digits);
// a number is epoch seconds, milliseconds, microseconds or nanoseconds, whichever puts it
// between 2000 and 2100 (a fraction of seconds is kept to milliseconds). 1 and *match (its
// offset where the value begins), else 0 with *match empty.
int ReadJsonStamp(const char* bytes, int length, CStampMatch* match);

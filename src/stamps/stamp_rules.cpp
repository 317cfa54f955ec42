// The order in which a line's stamp is looked for. The line-start recogniser stays first so
// that a line it recognises keeps exactly the stamp it always had.
#include "stamps/stamp_rules.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "stamps/stamp_epoch.h"
#include "stamps/stamp_form_readers.h"
#include "stamps/stamp_json.h"
#include "stamps/stamp_text.h"

int CStampRules::AddPattern(const CStampPattern& pattern) {
    if (patternCount >= kMaxStampPatterns || !pattern.IsValid()) return 0;
    patterns[patternCount++] = pattern;
    return 1;
}

namespace {

// The zone after a stamp the line-start recogniser read: glued to it ("Z", "+03:00", "+0330")
// or a name after a blank ("UTC", "PDT"); kNoZone when there is none.
int ZoneAfterStamp(const char* bytes, int length, int end) {
    CStampText t{bytes, length, end};
    int zone = kNoZone;
    bool afterBlank = end > 0 && (bytes[end - 1] == ' ' || bytes[end - 1] == '\t');
    if (!afterBlank && t.Take(' ')) afterBlank = true;
    bool read = afterBlank ? t.ZoneName(&zone) : t.Zone(&zone);
    return read && t.Ends() ? zone : kNoZone;
}

// Colour codes a program left for a terminal ("\x1b[32m") are looked for this far into a line,
// and a line is read without them this far.
constexpr int kEscapeLook = 256;
constexpr int kEscapeStrip = 4096;

// The line without its escape sequences (ESC "[", parameters, a final byte from "@" to "~"),
// as far as capacity; the length written, *removed whether any sequence was left out.
int WithoutEscapes(const char* bytes, int length, char* out, int capacity, bool* removed) {
    int n = 0;
    *removed = false;
    for (int i = 0; i < length && n < capacity;) {
        if (bytes[i] == '\x1b' && i + 1 < length && bytes[i + 1] == '[') {
            int k = i + 2;
            while (k < length && static_cast<unsigned char>(bytes[k]) >= 0x20 &&
                   static_cast<unsigned char>(bytes[k]) < 0x40) {
                ++k;
            }
            if (k < length && bytes[k] >= '@' && bytes[k] <= '~') {
                i = k + 1;
                *removed = true;
                continue;
            }
        }
        out[n++] = bytes[i++];
    }
    return n;
}

// Whether an escape byte stands among the first n bytes: sixteen at a time, the last sixteen
// overlapping those before them, as nearly every line is searched and holds none.
bool HasEscape(const char* bytes, int n) {
#if defined(__SSE2__)
    if (n >= 16) {
        const __m128i escape = _mm_set1_epi8('\x1b');
        __m128i found = _mm_setzero_si128();
        for (int k = 0; k + 16 <= n; k += 16) {
            found = _mm_or_si128(found,
                                 _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + k)), escape));
        }
        found = _mm_or_si128(found,
                             _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + n - 16)), escape));
        return _mm_movemask_epi8(found) != 0;
    }
#endif
    return std::memchr(bytes, '\x1b', static_cast<size_t>(n)) != nullptr;
}

int Found(const CTimeStamp& found, StampForm kind, CTimeStamp* stamp, StampForm* form) {
    *stamp = found;
    if (form != nullptr) *form = kind;
    return 1;
}

}  // namespace

int ReadLineStamp(const CStampRules* rules, const char* bytes, int length, CTimeStamp* stamp, StampForm* form,
                  CStampHint* hint) {
    if (form != nullptr) *form = StampForm::kNone;
    int end = 0;
    if (ParseTimeStampEnd(bytes, length, stamp, &end)) {
        // With the further forms, a zone written with the stamp puts it in UTC, as theirs.
        if (rules != nullptr && rules->moreForms) ApplyZone(stamp, ZoneAfterStamp(bytes, length, end));
        return Found(*stamp, StampForm::kBasic, stamp, form);
    }
    if (rules == nullptr || length <= 0) return 0;
    if (rules->moreForms && HasEscape(bytes, length < kEscapeLook ? length : kEscapeLook)) {
        char plain[kEscapeStrip];
        bool removed = false;
        int n = WithoutEscapes(bytes, length, plain, kEscapeStrip, &removed);
        if (removed) return ReadLineStamp(rules, plain, n, stamp, form, hint);
    }
    CTimeStamp found;
    for (int k = 0; k < rules->patternCount; ++k) {
        if (rules->patterns[k].Match(bytes, length, &found)) return Found(found, StampForm::kPattern, stamp, form);
    }
    if (!rules->moreForms) return 0;
    CStampMatch match;
    // Both of these want their own first byte; most lines are ruled out by it here.
    int lead = 0;
    while (lead < length && (bytes[lead] == ' ' || bytes[lead] == '\t' || bytes[lead] == '\r' || bytes[lead] == '\n')) {
        ++lead;
    }
    char first = lead < length ? bytes[lead] : '\0';
    // A JSON line names its time: that key's value, wherever it stands, before any field.
    if (first == '{' && ReadJsonStamp(bytes, length, &match)) return Found(match.stamp, match.form, stamp, form);
    if (first == '@' && ReadTai64n(bytes, length, &match)) return Found(match.stamp, match.form, stamp, form);
    // A time alone counts last, and only where a stamp leads the line.
    if (ParseStampFormsOrTime(bytes, length, &match, hint)) return Found(match.stamp, match.form, stamp, form);
    return 0;
}

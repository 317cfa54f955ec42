// The order in which a line's stamp is looked for. The line-start recogniser stays first so
// that a line it recognises keeps exactly the stamp it always had.
#include "stamps/stamp_rules.h"

#include <cstring>

#include "stamps/stamp_epoch.h"
#include "stamps/stamp_field_starts.h"
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
    CStampMatch match;
    // In a log of times alone nearly every line is led by one ("hh:mm:ss.") that nothing after
    // it outranks; that is told while the line is looked at for colour codes, at once (it
    // holds none then).
    if (rules->moreForms && rules->patternCount == 0 && length >= 16 && bytes[2] == ':' &&
        ReadLeadingTimeAlone(bytes, length, kEscapeLook, &match, hint)) {
        return Found(match.stamp, match.form, stamp, form);
    }
    if (rules->moreForms && EscapeAmong(bytes, length < kEscapeLook ? length : kEscapeLook)) {
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

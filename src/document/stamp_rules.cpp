// The order in which a line's stamp is looked for. The line-start recogniser stays first so
// that a line it recognises keeps exactly the stamp it always had.
#include "document/stamp_rules.h"

#include "document/stamp_json.h"
#include "document/stamp_text.h"

int CStampRules::AddPattern(const CStampPattern& pattern) {
    if (patternCount >= kMaxStampPatterns || !pattern.IsValid()) return 0;
    patterns[patternCount++] = pattern;
    return 1;
}

namespace {

bool LooksLikeJson(const char* bytes, int length) {
    int i = 0;
    while (i < length && (bytes[i] == ' ' || bytes[i] == '\t')) ++i;
    return i < length && bytes[i] == '{';
}

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
    CTimeStamp found;
    for (int k = 0; k < rules->patternCount; ++k) {
        if (rules->patterns[k].Match(bytes, length, &found)) return Found(found, StampForm::kPattern, stamp, form);
    }
    if (!rules->moreForms) return 0;
    CStampMatch match;
    // A JSON line names its time: that key's value, wherever it stands, before any field.
    if (LooksLikeJson(bytes, length) && ReadJsonStamp(bytes, length, &match)) {
        return Found(match.stamp, match.form, stamp, form);
    }
    if (ParseStampForms(bytes, length, &match, hint)) return Found(match.stamp, match.form, stamp, form);
    return 0;
}

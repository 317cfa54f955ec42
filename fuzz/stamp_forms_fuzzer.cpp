// Fuzzes the user-pattern parser and the stamps beyond the line start: a refused pattern has
// a reason and matches nothing, every stamp found is in range, a line the line-start
// recogniser reads keeps exactly its stamp whatever the rules, and the stamp search finds
// what a plain search of every form at every field start finds, with or without a hint.
#include <algorithm>
#include <cstring>
#include <string>

#include "stamps/stamp_clock.h"
#include "stamps/stamp_epoch.h"
#include "stamps/stamp_form_readers.h"
#include "stamps/stamp_rules.h"
#include "fuzz_support.h"

using fuzzing::FuzzInput;

namespace {

void CheckInRange(const CTimeStamp& s, StampForm form) {
    FUZZ_CHECK(s.HasDate());
    FUZZ_CHECK(s.IsTimeOnly() == (form == StampForm::kTimeOnly));
    if (s.IsTimeOnly()) FUZZ_CHECK(s.year == 0 && s.day == 0);
    if (!s.IsTimeOnly()) FUZZ_CHECK(s.month >= 1 && s.month <= 12 && s.day >= 1 && s.day <= 31);
    FUZZ_CHECK(s.milliseconds < 86400000u);
    if (form == StampForm::kEpochSeconds || form == StampForm::kEpochMilliseconds) {
        FUZZ_CHECK(s.year >= 2000 && s.year < 2100);
    }
}

// Whether to is from moved by a zone: at most 14 hours, in whole minutes (a stamp without a
// year is only checked for its fields).
bool IsZoneShift(const CTimeStamp& from, const CTimeStamp& to) {
    if (!to.HasDate() || to.month < 1 || to.month > 12 || to.day < 1 || to.day > 31) return false;
    if (to.milliseconds >= 86400000u || (from.year == 0) != (to.year == 0)) return false;
    if (from.year == 0) return true;
    auto key = [](const CTimeStamp& t) {
        return DaysFromCivil(t.year, t.month, t.day) * kMillisecondsPerDay + int64_t{t.milliseconds};
    };
    int64_t shift = key(to) - key(from);
    return shift != 0 && shift % 60000 == 0 && shift >= -14 * 3600000 && shift <= 14 * 3600000;
}

// A pattern from the input: its length byte, then its text (no NUL).
void AddPattern(FuzzInput& in, CStampRules* rules) {
    std::string text = in.Bytes(in.Byte() % 48);
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    CStampPattern pattern;
    StampPatternError error = StampPatternError::kNone;
    int ok = pattern.Compile(text.c_str(), &error);
    FUZZ_CHECK(ok == (error == StampPatternError::kNone ? 1 : 0));
    FUZZ_CHECK(ok == (pattern.IsValid() ? 1 : 0));
    if (!ok) {
        FUZZ_CHECK(StampPatternErrorText(error)[0] != 0);
        CTimeStamp s;
        FUZZ_CHECK(pattern.Match(text.data(), static_cast<int>(text.size()), &s) == 0 && !s.HasDate());
        return;
    }
    rules->AddPattern(pattern);
}

// Every form at the first non-blank byte and after each field boundary (blank, tab, "[", "|", "=", quote, "(", ":",
// ",") among the first bytes, the earliest first, then the epoch times (bare ones only at the first field or just
// inside a bracket or bar that opens it); an epoch time there that plainly is one before all.
int PlainSearch(const char* bytes, int length, CStampMatch* match) {
    int limit = std::min(length, kStampSearchBytes);
    int first = 0;
    while (first < limit && (bytes[first] == ' ' || bytes[first] == '\t')) ++first;
    int lead = first + 1 < limit && (bytes[first] == '[' || bytes[first] == '|') ? first + 1 : first;
    auto isPlace = [&](int at) {
        return at == first ||
               (at > first && bytes[at - 1] != 0 && std::strchr(" \t[|=\"(:,", bytes[at - 1]) != nullptr);
    };
    // An epoch time at the lead that plainly is one (13 digits, or seconds with a fraction of
    // 3, 6 or 9 digits) comes first.
    auto digitsFrom = [&](int at) {
        int k = at;
        while (k < length && bytes[k] >= '0' && bytes[k] <= '9') ++k;
        return k - at;
    };
    int run = lead < limit ? digitsFrom(lead) : 0;
    int places = run == 10 && lead + 10 < length && bytes[lead + 10] == '.' ? digitsFrom(lead + 11) : 0;
    if ((run == 13 || places == 3 || places == 6 || places == 9) && ReadEpochAt(bytes, length, lead, true, match)) {
        return 1;
    }
    for (int at = first; at < limit; ++at) {
        if (isPlace(at) && ReadStampFormAt(bytes, length, at, CFieldShape(), match)) return 1;
    }
    for (int at = first; at < limit; ++at) {
        if (isPlace(at) && ReadEpochAt(bytes, length, at, at == lead, match)) return 1;
    }
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    uint8_t flags = in.Byte();
    CStampRules rules;
    rules.moreForms = (flags & 1) != 0;
    for (int k = 0; k < (flags >> 1) % 4; ++k) AddPattern(in, &rules);
    std::string line = in.Rest();
    int length = static_cast<int>(line.size());

    CTimeStamp basic;
    int basicFound = ParseTimeStamp(line.data(), length, &basic);
    CTimeStamp got;
    StampForm form;
    int found = ReadLineStamp(&rules, line.data(), length, &got, &form);
    if (basicFound) {
        // Its stamp as it read it, or with the further forms, moved to UTC by a zone.
        FUZZ_CHECK(found == 1 && form == StampForm::kBasic);
        FUZZ_CHECK(got == basic || (rules.moreForms && IsZoneShift(basic, got)));
        return 0;
    }
    FUZZ_CHECK(found == (form != StampForm::kNone ? 1 : 0));
    if (found) CheckInRange(got, form);
    if (!found) FUZZ_CHECK(!got.HasDate() && got.milliseconds == 0);
    if (rules.IsBasic()) FUZZ_CHECK(!found);

    CStampMatch match, plain;
    int searched = ParseStampForms(line.data(), length, &match);
    FUZZ_CHECK(searched == PlainSearch(line.data(), length, &plain));
    // A hint from the flags (where the last stamp began, and the last epoch day kept) changes
    // nothing found.
    CStampHint hint;
    hint.offset = (flags >> 4) * 8 - 1;
    if (flags & 8) {
        hint.epochDay.days = 19797;  // 2024-03-15
        hint.epochDay.date.year = 2024;
        hint.epochDay.date.month = 3;
        hint.epochDay.date.day = 15;
    }
    CStampMatch hinted;
    FUZZ_CHECK(ParseStampForms(line.data(), length, &hinted, &hint) == searched);
    FUZZ_CHECK(hinted.form == match.form && hinted.offset == match.offset && hinted.stamp == match.stamp);
    if (searched) {
        FUZZ_CHECK(match.form == plain.form && match.offset == plain.offset && match.stamp == plain.stamp);
        CheckInRange(match.stamp, match.form);
        FUZZ_CHECK(match.offset >= 0 && match.offset < kStampSearchBytes && match.offset < length);
        FUZZ_CHECK(std::strcmp(StampFormName(match.form), "none") != 0);
    }
    return 0;
}

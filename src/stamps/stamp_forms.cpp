// The search for a stamp among a line's first bytes. Most lines that come here hold no
// readable stamp at all (epoch times, stack traces), so each field is first sized up - the
// run of digits it starts with, the byte after it, whether an h:mm:ss follows anywhere - and
// only the forms that can start there are read; the epoch time is looked for in the same pass.
#include "stamps/stamp_forms.h"

#include <cstring>

#include "stamps/stamp_field_starts.h"
#include "stamps/stamp_epoch.h"
#include "stamps/stamp_form_readers.h"
#include "stamps/stamp_quick_reads.h"
#include "stamps/stamp_text.h"

namespace {

// The longest run of digits that matters: an epoch time in milliseconds and one more.
constexpr int kEpochRun = 14;

// A place that may start a stamp: a digit, or the start of a name form. (The first is the
// cheap test: most places are neither.)
bool MayStartStamp(const char* bytes, int length, int at) {
    return IsStampDigit(bytes[at]) || MayStartNameForm(bytes + at, length - at);
}

// The shape of the text at a place that starts with a digit or a name's initial; the run is
// counted as far as an epoch time in milliseconds reaches.
CFieldShape ShapeAt(const char* bytes, int length, int at, CFieldStarts* places) {
    CFieldShape shape;
    shape.run = IsStampDigit(bytes[at]) ? places->DigitRun(at, kEpochRun) : 0;
    shape.after = at + shape.run < length ? bytes[at + shape.run] : '\0';
    shape.timeAhead = places->TimeAfter(at);
    return shape;
}

bool IsEpoch(StampForm form) { return form == StampForm::kEpochSeconds || form == StampForm::kEpochMilliseconds; }

// The shape at a leading place, without looking ahead for an h:mm:ss. Its digits are counted
// as far as an epoch time in milliseconds reaches.
CFieldShape LeadingShape(const char* bytes, int length, int at) {
    CFieldShape shape;
    // Most leading numbers are short (an hour, a day, a process id's first digits).
    int run = at + 2 >= length               ? DigitsAt(bytes + at, length - at)
              : !IsStampDigit(bytes[at])     ? 0
              : !IsStampDigit(bytes[at + 1]) ? 1
              : !IsStampDigit(bytes[at + 2]) ? 2
                                             : DigitsAt(bytes + at, length - at);
    shape.run = run < kEpochRun ? run : kEpochRun;
    shape.after = at + shape.run < length ? bytes[at + shape.run] : '\0';
    return shape;
}

// How far past the hinted place the places are tried one by one.
constexpr int kHintSlack = 8;

// One line's search: the places tried so far have held no readable stamp; the earliest epoch
// time among them is kept, as it counts only when no readable stamp comes later either.
struct CLineSearch {
    CLineSearch(const char* b, int n, CStampMatch* m, CEpochDay* d) : bytes(b), length(n), match(m), epochDay(d) {}

    const char* bytes;
    int length;
    CStampMatch* match;
    CEpochDay* epochDay;  // or null
    int lead = -1;        // the leading place, where bare epoch digits count
    CStampMatch epoch;
    bool haveEpoch = false;
    CStampFields leadTime;  // the h:mm:ss at the lead, when timeEnd is past it
    int timeEnd = -1;
    bool timeEnds = false;  // whether a stamp may end at timeEnd
    int fractionEnd = -1;   // where the digits of its fraction end, when known

    // Where an h:mm:ss (with what follows it as part of the time) at the lead ends, or -1 when
    // none starts there; its fields are kept for a time alone.
    int ReadLeadTime() {
        CStampText t{bytes, length, lead};
        if (!QuickLeadTime(&t) && !t.Time(&leadTime)) return -1;
        timeEnd = t.i;
        timeEnds = t.Ends();
        return timeEnd;
    }

    // What CStampText::Time reads at the lead when it is "hh:mm:ss" with a fraction of up to
    // fifteen digits or none, and no zone: read at fixed places, and the fraction's end kept.
    // False (and nothing read) for any other time.
    bool QuickLeadTime(CStampText* t) {
        const char* p = bytes + lead;
        int n = length - lead;
        if (n < 9 || p[2] != ':' || p[5] != ':') return false;
        auto two = [p](int k) {
            auto a = static_cast<unsigned>(p[k] - '0'), b = static_cast<unsigned>(p[k + 1] - '0');
            return a <= 9 && b <= 9 ? static_cast<int>(a * 10 + b) : -1;
        };
        int hour = two(0), minute = two(3), second = two(6);
        if ((hour | minute | second) < 0) return false;
        int i = 8;
        int ms = 0;
        if (p[8] == '.' || p[8] == ',') {
            int digits = DigitsAt(p + 9, n - 9);
            if (digits >= 16) return false;
            if (digits > 0) {
                ms = FractionMilliseconds(p + 9, digits);
                i = 9 + digits;
                fractionEnd = lead + i;
            }
        }
        if (i < n && (p[i] == 'Z' || p[i] == '+' || p[i] == '-')) {
            fractionEnd = -1;
            return false;
        }
        leadTime.hour = hour;
        leadTime.minute = minute;
        leadTime.second = second;
        leadTime.millisecond = ms;
        t->i = lead + i;
        return true;
    }

    // The readable forms at a place, then the epoch time there.
    bool TryPlace(int at, const CFieldShape& shape) {
        if (AnyStampFormMayStart(shape) && ReadStampFormQuickly(bytes, length, at, shape, match)) return true;
        if (!haveEpoch && (shape.run == 10 || shape.run == 13)) {
            haveEpoch = ReadEpochDigits(bytes, length, at, shape.run, at == lead, &epoch, epochDay) != 0;
        }
        return false;
    }

    // The places after the lead up to the byte until one by one, each taken as if an h:mm:ss
    // lay ahead: true when one holds a readable stamp, which is then the earliest.
    bool TryEach(int lead, int until) {
        if (until <= lead) return false;
        // A few bytes are looked at one by one sooner than classified.
        if (until >= 64 || until - lead <= 16) return TryEachByte(lead, until);
        uint64_t starts = FieldStartsUpTo(bytes, length, until) >> (lead + 1);
        for (; starts != 0; starts &= starts - 1) {
            int at = lead + 1 + __builtin_ctzll(starts);
            if (TryStart(at)) return true;
        }
        return false;
    }

    // The same, for places beyond those FieldStartsUpTo reaches.
    bool TryEachByte(int lead, int until) {
        for (int at = lead + 1; at <= until; ++at) {
            if (IsStampFieldBoundary(bytes[at - 1]) && TryStart(at)) return true;
        }
        return false;
    }

    bool TryStart(int at) { return MayStartStamp(bytes, length, at) && TryPlace(at, LeadingShape(bytes, length, at)); }

    // The places within the time at the lead, up to until, one by one but for those that
    // cannot hold a stamp: the minutes (two digits and a colon, after which no form goes on),
    // and the seconds when a point and three digits or more follow them (the forms that start
    // with two digits and a point want one or two digits after it); the digits of that
    // fraction are passed over at once, as a place follows no digit.
    bool TryWithinTime(int until) {
        int minutes = lead + (bytes[lead + 1] == ':' ? 2 : 3);
        int seconds = minutes + 3;
        int fraction = seconds + 3;
        bool longFraction = fraction + 2 < timeEnd && bytes[fraction - 1] == '.' && IsStampDigit(bytes[fraction]) &&
                            IsStampDigit(bytes[fraction + 1]) && IsStampDigit(bytes[fraction + 2]);
        if (!longFraction) return TryEachByte(minutes, until);
        int digits = fractionEnd >= 0 ? fractionEnd - fraction : DigitsAt(bytes + fraction, timeEnd - fraction);
        return TryEachByte(fraction + digits - 1, until);
    }

    // Every place after tried, each sized up first.
    bool TryRest(int tried) {
        CFieldStarts places(bytes, length);
        if (tried >= 0) places.DropUpTo(tried);
        // Without an h:mm:ss in the line no name starts a stamp, and its letters are not looked at.
        if (!places.TimeAfter(0)) places.SkipLetters();
        for (int at = places.Next(); at >= 0; at = places.Next()) {
            bool digit = IsStampDigit(bytes[at]);
            if (!digit && !MayStartNameForm(bytes + at, length - at)) continue;
            CFieldShape shape = ShapeAt(bytes, length, at, &places);
            if (!shape.timeAhead) {
                // No h:mm:ss from here on, so no name starts a stamp any more.
                places.SkipLetters();
                if (!digit) continue;
            }
            if (TryPlace(at, shape)) return true;
        }
        return false;
    }
};

// Where the search starts: the first non-blank byte, or the one after a bracket or bar there.
int LeadingPlace(const char* bytes, int limit) {
    int lead = 0;
    while (lead < limit && (bytes[lead] == ' ' || bytes[lead] == '\t')) ++lead;
    if (lead + 1 < limit && (bytes[lead] == '[' || bytes[lead] == '|')) ++lead;
    return lead;
}

// An access log's stamp, asked for before any place: its line begins with its address or host
// name; an indented one (a stack trace's) is left to the search, and one led by a number that
// is no address is not asked at all (the call costs more than the answer), nor is a line of a
// log whose last stamp was of another form.
bool AccessLogStamp(const char* bytes, int length, CStampMatch* match, const CStampHint* hint) {
    bool accessLogMay = hint == nullptr || hint->form == StampForm::kNone || hint->form == StampForm::kAccessLog;
    return accessLogMay && bytes[0] != ' ' && bytes[0] != '\t' && !NumberLeadsNoAddress(bytes, length) &&
           QuickAccessLog(bytes, length, match);
}

int Search(CLineSearch& search, const CStampHint* hint) {
    const char* bytes = search.bytes;
    if (AccessLogStamp(bytes, search.length, search.match, hint)) return 1;
    // Most stamps stand at the first field, or just inside a bracket that opens it: that place
    // is tried before the rest of the line is looked at, with its shape taken as if an h:mm:ss
    // lay ahead (which only lets more forms be read). An epoch time there is the earliest: one
    // that plainly is one is the line's stamp, bare seconds only unless a readable stamp
    // comes later.
    int limit = search.length < kStampSearchBytes ? search.length : kStampSearchBytes;
    int lead = LeadingPlace(bytes, limit);
    search.lead = lead;
    int tried = -1;  // the places up to here are done
    int leadRun = 0;
    if (lead < limit && MayStartStamp(bytes, search.length, lead)) {
        CFieldShape shape = LeadingShape(bytes, search.length, lead);
        if (search.TryPlace(lead, shape)) return 1;
        if (search.haveEpoch && EpochStandsAtLead(bytes, search.length, lead, shape.run)) {
            *search.match = search.epoch;
            return 1;
        }
        tried = lead;
        leadRun = shape.run;
    }
    // A line led by a time of day (a log of times alone): the places within that time are
    // tried one by one, so that the quick look below starts after it. (An hour has one or two
    // digits.)
    if (tried == lead && (leadRun == 1 || leadRun == 2)) {
        int end = search.ReadLeadTime();
        if (end > lead + 1) {
            int until = end - 1 < limit - 1 ? end - 1 : limit - 1;
            if (search.TryWithinTime(until)) return 1;
            tried = until;
        }
    }
    // Most lines that get this far hold nothing that a stamp needs, which a quick look shows:
    // from the byte after the lead's digits on, as no place lies among them or just after them.
    int from = tried + 1 > lead + leadRun ? tried + 1 : lead + leadRun;
    bool may = StampMayStartFrom(bytes, search.length, from, !search.haveEpoch);
    // Where the last line's stamp began, the places up to it (and a little beyond, as the
    // fields before it may vary in width) are cheaper to try one by one than to size up; not
    // when it began at the lead or before it (a stack trace's line in a log whose stamps lead).
    if (may && hint != nullptr && hint->offset > tried && hint->offset > lead) {
        int until = hint->offset + kHintSlack < limit ? hint->offset + kHintSlack : limit - 1;
        if (search.TryEach(tried < lead ? lead : tried, until)) return 1;
        tried = until > tried ? until : tried;
        from = tried + 1 > lead + leadRun ? tried + 1 : lead + leadRun;
        may = StampMayStartFrom(bytes, search.length, from, !search.haveEpoch);
    }
    if (may && search.TryRest(tried)) return 1;
    if (search.haveEpoch) *search.match = search.epoch;
    return search.haveEpoch ? 1 : 0;
}

// A line led by a time alone whose fraction has three digits or more ("23:10:00.015015 INFO"):
// no stamp starts at its lead (two digits and a colon), nor within the time (after its colons
// two digits and a colon, or two digits, a point and three digits, which no form takes), so
// when the quick test finds none after it either, the search would find nothing and the time
// is the line's. True with the time read into the search; false, and the search as it was,
// for any other line.
bool QuickTimeAlone(CLineSearch& search) {
    const char* bytes = search.bytes;
    if (bytes == nullptr || search.length < 12) return false;
    // Most other lines are ruled out by their first byte (an indented time is left to the search).
    char first = bytes[0];
    if (!IsStampDigit(first) && first != '[' && first != '|') return false;
    if (IsStampDigit(first) && bytes[2] != ':') return false;  // a digit is the lead, and an hour has two
    int limit = search.length < kStampSearchBytes ? search.length : kStampSearchBytes;
    int lead = LeadingPlace(bytes, limit);
    if (lead + 12 > limit || !IsStampDigit(bytes[lead]) || bytes[lead + 2] != ':') return false;
    search.lead = lead;
    CStampText t{bytes, search.length, lead};
    if (!search.QuickLeadTime(&t)) return false;
    search.timeEnd = t.i;
    search.timeEnds = t.Ends();
    if (bytes[lead + 8] == '.' && search.fractionEnd - (lead + 9) >= 3 &&
        !StampMayStartFrom(bytes, search.length, search.timeEnd, true)) {
        return true;
    }
    search.leadTime = CStampFields();
    search.timeEnd = -1;
    search.timeEnds = false;
    search.fractionEnd = -1;
    return false;
}

// The same for the most common such line, "hh:mm:ss." and three to six digits at its very
// start, read at fixed places from one digit mask: true with *match and the hint set when the
// time is the line's stamp; false, and nothing changed, when this read is unsure (the search
// then decides as usual).
bool TimeAloneAtOnce(const char* bytes, int length, CStampMatch* match, CStampHint* hint) {
    if (bytes == nullptr || length < 16 || bytes[2] != ':' || bytes[5] != ':' || bytes[8] != '.') return false;
    constexpr uint32_t kTimeDigits = 0xEDB;  // bits 0-1, 3-4, 6-7 and 9-11
    uint32_t digits = DigitBits16(bytes);
    if ((digits & kTimeDigits) != kTimeDigits) return false;
    int fraction = __builtin_ctz(~(digits >> 9));  // 3 to 7: the mask ends with byte 15
    if (fraction > 6) return false;
    int end = 9 + fraction;
    // A zone, or a letter glued to the fraction, is left to the search.
    auto after = static_cast<unsigned char>(bytes[end]);
    if (after == '+' || after == '-' || (after | 0x20u) - 'a' <= 25) return false;
    int hour = TwoDigits(bytes), minute = TwoDigits(bytes + 3), second = TwoDigits(bytes + 6);
    if (hour > 23 || minute > 59 || second > 59 || StampMayFollowTime(bytes, length, end)) return false;
    match->stamp = CTimeStamp();
    match->stamp.month = CTimeStamp::kTimeOnly;
    match->stamp.milliseconds =
        static_cast<uint32_t>(((hour * 60 + minute) * 60 + second) * 1000 + FractionMilliseconds(bytes + 9, fraction));
    match->form = StampForm::kTimeOnly;
    match->offset = 0;
    if (hint != nullptr) {
        hint->offset = 0;
        hint->form = StampForm::kTimeOnly;
    }
    return true;
}

// A stamp at the leading place that a quick read takes, where that read is of the first form
// the search tries there: an ISO date (four digits and a dash), a compact one (six or eight
// digits and a blank), the C library's (a weekday's name) or glog's (a level letter and
// digits, which the name forms before it do not read). The search tries that place first, so
// what is read there stands. True with *match and the hint set; false, and *match as it was,
// for any other line.
bool QuickLeadingStamp(const char* bytes, int length, CStampMatch* match, CStampHint* hint) {
    if (bytes == nullptr || length < 14) return false;
    // Tried while the last line's stamp was of one of these forms at the lead, or there was
    // none yet: most lines of a log have theirs in one form at one place.
    if (hint != nullptr && hint->form != StampForm::kNone && hint->form != StampForm::kIsoDate &&
        hint->form != StampForm::kCompactDate && hint->form != StampForm::kCLibrary && hint->form != StampForm::kGlog) {
        return false;
    }
    if (hint != nullptr && hint->offset > 1) return false;
    int limit = length < kStampSearchBytes ? length : kStampSearchBytes;
    int lead = LeadingPlace(bytes, limit);
    if (lead >= limit || lead + 14 > length) return false;
    // Most other lines are told by a few bytes, before any read is called.
    const char* p = bytes + lead;
    bool digit = IsStampDigit(p[0]);
    bool iso = digit && p[4] == '-';
    int run = digit && !iso ? DigitsAt(p, length - lead) : 0;
    bool compact = (run == 6 || run == 8) && p[run] == ' ';
    bool cLibrary = !digit && p[3] == ' ' && p[7] == ' ';
    bool glog = (p[0] == 'I' || p[0] == 'W' || p[0] == 'E' || p[0] == 'F') && IsStampDigit(p[1]);
    if (!iso && !compact && !cLibrary && !glog) return false;
    CTimeStamp stamp;
    StampForm form = StampForm::kNone;
    if (iso) {
        if (QuickIsoDate(bytes, length, lead, &stamp)) form = StampForm::kIsoDate;
    } else if (compact) {
        if (QuickCompactDate(bytes, length, lead, &stamp)) form = StampForm::kCompactDate;
    } else if (cLibrary && QuickCLibrary(bytes, length, lead, &stamp)) {
        form = StampForm::kCLibrary;
    } else if (glog && QuickGlog(bytes, length, lead, &stamp)) {
        form = StampForm::kGlog;
    }
    if (form == StampForm::kNone) return false;
    match->stamp = stamp;
    match->form = form;
    match->offset = lead;
    if (hint != nullptr) {
        hint->offset = lead;
        hint->form = form;
    }
    return true;
}

// A stamp where the last line's began, on a line led by no number (so by no time whose
// places the search passes over): read at once when each place before it plainly starts
// nothing - no digit and no name's start, or a number that no form begins with. The search
// tries those places first and then that one, so what is read there stands (an epoch time
// before it would not). True with *match and the hint set; false, and *match as it was,
// for any other line.
bool QuickHintedStamp(const char* bytes, int length, CStampMatch* match, CStampHint* hint) {
    if (bytes == nullptr || hint == nullptr || hint->offset <= 0 || IsEpoch(hint->form)) return false;
    int limit = length < kStampSearchBytes ? length : kStampSearchBytes;
    int at = hint->offset;
    if (at >= limit || at >= 64 || !IsStampFieldBoundary(bytes[at - 1]) || !IsStampDigit(bytes[at])) return false;
    int lead = LeadingPlace(bytes, limit);
    if (lead >= at || IsStampDigit(bytes[lead])) return false;
    CFieldShape shape = LeadingShape(bytes, length, at);
    if (!AnyStampFormMayStart(shape) || !ReadStampFormAtOnce(bytes, length, at, shape, match)) return false;
    // The places before it: the lead, and each byte after a boundary. They were found quiet on
    // a line that began with the same bytes.
    if (hint->quietLength == at && std::memcmp(hint->quiet, bytes, static_cast<size_t>(at)) == 0) {
        hint->form = match->form;
        return true;
    }
    auto startsNothing = [bytes, length](int place) {
        return IsStampDigit(bytes[place]) ? !AnyStampFormMayStart(LeadingShape(bytes, length, place))
                                          : !MayStartNameForm(bytes + place, length - place);
    };
    bool nothing = startsNothing(lead);
    uint64_t places = FieldStartsUpTo(bytes, length, at - 1) >> (lead + 1) << (lead + 1);
    for (; nothing && places != 0; places &= places - 1) nothing = startsNothing(__builtin_ctzll(places));
    if (!nothing) {
        *match = CStampMatch();
        return false;
    }
    std::memcpy(hint->quiet, bytes, static_cast<size_t>(at));
    hint->quietLength = at;
    hint->form = match->form;
    return true;
}

// What the search finds on a line led by a number that is no hour and no address, when that
// is quickly told: a stamp a quick read takes there (an ISO or a compact date), as the search
// tries that place first; or an epoch time there that plainly is one, or that no mark of a
// readable stamp follows.
// False, and *match empty, when it is not (the search then looks as usual).
bool QuickLeadingNumber(const char* bytes, int length, CStampMatch* match, CStampHint* hint) {
    if (bytes == nullptr || length < 3 || !IsStampDigit(bytes[0]) || bytes[2] == ':' ||
        !NumberLeadsNoAddress(bytes, length)) {
        return false;
    }
    CFieldShape shape = LeadingShape(bytes, length, 0);
    if (AnyStampFormMayStart(shape)) {
        if (!ReadStampFormAtOnce(bytes, length, 0, shape, match)) return false;
        if (hint != nullptr) {
            hint->offset = 0;
            hint->form = match->form;
        }
        return true;
    }
    // No form starts with ten digits or more, so only an epoch time may stand here.
    if (shape.run != 10 && shape.run != 13) return false;
    CEpochDay* day = hint != nullptr ? &hint->epochDay : nullptr;
    if (!ReadEpochDigits(bytes, length, 0, shape.run, true, match, day) ||
        (!EpochStandsAtLead(bytes, length, 0, shape.run) && StampMayStartFrom(bytes, length, shape.run, false))) {
        *match = CStampMatch();
        return false;
    }
    if (hint != nullptr) {
        hint->offset = -1;
        hint->form = match->form;
    }
    return true;
}

// The time read at the lead as the line's stamp, a time alone, when its fields are in range;
// the hint learns its place and form.
int LeadTimeAlone(const CLineSearch& search, CStampHint* hint) {
    if (!TimeOnlyMatch(search.leadTime, search.timeEnds, search.lead, search.match)) return 0;
    if (hint != nullptr) {
        hint->offset = search.lead;
        hint->form = StampForm::kTimeOnly;
    }
    return 1;
}

// The search, and the hint kept up to date.
int Parse(CLineSearch& search, CStampHint* hint) {
    if (search.bytes == nullptr || search.length <= 0) return 0;
    int found = Search(search, hint);
    if (hint != nullptr && found) {
        hint->offset = IsEpoch(search.match->form) ? -1 : search.match->offset;
        hint->form = search.match->form;
    }
    return found;
}

}  // namespace

int ParseStampForms(const char* bytes, int length, CStampMatch* match, CStampHint* hint) {
    *match = CStampMatch();
    CLineSearch search{bytes, length, match, hint != nullptr ? &hint->epochDay : nullptr};
    return Parse(search, hint);
}

int ParseStampFormsOrTime(const char* bytes, int length, CStampMatch* match, CStampHint* hint) {
    *match = CStampMatch();
    // While the last line was an access log's, what the search asks first is asked before the
    // other shortcuts: where it reads a stamp, none of them does.
    if (hint != nullptr && hint->form == StampForm::kAccessLog && bytes != nullptr && length > 0 &&
        AccessLogStamp(bytes, length, match, hint)) {
        hint->offset = match->offset;
        return 1;
    }
    // A time alone that leads the line and that nothing after it could outrank: no shortcut
    // below reads a stamp on such a line.
    if (TimeAloneAtOnce(bytes, length, match, hint)) return 1;
    // None of these reads a time alone, which the lines of a log of times alone lead with.
    bool timesAlone = hint != nullptr && hint->form == StampForm::kTimeOnly;
    if (!timesAlone &&
        (QuickLeadingStamp(bytes, length, match, hint) || QuickLeadingNumber(bytes, length, match, hint) ||
         QuickHintedStamp(bytes, length, match, hint))) {
        return 1;
    }
    CLineSearch search{bytes, length, match, hint != nullptr ? &hint->epochDay : nullptr};
    if (QuickTimeAlone(search)) return LeadTimeAlone(search, hint);
    if (Parse(search, hint)) return 1;
    if (search.bytes == nullptr || length <= 0) return 0;
    // The time at the lead is the one a time alone is read at (a process id leads no time).
    if (search.timeEnd >= 0) return LeadTimeAlone(search, hint);
    return ReadTimeOnly(bytes, length, match);
}

const char* StampFormName(StampForm form) {
    switch (form) {
        case StampForm::kNone:
            return "none";
        case StampForm::kBasic:
            return "basic";
        case StampForm::kPattern:
            return "pattern";
        case StampForm::kCLibrary:
            return "c-library";
        case StampForm::kAccessLog:
            return "access-log";
        case StampForm::kIsoDate:
            return "iso-8601";
        case StampForm::kCompactDate:
            return "compact-date";
        case StampForm::kDottedTime:
            return "dotted-time";
        case StampForm::kMonthDay:
            return "month-day";
        case StampForm::kMonthName:
            return "month-name";
        case StampForm::kDayMonth:
            return "day-month-year";
        case StampForm::kEpochSeconds:
            return "epoch-seconds";
        case StampForm::kEpochMilliseconds:
            return "epoch-milliseconds";
        case StampForm::kJsonField:
            return "json";
        case StampForm::kGlog:
            return "glog";
        case StampForm::kJapaneseDate:
            return "japanese-date";
        case StampForm::kTai64n:
            return "tai64n";
        case StampForm::kTimeOnly:
            return "time-only";
    }
    return "none";
}

// The search for a stamp among a line's first bytes. Most lines that come here hold no
// readable stamp at all (epoch times, stack traces), so each field is first sized up - the
// run of digits it starts with, the byte after it, whether an h:mm:ss follows anywhere - and
// only the forms that can start there are read; the epoch time is looked for in the same pass.
#include "document/stamp_forms.h"

#include <cstring>

#include "document/stamp_field_starts.h"
#include "document/stamp_form_readers.h"
#include "document/stamp_text.h"

namespace {

// The initials of the month and weekday names, in either case.
bool IsNameInitial(char c) {
    constexpr uint32_t kInitials = 1u << ('a' - 'a') | 1u << ('d' - 'a') | 1u << ('f' - 'a') | 1u << ('j' - 'a') |
                                   1u << ('m' - 'a') | 1u << ('n' - 'a') | 1u << ('o' - 'a') | 1u << ('s' - 'a') |
                                   1u << ('t' - 'a') | 1u << ('w' - 'a');
    unsigned letter = static_cast<unsigned char>(c | 0x20) - 'a';
    return letter < 26 && ((kInitials >> letter) & 1) != 0;
}

// The next h:mm:ss of the line, looked for once for all the places the search tries (in
// increasing order). A form that holds a time may put any number of blanks before it, so the
// whole rest of the line counts.
class CTimeAhead {
public:
    CTimeAhead(const char* bytes, int length) : m_p(bytes), m_n(length) {}
    // Whether an h:mm:ss begins after the place at: its first colon at at + 1 or later, after
    // an hour digit that is not before at.
    bool After(int at) {
        if (m_colon <= at) m_colon = FindFrom(at + 1);
        return m_colon < m_n;
    }

private:
    int FindFrom(int from) const {
        for (int c = from; c + 5 < m_n; ++c) {
            const void* hit = std::memchr(m_p + c, ':', static_cast<size_t>(m_n - 5 - c));
            if (hit == nullptr) break;
            c = static_cast<int>(static_cast<const char*>(hit) - m_p);
            if (IsStampDigit(m_p[c - 1]) && IsStampDigit(m_p[c + 1]) && IsStampDigit(m_p[c + 2]) && m_p[c + 3] == ':' &&
                IsStampDigit(m_p[c + 4]) && IsStampDigit(m_p[c + 5])) {
                return c;
            }
        }
        return m_n;
    }

    const char* m_p;
    int m_n;
    int m_colon = -1;
};

// The shape of the text at a place that starts with a digit or a name's initial; the run is
// counted as far as an epoch time in milliseconds reaches.
CFieldShape ShapeAt(const char* bytes, int length, int at, const CFieldStarts& places, CTimeAhead* time) {
    CFieldShape shape;
    shape.run = IsStampDigit(bytes[at]) ? places.DigitRun(at, 14) : 0;
    shape.after = at + shape.run < length ? bytes[at + shape.run] : '\0';
    shape.timeAhead = time->After(at);
    return shape;
}

// The shape at a leading place, without looking ahead for an h:mm:ss. Its digits are counted
// only as far as a readable form's reach (kLongRun: longer); the field search counts longer
// runs, for epoch times, from its masks.
constexpr int kLongRun = 9;
CFieldShape LeadingShape(const char* bytes, int length, int at) {
    CFieldShape shape;
    int end = length - at < kLongRun ? length : at + kLongRun;
    int k = at;
    while (k < end && IsStampDigit(bytes[k])) ++k;
    shape.run = k - at;
    shape.after = k < length ? bytes[k] : '\0';
    return shape;
}

}  // namespace

int ParseStampForms(const char* bytes, int length, CStampMatch* match) {
    *match = CStampMatch();
    if (bytes == nullptr || length <= 0) return 0;
    CStampMatch epoch;
    bool haveEpoch = false;
    // The readable forms at a place, then the epoch time there.
    auto tryPlace = [&](int at, const CFieldShape& shape) {
        if (AnyStampFormMayStart(shape) && ReadStampFormAt(bytes, length, at, shape, match)) return true;
        // The earliest epoch time counts only when no readable stamp comes later either.
        if (!haveEpoch && (shape.run == 10 || shape.run == 13)) {
            haveEpoch = ReadEpochDigits(bytes, length, at, shape.run, &epoch) != 0;
        }
        return false;
    };
    // Most stamps stand at the first field, or just inside a bracket that opens it: that place
    // is tried before the rest of the line is looked at, with its shape taken as if an h:mm:ss
    // lay ahead (which only lets more forms be read).
    int limit = length < kStampSearchBytes ? length : kStampSearchBytes;
    int lead = 0;
    while (lead < limit && (bytes[lead] == ' ' || bytes[lead] == '\t')) ++lead;
    if (lead + 1 < limit && (bytes[lead] == '[' || bytes[lead] == '|')) ++lead;
    int tried = -1;  // the places up to here are done
    if (lead < limit && (IsStampDigit(bytes[lead]) || IsNameInitial(bytes[lead]))) {
        CFieldShape shape = LeadingShape(bytes, length, lead);
        if (shape.run < kLongRun) {
            if (tryPlace(lead, shape)) return 1;
            tried = lead;
        }
    }
    CTimeAhead time(bytes, length);
    // Without an h:mm:ss in the line no name starts a stamp, and its letters are not looked at.
    bool names = time.After(0);
    CFieldStarts places(bytes, length, names);
    for (int at = places.Next(); at >= 0; at = places.Next()) {
        bool digit = IsStampDigit(bytes[at]);
        if (at <= tried || (!digit && !(names && IsNameInitial(bytes[at])))) continue;
        CFieldShape shape = ShapeAt(bytes, length, at, places, &time);
        if (!shape.timeAhead) {
            // No h:mm:ss from here on, so no name starts a stamp any more.
            names = false;
            places.SkipLetters();
            if (!digit) continue;
        }
        if (tryPlace(at, shape)) return 1;
    }
    if (haveEpoch) *match = epoch;
    return haveEpoch ? 1 : 0;
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
    }
    return "none";
}

// The quick reads decline on anything the general readers would have to weigh: another
// spelling, a fraction, a zone out of range, a place before the stamp where one may start.
#include "stamps/stamp_quick_reads.h"

#include <cstdint>
#include <cstring>

#include "stamps/stamp_field_starts.h"
#include "stamps/stamp_text.h"

namespace {

// The digits p[0, count) as a number, or -1 when one is no digit (summed without a branch
// for each, as they nearly always are digits).
inline int Number(const char* p, int count) {
    if (count == 2) {
        auto a = static_cast<unsigned>(p[0] - '0'), b = static_cast<unsigned>(p[1] - '0');
        return a <= 9 && b <= 9 ? static_cast<int>(a * 10 + b) : -1;
    }
    unsigned value = 0;
    unsigned wrong = 0;
    for (int k = 0; k < count; ++k) {
        auto digit = static_cast<unsigned>(p[k] - '0');
        wrong |= digit > 9 ? 1u : 0u;
        value = value * 10 + digit;
    }
    return wrong != 0 ? -1 : static_cast<int>(value);
}

// The first three bytes of a name as one number.
constexpr uint32_t NameKey(const char* name) {
    return static_cast<uint32_t>(static_cast<unsigned char>(name[0])) |
           static_cast<uint32_t>(static_cast<unsigned char>(name[1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(name[2])) << 16;
}

// A month's name as an access log writes it ("Jan", "Feb", ...): 1..12, or 0. A
// multiplication sends each name's key to a slot of its own (a perfect hash), so that one
// comparison tells it: no loop whose end varies from line to line.
constexpr int MonthSlot(uint32_t key) { return static_cast<int>((key * 0x0741C7A9u) >> 28); }

struct CMonthSlots {
    uint32_t key[16] = {};
    int month[16] = {};
};

constexpr CMonthSlots MakeMonthSlots() {
    const char* const names[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    CMonthSlots slots;
    for (int m = 0; m < 12; ++m) {
        int slot = MonthSlot(NameKey(names[m]));
        slots.key[slot] = NameKey(names[m]);
        slots.month[slot] = m + 1;
    }
    return slots;
}

constexpr CMonthSlots kMonthSlots = MakeMonthSlots();

constexpr int FilledSlots(const CMonthSlots& slots) {
    int filled = 0;
    for (int month : slots.month) filled += month != 0 ? 1 : 0;
    return filled;
}
static_assert(FilledSlots(kMonthSlots) == 12, "two month names share a slot");

int MonthAt(const char* p) {
    uint32_t key = NameKey(p);
    int slot = MonthSlot(key);
    return kMonthSlots.key[slot] == key ? kMonthSlots.month[slot] : 0;
}

// The length of an address ("10.0.15.15", four numbers of one to three digits) at p, or 0.
// No form reads there, as none takes a number of one to three digits, a point, another and
// a point for the start of a date that goes on with a third number and a point.
int AddressLength(const char* p, int n) {
    if (n >= 16) {
        // Every part and the byte after the address lie among the first sixteen.
        uint32_t digits = DigitBits16(p);
        int i = 0;
        for (int part = 0; part < 4; ++part) {
            int run = __builtin_ctz(~(digits >> i));
            if (run == 0 || run > 3) return 0;
            i += run;
            if (part < 3 && p[i++] != '.') return 0;
        }
        return i;
    }
    int i = 0;
    for (int part = 0; part < 4; ++part) {
        int start = i;
        while (i < n && i - start < 3 && IsStampDigit(p[i])) ++i;
        if (i == start || (i < n && IsStampDigit(p[i]))) return 0;
        if (part < 3 && (i >= n || p[i++] != '.')) return 0;
    }
    return i;
}

// What a byte may be to a place: one after which a place follows, one a stamp may start with.
enum : uint8_t { kBoundary = 1, kDigit = 2, kLetter = 4 };

struct CByteClasses {
    uint8_t of[256] = {};
};

constexpr CByteClasses MakeClasses() {
    CByteClasses c;
    for (int b = 0; b < 256; ++b) {
        auto ch = static_cast<char>(b);
        if (IsStampFieldBoundary(ch)) c.of[b] |= kBoundary;
        if (IsStampDigit(ch)) c.of[b] |= kDigit;
        if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z')) c.of[b] |= kLetter;
    }
    return c;
}

constexpr CByteClasses kClasses = MakeClasses();

// Where the places of a line may hold no stamp up to: past its leading blanks and the
// address that leads it, if any; -1 when a number that is no address leads it.
int PastTheLead(const char* bytes, int length) {
    int first = 0;
    while (first < length && (bytes[first] == ' ' || bytes[first] == '\t')) ++first;
    if (first >= length || !IsStampDigit(bytes[first])) return first;
    // Most numbers are ruled out by the point an address has among its first bytes.
    const char* p = bytes + first;
    if (NumberLeadsNoAddress(p, length - first)) return -1;
    int address = AddressLength(p, length - first);
    return address == 0 ? -1 : first + address;
}

// Whether no stamp and no epoch time can start at a place of bytes[from, until), from being
// a place when before holds kBoundary: each holds neither a digit nor the start of a name.
bool NothingStartsAt(const char* bytes, int length, int from, int until, uint8_t before) {
    for (int at = from; at < until; ++at) {
        uint8_t here = kClasses.of[static_cast<unsigned char>(bytes[at])];
        if ((before & kBoundary) != 0 && (here & (kDigit | kLetter)) != 0 &&
            ((here & kDigit) != 0 || MayStartNameForm(bytes + at, length - at))) {
            return false;
        }
        before = here;
    }
    return true;
}

// How far into a line the bracket of an access log is looked for.
constexpr int kBracketWindow = 64;

}  // namespace

int QuickAccessLog(const char* bytes, int length, CStampMatch* match) {
    // The lead first: most other lines that begin with a digit are ruled out by it at once.
    int from = PastTheLead(bytes, length);
    int window = length < kBracketWindow ? length : kBracketWindow;
    if (from < 0 || from >= window) return 0;
    // The commonest fields before the bracket: "-" for both the user's identity and name, where
    // no place starts anything.
    constexpr char kNoUser[] = " - - [";
    bool plain = from + 6 <= window && std::memcmp(bytes + from, kNoUser, 6) == 0;
    int at = from + 6;
    if (!plain) {
        const void* open = std::memchr(bytes + from, '[', static_cast<size_t>(window - from));
        if (open == nullptr) return 0;
        at = static_cast<int>(static_cast<const char*>(open) - bytes) + 1;
    }
    // dd/Mon/yyyy:hh:mm:ss +hhmm]
    if (length - at < 27) return 0;
    const char* p = bytes + at;
    if (p[2] != '/' || p[6] != '/' || p[11] != ':' || p[14] != ':' || p[17] != ':' || p[20] != ' ' ||
        (p[21] != '+' && p[21] != '-') || p[26] != ']') {
        return 0;
    }
    // The digits at once: day, year, hour and the minutes' first among p[0, 16), the rest
    // among p[11, 27).
    constexpr uint32_t kFirst = 0xB783;   // 0-1, 7-10, 12-13, 15
    constexpr uint32_t kSecond = 0x79A0;  // 16, 18-19, 22-25, as bits from 11
    if ((DigitBits16(p) & kFirst) != kFirst || (DigitBits16(p + 11) & kSecond) != kSecond) return 0;
    CStampFields f;
    f.day = TwoDigits(p);
    f.month = MonthAt(p + 3);
    uint64_t yearHour = DigitPairs8(p + 7), clock = DigitPairs8(p + 15), zone = DigitPairs8(p + 19);
    f.year = PairAt(yearHour, 0) * 100 + PairAt(yearHour, 2);
    f.hour = PairAt(yearHour, 5);
    f.minute = PairAt(clock, 0);
    f.second = PairAt(clock, 3);
    int zoneHours = PairAt(zone, 3);
    int zoneMinutes = PairAt(zone, 5);
    if (f.month == 0 || zoneHours > 14 || zoneMinutes > 59) return 0;
    f.zone = (p[21] == '-' ? -1 : 1) * (zoneHours * 60 + zoneMinutes);
    CTimeStamp stamp;
    // The lead's place (or the byte after its address, which follows no boundary) and on.
    uint8_t before = from > 0 && IsStampDigit(bytes[from - 1]) ? kDigit : kBoundary;
    if ((!plain && !NothingStartsAt(bytes, length, from, at, before)) || !f.ToStamp(&stamp)) return 0;
    match->stamp = stamp;
    match->form = StampForm::kAccessLog;
    match->offset = at;
    return 1;
}

namespace {

// The first three letters of a name at p, in either case, as one number.
uint32_t LowerKey(const char* p) {
    auto b = [p](int k) { return static_cast<uint32_t>(static_cast<unsigned char>(p[k]) | 0x20); };
    return b(0) | b(1) << 8 | b(2) << 16;
}

// 1..n for the name of the list whose first three letters stand at p, or 0.
template <int n>
int NameAt(const char* p, const uint32_t (&keys)[n]) {
    uint32_t at = LowerKey(p);
    for (int k = 0; k < n; ++k) {
        if (keys[k] == at) return k + 1;
    }
    return 0;
}

constexpr uint32_t kMonthKeys[12] = {NameKey("jan"), NameKey("feb"), NameKey("mar"), NameKey("apr"),
                                     NameKey("may"), NameKey("jun"), NameKey("jul"), NameKey("aug"),
                                     NameKey("sep"), NameKey("oct"), NameKey("nov"), NameKey("dec")};
constexpr uint32_t kWeekdayKeys[7] = {NameKey("mon"), NameKey("tue"), NameKey("wed"), NameKey("thu"),
                                      NameKey("fri"), NameKey("sat"), NameKey("sun")};

// Whether a stamp may end at p[i]: the end of the bytes, or a byte that is no letter or digit.
bool EndsAt(const char* p, int n, int i) { return CStampText{p, n, i}.Ends(); }

// "hh:mm:ss" at p[i] with a fraction after "." or "," or none, and no zone glued to it: the
// index after it, or -1 when unsure.
int TimeAt(const char* p, int n, int i, CStampFields* f) {
    if (n - i < 8 || p[i + 2] != ':' || p[i + 5] != ':') return -1;
    f->hour = Number(p + i, 2);
    f->minute = Number(p + i + 3, 2);
    f->second = Number(p + i + 6, 2);
    if ((f->hour | f->minute | f->second) < 0) return -1;
    i += 8;
    if (i < n && (p[i] == '.' || p[i] == ',')) {
        int digits = DigitsAt(p + i + 1, n - i - 1);
        if (digits == 0 || digits >= 16) return -1;
        f->millisecond = FractionMilliseconds(p + i + 1, digits);
        i += 1 + digits;
    }
    return i < n && (p[i] == 'Z' || p[i] == '+' || p[i] == '-') ? -1 : i;
}

// The stamp whose fields end at p[i], given a zone's name after a blank as the readers take
// it: 1 and *stamp, or 0 when it goes on as a word or a field is out of range.
inline int StampEndingAt(const char* p, int n, int i, CStampFields* f, CTimeStamp* stamp) {
    // Most words after a stamp are told to be no zone by their first letter.
    if (i + 1 < n && p[i] == ' ' && ZoneNameMayStart(p[i + 1])) {
        CStampText t{p, n, i + 1};
        if (t.ZoneName(&f->zone)) i = t.i;
    }
    return EndsAt(p, n, i) && f->ToStamp(stamp);
}

// The zone after an ISO time at p[i] and the end of the stamp: "Z", "+09:00", "-0700", a
// zone's name after a blank, or none before a byte that ends it. The stamp's end, or -1 when
// unsure.
int IsoZone(const char* p, int n, int i, int* zone) {
    auto ends = [p, n](int k) {
        unsigned c = k < n ? static_cast<unsigned char>(p[k]) : 0u;
        return k >= n || (c - '0' > 9 && (c | 0x20) - 'a' > 25);
    };
    *zone = kNoZone;
    if (i >= n) return i;
    if (p[i] == 'Z') {
        *zone = 0;
        return ends(i + 1) ? i + 1 : -1;
    }
    if (p[i] == '+' || p[i] == '-') {
        if (n - i < 5) return -1;
        int hours = Number(p + i + 1, 2);
        int minutesAt = i + (p[i + 3] == ':' ? 4 : 3);
        if (n - minutesAt < 2) return -1;
        int minutes = Number(p + minutesAt, 2);
        if (hours < 0 || minutes < 0 || hours > 14 || minutes > 59) return -1;
        *zone = (p[i] == '-' ? -1 : 1) * (hours * 60 + minutes);
        return ends(minutesAt + 2) ? minutesAt + 2 : -1;
    }
    if (p[i] == ' ') {
        CStampText t{p, n, i + 1};
        int named = 0;
        if (t.ZoneName(&named)) {
            *zone = named;
            return ends(t.i) ? t.i : -1;
        }
    }
    return ends(i) ? i : -1;
}

}  // namespace

int QuickIsoDate(const char* bytes, int length, int at, CTimeStamp* stamp) {
    const char* p = bytes + at;
    int n = length - at;
    if (n < 19 || p[4] != '-' || p[7] != '-' || (p[10] != 'T' && p[10] != ' ') || p[13] != ':' || p[16] != ':') {
        return 0;
    }
    if (!DateTimeDigitsAt(p)) return 0;
    CStampFields f;
    uint64_t date = DigitPairs8(p), time = DigitPairs8(p + 8);
    f.year = PairAt(date, 0) * 100 + PairAt(date, 2);
    f.month = PairAt(date, 5);
    f.day = PairAt(time, 0);
    f.hour = PairAt(time, 3);
    f.minute = PairAt(time, 6);
    f.second = TwoDigits(p + 17);
    int i = 19;
    if (i < n && (p[i] == '.' || p[i] == ',')) {
        int digits = DigitsAt(p + 20, n - 20);
        if (digits >= 16) return 0;
        if (digits > 0) {
            f.millisecond = FractionMilliseconds(p + 20, digits);
            i = 20 + digits;
        }
    }
    if (IsoZone(p, n, i, &f.zone) < 0) return 0;
    return f.ToStamp(stamp);
}

int QuickCompactDate(const char* bytes, int length, int at, CTimeStamp* stamp) {
    const char* p = bytes + at;
    int n = length - at;
    int digits = DigitsAt(p, n);
    if ((digits != 6 && digits != 8) || n < digits + 7 || p[digits] != ' ') return 0;
    const char* time = p + digits + 1;
    if (DigitsAt(time, n - digits - 1) != 6) return 0;
    int i = digits + 7;
    // A fraction, a zone glued on: the general reader's.
    if (i < n && p[i] != ' ' && (std::strchr(".,+-", p[i]) != nullptr || !EndsAt(p, n, i))) return 0;
    // Every byte read below is a digit.
    CStampFields f;
    uint64_t date = DigitPairs8(p);
    f.year = digits == 6 ? 2000 + PairAt(date, 0) : PairAt(date, 0) * 100 + PairAt(date, 2);
    f.month = PairAt(date, digits - 4);
    f.day = PairAt(date, digits - 2);
    // The eight bytes that end with the time's: within the line however it ends.
    uint64_t clock = DigitPairs8(time - 2);
    f.hour = PairAt(clock, 2);
    f.minute = PairAt(clock, 4);
    f.second = PairAt(clock, 6);
    return StampEndingAt(p, n, i, &f, stamp);
}

int QuickCLibrary(const char* bytes, int length, int at, CTimeStamp* stamp) {
    const char* p = bytes + at;
    int n = length - at;
    if (n < 24 || p[3] != ' ' || p[7] != ' ' || p[10] != ' ' || NameAt(p, kWeekdayKeys) == 0) return 0;
    CStampFields f;
    f.month = NameAt(p + 4, kMonthKeys);
    f.day = p[8] == ' ' ? Number(p + 9, 1) : Number(p + 8, 2);
    int i = TimeAt(p, n, 11, &f);
    // One blank and the year; a zone's name before it is the general reader's.
    if (f.month == 0 || f.day < 0 || i < 0 || n - i < 5 || p[i] != ' ') return 0;
    f.year = Number(p + i + 1, 4);
    if (f.year < 0) return 0;
    return StampEndingAt(p, n, i + 5, &f, stamp);
}

int QuickGlog(const char* bytes, int length, int at, CTimeStamp* stamp) {
    const char* p = bytes + at;
    int n = length - at;
    if (n < 14 || (p[0] != 'I' && p[0] != 'W' && p[0] != 'E' && p[0] != 'F')) return 0;
    int digits = DigitsAt(p + 1, n - 1);
    if ((digits != 4 && digits != 8) || p[1 + digits] != ' ') return 0;
    int date = Number(p + 1, digits);
    CStampFields f;
    f.year = digits == 8 ? date / 10000 : 0;
    f.month = date / 100 % 100;
    f.day = date % 100;
    int i = 1 + digits;
    while (i < n && (p[i] == ' ' || p[i] == '\t')) ++i;
    i = TimeAt(p, n, i, &f);
    return i >= 0 && StampEndingAt(p, n, i, &f, stamp);
}

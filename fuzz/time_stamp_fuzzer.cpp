// Fuzzes ParseTimeStamp against a reference recogniser written separately from the grammar
// of line-start time stamps: the two must agree on every line, accepted or not, and on
// every field. Inputs are mostly lines built from date and time pieces, so that both
// acceptance and the many ways of rejection are reached.
#include <string>

#include "stamps/time_stamp.h"
#include "fuzz_support.h"

namespace {

using fuzzing::FuzzInput;

struct Ref {
    const std::string& s;
    size_t i = 0;

    bool End() const { return i >= s.size(); }
    char At() const { return End() ? '\0' : s[i]; }
    static bool Blank(char c) { return c == ' ' || c == '\t'; }
    static bool Digit(char c) { return c >= '0' && c <= '9'; }
    static bool DateSeparator(char c) { return c == '-' || c == '.' || c == '/' || c == '_'; }
    bool Blanks() {
        size_t from = i;
        while (!End() && Blank(s[i])) ++i;
        return i != from;
    }
    // Digits as a value (held as 64 bits, so a long run stays out of every valid range).
    uint64_t Number(int* digits) {
        uint64_t v = 0;
        *digits = 0;
        while (!End() && Digit(s[i])) {
            if (v < 10000000000ull) v = v * 10 + static_cast<uint64_t>(s[i] - '0');
            ++i;
            ++*digits;
        }
        return v;
    }
};

const char* const kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Fills the fields and returns true when the line starts with a time stamp.
bool Reference(const std::string& line, uint64_t* year, int* yearDigits, int* month, int* day, uint32_t* ms) {
    Ref r{line};
    r.Blanks();
    uint64_t m = 0, d = 0;
    int md = 0, dd = 0;
    *year = 0;
    *yearDigits = 0;
    bool joint = true;
    int named = 0;
    for (int k = 0; k < 12 && r.i + 3 <= line.size(); ++k) {
        if (line.compare(r.i, 3, kMonthNames[k]) == 0) {
            named = k + 1;
            break;
        }
    }
    if (named != 0) {
        m = static_cast<uint64_t>(named);
        md = 1;
        r.i += 3;
        r.Blanks();
        d = r.Number(&dd);
    } else {
        int ad = 0, bd = 0;
        uint64_t a = r.Number(&ad);
        r.Blanks();
        if (r.End() || !Ref::DateSeparator(r.At())) return false;
        ++r.i;
        r.Blanks();
        uint64_t b = r.Number(&bd);
        r.Blanks();
        if (r.End()) return false;
        if (Ref::DateSeparator(r.At())) {
            ++r.i;
            r.Blanks();
            *year = a;
            *yearDigits = ad;
            m = b;
            md = bd;
            d = r.Number(&dd);
        } else if (bd > 0 && Ref::Digit(r.At())) {
            m = a;
            md = ad;
            d = b;
            dd = bd;
            joint = false;
        } else {
            return false;
        }
    }
    if (joint) {
        r.Blanks();
        for (int skipped = 0; !r.End() && !Ref::Digit(r.At()); ++skipped, ++r.i) {
            if (skipped == 2) return false;
        }
    }
    int hd = 0, nd = 0, sd = 0;
    r.Blanks();
    uint64_t h = r.Number(&hd);
    r.Blanks();
    if (r.End() || r.At() != ':') return false;
    ++r.i;
    r.Blanks();
    uint64_t n = r.Number(&nd);
    r.Blanks();
    if (r.End() || r.At() != ':') return false;
    ++r.i;
    r.Blanks();
    uint64_t sec = r.Number(&sd);
    if (r.End()) return false;  // the byte after the seconds must be there
    bool blank = r.Blanks();
    uint32_t fraction = 0;
    if (!r.End() && (r.At() == ',' || r.At() == '.')) {
        ++r.i;
        r.Blanks();
        // A decimal fraction of a second, truncated to milliseconds; it counts only when a
        // byte of the line follows its digits.
        uint32_t f = 0;
        int digits = 0;
        while (!r.End() && Ref::Digit(r.At())) {
            if (digits < 3) f = f * 10 + static_cast<uint32_t>(r.At() - '0');
            ++digits;
            ++r.i;
        }
        for (; digits < 3; ++digits) f *= 10;
        fraction = r.End() ? 0 : f;
    } else if (!blank && r.At() != '\r' && r.At() != '\n') {
        // Seconds must be followed by a fraction, a blank or the line break.
        return false;
    }
    if (md == 0 || dd == 0 || hd == 0 || nd == 0 || sd == 0) return false;
    if (m < 1 || m > 12 || d < 1 || d > 31 || h > 23 || n > 59 || sec > 59) return false;
    *month = static_cast<int>(m);
    *day = static_cast<int>(d);
    *ms = static_cast<uint32_t>(((h * 60 + n) * 60 + sec) * 1000 + fraction);
    return true;
}

// Pieces of time stamps and their near misses.
const char* const kPieces[] = {"2021",    "21",  "1",   "03",   "3",   "13",     "0",
                               "31",      "32",  "23",  "24",   "59",  "60",     "-",
                               "/",       ".",   "_",   ":",    " ",   "\t",     "T",
                               ",",       "Z",   "]",   "\r\n", "\n",  "\r",     "Jan",
                               "Feb",     "Dec", "mar", "May",  "123", "123456", "999999999999",
                               "message", "x",   " - ", "[",    "00"};

std::string Line(FuzzInput& in) {
    if (in.Byte() < 64) return in.Rest();  // raw bytes now and then
    std::string s;
    uint32_t pieces = in.Below(24);
    for (uint32_t k = 0; k < pieces && !in.Empty(); ++k) {
        uint8_t b = in.Byte();
        if (b < 230) {
            s += kPieces[b % (sizeof(kPieces) / sizeof(kPieces[0]))];
        } else {
            s.push_back(static_cast<char>(in.Byte()));
        }
    }
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    std::string line = Line(in);
    if (line.size() > 0x10000) return 0;
    CTimeStamp got;
    got.year = 7;
    got.milliseconds = 7;
    int ok = ParseTimeStamp(line.data(), static_cast<int>(line.size()), &got);

    uint64_t year = 0;
    int yearDigits = 0, month = 0, day = 0;
    uint32_t ms = 0;
    bool expected = Reference(line, &year, &yearDigits, &month, &day, &ms);
    FUZZ_CHECK(ok == (expected ? 1 : 0));
    if (!expected) {
        FUZZ_CHECK(!got.HasDate() && got.milliseconds == 0);
        return 0;
    }
    FUZZ_CHECK(got.month == month && got.day == day && got.milliseconds == ms);
    FUZZ_CHECK(got.HasDate());
    // The year is not validated; compare it where its value is defined (up to 9 digits).
    if (yearDigits <= 9) {
        uint64_t stored = yearDigits >= 1 && yearDigits <= 2 ? year + 2000 : year;
        FUZZ_CHECK(got.year == static_cast<uint16_t>(stored));
    }
    return 0;
}

// The stamps beyond the line-start recogniser: built-in forms, a stamp after a prefix, epoch
// times, user patterns, and the order in which ReadLineStamp tries them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "stamps/stamp_epoch.h"
#include "stamps/stamp_field_starts.h"
#include "stamps/stamp_form_readers.h"
#include "stamps/stamp_quick_reads.h"
#include "stamps/stamp_rules.h"

namespace {

struct StampCase {
    const char* line;
    StampForm form;  // kNone: no stamp
    int year, month, day;
    uint32_t ms;
};

CStampRules MoreForms() {
    CStampRules rules;
    rules.moreForms = true;
    return rules;
}

void Check(const CStampRules& rules, const StampCase& c) {
    CTimeStamp stamp;
    StampForm form;
    int found = ReadLineStamp(&rules, c.line, static_cast<int>(std::strlen(c.line)), &stamp, &form);
    ASSERT_EQ(c.form != StampForm::kNone ? 1 : 0, found) << c.line;
    EXPECT_EQ(c.form, form) << c.line << " read as " << StampFormName(form);
    if (!found) {
        EXPECT_FALSE(stamp.HasDate()) << c.line;
        return;
    }
    EXPECT_EQ(c.year, stamp.year) << c.line;
    EXPECT_EQ(c.month, stamp.month) << c.line;
    EXPECT_EQ(c.day, stamp.day) << c.line;
    EXPECT_EQ(c.ms, stamp.milliseconds) << c.line;
}

constexpr StampForm kNo = StampForm::kNone;

// Every form, with and without a fraction and a zone; the zone is read but the time is kept
// as written.
TEST(StampFormsTest, BuiltInForms) {
    const StampCase cases[] = {
        {"[Sun Dec 04 04:47:44 2005] [error] mod_jk", StampForm::kCLibrary, 2005, 12, 4, 17264000},
        {"Sun Dec  4 04:47:44.25 2005 x", StampForm::kCLibrary, 2005, 12, 4, 17264250},
        {"Thu Jun  2 00:01:01 UTC 2022 x", StampForm::kCLibrary, 2022, 6, 2, 61000},
        {"I0517 15:04:22.619642  952452992 logging_unittest.cc:259] Log message", StampForm::kGlog, 0, 5, 17, 54262619},
        {"E20200308 23:47:32.089828 12345 x.cc:1] boom", StampForm::kGlog, 2020, 3, 8, 85652089},
        {"20171223-22:15:29:606|Step_LSC|x", StampForm::kCompactDate, 2017, 12, 23, 80129606},
        {"20171223-22:15:9:606|x", StampForm::kCompactDate, 2017, 12, 23, 80109606},
        {"20171223-7:5:42:19|x", StampForm::kCompactDate, 2017, 12, 23, 25542019},
        {"20171223-22:9:9:99|x", StampForm::kCompactDate, 2017, 12, 23, 79749099},
        {"x 20171223-22:9:9.9|x", StampForm::kCompactDate, 2017, 12, 23, 79749900},
        {"081109 2:3:4 x", kNo, 0, 0, 0, 0},
        {"x 2024-05-06 8:5:3 y", kNo, 0, 0, 0, 0},
        {"#Date: 28/Jun/2017 07:28:59", StampForm::kAccessLog, 2017, 6, 28, 26939000},
        {"[29/Aug/2023 22:02:58] \"GET / HTTP/1.1\" 200", StampForm::kAccessLog, 2023, 8, 29, 79378000},
        {"20120702.102240,672:DEBUG x", StampForm::kCompactDate, 2012, 7, 2, 37360672},
        {"2012-025T10:22:40,672 x", StampForm::kIsoDate, 2012, 1, 25, 37360672},
        {"x 2012-060T00:00:00 y", StampForm::kIsoDate, 2012, 2, 29, 0},
        {"x 2012-367T00:00:00 y", kNo, 0, 0, 0, 0},
        {"Mar-18 21:41:15.684 x", StampForm::kMonthName, 0, 3, 18, 78075684},
        {"[3574] 13 Apr 12:52:30.731 * Ready", StampForm::kDayMonth, 0, 4, 13, 46350731},
        {"13-Apr 12:52:30 x", kNo, 0, 0, 0, 0},
        {"@40000000433225833b6e1a8c tcpserver: status: 0/40", StampForm::kTai64n, 2005, 9, 22, 12643997},
        {"@40000000433225833b6e1a8 x", kNo, 0, 0, 0, 0},
        {"2024\xE5\xB9\xB4"
         "5\xE6\x9C\x88"
         "6\xE6\x97\xA5 8:00:00 x",
         StampForm::kJapaneseDate, 2024, 5, 6, 28800000},
        {"2024\x94\x4E 5\x8C\x8E 6\x93\xFA(\x8C\x8E) 08:00:00 x", StampForm::kJapaneseDate, 2024, 5, 6, 28800000},
        {"5\xE6\x9C\x88 19 11:08:37 host", StampForm::kJapaneseDate, 0, 5, 19, 40117000},
        {"5\xE6\x9C\x88\xE3\x81\xAE 12:00:00", kNo, 0, 0, 0, 0},
        {"I0517 host", kNo, 0, 0, 0, 0},
        {"X0517 15:04:22.1 x", kNo, 0, 0, 0, 0},
        {"I051 15:04:22.1 x", kNo, 0, 0, 0, 0},
        {"Sat Apr 27 03:33:07 PDT 2013", StampForm::kCLibrary, 2013, 4, 27, 37987000},
        {"Sunday December 04 04:47:44 2005", StampForm::kCLibrary, 2005, 12, 4, 17264000},
        {"127.0.0.1 - - [10/Oct/2000:13:55:36 -0700] \"GET /", StampForm::kAccessLog, 2000, 10, 10, 75336000},
        {"[10/Oct/2000:13:55:36.5 +0000]", StampForm::kAccessLog, 2000, 10, 10, 50136500},
        {"2024-05-06T08:00:00Z GET", StampForm::kIsoDate, 2024, 5, 6, 28800000},
        {"2024-05-06T08:00:00+09:00 GET", StampForm::kIsoDate, 2024, 5, 5, 82800000},
        {"2024-05-06T08:00:00-0700", StampForm::kIsoDate, 2024, 5, 6, 54000000},
        {"2024-05-06T08:00:00", StampForm::kIsoDate, 2024, 5, 6, 28800000},
        {"2024-05-06T08:00:00.123456789Z", StampForm::kBasic, 2024, 5, 6, 28800123},
        {"x 2024-05-06T08:00:00.123456789Z", StampForm::kIsoDate, 2024, 5, 6, 28800123},
        {"081109 203615 148 INFO dfs.DataNode", StampForm::kCompactDate, 2008, 11, 9, 74175000},
        {"081109 203615.5 x", StampForm::kCompactDate, 2008, 11, 9, 74175500},
        {"20171223-22:15:29:606|Step_LSC|30002312", StampForm::kCompactDate, 2017, 12, 23, 80129606},
        {"20171223-22:15:29|x", StampForm::kCompactDate, 2017, 12, 23, 80129000},
        {"20240506T080000Z x", StampForm::kCompactDate, 2024, 5, 6, 28800000},
        {"2005-06-03-15.42.50.675872 R02-M1-N0", StampForm::kDottedTime, 2005, 6, 3, 56570675},
        {"2005-06-03-15.42.50 R02-M1-N0", StampForm::kDottedTime, 2005, 6, 3, 56570000},
        {"[10.30 16:49:06] chrome.exe - proxy", StampForm::kMonthDay, 0, 10, 30, 60546000},
        {"[10.30 16:49:06.120] x", StampForm::kMonthDay, 0, 10, 30, 60546120},
        {"06 May 2024 08:00:00 +0000 x", StampForm::kDayMonth, 2024, 5, 6, 28800000},
        {"06-May-2024 08:00:00.123 x", StampForm::kDayMonth, 2024, 5, 6, 28800123},
        {"<13>Nov  9 12:01:01]", kNo, 0, 0, 0, 0},
        {"Nov 9, 2005 12:01:01 PM x", StampForm::kMonthName, 2005, 11, 9, 43261000},
    };
    CStampRules rules = MoreForms();
    for (const StampCase& c : cases) Check(rules, c);
}

// Lines the line-start recogniser reads keep its stamp, with or without the option (but for
// a zone, which the option applies).
TEST(StampFormsTest, LineStartStampsStayAsTheyAre) {
    Check(MoreForms(), {"2024-05-06T08:00:00.123456+09:00 x", StampForm::kBasic, 2024, 5, 5, 82800123});
    Check(CStampRules(), {"2024-05-06T08:00:00.123456+09:00 x", StampForm::kBasic, 2024, 5, 6, 28800123});
    const StampCase cases[] = {
        {"21/03/04 05:06:07.5 message", StampForm::kBasic, 2021, 3, 4, 18367500},
        {"Mar  4 05:06:07 message", StampForm::kBasic, 0, 3, 4, 18367000},
        {"03/04 05:06:07 1131566461 x", StampForm::kBasic, 0, 3, 4, 18367000},
        // Its fraction at the very end of the bytes counts for nothing, and still does.
        {"2024-05-06T08:00:00.123456789", StampForm::kBasic, 2024, 5, 6, 28800000},
    };
    CStampRules none;
    for (const StampCase& c : cases) {
        Check(MoreForms(), c);
        Check(none, c);
    }
    // Without the option the new forms find nothing.
    Check(none, {"[Sun Dec 04 04:47:44 2005] x", kNo, 0, 0, 0, 0});
    CTimeStamp stamp;
    EXPECT_EQ(0, ReadLineStamp(nullptr, "1131566461 x", 12, &stamp));
}

// A stamp after a prefix starts at a field boundary among the first 128 bytes, and the
// earliest readable one wins over an epoch time; a date without a time is no stamp.
// A stamp that names its zone is kept in UTC, the date moving with it; one without stays as
// written. Zones glued to the time, after a blank, by name, and ones out of range.
TEST(StampFormsTest, ZonesAreApplied) {
    const StampCase cases[] = {
        {"2024-05-06 14:22:01.613Z x", StampForm::kBasic, 2024, 5, 6, 51721613},
        {"2024-05-06 17:22:01.694554+03:00 x", StampForm::kBasic, 2024, 5, 6, 51721694},
        {"x 2024-05-06T17:22:01.694554+0330 y", StampForm::kIsoDate, 2024, 5, 6, 49921694},
        {"2024-05-06 08:00:00 UTC x", StampForm::kBasic, 2024, 5, 6, 28800000},
        {"2024-05-06 08:00:00 JST x", StampForm::kBasic, 2024, 5, 5, 82800000},
        {"2024-05-06 08:00:00.5 CEST x", StampForm::kBasic, 2024, 5, 6, 21600500},
        {"2024-05-06 08:00:00 MSK x", StampForm::kBasic, 2024, 5, 6, 18000000},
        {"x 2024-12-31T23:30:00-05:00 y", StampForm::kIsoDate, 2025, 1, 1, 16200000},
        {"x 2024-01-01T00:30:00+01:00 y", StampForm::kIsoDate, 2023, 12, 31, 84600000},
        {"x 2024-03-01 00:30:00 CET y", StampForm::kIsoDate, 2024, 2, 29, 84600000},
        {"Mar  1 00:30:00 GMT x", StampForm::kBasic, 0, 3, 1, 1800000},
        {"x Mar  1 00:30:00 CET y", StampForm::kMonthName, 0, 2, 28, 84600000},
        {"06 May 2024 08:00:00 -0130 x", StampForm::kDayMonth, 2024, 5, 6, 34200000},
        // No zone, a zone out of range, a word that only begins like a name, a number after a blank.
        {"x 2024-05-06T08:00:00+1500 y", StampForm::kIsoDate, 2024, 5, 6, 28800000},
        {"2024-05-06 08:00:00 UTCx y", StampForm::kBasic, 2024, 5, 6, 28800000},
        {"2024-05-06 08:00:00 ESTIMATE y", StampForm::kBasic, 2024, 5, 6, 28800000},
        {"2024-05-06 08:00:00 -0700 y", StampForm::kBasic, 2024, 5, 6, 28800000},
        {"x 2024-05-06 08:00:00 y", StampForm::kIsoDate, 2024, 5, 6, 28800000},
    };
    CStampRules rules = MoreForms();
    for (const StampCase& c : cases) Check(rules, c);
    // The rows an hour apart in two zones are 81 ms apart.
    CTimeStamp a, b;
    const char* first = "2024-05-06T14:22:01.613Z a";
    const char* second = "2024-05-06T17:22:01.694554+03:00 b";
    ASSERT_EQ(1, ReadLineStamp(&rules, first, static_cast<int>(std::strlen(first)), &a));
    ASSERT_EQ(1, ReadLineStamp(&rules, second, static_cast<int>(std::strlen(second)), &b));
    EXPECT_EQ(81, IntervalAfter(a, b));
}

// A time of day alone leads the line, or follows a process id; it is marked as such, and two
// of them in two zones are their real interval apart.
TEST(StampFormsTest, TimeOfDayAlone) {
    constexpr int kT = CTimeStamp::kTimeOnly;
    const StampCase cases[] = {
        {"08:09:33.814936 execve(\"/bin/ls\", [\"ls\"]) = 0", StampForm::kTimeOnly, 0, kT, 0, 29373814},
        {"478760 12:21:46.284771 open(\"/etc/ld.so.cache\", O_RDONLY) = 3", StampForm::kTimeOnly, 0, kT, 0, 44506284},
        {"00:00:00.000 foo DEBUG", StampForm::kTimeOnly, 0, kT, 0, 0},
        {"[12:21:46] x", StampForm::kTimeOnly, 0, kT, 0, 44506000},
        {"17:22:01.694554+03:00 x", StampForm::kTimeOnly, 0, kT, 0, 51721694},
        {"01:00:00-02:00 x", StampForm::kTimeOnly, 0, kT, 0, 10800000},
        {"23:30:00+01:00 x", StampForm::kTimeOnly, 0, kT, 0, 81000000},
        {"x 12:21:46 y", kNo, 0, 0, 0, 0},
        {"12:21 x", kNo, 0, 0, 0, 0},
        {"24:00:00 x", kNo, 0, 0, 0, 0},
        {"12:21:46x", kNo, 0, 0, 0, 0},
        {"v1 12:21:46 x", kNo, 0, 0, 0, 0},
        // Outranked by a later stamp of each kind of mark: ten digits, two runs of six, a time.
        {"08:09:33.814 x 1710544200.015 y", StampForm::kEpochSeconds, 2024, 3, 15, 83400015},
        {"08:09:33.814 x 240315 101500 y", StampForm::kCompactDate, 2024, 3, 15, 36900000},
        {"08:09:33.814 id=20240315-10:15:00 y", StampForm::kCompactDate, 2024, 3, 15, 36900000},
    };
    for (const StampCase& c : cases) Check(MoreForms(), c);
    Check(CStampRules(), {"08:09:33.814936 x", kNo, 0, 0, 0, 0});
    CStampRules rules = MoreForms();
    CTimeStamp a, b;
    ASSERT_EQ(1, ReadLineStamp(&rules, "14:22:01.613Z a", 15, &a));
    ASSERT_EQ(1, ReadLineStamp(&rules, "17:22:01.694554+03:00 b", 23, &b));
    EXPECT_EQ(81, IntervalAfter(a, b));
}

// Colour codes a program left for a terminal are passed over, inside the stamp too; without
// the further forms the line is read as it is.
TEST(StampFormsTest, ColourCodesAreSkipped) {
    const StampCase cases[] = {
        {"\x1b[32mSep 19 \x1b[0m\x1b[1m\x1b[33m09:24:04 host x", StampForm::kBasic, 0, 9, 19, 33844000},
        {"\x1b[2m2024-05-06 08:00:00.5\x1b[0m INFO x", StampForm::kBasic, 2024, 5, 6, 28800500},
        {"INFO \x1b[36m2024-05-06T08:00:00Z\x1b[K x", StampForm::kIsoDate, 2024, 5, 6, 28800000},
        {"\x1b[31m\x1b[ x y 08:00:00", kNo, 0, 0, 0, 0},
        {"\x1b[32", kNo, 0, 0, 0, 0},
    };
    for (const StampCase& c : cases) Check(MoreForms(), c);
    Check(CStampRules(), {"\x1b[2m2024-05-06 08:00:00.5\x1b[0m INFO x", kNo, 0, 0, 0, 0});
    // The code found wherever it stands among the bytes looked at, in lines of every length.
    for (int width = 0; width < 100; ++width) {
        std::string line = std::string(static_cast<size_t>(width), 'x') + " \x1b[0m2024-05-06T08:00:00Z x";
        Check(MoreForms(), {line.c_str(), StampForm::kIsoDate, 2024, 5, 6, 28800000});
        line = std::string(static_cast<size_t>(width), 'x') + " 2024-05-06T08:00\x1b[1m:05Z";
        Check(MoreForms(), {line.c_str(), StampForm::kIsoDate, 2024, 5, 6, 28805000});
        // A time alone at the lead outranked by that stamp, once the codes are left out.
        line = "08:09:33.814 " + line;
        Check(MoreForms(), {line.c_str(), StampForm::kIsoDate, 2024, 5, 6, 28805000});
    }
}

TEST(StampFormsTest, StampAfterAPrefix) {
    std::string far(120, 'x');
    std::string tooFar(140, 'x');
    std::string farLine = far + " 2017-05-16 00:00:01 x";
    std::string tooFarLine = tooFar + " 2017-05-16 00:00:01 x";
    const StampCase cases[] = {
        {"name.log.1.2017-05-16_13:53:08 2017-05-16 00:00:00.008 6705 INFO", StampForm::kIsoDate, 2017, 5, 16, 8},
        {"- 1131566461 2005.11.09 host Nov 9 12:01:01 src@host", StampForm::kMonthName, 0, 11, 9, 43261000},
        {"- 1117838570 2005.06.03 R02 2005-06-03-15.42.50.675872 R02 RAS", StampForm::kDottedTime, 2005, 6, 3,
         56570675},
        {"INFO|2024-05-06 08:00:00,5|main", StampForm::kIsoDate, 2024, 5, 6, 28800500},
        {"host\t[2024/05/06 08:00:00] x", StampForm::kIsoDate, 2024, 5, 6, 28800000},
        {"user=x@2024-05-06T08:00:00Z", kNo, 0, 0, 0, 0},  // not at a field boundary
        // Key=value, quoted, colon-separated and parenthesised fields.
        {"time=\"2021-09-15T21:17:10.220731Z\" level=info msg=x", StampForm::kIsoDate, 2021, 9, 15, 76630220},
        {"t=2025-04-24T19:51:48.520963849Z lvl=info", StampForm::kIsoDate, 2025, 4, 24, 71508520},
        {"MainThread::INFO::2011-12-05 07:04:56,101::dispatcher::94::", StampForm::kIsoDate, 2011, 12, 5, 25496101},
        {"\"2017-06-28\" \"07:26:35\" 1.2.3.4", StampForm::kIsoDate, 2017, 6, 28, 26795000},
        {"(2022-06-08  8:52:40): [be[ipa]]", StampForm::kIsoDate, 2022, 6, 8, 31960000},
        {"HsmService:2021-05-19 17:36:35,978[MainThread]", StampForm::kIsoDate, 2021, 5, 19, 63395978},
        {"version=1.2.3, addr=10.0.0.1:8080, ratio=3:4 at 12:00", kNo, 0, 0, 0, 0},
        {farLine.c_str(), StampForm::kIsoDate, 2017, 5, 16, 1000},
        {tooFarLine.c_str(), kNo, 0, 0, 0, 0},
        {"2005.11.09 host message", kNo, 0, 0, 0, 0},
        {"[2024-05-06] x 2024-05-06 x", kNo, 0, 0, 0, 0},
        {"build 20240506 done", kNo, 0, 0, 0, 0},
        {"Jun 14 host message", kNo, 0, 0, 0, 0},
        {"at 12:00:00 only a time", kNo, 0, 0, 0, 0},
    };
    CStampRules rules = MoreForms();
    for (const StampCase& c : cases) Check(rules, c);
}

void SetZone(const char* zone) {
#ifdef _WIN32
    _putenv_s("TZ", zone);
    _tzset();
#else
    setenv("TZ", zone, 1);
    tzset();
#endif
}

// Epoch seconds (with a fraction) and milliseconds between 2000 and 2100, shown in UTC
// whatever the local zone; numbers that only look like them do not count, and a stamp later
// in the line wins only over bare seconds.
TEST(StampFormsTest, EpochTimesAndLookAlikes) {
    SetZone("JST-9");
    const StampCase cases[] = {
        {"1131566461 message", StampForm::kEpochSeconds, 2005, 11, 9, 72061000},
        {"1157689312.049   5006 10.105.21.199 TCP_MISS/200", StampForm::kEpochSeconds, 2006, 9, 8, 15712049},
        {"[1700000000123] x", StampForm::kEpochMilliseconds, 2023, 11, 14, 80000123},
        {"id=7 | 1000000000.000", StampForm::kEpochSeconds, 2001, 9, 9, 6400000},
        {"x 1697048351.000001 y", StampForm::kEpochSeconds, 2023, 10, 11, 65951000},
        {"| 1697048351.123456789 y", StampForm::kEpochSeconds, 2023, 10, 11, 65951123},
        // One that plainly is an epoch time is the line's stamp at its start, whatever stamp
        // follows (a query's, a traced write's); bare seconds or another fraction are not.
        {"1710544200.015 GET /?since=2024-03-15T10:00:00Z", StampForm::kEpochSeconds, 2024, 3, 15, 83400015},
        {"[1700000000123] 2024-05-06 08:00:00 x", StampForm::kEpochMilliseconds, 2023, 11, 14, 80000123},
        {"1131566461 2024-05-06 08:00:00 x", StampForm::kIsoDate, 2024, 5, 6, 28800000},
        {"1157689312.04912 2024-05-06 08:00:00 x", StampForm::kIsoDate, 2024, 5, 6, 28800000},
        // Ids, counts and limits beyond the first field are no epoch times.
        {"id=7 | 1000000000", kNo, 0, 0, 0, 0},
        {"x 1697048351.12 y", kNo, 0, 0, 0, 0},
        {"x [1700000000123] y", kNo, 0, 0, 0, 0},
        {"hostprofile[1001430319] started", kNo, 0, 0, 0, 0},
        {"    estimatedCost = 2147483647;", kNo, 0, 0, 0, 0},
        {"4102444799 x", StampForm::kEpochSeconds, 2099, 12, 31, 86399000},
        {"4102444799999 x", StampForm::kEpochMilliseconds, 2099, 12, 31, 86399999},
        {"0946684800000 x", StampForm::kEpochMilliseconds, 2000, 1, 1, 0},
        {"0946684799999 x", kNo, 0, 0, 0, 0},
        {"4102444800 x", kNo, 0, 0, 0, 0},
        {"4102444800000 x", kNo, 0, 0, 0, 0},
        {"0946684799 x", kNo, 0, 0, 0, 0},  // ten digits before 2000
        {"9999999999 x", kNo, 0, 0, 0, 0},
        {"id 12345678901 x", kNo, 0, 0, 0, 0},
        {"user1131566461 x", kNo, 0, 0, 0, 0},
        {"1131566461x", kNo, 0, 0, 0, 0},
        {"version 1.2.3 12:00:00 x", kNo, 0, 0, 0, 0},
        {"10.0.0.1 12:00:00 connect", kNo, 0, 0, 0, 0},
        {"192.168.1.10 - - GET 2.4.41", kNo, 0, 0, 0, 0},
        {"v10.30 16:49:06", kNo, 0, 0, 0, 0},
        {"101 2024-13-06 08:00:00", kNo, 0, 0, 0, 0},
        {"x 2024-05-06 24:00:00", kNo, 0, 0, 0, 0},
        {"x 2024-05-06 08:60:00", kNo, 0, 0, 0, 0},
        {"x Foo 06 08:00:00", kNo, 0, 0, 0, 0},
        {"Marching 12 08:00:00", kNo, 0, 0, 0, 0},
    };
    CStampRules rules = MoreForms();
    for (const StampCase& c : cases) Check(rules, c);
    SetZone("UTC0");
}

// The day kept from one epoch time to the next gives the date a fresh read gives: on the
// same day, at its last and first millisecond, across a leap day and the century's ends, and
// going back.
TEST(StampFormsTest, EpochDayKeptAgreesWithAFreshRead) {
    constexpr uint64_t kDay = 86400000;
    const uint64_t days[] = {10957, 11016, 11017, 19782, 19783, 47481, 47482, 19782, 10957};
    CEpochDay kept;
    int read = 0;
    for (uint64_t day : days) {
        for (uint64_t ms : {day * kDay - 1, day * kDay, day * kDay + 1, day * kDay + kDay / 2, day * kDay + kDay - 1}) {
            CTimeStamp fresh, withKept;
            int want = EpochStamp(ms, &fresh);
            ASSERT_EQ(want, EpochStamp(ms, &withKept, &kept)) << ms;
            EXPECT_TRUE(fresh == withKept) << ms;
            read += want;
        }
    }
    EXPECT_EQ(39, read);  // of 45: not the millisecond before 2000 (twice), nor the four from 2100 on
}

// The fast search found what the plain search found: the same form, place and stamp.
void ExpectSameMatch(const CStampMatch& plain, const CStampMatch& fast, const std::string& line) {
    EXPECT_EQ(plain.form, fast.form) << line;
    EXPECT_EQ(plain.offset, fast.offset) << line;
    EXPECT_TRUE(plain.stamp == fast.stamp) << line;
}

// The search in its plainest form: every form at the first non-blank byte and after every
// field boundary (blank, tab, "[", "|", "=", quote, "(", ":", ",") among the first bytes, the earliest first; then the
// epoch times, bare ones only at the first field or just inside a bracket or bar that opens it.
int PlainSearch(const char* bytes, int length, CStampMatch* match) {
    *match = CStampMatch();
    int limit = length < kStampSearchBytes ? length : kStampSearchBytes;
    int first = 0;
    while (first < limit && (bytes[first] == ' ' || bytes[first] == '\t')) ++first;
    int lead = first + 1 < limit && (bytes[first] == '[' || bytes[first] == '|') ? first + 1 : first;
    auto isPlace = [&](int at) {
        char before = at > 0 ? bytes[at - 1] : 0;
        return at == first || (at > first && before != 0 && std::strchr(" \t[|=\"(:,", before) != nullptr);
    };
    // An epoch time at the lead that plainly is one (13 digits, or seconds with a fraction of
    // 3, 6 or 9 digits) is the line's stamp.
    int run = 0;
    while (lead + run < length && run < 14 && bytes[lead + run] >= '0' && bytes[lead + run] <= '9') ++run;
    if (lead < limit && ReadEpochAt(bytes, length, lead, true, match)) {
        bool fraction = run == 10 && lead + 10 < length && bytes[lead + 10] == '.';
        int places = 0;
        while (fraction && lead + 11 + places < length && bytes[lead + 11 + places] >= '0' &&
               bytes[lead + 11 + places] <= '9') {
            ++places;
        }
        if (run == 13 || places == 3 || places == 6 || places == 9) return 1;
        *match = CStampMatch();
    }
    for (int at = first; at < limit; ++at) {
        if (isPlace(at) && ReadStampFormAt(bytes, length, at, CFieldShape(), match)) return 1;
    }
    for (int at = first; at < limit; ++at) {
        if (isPlace(at) && ReadEpochAt(bytes, length, at, at == lead, match)) return 1;
    }
    return 0;
}

// Lines built from stamps of every form, epoch times, look-alikes, digit runs of every
// length, names, separators and bytes beyond ASCII, at every distance from the line start
// (across the steps in which the search classifies bytes and its end at 128): the search and
// the plain one find the same stamp at the same place, whatever hint the search is given.
TEST(StampFormsTest, SearchAgreesWithThePlainSearch) {
    // Stamps of every form, epoch times and look-alikes, one a line.
    const std::string list =
        "2024-05-06T08:00:00.123+09:00\n2024-05-06 08:00:00\n21/03/04 05:06:07\n[10/Oct/2000:13:55:36 -0700]\n"
        "Sun Dec 04 04:47:44 2005\nWed Jan 03 10:00:00 2024\nthu apr 3 10:00:00 2024\nTue Jun 4 10:00:00 2024\n"
        "fri feb 2 10:00:00 2024\nMon Jul 1 10:00:00 2024\nSAT MAR 2 10:00:00 2024\nNov  9 12:01:01\n"
        "Nov 9, 2005 12:01:01\nAug 31 23:59:59\nOct 1 00:00:00\nSep 10 10:00:00\n06 May 2024 08:00:00\n"
        "06-May-2024 08:00:00.5\n081109 203615\n20171223-22:15:29:606\n2005-06-03-15.42.50.675872\n"
        "10.30 16:49:06\n20240506T080000Z\n1131566461\n1157689312.049\n1700000000123\n0946684799\n4102444800\n"
        "Thu Jun 2 00:01:01 UTC 2022\n1157689312.049123\n1157689312.04912\nI0517 15:04:22.619642\n"
        "E20200308 23:47:32.08\nW1231 1:02:03\n28/Jun/2017 07:28:59\n20120702.102240,672\n2012-025T10:22:40\n"
        "Mar-18 21:41:15.684\n13 Apr 12:52:30.731\n2024\xE5\xB9\xB4"
        "5\xE6\x9C\x88"
        "6\xE6\x97\xA5 8:00:00\n"
        "5\x8C\x8E 19 11:08:37\n20171223-7:5:42:19\n20171223-22:9:9:99\n20171223-1:2:3.4\n"
        "9999999999.\n1.2.3\n10.0.0.1\n2024-13-06\n24:00:00\n08:60:00\n1:23:45\nMarching\nSunday\nFoo\n"
        "2005.11.09\n20240506\n12:00:00\n2024-05-06\nINFO\na:b\n\xE3\x81\x82\n\x7F\nT\nZ\n+0900\nMay\nDec 04\n"
        "12:00\n5:06:07\nv2.10.3\n192.168.1.1:8080\n1.2.3.4\n3.14159\n2024.05.06\n1700000000\n"
        "17000000001234\n1999999999\n2005-06-03-15.42\n20240506-\n[10.30\n12:21:10.30\n08:09:33.814936\n"
        "23:59:06 May\n[12:21:46.5\n478760 12:21:46.284771\n23:10:00.12.05\n08:09:33,5\n12:00:00+09:00\n|1:02:03\n"
        "08:09:33.814936+09:06 May 2024 08:00:00\n";
    std::vector<std::string> pieces;
    for (size_t at = 0, end; (end = list.find('\n', at)) != std::string::npos; at = end + 1) {
        pieces.push_back(list.substr(at, end - at));
    }
    const char* const separators[] = {" ", "  ", "\t", "[", "|", "",   "-", ":",     ",", ".",
                                      "T", "_",  "]",  "/", "=", "\"", "(", "\" \"", "::"};
    std::mt19937 rng(2612);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    int found = 0;
    int timesAlone = 0;
    CStampHint carried;
    for (int round = 0; round < 60000; ++round) {
        std::string line(static_cast<size_t>(pick(4) == 0 ? pick(140) : pick(3)), pick(2) == 0 ? ' ' : 'x');
        if (!line.empty() && line[0] == 'x') line += ' ';
        for (int k = pick(8); k >= 0; --k) {
            if (pick(3) == 0) {
                for (int d = 1 + pick(14); d > 0; --d) line += static_cast<char>('0' + pick(10));
            } else {
                line += pieces[static_cast<size_t>(pick(static_cast<int>(pieces.size())))];
            }
            line += separators[pick(static_cast<int>(sizeof separators / sizeof *separators))];
        }
        // An exact allocation, so that a read past the line's end is caught.
        int length = static_cast<int>(line.size());
        std::unique_ptr<char[]> bytes(new char[line.size() + (line.empty() ? 1 : 0)]);
        std::memcpy(bytes.get(), line.data(), line.size());
        CStampMatch plain;
        int want = PlainSearch(bytes.get(), length, &plain);
        found += want;
        // And a time alone after them, as a line's stamp is looked for.
        CStampMatch plainOrTime = plain;
        int wantOrTime = want != 0 ? 1 : ReadTimeOnly(bytes.get(), length, &plainOrTime);
        timesAlone += wantOrTime - want;
        // Without a hint, with the one the lines before left, and with one that points
        // anywhere (the date cache with it may hold any day).
        CStampHint anywhere = carried;
        anywhere.offset = pick(140) - 4;
        CStampHint* hints[] = {nullptr, &carried, &anywhere};
        for (CStampHint* hint : hints) {
            CStampMatch fast;
            ASSERT_EQ(want, ParseStampForms(bytes.get(), length, &fast, hint)) << line;
            ExpectSameMatch(plain, fast, line);
            ASSERT_EQ(wantOrTime, ParseStampFormsOrTime(bytes.get(), length, &fast, hint)) << line;
            ExpectSameMatch(plainOrTime, fast, line);
        }
    }
    EXPECT_GT(found, 10000);
    EXPECT_GT(timesAlone, 500);
    // Lines of blanks alone, with a hint at or beyond their end.
    for (int n = 1; n <= 140; ++n) {
        std::string blanks(static_cast<size_t>(n), n % 2 == 0 ? ' ' : '\t');
        for (int offset : {n - 1, n, n + 3}) {
            CStampHint hint;
            hint.offset = offset;
            CStampMatch match;
            EXPECT_EQ(0, ParseStampForms(blanks.data(), n, &match, &hint)) << n;
        }
    }
}

// Lines whose stamp stands where the last line's began, after beginnings of one length that
// start nothing (the same as the last line's, or other bytes) or that start a stamp, an epoch
// time or a number some form begins with: each finds what the plain search finds, whatever
// lines came before it.
TEST(StampFormsTest, AStampWhereTheLastOneBeganAfterBeginningsOfOneLength) {
    const char* const beginnings[] = {
        "node-07 app[1015]: ", "node-08 app[2016]: ", "db-1 worker[7]  x: ", "node-07 app[1015] :",
        "Mar 15 23:10:00 a: ", "1710544200.015 a]: ", "x 240315 231000  : ", "I0517 15:04:22.61  ",
        "x 12 ab[1015]  cd: ", "[12:21:46.123]  x: ", "Fri Mar 15 23:10 : ", "x 06 May 2024 a  : "};
    const char* const stamps[] = {"2024-03-15 23:10:00.015 x", "2024-03-15T23:10:00Z x", "Mar 15 23:10:01 x", "oops"};
    std::mt19937 rng(34);
    CStampHint carried;
    int found = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string line = beginnings[rng() % (sizeof beginnings / sizeof *beginnings)];
        ASSERT_EQ(19u, line.size());
        line += stamps[rng() % 4 == 0 ? 1 + rng() % 3 : 0];
        CStampMatch plain, fast;
        int length = static_cast<int>(line.size());
        int want = PlainSearch(line.data(), length, &plain);
        if (want == 0) want = ReadTimeOnly(line.data(), length, &plain);
        found += want;
        ASSERT_EQ(want, ParseStampFormsOrTime(line.data(), length, &fast, &carried)) << line;
        ExpectSameMatch(plain, fast, line);
    }
    EXPECT_GT(found, 15000);
}

// Lines of a shape a quick read is made for: a lead, a stamp, a tail, and the bytes near
// misses are made of.
struct QuickShape {
    std::vector<std::string> leads, stamps, tails;
    std::string bytes;
};

// One such line or a near miss of it (a byte or two changed, the line cut short), in an
// allocation of its own so that a read past its end is caught; *length its length.
std::unique_ptr<char[]> NearMiss(const QuickShape& shape, std::mt19937& rng, std::string* line, int* length) {
    auto pick = [&rng](const std::vector<std::string>& list) { return list[rng() % list.size()]; };
    *line = pick(shape.leads) + pick(shape.stamps) + pick(shape.tails);
    for (int k = static_cast<int>(rng() % 3); k > 0; --k) {
        (*line)[rng() % line->size()] = shape.bytes[rng() % shape.bytes.size()];
    }
    *length = static_cast<int>(rng() % 5 == 0 ? rng() % (line->size() + 1) : line->size());
    line->resize(static_cast<size_t>(*length));
    std::unique_ptr<char[]> copy(new char[line->empty() ? 1 : line->size()]);
    std::memcpy(copy.get(), line->data(), line->size());
    return copy;
}

// The quick reads (an access log's bracket, a time that leads the line, an ISO stamp), on
// lines of their shapes and near misses of them: the search finds what the plain search
// finds, and a time alone after it, with a hint carried from line to line and without; the
// access-log and ISO reads alone, when they answer, answer the same.
TEST(StampFormsTest, QuickReadsAgreeWithThePlainSearch) {
    const QuickShape access = {{"10.0.15.15 - - ",
                                "127.0.0.1 - frank ",
                                "  1.22.3.255 - - ",
                                "",
                                "x",
                                "host.a-b - ",
                                "10.0.15 - - ",
                                "1000.0.0.1 ",
                                "10.0.0.1.5 ",
                                "Mar ",
                                "fri - ",
                                "1131566461 ",
                                "12:00:00 ",
                                "10.0.0.1:80 ",
                                "20.10.30 ",
                                "- [",
                                "\t|x ",
                                "06.05.24 ",
                                "t=2024-05-06T08:00:00Z ",
                                "10.1.15T08:00:00 "},
                               {"[06/May/2024:08:00:00 +0900]", "[31/Dec/2099:23:59:59 -0130]",
                                "[01/Jan/2000:00:00:00 +1400]", "[10/Oct/2000:13:55:36 -0700] "},
                               {" \"GET / HTTP/1.1\" 200", ""},
                               "0123456789/:+- []JanMyDcx.,\t"};
    const QuickShape times = {
        {"", " ", "[", "478760 "},
        {"23:10:00.015015", "08:09:33,5", "00:00:00.1234567890123456", "23:59:59.999Z", "12:00:00.5+09:00", "12:00:00",
         "12:00:00.", "7:05:06.5", "23:10:00.12.05", "23:10:001", "24:10:00.5", "12:00:00.5-0700", "23:10:12.05",
         "23:10:12.050"},
        {" INFO  [worker-7] d253470a GET /api/v2/orders/7380969 done in 247 ms, status=200", " x", "", "\r\n", "Z x",
         ".5 x", " 20240506 081109 203615", " 16:49:06 x", " 1700000000 x", " 1157689312.049 x"},
        "0123456789:.,+-Z x"};
    const QuickShape iso = {
        {"", "x ", "time=\"", "| ", "[", "1131566461 "},
        {"2024-05-06T08:00:00.123Z", "2024-05-06 08:00:00,5", "2024-03-15T23:10:00+09:00", "2024-03-15T23:10:00-0700",
         "2099-12-31T23:59:59.999999999-14:59", "2024-05-06T08:00:00.", "2024-05-06T08:00:00.1234567890123456789Z",
         "2024-12-31 23:30:00 JST", "2024-01-01T00:30:00+01:00", "2024-05-06T08:00:00-07"},
        {"", "\" x", " INFO x", "Z", "x", "}", " UTC", "+1500", "\t", " CESTx", "-0000 x"},
        "0123456789-T:.,Z+ \"xJ"};
    const QuickShape compact = {
        {"", "x ", "[", "1131566461 ", "240315 "},
        {"240315 231000", "20240315 231000", "081109 203615", "20241315 231000", "240315 236000", "240315 231000.5",
         "240315 2310001", "2403151 231000", "240315  231000", "240315T231000", "20171223-22:15:29:606"},
        {"", " INFO x", " UTC", " JST x", "Z", "+0900", "-0700 x", "\t", " CESTx", ":x", "x", ",5"},
        "0123456789 T:.,Z+-x"};
    const QuickShape named = {
        {"", "[", "x ", "1700000000 "},
        {"Fri Mar 15 23:10:00.015 2024", "sun dec  4 04:47:44 2005", "THU JUN  2 00:01:01 UTC 2022",
         "Fri Mar 15 23:10:00 20245", "Wed Feb 30 24:00:00,5 1999", "Friday Mar 15 23:10:00 2024",
         "Fri Mar 15 23:10:00.015  2024", "Sat Apr 27 03:33:07 PDT 2013", "I0315 23:10:00.015015",
         "E20200308 23:47:32.089828", "W0315  9:10:00", "F1231 23:59:59.", "I031 23:10:00", "I0315 23:10:00+0900"},
        {"", "] INFO x", " JST", " UTCx", "Z", "\t", "1", " 1555 logging.cc:259] x", ".5 x"},
        "0123456789 :.,+-ZIEFa"};
    const QuickShape* const shapes[] = {&access, &times, &iso, &compact, &named};
    std::mt19937 rng(3411);
    int quick = 0, timesAlone = 0, isoQuick = 0;
    int otherQuick[3] = {};
    CStampHint carried;
    for (int round = 0; round < 150000; ++round) {
        std::string line;
        int length = 0;
        std::unique_ptr<char[]> bytes = NearMiss(*shapes[round % 5], rng, &line, &length);
        CStampMatch plain, fast;
        int want = PlainSearch(bytes.get(), length, &plain);
        if (QuickAccessLog(bytes.get(), length, &fast)) {
            ++quick;
            ASSERT_EQ(1, want) << line;
            ExpectSameMatch(plain, fast, line);
        }
        // The ISO read at every place, where it answers, as the readers answer there.
        for (int at = 0; at < length; ++at) {
            CTimeStamp stamp;
            if (!QuickIsoDate(bytes.get(), length, at, &stamp)) continue;
            ++isoQuick;
            ASSERT_EQ(1, ReadStampFormAt(bytes.get(), length, at, CFieldShape(), &fast)) << line << " at " << at;
            EXPECT_EQ(StampForm::kIsoDate, fast.form) << line << " at " << at;
            EXPECT_TRUE(stamp == fast.stamp) << line << " at " << at;
        }
        // The other quick reads likewise, beside the readers given the place's digits and the byte after.
        using QuickRead = int (*)(const char*, int, int, CTimeStamp*);
        const std::pair<QuickRead, StampForm> reads[] = {{QuickCompactDate, StampForm::kCompactDate},
                                                         {QuickCLibrary, StampForm::kCLibrary},
                                                         {QuickGlog, StampForm::kGlog}};
        for (int at = 0; at < length; ++at) {
            for (const auto& read : reads) {
                CTimeStamp stamp;
                if (!read.first(bytes.get(), length, at, &stamp)) continue;
                ++otherQuick[static_cast<int>(&read - reads)];
                CFieldShape shape;
                shape.run = DigitsAt(bytes.get() + at, length - at);
                shape.after = at + shape.run < length ? bytes[at + shape.run] : '\0';
                ASSERT_EQ(1, ReadStampFormAt(bytes.get(), length, at, shape, &fast)) << line << " at " << at;
                EXPECT_EQ(read.second, fast.form) << line << " at " << at;
                EXPECT_TRUE(stamp == fast.stamp) << line << " at " << at;
            }
        }
        int wantOrTime = want != 0 ? 1 : ReadTimeOnly(bytes.get(), length, &plain);
        timesAlone += wantOrTime - want;
        for (CStampHint* hint : {static_cast<CStampHint*>(nullptr), &carried, &carried}) {
            ASSERT_EQ(wantOrTime, ParseStampFormsOrTime(bytes.get(), length, &fast, hint)) << line;
            ExpectSameMatch(plain, fast, line);
        }
    }
    EXPECT_GT(quick, 4000);
    EXPECT_GT(timesAlone, 10000);
    EXPECT_GT(isoQuick, 8000);
    EXPECT_GT(otherQuick[0], 4000);
    EXPECT_GT(otherQuick[1], 1000);
    EXPECT_GT(otherQuick[2], 1000);
}

// Stamps that begin among the first 128 bytes and end beyond them (a compact time after many
// blanks, a time after a weekday and a month), or begin just beyond them, with an epoch time
// before them or none: the search finds what the plain search finds, at every width around
// the end of those bytes.
TEST(StampFormsTest, StampsThatReachPastTheFirstBytes) {
    const std::string blanks(30, ' ');
    const std::string stamps[] = {
        "20240506" + blanks + "080000",          "081109 203615",  "20240506 x 080000", "2005-06-03-15.42.50",
        "Sun Dec 04" + blanks + "04:47:44 2005", "10.30 16:49:06", "1700000000123",     "12:00:00"};
    int found = 0;
    for (std::string head : {"", "1700000000 "}) {
        for (int width = 60; width <= 130; ++width) {
            for (const std::string& stamp : stamps) {
                std::string line = head + std::string(static_cast<size_t>(width), 'x') + " " + stamp;
                line += " and a message long enough to go on past the first bytes";
                int length = static_cast<int>(line.size());
                CStampMatch plain, fast;
                int want = PlainSearch(line.data(), length, &plain);
                ASSERT_EQ(want, ParseStampForms(line.data(), length, &fast)) << line;
                EXPECT_EQ(plain.form, fast.form) << line;
                EXPECT_EQ(plain.offset, fast.offset) << line;
                found += want;
            }
        }
    }
    EXPECT_GT(found, 200);
}

struct PatternCase {
    const char* pattern;
    const char* line;
    int found;
    int year, month, day;
    uint32_t ms;
};

// User patterns: tried before the built-in forms, at their field or byte offset.
TEST(StampPatternTest, GoodPatternsMatchAtTheirPlace) {
    const PatternCase cases[] = {
        {"%d/%b/%Y:%H:%M:%S", "10/oct/2000:13:55:36 x", 1, 2000, 10, 10, 50136000},
        {"#3:%Y%m%d %H%M%S.%f", "a b 20240506 080000.25 x", 1, 2024, 5, 6, 28800250},
        {"#3:%Y%m%d %H%M%S.%f", "a  b\t20240506   080000.25 x", 1, 2024, 5, 6, 28800250},
        {"#3:%Y%m%d %H%M%S", "a 20240506 080000 x", 0, 0, 0, 0, 0},
        {"@4:%H:%M:%S", "abc 08:00:01 x", 1, 0, 1, 1, 28801000},
        {"@4:%H:%M:%S", "abcd 08:00:01 x", 0, 0, 0, 0, 0},
        {"%a, %d %b %Y %H:%M:%S %z", "Mon, 06 May 2024 08:00:00 +0900", 1, 2024, 5, 6, 28800000},
        {"%% %m-%d %H:%M:%S", "% 05-06 08:00:00", 1, 0, 5, 6, 28800000},
        {"T%H.%M.%S", "T08.00.00", 1, 0, 1, 1, 28800000},
        {"%Y-%m-%d %H:%M:%S", "2024-02-31 08:00:00", 1, 2024, 2, 31, 28800000},
        {"%Y-%m-%d %H:%M:%S", "2024-13-01 08:00:00", 0, 0, 0, 0, 0},
    };
    for (const PatternCase& c : cases) {
        CStampPattern pattern;
        StampPatternError error;
        ASSERT_EQ(1, pattern.Compile(c.pattern, &error)) << c.pattern << ": " << StampPatternErrorText(error);
        CTimeStamp stamp;
        ASSERT_EQ(c.found, pattern.Match(c.line, static_cast<int>(std::strlen(c.line)), &stamp)) << c.pattern;
        EXPECT_EQ(c.year, stamp.year) << c.pattern;
        EXPECT_EQ(c.month, stamp.month) << c.pattern;
        EXPECT_EQ(c.day, stamp.day) << c.pattern;
        EXPECT_EQ(c.ms, stamp.milliseconds) << c.pattern;
    }
}

TEST(StampPatternTest, BadPatternsAreRefusedWithAReason) {
    const struct {
        const char* pattern;
        StampPatternError error;
    } cases[] = {
        {"", StampPatternError::kEmpty},
        {"%Y-%m-%d %H:%M:%q", StampPatternError::kUnknownConversion},
        {"%H:%M:%S %", StampPatternError::kTrailingPercent},
        {"%H:%M:%S %H", StampPatternError::kRepeated},
        {"%Y-%m-%d", StampPatternError::kNoTime},
        {"%H:%M", StampPatternError::kNoTime},
        {"%d %H:%M:%S", StampPatternError::kIncompleteDate},
        {"%Y %H:%M:%S", StampPatternError::kIncompleteDate},
        {"#0:%H:%M:%S", StampPatternError::kBadPlace},
        {"#2%H:%M:%S", StampPatternError::kBadPlace},
        {"@5000:%H:%M:%S", StampPatternError::kBadPlace},
    };
    for (const auto& c : cases) {
        CStampPattern pattern;
        StampPatternError error = StampPatternError::kNone;
        EXPECT_EQ(0, pattern.Compile(c.pattern, &error)) << c.pattern;
        EXPECT_EQ(c.error, error) << c.pattern;
        EXPECT_STRNE("", StampPatternErrorText(error));
        CTimeStamp stamp;
        EXPECT_EQ(0, pattern.Match("2024-05-06 08:00:00 x", 21, &stamp));
    }
    CStampPattern pattern;
    EXPECT_EQ(0, pattern.Compile(std::string(129, 'x').c_str()));
    CStampRules rules;
    EXPECT_EQ(0, rules.AddPattern(pattern));
}

// The user's patterns come after the line-start recogniser and before the built-in forms.
TEST(StampPatternTest, PatternsComeBeforeBuiltInForms) {
    CStampRules rules = MoreForms();
    CStampPattern pattern;
    ASSERT_EQ(1, pattern.Compile("#2:%H:%M:%S"));
    ASSERT_EQ(1, rules.AddPattern(pattern));
    Check(rules, {"1131566461 08:00:01 x", StampForm::kPattern, 0, 1, 1, 28801000});
    Check(rules, {"2021-03-04 05:06:07 08:00:01 x", StampForm::kBasic, 2021, 3, 4, 18367000});
    Check(rules, {"1131566461 x", StampForm::kEpochSeconds, 2005, 11, 9, 72061000});
    rules.moreForms = false;
    Check(rules, {"1131566461 x", kNo, 0, 0, 0, 0});
    Check(rules, {"x 08:00:01", StampForm::kPattern, 0, 1, 1, 28801000});
}

}  // namespace

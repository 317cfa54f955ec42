// Time-stamp recognition (accepted and rejected forms) and the interval rule.
#include "stamps/time_stamp.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

namespace {

struct Parsed {
    int ok;
    CTimeStamp ts;
};

Parsed P(const std::string& line) {
    Parsed p;
    p.ok = ParseTimeStamp(line.data(), static_cast<int>(line.size()), &p.ts);
    return p;
}

void ExpectStamp(const std::string& line, int year, int month, int day, uint32_t ms) {
    Parsed p = P(line);
    ASSERT_EQ(1, p.ok) << line;
    EXPECT_EQ(year, p.ts.year) << line;
    EXPECT_EQ(month, p.ts.month) << line;
    EXPECT_EQ(day, p.ts.day) << line;
    EXPECT_EQ(ms, p.ts.milliseconds) << line;
}

void ExpectRejected(const std::string& line) {
    Parsed p = P(line);
    EXPECT_EQ(0, p.ok) << line;
    EXPECT_FALSE(p.ts.HasDate()) << line;
    EXPECT_EQ(0u, p.ts.milliseconds) << line;
}

TEST(ParseTimeStampTest, AcceptedForms) {
    ExpectStamp("2021-03-04 05:06:07,089 message", 2021, 3, 4, 18367089);
    ExpectStamp("2021-03-04T05:06:07.089 message", 2021, 3, 4, 18367089);
    ExpectStamp("2021 . 03 . 04  05 : 06 : 07 message", 2021, 3, 4, 18367000);
    ExpectStamp("2021_03_04 05:06:07 message", 2021, 3, 4, 18367000);
    ExpectStamp("03/04 05:06:07 message", 0, 3, 4, 18367000);
    ExpectStamp("Mar  4 05:06:07 message", 0, 3, 4, 18367000);
    ExpectStamp("\t 2021-03-04 05:06:07 message", 2021, 3, 4, 18367000);
    ExpectStamp("21-3-4 5:6:7 text", 2021, 3, 4, 18367000);
    ExpectStamp("2021-03-04 - 05:06:07 x", 2021, 3, 4, 18367000);
    ExpectStamp("Feb 30 00:00:00 text", 0, 2, 30, 0);
    ExpectStamp("Dec 31 23:59:59 x", 0, 12, 31, 86399000);
    // Three or more year digits are kept as written.
    ExpectStamp("121-03-04 05:06:07 x", 121, 3, 4, 18367000);
}

// The fraction is a decimal fraction of a second, truncated to milliseconds.
TEST(ParseTimeStampTest, FractionIsDecimal) {
    ExpectStamp("21/03/04 05:06:07.5 message", 2021, 3, 4, 18367500);
    ExpectStamp("2021-03-04 05:06:07,089 x", 2021, 3, 4, 18367089);
    ExpectStamp("2021-03-04 05:06:07.123456 x", 2021, 3, 4, 18367123);
    ExpectStamp("2021-03-04 05:06:07.999999999999 x", 2021, 3, 4, 18367999);
    ExpectStamp("2021-03-04 05:06:07.12\r\n", 2021, 3, 4, 18367120);
    // Digits after the seconds and a blank are not a fraction.
    ExpectStamp("05/06 05:06:07 1234 [main]", 0, 5, 6, 18367000);
    // A fraction whose digits end the bytes does not count.
    ExpectStamp("2021-03-04 05:06:07.089", 2021, 3, 4, 18367000);
}

TEST(ParseTimeStampTest, LineEndAfterSeconds) {
    ExpectRejected("2021-03-04 05:06:07");
    ExpectStamp("2021-03-04 05:06:07\r\n", 2021, 3, 4, 18367000);
    ExpectStamp("2021-03-04 05:06:07\n", 2021, 3, 4, 18367000);
    ExpectStamp("2021-03-04 05:06:07 ", 2021, 3, 4, 18367000);
}

TEST(ParseTimeStampTest, RejectedForms) {
    ExpectRejected("");
    ExpectRejected("   \t  ");
    ExpectRejected("[2021-03-04 05:06:07] x");
    ExpectRejected("ERROR 2021-03-04 05:06:07 x");
    ExpectRejected("2021-03-04 05:06 x");
    ExpectRejected("2021-03-04 05:06:07] x");
    ExpectRejected("2021-03-04 05:06:07Z x");
    ExpectRejected("2021-03-04abc05:06:07 x");
    ExpectRejected("mar 4 05:06:07 x");
    ExpectRejected("2021-13-04 05:06:07 x");
    ExpectRejected("2021-03-04 24:06:07 x");
    ExpectRejected("2021-03-04 23:60:07 x");
    ExpectRejected("2021-03-04 23:06:60 x");
    ExpectRejected("2021-03-32 23:06:07 x");
    ExpectRejected("Jan 0 00:00:00 x");
    ExpectRejected("03/04 x");
    ExpectRejected("0304 05:06:07 x");
    // Once a month name matched, a later failure rejects the line.
    ExpectRejected("Mayday 05:06:07 x");
    // Huge numbers must not overflow into a valid value.
    ExpectRejected("2021-99999999999999999903-04 05:06:07 x");
    // Truncated anywhere before the byte after the seconds.
    std::string full = "2021-03-04 05:06:07 x";
    for (size_t n = 0; n < 19; ++n) ExpectRejected(full.substr(0, n));
}

CTimeStamp At(uint32_t ms) {
    CTimeStamp t;
    t.year = 2021;
    t.month = 1;
    t.day = 1;
    t.milliseconds = ms;
    return t;
}

TEST(IntervalTest, DifferenceFormatAndReference) {
    CIntervalTracker tracker(At(1000));
    int32_t ms = -1;
    char16_t text[64];
    ASSERT_EQ(1, tracker.Next(At(1000 + 3723004), &ms, text));
    EXPECT_EQ(3723004, ms);
    EXPECT_EQ(std::u16string(u"01:02:03.004"), std::u16string(text));
    // A row without a date part leaves the cell empty and keeps the reference.
    EXPECT_EQ(0, tracker.Next(CTimeStamp(), &ms, text));
    ASSERT_EQ(1, tracker.Next(At(1000 + 3723004 + 5), &ms, text));
    EXPECT_EQ(5, ms);
    EXPECT_EQ(std::u16string(u"00:00:00.005"), std::u16string(text));
    // An inherited stamp shows zero.
    ASSERT_EQ(1, tracker.Next(At(1000 + 3723004 + 5), &ms, text));
    EXPECT_EQ(std::u16string(u"00:00:00.000"), std::u16string(text));
}

TEST(IntervalTest, TimeGoingBackShowsNinetyNineHours) {
    CIntervalTracker tracker(At(86399000));  // 23:59:59
    int32_t ms;
    char16_t text[64];
    ASSERT_EQ(1, tracker.Next(At(1000), &ms, text));
    EXPECT_EQ(std::u16string(u"99:99:99.999"), std::u16string(text));
    EXPECT_EQ(kIntervalWrapped, ms);
    EXPECT_TRUE(IntervalReachesThreshold(true, ms, 356400000));
    EXPECT_FALSE(IntervalReachesThreshold(true, ms, 356400001));
    EXPECT_FALSE(IntervalReachesThreshold(false, ms, 0));
    EXPECT_TRUE(IntervalReachesThreshold(true, 0, 0));
}

TEST(IntervalTest, OnlyMillisecondsAreCompared) {
    CTimeStamp a = At(5000), b = At(6000);
    b.year = 1999;
    CIntervalTracker tracker(a);
    int32_t ms;
    char16_t text[64];
    ASSERT_EQ(1, tracker.Next(b, &ms, text));
    EXPECT_EQ(1000, ms);
}

// The quick path for "YYYY-MM-DD hh:mm:ss" must give what the general reader gives, on that
// form with every kind of ending and on every near miss: each byte of a valid stamp replaced
// by a digit, a separator, a blank or a letter, and lines cut short anywhere.
TEST(ParseTimeStampTest, TheCommonFormAgreesWithTheGeneralReader) {
    const std::string pieces = "0123456789-./_ :T,\t\r\nZ+x";
    const char* const tails[] = {".123 INFO\n", ",5x", ".123456789", "",   " ",   "  .5 a", "\t,25 b",
                                 "+09:00 x",    "Z",   "\r\n",       "\n", "1 x", " INFO"};
    std::mt19937 random(7);
    int quick = 0;
    auto agree = [&](const std::string& text, int length) {
        CTimeStamp fast, general;
        int fastEnd = -1, generalEnd = -1;
        int a = ParseTimeStampEnd(text.data(), length, &fast, &fastEnd);
        int b = ParseTimeStampGeneral(text.data(), length, &general, &generalEnd);
        EXPECT_EQ(b, a) << text.substr(0, length);
        EXPECT_TRUE(fast == general) << text.substr(0, length);
        EXPECT_EQ(generalEnd, fastEnd) << text.substr(0, length);
        return a == b && fast == general && fastEnd == generalEnd ? a : -1;
    };
    for (int round = 0; round < 200000; ++round) {
        char line[48];
        std::snprintf(line, sizeof line, "%04d-%02d-%02d %02d:%02d:%02d%s", int(random() % 10000), int(random() % 14),
                      int(random() % 33), int(random() % 25), int(random() % 61), int(random() % 61),
                      tails[random() % (sizeof tails / sizeof *tails)]);
        std::string text = line;
        for (int k = static_cast<int>(random() % 4); k > 0; --k) {
            text[random() % text.size()] = pieces[random() % pieces.size()];
        }
        if (random() % 4 == 0) text.insert(random() % text.size(), std::string(1 + random() % 3, '7'));
        // Led by a name, a bracket or a mark now and then, as the further forms' lines are.
        const char* const leads[] = {"Mar ", "Mar", "Sep-", "I", "[", "node-", "_", "\t", "Ma", "mar "};
        if (random() % 5 == 0) text.insert(0, leads[random() % (sizeof leads / sizeof *leads)]);
        int length = static_cast<int>(random() % 3 == 0 ? random() % (text.size() + 1) : text.size());
        int a = agree(text, length);
        ASSERT_GE(a, 0);
        quick += a;
    }
    EXPECT_GT(quick, 20000);  // the valid stamps were many
    // Lines led by an address or other numbers and points, which the general reader need
    // not be asked about, and their near misses: some go on to a time after all.
    const char* const joints[] = {".", ".", ".", " ", ":", "-", ". "};
    const char* const rests[] = {" - - [06/May/2024:08:00:00 +0900] GET",
                                 ":05:06 x",
                                 " \t: 05 : 06 x",
                                 "",
                                 "  ",
                                 ":05",
                                 ".7:05:06 x",
                                 "\t-",
                                 "/Oct:05:06 x",
                                 ":5:6\r\n",
                                 " 231000 INFO x",
                                 "\t 7 12:00:00 x"};
    int times = 0;
    for (int round = 0; round < 100000; ++round) {
        std::string text;
        for (int part = 0; part < 4; ++part) {
            // Now and then a long first number, as epoch times and compact dates lead lines,
            // some reaching past the sixteen bytes read at once.
            bool longNumber = part == 0 && random() % 3 == 0;
            text += longNumber ? (std::to_string(random()) + std::to_string(random())).substr(0, 6 + random() % 14)
                               : std::to_string(random() % (part == 0 ? 300 : 60)).substr(0, random() % 4);
            if (part < 3) text += joints[random() % (sizeof joints / sizeof *joints)];
        }
        text += rests[random() % (sizeof rests / sizeof *rests)];
        if (random() % 4 == 0) text[random() % text.size()] = pieces[random() % pieces.size()];
        int length = static_cast<int>(random() % 4 == 0 ? random() % (text.size() + 1) : text.size());
        int a = agree(text, length);
        ASSERT_GE(a, 0);
        times += a;
    }
    EXPECT_GT(times, 800);
}

}  // namespace

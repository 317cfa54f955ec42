// The time key of JSON lines: its value as text or as an epoch number of any unit, wherever
// the key stands, never a key inside a string or a nested object.
#include "stamps/stamp_json.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "stamps/stamp_clock.h"
#include "stamps/stamp_rules.h"

namespace {

CTimeStamp Read(const std::string& line, StampForm* form = nullptr) {
    CStampRules rules;
    rules.moreForms = true;
    CTimeStamp stamp;
    StampForm found = StampForm::kNone;
    ReadLineStamp(&rules, line.data(), static_cast<int>(line.size()), &stamp, &found);
    if (form != nullptr) *form = found;
    return stamp;
}

CTimeStamp Stamp(int y, int mo, int d, uint32_t ms) {
    CTimeStamp t;
    t.year = static_cast<uint16_t>(y);
    t.month = static_cast<uint8_t>(mo);
    t.day = static_cast<uint8_t>(d);
    t.milliseconds = ms;
    return t;
}

TEST(StampJsonTest, RealLinesOfEveryKindOfTimeValue) {
    const std::string bunyanPrefix = R"({"name":"myapp","hostname":"banana.local","pid":40161,"level":30,"msg":")" +
                                     std::string(300, 'x') + R"(","time":)";
    const struct {
        std::string line;
        CTimeStamp want;
    } cases[] = {
        {R"({"ts": "2013-09-06T20:00:48.124817Z", "level": "info"})", Stamp(2013, 9, 6, 72048124)},
        {R"({"@timestamp":"2024-05-06T08:00:00.5+09:00","level":"info"})", Stamp(2024, 5, 5, 82800500)},
        {R"({"ts":1761019822.3152757,"level":"info"})", Stamp(2025, 10, 21, 15022315)},
        {R"({"time":1699999999123,"msg":"x"})", Stamp(2023, 11, 14, 79999123)},
        {R"({"t":1699999999123456})", Stamp(2023, 11, 14, 79999123)},
        {R"({"t": 1699999999123456789 })", Stamp(2023, 11, 14, 79999123)},
        {R"({"date":"1699999999"})", Stamp(2023, 11, 14, 79999000)},
        {R"( {"level":"info","datetime":"2017-05-16 00:00:00,008"})", Stamp(2017, 5, 16, 8)},
        {bunyanPrefix + R"("2012-02-06T04:19:35.605Z","v":0})", Stamp(2012, 2, 6, 15575605)},
        {R"({"id":"2489651045","type":"CreateEvent","actor":{"id":665991,"login":"x"},"created_at":"2015-01-01T15:00:00Z"})",
         Stamp(2015, 1, 1, 54000000)},
    };
    for (const auto& c : cases) {
        StampForm form = StampForm::kNone;
        EXPECT_TRUE(Read(c.line, &form) == c.want) << c.line;
        EXPECT_EQ(StampForm::kJsonField, form) << c.line;
    }
    // No time key, a value that is no time, an exponent, a negative or out-of-range number, a
    // line cut short, a time key in a nested object.
    for (const char* line : {R"({"level":"info","msg":"2013-09-06T20:00:48Z"})", R"({"time":"soon"})",
                             R"({"ts":1.7e9})", R"({"ts":-1699999999})", R"({"ts":123})", R"({"ts":4102444800})",
                             R"({"ts":"2013-09-06)", R"({"ts)", "{", R"({"a":{"b":[1,2,{"time":1699999999}]})"}) {
        CStampMatch match;
        EXPECT_EQ(0, ReadJsonStamp(line, static_cast<int>(std::strlen(line)), &match)) << line;
        EXPECT_FALSE(match.stamp.HasDate()) << line;
    }
}

// Random objects: the time key among others in any order, decoys before it (time keys in
// nested objects and arrays, inside strings with escaped quotes, keys that only begin like
// one, a time key whose value is no time), and the time as text or a number of any unit.
TEST(StampJsonTest, TheFirstReadableTopLevelTimeKeyCountsWhateverSurroundsIt) {
    std::mt19937 rng(34);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char* const decoys[] = {
        R"("msg":"say \"time\":\"2011-01-01T00:00:00Z\" \\")",
        R"("ctx":{"time":"2011-01-01T00:00:00Z","ts":1300000000})",
        R"("list":[{"ts":1300000000},"time",["t"]])",
        R"("timer":1300000000)",
        R"("Time":"2011-01-01T00:00:00Z")",
        R"("time":"later")",
        R"("n":-12.5e3)",
        R"("ok":true)",
        R"("none":null)",
        R"("{\"ts\":1300000000}":1)",
    };
    const char* const keys[] = {"timestamp", "@timestamp", "time", "ts", "t", "date", "datetime"};
    for (int round = 0; round < 4000; ++round) {
        int y = 2001 + pick(98), mo = 1 + pick(12), d = 1 + pick(28);
        uint32_t ms = static_cast<uint32_t>(pick(86400000));
        int unit = pick(5);  // text, seconds, seconds with a fraction, milliseconds, nanoseconds
        if (unit == 1) ms -= ms % 1000;
        uint64_t epochMs =
            static_cast<uint64_t>(DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d))) * 86400000 +
            ms;
        char value[64];
        if (unit == 0) {
            std::snprintf(value, sizeof value, "\"%04d-%02d-%02dT%02u:%02u:%02u.%03u%s\"", y, mo, d, ms / 3600000,
                          ms / 60000 % 60, ms / 1000 % 60, ms % 1000, pick(2) == 0 ? "Z" : "");
        } else if (unit == 1) {
            std::snprintf(value, sizeof value, "%llu", static_cast<unsigned long long>(epochMs / 1000));
        } else if (unit == 2) {
            std::snprintf(value, sizeof value, "%llu.%03u%d", static_cast<unsigned long long>(epochMs / 1000),
                          ms % 1000, pick(10));
        } else if (unit == 3) {
            std::snprintf(value, sizeof value, "%llu", static_cast<unsigned long long>(epochMs));
        } else {
            std::snprintf(value, sizeof value, "%llu%06d", static_cast<unsigned long long>(epochMs), pick(1000000));
        }
        std::string line = "{";
        for (int k = pick(4); k > 0; --k) line += std::string(decoys[pick(10)]) + (pick(2) == 0 ? "," : " , ");
        line += "\"" + std::string(keys[pick(7)]) + "\"" + (pick(2) == 0 ? ":" : " : ") + value;
        for (int k = pick(3); k > 0; --k) line += std::string(",") + decoys[pick(10)];
        line += pick(2) == 0 ? "}" : "}\r\n";
        EXPECT_TRUE(Read(line) == Stamp(y, mo, d, ms)) << line;
        // Cut anywhere, the line gives that stamp or none, and is never read out of bounds.
        std::string cut = line.substr(0, static_cast<size_t>(pick(static_cast<int>(line.size()))));
        CStampMatch partial;
        if (ReadJsonStamp(cut.data(), static_cast<int>(cut.size()), &partial)) {
            EXPECT_TRUE(partial.stamp.year == y && partial.stamp.month == mo && partial.stamp.day == d) << cut;
            EXPECT_LE(partial.stamp.milliseconds, ms) << cut;
            EXPECT_LT(ms - partial.stamp.milliseconds, 1000u) << cut;
        }
    }
}

}  // namespace

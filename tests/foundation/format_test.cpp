// The wide formatter: the conversions the program's formats use, and its capacity rule.
#include "foundation/format.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/trace.h"

namespace {

std::u16string Fmt(const char16_t* format, ...) {
    char16_t buffer[256];
    va_list args;
    va_start(args, format);
    int n = FormatStringV(buffer, 256, format, args);
    va_end(args);
    return n < 0 ? u"<fail>" : std::u16string(buffer);
}

TEST(FormatTest, ConversionsOfTheProgramsFormats) {
    EXPECT_EQ(u"        42", Fmt(u"%10d", 42));
    EXPECT_EQ(u"05:06:07.089", Fmt(u"%02d:%02d:%02d.%03d", 5, 6, 7, 89));
    EXPECT_EQ(u"Loading ... 5 / 10 bytes (50%)", Fmt(u"Loading ... %lld / %lld bytes (%d%%)", 5ll, 10ll, 50));
    EXPECT_EQ(u"Analize Error : 0x1ff00000000", Fmt(u"Analize Error : 0x%llx", 0x1ff00000000ull));
    EXPECT_EQ(u"line:3, column:7", Fmt(u"line:%d, column:%d", 3, 7));
    EXPECT_EQ(u"ini_file = C:\\q\\quillon.ini", Fmt(u"ini_file = %s", u"C:\\q\\quillon.ini"));
    EXPECT_EQ(u"-7|-0007|ab   |   ab|x", Fmt(u"%d|%05d|%-5s|%5s|%c", -7, -7, u"ab", u"ab", 'x'));
    EXPECT_EQ(u"-2147483648 FFFFFFFF", Fmt(u"%d %X", static_cast<int>(0x80000000u), 0xffffffffu));
    EXPECT_EQ(u"-9223372036854775808", Fmt(u"%lld", static_cast<long long>(0x8000000000000000ull)));
    EXPECT_EQ(u"(null)", Fmt(u"%s", static_cast<const char16_t*>(nullptr)));
    EXPECT_EQ(u"1 ～ 12", Fmt(u"1 ～ %d", 12));
}

TEST(FormatTest, NeverWritesPastTheCapacity) {
    char16_t buffer[8];
    for (auto& c : buffer) c = u'#';
    EXPECT_EQ(-1, FormatString(buffer, 5, u"%d", 1234567));
    EXPECT_EQ(std::u16string(u"1234"), std::u16string(buffer));
    EXPECT_EQ(u'#', buffer[5]);
    EXPECT_EQ(4, FormatString(buffer, 5, u"%s", u"abcd"));
    EXPECT_EQ(-1, FormatString(buffer, 0, u"x"));
    char16_t wide[64];
    std::u16string long_text(100, u'z');
    EXPECT_EQ(-1, FormatString64(wide, u"%s", long_text.c_str()));
    EXPECT_EQ(63u, std::u16string(wide).size());
}

TEST(FormatTest, BadFormatFails) {
    char16_t buffer[16];
    EXPECT_EQ(-1, FormatString(buffer, 16, u"abc %"));
    EXPECT_EQ(-1, FormatString(buffer, 16, u"%q"));
}

std::u16string g_captured;
int Capture(const char16_t* format, ...) {
    char16_t buffer[512];
    va_list args;
    va_start(args, format);
    int n = FormatStringV(buffer, 512, format, args);
    va_end(args);
    g_captured += buffer;
    return n;
}

TEST(TraceTest, DefaultsToNothingAndCanBeRedirected) {
    EXPECT_EQ(0, TraceOutput(u"XML parse error (%d)\n", 3));
    // Without the trace library, loading falls back to the silent function.
    LoadTraceLibrary();
    EXPECT_EQ(0, TraceOutput(u"filename = %s\n", u"a.log"));
    TraceOutput = Capture;
    TraceOutput(u"XML parse error (%d)\n", 3);
    EXPECT_EQ(u"XML parse error (3)\n", g_captured);
    ReleaseTraceLibrary();
    EXPECT_EQ(TraceNone, TraceOutput);
}

}  // namespace

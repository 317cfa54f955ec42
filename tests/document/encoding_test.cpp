// Encoding detection (byte-order marks, valid and invalid UTF-8, a sequence cut by the end
// of the part looked at), the choice of the box against it, and the UTF-16 conversions.
#include "document/encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "document/file.h"
#include "foundation/convert.h"
#include "test_support.h"

namespace {

unsigned Detect(const std::string& bytes, bool complete = true) {
    return DetectCodePage(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), complete);
}

TEST(EncodingTest, ByteOrderMarksAndUtf8StructureDecide) {
    EXPECT_EQ(kCodePageUtf8, Detect("\xEF\xBB\xBFplain ascii"));
    EXPECT_EQ(kCodePageUtf16Le, Detect("\xFF\xFEx\0"));
    EXPECT_EQ(kCodePageUtf16Be, Detect("\xFE\xFF\0x"));
    EXPECT_EQ(kCodePageAnsi, Detect(""));
    EXPECT_EQ(kCodePageAnsi, Detect("plain ascii\r\n"));  // reads the same either way
    EXPECT_EQ(kCodePageUtf8, Detect("2024 \xE6\x97\xA5\xE6\x9C\xAC caf\xC3\xA9 \xF0\x9F\x98\x80\n"));
    // Shift_JIS and Latin-1 text (a Latin-1 letter at the very end too), overlong forms,
    // surrogates, beyond U+10FFFF, a stray continuation byte are not UTF-8.
    for (const char* bad :
         {"\x93\xfa\x96\x7b\x8c\xea", "caf\xE9", "\xC3\xA9 \xC0\x80", "\xC3\xA9 \xE0\x80\xAF", "\xC3\xA9 \xED\xA0\x80",
          "\xC3\xA9 \xF4\x90\x80\x80", "\xC3\xA9 \xF5\x80\x80\x80", "\xC3\xA9 \x80", "\xC3\xA9 \xE6\x41"}) {
        EXPECT_EQ(kCodePageAnsi, Detect(bad)) << bad;
    }
    // A file whose last character is still being written: the sequence cut by its end is
    // valid so far, after UTF-8 text or with a continuation byte of its own.
    EXPECT_EQ(kCodePageUtf8, Detect("\xC3\xA9 \xE6\x97"));
    EXPECT_EQ(kCodePageUtf8, Detect("\xC3\xA9 \xE6"));
    EXPECT_EQ(kCodePageUtf8, Detect("ascii \xF0\x9F\x98"));
    // The same at the end of a part of a longer file.
    EXPECT_EQ(kCodePageUtf8, Detect("ascii \xE6\x97", false));
    EXPECT_EQ(kCodePageUtf8, Detect("ascii \xF0\x9F\x98", false));
    EXPECT_EQ(kCodePageAnsi, Detect("ascii \xE6\x41", false));
}

TEST(EncodingTest, FilesAreJudgedByTheirFirstMebibyte) {
    testing_support::TempDir dir;
    CFile file;
    auto detect = [&](const std::string& bytes) {
        testing_support::WriteBytes(dir.FsPath("f.log"), bytes);
        file.Close();
        EXPECT_EQ(1, file.Open(dir.File("f.log").c_str()));
        return DetectFileCodePage(&file);
    };
    // A three-byte character across the edge: two bytes inside, one beyond.
    std::string cut(kDetectBytes - 2, 'a');
    cut += "\xE6\x97\xA5 tail \xFF";  // the invalid byte lies beyond the part looked at
    EXPECT_EQ(kCodePageUtf8, detect(cut));
    // Ending there, the file's last character is still being written.
    EXPECT_EQ(kCodePageUtf8, detect(cut.substr(0, kDetectBytes)));
    EXPECT_EQ(kCodePageAnsi, detect(std::string(kDetectBytes + 10, 'a') + "\xC3\xA9"));  // too late to count
    EXPECT_EQ(kCodePageAnsi, detect(""));
    EXPECT_EQ(kCodePageUtf16Be, detect(std::string("\xFE\xFF\0a", 4)));
}

TEST(EncodingTest, Utf16WinsOverTheChoiceAndAutoTakesWhatWasFound) {
    EXPECT_EQ(kCodePageUtf8, ChooseCodePage(kEncodingAuto, kCodePageUtf8));
    EXPECT_EQ(kCodePageAnsi, ChooseCodePage(kEncodingAuto, kCodePageAnsi));
    EXPECT_EQ(kCodePageAnsi, ChooseCodePage(0, kCodePageUtf8));
    EXPECT_EQ(kCodePageUtf8, ChooseCodePage(65001, kCodePageAnsi));
    EXPECT_EQ(kCodePageUtf16Le, ChooseCodePage(0, kCodePageUtf16Le));
    EXPECT_EQ(kCodePageUtf16Be, ChooseCodePage(65001, kCodePageUtf16Be));
    const auto* bom = reinterpret_cast<const unsigned char*>("\xEF\xBB\xBF\xFF\xFE");
    EXPECT_EQ(3u, ByteOrderMarkLength(bom, 5, kCodePageUtf8));
    EXPECT_EQ(0u, ByteOrderMarkLength(bom, 5, kCodePageAnsi));
    EXPECT_EQ(2u, ByteOrderMarkLength(bom + 3, 2, kCodePageUtf16Le));
    EXPECT_EQ(0u, ByteOrderMarkLength(bom + 3, 2, kCodePageUtf16Be));
}

TEST(EncodingTest, Utf16BytesConvertInBothByteOrders) {
    const char le[] = "a\0\xE5\x65\x3D\xD8\x00\xDE\r\0";  // a, U+65E5, U+1F600, CR
    const char be[] = "\0a\x65\xE5\xD8\x3D\xDE\x00\0\r";
    const std::u16string expected = u"a\u65E5\U0001F600\r";
    for (unsigned codePage : {kCodePageUtf16Le, kCodePageUtf16Be}) {
        const char* bytes = codePage == kCodePageUtf16Le ? le : be;
        ASSERT_EQ(5, MultiByteToWide(codePage, bytes, 10, nullptr, 0));
        char16_t out[8] = {};
        ASSERT_EQ(5, MultiByteToWide(codePage, bytes, 10, out, 8));
        EXPECT_EQ(expected, std::u16string(out, 5));
        EXPECT_EQ(0, MultiByteToWide(codePage, bytes, 10, out, 4));  // does not fit
        // A lone last byte is a broken character.
        ASSERT_EQ(3, MultiByteToWide(codePage, bytes, 5, out, 8));
        EXPECT_EQ(0xFFFD, out[2]);
        char back[16] = {};
        ASSERT_EQ(10, WideToMultiByte(codePage, expected.data(), 5, back, 16));
        EXPECT_EQ(std::string(bytes, 10), std::string(back, 10));
        // A row's text ends at its first NUL unit, not at a NUL byte.
        EXPECT_EQ(10u, TextByteLength(bytes, 10, codePage));
        EXPECT_EQ(4u, TextByteLength(codePage == kCodePageUtf16Le ? "a\0b\0\0\0c\0" : "\0a\0b\0\0\0c", 8, codePage));
    }
    EXPECT_EQ(1u, TextByteLength("a\0b", 3, kCodePageUtf8));
}

}  // namespace

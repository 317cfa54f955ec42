// The table of the interface's texts: every id has a text in both languages, the languages
// differ, the language is picked as the configuration says, and some texts are spot-checked
// byte for byte (the header, formats, a file filter with its NULs).
#include "config/ui_text.h"

#include <gtest/gtest.h>

#include <string>

#include "config/app_parameter.h"
#include "config_test_support.h"

using config_testing::ConfigFolders;
using config_testing::Utf8;

namespace {

// A file filter: its units up to and including the two NULs that end it.
std::u16string FilterUnits(const char16_t* filter) {
    std::u16string units;
    for (const char16_t* p = filter;; ++p) {
        units.push_back(*p);
        if (p[0] == 0 && p != filter && p[-1] == 0) return units;
        if (units.size() > 1000) return u"unterminated";
    }
}

// A literal with its NULs: every unit of the array, the terminator included.
template <size_t N>
std::u16string Literal(const char16_t (&text)[N]) {
    return std::u16string(text, N);
}

TEST(UiText, EveryIdHasTwoDifferentTexts) {
    ASSERT_GE(kTextIdCount, 80);  // the table began with 80
    for (int i = 0; i < kTextIdCount; ++i) {
        SCOPED_TRACE(i);
        auto id = static_cast<TextId>(i);
        const char16_t* english = UiText(id, 0);
        const char16_t* japanese = UiText(id, kLanguageJapanese);
        ASSERT_NE(nullptr, english);
        ASSERT_NE(nullptr, japanese);
        EXPECT_NE(0, english[0]);
        EXPECT_NE(0, japanese[0]);
        // Today no text is the same in both languages (the help page and the font differ too).
        EXPECT_NE(Utf8(english), Utf8(japanese));
        // Any language but Japanese is English.
        EXPECT_EQ(english, UiText(id, 2));
        EXPECT_EQ(english, UiText(id, -1));
        // An English text is ASCII; a Japanese one has at least one other character
        // (the help page excepted: a file name).
        bool ascii = true, other = false;
        for (const char16_t* p = english; *p != 0; ++p) ascii = ascii && *p < 0x80;
        for (const char16_t* p = japanese; *p != 0; ++p) other = other || *p >= 0x80;
        EXPECT_TRUE(ascii);
        EXPECT_TRUE(other || id == TextId::kHelpPage);
    }
}

// Every damage of a compressed log has its own text; none has none.
TEST(UiText, EveryUnpackErrorHasItsText) {
    EXPECT_EQ(TextId::kCount, UnpackErrorTextId(CUnpackError::kNone));
    EXPECT_EQ(TextId::kUnpackTruncated, UnpackErrorTextId(CUnpackError::kTruncated));
    EXPECT_EQ(TextId::kUnpackTooLarge, UnpackErrorTextId(CUnpackError::kTooLarge));
    EXPECT_EQ(TextId::kUnpackReadFailed, UnpackErrorTextId(CUnpackError::kReadFailed));
    EXPECT_EQ(std::u16string(u"There is not enough memory to decompress the log."),
              UiText(UnpackErrorTextId(CUnpackError::kNoMemory), 0));
}

TEST(UiText, AnIdOutOfRangeHasAnEmptyText) {
    EXPECT_EQ("", Utf8(UiText(TextId::kCount, 0)));
    EXPECT_EQ("", Utf8(UiText(static_cast<TextId>(-1), kLanguageJapanese)));
}

TEST(UiText, SpotChecks) {
    EXPECT_EQ("LINES", Utf8(UiText(TextId::kHeaderLines, 0)));
    EXPECT_EQ("行番号", Utf8(UiText(TextId::kHeaderLines, 1)));
    EXPECT_EQ("INTERVAL", Utf8(UiText(TextId::kHeaderInterval, 0)));
    EXPECT_EQ("ログ間隔", Utf8(UiText(TextId::kHeaderInterval, 1)));
    EXPECT_EQ("LOG MESSAGE", Utf8(UiText(TextId::kHeaderMessage, 0)));
    EXPECT_EQ("ログメッセージ", Utf8(UiText(TextId::kHeaderMessage, 1)));
    EXPECT_EQ("Quillon - LOG Analysis Assist Tool", Utf8(UiText(TextId::kAppTitle, 0)));
    EXPECT_EQ("ＭＳ ゴシック", Utf8(UiText(TextId::kDefaultFontFace, 1)));
    EXPECT_EQ("Keuword", Utf8(UiText(TextId::kKeywordColumnText, 0)));
    EXPECT_EQ("Open LOG File (Ctrl+O)", Utf8(UiText(TextId::kToolTipOpen, 0)));
    EXPECT_EQ("ログの追跡 (Ctrl+T)", Utf8(UiText(TextId::kToolTipFollow, 1)));
    EXPECT_EQ("Extraction", Utf8(UiText(TextId::kContextExtract, 0)));
    EXPECT_EQ("ログを抽出", Utf8(UiText(TextId::kContextExtract, 1)));
    // The formats keep their fields; the jump range's tilde is the full-width one.
    EXPECT_EQ("Searching ... %lld / %lld rows (%d%%)", Utf8(UiText(TextId::kProgressSearchFormat, 0)));
    EXPECT_EQ("読み込み完了... %lld / %lld bytes (%d%%)", Utf8(UiText(TextId::kProgressLoadFormat, 1)));
    EXPECT_EQ("Highlight %d", Utf8(UiText(TextId::kHighlightFormat, 0)));
    EXPECT_EQ("強調表示%d", Utf8(UiText(TextId::kHighlightFormat, 1)));
    EXPECT_EQ(std::u16string(u"1 \uFF5E %lld"), UiText(TextId::kJumpRangeFormat, 1));
    EXPECT_EQ("Following - last change %02d:%02d:%02d", Utf8(UiText(TextId::kFollowLastChangeFormat, 0)));
    // Two colours share "Line Color" in English only.
    EXPECT_EQ(Utf8(UiText(TextId::kColorRule, 0)), Utf8(UiText(TextId::kColorLineNumber, 0)));
    EXPECT_EQ("罫線の色", Utf8(UiText(TextId::kColorRule, 1)));
    EXPECT_EQ("行番号の色", Utf8(UiText(TextId::kColorLineNumber, 1)));
}

TEST(UiText, FileFiltersKeepTheirPairsAndEndWithTwoNuls) {
    EXPECT_EQ(Literal(u"LOG files(*.log)\0*.log\0Compressed logs(*.gz;*.zip)\0*.gz;*.zip\0All files(*.*)\0*.*\0"),
              FilterUnits(UiText(TextId::kOpenLogFilter, 0)));
    EXPECT_EQ(Literal(u"ログファイル(*.log)\0*.log\0圧縮ログ(*.gz;*.zip)\0*.gz;*.zip\0すべてのファイル(*.*)\0*.*\0"),
              FilterUnits(UiText(TextId::kOpenLogFilter, 1)));
    EXPECT_EQ(Literal(u"Setting file(*.xml)\0*.xml\0All files(*.*)\0*.*\0"),
              FilterUnits(UiText(TextId::kKeywordFileFilter, 0)));
    EXPECT_EQ(Literal(u"設定ファイル(*.xml)\0*.xml\0全てのファイル(*.*)\0*.*\0"),
              FilterUnits(UiText(TextId::kKeywordFileFilter, 1)));
}

TEST(UiText, TheInterfaceLanguageIsTheConfigurations) {
    ConfigFolders folders;
    ASSERT_EQ(nullptr, g_config);
    EXPECT_EQ(0, UiLanguage());
    EXPECT_EQ("LINES", Utf8(UiText(TextId::kHeaderLines)));
    CAppParameter config;
    g_config = &config;
    config.m_language = kLanguageJapanese;
    EXPECT_EQ(kLanguageJapanese, UiLanguage());
    EXPECT_EQ("行番号", Utf8(UiText(TextId::kHeaderLines)));
    config.m_language = 0;
    EXPECT_EQ(0, UiLanguage());
    EXPECT_EQ("LINES", Utf8(UiText(TextId::kHeaderLines)));
    g_config = nullptr;
}

}  // namespace

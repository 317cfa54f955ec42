// The table of the user interface's texts, one row an id, in the enum's order.
#include "config/ui_text.h"

#include <cstddef>

#include "config/app_parameter.h"

namespace {

struct CTextRow {
    TextId id;
    const char16_t* english;
    const char16_t* japanese;
};

// "Keuword" is the system's own text and is kept.
constexpr CTextRow kRows[] = {
    {TextId::kAppTitle, u"Quillon - LOG Analysis Assist Tool", u"Quillon - ログ解析支援ツール"},
    {TextId::kHelpPage, u"help\\quillon_en.html", u"help\\quillon_ja.html"},
    {TextId::kDefaultFontFace, u"Courier New", u"ＭＳ ゴシック"},
    {TextId::kLanguageNameEnglish, u"English", u"英語"},
    {TextId::kLanguageNameJapanese, u"Japanese", u"日本語"},

    {TextId::kOpenLogTitle, u"Load LOG File", u"ログファイルを読み込む"},
    {TextId::kOpenLogFilter, u"LOG files(*.log)\0*.log\0Compressed logs(*.gz;*.zip)\0*.gz;*.zip\0All files(*.*)\0*.*\0",
     u"ログファイル(*.log)\0*.log\0圧縮ログ(*.gz;*.zip)\0*.gz;*.zip\0すべてのファイル(*.*)\0*.*\0"},

    {TextId::kEncodingAuto, u"Auto", u"自動"},

    // A command with a shortcut names it after its text, as its menu item does.
    {TextId::kToolTipOpen, u"Open LOG File (Ctrl+O)", u"ログファイルを読み込む (Ctrl+O)"},
    {TextId::kToolTipCsv, u"Save to CSV file", u"CSVファイルに出力"},
    {TextId::kToolTipCopy, u"Copy (Ctrl+C)", u"コピー (Ctrl+C)"},
    {TextId::kToolTipSearch, u"Search (Ctrl+F)", u"検索 (Ctrl+F)"},
    {TextId::kToolTipSearchPrevious, u"Previous Search (Shift+F3)", u"前を検索 (Shift+F3)"},
    {TextId::kToolTipSearchNext, u"Next Search (F3)", u"次を検索 (F3)"},
    {TextId::kToolTipHighlightSearch, u"Highlight Search String", u"検索文字列の強調"},
    {TextId::kToolTipExtract, u"Extraction (Ctrl+E)", u"ログを抽出 (Ctrl+E)"},
    {TextId::kToolTipCompare, u"Compare", u"比較"},
    {TextId::kToolTipJump, u"Jump (Ctrl+G)", u"指定行へ移動 (Ctrl+G)"},
    {TextId::kToolTipJumpTop, u"Jump To Top (Ctrl+Home)", u"データ先頭に移動 (Ctrl+Home)"},
    {TextId::kToolTipJumpEnd, u"Jump To End (Ctrl+End)", u"データ末尾に移動 (Ctrl+End)"},
    {TextId::kToolTipMarkerList, u"Marker List (Ctrl+M)", u"マーカ一覧 (Ctrl+M)"},
    {TextId::kToolTipMarkerPrevious, u"Previous Marker (Shift+F2)", u"前のマーク位置 (Shift+F2)"},
    {TextId::kToolTipMarkerNext, u"Next Marker (F2)", u"次のマーク位置 (F2)"},
    {TextId::kToolTipHelp, u"Help (F1)", u"ヘルプの表示 (F1)"},
    {TextId::kToolTipPrint, u"Print", u"印刷"},
    {TextId::kToolTipFollow, u"Follow (Ctrl+T)", u"ログの追跡 (Ctrl+T)"},

    {TextId::kHeaderLines, u"LINES", u"行番号"},
    {TextId::kHeaderInterval, u"INTERVAL", u"ログ間隔"},
    {TextId::kHeaderMessage, u"LOG MESSAGE", u"ログメッセージ"},
    {TextId::kContextCopy, u"Copy", u"コピー"},
    {TextId::kContextSearchPrevious, u"Previous Search", u"前を検索"},
    {TextId::kContextSearchNext, u"Next Search", u"次を検索"},
    {TextId::kContextExtract, u"Extraction", u"ログを抽出"},
    {TextId::kContextColorLabel, u"Colour Label", u"色ラベル"},
    {TextId::kContextLabelClear, u"Clear", u"消去"},
    {TextId::kLabelName1, u"Red", u"赤"},
    {TextId::kLabelName2, u"Orange", u"オレンジ"},
    {TextId::kLabelName3, u"Yellow", u"黄"},
    {TextId::kLabelName4, u"Lime", u"黄緑"},
    {TextId::kLabelName5, u"Green", u"緑"},
    {TextId::kLabelName6, u"Teal", u"青緑"},
    {TextId::kLabelName7, u"Blue", u"青"},
    {TextId::kLabelName8, u"Purple", u"紫"},
    {TextId::kLabelName9, u"Pink", u"ピンク"},

    {TextId::kProgressSearchCaption, u"Search", u"検索"},
    {TextId::kProgressExtractCaption, u"Extraction", u"ログを抽出"},
    {TextId::kProgressErrorLogCaption, u"Error Log", u"エラーログ"},
    {TextId::kProgressCopyCaption, u"Copy", u"コピー"},
    {TextId::kProgressSearchFormat, u"Searching ... %lld / %lld rows (%d%%)", u"検索中... %lld / %lld 行 (%d%%)"},
    {TextId::kProgressExtractFormat, u"Extracting ... %lld / %lld rows (%d%%)", u"抽出中... %lld / %lld 行 (%d%%)"},
    {TextId::kProgressCopyFormat, u"Copying ... %lld / %lld rows (%d%%)", u"コピー中... %lld / %lld 行 (%d%%)"},
    {TextId::kProgressLoadFormat, u"Loading ... %lld / %lld bytes (%d%%)", u"読み込み完了... %lld / %lld bytes (%d%%)"},

    {TextId::kLoadTooLargeFormat,
     u"The log was not opened: its %lld lines need %lld bytes of memory for their index, and only %lld bytes are "
     u"available.",
     u"ログを開けませんでした。%lld 行の索引に %lld バイトのメモリが必要ですが、使用できるのは %lld バイトだけです。"},
    {TextId::kLoadTooLargeCaption, u"Open Log", u"ログを開く"},

    {TextId::kRegexLimitFormat,
     u"The regular expression reached the matching limit on %lld lines; they were taken as not matching.",
     u"正規表現が %lld 行で照合の上限に達しました。これらの行は一致しないものとして扱いました。"},
    {TextId::kRegexLimitCaption, u"Regular expression", u"正規表現"},
    {TextId::kExtractTooLarge,
     u"The extraction was stopped because its result would be too large. Take fewer lines before and after "
     u"each hit, or narrow the conditions.",
     u"抽出結果が大きすぎるため、抽出を中止しました。前後の行数を減らすか、条件を絞ってください。"},
    {TextId::kExtractTooLargeCaption, u"Extraction", u"抽出"},
    {TextId::kExtractNoMemory, u"There is not enough memory for the extracted rows. Nothing was extracted.",
     u"抽出した行を保持するメモリが足りません。抽出は行われませんでした。"},
    {TextId::kExtractViewTitle, u"Extraction:", u"抽出:"},
    {TextId::kHideViewTitle, u"Hidden:", u"非表示:"},
    {TextId::kTitleNot, u" not ", u" 除外 "},
    {TextId::kErrorLogViewTitle, u"Error Log", u"エラーログ"},
    {TextId::kPatternErrorFormat, u"Regular expression error at character %d: %s", u"正規表現のエラー (%d 文字目): %s"},
    {TextId::kJumpRangeFormat, u"1 - %lld", u"1 ～ %lld"},
    {TextId::kJumpTimeRangeFormat, u"%s - %s", u"%s ～ %s"},
    {TextId::kJumpTimeBadFormat,
     u"\"%s\" is not a time. Type hh:mm:ss[.mmm] or yyyy-mm-dd hh:mm:ss[.mmm], for example 23:59:00 or "
     u"2024-05-31 23:59:00.500.",
     u"「%s」は時刻ではありません。hh:mm:ss[.mmm] または yyyy-mm-dd hh:mm:ss[.mmm] の形で入力してください "
     u"(例: 23:59:00、2024-05-31 23:59:00.500)。"},
    {TextId::kJumpTimeNoneFormat, u"No row has a time stamp at or after %s.", u"%s 以降の時刻の行はありません。"},
    {TextId::kJumpTimeCaption, u"Jump to Time", u"指定時刻へ移動"},

    {TextId::kFollowing, u"Following", u"追跡中"},
    {TextId::kFollowDeleted, u"Following: the file was deleted (the rows read so far stay)",
     u"追跡中: ファイルが削除されました (読み込んだ行は残ります)"},
    {TextId::kFollowUnreadable, u"Following: the file cannot be read", u"追跡中: ファイルを読めません"},
    {TextId::kFollowReplaced, u"Following: the file was replaced and has been read again",
     u"追跡中: ファイルが置き換えられたため読み直しました"},
    {TextId::kFollowShorter, u"Following: the file became shorter and has been read again",
     u"追跡中: ファイルが短くなったため読み直しました"},
    {TextId::kFollowLastChangeFormat, u"Following - last change %02d:%02d:%02d", u"追跡中 - 最終更新 %02d:%02d:%02d"},
    {TextId::kFollowIncomplete, u"Not following: the log was not read to its end",
     u"追跡していません: ログが最後まで読み込まれていません"},
    {TextId::kFollowCancelled, u"Not following: reading the appended lines was cancelled",
     u"追跡していません: 追加された行の読み込みが取り消されました"},
    {TextId::kFollowNoMemory, u"Following: not enough memory for the appended lines (retrying)",
     u"追跡中: 追加された行のためのメモリが足りません (再試行します)"},

    {TextId::kSettingsCaption, u"Setting", u"設定"},
    {TextId::kColorTextNormal, u"Text Color (Normal)", u"通常のテキスト表示"},
    {TextId::kColorRule, u"Line Color", u"罫線の色"},
    {TextId::kColorCursor, u"Cursor Color", u"カーソル行の色"},
    {TextId::kColorMarker, u"Marker Color", u"マーク行の色"},
    {TextId::kColorSelection, u"Select Text Color", u"選択文字列の色"},
    {TextId::kColorSearch, u"Search Color", u"検索文字列の色"},
    {TextId::kColorHighlight1, u"Highlighting 1", u"強調表示1"},
    {TextId::kColorHighlight2, u"Highlighting 2", u"強調表示2"},
    {TextId::kColorHighlight3, u"Highlighting 3", u"強調表示3"},
    {TextId::kColorHighlight4, u"Highlighting 4", u"強調表示4"},
    {TextId::kColorHighlight5, u"Highlighting 5", u"強調表示5"},
    {TextId::kColorHighlight6, u"Highlighting 6", u"強調表示6"},
    {TextId::kColorHighlight7, u"Highlighting 7", u"強調表示7"},
    {TextId::kColorHighlight8, u"Highlighting 8", u"強調表示8"},
    {TextId::kColorHeader, u"Item display color", u"項目表示の色"},
    {TextId::kColorLineNumber, u"Line Color", u"行番号の色"},
    {TextId::kColorInterval, u"Interval Color", u"ログ間隔の色"},
    {TextId::kColorError, u"Error Color", u"エラー行の色"},

    {TextId::kHighlightFormat, u"Highlight %d", u"強調表示%d"},
    {TextId::kKeywordColumnText, u"Keuword", u"文字列"},
    {TextId::kKeywordColumnColor, u"Color", u"表示方法"},
    {TextId::kKeywordFileLoadTitle, u"Load Setting File", u"設定ファイルを読み込む"},
    {TextId::kKeywordFileSaveTitle, u"Save Setting File", u"設定ファイルに保存"},
    {TextId::kKeywordFileFilter, u"Setting file(*.xml)\0*.xml\0All files(*.*)\0*.*\0",
     u"設定ファイル(*.xml)\0*.xml\0全てのファイル(*.*)\0*.*\0"},
    {TextId::kStampPatternEmpty, u"Refused: the pattern is empty.", u"追加できません: パターンが空です。"},
    {TextId::kStampPatternTooLong, u"Refused: the pattern is too long (128 bytes, 48 parts at most).",
     u"追加できません: パターンが長すぎます (128 バイト、48 要素まで)。"},
    {TextId::kStampPatternBadPlace, u"Refused: a place is #N: (field, from 1) or @N: (byte, from 0), N up to 4096.",
     u"追加できません: 位置は #N: (項目、1 から) か @N: (バイト、0 から) で、N は 4096 までです。"},
    {TextId::kStampPatternUnknownConversion, u"Refused: use %Y %m %d %H %M %S %f %b %a %z or %%.",
     u"追加できません: 使えるのは %Y %m %d %H %M %S %f %b %a %z %% です。"},
    {TextId::kStampPatternTrailingPercent, u"Refused: the pattern ends with a lone %.",
     u"追加できません: パターンが % 一文字で終わっています。"},
    {TextId::kStampPatternRepeated, u"Refused: a conversion appears twice.",
     u"追加できません: 同じ変換が二度あります。"},
    {TextId::kStampPatternNoTime, u"Refused: a stamp needs %H, %M and %S.",
     u"追加できません: 時刻には %H、%M、%S が必要です。"},
    {TextId::kStampPatternIncompleteDate, u"Refused: a date needs %d with %m or %b.",
     u"追加できません: 日付には %d と %m か %b が必要です。"},
    {TextId::kStampPatternListFull, u"Refused: the list holds 16 patterns at most.",
     u"追加できません: パターンは 16 個までです。"},
    {TextId::kStampFormsList,
     u"With this on, these forms are read besides the basic ones:\n\n"
     u"- ISO 8601 and RFC 3339: 2024-05-06T08:00:00.123+09:00, 2012-025T10:22:40 (day of the year)\n"
     u"- Month names: Nov  9 12:01:01, Sun Dec 04 04:47:44 2005, 06 May 2024 08:00:00, Mar-18 21:41:15\n"
     u"- Access logs: 10/Oct/2000:13:55:36 -0700\n"
     u"- Compact and dotted dates: 081109 203615, 20171223-22:15:29:606, 2005-06-03-15.42.50\n"
     u"- Epoch seconds and milliseconds: 1699999999.123, 1699999999123\n"
     u"- Key=value fields and JSON lines: time=\"2021-09-15T21:17:10Z\", {\"ts\": 1761019822.31}\n"
     u"- glog: I0517 15:04:22.619642\n"
     u"- Japanese dates, with the year, month and day in kanji as a Japanese system writes them\n"
     u"- TAI64N: @40000000433225833b6e1a8c\n"
     u"- A time of day alone: 08:09:33.814 (dated on the day the log was last written)\n\n"
     u"A zone (Z, +03:00, UTC, JST, ...) is applied, so that intervals are right across zones. "
     u"Colour codes around a stamp are skipped.",
     u"オンにすると、基本の形式のほかに次の形式も読みます:\n\n"
     u"\u2022 ISO 8601 と RFC 3339: 2024-05-06T08:00:00.123+09:00、2012-025T10:22:40 (年間通算日)\n"
     u"\u2022 月の名前: Nov  9 12:01:01、Sun Dec 04 04:47:44 2005、06 May 2024 08:00:00、Mar-18 21:41:15\n"
     u"\u2022 アクセスログ: 10/Oct/2000:13:55:36 -0700\n"
     u"\u2022 詰めた日付と点で区切った日付: 081109 203615、20171223-22:15:29:606、2005-06-03-15.42.50\n"
     u"\u2022 エポック秒とミリ秒: 1699999999.123、1699999999123\n"
     u"\u2022 キー=値 のフィールドと JSON 行: time=\"2021-09-15T21:17:10Z\"、{\"ts\": 1761019822.31}\n"
     u"\u2022 glog: I0517 15:04:22.619642\n"
     u"\u2022 日本語の日付: 2024年5月6日 8:00:00、5月 19 11:08:37\n"
     u"\u2022 TAI64N: @40000000433225833b6e1a8c\n"
     u"\u2022 時刻だけ: 08:09:33.814 (日付はログの最終更新日)\n\n"
     u"タイムゾーン (Z、+03:00、UTC、JST など) は換算するので、ゾーンをまたいでも間隔は正しく出ます。"
     u"時刻を囲む色コードは読み飛ばします。"},
    {TextId::kStampFormsCaption, u"Time-Stamp Forms", u"時刻の形式"},
    {TextId::kStampShareFormat, u"Stamps %d.%d%% (%s)", u"時刻あり %d.%d%% (%s)"},
    {TextId::kStampNone, u"No time stamps", u"時刻なし"},
    {TextId::kRecentMissingFormat, u"%s no longer exists. It has been removed from the recent logs.",
     u"%s はもうありません。最近使ったログから削除しました。"},
    {TextId::kRecentCaption, u"Recent Logs", u"最近使ったログ"},
    {TextId::kStateSetAsideFormat,
     u"The file of kept positions and markers was damaged and has been renamed to %s. Logs open without their "
     u"kept state.",
     u"位置とマーカを保存したファイルが壊れていたため、%s に名前を変更しました。ログは保存した状態なしで開きます。"},
    {TextId::kStateCaption, u"Kept Log State", u"ログの状態の保存"},
    {TextId::kSaveRowsTitle, u"Save Rows As", u"行を名前を付けて保存"},
    {TextId::kSaveRowsFilter, u"As in the log (*.log)\0*.log\0As shown, tab-separated (*.tsv)\0*.tsv\0",
     u"ログのとおり (*.log)\0*.log\0表示のとおり、タブ区切り (*.tsv)\0*.tsv\0"},
    {TextId::kSaveRowsReplaceFormat, u"%s already exists. Do you want to replace it?",
     u"%s は既に存在します。置き換えますか?"},
    {TextId::kSaveRowsFailed, u"The rows could not be saved. No file was changed.",
     u"行を保存できませんでした。ファイルは変更されていません。"},
    {TextId::kSaveRowsCaption, u"Save Rows As", u"行の保存"},
    {TextId::kProgressSaveCaption, u"Saving rows", u"行の保存"},
    {TextId::kProgressSaveFormat, u"Saving ... %lld / %lld rows (%d%%)", u"保存中... %lld / %lld 行 (%d%%)"},
    {TextId::kProgressTimelineCaption, u"Timeline", u"タイムライン"},
    {TextId::kProgressTimelineFormat, u"Counting ... %lld / %lld rows (%d%%)", u"集計中... %lld / %lld 行 (%d%%)"},
    {TextId::kProgressNavigateCaption, u"Go To", u"移動"},
    {TextId::kTimelineNoStamps, u"The rows have no time stamps: there is no timeline to draw.",
     u"行に時刻がないため、タイムラインは表示できません。"},
    {TextId::kTimelineBucketFormat, u"%s  rows: %lld  error rows: %lld", u"%s  行数: %lld  エラー行: %lld"},
    {TextId::kTimelineWidthSeconds, u"bar: %lld s", u"棒: %lld 秒"},
    {TextId::kTimelineWidthMinutes, u"bar: %lld min", u"棒: %lld 分"},
    {TextId::kTimelineWidthHours, u"bar: %lld h", u"棒: %lld 時間"},
    {TextId::kTimelineWidthDays, u"bar: %lld d", u"棒: %lld 日"},

    {TextId::kOpenMergedTitle, u"Open Logs Merged", u"複数ログを時刻順に開く"},
    {TextId::kOpenRotatedTitle, u"Open with Rotated Files", u"ローテーションされたファイルと開く"},
    {TextId::kProgressMergeCaption, u"Merging Logs", u"ログの統合"},
    {TextId::kProgressMergeFormat, u"Reading and merging ... %lld / %lld (%d%%)",
     u"読み込みと統合中... %lld / %lld (%d%%)"},
    {TextId::kMergedStatusFormat, u"%d logs merged by time: %s", u"%d 個のログを時刻順に統合: %s"},
    {TextId::kRotatedStatusFormat, u"%d rotated files found: %s", u"ローテーションされたファイル %d 個: %s"},
    {TextId::kMergeNoMemory, u"The logs cannot be merged: there is not enough memory.",
     u"メモリが足りないため、ログを統合できません。"},
    {TextId::kMergeCaption, u"Merge Logs", u"複数ログの統合"},
    {TextId::kUnpackTruncated, u"The compressed data ends early: the log is shown up to there.",
     u"圧縮データが途中で終わっています。そこまでのログを表示します。"},
    {TextId::kUnpackCorrupt, u"The compressed data is damaged: the log is shown up to the damage.",
     u"圧縮データが壊れています。壊れた箇所までのログを表示します。"},
    {TextId::kUnpackBadCheck, u"The uncompressed data fails its check (CRC-32 or length): it may be damaged.",
     u"展開したデータがチェック (CRC-32 または長さ) に合いません。壊れている可能性があります。"},
    {TextId::kUnpackUnsupported,
     u"The file in the zip archive uses a compression method or an encryption that is not supported.",
     u"zip アーカイブ内のファイルは、対応していない圧縮方式または暗号化を使っています。"},
    {TextId::kUnpackTooLarge,
     u"The file in the zip archive declares a size its compressed data cannot hold: it was not opened.",
     u"zip アーカイブ内のファイルが、圧縮データではあり得ないサイズを示しています。開きませんでした。"},
    {TextId::kUnpackBadArchive, u"The zip archive's directory cannot be read.",
     u"zip アーカイブのディレクトリを読み取れません。"},
    {TextId::kUnpackNoEntry, u"The zip archive holds no such file.", u"zip アーカイブにそのファイルはありません。"},
    {TextId::kUnpackNoMemory, u"There is not enough memory to decompress the log.",
     u"ログを展開するためのメモリが足りません。"},
    {TextId::kUnpackReadFailed, u"The compressed log cannot be read.", u"圧縮されたログを読み取れません。"},
    {TextId::kUnpackCaption, u"Compressed Log", u"圧縮ログ"},
    {TextId::kPackedStatusFormat, u"%s: %s compressed, %s uncompressed", u"%s: 圧縮 %s、展開後 %s"},
    {TextId::kPackedIncompleteStatus, u"Incomplete: the compressed data ends early or is damaged",
     u"不完全: 圧縮データが途中で終わっているか壊れています"},
    {TextId::kZipEntryChoiceCaption, u"Choose the Log in the Archive", u"アーカイブ内のログを選択"},
    {TextId::kProgressPackedLoadFormat, u"Loading ... %lld / %lld compressed bytes (%d%%)",
     u"読み込み完了... 圧縮 %lld / %lld bytes (%d%%)"},
    {TextId::kFollowPacked, u"Not following: a compressed log is not followed",
     u"追跡しません: 圧縮されたログは追跡できません"},
    {TextId::kTimeOffsetBadFormat, u"The offset is a whole number of minutes from %d to %d.",
     u"補正は %d から %d までの整数 (分) で指定してください。"},
    {TextId::kTimeOffsetCaption, u"Log Time Offset", u"ログの時刻補正"},
};

static_assert(sizeof kRows / sizeof kRows[0] == static_cast<std::size_t>(kTextIdCount), "one row for every TextId");

constexpr bool RowsInOrder() {
    for (int i = 0; i < kTextIdCount; ++i) {
        if (static_cast<int>(kRows[i].id) != i) return false;
    }
    return true;
}
static_assert(RowsInOrder(), "the rows follow the enum's order");

}  // namespace

// The damages and their texts are in the same order.
static_assert(static_cast<int>(TextId::kUnpackReadFailed) - static_cast<int>(TextId::kUnpackTruncated) ==
                  static_cast<int>(CUnpackError::kReadFailed) - static_cast<int>(CUnpackError::kTruncated),
              "one text for every damage");

TextId UnpackErrorTextId(CUnpackError error) {
    if (error == CUnpackError::kNone) return TextId::kCount;
    return static_cast<TextId>(static_cast<int>(TextId::kUnpackTruncated) + static_cast<int>(error) - 1);
}

const char16_t* UiText(TextId id, int language) {
    int index = static_cast<int>(id);
    if (index < 0 || index >= kTextIdCount) return u"";
    return language == kLanguageJapanese ? kRows[index].japanese : kRows[index].english;
}

int UiLanguage() {
    // The one reader that may run before start-up has made the configuration (the core's
    // tests, a failed start): English then.
    return g_config != nullptr ? g_config->m_language : 0;
}

const char16_t* UiText(TextId id) { return UiText(id, UiLanguage()); }

// The texts of the user interface that the code builds (dialog titles and captions, message
// boxes, progress and status texts, the view's header, the context menu, tooltips, file
// filters, colour names and the identity texts), in English and Japanese, in one table.
// The texts of the resource files (menus, dialog templates, string tables) are not here.
// Every text is a constant of the program (never freed, valid for the whole run); the
// formats keep their printf fields for FormatString. A file filter holds its pairs
// separated by NULs and ends with two NULs, as the file dialogs read it.
// Portable: no <windows.h>; Win32 callers convert with W() (foundation/wide.h).
#pragma once

#include "document/packed_format.h"

// One id a place that shows a text: two places with equal texts still have an id each,
// so that one can change without the other.
enum class TextId {
    // The application.
    kAppTitle,             // the frame's title
    kHelpPage,             // the help page, relative to the application folder
    kDefaultFontFace,      // the view font when none is set, and the code-page box's font
    kLanguageNameEnglish,  // the language choice's entries
    kLanguageNameJapanese,
    // Opening a log.
    kOpenLogTitle,
    kOpenLogFilter,
    // The code-page box's Auto entry.
    kEncodingAuto,
    // The toolbar's tooltips, in the buttons' order.
    kToolTipOpen,
    kToolTipCsv,
    kToolTipCopy,
    kToolTipSearch,
    kToolTipSearchPrevious,
    kToolTipSearchNext,
    kToolTipHighlightSearch,
    kToolTipExtract,
    kToolTipCompare,
    kToolTipJump,
    kToolTipJumpTop,
    kToolTipJumpEnd,
    kToolTipMarkerList,
    kToolTipMarkerPrevious,
    kToolTipMarkerNext,
    kToolTipHelp,
    kToolTipPrint,
    kToolTipFollow,
    // The log view's header and its context menu.
    kHeaderLines,
    kHeaderInterval,
    kHeaderMessage,
    kContextCopy,
    kContextSearchPrevious,
    kContextSearchNext,
    kContextExtract,
    kContextColorLabel,  // the submenu of the colour labels, its nine names and Clear
    kContextLabelClear,
    kLabelName1,
    kLabelName2,
    kLabelName3,
    kLabelName4,
    kLabelName5,
    kLabelName6,
    kLabelName7,
    kLabelName8,
    kLabelName9,
    // The progress dialog: its caption and its text (a format of position, total and
    // percent) by the kind of job; a load keeps the template's caption.
    kProgressSearchCaption,
    kProgressExtractCaption,
    kProgressErrorLogCaption,
    kProgressCopyCaption,
    kProgressSearchFormat,
    kProgressExtractFormat,
    kProgressCopyFormat,  // a copy and the error log
    kProgressLoadFormat,
    // Search and extraction.
    kLoadTooLargeFormat,  // message box: a log whose index would not fit (%lld lines, %lld and %lld bytes)
    kLoadTooLargeCaption,
    kRegexLimitFormat,  // message box: the hits past the matching limit (%lld)
    kRegexLimitCaption,
    kExtractTooLarge,  // message box
    kExtractTooLargeCaption,
    kExtractNoMemory,   // message box, with kExtractTooLargeCaption
    kExtractViewTitle,  // the title of an extraction's view, before its conditions
    kHideViewTitle,     // the same for Hide Matching Rows (texts that are all "not")
    kTitleNot,          // between the title's texts and a "not" text
    kErrorLogViewTitle,
    kPatternErrorFormat,  // the search dialogs' line under the check boxes (%d, %s)
    kJumpRangeFormat,     // the jump dialog's range (%lld)
    // Jump to Time: its range (%s first, %s last stamp), a text that is no time (%s), no row
    // at or after the time (%s), the message boxes' caption.
    kJumpTimeRangeFormat,
    kJumpTimeBadFormat,
    kJumpTimeNoneFormat,
    kJumpTimeCaption,
    // Following a log: the status bar's part.
    kFollowing,
    kFollowDeleted,
    kFollowUnreadable,
    kFollowReplaced,
    kFollowShorter,
    kFollowLastChangeFormat,  // %02d:%02d:%02d
    kFollowIncomplete,        // the load did not read the whole log
    kFollowCancelled,         // the user cancelled reading what was appended
    kFollowNoMemory,          // what was appended could not be taken in
    // Settings: the property sheet's caption and the colour page's names.
    kSettingsCaption,
    kColorTextNormal,
    kColorRule,
    kColorCursor,
    kColorMarker,
    kColorSelection,
    kColorSearch,
    kColorHighlight1,
    kColorHighlight2,
    kColorHighlight3,
    kColorHighlight4,
    kColorHighlight5,
    kColorHighlight6,
    kColorHighlight7,
    kColorHighlight8,
    kColorHeader,
    kColorLineNumber,
    kColorInterval,
    kColorError,
    // The keyword dialogs.
    kHighlightFormat,  // a highlight colour's name (%d: 1..8)
    kKeywordColumnText,
    kKeywordColumnColor,
    kKeywordFileLoadTitle,
    kKeywordFileSaveTitle,
    kKeywordFileFilter,
    // The settings page's stamp patterns: why a pattern is refused (in the order of
    // StampPatternError from kEmpty on, then a full list), and the status bar's summary of
    // the stamps a load found (%d.%d per cent, %s the form), or that it found none.
    kStampPatternEmpty,
    kStampPatternTooLong,
    kStampPatternBadPlace,
    kStampPatternUnknownConversion,
    kStampPatternTrailingPercent,
    kStampPatternRepeated,
    kStampPatternNoTime,
    kStampPatternIncompleteDate,
    kStampPatternListFull,
    // The settings page's list of the further stamp forms, and its caption.
    kStampFormsList,
    kStampFormsCaption,
    kStampShareFormat,
    kStampNone,
    // The recent logs of the File menu: one that is gone (%s its path).
    kRecentMissingFormat,
    kRecentCaption,
    // The kept state of logs: its file was damaged and set aside (%s the new name).
    kStateSetAsideFormat,
    kStateCaption,
    // Save Rows As: the file dialog, replacing a file (%s), a failed save, the progress.
    kSaveRowsTitle,
    kSaveRowsFilter,
    kSaveRowsReplaceFormat,
    kSaveRowsFailed,
    kSaveRowsCaption,
    kProgressSaveCaption,
    kProgressSaveFormat,
    // The timeline: its job's progress, the pane without stamps, and a bucket under the
    // mouse (%s its start, %lld rows and %lld error rows).
    kProgressTimelineCaption,
    kProgressTimelineFormat,
    kProgressNavigateCaption,
    kTimelineNoStamps,
    kTimelineBucketFormat,
    // The timeline's bucket width (%lld the count).
    kTimelineWidthSeconds,
    kTimelineWidthMinutes,
    kTimelineWidthHours,
    kTimelineWidthDays,
    // Several logs as one view: the open dialogs' titles, the merge's progress, the status
    // bar's summary of the logs merged (%d, %s their names) or of the rotated files found
    // beside a log (%d, %s), a merge without memory and its caption; the Log Time Offset
    // dialog's refusal of its minutes (%d, %d the bounds) and caption.
    kOpenMergedTitle,
    kOpenRotatedTitle,
    kProgressMergeCaption,
    kProgressMergeFormat,
    kMergedStatusFormat,
    kRotatedStatusFormat,
    kMergeNoMemory,
    kMergeCaption,
    // A compressed log: why it cannot be read, or why it ended early (UnpackErrorTextId), a
    // message box's caption, the status bar's note of its sizes (%s the format, gzip or
    // zip; %s the compressed and %s the uncompressed size) and of a log that ended early,
    // and the caption of the choice of a zip archive's file.
    kUnpackTruncated,
    kUnpackCorrupt,
    kUnpackBadCheck,
    kUnpackUnsupported,
    kUnpackTooLarge,
    kUnpackBadArchive,
    kUnpackNoEntry,
    kUnpackNoMemory,
    kUnpackReadFailed,
    kUnpackCaption,
    kPackedStatusFormat,
    kPackedIncompleteStatus,
    kZipEntryChoiceCaption,
    // A compressed log's load counts its compressed bytes; following it is refused.
    kProgressPackedLoadFormat,
    kFollowPacked,
    kTimeOffsetBadFormat,
    kTimeOffsetCaption,

    kCount
};

constexpr int kTextIdCount = static_cast<int>(TextId::kCount);

// The text that says why a compressed log cannot be read (whole): kUnpackTruncated and on;
// kCount for kNone.
TextId UnpackErrorTextId(CUnpackError error);

// The text of id in a language (1 Japanese, anything else English); never null (empty for
// an id out of range).
const char16_t* UiText(TextId id, int language);
// The same in the language of the interface: the configuration's, English when there is none.
const char16_t* UiText(TextId id);
// The language of the interface, as UiText(id) uses it: the configuration's, 0 (English)
// when there is none.
int UiLanguage();

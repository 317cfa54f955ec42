// Short names for the resource and command ids of res/resource.h, as the shell code uses them.
#pragma once

#include "res/resource.h"

constexpr int kCmdExitClose = 2;  // IDCANCEL from the system, treated as Exit
constexpr int kCmdPrint = IDM_PRINT;
constexpr int kCmdUnused5007 = IDM_RESERVED;
constexpr int kCmdCopy = IDM_COPY;
constexpr int kCmdToolBar = IDM_TOOLBAR;
constexpr int kCmdStatusBar = IDM_STATUSBAR;
constexpr int kCmdAbout = IDM_ABOUT;
constexpr int kCmdHelp = IDM_HELP;
constexpr int kCmdSettings = IDM_SETTING;
constexpr int kCmdLanguage = IDM_LANGUAGE;
constexpr int kCmdExit = IDM_EXIT;
constexpr int kCmdTileHorizontal = IDM_TILE_HORIZONTAL;
constexpr int kCmdTileVertical = IDM_TILE_VERTICAL;
constexpr int kCmdCascade = IDM_CASCADE;
constexpr int kCmdAllClose = IDM_CLOSE_ALL;
constexpr int kCmdFirstChild = IDM_FIRST_CHILD;
constexpr int kCmdOpen = IDM_OPEN_LOG;
constexpr int kCmdClose = IDM_CLOSE;
constexpr int kCmdCsv = IDM_SAVE_CSV;
constexpr int kCmdHighlightSettings = IDM_SETTING_HIGHLIGHT;
constexpr int kCmdSearch = IDM_SEARCH;
constexpr int kCmdSearchPrevious = IDM_SEARCH_PREVIOUS;
constexpr int kCmdSearchNext = IDM_SEARCH_NEXT;
constexpr int kCmdHighlightSearch = IDM_HIGHLIGHT_SEARCH;
constexpr int kCmdExtract = IDM_EXTRACTION;
constexpr int kCmdErrorLog = IDM_ERROR_LOG;
constexpr int kCmdCompare = IDM_COMPARE;
constexpr int kCmdJumpTop = IDM_JUMP_TOP;
constexpr int kCmdJumpEnd = IDM_JUMP_END;
constexpr int kCmdJump = IDM_JUMP;
constexpr int kCmdMarker = IDM_MARKER_TOGGLE;
constexpr int kCmdMarkerPrevious = IDM_MARKER_PREVIOUS;
constexpr int kCmdMarkerNext = IDM_MARKER_NEXT;
constexpr int kCmdMarkerDeleteAll = IDM_MARKER_CLEAR_ALL;
constexpr int kCmdMarkerList = IDM_MARKER_LIST;
constexpr int kCmdContextSearchPrevious = IDM_SELECTION_SEARCH_PREVIOUS;
constexpr int kCmdContextSearchNext = IDM_SELECTION_SEARCH_NEXT;
constexpr int kCmdContextExtract = IDM_SELECTION_EXTRACTION;
constexpr int kCmdSelectAll = IDM_SELECT_ALL;
constexpr int kCmdCloseView = IDM_CLOSE_VIEW;
constexpr int kCmdCodePageBox = IDC_ENCODING_COMBO;
constexpr int kCmdFollow = IDM_FOLLOW;

constexpr int kToolBarId = IDC_TOOLBAR;
constexpr int kResIcon = IDI_QUILLON;
constexpr int kResChildIcon = IDI_CHILD;
constexpr int kResMenuJapanese = IDR_MENU_JA;
constexpr int kResMenuEnglish = IDR_MENU_EN;
constexpr int kResToolBarBitmap = IDB_TOOLBAR;
constexpr int kResAccelerators = IDR_ACCELERATORS;

// Dialog templates (Japanese ids; the English template is the id + 100).
constexpr int kDlgChooseLanguage = IDD_CHOOSE_LANGUAGE_JA;
constexpr int kDlgProgress = IDD_PROGRESS_JA;
constexpr int kDlgAbout = IDD_ABOUT_JA;
constexpr int kDlgConfigFont = IDD_CONFIG_FONT_JA;
constexpr int kDlgConfigColor = IDD_CONFIG_COLOR_JA;
constexpr int kDlgCsv = IDD_CSV_FILE_JA;
constexpr int kDlgKeywordList = IDD_KEYWORD_LIST_JA;
constexpr int kDlgKeywordEdit = IDD_KEYWORD_EDIT_JA;
constexpr int kDlgSearch = IDD_SEARCH_LOG_JA;
constexpr int kDlgExtraction = IDD_EXTRACTION_LOG_JA;
constexpr int kDlgCompare = IDD_COMPARE_LOG_JA;
constexpr int kDlgJump = IDD_JUMP_JA;
constexpr int kDlgMarkerList = IDD_MARKER_LIST_JA;
constexpr int kDlgConfigPage1 = IDD_CONFIG_PAGE1_JA;
constexpr int kDlgConfigPage2 = IDD_CONFIG_PAGE2_JA;

// Controls named by the shell.
constexpr int kCtlLanguageCombo = IDC_LANGUAGE_COMBO;
constexpr int kCtlAboutVersion = IDC_ABOUT_VERSION;
constexpr int kCtlAboutEdition = IDC_ABOUT_EDITION;
constexpr int kCtlProgressBar = IDC_PROGRESS_BAR;
constexpr int kCtlProgressText = IDC_PROGRESS_TEXT;

// Commands that read the log or change its views: greyed and refused while a background job runs.
inline constexpr int kLogCommands[] = {
    kCmdOpen,           kCmdCopy,          kCmdSearch,      kCmdSearchPrevious,        kCmdSearchNext,
    kCmdHighlightSearch, kCmdExtract,      kCmdErrorLog,    kCmdJumpTop,               kCmdJumpEnd,
    kCmdJump,           kCmdMarker,        kCmdMarkerPrevious, kCmdMarkerNext,         kCmdMarkerDeleteAll,
    kCmdMarkerList,     kCmdContextSearchPrevious, kCmdContextSearchNext, kCmdContextExtract,
    kCmdHighlightSettings, kCmdSelectAll};

inline bool IsLogCommand(int id) {
    for (int command : kLogCommands) {
        if (command == id) return true;
    }
    return false;
}

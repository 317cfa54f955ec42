// Resource, command and control identifiers shared by the resource scripts and the shell.
// Plain #defines only: windres and g++ both read this header.
#ifndef QUILLON_RES_RESOURCE_H
#define QUILLON_RES_RESOURCE_H

// Program icon. The MDI child class asks for IDI_CHILD, which the configuration maps to
// IDI_QUILLON; the resources hold only IDI_QUILLON.
#define IDI_QUILLON 10011
#define IDI_CHILD 10012

// Frame menus, one per language, and the toolbar bitmap (17 images of 16 x 15 pixels).
#define IDR_MENU_JA 10013
#define IDR_MENU_EN 10014
#define IDB_TOOLBAR 10015
// The same images at 24 x 24 and 32 x 32 pixels, for displays scaled to 150% and 200%.
#define IDB_TOOLBAR_24 10024
#define IDB_TOOLBAR_32 10032
// The keyboard shortcuts of the frame, loaded at start-up (res/menus.rc).
#define IDR_ACCELERATORS 10016

// Child window ids of the frame's toolbar and of the code-page box on it.
#define IDC_TOOLBAR 10020
#define IDC_ENCODING_COMBO 21000

// Dialog templates. The Japanese template is IDD_*_JA; its English twin is the same id
// plus IDD_EN_OFFSET, spelt out as IDD_*_EN.
#define IDD_EN_OFFSET 100
#define IDD_CHOOSE_LANGUAGE_JA 1001
#define IDD_CHOOSE_LANGUAGE_EN 1101
#define IDD_PROGRESS_JA 1002
#define IDD_PROGRESS_EN 1102
#define IDD_ABOUT_JA 1004
#define IDD_ABOUT_EN 1104
#define IDD_CONFIG_FONT_JA 1007
#define IDD_CONFIG_FONT_EN 1107
#define IDD_CONFIG_COLOR_JA 1008
#define IDD_CONFIG_COLOR_EN 1108
#define IDD_CSV_FILE_JA 2001
#define IDD_CSV_FILE_EN 2101
#define IDD_KEYWORD_LIST_JA 2002
#define IDD_KEYWORD_LIST_EN 2102
#define IDD_KEYWORD_EDIT_JA 2003
#define IDD_KEYWORD_EDIT_EN 2103
#define IDD_SEARCH_LOG_JA 2004
#define IDD_SEARCH_LOG_EN 2104
#define IDD_EXTRACTION_LOG_JA 2005
#define IDD_EXTRACTION_LOG_EN 2105
#define IDD_COMPARE_LOG_JA 2006
#define IDD_COMPARE_LOG_EN 2106
#define IDD_JUMP_JA 2007
#define IDD_JUMP_EN 2107
#define IDD_MARKER_LIST_JA 2008
#define IDD_MARKER_LIST_EN 2108
#define IDD_CONFIG_PAGE1_JA 2009
#define IDD_CONFIG_PAGE1_EN 2109
#define IDD_CONFIG_PAGE2_JA 2010
#define IDD_CONFIG_PAGE2_EN 2110
#define IDD_JUMP_TIME_JA 2011
#define IDD_JUMP_TIME_EN 2111
#define IDD_HIDE_ROWS_JA 2020
#define IDD_HIDE_ROWS_EN 2120
#define IDD_ZIP_ENTRY_JA 2012
#define IDD_ZIP_ENTRY_EN 2112
#define IDD_LOG_TIME_OFFSET_JA 2013
#define IDD_LOG_TIME_OFFSET_EN 2113

// Commands: File menu.
#define IDM_OPEN_LOG 6001
#define IDM_CLOSE 6002
#define IDM_SETTING_HIGHLIGHT 6004
#define IDM_SETTING 5016
#define IDM_EXIT 5019
#define IDM_SAVE_ROWS 6061
#define IDM_OPEN_MERGED 6090
#define IDM_OPEN_ROTATED 6091
// The recent logs, inserted at run time before Exit (most recent first).
#define IDM_RECENT_1 6050
#define IDM_RECENT_2 6051
#define IDM_RECENT_3 6052
#define IDM_RECENT_4 6053
#define IDM_RECENT_5 6054
#define IDM_RECENT_6 6055
#define IDM_RECENT_7 6056
#define IDM_RECENT_8 6057
#define IDM_RECENT_9 6058
#define IDM_RECENT_10 6059
#define IDM_RECENT_SEPARATOR 6060

// Commands: Search menu.
#define IDM_SEARCH 6005
#define IDM_SEARCH_PREVIOUS 6006
#define IDM_SEARCH_NEXT 6007
#define IDM_HIGHLIGHT_SEARCH 6008
#define IDM_EXTRACTION 6009
#define IDM_ERROR_LOG 6010
#define IDM_JUMP_TOP 6012
#define IDM_JUMP_END 6013
#define IDM_JUMP 6014
#define IDM_MARKER_TOGGLE 6015
#define IDM_MARKER_PREVIOUS 6016
#define IDM_MARKER_NEXT 6018
#define IDM_MARKER_CLEAR_ALL 6019
#define IDM_MARKER_LIST 6020
// Moving by time and by trouble: Jump to Time, the next/previous error line and slow interval.
#define IDM_JUMP_TIME 6070
#define IDM_ERROR_NEXT 6071
#define IDM_ERROR_PREVIOUS 6072
#define IDM_SLOW_NEXT 6073
#define IDM_SLOW_PREVIOUS 6074

// Commands: View menu. The MDI window list that follows it starts at IDM_FIRST_CHILD.
#define IDM_TOOLBAR 5012
#define IDM_STATUSBAR 5013
#define IDM_TILE_HORIZONTAL 5020
#define IDM_TILE_VERTICAL 5021
#define IDM_CASCADE 5022
#define IDM_CLOSE_ALL 5023
#define IDM_FIRST_CHILD 5024

// Commands: Help menu.
#define IDM_HELP 5015
#define IDM_LANGUAGE 5017
#define IDM_ABOUT 5014

// Commands of the log view's context menu (built in code) and of the toolbar only.
#define IDM_COPY 5009
#define IDM_SELECTION_SEARCH_PREVIOUS 6021
#define IDM_SELECTION_SEARCH_NEXT 6022
#define IDM_SELECTION_EXTRACTION 6023
#define IDM_FOLLOW 6040
// View menu: the overview strip beside each view's scroll bar.
#define IDM_OVERVIEW 6080
// View menu: the active view's timeline pane.
#define IDM_TIMELINE 6081
// View menu: the Dark Theme submenu's three choices.
#define IDM_DARK_THEME_OFF 6082
#define IDM_DARK_THEME_ON 6083
#define IDM_DARK_THEME_SYSTEM 6084
// View menu: a view of the rows that hold none of some texts, and long rows wrapped.
#define IDM_HIDE_ROWS 6100
#define IDM_WRAP_LINES 6101
// The log view's context menu and Ctrl+Shift+0..9: the colour labels of a selected text.
// Label k (1..9) is IDM_LABEL_1 + k - 1; Clear takes every label off.
#define IDM_LABEL_CLEAR 6110
#define IDM_LABEL_1 6111
#define IDM_LABEL_2 6112
#define IDM_LABEL_3 6113
#define IDM_LABEL_4 6114
#define IDM_LABEL_5 6115
#define IDM_LABEL_6 6116
#define IDM_LABEL_7 6117
#define IDM_LABEL_8 6118
#define IDM_LABEL_9 6119
// The minutes added to a merged log's times.
#define IDM_LOG_TIME_OFFSET 6092

// Keyboard commands on the active view: select all rows (also in the menu) and close it.
#define IDM_SELECT_ALL 6024
#define IDM_CLOSE_VIEW 6025

// Commands without a menu item: hidden toolbar buttons and ids that stay disabled.
#define IDM_SAVE_CSV 6003
#define IDM_COMPARE 6011
#define IDM_PRINT 5006
#define IDM_RESERVED 5007

// Statics without an id of their own.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Language dialog.
#define IDC_LANGUAGE_COMBO 10102

// About box.
#define IDC_ABOUT_VERSION 10101
#define IDC_ABOUT_EDITION 10130

// Progress dialog.
#define IDC_PROGRESS_BAR 10113
#define IDC_PROGRESS_TEXT 10114

// Settings, font page.
#define IDC_FONT_FACE_LIST 10103
#define IDC_FONT_SIZE_LIST 10104
#define IDC_FONT_PREVIEW 10105

// Settings, colour page.
#define IDC_COLOR_NAME_LIST 10106
#define IDC_COLOR_TEXT_LABEL 10107
#define IDC_COLOR_BACK_LABEL 10108
#define IDC_COLOR_LINE_LABEL 10109
#define IDC_COLOR_TEXT_BUTTON 10110
#define IDC_COLOR_BACK_BUTTON 10111
#define IDC_COLOR_LINE_BUTTON 10112
#define IDC_COLOR_CODES 10115

// Settings, interval page.
#define IDC_INTERVAL_CHECK 20500
#define IDC_INTERVAL_TIME 20501
#define IDC_STAMP_FORMS 20502
#define IDC_STAMP_PATTERN_LIST 20503
#define IDC_STAMP_PATTERN_TEXT 20504
#define IDC_STAMP_PATTERN_ADD 20505
#define IDC_STAMP_PATTERN_DELETE 20506
#define IDC_STAMP_PATTERN_REASON 20507
#define IDC_STAMP_FORMS_LIST 20508

// CSV output dialog.
#define IDC_CSV_LOG_COMBO 20301
#define IDC_CSV_FILE_EDIT 20302
#define IDC_CSV_BROWSE 20303

// Comparison dialog.
#define IDC_COMPARE_LIST 20311

// Keyword list dialog.
#define IDC_KEYWORD_LIST 20011
#define IDC_KEYWORD_ADD 20012
#define IDC_KEYWORD_MODIFY 20013
#define IDC_KEYWORD_DELETE 20014
#define IDC_KEYWORD_DELETE_ALL 20015
#define IDC_KEYWORD_LOAD 20016
#define IDC_KEYWORD_SAVE 20017

// Keyword edit dialog.
#define IDC_KEYWORD_TEXT 20050
#define IDC_KEYWORD_COLOR 20051
#define IDC_KEYWORD_BOLD 20052
#define IDC_KEYWORD_ERROR 20053

// Search and extraction dialogs: condition boxes 1 to 5 are IDC_CONDITION_1 + 0..4.
#define IDC_CONDITION_1 20200
#define IDC_CONDITION_2 20201
#define IDC_CONDITION_3 20202
#define IDC_CONDITION_4 20203
#define IDC_CONDITION_5 20204
#define IDC_MATCH_AND 20205
#define IDC_MATCH_OR 20206
#define IDC_SEARCH_PREVIOUS 20215
#define IDC_SEARCH_NEXT 20216
#define IDC_LINES_BEFORE 20217
#define IDC_LINES_AFTER 20218
#define IDC_MATCH_CASE 20219
#define IDC_REGEX 20220
#define IDC_PATTERN_ERROR 20221
// The "Not" box beside condition box k is IDC_NOT_1 + k (the search dialog has the first).
#define IDC_NOT_1 20230
#define IDC_NOT_2 20231
#define IDC_NOT_3 20232
#define IDC_NOT_4 20233
#define IDC_NOT_5 20234

// Marker list dialog.
#define IDC_MARKER_LIST 20100
#define IDC_MARKER_JUMP 20101
#define IDC_MARKER_RELEASE 20102
#define IDC_MARKER_RELEASE_ALL 20103

// Jump dialog.
#define IDC_JUMP_RANGE 20401
#define IDC_JUMP_CURSOR 20402
#define IDC_JUMP_LINE 20403

// Jump to Time dialog.
#define IDC_JUMP_TIME_RANGE 20404
#define IDC_JUMP_TIME_TEXT 20405

// The choice of a zip archive's file.
#define IDC_ZIP_ENTRY_LIST 20410
// Log Time Offset dialog.
#define IDC_TIME_OFFSET_LOG 20406
#define IDC_TIME_OFFSET_MINUTES 20407
#define IDC_TIME_OFFSET_SPIN 20408

#endif

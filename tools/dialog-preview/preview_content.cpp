// Sample content for the previewed dialogs. The texts are the program's own, at their
// longest (large numbers, the longest colour names), so clipping shows.
#include "preview_content.h"

#include <commctrl.h>

#include "resource.h"
#include "template_table.h"

namespace {

const wchar_t kFontProperty[] = L"QuillonPreviewFont";

void AddComboItems(HWND dialog, int id, const wchar_t* const* items, int count, int select) {
    HWND combo = GetDlgItem(dialog, id);
    if (!combo) return;
    for (int i = 0; i < count; ++i) SendMessageW(combo, CB_ADDSTRING, 0, (LPARAM)items[i]);
    if (select >= 0) SendMessageW(combo, CB_SETCURSEL, select, 0);
}

void AddListItems(HWND dialog, int id, const wchar_t* const* items, int count) {
    HWND list = GetDlgItem(dialog, id);
    if (!list) return;
    for (int i = 0; i < count; ++i) SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)items[i]);
    SendMessageW(list, LB_SETCURSEL, 0, 0);
}

void FillKeywordList(HWND dialog, bool english) {
    HWND list = GetDlgItem(dialog, IDC_KEYWORD_LIST);
    if (!list) return;
    ListView_SetExtendedListViewStyleEx(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT,
                                        LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    const wchar_t* headers[2] = {english ? L"Keyword" : L"文字列", english ? L"Color" : L"表示方法"};
    for (int c = 0; c < 2; ++c) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 100;
        column.pszText = const_cast<wchar_t*>(headers[c]);
        SendMessageW(list, LVM_INSERTCOLUMNW, c, (LPARAM)&column);
    }
    const wchar_t* keywords[] = {L"ERROR", L"WARN", L"timeout", L"例外"};
    const wchar_t* colours[2][4] = {{L"強調表示1", L"強調表示3", L"強調表示6", L"強調表示8"},
                                    {L"Highlight 1", L"Highlight 3", L"Highlight 6", L"Highlight 8"}};
    for (int i = 0; i < 4; ++i) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(keywords[i]);
        SendMessageW(list, LVM_INSERTITEMW, 0, (LPARAM)&item);
        item.iSubItem = 1;
        item.pszText = const_cast<wchar_t*>(colours[english ? 1 : 0][i]);
        SendMessageW(list, LVM_SETITEMTEXTW, i, (LPARAM)&item);
    }
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void FillFontPage(HWND dialog, bool english) {
    // English Windows lists the Japanese fonts by their English names.
    const wchar_t* faces[] = {L"Courier New", L"Lucida Console", english ? L"MS Gothic" : L"ＭＳ ゴシック",
                              L"IPAGothic", L"DejaVu Sans Mono"};
    AddListItems(dialog, IDC_FONT_FACE_LIST, faces, 5);
    const wchar_t* sizes[] = {L"10", L"12", L"14", L"16", L"18", L"20"};
    AddListItems(dialog, IDC_FONT_SIZE_LIST, sizes, 6);
    // The largest size the list offers, in the language's default face.
    LOGFONTW font = {};
    font.lfHeight = 20;
    font.lfCharSet = english ? ANSI_CHARSET : SHIFTJIS_CHARSET;
    font.lfPitchAndFamily = FIXED_PITCH;
    lstrcpyW(font.lfFaceName, english ? L"Courier New" : L"ＭＳ ゴシック");
    HFONT preview = CreateFontIndirectW(&font);
    if (preview) {
        SendDlgItemMessageW(dialog, IDC_FONT_PREVIEW, WM_SETFONT, (WPARAM)preview, TRUE);
        SetPropW(dialog, kFontProperty, preview);
    }
}

void FillColorPage(HWND dialog, bool english) {
    const wchar_t* ja[] = {
        L"通常のテキスト表示", L"カーソル行の色", L"マーク行の色", L"選択文字列の色", L"検索文字列の色", L"強調表示1",
        L"強調表示2",          L"強調表示3",      L"強調表示4",    L"強調表示5",      L"強調表示6",      L"強調表示7",
        L"強調表示8",          L"項目表示の色",   L"行番号の色",   L"ログ間隔の色",   L"エラー行の色"};
    const wchar_t* en[] = {L"Text Color (Normal)", L"Cursor Color",       L"Marker Color",   L"Select Text Color",
                           L"Search Color",        L"Highlighting 1",     L"Highlighting 2", L"Highlighting 3",
                           L"Highlighting 4",      L"Highlighting 5",     L"Highlighting 6", L"Highlighting 7",
                           L"Highlighting 8",      L"Item display color", L"Line Color",     L"Interval Color",
                           L"Error Color"};
    AddListItems(dialog, IDC_COLOR_NAME_LIST, english ? en : ja, 17);
    // As for a name that is not line-only: the line colour is not editable.
    EnableWindow(GetDlgItem(dialog, IDC_COLOR_LINE_LABEL), FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_COLOR_LINE_BUTTON), FALSE);
}

}  // namespace

void FillSampleContent(HWND dialog, int templateId) {
    const bool english = IsEnglishTemplate(templateId);
    const int id = english ? templateId - IDD_EN_OFFSET : templateId;
    switch (id) {
        case IDD_CHOOSE_LANGUAGE_JA: {
            const wchar_t* ja[] = {L"英語", L"日本語"};
            const wchar_t* en[] = {L"English", L"Japanese"};
            AddComboItems(dialog, IDC_LANGUAGE_COMBO, english ? en : ja, 2, english ? 0 : 1);
            break;
        }
        case IDD_PROGRESS_JA:
            SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
            SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, 40, 0);
            SetDlgItemTextW(dialog, IDC_PROGRESS_TEXT,
                            english ? L"Loading ... 4294967296 / 10737418240 bytes (40%)"
                                    : L"読み込み完了... 4294967296 / 10737418240 bytes (40%)");
            break;
        case IDD_ABOUT_JA:
            SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, L"Version 1.0.0.0");
            SetDlgItemTextW(dialog, IDC_ABOUT_EDITION, L"64bit edition");
            break;
        case IDD_CONFIG_FONT_JA:
            FillFontPage(dialog, english);
            break;
        case IDD_CONFIG_COLOR_JA:
            FillColorPage(dialog, english);
            break;
        case IDD_KEYWORD_LIST_JA:
            FillKeywordList(dialog, english);
            break;
        case IDD_KEYWORD_EDIT_JA: {
            const wchar_t* ja[] = {L"強調表示1", L"強調表示2", L"強調表示3", L"強調表示4",
                                   L"強調表示5", L"強調表示6", L"強調表示7", L"強調表示8"};
            const wchar_t* en[] = {L"Highlight 1", L"Highlight 2", L"Highlight 3", L"Highlight 4",
                                   L"Highlight 5", L"Highlight 6", L"Highlight 7", L"Highlight 8"};
            AddComboItems(dialog, IDC_KEYWORD_COLOR, english ? en : ja, 8, 0);
            SetDlgItemTextW(dialog, IDC_KEYWORD_TEXT, L"ERROR");
            CheckDlgButton(dialog, IDC_KEYWORD_BOLD, BST_CHECKED);
            break;
        }
        case IDD_SEARCH_LOG_JA: {
            const wchar_t* history[] = {L"timeout", L"ERROR", L"接続エラー"};
            AddComboItems(dialog, IDC_CONDITION_1, history, 3, 0);
            // A refused pattern with one of PCRE2's longer messages.
            SetDlgItemTextW(dialog, IDC_CONDITION_1, L"time(d ?out|*refused");
            CheckDlgButton(dialog, IDC_MATCH_CASE, BST_CHECKED);
            CheckDlgButton(dialog, IDC_REGEX, BST_CHECKED);
            SetDlgItemTextW(
                dialog, IDC_PATTERN_ERROR,
                english ? L"Regular expression error at character 13: quantifier does not follow a repeatable item"
                        : L"正規表現のエラー (13 文字目): quantifier does not follow a repeatable item");
            break;
        }
        case IDD_EXTRACTION_LOG_JA: {
            const wchar_t* history[] = {L"ERROR", L"timeout"};
            AddComboItems(dialog, IDC_CONDITION_1, history, 2, 0);
            CheckRadioButton(dialog, IDC_MATCH_AND, IDC_MATCH_OR, IDC_MATCH_OR);
            CheckDlgButton(dialog, IDC_MATCH_CASE, BST_CHECKED);
            CheckDlgButton(dialog, IDC_REGEX, BST_CHECKED);
            SetDlgItemTextW(dialog, IDC_CONDITION_2, L"refused(");
            SetDlgItemTextW(dialog, IDC_CONDITION_3, L"DEBUG");
            CheckDlgButton(dialog, IDC_NOT_3, BST_CHECKED);
            SetDlgItemTextW(dialog, IDC_PATTERN_ERROR,
                            english ? L"Regular expression error at character 9: missing closing parenthesis"
                                    : L"正規表現のエラー (9 文字目): missing closing parenthesis");
            SetDlgItemTextW(dialog, IDC_LINES_BEFORE, L"2");
            SetDlgItemTextW(dialog, IDC_LINES_AFTER, L"1");
            break;
        }
        case IDD_HIDE_ROWS_JA: {
            const wchar_t* history[] = {L"DEBUG", L"heartbeat"};
            AddComboItems(dialog, IDC_CONDITION_1, history, 2, 0);
            SetDlgItemTextW(dialog, IDC_CONDITION_2, L"GET /health");
            CheckDlgButton(dialog, IDC_MATCH_CASE, BST_CHECKED);
            break;
        }
        case IDD_JUMP_JA:
            SetDlgItemTextW(dialog, IDC_JUMP_RANGE, english ? L"1 - 2147483647" : L"1 ～ 2147483647");
            SetDlgItemTextW(dialog, IDC_JUMP_CURSOR, L"2147483647");
            break;
        case IDD_JUMP_TIME_JA:
            SetDlgItemTextW(dialog, IDC_JUMP_TIME_RANGE,
                            english ? L"2024-05-31 23:57:40.015 - 2024-06-01 00:01:56.816"
                                    : L"2024-05-31 23:57:40.015 ～ 2024-06-01 00:01:56.816");
            SetDlgItemTextW(dialog, IDC_JUMP_TIME_TEXT, L"2024-05-31 23:59:00.500");
            break;
        case IDD_ZIP_ENTRY_JA: {
            // Names and sizes as the program lists them, a tab apart.
            const wchar_t* entries[] = {L"app.log\t1.2 MB", L"logs/app-2024-06-01.log\t512.0 KB",
                                        L"logs/アプリケーション.log\t10.5 GB"};
            HWND list = GetDlgItem(dialog, IDC_ZIP_ENTRY_LIST);
            int stop = 170;
            SendMessageW(list, LB_SETTABSTOPS, 1, (LPARAM)&stop);
            for (int i = 0; list && i < 3; ++i) SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)entries[i]);
            SendMessageW(list, LB_SETCURSEL, 0, 0);
            break;
        }
        case IDD_LOG_TIME_OFFSET_JA: {
            HWND logs = GetDlgItem(dialog, IDC_TIME_OFFSET_LOG);
            const wchar_t* names[] = {L"app-server-2024-05-31.log", L"gateway.log"};
            for (int i = 0; logs && i < 2; ++i) SendMessageW(logs, CB_ADDSTRING, 0, (LPARAM)names[i]);
            SendMessageW(logs, CB_SETCURSEL, 1, 0);
            SetDlgItemTextW(dialog, IDC_TIME_OFFSET_MINUTES, L"-20160");
            break;
        }
        case IDD_MARKER_LIST_JA: {
            const wchar_t* markers[] = {L"3", L"15", L"108", L"2147483647"};
            HWND list = GetDlgItem(dialog, IDC_MARKER_LIST);
            for (int i = 0; list && i < 4; ++i) SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)markers[i]);
            SendMessageW(list, LB_SETCURSEL, 0, 0);
            break;
        }
        case IDD_CONFIG_PAGE1_JA: {
            CheckDlgButton(dialog, IDC_INTERVAL_CHECK, BST_CHECKED);
            SetDlgItemTextW(dialog, IDC_INTERVAL_TIME, L"1000");
            CheckDlgButton(dialog, IDC_STAMP_FORMS, BST_CHECKED);
            const wchar_t* patterns[] = {L"%d/%b/%Y:%H:%M:%S", L"#3:%Y%m%d %H%M%S.%f", L"@12:%H:%M:%S"};
            HWND list = GetDlgItem(dialog, IDC_STAMP_PATTERN_LIST);
            for (int i = 0; list && i < 3; ++i) SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)patterns[i]);
            SetDlgItemTextW(dialog, IDC_STAMP_PATTERN_TEXT, L"%Y-%m-%d");
            SetDlgItemTextW(dialog, IDC_STAMP_PATTERN_REASON,
                            english ? L"Refused: a stamp needs %H, %M and %S."
                                    : L"追加できません: 時刻には %H、%M、%S が必要です。");
            break;
        }
        default:
            break;
    }
}

bool DrawSampleColorButton(const DRAWITEMSTRUCT* item) {
    if (item->CtlID < IDC_COLOR_TEXT_BUTTON || item->CtlID > IDC_COLOR_LINE_BUTTON) return false;
    RECT r = item->rcItem;
    DrawFrameControl(item->hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH);
    r.left += 3;
    r.top += 3;
    r.right -= 4;
    r.bottom -= 4;
    if (item->CtlID != IDC_COLOR_LINE_BUTTON) {
        // The defaults of the first colour name: black text on white.
        HBRUSH brush = CreateSolidBrush(item->CtlID == IDC_COLOR_TEXT_BUTTON ? RGB(0, 0, 0) : RGB(255, 255, 255));
        FillRect(item->hDC, &r, brush);
        DeleteObject(brush);
    }
    if (item->itemState & ODS_FOCUS) DrawFocusRect(item->hDC, &r);
    return true;
}

void ReleaseSampleContent(HWND dialog) {
    HFONT font = (HFONT)RemovePropW(dialog, kFontProperty);
    if (font) DeleteObject(font);
}

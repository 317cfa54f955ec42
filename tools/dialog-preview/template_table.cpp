// The table of dialog templates and their controls.
#include "template_table.h"

#include <windows.h>

#include "resource.h"

namespace {

const wchar_t kButton[] = L"Button";
const wchar_t kCombo[] = L"ComboBox";
const wchar_t kEdit[] = L"Edit";
const wchar_t kList[] = L"ListBox";
const wchar_t kStatic[] = L"Static";

const ExpectedControl kLanguage[] = {{IDC_LANGUAGE_COMBO, kCombo}, {IDOK, kButton}, {IDCANCEL, kButton}};
const ExpectedControl kProgress[] = {
    {IDC_PROGRESS_BAR, L"msctls_progress32"}, {IDC_PROGRESS_TEXT, kStatic}, {IDCANCEL, kButton}};
const ExpectedControl kAbout[] = {{IDC_ABOUT_EDITION, kStatic}, {IDC_ABOUT_VERSION, kStatic}, {IDOK, kButton}};
const ExpectedControl kFontPage[] = {
    {IDC_FONT_FACE_LIST, kList}, {IDC_FONT_SIZE_LIST, kList}, {IDC_FONT_PREVIEW, kStatic}};
const ExpectedControl kColorPage[] = {{IDC_COLOR_NAME_LIST, kList},     {IDC_COLOR_TEXT_LABEL, kStatic},
                                      {IDC_COLOR_BACK_LABEL, kStatic},  {IDC_COLOR_LINE_LABEL, kStatic},
                                      {IDC_COLOR_TEXT_BUTTON, kButton}, {IDC_COLOR_BACK_BUTTON, kButton},
                                      {IDC_COLOR_LINE_BUTTON, kButton}};
const ExpectedControl kCsvFile[] = {{IDC_CSV_LOG_COMBO, kCombo},
                                    {IDC_CSV_FILE_EDIT, kEdit},
                                    {IDC_CSV_BROWSE, kButton},
                                    {IDOK, kButton},
                                    {IDCANCEL, kButton}};
const ExpectedControl kKeywordList[] = {{IDC_KEYWORD_LIST, L"SysListView32"},
                                        {IDC_KEYWORD_ADD, kButton},
                                        {IDC_KEYWORD_MODIFY, kButton},
                                        {IDC_KEYWORD_DELETE, kButton},
                                        {IDC_KEYWORD_DELETE_ALL, kButton},
                                        {IDC_KEYWORD_LOAD, kButton},
                                        {IDC_KEYWORD_SAVE, kButton},
                                        {IDOK, kButton},
                                        {IDCANCEL, kButton}};
const ExpectedControl kKeywordEdit[] = {
    {IDC_KEYWORD_TEXT, kEdit}, {IDC_KEYWORD_COLOR, kCombo}, {IDC_KEYWORD_BOLD, kButton}, {IDC_KEYWORD_ERROR, kButton},
    {IDOK, kButton},           {IDCANCEL, kButton}};
const ExpectedControl kSearch[] = {{IDC_CONDITION_1, kCombo},
                                   {IDC_NOT_1, kButton},
                                   {IDC_SEARCH_PREVIOUS, kButton},
                                   {IDC_SEARCH_NEXT, kButton},
                                   {IDCANCEL, kButton}};
const ExpectedControl kExtraction[] = {
    {IDC_MATCH_AND, kButton},  {IDC_MATCH_OR, kButton},   {IDC_CONDITION_1, kCombo}, {IDC_CONDITION_2, kCombo},
    {IDC_CONDITION_3, kCombo}, {IDC_CONDITION_4, kCombo}, {IDC_CONDITION_5, kCombo}, {IDC_NOT_1, kButton},
    {IDC_NOT_2, kButton},      {IDC_NOT_3, kButton},      {IDC_NOT_4, kButton},      {IDC_NOT_5, kButton},
    {IDC_LINES_BEFORE, kEdit}, {IDC_LINES_AFTER, kEdit},  {IDOK, kButton},           {IDCANCEL, kButton}};
const ExpectedControl kHideRows[] = {{IDC_CONDITION_1, kCombo}, {IDC_CONDITION_2, kCombo}, {IDC_CONDITION_3, kCombo},
                                     {IDC_CONDITION_4, kCombo}, {IDC_CONDITION_5, kCombo}, {IDC_MATCH_CASE, kButton},
                                     {IDC_REGEX, kButton},      {IDOK, kButton},           {IDCANCEL, kButton}};
const ExpectedControl kCompare[] = {{IDC_COMPARE_LIST, kList}, {IDOK, kButton}, {IDCANCEL, kButton}};
const ExpectedControl kJump[] = {
    {IDC_JUMP_RANGE, kEdit}, {IDC_JUMP_CURSOR, kEdit}, {IDC_JUMP_LINE, kEdit}, {IDOK, kButton}, {IDCANCEL, kButton}};
const ExpectedControl kJumpTime[] = {
    {IDC_JUMP_TIME_RANGE, kEdit}, {IDC_JUMP_TIME_TEXT, kEdit}, {IDOK, kButton}, {IDCANCEL, kButton}};
const ExpectedControl kZipEntry[] = {{IDC_ZIP_ENTRY_LIST, kList}, {IDOK, kButton}, {IDCANCEL, kButton}};
const ExpectedControl kTimeOffset[] = {{IDC_TIME_OFFSET_LOG, kCombo},
                                       {IDC_TIME_OFFSET_MINUTES, kEdit},
                                       {IDC_TIME_OFFSET_SPIN, L"msctls_updown32"},
                                       {IDOK, kButton},
                                       {IDCANCEL, kButton}};
const ExpectedControl kMarkerList[] = {{IDC_MARKER_LIST, kList},
                                       {IDC_MARKER_JUMP, kButton},
                                       {IDCANCEL, kButton},
                                       {IDC_MARKER_RELEASE, kButton},
                                       {IDC_MARKER_RELEASE_ALL, kButton}};
const ExpectedControl kPage1[] = {
    {IDC_INTERVAL_CHECK, kButton},   {IDC_INTERVAL_TIME, kEdit},       {IDC_STAMP_FORMS, kButton},
    {IDC_STAMP_FORMS_LIST, kButton}, {IDC_STAMP_PATTERN_LIST, kList},  {IDC_STAMP_PATTERN_DELETE, kButton},
    {IDC_STAMP_PATTERN_TEXT, kEdit}, {IDC_STAMP_PATTERN_ADD, kButton}, {IDC_STAMP_PATTERN_REASON, kStatic}};

#define CONTROLS(table) table, static_cast<int>(sizeof(table) / sizeof(table[0]))

}  // namespace

const TemplateInfo kTemplates[] = {
    {IDD_CHOOSE_LANGUAGE_JA, "language", false, CONTROLS(kLanguage)},
    {IDD_PROGRESS_JA, "progress", false, CONTROLS(kProgress)},
    {IDD_ABOUT_JA, "about", false, CONTROLS(kAbout)},
    {IDD_CONFIG_FONT_JA, "font page", true, CONTROLS(kFontPage)},
    {IDD_CONFIG_COLOR_JA, "colour page", true, CONTROLS(kColorPage)},
    {IDD_CSV_FILE_JA, "csv file", false, CONTROLS(kCsvFile)},
    {IDD_KEYWORD_LIST_JA, "keyword list", false, CONTROLS(kKeywordList)},
    {IDD_KEYWORD_EDIT_JA, "keyword edit", false, CONTROLS(kKeywordEdit)},
    {IDD_SEARCH_LOG_JA, "search", false, CONTROLS(kSearch)},
    {IDD_EXTRACTION_LOG_JA, "extraction", false, CONTROLS(kExtraction)},
    {IDD_HIDE_ROWS_JA, "hide matching rows", false, CONTROLS(kHideRows)},
    {IDD_COMPARE_LOG_JA, "compare", false, CONTROLS(kCompare)},
    {IDD_JUMP_JA, "jump", false, CONTROLS(kJump)},
    {IDD_JUMP_TIME_JA, "jump to time", false, CONTROLS(kJumpTime)},
    {IDD_ZIP_ENTRY_JA, "zip entry", false, CONTROLS(kZipEntry)},
    {IDD_LOG_TIME_OFFSET_JA, "log time offset", false, CONTROLS(kTimeOffset)},
    {IDD_MARKER_LIST_JA, "marker list", false, CONTROLS(kMarkerList)},
    {IDD_CONFIG_PAGE1_JA, "setting page 1", true, CONTROLS(kPage1)},
    {IDD_CONFIG_PAGE2_JA, "setting page 2", true, nullptr, 0},
};
const int kTemplateCount = static_cast<int>(sizeof(kTemplates) / sizeof(kTemplates[0]));

const TemplateInfo* FindTemplate(int id) {
    const int japanese = IsEnglishTemplate(id) ? id - IDD_EN_OFFSET : id;
    for (int i = 0; i < kTemplateCount; ++i) {
        if (kTemplates[i].id == japanese) return &kTemplates[i];
    }
    return nullptr;
}

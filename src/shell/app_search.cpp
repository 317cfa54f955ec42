// Search, extraction and the error log: the commands that build on the core line scans.
#include <cstdlib>
#include <new>
#include <string>

#include "config/app_parameter.h"
#include "foundation/wide.h"
#include "search/line_scan.h"
#include "search/search_dialogs.h"
#include "shell/app_main.h"
#include "shell/command_ids.h"
#include "view/log_view.h"

namespace {

constexpr int kTitleCapacity = 256;  // titles are cut to 255 characters

unsigned CodePage() {
    CAppParameter* config = GetAppParameter();
    return config != nullptr ? config->m_codePage : 0;
}

int Language() {
    CAppParameter* config = GetAppParameter();
    return config != nullptr ? config->m_language : 0;
}

// Appends text to title, keeping at most kTitleCapacity - 1 units.
void AppendTitle(std::u16string* title, const char16_t* text) {
    for (const char16_t* p = text; *p != 0 && title->size() < kTitleCapacity - 1; ++p) title->push_back(*p);
}

}  // namespace

void CAppMain::ShowNewView(CLogView* created, CLogLineList* lines) {
    if (created == nullptr) {
        delete lines;  // not taken by a view
        return;
    }
    created->SetHighlightSearch(1);
    ActivateChild(created->Window());
    SendMessageW(m_mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(created->Window()), 0);
}

void CAppMain::SetHighlightSearchState(CLogView* view, bool on) {
    CheckCommand(kCmdHighlightSearch, on);
    if (view != nullptr) view->SetHighlightSearch(on ? 1 : 0);
}

int32_t CAppMain::SearchNext(CLogView* view, int32_t start) {
    if (view == nullptr || view->Lines() == nullptr || view->File() == nullptr) return -1;
    if (start == -1) start = view->CaretLine();
    int32_t found = SearchForward(view->File(), *view->Lines(), start, m_searchConditions, CodePage());
    if (found >= 0) SetHighlightSearchState(view, true);
    return found;
}

int32_t CAppMain::SearchPrevious(CLogView* view, int32_t start) {
    if (view == nullptr || view->Lines() == nullptr || view->File() == nullptr) return -1;
    if (start == -1) start = view->CaretLine();
    int32_t found = SearchBackward(view->File(), *view->Lines(), start, m_searchConditions, CodePage());
    if (found >= 0) SetHighlightSearchState(view, true);
    return found;
}

int CAppMain::UseSelectionAsCondition(CLogView* view) {
    m_searchConditions.Clear();
    if (view == nullptr || view->SelectionState() != kSelectionMade) return 0;
    if (view->SelectionFirstRow() != view->SelectionLastRow()) return 0;
    int count = 0;
    char16_t* text = view->GetRowText(view->SelectionFirstRow(), &count);
    int first = view->SelectionFirstColumn();
    int last = view->SelectionLastColumn();
    if (text != nullptr && first >= 0 && first < last && last <= count) {
        std::u16string selected(text + first, text + last);
        if (m_searchConditions.Add(selected.c_str())) {
            CAppParameter* config = GetAppParameter();
            if (config != nullptr) {
                config->AddHistory(0, selected.c_str());
                config->Save();
            }
        }
    }
    std::free(text);
    m_searchConditions.SetMatchAll(0);
    view->ClearSelection();
    view->Invalidate();
    OnViewStateChanged(view);
    return 1;
}

void CAppMain::RunSearchDialog(CLogView* view) {
    if (view == nullptr) return;
    if (view->SelectionState() == kSelectionMade) UseSelectionAsCondition(view);
    CSearchLogDialog dialog;
    dialog.m_condition = &m_searchConditions;
    if (RunDialog(dialog, kDlgSearch, m_frame) != 1) return;
    m_searchConditions.SetMatchAll(0);
    int32_t found = dialog.m_direction == 1 ? SearchNext(view, -1) : SearchPrevious(view, -1);
    if (found >= 0) view->GoToLine(found);
}

void CAppMain::SearchAgain(CLogView* view, bool forward) {
    if (view == nullptr) return;
    if (m_searchConditions.Count() == 0) {
        RunSearchDialog(view);
        return;
    }
    int32_t count = view->Lines() != nullptr ? view->Lines()->Count() : 0;
    int32_t caret = view->CaretLine();
    int32_t start = forward ? (caret + 1 < count ? caret + 1 : count) : (caret - 1 > 0 ? caret - 1 : 0);
    int32_t found = forward ? SearchNext(view, start) : SearchPrevious(view, start);
    if (found >= 0) view->GoToLine(found);
}

void CAppMain::ExtractLines(CLogView* source, CLogLineList* result) {
    if (source == nullptr || source->Lines() == nullptr || source->File() == nullptr) return;
    CAppParameter* config = GetAppParameter();
    int before = config != nullptr ? config->m_contextBefore : 0;
    int after = config != nullptr ? config->m_contextAfter : 0;
    ::ExtractLines(source->File(), *source->Lines(), m_searchConditions, CodePage(), before, after, result);
    SetHighlightSearchState(source, result->Count() > 0);
}

void CAppMain::Extract(int mode) {
    CLogView* view = ActiveView();
    if (view == nullptr || view->Lines() == nullptr) return;
    if (mode == 0) {
        if (view->SelectionState() == kSelectionMade) UseSelectionAsCondition(view);
        CExtractionLogDialog dialog;
        dialog.m_condition = &m_searchConditions;
        if (RunDialog(dialog, kDlgExtraction, m_frame) != 1) return;
    } else if (!UseSelectionAsCondition(view) || m_searchConditions.Count() == 0) {
        return;
    }
    auto* lines = new (std::nothrow) CLogLineList();
    if (lines == nullptr) return;
    ExtractLines(view, lines);
    if (lines->Count() == 0) {
        delete lines;
        return;
    }
    std::u16string title = Language() == 1 ? u"抽出:" : u"Extraction:";
    for (int i = 0; i < m_searchConditions.Count(); ++i) {
        int length = 0;
        const char16_t* text = m_searchConditions.WideText(i, &length);
        if (text == nullptr) continue;
        if (i > 0) AppendTitle(&title, m_searchConditions.MatchAll() ? u" and " : u" or ");
        AppendTitle(&title, text);
    }
    CLogView* created = CreateLogView(view->File(), lines, W(title.c_str()));
    ShowNewView(created, lines);
}

void CAppMain::ShowErrorLog() {
    if (m_logFile.ErrorLines().Count() == 0) return;
    auto* lines = new (std::nothrow) CLogLineList();
    if (lines == nullptr) return;
    CopyLineList(m_logFile.ErrorLines(), lines);
    CLogView* created = CreateLogView(&m_logFile, lines, Language() == 1 ? L"エラーログ" : L"Error Log");
    ShowNewView(created, lines);
}

// Kept state of logs: restoring it when a log opens, keeping it when it closes.
#include "shell/log_state_keeper.h"

#include <cstdint>

#include "config/app_parameter.h"
#include "config/folders.h"
#include "config/ui_text.h"
#include "document/encoding.h"
#include "document/log_file.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "res/resource.h"
#include "search/marker_list.h"
#include "shell/merged_logs.h"
#include "shell/app_base.h"
#include "shell/recent_menu.h"
#include "view/log_view.h"

namespace {

// The size a log can be matched with before it is loaded: none smaller than the one kept
// while a compressed log's size is unknown.
uint64_t KnownSize(const CFile& file) { return file.SizeKnown() ? file.Size() : UINT64_MAX; }

// The size a loaded log has; 0 when it is not known (a compressed log read in part), so that
// nothing kept is restored on it.
uint64_t LoadedSize(const CFile& file) { return file.SizeKnown() ? file.Size() : 0; }

}  // namespace

void CLogStateKeeper::ReadStore(HWND owner) {
    if (m_storeRead) return;
    m_storeRead = true;
    std::u16string path = StateFilePath(AppConfig().m_settingsFile.GetWideOrEmpty());
    if (m_store.Load(path.c_str()) != CStateLoad::kSetAside) return;
    // Never fatal: the user is told, and the logs open as new ones.
    std::u16string aside = path + u".damaged";
    char16_t text[kMaxPath + 300];
    FormatString(text, kMaxPath + 300, UiText(TextId::kStateSetAsideFormat), aside.c_str());
    MessageBoxW(owner, W(text), W(UiText(TextId::kStateCaption)), MB_OK | MB_ICONWARNING);
}

void CLogStateKeeper::Opening(CAppBase& app, CLogFile& file, const wchar_t* path) {
    ReadStore(app.Frame());
    m_open = true;
    m_restoring = false;
    m_encoding = kNoEncodingChoice;
    m_path = FullLogPath(path);
    CAppParameter& config = AppConfig();
    const CLogState* kept = m_store.Find(m_path);
    // Another log under the same name (rewritten, or shorter) starts afresh. A compressed
    // log's size is not known before it is read: only its head can tell here, and Restore
    // checks its size once it is loaded.
    if (kept != nullptr && IsSameLog(file, KnownSize(file), kept->fingerprint)) {
        m_kept = *kept;
        m_restoring = true;
        // Only a choice the box offers is put in force (the store reads nothing else).
        m_encoding = IsEncodingChoice(kept->encoding) ? kept->encoding : kNoEncodingChoice;
        if (m_encoding != kNoEncodingChoice) config.m_encodingChoice = m_encoding;
        config.m_follow = kept->follow;
    }
    if (m_requestedFollow) config.m_follow = 1;
    m_requestedFollow = false;
    app.CheckCommand(IDM_FOLLOW, config.m_follow != 0);
}

void CLogStateKeeper::Restore(CLogView* view, CColorLabels* labels) {
    if (view == nullptr || view->Lines() == nullptr) return;
    const CLogLineList& lines = *view->Lines();
    if (m_restoring && view->File() != nullptr && LoadedSize(*view->File()) >= m_kept.fingerprint.size) {
        // A marker stays on its row or goes (beyond the end, or another line there now).
        for (const CLogMarkerState& marker : m_kept.markers) {
            CLogLine line;
            if (lines.Get(marker.row, &line) && line.offset == marker.offset)
                view->Markers().Toggle(CRow(marker.row), CLineNumber(line.lineNumber), CFileOffset(line.offset));
        }
        view->ShowRows(m_kept.caretRow, m_kept.firstRow);
        for (int k = 0; k < kColorLabelCount && labels != nullptr; ++k) {
            const std::u16string& text = m_kept.labels[static_cast<size_t>(k)];
            if (!text.empty()) labels->Set(k, text.c_str(), static_cast<int>(text.size()));
        }
    }
    m_restoring = false;
    if (m_requestedLine > 0) view->GoToLine(m_requestedLine - 1);
    m_requestedLine = 0;
}

void CLogStateKeeper::Keep(CLogView* first, CLogFile& file, const CColorLabels& labels) {
    if (!m_open) return;
    m_open = false;
    m_restoring = false;
    // A log whose load never ended shows nothing worth keeping, and a compressed log read in
    // part has no size to be known by; what was kept stays.
    if (first == nullptr || first->Lines() == nullptr || !file.IsOpen() || !file.SizeKnown()) return;
    CLogState state;
    state.path = m_path;
    if (!TakeFingerprint(file, file.Size(), &state.fingerprint)) return;
    state.caretRow = first->CaretLine();
    state.firstRow = first->FirstVisibleRow();
    state.follow = AppConfig().m_follow;
    state.encoding = m_encoding;
    const CMarkerList& markers = first->Markers();
    for (int32_t i = 0; i < markers.Count(); ++i)
        state.markers.push_back({markers.At(i)->row.Value(), markers.At(i)->offset.Value()});
    for (int k = 0; k < kColorLabelCount; ++k) state.labels[static_cast<size_t>(k)] = labels.Text(k);
    m_store.Put(state);
    m_store.Save();
}

void CLogStateKeeper::EncodingChosen(int32_t choice) {
    if (m_open) m_encoding = choice;
}

void CLogStateKeeper::OpeningMerged(CAppBase& app, CMergedLogs& logs) {
    ReadStore(app.Frame());
    m_open = false;
    m_restoring = false;
    m_keptMerged.clear();
    for (int i = 0; i < logs.Count(); ++i) {
        CLogState state;
        state.path = FullLogPath(W(logs.Path(i).c_str()));
        const CLogState* kept = m_store.Find(state.path);
        CLogFile& file = logs.File(i);
        if (kept != nullptr && IsSameLog(file, KnownSize(file), kept->fingerprint)) state = *kept;
        logs.SetOffset(i, state.timeOffset);
        m_keptMerged.push_back(state);
    }
    m_requestedLine = 0;
    m_requestedFollow = false;
}

void CLogStateKeeper::RestoreMerged(CLogView* view, CMergedLogs& logs) {
    if (view == nullptr || !logs.Merged()) return;
    const CMergedRows& rows = *logs.Rows();
    for (int i = 0; i < rows.LogCount() && i < static_cast<int>(m_keptMerged.size()); ++i) {
        const CLogState& kept = m_keptMerged[static_cast<size_t>(i)];
        if (LoadedSize(logs.File(i)) < kept.fingerprint.size) continue;
        for (const CLogMarkerState& marker : kept.markers) {
            CLogLine line;
            int64_t row = rows.RowOf(i, CRow(marker.row));
            if (row >= 0 && rows.Log(i).index->Get(marker.row, &line) && line.offset == marker.offset)
                view->Markers().Toggle(CRow(row), CLineNumber(row), CFileOffset(line.offset));
        }
    }
}

void CLogStateKeeper::KeepMerged(CLogView* first, CMergedLogs& logs) {
    std::vector<CLogState> kept;
    kept.swap(m_keptMerged);
    // A set whose merge never ended shows nothing worth keeping.
    if (first == nullptr || !logs.Merged() || kept.size() != static_cast<size_t>(logs.Count())) return;
    const CMergedRows& rows = *logs.Rows();
    for (CLogState& state : kept) state.markers.clear();
    const CMarkerList& markers = first->Markers();
    for (int32_t k = 0; k < markers.Count(); ++k) {
        int log = 0;
        CRow logRow;
        if (rows.Origin(markers.At(k)->row, &log, &logRow))
            kept[static_cast<size_t>(log)].markers.push_back({logRow.Value(), markers.At(k)->offset.Value()});
    }
    for (int i = 0; i < logs.Count(); ++i) {
        CLogState& state = kept[static_cast<size_t>(i)];
        CLogFile& file = logs.File(i);
        state.timeOffset = logs.Offset(i);
        if (!file.SizeKnown() || !TakeFingerprint(file, file.Size(), &state.fingerprint)) continue;
        // A log first seen in the set, without markers or offset, need not take a place in the store.
        if (state.markers.empty() && state.timeOffset == 0 && m_store.Find(state.path) == nullptr) continue;
        m_store.Put(state);
    }
    m_store.Save();
}

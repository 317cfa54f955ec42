// Opening several logs as one view: the dialogs, and the folder listing that finds a log's
// rotated siblings (merge/rotated_logs.h decides which names belong); and the minutes added
// to a merged log's times.
#include "shell/merge_commands.h"

#include <windows.h>
#include <commdlg.h>

#include <memory>
#include <new>

#include "config/ui_text.h"
#include "dialogs/time_offset_dialog.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "merge/rotated_logs.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "shell/scan_jobs.h"
#include "view/log_view.h"
#include "winui/file_dialog.h"

namespace {

// Room for 64 names of a folder.
constexpr int kSelectionCapacity = 64 * 1024;

std::u16string FolderOf(const std::u16string& path) {
    size_t slash = path.find_last_of(u"\\/");
    return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash + 1);
}

// The names of the files (not folders) in folder.
std::vector<std::u16string> FolderNames(const std::u16string& folder) {
    std::vector<std::u16string> names;
    std::u16string pattern = folder + u"*";
    WIN32_FIND_DATAW found = {};
    HANDLE find = FindFirstFileW(W(pattern.c_str()), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.emplace_back(U(found.cFileName));
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

}  // namespace

std::vector<std::u16string> SelectedPaths(const char16_t* buffer) {
    std::vector<std::u16string> paths;
    std::u16string first = buffer;
    const char16_t* p = buffer + first.size() + 1;
    if (first.empty()) return paths;
    if (*p == 0) {
        paths.push_back(first);
        return paths;
    }
    if (first.back() != u'\\') first += u'\\';
    for (; *p != 0; p += std::u16string(p).size() + 1) paths.push_back(first + p);
    return paths;
}

void OpenLogsMerged(CAppMain& app) {
    if (app.LogOpen()) return;
    std::unique_ptr<wchar_t[]> buffer(new (std::nothrow) wchar_t[kSelectionCapacity]());
    if (buffer == nullptr) return;
    OPENFILENAMEW ofn = FileDialogFields(app.Frame(), W(UiText(TextId::kOpenLogFilter)), buffer.get(),
                                         kSelectionCapacity, W(UiText(TextId::kOpenMergedTitle)));
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_EXPLORER;
    if (!GetOpenFileNameW(&ofn)) return;
    std::vector<std::u16string> paths = SelectedPaths(U(buffer.get()));
    // One log chosen opens as ever.
    if (paths.size() == 1) {
        app.OpenLogFile(W(paths[0].c_str()));
    } else if (!paths.empty()) {
        app.OpenMergedLogs(paths);
    }
}

void OpenWithRotatedFiles(CAppMain& app) {
    if (app.LogOpen()) return;
    wchar_t path[kSelectionCapacity / 64] = {};
    OPENFILENAMEW ofn = FileDialogFields(app.Frame(), W(UiText(TextId::kOpenLogFilter)), path, kSelectionCapacity / 64,
                                         W(UiText(TextId::kOpenRotatedTitle)));
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&ofn) || path[0] == 0) return;
    std::u16string chosen = U(path);
    std::u16string folder = FolderOf(chosen);
    // Compressed members (name.1.gz, name-20240101.gz) join as the logs they hold.
    std::vector<std::u16string> set =
        RotatedLogSet(chosen.substr(folder.size()), FolderNames(folder), kMaxMergedLogs, true);
    std::u16string siblings;
    std::vector<std::u16string> paths;
    for (size_t i = 0; i < set.size(); ++i) {
        paths.push_back(folder + set[i]);
        if (i + 1 == set.size()) break;
        if (!siblings.empty()) siblings += u", ";
        siblings += set[i];
    }
    char16_t status[1024];
    FormatString(status, 1024, UiText(TextId::kRotatedStatusFormat), static_cast<int>(set.size()) - 1,
                 siblings.c_str());
    app.OpenMergedLogs(paths, status);
}

void ChangeLogTimeOffsets(CAppMain& app) {
    CMergedLogs* logs = app.Merged();
    if (logs == nullptr || !logs->Merged()) return;
    CTimeOffsetDialog dialog;
    for (int i = 0; i < logs->Count(); ++i) {
        dialog.m_names.push_back(logs->Name(i));
        dialog.m_offsets.push_back(logs->Offset(i));
    }
    // The log of the caret's row in the merged view shows first.
    CLogView* view = app.Views().First();
    CLogLine entry;
    if (view != nullptr && view->RowLogs() != nullptr && view->Rows().Entry(CRow(view->CaretLine()), &entry)) {
        int log = view->RowLogs()->LogOf(CRow(view->CaretLine()), entry);
        if (log >= 0) dialog.m_log = log;
    }
    // The dialog's message loop runs the frame's timers: the set may be gone after it.
    if (RunDialog(dialog, IDD_LOG_TIME_OFFSET_JA, app.Frame()) != 1 || app.Merged() != logs) return;
    bool changed = false;
    for (int i = 0; i < logs->Count(); ++i)
        changed = changed || dialog.m_offsets[static_cast<size_t>(i)] != logs->Offset(i);
    if (!changed) return;
    std::unique_ptr<CMergeAgainJob> job(new (std::nothrow) CMergeAgainJob());
    if (job == nullptr) return;
    job->logs = logs;
    job->count = logs->Count();
    for (int i = 0; i < job->count; ++i) job->offsets[i] = dialog.m_offsets[static_cast<size_t>(i)];
    logs->MergeInputs(job->offsets, job->inputs);
    // A few rows merge at once, here; more in the background with progress.
    app.Runner().Run(std::move(job), logs->Rows()->Count() < 100000);
}

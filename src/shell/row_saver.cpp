// Save Rows As.
#include "shell/row_saver.h"

#include <commdlg.h>

#include <memory>
#include <new>
#include <utility>

#include "config/app_parameter.h"
#include "config/folders.h"
#include "config/ui_text.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "merge/merged_export.h"
#include "search/line_scan.h"
#include "shell/app_main.h"
#include "view/log_view.h"
#include "winui/file_dialog.h"
#include "xml/xml_file.h"

namespace {

class CAtomicSink : public CRowSink {
public:
    int Write(const char* bytes, uint32_t length) override { return file.Write(bytes, length); }
    CAtomicFile file;
};

// The save dialog; true with a path and the format of the filter chosen.
bool AskForRowFile(HWND owner, wchar_t* path, int capacity, CRowFormat* format) {
    OPENFILENAMEW ofn =
        FileDialogFields(owner, W(UiText(TextId::kSaveRowsFilter)), path, capacity, W(UiText(TextId::kSaveRowsTitle)));
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
    ofn.lpstrDefExt = L"log";
    if (!GetSaveFileNameW(&ofn) || path[0] == 0) return false;
    *format = ofn.nFilterIndex == 2 ? CRowFormat::kAsShown : CRowFormat::kAsInLog;
    return true;
}

bool ConfirmReplace(HWND owner, const wchar_t* path) {
    char16_t text[kMaxPath + 120];
    FormatString(text, kMaxPath + 120, UiText(TextId::kSaveRowsReplaceFormat), U(path));
    return MessageBoxW(owner, W(text), W(UiText(TextId::kSaveRowsCaption)),
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

}  // namespace

void CSaveRowsJob::Run(const std::atomic<int>* cancel, CProgressListener* progress) {
    CAtomicSink sink;
    if (!sink.file.Create(path.c_str())) {
        status = 0;
    } else if (logs != nullptr) {
        const char* names[kMaxRowLogs] = {};
        for (size_t i = 0; i < logNames.size() && i < kMaxRowLogs; ++i) names[i] = logNames[i].c_str();
        status = ExportLogRows(*rows, *logs, *readers, names, how, &sink, cancel, progress);
    } else {
        status = ExportRows(file, *lines, how, &sink, cancel, progress);
    }
    if (status == 1) {
        status = sink.file.Commit();
    } else {
        sink.file.Abandon();
    }
}

void CSaveRowsJob::Apply(CAppMain& app) {
    if (status != 0) return;
    MessageBoxW(app.Frame(), W(UiText(TextId::kSaveRowsFailed)), W(UiText(TextId::kSaveRowsCaption)),
                MB_OK | MB_ICONWARNING);
}

void StartRowSave(CAppMain& app, CLogView* view, const wchar_t* path, CRowFormat format) {
    if (view == nullptr || (view->Lines() == nullptr && view->RowLogs() == nullptr)) return;
    std::unique_ptr<CSaveRowsJob> job(new (std::nothrow) CSaveRowsJob());
    if (job == nullptr) return;
    CAppParameter& config = AppConfig();
    if (view->RowLogs() != nullptr) {
        // Rows of several logs: each from its own, as shown with its log's name.
        const CRowLogs& logs = *view->RowLogs();
        job->rows = &view->Rows();
        job->logs = &logs;
        for (int i = 0; i < logs.LogCount(); ++i) {
            const char* name = logs.LogFile(i) != nullptr ? logs.LogFile(i)->Name().m_fileName.Data() : nullptr;
            job->logNames.emplace_back(name != nullptr ? name : "");
        }
    }
    job->lines = view->Lines();
    job->view = view;
    job->path = U(path);
    job->how.format = format;
    job->how.codePage = config.m_codePage;
    job->how.hideEscapes = config.m_colorCodes != 0;
    job->how.intervalCheck = config.m_intervalCheck;
    job->how.intervalTime = config.m_intervalTime;
    bool quick = view->Lines() != nullptr ? IsQuickScan(*view->Lines(), 0, view->Lines()->Count() - 1)
                                          : IsQuickScan(view->Rows(), 0, view->Rows().Count() - 1);
    app.Runner().RunScan(std::move(job), view->File(), quick);
}

void SaveRowsAs(CAppMain& app, CLogView* view) {
    if (view == nullptr || (view->Lines() == nullptr && view->RowLogs() == nullptr)) return;
    wchar_t path[kMaxPath] = {};
    CRowFormat format = CRowFormat::kAsInLog;
    if (!AskForRowFile(app.Frame(), path, kMaxPath, &format)) return;
    if (PathExists(U(path)) && !ConfirmReplace(app.Frame(), path)) return;
    // The dialogs' loops ran the frame's timers: the view may have gone meanwhile.
    if (app.Views().Contains(view)) StartRowSave(app, view, path, format);
}

// CAppMain's loading pipeline: opening a log, creating views, the worker thread that
// indexes the file, the progress dialog, and the clipboard copy of a view's selection.
// The worker never touches a view: it leaves the finished index in m_loadedLines and the
// UI thread hands it over, so views change only on the UI thread. Everything that closes
// the file or deletes views first stops a running load and waits for the worker.
#include <cstring>
#include <new>

#include "config/app_parameter.h"
#include "foundation/wide.h"
#include "shell/app_main.h"
#include "shell/command_ids.h"
#include "view/log_view.h"

namespace {

constexpr int kWorkerStartPolls = 100;
constexpr DWORD kPollMilliseconds = 10;

// Serves messages that the worker sends to our windows (the progress dialog's controls)
// while the UI thread waits, so that neither thread waits for the other.
void ServeSentMessages(DWORD milliseconds) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_SENDMESSAGE);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

}  // namespace

void CAppMain::StartWorker() {
    if (m_workerThread.load() != nullptr) return;
    m_progress.SetCancelFlag(&m_cancelLoad);
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, LoadThreadProc, this, 0, &id);
    if (thread == nullptr) return;
    m_workerThread.store(thread);
    for (int i = 0; i < kWorkerStartPolls && m_workerThreadId.load() == 0; ++i) Sleep(kPollMilliseconds);
}

DWORD WINAPI CAppMain::LoadThreadProc(void* parameter) {
    auto* app = static_cast<CAppMain*>(parameter);
    MSG msg;
    // Create this thread's queue before the id is published, so no request can be lost.
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    app->m_workerBusy.store(0);
    app->m_workerThreadId.store(GetCurrentThreadId());
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        app->m_workerBusy.store(1);
        if (msg.message == UM_LOAD_REQUEST) {
            app->RunLoad();
            app->m_loadsPending.fetch_sub(1);
        }
        app->m_workerBusy.store(0);
    }
    app->m_workerThreadId.store(0);
    return 0;
}

void CAppMain::RunLoad() {
    PostMessageW(m_frame, UM_LOAD_BEGIN, 0, 0);
    // Give the progress dialog time to appear before the first report.
    Sleep(100);
    m_loadedLines.store(m_logFile.Load(m_loadCodePage, &m_loadKeywords, this, &m_cancelLoad));
    // From here on the worker touches neither the file nor the index.
    m_loadFinished.store(1);
    PostMessageW(m_frame, UM_LOAD_END, 0, 0);
}

bool CAppMain::LoadInFlight() const { return m_loadsPending.load() != 0 || m_workerBusy.load() != 0; }

void CAppMain::WaitForWorkerIdle() {
    while (LoadInFlight() && m_workerThreadId.load() != 0) ServeSentMessages(kPollMilliseconds);
}

void CAppMain::DeliverLoadResult() {
    if (m_loadFinished.load() == 0) return;
    m_loadFinished.store(0);
    CLogLineList* lines = m_loadedLines.exchange(nullptr);
    CLogView* view = m_loadingView;
    m_loadingView = nullptr;
    if (view == nullptr || !IsViewInList(view)) {
        delete lines;
        return;
    }
    CAppParameter* config = GetAppParameter();
    view->SetLines(lines, &m_logFile);
    view->SetKeywordSet(config != nullptr ? &config->Keywords() : nullptr);
    view->Invalidate();
}

void CAppMain::CancelAndWaitForLoad() {
    if (LoadInFlight()) {
        m_cancelLoad.store(1);
        WaitForWorkerIdle();
    }
    m_progress.Close();
    // A finished load whose UM_LOAD_END has not arrived yet is handed over now.
    DeliverLoadResult();
}

void CAppMain::StopWorker() {
    m_cancelLoad.store(1);
    for (int i = 0; i < kWorkerStartPolls && m_workerBusy.load() != 0; ++i) ServeSentMessages(kPollMilliseconds);
    if (m_workerThread.load() != nullptr) PostThreadMessageW(m_workerThreadId.load(), WM_QUIT, 0, 0);
    HANDLE thread = m_workerThread.exchange(nullptr);
    if (thread != nullptr) {
        Sleep(kPollMilliseconds);
        while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
            ServeSentMessages(0);
        }
        CloseHandle(thread);
    }
    // The worker is gone: nothing can be in flight any more.
    m_loadsPending.store(0);
    m_workerBusy.store(0);
    m_loadFinished.store(0);
    delete m_loadedLines.exchange(nullptr);
    m_loadingView = nullptr;
}

void CAppMain::OnLoadBegin() {
    // A load that a Close already finished off needs no dialog.
    if (!LoadInFlight() && m_loadFinished.load() == 0) return;
    m_progress.Run(m_frame);
}

void CAppMain::OnLoadEnd() {
    HWND dialog = m_progress.Window();
    if (dialog != nullptr) SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    DeliverLoadResult();
    CLogView* active = ActiveView();
    if (active != nullptr) OnViewStateChanged(active);
}

void CAppMain::OnLoadProgress(uint64_t done, uint64_t total) { m_progress.SetProgress(done, total); }

void CAppMain::OpenLogFile(const wchar_t* path) {
    if (path == nullptr || path[0] == 0) return;
    if (m_logFile.IsOpen()) CloseEverything();
    if (!m_logFile.Open(U(path))) return;
    m_logFile.Name().SetPathWide(U(path));
    EnableCommand(kCmdOpen, false);
    CLogView* view = CreateLogView(&m_logFile, nullptr, W(m_logFile.Name().m_fileName.GetWideOrEmpty()));
    if (view == nullptr) {
        // Without a view nothing could close the file again.
        m_logFile.Close();
        EnableCommand(kCmdOpen, true);
        return;
    }
    DWORD worker = m_workerThreadId.load();
    if (!LoadInFlight() && worker != 0) {
        m_cancelLoad.store(0);
        m_loadFinished.store(0);
        m_loadingView = view;
        // The worker is idle: its inputs can be replaced without a race.
        CAppParameter* config = GetAppParameter();
        m_loadCodePage = config != nullptr ? config->m_codePage : 0;
        m_loadKeywords.Clear();
        if (config != nullptr) m_loadKeywords.CopyFrom(config->Keywords());
        m_loadKeywords.BuildFlagTable();
        m_loadsPending.fetch_add(1);
        if (!PostThreadMessageW(worker, UM_LOAD_REQUEST, 0, reinterpret_cast<LPARAM>(view))) {
            m_loadsPending.fetch_sub(1);
            m_loadingView = nullptr;
        }
    }
    ActivateChild(view->Window());
}

CLogView* CAppMain::CreateLogView(CLogFile* file, CLogLineList* lines, const wchar_t* title) {
    auto* view = new (std::nothrow) CLogView();
    if (view == nullptr) return nullptr;
    view->Attach(m_frame, m_mdiClient, this);
    CAppParameter* config = GetAppParameter();
    const wchar_t* className =
        config != nullptr ? W(config->m_mdiClientClassName.GetWideOrEmpty()) : L"QUILLON MDI CLIENT WINDOW";
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_frame, GWLP_HINSTANCE));
    HWND window = CreateMDIWindowW(className, title != nullptr ? title : L"", WS_VSCROLL | WS_HSCROLL, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_mdiClient, instance,
                                   reinterpret_cast<LPARAM>(view));
    if (window == nullptr) {
        delete view;
        return nullptr;
    }
    ShowWindow(window, SW_SHOW);
    view->SetKeywordSet(config != nullptr ? &config->Keywords() : nullptr);
    view->SetCondition(&m_searchConditions);
    if (lines != nullptr) view->SetLines(lines, file);
    AppendView(view);
    return view;
}

void CAppMain::JumpFirstViewToLine(int line) {
    if (m_views != nullptr) m_views->GoToLine(line);
}

void CAppMain::CopySelection() {
    EnableCommand(kCmdCopy, false);
    CLogView* view = ActiveView();
    if (view == nullptr) return;
    char16_t* text = view->GetSelectedText();
    if (view->SelectionState() != kSelectionNone) {
        view->ClearSelection();
        view->Invalidate();
    }
    size_t length = 0;
    while (text != nullptr && text[length] != 0) ++length;
    // Nothing to copy must not empty the clipboard.
    if (length == 0) {
        std::free(text);
        return;
    }
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, (length + 1) * sizeof(char16_t));
    void* locked = memory != nullptr ? GlobalLock(memory) : nullptr;
    if (locked != nullptr) {
        std::memcpy(locked, text, (length + 1) * sizeof(char16_t));
        GlobalUnlock(memory);
        bool given = false;
        if (OpenClipboard(m_frame)) {
            EmptyClipboard();
            given = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
            CloseClipboard();
        }
        if (!given) GlobalFree(memory);
    } else if (memory != nullptr) {
        GlobalFree(memory);
    }
    std::free(text);
}

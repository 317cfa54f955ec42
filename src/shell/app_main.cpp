// CAppMain: the view list, MDI child routing, the command state and the commands that
// do not belong to a feature of their own.
#include "shell/app_main.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "config/app_parameter.h"
#include "document/encoding.h"
#include "foundation/command_line.h"
#include "foundation/trace.h"
#include "foundation/wide.h"
#include "search/marker_list.h"
#include "shell/about_dialog.h"
#include "shell/dark_mode.h"
#include "shell/recent_menu.h"
#include "shell/window_layout.h"
#include "res/resource.h"
#include "view/log_view.h"

namespace {

BOOL CALLBACK CloseChildView(HWND window, LPARAM) {
    auto* view = reinterpret_cast<CLogView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // Only the MDI children carry a view; other descendants hold nothing there.
    if (view != nullptr && view->Window() == window) view->CloseViewWindow();
    return TRUE;
}

}  // namespace

CViewSettings ViewSettingsOf(CAppParameter& config) {
    static_assert(kViewColorCount >= kAppColorCount, "a view holds the whole colour table");
    CViewSettings settings;
    bool systemDark = SystemAppsDark();
    settings.colorCount = config.ViewColors(systemDark, settings.colors, kViewColorCount);
    settings.dark = DarkThemeInForce(config.m_darkTheme, systemDark) ? 1 : 0;
    lstrcpynW(W(settings.fontFace), W(config.GetFontFace()), LF_FACESIZE);
    settings.fontSize = config.GetFontSize();
    settings.fontCharSet = config.m_language == kLanguageJapanese ? SHIFTJIS_CHARSET : ANSI_CHARSET;
    settings.codePage = config.m_codePage;
    settings.intervalCheck = config.m_intervalCheck;
    settings.intervalTime = config.m_intervalTime;
    settings.overview = config.m_overview;
    settings.colorCodes = config.m_colorCodes;
    settings.wrap = config.m_wrapLines;
    return settings;
}

CAppMain* GetAppMain() { return static_cast<CAppMain*>(GetApp()); }

CAppMain::CAppMain() {
    m_windowMode = 2;
    m_allowMultipleInstances = 1;
    m_toolBar = new (std::nothrow) CAppToolBar();
    m_statusBar = new (std::nothrow) CAppStatusBar();
}

CAppMain::~CAppMain() {
    m_runner.Stop();
    delete m_toolBar;
    delete m_statusBar;
    m_toolBar = nullptr;
    m_statusBar = nullptr;
    m_viewList.Clear();
    m_merged.reset();
    m_logFile.Close();
    if (GetApp() == this) SetApp(nullptr);
}

int CAppMain::Run(HINSTANCE instance, HINSTANCE previous, const wchar_t* commandLine, int showCommand) {
    int result = CAppBase::Run(instance, previous, commandLine, FrameShowCommand(showCommand));
    m_runner.Stop();
    return result;
}

int CAppMain::InitInstance(HINSTANCE instance) {
    if (!CAppBase::InitInstance(instance)) return 0;
    RestoreFrameLayout(m_frame);
    UpdateCommandState();
    CheckCommand(IDM_FOLLOW, AppConfig().m_follow != 0);
    CheckCommand(IDM_OVERVIEW, AppConfig().m_overview != 0);
    CheckCommand(IDM_WRAP_LINES, AppConfig().m_wrapLines != 0);
    ApplyTheme();
    ShowRecentLogs(m_frame);
    m_runner.Start(m_frame);
    return 1;
}

LRESULT CAppMain::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case UM_LOAD_BEGIN:
            m_runner.OnLoadBegin();
            return 0;
        case UM_LOAD_END:
        case UM_SCAN_DONE:
            m_runner.OnDone(reinterpret_cast<CScanJob*>(lParam));
            return 0;
        case UM_SCAN_PROGRESS:
            m_runner.OnProgress();
            return 0;
        case UM_OPEN_FILE: {
            // A path of the command line (ProcessCommandLine): opened while no log is.
            auto* path = reinterpret_cast<wchar_t*>(wParam);
            if (path == nullptr) return 0;
            TraceOutput(u"filename = %s\n", U(path));
            if (!LogOpen()) OpenLogFile(path);
            std::free(path);
            return 0;
        }
        case UM_OPEN_MERGED: {
            std::vector<std::u16string> paths;
            paths.swap(m_commandLineMerge);
            if (!LogOpen() && !paths.empty()) OpenMergedLogs(paths);
            return 0;
        }
        case WM_SETTINGCHANGE:
            // The user switched the system's app mode: "As Windows" follows it.
            if (lParam != 0 && lstrcmpW(reinterpret_cast<const wchar_t*>(lParam), L"ImmersiveColorSet") == 0 &&
                AppConfig().m_darkTheme == kDarkThemeSystem) {
                ApplyTheme();
            }
            return CAppBase::WindowProc(window, message, wParam, lParam);
        default:
            return CAppBase::WindowProc(window, message, wParam, lParam);
    }
}

void CAppMain::ProcessCommandLine(const wchar_t* commandLine) {
    std::vector<std::u16string> tokens = SplitCommandLine(U(commandLine));
    // "--merge a.log b.log ...": the logs as one view, once the frame runs.
    if (!tokens.empty() && tokens[0] == u"--merge") {
        m_commandLineMerge.assign(tokens.begin() + 1, tokens.end());
        PostMessageW(m_frame, UM_OPEN_MERGED, 0, 0);
        return;
    }
    CViewerArguments arguments = ParseViewerArguments(tokens);
    m_logStates.RequestStart(arguments.line, arguments.follow);
    for (const std::u16string& token : arguments.paths) {
        auto* copy = static_cast<wchar_t*>(std::calloc(token.size() + 1, sizeof(wchar_t)));
        if (copy == nullptr) continue;
        std::memcpy(copy, token.data(), token.size() * sizeof(wchar_t));
        if (!PostMessageW(m_frame, UM_OPEN_FILE, reinterpret_cast<WPARAM>(copy), 0)) std::free(copy);
    }
}

int CAppMain::OnDropFiles(HDROP drop, wchar_t*, int) {
    wchar_t path[260] = {};
    DragQueryFileW(drop, 0, path, 259);
    DragFinish(drop);
    if (LogOpen()) return 0;
    OpenLogFile(path);
    return 1;
}

void CAppMain::ApplyViewSettings() {
    CViewSettings settings = ViewSettingsOf(AppConfig());
    for (const auto& v : m_viewList) v->SetSettings(settings);
}

void CAppMain::ApplyTheme() {
    int choice = AppConfig().m_darkTheme;
    CheckCommand(IDM_DARK_THEME_OFF, choice == kDarkThemeOff);
    CheckCommand(IDM_DARK_THEME_ON, choice == kDarkThemeOn);
    CheckCommand(IDM_DARK_THEME_SYSTEM, choice == kDarkThemeSystem);
    UseDarkTitleBar(m_frame, DarkThemeInForce(choice, SystemAppsDark()));
    ApplyViewSettings();
    // The strip and the timeline draw from their view's colours but are windows of their own.
    for (const auto& v : m_viewList) {
        if (v->Window() != nullptr) RedrawWindow(v->Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
}

void CAppMain::OnChildrenDpiChanged(int dpi) {
    for (const auto& v : m_viewList) v->SetDpi(dpi);
}

void CAppMain::CloseAllChildren() {
    if (m_mdiClient != nullptr) EnumChildWindows(m_mdiClient, CloseChildView, 0);
}

void CAppMain::CloseEverything() {
    // The worker may still be reading the file or a view's lines: stop it first.
    m_follower.Stop();
    m_follower.ClearReason();
    m_runner.CancelAndWait();
    if (m_merged != nullptr) {
        m_logStates.KeepMerged(m_viewList.First(), *m_merged);
    } else {
        m_logStates.Keep(m_viewList.First(), m_logFile, m_labels);
    }
    m_labels.Clear();  // the next log has labels of its own
    KeepViewLayout(m_mdiClient);
    m_follower.ShowStatus(nullptr);  // the log's stamp summary or follow state goes with it
    // And the texts of its views: a selection, a hover, the caret's line.
    for (int part : {0, 1}) SetStatusText(m_viewList.First(), part, L"");
    CloseAllChildren();
    m_logFile.Close();
    m_viewList.Clear();
    // The views that read the merged rows are gone: now their files can go.
    m_merged.reset();
    UpdateCommandState();
    ApplyEncoding();
}

void CAppMain::OnChildClosed(HWND window) {
    CLogView* first = m_viewList.First();
    if (first == nullptr) return;
    if (first->Window() == window) {
        CloseEverything();
        return;
    }
    CLogView* view = m_viewList.Find(window);
    if (view == nullptr) return;
    // Only a job that reads the closing view's lines is stopped; a quiet append is let end,
    // since it may hand rows to the error-log view.
    m_runner.SettleQuiet();
    if (m_runner.Busy() && m_runner.Current()->Uses(view)) m_runner.CancelAndWait();
    std::unique_ptr<CLogView> closed = m_viewList.Remove(view);
    closed->CloseViewWindow();
}

int CAppMain::CanClose() {
    m_runner.CancelAndWait();
    if (m_merged != nullptr) {
        m_logStates.KeepMerged(m_viewList.First(), *m_merged);
    } else {
        m_logStates.Keep(m_viewList.First(), m_logFile, m_labels);
    }
    KeepWindowLayout(m_frame, m_mdiClient);
    m_viewList.Clear();
    return 1;
}

LRESULT CAppMain::MDIChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CLogView* target = nullptr;
    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* mdi = create != nullptr ? reinterpret_cast<MDICREATESTRUCTW*>(create->lpCreateParams) : nullptr;
        target = mdi != nullptr ? reinterpret_cast<CLogView*>(mdi->lParam) : nullptr;
        if (target != nullptr) SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(target));
    } else if (message == WM_MDIACTIVATE) {
        HWND activated = reinterpret_cast<HWND>(lParam);
        if (activated != nullptr) {
            ActivateChild(activated);
            target = reinterpret_cast<CLogView*>(GetWindowLongPtrW(activated, GWLP_USERDATA));
        }
    } else {
        target = reinterpret_cast<CLogView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (target != nullptr) target->WindowProc(window, message, wParam, lParam);
    return DefMDIChildProcW(window, message, wParam, lParam);
}

void CAppMain::ActivateChild(HWND window) {
    SetFocus(window);
    CLogView* active = m_viewList.SetActive(window);
    if (active != nullptr) {
        SetFocus(window);
        OnViewStateChanged(active);
    }
}

void CAppMain::SetStatusText(CLogView* view, int part, const wchar_t* text) {
    if (!m_viewList.Contains(view) || m_statusBar == nullptr || m_statusBar->m_window == nullptr) return;
    if (part < 0 || part >= m_statusBar->m_partCount) return;
    SendMessageW(m_statusBar->m_window, SB_SETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
}

void CAppMain::ApplyEncoding() {
    CAppParameter& config = AppConfig();
    bool open = LogOpen();
    // A merged set's logs each take the choice with what their own start shows; the box
    // shows the first one's.
    if (m_merged != nullptr) {
        m_merged->ApplyEncoding(config.m_encodingChoice);
        m_detectedCodePage = m_merged->DetectedCodePage(0);
    }
    config.m_codePage = ChooseCodePage(config.m_encodingChoice, open ? m_detectedCodePage : kCodePageAnsi);
    if (m_toolBar != nullptr) static_cast<CAppToolBar*>(m_toolBar)->ShowEncoding(open);
    // The open views decode their rows again.
    ApplyViewSettings();
}

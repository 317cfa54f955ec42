// The GUI's figures: the Windows viewer in-process on a log, timing the load, a search for
// an absent text and an extraction to their results, while another thread keeps asking the
// frame for an answer and records the longest wait of each phase; then the overview strip,
// the timeline and the navigation steps on the loaded view.
// Usage: quillon-gui-bench <log> [absent text] [extraction text]
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "config/app_parameter.h"
#include "config/folders.h"
#include "foundation/wide.h"
#include "gui_bench.h"
#include "shell/app_main.h"
#include "view/log_view.h"

using namespace gui_bench;

namespace {

// The caret to the last row (as Ctrl+End puts it) and to row 1,000,000,000 (or the middle
// row of a smaller log), each with the window painted: the milliseconds each took.
void JumpAndPaint(CLogView* view) {
    int64_t rows = view->Lines()->Count();
    if (rows == 0) return;
    int64_t targets[2] = {rows - 1, rows > 1000000000 ? 999999999 : rows / 2};
    const char* names[2] = {"the last row", rows > 1000000000 ? "line 1,000,000,000" : "the middle row"};
    for (int k = 0; k < 2; ++k) {
        Clock::time_point start = Clock::now();
        view->GoToLine(targets[k]);
        RedrawWindow(view->Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        std::printf("GUI caret to %-18s %8.3f ms\n", names[k], Seconds(start) * 1000.0);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: quillon-gui-bench <log> [absent text] [extraction text]\n");
        return 2;
    }
    std::wstring absent = argc > 2 ? argv[2] : L"no such text anywhere";
    std::wstring extract = argc > 3 ? argv[3] : L"ERROR";
    g_config = new CAppParameter();
    g_config->Reset();
    g_config->m_languageSetting = 0;
    // The overview strip's slow lane is scanned only with the interval check on.
    g_config->m_intervalCheck = 1;
    g_config->m_intervalTime = 1000;
    // Error lines for the error lane and the error steps.
    g_config->Keywords().Add(u"ERROR", 0, 1, 1);
    g_config->Keywords().BuildFlagTable();
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    auto* app = new CAppMain();
    if (!app->InitInstance(GetModuleHandleW(nullptr))) return 1;
    app->ShowFrame(SW_SHOW);
    Pump();
    double longest = 0;
    {
        Prober prober(app->Frame());
        app->OpenLogFile(argv[1]);
        double load = PumpUntil([&] {
            CLogView* v = app->Views().First();
            return v != nullptr && v->Lines() != nullptr && !app->Runner().Busy();
        });
        Clock::time_point loaded = Clock::now();
        longest = prober.TakeLongest();
        CLogView* view = app->Views().First();
        if (view == nullptr || view->Lines() == nullptr) return 1;
        std::printf("GUI load                       %8.3f s   %lld lines   longest frame wait %6.1f ms\n", load,
                    static_cast<long long>(view->Lines()->Count()), longest);
        OverviewAndTimeline(app, view, &prober, loaded);
        Navigation(app, view);
        SlowStepCommands(app, view, &prober);
        JumpAndPaint(view);
        WrappedScrolling(app, view, &prober);

        app->SearchConditions().Clear();
        app->SearchConditions().Add(U(absent.c_str()));
        app->StartSearch(view, 0, CSearchDirection::kNext);
        double search = PumpUntil([&] { return !app->Runner().Busy(); });
        longest = prober.TakeLongest();
        std::printf("GUI search, absent text        %8.3f s   longest frame wait %6.1f ms\n", search, longest);

        app->SearchConditions().Clear();
        app->SearchConditions().Add(U(extract.c_str()));
        app->StartExtraction(view);
        double extraction = PumpUntil([&] { return !app->Runner().Busy(); });
        longest = prober.TakeLongest();
        int rows = app->Views().Active() != view && app->Views().Active() != nullptr
                       ? app->Views().Active()->Lines()->Count()
                       : 0;
        std::printf("GUI extraction                 %8.3f s   %d rows   longest frame wait %6.1f ms\n", extraction,
                    rows, longest);
        if (rows > 0) {
            std::printf("In the extraction:\n");
            Navigation(app, app->Views().Active());
        }
        Follow(app, argv[1], &prober);
    }
    SendMessageW(app->Frame(), WM_CLOSE, 0, 0);
    Pump();
    app->Runner().Stop();
    delete app;
    delete g_config;
    g_config = nullptr;
    return 0;
}

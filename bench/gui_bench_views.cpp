// The GUI benchmark's figures for the overview strip, the timeline and the navigation steps.
#include <cstdio>
#include <cstring>
#include <string>

#include "config/app_parameter.h"
#include "gui_bench.h"
#include "res/resource.h"
#include "search/row_navigation.h"
#include "shell/app_main.h"
#include "shell/time_commands.h"
#include "shell/view_commands.h"
#include "view/log_view.h"
#include "view/overview_strip.h"
#include "view/timeline_pane.h"

namespace gui_bench {

namespace {

// What the strip holds whatever the log: the strip object with its chunk flags.
long long StripBytes() { return static_cast<long long>(sizeof(COverviewStrip)); }

long long TimelineBytes(const CTimeline& timeline) {
    return static_cast<long long>(sizeof(CTimelinePane) + sizeof(CTimeline) + timeline.HeldBytes());
}

void StripHits(CAppMain* app, CLogView* view, Prober* prober) {
    COverviewStrip* strip = view->Overview();
    app->SearchConditions().Clear();
    app->SearchConditions().Add(u"ERROR");
    view->SetCondition(&app->SearchConditions());
    view->SetHighlightSearch(1);
    strip->Restart();
    prober->TakeLongest();
    // The hits read every line's bytes on the UI thread in slices: a minute is enough to tell.
    double hits = PumpUntil([&] { return strip->ScanDone(); }, 60);
    double longest = prober->TakeLongest();
    std::printf("GUI overview, hits of ERROR    %8.3f s%s   longest frame wait %6.1f ms\n", hits,
                strip->ScanDone() ? "" : " (not done)", longest);
    view->SetHighlightSearch(0);
    strip->Restart();
    PumpUntil([&] { return strip->ScanDone(); });
}

}  // namespace

void OverviewAndTimeline(CAppMain* app, CLogView* view, Prober* prober, Clock::time_point loaded) {
    COverviewStrip* strip = view->Overview();
    if (strip == nullptr) {
        std::printf("GUI overview: the strip is off\n");
        return;
    }
    PumpUntil([&] { return strip->ScanDone(); });
    double ready = Seconds(loaded);
    double longest = prober->TakeLongest();
    std::printf("GUI overview, errors and slow  %8.3f s   longest frame wait %6.1f ms   %lld bytes\n", ready, longest,
                StripBytes());
    // The same scan again from the start, as after a change of the interval check.
    strip->Restart();
    bool before = strip->ScanDone();
    double again = PumpUntil([&] { return strip->ScanDone(); });
    longest = prober->TakeLongest();
    std::printf("GUI overview, scanned again    %8.3f s   longest frame wait %6.1f ms%s\n", again, longest,
                before ? " (done at once)" : "");
    StripHits(app, view, prober);

    prober->TakeLongest();
    Clock::time_point asked = Clock::now();
    ToggleTimeline(*app, view);
    PumpUntil([&] { return view->TimelinePane() != nullptr && !app->Runner().Busy(); });
    double counted = Seconds(asked);
    longest = prober->TakeLongest();
    const CTimeline* timeline = view->TimelinePane() != nullptr ? view->TimelinePane()->Timeline() : nullptr;
    if (timeline == nullptr) return;
    std::printf(
        "GUI timeline                   %8.3f s   %lld buckets of %lld s   longest frame wait %6.1f ms   %lld "
        "bytes\n",
        counted, static_cast<long long>(timeline->BucketCount()), static_cast<long long>(timeline->WidthMs() / 1000),
        longest, TimelineBytes(*timeline));
}

void Navigation(CAppMain* app, CLogView* view) {
    const CRowSource& rows = view->Rows();
    CRow middle(rows.Count() / 2);
    auto time = [](const char* what, auto step) {
        Clock::time_point start = Clock::now();
        long long row = step();
        std::printf("GUI %-27s %8.3f ms   row %lld\n", what, Seconds(start) * 1000.0, row);
    };
    const CLogLineList& errors = app->LogFile().ErrorLines();
    bool own = view == app->Views().First();
    // A threshold no interval reaches: the walk goes to the end of the rows.
    constexpr int32_t kNever = 0x7fffffff;
    time("next error line", [&] { return NextErrorRow(rows, errors, middle, own); });
    time("previous error line", [&] { return PreviousErrorRow(rows, errors, middle, own); });
    time("next slow interval, none", [&] { return NextSlowRow(rows, CRow(0), kNever); });
    time("previous slow, none", [&] { return PreviousSlowRow(rows, CRow(rows.Count() - 1), kNever); });
    CLogLine last;
    rows.Entry(CRow(rows.Count() - 1), &last);
    char text[40];
    int ms = static_cast<int>(last.timeStamp.milliseconds);
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", last.timeStamp.year, last.timeStamp.month,
                  last.timeStamp.day, ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    CTimeQuery query;
    if (ParseTimeQuery(text, std::strlen(text), &query) != 1) return;
    time("jump to time, last row", [&] { return FirstRowAtOrAfter(rows, query); });
}

void WrappedScrolling(CAppMain* app, CLogView* view, Prober* prober) {
    SendMessageW(app->Frame(), WM_COMMAND, IDM_WRAP_LINES, 0);
    view->GoToLine(view->Rows().Count() / 2);
    PumpUntil([] { return false; }, 0.2);
    prober->TakeLongest();
    // Each step painted at once, as the user sees it: the slowest step, and the frame's wait.
    auto steps = [&](UINT message, WPARAM w, const char* what) {
        double slowest = 0;
        Clock::time_point all = Clock::now();
        for (int i = 0; i < 200; ++i) {
            Clock::time_point start = Clock::now();
            SendMessageW(view->Window(), message, w, 0);
            RedrawWindow(view->Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            double ms = Seconds(start) * 1000.0;
            if (ms > slowest) slowest = ms;
            Pump();
        }
        std::printf("GUI wrapped, 200 %-13s %8.3f s   slowest step %6.1f ms   longest frame wait %6.1f ms\n", what,
                    Seconds(all), slowest, prober->TakeLongest());
    };
    steps(WM_KEYDOWN, VK_NEXT, "pages down");
    steps(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), "wheel steps");
    SendMessageW(app->Frame(), WM_COMMAND, IDM_WRAP_LINES, 0);
}

void SlowStepCommands(CAppMain* app, CLogView* view, Prober* prober) {
    // No interval reaches the threshold: each step walks to an end of the rows.
    int32_t threshold = AppConfig().m_intervalTime;
    AppConfig().m_intervalTime = 0x7fffffff;
    for (bool forward : {true, false}) {
        view->GoToLine(static_cast<int>(view->Rows().Count() / 2));
        PumpUntil([] { return false; }, 0.2);
        prober->TakeLongest();
        Clock::time_point start = Clock::now();
        GoToSlowInterval(*app, view, forward);
        PumpUntil([&] { return !app->Runner().Busy(); });
        std::printf("GUI %s slow interval command %8.3f ms   longest frame wait %6.1f ms\n",
                    forward ? "next    " : "previous", Seconds(start) * 1000.0, prober->TakeLongest());
    }
    AppConfig().m_intervalTime = threshold;
}

}  // namespace gui_bench

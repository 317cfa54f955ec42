// The GUI benchmark's follow figure: a large log followed with its overview strip and its
// timeline shown while a thread appends 100,000 lines a second; for each batch written, the
// time until it is in the rows, in the strip's scan and in the timeline's counts.
#include <algorithm>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "config/app_parameter.h"
#include "gui_bench.h"
#include "shell/app_main.h"
#include "shell/follow_commands.h"
#include "shell/view_commands.h"
#include "view/log_view.h"
#include "view/overview_strip.h"
#include "view/timeline_pane.h"

namespace gui_bench {

namespace {

constexpr int kBatchesPerSecond = 100;

struct CBatch {
    Clock::time_point written;
    int64_t lines = 0;  // appended lines in all, this batch's included
};

// The first size bytes of source up to a line end, into target: the log to follow.
bool CopyHead(const wchar_t* source, const wchar_t* target, size_t size, std::string* lastLine) {
    FILE* in = _wfopen(source, L"rb");
    if (in == nullptr) return false;
    std::vector<char> bytes(size);
    size_t got = std::fread(bytes.data(), 1, size, in);
    std::fclose(in);
    while (got > 0 && bytes[got - 1] != '\n') --got;
    size_t start = got > 1 ? got - 1 : 0;
    while (start > 0 && bytes[start - 1] != '\n') --start;
    lastLine->assign(bytes.data() + start, got - start);
    FILE* out = _wfopen(target, L"wb");
    if (out == nullptr) return false;
    bool ok = std::fwrite(bytes.data(), 1, got, out) == got;
    return std::fclose(out) == 0 && ok;
}

// Appends lines stamped from the last line's time on, at rate lines a second.
class Writer {
public:
    Writer(const wchar_t* path, const std::string& last, int rate, int seconds)
        : m_path(path), m_rate(rate), m_seconds(seconds) {
        int h = 0, m = 0, s = 0, ms = 0;
        std::sscanf(last.c_str() + 11, "%d:%d:%d.%d", &h, &m, &s, &ms);
        m_date = last.substr(0, 10);
        m_start = ((h * 60 + m) * 60 + s) * 1000 + ms;
        m_thread = std::thread([this] { Run(); });
    }
    ~Writer() { m_thread.join(); }
    bool Done() const { return m_done.load(); }
    // The batches written so far.
    std::vector<CBatch> Batches() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_batches;
    }

private:
    void Run() {
        FILE* out = _wfopen(m_path, L"ab");
        Clock::time_point begin = Clock::now();
        int64_t written = 0;
        for (int b = 0; out != nullptr && b < m_seconds * kBatchesPerSecond; ++b) {
            std::this_thread::sleep_until(begin + std::chrono::milliseconds(b * 1000 / kBatchesPerSecond));
            std::string text;
            for (int i = 0; i < m_rate / kBatchesPerSecond; ++i, ++written) {
                int64_t at = m_start + written * 1000 / m_rate;
                char line[160];
                std::snprintf(line, sizeof line, "%s %02d:%02d:%02d.%03d %s [writer] line %lld of the writer\r\n",
                              m_date.c_str(), static_cast<int>(at / 3600000 % 24), static_cast<int>(at / 60000 % 60),
                              static_cast<int>(at / 1000 % 60), static_cast<int>(at % 1000),
                              written % 1000 == 0 ? "ERROR" : "INFO ", static_cast<long long>(written));
                text += line;
            }
            std::fwrite(text.data(), 1, text.size(), out);
            std::fflush(out);
            std::lock_guard<std::mutex> lock(m_mutex);
            m_batches.push_back({Clock::now(), written});
        }
        if (out != nullptr) std::fclose(out);
        m_done.store(true);
    }

    const wchar_t* m_path;
    int m_rate;
    int m_seconds;
    std::string m_date;
    int64_t m_start = 0;
    std::atomic<bool> m_done{false};
    std::mutex m_mutex;
    std::vector<CBatch> m_batches;
    std::thread m_thread;
};

// When each batch was first seen covered by one of the three, and the longest and mean wait.
struct CLag {
    std::vector<double> seen;
    void Note(const std::vector<CBatch>& batches, bool covered(const CBatch&, void*), void* what) {
        for (size_t i = seen.size(); i < batches.size() && covered(batches[i], what); ++i) {
            seen.push_back(Seconds(batches[i].written) * 1000.0);
        }
    }
    void Print(const char* what, size_t batches) const {
        double longest = 0, sum = 0;
        for (double s : seen) longest = std::max(longest, s), sum += s;
        std::printf("GUI follow, lag of the %-8s %6.1f ms longest  %6.1f ms mean  (%zu of %zu batches)\n", what,
                    longest, seen.empty() ? 0.0 : sum / seen.size(), seen.size(), batches);
    }
};

struct CFollowed {
    CLogView* view;
    int64_t base;
};

}  // namespace

void Follow(CAppMain* app, const wchar_t* log, Prober* prober) {
    const wchar_t* path = L"follow.log";
    std::string last;
    if (!CopyHead(log, path, size_t{256} << 20, &last)) return;
    app->CloseEverything();
    app->OpenLogFile(path);
    PumpUntil([&] {
        CLogView* v = app->Views().First();
        return v != nullptr && v->Lines() != nullptr && !app->Runner().Busy();
    });
    CLogView* view = app->Views().First();
    if (view == nullptr || view->Overview() == nullptr) return;
    ToggleTimeline(*app, view);
    PumpUntil([&] { return view->TimelinePane() != nullptr && !app->Runner().Busy() && view->Overview()->ScanDone(); });
    if (AppConfig().m_follow == 0) ToggleFollow(*app);
    CFollowed followed{view, view->Rows().Count()};
    std::printf("GUI follow, %lld rows followed, 100,000 lines a second for 5 s\n",
                static_cast<long long>(followed.base));
    prober->TakeLongest();
    CLag rows, strip, timeline;
    {
        Writer writer(path, last, 100000, 5);
        auto inRows = [](const CBatch& b, void* f) {
            auto* p = static_cast<CFollowed*>(f);
            return p->view->Rows().Count() >= p->base + b.lines;
        };
        auto inStrip = [](const CBatch& b, void* f) {
            auto* p = static_cast<CFollowed*>(f);
            return p->view->Rows().Count() >= p->base + b.lines && p->view->Overview()->ScanDone();
        };
        auto inTimeline = [](const CBatch& b, void* f) {
            auto* p = static_cast<CFollowed*>(f);
            const CTimeline* t = p->view->TimelinePane() != nullptr ? p->view->TimelinePane()->Timeline() : nullptr;
            return t != nullptr && t->Counted() >= p->base + b.lines;
        };
        size_t total = 0;
        PumpUntil(
            [&] {
                std::vector<CBatch> batches = writer.Batches();
                total = batches.size();
                rows.Note(batches, inRows, &followed);
                strip.Note(batches, inStrip, &followed);
                timeline.Note(batches, inTimeline, &followed);
                return writer.Done() && timeline.seen.size() == total && strip.seen.size() == total;
            },
            30);
        rows.Print("rows", total);
        strip.Print("strip", total);
        timeline.Print("timeline", total);
    }
    std::printf("GUI follow, longest frame wait %6.1f ms\n", prober->TakeLongest());
    ToggleFollow(*app);
    app->CloseEverything();
    _wremove(path);
}

}  // namespace gui_bench

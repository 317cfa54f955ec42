// What the GUI benchmark's parts share: the message pump, a wait that pumps, and the
// thread that keeps asking the frame for an answer.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>

class CAppMain;
class CLogView;

namespace gui_bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Dispatches what is queued, for at most a few milliseconds: a timer that keeps coming back
// (the overview strip's slices) must not hide the end of what is being waited for.
inline void Pump() {
    MSG msg;
    Clock::time_point start = Clock::now();
    while (Seconds(start) < 0.005 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Pumps until done() or limit seconds have passed; the seconds it took.
template <typename Done>
double PumpUntil(Done done, double limit = 600) {
    Clock::time_point start = Clock::now();
    while (!done() && Seconds(start) < limit) {
        Pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
    }
    return Seconds(start);
}

// Asks the frame with WM_NULL again and again; keeps the longest answer time.
class Prober {
public:
    explicit Prober(HWND frame) : m_frame(frame), m_thread([this] { Loop(); }) {}
    ~Prober() {
        m_running.store(false);
        PumpUntil([this] { return m_stopped.load(); });
        m_thread.join();
    }
    // The longest wait since the last call, in milliseconds.
    double TakeLongest() { return m_longest.exchange(0) / 1000.0; }

private:
    void Loop() {
        while (m_running.load()) {
            Clock::time_point start = Clock::now();
            DWORD_PTR result = 0;
            SendMessageTimeoutW(m_frame, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
            auto waited = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
            long long longest = m_longest.load();
            while (waited > longest && !m_longest.compare_exchange_weak(longest, waited)) {
            }
            Sleep(2);
        }
        m_stopped.store(true);
    }

    HWND m_frame;
    std::atomic<bool> m_running{true};
    std::atomic<bool> m_stopped{false};
    std::atomic<long long> m_longest{0};
    std::thread m_thread;
};

// The overview strip's and the timeline's figures on the loaded view (the strip's scan
// started when the load ended, loaded seconds ago).
void OverviewAndTimeline(CAppMain* app, CLogView* view, Prober* prober, Clock::time_point loaded);
// Follows a log made of the first 256 MiB of log while 100,000 lines a second are appended;
// the lag of the rows, the overview strip and the timeline.
void Follow(CAppMain* app, const wchar_t* log, Prober* prober);
// The navigation steps from the middle row and Jump to Time, each timed on this thread.
void Navigation(CAppMain* app, CLogView* view);
// Pages and wheel steps down the wrapped rows from the middle, each painted at once.
void WrappedScrolling(CAppMain* app, CLogView* view, Prober* prober);
// The next and previous slow-interval commands walking half the rows, with the frame's wait.
void SlowStepCommands(CAppMain* app, CLogView* view, Prober* prober);

}  // namespace gui_bench

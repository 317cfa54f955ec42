// CProgressBar: a progress bar on standard error for long runs of quillon-cli. It appears
// only when standard error is a terminal and the run has lasted half a second, and it
// erases itself when done. Called from one thread only.
#pragma once

#include <chrono>
#include <cstdint>

#include "document/progress_listener.h"

class CProgressBar : public CProgressListener {
public:
    // label: what is running ("loading", "searching", ...), a string constant.
    CProgressBar(bool enabled, const char* label);
    ~CProgressBar() override;
    void OnProgress(uint64_t position, uint64_t total) override;
    // Erases the bar if it is shown.
    void Finish();

private:
    bool m_enabled;
    const char* m_label;
    bool m_shown = false;
    int m_lastPercent = -1;
    std::chrono::steady_clock::time_point m_start;
};

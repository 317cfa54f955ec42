// The progress bar: redrawn in place with a carriage return, only when its percentage moves.
#include "progress_bar.h"

#include <cstdio>

namespace {
constexpr int kWidth = 40;
constexpr double kDelaySeconds = 0.5;
}  // namespace

CProgressBar::CProgressBar(bool enabled, const char* label)
    : m_enabled(enabled), m_label(label), m_start(std::chrono::steady_clock::now()) {}

CProgressBar::~CProgressBar() { Finish(); }

void CProgressBar::OnProgress(uint64_t position, uint64_t total) {
    if (!m_enabled || total == 0) return;
    if (!m_shown) {
        double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
        if (elapsed < kDelaySeconds) return;
    }
    int percent = static_cast<int>(position >= total ? 100 : position * 100 / total);
    if (percent == m_lastPercent) return;
    m_lastPercent = percent;
    char bar[kWidth + 1];
    int filled = percent * kWidth / 100;
    for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[kWidth] = 0;
    std::fprintf(stderr, "\r%s [%s] %3d%%", m_label, bar, percent);
    std::fflush(stderr);
    m_shown = true;
}

void CProgressBar::Finish() {
    if (!m_shown) return;
    std::fprintf(stderr, "\r%*s\r", kWidth + 20, "");
    std::fflush(stderr);
    m_shown = false;
}

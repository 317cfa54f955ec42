// CLabelLanes: the rows that hold each colour label's text, for the overview strip's lane of
// labels. One tick scan (search/overview_ticks.h) per label in use, with a matcher of that
// label's text alone, scanned in the strip's time slices like its other ticks. Owned by the
// strip; UI thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "search/line_matcher.h"
#include "search/overview_ticks.h"
#include "search/search_condition.h"

class CColorLabels;
class CLogView;

class CLabelLanes {
public:
    static constexpr int kLanes = 9;  // one per colour label

    // Starts again from row 0 when the labels, the code page or the escape rule changed
    // since the last call. Returns true when it did.
    bool Follow(const CLogView& view);
    // Everything is scanned again (new rows).
    void Restart();
    // The rows from row on were replaced or added.
    void RescanFrom(int64_t row);
    // Scans up to n rows of each label that still has rows to scan; the rows it scanned.
    int64_t Scan(const CLogView& view, int64_t n);
    bool Done(int64_t rowCount) const;
    bool Any() const;
    // Bit k of out[b]: label k occurs in bucket b of count over rowCount rows.
    void Buckets(int64_t rowCount, int count, uint16_t* out) const;

private:
    struct CLane {
        CSearchCondition condition;
        std::unique_ptr<CLineMatcher> matcher;
        COverviewTicks ticks;
    };

    std::unique_ptr<CLane> m_lanes[kLanes];
    // What the lanes were made for.
    uint32_t m_generation = 0;
    uint32_t m_codePage = 0;
    bool m_hideEscapes = false;
    bool m_made = false;
    const CColorLabels* m_labels = nullptr;
};

// The overview strip's label lanes: a matcher and a tick scan for each label in use.
#include "view/label_lanes.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "config/color_labels.h"
#include "view/log_view.h"

static_assert(CLabelLanes::kLanes == kColorLabelCount, "a lane for every colour label");

bool CLabelLanes::Follow(const CLogView& view) {
    const CColorLabels* labels = view.Labels();
    const CViewSettings& settings = view.Settings();
    uint32_t generation = labels != nullptr ? labels->Generation() : 0;
    bool hide = settings.colorCodes != 0;
    if (m_made && labels == m_labels && generation == m_generation && settings.codePage == m_codePage &&
        hide == m_hideEscapes)
        return false;
    m_made = true;
    m_labels = labels;
    m_generation = generation;
    m_codePage = settings.codePage;
    m_hideEscapes = hide;
    for (int k = 0; k < kLanes; ++k) {
        m_lanes[k].reset();
        const std::u16string* text = labels != nullptr ? &labels->Text(k) : nullptr;
        if (text == nullptr || text->empty()) continue;
        std::unique_ptr<CLane> lane(new (std::nothrow) CLane());
        if (lane == nullptr || !lane->condition.Add(text->c_str(), kMatchCase)) continue;
        lane->matcher.reset(new (std::nothrow) CLineMatcher(lane->condition, m_codePage, hide));
        if (lane->matcher == nullptr || lane->matcher->Prepare() == 0) continue;
        m_lanes[k] = std::move(lane);
    }
    return true;
}

void CLabelLanes::Restart() { RescanFrom(0); }

void CLabelLanes::RescanFrom(int64_t row) {
    for (auto& lane : m_lanes) {
        if (lane != nullptr) lane->ticks.RescanFrom(row);
    }
}

int64_t CLabelLanes::Scan(const CLogView& view, int64_t n) {
    int64_t scanned = 0;
    for (auto& lane : m_lanes) {
        if (lane == nullptr) continue;
        COverviewInputs in;
        in.rows = view.HasRows() ? &view.Rows() : nullptr;
        in.matcher = lane->matcher.get();
        scanned += lane->ticks.Scan(in, n);
    }
    return scanned;
}

bool CLabelLanes::Done(int64_t rowCount) const {
    for (const auto& lane : m_lanes) {
        if (lane != nullptr && lane->ticks.Scanned() < rowCount) return false;
    }
    return true;
}

bool CLabelLanes::Any() const {
    for (const auto& lane : m_lanes) {
        if (lane != nullptr) return true;
    }
    return false;
}

void CLabelLanes::Buckets(int64_t rowCount, int count, uint16_t* out) const {
    if (count <= 0) return;
    std::memset(out, 0, sizeof(uint16_t) * static_cast<size_t>(count));
    auto* flags = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(count)));
    if (flags == nullptr) return;
    for (int k = 0; k < kLanes; ++k) {
        if (m_lanes[k] == nullptr) continue;
        m_lanes[k]->ticks.Buckets(rowCount, nullptr, count, flags);
        for (int b = 0; b < count; ++b) {
            if ((flags[b] & kTickHit) != 0) out[b] = static_cast<uint16_t>(out[b] | (1u << k));
        }
    }
    std::free(flags);
}

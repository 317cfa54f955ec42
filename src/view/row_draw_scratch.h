// The memory a drawing of rows needs beside their text: each row's colour runs (with colour
// codes on) and its label spans (with labels), freed when the drawing ends.
#pragma once

#include <cstdlib>

#include "config/color_labels.h"
#include "document/escape_codes.h"

class CRowDrawScratch {
public:
    CRowDrawScratch(bool colorCodes, int rowUnits, bool labelled)
        : m_runs(colorCodes ? static_cast<CStyleRun*>(std::malloc(sizeof(CStyleRun) * StyleRunCapacity(rowUnits)))
                            : nullptr),
          m_spans(labelled ? static_cast<CLabelSpan*>(std::malloc(sizeof(CLabelSpan) * rowUnits)) : nullptr),
          m_ready((m_runs != nullptr || !colorCodes) && (m_spans != nullptr || !labelled)) {}
    ~CRowDrawScratch() {
        std::free(m_runs);
        std::free(m_spans);
    }
    CRowDrawScratch(const CRowDrawScratch&) = delete;
    CRowDrawScratch& operator=(const CRowDrawScratch&) = delete;

    bool Ready() const { return m_ready; }
    CStyleRun* Runs() const { return m_runs; }
    CLabelSpan* Spans() const { return m_spans; }

private:
    CStyleRun* m_runs;
    CLabelSpan* m_spans;
    bool m_ready;
};

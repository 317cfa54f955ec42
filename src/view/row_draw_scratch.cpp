// The scratch of a drawing of rows.
#include "view/row_draw_scratch.h"

#include <cstdlib>

#include "config/color_labels.h"
#include "document/escape_codes.h"

CRowDrawScratch::CRowDrawScratch(bool colorCodes, int rowUnits, bool labelled)
    : m_runs(colorCodes ? static_cast<CStyleRun*>(std::malloc(sizeof(CStyleRun) * StyleRunCapacity(rowUnits)))
                        : nullptr),
      m_spans(labelled ? static_cast<CLabelSpan*>(std::malloc(sizeof(CLabelSpan) * rowUnits)) : nullptr),
      m_ready((m_runs != nullptr || !colorCodes) && (m_spans != nullptr || !labelled)) {}

CRowDrawScratch::~CRowDrawScratch() {
    std::free(m_runs);
    std::free(m_spans);
}

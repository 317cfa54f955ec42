// The memory a drawing of rows needs beside their text: each row's colour runs (with colour
// codes on) and its label spans (with labels), freed when the drawing ends.
#pragma once

struct CStyleRun;
struct CLabelSpan;

class CRowDrawScratch {
public:
    CRowDrawScratch(bool colorCodes, int rowUnits, bool labelled);
    ~CRowDrawScratch();
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

// Row printing. The message is decoded with the code page (invalid bytes become U+FFFD, as
// on screen) and written as UTF-8; the whole line is printed, however long.
#include "row_printer.h"

#include <cstdlib>

#include "foundation/convert.h"

void FormatStamp(const CTimeStamp& s, char* out, size_t capacity) {
    if (capacity == 0) return;
    out[0] = 0;
    if (s.year == 0 && s.month == 0 && s.day == 0 && s.milliseconds == 0) return;
    uint32_t ms = s.milliseconds;
    std::snprintf(out, capacity, "%04u-%02u-%02u %02u:%02u:%02u.%03u", static_cast<unsigned>(s.year),
                  static_cast<unsigned>(s.month), static_cast<unsigned>(s.day), ms / 3600000, ms / 60000 % 60,
                  ms / 1000 % 60, ms % 1000);
}

CRowPrinter::CRowPrinter(CFile* file, unsigned codePage, std::FILE* out)
    : m_window(file), m_codePage(codePage), m_out(out) {}

CRowPrinter::~CRowPrinter() {
    std::free(m_wide);
    std::free(m_bytes);
}

void CRowPrinter::Wide(const char16_t* text, int count) {
    if (count <= 0) return;
    int n = WideToMultiByte(kCodePageUtf8, text, count, nullptr, 0);
    if (n <= 0) return;
    if (static_cast<size_t>(n) > m_bytesCapacity) {
        char* grown = static_cast<char*>(std::realloc(m_bytes, static_cast<size_t>(n)));
        if (grown == nullptr) return;
        m_bytes = grown;
        m_bytesCapacity = static_cast<size_t>(n);
    }
    n = WideToMultiByte(kCodePageUtf8, text, count, m_bytes, n);
    if (n > 0) std::fwrite(m_bytes, 1, static_cast<size_t>(n), m_out);
}

void CRowPrinter::Message(const CLogLine& line) {
    uint32_t got = 0;
    const char* bytes = m_window.Get(line.offset, static_cast<uint32_t>(line.length > 0 ? line.length : 0), false, &got);
    if (bytes == nullptr) return;
    if (got == 0) return;
    int units = MultiByteToWide(m_codePage, bytes, static_cast<int>(got), nullptr, 0);
    if (units <= 0) return;
    if (static_cast<size_t>(units) > m_wideCapacity) {
        auto* grown = static_cast<char16_t*>(std::realloc(m_wide, static_cast<size_t>(units) * sizeof(char16_t)));
        if (grown == nullptr) return;
        m_wide = grown;
        m_wideCapacity = static_cast<size_t>(units);
    }
    units = MultiByteToWide(m_codePage, bytes, static_cast<int>(got), m_wide, units);
    // A line ends with at most one break: CR or LF, or a CR LF / LF CR pair (in UTF-16 too,
    // so it goes after decoding).
    auto isBreak = [](char16_t c) { return c == u'\r' || c == u'\n'; };
    if (units > 0 && isBreak(m_wide[units - 1])) {
        --units;
        if (units > 0 && isBreak(m_wide[units - 1]) && m_wide[units - 1] != m_wide[units]) --units;
    }
    Wide(m_wide, units);
}

void CRowPrinter::Print(const CLogLine& line, const CRowCell& cell) {
    char stamp[40];
    FormatStamp(line.timeStamp, stamp, sizeof stamp);
    std::fprintf(m_out, "%d\t%s\t", cell.shownNumber, stamp);
    if (cell.hasInterval) {
        int n = 0;
        while (cell.interval[n] != 0) ++n;
        Wide(cell.interval, n);
    }
    std::fputs(cell.marked ? "\t!\t" : "\t\t", m_out);
    Message(line);
    std::fputc('\n', m_out);
}

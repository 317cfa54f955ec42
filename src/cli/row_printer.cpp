// Row printing. The message is decoded with the code page (invalid bytes become U+FFFD, as
// on screen) and written as UTF-8; the whole line is printed, however long.
#include "row_printer.h"

#include <cstdlib>

#include "document/escape_codes.h"
#include "foundation/convert.h"

void FormatStamp(const CTimeStamp& s, char* out, size_t capacity) {
    if (capacity == 0) return;
    out[0] = 0;
    if (s.year == 0 && s.month == 0 && s.day == 0 && s.milliseconds == 0) return;
    uint32_t ms = s.milliseconds;
    if (s.IsTimeOnly()) {
        std::snprintf(out, capacity, "%02u:%02u:%02u.%03u", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
        return;
    }
    std::snprintf(out, capacity, "%04u-%02u-%02u %02u:%02u:%02u.%03u", static_cast<unsigned>(s.year),
                  static_cast<unsigned>(s.month), static_cast<unsigned>(s.day), ms / 3600000, ms / 60000 % 60,
                  ms / 1000 % 60, ms % 1000);
}

CRowPrinter::CRowPrinter(CFile* file, unsigned codePage, bool hideEscapes, std::FILE* out)
    : m_window(file), m_codePage(codePage), m_hideEscapes(hideEscapes), m_out(out) {}

void CRowPrinter::Wide(const char16_t* text, int count) {
    if (count <= 0) return;
    int n = WideToMultiByte(kCodePageUtf8, text, count, nullptr, 0);
    if (n <= 0) return;
    if (!m_bytes.Grow(static_cast<size_t>(n))) return;
    n = WideToMultiByte(kCodePageUtf8, text, count, m_bytes.Data(), n);
    if (n > 0) std::fwrite(m_bytes.Data(), 1, static_cast<size_t>(n), m_out);
}

void CRowPrinter::Message(const CLogLine& line) {
    uint32_t got = 0;
    const char* bytes =
        m_window.Get(line.offset, static_cast<uint32_t>(line.length > 0 ? line.length : 0), false, &got);
    if (bytes == nullptr) return;
    if (got == 0) return;
    int units = MultiByteToWide(m_codePage, bytes, static_cast<int>(got), nullptr, 0);
    if (units <= 0) return;
    if (!m_wide.Grow(static_cast<size_t>(units))) return;
    char16_t* wide = m_wide.Data();
    units = MultiByteToWide(m_codePage, bytes, static_cast<int>(got), wide, units);
    if (m_hideEscapes && units > 0) units = HideEscapes(wide, units);
    // A line ends with at most one break: CR or LF, or a CR LF / LF CR pair (in UTF-16 too,
    // so it goes after decoding).
    auto isBreak = [](char16_t c) { return c == u'\r' || c == u'\n'; };
    if (units > 0 && isBreak(wide[units - 1])) {
        --units;
        if (units > 0 && isBreak(wide[units - 1]) && wide[units - 1] != wide[units]) --units;
    }
    Wide(wide, units);
}

void CRowPrinter::Print(const CLogLine& line, const CRowCell& cell) {
    char stamp[40];
    FormatStamp(line.timeStamp, stamp, sizeof stamp);
    std::fprintf(m_out, "%lld\t%s\t", static_cast<long long>(cell.shownNumber), stamp);
    if (cell.hasInterval) {
        int n = 0;
        while (cell.interval[n] != 0) ++n;
        Wide(cell.interval, n);
    }
    std::fputs(cell.marked ? "\t!\t" : "\t\t", m_out);
    Message(line);
    std::fputc('\n', m_out);
}

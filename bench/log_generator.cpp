// The log generator: a small state machine over services, threads and messages, driven by
// a fixed pseudo-random sequence so that every run writes the same file.
#include "log_generator.h"

#include <cstring>

namespace {

// splitmix64: small, fast and the same everywhere.
class CRandom {
public:
    explicit CRandom(uint64_t seed) : m_state(seed) {}
    uint64_t Next() {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint32_t Below(uint32_t n) { return static_cast<uint32_t>(Next() % n); }

private:
    uint64_t m_state;
};

const char* const kServices[] = {"o.OrderService", "o.PaymentGateway", "w.Dispatcher", "db.ConnectionPool",
                                 "c.RegionCache",  "a.TokenVerifier",  "m.MailQueue",  "b.NightlyExport",
                                 "i.StockService", "w.SessionManager"};

// A message format with the exclusive upper bound of each of its numbers.
struct CMessage {
    const char* format;
    uint32_t bounds[4];
};

const CMessage kInfo[] = {{"Processing order %u for customer %u (%u items)", {9000000, 90000, 12, 1}},
                          {"GET /api/v2/orders/%u done in %u ms, status=200", {9000000, 400, 1, 1}},
                          {"Session %08x refreshed, expires in %u s", {0xffffffffu, 3600, 1, 1}},
                          {"Cache 'products' hit ratio %u%%, entries=%u", {100, 90000, 1, 1}},
                          {"Payment %u authorised, reference %08X", {9000000, 0xffffffffu, 1, 1}},
                          {"Exported %u rows to segment %u", {100000, 5000, 1, 1}},
                          {"Connection %u returned to pool, idle=%u", {5000, 64, 1, 1}},
                          {"Stock for SKU-%06u adjusted by %u units", {999999, 500, 1, 1}}};

const CMessage kDebug[] = {{"validate() with %u constraints for request %u", {20, 9000000, 1, 1}},
                           {"SELECT state FROM orders WHERE id = %u (%u us)", {9000000, 900, 1, 1}},
                           {"Token checked: sub=%u, skew=%u ms", {90000, 50, 1, 1}},
                           {"Queue depth %u after poll, next in %u ms", {300, 1000, 1, 1}}};

const CMessage kWarn[] = {{"Slow inventory response: %u ms for SKU-%06u", {5000, 999999, 1, 1}},
                          {"Retrying payment %u after gateway timeout (%u/3)", {9000000, 3, 1, 1}},
                          {"Connection pool nearly exhausted: %u of 64 in use", {64, 1, 1, 1}},
                          {"在庫サービスの応答が遅延: %u ms (注文 %u)", {5000, 9000000, 1, 1}}};

const CMessage kError[] = {{"Order %u not saved: rolled back after %u ms", {9000000, 5000, 1, 1}},
                           {"Payment %u failed: provider code %u", {9000000, 999, 1, 1}},
                           {"Request %u refused: upstream reset after %u bytes", {9000000, 65536, 1, 1}},
                           {"注文 %u の保存に失敗しました (コード %u)", {9000000, 999, 1, 1}}};

const char* const kExceptions[] = {"java.lang.IllegalStateException: Connection is closed",
                                   "java.sql.SQLTransientConnectionException: pool timed out after 30000 ms",
                                   "java.net.SocketTimeoutException: Read timed out",
                                   "java.lang.NullPointerException: customer must not be null"};

const char* const kFrames[] = {
    "\tat com.example.db.ConnectionPool.borrow(ConnectionPool.java:%u)",
    "\tat com.example.order.OrderRepository.save(OrderRepository.java:%u)",
    "\tat com.example.order.OrderService.place(OrderService.java:%u)",
    "\tat com.example.web.RequestDispatcher.dispatch(RequestDispatcher.java:%u)",
    "\tat java.base/java.util.concurrent.ThreadPoolExecutor.runWorker(ThreadPoolExecutor.java:%u)",
    "\tat java.base/java.lang.Thread.run(Thread.java:%u)"};

template <typename T, size_t N>
const T& Pick(CRandom& r, const T (&list)[N]) {
    return list[r.Below(N)];
}

class CWriter {
public:
    CWriter(const CLogGeneratorOptions& o, std::FILE* out) : m_options(o), m_out(out), m_random(o.seed) {}

    int64_t Run() {
        while (m_written < m_options.size) {
            if (!Entry()) return -1;
        }
        return std::fflush(m_out) == 0 ? m_lines : -1;
    }

private:
    bool Line(const char* text) {
        const char* end = LineEnd();
        size_t n = std::strlen(text);
        if (std::fwrite(text, 1, n, m_out) != n || std::fputs(end, m_out) < 0) return false;
        m_written += n + std::strlen(end);
        ++m_lines;
        return true;
    }
    const char* LineEnd() {
        if (m_options.lineEnds == CLineEnds::kCrLf) return "\r\n";
        if (m_options.lineEnds == CLineEnds::kLf) return "\n";
        // Runs of a few thousand lines each, as when logs of two systems are concatenated.
        if (m_lines % 4096 == 0 && m_random.Below(2) == 0) m_crlf = !m_crlf;
        return m_crlf ? "\r\n" : "\n";
    }
    void Advance() {
        uint32_t step = 1 + m_random.Below(20);
        if (m_random.Below(2000) == 0) step = 3000 + m_random.Below(9000);  // a slow interval
        m_ms += step;
        if (m_ms >= 86400000u) {
            m_ms -= 86400000u;
            ++m_day;
        }
    }
    bool Entry() {
        Advance();
        uint32_t roll = m_random.Below(1000);
        const char* level;
        const CMessage* m;
        if (roll < 720) {
            level = "INFO ";
            m = &Pick(m_random, kInfo);
        } else if (roll < 880) {
            level = "DEBUG";
            m = &Pick(m_random, kDebug);
        } else if (roll < 960) {
            level = "WARN ";
            m = &Pick(m_random, kWarn);
        } else {
            level = "ERROR";
            m = &Pick(m_random, kError);
        }
        uint32_t v[4];
        for (int i = 0; i < 4; ++i) v[i] = m_random.Below(m->bounds[i]);
        char message[256];
        std::snprintf(message, sizeof message, m->format, v[0], v[1], v[2], v[3]);
        char stamp[80];
        Stamp(stamp, sizeof stamp);
        char line[512];
        if (m_options.stamps == CStampStyle::kJson) {
            std::snprintf(line, sizeof line,
                          "{\"level\":\"%s\",\"thread\":\"worker-%u\",\"id\":\"%08x\",\"logger\":\"%s\",\"msg\":\"%s\","
                          "\"time\":\"%s\"}",
                          level, 1 + m_random.Below(24), static_cast<uint32_t>(m_random.Next()),
                          Pick(m_random, kServices), message, stamp);
        } else {
            std::snprintf(line, sizeof line, "%s %s [worker-%u] %08x %s - %s", stamp, level, 1 + m_random.Below(24),
                          static_cast<uint32_t>(m_random.Next()), Pick(m_random, kServices), message);
        }
        if (!Line(line)) return false;
        if (level[0] == 'E' && m_random.Below(2) == 0) return Trace();
        return true;
    }
    // The line's time stamp in the chosen style.
    void Stamp(char* out, size_t size) {
        uint32_t h = m_ms / 3600000, mi = m_ms / 60000 % 60, s = m_ms / 1000 % 60, ms = m_ms % 1000;
        static const char* const kWeekdays[7] = {"Fri", "Sat", "Sun", "Mon", "Tue", "Wed", "Thu"};  // from 2024-03-15
        switch (m_options.stamps) {
            case CStampStyle::kBasic:
                std::snprintf(out, size, "2024-03-%02u %02u:%02u:%02u.%03u", m_day, h, mi, s, ms);
                break;
            case CStampStyle::kIsoZone:
                std::snprintf(out, size, "2024-03-%02uT%02u:%02u:%02u+09:00", m_day, h, mi, s);
                break;
            case CStampStyle::kAccessLog:
                std::snprintf(out, size, "10.0.%u.%u - - [%02u/Mar/2024:%02u:%02u:%02u +0900]", m_day, m_ms % 250,
                              m_day, h, mi, s);
                break;
            case CStampStyle::kCLibrary:
                std::snprintf(out, size, "[%s Mar %02u %02u:%02u:%02u.%03u 2024]", kWeekdays[(m_day - 15) % 7], m_day,
                              h, mi, s, ms);
                break;
            case CStampStyle::kCompact:
                std::snprintf(out, size, "2403%02u %02u%02u%02u", m_day, h, mi, s);
                break;
            case CStampStyle::kEpoch:
                // 2024-03-01 00:00:00 UTC plus the day and time.
                std::snprintf(out, size, "%llu.%03u", 1709251200ull + (m_day - 1) * 86400ull + m_ms / 1000, ms);
                break;
            case CStampStyle::kEpochMs:
                std::snprintf(out, size, "%llu%03u", 1709251200ull + (m_day - 1) * 86400ull + m_ms / 1000, ms);
                break;
            case CStampStyle::kLogfmt:
                std::snprintf(out, size, "time=\"2024-03-%02uT%02u:%02u:%02u.%03u%03uZ\"", m_day, h, mi, s, ms, ms);
                break;
            case CStampStyle::kGlog:
                std::snprintf(out, size, "I03%02u %02u:%02u:%02u.%03u%03u %7u", m_day, h, mi, s, ms, ms,
                              1000 + m_day * 37);
                break;
            case CStampStyle::kTimeOnly:
                std::snprintf(out, size, "%02u:%02u:%02u.%03u%03u", h, mi, s, ms, ms);
                break;
            case CStampStyle::kJson:
                std::snprintf(out, size, "2024-03-%02uT%02u:%02u:%02u.%03uZ", m_day, h, mi, s, ms);
                break;
            case CStampStyle::kPrefix:
                std::snprintf(out, size, "node-%02u app[%u]: 2024-03-%02u %02u:%02u:%02u.%03u", m_day % 8, 1000 + m_day,
                              m_day, h, mi, s, ms);
                break;
        }
    }
    bool Trace() {
        if (!Line(Pick(m_random, kExceptions))) return false;
        uint32_t frames = 3 + m_random.Below(8);
        for (uint32_t i = 0; i < frames; ++i) {
            char frame[160];
            std::snprintf(frame, sizeof frame, Pick(m_random, kFrames), 20 + m_random.Below(900));
            if (!Line(frame)) return false;
        }
        return true;
    }

    const CLogGeneratorOptions& m_options;
    std::FILE* m_out;
    CRandom m_random;
    uint64_t m_written = 0;
    int64_t m_lines = 0;
    bool m_crlf = true;
    uint32_t m_day = 15;
    uint32_t m_ms = 23 * 3600000u + 10 * 60000u;  // starts late in the evening, so midnight comes soon
};

}  // namespace

bool ParseStampStyle(const char* name, CStampStyle* style) {
    static const struct {
        const char* name;
        CStampStyle style;
    } kStyles[] = {{"basic", CStampStyle::kBasic},          {"iso-zone", CStampStyle::kIsoZone},
                   {"access-log", CStampStyle::kAccessLog}, {"c-library", CStampStyle::kCLibrary},
                   {"compact", CStampStyle::kCompact},      {"epoch", CStampStyle::kEpoch},
                   {"epoch-ms", CStampStyle::kEpochMs},     {"prefix", CStampStyle::kPrefix},
                   {"logfmt", CStampStyle::kLogfmt},        {"glog", CStampStyle::kGlog},
                   {"time-only", CStampStyle::kTimeOnly},   {"json", CStampStyle::kJson}};
    for (const auto& s : kStyles) {
        if (std::strcmp(name, s.name) == 0) {
            *style = s.style;
            return true;
        }
    }
    return false;
}

int64_t GenerateLog(const CLogGeneratorOptions& options, std::FILE* out) {
    CWriter writer(options, out);
    return writer.Run();
}

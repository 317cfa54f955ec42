// The command-line grammar of quillon-cli: global options, one command, the log file and
// the command's own arguments and options, in any order.
#include "cli_options.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "stamps/stamp_pattern.h"

const char kCliUsage[] =
    "usage: quillon-cli [options] <command> <log-file> [arguments]\n"
    "       quillon-cli [options] <command> [arguments] --merge <log-file> <log-file>...\n"
    "Indexes a log file as the Quillon viewer does and prints its rows as the viewer shows them.\n"
    "options (anywhere on the line):\n"
    "  --encoding auto|ansi|utf-8|<code page number>   how log bytes are decoded (default ansi, code page 0);\n"
    "                        auto: UTF-8 when the log starts with its byte-order mark or its first MiB is\n"
    "                        UTF-8 text, else ANSI; a log with a UTF-16 byte-order mark is always UTF-16\n"
    "  --entry <name>|<N>    the file of a zip archive to read: its name or its number (from 1);\n"
    "                        default: the first (gzip and zip logs are read as they are, uncompressed)\n"
    "  --keywords <file>     keyword file instead of keyword_default.xml\n"
    "  --settings <file>     settings file instead of quillon.ini\n"
    "  --no-config           built-in defaults, no settings or keyword file (and --stamps basic,\n"
    "                        --escapes keep)\n"
    "  --stamps basic|all    time stamps at the line start only, or also the other built-in forms, a stamp\n"
    "                        after a prefix (within 128 bytes), a JSON line's time key, epoch times and a\n"
    "                        time of day alone; stamps with a zone are converted to UTC;\n"
    "                        default: the settings' choice, all when there is no settings file\n"
    "  --escapes hide|keep   hide: terminal escape sequences (colour codes) are left out of the rows printed\n"
    "                        and of the text that search and extract match, as the viewer shows rows with\n"
    "                        colour codes on; keep: the bytes as they are; default: the settings' choice,\n"
    "                        hide when there is no settings file (extract --raw always keeps them)\n"
    "  --stamp-pattern <P>   a time-stamp pattern of your own, tried before the built-in forms (may be\n"
    "                        repeated): %Y %m %d %H %M %S %f %b %a %z and literal text; a blank matches\n"
    "                        blanks; \"#N:\" in front starts it at field N, \"@N:\" at byte N\n"
    "  --merge <log> <log>...  2 to 64 logs shown as one, their rows ordered by time stamp (the logs\n"
    "                        are the arguments up to the next option; give the command's texts before\n"
    "                        it or after \"--\"); every printed row starts with its log's name and a tab;\n"
    "                        not with --follow\n"
    "  --offsets <M>,<M>...  minutes added to the times of each merged log, in the order of --merge\n"
    "                        (a log whose clock was off, or whose stamps name no zone), e.g. 0,-60\n"
    "  --trace               trace lines go to standard error\n"
    "  --help                this text\n"
    "commands:\n"
    "  info <log>                                  file size, indexed lines, error lines, first and last time\n"
    "                                              stamp, the form of the first and the rows with a stamp;\n"
    "                                              for a compressed log its format, compressed size and\n"
    "                                              entry, and the damage that ended it early\n"
    "  rows <log> [--from N] [--count M] [--interval-check MS] [--follow]\n"
    "                                              the rows; --follow: and then each row appended\n"
    "                                              to the log, until interrupted (as tail -f)\n"
    "  errors <log> [--interval-check MS] [--follow]\n"
    "                                              rows of the error-log view (--follow as above)\n"
    "  search <log> <text> [--from N] [--backward] [--ignore-case] [--regex] [--not TEXT]...\n"
    "                                              the row that the search from row N (default 0) finds\n"
    "  rows <log> --at-time TIME [--count M] [--interval-check MS]\n"
    "                                              the rows from the first whose time stamp is at or\n"
    "                                              after TIME: hh:mm:ss[.mmm] or yyyy-mm-dd hh:mm:ss[.mmm]\n"
    "                                              (a time alone means the log's first day when its stamps\n"
    "                                              have a year; on a log without years, the time of day)\n"
    "  timeline <log> [--bucket SECONDS]           rows and error rows per time bucket: the bucket's start\n"
    "                                              (yyyy-mm-dd hh:mm:ss, or hh:mm:ss when the stamps have no\n"
    "                                              year), rows and error rows, separated by tabs; empty\n"
    "                                              buckets are printed too; the width is chosen for about\n"
    "                                              160 to 400 buckets (1 s up to a day, then whole days)\n"
    "                                              unless --bucket gives it\n"
    "  extract <log> <text>... [--and] [--ignore-case] [--regex] [--before N] [--after N] [--max-rows N]\n"
    "          [--interval-check MS] [--raw] [--not TEXT]...\n"
    "                                              rows of the extraction view (1 to 5 texts;\n"
    "                                              --before/--after default to the settings; more rows\n"
    "                                              than --max-rows, by default the viewer's limit of\n"
    "                                              67108864 or the log's row count, is an error;\n"
    "                                              --raw prints the rows' original bytes instead)\n"
    "A row is printed as: line number, time stamp, interval, \"!\" when the interval check marks it,\n"
    "and the message, separated by tabs, in UTF-8. --from N counts rows from 0. --ignore-case compares\n"
    "texts with Unicode's simple case folding; --regex takes them as regular expressions (PCRE2).\n"
    "--not TEXT (up to 5, compared as the other texts): a row that holds TEXT is not found or extracted;\n"
    "with --not the command's own texts may be left out (every row without the --not texts matches).\n"
    "\"--\" ends the options, for a text that begins with \"--\".\n"
    "Exit status: 0 with output; 1 when nothing is found or there are no rows;\n"
    "2 for a usage error, a file that cannot be opened or an extraction that is too large.\n"
    "rows --at-time exits with 1 when no row is at or after TIME; timeline when the log has no time stamps.\n"
    "Merged logs: rows are ordered by their time stamps on one clock (UTC for stamps with a zone; a log\n"
    "without years takes the year of its first stamp with one, else the day its file was last written);\n"
    "equal times keep the order of the logs given, then each log's own order; rows without a stamp stay\n"
    "after the row before them, rows before a log's first stamp come first, and a time that goes back\n"
    "keeps its place in its log. --from counts merged rows; timeline and --at-time use that one clock;\n"
    "info prints each log's lines after its name, then the merged rows and their first and last time.\n";

namespace {

struct CCommandName {
    const char* name;
    CCliCommand command;
};

const CCommandName kCommands[] = {{"info", CCliCommand::kInfo},       {"rows", CCliCommand::kRows},
                                  {"errors", CCliCommand::kErrors},   {"search", CCliCommand::kSearch},
                                  {"extract", CCliCommand::kExtract}, {"timeline", CCliCommand::kTimeline}};

// Row numbers and counts: far beyond any log, and far from overflowing.
constexpr int64_t kRowLimit = 1000000000000000000LL;

// A decimal whole number of at most limit (and at least -limit - 1 when negatives are allowed).
bool ParseNumber(const char* text, bool allowNegative, int64_t limit, int64_t* value) {
    const char* p = text;
    bool negative = false;
    if (*p == '-' && allowNegative) {
        negative = true;
        ++p;
    }
    if (*p == 0) return false;
    int64_t v = 0;
    for (; *p != 0; ++p) {
        if (*p < '0' || *p > '9') return false;
        if (v > (limit + 1) / 10) return false;  // keeps the next step within 64 bits
        v = v * 10 + (*p - '0');
        if (v > limit + (negative ? 1 : 0)) return false;
    }
    *value = negative ? -v : v;
    return true;
}

bool ParseNumber(const char* text, bool allowNegative, int32_t* value) {
    int64_t v = 0;
    if (!ParseNumber(text, allowNegative, 0x7fffffffLL, &v)) return false;
    *value = static_cast<int32_t>(v);
    return true;
}

bool ParseEncoding(const char* text, int32_t* codePage) {
    if (std::strcmp(text, "auto") == 0) {
        *codePage = -1;
        return true;
    }
    if (std::strcmp(text, "ansi") == 0) {
        *codePage = 0;
        return true;
    }
    if (std::strcmp(text, "utf-8") == 0) {
        *codePage = 65001;
        return true;
    }
    int32_t n = 0;
    if (!ParseNumber(text, false, &n) || n > 65535) return false;
    *codePage = n;
    return true;
}

class CParser {
public:
    CParser(CCliOptions* o, char* error, size_t capacity) : m_o(o), m_error(error), m_capacity(capacity) {}

    int Parse(int argc, char** argv) {
        const char* positional[8 + kMaxExtractTexts] = {};
        int count = 0;
        int extra = 0;
        const char* firstExtra = nullptr;
        bool optionsEnded = false;
        for (int i = 1; i < argc; ++i) {
            const char* a = argv[i];
            if (!optionsEnded && std::strcmp(a, "--") == 0) {
                optionsEnded = true;
            } else if (!optionsEnded && std::strcmp(a, "--merge") == 0) {
                // The logs are the arguments up to the next option (or "--").
                while (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0) {
                    if (m_o->mergeCount == kMaxCliMergedLogs) return Fail("option '--merge' takes at most 64 logs");
                    m_o->mergeLogs[m_o->mergeCount++] = argv[++i];
                }
                if (m_o->mergeCount < 2) return Fail("option '--merge' needs 2 to 64 logs");
            } else if (!optionsEnded && a[0] == '-' && a[1] == '-') {
                const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
                int used = Option(a, value);
                if (used < 0) return 0;
                i += used;
            } else if (count < static_cast<int>(sizeof positional / sizeof positional[0])) {
                positional[count++] = a;
            } else {
                if (extra++ == 0) firstExtra = a;
            }
        }
        if (m_o->help) return 1;
        if (count == 0) return Fail("missing command (see quillon-cli --help)");
        if (!Command(positional[0])) return 0;
        // With --merge every argument after the command is a text.
        int logs = m_o->mergeCount > 0 ? 0 : 1;
        if (count < 1 + logs) return Fail("missing log file (see quillon-cli --help)");
        m_o->log = logs > 0 ? positional[1] : m_o->mergeLogs[0];
        int texts = count - 1 - logs + extra;
        // Texts a row must not hold may stand alone.
        bool alone = texts == 0 && m_o->notCount > 0;
        if (m_o->command == CCliCommand::kSearch && texts != 1 && !alone) {
            return texts == 0 ? Fail("search needs a text") : Fail("search takes one text, not %d", texts);
        }
        if (m_o->command == CCliCommand::kExtract && (texts < 1 || texts > kMaxExtractTexts) && !alone) {
            return texts == 0 ? Fail("extract needs 1 to 5 texts") : Fail("extract takes 1 to 5 texts, not %d", texts);
        }
        bool takesTexts = m_o->command == CCliCommand::kSearch || m_o->command == CCliCommand::kExtract;
        if (!takesTexts && texts > 0) {
            return Fail("unexpected argument '%s'", count > 1 + logs ? positional[1 + logs] : firstExtra);
        }
        for (int k = 1 + logs; k < count; ++k) m_o->texts[m_o->textCount++] = positional[k];
        return Applies();
    }

private:
    int Fail(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(m_error, m_capacity, format, args);
        va_end(args);
        return 0;
    }

    bool Command(const char* name) {
        for (const CCommandName& c : kCommands) {
            if (std::strcmp(name, c.name) == 0) {
                m_o->command = c.command;
                return true;
            }
        }
        Fail("unknown command '%s' (see quillon-cli --help)", name);
        return false;
    }

    // The number of following arguments the option used (0 or 1), or -1 after an error.
    int Option(const char* name, const char* value) {
        struct Flag {
            const char* name;
            bool* target;
        } flags[] = {{"--no-config", &m_o->noConfig}, {"--trace", &m_o->trace},   {"--help", &m_o->help},
                     {"--backward", &m_o->backward},  {"--and", &m_o->matchAll},  {"--ignore-case", &m_o->ignoreCase},
                     {"--regex", &m_o->regex},        {"--follow", &m_o->follow}, {"--raw", &m_o->raw}};
        for (const Flag& f : flags) {
            if (std::strcmp(name, f.name) == 0) {
                *f.target = true;
                Mark(name);
                return 0;
            }
        }
        struct Number {
            const char* name;
            bool* present;
            int64_t* target;
            bool negative;
            int64_t limit;
        } numbers[] = {{"--from", &m_o->hasFrom, &m_o->from, false, kRowLimit},
                       {"--count", &m_o->hasCount, &m_o->count, false, kRowLimit},
                       {"--interval-check", &m_o->hasIntervalCheck, &m_o->intervalCheck, true, 0x7fffffff},
                       {"--before", &m_o->hasBefore, &m_o->before, true, 0x7fffffff},
                       {"--after", &m_o->hasAfter, &m_o->after, true, 0x7fffffff},
                       {"--max-rows", &m_o->hasMaxRows, &m_o->maxRows, false, kRowLimit},
                       {"--bucket", &m_o->hasBucket, &m_o->bucket, false, 0x7fffffff}};
        for (const Number& n : numbers) {
            if (std::strcmp(name, n.name) != 0) continue;
            if (value == nullptr) return Fail("option '%s' needs a value", name), -1;
            if (!ParseNumber(value, n.negative, n.limit, n.target)) {
                return Fail("option '%s' takes a whole number%s, not '%s'", name, n.negative ? "" : " of 0 or more",
                            value),
                       -1;
            }
            *n.present = true;
            Mark(name);
            return 1;
        }
        if (std::strcmp(name, "--encoding") == 0) {
            if (value == nullptr) return Fail("option '--encoding' needs a value"), -1;
            if (!ParseEncoding(value, &m_o->encoding)) {
                return Fail("unknown encoding '%s' (auto, ansi, utf-8 or a code page number)", value), -1;
            }
            return 1;
        }
        if (std::strcmp(name, "--not") == 0) return NotOption(name, value);
        if (std::strcmp(name, "--offsets") == 0) return OffsetsOption(value);
        if (std::strcmp(name, "--stamps") == 0) return StampsOption(value);
        if (std::strcmp(name, "--escapes") == 0) return EscapesOption(value);
        if (std::strcmp(name, "--at-time") == 0) return AtTimeOption(name, value);
        if (std::strcmp(name, "--stamp-pattern") == 0) return StampPatternOption(value);
        const char** files[] = {&m_o->keywordsFile, &m_o->settingsFile, &m_o->entry};
        const char* fileOptions[] = {"--keywords", "--settings", "--entry"};
        for (int k = 0; k < 3; ++k) {
            if (std::strcmp(name, fileOptions[k]) != 0) continue;
            if (value == nullptr) return Fail("option '%s' needs a file", name), -1;
            *files[k] = value;
            return 1;
        }
        return Fail("unknown option '%s' (see quillon-cli --help)", name), -1;
    }

    // Minutes for each merged log, in order, separated by commas: "0,-60,90".
    int OffsetsOption(const char* value) {
        if (value == nullptr) return Fail("option '--offsets' needs minutes"), -1;
        int n = 0;
        for (const char* p = value;; ++n) {
            const char* comma = std::strchr(p, ',');
            size_t length = comma != nullptr ? static_cast<size_t>(comma - p) : std::strlen(p);
            char number[16] = {};
            int64_t minutes = 0;
            // Two weeks either way is more than any zone or clock set wrong.
            bool fits = length < sizeof number && n < kMaxCliMergedLogs;
            if (fits) std::snprintf(number, sizeof number, "%.*s", static_cast<int>(length), p);
            if (fits && number[0] == '+') number[0] = '0';
            if (!fits || !ParseNumber(number, true, 20160, &minutes) || minutes < -20160) {
                return Fail("option '--offsets' takes up to 64 minutes separated by commas, not '%s'", value), -1;
            }
            m_o->offsets[n] = static_cast<int32_t>(minutes);
            if (comma == nullptr) break;
            p = comma + 1;
        }
        m_o->hasOffsets = true;
        m_offsetCount = n + 1;
        return 1;
    }

    int NotOption(const char* name, const char* value) {
        if (value == nullptr) return Fail("option '--not' needs a text"), -1;
        if (m_o->notCount == kMaxExtractTexts) return Fail("option '--not' takes at most 5 texts"), -1;
        if (m_o->notCount == 0) Mark(name);
        m_o->notTexts[m_o->notCount++] = value;
        return 1;
    }

    int StampsOption(const char* value) {
        if (value == nullptr) return Fail("option '--stamps' needs a value"), -1;
        if (std::strcmp(value, "basic") != 0 && std::strcmp(value, "all") != 0) {
            return Fail("unknown stamps '%s' (basic or all)", value), -1;
        }
        m_o->stamps = std::strcmp(value, "all") == 0 ? 1 : 0;
        return 1;
    }

    int EscapesOption(const char* value) {
        if (value == nullptr) return Fail("option '--escapes' needs a value"), -1;
        if (std::strcmp(value, "hide") != 0 && std::strcmp(value, "keep") != 0) {
            return Fail("unknown escapes '%s' (hide or keep)", value), -1;
        }
        m_o->escapes = std::strcmp(value, "hide") == 0 ? 1 : 0;
        return 1;
    }

    int AtTimeOption(const char* name, const char* value) {
        if (value == nullptr) return Fail("option '--at-time' needs a time"), -1;
        if (!ParseTimeQuery(value, std::strlen(value), &m_o->atTime)) {
            return Fail("option '--at-time' takes hh:mm:ss[.mmm] or yyyy-mm-dd hh:mm:ss[.mmm], not '%s'", value), -1;
        }
        m_o->hasAtTime = true;
        Mark(name);
        return 1;
    }

    int StampPatternOption(const char* value) {
        if (value == nullptr) return Fail("option '--stamp-pattern' needs a pattern"), -1;
        CStampPattern pattern;
        StampPatternError error;
        if (!pattern.Compile(value, &error)) {
            return Fail("bad stamp pattern '%s': %s", value, StampPatternErrorText(error)), -1;
        }
        if (m_o->stampPatternCount == kMaxCliStampPatterns) return Fail("more than 16 stamp patterns"), -1;
        m_o->stampPatterns[m_o->stampPatternCount++] = value;
        return 1;
    }

    // Remembers a command option, to check later that the command takes it.
    void Mark(const char* name) {
        if (m_markCount < 16) m_marked[m_markCount++] = name;
    }

    int Applies() {
        static const struct {
            CCliCommand command;
            const char* options;
        } kAllowed[] = {{CCliCommand::kInfo, ""},
                        {CCliCommand::kRows, " --from --count --interval-check --follow --at-time "},
                        {CCliCommand::kTimeline, " --bucket "},
                        {CCliCommand::kErrors, " --interval-check --follow "},
                        {CCliCommand::kSearch, " --from --backward --ignore-case --regex --not "},
                        {CCliCommand::kExtract,
                         " --and --ignore-case --regex --before --after --max-rows --interval-check --raw --not "}};
        const char* allowed = "";
        for (const auto& a : kAllowed) {
            if (a.command == m_o->command) allowed = a.options;
        }
        for (int i = 0; i < m_markCount; ++i) {
            const char* name = m_marked[i];
            if (std::strcmp(name, "--no-config") == 0 || std::strcmp(name, "--trace") == 0 ||
                std::strcmp(name, "--help") == 0) {
                continue;
            }
            char key[40];
            std::snprintf(key, sizeof key, " %s ", name);
            if (std::strstr(allowed, key) == nullptr) return Fail("option '%s' does not apply to this command", name);
        }
        if (m_o->hasAtTime && (m_o->hasFrom || m_o->follow))
            return Fail("option '--at-time' takes no --from or --follow");
        if (m_o->mergeCount > 0 && m_o->follow) return Fail("option '--follow' does not apply to --merge");
        if (m_o->hasOffsets && m_offsetCount > m_o->mergeCount) {
            return Fail("option '--offsets' gives more offsets than --merge gives logs");
        }
        if (m_o->hasBucket && m_o->bucket == 0) return Fail("option '--bucket' takes a number of seconds above 0");
        return 1;
    }

    CCliOptions* m_o;
    char* m_error;
    size_t m_capacity;
    int m_offsetCount = 0;
    const char* m_marked[16] = {};
    int m_markCount = 0;
};

}  // namespace

int ParseCliOptions(int argc, char** argv, CCliOptions* options, char* error, size_t capacity) {
    if (capacity > 0) error[0] = 0;
    CParser parser(options, error, capacity);
    return parser.Parse(argc, argv);
}

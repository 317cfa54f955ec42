// Fuzzes the log loader over random file contents with tiny blocks, at most 32 an input (so
// that lines, break pairs and multi-byte characters straddle block and chunk boundaries), up
// to three threads, short line pieces, error keywords and the three code pages. One input in
// ten is read from a real file (in larger blocks) by real helper threads; the others from
// memory (CFile::OpenBytes), with the helper threads' chunks taken in order by this thread. The
// index and the error lines must equal those of a reference that splits the whole content
// at once; a load cancelled from the progress listener must give a prefix of them; a load
// given about the memory its index needs must give them all or be refused with figures that
// say why. Every indexed line read back through the line cache must give the file's bytes.
#include <atomic>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "document/helper_thread.h"
#include "document/log_file.h"
#include "loader/log_loader.h"
#include "stamps/time_stamp.h"
#include "foundation/trace.h"
#include "fuzz_support.h"
#include "keywords/keyword_set.h"

namespace {

using fuzzing::FuzzInput;

struct RefLine {
    uint64_t offset;
    uint32_t length;
    CTimeStamp stamp;
    bool error;
};

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

// Non-empty lines end after their first break (both bytes of CR LF or LF CR); a line
// longer than maxLine is indexed in pieces of maxLine bytes. The search for a break looks no
// further than the piece can reach, so that a long line costs no rescan per piece.
std::vector<RefLine> Reference(const std::string& s, uint32_t maxLine, const std::vector<std::u16string>& errors,
                               unsigned codePage) {
    std::vector<RefLine> out;
    out.reserve(maxLine == 1 ? s.size() : s.size() / 2 + 1);  // a line but the last takes two bytes or more
    CTimeStamp last;
    std::u16string text;
    size_t p = 0;
    while (p < s.size()) {
        if (IsBreak(s[p])) {
            ++p;
            continue;
        }
        const size_t reach = s.size() - p > maxLine ? p + maxLine : s.size();
        size_t j = p;
        while (j < reach && !IsBreak(s[j])) ++j;
        size_t e = j;
        if (j < reach) {
            e = j + 1;
            if (j + 1 < s.size() && IsBreak(s[j + 1]) && s[j + 1] != s[j]) e = j + 2;
        }
        if (e - p > maxLine) e = p + maxLine;
        CTimeStamp ts;
        if (ParseTimeStamp(s.data() + p, static_cast<int>(e - p), &ts)) last = ts;
        bool error = false;
        if (!errors.empty()) {
            fuzzing::DecodeInto(&text, s.data() + p, e - p, codePage);
            for (const auto& k : errors) error = error || text.find(k) != std::u16string::npos;
        }
        out.push_back({p, static_cast<uint32_t>(e - p), last, error});
        p = e;
    }
    return out;
}

class Listener : public CProgressListener {
public:
    Listener(std::atomic<int>* cancel, int cancelAfter, int restartsAllowed)
        : m_cancel(cancel), m_cancelAfter(cancelAfter), m_restartsAllowed(restartsAllowed) {}
    void OnProgress(uint64_t position, uint64_t total) override {
        FUZZ_CHECK(position <= total);
        if (position < m_last) {
            // A load without a count that gives up is counted, and a file with an over-long
            // line is indexed again from the start in one pass; nothing else may go back.
            FUZZ_CHECK(m_restartsAllowed > 0 && position == 0);
            --m_restartsAllowed;
        }
        m_last = position;
        if (++m_calls == m_cancelAfter) m_cancel->store(1);
    }
    int m_calls = 0;

private:
    std::atomic<int>* m_cancel;
    int m_cancelAfter;
    int m_restartsAllowed;
    uint64_t m_last = 0;
};

// Where a read of length bytes goes: the end of a static area, so that a read past its
// length runs into the sanitizer's red zone after it (and no allocation is made an input);
// a longer one goes to *spill.
char* ReadArea(size_t length, std::string* spill) {
    static char area[kCacheBlockSize + 64];
    if (length <= sizeof area) return area + sizeof area - length;
    spill->assign(length, '\0');
    return &(*spill)[0];
}

const char16_t* const kKeywords[] = {u"ERROR",  u"E",   u"rr",     u"\u30A8\u30E9\u30FC", u"\u30A8", u"\uFFFD",
                                     u"\u00E9", u"r\r", u"\u8868", u"Fatal error",        u"\\",     u"0"};
const unsigned kCodePages[] = {kCodePageAnsi, kCodePageUtf8, kCodePageShiftJis};
constexpr size_t kMemoryProbeShare = 4;
constexpr size_t kRandomAccessShare = 4;

// A keyword set and its error keywords' texts, made from count (top byte) and that many
// choices (a byte each, the last lowest: keyword index times two, plus one for an error).
struct KeywordChoice {
    CKeywordSet set;
    std::vector<std::u16string> errors;
};

void MakeKeywords(uint32_t key, KeywordChoice* out) {
    uint32_t count = key >> 24;
    for (uint32_t i = count; i-- > 0;) {
        uint32_t pick = key >> (8 * i) & 0xff;
        const char16_t* k = kKeywords[pick >> 1];
        out->set.Add(k, 6, 0, static_cast<int>(pick & 1));
        if ((pick & 1) != 0) out->errors.emplace_back(k);
    }
    out->set.BuildFlagTable();
}

// The sets made so far, kept: making one (a 64 KiB flag table, a few allocations a keyword)
// costs as much as loading a small input, and most inputs repeat a choice. Past the cache's
// room a set is made into *own (the caller's, on its stack), for the input alone. Not traced
// for coverage: how full the cache is says nothing of the loader.
__attribute__((no_sanitize("coverage"))) const KeywordChoice* KeywordsFor(uint32_t key,
                                                                          std::optional<KeywordChoice>* own) {
    constexpr uint32_t kSlots = 512;  // at most half of them taken, so that probes stay short
    static uint32_t keys[kSlots];     // a set's key plus one; 0: free
    static KeywordChoice* sets[kSlots];
    static uint32_t taken = 0;
    uint32_t slot = key * 2654435761u % kSlots;
    while (keys[slot] != 0 && keys[slot] != key + 1) slot = (slot + 1) % kSlots;
    if (keys[slot] != 0) return sets[slot];
    KeywordChoice* made = nullptr;
    if (taken < kSlots / 2) {
        made = new (std::nothrow) KeywordChoice();
        FUZZ_CHECK(made != nullptr);
        keys[slot] = key + 1;
        sets[slot] = made;
        ++taken;
    } else {
        made = &own->emplace();
    }
    MakeKeywords(key, made);
    return made;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    TraceOutput = TraceNone;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    CLoadRequest request;
    request.codePage = kCodePages[in.Below(3)];
    request.blockSize = 2 + in.Below(40);
    request.threads = 1 + static_cast<int>(in.Below(3));
    uint32_t maxLine = in.Below(4) == 0 ? 1 + in.Below(16) : kMaxLineLength;
    request.maxLineLength = maxLine;
    int cancelAfter = in.Below(4) == 0 ? 1 + static_cast<int>(in.Below(8)) : -1;

    uint32_t picks = 0;  // the keywords' choices, two bytes each, after their count
    uint32_t count = in.Below(4);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t keyword = in.Below(sizeof(kKeywords) / sizeof(kKeywords[0]));
        picks = picks << 8 | keyword << 1 | (in.Flag() ? 1 : 0);
    }
    std::optional<KeywordChoice> ownKeywords;
    const KeywordChoice* keywords = KeywordsFor(count << 24 | picks, &ownKeywords);
    const std::vector<std::u16string>& errors = keywords->errors;
    request.keywords = &keywords->set;

    uint32_t probes[8];
    for (uint32_t& v : probes) v = in.Word() | (static_cast<uint32_t>(in.Byte()) << 16);
    std::string content = in.Rest();
    // At most 32 blocks an input: more seams only repeat the cases the first ones make, while
    // each chunk of blocks has an index run of its own to make and join.
    constexpr size_t kMostBlocks = 32;
    if (request.blockSize * kMostBlocks < content.size()) {
        request.blockSize = static_cast<uint32_t>(content.size() / kMostBlocks + 1);
    }
    std::vector<RefLine> expected = Reference(content, maxLine, errors, request.codePage);

    CLogFile file;
    const bool real = fuzzing::UsesRealFile(data, size);
    if (real) {
        // Each block of a real file is a call into the system, which costs more than loading a
        // small input from memory: its blocks are eight times larger (16 bytes or more), the
        // small ones being tried from memory, where the blocks go through the same line source.
        request.blockSize *= 8;
        const auto path = fuzzing::ScratchFolder() / "log.txt";
        fuzzing::WriteFile(path, content);
        FUZZ_CHECK(file.Open(path.u16string().c_str()) == 1);
    } else {
        FUZZ_CHECK(file.OpenBytes(content.data(), content.size()) == 1);
    }
    // What the system can give is no input, and asking (reading /proc/meminfo, twice a load)
    // costs as much as loading a small input: asked for one real file in kMemoryProbeShare.
    if (!real || !fuzzing::InShare(data, size, kMemoryProbeShare)) request.availableBytes = UINT64_MAX;
    // One input in eight (as it chooses) may take from half to one and a half times what a
    // typical index of its lines needs, so that the refusals are reached: before the index is
    // made, at the rate its codes take, and when a list cannot grow.
    const bool tight = (probes[7] & 7) == 0;
    if (tight) {
        uint64_t typical = EstimatedIndexBytes(static_cast<int64_t>(expected.size()));
        request.availableBytes = typical * ((probes[7] >> 3) % 64 + 32) / 64 + 1;
    }
    CLoadResult result;
    request.result = &result;
    // Starting threads costs more than loading a few kilobytes: from memory the helpers'
    // chunks are all taken by this thread, in order.
    g_helperThreadsRefused = !real;
    std::atomic<int> cancel(0);
    Listener listener(&cancel, cancelAfter, maxLine < kMaxLineLength ? 2 : 1);
    request.listener = &listener;
    request.cancel = &cancel;
    CLogLineList errorLines;
    errorLines.Append(9, CTimeStamp(), 9, 9);  // a load empties the list first
    std::unique_ptr<CLogLineList> lines = LoadLogLines(&file, request, &errorLines);
    if (lines == nullptr) {
        // Refused for memory only, with figures that say why (a file of breaks alone has no
        // line, but its index still needs a little).
        FUZZ_CHECK(tight && result.status == CLoadStatus::kTooLarge);
        FUZZ_CHECK(result.needed > result.available && (result.lines > 0 || expected.empty()));
        return 0;
    }
    FUZZ_CHECK(result.status == CLoadStatus::kDone);
    if (content.empty()) FUZZ_CHECK(listener.m_calls == 0);

    static const bool verbose = std::getenv("QUILLON_FUZZ_VERBOSE") != nullptr;
    if (verbose) {
        std::fprintf(stderr, "code page %u, block %u, threads %d, line pieces %u, %zu bytes\n", request.codePage,
                     request.blockSize, request.threads, maxLine, content.size());
        for (const RefLine& r : expected)
            std::fprintf(stderr, "  expected %llu+%u%s\n", (unsigned long long)r.offset, r.length,
                         r.error ? " error" : "");
        for (int64_t i = 0; i < lines->Count(); ++i)
            std::fprintf(stderr, "  got %llu+%d\n", (unsigned long long)(*lines)[i].offset, (*lines)[i].length);
        for (int64_t i = 0; i < errorLines.Count(); ++i)
            std::fprintf(stderr, "  error line %lld\n", (long long)errorLines[i].lineNumber);
    }
    bool cancelled = cancel.load() != 0;
    int64_t n = lines->Count();
    if (!cancelled) FUZZ_CHECK(static_cast<size_t>(n) == expected.size());
    FUZZ_CHECK(static_cast<size_t>(n) <= expected.size());
    int64_t errorsSeen = 0;
    CLogLineReader reader(*lines, 0);
    CLogLineReader errorReader(errorLines, 0);
    std::vector<CLogLine> read(static_cast<size_t>(n));
    for (int64_t i = 0; i < n; ++i) {
        CLogLine& got = read[static_cast<size_t>(i)];
        FUZZ_CHECK(reader.Next(&got));
        const RefLine& want = expected[static_cast<size_t>(i)];
        FUZZ_CHECK(got.lineNumber == i);
        FUZZ_CHECK(got.offset == want.offset);
        FUZZ_CHECK(static_cast<uint32_t>(got.length) == want.length);
        FUZZ_CHECK(got.timeStamp == want.stamp);
        if (want.error) {
            CLogLine e;
            FUZZ_CHECK(errorReader.Next(&e));
            ++errorsSeen;
            FUZZ_CHECK(e.lineNumber == i && e.offset == want.offset && e.length == got.length);
            FUZZ_CHECK(e.timeStamp == want.stamp);
        }
    }
    FUZZ_CHECK(errorLines.Count() == errorsSeen);
    // Random access finds what the reader found (every line would cost a decode from its
    // block's start each: a chosen line, and three more in a share of the inputs).
    const int accessProbes = fuzzing::InShare(data, size, kRandomAccessShare) ? 4 : 1;
    for (int probe = 0; probe < accessProbes && n > 0; ++probe) {
        const CLogLine& want = read[probes[2 * probe] % static_cast<uint64_t>(n)];
        FUZZ_CHECK((*lines)[want.lineNumber] == want);
    }

    // The view's way back to the text: every line through the cache, then random ranges.
    std::string spill;
    for (const CLogLine& line : read) {
        char* buffer = ReadArea(static_cast<size_t>(line.length), &spill);
        uint32_t got = file.ReadLine(buffer, static_cast<uint32_t>(line.length), line.offset);
        FUZZ_CHECK(got == static_cast<uint32_t>(line.length));
        FUZZ_CHECK(content.compare(line.offset, got, buffer, got) == 0);
    }
    for (int probe = 0; probe < 4 && !content.empty(); ++probe) {
        uint64_t offset = probes[2 * probe] % (content.size() + 2);
        uint32_t length = 1 + probes[2 * probe + 1] % (kCacheBlockSize + 64);
        char* buffer = ReadArea(length, &spill);
        std::memset(buffer, 0, length);
        uint32_t got = file.ReadLine(buffer, length, offset);
        uint64_t left = offset < content.size() ? content.size() - offset : 0;
        FUZZ_CHECK(got == (left < length ? left : length));
        FUZZ_CHECK(content.compare(offset < content.size() ? offset : 0, got, buffer, got) == 0);
    }
    return 0;
}

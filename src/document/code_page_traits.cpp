// Code-page traits found by experiment rather than by a list of names: the conversion
// itself is asked how it decodes ASCII and a few UTF-8 sequences.
#include "document/code_page_traits.h"

#include <atomic>
#include <cstdint>

#include "foundation/convert.h"

namespace {

// Encodings whose escape or shift sequences are made of ASCII bytes: an ASCII byte does not
// stand for itself in them, whatever a short probe shows.
bool IsStateful(unsigned codePage) {
    switch (codePage) {
        case 65000:  // UTF-7
        case 50220:
        case 50221:
        case 50222:  // ISO-2022-JP
        case 50225:  // ISO-2022-KR
        case 50227:
        case 50229:  // ISO-2022-CN
        case 52936:  // HZ-GB2312
            return true;
        default:
            return false;
    }
}

// The broken sequence must become replacement characters (one or one per byte, as decoders
// differ) and leave the ASCII byte after it alone.
bool KeepsAsciiAfterBrokenSequence(unsigned codePage) {
    char16_t out[8] = {};
    int n = MultiByteToWide(codePage,
                            "\xE3\x81"
                            "A",
                            3, out, 8);
    if (n < 2 || n > 3 || out[n - 1] != u'A') return false;
    for (int i = 0; i + 1 < n; ++i) {
        if (out[i] != 0xFFFD) return false;
    }
    return true;
}

bool DecodesTo(unsigned codePage, const char* bytes, int count, const char16_t* expected, int units) {
    char16_t out[8] = {};
    int n = MultiByteToWide(codePage, bytes, count, out, 8);
    if (n != units) return false;
    for (int i = 0; i < units; ++i) {
        if (out[i] != expected[i]) return false;
    }
    return true;
}

CCodePageTraits Probe(unsigned codePage) {
    CCodePageTraits traits;
    if (IsStateful(codePage)) return traits;
    char ascii[128];
    for (int i = 0; i < 128; ++i) ascii[i] = static_cast<char>(i);
    char16_t wide[130] = {};
    if (MultiByteToWide(codePage, ascii, 128, wide, 130) != 128) return traits;
    for (int i = 0; i < 128; ++i) {
        if (wide[i] != static_cast<char16_t>(i)) return traits;
    }
    traits.asciiIdentity = true;
    // UTF-8: two-, three- and four-byte forms, and a stray byte that must not swallow the
    // ASCII byte after it.
    traits.utf8 =
        DecodesTo(codePage, "\xC3\xA9", 2, u"\u00E9", 1) && DecodesTo(codePage, "\xE3\x81\x82", 3, u"\u3042", 1) &&
        DecodesTo(codePage, "\xF0\x9F\x98\x80", 4, u"\xD83D\xDE00", 2) && KeepsAsciiAfterBrokenSequence(codePage);
    return traits;
}

// The traits of the code pages asked so far, each as code page << 8 | utf8 << 2 |
// asciiIdentity << 1 | 1 (0: a free slot): every load and scan asks, and a code page's
// conversion does not change while the program runs.
constexpr int kRemembered = 8;
std::atomic<uint64_t> g_remembered[kRemembered];

uint64_t Packed(unsigned codePage, const CCodePageTraits& traits) {
    return static_cast<uint64_t>(codePage) << 8 | (traits.utf8 ? 4u : 0u) | (traits.asciiIdentity ? 2u : 0u) | 1u;
}

}  // namespace

CCodePageTraits GetCodePageTraits(unsigned codePage) {
    for (auto& slot : g_remembered) {
        uint64_t v = slot.load(std::memory_order_acquire);
        if (v == 0) break;
        if (v >> 8 == codePage) {
            CCodePageTraits traits;
            traits.asciiIdentity = (v & 2) != 0;
            traits.utf8 = (v & 4) != 0;
            return traits;
        }
    }
    CCodePageTraits traits = Probe(codePage);
    uint64_t packed = Packed(codePage, traits);
    for (auto& slot : g_remembered) {
        uint64_t expected = 0;
        if (slot.compare_exchange_strong(expected, packed, std::memory_order_acq_rel) || expected >> 8 == codePage)
            break;
    }
    return traits;
}

// Fuzzes CKeywordSet::LoadFile over any file content: the set must hold only non-empty
// keywords with 0/1 flags, its first-character table must match its entries, and saving
// the set and loading the saved file must give the same keywords back. One input in ten is
// read from and saved to real files; the others are read from memory and saved to it. The
// save and second load, which cost as much as the first load again, run for one input in
// kRoundTripShare, in memory and through files alike.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "document/file.h"
#include "foundation/trace.h"
#include "fuzz_support.h"
#include "keywords/keyword_set.h"

namespace {

constexpr size_t kRoundTripShare = 4;

// The table as its definition gives it: bit 1 for every keyword's first unit, bit 2 as
// well for an error keyword's.
void CheckFlagTable(const CKeywordSet& set) {
    // All zero between calls: only the units of the set's keywords are set, then cleared.
    static uint8_t expected[kKeywordFlagTableSize];
    for (uint32_t i = 0; i < set.Count(); ++i) {
        const CKeywordEntry& e = set.Entry(i);
        char16_t first = e.wide[0];
        expected[first] |= kKeywordFlagStart;
        if (e.error != 0) expected[first] |= kKeywordFlagError;
    }
    // One comparison of the whole table: a check per unit would cost more than the load.
    FUZZ_CHECK(std::memcmp(set.FlagTable(), expected, kKeywordFlagTableSize) == 0);
    for (uint32_t i = 0; i < set.Count(); ++i) expected[set.Entry(i).wide[0]] = 0;
}

void CheckEntries(const CKeywordSet& set) {
    FUZZ_CHECK(set.Count() <= set.Capacity());
    for (uint32_t i = 0; i < set.Count(); ++i) {
        const CKeywordEntry& e = set.Entry(i);
        FUZZ_CHECK(e.text != nullptr && !e.text->IsEmpty());
        FUZZ_CHECK(e.wide != nullptr && e.length > 0 && std::char_traits<char16_t>::length(e.wide) == size_t(e.length));
        FUZZ_CHECK(e.bold == 0 || e.bold == 1);
        FUZZ_CHECK(e.error == 0 || e.error == 1);
        // The lookup finds this keyword or an earlier one of the same text.
        int found = set.Find(e.wide, e.length);
        FUZZ_CHECK(found >= 0 && static_cast<uint32_t>(found) <= i);
        FUZZ_CHECK(std::u16string(set.Entry(found).wide) == std::u16string(e.wide));
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    TraceOutput = TraceNone;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const bool real = fuzzing::UsesRealFile(data, size);
    const auto input = fuzzing::ScratchFolder() / "keywords.xml";
    const auto saved = fuzzing::ScratchFolder() / "saved.xml";
    CFile inputBytes;
    if (real) {
        fuzzing::WriteFile(input, std::string(reinterpret_cast<const char*>(data), size));
    } else {
        FUZZ_CHECK(inputBytes.OpenBytes(data, size) == 1);
    }

    CKeywordSet set;
    set.Add(u"stale", 6, 1, 1);  // loading replaces whatever the set held
    int ok = real ? set.LoadFile(input.u16string().c_str()) : set.LoadFile(inputBytes);
    FUZZ_CHECK(ok == 0 || ok == 1);
    if (ok == 0) FUZZ_CHECK(set.Count() == 0);
    CheckEntries(set);
    CheckFlagTable(set);
    if (!fuzzing::InShare(data, size, kRoundTripShare)) return 0;

    CKeywordSet again;
    if (real) {
        FUZZ_CHECK(set.SaveFile(saved.u16string().c_str()) == 1);
        FUZZ_CHECK(again.LoadFile(saved.u16string().c_str()) == 1);
    } else {
        std::unique_ptr<char, decltype(&std::free)> text(set.SaveText(), &std::free);
        FUZZ_CHECK(text != nullptr);
        CFile savedBytes;
        FUZZ_CHECK(savedBytes.OpenBytes(text.get(), std::strlen(text.get())) == 1);
        FUZZ_CHECK(again.LoadFile(savedBytes) == 1);
    }
    FUZZ_CHECK(again.Count() == set.Count());
    for (uint32_t i = 0; i < set.Count(); ++i) {
        const CKeywordEntry& a = set.Entry(i);
        const CKeywordEntry& b = again.Entry(i);
        FUZZ_CHECK(std::u16string(a.wide) == std::u16string(b.wide));
        FUZZ_CHECK(a.color == b.color && a.bold == b.bold && a.error == b.error);
    }
    return 0;
}

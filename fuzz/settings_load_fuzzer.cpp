// Fuzzes the settings file: any content of "quillon.ini" is loaded by a fresh configuration,
// which must then hold sane values (23 colours, bounded histories of non-empty distinct
// texts). Saving it and loading the saved file in a second configuration must give every
// value back; the histories come back in reverse order, as each text read is put in front.
// One input in ten goes through the files of a configuration's folders; the others are read
// from memory and saved to it. The save and second load (a document of some 130 elements
// whatever the input, twenty times the cost of loading a typical input) run for one input
// in kRoundTripShare, in memory and through files alike.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "config/app_parameter.h"
#include "config/folders.h"
#include "document/file.h"
#include "foundation/trace.h"
#include "fuzz_support.h"

namespace {

constexpr size_t kRoundTripShare = 32;

std::u16string g_current, g_exe, g_data;

std::u16string Wide(CString& s) { return std::u16string(s.GetWideOrEmpty()); }

void CheckSane(CAppParameter& c) {
    FUZZ_CHECK(c.m_colorCount == kAppColorCount);
    FUZZ_CHECK(c.m_intervalCheck == 0 || c.m_intervalCheck == 1);
    for (int k = 0; k < kHistoryCount; ++k) {
        CTextHistory& h = c.History(k);
        FUZZ_CHECK(h.capacity >= 1 && h.capacity <= kHistoryMaxCapacity);
        FUZZ_CHECK(h.entries != nullptr);
        FUZZ_CHECK(h.count >= 0 && h.count <= h.capacity);
        // Each text converted once, then compared with those before it.
        std::vector<std::u16string> texts;
        for (int i = 0; i < h.count; ++i) {
            FUZZ_CHECK(h.entries[i] != nullptr && !h.entries[i]->IsEmpty());
            texts.push_back(Wide(*h.entries[i]));
            for (int j = 0; j < i; ++j) FUZZ_CHECK(texts[i] != texts[j]);
        }
    }
}

void CheckSame(CAppParameter& a, CAppParameter& b) {
    FUZZ_CHECK(a.m_languageSetting == b.m_languageSetting);
    FUZZ_CHECK(Wide(a.m_fontName) == Wide(b.m_fontName));
    FUZZ_CHECK(a.m_fontSize == b.m_fontSize);
    FUZZ_CHECK(Wide(a.m_tempFolder) == Wide(b.m_tempFolder));
    FUZZ_CHECK(a.m_logEnabled == b.m_logEnabled);
    FUZZ_CHECK(Wide(a.m_logFolder) == Wide(b.m_logFolder));
    FUZZ_CHECK(a.m_toolbarVisible == b.m_toolbarVisible);
    FUZZ_CHECK(a.m_statusbarVisible == b.m_statusbarVisible);
    for (int i = 0; i < kAppColorCount; ++i) {
        FUZZ_CHECK(a.m_colors[i].text == b.m_colors[i].text);
        FUZZ_CHECK(a.m_colors[i].background == b.m_colors[i].background);
    }
    for (int k = 0; k < kHistoryCount; ++k) {
        CTextHistory& x = a.History(k);
        CTextHistory& y = b.History(k);
        FUZZ_CHECK(x.capacity == y.capacity && x.count == y.count);
        for (int i = 0; i < x.count; ++i) FUZZ_CHECK(Wide(*x.entries[i]) == Wide(*y.entries[x.count - 1 - i]));
    }
    FUZZ_CHECK(a.m_contextBefore == b.m_contextBefore && a.m_contextAfter == b.m_contextAfter);
    FUZZ_CHECK(a.m_intervalCheck == b.m_intervalCheck && a.m_intervalTime == b.m_intervalTime);
}

// The settings read from memory and saved to it, with no folder or file touched.
void InMemory(const uint8_t* data, size_t size, bool roundTrip) {
    // No folder is read: short names keep the configuration's construction cheap.
    g_folderOverrides.currentFolder = u"/c";
    g_folderOverrides.executablePath = u"/a/q";
    CFile input;
    FUZZ_CHECK(input.OpenBytes(data, size) == 1);
    CAppParameter first;
    first.SetDefaults();
    first.LoadFrom(input);
    CheckSane(first);
    if (!roundTrip) return;
    std::unique_ptr<char, decltype(&std::free)> text(first.SaveText(), &std::free);
    FUZZ_CHECK(text != nullptr);

    CFile saved;
    FUZZ_CHECK(saved.OpenBytes(text.get(), std::strlen(text.get())) == 1);
    CAppParameter second;
    second.SetDefaults();
    FUZZ_CHECK(second.LoadFrom(saved) == 1);
    CheckSane(second);
    CheckSame(first, second);
}

// The settings file in the current folder, read as the program starts, then (for the
// round trip) saved and read again at a second start.
void ThroughFiles(const uint8_t* data, size_t size, bool roundTrip) {
    g_folderOverrides.currentFolder = g_current.c_str();
    g_folderOverrides.executablePath = g_exe.c_str();
    const auto current = fuzzing::ScratchFolder() / "current";
    std::error_code ec;
    std::filesystem::remove(current / "keyword_default.xml", ec);
    fuzzing::WriteFile(current / "quillon.ini", std::string(reinterpret_cast<const char*>(data), size));

    CAppParameter first;
    first.Reset();
    CheckSane(first);
    if (!roundTrip) return;
    FUZZ_CHECK(first.Save() == 1);

    CAppParameter second;
    second.Reset();
    CheckSane(second);
    CheckSame(first, second);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    TraceOutput = TraceNone;
    const auto& root = fuzzing::ScratchFolder();
    std::filesystem::create_directories(root / "current");
    std::filesystem::create_directories(root / "app");
    std::filesystem::create_directories(root / "data");
    g_current = (root / "current").u16string();
    g_exe = (root / "app" / "quillon.exe").u16string();
    g_data = (root / "data").u16string();
    g_folderOverrides.currentFolder = g_current.c_str();
    g_folderOverrides.executablePath = g_exe.c_str();
    g_folderOverrides.userDataRoot = g_data.c_str();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const bool roundTrip = fuzzing::InShare(data, size, kRoundTripShare);
    if (fuzzing::UsesRealFile(data, size)) {
        ThroughFiles(data, size, roundTrip);
    } else {
        InMemory(data, size, roundTrip);
    }
    return 0;
}

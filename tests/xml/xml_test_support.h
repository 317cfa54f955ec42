// Helpers for the XML tests: parsing a std::string, reading element texts as UTF-8,
// catching the trace output, and taking every name that a save's temporary file may use.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/convert.h"
#include "foundation/format.h"
#include "foundation/trace.h"
#include "xml/xml.h"
#include "xml/xml_file.h"

namespace xml_testing {

inline std::string Utf8(const char16_t* wide) {
    if (wide == nullptr) return std::string();
    char* bytes = WideToMultiByteAlloc(wide, -1, kCodePageUtf8);
    std::string s = bytes != nullptr ? bytes : "";
    std::free(bytes);
    return s;
}

inline std::u16string Wide(const std::string& utf8) {
    char16_t* w = MultiByteToWideAlloc(utf8.c_str(), static_cast<int>(utf8.size()), kCodePageUtf8);
    std::u16string s = w != nullptr ? w : u"";
    std::free(w);
    return s;
}

// The UTF-8 bytes of a tree string, or "<null>" for a missing one.
inline std::string Str(const CString* s) {
    if (s == nullptr) return "<null>";
    return s->Data() != nullptr ? std::string(s->Data(), static_cast<size_t>(s->Length())) : std::string();
}

// Owns a parsed tree.
struct Parsed {
    CXml xml;
    CXmlElement* first = nullptr;
    explicit Parsed(const std::string& doc) { first = xml.Parse(doc.data(), static_cast<int>(doc.size())); }
    ~Parsed() { CXml::FreeElements(first); }
};

inline int CountSiblings(CXmlElement* e) {
    int n = 0;
    for (; e != nullptr; e = e->next) ++n;
    return n;
}

// Records every trace line while alive.
class TraceCapture {
public:
    TraceCapture() {
        Lines().clear();
        m_previous = TraceOutput;
        TraceOutput = &Record;
    }
    ~TraceCapture() { TraceOutput = m_previous; }
    static std::vector<std::string>& Lines() {
        static std::vector<std::string> lines;
        return lines;
    }

private:
    static int Record(const char16_t* format, ...) {
        char16_t buffer[1024];
        va_list args;
        va_start(args, format);
        FormatStringV(buffer, 1024, format, args);
        va_end(args);
        Lines().push_back(Utf8(buffer));
        return 0;
    }
    TraceFunction m_previous;
};

// Fixes the temporary names that saves try and plants a folder under each name that a save
// of path may try (and under the old fixed name "<path>.tmp"), so that no temporary file can
// be created beside path while the object lives.
class BlockedTemporaryNames {
public:
    explicit BlockedTemporaryNames(const std::u16string& path) {
        g_temporaryTagSeed = kSeed;
        m_paths.push_back(std::filesystem::path(path + u".tmp"));
        for (int k = 0; k < kTemporaryAttempts; ++k) {
            char16_t* name = TemporaryPath(path.c_str(), kSeed + static_cast<uint32_t>(k));
            m_paths.push_back(std::filesystem::path(std::u16string(name)));
            std::free(name);
        }
        for (const auto& p : m_paths) std::filesystem::create_directory(p);
    }
    ~BlockedTemporaryNames() {
        g_temporaryTagSeed = 0;
        std::error_code ec;
        for (const auto& p : m_paths) std::filesystem::remove(p, ec);
    }
    static constexpr uint32_t kSeed = 0x5eed0000;

private:
    std::vector<std::filesystem::path> m_paths;
};

}  // namespace xml_testing

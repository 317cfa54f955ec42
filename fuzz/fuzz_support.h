// Helpers shared by the fuzz targets: a reader that turns the fuzzer's bytes into choices,
// a check that aborts with a message (so libFuzzer records the input), the choice between a
// real file and memory, and scratch files.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>

#include "foundation/convert.h"

// Unlike assert, stays on in optimised builds.
#define FUZZ_CHECK(condition)                                                                        \
    do {                                                                                             \
        if (!(condition)) {                                                                          \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                            \
        }                                                                                            \
    } while (0)

namespace fuzzing {

// Consumes the input from the front; past the end every read gives 0.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool Empty() const { return m_pos >= m_size; }
    size_t Remaining() const { return m_pos < m_size ? m_size - m_pos : 0; }
    uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    uint16_t Word() {
        uint16_t lo = Byte();
        return static_cast<uint16_t>(lo | (Byte() << 8));
    }
    // A value in 0..count-1 (0 for count 0).
    uint32_t Below(uint32_t count) {
        if (count <= 1) return 0;
        uint32_t v = count <= 256 ? Byte() : Word();
        return v % count;
    }
    bool Flag() { return (Byte() & 1) != 0; }
    // Up to count bytes, fewer at the end of the input.
    std::string Bytes(size_t count) {
        size_t n = count < Remaining() ? count : Remaining();
        std::string s(reinterpret_cast<const char*>(m_data + m_pos), n);
        m_pos += n;
        return s;
    }
    std::string Rest() { return Bytes(Remaining()); }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// The choices below are made by the input's bytes, so that a finding reproduces alone.
inline size_t InputHash(const uint8_t* data, size_t size) {
    return std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(data), size));
}

// Whether an input goes through a real file: one in ten; the others are read from memory
// (CFile::OpenBytes), which is many times faster.
inline bool UsesRealFile(const uint8_t* data, size_t size) { return InputHash(data, size) % 10 == 0; }

// Whether an input is one of the share (one in `share`) that takes a target's costlier
// checks; independent of UsesRealFile, so the share is the same among real and memory inputs.
inline bool InShare(const uint8_t* data, size_t size, size_t share) {
    return share <= 1 || InputHash(data, size) / 10 % share == 0;
}

// A folder of this process's own under the temporary folder, removed at exit. The removal is
// registered once the path is made: registered while it was being made, it would run after
// the path's destructor and remove nothing.
inline const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = [] {
        auto p = std::filesystem::temp_directory_path() / ("quillon-fuzz-" + std::to_string(getpid()));
        std::error_code ec;
        std::filesystem::create_directories(p, ec);
        return p;
    }();
    static const bool removedAtExit = std::atexit([] {
                                          std::error_code e;
                                          std::filesystem::remove_all(ScratchFolder(), e);
                                      }) == 0;
    (void)removedAtExit;
    return folder;
}

// With the system's calls: a file stream costs more than a small file's write.
inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    FUZZ_CHECK(fd >= 0);
    for (size_t done = 0; done < bytes.size();) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        FUZZ_CHECK(n > 0);
        done += static_cast<size_t>(n);
    }
    close(fd);
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// UTF-16 text decoded from bytes with a code page, as the program decodes it, into *out
// (whose storage a caller may keep from call to call).
inline void DecodeInto(std::u16string* out, const char* bytes, size_t size, unsigned codePage) {
    out->clear();
    if (size == 0) return;
    // A byte never gives more than a unit: one call, unless the code page disagrees.
    out->resize(size);
    int got = MultiByteToWide(codePage, bytes, static_cast<int>(size), &(*out)[0], static_cast<int>(size));
    if (got > 0) {
        out->resize(static_cast<size_t>(got));
        return;
    }
    out->clear();
    int n = MultiByteToWide(codePage, bytes, static_cast<int>(size), nullptr, 0);
    if (n <= 0) return;
    out->resize(static_cast<size_t>(n));
    got = MultiByteToWide(codePage, bytes, static_cast<int>(size), &(*out)[0], n);
    out->resize(got > 0 ? static_cast<size_t>(got) : 0);
}

inline std::u16string Decode(const std::string& bytes, unsigned codePage) {
    std::u16string out;
    DecodeInto(&out, bytes.data(), bytes.size(), codePage);
    return out;
}

// What UTF-8 keeps of UTF-16: a lone surrogate becomes U+FFFD.
inline std::u16string ThroughUtf8(const std::u16string& text) {
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out.push_back(c);
            out.push_back(text[++i]);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            out.push_back(0xFFFD);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace fuzzing

// Helpers for tests: a private temporary folder and small file writers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace testing_support {

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        auto base = std::filesystem::temp_directory_path();
        for (int i = 0; i < 100; ++i) {
            m_path = base / ("quillon-test-" + std::to_string(rd()) + "-" + std::to_string(i));
            std::error_code ec;
            if (std::filesystem::create_directory(m_path, ec)) return;
        }
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& Path() const { return m_path; }
    std::u16string File(const std::string& name) const { return (m_path / name).u16string(); }
    std::filesystem::path FsPath(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Files that a save left behind in folder: its temporary files end in ".tmp", or begin
// with "~" when the target's name is too long for a suffix.
inline std::vector<std::string> TemporaryFilesIn(const std::filesystem::path& folder) {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        std::string name = entry.path().filename().string();
        bool tmp = name.size() >= 4 && name.compare(name.size() - 4, 4, ".tmp") == 0;
        if ((tmp || name[0] == '~') && !entry.is_directory()) found.push_back(name);
    }
    return found;
}

}  // namespace testing_support

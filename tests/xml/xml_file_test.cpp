// Saving a whole file: the temporary file is created exclusively under a fresh name, so a
// file or link planted beside the target never redirects a save, and long paths still save.
#include "xml/xml_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "document/file.h"
#include "test_support.h"
#include "xml_test_support.h"

using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;
using xml_testing::TraceCapture;

namespace fs = std::filesystem;

namespace {

struct SeedReset {
    ~SeedReset() { g_temporaryTagSeed = 0; }
};

fs::path TemporaryName(const std::u16string& target, uint32_t tag) {
    char16_t* name = TemporaryPath(target.c_str(), tag);
    fs::path p(std::u16string(name != nullptr ? name : u""));
    std::free(name);
    return p;
}

// A link to target at link: a symbolic one when asked and the system makes one, else a hard one.
void Plant(const fs::path& link, const fs::path& target, bool symbolic) {
    std::error_code ec;
    if (symbolic) fs::create_symlink(target, link, ec);
    if (!symbolic || ec) fs::create_hard_link(target, link);
}

TEST(SaveFile, LinksPlantedUnderTheTemporaryNamesAreNeverWrittenThrough) {
    TempDir dir;
    SeedReset reset;
    const std::u16string target = dir.File("quillon.ini");
    WriteBytes(dir.FsPath("quillon.ini"), "old");
    WriteBytes(dir.FsPath("victim"), "victim");
    g_temporaryTagSeed = 0x1000;
    // The old fixed name, and every name a save tries but the last.
    std::vector<fs::path> planted = {fs::path(target + u".tmp")};
    for (int k = 0; k + 1 < kTemporaryAttempts; ++k) planted.push_back(TemporaryName(target, 0x1000 + k));
    for (size_t i = 0; i < planted.size(); ++i) Plant(planted[i], dir.FsPath("victim"), i % 2 == 0);
    std::error_code ec;
    fs::create_symlink(dir.FsPath("nowhere"), TemporaryName(target, 0x1000 + kTemporaryAttempts - 1), ec);
    const bool dangling = !ec;
    if (!dangling) Plant(TemporaryName(target, 0x1000 + kTemporaryAttempts - 1), dir.FsPath("victim"), false);
    planted.push_back(TemporaryName(target, 0x1000 + kTemporaryAttempts - 1));

    // Every name is taken: the save fails, says so, and touches nothing.
    {
        TraceCapture trace;
        EXPECT_EQ(0, SaveBytesAtomic(target.c_str(), "new", 3));
        ASSERT_EQ(1u, trace.Lines().size());
        EXPECT_NE(std::string::npos, trace.Lines()[0].find("no temporary file"));
    }
    EXPECT_EQ("old", ReadBytes(dir.FsPath("quillon.ini")));
    EXPECT_EQ("victim", ReadBytes(dir.FsPath("victim")));
    EXPECT_FALSE(fs::exists(dir.FsPath("nowhere")));

    // With the last name free the save goes there, and the links stay as they were.
    fs::remove(planted.back());
    planted.pop_back();
    ASSERT_EQ(1, SaveBytesAtomic(target.c_str(), "new", 3));
    EXPECT_EQ("new", ReadBytes(dir.FsPath("quillon.ini")));
    EXPECT_EQ("victim", ReadBytes(dir.FsPath("victim")));
    for (const fs::path& p : planted) {
        EXPECT_TRUE(fs::exists(fs::symlink_status(p))) << p;
        EXPECT_EQ("victim", ReadBytes(p)) << p;
    }
    EXPECT_EQ(planted.size() + 2, static_cast<size_t>(std::distance(fs::directory_iterator(dir.Path()), {})));
}

// A folder chain under base such that folder + separator + name is exactly length units long.
fs::path DeepFile(const fs::path& base, size_t length, const std::string& name) {
    fs::path folder = base;
    const size_t need = length - 1 - name.size();
    while (folder.u16string().size() < need) {
        size_t left = need - folder.u16string().size();  // a separator and the characters
        size_t chars = std::min<size_t>(left - 1, 200);
        if (left - 1 - chars == 1) --chars;  // never leave room for a separator alone
        folder /= std::string(chars, 'd');
    }
    fs::create_directories(folder);
    return folder / name;
}

TEST(SaveFile, LongPathsSave) {
    TempDir dir;
    std::vector<std::pair<size_t, std::string>> cases;
    for (size_t length : {256, 257, 258, 259, 300}) cases.emplace_back(length, "quillon.ini");
#ifndef _WIN32
    // Where a suffix would pass the limit of a name or of a whole path.
    cases.emplace_back(400, std::string(251, 'n') + ".xml");
    cases.emplace_back(4095, "keyword_default.xml");
    cases.emplace_back(4095, "k");
#endif
    SeedReset reset;
    g_temporaryTagSeed = 0x2000;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        const fs::path file = DeepFile(dir.Path() / std::to_string(c.first), c.first, c.second);
        const std::u16string path = file.u16string();
        ASSERT_EQ(c.first, path.size());
        ASSERT_EQ(1, SaveBytesAtomic(path.c_str(), "first", 5));
        ASSERT_EQ(1, SaveBytesAtomic(path.c_str(), "second", 6));
        // Read back through the file seam, which knows long paths on every system.
        uint32_t size = 0;
        char* bytes = ReadWholeFile(path.c_str(), &size);
        ASSERT_NE(nullptr, bytes);
        EXPECT_EQ("second", std::string(bytes, size));
        std::free(bytes);
        CFile temporary;
        EXPECT_EQ(0, temporary.Open(TemporaryName(path, 0x2000).u16string().c_str()));
#ifndef _WIN32
        // Nothing else beside the file (the Windows library lists long folders wrongly).
        EXPECT_EQ(1, std::distance(fs::directory_iterator(file.parent_path()), {}));
#endif
    }
}

}  // namespace

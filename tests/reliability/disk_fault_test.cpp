// Disk faults injected through the file seam: a write cut short after every possible byte
// count, a failing flush and a failing rename, for the settings file and the keyword file
// saved after it. Whatever fails, each file is either wholly the old one or wholly the new
// one, no temporary file is left, and the values in memory survive for the next save.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "config/app_parameter.h"
#include "config/config_test_support.h"
#include "document/file.h"

using config_testing::ConfigFolders;
using testing_support::ReadBytes;
using testing_support::WriteBytes;

namespace {

class DiskFault : public ::testing::Test {
protected:
    void SetUp() override {
        // The old files: what a previous run saved.
        WriteBytes(folders.CurrentFile("quillon.ini"), "");
        config.Reset();
        config.Keywords().Add(u"old", 6, 0, 0);
        config.KeywordsChanged();
        ASSERT_EQ(1, config.Save());
        oldSettings = ReadBytes(folders.CurrentFile("quillon.ini"));
        oldKeywords = ReadBytes(folders.CurrentFile("keyword_default.xml"));
        // The change to save, and the bytes it gives.
        config.m_fontSize = 17;
        config.AddHistory(0, u"\u691C\u7D22 search");
        config.Keywords().Add(u"\u30A8\u30E9\u30FC", 7, 1, 1);
        ASSERT_EQ(1, config.Save());
        newSettings = ReadBytes(folders.CurrentFile("quillon.ini"));
        newKeywords = ReadBytes(folders.CurrentFile("keyword_default.xml"));
        ASSERT_NE(oldSettings, newSettings);
        ASSERT_NE(oldKeywords, newKeywords);
        RestoreOld();
    }
    void TearDown() override { g_fileFaults = CFileFaults(); }

    void RestoreOld() {
        WriteBytes(folders.CurrentFile("quillon.ini"), oldSettings);
        WriteBytes(folders.CurrentFile("keyword_default.xml"), oldKeywords);
    }
    std::string Settings() { return ReadBytes(folders.CurrentFile("quillon.ini")); }
    std::string Keywords() { return ReadBytes(folders.CurrentFile("keyword_default.xml")); }
    bool TemporaryFilesLeft() {
        return !testing_support::TemporaryFilesIn(folders.current).empty() ||
               !testing_support::TemporaryFilesIn(folders.app).empty();
    }

    ConfigFolders folders;
    CAppParameter config;
    std::string oldSettings, oldKeywords, newSettings, newKeywords;
};

// The settings file is written first and the keyword file after it: a budget of b bytes
// lets through the saves that fit in it whole, and nothing of the one it cuts.
TEST_F(DiskFault, WriteCutShortAfterEveryByteCount) {
    const int64_t total = static_cast<int64_t>(newSettings.size() + newKeywords.size());
    for (int64_t budget = 0; budget <= total; ++budget) {
        RestoreOld();
        g_fileFaults = CFileFaults();
        g_fileFaults.writeBudget = budget;
        const bool settingsFit = budget >= static_cast<int64_t>(newSettings.size());
        ASSERT_EQ(settingsFit ? 1 : 0, config.Save()) << budget;
        ASSERT_EQ(settingsFit ? newSettings : oldSettings, Settings()) << budget;
        ASSERT_EQ(budget >= total ? newKeywords : oldKeywords, Keywords()) << budget;
        ASSERT_FALSE(TemporaryFilesLeft()) << budget;
    }
    // Nothing was lost in memory: a save without faults writes the change.
    g_fileFaults = CFileFaults();
    RestoreOld();
    ASSERT_EQ(1, config.Save());
    EXPECT_EQ(newSettings, Settings());
    EXPECT_EQ(newKeywords, Keywords());
}

TEST_F(DiskFault, FailingFlushOrRenameKeepsBothOldFiles) {
    for (int fault = 0; fault < 2; ++fault) {
        RestoreOld();
        g_fileFaults = CFileFaults();
        (fault == 0 ? g_fileFaults.failFlush : g_fileFaults.failReplace) = true;
        EXPECT_EQ(0, config.Save());
        EXPECT_EQ(0, config.Keywords().SaveFile((folders.current / "keyword_default.xml").u16string().c_str()));
        EXPECT_EQ(oldSettings, Settings());
        EXPECT_EQ(oldKeywords, Keywords());
        EXPECT_FALSE(TemporaryFilesLeft());
        // The configuration keeps running on its values and reads the old file again.
        EXPECT_EQ(17, config.m_fontSize);
        CAppParameter reread;
        reread.Reset();
        EXPECT_EQ(0, reread.m_fontSize);
        EXPECT_EQ(1u, reread.Keywords().Count());
    }
    g_fileFaults = CFileFaults();
    ASSERT_EQ(1, config.Save());
    EXPECT_EQ(newSettings, Settings());
}

// A first save (no old file) that fails leaves no file at all, not a part of one.
TEST_F(DiskFault, FailedFirstSaveLeavesNoFile) {
    for (int fault = 0; fault < 3; ++fault) {
        std::filesystem::remove(folders.CurrentFile("keyword_default.xml"));
        g_fileFaults = CFileFaults();
        if (fault == 0) g_fileFaults.writeBudget = static_cast<int64_t>(newKeywords.size() / 2);
        if (fault == 1) g_fileFaults.failFlush = true;
        if (fault == 2) g_fileFaults.failReplace = true;
        EXPECT_EQ(0, config.Keywords().SaveFile((folders.current / "keyword_default.xml").u16string().c_str()));
        EXPECT_FALSE(std::filesystem::exists(folders.CurrentFile("keyword_default.xml"))) << fault;
        EXPECT_FALSE(TemporaryFilesLeft()) << fault;
    }
}

}  // namespace

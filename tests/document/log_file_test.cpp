// CLogFile's block cache (hit, miss, LRU recycling, the file's tail) and long lines.
#include "document/log_file.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

using testing_support::TempDir;
using testing_support::WriteBytes;

namespace {

std::string MakeText(size_t n) {
    std::string s(n, ' ');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
    return s;
}

class CLogFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_text = MakeText(2 * 1024 * 1024);
        WriteBytes(m_dir.FsPath("log.txt"), m_text);
        ASSERT_EQ(1, m_file.Open(m_dir.File("log.txt").c_str()));
    }
    std::string Line(uint64_t offset, uint32_t length) {
        std::string buf(length, '\0');
        uint32_t n = m_file.ReadLine(&buf[0], length, offset);
        buf.resize(n);
        return buf;
    }
    TempDir m_dir;
    std::string m_text;
    CLogFile m_file;
};

TEST_F(CLogFileTest, MissThenHitFromTheSameBlock) {
    EXPECT_EQ(m_text.substr(100, 50), Line(100, 50));
    EXPECT_EQ(1, m_file.CacheBlockCount());
    EXPECT_EQ(m_text.substr(150, 200), Line(150, 200));
    EXPECT_EQ(1, m_file.CacheBlockCount());
    // A line ending exactly at the block's end is fetched afresh.
    EXPECT_EQ(m_text.substr(100 + 4000, 96), Line(100 + 4000, 96));
    EXPECT_EQ(2, m_file.CacheBlockCount());
}

TEST_F(CLogFileTest, LeastRecentlyUsedBlockIsRecycled) {
    for (int i = 0; i < kCacheBlockCount; ++i) Line(static_cast<uint64_t>(i) * 5000, 10);
    EXPECT_EQ(kCacheBlockCount, m_file.CacheBlockCount());
    // Touch block 0 so that block 1 becomes the least recently used.
    EXPECT_EQ(m_text.substr(0, 10), Line(0, 10));
    EXPECT_EQ(m_text.substr(kCacheBlockCount * 5000, 10), Line(kCacheBlockCount * 5000, 10));
    EXPECT_EQ(kCacheBlockCount, m_file.CacheBlockCount());
    // Block 0 is still cached, block 1 was recycled: reading it again must still be right.
    EXPECT_EQ(m_text.substr(5000, 10), Line(5000, 10));
    EXPECT_EQ(kCacheBlockCount, m_file.CacheBlockCount());
    EXPECT_EQ(m_text.substr(2, 10), Line(2, 10));
}

TEST_F(CLogFileTest, LongLinesComeBackWhole) {
    std::string line = Line(1000, 9000);
    EXPECT_EQ(9000u, line.size());
    EXPECT_EQ(m_text.substr(1000, 9000), line);
    std::string huge = Line(3, 1024 * 1024);
    EXPECT_EQ(m_text.substr(3, 1024 * 1024), huge);
}

TEST_F(CLogFileTest, CloseFreesTheCacheAndErrorLines) {
    Line(0, 10);
    m_file.ErrorLines().Append(0, CTimeStamp(), 0, 10);
    m_file.Close();
    EXPECT_EQ(0, m_file.CacheBlockCount());
    EXPECT_EQ(0, m_file.ErrorLines().Count());
    EXPECT_EQ(0u, m_file.ErrorLines().MemoryBytes());
    char c;
    EXPECT_EQ(0u, m_file.ReadLine(&c, 1, 0));
}

TEST(CLogFileTailTest, LastLineWithoutBreakIsServedFromTheTailBlock) {
    TempDir dir;
    WriteBytes(dir.FsPath("t.log"), "first\nlast");
    CLogFile f;
    ASSERT_EQ(1, f.Open(dir.File("t.log").c_str()));
    char buf[16] = {};
    EXPECT_EQ(6u, f.ReadLine(buf, 6, 0));
    EXPECT_EQ(4u, f.ReadLine(buf, 4, 6));
    EXPECT_EQ(std::string("last"), std::string(buf, 4));
    EXPECT_EQ(1, f.CacheBlockCount());  // the block reaches the end of the file
    // Asking past the end gives only what exists.
    EXPECT_EQ(4u, f.ReadLine(buf, 10, 6));
}

}  // namespace

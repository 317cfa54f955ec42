// CFile: open/create conventions, sizes, positions, sharing, files above 4 GiB, faults, and
// bytes in memory read as a file.
#include "document/file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "test_support.h"

using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

namespace {

TEST(CFileTest, OpenRefusesEmptyPathMissingFileAndSecondOpen) {
    TempDir dir;
    WriteBytes(dir.FsPath("a.txt"), "hello");
    WriteBytes(dir.FsPath("b.txt"), "other!");
    CFile f;
    EXPECT_EQ(0, f.Open(u""));
    EXPECT_EQ(0, f.Open(nullptr));
    EXPECT_EQ(0, f.Open(dir.File("missing.txt").c_str()));
    EXPECT_FALSE(f.IsOpen());
    ASSERT_EQ(1, f.Open(dir.File("a.txt").c_str()));
    EXPECT_EQ(1, f.IsReadable());
    EXPECT_EQ(0, f.IsWritable());
    EXPECT_EQ(5u, f.Size());
    EXPECT_EQ(0, f.Open(dir.File("b.txt").c_str()));
    EXPECT_EQ(5u, f.Size());  // still the first file
    char buf[8] = {};
    EXPECT_EQ(5u, f.Read(buf, 8, 0));
    EXPECT_EQ(0, std::memcmp(buf, "hello", 5));
    f.Close();
    EXPECT_EQ(0u, f.Size());
    EXPECT_EQ(1, f.IsEnd());
    EXPECT_EQ(0u, f.Read(buf, 1, 0));
}

TEST(CFileTest, CreateTruncatesAndRefusesSecondCreate) {
    TempDir dir;
    WriteBytes(dir.FsPath("c.txt"), "old content that is long");
    CFile f;
    ASSERT_EQ(0, f.Create(dir.File("c.txt").c_str()));
    EXPECT_EQ(0, f.IsReadable());
    EXPECT_EQ(1, f.IsWritable());
    EXPECT_EQ(0u, f.Size());
    EXPECT_EQ(-1, f.Create(dir.File("d.txt").c_str()));
    EXPECT_EQ(3u, f.Write("abc", 3, kCurrentOffset));
    EXPECT_EQ(3u, f.Size());
    // An explicit offset extends the size and leaves the pointer at the end.
    EXPECT_EQ(2u, f.Write("XY", 2, 5));
    EXPECT_EQ(7u, f.Size());
    EXPECT_EQ(1u, f.Write("!", 1, kCurrentOffset));
    EXPECT_EQ(1, f.Flush());
    f.Close();
    std::string bytes = ReadBytes(dir.FsPath("c.txt"));
    ASSERT_EQ(8u, bytes.size());
    EXPECT_EQ(0, std::memcmp(bytes.data(), "abc", 3));
    EXPECT_EQ("XY!", bytes.substr(5));
    EXPECT_EQ(-1, f.Create(u""));
    EXPECT_EQ(0, f.Flush());
}

// A save's temporary file is made with CreateNew: whatever already has the name, a file, a
// folder or a link (even one to a missing file), is refused and left as it was.
TEST(CFileTest, CreateNewNeverOpensAnExistingName) {
    TempDir dir;
    namespace fs = std::filesystem;
    WriteBytes(dir.FsPath("file"), "mine");
    fs::create_directory(dir.FsPath("folder"));
    std::error_code ec;
    fs::create_hard_link(dir.FsPath("file"), dir.FsPath("hard"), ec);
    const bool hardLink = !ec;
    fs::create_symlink(dir.FsPath("file"), dir.FsPath("link"), ec);
    const bool symbolicLinks = !ec;
    if (symbolicLinks) fs::create_symlink(dir.FsPath("nowhere"), dir.FsPath("dangling"));
    std::vector<std::string> taken = {"file", "folder"};
    if (hardLink) taken.push_back("hard");
    if (symbolicLinks) taken.insert(taken.end(), {"link", "dangling"});
    CFile f;
    for (const std::string& name : taken) {
        EXPECT_EQ(-1, f.CreateNew(dir.File(name).c_str())) << name;
        EXPECT_FALSE(f.IsOpen()) << name;
    }
    EXPECT_EQ("mine", ReadBytes(dir.FsPath("file")));
    EXPECT_FALSE(fs::exists(dir.FsPath("nowhere")));
    ASSERT_EQ(0, f.CreateNew(dir.File("new").c_str()));
    EXPECT_EQ(1, f.IsWritable());
    EXPECT_EQ(-1, f.CreateNew(dir.File("other").c_str()));  // already open
    EXPECT_EQ(3u, f.Write("abc", 3, 0));
    f.Close();
    EXPECT_EQ("abc", ReadBytes(dir.FsPath("new")));
    EXPECT_EQ(-1, f.CreateNew(u""));
    EXPECT_EQ(-1, f.CreateNew(nullptr));
}

TEST(CFileTest, IsEndFollowsThePointer) {
    TempDir dir;
    WriteBytes(dir.FsPath("empty.txt"), "");
    WriteBytes(dir.FsPath("two.txt"), "ab");
    CFile e;
    ASSERT_EQ(1, e.Open(dir.File("empty.txt").c_str()));
    EXPECT_EQ(1, e.IsEnd());
    CFile t;
    ASSERT_EQ(1, t.Open(dir.File("two.txt").c_str()));
    EXPECT_EQ(0, t.IsEnd());
    char c;
    EXPECT_EQ(1u, t.Read(&c, 1, kCurrentOffset));
    EXPECT_EQ(0, t.IsEnd());
    EXPECT_EQ(1u, t.Read(&c, 1, kCurrentOffset));
    EXPECT_EQ('b', c);
    EXPECT_EQ(1, t.IsEnd());
}

// A log that another program holds open for writing must still open and read.
TEST(CFileTest, OpensAFileThatIsHeldOpenForWriting) {
    TempDir dir;
    CFile writer;
    ASSERT_EQ(0, writer.Create(dir.File("live.log").c_str()));
    ASSERT_EQ(6u, writer.Write("line1\n", 6, kCurrentOffset));
    CFile reader;
    ASSERT_EQ(1, reader.Open(dir.File("live.log").c_str()));
    char buf[8] = {};
    EXPECT_EQ(6u, reader.Read(buf, 6, 0));
    EXPECT_EQ(0, std::memcmp(buf, "line1\n", 6));
    // The writer keeps writing while the reader holds the file.
    EXPECT_EQ(6u, writer.Write("line2\n", 6, kCurrentOffset));
}

// A helper thread's handle must read the file the log view has open, even after rotation;
// reads at an offset of either handle do not disturb the other's.
TEST(CFileTest, AnotherHandleReadsTheOpenFileEvenAfterRotation) {
    TempDir dir;
    WriteBytes(dir.FsPath("app.log"), "first content\n");
    CFile file;
    ASSERT_EQ(1, file.Open(dir.File("app.log").c_str()));
    // Rotated: the path now names a new, longer file; the second handle still reads the old one.
    std::filesystem::rename(dir.FsPath("app.log"), dir.FsPath("app.log.1"));
    WriteBytes(dir.FsPath("app.log"), "second and longer content\n");
    std::unique_ptr<CFile> other = OpenAnotherHandle(&file);
    ASSERT_NE(nullptr, other);
    EXPECT_EQ(1, other->IsSameFile(file));
    EXPECT_EQ(file.Size(), other->Size());
    char buf[6] = {};
    EXPECT_EQ(5u, file.Read(buf, 5, 6));
    EXPECT_EQ(0, std::memcmp(buf, "conte", 5));
    EXPECT_EQ(5u, other->Read(buf, 5, 0));
    EXPECT_EQ(0, std::memcmp(buf, "first", 5));
    EXPECT_EQ(5u, file.Read(buf, 5, 6));
    EXPECT_EQ(0, std::memcmp(buf, "conte", 5));
    other.reset();
    CFile fresh;
    ASSERT_EQ(1, fresh.Open(dir.File("app.log").c_str()));
    EXPECT_EQ(0, fresh.IsSameFile(file));
    // Truncated below what the index describes: no handle for a scan.
    WriteBytes(dir.FsPath("app.log.1"), "fi");
    EXPECT_EQ(nullptr, OpenAnotherHandle(&file));
    CFile closed;
    EXPECT_EQ(0, closed.IsSameFile(file));
}

TEST(CFileTest, BytesInMemoryReadAsAFileDoes) {
    TempDir dir;
    const std::string bytes = "first line\nsecond line\n";
    WriteBytes(dir.FsPath("app.log"), bytes);
    CFile real;
    ASSERT_EQ(1, real.Open(dir.File("app.log").c_str()));
    CFile memory;
    ASSERT_EQ(1, memory.OpenBytes(bytes.data(), bytes.size()));
    EXPECT_TRUE(memory.IsOpen());
    EXPECT_EQ(0, memory.Open(dir.File("app.log").c_str()));  // open already
    EXPECT_EQ(real.Size(), memory.Size());
    // The same answers at every offset and count, the end and beyond it included.
    for (uint64_t offset = 0; offset <= bytes.size() + 1; ++offset) {
        for (uint32_t count : {1u, 5u, 100u}) {
            char a[100] = {}, b[100] = {};
            uint32_t got = memory.Read(b, count, offset);
            ASSERT_EQ(real.Read(a, count, offset), got) << offset << " " << count;
            EXPECT_EQ(0, std::memcmp(a, b, got));
        }
    }
    char c = 0;
    EXPECT_EQ(0u, memory.Read(&c, 1, kCurrentOffset));  // no file pointer
    EXPECT_EQ(0u, memory.Write("x", 1, 0));
    EXPECT_EQ(1, memory.RefreshSize());
    EXPECT_EQ(bytes.size(), memory.Size());
    // Another handle reads the same bytes and is the same file; a real one is not.
    std::unique_ptr<CFile> other = OpenAnotherHandle(&memory);
    ASSERT_NE(nullptr, other);
    EXPECT_EQ(1, other->IsSameFile(memory));
    EXPECT_EQ(0, real.IsSameFile(memory));
    char word[6] = {};
    EXPECT_EQ(6u, other->Read(word, 6, 11));
    EXPECT_EQ(0, std::memcmp(word, "second", 6));
    memory.Close();
    EXPECT_FALSE(memory.IsOpen());
    EXPECT_EQ(0u, memory.Read(&c, 1, 0));
    EXPECT_EQ(1, memory.Open(dir.File("app.log").c_str()));
}

TEST(CFileTest, FileAboveFourGigabytes) {
    TempDir dir;
    const uint64_t far = 5ull * 1024 * 1024 * 1024 + 123;
    {
        CFile f;
        ASSERT_EQ(0, f.Create(dir.File("big.bin").c_str()));
        ASSERT_EQ(5u, f.Write("tail!", 5, far));
        EXPECT_EQ(far + 5, f.Size());
    }
    CFile f;
    ASSERT_EQ(1, f.Open(dir.File("big.bin").c_str()));
    EXPECT_EQ(far + 5, f.Size());
    char buf[8] = {};
    EXPECT_EQ(5u, f.Read(buf, 5, far));
    EXPECT_EQ(0, std::memcmp(buf, "tail!", 5));
    EXPECT_EQ(1u, f.Read(buf, 1, far - 1));
    EXPECT_EQ(0, buf[0]);  // the hole reads as zeros
}

TEST(CFileTest, WholeFileReadAndAtomicReplace) {
    TempDir dir;
    WriteBytes(dir.FsPath("new.tmp"), "new");
    WriteBytes(dir.FsPath("target.ini"), "old");
    ASSERT_EQ(1, ReplaceFileAtomic(dir.File("new.tmp").c_str(), dir.File("target.ini").c_str()));
    uint32_t size = 0;
    char* bytes = ReadWholeFile(dir.File("target.ini").c_str(), &size);
    ASSERT_NE(nullptr, bytes);
    EXPECT_EQ(3u, size);
    EXPECT_STREQ("new", bytes);
    std::free(bytes);
    EXPECT_EQ(nullptr, ReadWholeFile(dir.File("new.tmp").c_str(), &size));
    EXPECT_EQ(0u, size);
    EXPECT_EQ(1, DeleteFilePath(dir.File("target.ini").c_str()));
    EXPECT_EQ(0, DeleteFilePath(dir.File("target.ini").c_str()));
}

TEST(CFileTest, InjectedFaults) {
    TempDir dir;
    CFile f;
    ASSERT_EQ(0, f.Create(dir.File("x.txt").c_str()));
    g_fileFaults.writeBudget = 2;
    EXPECT_EQ(2u, f.Write("abcd", 4, kCurrentOffset));
    EXPECT_EQ(0u, f.Write("e", 1, kCurrentOffset));
    g_fileFaults.writeBudget = -1;
    g_fileFaults.failFlush = true;
    EXPECT_EQ(0, f.FlushReported());
    EXPECT_EQ(1, f.Flush());
    g_fileFaults.failFlush = false;
    EXPECT_EQ(1, f.FlushReported());
    f.Close();
    WriteBytes(dir.FsPath("y.txt"), "keep");
    g_fileFaults.failReplace = true;
    EXPECT_EQ(0, ReplaceFileAtomic(dir.File("x.txt").c_str(), dir.File("y.txt").c_str()));
    g_fileFaults.failReplace = false;
    EXPECT_EQ("keep", ReadBytes(dir.FsPath("y.txt")));
}

}  // namespace

// The kept state of logs: round trip through its file, the same-log check, the cap of
// kMaxLogStates, damaged and missing files, unchanged saves; and the recent-logs list.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "config/log_state.h"
#include "config/recent_logs.h"
#include "document/file.h"
#include "test_support.h"
#include "xml/xml.h"

using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

namespace {

// The rows of the later states lie beyond 2^31, as in a log of billions of lines.
CLogState StateOf(const std::u16string& path, int32_t caret) {
    CLogState state;
    state.path = path;
    state.fingerprint.size = 1000 + static_cast<uint64_t>(caret);
    state.fingerprint.headLength = 1000;
    state.fingerprint.headHash = 0xfedcba9876543210ull;
    state.caretRow = caret * int64_t{50000000};
    state.firstRow = state.caretRow / 2;
    state.follow = caret % 2;
    state.encoding = caret % 3 == 0 ? kNoEncodingChoice : 65001;
    state.markers.push_back({state.caretRow + 1, 5000000000ull + static_cast<uint64_t>(caret)});
    return state;
}

std::u16string LogName(int k) {
    return u"C:\\logs\\app" + std::u16string(1, static_cast<char16_t>(u'a' + k % 26)) +
           std::u16string(static_cast<size_t>(k / 26), u'x') + u".log";
}

CLogFingerprint FingerprintOf(const std::filesystem::path& path) {
    CFile file;
    CLogFingerprint taken;
    EXPECT_EQ(1, file.Open(path.u16string().c_str()));
    EXPECT_TRUE(file.RefreshSize());
    EXPECT_EQ(1, TakeFingerprint(file, file.Size(), &taken));
    return taken;
}

bool StillSame(const std::filesystem::path& path, const CLogFingerprint& kept) {
    CFile file;
    EXPECT_EQ(1, file.Open(path.u16string().c_str()));
    EXPECT_TRUE(file.RefreshSize());
    return IsSameLog(file, file.Size(), kept);
}

}  // namespace

TEST(LogStateStore, KeepsEveryFieldAndTheMostRecentHundred) {
    TempDir dir;
    std::u16string file = dir.File("quillon_state.xml");
    CLogStateStore store;
    EXPECT_EQ(CStateLoad::kMissing, store.Load(file.c_str()));
    for (int k = 0; k < kMaxLogStates + 5; ++k) store.Put(StateOf(LogName(k), k));
    // Using an old one again makes it the most recent: the five oldest others go.
    store.Put(StateOf(LogName(2), 2));
    ASSERT_EQ(1, store.Save());

    CLogStateStore read;
    ASSERT_EQ(CStateLoad::kRead, read.Load(file.c_str()));
    EXPECT_EQ(kMaxLogStates, read.Count());
    for (int k = 0; k < kMaxLogStates + 5; ++k) {
        const CLogState* state = read.Find(LogName(k));
        bool kept = k == 2 || k >= 6;
        ASSERT_EQ(kept, state != nullptr) << k;
        if (kept) {
            EXPECT_TRUE(*state == StateOf(LogName(k), k)) << k;
        }
    }
    // Paths compare as Windows does, without regard to letter case.
    EXPECT_NE(nullptr, read.Find(u"c:\\LOGS\\APPZ.LOG"));
}

TEST(LogStateStore, AnUnchangedStoreWritesNothingAndAChangedOneWritesOnce) {
    TempDir dir;
    std::u16string file = dir.File("quillon_state.xml");
    CLogStateStore store;
    store.Load(file.c_str());
    EXPECT_EQ(-1, store.Save());
    EXPECT_FALSE(std::filesystem::exists(dir.FsPath("quillon_state.xml")));
    store.Put(StateOf(u"/var/log/a.log", 7));
    ASSERT_EQ(1, store.Save());
    std::string written = ReadBytes(dir.FsPath("quillon_state.xml"));

    // The same state put again (a log opened and closed without change) is no change.
    CLogStateStore again;
    ASSERT_EQ(CStateLoad::kRead, again.Load(file.c_str()));
    WriteBytes(dir.FsPath("quillon_state.xml"), written + "<!-- left alone -->");
    again.Put(StateOf(u"/var/log/a.log", 7));
    EXPECT_EQ(-1, again.Save());
    EXPECT_EQ(written + "<!-- left alone -->", ReadBytes(dir.FsPath("quillon_state.xml")));
    again.Put(StateOf(u"/var/log/a.log", 8));
    EXPECT_EQ(1, again.Save());
    EXPECT_EQ(-1, again.Save());
}

// A row that is negative, too large or no number (a hand edit, an old version's wrap) is no
// row: the caret goes to the top and the marker is dropped.
TEST(LogStateStore, RowsThatAreNoRowsAreReadAsNone) {
    TempDir dir;
    std::u16string file = dir.File("quillon_state.xml");
    CLogStateStore store;
    store.Load(file.c_str());
    store.Put(StateOf(u"a.log", 3));
    ASSERT_EQ(1, store.Save());
    std::string text = ReadBytes(dir.FsPath("quillon_state.xml"));
    for (auto [from, to] : {std::pair<const char*, const char*>{">150000000<", ">-5<"},
                            {">75000000<", ">99999999999999999999999<"},
                            {">150000001<", ">12x<"}}) {
        size_t at = text.find(from);
        ASSERT_NE(std::string::npos, at) << from;
        text.replace(at, std::strlen(from), to);
    }
    WriteBytes(dir.FsPath("quillon_state.xml"), text);
    CLogStateStore read;
    ASSERT_EQ(CStateLoad::kRead, read.Load(file.c_str()));
    const CLogState* state = read.Find(u"a.log");
    ASSERT_NE(nullptr, state);
    EXPECT_EQ(0, state->caretRow);
    EXPECT_EQ(0, state->firstRow);
    EXPECT_TRUE(state->markers.empty());
}

TEST(LogStateStore, ADamagedFileIsSetAsideAndAnUnreadableOneNeverWrittenOver) {
    TempDir dir;
    std::u16string file = dir.File("quillon_state.xml");
    for (std::string damaged : {std::string("<?xml version=\"1.0\" ?>\r\n<quillon_st"), std::string(""),
                                std::string("<?xml version=\"1.0\" ?>\r\n<config/>\r\n")}) {
        WriteBytes(dir.FsPath("quillon_state.xml"), damaged);
        CLogStateStore store;
        EXPECT_EQ(CStateLoad::kSetAside, store.Load(file.c_str()));
        EXPECT_EQ(0, store.Count());
        EXPECT_FALSE(std::filesystem::exists(dir.FsPath("quillon_state.xml")));
        EXPECT_EQ(damaged, ReadBytes(dir.FsPath("quillon_state.xml.damaged")));
        store.Put(StateOf(u"a.log", 1));
        EXPECT_EQ(1, store.Save());
        CLogStateStore read;
        EXPECT_EQ(CStateLoad::kRead, read.Load(file.c_str()));
        EXPECT_EQ(1, read.Count());
        std::filesystem::remove(dir.FsPath("quillon_state.xml"));
        std::filesystem::remove(dir.FsPath("quillon_state.xml.damaged"));
    }
    // A folder in the file's place cannot be read (nor renamed over): it is left, never saved over.
    std::filesystem::create_directory(dir.FsPath("quillon_state.xml"));
    std::filesystem::create_directory(dir.FsPath("quillon_state.xml.damaged"));
    WriteBytes(dir.FsPath("quillon_state.xml.damaged") / "keep", "x");
    CLogStateStore blocked;
    EXPECT_EQ(CStateLoad::kUnreadable, blocked.Load(file.c_str()));
    blocked.Put(StateOf(u"a.log", 1));
    EXPECT_EQ(0, blocked.Save());
    EXPECT_TRUE(std::filesystem::is_directory(dir.FsPath("quillon_state.xml")));
}

TEST(LogStateStore, ALogIsTheSameOnlyWithItsHeadUnchangedAndNoShorter) {
    TempDir dir;
    auto log = dir.FsPath("app.log");
    std::string head(kStateHeadBytes, 'a');
    WriteBytes(log, head + "tail\n");
    CLogFingerprint kept = FingerprintOf(log);
    EXPECT_EQ(kStateHeadBytes, kept.headLength);
    WriteBytes(log, head + "tail\nappended\n");
    EXPECT_TRUE(StillSame(log, kept));
    WriteBytes(log, head + "TAIL\n");  // beyond the head: still the same log
    EXPECT_TRUE(StillSame(log, kept));
    WriteBytes(log, head + "t\n");  // shorter
    EXPECT_FALSE(StillSame(log, kept));
    std::string edited = head;
    edited[kStateHeadBytes - 1] = 'b';
    WriteBytes(log, edited + "tail\nappended\n");
    EXPECT_FALSE(StillSame(log, kept));

    // A short log is compared over what it held.
    WriteBytes(log, "one\n");
    CLogFingerprint small = FingerprintOf(log);
    EXPECT_EQ(4u, small.headLength);
    WriteBytes(log, "one\ntwo\n");
    EXPECT_TRUE(StillSame(log, small));
    WriteBytes(log, "One\ntwo\n");
    EXPECT_FALSE(StillSame(log, small));
}

TEST(RecentLogs, MostRecentFirstWithoutRepeatsAndAtMostTen) {
    CRecentLogs recent;
    for (int k = 0; k < kRecentLogCount + 3; ++k) recent.Add(LogName(k).c_str());
    recent.Add(u"c:\\LOGS\\APPE.LOG");  // an existing one, in another case
    ASSERT_EQ(kRecentLogCount, recent.Count());
    EXPECT_EQ(u"c:\\LOGS\\APPE.LOG", std::u16string(recent.At(0)));
    EXPECT_EQ(LogName(12), std::u16string(recent.At(1)));
    EXPECT_EQ(LogName(3), std::u16string(recent.At(kRecentLogCount - 1)));
    EXPECT_EQ(1, recent.Remove(LogName(12).c_str()));
    EXPECT_EQ(0, recent.Remove(LogName(12).c_str()));
    EXPECT_EQ(nullptr, recent.At(kRecentLogCount - 1));

    CXmlElement* config = CXml::CreateElement(u"config", nullptr);
    recent.Write(config);
    CRecentLogs read;
    read.Read(config);
    ASSERT_EQ(recent.Count(), read.Count());
    for (int k = 0; k < read.Count(); ++k) EXPECT_EQ(std::u16string(recent.At(k)), std::u16string(read.At(k)));
    CXml::FreeElements(config);
    // An empty list writes nothing an older reader would see.
    CXmlElement* empty = CXml::CreateElement(u"config", nullptr);
    CRecentLogs().Write(empty);
    EXPECT_EQ(nullptr, empty->child);
    CXml::FreeElements(empty);
}

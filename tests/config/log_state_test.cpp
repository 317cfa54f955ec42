// The kept state of logs: round trip through its file, the same-log check, the cap of
// kMaxLogStates, damaged and missing files, unchanged saves; and the recent-logs list.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "config/log_state.h"
#include "config/recent_logs.h"
#include "document/encoding.h"
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
    state.fingerprint.size = 5000000000000ull + static_cast<uint64_t>(caret);
    state.fingerprint.headLength = kStateHeadBytes;
    state.fingerprint.headHash = 0xfedcba9876543210ull;
    state.caretRow = caret * int64_t{50000000};
    state.firstRow = state.caretRow / 2;
    state.follow = caret % 2;
    state.encoding = caret % 3 == 0 ? kNoEncodingChoice : caret % 3 == 1 ? 65001 : kEncodingAuto;
    state.timeOffset = caret % 4 == 0 ? 0 : caret % 4 == 1 ? -kMaxTimeOffsetMinutes : 90 * caret;
    state.markers.push_back({state.caretRow + 1, static_cast<uint64_t>(state.caretRow) * 3 + 7});
    if (caret % 4 == 1) {
        state.labels[0] = u" ERROR  100% ";
        state.labels[kColorLabelCount - 1] = u"ディスク<満杯> & 1";
    }
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

namespace {

using Fields = std::vector<std::pair<std::string, const char*>>;

std::u16string Ascii(const std::string& text, size_t number) {
    std::string all = text + std::to_string(number);
    return std::u16string(all.begin(), all.end());
}

// A <log> element: the sound fields of a 5,000,000-byte log with the given ones replaced (a
// null text leaves the field out), and the given "marker" elements before its sound marker.
std::string LogElement(const std::string& path, const Fields& changed) {
    Fields fields = {
        {"path", path.c_str()}, {"size", "5000000"},   {"head_length", "65536"}, {"head_hash", "00000000075bcd15"},
        {"caret", "4000"},      {"first_row", "3990"}, {"follow", "1"},          {"encoding", "65001"},
        {"time_offset", "-90"}};
    std::string out = "<log>";
    for (auto& [name, text] : fields) {
        for (auto& [changedName, changedText] : changed)
            if (changedName == name) text = changedText;
        if (text != nullptr) out += "<" + name + ">" + text + "</" + name + ">";
    }
    for (auto& [name, text] : changed)
        if (name == "labels") out += text;
    out += "<markers>";
    for (auto& [name, text] : changed)
        if (name == "marker") out += text;
    return out + "<marker><row>7</row><offset>700</offset></marker></markers></log>\n";
}

}  // namespace

// What a damaged or crafted file holds that the viewer could not have written is read as
// nothing kept, field by field: a log without a sound path or fingerprint is not kept at all;
// a row, flag, code page or marker that is no value is none, and the rest of its log stays.
TEST(LogStateStore, FieldsTheViewerCouldNotHaveWrittenAreReadAsNothingKept) {
    TempDir dir;
    std::u16string file = dir.File("quillon_state.xml");
    std::string longPath(40000, 'a');
    std::vector<Fields> dropped = {{{"path", nullptr}},
                                   {{"path", ""}},
                                   {{"path", "/logs/\x01.log"}},
                                   {{"path", longPath.c_str()}},
                                   {{"size", "x"}},
                                   {{"size", "-1"}},
                                   {{"size", "9223372036854775808"}},
                                   {{"size", nullptr}},
                                   {{"head_length", "65535"}},
                                   {{"head_length", "70000"}},
                                   {{"head_length", nullptr}},
                                   {{"head_hash", "xyz"}},
                                   {{"head_hash", "10000000000000000"}},
                                   {{"head_hash", nullptr}}};
    std::vector<Fields> fieldsNone = {
        {{"caret", "-5"}, {"first_row", "5000000"}, {"follow", "2"}, {"encoding", "1201"}, {"time_offset", "20161"}},
        {{"caret", "99999999999999999999999"},
         {"first_row", "12x"},
         {"follow", "-1"},
         {"encoding", "4294967296"},
         {"time_offset", "-20161"}},
        {{"caret", ""}, {"first_row", nullptr}, {"follow", "yes"}, {"encoding", "932"}, {"time_offset", "1.5"}},
        {{"caret", "5000000"}, {"first_row", "-0"}, {"follow", "01x"}, {"encoding", "-3"}, {"time_offset", "+60"}},
        {{"encoding", "65001x"},
         {"labels",
          "<labels><label><number>0</number><text>a</text></label><label><number>10</number><text>b</text>"
          "</label><label><number>x</number><text>c</text></label><label><number>4</number><text>5%2</text></label>"
          "<label><number>5</number><text>%002</text></label><label><number>6</number><text>%00201</text></"
          "label><label><number>3</number><text></text>"
          "</label><label><number>2</number><text>boom</text></label><label><number>2</number><text>bang"
          "</text></label><label><text>d</text></label></labels>"},
         {"time_offset", ""},
         {"marker",
          "<marker><row>-1</row><offset>1</offset></marker><marker><row>5000000</row><offset>1</offset>"
          "</marker><marker><row>50</row><offset>10</offset></marker><marker><row>8</row><offset>5000000"
          "</offset></marker><marker><row>9</row></marker><marker><row>7</row><offset>800</offset></marker>"}}};
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<quillon_state>\n";
    for (size_t k = 0; k < dropped.size(); ++k) text += LogElement("/logs/dropped" + std::to_string(k), dropped[k]);
    for (size_t k = 0; k < fieldsNone.size(); ++k) text += LogElement("/logs/none" + std::to_string(k), fieldsNone[k]);
    text += LogElement("/logs/sound", {}) + LogElement("/logs/sound", {{"caret", "1"}}) + "</quillon_state>\n";
    WriteBytes(dir.FsPath("quillon_state.xml"), text);

    CLogStateStore read;
    ASSERT_EQ(CStateLoad::kRead, read.Load(file.c_str()));
    EXPECT_EQ(static_cast<int>(fieldsNone.size()) + 1, read.Count());
    for (size_t k = 0; k < dropped.size(); ++k) EXPECT_EQ(nullptr, read.Find(Ascii("/logs/dropped", k))) << k;
    CLogState sound;
    sound.fingerprint = {5000000, kStateHeadBytes, 123456789};
    sound.caretRow = 4000;
    sound.firstRow = 3990;
    sound.follow = 1;
    sound.encoding = 65001;
    sound.timeOffset = -90;
    sound.markers.push_back({7, 700});
    sound.path = u"/logs/sound";
    const CLogState* first = read.Find(sound.path);
    ASSERT_NE(nullptr, first);
    EXPECT_TRUE(*first == sound);  // a path listed again keeps its first state
    for (size_t k = 0; k < fieldsNone.size(); ++k) {
        const CLogState* state = read.Find(Ascii("/logs/none", k));
        ASSERT_NE(nullptr, state) << k;
        CLogState want = sound;
        want.path = state->path;
        want.encoding = kNoEncodingChoice;
        want.timeOffset = 0;
        if (k < 4) {
            want.caretRow = 0;
            want.firstRow = 0;
            want.follow = 0;
        } else {
            want.markers = {{7, 800}};  // the first of the two on row 7
            want.labels[1] = u"boom";   // the first text of label 2, and a blank coded as the file codes it
            want.labels[5] = u" 1";
        }
        EXPECT_TRUE(*state == want) << k;
    }
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

// Compressed logs against the same logs plain: random logs as gzip (levels 1 and 9, one or
// several members) and zip entries (deflate, stored) give the same rows, error lines and
// search results, and reads anywhere (at every access point) give the plain bytes; the
// archive's entries; and every kind of damage, whose rows before it are kept.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "document/access_points.h"
#include "document/encoding.h"
#include "document/file.h"
#include "document/log_file.h"
#include "document/zip_directory.h"
#include "foundation/convert.h"
#include "keywords/keyword_set.h"
#include "loader/log_loader.h"
#include "packed_support.h"
#include "search/line_scan.h"
#include "search/search_condition.h"

using packed_support::Gzip;
using packed_support::GzipMembers;
using packed_support::MakeZip;
using packed_support::ZipItem;

namespace {

struct Loaded {
    std::vector<CLogLine> lines;
    std::vector<CLogLine> errors;
    CLoadResult result;
    std::unique_ptr<CLogLineList> index;
};

std::vector<CLogLine> Entries(const CLogLineList& list) {
    std::vector<CLogLine> out;
    CLogLine line;
    for (CLogLineReader reader(list, 0); reader.Next(&line);) out.push_back(line);
    return out;
}

const CKeywordSet& Keywords() {
    static CKeywordSet* keywords = [] {
        auto* k = new CKeywordSet();
        k->Add(u"ERROR", 6, 0, 1);
        k->BuildFlagTable();
        return k;
    }();
    return *keywords;
}

Loaded Load(CFile* file, unsigned codePage) {
    Loaded out;
    CLoadRequest request;
    request.codePage = codePage;
    request.keywords = &Keywords();
    request.result = &out.result;
    request.blockSize = 1u << 20;  // several blocks, each ending inside some line
    CLogLineList errors;
    out.index = LoadLogLines(file, request, &errors);
    if (out.index != nullptr) out.lines = Entries(*out.index);
    out.errors = Entries(errors);
    return out;
}

void AppendUnit(std::string* out, char16_t c, bool utf16) {
    if (utf16) {
        out->push_back(static_cast<char>(c & 0xff));
        out->push_back(static_cast<char>(c >> 8));
    } else if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else {
        out->push_back(static_cast<char>(0xe0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3f)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3f)));
    }
}

// A log of about bytes bytes: stamped and unstamped lines, error and hit words, Japanese,
// every break form, blank lines and now and then a line of hundreds of KiB.
std::string RandomLog(std::mt19937* rng, size_t bytes, bool utf16) {
    static const char16_t* const kWords[] = {u"alpha", u"beta",       u"ERROR", u"needle", u"\u65e5\u672c\u8a9e",
                                             u"gamma", u"request=42", u"[main]"};
    static const char* const kBreaks[] = {"\n", "\r\n", "\r", "\n\r", "\n\n"};
    std::string out;
    if (utf16) out = "\xff\xfe";
    auto put = [&](const char* ascii) {
        for (const char* p = ascii; *p != 0; ++p) AppendUnit(&out, static_cast<unsigned char>(*p), utf16);
    };
    for (int n = 0; out.size() < bytes; ++n) {
        std::uniform_int_distribution<int> pick(0, 99);
        if (pick(*rng) < 70) {
            char stamp[40];
            std::snprintf(stamp, sizeof stamp, "2024-05-%02d %02d:%02d:%02d.%03d ", 1 + n / 80000 % 28, n / 3600 % 24,
                          n / 60 % 60, n % 60, pick(*rng) * 10);
            put(stamp);
        }
        int words = pick(*rng) == 0 ? 40000 : 1 + pick(*rng) % 20;
        for (int w = 0; w < words; ++w) {
            for (const char16_t* c = kWords[pick(*rng) % 8]; *c != 0; ++c) AppendUnit(&out, *c, utf16);
            AppendUnit(&out, u' ', utf16);
        }
        put(kBreaks[pick(*rng) % 5]);
    }
    return out;
}

struct Variant {
    const char* name;
    std::string bytes;
};

std::vector<Variant> Packings(const std::string& log, std::mt19937* rng) {
    std::uniform_int_distribution<size_t> cut(1, log.size() - 1);
    std::vector<size_t> cuts = {cut(*rng), cut(*rng), cut(*rng)};
    std::sort(cuts.begin(), cuts.end());
    std::vector<Variant> out;
    out.push_back({"gzip -1", Gzip(log, 1)});
    out.push_back({"gzip -9, four members", GzipMembers(log, 9, cuts)});
    ZipItem deflated{"logs/app.log", log};
    ZipItem stored{"app.log", log, 0};
    out.push_back({"zip, deflate", MakeZip({deflated})});
    out.push_back({"zip, stored", MakeZip({stored})});
    return out;
}

std::vector<int64_t> Hits(CFile* file, const CLogLineList& lines, unsigned codePage) {
    CSearchCondition condition;
    condition.Add(u"needle");
    condition.Add(u"ERROR");
    condition.SetMatchAll(1);
    CScanOptions options;
    options.threads = 2;  // a helper on a handle of its own, in small chunks all over the log
    options.twoCoreBytes = 1;
    options.chunkBytes = 64u << 10;
    CLogLineList result;
    std::vector<int64_t> out;
    if (ExtractLines(file, lines, condition, codePage, 1, 1, &result, options) != 1) return out;
    for (const CLogLine& line : Entries(result)) out.push_back(line.lineNumber);
    options.threads = 1;
    out.push_back(-1);
    out.push_back(SearchForward(file, lines, lines.Count() / 2, condition, codePage, options));
    out.push_back(SearchBackward(file, lines, lines.Count() / 2, condition, codePage, options));
    return out;
}

std::string ReadAt(CFile* file, uint64_t offset, uint32_t count) {
    std::string out(count, '\0');
    out.resize(file->Read(&out[0], count, offset));
    return out;
}

TEST(PackedLogTest, ReadsAsThePlainLogAtEveryPlace) {
    std::mt19937 rng(20261209);
    for (bool utf16 : {false, true}) {
        // The UTF-16 logs with points every 48 KiB or so: many spans, many of them ending in a line.
        CAccessPointRules rules;
        if (utf16) rules = {48u << 10, 1};
        g_accessPointRules = rules;
        std::string log = RandomLog(&rng, utf16 ? (2u << 20) : (4u << 20), utf16);
        unsigned codePage = utf16 ? kCodePageUtf16Le : kCodePageUtf8;
        CLogFile plain;
        ASSERT_TRUE(plain.OpenBytes(log.data(), log.size()));
        Loaded expected = Load(&plain, codePage);
        ASSERT_GT(expected.errors.size(), 10u);
        std::vector<int64_t> expectedHits = Hits(&plain, *expected.index, codePage);
        ASSERT_GT(expectedHits.size(), 10u);
        for (const Variant& variant : Packings(log, &rng)) {
            if (utf16 && variant.name[0] == 'z') continue;
            SCOPED_TRACE(std::string(variant.name) + (utf16 ? ", UTF-16" : ""));
            CLogFile file;
            ASSERT_TRUE(file.OpenBytes(variant.bytes.data(), variant.bytes.size()));
            ASSERT_EQ(1, file.Unpack());
            ASSERT_TRUE(file.IsPacked());
            EXPECT_EQ(DetectFileCodePage(&plain), DetectFileCodePage(&file));
            Loaded got = Load(&file, codePage);
            EXPECT_EQ(CLoadStatus::kDone, got.result.status);
            EXPECT_TRUE(file.SizeKnown());
            EXPECT_EQ(log.size(), file.Size());
            EXPECT_EQ(variant.name[0] == 'g', variant.bytes.size() == file.PackedSize());
            EXPECT_GT(file.PackedSize(), variant.bytes.size() * 9 / 10);
            ASSERT_EQ(expected.lines.size(), got.lines.size());
            EXPECT_TRUE(expected.lines == got.lines);
            EXPECT_TRUE(expected.errors == got.errors);
            EXPECT_EQ(expectedHits, Hits(&file, *got.index, codePage));
            // The points keep to their share of memory; deflated streams of MiBs have some.
            EXPECT_LE(file.AccessPointBytes(), file.Size() / 100 + 4096);
            if (file.PackedFormat() != CPackedFormat::kZipStored) {
                EXPECT_GE(file.AccessPointCount(), utf16 ? 4 : 2);
            }
            // Reads across every point, on a handle of its own, backwards; then rows at random.
            std::unique_ptr<CFile> other = OpenAnotherHandle(&file);
            ASSERT_NE(nullptr, other);
            for (int64_t i = file.AccessPointCount() - 1; i >= 1; --i) {
                uint64_t at = file.AccessPointOffset(i);
                ASSERT_GT(at, 3000u);
                EXPECT_EQ(log.substr(at - 3000, 6000), ReadAt(other.get(), at - 3000, 6000)) << at;
                EXPECT_EQ(log.substr(at, 1), ReadAt(other.get(), at, 1)) << at;
            }
            std::uniform_int_distribution<size_t> row(0, got.lines.size() - 1);
            for (int k = 0; k < 200; ++k) {
                const CLogLine& line = got.lines[row(rng)];
                std::string bytes(static_cast<size_t>(line.length), '\0');
                ASSERT_EQ(static_cast<uint32_t>(line.length), file.ReadLine(&bytes[0], line.length, line.offset));
                ASSERT_EQ(log.substr(line.offset, static_cast<size_t>(line.length)), bytes);
            }
            EXPECT_EQ("", ReadAt(&file, log.size(), 10));
        }
        g_accessPointRules = CAccessPointRules();
    }
}

// Reports the load's progress and cancels it at the third report.
class CCancelAtThird : public CProgressListener {
public:
    explicit CCancelAtThird(std::atomic<int>* cancel) : m_cancel(cancel) {}
    void OnProgress(uint64_t position, uint64_t total) override {
        EXPECT_GE(position, m_last);
        EXPECT_LE(position, total);
        m_last = position;
        m_total = total;
        if (++m_calls == 3) m_cancel->store(1);
    }
    uint64_t m_last = 0;
    uint64_t m_total = 0;
    int m_calls = 0;

private:
    std::atomic<int>* m_cancel;
};

// An empty log in every packing: read to its end, its size is known to be 0, and it loads whole.
TEST(PackedLogTest, AnEmptyLogEndsAtOnceInEveryPacking) {
    ZipItem deflated{"empty.log", ""};
    ZipItem stored{"empty.log", "", 0};
    for (const Variant& variant : {Variant{"gzip", Gzip("", 6)}, Variant{"zip, deflate", MakeZip({deflated})},
                                   Variant{"zip, stored", MakeZip({stored})}}) {
        SCOPED_TRACE(variant.name);
        CLogFile file;
        ASSERT_TRUE(file.OpenBytes(variant.bytes.data(), variant.bytes.size()));
        ASSERT_EQ(1, file.Unpack());
        EXPECT_EQ("", ReadAt(&file, 0, 100));
        EXPECT_TRUE(file.SizeKnown());
        EXPECT_EQ(0u, file.Size());
        EXPECT_EQ(CUnpackError::kNone, file.UnpackError());
    }
}

TEST(PackedLogTest, ALoadCountsCompressedBytesAndStopsWhenCancelled) {
    std::mt19937 rng(3);
    std::string log = RandomLog(&rng, 4u << 20, false);
    std::string gz = Gzip(log, 6);
    CLogFile plain;
    ASSERT_TRUE(plain.OpenBytes(log.data(), log.size()));
    Loaded expected = Load(&plain, kCodePageUtf8);
    CLogFile file;
    ASSERT_TRUE(file.OpenBytes(gz.data(), gz.size()));
    ASSERT_EQ(1, file.Unpack());
    EXPECT_FALSE(file.SizeKnown());
    EXPECT_EQ(kUnknownUnpackedSize, file.Size());
    std::atomic<int> cancel{0};
    CCancelAtThird listener(&cancel);
    CLoadRequest request;
    request.codePage = kCodePageUtf8;
    request.blockSize = 1u << 20;
    request.listener = &listener;
    request.cancel = &cancel;
    CLogLineList errors;
    std::unique_ptr<CLogLineList> lines = LoadLogLines(&file, request, &errors);
    ASSERT_NE(nullptr, lines);
    EXPECT_EQ(gz.size(), listener.m_total);
    std::vector<CLogLine> got = Entries(*lines);
    ASSERT_GT(got.size(), 100u);
    ASSERT_LT(got.size(), expected.lines.size());
    for (size_t i = 0; i < got.size(); ++i) ASSERT_TRUE(expected.lines[i] == got[i]) << i;
    EXPECT_EQ(CUnpackError::kNone, file.UnpackError());
}

// The lines of got are those of expected up to the damage: all but the last whole, the last
// a part of its line at most.
void ExpectPrefix(const Loaded& expected, const Loaded& got) {
    ASSERT_FALSE(got.lines.empty());
    ASSERT_LE(got.lines.size(), expected.lines.size());
    for (size_t i = 0; i + 1 < got.lines.size(); ++i) ASSERT_TRUE(expected.lines[i] == got.lines[i]) << i;
    EXPECT_EQ(expected.lines[got.lines.size() - 1].offset, got.lines.back().offset);
    EXPECT_LE(got.lines.back().length, expected.lines[got.lines.size() - 1].length);
}

struct Damaged {
    const char* name;
    std::string bytes;
    CUnpackError error;
    bool whole;  // every row is there (a wrong check at the end)
};

TEST(PackedLogTest, DamageEndsTheLogThereAndSaysWhy) {
    std::mt19937 rng(7);
    std::string log = RandomLog(&rng, 3u << 20, false);
    CLogFile plain;
    ASSERT_TRUE(plain.OpenBytes(log.data(), log.size()));
    Loaded expected = Load(&plain, kCodePageUtf8);
    std::string gz = Gzip(log, 6);
    std::string badCrc = gz;
    badCrc[badCrc.size() - 8] ^= 1;
    // The first of two members fails its check: another handle would decode on into the second.
    std::string firstCrc = GzipMembers(log, 6, {log.size() / 2});
    firstCrc[Gzip(log.substr(0, log.size() / 2), 6).size() - 8] ^= 1;
    std::string badLength = gz;
    badLength[badLength.size() - 1] ^= 1;
    // A second member whose first block has the type that does not exist.
    std::string corrupt = GzipMembers(log, 6, {log.size() / 2});
    corrupt[Gzip(log.substr(0, log.size() / 2), 6).size() + 10] = '\x07';
    std::string secondMember = gz + Gzip(log.substr(0, 1000), 6);
    secondMember[gz.size() + 3] = '\x80';  // a reserved flag in the second member's header
    ZipItem short_{"app.log", log};
    short_.keepPacked = static_cast<int64_t>(gz.size() / 3);
    ZipItem storedCrc{"app.log", log, 0};
    storedCrc.crcChange = 1;
    ZipItem deflateCrc{"app.log", log};
    deflateCrc.crcChange = 0x100;
    ZipItem longer{"app.log", log};
    longer.declaredSize = static_cast<int64_t>(log.size() / 2);
    std::vector<Damaged> cases = {
        {"gzip cut short", gz.substr(0, gz.size() * 3 / 5), CUnpackError::kTruncated, false},
        {"gzip without its trailer", gz.substr(0, gz.size() - 5), CUnpackError::kTruncated, true},
        {"gzip CRC", badCrc, CUnpackError::kBadCheck, true},
        {"gzip length", badLength, CUnpackError::kBadCheck, true},
        {"gzip CRC of the first member", firstCrc, CUnpackError::kBadCheck, false},
        {"gzip data", corrupt, CUnpackError::kCorrupt, false},
        {"gzip member header", secondMember, CUnpackError::kCorrupt, true},
        {"zip entry whose data ends early", MakeZip({short_}), CUnpackError::kTruncated, false},
        {"zip cut without its directory", MakeZip({ZipItem{"a.log", log}}).substr(0, gz.size() / 2),
         CUnpackError::kTruncated, false},
        {"zip stored CRC", MakeZip({storedCrc}), CUnpackError::kBadCheck, true},
        {"zip deflate CRC", MakeZip({deflateCrc}), CUnpackError::kBadCheck, true},
        {"zip entry longer than declared", MakeZip({longer}), CUnpackError::kBadCheck, false},
    };
    for (const Damaged& c : cases) {
        SCOPED_TRACE(c.name);
        CLogFile file;
        ASSERT_TRUE(file.OpenBytes(c.bytes.data(), c.bytes.size()));
        ASSERT_EQ(1, file.Unpack());
        Loaded got = Load(&file, kCodePageUtf8);
        EXPECT_EQ(CLoadStatus::kDamaged, got.result.status);
        EXPECT_EQ(c.error, got.result.damage);
        EXPECT_EQ(c.error, file.UnpackError());
        EXPECT_TRUE(file.SizeKnown());
        ExpectPrefix(expected, got);
        if (c.whole) {
            EXPECT_EQ(expected.lines.size(), got.lines.size());
        } else {
            EXPECT_LT(file.Size(), log.size());
        }
        // What is read after the damage on another handle stops at the same place.
        std::unique_ptr<CFile> other = OpenAnotherHandle(&file);
        ASSERT_NE(nullptr, other);
        EXPECT_EQ(log.substr(file.Size() - 100, 100), ReadAt(other.get(), file.Size() - 100, 1000));
    }
}

TEST(PackedLogTest, ArchivesThatCannotBeReadSayWhyAndStayAsTheyWere) {
    std::string log = "2024-05-01 10:00:00 one\n2024-05-01 10:00:01 two\n";
    ZipItem bzip{"a.log", log, 12};
    ZipItem encrypted{"a.log", log};
    encrypted.flags = 1;
    ZipItem bomb{"a.log", log};
    bomb.declaredSize = 4000000000;
    std::string noDirectory = "PK\x05\x06" + std::string(18, '\0');
    struct Case {
        std::string bytes;
        CUnpackError error;
    };
    for (const Case& c :
         {Case{MakeZip({bzip}), CUnpackError::kUnsupported}, Case{MakeZip({encrypted}), CUnpackError::kUnsupported},
          Case{MakeZip({bomb}), CUnpackError::kTooLarge}, Case{noDirectory, CUnpackError::kNoEntry},
          Case{"PK\x05\x06 this is not a zip archive", CUnpackError::kBadArchive}}) {
        CLogFile file;
        ASSERT_TRUE(file.OpenBytes(c.bytes.data(), c.bytes.size()));
        EXPECT_EQ(0, file.Unpack());
        EXPECT_EQ(c.error, file.UnpackError());
        EXPECT_FALSE(file.IsPacked());
        EXPECT_EQ(c.bytes.size(), file.Size());
    }
    // A plain log is left as it is, even one that begins with a zip's magic by chance.
    CLogFile plain;
    ASSERT_TRUE(plain.OpenBytes(log.data(), log.size()));
    EXPECT_EQ(1, plain.Unpack());
    EXPECT_FALSE(plain.IsPacked());
    EXPECT_TRUE(plain.CanFollow());
}

TEST(PackedLogTest, AnArchiveListsItsFilesAndOpensAnyOfThem) {
    std::string first = "first log\n";
    std::string second = "2024-05-01 10:00:00 second log\nERROR here\n";
    std::string archive = MakeZip({ZipItem{"logs/", ""}, ZipItem{"logs/first.log", first, 0},
                                   ZipItem{"logs/\xe6\x97\xa5.log", second, 8, 0x800}, ZipItem{"readme.txt", "x", 12}});
    CFile raw;
    ASSERT_TRUE(raw.OpenBytes(archive.data(), archive.size()));
    CZipDirectory directory;
    ASSERT_EQ(1, directory.Read(&raw));
    ASSERT_EQ(3, directory.Count());  // the folder is no file
    EXPECT_STREQ("logs/first.log", directory.Name(0));
    EXPECT_EQ(second.size(), directory.At(1).size);
    EXPECT_EQ(8, directory.At(1).method);
    int named = directory.Find("logs/\xe6\x97\xa5.log");
    ASSERT_EQ(1, named);
    EXPECT_EQ(-1, directory.Find("nothing.log"));
    for (int entry : {0, named}) {
        CLogFile file;
        ASSERT_TRUE(file.OpenBytes(archive.data(), archive.size()));
        ASSERT_EQ(1, file.Unpack(entry));
        const std::string& want = entry == 0 ? first : second;
        EXPECT_EQ(want, ReadAt(&file, 0, 1000));
        EXPECT_FALSE(file.CanFollow());
    }
    CLogFile file;
    ASSERT_TRUE(file.OpenBytes(archive.data(), archive.size()));
    EXPECT_EQ(0, file.Unpack(2));
    EXPECT_EQ(CUnpackError::kUnsupported, file.UnpackError());
    EXPECT_EQ(0, file.Unpack(3));
    EXPECT_EQ(CUnpackError::kNoEntry, file.UnpackError());
}

}  // namespace

// quillon-cli end to end: the built program is run on files written by the tests, in a
// folder of their own; its exact output, exit statuses and messages are checked.
// POSIX only (it runs the program through the shell).
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "test_support.h"

using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

namespace {

struct CRun {
    int status = -1;
    std::string out;
    std::string err;
};

const char kLog[] =
    "header without stamp\r\n"
    "2024-05-31 23:59:58,250 INFO start\r\n"
    "\tat trace line\r\n"
    "\r\n"
    "2024-05-31 23:59:59.900 ERROR boom\n"
    "2024-06-01 00:00:03,000 WARN \xE6\xB3\xA8\xE6\x96\x87 \xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC\r\n"  // 注文 エラー
    "Jun  1 00:00:09 sys \xFF bad byte\r\n"
    "last line ERROR without break";

size_t Lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

std::string Keywords(const std::string& emphases) {
    return "<?xml version=\"1.0\" ?>\r\n<quillon_keyword><keyword>" + emphases + "</keyword></quillon_keyword>\r\n";
}

std::string Emphasis(const std::string& text, int error) {
    return "<emphasis><text>" + text + "</text><color>6</color><bold>0</bold><error>" + std::to_string(error) +
           "</error></emphasis>";
}

std::string Settings(int check, int time, int before, int after) {
    return "<?xml version=\"1.0\" ?>\r\n<config><search><before_line>" + std::to_string(before) +
           "</before_line><after_line>" + std::to_string(after) + "</after_line></search><interval_check>" +
           std::to_string(check) + "</interval_check><interval_time>" + std::to_string(time) +
           "</interval_time></config>\r\n";
}

class QuillonCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(m_dir.FsPath("app.log"), kLog);
        WriteBytes(
            m_dir.FsPath("errors.xml"),
            Keywords(Emphasis("ERROR", 1) + Emphasis("\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC", 1) + Emphasis("WARN", 0)));
    }
    // Runs the program in the test's folder with the arguments (shell words).
    CRun Cli(const std::string& args) {
        std::string errFile = (m_dir.Path() / "stderr.txt").string();
        std::string command =
            "cd '" + m_dir.Path().string() + "' && '" QUILLON_CLI_PATH "' " + args + " 2>'" + errFile + "'";
        CRun run;
        std::FILE* p = popen(command.c_str(), "r");
        if (p == nullptr) return run;
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) run.out.append(buffer, n);
        int status = pclose(p);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.err = ReadBytes(errFile);
        std::filesystem::remove(errFile);
        return run;
    }
    std::set<std::string> Files() const {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(m_dir.Path()))
            names.insert(e.path().filename().string());
        return names;
    }
    TempDir m_dir;
};

TEST_F(QuillonCliTest, RowsShowNumbersStampsIntervalsChecksAndMessages) {
    CRun run = Cli("rows app.log --interval-check 5000");
    EXPECT_EQ(0, run.status);
    EXPECT_EQ(
        "1\t\t\t\theader without stamp\n"
        "2\t2024-05-31 23:59:58.250\t23:59:58.250\t!\t2024-05-31 23:59:58,250 INFO start\n"
        "3\t2024-05-31 23:59:58.250\t00:00:00.000\t\t\tat trace line\n"
        "4\t2024-05-31 23:59:59.900\t00:00:01.650\t\t2024-05-31 23:59:59.900 ERROR boom\n"
        "5\t2024-06-01 00:00:03.000\t99:99:99.999\t!\t2024-06-01 00:00:03,000 WARN \xE6\xB3\xA8\xE6\x96\x87 "
        "\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC\n"
        "6\t0000-06-01 00:00:09.000\t00:00:06.000\t!\tJun  1 00:00:09 sys \xEF\xBF\xBD bad byte\n"
        "7\t0000-06-01 00:00:09.000\t00:00:00.000\t\tlast line ERROR without break\n",
        run.out);
    EXPECT_EQ("", run.err);
}

TEST_F(QuillonCliTest, RowsFromARowTakeTheRowAboveAsReference) {
    CRun run = Cli("--no-config rows app.log --from 4 --count 2");
    EXPECT_EQ(0, run.status);
    EXPECT_EQ(
        "5\t2024-06-01 00:00:03.000\t99:99:99.999\t\t2024-06-01 00:00:03,000 WARN \xE6\xB3\xA8\xE6\x96\x87 "
        "\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC\n"
        "6\t0000-06-01 00:00:09.000\t00:00:06.000\t\tJun  1 00:00:09 sys \xEF\xBF\xBD bad byte\n",
        run.out);
    EXPECT_EQ(1, Cli("rows app.log --from 7").status);
    EXPECT_EQ(1, Cli("rows app.log --count 0").status);
}

TEST_F(QuillonCliTest, InfoAndErrorsUseTheErrorKeywords) {
    CRun info = Cli("--keywords errors.xml info app.log");
    EXPECT_EQ(0, info.status);
    EXPECT_EQ("file\tapp.log\nsize\t" + std::to_string(sizeof kLog - 1) +
                  "\nlines\t7\nerror lines\t3\nfirst time stamp\t2024-05-31 23:59:58.250\n"
                  "last time stamp\t0000-06-01 00:00:09.000\nstamp form\tbasic\nrows with a stamp\t4 (57.1%)\n",
              info.out);
    CRun errors = Cli("errors app.log --keywords errors.xml");
    EXPECT_EQ(0, errors.status);
    // Intervals run along the error list itself.
    EXPECT_EQ(
        "4\t2024-05-31 23:59:59.900\t00:00:00.000\t\t2024-05-31 23:59:59.900 ERROR boom\n"
        "5\t2024-06-01 00:00:03.000\t99:99:99.999\t\t2024-06-01 00:00:03,000 WARN \xE6\xB3\xA8\xE6\x96\x87 "
        "\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC\n"
        "7\t0000-06-01 00:00:09.000\t00:00:06.000\t\tlast line ERROR without break\n",
        errors.out);
    // Without keywords there are no error lines and nothing is printed.
    CRun none = Cli("--no-config errors app.log");
    EXPECT_EQ(1, none.status);
    EXPECT_EQ("", none.out);
}

TEST_F(QuillonCliTest, SearchPrintsTheRowItFinds) {
    CRun first = Cli("search app.log ERROR");
    EXPECT_EQ(0, first.status);
    EXPECT_EQ("4\t2024-05-31 23:59:59.900\t00:00:01.650\t\t2024-05-31 23:59:59.900 ERROR boom\n", first.out);
    EXPECT_EQ("7\t0000-06-01 00:00:09.000\t00:00:00.000\t\tlast line ERROR without break\n",
              Cli("search --from 4 app.log ERROR").out);
    EXPECT_EQ(0u, Cli("search app.log ERROR --from 3").out.find("4\t"));
    EXPECT_EQ(0u, Cli("search app.log ERROR --backward --from 5").out.find("4\t"));
    // Case-sensitive, no wrap-around, and an empty text finds nothing.
    for (const char* args : {"search app.log error", "search app.log boom --from 4", "search app.log ''",
                             "search app.log boom --backward"}) {
        CRun run = Cli(args);
        EXPECT_EQ(1, run.status) << args;
        EXPECT_EQ("", run.out) << args;
    }
    // "--" ends the options, so a text may begin with "--".
    WriteBytes(m_dir.FsPath("dash.log"), "plain\nwith --x in it\n");
    EXPECT_EQ(0u, Cli("search dash.log -- --x").out.find("2\t"));
    // Ignoring case, for search and for each text of an extraction.
    EXPECT_EQ(first.out, Cli("search app.log error --ignore-case").out);
    EXPECT_EQ(0u, Cli("search app.log Error --ignore-case --from 4").out.find("7\t"));
    EXPECT_EQ(2u, Lines(Cli("extract app.log error BOOM --ignore-case").out));
    EXPECT_EQ(1, Cli("extract app.log error").status);
    EXPECT_EQ(2, Cli("rows app.log --ignore-case").status);  // only search and extract take it
    // Regular expressions; one that does not compile is a usage error with PCRE2's reason.
    EXPECT_EQ(first.out, Cli("search app.log 'ERR(OR|XX) b.om$' --regex").out);
    EXPECT_EQ(3u, Lines(Cli("extract app.log 'error|^2024-05-31 23:59:58,250 INFO' --regex --ignore-case").out));
    CRun bad = Cli("search app.log 'a(b' --regex");
    EXPECT_EQ(2, bad.status);
    EXPECT_EQ(
        0u,
        bad.err.find("quillon-cli: regular expression 'a(b' does not compile at offset 3: missing closing parenthesis"))
        << bad.err;
    WriteBytes(m_dir.FsPath("hard.log"), std::string(40, 'a') + "!\naa\n");
    CRun hard = Cli("extract hard.log '(a|aa)+$' --regex");
    EXPECT_EQ("2\t\t\t\taa\n", hard.out.substr(hard.out.find('\t') - 1));
    EXPECT_EQ(
        "quillon-cli: the regular expression reached the matching limit on 1 lines; they were taken as not "
        "matching\n",
        hard.err);  // once
}

// --not leaves out the rows holding its texts, compared as the command's texts are; alone it
// keeps every row without them. In a merged view too.
TEST_F(QuillonCliTest, NotTextsLeaveRowsOut) {
    EXPECT_EQ("7\t0000-06-01 00:00:09.000\t00:00:00.000\t\tlast line ERROR without break\n",
              Cli("extract app.log ERROR --not boom").out);
    EXPECT_EQ(Cli("search app.log ERROR --from 5").out, Cli("search app.log ERROR --not BOOM --ignore-case").out);
    EXPECT_EQ(1, Cli("extract app.log ERROR --not boom --not without").status);
    std::string info = Cli("extract app.log ERROR INFO --not 'boom|without' --regex").out;
    EXPECT_EQ(1u, Lines(info));
    EXPECT_EQ(0u, info.find("2\t2024"));
    std::string noDigit = Cli("extract app.log --not '[0-9]' --regex").out;
    EXPECT_EQ(3u, Lines(noDigit));
    EXPECT_EQ(0u, noDigit.find("1\t"));
    EXPECT_NE(std::string::npos, noDigit.find("\n3\t"));
    EXPECT_NE(std::string::npos, noDigit.find("\n7\t"));
    EXPECT_EQ(0u, Cli("search app.log --not 2024 --from 3").out.find("6\t"));
    EXPECT_EQ(0u, Cli("search app.log --not 2024 --not trace --backward --from 4").out.find("1\t"));
    std::string merged = Cli("extract ERROR --not boom --merge app.log app.log").out;
    EXPECT_EQ(2u, Lines(merged));
    EXPECT_EQ(std::string::npos, merged.find("boom"));
    for (const char* args : {"search app.log --not", "rows app.log --not x", "search app.log a b --not c",
                             "extract app.log a --not 1 --not 2 --not 3 --not 4 --not 5 --not 6"}) {
        EXPECT_EQ(2, Cli(args).status) << args;
    }
}

TEST_F(QuillonCliTest, ExtractAddsContextAndJoinsTexts) {
    CRun run = Cli("extract app.log trace --before 1 --after 1");
    EXPECT_EQ(0, run.status);
    EXPECT_EQ(
        "2\t2024-05-31 23:59:58.250\t00:00:00.000\t\t2024-05-31 23:59:58,250 INFO start\n"
        "3\t2024-05-31 23:59:58.250\t00:00:00.000\t\t\tat trace line\n"
        "4\t2024-05-31 23:59:59.900\t00:00:01.650\t\t2024-05-31 23:59:59.900 ERROR boom\n",
        run.out);
    EXPECT_EQ("4\t2024-05-31 23:59:59.900\t00:00:00.000\t\t2024-05-31 23:59:59.900 ERROR boom\n",
              Cli("extract app.log ERROR boom --and").out);
    // --raw: the original bytes, every line break as it is in the log (empty lines are no rows).
    EXPECT_EQ("2024-05-31 23:59:58,250 INFO start\r\n\tat trace line\r\n2024-05-31 23:59:59.900 ERROR boom\n",
              Cli("extract app.log trace --before 1 --after 1 --raw").out);
    EXPECT_EQ("Jun  1 00:00:09 sys \xFF bad byte\r\n", Cli("extract app.log 'bad byte' --raw").out);
    EXPECT_EQ("last line ERROR without break", Cli("extract app.log 'without break' --raw").out);
    EXPECT_EQ(2, Cli("rows app.log --raw").status);  // only extract takes it
    // OR: any of the texts; lines 1 and 7 both hold "without".
    std::string any = Cli("extract app.log boom without start").out;
    EXPECT_EQ(4u, Lines(any));
    EXPECT_EQ(0u, any.find("1\t"));
    EXPECT_NE(std::string::npos, any.find("\n2\t"));
    EXPECT_NE(std::string::npos, any.find("\n4\t"));
    EXPECT_NE(std::string::npos, any.find("\n7\t"));
    EXPECT_EQ(1, Cli("extract app.log nothing-like-this").status);
    EXPECT_EQ(1, Cli("extract app.log ''").status);
    // Huge context on the seven rows: exactly the limit is printed, one row more is an error.
    EXPECT_EQ(7u, Lines(Cli("extract app.log trace --before 2000000000 --after 2000000000 --max-rows 7").out));
    CRun big = Cli("extract app.log trace --before 2000000000 --after 2000000000 --max-rows 6");
    EXPECT_EQ(2, big.status);
    EXPECT_EQ("quillon-cli: the extraction from 'app.log' is too large: more than 6 rows (use fewer context lines)\n",
              big.err);
    EXPECT_EQ("", big.out);
}

TEST_F(QuillonCliTest, ViewerConfigurationIsReadButNeverWritten) {
    WriteBytes(m_dir.FsPath("quillon.ini"), Settings(1, 5000, 1, 0));
    WriteBytes(m_dir.FsPath("keyword_default.xml"), Keywords(Emphasis("boom", 1)));
    std::set<std::string> before = Files();
    // The settings' interval check and context lines, and the keyword file beside them.
    EXPECT_EQ(0u, Cli("rows app.log --count 2").out.find("1\t\t\t\theader"));
    EXPECT_NE(std::string::npos, Cli("rows app.log --count 2").out.find("23:59:58.250\t!\t"));
    EXPECT_EQ(0u, Cli("extract app.log boom").out.find("3\t"));
    EXPECT_EQ("4", Cli("errors app.log").out.substr(0, 1));
    // --no-config ignores them; named files are still read.
    EXPECT_EQ(std::string::npos, Cli("--no-config rows app.log").out.find("\t!\t"));
    EXPECT_EQ(1, Cli("--no-config errors app.log").status);
    WriteBytes(m_dir.FsPath("other.ini"), Settings(1, 0, 0, 0));
    std::set<std::string> withOther = Files();
    EXPECT_NE(std::string::npos, Cli("--no-config --settings other.ini rows app.log").out.find("00:00:00.000\t!\t"));
    EXPECT_EQ(3u, Lines(Cli("--keywords errors.xml errors app.log").out));
    Cli("--trace info app.log");
    EXPECT_EQ(withOther, Files());
    EXPECT_EQ(before.size() + 1, withOther.size());
    EXPECT_NE(std::string::npos, Cli("--trace info app.log").err.find("current_path = "));
}

TEST_F(QuillonCliTest, EncodingDecidesHowBytesAreDecoded) {
    // "エラー" in Shift_JIS.
    WriteBytes(m_dir.FsPath("sjis.log"), "2024-01-02 03:04:05 \x83\x47\x83\x89\x81\x5B\r\n");
    CRun run = Cli("--encoding 932 rows sjis.log");
    EXPECT_EQ(0, run.status);
    EXPECT_EQ("1\t2024-01-02 03:04:05.000\t00:00:00.000\t\t2024-01-02 03:04:05 \xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC\n",
              run.out);
    EXPECT_EQ(0, Cli("--encoding 932 search sjis.log \xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC").status);
    EXPECT_EQ(1, Cli("--encoding utf-8 search sjis.log \xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC").status);
    EXPECT_EQ(0, Cli("--encoding ansi rows app.log --count 1").status);
}

// Auto reads a UTF-8 log with its byte-order mark as UTF-8 (the mark starts no line); a
// log with a UTF-16 mark is UTF-16 whatever the encoding asked for.
TEST_F(QuillonCliTest, AutoEncodingAndUtf16Logs) {
    WriteBytes(m_dir.FsPath("bom.log"),
               "\xEF\xBB\xBF"
               "2024-01-02 03:04:05 caf\xC3\xA9\r\n");
    EXPECT_EQ("1\t2024-01-02 03:04:05.000\t00:00:00.000\t\t2024-01-02 03:04:05 caf\xC3\xA9\n",
              Cli("--encoding auto rows bom.log").out);
    EXPECT_NE(std::string::npos, Cli("--encoding ansi rows bom.log")
                                     .out.find("\t\t\xEF\xBB\xBF"
                                               "2024"));
    std::u16string text = u"2024-01-02 03:04:05 エラー one\r\n\r\n2024-01-02 03:04:07 two\u0D0A\r\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) bytes += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    WriteBytes(m_dir.FsPath("wide.log"), bytes);
    const std::string rows =
        "1\t2024-01-02 03:04:05.000\t00:00:00.000\t\t2024-01-02 03:04:05 \xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC one\n"
        "2\t2024-01-02 03:04:07.000\t00:00:02.000\t\t2024-01-02 03:04:07 two\xE0\xB4\x8A\n";
    for (const char* encoding : {"auto", "ansi", "utf-8"}) {
        EXPECT_EQ(rows, Cli(std::string("--encoding ") + encoding + " rows wide.log").out) << encoding;
    }
    EXPECT_EQ(rows.substr(0, rows.find('\n') + 1), Cli("search wide.log \xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC").out);
    // The extraction's first row has no earlier row to measure from.
    EXPECT_EQ("2\t2024-01-02 03:04:07.000\t00:00:00.000\t\t2024-01-02 03:04:07 two\xE0\xB4\x8A\n",
              Cli("extract wide.log two").out);
}

TEST_F(QuillonCliTest, UsageErrorsAndFilesThatCannotBeOpenedExitWithTwo) {
    struct Case {
        const char* args;
        const char* message;
    } cases[] = {
        {"", "quillon-cli: missing command (see quillon-cli --help)\n"},
        {"rows", "quillon-cli: missing log file (see quillon-cli --help)\n"},
        {"list app.log", "quillon-cli: unknown command 'list' (see quillon-cli --help)\n"},
        {"rows app.log --colour", "quillon-cli: unknown option '--colour' (see quillon-cli --help)\n"},
        {"rows app.log --from", "quillon-cli: option '--from' needs a value\n"},
        {"rows app.log --from -1", "quillon-cli: option '--from' takes a whole number of 0 or more, not '-1'\n"},
        {"rows app.log --backward", "quillon-cli: option '--backward' does not apply to this command\n"},
        {"info app.log extra", "quillon-cli: unexpected argument 'extra'\n"},
        {"search app.log", "quillon-cli: search needs a text\n"},
        {"search app.log a b", "quillon-cli: search takes one text, not 2\n"},
        {"extract app.log a b c d e f", "quillon-cli: extract takes 1 to 5 texts, not 6\n"},
        {"--encoding latin rows app.log",
         "quillon-cli: unknown encoding 'latin' (auto, ansi, utf-8 or a code page number)\n"},
        {"--encoding 64999 rows app.log", "quillon-cli: code page 64999 is not available here\n"},
        {"rows missing.log", "quillon-cli: cannot open 'missing.log': no such file\n"},
        {"rows .", "quillon-cli: cannot open '.': it is a folder\n"},
        {"--keywords none.xml info app.log", "quillon-cli: cannot open keyword file 'none.xml': no such file\n"},
        {"--settings none.ini info app.log", "quillon-cli: cannot open settings file 'none.ini': no such file\n"},
    };
    for (const Case& c : cases) {
        CRun run = Cli(c.args);
        EXPECT_EQ(2, run.status) << c.args;
        EXPECT_EQ(c.message, run.err) << c.args;
        EXPECT_EQ("", run.out) << c.args;
    }
    CRun help = Cli("--help");
    EXPECT_EQ(0, help.status);
    EXPECT_EQ(0u, help.out.find("usage: quillon-cli [options] <command> <log-file> [arguments]\n"));
}

// The timeline counts each stamped row at its own time, empty buckets too; --at-time starts
// the rows at the first at or after a time (a time alone: the log's first day).
TEST_F(QuillonCliTest, TimelineAndRowsAtATime) {
    CRun auto1 = Cli("--keywords errors.xml timeline app.log");
    EXPECT_EQ(0, auto1.status);
    EXPECT_EQ(12u, Lines(auto1.out));
    EXPECT_EQ(0u, auto1.out.find("2024-05-31 23:59:58\t2\t0\n2024-05-31 23:59:59\t1\t1\n"
                                 "2024-06-01 00:00:00\t0\t0\n"))
        << auto1.out;
    EXPECT_NE(std::string::npos, auto1.out.find("\n2024-06-01 00:00:03\t1\t1\n2024-06-01 00:00:04\t0\t0\n"));
    const std::string last = "\n2024-06-01 00:00:08\t0\t0\n2024-06-01 00:00:09\t2\t1\n";
    EXPECT_EQ(auto1.out.size() - last.size(), auto1.out.rfind(last));
    EXPECT_EQ("2024-05-31 23:59:55\t3\t1\n2024-06-01 00:00:00\t1\t1\n2024-06-01 00:00:05\t2\t1\n",
              Cli("--keywords errors.xml timeline app.log --bucket 5").out);
    WriteBytes(m_dir.FsPath("clock.log"), "23:59:59 a\n00:00:01 b\n");
    EXPECT_EQ("00:00:00\t1\t0\n12:00:00\t1\t0\n",
              Cli("--no-config --stamp-pattern '%H:%M:%S' timeline clock.log --bucket 43200").out);
    WriteBytes(m_dir.FsPath("plain.log"), "no stamp\nnone here\n");
    CRun plain = Cli("--no-config timeline plain.log");
    EXPECT_EQ(1, plain.status);
    EXPECT_EQ("quillon-cli: 'plain.log' has no time stamps\n", plain.err);

    CRun at = Cli("--no-config rows app.log --at-time '2024-06-01 00:00:00' --count 1");
    EXPECT_EQ(0, at.status);
    EXPECT_EQ(0u, at.out.find("5\t2024-06-01 00:00:03.000\t99:99:99.999\t")) << at.out;
    EXPECT_EQ(1u, Lines(at.out));
    EXPECT_EQ(0u, Cli("--no-config rows app.log --at-time 23:59:59").out.find("4\t2024-05-31 23:59:59.900\t"));
    CRun none = Cli("--no-config rows app.log --at-time '2024-06-01 00:00:09.001'");
    EXPECT_EQ(1, none.status);
    EXPECT_EQ("", none.out);
    struct Case {
        const char* args;
        const char* message;
    } cases[] = {
        {"rows app.log --at-time 12:00",
         "quillon-cli: option '--at-time' takes hh:mm:ss[.mmm] or yyyy-mm-dd hh:mm:ss[.mmm], not '12:00'\n"},
        {"rows app.log --at-time 12:00:00 --from 2", "quillon-cli: option '--at-time' takes no --from or --follow\n"},
        {"timeline app.log --bucket 0", "quillon-cli: option '--bucket' takes a number of seconds above 0\n"},
        {"timeline app.log --count 3", "quillon-cli: option '--count' does not apply to this command\n"},
        {"search app.log x --at-time 12:00:00", "quillon-cli: option '--at-time' does not apply to this command\n"},
    };
    for (const Case& c : cases) {
        CRun run = Cli(c.args);
        EXPECT_EQ(2, run.status) << c.args;
        EXPECT_EQ(c.message, run.err) << c.args;
    }
}

// Stamps beyond the line start: all forms without a settings file, as the settings say with
// one, basic with --no-config; --stamps overrides; --stamp-pattern comes before the forms.
TEST_F(QuillonCliTest, StampFormsFollowTheSettingsAndTheOptions) {
    WriteBytes(m_dir.FsPath("more.log"),
               "[Sun Dec 04 04:47:44 2005] [error] a\n"
               "1131566461 b\n"
               "host 08:00:01 c\n");
    WriteBytes(m_dir.FsPath("old.ini"), Settings(0, 0, 0, 0));
    CRun all = Cli("info more.log");
    EXPECT_NE(std::string::npos, all.out.find("\nstamp form\tc-library\nrows with a stamp\t2 (66.6%)\n")) << all.out;
    CRun basic = Cli("--no-config info more.log");
    EXPECT_NE(std::string::npos, basic.out.find("\nstamp form\t\nrows with a stamp\t0 (0.0%)\n")) << basic.out;
    CRun old = Cli("--settings old.ini info more.log");
    EXPECT_EQ(basic.out, old.out);
    CRun rows = Cli("--settings old.ini --stamps all --stamp-pattern '#2:%H:%M:%S' rows more.log");
    EXPECT_EQ(
        "1\t2005-12-04 04:47:44.000\t00:00:00.000\t\t[Sun Dec 04 04:47:44 2005] [error] a\n"
        "2\t2005-11-09 20:01:01.000\t15:13:17.000\t\t1131566461 b\n"
        "3\t0000-01-01 08:00:01.000\t99:99:99.999\t\thost 08:00:01 c\n",
        rows.out);
    CRun bad = Cli("--stamp-pattern '%Y-%m-%d' info more.log");
    EXPECT_EQ(2, bad.status);
    EXPECT_NE(std::string::npos, bad.err.find("bad stamp pattern '%Y-%m-%d': a stamp needs %H, %M and %S")) << bad.err;
    EXPECT_EQ(2, Cli("--stamps some info more.log").status);
}

// Colour codes are hidden as the viewer hides them: without a settings file, as the settings
// say with one (a file from before them keeps them), kept with --no-config; --escapes
// overrides. Search and extract match what is printed; extract --raw keeps every byte.
TEST_F(QuillonCliTest, EscapesAreHiddenAsTheSettingsSayAndMatchedAsPrinted) {
    const std::string second = "\x1b[31mERR\x1b[1mOR\x1b[0m disk\x1b[K\n";
    WriteBytes(m_dir.FsPath("colour.log"), "\x1b[32mok\x1b[0m start [31m\n" + second);
    WriteBytes(m_dir.FsPath("old.ini"), Settings(0, 0, 0, 0));
    CRun hidden = Cli("rows colour.log");
    EXPECT_NE(std::string::npos, hidden.out.find("\tok start [31m\n")) << hidden.out;
    EXPECT_NE(std::string::npos, hidden.out.find("\tERROR disk\n")) << hidden.out;
    EXPECT_EQ(hidden.out, Cli("--no-config --escapes hide rows colour.log").out);
    CRun kept = Cli("--no-config rows colour.log");
    EXPECT_NE(std::string::npos, kept.out.find("\t" + second)) << kept.out;
    EXPECT_EQ(kept.out, Cli("--settings old.ini rows colour.log").out);
    EXPECT_EQ(kept.out, Cli("--escapes keep rows colour.log").out);

    EXPECT_EQ(0, Cli("search colour.log ERROR").status);
    EXPECT_EQ(1, Cli("--no-config search colour.log ERROR").status);
    CRun code = Cli("search colour.log --from 1 '[31m'");
    EXPECT_EQ(1, code.status) << code.out;
    EXPECT_EQ(0, Cli("--settings old.ini search colour.log --from 1 '[31m'").status);
    CRun extracted = Cli("extract colour.log 'ERROR disk'");
    EXPECT_EQ(1u, Lines(extracted.out));
    EXPECT_EQ(second, Cli("extract colour.log 'ERROR disk' --raw").out);
    EXPECT_EQ(1, Cli("--no-config extract colour.log 'ERROR disk'").status);
    EXPECT_EQ(2, Cli("--escapes some rows colour.log").status);
}

TEST_F(QuillonCliTest, EmptyLogHasInfoButNoRows) {
    WriteBytes(m_dir.FsPath("empty.log"), "");
    CRun info = Cli("info empty.log");
    EXPECT_EQ(0, info.status);
    EXPECT_EQ(
        "file\tempty.log\nsize\t0\nlines\t0\nerror lines\t0\nfirst time stamp\t\nlast time stamp\t\nstamp form\t\n"
        "rows with a stamp\t0 (0.0%)\n",
        info.out);
    EXPECT_EQ(1, Cli("rows empty.log").status);
    EXPECT_EQ(1, Cli("search empty.log x").status);
}

}  // namespace

namespace {

// Reads path until it holds want (or ten seconds have passed); what it held last.
std::string WaitForOutput(const std::filesystem::path& path, const std::string& want) {
    std::string text;
    for (int i = 0; i < 1000 && text.find(want) == std::string::npos; ++i) {
        usleep(10000);
        text = ReadBytes(path);
    }
    return text;
}

// rows --follow prints appended rows as they complete, a line only once its break has come,
// and after a truncation the log from its start; errors --follow prints the new error rows.
TEST_F(QuillonCliTest, FollowPrintsRowsAsTheyArrive) {
    for (const char* command : {"rows", "errors"}) {
        WriteBytes(m_dir.FsPath("grow.log"), "2024-01-01 00:00:00 first\r\n2024-01-01 00:00:01 ERROR one\r\npart");
        std::filesystem::path out = m_dir.Path() / "out.txt";
        std::filesystem::remove(out);
        std::string launch = "cd '" + m_dir.Path().string() + "' && { '" QUILLON_CLI_PATH "' --keywords errors.xml " +
                             command + " grow.log --follow >out.txt 2>err.txt & echo $! >pid.txt; }";
        ASSERT_EQ(0, std::system(launch.c_str()));
        bool rows = std::string(command) == "rows";
        std::string text = WaitForOutput(out, "ERROR one\n");
        EXPECT_EQ(rows ? "1\t2024-01-01 00:00:00.000\t00:00:00.000\t\t2024-01-01 00:00:00 first\n"
                         "2\t2024-01-01 00:00:01.000\t00:00:01.000\t\t2024-01-01 00:00:01 ERROR one\n"
                       : "2\t2024-01-01 00:00:01.000\t00:00:00.000\t\t2024-01-01 00:00:01 ERROR one\n",
                  text);
        std::FILE* f = std::fopen((m_dir.Path() / "grow.log").string().c_str(), "ab");
        std::fputs("ial ERROR\r", f);
        std::fflush(f);
        text = WaitForOutput(out, "partial ERROR\n");
        std::fputs("\n2024-01-01 00:00:09 last\r\n", f);
        std::fclose(f);
        if (rows) text = WaitForOutput(out, "last\n");
        EXPECT_NE(std::string::npos, text.find("3\t2024-01-01 00:00:01.000\t00:00:00.000\t\tpartial ERROR\n")) << text;
        EXPECT_EQ(rows, text.find("4\t2024-01-01 00:00:09.000\t00:00:08.000\t\t2024-01-01 00:00:09 last\n") !=
                            std::string::npos)
            << text;
        // Shorter: read again from the start.
        WriteBytes(m_dir.FsPath("grow.log"), "2024-01-01 00:00:00 ERROR again\r\n");
        text = WaitForOutput(out, "again\n");
        EXPECT_NE(std::string::npos,
                  text.find("1\t2024-01-01 00:00:00.000\t00:00:00.000\t\t2024-01-01 00:00:00 ERROR again\n"))
            << text;
        std::string kill = "kill $(cat '" + (m_dir.Path() / "pid.txt").string() + "')";
        std::system(kill.c_str());
        EXPECT_NE(std::string::npos, ReadBytes(m_dir.Path() / "err.txt").find("became shorter"));
    }
}

// Follow mode waits for rows that have not come yet, and judges a UTF-16 row complete by its
// last unit: a little-endian row shows as soon as its break has come, a big-endian unit
// ending in byte 0A is no break. A log that was empty is detected when its bytes come.
TEST_F(QuillonCliTest, FollowWaitsForRowsAndReadsUtf16ByUnits) {
    auto utf16 = [](const std::u16string& text, bool big) {
        std::string bytes;
        for (char16_t c : text) {
            char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
            bytes += big ? std::string{high, low} : std::string{low, high};
        }
        return bytes;
    };
    WriteBytes(m_dir.FsPath("empty.log"), "");
    WriteBytes(m_dir.FsPath("blank.log"), "\r\n\r\n");
    WriteBytes(m_dir.FsPath("be.log"), "\xFE\xFF" + utf16(u"partial \u4E0A", true));
    struct Follower {
        const char* log;
        const char* args;
        std::string append;
        std::string want;
    } followers[] = {
        {"empty.log", "", "\xFF\xFE" + utf16(u"one\r\n", false), "1\t\t\t\tone\n"},
        {"blank.log", " --from 1", "one\r\ntwo\r\n", "2\t\t\t\ttwo\n"},
        {"be.log", "", utf16(u"\u4E0B\r\n", true), "1\t\t\t\tpartial \xE4\xB8\x8A\xE4\xB8\x8B\n"},
    };
    std::vector<std::string> pids;
    for (const Follower& f : followers) {
        std::string name = std::string(f.log) + ".out";
        std::string launch = "cd '" + m_dir.Path().string() + "' && { '" QUILLON_CLI_PATH "' --no-config rows " +
                             f.log + f.args + " --follow >" + name + " 2>/dev/null & echo $! >pid.txt; }";
        ASSERT_EQ(0, std::system(launch.c_str()));
        pids.push_back(ReadBytes(m_dir.Path() / "pid.txt"));
        // Appended once the program holds the log open, so that it sees it as it was.
        std::filesystem::path fds = "/proc/" + pids.back().substr(0, pids.back().find('\n')) + "/fd";
        bool open = false;
        for (int i = 0; i < 1000 && !open; ++i) {
            std::error_code error;
            for (const auto& e : std::filesystem::directory_iterator(fds, error)) {
                open = open || std::filesystem::read_symlink(e.path(), error).filename() == f.log;
            }
            if (!open) usleep(10000);
        }
        EXPECT_TRUE(open) << f.log;
    }
    for (const Follower& f : followers) {
        std::FILE* file = std::fopen((m_dir.Path() / f.log).string().c_str(), "ab");
        std::fwrite(f.append.data(), 1, f.append.size(), file);
        std::fclose(file);
    }
    for (const Follower& f : followers) {
        EXPECT_EQ(f.want, WaitForOutput(m_dir.Path() / (std::string(f.log) + ".out"), f.want)) << f.log;
    }
    for (const std::string& pid : pids) std::system(("kill " + pid).c_str());
}

}  // namespace

// Two logs merged by time: a UTF-8 log whose stamps name their zone, and a UTF-16 log;
// equal times keep the logs' order, unstamped rows stay after theirs.
TEST_F(QuillonCliTest, MergedLogsPrintTheirRowsByTimeAfterTheirNames) {
    WriteBytes(m_dir.FsPath("web.log"),
               "boot web\n"
               "2024-05-31T12:00:01.000+02:00 web GET\n"
               "\tcontinuation web\n"
               "2024-05-31 10:00:03.000 web ERROR down\n");
    std::string db;
    for (char c : std::string("2024-05-31 10:00:01.000 db ERROR lock\r\n2024-05-31 10:00:02.500 db commit\r\n")) {
        db += c;
        db += '\0';
    }
    WriteBytes(m_dir.FsPath("db.log"), "\xFF\xFE" + db);
    const std::string options = " --keywords errors.xml --stamps all --encoding utf-8 ";
    CRun rows = Cli("rows" + options + "--merge web.log db.log");
    EXPECT_EQ(0, rows.status);
    EXPECT_EQ(
        "web.log\t1\t\t\t\tboot web\n"
        "web.log\t2\t2024-05-31 10:00:01.000\t10:00:01.000\t\t2024-05-31T12:00:01.000+02:00 web GET\n"
        "web.log\t3\t2024-05-31 10:00:01.000\t00:00:00.000\t\t\tcontinuation web\n"
        "db.log\t1\t2024-05-31 10:00:01.000\t00:00:00.000\t\t2024-05-31 10:00:01.000 db ERROR lock\n"
        "db.log\t2\t2024-05-31 10:00:02.500\t00:00:01.500\t\t2024-05-31 10:00:02.500 db commit\n"
        "web.log\t4\t2024-05-31 10:00:03.000\t00:00:00.500\t\t2024-05-31 10:00:03.000 web ERROR down\n",
        rows.out);
    EXPECT_EQ("", rows.err);
    // The logs in the other order: equal times now put db.log's row first.
    CRun swapped = Cli("rows" + options + "--from 1 --count 2 --merge db.log web.log");
    EXPECT_EQ(
        "db.log\t1\t2024-05-31 10:00:01.000\t10:00:01.000\t\t2024-05-31 10:00:01.000 db ERROR lock\n"
        "web.log\t2\t2024-05-31 10:00:01.000\t00:00:00.000\t\t2024-05-31T12:00:01.000+02:00 web GET\n",
        swapped.out);

    CRun errors = Cli("errors" + options + "--merge web.log db.log");
    EXPECT_EQ(
        "db.log\t1\t2024-05-31 10:00:01.000\t00:00:00.000\t\t2024-05-31 10:00:01.000 db ERROR lock\n"
        "web.log\t4\t2024-05-31 10:00:03.000\t00:00:02.000\t\t2024-05-31 10:00:03.000 web ERROR down\n",
        errors.out);
    // A search from a merged row finds the nearest hit of any log, either way.
    EXPECT_EQ("db.log\t1\t2024-05-31 10:00:01.000\t00:00:00.000\t\t2024-05-31 10:00:01.000 db ERROR lock\n",
              Cli("search ERROR" + options + "--from 1 --merge web.log db.log").out);
    EXPECT_EQ("web.log\t4\t2024-05-31 10:00:03.000\t00:00:00.500\t\t2024-05-31 10:00:03.000 web ERROR down\n",
              Cli("search" + options + "--from 5 --backward --merge web.log db.log -- ERROR").out);
    EXPECT_EQ("db.log\t1\t2024-05-31 10:00:01.000\t00:00:00.000\t\t2024-05-31 10:00:01.000 db ERROR lock\n",
              Cli("search" + options + "--from 4 --backward --merge web.log db.log -- ERROR").out);
    // Context is the merged rows around each hit.
    CRun extract = Cli("extract commit" + options + "--before 1 --after 1 --merge web.log db.log");
    EXPECT_EQ(
        "db.log\t1\t2024-05-31 10:00:01.000\t00:00:00.000\t\t2024-05-31 10:00:01.000 db ERROR lock\n"
        "db.log\t2\t2024-05-31 10:00:02.500\t00:00:01.500\t\t2024-05-31 10:00:02.500 db commit\n"
        "web.log\t4\t2024-05-31 10:00:03.000\t00:00:00.500\t\t2024-05-31 10:00:03.000 web ERROR down\n",
        extract.out);
    EXPECT_EQ("2024-05-31 10:00:01\t3\t1\n2024-05-31 10:00:02\t1\t0\n2024-05-31 10:00:03\t1\t1\n",
              Cli("timeline" + options + "--bucket 1 --merge web.log db.log").out);
    EXPECT_EQ("web.log\t4\t2024-05-31 10:00:03.000\t00:00:00.500\t\t2024-05-31 10:00:03.000 web ERROR down\n",
              Cli("rows" + options + "--at-time 10:00:02.600 --merge web.log db.log").out);

    // An offset moves a log's times: a minute on puts db.log's rows after web.log's.
    EXPECT_EQ(
        "web.log\t4\t2024-05-31 10:00:03.000\t00:00:02.000\t\t2024-05-31 10:00:03.000 web ERROR down\n"
        "db.log\t1\t2024-05-31 10:00:01.000\t99:99:99.999\t\t2024-05-31 10:00:01.000 db ERROR lock\n",
        Cli("rows" + options + "--from 3 --count 2 --offsets 0,+1 --merge web.log db.log").out);

    EXPECT_EQ(2, Cli("rows --offsets 0,1,2 --merge web.log db.log").status);
    EXPECT_EQ(2, Cli("rows --merge web.log").status);
    EXPECT_EQ(2, Cli("rows --follow --merge web.log db.log").status);
    CRun missing = Cli("rows --merge web.log nothing.log");
    EXPECT_EQ(2, missing.status);
    EXPECT_EQ("", missing.out);
}

namespace {

// Every command gives for a gzip log (two members, split inside a line) and for a zip
// archive's entry what it gives for the log itself; info adds the compressed figures, and a
// log cut short says so.
TEST_F(QuillonCliTest, CompressedLogsReadAsTheLogItselfForEveryCommand) {
    std::string dir = m_dir.Path().string();
    std::string script = "cd '" + dir +
                         "' && head -c 100 app.log | gzip -c > two.gz && tail -c +101 app.log | gzip -9 -c >> two.gz"
                         " && zip -q -0 logs.zip errors.xml && zip -q logs.zip app.log && head -c 120 two.gz > cut.gz";
    ASSERT_EQ(0, std::system(script.c_str()));
    // The log goes where "@" stands.
    const char* commands[] = {"--keywords errors.xml errors @",
                              "rows --interval-check 1000 @",
                              "search --from 2 @ --ignore-case boom",
                              "--keywords errors.xml extract @ error --before 1 --after 1",
                              "extract @ --raw ERROR",
                              "timeline @ --bucket 1",
                              "rows @ --at-time 00:00:03"};
    auto with = [](std::string command, const char* log) { return command.replace(command.find('@'), 1, log); };
    for (const char* command : commands) {
        CRun plain = Cli(with(command, "app.log"));
        for (const char* packed : {"two.gz", "--entry app.log logs.zip", "logs.zip --entry 2"}) {
            CRun run = Cli(with(command, packed));
            EXPECT_EQ(plain.status, run.status) << command << packed;
            EXPECT_EQ(plain.out, run.out) << command << packed;
            EXPECT_EQ("", run.err) << command << packed;
        }
    }
    CRun info = Cli("--keywords errors.xml info two.gz");
    EXPECT_EQ(0, info.status);
    EXPECT_NE(std::string::npos,
              info.out.find("size\t" + std::to_string(sizeof kLog - 1) + "\nlines\t7\nerror lines\t3\n"));
    EXPECT_NE(std::string::npos, info.out.find("compressed\tgzip\ncompressed size\t"));
    CRun entry = Cli("info logs.zip --entry app.log");
    EXPECT_NE(std::string::npos, entry.out.find("compressed\tzip, deflate\n"));
    EXPECT_NE(std::string::npos, entry.out.find("entry\tapp.log (2 of 2)\n"));
    CRun missing = Cli("info logs.zip --entry other.log");
    EXPECT_EQ(2, missing.status);
    EXPECT_EQ("quillon-cli: 'logs.zip' has no entry 'other.log'\n", missing.err);
    CRun cut = Cli("info cut.gz");
    EXPECT_EQ(0, cut.status);
    EXPECT_NE(std::string::npos, cut.out.find("incomplete\tits compressed data ends early\n"));
    EXPECT_EQ("quillon-cli: 'cut.gz' is incomplete: its compressed data ends early\n", cut.err);
    CRun follow = Cli("rows --follow two.gz");
    EXPECT_EQ(2, follow.status);
    EXPECT_EQ("quillon-cli: 'two.gz' is compressed: it cannot be followed\n", follow.err);
}

}  // namespace

// CFileName's splitting rules, including pieces kept from an earlier path.
#include "foundation/file_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string S(const CString& s) {
    return s.Data() != nullptr ? std::string(s.Data(), static_cast<size_t>(s.Length())) : std::string("<none>");
}

TEST(CFileNameTest, FullWindowsPath) {
    CFileName n;
    ASSERT_EQ(1, n.SetPath("C:\\logs\\app.log"));
    EXPECT_EQ("C:\\logs\\app.log", S(n.m_path));
    EXPECT_EQ("C:\\logs", S(n.m_folder));
    EXPECT_EQ("app.log", S(n.m_fileName));
    EXPECT_EQ("app", S(n.m_baseName));
    EXPECT_EQ("log", S(n.m_extension));
    EXPECT_EQ(8, n.m_nameStart);
    EXPECT_EQ(12, n.m_extensionStart);
}

TEST(CFileNameTest, ForwardAndMixedSeparators) {
    CFileName a;
    a.SetPath("/var/log/app.log");
    EXPECT_EQ("/var/log", S(a.m_folder));
    EXPECT_EQ("app.log", S(a.m_fileName));
    CFileName b;
    b.SetPath("C:\\logs/sub\\x.txt");
    EXPECT_EQ("C:\\logs/sub", S(b.m_folder));
    EXPECT_EQ("x", S(b.m_baseName));
    EXPECT_EQ("txt", S(b.m_extension));
}

TEST(CFileNameTest, DotOnlyInFolderName) {
    CFileName n;
    n.SetPath("C:\\logs.old\\app");
    EXPECT_EQ("app", S(n.m_baseName));
    EXPECT_EQ(-1, n.m_extensionStart);
    EXPECT_EQ("<none>", S(n.m_extension));
}

TEST(CFileNameTest, DotFileHasEmptyBaseName) {
    CFileName n;
    n.SetPath("C:\\logs\\.profile");
    EXPECT_EQ("", S(n.m_baseName));
    EXPECT_EQ("<none>", S(n.m_extension));
    EXPECT_EQ(".profile", S(n.m_fileName));
}

TEST(CFileNameTest, TrailingSeparatorKeepsEarlierPieces) {
    CFileName n;
    n.SetPath("D:\\old\\first.txt");
    n.SetPath("C:\\logs\\");
    EXPECT_EQ("C:\\logs", S(n.m_folder));
    EXPECT_EQ("first.txt", S(n.m_fileName));
    EXPECT_EQ("first", S(n.m_baseName));
    EXPECT_EQ(-1, n.m_nameStart);
}

TEST(CFileNameTest, NoSeparator) {
    CFileName n;
    n.SetPath("app.log");
    EXPECT_EQ("app", S(n.m_baseName));
    EXPECT_EQ("log", S(n.m_extension));
    EXPECT_EQ("<none>", S(n.m_folder));
    EXPECT_EQ("<none>", S(n.m_fileName));
    EXPECT_EQ(0, n.m_nameStart);
    EXPECT_EQ(4, n.m_extensionStart);
}

TEST(CFileNameTest, LastDotSplitsExtension) {
    CFileName n;
    n.SetPath("C:\\logs\\archive.tar.gz");
    EXPECT_EQ("archive.tar", S(n.m_baseName));
    EXPECT_EQ("gz", S(n.m_extension));
}

TEST(CFileNameTest, PiecesAreTrimmedAndStartsSkipBlanks) {
    CFileName n;
    n.SetPath("C:\\dir \\  name . ext ");
    EXPECT_EQ("C:\\dir", S(n.m_folder));
    EXPECT_EQ("name . ext", S(n.m_fileName));
    EXPECT_EQ("name", S(n.m_baseName));
    EXPECT_EQ("ext", S(n.m_extension));
    EXPECT_EQ(10, n.m_nameStart);
    EXPECT_EQ(17, n.m_extensionStart);
}

TEST(CFileNameTest, LeadingSeparatorOnlyAndNullPath) {
    CFileName n;
    n.SetPath("\\app.log");
    EXPECT_EQ("<none>", S(n.m_folder));
    EXPECT_EQ("app", S(n.m_baseName));
    EXPECT_EQ(1, n.m_nameStart);
    EXPECT_EQ(0, n.SetPath(nullptr));
    EXPECT_EQ("\\app.log", S(n.m_path));
    EXPECT_EQ(0, n.SetPathWide(u""));
    EXPECT_EQ(0, n.SetPathWide(nullptr));
    EXPECT_EQ(1, n.SetPathWide(u"C:\\ログ\\記録.log"));
    EXPECT_EQ(std::u16string(u"記録.log"), std::u16string(n.m_fileName.GetWide()));
}

}  // namespace

// Where the trace library is looked for: beside the program only. Under Wine, a library
// planted in the current folder is not loaded, and one beside the program is.
#include "foundation/trace.h"

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <windows.h>

#include <filesystem>

#include "foundation/wide.h"
#include "test_support.h"
#endif

namespace {

std::u16string LibraryPath(const char16_t* exe, int capacity = 300) {
    std::u16string out(static_cast<size_t>(capacity), u'x');
    if (TraceLibraryPath(exe, &out[0], capacity) == 0) return out[0] == 0 ? u"<none>" : u"<not emptied>";
    return std::u16string(out.c_str());
}

TEST(TraceLibrary, ThePathIsTheProgramsFolderAndTheLibraryName) {
    EXPECT_EQ(u"C:\\Program Files\\Quillon\\tracelib64.dll", LibraryPath(u"C:\\Program Files\\Quillon\\quillon.exe"));
    EXPECT_EQ(u"C:\\tracelib64.dll", LibraryPath(u"C:\\quillon.exe"));
    EXPECT_EQ(u"\\\\server\\share\\tracelib64.dll", LibraryPath(u"\\\\server\\share\\quillon.exe"));
    EXPECT_EQ(u"\\\\?\\D:\\a b\\tracelib64.dll", LibraryPath(u"\\\\?\\D:\\a b\\quillon.exe"));
    EXPECT_EQ(u"/opt/quillon/tracelib64.dll", LibraryPath(u"/opt/quillon/quillon"));
    // Never a path that a search or the current folder would complete.
    for (const char16_t* relative :
         {u"quillon.exe", u"bin\\quillon.exe", u"C:quillon.exe", u"", static_cast<const char16_t*>(nullptr)}) {
        EXPECT_EQ(u"<none>", LibraryPath(relative));
    }
    // Exactly fitting, and one unit short.
    const std::u16string fits = u"C:\\q\\tracelib64.dll";
    EXPECT_EQ(fits, LibraryPath(u"C:\\q\\quillon.exe", static_cast<int>(fits.size()) + 1));
    EXPECT_EQ(u"<none>", LibraryPath(u"C:\\q\\quillon.exe", static_cast<int>(fits.size())));
}

#ifdef _WIN32
// The stub library built beside this test exports "tracewprintf" returning 4242.
TEST(TraceLibrary, OnlyTheCopyBesideTheProgramIsLoaded) {
    namespace fs = std::filesystem;
    wchar_t exe[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
    const fs::path folder = fs::path(exe).parent_path();
    const fs::path stub = folder / "trace_stub.dll";
    const fs::path beside = folder / "tracelib64.dll";
    ASSERT_TRUE(fs::exists(stub));
    fs::remove(beside);
    testing_support::TempDir planted;
    fs::copy_file(stub, planted.FsPath("tracelib64.dll"));
    const fs::path before = fs::current_path();
    fs::current_path(planted.Path());
    EXPECT_EQ(0, LoadTraceLibrary());
    EXPECT_EQ(TraceNone, TraceOutput);
    // Nor does a later load by name find it there.
    HMODULE byName = LoadLibraryW(L"tracelib64.dll");
    EXPECT_EQ(nullptr, byName);
    if (byName != nullptr) FreeLibrary(byName);
    ReleaseTraceLibrary();

    fs::copy_file(stub, beside);
    EXPECT_EQ(1, LoadTraceLibrary());
    EXPECT_EQ(4242, TraceOutput(u"filename = %s\n", u"a.log"));
    ReleaseTraceLibrary();
    EXPECT_EQ(TraceNone, TraceOutput);
    fs::current_path(before);
    fs::remove(beside);
}
#endif

}  // namespace

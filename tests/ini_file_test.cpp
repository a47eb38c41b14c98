// INI files on disk: atomic replacement, permissions, links and failures.
#include "frame/platform/ini_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

namespace cvx::testing {

using namespace cvx::host;
using namespace cvx::samples;
namespace fs = std::filesystem;

namespace {

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info;
}

size_t EntriesIn(const fs::path& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

}  // namespace

TEST(IniFile, ReadsTheDefaultWhenFileOrKeyIsMissing) {
    TempDir dir;
    EXPECT_EQ(ReadIniString(dir.File("missing.ini"), "s", "k", "fallback"), "fallback");
    WriteText(dir.File("a.ini"), "[s]\nother=1\n");
    EXPECT_EQ(ReadIniString(dir.File("a.ini"), "s", "k", "fallback"), "fallback");
    EXPECT_EQ(ReadIniString(dir.path().string(), "s", "k", "fallback"), "fallback");
}

TEST(IniFile, CreatesAMissingFileWithTheUsualPermissions) {
    TempDir dir;
    const std::string path = dir.File("plugin.ini");
    const mode_t previous = umask(022);
    EXPECT_TRUE(WriteIniString(path, "Corvane", "k", "v"));
    umask(previous);
    EXPECT_EQ(ReadText(path), "[Corvane]\nk=v\n");
    EXPECT_EQ(StatOf(path).st_mode & 0777, 0644u);
    EXPECT_EQ(EntriesIn(dir.path()), 1u);  // no temporary file left
}

TEST(IniFile, ReplacesTheFileAndKeepsItsPermissions) {
    TempDir dir;
    const std::string path = dir.File("plugin.ini");
    WriteText(path, "[Corvane]\r\nk=old\r\n");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    const ino_t before = StatOf(path).st_ino;
    EXPECT_TRUE(WriteIniString(path, "Corvane", "k", "new"));
    EXPECT_EQ(ReadText(path), "[Corvane]\r\nk=new\r\n");
    EXPECT_EQ(StatOf(path).st_mode & 07777, 0640u);
    EXPECT_NE(StatOf(path).st_ino, before);  // a new file renamed into place
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(IniFile, AnUnchangedValueDoesNotRewriteTheFile) {
    TempDir dir;
    const std::string path = dir.File("plugin.ini");
    WriteText(path, "[s]\nk=v\n");
    const ino_t before = StatOf(path).st_ino;
    EXPECT_TRUE(WriteIniString(path, "s", "k", "v"));
    EXPECT_EQ(StatOf(path).st_ino, before);
}

TEST(IniFile, WritesThroughSymbolicLinksAndKeepsThem) {
    TempDir dir;
    fs::create_directory(dir.path() / "real");
    const std::string target = dir.File("real/settings.ini");
    WriteText(target, "[s]\nk=old\n");
    const std::string link = dir.File("plugin.ini");
    fs::create_symlink("real/settings.ini", link);

    EXPECT_TRUE(WriteIniString(link, "s", "k", "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadText(target), "[s]\nk=new\n");

    const std::string dangling = dir.File("dangling.ini");
    fs::create_symlink("real/created.ini", dangling);
    EXPECT_TRUE(WriteIniString(dangling, "s", "k", "v"));
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(ReadText(dir.File("real/created.ini")), "[s]\nk=v\n");
}

TEST(IniFile, RefusesWhatIsNotARegularFile) {
    TempDir dir;
    const std::string folder = dir.File("plugin.ini");
    fs::create_directory(folder);
    EXPECT_FALSE(WriteIniString(folder, "s", "k", "v"));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
    EXPECT_FALSE(WriteIniString(dir.File("no-such-folder/plugin.ini"), "s", "k", "v"));
    EXPECT_FALSE(WriteIniString(dir.File("x.ini"), "s", "k", "two\nlines"));
    EXPECT_FALSE(fs::exists(dir.File("x.ini")));
}

TEST(IniFile, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    TempDir dir;
    const std::string path = dir.File("plugin.ini");
    const std::string original = "[s]\nk=short\n";
    WriteText(path, original);

    // A file-size limit makes the write itself fail, even for root.
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteIniString(path, "s", "k", std::string(200, 'x'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_DFL);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadText(path), original);
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(IniFile, RespectsAFileThatMayNotBeWritten) {
    TempDir dir;
    const std::string path = dir.File("plugin.ini");
    WriteText(path, "[s]\nk=old\n");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    OpenUpForAnyone(dir.path());  // the folder itself would allow the rename
    EXPECT_EQ(RunAsUnprivileged([&] { return WriteIniString(path, "s", "k", "new") ? 1 : 0; }), 0);
    EXPECT_EQ(ReadText(path), "[s]\nk=old\n");
}

TEST(IniFile, KeepsLongValuesWhole) {
    TempDir dir;
    const std::string path = dir.File("plugin.ini");
    const std::string value(1000, 'v');
    EXPECT_TRUE(WriteIniString(path, "s", "k", value));
    EXPECT_EQ(ReadIniString(path, "s", "k", ""), value);
}

}  // namespace cvx::testing

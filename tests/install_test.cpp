// Install, called through dlsym on a copy of the plug-in placed in a host's
// folder tree, as the host would.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "frame/install.h"
#include "frame/platform/unique_fd_posix.h"
#include "frame/plugin_ini_path.h"
#include "tests/support/formats.h"
#include "tests/support/reading_matchers.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

namespace cvx::testing {

using namespace cvx::host;
using namespace cvx::samples;
namespace fs = std::filesystem;

namespace {

constexpr char kDefaultWithOgg[] = "MP3, MPC, MP+, MPP, WMA, APE, MAC, OGG";

// A host tree ROOT/Plugins/Formats/<plug-in> inside a scratch folder.
class InstallTest : public ::testing::Test {
protected:
    fs::path root() const { return dir_.path() / "Corvane"; }
    std::string iniPath() const { return (root() / "plugin.ini").string(); }

    // Copies the built plug-in to `relative` below the root and loads it.
    std::unique_ptr<PluginLibrary> Place(const char* builtPath, const fs::path& relative) const {
        const fs::path destination = root() / relative;
        fs::create_directories(destination.parent_path());
        fs::copy_file(builtPath, destination, fs::copy_options::overwrite_existing);
        return std::make_unique<PluginLibrary>(destination.string());
    }

    std::unique_ptr<PluginLibrary> PlaceOgg() const { return Place(OGG_PLUGIN_PATH, "Plugins/Formats/OGG.cvx"); }

    static int32_t Install(const PluginLibrary& plugin) {
        EXPECT_NE(plugin.install(), nullptr);
        return plugin.install() ? plugin.install()() : -1;
    }

    TempDir dir_;
};

struct FileStamp {
    ino_t inode;
    timespec modified;
};

FileStamp StampOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0);
    return {info.st_ino, info.st_mtim};
}

bool SameStamp(const FileStamp& a, const FileStamp& b) {
    return a.inode == b.inode && a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec;
}

}  // namespace

TEST_F(InstallTest, CreatesPluginIniTwoLevelsAboveTheLibrarysFolder) {
    auto plugin = PlaceOgg();
    EXPECT_NE(Install(*plugin), 0);
    EXPECT_EQ(ReadText(iniPath()), std::string("[Corvane]\ncorvane_extlist=") + kDefaultWithOgg + "\n");
}

TEST_F(InstallTest, ASecondCallWritesNothing) {
    auto plugin = PlaceOgg();
    ASSERT_NE(Install(*plugin), 0);
    const FileStamp first = StampOf(iniPath());
    const std::string text = ReadText(iniPath());
    EXPECT_NE(Install(*plugin), 0);
    EXPECT_TRUE(SameStamp(StampOf(iniPath()), first));
    EXPECT_EQ(ReadText(iniPath()), text);
}

TEST_F(InstallTest, KeepsEveryOtherByteOfAnExistingFile) {
    auto plugin = PlaceOgg();
    WriteText(iniPath(),
              "\xEF\xBB\xBF; written by Corvane\r\n"
              "[Window]\r\n"
              "Left=10\r\n"
              "\r\n"
              "[Corvane]\r\n"
              "Skin=Dark\r\n"
              "corvane_extlist=MP3, MPC\r\n"
              "Scan=1\r\n");
    EXPECT_NE(Install(*plugin), 0);
    EXPECT_EQ(ReadText(iniPath()),
              "\xEF\xBB\xBF; written by Corvane\r\n"
              "[Window]\r\n"
              "Left=10\r\n"
              "\r\n"
              "[Corvane]\r\n"
              "Skin=Dark\r\n"
              "corvane_extlist=MP3, MPC, OGG\r\n"
              "Scan=1\r\n");
}

TEST_F(InstallTest, AnyMentionOfTheWordCountsAsRegistered) {
    auto plugin = PlaceOgg();
    for (const char* list : {"MP3, ogg", "OGGX", "Ogg"}) {
        SCOPED_TRACE(list);
        const std::string text = std::string("[Corvane]\ncorvane_extlist=") + list + "\n";
        WriteText(iniPath(), text);
        const FileStamp before = StampOf(iniPath());
        EXPECT_NE(Install(*plugin), 0);
        EXPECT_EQ(ReadText(iniPath()), text);
        EXPECT_TRUE(SameStamp(StampOf(iniPath()), before));
    }
}

TEST_F(InstallTest, AppendsToWhatIsThereEvenWhenEmpty) {
    auto plugin = PlaceOgg();
    WriteText(iniPath(), "[Corvane]\ncorvane_extlist=\n");
    EXPECT_NE(Install(*plugin), 0);
    EXPECT_EQ(ReadText(iniPath()), "[Corvane]\ncorvane_extlist=, OGG\n");
}

TEST_F(InstallTest, KeepsEveryEntryOfALongList) {
    auto plugin = PlaceOgg();
    std::string list = "MP3";
    for (int i = 0; list.size() < 400; ++i) list += ", X" + std::to_string(i);
    WriteText(iniPath(), "[Corvane]\ncorvane_extlist=" + list + "\n");
    EXPECT_NE(Install(*plugin), 0);
    EXPECT_EQ(ReadText(iniPath()), "[Corvane]\ncorvane_extlist=" + list + ", OGG\n");
}

TEST_F(InstallTest, ALibraryOneFolderDeepClimbsAsFarAsItCan) {
    // Corvane/Formats/OGG.cvx: three cuts leave the scratch folder itself.
    auto plugin = Place(OGG_PLUGIN_PATH, "Formats/OGG.cvx");
    EXPECT_NE(Install(*plugin), 0);
    EXPECT_EQ(ReadText((dir_.path() / "plugin.ini").string()),
              std::string("[Corvane]\ncorvane_extlist=") + kDefaultWithOgg + "\n");
}

TEST_F(InstallTest, FindsItsFolderWhenLoadedByARelativePath) {
    const fs::path destination = root() / "Plugins/Formats/OGG.cvx";
    fs::create_directories(destination.parent_path());
    fs::copy_file(OGG_PLUGIN_PATH, destination);
    const fs::path previous = fs::current_path();
    fs::current_path(root());
    auto plugin = std::make_unique<PluginLibrary>("./Plugins/Formats/OGG.cvx");
    fs::current_path(dir_.path());  // the working folder moves on after loading
    const int32_t result = Install(*plugin);
    fs::current_path(previous);
    EXPECT_NE(result, 0);
    EXPECT_TRUE(fs::exists(iniPath()));
}

TEST_F(InstallTest, AFailedWriteReturnsZeroAndChangesNothing) {
    auto plugin = PlaceOgg();
    fs::create_directory(iniPath());  // in the way of the file
    EXPECT_EQ(Install(*plugin), 0);
    EXPECT_TRUE(fs::is_directory(iniPath()));
    EXPECT_EQ(std::distance(fs::directory_iterator(root()), fs::directory_iterator()), 2);
}

TEST_F(InstallTest, AReadOnlyFileIsLeftAlone) {
    auto plugin = PlaceOgg();
    WriteText(iniPath(), "[Corvane]\ncorvane_extlist=MP3\n");
    ASSERT_EQ(chmod(iniPath().c_str(), 0444), 0);
    OpenUpForAnyone(dir_.path());
    OpenUpForAnyone(root());  // the folder itself would allow the rename
    EXPECT_EQ(RunAsUnprivileged([&] { return Install(*plugin); }), 0);
    EXPECT_EQ(ReadText(iniPath()), "[Corvane]\ncorvane_extlist=MP3\n");
}

// Every plug-in appends its own word once, whatever was installed before it
// and in whatever order: no word is found inside another's.
TEST_F(InstallTest, EveryPlugInRegistersInAnyOrder) {
    std::vector<std::unique_ptr<PluginLibrary>> placed;
    for (const BuiltPlugin& plugin : BuiltPlugins()) {
        placed.push_back(Place(plugin.path.c_str(), "Plugins/Formats/" + plugin.name + ".cvx"));
    }
    const size_t count = placed.size();
    std::vector<std::vector<size_t>> orders;
    for (size_t rotation = 0; rotation < count; ++rotation) {
        std::vector<size_t> order;
        for (size_t i = 0; i < count; ++i) order.push_back((rotation + i) % count);
        orders.push_back(order);
        orders.push_back(std::vector<size_t>(order.rbegin(), order.rend()));
    }
    for (const std::vector<size_t>& order : orders) {
        fs::remove(iniPath());
        std::string expected = "[Corvane]\ncorvane_extlist=MP3, MPC, MP+, MPP, WMA, APE, MAC";
        for (const size_t i : order) {
            EXPECT_NE(Install(*placed[i]), 0);
            expected += ", " + BuiltPlugins()[i].name;
        }
        for (const size_t i : order) EXPECT_NE(Install(*placed[i]), 0);  // again: nothing changes
        EXPECT_EQ(ReadText(iniPath()), expected + "\n");
    }
}

namespace {

// install_once for each of `plugins`, all released at the same moment; the
// exit status of each.
std::vector<int> InstallAtOnce(const std::vector<std::string>& plugins) {
    std::vector<pid_t> children;
    std::vector<int> releases;
    for (const std::string& plugin : plugins) {
        // Close-on-exec, so that no child holds another's write end open and
        // each wakes when its own is closed.
        int pipeEnds[2];
        EXPECT_EQ(pipe2(pipeEnds, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
        const char* argv[] = {INSTALL_ONCE_PATH, plugin.c_str(), nullptr};
        pid_t child = -1;
        EXPECT_EQ(posix_spawn(&child, INSTALL_ONCE_PATH, &actions, nullptr, const_cast<char**>(argv), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[0]);
        children.push_back(child);
        releases.push_back(pipeEnds[1]);
    }
    usleep(20000);  // time to load the plug-ins and wait
    for (const int release : releases) close(release);
    std::vector<int> statuses;
    for (const pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        statuses.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    return statuses;
}

}  // namespace

// Two host processes starting together: both plug-ins register at the same
// moment, and neither entry may be lost, nor anything else in the file.
TEST_F(InstallTest, TwoPlugInsRegisteringAtOnceBothStay) {
    Place(OGG_PLUGIN_PATH, "Plugins/Formats/OGG.cvx");
    Place(FLAC_PLUGIN_PATH, "Plugins/Formats/FLAC.cvx");
    const std::vector<std::string> plugins = {(root() / "Plugins/Formats/OGG.cvx").string(),
                                              (root() / "Plugins/Formats/FLAC.cvx").string()};
    const std::string before = "; settings\n[Window]\nLeft=10\n[Corvane]\nSkin=Dark\ncorvane_extlist=MP3\nScan=1\n";
    int lost = 0;
    constexpr int kRounds = 120;  // 240 process starts: within the time limit under the sanitizers
    for (int round = 0; round < kRounds; ++round) {
        WriteText(iniPath(), before);
        EXPECT_EQ(InstallAtOnce(plugins), (std::vector<int>{0, 0})) << "round " << round;
        const std::string after = ReadText(iniPath());
        const bool bothListed = after == "; settings\n[Window]\nLeft=10\n[Corvane]\nSkin=Dark\n"
                                         "corvane_extlist=MP3, OGG, FLAC\nScan=1\n" ||
                                after == "; settings\n[Window]\nLeft=10\n[Corvane]\nSkin=Dark\n"
                                         "corvane_extlist=MP3, FLAC, OGG\nScan=1\n";
        if (!bothListed) ++lost;
        // Nothing but the file and the plug-ins' folder: no temporary, no lock.
        EXPECT_EQ(std::distance(fs::directory_iterator(root()), fs::directory_iterator()), 2) << "round " << round;
    }
    EXPECT_EQ(lost, 0) << "of " << kRounds << " rounds";
}

// A registration that holds the lock past the wait: Install gives up after
// the five seconds it waits, and writes nothing.
TEST_F(InstallTest, ALockHeldPastTheWaitLeavesTheFileAlone) {
    const auto ogg = PlaceOgg();
    const std::string before = "[Corvane]\ncorvane_extlist=MP3\n";
    WriteText(iniPath(), before);
    const UniqueFd folder(open(root().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ASSERT_EQ(flock(folder.get(), LOCK_EX), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Install(*ogg), 0);
    const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited.count(), 4.5);
    EXPECT_EQ(ReadText(iniPath()), before);
}

TEST(RegisterExtension, AnUnknownLibraryPathTouchesNothing) {
    const PluginConstants ogg = {"OGG", "ogg", ", OGG"};
    EXPECT_EQ(RegisterExtension(std::nullopt, ogg), 0);
}

TEST(PluginIniPath, CutsThreeLevelsOrAsManyAsThereAre) {
    EXPECT_EQ(PluginIniPath("/opt/Cat/Plugins/Formats/OGG.cvx"), "/opt/Cat/plugin.ini");
    EXPECT_EQ(PluginIniPath("/a/b/OGG.cvx"), "/plugin.ini");
    EXPECT_EQ(PluginIniPath("/a/OGG.cvx"), "/plugin.ini");
    EXPECT_EQ(PluginIniPath("/OGG.cvx"), "/plugin.ini");
    EXPECT_EQ(PluginIniPath("a/OGG.cvx"), "a/plugin.ini");
    EXPECT_EQ(PluginIniPath("OGG.cvx"), "OGG.cvx/plugin.ini");
}

}  // namespace cvx::testing

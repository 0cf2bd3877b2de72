// The bounded reader and the atomic writer against a folder where anything may have been put:
// folders, FIFOs, devices, huge sparse files and planted links are refused at once, and
// nothing outside the target is ever written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "files/atomic_write.h"
#include "files/folders.h"
#include "files/read_file.h"

namespace {

namespace fs = std::filesystem;
using base::ErrorKind;

class HostileFolder : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("files-" + std::to_string(::getpid()) + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string at(const std::string& name) const { return (dir_ / name).string(); }
    void put(const std::string& name, const std::string& bytes) const { std::ofstream(at(name), std::ios::binary) << bytes; }
    std::string bytes(const std::string& name) const {
        std::ifstream in(at(name), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    mode_t mode(const std::string& name) const {
        struct stat st {};
        return ::lstat(at(name).c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    fs::path dir_;
};

// Refused, with the reason, within well under a second (none of them blocks or reads on).
void expectRefused(const std::string& path, std::size_t bound, ErrorKind kind, const std::string& reason) {
    const auto r = files::ReadFile(path, bound);
    EXPECT_FALSE(r.ok()) << path;
    EXPECT_EQ(r.kind, kind) << path;
    EXPECT_NE(r.error.find(reason), std::string::npos) << r.error;
}

TEST_F(HostileFolder, TheReaderRefusesWhatIsNoRegularFileOrTooLarge) {
    fs::create_directory(at("folder.bc"));
    expectRefused(at("folder.bc"), 1 << 20, ErrorKind::Folder, "Is a directory");
    ASSERT_EQ(::mkfifo(at("pipe.bc").c_str(), 0600), 0);  // no writer: opening must not wait
    expectRefused(at("pipe.bc"), 1 << 20, ErrorKind::NotRegular, "Not a regular file");
    expectRefused("/dev/zero", 1 << 20, ErrorKind::NotRegular, "Not a regular file");
    expectRefused(at("missing.bc"), 1 << 20, ErrorKind::NotFound, "No such file");

    // 1.5 GiB that take no disk: refused by its size, not read.
    ASSERT_EQ(::truncate((std::ofstream(at("huge.bc")), at("huge.bc")).c_str(), (3LL << 29)), 0);
    expectRefused(at("huge.bc"), 1 << 20, ErrorKind::TooLarge, "Larger than 1048576 bytes");
}

TEST_F(HostileFolder, TheReaderTakesAFileUpToItsBoundExactly) {
    put("full.img", std::string(7168, '\x5A'));
    put("long.img", std::string(7169, '\x5A'));
    put("empty.img", "");
    EXPECT_EQ(files::ReadFile(at("full.img"), 7168).value, std::string(7168, '\x5A'));
    expectRefused(at("long.img"), 7168, ErrorKind::TooLarge, "Larger than 7168 bytes");
    EXPECT_EQ(files::ReadFile(at("empty.img"), 7168).value, "");
    // A link to a file is read as the file (the operator's own shortcut).
    fs::create_symlink(at("full.img"), at("link.img"));
    EXPECT_EQ(files::ReadFile(at("link.img"), 7168).value, std::string(7168, '\x5A'));
    EXPECT_EQ(files::ReadFile(at("long.img"), 100).error, "Larger than 100 bytes");
}

TEST_F(HostileFolder, TheWriterNeverFollowsALinkPlantedInTheFolder) {
    put("victim", "keep me");
    put("1.bc", "old");
    // Links at every name a temporary file could take, and then some: none is ever written.
    for (int i = 0; i < 200; ++i) {
        fs::create_symlink(at("victim"), at(".1.bc.tmp" + std::to_string(::getpid()) + "-" + std::to_string(i)));
        fs::create_symlink(at("victim"), at("1.bc.tmp" + std::to_string(i)));
    }
    fs::create_symlink(at("victim"), at("1.bc.tmp"));
    for (int round = 0; round < 3; ++round) EXPECT_EQ(files::WriteAtomically(at("1.bc"), "new").error, "");
    EXPECT_EQ(bytes("1.bc"), "new");
    EXPECT_EQ(bytes("victim"), "keep me");
    EXPECT_TRUE(fs::is_symlink(at("1.bc.tmp")));
    EXPECT_FALSE(fs::is_symlink(at("1.bc")));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++entries;
    EXPECT_EQ(entries, 2u + 401u);  // no temporary file is left behind
}

TEST_F(HostileFolder, TheWriterLeavesAReadOnlyTargetAndSetsTheModeAsked) {
    put("locked.bc", "the operator's");
    ::chmod(at("locked.bc").c_str(), 0444);
    EXPECT_EQ(files::WriteAtomically(at("locked.bc"), "replaced").kind, ErrorKind::ReadOnly);
    EXPECT_EQ(bytes("locked.bc"), "the operator's");
    EXPECT_EQ(mode("locked.bc"), 0444u);

    put("secret", "x");
    ::chmod(at("secret").c_str(), 0644);
    EXPECT_EQ(files::WriteAtomically(at("secret"), "hash", files::WriteOptions{0600}).error, "");
    EXPECT_EQ(mode("secret"), 0600u);
    fs::create_directory(at("folder"));
    EXPECT_NE(files::WriteAtomically(at("folder"), "x").error, "");
    EXPECT_TRUE(fs::is_directory(at("folder")));
}

// A link at the target's name is followed only where no one else could have put it: in a
// sticky world-writable folder (/tmp) never, in a folder others can write only when it is
// the user's own. Another user is nobody (65534), where the tests may change owners.
TEST_F(HostileFolder, TheWriterRefusesALinkThatAnotherUserCouldHavePlanted) {
    const bool root = ::geteuid() == 0;
    struct Case {
        const char* folder;
        mode_t mode;
        bool othersLink;  // the link belongs to another user
        bool refused;
    };
    const Case cases[] = {
        {"sticky", 01777, false, true},  {"sticky-other", 01777, true, true},  {"shared", 0777, true, true},
        {"group", 0770, true, true},     {"own", 0755, false, false},        {"shared-own", 0777, false, false},
    };
    for (const Case& c : cases) {
        if (c.othersLink && !root) continue;  // only root can give a link away
        SCOPED_TRACE(c.folder);
        const std::string folder = at(c.folder);
        fs::create_directory(folder);
        ::chmod(folder.c_str(), c.mode);
        put(std::string(c.folder) + "-victim", "keep me");
        const std::string link = folder + "/x.bc", trace = folder + "/t.log";
        fs::create_symlink(at(std::string(c.folder) + "-victim"), link);
        if (c.othersLink) {
            ASSERT_EQ(::lchown(link.c_str(), 65534, 65534), 0);
        }
        EXPECT_EQ(files::LinkRefusal(link).error, c.refused ? files::kPlantedLink : "");
        EXPECT_EQ(files::WriteAtomically(link, "new").error, c.refused ? files::kPlantedLink : "");
        EXPECT_EQ(bytes(std::string(c.folder) + "-victim"), c.refused ? "keep me" : "new");
        EXPECT_TRUE(fs::is_symlink(link));
    }
    EXPECT_EQ(files::LinkRefusal(at("none")).error, "");  // no link at all
}

// Folders made are 0700 whatever the umask; folders found keep their mode. Temporary files of
// a killed writer are removed at the next write into their folder, nothing else is.
TEST_F(HostileFolder, FoldersMadeArePrivateFoundOnesKeptAndStaleTemporariesRemoved) {
    fs::create_directory(at("shared"));
    ::chmod(at("shared").c_str(), 01777);
    const mode_t umask = ::umask(0);
    EXPECT_EQ(files::MakePrivateFolders(at("shared/a/b/c")).error, "");
    ::umask(umask);
    EXPECT_EQ(mode("shared"), 01777u);
    for (const char* made : {"shared/a", "shared/a/b", "shared/a/b/c"}) EXPECT_EQ(mode(made), 0700u) << made;
    put("file", "");
    EXPECT_NE(files::MakePrivateFolders(at("file/sub")).error, "");

    pid_t dead = ::fork();  // a process number that is surely no longer running
    if (dead == 0) ::_exit(0);
    ASSERT_GT(dead, 0);
    ::waitpid(dead, nullptr, 0);
    const std::string random = "-0-0123456789abcdef";
    const std::string stale = ".x.bc.tmp" + std::to_string(dead) + random;
    const std::string running = ".x.bc.tmp" + std::to_string(::getppid()) + random;
    const std::string fresh = ".y.bc.tmp" + std::to_string(dead) + "-1-0123456789abcdef";
    const std::string other = ".x.bc.tmp" + std::to_string(dead) + "-0-notours";
    for (const auto& name : {stale, running, other}) {
        put(name, "half");
        fs::last_write_time(at(name), fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    EXPECT_EQ(files::WriteAtomically(at("x.bc"), "whole").error, "");
    put(fresh, "half");  // newer than this program: a writer that may still be at work
    EXPECT_EQ(files::WriteAtomically(at("x.bc"), "whole").error, "");
    EXPECT_FALSE(fs::exists(at(stale)));
    for (const auto& name : {running, fresh, other}) EXPECT_TRUE(fs::exists(at(name))) << name;
}

}  // namespace

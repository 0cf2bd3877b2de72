// Saving to and opening from disk.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "codeplug/codeplug.h"
#include "tests/codeplug/helpers.h"

namespace {

namespace fs = std::filesystem;
using cptest::ReadAll;
using image::EditorState;

// A fresh folder per test; Only() is what it holds (so no temporary file is left).
class FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("codeplug-" + std::to_string(::getpid()) + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::vector<std::string> Only() {
        std::vector<std::string> found;
        for (const auto& e : fs::directory_iterator(dir_)) found.push_back(e.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }
    std::string In(const std::string& name) { return (dir_ / name).string(); }
    fs::path dir_;
};

TEST(PathForSave, AppendsTheSuffixOnlyWhenMissing) {
    EXPECT_EQ(codeplug::PathForSave("radio"), "radio.bc");
    EXPECT_EQ(codeplug::PathForSave("radio.bc"), "radio.bc");
    EXPECT_EQ(codeplug::PathForSave("/tmp/x/RADIO.BC"), "/tmp/x/RADIO.BC");
    EXPECT_EQ(codeplug::PathForSave("radio.bcx"), "radio.bcx.bc");
    EXPECT_EQ(codeplug::PathForSave("bc"), "bc.bc");
}

TEST_F(FileTest, SaveReplacesTheFileItsLinkNamesAndKeepsPermissions) {
    std::ofstream(In("a.bc")) << "old";
    ::chmod(In("a.bc").c_str(), 0640);
    fs::create_symlink(In("a.bc"), In("link.bc"));
    EditorState s;
    s.upper.at(1, image::kColName) = "中文";
    ASSERT_TRUE(codeplug::SaveFile(In("link.bc"), s).ok());
    EXPECT_TRUE(fs::is_symlink(In("link.bc")));
    EXPECT_EQ(ReadAll(In("a.bc")), codeplug::ToText(s).value);
    struct stat st {};
    ASSERT_EQ(::stat(In("a.bc").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(Only(), (std::vector<std::string>{"a.bc", "link.bc"}));
    const auto opened = codeplug::OpenFile(In("a.bc"));
    ASSERT_TRUE(opened.ok()) << opened.error;
    EXPECT_EQ(opened.value, s);
}

TEST_F(FileTest, AFailedSaveLeavesTheOldFileAndSaysWhy) {
    std::ofstream(In("keep.bc")) << "the old file";
    // The file size limit plays a disk that fills up during the write.
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto full = codeplug::SaveFile(In("keep.bc"), EditorState());
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(full.error, "Cannot create file \"" + In("keep.bc") + "\". File too large");
    EXPECT_EQ(ReadAll(In("keep.bc")), "the old file");

    EXPECT_EQ(codeplug::SaveFile(In("no/such.bc"), EditorState()).error,
              "Cannot create file \"" + In("no/such.bc") + "\". No such file or directory");
    fs::create_directory(In("taken.bc"));
    EXPECT_EQ(codeplug::SaveFile(In("taken.bc"), EditorState()).error,
              "Cannot create file \"" + In("taken.bc") + "\". Is a directory");
    EXPECT_EQ(Only(), (std::vector<std::string>{"keep.bc", "taken.bc"}));
}

TEST_F(FileTest, OpenReportsUnreadableFilesAndKeepsTheState) {
    EditorState current;
    current.limits.kaiji1 = "MINE";
    auto opened = codeplug::OpenFile(In("missing.bc"), current);
    EXPECT_EQ(opened.error, "Cannot open file \"" + In("missing.bc") + "\". No such file or directory");
    EXPECT_EQ(opened.value, current);
    opened = codeplug::OpenFile(dir_.string(), current);
    EXPECT_EQ(opened.error, "Cannot open file \"" + dir_.string() + "\". Is a directory");
    EXPECT_EQ(opened.value, current);
}

}  // namespace

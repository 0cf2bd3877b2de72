// Saving to and opening from disk.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "codeplug/codeplug.h"

namespace {

namespace fs = std::filesystem;
using image::EditorState;

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("codeplug-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    // Nothing but the named files is left in the folder (no temporary file).
    void ExpectOnly(std::vector<std::string> names) {
        std::vector<std::string> found;
        for (const auto& e : fs::directory_iterator(dir_)) found.push_back(e.path().filename().string());
        std::sort(found.begin(), found.end());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(found, names);
    }
    fs::path dir_;
};

TEST(PathForSave, AppendsTheSuffixOnlyWhenMissing) {
    EXPECT_EQ(codeplug::PathForSave("radio"), "radio.bc");
    EXPECT_EQ(codeplug::PathForSave("radio.bc"), "radio.bc");
    EXPECT_EQ(codeplug::PathForSave("/tmp/x/RADIO.BC"), "/tmp/x/RADIO.BC");
    EXPECT_EQ(codeplug::PathForSave("radio.bcx"), "radio.bcx.bc");
    EXPECT_EQ(codeplug::PathForSave("radio.b"), "radio.b.bc");
    EXPECT_EQ(codeplug::PathForSave("bc"), "bc.bc");
}

TEST_F(FileTest, SaveReplacesAndOpenReadsBack) {
    const fs::path path = dir_ / "a.bc";
    { std::ofstream(path) << "old"; }
    ::chmod(path.c_str(), 0640);
    EditorState s;
    s.upper.at(1, image::kColName) = "中文";
    const auto saved = codeplug::SaveFile(path.string(), s);
    ASSERT_TRUE(saved.ok()) << saved.error;
    EXPECT_EQ(ReadAll(path), codeplug::ToText(s).bytes);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);  // an existing file keeps its permissions
    ExpectOnly({"a.bc"});
    const auto opened = codeplug::OpenFile(path.string());
    ASSERT_TRUE(opened.ok()) << opened.error;
    EXPECT_EQ(opened.state, s);

    // Through a symbolic link the file it names is replaced; the link stays a link.
    const fs::path link = dir_ / "link.bc";
    fs::create_symlink(path, link);
    s.upper.at(2, image::kColName) = "B";
    ASSERT_TRUE(codeplug::SaveFile(link.string(), s).ok());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadAll(path), codeplug::ToText(s).bytes);
    ExpectOnly({"a.bc", "link.bc"});
}

TEST_F(FileTest, AFailedSaveLeavesTheOldFileAndSaysWhy) {
    const fs::path path = dir_ / "keep.bc";
    { std::ofstream(path) << "the old file"; }

    // The disk fills up during the write: the file size limit stands in for a full disk.
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto full = codeplug::SaveFile(path.string(), EditorState());
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(full.error, "Cannot create file \"" + path.string() + "\". File too large");
    EXPECT_EQ(ReadAll(path), "the old file");
    ExpectOnly({"keep.bc"});

    // A folder that does not exist.
    const std::string missing = (dir_ / "no" / "such.bc").string();
    EXPECT_EQ(codeplug::SaveFile(missing, EditorState()).error,
              "Cannot create file \"" + missing + "\". No such file or directory");

    // A folder in the way of the name.
    fs::create_directory(dir_ / "taken.bc");
    const std::string taken = (dir_ / "taken.bc").string();
    EXPECT_EQ(codeplug::SaveFile(taken, EditorState()).error,
              "Cannot create file \"" + taken + "\". Is a directory");
    ExpectOnly({"keep.bc", "taken.bc"});
}

TEST_F(FileTest, OpenReportsUnreadableFilesAndKeepsTheState) {
    EditorState current;
    current.limits.kaiji1 = "MINE";
    const std::string missing = (dir_ / "missing.bc").string();
    auto opened = codeplug::OpenFile(missing, current);
    EXPECT_EQ(opened.error, "Cannot open file \"" + missing + "\". No such file or directory");
    EXPECT_EQ(opened.state, current);
    opened = codeplug::OpenFile(dir_.string(), current);
    EXPECT_EQ(opened.error, "Cannot open file \"" + dir_.string() + "\". Is a directory");
    EXPECT_EQ(opened.state, current);
}

}  // namespace

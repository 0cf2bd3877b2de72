// The user files as an operator may find them: a folder in a file's place, a file that is no
// text, a password file readable by others, a file made read-only, pictures of absurd size.
// Each gives a message naming the file and the program goes on.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "tests/users/declaring_picture.h"
#include "tests/outcome_value.h"
#include "users/jpeg.h"
#include "users/login_picture.h"
#include "users/user_files.h"

namespace {

namespace fs = std::filesystem;
using namespace users;

struct HostileFolder {
    HostileFolder() : dir(fs::temp_directory_path() / ("hostile-users-" + std::to_string(::getpid()) + "-" + std::to_string(counter++))) {
        fs::remove_all(dir);
        std::string error;
        EXPECT_TRUE(succeeded(PrepareFolder(dir.string()), error)) << error;
    }
    ~HostileFolder() {
        // Windows deletes no file marked read-only, as the cases below leave some.
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(dir, ec))
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ec);
        fs::remove_all(dir, ec);
    }
    std::string file(const char* name) const { return (dir / name).string(); }
    std::string bytes(const char* name) const {
        std::ifstream in(file(name), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    void put(const char* name, const std::string& bytes) const { std::ofstream(file(name), std::ios::binary) << bytes; }
    void replaceWithFolder(const char* name) const {
        fs::remove(file(name));
        fs::create_directory(file(name));
    }
    mode_t mode(const char* name) const {
        struct stat st {};
        return ::stat(file(name).c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    static inline int counter = 0;
    fs::path dir;
};

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

using userstest::DeclaringPicture;

TEST(HostileUserFiles, AFolderInAFilesPlaceIsReportedNeverThrown) {
    HostileFolder f;
    f.replaceWithFolder(kPasswordFile);
    f.replaceWithFolder(kCompanyFile);
    f.replaceWithFolder(kBackgroundFile);
    std::string error;
    EXPECT_EQ(valueOf(CheckPassword(f.dir.string(), ""), error), std::nullopt);
    EXPECT_TRUE(has(error, "1.bc") && has(error, "文件夹")) << error;
    const std::string changed = ChangePassword(f.dir.string(), "", "x").error;
    EXPECT_TRUE(has(changed, "1.bc") && has(changed, "文件夹")) << changed;
    EXPECT_EQ(valueOf(ReadFirstLine(f.file(kCompanyFile)), error), std::nullopt);
    EXPECT_TRUE(has(error, "2.bc") && has(error, "文件夹")) << error;
    EXPECT_NE(SaveCompanyName(f.dir.string(), "公司").error, "");  // a folder is not replaced
    EXPECT_EQ(valueOf(LoadBackground(f.file(kBackgroundFile)), error), std::nullopt);
    EXPECT_TRUE(has(error, "1.jpg") && has(error, "文件夹")) << error;
    EXPECT_TRUE(fs::is_directory(f.file(kPasswordFile)) && fs::is_directory(f.file(kCompanyFile)));
}

TEST(HostileUserFiles, FilesThatAreNoTextOrTooLargeAreRefused) {
    HostileFolder f;
    std::string error;
    f.put(kCompanyFile, std::string("\xFF\xD8\xFF\xE0\0\x10JFIF", 10));
    EXPECT_EQ(valueOf(ReadFirstLine(f.file(kCompanyFile)), error), std::nullopt);
    EXPECT_TRUE(has(error, "2.bc") && has(error, "不是文本文件")) << error;
    f.put(kCompanyFile, "\x81\x20\r\n");  // a GBK lead byte with no trail
    EXPECT_EQ(valueOf(ReadFirstLine(f.file(kCompanyFile)), error), std::nullopt);
    f.put(kCompanyFile, "");
    EXPECT_EQ(valueOf(ReadFirstLine(f.file(kCompanyFile)), error), std::nullopt);
    EXPECT_TRUE(has(error, "空")) << error;
    f.put(kCompanyFile, "Name\twith tab\r\n" + std::string(kMaxTextFileBytes - 20, 'x'));
    EXPECT_EQ(valueOf(ReadFirstLine(f.file(kCompanyFile)), error), "Name\twith tab");
    f.put(kCompanyFile, std::string(kMaxTextFileBytes + 1, 'x'));
    EXPECT_EQ(valueOf(ReadFirstLine(f.file(kCompanyFile)), error), std::nullopt);
    EXPECT_TRUE(has(error, "文件太大")) << error;
    ASSERT_EQ(::truncate(f.file(kPasswordFile).c_str(), 3LL << 29), 0);  // 1.5 GiB, sparse
    EXPECT_EQ(valueOf(CheckPassword(f.dir.string(), ""), error), std::nullopt);
}

TEST(HostileUserFiles, ThePasswordFileIsTheOwnersAloneAndAReadOnlyOneStays) {
    HostileFolder f;
    std::string error;
    // Windows has no mode bits to close (a file has its folder's access list): there chmod only
    // sets or clears the read-only mark, and the logins must work all the same.
    ::chmod(f.file(kPasswordFile).c_str(), 0644);  // as an older installation left it
    EXPECT_EQ(valueOf(CheckPassword(f.dir.string(), ""), error), true);
#ifndef _WIN32
    EXPECT_EQ(f.mode(kPasswordFile), 0600u);
#endif
    ::chmod(f.file(kPasswordFile).c_str(), 0664);
    EXPECT_EQ(ChangePassword(f.dir.string(), "", "new").error, "");
#ifndef _WIN32
    EXPECT_EQ(f.mode(kPasswordFile), 0600u);
#endif

    const std::string before = f.bytes(kPasswordFile);
    ::chmod(f.file(kPasswordFile).c_str(), 0400);
    const std::string refused = ChangePassword(f.dir.string(), "new", "newer").error;
    EXPECT_TRUE(has(refused, "1.bc") && has(refused, "只读")) << refused;
    EXPECT_EQ(f.bytes(kPasswordFile), before);
    EXPECT_EQ(valueOf(CheckPassword(f.dir.string(), "new"), error), true);

    ::chmod(f.file(kCompanyFile).c_str(), 0444);
    EXPECT_TRUE(has(SaveCompanyName(f.dir.string(), "Other").error, "只读"));
    EXPECT_EQ(f.bytes(kCompanyFile), "Velkor\r\n");
}

TEST(HostileUserFiles, PicturesBeyondTheBoundAreRefusedAndLargeOnesScaledDown) {
    HostileFolder f;
    std::string error;
    for (const auto& [w, h] : {std::pair{65500, 65500}, {20000, 20000}, {8193, 100}}) {
        f.put("big.jpg", DeclaringPicture(w, h));
        EXPECT_EQ(valueOf(LoadBackground(f.file("big.jpg")), error), std::nullopt);
        EXPECT_TRUE(has(error, "big.jpg") && has(error, std::to_string(w) + " x " + std::to_string(h))) << error;
    }
    // 8000 x 6000 is decoded at 1/8: 1000 x 750 still covers the window.
    f.put("large.jpg", DeclaringPicture(8000, 6000));
    auto large = valueOf(LoadBackground(f.file("large.jpg")), error);
    ASSERT_TRUE(large) << error;
    EXPECT_EQ(large->picture.width, 1000);
    EXPECT_EQ(large->picture.height, 750);
    EXPECT_EQ(large->bytes, f.bytes("large.jpg"));  // what is copied is the file, not the decode
    // 1300 x 500 only halves its width's worth: 1/1, as 1/2 would leave 250 rows.
    f.put("wide.jpg", DeclaringPicture(1300, 500));
    large = valueOf(LoadBackground(f.file("wide.jpg")), error);
    ASSERT_TRUE(large) << error;
    EXPECT_EQ(large->picture.width, 1300);
    // A progressive picture keeps every coefficient while it decodes: one that would need more
    // than the decoder's memory bound is refused, not decoded.
    std::ifstream in(FUZZ_CORPUS "/picture/progressive.jpg", std::ios::binary);
    std::string progressive((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto sof = progressive.find("\xFF\xC2");
    ASSERT_NE(sof, std::string::npos);
    progressive[sof + 5] = progressive[sof + 7] = static_cast<char>(8000 >> 8);
    progressive[sof + 6] = progressive[sof + 8] = static_cast<char>(8000 & 0xFF);
    f.put("progressive.jpg", progressive);
    EXPECT_EQ(valueOf(LoadBackground(f.file("progressive.jpg")), error), std::nullopt);
    EXPECT_TRUE(has(error, "needs more than 96 MiB")) << error;
    // A picture file larger than its bound is refused unread.
    ASSERT_EQ(::truncate((std::ofstream(f.file("sparse.jpg")), f.file("sparse.jpg")).c_str(), 3LL << 29), 0);
    EXPECT_EQ(valueOf(LoadBackground(f.file("sparse.jpg")), error), std::nullopt);
    EXPECT_TRUE(has(error, "文件太大")) << error;
}

}  // namespace

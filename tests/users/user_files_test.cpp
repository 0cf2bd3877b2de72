#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/outcome_value.h"
#include "users/jpeg.h"
#include "users/login_picture.h"
#include "users/user_files.h"

namespace fs = std::filesystem;
using namespace users;

namespace {

struct Folder {
    Folder() : dir(fs::temp_directory_path() / ("users-" + std::to_string(::getpid()) + "-" + std::to_string(counter++))) {
        fs::remove_all(dir);
    }
    ~Folder() { fs::remove_all(dir); }
    std::string file(const char* name) const { return (dir / name).string(); }
    std::string bytes(const char* name) const {
        std::ifstream in(file(name), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    void put(const char* name, const std::string& bytes) const {
        std::ofstream(file(name), std::ios::binary) << bytes;
    }
    static inline int counter = 0;
    fs::path dir;
};

}  // namespace

TEST(UserFiles, AFirstStartLogsInWithTheEmptyPassword) {
    Folder f;
    std::string error;
    ASSERT_TRUE(succeeded(PrepareFolder(f.dir.string()), error)) << error;
    EXPECT_EQ(valueOf(ReadFirstLine(f.file(kCompanyFile)), error), "Velkor");
    EXPECT_EQ(valueOf(CheckPassword(f.dir.string(), ""), error), true);
    EXPECT_EQ(valueOf(CheckPassword(f.dir.string(), " "), error), false);
#ifndef _WIN32  // Windows keeps no mode bits: a file there has its folder's access list
    struct stat st {};
    ASSERT_EQ(::stat(f.file(kPasswordFile).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
#endif
    // The picture is a JPEG of 640 x 480.
    auto picture = valueOf(DecodeJpeg(f.bytes(kBackgroundFile)), error);
    ASSERT_TRUE(picture) << error;
    EXPECT_EQ(picture->width, 640);
    EXPECT_EQ(picture->height, 480);
    // A second start keeps what is there.
    ASSERT_EQ(SaveCompanyName(f.dir.string(), "公司").error, "");
    ASSERT_TRUE(succeeded(PrepareFolder(f.dir.string()), error));
    EXPECT_EQ(valueOf(ReadFirstLine(f.file(kCompanyFile)), error), "公司");
    EXPECT_EQ(f.bytes(kCompanyFile), "\xB9\xAB\xCB\xBE\r\n");  // GBK, one line, CR LF
}

TEST(UserFiles, PasswordsAreStoredAsHashes) {
    Folder f;
    std::string error;
    ASSERT_TRUE(succeeded(PrepareFolder(f.dir.string()), error));
    EXPECT_EQ(ChangePassword(f.dir.string(), "wrong", "secret1").error, "密码错误!");
    EXPECT_EQ(ChangePassword(f.dir.string(), "", "secret1").error, "");
    const std::string stored = f.bytes(kPasswordFile);
    EXPECT_EQ(stored.find("secret1"), std::string::npos);
    EXPECT_TRUE(IsPasswordHash(stored.substr(0, stored.find('\r'))));
    EXPECT_EQ(valueOf(CheckPassword(f.dir.string(), "secret1"), error), true);
    EXPECT_EQ(valueOf(CheckPassword(f.dir.string(), "Secret1"), error), false);
    EXPECT_EQ(ChangePassword(f.dir.string(), "secret1", "").error, "");
    EXPECT_EQ(valueOf(CheckPassword(f.dir.string(), ""), error), true);
}

TEST(UserFiles, LegacyPlainTextAndOddFiles) {
    Folder f;
    std::string error;
    fs::create_directories(f.dir);
    f.put(kPasswordFile, "old pass\r\nsecond line\r\n");  // only the first line counts
    EXPECT_EQ(valueOf(CheckPassword(f.dir.string(), "old pass"), error), true);
    EXPECT_EQ(valueOf(CheckPassword(f.dir.string(), "second line"), error), false);
    EXPECT_EQ(ChangePassword(f.dir.string(), "old pass", "new").error, "");
    EXPECT_EQ(f.bytes(kPasswordFile).find("new"), std::string::npos);

    f.put(kPasswordFile, "lf\nonly");
    EXPECT_EQ(valueOf(CheckPassword(f.dir.string(), "lf"), error), true);
    f.put(kPasswordFile, "");
    EXPECT_EQ(valueOf(CheckPassword(f.dir.string(), ""), error), std::nullopt);
    fs::remove(f.file(kPasswordFile));
    EXPECT_EQ(valueOf(CheckPassword(f.dir.string(), ""), error), std::nullopt);
    EXPECT_NE(error.find("1.bc"), std::string::npos);
    EXPECT_NE(ChangePassword(f.dir.string(), "", "x").error, "");

    f.put(kCompanyFile, "Keep\r\n");
    EXPECT_EQ(SaveCompanyName(f.dir.string(), "").error, "不能为空!");
    EXPECT_EQ(f.bytes(kCompanyFile), "Keep\r\n");
}

// A user folder named in Chinese (a Windows user's name, a folder chosen by hand): its files
// are made, found again on the next start, read and written there, and the program's folder
// is chosen by its name.
TEST(UserFiles, AFolderNamedInChinese) {
    Folder f;
    const auto slashes = [](std::string path) {
        std::replace(path.begin(), path.end(), '\\', '/');
        return path;
    };
    const std::string dir = slashes(f.dir.string()) + "/对讲机/用户";
    std::string error;
    ASSERT_TRUE(succeeded(PrepareFolder(dir), error)) << error;
    ASSERT_EQ(SaveCompanyName(dir, "公司").error, "");
    ASSERT_TRUE(succeeded(PrepareFolder(dir), error)) << error;
    EXPECT_EQ(valueOf(ReadFirstLine(dir + "/" + kCompanyFile), error), "公司");
    EXPECT_EQ(ChangePassword(dir, "", "口令").error, "");
    EXPECT_EQ(valueOf(CheckPassword(dir, "口令"), error), true);
    EXPECT_TRUE(valueOf(LoadBackground(dir + "/" + kBackgroundFile), error)) << error;
    EXPECT_EQ(slashes(ChooseFolder(dir, "/per/user")), dir + "/image");
}

TEST(UserFiles, FolderChoice) {
    Folder f;
    fs::create_directories(f.dir / "prog");
    const std::string perUser = (fs::path("/per/user") / "image").string();  // "/per/user\image" on Windows
    EXPECT_EQ(ChooseFolder((f.dir / "prog").string(), "/per/user", "/chosen"), "/chosen");
    EXPECT_EQ(ChooseFolder((f.dir / "prog").string(), "/per/user"), (f.dir / "prog" / "image").string());
    EXPECT_EQ(ChooseFolder("/proc/self", "/per/user"), perUser);  // not writable (no folder on Windows)
    // Installed: never beside the program, though the folder is writable (root, ~/.local/bin).
    fs::create_directories(f.dir / "prefix" / "bin");
    EXPECT_EQ(ChooseFolder((f.dir / "prefix" / "bin").string(), "/per/user"), perUser);
    EXPECT_EQ(ChooseFolder((f.dir / "prefix" / "bin/").string(), "/per/user"), perUser);
    EXPECT_EQ(ChooseFolder("/usr/bin", "/per/user", "/chosen"), "/chosen");
    EXPECT_FALSE(fs::exists(f.dir / "prefix" / "bin" / "image"));
    // A build folder that merely holds "bin" in its name is no install prefix.
    fs::create_directories(f.dir / "binaries");
    EXPECT_EQ(ChooseFolder((f.dir / "binaries").string(), "/per/user"), (f.dir / "binaries" / "image").string());
}

TEST(Jpeg, RefusesWhatIsNoPicture) {
    std::string error;
    EXPECT_FALSE(valueOf(DecodeJpeg("GIF89a...."), error));
    EXPECT_NE(error, "");
    std::string truncated(BuiltInPicture().substr(0, 200));
    EXPECT_FALSE(valueOf(DecodeJpeg(truncated), error));
    EXPECT_NE(error.find("JPEG"), std::string::npos);
}

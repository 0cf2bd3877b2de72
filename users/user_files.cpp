#include "users/user_files.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "files/atomic_write.h"
#include "files/read_file.h"
#include "image/gbk.h"
#include "users/login_picture.h"

namespace users {
namespace {

namespace fs = std::filesystem;

std::string join(const std::string& dir, const char* name) { return (fs::path(dir) / name).string(); }

bool ensureSodium() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

bool writeBytes(const std::string& path, std::string_view bytes, std::string& error) {
    const std::string reason = files::WriteAtomically(path, bytes, files::WriteOptions{0600});
    if (reason.empty()) return true;
    error = "无法保存文件 \"" + path + "\": " + (reason == files::kReadOnly ? std::string("文件是只读的") : reason);
    return false;
}

// A password file left readable by others by an older installation is made the owner's alone.
void tighten(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 077) != 0) (void)::fchmod(fd, st.st_mode & 0700);
    ::close(fd);
}

}  // namespace

std::optional<std::string> ReadUserFile(const std::string& path, std::size_t maxBytes, std::string& error) {
    files::ReadResult r = files::ReadFile(path, maxBytes);
    if (r.ok()) return std::move(r.bytes);
    std::string why;
    switch (r.problem) {
        case files::ReadProblem::kDirectory: why = "这是一个文件夹, 不是文件"; break;
        case files::ReadProblem::kNotRegular: why = "这不是普通文件 (设备、管道或套接字)"; break;
        case files::ReadProblem::kTooLarge: why = "文件太大 (超过 " + std::to_string(maxBytes) + " 字节)"; break;
        case files::ReadProblem::kCannotOpen:
        case files::ReadProblem::kCannotRead:
        case files::ReadProblem::kNone: why = r.reason(maxBytes); break;
    }
    error = "无法读取文件 \"" + path + "\": " + why;
    return std::nullopt;
}

std::optional<std::string> FirstLine(std::string_view bytes, std::string& error) {
    if (bytes.empty()) {
        error = "文件是空的";
        return std::nullopt;
    }
    const std::string_view line = bytes.substr(0, bytes.find_first_of("\r\n"));
    for (const char c : line)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
            error = "这不是文本文件";
            return std::nullopt;
        }
    auto text = image::GbkToUtf8(line);
    if (!text) error = "这不是文本文件";
    return text;
}

std::optional<std::string> ReadFirstLine(const std::string& path, std::string& error) {
    const auto bytes = ReadUserFile(path, kMaxTextFileBytes, error);
    if (!bytes) return std::nullopt;
    std::string why;
    auto line = FirstLine(*bytes, why);
    if (!line) error = "文件 \"" + path + "\" 无法使用: " + why;
    return line;
}

bool WriteLine(const std::string& path, const std::string& line, std::string& error) {
    const auto gbk = image::Utf8ToGbk(line);
    if (!gbk) {
        error = "无法保存文件 \"" + path + "\": 文字中有无法保存的字符";
        return false;
    }
    return writeBytes(path, *gbk + "\r\n", error);
}

bool WriteBytes(const std::string& path, std::string_view bytes, std::string& error) {
    return writeBytes(path, bytes, error);
}

std::string HashPassword(const std::string& password) {
    if (!ensureSodium()) return {};
    char hash[crypto_pwhash_STRBYTES];
    // Interactive limits: a login takes a fraction of a second, a guess as long.
    if (crypto_pwhash_str(hash, password.c_str(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return {};
    return hash;
}

bool IsPasswordHash(const std::string& line) { return line.rfind("$argon2id$", 0) == 0; }

bool PrepareFolder(const std::string& dir, std::string& error) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        error = "cannot create the folder \"" + dir + "\": " + ec.message();
        return false;
    }
    ::chmod(dir.c_str(), 0700);
    if (!fs::exists(join(dir, kCompanyFile)) && !WriteLine(join(dir, kCompanyFile), kDefaultCompany, error)) return false;
    if (!fs::exists(join(dir, kPasswordFile)) && !WriteLine(join(dir, kPasswordFile), HashPassword(""), error))
        return false;
    if (!fs::exists(join(dir, kBackgroundFile)) &&
        !writeBytes(join(dir, kBackgroundFile), BuiltInPicture(), error))
        return false;
    return true;
}

std::string ChooseFolder(const std::string& programDir, const std::string& perUserDir, const std::string& chosen) {
    if (!chosen.empty()) return chosen;
    // An installed program lives in a prefix's bin folder (/usr/bin, /usr/local/bin,
    // ~/.local/bin): its user files never go beside it, even when root could write there.
    fs::path dir = fs::path(programDir).lexically_normal();
    if (!dir.has_filename()) dir = dir.parent_path();  // a trailing "/"
    if (dir.filename() == "bin") return (fs::path(perUserDir) / "image").string();
    const fs::path beside = fs::path(programDir) / "image";
    std::error_code ec;
    if (fs::is_directory(beside, ec)) {
        if (::access(beside.c_str(), W_OK) == 0) return beside.string();
    } else if (::access(programDir.c_str(), W_OK) == 0) {
        return beside.string();
    }
    return (fs::path(perUserDir) / "image").string();
}

std::optional<bool> CheckPassword(const std::string& dir, const std::string& typed, std::string& error) {
    const std::string path = join(dir, kPasswordFile);
    tighten(path);
    const auto stored = ReadFirstLine(path, error);
    if (!stored) return std::nullopt;
    if (!IsPasswordHash(*stored)) return *stored == typed;  // a legacy plain-text password
    if (!ensureSodium()) return false;
    return crypto_pwhash_str_verify(stored->c_str(), typed.c_str(), typed.size()) == 0;
}

std::string ChangePassword(const std::string& dir, const std::string& oldPassword, const std::string& newPassword) {
    std::string error;
    const auto ok = CheckPassword(dir, oldPassword, error);
    if (!ok) return error;
    if (!*ok) return "密码错误!";
    const std::string hash = HashPassword(newPassword);
    if (hash.empty()) return "the password could not be hashed";
    if (!WriteLine(join(dir, kPasswordFile), hash, error)) return error;
    return {};
}

std::string SaveCompanyName(const std::string& dir, const std::string& name) {
    if (name.empty()) return "不能为空!";
    std::string error;
    if (!WriteLine(join(dir, kCompanyFile), name, error)) return error;
    return {};
}

}  // namespace users

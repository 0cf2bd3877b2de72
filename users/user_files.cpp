#include "users/user_files.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "image/gbk.h"
#include "image/message.h"
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
    const std::string temporary = path + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "Cannot create file \"" + path + "\". " + image::SystemReason(errno);
        return false;
    }
    ::fchmod(fd, 0600);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = "Cannot create file \"" + path + "\". " + image::SystemReason(errno);
            ::close(fd);
            ::unlink(temporary.c_str());
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    if (!synced || ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "Cannot create file \"" + path + "\". " + image::SystemReason(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> ReadFirstLine(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "Cannot open file \"" + path + "\". " + image::SystemReason(errno);
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty()) {
        error = "\"" + path + "\" holds no line";
        return std::nullopt;
    }
    const std::string line = bytes.substr(0, bytes.find_first_of("\r\n"));
    return image::GbkBytesToText(line);
}

bool WriteLine(const std::string& path, const std::string& line, std::string& error) {
    const auto gbk = image::Utf8ToGbk(line);
    if (!gbk) {
        error = "the text has characters that cannot be stored";
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
    const auto stored = ReadFirstLine(join(dir, kPasswordFile), error);
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

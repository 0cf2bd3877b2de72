#include "users/user_files.h"

#include <sodium.h>

#include <filesystem>

#include "files/atomic_write.h"
#include "files/folders.h"
#include "files/path.h"
#include "files/read_file.h"
#include "base/gbk.h"
#include "users/login_picture.h"
#include "base/text.h"

namespace users {
namespace {

namespace fs = std::filesystem;

std::string join(const std::string& dir, const char* name) { return files::TextOf(files::PathOf(dir) / name); }
bool exists(const std::string& dir, const char* name) { return fs::exists(files::PathOf(dir) / name); }

bool ensureSodium() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

base::Outcome<> writeBytes(const std::string& path, std::string_view bytes) {
    base::Outcome<> written = files::WriteAtomically(path, bytes, files::WriteOptions{0600});
    if (written.ok()) return written;
    return base::Failure(base::Tr("无法保存文件 \"%1\": %2", path,
                                  written.kind == base::ErrorKind::ReadOnly ? std::string(base::Tr("文件是只读的"))
                                                                            : written.message()),
                         written.kind);
}

}  // namespace

base::Outcome<std::string> ReadUserFile(const std::string& path, std::size_t maxBytes) {
    base::Outcome<std::string> r = files::ReadFile(path, maxBytes);
    if (r.ok()) return r;
    std::string why;
    switch (r.kind) {
        case base::ErrorKind::Folder: why = base::Tr("这是一个文件夹, 不是文件"); break;
        case base::ErrorKind::NotRegular: why = base::Tr("这不是普通文件 (设备、管道或套接字)"); break;
        case base::ErrorKind::TooLarge: why = base::Tr("文件太大 (超过 %1 字节)", maxBytes); break;
        default: why = r.message(); break;
    }
    return base::Failure<std::string>(base::Tr("无法读取文件 \"%1\": %2", path, why), r.kind);
}

base::Outcome<std::string> FirstLine(std::string_view bytes) {
    if (bytes.empty()) return base::Failure<std::string>(base::Tr("文件是空的"));
    const std::string_view line = bytes.substr(0, bytes.find_first_of("\r\n"));
    for (const char c : line)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return base::Failure<std::string>(base::Tr("这不是文本文件"));
    auto text = base::GbkToUtf8(line);
    if (!text) return base::Failure<std::string>(base::Tr("这不是文本文件"));
    return base::Success(std::move(*text));
}

base::Outcome<std::string> ReadFirstLine(const std::string& path) {
    const auto bytes = ReadUserFile(path, kMaxTextFileBytes);
    if (!bytes.ok()) return bytes;
    auto line = FirstLine(bytes.value);
    if (!line.ok()) line.error = base::Tr("文件 \"%1\" 无法使用: %2", path, line.error);
    return line;
}

base::Outcome<> WriteLine(const std::string& path, const std::string& line) {
    const auto gbk = base::Utf8ToGbk(line);
    if (!gbk) return base::Failure(base::Tr("无法保存文件 \"%1\": 文字中有无法保存的字符", path));
    return writeBytes(path, *gbk + "\r\n");
}

base::Outcome<> WriteBytes(const std::string& path, std::string_view bytes) { return writeBytes(path, bytes); }

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

base::Outcome<> PrepareFolder(const std::string& dir) {
    // A folder made here is the user's alone (0700); one that exists keeps its mode.
    if (const auto made = files::MakePrivateFolders(dir); !made.ok())
        return base::Failure(base::Tr("无法创建文件夹 \"%1\": %2", dir, made.message()), made.kind);
    if (!exists(dir, kCompanyFile))
        if (auto written = WriteLine(join(dir, kCompanyFile), kDefaultCompany); !written.ok()) return written;
    if (!exists(dir, kPasswordFile))
        if (auto written = WriteLine(join(dir, kPasswordFile), HashPassword("")); !written.ok()) return written;
    if (!exists(dir, kBackgroundFile)) return writeBytes(join(dir, kBackgroundFile), BuiltInPicture());
    return {};
}

std::string ChooseFolder(const std::string& programDir, const std::string& perUserDir, const std::string& chosen) {
    if (!chosen.empty()) return chosen;
    // An installed program lives in a prefix's bin folder (/usr/bin, /usr/local/bin,
    // ~/.local/bin): its user files never go beside it, even when root could write there.
    fs::path dir = files::PathOf(programDir).lexically_normal();
    if (!dir.has_filename()) dir = dir.parent_path();  // a trailing "/"
    const std::string perUser = files::TextOf(files::PathOf(perUserDir) / "image");
    if (dir.filename() == "bin") return perUser;
    const std::string beside = join(programDir, "image");
    std::error_code ec;
    if (fs::is_directory(files::PathOf(beside), ec)) {
        if (files::MayCreateIn(beside)) return beside;
    } else if (files::MayCreateIn(programDir)) {
        return beside;
    }
    return perUser;
}

base::Outcome<bool> CheckPassword(const std::string& dir, const std::string& typed) {
    const std::string path = join(dir, kPasswordFile);
    // A password file left readable by others by an older installation is made the owner's alone.
    files::CloseToOthers(path);
    const auto stored = ReadFirstLine(path);
    if (!stored.ok()) return base::Failure<bool>(stored.error);
    if (!IsPasswordHash(stored.value)) return base::Success(stored.value == typed);  // a legacy plain-text password
    if (!ensureSodium()) return base::Success(false);
    return base::Success(crypto_pwhash_str_verify(stored.value.c_str(), typed.c_str(), typed.size()) == 0);
}

base::Outcome<> ChangePassword(const std::string& dir, const std::string& oldPassword, const std::string& newPassword) {
    const auto matches = CheckPassword(dir, oldPassword);
    if (!matches.ok()) return base::Failure(matches.error);
    if (!matches.value) return base::Failure(base::Tr("密码错误!"), base::ErrorKind::BadData);
    const std::string hash = HashPassword(newPassword);
    if (hash.empty()) return base::Failure(base::Tr("无法生成密码的哈希值"));
    return WriteLine(join(dir, kPasswordFile), hash);
}

base::Outcome<> SaveCompanyName(const std::string& dir, const std::string& name) {
    if (name.empty()) return base::Failure(base::Tr("不能为空!"), base::ErrorKind::BadData);
    return WriteLine(join(dir, kCompanyFile), name);
}

}  // namespace users

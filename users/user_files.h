// The user files of the login: the folder "image" with the password ("1.bc"), the company
// name shown as the windows' caption ("2.bc") and the login background ("1.jpg"). Text files
// are read as lines (a line ends at CR, LF or CR LF) and only the first line counts; they
// are written as one line followed by CR LF, in GBK, atomically and readable by the owner
// only.
//
// The password file holds a salted slow hash of the password (Argon2id), never the password
// itself. A first line that is no such hash is a password kept in plain text by an older
// installation: it still logs in, and the next change of password stores a hash.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace users {

inline constexpr const char* kPasswordFile = "1.bc";
inline constexpr const char* kCompanyFile = "2.bc";
inline constexpr const char* kBackgroundFile = "1.jpg";
inline constexpr const char* kDefaultCompany = "Velkor";

// The largest user text file read (a line is a few dozen bytes) and the largest picture file.
inline constexpr std::size_t kMaxTextFileBytes = 64 << 10;
inline constexpr std::size_t kMaxPictureFileBytes = 32 << 20;

// The bytes of a user file of at most `maxBytes`; nullopt with the operator's message (in
// Chinese, naming the file and why: missing, a folder, no regular file, too large) in `error`.
std::optional<std::string> ReadUserFile(const std::string& path, std::size_t maxBytes, std::string& error);

// The first line of a text file's bytes, converted from GBK; nullopt with the reason in
// `error` when there is no line or the line is no text (control characters, no valid GBK).
std::optional<std::string> FirstLine(std::string_view bytes, std::string& error);

// The first line of a text file; nullopt with the message in `error` when the file cannot be
// read, holds no line or is no text.
std::optional<std::string> ReadFirstLine(const std::string& path, std::string& error);

// Writes `line` + CR LF (as GBK) atomically, mode 0600 whatever the file had. False with the
// message in `error`; a file marked read-only is not replaced.
bool WriteLine(const std::string& path, const std::string& line, std::string& error);

// Writes `bytes` the same way, unchanged (the background picture).
bool WriteBytes(const std::string& path, std::string_view bytes, std::string& error);

// Creates the folder and whatever of its files is missing: the company name "Velkor", the
// built-in picture, a password file for the empty password. False with the reason.
bool PrepareFolder(const std::string& dir, std::string& error);

// The folder to use: `chosen` when given; otherwise "image" beside the program when that is
// writable (or can be created there) and the program is not installed in a bin folder;
// otherwise "image" in `perUserDir`.
std::string ChooseFolder(const std::string& programDir, const std::string& perUserDir, const std::string& chosen = {});

// The login check against the password file's first line (a hash, or a legacy plain text
// compared exactly). nullopt when the file cannot be read: no password can succeed.
std::optional<bool> CheckPassword(const std::string& dir, const std::string& typed, std::string& error);

// The change-password dialog: the old password must match; then the file holds the new
// password's hash. Returns "" on success, "密码错误!" for a wrong old password, or the error.
std::string ChangePassword(const std::string& dir, const std::string& oldPassword, const std::string& newPassword);

// The company-name dialog: "不能为空!" for an empty name (the file stays unchanged), or the
// error of writing it; "" on success.
std::string SaveCompanyName(const std::string& dir, const std::string& name);

// A password as the file stores it, and whether a stored line is such a hash.
std::string HashPassword(const std::string& password);
bool IsPasswordHash(const std::string& line);

}  // namespace users

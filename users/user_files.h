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

#include "base/outcome.h"

namespace users {

inline constexpr const char* kPasswordFile = "1.bc";
inline constexpr const char* kCompanyFile = "2.bc";
inline constexpr const char* kBackgroundFile = "1.jpg";
inline constexpr const char* kDefaultCompany = "Velkor";

// The largest user text file read (a line is a few dozen bytes) and the largest picture file.
inline constexpr std::size_t kMaxTextFileBytes = 64 << 10;
inline constexpr std::size_t kMaxPictureFileBytes = 32 << 20;

// The bytes of a user file of at most `maxBytes`, or the operator's message (in Chinese,
// naming the file and why: missing, a folder, no regular file, too large).
base::Outcome<std::string> ReadUserFile(const std::string& path, std::size_t maxBytes);

// The first line of a text file's bytes, converted from GBK, or the reason there is none: no
// line, or the line is no text (control characters, no valid GBK).
base::Outcome<std::string> FirstLine(std::string_view bytes);

// The first line of a text file, or the message when the file cannot be read, holds no line
// or is no text.
base::Outcome<std::string> ReadFirstLine(const std::string& path);

// Writes `line` + CR LF (as GBK) atomically, mode 0600 whatever the file had; a file marked
// read-only is not replaced.
base::Outcome<> WriteLine(const std::string& path, const std::string& line);

// Writes `bytes` the same way, unchanged (the background picture).
base::Outcome<> WriteBytes(const std::string& path, std::string_view bytes);

// Creates the folder and whatever of its files is missing: the company name "Velkor", the
// built-in picture, a password file for the empty password.
base::Outcome<> PrepareFolder(const std::string& dir);

// The folder to use: `chosen` when given; otherwise "image" beside the program when that is
// writable (or can be created there) and the program is not installed in a bin folder;
// otherwise "image" in `perUserDir`.
std::string ChooseFolder(const std::string& programDir, const std::string& perUserDir, const std::string& chosen = {});

// The login check against the password file's first line (a hash, or a legacy plain text
// compared exactly). An error when the file cannot be read: no password can succeed.
base::Outcome<bool> CheckPassword(const std::string& dir, const std::string& typed);

// The change-password dialog: the old password must match; then the file holds the new
// password's hash. A wrong old password is refused as BadData, "密码错误!"; anything else is
// what failed.
base::Outcome<> ChangePassword(const std::string& dir, const std::string& oldPassword, const std::string& newPassword);

// The company-name dialog: an empty name is refused as BadData, "不能为空!" (the file stays
// unchanged); anything else is what failed in writing it.
base::Outcome<> SaveCompanyName(const std::string& dir, const std::string& name);

// A password as the file stores it, and whether a stored line is such a hash.
std::string HashPassword(const std::string& password);
bool IsPasswordHash(const std::string& line);

}  // namespace users

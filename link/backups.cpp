#include "link/backups.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "base/text.h"
#include "files/atomic_write.h"
#include "files/folders.h"
#ifdef _WIN32
#include "files/wide_path_win.h"
#endif
#include "image/transfer.h"

namespace radiolink {
namespace {

namespace fs = std::filesystem;

constexpr const char* kIncomplete = ".incomplete-block-";

std::string env(const char* name) {
#ifdef _WIN32
    // The wide environment: a user folder with Chinese letters comes through as UTF-8.
    const wchar_t* v = ::_wgetenv(files::Widen(name).c_str());
    return v && *v ? files::Narrow(v) : "";
#else
    const char* v = std::getenv(name);
    return v && *v ? v : "";
#endif
}

// A UTF-8 name as the system's path (on Windows the narrow form would be the ANSI code page).
fs::path pathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string stamp() {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d_%H%M%S", &local);
    return text;
}

// The port as part of a file name: "/dev/ttyUSB0" gives "dev_ttyUSB0".
std::string portPart(const std::string& port) {
    std::string name = port;
    for (char& c : name)
        if (c == '/' || c == '\\' || c == ' ') c = '_';
    name.erase(0, name.find_first_not_of("_."));  // "\\.\COM10" gives "COM10"
    return name;
}

}  // namespace

std::string BackupDir() {
    if (const auto dir = env("RADIO_BACKUP_DIR"); !dir.empty()) return dir;
#ifdef _WIN32
    // The user's own, not roaming: %LOCALAPPDATA%\radio\backups.
    if (const auto local = env("LOCALAPPDATA"); !local.empty()) return local + "\\radio\\backups";
    return env("USERPROFILE") + "\\AppData\\Local\\radio\\backups";
#endif
    if (const auto data = env("XDG_DATA_HOME"); !data.empty()) return data + "/radio/backups";
    return env("HOME") + "/.local/share/radio/backups";
}

base::Outcome<std::string> SaveBackup(const std::vector<std::uint8_t>& image, const std::string& port,
                                       int stoppedAt, const std::string& dir) {
    // Backups hold what the radio holds: for the operator's eyes only. A folder made here is
    // 0700; one that exists (a shared folder the operator chose) keeps its mode, the files
    // are 0600 either way.
    if (const auto made = files::MakePrivateFolders(dir); !made.ok())
        return base::Failure<std::string>(base::Tr("无法建立备份文件夹 \"%1\": %2", dir, made.message()), made.kind);
    std::error_code ec;
#ifdef _WIN32
    constexpr const char* kSeparator = "\\";
#else
    constexpr const char* kSeparator = "/";
#endif
    const std::string stem = dir + kSeparator + stamp() + "_" + portPart(port) +
                             (stoppedAt == kComplete ? "" : kIncomplete + std::to_string(stoppedAt));
    std::string path = stem + ".img";
    for (int n = 2; fs::exists(pathOf(path), ec); ++n) path = stem + "-" + std::to_string(n) + ".img";
    const auto written = files::WriteAtomically(
        path, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()), {0600});
    if (!written.ok())
        return base::Failure<std::string>(base::Tr("无法保存备份 \"%1\": %2", path, written.message()), written.kind);
    return base::Success(std::move(path));
}

base::Outcome<> RestoreRisk(const std::string& path, const std::vector<std::uint8_t>& image) {
    using base::ErrorKind;
    if (fs::path(path).filename().string().find(kIncomplete) != std::string::npos)
        return base::Failure(base::Tr("这是一次未完成的读频留下的备份, 其中缺少的块是 FF, 写回会清空电台的这些数据"),
                             ErrorKind::Refused);
    const auto& list = image::TransferList();
    const bool blank = std::all_of(list.begin() + 128, list.end(), [&](const image::TransferBlock& b) {
        return b.address + b.length <= image.size() &&
               std::all_of(image.begin() + b.address, image.begin() + b.address + b.length,
                           [](std::uint8_t byte) { return byte == 0xFF; });
    });
    if (blank) return base::Failure(base::Tr("这个映像的设置块 (0x0200-0x03AF) 全是 FF, 写回会清空电台"), ErrorKind::Refused);
    return {};
}

}  // namespace radiolink

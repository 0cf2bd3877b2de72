#include "link/backups.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace radiolink {
namespace {

namespace fs = std::filesystem;
constexpr auto kKeep = std::chrono::hours(24 * 366);

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v && *v ? v : "";
}

void pruneOld(const fs::path& dir) {
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        if (entry.path().extension() != ".img") continue;
        const auto when = entry.last_write_time(ec);
        if (!ec && now - when > kKeep) fs::remove(entry.path(), ec);
    }
}

}  // namespace

std::string BackupDir() {
    if (const auto dir = env("RADIO_BACKUP_DIR"); !dir.empty()) return dir;
    if (const auto data = env("XDG_DATA_HOME"); !data.empty()) return data + "/radio/backups";
    return env("HOME") + "/.local/share/radio/backups";
}

std::string SaveBackup(const std::vector<std::uint8_t>& image, const std::string& port, std::string& error,
                       const std::string& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        error = "cannot create the backups folder \"" + dir + "\": " + ec.message();
        return {};
    }
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H%M%S", &local);
    std::string name = port;
    for (char& c : name)
        if (c == '/' || c == '\\' || c == ' ') c = '_';
    while (!name.empty() && name.front() == '_') name.erase(0, 1);
    std::string path = dir + "/" + stamp + "_" + name + ".img";
    for (int n = 2; fs::exists(path, ec); ++n) path = dir + "/" + stamp + "_" + name + "-" + std::to_string(n) + ".img";

    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    out.close();
    if (!out) {
        error = "cannot write the backup \"" + path + "\": " + std::strerror(errno);
        return {};
    }
    pruneOld(dir);
    return path;
}

}  // namespace radiolink

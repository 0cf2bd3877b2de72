#include "link/doctor_facts.h"

#include <dirent.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace radiolink::doctor {
namespace {

namespace fs = std::filesystem;

std::string FirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line)) return {};
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ' || line.back() == '\0'))
        line.pop_back();
    return line;
}

std::string GroupName(gid_t gid) {
    if (const group* g = ::getgrgid(gid)) return g->gr_name;
    return std::to_string(gid);
}

}  // namespace

std::string SystemName() {
    utsname u{};
    if (::uname(&u) != 0) return "unknown";
    return std::string(u.sysname) + " " + u.release + " " + u.machine;
}

AdapterFacts Adapter(const std::string& device, const std::string& sysClassTty) {
    AdapterFacts facts;
    const std::string name = fs::path(device).filename().string();
    std::error_code ec;
    const fs::path entry = fs::path(sysClassTty) / name / "device";
    if (name.empty() || !fs::exists(entry, ec)) return facts;
    const fs::path driver = fs::read_symlink(entry / "driver", ec);
    if (!ec) facts.driver = driver.filename().string();
    // The tty's device is a USB interface (ttyACM) or a port below one (ttyUSB): the USB
    // device with the ids is one or two levels up.
    fs::path dir = fs::canonical(entry, ec);
    for (int level = 0; !ec && level < 3 && dir.has_relative_path(); ++level, dir = dir.parent_path()) {
        const std::string vendor = FirstLine(dir / "idVendor");
        if (vendor.empty()) continue;
        facts.vendorId = vendor;
        facts.productId = FirstLine(dir / "idProduct");
        facts.product = FirstLine(dir / "product");
        break;
    }
    return facts;
}

GroupFacts Groups(const std::string& device) {
    GroupFacts facts;
    const uid_t uid = ::geteuid();
    const passwd* pw = ::getpwuid(uid);
    facts.user = pw ? pw->pw_name : std::to_string(uid);
    const gid_t primary = pw ? pw->pw_gid : ::getegid();

    std::vector<gid_t> ids(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)) + 1);
    const int count = ::getgroups(static_cast<int>(ids.size()), ids.data());
    ids.resize(static_cast<std::size_t>(std::max(count, 0)));
    ids.push_back(::getegid());
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    for (const gid_t id : ids) facts.processGroups.push_back(GroupName(id));

    struct stat st {};
    if (::stat(device.c_str(), &st) != 0) return facts;
    facts.known = true;
    facts.deviceGroup = GroupName(st.st_gid);
    facts.groupMayOpen = (st.st_mode & S_IRGRP) && (st.st_mode & S_IWGRP);
    facts.inProcess = std::find(ids.begin(), ids.end(), st.st_gid) != ids.end();
    facts.inGroupFile = primary == st.st_gid;
    if (const group* g = ::getgrgid(st.st_gid))
        for (char** member = g->gr_mem; member && *member; ++member)
            if (facts.user == *member) facts.inGroupFile = true;
    return facts;
}

std::vector<std::string> RunningProcesses(const std::vector<std::string>& names) {
    std::vector<std::string> found;
    DIR* proc = ::opendir("/proc");
    if (!proc) return found;
    while (const dirent* e = ::readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(e->d_name, &end, 10);
        if (pid <= 0 || *end != '\0') continue;
        const std::string comm = FirstLine(fs::path("/proc") / e->d_name / "comm");
        if (std::find(names.begin(), names.end(), comm) != names.end())
            found.push_back(comm + " (pid " + std::to_string(pid) + ")");
    }
    ::closedir(proc);
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace radiolink::doctor

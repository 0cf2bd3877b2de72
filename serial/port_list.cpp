#include "serial/port_list.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace serial {
namespace {

namespace fs = std::filesystem;

// A port of the serial core that found no UART reports type 0 (PORT_UNKNOWN); opening it
// fails, so it is not offered.
bool ReportsNoUart(const fs::path& entry) {
    std::ifstream in(entry / "type");
    int type = -1;
    return in && (in >> type) && type == 0;
}

std::string FirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line)) return {};
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
    return line;
}

// The tty's device is a USB interface (ttyACM) or a port below one (ttyUSB); the USB device
// holding `product` is one or two levels up.
std::string UsbProduct(const fs::path& entry) {
    std::error_code ec;
    fs::path dir = fs::canonical(entry / "device", ec);
    for (int level = 0; !ec && level < 3 && dir.has_relative_path(); ++level, dir = dir.parent_path()) {
        const std::string product = FirstLine(dir / "product");
        if (!product.empty()) return product;
    }
    return {};
}

std::string ByIdName(const std::string& name, const fs::path& byIdDir) {
    std::error_code ec;
    for (fs::directory_iterator it(byIdDir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(it->path(), linkError);
        if (linkError || target.filename() != name) continue;
        std::string id = it->path().filename().string();
        if (id.rfind("usb-", 0) == 0) id.erase(0, 4);
        if (const auto at = id.rfind("-if"); at != std::string::npos) id.resize(at);
        std::replace(id.begin(), id.end(), '_', ' ');
        return id;
    }
    return {};
}

}  // namespace

std::string PortDescription(const std::string& name, const std::string& sysClassTty, const std::string& byIdDir) {
    if (name.empty() || name.find('/') != std::string::npos) return {};
    const std::string product = UsbProduct(fs::path(sysClassTty) / name);
    return product.empty() ? ByIdName(name, byIdDir) : product;
}

std::vector<std::string> PortList(const std::string& sysClassTty, const std::vector<std::string>& extraNames) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(sysClassTty, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path entry = it->path();
        std::error_code linkError;
        if (!fs::exists(entry / "device", linkError)) continue;
        if (ReportsNoUart(entry)) continue;
        names.push_back(entry.filename().string());
    }
    for (const auto& extra : extraNames)
        if (std::find(names.begin(), names.end(), extra) == names.end()) names.push_back(extra);
    std::sort(names.begin(), names.end(), LessNoCase);
    return names;
}

// The original rule prefixes names of 5 or more characters with the Windows device namespace
// ("\\.\COM10"); on this system the device namespace is /dev, and a name that already is a
// path is left alone.
std::string DeviceName(const std::string& entry) {
    if (entry.size() < 5) return entry;
    if (!entry.empty() && entry.front() == '/') return entry;
    return "/dev/" + entry;
}

}  // namespace serial

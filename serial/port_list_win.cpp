// The port list on Windows: the serial devices the system registers under
// HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM (each value's data is a port's name,
// "COM5"), and each port's friendly name from the Ports class of devices.
#include "serial/port_list.h"

#include <windows.h>

#include <algorithm>

#include "files/wide_path_win.h"

namespace serial {
namespace {

std::vector<std::string> RegisteredPorts() {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t value[256];
        DWORD valueSize = static_cast<DWORD>(std::size(value));
        wchar_t data[256] = {};
        DWORD dataSize = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        const LSTATUS r = ::RegEnumValueW(key, i, value, &valueSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS || type != REG_SZ) continue;
        std::wstring name(data, dataSize / sizeof(wchar_t));
        while (!name.empty() && name.back() == L'\0') name.pop_back();
        if (!name.empty()) names.push_back(files::Narrow(name));
    }
    ::RegCloseKey(key);
    return names;
}

// The friendly name a driver gives its port, "USB-SERIAL CH340 (COM5)", found among the
// devices of the Ports class by their PortName.
std::string FriendlyName(const std::string& port) {
    HKEY enumKey = nullptr;
    const wchar_t* const root = L"SYSTEM\\CurrentControlSet\\Enum";
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, root, 0, KEY_READ, &enumKey) != ERROR_SUCCESS) return {};
    std::string found;
    const std::wstring wanted = files::Widen(port);
    // Enum\<bus>\<device>\<instance>\Device Parameters\PortName
    auto subkeys = [](HKEY key) {
        std::vector<std::wstring> names;
        for (DWORD i = 0;; ++i) {
            wchar_t name[256];
            DWORD size = static_cast<DWORD>(std::size(name));
            if (::RegEnumKeyExW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            names.emplace_back(name, size);
        }
        return names;
    };
    auto readString = [](HKEY key, const wchar_t* sub, const wchar_t* value) {
        wchar_t data[256] = {};
        DWORD size = sizeof data - sizeof(wchar_t);
        if (::RegGetValueW(key, sub, value, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) return std::wstring();
        return std::wstring(data);
    };
    for (const auto& bus : subkeys(enumKey)) {
        HKEY busKey = nullptr;
        if (::RegOpenKeyExW(enumKey, bus.c_str(), 0, KEY_READ, &busKey) != ERROR_SUCCESS) continue;
        for (const auto& device : subkeys(busKey)) {
            HKEY deviceKey = nullptr;
            if (::RegOpenKeyExW(busKey, device.c_str(), 0, KEY_READ, &deviceKey) != ERROR_SUCCESS) continue;
            for (const auto& instance : subkeys(deviceKey)) {
                if (readString(deviceKey, (instance + L"\\Device Parameters").c_str(), L"PortName") != wanted) continue;
                found = files::Narrow(readString(deviceKey, instance.c_str(), L"FriendlyName"));
                if (!found.empty()) break;
            }
            ::RegCloseKey(deviceKey);
            if (!found.empty()) break;
        }
        ::RegCloseKey(busKey);
        if (!found.empty()) break;
    }
    ::RegCloseKey(enumKey);
    return found;
}

}  // namespace

// The folder arguments name Linux's places and are not used here.
std::vector<std::string> PortList(const std::string&, const std::vector<std::string>& extraNames) {
    std::vector<std::string> names = RegisteredPorts();
    for (const auto& extra : extraNames)
        if (std::find(names.begin(), names.end(), extra) == names.end()) names.push_back(extra);
    std::sort(names.begin(), names.end(), LessNoCase);
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

// Names of 5 or more characters ("COM10") are opened in the device namespace, "\\.\COM10";
// shorter ones ("COM5") as they are, which the system also finds there. A name that already
// is a path is left alone.
std::string DeviceName(const std::string& entry) {
    if (entry.size() < 5) return entry;
    if (entry.rfind("\\\\", 0) == 0) return entry;
    return "\\\\.\\" + entry;
}

std::string PortDescription(const std::string& name, const std::string&, const std::string&) {
    if (name.empty() || name.find('\\') != std::string::npos) return {};
    return FriendlyName(name);
}

}  // namespace serial

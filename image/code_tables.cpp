#include "image/code_tables.h"

#include <array>

#include "base/hex.h"

namespace image {
using base::IsUpperHex;
using base::hexDigits;
using base::hexValue;
namespace {

constexpr std::array<const char*, 39> kCtcss = {
    "67.0",  "69.3",  "71.9",  "74.4",  "77.0",  "79.7",  "82.5",  "85.4",  "88.5",  "91.5",
    "94.8",  "97.4",  "100.0", "103.5", "107.2", "110.9", "114.8", "118.8", "123.0", "127.3",
    "131.8", "136.5", "141.3", "146.2", "151.4", "156.7", "162.2", "167.9", "173.8", "179.9",
    "186.2", "192.8", "203.5", "210.7", "218.1", "225.7", "233.6", "241.8", "250.3"};

constexpr std::array<const char*, 83> kDcs = {
    "023", "025", "026", "031", "032", "043", "047", "051", "054", "065", "071", "072", "073", "074",
    "114", "115", "116", "125", "131", "132", "134", "143", "152", "155", "156", "162", "165", "172",
    "174", "205", "223", "226", "243", "244", "245", "251", "261", "263", "265", "271", "306", "311",
    "315", "331", "343", "346", "351", "364", "365", "371", "411", "412", "413", "423", "431", "432",
    "445", "464", "465", "466", "503", "506", "516", "532", "546", "565", "606", "612", "624", "627",
    "631", "632", "654", "662", "664", "703", "712", "723", "731", "732", "734", "743", "754"};

std::vector<std::string> buildToneList(const char* off) {
    std::vector<std::string> list{off};
    for (const char* t : kCtcss) list.push_back(std::string(t) + "HZ");
    for (const char* d : kDcs) list.push_back("D" + std::string(d) + "N");
    for (const char* d : kDcs) list.push_back("D" + std::string(d) + "I");
    return list;
}

bool isDecimal(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// The three code digits of a DCS text. The list holds octal codes only, but a code read from
// the radio may carry any hex digit, and it must be written back as it came.
bool isDcsDigits(std::string_view s) { return s.size() == 3 && IsUpperHex(s); }

}  // namespace

const std::vector<std::string>& ToneList(ToneSpelling spelling) {
    static const std::vector<std::string> grid = buildToneList("OFF");
    static const std::vector<std::string> band = buildToneList("0FF");
    return spelling == ToneSpelling::Grid ? grid : band;
}

std::optional<std::string> ToneTextToCode(std::string_view text) {
    if (text.empty() || text.size() == 3) return "FFFF";
    if (text.find("HZ") != std::string_view::npos) {
        // "HZ" closes the text: "67HZ7" is no tone, never 67.
        if (text.size() < 2 || text.substr(text.size() - 2) != "HZ") return std::nullopt;
        std::string number;
        for (char c : text.substr(0, text.size() - 2))
            if (c != '.') number.push_back(c);
        if (!isDecimal(number) || number.size() > 5) return std::nullopt;
        const unsigned long tenths = std::stoul(number);
        if (tenths > 0xFFFF) return std::nullopt;
        return hexDigits(static_cast<std::uint32_t>(tenths), 4);
    }
    // DCS: "D" + three digits + "N" (normal, 8...) or "I" (inverted, C...). Only the leading
    // "D" is replaced, so a code digit D (read from the radio) survives.
    if (text.size() == 5 && text[0] == 'D' && isDcsDigits(text.substr(1, 3))) {
        if (text[4] == 'N') return "8" + std::string(text.substr(1, 3));
        if (text[4] == 'I') return "C" + std::string(text.substr(1, 3));
    }
    return std::nullopt;
}

std::string ToneCodeToText(std::string_view code) {
    if (code == "FFFF" || code == "0000") return "";
    if (code.size() != 4) return "";
    if (code[0] == 'C') return "D" + std::string(code.substr(1)) + "I";
    if (code[0] == '8') return "D" + std::string(code.substr(1)) + "N";
    const auto value = hexValue(code);
    if (!value) return "";
    std::string tenths = std::to_string(*value);
    tenths.insert(tenths.size() - 1, ".");
    return tenths + "HZ";
}

const std::vector<std::string>& SignallingList() {
    // Written out, each item is a text of its own that the windows can show translated.
    static const std::vector<std::string> list{
        "关",          "双音1",       "双音2",       "双音3",       "双音4",       "双音5",
        "双音6",       "双音7",       "双音8",       "双音1+身份码", "双音2+身份码", "双音3+身份码",
        "双音4+身份码", "双音5+身份码", "双音6+身份码", "双音7+身份码", "双音8+身份码", "身份码"};
    return list;
}

const std::vector<std::string>& ReceiveModeList() {
    static const std::vector<std::string> list{"QT/DQT", "QT/DQT+信令"};
    return list;
}

const std::vector<std::string>& PowerList() {
    static const std::vector<std::string> list{"低", "高"};
    return list;
}

const std::vector<std::string>& BandwidthList() {
    static const std::vector<std::string> list{"窄带", "宽带"};
    return list;
}

const std::vector<std::string>& OffOnList() {
    static const std::vector<std::string> list{"关", "开"};
    return list;
}

int IndexOf(const std::vector<std::string>& list, std::string_view text) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == text) return static_cast<int>(i);
    return -1;
}

}  // namespace image

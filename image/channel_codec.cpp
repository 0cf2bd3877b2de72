#include "image/channel_codec.h"

#include "image/code_tables.h"
#include "image/frequency.h"
#include "image/gbk.h"
#include "image/hex.h"

namespace image {
namespace {

constexpr int kNameBytes = 7;

// Tone digits into a cell: no tone shows "OFF" when the direction's frequency is set.
std::string toneCell(std::string_view code, const std::string& frequencyCell) {
    const std::string text = ToneCodeToText(code);
    if (!text.empty()) return text;
    return frequencyCell.empty() ? "" : "OFF";
}

std::string signallingCell(std::string_view code, const std::string& txFrequencyCell) {
    const auto value = hexValue(code);
    if (!value) return "";
    if (*value == 0) return txFrequencyCell.empty() ? "" : "关";
    if (*value <= 0x11) return SignallingList()[*value];
    return "";
}

std::string errorAt(Band band, int row, int column, const std::string& what) {
    return std::string(ChannelPageCaption(band)) + " channel " + std::to_string(row) + ", column \"" +
           kGridHeadings[static_cast<std::size_t>(column)] + "\": " + what;
}

}  // namespace

const char* ChannelPageCaption(Band band) { return band == Band::Upper ? "上段信道" : "下段信道"; }

void DecodeChannel(std::string_view record, Grid& grid, int row) {
    auto cell = [&](int column) -> std::string& { return grid.at(row, column); };
    auto field = [&](std::size_t from, std::size_t to) { return digits(record, from, to); };

    cell(kColRxFreq) = FrequencyFieldToText(field(1, 8));
    cell(kColRxTone) = toneCell(field(9, 12), cell(kColRxFreq));
    const auto mode = field(13, 14);
    cell(kColRxMode) = mode == "00" ? (cell(kColRxFreq).empty() ? "" : "QT/DQT") : mode == "01" ? "QT/DQT+信令" : "";
    cell(kColTxFreq) = FrequencyFieldToText(field(15, 22));
    cell(kColTxTone) = toneCell(field(23, 26), cell(kColTxFreq));
    cell(kColStartSignal) = signallingCell(field(27, 28), cell(kColTxFreq));
    cell(kColEndSignal) = signallingCell(field(29, 30), cell(kColTxFreq));

    const auto options = field(31, 32);
    const auto bits = hexValue(options);
    if (options == "FF" || !bits) {
        for (int c = kColPower; c <= kColScrambler; ++c) cell(c) = "";
    } else {
        cell(kColPower) = PowerList()[(*bits >> 7) & 1];
        cell(kColBandwidth) = BandwidthList()[(*bits >> 6) & 1];
        cell(kColCompander) = OffOnList()[(*bits >> 5) & 1];
        cell(kColScrambler) = OffOnList()[(*bits >> 4) & 1];
    }

    // Name: length byte, then up to 7 character bytes. A length of 8 to 0xFE asks for more
    // than the field holds: the 7 bytes it has are shown.
    const auto length = hexValue(field(33, 34));
    if (!length || *length == 0 || *length == 0xFF) {
        cell(kColName) = "";
    } else {
        const std::size_t n = *length < kNameBytes ? *length : kNameBytes;
        const auto bytes = HexToBytes(field(35, 34 + 2 * n));
        cell(kColName) = GbkBytesToKeptText(std::string(bytes.bytes.begin(), bytes.bytes.end()));
    }
}

RecordResult EncodeChannel(const Grid& grid, int row, Band band) {
    auto cell = [&](int column) -> const std::string& { return grid.at(row, column); };
    RecordResult result;
    std::string& out = result.digits;

    auto frequency = [&](int column) -> bool {
        if (cell(column).empty()) {
            out += "FFFFFFFF";
            return true;
        }
        const auto units = ScaledDecimal(cell(column));
        if (!units || *units < 0 || *units > 0xFFFFFFFE) {
            result.error = errorAt(band, row, column, NotAFloat(cell(column)));
            return false;
        }
        out += hexDigits(static_cast<std::uint32_t>(*units), 8);
        return true;
    };
    auto tone = [&](int column) -> bool {
        const auto code = ToneTextToCode(cell(column));
        if (!code) {
            result.error = errorAt(band, row, column, "'" + cell(column) + "'不是亚音频");
            return false;
        }
        out += *code;
        return true;
    };
    auto signalling = [&](int column) {
        const int index = IndexOf(SignallingList(), cell(column));
        out += index < 0 ? "FF" : hexDigits(static_cast<std::uint32_t>(index), 2);
    };

    if (!frequency(kColRxFreq) || !tone(kColRxTone)) return {{}, result.error};
    const int mode = IndexOf(ReceiveModeList(), cell(kColRxMode));
    out += mode < 0 ? "FF" : hexDigits(static_cast<std::uint32_t>(mode), 2);
    if (!frequency(kColTxFreq) || !tone(kColTxTone)) return {{}, result.error};
    signalling(kColStartSignal);
    signalling(kColEndSignal);

    const int power = IndexOf(PowerList(), cell(kColPower));
    const int bandwidth = IndexOf(BandwidthList(), cell(kColBandwidth));
    const int compander = IndexOf(OffOnList(), cell(kColCompander));
    const int scrambler = IndexOf(OffOnList(), cell(kColScrambler));
    if (power < 0 || bandwidth < 0 || compander < 0 || scrambler < 0)
        out += "FF";
    else
        out += hexDigits(static_cast<std::uint32_t>(power * 128 + bandwidth * 64 + compander * 32 + scrambler * 16), 2);

    // Name: a cell of more than 7 bytes (only a file can carry one) gives its first 7.
    const std::string name = GbkPrefix(cell(kColName), kNameBytes);
    out += hexDigits(static_cast<std::uint32_t>(name.size()), 2) + BytesToHex(name);
    for (std::size_t i = name.size(); i < kNameBytes; ++i) out += "FF";
    return result;
}

}  // namespace image

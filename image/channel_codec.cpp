#include "image/channel_codec.h"

#include "image/code_tables.h"
#include "base/frequency.h"
#include "base/gbk.h"
#include "base/hex.h"
#include "base/text.h"

namespace image {
using namespace base;
namespace {

constexpr int kNameBytes = 7;

// How a record field holds its cell.
enum class Cell { Frequency, Tone, ReceiveMode, Signalling, Options, Name };

// The channel record, field by field in digit order. A tone, mode or signalling field is
// read in the light of its direction's frequency cell (`frequency`), set before it.
struct RecordField {
    std::size_t from, to;
    int column;
    Cell cell;
    int frequency = 0;
};
constexpr RecordField kRecord[] = {
    {1, 8, kColRxFreq, Cell::Frequency},
    {9, 12, kColRxTone, Cell::Tone, kColRxFreq},
    {13, 14, kColRxMode, Cell::ReceiveMode, kColRxFreq},
    {15, 22, kColTxFreq, Cell::Frequency},
    {23, 26, kColTxTone, Cell::Tone, kColTxFreq},
    {27, 28, kColStartSignal, Cell::Signalling, kColTxFreq},
    {29, 30, kColEndSignal, Cell::Signalling, kColTxFreq},
    {31, 32, kColPower, Cell::Options},  // the option byte: power .. scrambler, see kOptionBits
    {33, 48, kColName, Cell::Name},      // length byte, then 7 character bytes
};

// The option byte: a bit per column, the bit's value the item index; bits 3-0 are 0.
struct OptionBit {
    int column;
    int bit;
    const std::vector<std::string>& (*items)();
};
constexpr OptionBit kOptionBits[] = {
    {kColPower, 7, PowerList},
    {kColBandwidth, 6, BandwidthList},
    {kColCompander, 5, OffOnList},
    {kColScrambler, 4, OffOnList},
};

// Tone digits into a cell: no tone shows "OFF" when the direction's frequency is set.
std::string toneCell(std::string_view code, const std::string& frequencyCell) {
    const std::string text = ToneCodeToText(code);
    if (!text.empty()) return text;
    return frequencyCell.empty() ? "" : "OFF";
}

std::string receiveModeCell(std::string_view code, const std::string& rxFrequencyCell) {
    if (code == "00") return rxFrequencyCell.empty() ? "" : ReceiveModeList()[0];
    if (code == "01") return ReceiveModeList()[1];
    return "";
}

std::string signallingCell(std::string_view code, const std::string& txFrequencyCell) {
    const auto value = hexValue(code);
    if (!value) return "";
    if (*value == 0) return txFrequencyCell.empty() ? "" : "关";
    if (*value < SignallingList().size()) return SignallingList()[*value];
    return "";
}

// Name: length byte, then up to 7 character bytes. A length of 8 to 0xFE asks for more than
// the field holds: the 7 bytes it has are shown.
std::string nameCell(std::string_view field) {
    const auto length = hexValue(digits(field, 1, 2));
    if (!length || *length == 0 || *length == 0xFF) return "";
    const std::size_t n = *length < kNameBytes ? *length : kNameBytes;
    const auto bytes = HexToBytes(digits(field, 3, 2 + 2 * n));
    return GbkBytesToKeptText(std::string(bytes.value.begin(), bytes.value.end()));
}

// A list cell as two digits: its item index, or FF for a cell that is no item.
std::string indexDigits(const std::vector<std::string>& list, const std::string& cell) {
    const int index = IndexOf(list, cell);
    return index < 0 ? "FF" : hexDigits(static_cast<std::uint32_t>(index), 2);
}

std::string errorAt(Band band, int row, int column, const std::string& what) {
    return Tr("%1 第%2信道, %3: %4", Tr(ChannelPageCaption(band)), row, Tr(kGridHeadings[static_cast<std::size_t>(column)]),
              what);
}

}  // namespace

const char* ChannelPageCaption(Band band) { return band == Band::Upper ? "上段信道" : "下段信道"; }

void DecodeChannel(std::string_view record, Grid& grid, int row) {
    auto cell = [&](int column) -> std::string& { return grid.at(row, column); };
    for (const RecordField& f : kRecord) {
        const auto code = digits(record, f.from, f.to);
        switch (f.cell) {
            case Cell::Frequency: cell(f.column) = FrequencyFieldToText(code); break;
            case Cell::Tone: cell(f.column) = toneCell(code, cell(f.frequency)); break;
            case Cell::ReceiveMode: cell(f.column) = receiveModeCell(code, cell(f.frequency)); break;
            case Cell::Signalling: cell(f.column) = signallingCell(code, cell(f.frequency)); break;
            case Cell::Options: {
                const auto bits = hexValue(code);
                for (const OptionBit& o : kOptionBits)
                    cell(o.column) = code == "FF" || !bits ? "" : o.items()[(*bits >> o.bit) & 1];
                break;
            }
            case Cell::Name: cell(f.column) = nameCell(code); break;
        }
    }
}

Outcome<std::string> EncodeChannel(const Grid& grid, int row, Band band) {
    auto cell = [&](int column) -> const std::string& { return grid.at(row, column); };
    std::string out(kRecordDigits, 'F');
    for (const RecordField& f : kRecord) {
        const std::string& text = cell(f.column);
        std::string code;
        switch (f.cell) {
            case Cell::Frequency: {
                if (text.empty()) {
                    code = "FFFFFFFF";
                    break;
                }
                const auto units = ScaledDecimal(text);
                if (!units || *units < 0 || *units > 0xFFFFFFFE) return Failure<std::string>(errorAt(band, row, f.column, NotAFloat(text)));
                code = hexDigits(static_cast<std::uint32_t>(*units), 8);
                break;
            }
            case Cell::Tone: {
                const auto tone = ToneTextToCode(text);
                if (!tone) return Failure<std::string>(errorAt(band, row, f.column, Tr("'%1'不是亚音频", text)));
                code = *tone;
                break;
            }
            case Cell::ReceiveMode: code = indexDigits(ReceiveModeList(), text); break;
            case Cell::Signalling: code = indexDigits(SignallingList(), text); break;
            case Cell::Options: {
                std::uint32_t bits = 0;
                for (const OptionBit& o : kOptionBits) {
                    const int index = IndexOf(o.items(), cell(o.column));
                    if (index < 0) {
                        bits = 0xFF;  // any option not set: the whole byte is unset
                        break;
                    }
                    bits |= static_cast<std::uint32_t>(index) << o.bit;
                }
                code = hexDigits(bits, 2);
                break;
            }
            case Cell::Name: {
                // A cell of more than 7 bytes (only a file can carry one) gives its first 7.
                const std::string name = GbkPrefix(text, kNameBytes);
                code = hexDigits(static_cast<std::uint32_t>(name.size()), 2) + BytesToHex(name);
                code.resize(f.to - f.from + 1, 'F');
                break;
            }
        }
        out = splice(out, f.from, f.to, code);
    }
    return Success(std::move(out));
}

}  // namespace image

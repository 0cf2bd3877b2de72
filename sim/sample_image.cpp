#include "sim/sample_image.h"

#include <cstring>
#include <string_view>

namespace sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kNoTone = 0xFFFF;
constexpr std::uint8_t kNone = 0xFF;

// Sub-audio tone codes: CTCSS in tenths of a hertz; DCS as 8 (normal) or C (inverted)
// followed by the three octal digits.
constexpr std::uint16_t Ctcss(std::uint16_t tenths) { return tenths; }
constexpr std::uint16_t DcsN(std::uint16_t octalDigits) { return 0x8000 | octalDigits; }
constexpr std::uint16_t DcsI(std::uint16_t octalDigits) { return 0xC000 | octalDigits; }

// Signalling codes.
constexpr std::uint8_t kSigOff = 0x00;
constexpr std::uint8_t Dtmf(int group) { return static_cast<std::uint8_t>(group); }             // 1..8
constexpr std::uint8_t DtmfAndId(int group) { return static_cast<std::uint8_t>(0x08 + group); }  // 1..8
constexpr std::uint8_t kIdOnly = 0x11;

// Receive modes.
constexpr std::uint8_t kQt = 0x00;
constexpr std::uint8_t kQtSignal = 0x01;

constexpr std::uint32_t kNoFrequency = 0xFFFFFFFF;

struct Channel {
    std::uint32_t rx;  // units of 10 Hz
    std::uint16_t rxTone;
    std::uint8_t rxMode;
    std::uint32_t tx;
    std::uint16_t txTone;
    std::uint8_t startSignal, endSignal;
    bool high, wide, compander, scrambler;
    const char* name;  // up to 7 characters
};

// Upper band: two-metre amateur, marine, public service and business channels.
constexpr Channel kUpper[] = {
    {14652000, kNoTone, kQt, 14652000, kNoTone, kSigOff, kSigOff, true, true, false, false, "CALL"},
    {14565000, kNoTone, kQt, 14505000, Ctcss(885), kSigOff, kSigOff, true, true, false, false, "RPT1"},
    {14572500, Ctcss(1000), kQt, 14512500, Ctcss(1000), Dtmf(1), kSigOff, true, true, false, false, "RPT2"},
    {15680000, kNoTone, kQt, 15680000, kNoTone, kSigOff, kSigOff, true, true, false, false, "MARINE"},
    {15428000, Ctcss(1318), kQtSignal, 15428000, Ctcss(1318), Dtmf(1), kSigOff, true, true, false, false, "FIRE1"},
    {15383000, DcsN(0x023), kQtSignal, 15885000, DcsN(0x023), DtmfAndId(1), kIdOnly, true, true, false, false, "FIRE2"},
    {15534000, Ctcss(1679), kQt, 15534000, Ctcss(1679), DtmfAndId(2), kSigOff, true, true, true, false, "EMS"},
    {15162500, Ctcss(670), kQt, 15162500, Ctcss(670), kSigOff, kSigOff, false, false, false, false, "PARK"},
    {15248000, DcsI(0x754), kQt, 15248000, DcsI(0x754), Dtmf(3), Dtmf(4), false, false, false, true, "SITE A"},
    {15251000, DcsN(0x131), kQt, 15251000, DcsN(0x131), Dtmf(3), Dtmf(4), false, false, false, true, "SITE B"},
    {16255000, kNoTone, kQt, kNoFrequency, kNoTone, kNone, kNone, false, false, false, false, "WX"},
    {14439000, kNoTone, kQt, 14439000, kNoTone, kSigOff, kSigOff, false, true, false, false, "DATA"},
};

// Lower band: PMR446, the 70 cm repeater, site security, maintenance and events.
constexpr Channel kLower[] = {
    {44600000, kNoTone, kQt, 44600000, kNoTone, kSigOff, kSigOff, true, true, false, false, "UCALL"},
    {44600625, Ctcss(670), kQt, 44600625, Ctcss(670), kSigOff, kSigOff, false, false, false, false, "PMR1"},
    {44601875, Ctcss(719), kQt, 44601875, Ctcss(719), kSigOff, kSigOff, false, false, false, false, "PMR2"},
    {43942500, kNoTone, kQt, 43182500, Ctcss(885), kSigOff, kSigOff, true, true, false, false, "RPT70"},
    {46012500, DcsN(0x025), kQtSignal, 46012500, DcsN(0x025), Dtmf(2), kSigOff, true, false, false, false, "SEC1"},
    {46015000, DcsI(0x025), kQtSignal, 46015000, DcsI(0x025), DtmfAndId(2), kIdOnly, true, false, false, false, "SEC2"},
    {46256250, Ctcss(1230), kQt, 46256250, Ctcss(1230), kSigOff, kSigOff, true, false, true, false, "MAINT"},
    {46258750, Ctcss(1035), kQt, 46258750, Ctcss(1035), kSigOff, kSigOff, false, false, false, false, "LOBBY"},
    {46756250, Ctcss(1514), kQt, 46756250, Ctcss(1514), Dtmf(5), kSigOff, true, true, false, false, "DOCK"},
    {46450000, DcsN(0x071), kQt, 46450000, DcsN(0x071), kSigOff, kSigOff, true, false, false, false, "EVENT"},
    {46950000, Ctcss(2035), kQt, 46950000, Ctcss(2035), kSigOff, kSigOff, true, false, false, true, "GATE"},
    {43350000, kNoTone, kQt, 43350000, kNoTone, kSigOff, kSigOff, false, true, false, false, "TALK"},
};

void Put8(Bytes& m, std::size_t at, std::uint8_t v) { m[at] = v; }
void Put16(Bytes& m, std::size_t at, std::uint16_t v) {
    m[at] = static_cast<std::uint8_t>(v >> 8);
    m[at + 1] = static_cast<std::uint8_t>(v);
}
void Put32(Bytes& m, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) m[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

// A counted text: its length, its characters, 0xFF for the rest of the room.
void PutCounted(Bytes& m, std::size_t at, std::string_view text, std::size_t room) {
    m[at] = static_cast<std::uint8_t>(text.size());
    for (std::size_t i = 0; i < room; ++i)
        m[at + 1 + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0xFF;
}

// The 24-byte channel record at `at`.
void PutChannel(Bytes& m, std::size_t at, const Channel& c) {
    Put32(m, at + 0, c.rx);
    Put16(m, at + 4, c.rxTone);
    Put8(m, at + 6, c.rxMode);
    Put32(m, at + 7, c.tx);
    Put16(m, at + 11, c.txTone);
    Put8(m, at + 13, c.startSignal);
    Put8(m, at + 14, c.endSignal);
    Put8(m, at + 15,
         static_cast<std::uint8_t>((c.high ? 0x80 : 0) | (c.wide ? 0x40 : 0) | (c.compander ? 0x20 : 0) |
                                   (c.scrambler ? 0x10 : 0)));
    PutCounted(m, at + 16, c.name, 7);
}

// An unused channel: no frequencies, tones, modes, signalling or options, no name.
void PutEmptyChannel(Bytes& m, std::size_t at) {
    std::memset(&m[at], 0xFF, 16);
    PutCounted(m, at + 16, "", 7);
}

// A DTMF or identity code: digit count, one digit code per digit, 0xFF for the rest.
void PutDtmf(Bytes& m, std::size_t at, std::string_view digits, std::size_t room) {
    m[at] = static_cast<std::uint8_t>(digits.size());
    for (std::size_t i = 0; i < room; ++i) {
        std::uint8_t code = 0xFF;
        if (i < digits.size()) {
            const char c = digits[i];
            if (c >= '1' && c <= '9') code = static_cast<std::uint8_t>(c - '0');
            else if (c == '0') code = 0x0A;
            else if (c == '*') code = 0x0B;
            else if (c == '#') code = 0x0C;
            else if (c >= 'A' && c <= 'C') code = static_cast<std::uint8_t>(0x0D + (c - 'A'));
            else if (c == 'D') code = 0x00;
        }
        m[at + 1 + i] = code;
    }
}

struct Band {
    std::uint8_t channelMode;  // 00 frequency mode, 01 channel mode
    std::uint8_t channel;      // channel number - 1
    std::uint32_t rx;
    std::uint16_t rxTone;
    std::uint8_t rxMode;
    std::uint16_t txTone;
    std::uint8_t startSignal, endSignal;
    std::uint8_t high, wide, compander, scrambler;
    std::uint8_t offsetDirection;  // 00 off, 01 +, 02 -
    std::uint32_t offset;          // units of 10 Hz
    std::uint16_t step;            // units of 10 Hz
};

// A band settings block (32 bytes used of 48); bytes 0x09 and 0x19..0x1F hold nothing.
void PutBand(Bytes& m, std::size_t at, const Band& b) {
    Put8(m, at + 0x00, b.channelMode);
    Put8(m, at + 0x01, b.channel);
    Put32(m, at + 0x02, b.rx);
    Put16(m, at + 0x06, b.rxTone);
    Put8(m, at + 0x08, b.rxMode);
    Put8(m, at + 0x09, 0x00);
    Put16(m, at + 0x0A, b.txTone);
    Put8(m, at + 0x0C, b.startSignal);
    Put8(m, at + 0x0D, b.endSignal);
    Put8(m, at + 0x0E, b.high);
    Put8(m, at + 0x0F, b.wide);
    Put8(m, at + 0x10, b.compander);
    Put8(m, at + 0x11, b.scrambler);
    Put8(m, at + 0x12, b.offsetDirection);
    Put32(m, at + 0x13, b.offset);
    Put16(m, at + 0x17, b.step);
}

}  // namespace

Bytes sampleImage() {
    Bytes m(kMemorySize, 0xFF);

    // General settings at 0x0200 (18 bytes).
    const std::uint8_t general[18] = {
        0x00,        // main band: upper
        0x0C,        // volume 12
        0x03, 0xB1,  // broadcast radio 94.5 MHz
        0x01, 0x02, 0x03,  // backlight standby orange, receive blue, transmit purple
        0x00,        // backlight automatic
        0x01,        // prompt tone on
        0x02,        // ring tone 2
        0x00,        // busy lock-out off
        0x04,        // transmit time-out 120 s
        0x06, 0xD6,  // single tone 1750 Hz
        0x00, 0x64,  // DTMF time 100 ms
        0x03,        // squelch 3
        0x00,        // relay mode off
    };
    std::memcpy(&m[0x0200], general, sizeof general);

    // DTMF groups 1 to 8 at 0x0240, 8 bytes each.
    const char* dtmf[8] = {"123", "4567", "*88#", "1000", "ABCD", "911", "2024", ""};
    for (std::size_t i = 0; i < 8; ++i) PutDtmf(m, 0x0240 + 8 * i, dtmf[i], 7);

    // Identity codes at 0x0280: own and controller ID (8 bytes), then six of 6 bytes.
    PutDtmf(m, 0x0280, "1001", 7);
    PutDtmf(m, 0x0288, "9999", 7);
    const char* ids[6] = {"110", "1001", "12345", "78901", "78902", "78903"};
    for (std::size_t i = 0; i < 6; ++i) PutDtmf(m, 0x0290 + 6 * i, ids[i], 5);

    m[0x02C0] = 0x00;  // remote state: normal

    // Power-on message at 0x02D0: two lines of up to 7 characters.
    PutCounted(m, 0x02D0, "HELLO", 7);
    PutCounted(m, 0x02D8, "BENCH 1", 7);

    // Band limits at 0x02E0: VHF 136-174 MHz, UHF 400-480 MHz; limiting on.
    Put32(m, 0x02E0, 13600000);
    Put32(m, 0x02E4, 17400000);
    Put32(m, 0x02E8, 40000000);
    Put32(m, 0x02EC, 48000000);
    m[0x02F0] = 0x01;

    // Band settings: upper band in channel mode on channel 1, lower band in frequency mode
    // on 150.05 MHz with an 88.5 Hz tone and a +0.6 MHz offset.
    PutBand(m, 0x0300, {0x01, 0x00, 14550000, kNoTone, kQt, kNoTone, 0x00, 0x00, 1, 1, 0, 0, 0x00, 60000, 1250});
    PutBand(m, 0x0380,
            {0x00, 0x03, 15005000, Ctcss(885), kQt, Ctcss(885), 0x00, 0x00, 0, 0, 0, 0, 0x01, 60000, 625});

    for (std::size_t n = 0; n < 128; ++n) {
        const std::size_t upper = 0x0400 + 24 * n, lower = 0x1000 + 24 * n;
        if (n < std::size(kUpper)) PutChannel(m, upper, kUpper[n]);
        else PutEmptyChannel(m, upper);
        if (n < std::size(kLower)) PutChannel(m, lower, kLower[n]);
        else PutEmptyChannel(m, lower);
    }
    return m;
}

}  // namespace sim

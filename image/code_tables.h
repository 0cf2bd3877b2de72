// The item lists of the drop-down controls and the codes they stand for in memory.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace image {

// Item 0 of the tone list is spelled "OFF" in the channel-cell editors and "0FF" (digit zero)
// on the band pages; both are three characters long, which is what identifies them.
enum class ToneSpelling { Grid, BandPage };

// The 206 sub-audio tones: no tone, 39 CTCSS tones, 83 DCS codes normal, 83 inverted.
const std::vector<std::string>& ToneList(ToneSpelling spelling);
constexpr int kToneCount = 206;

// Tone text to its four hex digits: "" and any three-character text give "FFFF";
// "67.0HZ" -> "029E"; "D023N" -> "8023"; "D023I" -> "C023". nullopt for a text that is none
// of these (a cell that does not convert).
std::optional<std::string> ToneTextToCode(std::string_view text);

// Four code digits to a tone text: "C..." -> "D...I", "8..." -> "D...N", otherwise the value
// in tenths of a hertz ("029E" -> "67.0HZ"). "FFFF" and "0000" mean no tone: the caller
// decides between "OFF" and an empty cell, so this returns "".
std::string ToneCodeToText(std::string_view code);

// The 18 signalling items: "关", "双音1".."双音8", "双音1+身份码".."双音8+身份码", "身份码".
const std::vector<std::string>& SignallingList();

// Receive modes: "QT/DQT", "QT/DQT+信令".
const std::vector<std::string>& ReceiveModeList();

// Two-state option lists of a channel and of the band pages.
const std::vector<std::string>& PowerList();      // "低", "高"
const std::vector<std::string>& BandwidthList();  // "窄带", "宽带"
const std::vector<std::string>& OffOnList();      // "关", "开"

// Index of text in list, or -1.
int IndexOf(const std::vector<std::string>& list, std::string_view text);

}  // namespace image

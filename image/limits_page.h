// The page "限频": the two-line power-on message in k10 and the four band limits with their
// switch in k11.
#pragma once

#include <string>
#include <string_view>

#include "image/editor_state.h"
#include "image/message.h"

namespace image {

// One message line (16 digits: count byte, 7 character bytes) to its text; a count of 0, or
// above 7, gives an empty line, and nothing past the 7 character bytes is ever read.
std::string MessageLineToText(std::string_view sixteenDigits);
// A line's text to its 16 digits; a line longer than 7 bytes encodes its first 7.
std::string MessageLineToCode(std::string_view text);

// A limit's 8 digits to its edit text: "FFFFFFFF" gives "", otherwise the signed value / 100000
// in plain decimal form (13600000 -> "136", 13601250 -> "136.0125").
std::string LimitToText(std::string_view eightDigits);

// Fills kaiji1, kaiji2, xp1..xp5 from the 66 digits read at 0x02D0. Does not touch k10/k11.
void DecodePowerOnAndLimits(EditorState& state, std::string_view text);

// The single-block reads: a 32-digit message answer, a 34-digit limits answer.
void DecodePowerOnMessage(EditorState& state, std::string_view text);
void DecodeLimits(EditorState& state, std::string_view text);

// kaiji1KeyPress / kaiji2KeyPress: printable ASCII, at most 7 characters; backspace always.
// A comma, a quote character and a leading "~" are refused too: a ".bc" file cannot carry
// them back. `current` is the line's text before the key.
bool MessageKeyAccepted(std::string_view current, char key);

// xp1KeyPress .. xp4KeyPress: digits, "." and backspace pass; Enter on xp1..xp3 moves the
// focus on (the window does that), on xp4 it is refused.
enum class LimitKey { Accept, Refuse, NextField };
LimitKey LimitKeyPress(int number, char key);

// kaiji<n>Exit / kaiji<n>MouseMove: the line into its half of k10.
Message MessageLineCommit(EditorState& state, int line);
// xp<n>Exit / xp<n>MouseMove (n = 1..4): the limit into its 8 digits of k11.
Message LimitCommit(EditorState& state, int number);
// xp5Click: the switch into the last two digits of k11.
Message LimitSwitchClick(EditorState& state);

}  // namespace image

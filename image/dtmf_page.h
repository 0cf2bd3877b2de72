// The page "双音频组": DTMF codes sy1..sy8 and identity codes sypz1..sypz8, each a record of
// a count byte and digit bytes in k6..k9 and k12..k15, and the remote state sypz9.
#pragma once

#include <string>
#include <string_view>

#include "image/editor_state.h"
#include "image/message.h"

namespace image {

enum class CodeKind { Dtmf, Identity };  // sy<n> or sypz<n>

// Code hex text to its characters; a byte with no character shows as its two hex digits.
std::string DtmfCodeToText(std::string_view code);
// Characters to a long (8-byte, 16 digits) or short (6-byte, 12 digits) code.
std::string DtmfTextToCode8(std::string_view text);
std::string DtmfTextToCode6(std::string_view text);

// The three block decoders of a full read (they do not set the hidden fields).
void DecodeDtmfBlock(EditorState& state, std::string_view block);     // 0x0240: sy1..sy6
void DecodeDtmf78Block(EditorState& state, std::string_view block);   // 0x0270: sy7, sy8
void DecodeIdCodeBlock(EditorState& state, std::string_view block);   // 0x0280: sypz1..sypz8

// The number of characters a code edit holds: 7, or 5 for sypz3..sypz8.
int CodeLimit(CodeKind kind, int number);

// sy<n>KeyPress / sypz<n>KeyPress for one typed character (8 is backspace, 13 Enter).
KeyVerdict DtmfKeyPress(CodeKind kind, int number, std::size_t currentLength, char key);

// Re-encodes the edit after any change the operator made to its text (typing, pasting,
// deleting). A text longer than its slot, or with characters outside the DTMF set, is cut to
// the slot and stripped of those characters, and the operator is told.
Message DtmfTextChanged(EditorState& state, CodeKind kind, int number);

}  // namespace image

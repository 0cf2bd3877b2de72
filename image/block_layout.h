// A settings block as a table of fields: where each control's digits lie in the hidden fields
// and how they hold its value. Each page writes its block's table once, in the order and the
// terms of the memory layout it was given, and both its decoder and its handlers read it: a
// read takes a field's digits out at the same place a handler splices them in.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace image {

// How a field's digits hold its control's value.
enum class Coding {
    Index,      // the selected item's index
    Codes,      // one code per item, in item order (`codes`)
    Frequency,  // an edit's frequency in units of 10 Hz; FFFFFFFF: none
    Tone,       // a tone list's code; FFFF and 0000: no tone
    Tenths,     // an edit's number times 10; FFFF: none
};

// What a read does with an index value above `readLimit`.
enum class Beyond { Keep, First };

struct BlockField {
    int field;              // which of the block's hidden fields: 0 the first, 1 the second
    std::size_t from, to;   // its digits there, counted from 1
    int control;            // the control's number on its page
    Coding coding;
    // Index: a read takes a value up to readLimit as the index (one past the list's end leaves
    // no selection); a larger value leaves the list as it was, or selects the first item.
    int readLimit = 0;
    Beyond beyond = Beyond::Keep;
    std::span<const char* const> codes = {};  // Codes
};

// The field of `control` in a table (every table names each control once).
const BlockField& FieldOf(std::span<const BlockField> table, int control);

// The field's digits within a block text whose hidden fields are `fieldDigits` long each.
std::string_view FieldDigits(std::string_view block, const BlockField& f, std::size_t fieldDigits);

// The new selection a read gives an Index or Codes field of a list with `listSize` items:
// an index, kNoSelection, or nullopt to leave the list as it was.
std::optional<int> ReadSelection(const BlockField& f, std::string_view digits, std::size_t listSize);

// The digits an Index or Codes field takes for a selected item (index >= 0); nullopt for an
// index that has no code.
std::optional<std::string> SelectionDigits(const BlockField& f, int index);

}  // namespace image

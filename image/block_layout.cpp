#include "image/block_layout.h"

#include <stdexcept>
#include <string>

#include "image/editor_state.h"
#include "base/hex.h"

namespace image {
using base::digits;
using base::hexDigits;
using base::hexValue;

const BlockField& FieldOf(std::span<const BlockField> table, int control) {
    for (const BlockField& f : table)
        if (f.control == control) return f;
    throw std::out_of_range("no field for control " + std::to_string(control));
}

std::string_view FieldDigits(std::string_view block, const BlockField& f, std::size_t fieldDigits) {
    const std::size_t start = static_cast<std::size_t>(f.field) * fieldDigits;
    return digits(block, start + f.from, start + f.to);
}

std::optional<int> ReadSelection(const BlockField& f, std::string_view code, std::size_t listSize) {
    if (f.coding == Coding::Codes) {
        for (std::size_t i = 0; i < f.codes.size(); ++i)
            if (code == f.codes[i]) return static_cast<int>(i);
        return std::nullopt;
    }
    const auto value = hexValue(code);
    if (!value) return std::nullopt;
    if (*value > static_cast<std::uint32_t>(f.readLimit))
        return f.beyond == Beyond::First ? std::optional<int>(0) : std::nullopt;
    return *value < listSize ? static_cast<int>(*value) : kNoSelection;
}

std::optional<std::string> SelectionDigits(const BlockField& f, int index) {
    const auto i = static_cast<std::size_t>(index);
    if (f.coding == Coding::Codes) {
        if (i >= f.codes.size()) return std::nullopt;
        return std::string(f.codes[i]);
    }
    return hexDigits(static_cast<std::uint32_t>(index), static_cast<int>(f.to - f.from + 1));
}

}  // namespace image

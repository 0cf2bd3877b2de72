// What must hold for any bytes handed to Open: either it fails with a message and the state
// stays exactly as it was, or what it opened survives Save and Open unchanged (after Save has
// replaced what the format cannot carry, a second round changes nothing).
#pragma once

#include <string>
#include <string_view>

#include "codeplug/codeplug.h"

namespace codeplug::fuzz {

inline image::EditorState FuzzBase() {
    image::EditorState s;
    s.Col = "3";
    s.Row = "7";
    s.upper.at(5, image::kColName) = "before";
    s.k[5] = "0123456789ABCDEF0123456789ABCDEF0123";
    return s;
}

// Empty when the property holds, otherwise what went wrong.
inline std::string CheckOpen(std::string_view bytes) {
    const image::EditorState base = FuzzBase();
    const OpenResult opened = FromText(bytes, base);
    if (!opened.ok()) {
        if (!(opened.value == base)) return "a failed open changed the state: " + opened.error;
        return {};
    }
    const SaveText saved = ToText(opened.value);
    if (!saved.ok()) return "an opened state cannot be saved: " + saved.error;
    const OpenResult again = FromText(saved.value, base);
    if (!again.ok()) return "a saved file does not open: " + again.error;
    if (saved.notes.empty()) {
        if (!(again.value == opened.value)) return "save and open changed the state";
        return {};
    }
    const SaveText second = ToText(again.value);
    if (!second.notes.empty()) return "a second save still changes fields: " + second.notes.front();
    const OpenResult third = FromText(second.value, base);
    if (!third.ok() || !(third.value == again.value)) return "a second save and open changed the state";
    return {};
}

}  // namespace codeplug::fuzz

// What differs between two editor states, said the way the editor shows it: per channel and
// column, per setting by its page and label, and per hidden block field byte range where no
// control shows the bytes (or where the controls agree and the bytes still differ).
#pragma once

#include <string>
#include <vector>

#include "image/editor_state.h"

namespace exchange {

struct Difference {
    enum class Kind {
        Channel,  // a grid cell: "上段信道 第5信道, 接收频率"
        Setting,  // a control of a settings page: "综合设置 音量大小"
        Hidden,   // bytes of a hidden block field: "上段设置 k1 字节 0x09 (0x0309)"
    };
    Kind kind;
    std::string where;
    std::string before, after;  // as shown: a cell's or edit's text, a list's item text
    // "<where>: <before> -> <after>"
    std::string text() const;
};

// The differences from a to b, in page order: 上段信道, 下段信道, 上段设置, 下段设置, 综合设置,
// 双音频组, 限频; on each settings page its controls first, then its hidden fields.
//
// Two cells that the channel encoder turns into the same bytes are equal: "OFF" and "0FF"
// (both no tone), an empty receive mode and "关", 145.125 and 145.12500; so are the frequency,
// offset and limit edits of the settings pages that hold the same value ("10", "10.00000"). A hidden field
// range that a control shows is reported only when that control shows the same value in
// both states; a range no control shows is reported in runs of differing bytes. An empty
// text shows as "(空)", a list without selection as "(未选)", each in the chosen language.
std::vector<Difference> Diff(const image::EditorState& a, const image::EditorState& b);

}  // namespace exchange

#include "image/band_page.h"

#include "image/band_edges.h"
#include "image/block_layout.h"
#include "image/code_tables.h"
#include "base/frequency.h"
#include "base/hex.h"
#include "image/page_tables.h"
#include "base/text.h"

namespace image {
using base::FrequencyFieldToText;
using base::NotAFloat;
using base::ScaledDecimal;
using base::hexDigits;
using base::splice;
namespace {

using enum Coding;

// The band settings block, field by field as the hidden fields hold it: field 0 is k1 (k3 on
// the lower band page), field 1 is k2 (k4). Digits 19-20 of the first field and 19-32 of the
// second belong to no control and are never touched.
constexpr BlockField kBandBlock[] = {
    {0, 1, 2, 1, Index, 3, Beyond::First},     // work mode; 2 and 3 leave no selection
    {0, 3, 4, 2, Index, 127, Beyond::First},   // channel number minus 1
    {0, 5, 12, 3, Frequency},                  // receive frequency
    {0, 13, 16, 4, Tone},                      // receive tone
    {0, 17, 18, 6, Index, 1},                  // receive mode
    {0, 21, 24, 7, Tone},                      // transmit tone
    {0, 25, 26, 8, Index, 17},                 // transmit-start signalling
    {0, 27, 28, 5, Index, 17},                 // transmit-end signalling
    {0, 29, 30, 10, Index, 1},                 // power
    {0, 31, 32, 11, Index, 1},                 // bandwidth
    {1, 1, 2, 12, Index, 1},                   // compander
    {1, 3, 4, 13, Index, 1},                   // scrambler
    {1, 5, 6, 14, Index, 2},                   // offset direction
    {1, 7, 14, 15, Frequency},                 // transmit offset
    {1, 15, 18, 16, Codes, 0, Beyond::Keep, kStepCodes},  // step
};
constexpr std::size_t kFieldDigits = 32;

void put(EditorState& state, Band band, int control, std::string_view newDigits) {
    const BlockField& f = FieldOf(kBandBlock, control);
    std::string& field = state.k[static_cast<std::size_t>((band == Band::Upper ? 1 : 3) + f.field)];
    field = splice(field, f.from, f.to, newDigits);
}

std::string& editText(BandPage& page, int control) { return control == 3 ? page.rxFreq : page.offset; }

// The tone list item whose text matches the code's text; the last item when none does.
int toneIndex(std::string_view code) {
    const auto& list = ToneList(ToneSpelling::BandPage);
    const std::string text = ToneCodeToText(code);
    const int index = IndexOf(list, text.empty() ? "0FF" : text);
    return index < 0 ? static_cast<int>(list.size()) - 1 : index;
}

}  // namespace

void DecodeBandBlock(EditorState& state, Band band, std::string_view block) {
    BandPage& page = state.band(band);
    for (const BlockField& f : kBandBlock) {
        const auto code = FieldDigits(block, f, kFieldDigits);
        int& selection = page.list[static_cast<std::size_t>(f.control)];
        switch (f.coding) {
            case Frequency: editText(page, f.control) = FrequencyFieldToText(code); break;
            case Tone: selection = toneIndex(code); break;
            case Index:
            case Codes:
                if (const auto s = ReadSelection(f, code, BandItems(f.control).size())) selection = *s;
                break;
            case Tenths: break;  // no band field
        }
    }
}

Message BandListClick(EditorState& state, Band band, int control) {
    const int index = state.band(band).list[static_cast<std::size_t>(control)];
    if (index < 0) return {};
    const BlockField& f = FieldOf(kBandBlock, control);
    if (f.coding == Tone) {
        const auto& list = ToneList(ToneSpelling::BandPage);
        if (index >= static_cast<int>(list.size())) return {};
        put(state, band, control, *ToneTextToCode(list[static_cast<std::size_t>(index)]));
    } else if (const auto code = SelectionDigits(f, index)) {
        put(state, band, control, *code);
    }
    return {};
}

Message BandEditCommit(EditorState& state, Band band, int control, Trigger trigger) {
    BandPage& page = state.band(band);
    std::string& text = editText(page, control);
    if (text.empty()) {
        put(state, band, control, "FFFFFFFF");
        return {};
    }
    const auto units = ScaledDecimal(text);
    if (!units) return NotAFloat(text);
    if (control == 3 && !InBand(*units, kVhfLowMHz, kVhfHighMHz)) {
        const bool chinese = band == Band::Upper && trigger == Trigger::Exit;
        const std::string limits = std::to_string(kVhfLowMHz) + "MHZ~" + std::to_string(kVhfHighMHz) + "MHZ";
        text.clear();
        put(state, band, control, "FFFFFFFF");
        // Elsewhere than leaving the upper band's field the radio's own program says it in English.
        return chinese ? base::Tr("接收频率在%1", limits) : "Receive Frequency in " + limits;
    }
    // The field has eight digits; a larger offset cannot be stored.
    if (*units > 0xFFFFFFFELL) return base::Tr("发射频差'%1'超出范围", text);
    put(state, band, control, hexDigits(static_cast<std::uint32_t>(*units), 8));
    return {};
}

}  // namespace image

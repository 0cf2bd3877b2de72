#include "image/editor_state.h"

#include <stdexcept>

#include "base/gbk.h"
#include "base/hex.h"
#include "base/text.h"

namespace image {
using base::KeptBytes;
using base::hexDigits;
namespace {

constexpr const char* kBandFirst = "0000FFFFFFFFFFFF00FFFFFF00000101";
constexpr const char* kBandSecond = "000000000F424009C4FFFFFFFFFFFFFF";
constexpr const char* kEmptyCodes8 = "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF";
constexpr const char* kEmptyCodes6 = "00FFFFFFFFFF00FFFFFFFFFF";
constexpr const char* kBandDefinition = "000200E4F548FFFF0000FFFF00000101";
constexpr const char* kBandDefinition2 = "000000000F424009C4FFFFFFFFFFFFFF";

const std::array<HiddenField, 16> kHiddenFields = {{
    {0, 0, "", "", ""},
    {1, 32, "0X0300--0X030F:", kBandDefinition, kBandFirst},
    {2, 32, "0X0310--0X031F:", kBandDefinition2, kBandSecond},
    {3, 32, "0X0380--0X038F:", kBandDefinition, kBandFirst},
    {4, 32, "0X0390--0X039F:", kBandDefinition2, kBandSecond},
    {5, 36, "0X0200--0X0211:", "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", "000FFFFF010203000102000406D600320300"},
    {6, 32, "0X0240--0X024F:", kEmptyCodes8, kEmptyCodes8},
    {7, 32, "0X0250--0X025F:", kEmptyCodes8, kEmptyCodes8},
    {8, 32, "0X0260--0X026F:", kEmptyCodes8, kEmptyCodes8},
    {9, 32, "0X0270--0X027F:", kEmptyCodes8, kEmptyCodes8},
    {10, 32, "0X02D0--0X02DF:", kEmptyCodes8, kEmptyCodes8},
    {11, 34, "0X02E0--0X02EF:", "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00", "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF01"},
    {12, 32, "0X0280--0X028F:", kEmptyCodes8, kEmptyCodes8},
    {13, 24, "0X0290--0X029B:", kEmptyCodes6, kEmptyCodes6},
    {14, 24, "0X029C--0X02A7:", kEmptyCodes6, kEmptyCodes6},
    {15, 24, "0X02A8--0X02B3:", kEmptyCodes6, kEmptyCodes6},
}};

// The band pages at start-up and after New: frequency mode, channel "1", no frequency, both
// tones "0FF", signalling "关", "QT/DQT", "高", "宽带", compander and scrambler "关",
// offset direction "关", offset "10", step "25K".
BandPage defaultBandPage() {
    BandPage page;
    page.list.fill(0);
    page.list[10] = 1;
    page.list[11] = 1;
    page.list[16] = 5;
    page.offset = "10";
    return page;
}

// gn1..gn15 at start-up and after New. gn13 shows "50MS" (index 0), which is what k5
// carries (0032), so what is shown is what a write sends.
GeneralPage defaultGeneralPage() {
    GeneralPage page;
    page.list = {0, 0, 15, 0, 1, 2, 3, 0, 1, 2, 0, 4, 2, 0, 3, 0};
    return page;
}

}  // namespace

const std::array<const char*, 13> kGridHeadings = {
    "信道", "接收频率", "接收亚音频", "接收模式", "发射频率", "发射亚音频", "发射开始信令",
    "发射结束信令", "功率", "宽窄带", "压扩", "扰频", "信道名称"};

const HiddenField& hiddenField(int number) {
    if (number < 1 || number > 15) throw std::out_of_range("no hidden field k" + std::to_string(number));
    return kHiddenFields[static_cast<std::size_t>(number)];
}

EditorState::EditorState() {
    for (Grid* g : {&upper, &lower}) {
        for (int c = 0; c < 13; ++c) g->at(0, c) = kGridHeadings[static_cast<std::size_t>(c)];
        for (int r = 1; r <= kChannels; ++r) g->at(r, kColNumber) = std::to_string(r);
    }
    upperBand = lowerBand = defaultBandPage();
    general = defaultGeneralPage();
    for (int n = 1; n <= 15; ++n) k[static_cast<std::size_t>(n)] = hiddenField(n).newText;
}

EditorState NewState() { return EditorState(); }

std::vector<std::string> NonGbkFields(const EditorState& state) {
    std::vector<std::string> out;
    auto check = [&out](const std::string& text, const std::string& where) {
        const auto bytes = KeptBytes(text);
        if (bytes.empty()) return;
        std::string line = base::Tr("%1: 非GBK字节", where);
        for (unsigned char b : bytes) line += " " + hexDigits(b, 2);
        out.push_back(line);
    };
    for (Band band : {Band::Upper, Band::Lower}) {
        const char* page = band == Band::Upper ? "上段信道" : "下段信道";
        for (int row = 1; row <= kChannels; ++row)
            check(state.grid(band).at(row, kColName), base::Tr("%1 第%2信道 %3", base::Tr(page), row, base::Tr(kGridHeadings[kColName])));
    }
    check(state.limits.kaiji1, base::Tr("开机信息1"));
    check(state.limits.kaiji2, base::Tr("开机信息2"));
    return out;
}

}  // namespace image

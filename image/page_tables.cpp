#include "image/page_tables.h"

#include <stdexcept>

#include "image/code_tables.h"

namespace image {
namespace {

std::vector<std::string> numbers(int from, int to, int step = 1) {
    std::vector<std::string> out;
    for (int n = from; n <= to; n += step) out.push_back(std::to_string(n));
    return out;
}

std::vector<std::string> withOff(std::vector<std::string> items) {
    items.insert(items.begin(), "关");
    return items;
}

const PageControl& find(const std::vector<PageControl>& controls, int number) {
    for (const auto& c : controls)
        if (c.number == number) return c;
    throw std::out_of_range("no control " + std::to_string(number));
}

}  // namespace

const std::vector<PageControl>& BandControls() {
    static const std::vector<PageControl> controls = {
        {1, "工作模式:", ControlKind::List, {"频率模式", "信道模式"}},
        {2, "信道号数:", ControlKind::List, numbers(1, 128)},
        {3, "接收频率: ", ControlKind::Edit, {}},
        {4, "接收亚音频:", ControlKind::List, ToneList(ToneSpelling::BandPage)},
        {6, "接收模式:", ControlKind::List, ReceiveModeList()},
        {7, "发射亚音频:", ControlKind::List, ToneList(ToneSpelling::BandPage)},
        {8, "发射开始信令:", ControlKind::List, SignallingList()},
        {5, "发射结束信令:", ControlKind::List, SignallingList()},
        {10, "功率:", ControlKind::List, PowerList()},
        {11, "宽窄带:", ControlKind::List, BandwidthList()},
        {12, "压扩:", ControlKind::List, OffOnList()},
        {13, "扰频:", ControlKind::List, OffOnList()},
        {14, "差频方向:", ControlKind::List, {"关", "+", "-"}},
        {15, "发射差频(MHZ):", ControlKind::Edit, {}},
        {16, "步进频率:", ControlKind::List, {"2.5K", "5K", "6.25K", "10K", "12.5K", "25K", "50K"}},
    };
    return controls;
}

const std::vector<PageControl>& GeneralControls() {
    static const std::vector<std::string> backlight = {"关", "橙色", "蓝色", "紫色"};
    static const std::vector<PageControl> controls = {
        {1, "主段选择:", ControlKind::List, {"上段", "下段"}},
        {2, "音量大小:", ControlKind::List, numbers(0, 20)},
        {3, "收音频率:", ControlKind::Edit, {}},
        {4, "守候背光灯:", ControlKind::List, backlight},
        {5, "接收背光灯:", ControlKind::List, backlight},
        {6, "发射背光灯:", ControlKind::List, backlight},
        {7, "背光灯模式:", ControlKind::List, {"自动", "常开"}},
        {8, "提示音:", ControlKind::List, OffOnList()},
        {9, "振铃声:", ControlKind::List, withOff(numbers(1, 9))},
        {10, "繁忙锁定:", ControlKind::List, OffOnList()},
        {11, "发射超时:", ControlKind::List, withOff(numbers(30, 600, 30))},
        {12, "单音选择:", ControlKind::List, {"1000HZ", "1450HZ", "1750HZ", "2100HZ"}},
        {13, "双音时间:", ControlKind::List, {"50MS", "100MS", "150MS", "200MS"}},
        {14, "静躁级别:", ControlKind::List, numbers(0, 9)},
        {15, "中转模式:", ControlKind::List, OffOnList()},
    };
    return controls;
}

const std::vector<PageControl>& IdentityControls() {
    static const std::vector<PageControl> controls = {
        {1, "本机ID码:", ControlKind::Edit, {}},   {2, "主控ID码:", ControlKind::Edit, {}},
        {3, "报警码:", ControlKind::Edit, {}},     {4, "身份显示码:", ControlKind::Edit, {}},
        {5, "开机码:", ControlKind::Edit, {}},     {6, "遥晕码:", ControlKind::Edit, {}},
        {7, "遥毙码:", ControlKind::Edit, {}},     {8, "监听码:", ControlKind::Edit, {}},
        {9, "当前状态:", ControlKind::List, {"正常", "遥晕", "遥毕"}},
    };
    return controls;
}

const std::vector<PageControl>& DtmfControls() {
    static const std::vector<PageControl> controls = [] {
        std::vector<PageControl> c;
        static const char* labels[] = {"DTMF1:", "DTMF2:", "DTMF3:", "DTMF4:",
                                       "DTMF5:", "DTMF6:", "DTMF7:", "DTMF8:"};
        for (int n = 1; n <= 8; ++n) c.push_back({n, labels[n - 1], ControlKind::Edit, {}});
        return c;
    }();
    return controls;
}

const std::vector<PageControl>& MessageControls() {
    static const std::vector<PageControl> controls = {
        {1, "开机信息1:", ControlKind::Edit, {}},
        {2, "开机信息2:", ControlKind::Edit, {}},
    };
    return controls;
}

const std::vector<PageControl>& LimitControls() {
    static const std::vector<PageControl> controls = {
        {1, "VHF频段限制低:", ControlKind::Edit, {}}, {2, "VHF频段限制高:", ControlKind::Edit, {}},
        {3, "UHF频段限制低:", ControlKind::Edit, {}}, {4, "UHF频段限制高:", ControlKind::Edit, {}},
        {5, "频段限频:", ControlKind::List, {"关", "开"}},
    };
    return controls;
}

const std::vector<std::string>& BandItems(int control) { return find(BandControls(), control).items; }
const std::vector<std::string>& GeneralItems(int control) { return find(GeneralControls(), control).items; }

}  // namespace image

#include "sim/fault_plan.h"

#include <charconv>
#include <vector>

namespace sim {
namespace {

struct KindName {
    FaultPlan::Kind kind;
    const char* name;
    int numbers;    // numbers after the name, each behind ':'
    bool fromBlock; // takes "@J"
};

constexpr KindName kKinds[] = {
    {FaultPlan::Kind::None, "none", 0, false},
    {FaultPlan::Kind::Off, "off", 0, false},
    {FaultPlan::Kind::SilentFrom, "silent-from", 1, false},
    {FaultPlan::Kind::Short, "short", 1, true},
    {FaultPlan::Kind::Long, "long", 1, true},
    {FaultPlan::Kind::DoubleAck, "double-ack", 0, true},
    {FaultPlan::Kind::WrongAck, "wrong-ack", 0, true},
    {FaultPlan::Kind::Late, "late", 1, true},
    {FaultPlan::Kind::Pieces, "pieces", 2, true},
    {FaultPlan::Kind::Noise, "noise", 0, false},
    {FaultPlan::Kind::VanishAt, "vanish-at", 1, false},
    {FaultPlan::Kind::Flood, "flood", 0, true},
    {FaultPlan::Kind::Echo, "echo", 0, false},
    {FaultPlan::Kind::Garbage, "garbage", 0, false},
    {FaultPlan::Kind::Intermittent, "intermittent", 0, false},
};

bool Number(std::string_view text, int& value) {
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value >= 0;
}

std::vector<std::string_view> Split(std::string_view text, char sep) {
    std::vector<std::string_view> parts;
    for (;;) {
        const auto at = text.find(sep);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

base::Outcome<FaultPlan> Fail(std::string why) {
    return base::Failure<FaultPlan>(std::move(why), base::ErrorKind::BadData);
}

}  // namespace

base::Outcome<FaultPlan> FaultPlan::Parse(std::string_view text) {
    if (text.empty()) return {};
    std::string_view from;
    bool hasFrom = false;
    if (const auto at = text.find('@'); at != std::string_view::npos) {
        hasFrom = true;
        from = text.substr(at + 1);
        text = text.substr(0, at);
    }
    const auto parts = Split(text, ':');
    for (const auto& k : kKinds) {
        if (parts[0] != k.name) continue;
        if (static_cast<int>(parts.size()) - 1 != k.numbers)
            return Fail(std::string(k.name) + " takes " + std::to_string(k.numbers) + " number(s)");
        int numbers[2] = {0, 0};
        for (int i = 0; i < k.numbers; ++i)
            if (!Number(parts[static_cast<std::size_t>(i) + 1], numbers[i]))
                return Fail("not a number: '" + std::string(parts[static_cast<std::size_t>(i) + 1]) + "'");
        FaultPlan plan;
        plan.kind = k.kind;
        switch (k.kind) {
            case Kind::SilentFrom:
            case Kind::VanishAt: plan.block = numbers[0]; break;
            case Kind::Short:
            case Kind::Long: plan.bytes = numbers[0]; break;
            case Kind::Late: plan.delayMs = numbers[0]; break;
            case Kind::Pieces:
                plan.pieces = numbers[0];
                plan.delayMs = numbers[1];
                if (plan.pieces < 1) return Fail("pieces needs at least 1 piece");
                break;
            default: break;
        }
        if (hasFrom) {
            if (!k.fromBlock) return Fail(std::string(k.name) + " takes no @block");
            if (!Number(from, plan.block)) return Fail("not a block number: '" + std::string(from) + "'");
        }
        return base::Success(plan);
    }
    return Fail("unknown fault '" + std::string(parts[0]) + "'");
}

std::string FaultPlan::ToString() const {
    std::string name;
    bool fromBlock = false;
    for (const auto& k : kKinds)
        if (k.kind == kind) {
            name = k.name;
            fromBlock = k.fromBlock;
        }
    // Appended piece by piece: "text" + std::string trips a false -Wrestrict in g++ 12 -O2.
    const auto number = [&name](char sep, int value) {
        name += sep;
        name += std::to_string(value);
    };
    switch (kind) {
        case Kind::SilentFrom:
        case Kind::VanishAt: number(':', block); break;
        case Kind::Short:
        case Kind::Long: number(':', bytes); break;
        case Kind::Late: number(':', delayMs); break;
        case Kind::Pieces:
            number(':', pieces);
            number(':', delayMs);
            break;
        default: break;
    }
    if (fromBlock && block > 0) number('@', block);
    return name;
}

}  // namespace sim

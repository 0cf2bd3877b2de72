// The single-block transfers of the limits page: "PROM_LIN", one frame, one wait of 500 ms,
// "EXIT", and only then the answer is looked at.
#include "image/hex.h"
#include "image/limits_page.h"
#include "link/link.h"
#include "link/messages.h"
#include "link/waits.h"

namespace radiolink {
namespace {

// Sends one frame inside its own procedure and returns what RecvHex held after the wait.
std::string exchange(Radio& radio, const std::string& frame) {
    OpenProcedure(radio);
    radio.send(frame);
    PumpDelay(radio.pump(), kSingleBlockWaitMs);
    std::string answer = radio.RecvHex();
    CloseProcedure(radio);
    return answer;
}

std::string describe(const std::string& answer, std::size_t expectedDigits) {
    if (answer.empty()) return "nothing came back";
    return std::to_string(answer.size() / 2) + " bytes came back, " + std::to_string(expectedDigits / 2) +
           " were expected";
}

Result write(Radio& radio, const char* head, const std::string& field, int number, std::size_t digits) {
    Radio::Session session(radio);
    if (!session.acquired()) return {false, "", "another transfer is running", 0};
    // The field goes out as it is held: it must be whole, or the radio would store it shifted.
    if (field.size() != digits || !image::IsUpperHex(field))
        return {false, kBlockWriteFailed, "hidden field k" + std::to_string(number) + " must hold " + std::to_string(digits) +
                                         " hex digits, it holds \"" + field + "\"", 0};
    const std::string answer = exchange(radio, head + field);
    if (answer == "06") return {true, kBlockWriteOk, "", 1};
    return {false, kBlockWriteFailed, answer.empty() ? "nothing came back" : "the radio answered " + answer, 0};
}

}  // namespace

Result ReadPowerOnMessage(Radio& radio, image::EditorState& state) {
    Radio::Session session(radio);
    if (!session.acquired()) return {false, "", "another transfer is running", 0};
    const std::string answer = exchange(radio, "5245414402D00010");
    if (answer.size() != 32) {
        state.limits.kaiji1.clear();
        state.limits.kaiji2.clear();
        return {false, kReadFailed, describe(answer, 32), 0};
    }
    image::DecodePowerOnMessage(state, answer);
    state.k[10] = answer;
    return {true, kReadOk, "", 1};
}

Result ReadLimits(Radio& radio, image::EditorState& state) {
    Radio::Session session(radio);
    if (!session.acquired()) return {false, "", "another transfer is running", 0};
    const std::string answer = exchange(radio, "5245414402E00011");
    if (answer.size() != 34) {
        for (int n = 1; n <= 4; ++n) state.limits.xp[static_cast<std::size_t>(n)].clear();
        return {false, kReadFailed, describe(answer, 34), 0};
    }
    image::DecodeLimits(state, answer);
    state.k[11] = answer;
    return {true, kReadOk, "", 1};
}

Result WritePowerOnMessage(Radio& radio, const image::EditorState& state) {
    return write(radio, "5752494502D00010", state.k[10], 10, 32);
}

Result WriteLimits(Radio& radio, const image::EditorState& state) {
    return write(radio, "5752494502E00011", state.k[11], 11, 34);
}

}  // namespace radiolink

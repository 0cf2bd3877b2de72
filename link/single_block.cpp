// The single-block transfers of the limits page: "PROM_LIN", one frame, one wait of 500 ms,
// "EXIT", and only then the answer is looked at.
#include "base/hex.h"
#include "image/limits_page.h"
#include "image/transfer.h"
#include "link/link.h"
#include "link/messages.h"
#include "link/waits.h"

namespace radiolink {
namespace {

// Sends one frame inside its own procedure and returns what RecvHex held after the wait.
// A stop asked for before "PROM_LIN" keeps the procedure from starting; once the frame is
// out, it gets its wait and "EXIT" whatever comes.
std::string singleExchange(Radio& radio, const std::string& frame, std::size_t answerBytes) {
    OpenProcedure(radio);
    radio.clearReceived(answerBytes);
    radio.send(frame);
    PumpDelay(radio.pump(), radio.timing.singleBlockWait);
    std::string answer = radio.RecvHex();
    CloseProcedure(radio);
    return answer;
}

std::string describe(const Radio& radio, const std::string& answer, std::size_t expectedDigits) {
    if (radio.hungUp()) return base::Tr(kHungUp);
    if (radio.overflowed()) return base::Tr("%1 (超过 %2 字节)", base::Tr(kFlooded), radio.receiveLimit());
    if (answer.empty()) return base::Tr(kNoAnswer);
    return base::Tr("收到 %1 字节, 应为 %2 字节", answer.size() / 2, expectedDigits / 2);
}

Result interrupted() {
    Result r = Failed("", base::Tr("已中断: 没有发送任何数据"), base::ErrorKind::Interrupted);
    r.interrupted = true;
    return r;
}

Result write(Radio& radio, const image::EditorState& state, int number) {
    const image::MemorySpan span = image::FieldInMemory(number);
    const std::string& field = state.k[static_cast<std::size_t>(number)];
    const std::size_t digits = 2u * span.length;
    Radio::Session session(radio);
    if (!session.acquired()) return Busy();
    // The field goes out as it is held: it must be whole, or the radio would store it shifted.
    if (field.size() != digits || !base::IsUpperHex(field))
        return Failed(kBlockWriteFailed, base::Tr("隐藏字段 k%1 应为 %2 个十六进制数字, 现为 \"%3\"", number, digits, field),
                      base::ErrorKind::BadData);
    if (radio.stopRequested()) return interrupted();
    const std::string answer = singleExchange(radio, image::WriteFrame(span, field), 1);
    if (answer == "06") return Succeeded(kBlockWriteOk);
    return Failed(kBlockWriteFailed, radio.hungUp() || radio.overflowed() || answer.empty()
                                         ? describe(radio, answer, 2)
                                         : base::Tr("电台应答 %1", answer),
                  base::ErrorKind::NoAnswer);
}

}  // namespace

Result ReadPowerOnMessage(Radio& radio, image::EditorState& state) {
    Radio::Session session(radio);
    if (!session.acquired()) return Busy();
    if (radio.stopRequested()) return interrupted();
    const auto span = image::FieldInMemory(10);
    const std::string answer = singleExchange(radio, image::ReadFrame(span), span.length);
    if (answer.size() != 2u * span.length) {
        state.limits.kaiji1.clear();
        state.limits.kaiji2.clear();
        return Failed(kReadFailed, describe(radio, answer, 2u * span.length), base::ErrorKind::NoAnswer);
    }
    image::DecodePowerOnMessage(state, answer);
    state.k[10] = answer;
    return Succeeded(kReadOk);
}

Result ReadLimits(Radio& radio, image::EditorState& state) {
    Radio::Session session(radio);
    if (!session.acquired()) return Busy();
    if (radio.stopRequested()) return interrupted();
    const auto span = image::FieldInMemory(11);
    const std::string answer = singleExchange(radio, image::ReadFrame(span), span.length);
    if (answer.size() != 2u * span.length) {
        for (int n = 1; n <= 4; ++n) state.limits.xp[static_cast<std::size_t>(n)].clear();
        return Failed(kReadFailed, describe(radio, answer, 2u * span.length), base::ErrorKind::NoAnswer);
    }
    image::DecodeLimits(state, answer);
    state.k[11] = answer;
    return Succeeded(kReadOk);
}

Result WritePowerOnMessage(Radio& radio, const image::EditorState& state) {
    return write(radio, state, 10);
}

Result WriteLimits(Radio& radio, const image::EditorState& state) {
    return write(radio, state, 11);
}

}  // namespace radiolink

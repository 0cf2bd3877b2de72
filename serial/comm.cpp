#include "serial/comm.h"

#include <algorithm>
#include <iterator>
#include <cerrno>
#include <system_error>

namespace serial {
namespace {

platform::ParityMode ToParity(TParity p) {
    switch (p) {
        case TParity::None: return platform::ParityMode::None;
        case TParity::Odd: return platform::ParityMode::Odd;
        case TParity::Even: return platform::ParityMode::Even;
        case TParity::Mark: return platform::ParityMode::Mark;
        case TParity::Space: return platform::ParityMode::Space;
    }
    return platform::ParityMode::None;
}

base::ErrorKind KindOf(const platform::OpenFailure& failure) {
    using base::ErrorKind;
    switch (failure.problem) {
        case platform::OpenProblem::Missing: return ErrorKind::NotFound;
        case platform::OpenProblem::Permission: return ErrorKind::Permission;
        case platform::OpenProblem::Busy: return ErrorKind::Busy;
        case platform::OpenProblem::NotSerial: return ErrorKind::NotRegular;
        case platform::OpenProblem::None:
        case platform::OpenProblem::Other: break;
    }
    return ErrorKind::System;
}

platform::StopBitsMode ToStopBits(TStopBits s) {
    switch (s) {
        case TStopBits::_1: return platform::StopBitsMode::One;
        case TStopBits::_1_5: return platform::StopBitsMode::OneAndHalf;
        case TStopBits::_2: return platform::StopBitsMode::Two;
    }
    return platform::StopBitsMode::One;
}

}  // namespace

TComm::TComm(OwnerQueue& queue) : NotifyWindow_(queue) {}

TComm::~TComm() {
    ClosePort();
    NotifyWindow_.cancel(this);
}

base::Outcome<> TComm::OpenPort() {
    using base::ErrorKind;
    using base::Failure;
    if (IsOpen()) return Failure(kAlreadyOpen, ErrorKind::Busy);

    switch (platform::OpenDevice(CommName_, Device_, &LastOpenFailure_)) {
        case platform::OpenResult::Ok: break;
        case platform::OpenResult::CannotOpen: return Failure(kErrorOpening, KindOf(LastOpenFailure_));
        case platform::OpenResult::NotATty: return Failure(kNotCommHandle, ErrorKind::NotRegular);
    }
    if (!platform::SetQueueSizes(Device_)) {
        ReleaseAfterFailure();
        return Failure(kCannotSetupBuffer, ErrorKind::System);
    }

    PortHandle_ = Device_.fd;
    Undelivered_ = 0;
    platform::PurgeInput(PortHandle_);
    platform::PurgeOutput(PortHandle_);
    SendQueueEmpty = true;

    ApplyTimeouts();
    ApplyLineSettings();
    platform::SetLowLatency(Device_);

    CloseEvent_ = platform::CreateEvent();
    WriteWake_ = platform::CreateEvent();
    if (CloseEvent_ == platform::kNoHandle || WriteWake_ == platform::kNoHandle) {
        ReleaseAfterFailure();
        return Failure(kUnableEvent, ErrorKind::System);
    }

    // The threads run at normal priority: the reader sleeps in poll() and is woken by the
    // kernel as data arrive, and raising priority needs privileges a user does not have.
    try {
        ReadThread_ = std::thread([this] { ReadThreadMain(); });
    } catch (const std::system_error&) {
        ReleaseAfterFailure();
        return Failure(kUnableReadThread, ErrorKind::System);
    }
    try {
        WriteThread_ = std::thread([this] { WriteThreadMain(); });
    } catch (const std::system_error&) {
        StopReader();
        ReleaseAfterFailure();
        return Failure(kUnableWriteThread, ErrorKind::System);
    }
    return {};
}

void TComm::ReleaseAfterFailure() {
    platform::CloseFd(CloseEvent_);
    platform::CloseFd(WriteWake_);
    platform::CloseDevice(Device_);
    PortHandle_ = platform::kNoHandle;
}

void TComm::ClosePort() {
    if (!IsOpen()) return;
    StopReader();
    StopWriter();
    std::deque<std::vector<std::uint8_t>> dropped;
    {
        std::lock_guard lock(WriteMutex_);
        dropped.swap(WriteQueue_);  // blocks the writer did not reach are freed here
    }
    if (auto handler = OnDataDropped)
        for (const auto& block : dropped) handler(*this, block.data(), static_cast<std::uint16_t>(block.size()));
    platform::CloseFd(CloseEvent_);
    platform::CloseFd(WriteWake_);
    platform::CloseDevice(Device_);
    PortHandle_ = platform::kNoHandle;
    NotifyWindow_.cancel(this);
    Undelivered_ = 0;  // what was pending went with the cancel
}

void TComm::StopReader() {
    if (!ReadThread_.joinable()) return;
    platform::SignalEvent(CloseEvent_);
    platform::PurgeInput(PortHandle_);
    ReadThread_.join();
}

void TComm::StopWriter() {
    if (!WriteThread_.joinable()) return;
    platform::SignalEvent(CloseEvent_);
    platform::PurgeOutput(PortHandle_);
    SendQueueEmpty = true;
    WriteThread_.join();
}

std::size_t TComm::OutputQueued() const { return IsOpen() ? platform::OutputQueued(PortHandle_) : 0; }

bool TComm::SendData(const std::uint8_t* Buffer, std::uint16_t Length) {
    if (!WriteThread_.joinable() || Length == 0) return false;
    try {
        std::vector<std::uint8_t> copy(Buffer, Buffer + Length);
        std::lock_guard lock(WriteMutex_);
        WriteQueue_.push_back(std::move(copy));
        // Under the writer's lock, so the writer cannot find the queue empty and set the flag
        // back after this block went in.
        SendQueueEmpty = false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    platform::SignalEvent(WriteWake_);
    return true;
}

// Line settings. What has a termios or modem-control equivalent is applied; the rest is only
// stored, and the port behaves as stated:
// - Outx_DsrFlow, DsrSensitivity: no DSR flow control on this system; DSR is not looked at.
// - DtrHandshake: no DTR flow control; DTR is held raised, as with DtrEnable.
// - RtsTransmissionAvailable: the tty layer cannot raise RTS only while sending; RTS is
//   lowered, its idle state in that mode.
// - TxContinueOnXoff: output always continues after the tty layer sent XOFF, as when True.
// - XonLimit, XoffLimit: the tty layer's thresholds are fixed.
// - ReplacedChar: a byte with a parity error is replaced only by 0x00 (INPCK without IGNPAR
//   or PARMRK); the replacement is on when both ParityCheck and ReplaceWhenParityError are.
//   Parity errors are reported by the receive-error event either way, where the driver
//   counts them.
// - IgnoreNullChar has no termios flag: the reader drops 0x00 bytes itself.
// Parity is taken from the stored property, so a Parity stored while open reaches the line
// with the next setter that applies the line settings, or at the next OpenPort.
void TComm::ApplyLineSettings() {
    platform::LineSettings line;
    line.baudRate = BaudRate_;
    line.dataBits = static_cast<int>(ByteSize_) + 5;
    line.parity = ToParity(Parity_);
    line.stopBits = ToStopBits(StopBits_);
    line.inputParityCheck = ParityCheck_ && ReplaceWhenParityError_;
    line.hardwareFlow = Outx_CtsFlow_ || RtsControl_ == TRtsControl::RtsHandshake;
    line.xonXoffOutput = Outx_XonXoffFlow_;
    line.xonXoffInput = Inx_XonXoffFlow_;
    line.xonChar = XonChar_;
    line.xoffChar = XoffChar_;
    platform::ApplyLine(PortHandle_, line);

    platform::SetDtr(PortHandle_, DtrControl_ != TDtrControl::DtrDisable);
    if (RtsControl_ != TRtsControl::RtsHandshake)
        platform::SetRts(PortHandle_, RtsControl_ == TRtsControl::RtsEnable);
    StripNulls_ = IgnoreNullChar_;
}

void TComm::HandleNotification(Notification& n) {
    switch (n.message) {
        case CM_DATA: {
            Undelivered_ -= n.data.size();
            if (auto handler = OnReceiveData)
                handler(*this, n.data.data(), static_cast<std::uint16_t>(n.data.size()));
            n.data.clear();
            n.data.shrink_to_fit();  // the block is gone once the handler has returned
            break;
        }
        case CM_ERROR:
            if (auto handler = OnReceiveError) handler(*this, n.param);
            break;
        case CM_HANGUP:
            if (auto handler = OnRequestHangup) handler(*this);
            break;
        case CM_MODEM:
            if (auto handler = OnModemStateChange) handler(*this, n.param);
            break;
        case CM_SENDEMPTY:
            if (auto handler = OnSendDataEmpty) handler(*this);
            break;
        case CM_SENT:
            if (auto handler = OnDataSent) handler(*this, n.data.data(), static_cast<std::uint16_t>(n.data.size()));
            break;
    }
}

void TComm::PostFromThread(CommMessage message, std::uint32_t param) {
    Notification n;
    n.message = message;
    n.param = param;
    if (!NotifyWindow_.post(this, std::move(n)) && message != CM_HANGUP) {
        Notification hangup;
        NotifyWindow_.post(this, std::move(hangup));
    }
}

// The writer: takes queued blocks in order and writes each fully. CM_SENDEMPTY is posted
// when the thread starts and each time the queue runs empty after a block was written.
void TComm::WriteThreadMain() {
    bool notifyEmpty = true;
    for (;;) {
        std::vector<std::uint8_t> block;
        bool have = false;
        {
            std::lock_guard lock(WriteMutex_);
            if (WriteQueue_.empty()) {
                SendQueueEmpty = true;
            } else {
                block = std::move(WriteQueue_.front());
                WriteQueue_.pop_front();
                have = true;
            }
        }
        if (!have) {
            if (notifyEmpty) {
                Notification n;
                n.message = CM_SENDEMPTY;
                if (!NotifyWindow_.post(this, std::move(n))) {
                    PostFromThread(CM_HANGUP);
                    break;
                }
                notifyEmpty = false;
            }
            if (!WaitForQueue()) break;
            continue;
        }
        // A block not written in full goes back to the front of the queue, where ClosePort
        // reports and frees it.
        if (platform::IsSignalled(CloseEvent_) || !WriteBlock(block)) {
            std::lock_guard lock(WriteMutex_);
            WriteQueue_.push_front(std::move(block));
            break;
        }
        Notification sent;
        sent.message = CM_SENT;
        sent.data = std::move(block);
        if (!NotifyWindow_.post(this, std::move(sent))) {
            PostFromThread(CM_HANGUP);
            break;
        }
        notifyEmpty = true;
    }
    platform::PurgeOutput(PortHandle_);
    SendQueueEmpty = true;
}

// Hands what the reader received to the owner as one CM_DATA (nulls stripped when asked).
// Beyond kReceiveBacklog bytes not yet handed over it is dropped, with one CE_RXOVER until the
// backlog has halved. False when the owner is gone (CM_HANGUP posted): the reader ends.
bool TComm::Deliver(const std::uint8_t* data, std::size_t length, bool& overflowing) {
    const std::size_t backlog = Undelivered_.load();
    if (overflowing && backlog <= kReceiveBacklog / 2) overflowing = false;
    if (backlog + length > kReceiveBacklog) {
        if (!overflowing) PostFromThread(CM_ERROR, platform::CE_RXOVER);
        overflowing = true;
        return true;
    }
    Notification n;
    n.message = CM_DATA;
    if (StripNulls_)
        std::copy_if(data, data + length, std::back_inserter(n.data), [](std::uint8_t b) { return b != 0; });
    else
        n.data.assign(data, data + length);
    const std::size_t size = n.data.size();
    if (size == 0) return true;
    Undelivered_ += size;
    if (!NotifyWindow_.post(this, std::move(n))) {
        PostFromThread(CM_HANGUP);
        return false;
    }
    return true;
}

}  // namespace serial

// TComm: one serial port, its line settings, and two worker threads (a reader and a writer)
// that hand everything they learn to the owner thread through its OwnerQueue.
//
// Everything public here belongs to the owner thread: the properties, OpenPort, ClosePort,
// SendData, and the events, which run from OwnerQueue::dispatch(). The worker threads never
// call into the component or the application; they post, and read one flag, SendQueueEmpty.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/outcome.h"
#include "serial/owner_queue.h"
#include "serial/platform.h"

namespace serial {

enum class TByteSize { _5, _6, _7, _8 };                // ordinal + 5 data bits
enum class TParity { None, Odd, Even, Mark, Space };
enum class TStopBits { _1, _1_5, _2 };
enum class TDtrControl { DtrEnable, DtrDisable, DtrHandshake };
enum class TRtsControl { RtsEnable, RtsDisable, RtsHandshake, RtsTransmissionAvailable };

// The errors OpenPort gives.
inline constexpr const char* kAlreadyOpen = "This serial port already opened";
inline constexpr const char* kErrorOpening = "Error opening serial port";
inline constexpr const char* kNotCommHandle = "File handle is not a comm handle ";  // trailing blank
inline constexpr const char* kCannotSetupBuffer = "Cannot setup comm buffer";
inline constexpr const char* kUnableEvent = "Unable to create event";
inline constexpr const char* kUnableReadThread = "Unable to create read thread";
inline constexpr const char* kUnableWriteThread = "Unable to create write thread";

class TComm;

using TReceiveDataEvent = std::function<void(TComm& Sender, const std::uint8_t* Buffer, std::uint16_t BufferLength)>;
using TReceiveErrorEvent = std::function<void(TComm& Sender, std::uint32_t EventMask)>;
using TModemStateChangeEvent = std::function<void(TComm& Sender, std::uint32_t ModemEvent)>;
using TNotifyEvent = std::function<void(TComm& Sender)>;
using TSendDataEmptyEvent = std::function<void(TComm& Sender)>;

// Size of the reader's buffer: the largest block one CM_DATA carries.
inline constexpr std::size_t kReadBufferSize = 2048;
// At most this many received bytes wait for the owner thread. A peer that sends faster than
// the owner takes them (a flooding device, an owner busy elsewhere) costs no more memory:
// further bytes are read and dropped, and the receive-error event reports CE_RXOVER once
// for each such overflow.
inline constexpr std::size_t kReceiveBacklog = 64 * 1024;

class TComm : private NotifyTarget {
public:
    // The queue must outlive the component. Do not destroy a TComm from one of its own
    // event handlers.
    explicit TComm(OwnerQueue& queue);
    // Closes an open port, so both threads have ended before the storage goes away.
    ~TComm();
    TComm(const TComm&) = delete;
    TComm& operator=(const TComm&) = delete;

    // Opens and configures CommName and starts the reader, then the writer. A failure gives
    // one of the messages above, with the kind a caller acts on (Busy: open already or held by
    // another program, NotFound, Permission, NotRegular: no serial device, System), and
    // leaves the port closed with nothing left open. LastOpenFailure() says more.
    [[nodiscard]] base::Outcome<> OpenPort();
    // Stops both threads (they have ended when it returns), restores the device's settings
    // and closes it. Pending notifications of this opening are dropped. Nothing when closed.
    void ClosePort();
    // Queues a copy of Length bytes for the writer. False while closed or for Length 0.
    // Blocks are written in the order queued; the call does not wait for them to leave:
    // OnDataSent says when one has been written, and ClosePort hands blocks it throws away
    // to OnDataDropped.
    bool SendData(const std::uint8_t* Buffer, std::uint16_t Length);

    bool IsOpen() const { return PortHandle_ != platform::kNoHandle; }
    platform::Handle PortHandle() const { return PortHandle_; }
    // Why the last OpenPort failed (None after a success).
    platform::OpenFailure LastOpenFailure() const { return LastOpenFailure_; }
    // Bytes written to the device that the driver has not yet put on the line; 0 when closed
    // or when the driver cannot tell.
    std::size_t OutputQueued() const;

    // True when no data wait in the writer; a hint, written by the writer thread.
    std::atomic<bool> SendQueueEmpty{true};

    // Events, in the order published. Each runs on the owner thread; an unassigned one is
    // skipped. The receive buffer is valid only during the call.
    TReceiveDataEvent OnReceiveData;
    TReceiveErrorEvent OnReceiveError;
    TModemStateChangeEvent OnModemStateChange;
    TNotifyEvent OnRequestHangup;
    TSendDataEmptyEvent OnSendDataEmpty;
    // Ours, for the link: a queued block has been written to the device in full (posted, on
    // the owner thread); a queued block that ClosePort threw away unwritten, or only partly
    // written (called from ClosePort itself).
    TReceiveDataEvent OnDataSent;
    TReceiveDataEvent OnDataDropped;

    // Published properties, in the order published, with a new component's values.
    // CommName and Parity are stored and take effect at the next OpenPort; every other
    // setter does nothing for an equal value and otherwise applies at once while open.
    const std::string& CommName() const { return CommName_; }
    void SetCommName(const std::string& v) { CommName_ = v; }
    std::uint32_t BaudRate() const { return BaudRate_; }
    void SetBaudRate(std::uint32_t v) { SetLine(BaudRate_, v); }
    bool ParityCheck() const { return ParityCheck_; }
    void SetParityCheck(bool v) { SetLine(ParityCheck_, v); }
    bool Outx_CtsFlow() const { return Outx_CtsFlow_; }
    void SetOutx_CtsFlow(bool v) { SetLine(Outx_CtsFlow_, v); }
    bool Outx_DsrFlow() const { return Outx_DsrFlow_; }
    void SetOutx_DsrFlow(bool v) { SetLine(Outx_DsrFlow_, v); }
    TDtrControl DtrControl() const { return DtrControl_; }
    void SetDtrControl(TDtrControl v) { SetLine(DtrControl_, v); }
    bool DsrSensitivity() const { return DsrSensitivity_; }
    void SetDsrSensitivity(bool v) { SetLine(DsrSensitivity_, v); }
    bool TxContinueOnXoff() const { return TxContinueOnXoff_; }
    void SetTxContinueOnXoff(bool v) { SetLine(TxContinueOnXoff_, v); }
    bool Outx_XonXoffFlow() const { return Outx_XonXoffFlow_; }
    void SetOutx_XonXoffFlow(bool v) { SetLine(Outx_XonXoffFlow_, v); }
    bool Inx_XonXoffFlow() const { return Inx_XonXoffFlow_; }
    void SetInx_XonXoffFlow(bool v) { SetLine(Inx_XonXoffFlow_, v); }
    bool ReplaceWhenParityError() const { return ReplaceWhenParityError_; }
    void SetReplaceWhenParityError(bool v) { SetLine(ReplaceWhenParityError_, v); }
    bool IgnoreNullChar() const { return IgnoreNullChar_; }
    void SetIgnoreNullChar(bool v) { SetLine(IgnoreNullChar_, v); }
    TRtsControl RtsControl() const { return RtsControl_; }
    void SetRtsControl(TRtsControl v) { SetLine(RtsControl_, v); }
    std::uint16_t XonLimit() const { return XonLimit_; }
    void SetXonLimit(std::uint16_t v) { SetLine(XonLimit_, v); }
    std::uint16_t XoffLimit() const { return XoffLimit_; }
    void SetXoffLimit(std::uint16_t v) { SetLine(XoffLimit_, v); }
    TByteSize ByteSize() const { return ByteSize_; }
    void SetByteSize(TByteSize v) { SetLine(ByteSize_, v); }
    TParity Parity() const { return Parity_; }
    void SetParity(TParity v) { Parity_ = v; }
    TStopBits StopBits() const { return StopBits_; }
    void SetStopBits(TStopBits v) { SetLine(StopBits_, v); }
    std::uint8_t XonChar() const { return XonChar_; }
    void SetXonChar(std::uint8_t v) { SetLine(XonChar_, v); }
    std::uint8_t XoffChar() const { return XoffChar_; }
    void SetXoffChar(std::uint8_t v) { SetLine(XoffChar_, v); }
    std::uint8_t ReplacedChar() const { return ReplacedChar_; }
    void SetReplacedChar(std::uint8_t v) { SetLine(ReplacedChar_, v); }
    std::uint32_t ReadIntervalTimeout() const { return ReadIntervalTimeout_; }
    void SetReadIntervalTimeout(std::uint32_t v) { SetTimeout(ReadIntervalTimeout_, v); }
    std::uint32_t ReadTotalTimeoutMultiplier() const { return ReadTotalTimeoutMultiplier_; }
    void SetReadTotalTimeoutMultiplier(std::uint32_t v) { SetTimeout(ReadTotalTimeoutMultiplier_, v); }
    std::uint32_t ReadTotalTimeoutConstant() const { return ReadTotalTimeoutConstant_; }
    void SetReadTotalTimeoutConstant(std::uint32_t v) { SetTimeout(ReadTotalTimeoutConstant_, v); }
    std::uint32_t WriteTotalTimeoutMultiplier() const { return WriteTotalTimeoutMultiplier_; }
    void SetWriteTotalTimeoutMultiplier(std::uint32_t v) { SetTimeout(WriteTotalTimeoutMultiplier_, v); }
    std::uint32_t WriteTotalTimeoutConstant() const { return WriteTotalTimeoutConstant_; }
    void SetWriteTotalTimeoutConstant(std::uint32_t v) { SetTimeout(WriteTotalTimeoutConstant_, v); }

private:
    void HandleNotification(Notification& notification) override;

    template <class T>
    void SetLine(T& field, T value) {
        if (field == value) return;
        field = value;
        if (IsOpen()) ApplyLineSettings();
    }
    template <class T>
    void SetTimeout(T& field, T value) {
        if (field == value) return;
        field = value;
        if (IsOpen()) ApplyTimeouts();
    }
    void ApplyLineSettings();
    void ApplyTimeouts();
    void StopReader();
    void StopWriter();
    void ReleaseAfterFailure();

    // Worker threads.
    void ReadThreadMain();
    void WriteThreadMain();
    bool WaitForQueue();
    bool Deliver(const std::uint8_t* data, std::size_t length, bool& overflowing);
    bool WriteBlock(const std::vector<std::uint8_t>& block);
    void PostFromThread(CommMessage message, std::uint32_t param = 0);

    OwnerQueue& NotifyWindow_;
    platform::Device Device_;
    platform::OpenFailure LastOpenFailure_;
    platform::Handle PortHandle_ = platform::kNoHandle;  // the only open/closed flag
    platform::Handle CloseEvent_ = platform::kNoHandle;  // signalled to end both threads
    platform::Handle WriteWake_ = platform::kNoHandle;   // signalled when a block is queued
    std::thread ReadThread_;
    std::thread WriteThread_;
    std::mutex WriteMutex_;
    std::deque<std::vector<std::uint8_t>> WriteQueue_;  // guarded by WriteMutex_
    std::atomic<bool> StripNulls_{false};               // IgnoreNullChar, as the reader sees it
    std::atomic<std::size_t> Undelivered_{0};           // received bytes posted, not yet handed over

    std::string CommName_ = "COM2";
    std::uint32_t BaudRate_ = 9600;
    bool ParityCheck_ = false;
    bool Outx_CtsFlow_ = false;
    bool Outx_DsrFlow_ = false;
    TDtrControl DtrControl_ = TDtrControl::DtrEnable;
    bool DsrSensitivity_ = false;
    bool TxContinueOnXoff_ = true;
    bool Outx_XonXoffFlow_ = true;
    bool Inx_XonXoffFlow_ = true;
    bool ReplaceWhenParityError_ = false;
    bool IgnoreNullChar_ = false;
    TRtsControl RtsControl_ = TRtsControl::RtsEnable;
    std::uint16_t XonLimit_ = 500;
    std::uint16_t XoffLimit_ = 500;
    TByteSize ByteSize_ = TByteSize::_8;
    TParity Parity_ = TParity::None;
    TStopBits StopBits_ = TStopBits::_1;
    std::uint8_t XonChar_ = 0x11;
    std::uint8_t XoffChar_ = 0x13;
    std::uint8_t ReplacedChar_ = 0x00;
    std::uint32_t ReadIntervalTimeout_ = 100;
    std::uint32_t ReadTotalTimeoutMultiplier_ = 0;
    std::uint32_t ReadTotalTimeoutConstant_ = 0;
    std::uint32_t WriteTotalTimeoutMultiplier_ = 0;
    std::uint32_t WriteTotalTimeoutConstant_ = 0;
};

}  // namespace serial

// The radio link: the procedures that move the editor's image to and from the radio over
// Comm1, waiting with PumpDelay so that received bytes reach RecvHex while they wait. They
// run the same in the windows and in the command line; only the Pump differs.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "image/editor_state.h"
#include "base/outcome.h"
#include "base/text.h"

namespace serial {
class OwnerQueue;
class TComm;
}  // namespace serial

namespace radiolink {

using Clock = std::chrono::steady_clock;

// Runs the owner thread's event loop: delivers the serial component's notifications (and, in
// the windows, everything else) until `done` holds or `deadline` passes.
class Pump {
public:
    virtual ~Pump() = default;
    virtual void runUntil(Clock::time_point deadline, const std::function<bool()>& done) = 0;
};

// Waits while the owner's events run.
void PumpDelay(Pump& pump, Clock::duration wait);

// The protocol's waits. A radio needs these; tests that do not test the waits themselves run
// the same procedures with shorter ones.
struct Timing {
    std::chrono::milliseconds promLinWait{500};      // after "PROM_LIN", its answer discarded
    std::chrono::milliseconds frameTimeout{51 * 20};  // a read or write frame's answer, from its sending
    std::chrono::milliseconds singleBlockWait{500};   // the one wait of a single-block transfer
    std::chrono::milliseconds afterExit{500};         // before the next "PROM_LIN": the radio leaves programming
    std::chrono::milliseconds drainBound{1000};       // at most, for the last frames to leave
};

// Progress of a procedure: blocks done so far (0..136, or 0..1 for a single block).
using Progress = std::function<void(int done)>;

// How a procedure ended, reported as every step that can fail reports: `error` says what went
// wrong (the block and what came back, the field, where it was stopped), empty when it
// succeeded, and `kind` is NoAnswer (no answer, a wrong one, the cable pulled, a read-back
// that differs: BadData), Interrupted, Busy, BadData (a field no frame can carry) or
// Refused (a write without its backup); `notes` are what a success still tells (the backup, the verify, names that are
// no GBK text). Besides, the message the operator is shown either way.
struct Result : base::Outcome<> {
    std::string message;       // "读取成功!", "写频错误!", ...
    int progress = 0;
    bool interrupted = false;  // stopped on request at a block boundary, "EXIT" sent
    std::string backup;        // the raw backup the procedure kept, "" for none
    // The radio was read, but a file the procedure must keep (its backup) could not be saved;
    // a write or restore then sent nothing.
    bool fileProblem = false;

    // One more line for the operator: part of the error when the procedure failed, a note
    // when it succeeded. An empty line adds nothing.
    void tell(const std::string& line);
    // The lines under the message: the error, or the notes.
    std::string detail() const;
};

// One radio on one serial component: owns RecvHex (filled by Comm1ReceiveData) and refuses
// a second procedure while one runs.
//
// A procedure owns the line from "PROM_LIN" until its "EXIT" has left the computer: the
// frames the writer has not yet written are counted, and a procedure ends only when they are
// written and the driver's output has drained (bounded, so a dead adapter cannot hang it).
// The next "PROM_LIN" waits until the radio has had 500 ms outside programming mode.
class Radio {
public:
    Radio(serial::TComm& comm, Pump& pump);
    ~Radio();
    Radio(const Radio&) = delete;
    Radio& operator=(const Radio&) = delete;

    std::string& RecvHex() { return recvHex_; }
    const std::string& RecvHexView() const { return recvHex_; }
    bool busy() const { return busy_; }

    // Empties RecvHex before a frame whose answer has `expectedBytes`: RecvHex then takes at
    // most that many bytes and kReceiveMargin more. What comes beyond (a radio that floods
    // the line) is dropped and marks the answer as overflowed, a fault of that frame.
    static constexpr std::size_t kReceiveMargin = 256;
    void clearReceived(std::size_t expectedBytes);
    bool overflowed() const { return overflowed_; }
    std::size_t receiveLimit() const { return receiveLimit_; }  // bytes

    // Optional observer of every byte sent (when it has been written to the port) and
    // received (the serial trace).
    std::function<void(bool sent, const std::uint8_t* data, std::size_t length)> onTraffic;

    // Called when the port reports a hang-up (the adapter was unplugged).
    std::function<void()> onHangup;
    // Remarks for the serial trace: a frame that timed out, a procedure's result.
    std::function<void(const std::string& text)> onNote;
    void note(const std::string& text) {
        if (onNote) onNote(text);
    }

    Timing timing;

    // Asks the running procedure (or the next one) to stop at the next block boundary: the
    // frame on the line gets its answer or its time-out, then "EXIT" goes out. Safe to call
    // from a signal handler. Cleared by clearStop().
    void requestStop() { stop_.store(true); }
    bool stopRequested() const { return stop_.load(); }
    void clearStop() { stop_.store(false); }

    // Used by the procedures.
    bool send(const std::string& hex);  // one SendData call for a whole frame
    // Waits, with the events running, until every frame sent has been written and the
    // driver's output has drained, then for the last frame's time on the line; at most about
    // a second. False when something was left unwritten.
    bool drain();
    // Remembers that "EXIT" has left; the next openingDelay() counts from here.
    void markExit() { lastExit_ = Clock::now(); }
    // How long the next "PROM_LIN" must still wait so that the radio has left programming.
    Clock::duration openingDelay() const;
    Pump& pump() { return pump_; }
    Clock::time_point lastReceive() const { return lastReceive_; }
    bool hungUp() const { return hungUp_; }
    std::chrono::microseconds quietTime() const;  // two character times at the line speed

    // Marks the radio busy for the lifetime of a procedure; false if one already runs.
    class Session {
    public:
        explicit Session(Radio& radio) : radio_(radio), acquired_(!radio.busy_) {
            radio_.busy_ = true;
            if (acquired_) radio_.hungUp_ = false;  // a hang-up counts from here on
        }
        ~Session() {
            if (acquired_) radio_.busy_ = false;
        }
        Session(const Session&) = delete;
        Session& operator=(const Session&) = delete;
        bool acquired() const { return acquired_; }

    private:
        Radio& radio_;
        bool acquired_;
    };

private:
    serial::TComm& comm_;
    Pump& pump_;
    std::string recvHex_;
    std::size_t receiveLimit_ = kReceiveMargin;
    bool overflowed_ = false;
    bool busy_ = false;
    bool hungUp_ = false;
    Clock::time_point lastReceive_{};
    Clock::time_point lastExit_{};
    std::deque<std::vector<std::uint8_t>> unsent_;  // frames queued, not yet reported written or dropped
    std::size_t tracedAhead_ = 0;  // of those, traced already because their answer came first
    std::size_t lastFrameSize_ = 0;
    std::atomic<bool> stop_{false};
};

// A Pump for a thread without another event loop: it delivers the owner queue's
// notifications and sleeps in poll() between them.
class QueuePump : public Pump {
public:
    explicit QueuePump(serial::OwnerQueue& queue) : queue_(queue) {}
    void runUntil(Clock::time_point deadline, const std::function<bool()>& done) override;

private:
    serial::OwnerQueue& queue_;
};

// A result without progress: a success, or a failure that says why. The message (one of
// messages.h) is said in the chosen language.
inline Result Succeeded(const std::string& message, int progress = 1) {
    Result r;
    r.message = base::Tr(message);
    r.progress = progress;
    return r;
}
// `why` is the error; a failure always has one, the message when nothing more is known.
inline Result Failed(const std::string& message, std::string why, base::ErrorKind kind = base::ErrorKind::Other) {
    Result r;
    r.message = base::Tr(message);
    r.error = why.empty() ? r.message : std::move(why);
    r.kind = kind;
    return r;
}

// What a procedure gives when another one holds the radio (kind Busy).
Result Busy();

// A full read into `state` (block by block, as each arrives). `raw`, when given, receives the
// bytes read as a 7168-byte image (0xFF where nothing was read).
Result ReadRadio(Radio& radio, image::EditorState& state, const Progress& progress = {},
                 std::vector<std::uint8_t>* raw = nullptr);

// A full write of `state`. Every frame is built and checked before anything is sent.
Result WriteRadio(Radio& radio, const image::EditorState& state, const Progress& progress = {});

// Writes an image back block by block (only the bytes the blocks carry): brings a radio
// back to the state of an earlier read.
Result RestoreRadio(Radio& radio, const std::vector<std::uint8_t>& image, const Progress& progress = {});

// Reads the radio back and compares every byte the frames wrote; a difference names the
// first block that differs and gives "写频错误!".
Result VerifyRadio(Radio& radio, const std::vector<std::string>& writeFrames, const Progress& progress = {});

// The single-block transfers of the limits page.
Result ReadPowerOnMessage(Radio& radio, image::EditorState& state);   // "读取" (message)
Result WritePowerOnMessage(Radio& radio, const image::EditorState& state);  // "写入" (message)
Result ReadLimits(Radio& radio, image::EditorState& state);           // "读取" (limits)
Result WriteLimits(Radio& radio, const image::EditorState& state);    // "写入" (limits)

}  // namespace radiolink

// The main window's receive buffer: every byte received on the port, in arrival order, as
// two uppercase hex digits per byte. Only Comm1ReceiveData appends; the transfer procedures
// clear it and compare or cut it. It has no size limit.
#pragma once

#include <cstdint>
#include <string>

#include "image/hex.h"
#include "serial/comm.h"

namespace serial {

struct ReceiveBuffer {
    std::string RecvHex;

    // The OnReceiveData handler: the block as hex, appended. The buffer is the component's
    // and gone after the call, so it is converted here and not kept.
    void Comm1ReceiveData(TComm& /*Sender*/, const std::uint8_t* Buffer, std::uint16_t BufferLength) {
        RecvHex += image::BytesToHex(Buffer, BufferLength);
    }

    // Makes Comm1ReceiveData the port's OnReceiveData handler.
    void AttachTo(TComm& comm) {
        comm.OnReceiveData = [this](TComm& sender, const std::uint8_t* buffer, std::uint16_t length) {
            Comm1ReceiveData(sender, buffer, length);
        };
    }
};

}  // namespace serial

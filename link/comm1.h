// The main window's serial component as the radio needs it: 19200 bit/s, 8 data bits, no
// parity, 1 stop bit, DTR and RTS on, and no flow control of any kind, so the bytes 0x11 and
// 0x13 pass as data.
#pragma once

#include "serial/comm.h"

namespace radiolink {

inline void ConfigureComm1(serial::TComm& comm) {
    comm.SetCommName("COM1");
    comm.SetBaudRate(19200);
    comm.SetByteSize(serial::TByteSize::_8);
    comm.SetParity(serial::TParity::None);
    comm.SetStopBits(serial::TStopBits::_1);
    comm.SetParityCheck(false);
    comm.SetOutx_CtsFlow(false);
    comm.SetOutx_DsrFlow(false);
    comm.SetDtrControl(serial::TDtrControl::DtrEnable);
    comm.SetDsrSensitivity(false);
    comm.SetTxContinueOnXoff(true);
    comm.SetReplaceWhenParityError(false);
    comm.SetIgnoreNullChar(false);
    comm.SetRtsControl(serial::TRtsControl::RtsEnable);
    comm.SetXonLimit(500);
    comm.SetXoffLimit(500);
    comm.SetXonChar(0x11);
    comm.SetXoffChar(0x13);
    comm.SetReplacedChar(0x00);
    comm.SetReadIntervalTimeout(100);
    comm.SetReadTotalTimeoutMultiplier(0);
    comm.SetReadTotalTimeoutConstant(0);
    comm.SetWriteTotalTimeoutMultiplier(0);
    comm.SetWriteTotalTimeoutConstant(0);
    // The design settings have XON/XOFF on; the main window switches both off once it is
    // created, and an open port takes each change at once.
    comm.SetInx_XonXoffFlow(false);
    comm.SetOutx_XonXoffFlow(false);
}

}  // namespace radiolink

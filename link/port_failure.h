// Why a port could not be opened, for the operator: the device and the reason, with what to
// do about the usual ones (the dialout group, a cable not plugged in, another program).
#pragma once

#include <string>

#include "serial/platform.h"

namespace radiolink {

std::string OpenFailureText(const serial::platform::OpenFailure& failure, const std::string& device);

}  // namespace radiolink

// Baud rates without a Bnnn constant, through the kernel's termios2. This file must not see
// the C library's <termios.h>: both define struct termios.
#include <asm/ioctls.h>
#include <asm/termbits.h>

#include <cstdint>

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept;

namespace serial::platform {

bool SetCustomSpeed(int fd, std::uint32_t baudRate) {
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = baudRate;
    t.c_ospeed = baudRate;
    return ioctl(fd, TCSETS2, &t) == 0;
}

}  // namespace serial::platform

#include "serial/platform.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <dirent.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace serial::platform {
namespace {

struct SpeedEntry {
    std::uint32_t rate;
    speed_t code;
};

constexpr SpeedEntry kSpeeds[] = {
    {50, B50},         {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},       {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},     {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},   {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000}, {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

bool StandardSpeed(std::uint32_t rate, speed_t& code) {
    for (const auto& s : kSpeeds)
        if (s.rate == rate) {
            code = s.code;
            return true;
        }
    return false;
}

void ModemBit(int fd, int bit, bool on) {
    ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bit);
}

std::string readSmallFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    char buffer[512];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

// Unix 98 pseudo-terminal slaves: majors 136-143, their number minor + 256 x (major - 136).
int ptyNumber(dev_t device) {
    const unsigned major = ::major(device);
    if (major < 136 || major > 143) return -1;
    return static_cast<int>(::minor(device) + 256 * (major - 136));
}

// Does the process hold the master side of pseudo-terminal `number` (fdinfo's "tty-index")?
bool holdsMaster(const std::string& processDir, int number) {
    DIR* fds = ::opendir((processDir + "/fd").c_str());
    if (!fds) return false;
    bool found = false;
    while (const dirent* e = ::readdir(fds)) {
        if (e->d_name[0] == '.') continue;
        char target[64];
        const ssize_t n = ::readlinkat(::dirfd(fds), e->d_name, target, sizeof target - 1);
        if (n <= 0) continue;
        target[n] = '\0';
        if (std::strcmp(target, "/dev/ptmx") != 0 && std::strncmp(target, "/dev/pts/ptmx", 13) != 0) continue;
        const std::string info = readSmallFile(processDir + "/fdinfo/" + e->d_name);
        const auto at = info.find("tty-index:");
        if (at != std::string::npos && std::atoi(info.c_str() + at + 10) == number) {
            found = true;
            break;
        }
    }
    ::closedir(fds);
    return found;
}

// Does the process hold `device` open?
bool holdsDevice(const std::string& processDir, dev_t device) {
    DIR* fds = ::opendir((processDir + "/fd").c_str());
    if (!fds) return false;  // another user's process: the system does not say
    bool found = false;
    while (const dirent* e = ::readdir(fds)) {
        if (e->d_name[0] == '.') continue;
        char target[16];
        const ssize_t n = ::readlinkat(::dirfd(fds), e->d_name, target, sizeof target);
        if (n < 5 || std::strncmp(target, "/dev/", 5) != 0) continue;  // sockets, pipes, files
        struct stat st {};
        if (::fstatat(::dirfd(fds), e->d_name, &st, 0) == 0 && S_ISCHR(st.st_mode) && st.st_rdev == device) {
            found = true;
            break;
        }
    }
    ::closedir(fds);
    return found;
}

}  // namespace

std::string OtherOpeners(dev_t device) {
    std::string names;
    DIR* proc = ::opendir("/proc");
    if (!proc) return names;
    const pid_t self = ::getpid();
    const int pty = ptyNumber(device);
    while (const dirent* e = ::readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(e->d_name, &end, 10);
        if (pid <= 0 || *end != '\0' || pid == self) continue;
        const std::string dir = std::string("/proc/") + e->d_name;
        if (!holdsDevice(dir, device)) continue;
        if (pty >= 0 && holdsMaster(dir, pty)) continue;
        std::string comm = readSmallFile(dir + "/comm");
        while (!comm.empty() && (comm.back() == '\n' || comm.back() == '\0')) comm.pop_back();
        if (!names.empty()) names += ", ";
        names += (comm.empty() ? std::string("?") : comm) + " (pid " + std::to_string(pid) + ")";
    }
    ::closedir(proc);
    return names;
}

OpenResult OpenDevice(const std::string& name, Device& device, OpenFailure* failure) {
    device = Device{};
    auto fail = [failure](OpenResult result, OpenProblem problem, int error) {
        if (failure) *failure = {problem, error, {}};
        return result;
    };
    auto busy = [failure](std::string holders, int error) {
        if (failure) *failure = {OpenProblem::Busy, error, std::move(holders)};
        return OpenResult::CannotOpen;
    };
    int fd;
    do fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int e = errno;
        switch (e) {
            case ENOENT:
            case ENODEV:
            case ENXIO: return fail(OpenResult::CannotOpen, OpenProblem::Missing, e);
            case EACCES:
            case EPERM: return fail(OpenResult::CannotOpen, OpenProblem::Permission, e);
            case EBUSY: {
                struct stat st {};
                return busy(::stat(name.c_str(), &st) == 0 ? OtherOpeners(st.st_rdev) : std::string(), e);
            }
            default: return fail(OpenResult::CannotOpen, OpenProblem::Other, e);
        }
    }
    if (!::isatty(fd)) {
        ::close(fd);
        return fail(OpenResult::NotATty, OpenProblem::NotSerial, ENOTTY);
    }
    struct stat st {};
    const bool known = ::fstat(fd, &st) == 0;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno;
        ::close(fd);
        if (e != EWOULDBLOCK) return fail(OpenResult::CannotOpen, OpenProblem::Other, e);
        return busy(known ? OtherOpeners(st.st_rdev) : std::string(), e);
    }
    // Ours now for every program that locks; one that opened it without (a terminal program,
    // cat) would read the radio's answers too.
    if (known) {
        if (std::string holders = OtherOpeners(st.st_rdev); !holders.empty()) {
            ::flock(fd, LOCK_UN);
            ::close(fd);
            return busy(std::move(holders), EBUSY);
        }
    }
    if (failure) *failure = {};
    ::ioctl(fd, TIOCEXCL);
    device.fd = fd;
    device.haveOriginal = ::tcgetattr(fd, &device.original) == 0;
    return OpenResult::Ok;
}

void CloseDevice(Device& device) {
    if (device.fd < 0) return;
    if (device.changedSerialFlags) {
        serial_struct ss{};
        if (::ioctl(device.fd, TIOCGSERIAL, &ss) == 0) {
            ss.flags = device.originalSerialFlags;
            ::ioctl(device.fd, TIOCSSERIAL, &ss);
        }
    }
    if (device.haveOriginal) ::tcsetattr(device.fd, TCSANOW, &device.original);
    ::ioctl(device.fd, TIOCNXCL);
    ::flock(device.fd, LOCK_UN);
    ::close(device.fd);
    device = Device{};
}

void ApplyLine(int fd, const LineSettings& line) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return;
    ::cfmakeraw(&t);
    t.c_cflag |= CREAD | CLOCAL;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;

    t.c_cflag &= ~CSIZE;
    switch (line.dataBits) {
        case 5: t.c_cflag |= CS5; break;
        case 6: t.c_cflag |= CS6; break;
        case 7: t.c_cflag |= CS7; break;
        default: t.c_cflag |= CS8; break;
    }

    t.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    switch (line.parity) {
        case ParityMode::None: break;
        case ParityMode::Odd: t.c_cflag |= PARENB | PARODD; break;
        case ParityMode::Even: t.c_cflag |= PARENB; break;
        case ParityMode::Mark: t.c_cflag |= PARENB | PARODD | CMSPAR; break;
        case ParityMode::Space: t.c_cflag |= PARENB | CMSPAR; break;
    }

    // A UART sends 1.5 stop bits for CSTOPB with 5 data bits and 2 otherwise; termios has no
    // other way to ask for 1.5.
    if (line.stopBits == StopBitsMode::One)
        t.c_cflag &= ~CSTOPB;
    else
        t.c_cflag |= CSTOPB;

    // Input parity check without IGNPAR or PARMRK: a byte with a parity error is read as 0x00.
    t.c_iflag &= ~(INPCK | IGNPAR | PARMRK | ISTRIP);
    if (line.inputParityCheck) t.c_iflag |= INPCK;

    if (line.hardwareFlow)
        t.c_cflag |= CRTSCTS;
    else
        t.c_cflag &= ~CRTSCTS;

    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (line.xonXoffOutput) t.c_iflag |= IXON;
    if (line.xonXoffInput) t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(line.xonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(line.xoffChar);

    speed_t code;
    const bool standard = StandardSpeed(line.baudRate, code);
    if (standard) ::cfsetspeed(&t, code);
    ::tcsetattr(fd, TCSANOW, &t);
    if (!standard && line.baudRate > 0) SetCustomSpeed(fd, line.baudRate);
}

bool SetQueueSizes(const Device&) { return true; }

void SetDtr(int fd, bool on) { ModemBit(fd, TIOCM_DTR, on); }
void SetRts(int fd, bool on) { ModemBit(fd, TIOCM_RTS, on); }

void PurgeInput(int fd) { ::tcflush(fd, TCIFLUSH); }
std::size_t OutputQueued(int fd) {
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued < 0) return 0;
    return static_cast<std::size_t>(queued);
}

// Only what the driver still holds is thrown away. A pseudo-terminal holds nothing: its
// bytes are across at once, and a flush there would reach over and discard what the far end
// has not read yet (bytes that have, for all the writer can know, left the line).
void PurgeOutput(int fd) {
    if (OutputQueued(fd) > 0) ::tcflush(fd, TCOFLUSH);
}

void SetLowLatency(Device& device) {
    serial_struct ss{};
    if (::ioctl(device.fd, TIOCGSERIAL, &ss) != 0) return;
    if (ss.flags & ASYNC_LOW_LATENCY) return;
    const int before = ss.flags;
    ss.flags |= ASYNC_LOW_LATENCY;
    if (::ioctl(device.fd, TIOCSSERIAL, &ss) == 0) {
        device.originalSerialFlags = before;
        device.changedSerialFlags = true;
    }
}

bool ReadCounters(int fd, Counters& counters) {
    serial_icounter_struct ic{};
    if (::ioctl(fd, TIOCGICOUNT, &ic) != 0) return false;
    counters.frame = static_cast<std::uint32_t>(ic.frame);
    counters.parity = static_cast<std::uint32_t>(ic.parity);
    counters.overrun = static_cast<std::uint32_t>(ic.overrun);
    counters.bufferOverrun = static_cast<std::uint32_t>(ic.buf_overrun);
    counters.brk = static_cast<std::uint32_t>(ic.brk);
    counters.ring = static_cast<std::uint32_t>(ic.rng);
    counters.carrier = static_cast<std::uint32_t>(ic.dcd);
    return true;
}

std::uint32_t LineErrorsBetween(const Counters& a, const Counters& b) {
    std::uint32_t flags = 0;
    if (b.bufferOverrun != a.bufferOverrun) flags |= CE_RXOVER;
    if (b.overrun != a.overrun) flags |= CE_OVERRUN;
    if (b.parity != a.parity) flags |= CE_RXPARITY;
    if (b.frame != a.frame) flags |= CE_FRAME;
    if (b.brk != a.brk) flags |= CE_BREAK;
    return flags;
}

std::uint32_t ModemEventsBetween(const Counters& a, const Counters& b) {
    std::uint32_t mask = 0;
    if (b.ring != a.ring) mask |= MODEM_RING;
    if (b.carrier != a.carrier) mask |= MODEM_CARRIER;
    return mask;
}

int CreateEvent() { return ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK); }

void SignalEvent(int event) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(event, &one, sizeof one);
}

bool IsSignalled(int event) {
    pollfd p{event, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace serial::platform

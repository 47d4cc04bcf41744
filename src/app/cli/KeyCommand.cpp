// `miv-cli key`: keys the radio for a while and unkeys it, to check a station's PTT
// wiring without the window.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <ctime>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/cli/Commands.h"
#include "platform/Rig.h"
#include "platform/rig/HamlibConnection.h"
#include "platform/rig/HamlibRig.h"

namespace miv::cli {

namespace {

constexpr int kLongestKeyingSeconds = 600;

// What --ptt names: a serial port keyed by RTS and DTR, or a rig over CAT.
struct PttTarget {
    std::string serialDevice;
    std::optional<RigAddress> rig;
};

std::optional<int> wholeNumber(const std::string& text)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 9)
        return std::nullopt;
    return std::stoi(text);
}

// "serial:DEV", "rigctl:HOST:PORT", "hamlib:MODEL:DEV:BAUD".
std::optional<PttTarget> parsePtt(const std::string& text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos)
        return std::nullopt;
    const std::string kind = text.substr(0, colon);
    const std::string rest = text.substr(colon + 1);
    if (kind == "serial" && !rest.empty())
        return PttTarget{rest, std::nullopt};
    const std::size_t last = rest.rfind(':');
    if (last == std::string::npos || last == 0)
        return std::nullopt;
    const std::optional<int> number = wholeNumber(rest.substr(last + 1));
    if (kind == "rigctl" && number && *number > 0) {
        RigAddress rig;
        rig.host = rest.substr(0, last);
        rig.port = *number;
        return PttTarget{{}, rig};
    }
    const std::size_t first = rest.find(':');
    const std::optional<int> model = wholeNumber(rest.substr(0, first));
    if (kind == "hamlib" && model && first < last) {
        RigAddress rig;
        rig.link = RigLink::Hamlib;
        rig.model = *model;
        rig.device = rest.substr(first + 1, last - first - 1);
        rig.baud = number.value_or(-1);
        if (rig.baud >= 0)
            return PttTarget{{}, rig};
    }
    return std::nullopt;
}

// Opening a serial port raises RTS and DTR; HUPCL makes the kernel drop them when the
// descriptor closes, however the program ends.
int keySerial(const std::string& device)
{
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fd;
    termios tio{};
    if (::tcgetattr(fd, &tio) == 0) {
        tio.c_cflag |= HUPCL;
        ::tcsetattr(fd, TCSANOW, &tio);
    }
    int lines = TIOCM_RTS | TIOCM_DTR;
    ::ioctl(fd, TIOCMBIS, &lines);  // a port without modem lines keys on open or not at all
    return fd;
}

void unkeySerial(int fd)
{
    int lines = TIOCM_RTS | TIOCM_DTR;
    ::ioctl(fd, TIOCMBIC, &lines);
    ::close(fd);
}

// Waits `seconds`, or less when SIGINT, SIGTERM or SIGHUP arrives; those are blocked
// from the start, so none of them can end the program while the radio is keyed.
std::optional<int> waitUnlessSignalled(const sigset_t& signals, int seconds)
{
    timespec left{seconds, 0};
    siginfo_t info{};
    const int received = ::sigtimedwait(&signals, &info, &left);
    return received > 0 ? std::optional<int>(received) : std::nullopt;
}

ExitCode key(const PttTarget& target, int seconds)
{
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&signals, signalNumber);
    // Before the CAT thread starts, so that it inherits the mask too.
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    // A rigctld that goes away must fail the unkey, not end the program keyed.
    std::signal(SIGPIPE, SIG_IGN);

    if (!target.rig) {
        const int fd = keySerial(target.serialDevice);
        if (fd < 0) {
            std::cerr << "miv-cli key: cannot open " << target.serialDevice << '\n';
            return ExitCode::OutputError;
        }
        std::cerr << "keyed " << target.serialDevice << " (RTS and DTR) for " << seconds << " s\n";
        const std::optional<int> signalled = waitUnlessSignalled(signals, seconds);
        unkeySerial(fd);
        std::cerr << (signalled ? "stopped by a signal, unkeyed\n" : "unkeyed\n");
        return ExitCode::Ok;
    }

    const std::string name = describeRig(*target.rig, HamlibConnection::catalogue());
    HamlibRig rig;
    rig.connect(*target.rig);
    if (const RigReply keyed = rig.setPtt(true); !keyed.ok) {
        std::cerr << "miv-cli key: " << name << " not available: " << keyed.error << '\n';
        return ExitCode::OutputError;  // the rig takes back a key that came late itself
    }
    std::cerr << "keyed " << name << " for " << seconds << " s\n";
    const std::optional<int> signalled = waitUnlessSignalled(signals, seconds);
    if (const RigReply unkeyed = rig.setPtt(false); !unkeyed.ok) {
        std::cerr << "miv-cli key: " << name << " did not confirm PTT off (" << unkeyed.error
                  << "): check that the radio is not transmitting\n";
        return ExitCode::OutputError;
    }
    std::cerr << (signalled ? "stopped by a signal, unkeyed\n" : "unkeyed\n");
    return ExitCode::Ok;
}

}  // namespace

void addKeyCommand(CLI::App& app, ExitCode& exitCode)
{
    auto* command = app.add_subcommand("key", "Key the radio for a few seconds and unkey it, to check the PTT wiring");
    auto ptt = std::make_shared<std::string>();
    auto seconds = std::make_shared<int>(5);
    command
        ->add_option("--ptt", *ptt,
                     "serial:DEVICE, rigctl:HOST:PORT or hamlib:MODEL:DEVICE:BAUD (BAUD 0: the model's own)")
        ->required();
    command->add_option("--seconds", *seconds, "How long to stay keyed")->check(CLI::Range(1, kLongestKeyingSeconds));
    command->callback([ptt, seconds, &exitCode] {
        const std::optional<PttTarget> target = parsePtt(*ptt);
        if (!target) {
            std::cerr << "miv-cli key: --ptt " << *ptt
                      << " is not serial:DEVICE, rigctl:HOST:PORT or hamlib:MODEL:DEVICE:BAUD\n";
            exitCode = ExitCode::Usage;
            return;
        }
        exitCode = key(*target, *seconds);
    });
}

}  // namespace miv::cli

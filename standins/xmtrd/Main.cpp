// kestrum-xmtrd: the simulated transmitter as a program of its own, for masters in other
// processes.
//   kestrum-xmtrd --pty [OPTIONS]                  serves a pseudo-terminal
//   kestrum-xmtrd --hart-ip 127.0.0.1:PORT [OPTIONS] serves HART-IP (port 0: any free one)
//   kestrum-xmtrd --hart-ip-udp 127.0.0.1:PORT [OPTIONS] the same over UDP
// Options: --wire fast|real (default real: 1200 bit/s), --set KEY=VALUE (a transmitter variable,
// as the host script's xmtr command; repeatable), --max-idle MS (the longest inactivity timer a
// HART-IP session gets, 1 to 86400000; default 600000).
// The first line of output says where the port is ("pty /dev/pts/N", "hart-ip ADDRESS:PORT").
// Standard input takes one control a line, each answered "ok" or "error REASON": set KEY VALUE,
// garble N, mute N, hart7 N (see Device.h), noise MS, echo N, wrongcommand N, preambles N,
// second-master N, stall 1|0, late-initiate MS, unanswered N, slow MS, warn-initiate MS, stray N,
// lose N (see Port.h), drop (ends the HART-IP session), sessions (answered "ok N": the sessions
// opened so far), open, closed, expired, duplicates (the other counts of Port::Count), answered
// ("ok N": the answers sent so far), written ("ok N": the writes the device carried out so far).
// The program ends when its input ends.
#include "Device.h"
#include "Port.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{

// The longest inactivity timer --max-idle may grant: a day.
constexpr unsigned long kMaxIdle = 86400000;

int Usage()
{
    std::fprintf(stderr, "usage: kestrum-xmtrd --pty|--hart-ip|--hart-ip-udp ADDRESS:PORT "
                         "[--wire fast|real] [--max-idle MS] [--set KEY=VALUE]...\n");
    return 2;
}

// "NAME N" for a fault of the port; false when the port does not know it.
bool PortFault(xmtrd::Port& port, const std::string& line)
{
    const std::size_t blank = line.find(' ');
    if (blank == std::string::npos)
        return false;
    char* end = nullptr;
    const unsigned long value = std::strtoul(line.c_str() + blank + 1, &end, 10);
    return end != line.c_str() + blank + 1 && *end == '\0' &&
           port.Fault(line.substr(0, blank), value);
}

// Serves the port and the controller until standard input ends.
void Run(xmtrd::Device& device, xmtrd::Port& port)
{
    std::string pending;
    for (;;)
    {
        std::vector<pollfd> fds = {{STDIN_FILENO, POLLIN, 0}};
        const std::vector<pollfd> portFds = port.Descriptors();
        fds.insert(fds.end(), portFds.begin(), portFds.end());
        if (poll(fds.data(), fds.size(), port.Timeout()) < 0)
            continue;
        port.Serve(std::vector<pollfd>(fds.begin() + 1, fds.end()));
        if (fds[0].revents == 0)
            continue;
        char buffer[256];
        const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0)
            return;
        pending.append(buffer, static_cast<std::size_t>(count));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;)
        {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            std::string error;
            if (line == "open" || line == "sessions" || line == "closed" || line == "expired" ||
                line == "duplicates" || line == "answered" || line == "written")
            {
                std::printf("ok %u\n", line == "answered"  ? device.Answered()
                                       : line == "written" ? device.Written()
                                                           : port.Count(line));
                std::fflush(stdout);
                continue;
            }
            if (line == "drop")
                port.Drop();
            else if (!PortFault(port, line) && !device.Control(line, &error))
            {
                std::printf("error %s\n", error.c_str());
                std::fflush(stdout);
                continue;
            }
            std::printf("ok\n");
            std::fflush(stdout);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    signal(SIGPIPE, SIG_IGN);
    std::string mode, address, wire = "real";
    std::vector<std::string> settings;
    unsigned long maxIdle = 600000;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--pty")
            mode = arg;
        else if ((arg == "--hart-ip" || arg == "--hart-ip-udp") && i + 1 < argc)
        {
            mode = arg;
            address = argv[++i];
        }
        else if (arg == "--wire" && i + 1 < argc)
            wire = argv[++i];
        else if (arg == "--set" && i + 1 < argc)
            settings.push_back(argv[++i]);
        else if (arg == "--max-idle" && i + 1 < argc)
        {
            const std::string text = argv[++i];
            maxIdle = text.empty() || text.size() > 8 ||
                              text.find_first_not_of("0123456789") != std::string::npos
                          ? 0
                          : std::stoul(text);
        }
        else
            return Usage();
    }
    if (mode.empty() || (wire != "fast" && wire != "real") || maxIdle == 0 || maxIdle > kMaxIdle)
        return Usage();
    xmtrd::Device device(wire == "real");
    for (const std::string& setting : settings)
    {
        const std::size_t equals = setting.find('=');
        std::string error;
        if (equals == std::string::npos ||
            !device.Control("set " + setting.substr(0, equals) + " " + setting.substr(equals + 1),
                            &error))
        {
            std::fprintf(stderr, "kestrum-xmtrd: bad setting '%s' %s\n", setting.c_str(),
                         error.c_str());
            return 2;
        }
    }
    std::string error;
    std::unique_ptr<xmtrd::Port> port =
        mode == "--pty" ? xmtrd::OpenPty(device, &error)
        : mode == "--hart-ip"
            ? xmtrd::OpenHartIpServer(device, address, static_cast<uint32_t>(maxIdle), &error)
            : xmtrd::OpenHartIpUdpServer(device, address, static_cast<uint32_t>(maxIdle), &error);
    if (port == nullptr)
    {
        std::fprintf(stderr, "kestrum-xmtrd: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", port->Where().c_str());
    std::fflush(stdout);
    Run(device, *port);
    return 0;
}

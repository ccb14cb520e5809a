// The device on a pseudo-terminal, as behind a HART modem: requests are gathered from the line
// byte by byte; with the timed wire an answer starts after the request's own time on the line and
// the slave's turnaround, and leaves at 1200 bit/s, one character at a time. The line is half
// duplex: a request that arrives while the device is still sending collides with the answer, and
// the device never hears it.
#include "Pace.h"
#include "Port.h"

#include <FrameScanner.h>
#include <HartFrame.h>
#include <ResponseCodes.h>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace xmtrd
{
namespace
{
// The longest pause inside a frame: the master's own retry timer, 33 characters at 1200 bit/s.
const auto kFrameGap =
    hartsim::WireModel::Timed().CharacterTime() * hartsim::WireModel::kMasterTimeoutCharacters;

class PtyPort final : public Port
{
public:
    PtyPort(Device& device, int master, int slave, std::string path)
        : device_(device), master_(master), slave_(slave), path_(std::move(path))
    {
    }
    ~PtyPort()
    {
        close(slave_);
        close(master_);
    }

    std::string Where() const override { return "pty " + path_; }
    std::vector<pollfd> Descriptors() const override { return {{master_, POLLIN, 0}}; }
    int Timeout() const override
    {
        if (noisePeriod_.count() == 0)
            return -1;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(nextNoise_ - Clock::now());
        return static_cast<int>(std::max<long long>(0, left.count()) + 1);
    }
    void Drop() override {}
    unsigned Count(const std::string&) const override { return 0; }

    bool Fault(const std::string& name, unsigned long value) override
    {
        if (name == "echo")
            echo_ = value;
        else if (name == "preambles" && value >= hartsim::kSendPreambles &&
                 value <= hartsim::kMaxPreambles)
            preambles_ = value;
        else if (name == "slow")
            slow_ = std::chrono::milliseconds(value);
        else if (name == "second-master")
            secondMaster_ = value;
        else if (name == "stall" && value <= 1)
            tcflow(slave_, value == 1 ? TCOOFF : TCOON);
        else if (name == "wrongcommand")
            wrongCommand_ = value;
        else if (name == "noise")
        {
            noisePeriod_ = std::chrono::milliseconds(value);
            nextNoise_ = Clock::now() + noisePeriod_;
        }
        else
            return false;
        return true;
    }

    void Serve(const std::vector<pollfd>& ready) override
    {
        SendNoise();
        if ((ready[0].revents & POLLIN) == 0)
            return;
        uint8_t buffer[256];
        const ssize_t count = read(master_, buffer, sizeof buffer);
        if (count <= 0)
            return;
        ForgetParity();
        // A frame in progress that paused longer than a master may (a master killed mid-frame)
        // is dropped, so that it does not swallow the next request.
        const Clock::time_point now = Clock::now();
        if (now - lastByte_ > kFrameGap)
            scanner_.Clear();
        lastByte_ = now;
        scanner_.Add(buffer, static_cast<std::size_t>(count));
        std::vector<uint8_t> request;
        while (scanner_.Take(&request))
        {
            // Through a half-duplex modem the master hears its own request first.
            std::vector<uint8_t> answer;
            if (echo_ > 0)
            {
                --echo_;
                answer = request;
            }
            const bool wrong = wrongCommand_ > 0 && AsCommand15(&request);
            std::vector<uint8_t> own = device_.Answer(request);
            if (wrong && !own.empty())
                --wrongCommand_;
            if (!own.empty() && secondMaster_ > 0)
            {
                --secondMaster_;
                const std::vector<uint8_t> other = OtherMastersAnswer(own);
                answer.insert(answer.end(), other.begin(), other.end());
            }
            if (!own.empty())
                own.insert(own.begin(), preambles_ - hartsim::kSendPreambles, hartsim::kPreamble);
            answer.insert(answer.end(), own.begin(), own.end());
            if (answer.empty())
                continue;
            const hartsim::WireModel& wire = device_.Wire();
            Pace(wire.Exchange(request.size(), 0) + slow_);
            Send(answer);
        }
    }

private:
    using Clock = std::chrono::steady_clock;

    // Sends an answer, paced at 1200 bit/s on the timed wire. A master that starts sending before
    // the answer's last byte has left talks over it: what it sent is lost.
    void Send(const std::vector<uint8_t>& answer)
    {
        const hartsim::WireModel& wire = device_.Wire();
        const bool paced = wire.CharacterTime().count() > 0;
        bool talkedOver = false;
        for (std::size_t sent = 0; sent < answer.size();)
        {
            const std::size_t chunk = paced ? 1 : answer.size() - sent;
            const ssize_t written = write(master_, answer.data() + sent, chunk);
            if (written <= 0)
                break;
            sent += static_cast<std::size_t>(written);
            Pace(wire.CharacterTime());
            pollfd heard = {master_, POLLIN, 0};
            talkedOver = talkedOver || (sent < answer.size() && poll(&heard, 1, 0) == 1);
        }
        if (!talkedOver)
            return;
        uint8_t lost[256];
        pollfd heard = {master_, POLLIN, 0};
        while (poll(&heard, 1, 0) == 1 && read(master_, lost, sizeof lost) > 0)
        {
        }
        scanner_.Clear();
    }

    // The device's answer to a handheld (the secondary master) that asked the same command while
    // the device was serving us: our answer's address without the master bit, "busy".
    static std::vector<uint8_t> OtherMastersAnswer(const std::vector<uint8_t>& own)
    {
        std::size_t start = 0;
        while (start < own.size() && own[start] == hartsim::kPreamble)
            ++start;
        constexpr std::size_t kCommandAt = 6;
        if (start + kCommandAt + 2 > own.size() || own[start] != hartsim::kDelimiterAck)
            return {};
        std::vector<uint8_t> other(
            own.begin(), own.begin() + static_cast<std::ptrdiff_t>(start + kCommandAt + 1));
        other[start + 1] &= static_cast<uint8_t>(~hartsim::kPrimaryMasterBit);
        other.push_back(hartsim::kStatusBytes);
        other.push_back(hartsim::rc::kBusy);
        other.push_back(0);
        other.push_back(hartsim::Checksum(other.data() + start, other.size() - start));
        return other;
    }

    // Turns a long request into one for command 15 (no data), so that the device answers another
    // command than the master asked; false for a short frame.
    static bool AsCommand15(std::vector<uint8_t>* request)
    {
        std::size_t start = 0;
        while (start < request->size() && (*request)[start] == hartsim::kPreamble)
            ++start;
        constexpr std::size_t kCommandAt = 6;
        if (start + kCommandAt + 2 > request->size() || (*request)[start] != hartsim::kDelimiterStx)
            return false;
        request->resize(start + kCommandAt + 2);
        (*request)[start + kCommandAt] = 15;
        (*request)[start + kCommandAt + 1] = 0;
        request->push_back(hartsim::Checksum(request->data() + start, request->size() - start));
        return true;
    }

    // A pseudo-terminal carries no parity: it drops PARENB from the settings a master asks for
    // and keeps PARODD, and then refuses (EINVAL) the same request for PARENB | PARODD when the
    // port is opened again, since nothing of it can be carried out. A serial port takes it every
    // time; so that a master can open this one again, the settings lose PARODD once the master's
    // bytes arrive.
    void ForgetParity() const
    {
        termios settings{};
        if (tcgetattr(slave_, &settings) != 0 || (settings.c_cflag & PARODD) == 0)
            return;
        settings.c_cflag &= ~PARODD;
        tcsetattr(slave_, TCSANOW, &settings);
    }

    // A byte that cannot start a frame, between the answers.
    void SendNoise()
    {
        if (noisePeriod_.count() == 0 || Clock::now() < nextNoise_)
            return;
        const uint8_t noise = 0x5A;
        if (write(master_, &noise, 1) != 1)
            return;
        nextNoise_ = Clock::now() + noisePeriod_;
    }

    Device& device_;
    int master_;
    // Held open so that the line stays up while no master has the port open.
    int slave_;
    std::string path_;
    hartsim::FrameScanner scanner_;
    Clock::time_point lastByte_;
    unsigned long echo_ = 0;
    unsigned long wrongCommand_ = 0;
    unsigned long secondMaster_ = 0;
    std::size_t preambles_ = hartsim::kSendPreambles;
    std::chrono::milliseconds slow_{0};
    std::chrono::milliseconds noisePeriod_{0};
    Clock::time_point nextNoise_;
};

} // namespace

std::unique_ptr<Port> OpenPty(Device& device, std::string* error)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
    {
        *error = std::string("no pseudo-terminal: ") + std::strerror(errno);
        if (master >= 0)
            close(master);
        return nullptr;
    }
    const std::string path = ptsname(master);
    const int slave = open(path.c_str(), O_RDWR | O_NOCTTY);
    termios raw{};
    if (slave < 0 || tcgetattr(slave, &raw) != 0)
    {
        *error = "cannot open " + path + ": " + std::strerror(errno);
        close(master);
        if (slave >= 0)
            close(slave);
        return nullptr;
    }
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    return std::make_unique<PtyPort>(device, master, slave, path);
}

} // namespace xmtrd

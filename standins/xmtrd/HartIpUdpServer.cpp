// The device behind a HART-IP server over UDP on a loopback address: every message is one
// datagram, the session belongs to the client address that initiated it, and it ends by a Session
// Close or by its inactivity timer. A request that comes again with the sequence number just
// answered (the client took a datagram for lost) gets the answer sent before, and is not carried
// out again.
#include "Loopback.h"
#include "Pace.h"
#include "Port.h"

#include <HartFrame.h>
#include <HartIpMessage.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace xmtrd
{
namespace
{
namespace hartip = hartsim::hartip;
using Clock = std::chrono::steady_clock;

bool SameClient(const sockaddr_in& a, const sockaddr_in& b)
{
    return a.sin_addr.s_addr == b.sin_addr.s_addr && a.sin_port == b.sin_port;
}

class HartIpUdpServer final : public Port
{
public:
    HartIpUdpServer(Device& device, int socket, std::string where, uint32_t maxIdle)
        : device_(device), socket_(socket), where_(std::move(where)), maxIdle_(maxIdle)
    {
    }
    ~HartIpUdpServer() { close(socket_); }

    std::string Where() const override { return "hart-ip-udp " + where_; }
    std::vector<pollfd> Descriptors() const override { return {{socket_, POLLIN, 0}}; }

    int Timeout() const override
    {
        if (!inSession_)
            return -1;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            lastHeard_ + std::chrono::milliseconds(timer_) - Clock::now());
        return static_cast<int>(std::max<long long>(0, left.count()) + 1);
    }

    void Serve(const std::vector<pollfd>& ready) override
    {
        if ((ready[0].revents & POLLIN) != 0)
            Receive();
        if (inSession_ && Clock::now() - lastHeard_ >= std::chrono::milliseconds(timer_))
        {
            inSession_ = false;
            ++expired_;
        }
    }

    void Drop() override { inSession_ = false; }
    unsigned Count(const std::string& name) const override
    {
        return name == "open"       ? static_cast<unsigned>(inSession_)
               : name == "sessions" ? sessions_
               : name == "closed"   ? closed_
               : name == "expired"  ? expired_
                                    : duplicates_;
    }

    bool Fault(const std::string& name, unsigned long value) override
    {
        if (name == "lose")
            lose_ = value;
        else if (name == "unanswered")
            unanswered_ = value;
        else if (name == "slow")
            slow_ = std::chrono::milliseconds(value);
        else
            return false;
        return true;
    }

private:
    void Receive()
    {
        uint8_t buffer[2048];
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t count = recvfrom(socket_, buffer, sizeof buffer, 0,
                                       reinterpret_cast<sockaddr*>(&from), &length);
        if (count <= 0)
            return;
        if (lose_ > 0)
        {
            --lose_;
            return;
        }
        hartip::Message request;
        if (!hartip::Decode(std::vector<uint8_t>(buffer, buffer + count), &request) ||
            request.type != hartip::kRequest)
            return;
        Handle(from, request);
    }

    void Handle(const sockaddr_in& from, const hartip::Message& request)
    {
        hartip::Message response;
        response.type = hartip::kResponse;
        response.id = request.id;
        response.sequence = request.sequence;
        const bool ours = inSession_ && SameClient(from, client_);
        if (ours && !lastAnswer_.empty() && request.sequence == lastSequence_)
        {
            ++duplicates_;
            lastHeard_ = Clock::now();
            sendto(socket_, lastAnswer_.data(), lastAnswer_.size(), 0,
                   reinterpret_cast<const sockaddr*>(&from), sizeof from);
            return;
        }
        if (request.id == hartip::kSessionInitiate && (!inSession_ || ours))
        {
            uint8_t hostType = 0;
            uint32_t timer = 0;
            if (!hartip::ParseInitiateBody(request.body, &hostType, &timer) || timer == 0)
                return Refuse(from, request, hartip::kServiceUnavailable);
            if (!ours)
                ++sessions_;
            lastAnswer_.clear();
            inSession_ = true;
            client_ = from;
            timer_ = std::min(timer, maxIdle_);
            response.body = hartip::InitiateBody(hostType, timer_);
        }
        else if (!ours)
            return Refuse(from, request,
                          request.id == hartip::kSessionInitiate
                              ? hartip::kPrimarySessionUnavailable
                              : hartip::kSessionClosed);
        else if (request.id == hartip::kPassThrough)
        {
            std::vector<uint8_t> frame(request.body);
            frame.insert(frame.begin(), hartsim::kSendPreambles, hartsim::kPreamble);
            std::vector<uint8_t> answer = device_.Answer(frame);
            lastHeard_ = Clock::now();
            if (answer.empty())
                return Refuse(from, request, hartip::kServiceUnavailable);
            Pace(device_.Wire().Exchange(frame.size(), answer.size()) + slow_);
            const auto start = std::find_if(answer.begin(), answer.end(), [](uint8_t byte) {
                return byte != hartsim::kPreamble;
            });
            response.body.assign(start, answer.end());
        }
        else if (request.id == hartip::kSessionClose)
        {
            inSession_ = false;
            ++closed_;
        }
        else if (request.id != hartip::kKeepAlive)
            return Refuse(from, request, hartip::kServiceUnavailable);
        lastHeard_ = Clock::now();
        lastSequence_ = request.sequence;
        lastAnswer_ = hartip::Encode(response);
        // The answer datagram lost on its way: the request was carried out all the same.
        if (request.id == hartip::kPassThrough && unanswered_ > 0)
        {
            --unanswered_;
            return;
        }
        Send(from, response);
    }

    void Refuse(const sockaddr_in& to, const hartip::Message& request, uint8_t code)
    {
        hartip::Message error;
        error.type = hartip::kError;
        error.id = request.id;
        error.status = code;
        error.sequence = request.sequence;
        Send(to, error);
    }

    void Send(const sockaddr_in& to, const hartip::Message& message)
    {
        const std::vector<uint8_t> bytes = hartip::Encode(message);
        sendto(socket_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
               sizeof to);
    }

    Device& device_;
    int socket_;
    std::string where_;
    uint32_t maxIdle_;
    unsigned sessions_ = 0;
    unsigned closed_ = 0;
    bool inSession_ = false;
    sockaddr_in client_{};
    uint32_t timer_ = 0;
    Clock::time_point lastHeard_;
    unsigned expired_ = 0;
    unsigned duplicates_ = 0;
    unsigned long lose_ = 0;
    unsigned long unanswered_ = 0;
    std::chrono::milliseconds slow_{0};
    // The session's last answer and its sequence number, for a request that comes again.
    uint16_t lastSequence_ = 0;
    std::vector<uint8_t> lastAnswer_;
};

} // namespace

std::unique_ptr<Port> OpenHartIpUdpServer(Device& device, const std::string& address,
                                          uint32_t maxIdle, std::string* error)
{
    sockaddr_in socketAddress{};
    if (!ParseLoopbackAddress(address, &socketAddress, error))
        return nullptr;
    const int socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    socklen_t length = sizeof socketAddress;
    if (socket < 0 ||
        bind(socket, reinterpret_cast<sockaddr*>(&socketAddress), sizeof socketAddress) != 0 ||
        getsockname(socket, reinterpret_cast<sockaddr*>(&socketAddress), &length) != 0)
    {
        *error = "cannot bind " + address + ": " + std::strerror(errno);
        if (socket >= 0)
            close(socket);
        return nullptr;
    }
    const std::string where =
        address.substr(0, address.rfind(':')) + ":" + std::to_string(ntohs(socketAddress.sin_port));
    return std::make_unique<HartIpUdpServer>(device, socket, where, maxIdle);
}

} // namespace xmtrd

// The device behind a HART-IP server on a loopback address: one primary session at a time, held
// open by traffic or keep-alives within its inactivity timer. A client that asks for a session
// while another holds it is told so and let go. As a gateway does, the server keeps a session
// whose connection closed without a Session Close until its timer ends. Sends never block: a
// client that does not take what it is sent is let go.
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

constexpr uint8_t kNearestValueWarning = 8;

// A client without the session must finish a message within this time of its connect or its last
// message, or it is let go: clients that never finish a header do not hold a descriptor for good.
constexpr std::chrono::milliseconds kClientTimeout{5000};
// After a failed accept (no descriptor left), the listener rests this long instead of waking
// the loop again at once.
constexpr std::chrono::milliseconds kAcceptPause{100};

struct Client
{
    int socket = -1;
    std::vector<uint8_t> received;
    std::chrono::steady_clock::time_point lastWhole;
};

class HartIpServer final : public Port
{
public:
    HartIpServer(Device& device, int listener, std::string where, uint32_t maxIdle)
        : device_(device), listener_(listener), where_(std::move(where)), maxIdle_(maxIdle)
    {
    }
    ~HartIpServer()
    {
        for (Client& client : clients_)
            close(client.socket);
        close(listener_);
    }

    std::string Where() const override { return "hart-ip " + where_; }

    std::vector<pollfd> Descriptors() const override
    {
        const short listen = Clock::now() < acceptAfter_ ? 0 : POLLIN;
        std::vector<pollfd> fds = {{listener_, listen, 0}};
        for (const Client& client : clients_)
            fds.push_back({client.socket, POLLIN, 0});
        return fds;
    }

    // Until the next timer: the session's inactivity, a client's time-out, the listener's rest.
    int Timeout() const override
    {
        std::vector<Clock::time_point> due;
        if (inSession_)
            due.push_back(lastHeard_ + std::chrono::milliseconds(timer_));
        for (const Client& client : clients_)
        {
            if (client.socket != session_)
                due.push_back(client.lastWhole + kClientTimeout);
        }
        if (Clock::now() < acceptAfter_)
            due.push_back(acceptAfter_);
        if (due.empty())
            return -1;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            *std::min_element(due.begin(), due.end()) - Clock::now());
        return static_cast<int>(std::max<long long>(0, left.count()) + 1);
    }

    void Serve(const std::vector<pollfd>& ready) override
    {
        std::vector<int> readable;
        for (std::size_t i = 1; i < ready.size(); ++i)
        {
            if (ready[i].revents != 0)
                readable.push_back(ready[i].fd);
        }
        for (int socket : readable)
            Receive(socket);
        if ((ready[0].revents & POLLIN) != 0)
        {
            const int socket = accept(listener_, nullptr, nullptr);
            if (socket >= 0)
                clients_.push_back({socket, {}, Clock::now()});
            else
                acceptAfter_ = Clock::now() + kAcceptPause;
        }
        if (inSession_ && Clock::now() - lastHeard_ >= std::chrono::milliseconds(timer_))
        {
            ++expired_;
            Drop();
        }
        std::vector<int> late;
        for (const Client& client : clients_)
        {
            if (client.socket != session_ && Clock::now() - client.lastWhole >= kClientTimeout)
                late.push_back(client.socket);
        }
        for (int socket : late)
            Disconnect(socket);
    }

    unsigned Count(const std::string& name) const override
    {
        return name == "open"       ? static_cast<unsigned>(inSession_)
               : name == "sessions" ? sessions_
               : name == "closed"   ? closed_
               : name == "expired"  ? expired_
                                    : 0;
    }

    bool Fault(const std::string& name, unsigned long value) override
    {
        if (name == "late-initiate")
            lateInitiate_ = std::chrono::milliseconds(value);
        else if (name == "unanswered")
            unanswered_ = value;
        else if (name == "slow")
            slow_ = std::chrono::milliseconds(value);
        else if (name == "warn-initiate")
            warnInitiate_ = static_cast<uint32_t>(value);
        else if (name == "stray")
            stray_ = value;
        else
            return false;
        return true;
    }

    void Drop() override
    {
        inSession_ = false;
        if (session_ >= 0)
            Disconnect(session_);
    }

private:
    void Receive(int socket)
    {
        auto client = std::find_if(clients_.begin(), clients_.end(),
                                   [socket](const Client& c) { return c.socket == socket; });
        if (client == clients_.end())
            return;
        uint8_t buffer[512];
        const ssize_t count = recv(socket, buffer, sizeof buffer, 0);
        if (count <= 0)
        {
            Disconnect(socket);
            return;
        }
        client->received.insert(client->received.end(), buffer, buffer + count);
        while (client->received.size() >= hartip::kHeaderBytes)
        {
            const std::size_t length = hartip::MessageLength(client->received.data());
            if (length == 0)
            {
                Disconnect(socket);
                return;
            }
            if (client->received.size() < length)
                return;
            std::vector<uint8_t> bytes(client->received.begin(),
                                       client->received.begin() +
                                           static_cast<std::ptrdiff_t>(length));
            client->received.erase(client->received.begin(),
                                   client->received.begin() + static_cast<std::ptrdiff_t>(length));
            client->lastWhole = Clock::now();
            hartip::Message message;
            hartip::Decode(bytes, &message);
            if (!Handle(socket, message))
            {
                Disconnect(socket);
                return;
            }
        }
    }

    // False when the client is to be let go.
    bool Handle(int socket, const hartip::Message& request)
    {
        hartip::Message response;
        response.type = hartip::kResponse;
        response.id = request.id;
        response.sequence = request.sequence;
        if (request.type != hartip::kRequest)
            return false;
        if (request.id == hartip::kSessionInitiate && !inSession_)
        {
            uint8_t hostType = 0;
            uint32_t timer = 0;
            if (!hartip::ParseInitiateBody(request.body, &hostType, &timer) || timer == 0)
                return Refuse(socket, request, hartip::kServiceUnavailable);
            session_ = socket;
            inSession_ = true;
            ++sessions_;
            timer_ = std::min(timer, maxIdle_);
            // "Set to nearest possible value": a warning, the session is open.
            if (warnInitiate_ > 0)
            {
                timer_ = warnInitiate_;
                response.status = kNearestValueWarning;
            }
            response.body = hartip::InitiateBody(hostType, timer_);
            Pace(lateInitiate_);
        }
        else if (socket != session_)
            return Refuse(socket, request,
                          request.id == hartip::kSessionInitiate
                              ? hartip::kPrimarySessionUnavailable
                              : hartip::kSessionClosed);
        else if (request.id == hartip::kPassThrough && unanswered_ > 0)
        {
            --unanswered_;
            lastHeard_ = Clock::now();
            return true;
        }
        else if (request.id == hartip::kPassThrough)
        {
            std::vector<uint8_t> frame(request.body);
            frame.insert(frame.begin(), hartsim::kSendPreambles, hartsim::kPreamble);
            std::vector<uint8_t> answer = device_.Answer(frame);
            if (answer.empty())
                return Refuse(socket, request, hartip::kServiceUnavailable);
            Pace(device_.Wire().Exchange(frame.size(), answer.size()) + slow_);
            if (stray_ > 0)
                SendStrays(socket, request, false);
            const auto start = std::find_if(answer.begin(), answer.end(), [](uint8_t byte) {
                return byte != hartsim::kPreamble;
            });
            response.body.assign(start, answer.end());
        }
        else if (request.id != hartip::kKeepAlive && request.id != hartip::kSessionClose)
            return Refuse(socket, request, hartip::kServiceUnavailable);
        lastHeard_ = Clock::now();
        if (request.id == hartip::kSessionClose)
        {
            ++closed_;
            inSession_ = false;
        }
        const bool bSent = Send(socket, response);
        if (request.id == hartip::kPassThrough && stray_ > 0)
        {
            --stray_;
            SendStrays(socket, request, true);
        }
        return bSent && request.id != hartip::kSessionClose;
    }

    // What a gateway may send unasked: a publish of burst data before an answer, and after it an
    // error and a NAK that answer the request before.
    static void SendStrays(int socket, const hartip::Message& request, bool bAfter)
    {
        hartip::Message stray;
        stray.id = hartip::kPassThrough;
        if (!bAfter)
        {
            stray.type = hartip::kPublish;
            stray.sequence = request.sequence;
            stray.body = request.body;
            Send(socket, stray);
            return;
        }
        stray.status = hartip::kServiceUnavailable;
        stray.sequence = static_cast<uint16_t>(request.sequence - 1);
        for (uint8_t type : {hartip::kError, hartip::kNak})
        {
            stray.type = type;
            Send(socket, stray);
        }
    }

    bool Refuse(int socket, const hartip::Message& request, uint8_t code)
    {
        hartip::Message error;
        error.type = hartip::kError;
        error.id = request.id;
        error.status = code;
        error.sequence = request.sequence;
        Send(socket, error);
        // A pass-through the device left unanswered is still traffic of the session.
        if (socket == session_)
            lastHeard_ = Clock::now();
        return socket == session_;
    }

    // A send that does not go whole at once (the client does not read) fails: the client is
    // let go rather than the program blocked.
    static bool Send(int socket, const hartip::Message& message)
    {
        const std::vector<uint8_t> bytes = hartip::Encode(message);
        return send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT) ==
               static_cast<ssize_t>(bytes.size());
    }

    void Disconnect(int socket)
    {
        close(socket);
        clients_.erase(std::remove_if(clients_.begin(), clients_.end(),
                                      [socket](const Client& c) { return c.socket == socket; }),
                       clients_.end());
        // The session outlives a connection closed without a Session Close, until its timer.
        if (socket == session_)
            session_ = -1;
    }

    Device& device_;
    int listener_;
    std::string where_;
    uint32_t maxIdle_;
    unsigned sessions_ = 0;
    unsigned closed_ = 0;
    unsigned expired_ = 0;
    std::vector<Client> clients_;
    bool inSession_ = false;
    // The session's connection; -1 when there is none (the connection closed, the session holds).
    int session_ = -1;
    uint32_t timer_ = 0;
    Clock::time_point lastHeard_;
    Clock::time_point acceptAfter_;
    std::chrono::milliseconds lateInitiate_{0};
    unsigned long unanswered_ = 0;
    std::chrono::milliseconds slow_{0};
    uint32_t warnInitiate_ = 0;
    unsigned long stray_ = 0;
};

} // namespace

std::unique_ptr<Port> OpenHartIpServer(Device& device, const std::string& address, uint32_t maxIdle,
                                       std::string* error)
{
    sockaddr_in socketAddress{};
    if (!ParseLoopbackAddress(address, &socketAddress, error))
        return nullptr;
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    const int reuse = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    socklen_t length = sizeof socketAddress;
    if (bind(listener, reinterpret_cast<sockaddr*>(&socketAddress), sizeof socketAddress) != 0 ||
        listen(listener, 4) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&socketAddress), &length) != 0)
    {
        *error = "cannot listen on " + address + ": " + std::strerror(errno);
        close(listener);
        return nullptr;
    }
    const std::string where =
        address.substr(0, address.rfind(':')) + ":" + std::to_string(ntohs(socketAddress.sin_port));
    return std::make_unique<HartIpServer>(device, listener, where, maxIdle);
}

} // namespace xmtrd

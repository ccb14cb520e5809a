// HART-IP over TCP or UDP as a primary host: a session is initiated on the first exchange (and
// again after the server or the network ended one), each request travels as a pass-through
// message, a keep-alive holds an idle session open, and the session is closed when the link
// closes. Over UDP each message is one datagram, and a request whose response does not come
// within kDatagramRetry is sent again with the same sequence number.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "Link.h"
#include "LinkWait.h"

#include <AnswerMatch.h>
#include <HartFrame.h>
#include <HartIpMessage.h>

#include <algorithm>

namespace hartsecomm
{
namespace
{
namespace hartip = hartsim::hartip;

const DWORD kConnectTimeout = 2000;
// A gateway may have to retry on its own wire before it answers; the exchange's own limit cuts
// this short when a connect and an initiate came first.
const DWORD kResponseTimeout = 5000;
// A session close when the link goes: the server ends the session by its timer anyway.
const DWORD kCloseTimeout = 500;
const uint32_t kInactivityTimer = 60000;
// Over UDP: how long a datagram may stay unanswered before it is taken as lost and sent again (a
// gateway's own exchange on a 1200 bit/s wire takes up to about a second); for a keep-alive no
// longer than the keep-alive period, so that its retry comes within the session's timer.
const DWORD kDatagramRetry = 1000;
// The largest HART-IP message a datagram carries here: the header and a pass-through frame.
constexpr std::size_t kLargestDatagram = 1024;
// Keep-alives go out when the session has been idle for this share of its timer, but never more
// often than kKeepAliveFloor: a granted timer of a few milliseconds must not turn into
// back-to-back keep-alives.
const uint32_t kKeepAliveDivisor = 3;
const DWORD kKeepAliveFloor = 100;

class HartIpLink final : public Link
{
public:
    // Takes over one Winsock start-up of the caller.
    HartIpLink(const sockaddr_in& address, bool udp) : address_(address), udp_(udp)
    {
        stop_ = ::CreateEventW(NULL, TRUE, FALSE, NULL);
        newSession_ = ::CreateEventW(NULL, FALSE, FALSE, NULL);
        keepAlive_ = ::CreateThread(NULL, 0, &HartIpLink::KeepAliveThread, this, 0, NULL);
    }

    ~HartIpLink()
    {
        Close();
        ::CloseHandle(keepAlive_);
        ::CloseHandle(stop_);
        ::CloseHandle(newSession_);
        ::WSACleanup();
    }

    std::vector<uint8_t> Exchange(const std::vector<uint8_t>& request) override
    {
        const ExchangeClock clock;
        HeldTurn turn(turn_, turn_.Take(clock, abort_));
        if (!turn.Taken() || closed_)
            return {};
        std::size_t start = 0;
        while (start < request.size() && request[start] == hartsim::kPreamble)
            ++start;
        hartip::Message passThrough;
        passThrough.id = hartip::kPassThrough;
        passThrough.body.assign(request.begin() + static_cast<std::ptrdiff_t>(start),
                                request.end());
        hartip::Message response;
        if (socket_ != INVALID_SOCKET && ServerEndedSession())
            CloseSession();
        if ((socket_ == INVALID_SOCKET && !InitiateSession(clock)) ||
            !Transact(passThrough, &response, clock))
            return {};
        std::vector<uint8_t> answer(response.body);
        answer.insert(answer.begin(), hartsim::kSendPreambles, hartsim::kPreamble);
        // The gateway's answer must be the device's answer to this very request.
        if (hartsim::ClassifyReceived(request, answer) != hartsim::Received::Answer)
            return {};
        return answer;
    }

    bool Reachable() const override { return reachable_; }

    // Ends the keep-alives and any exchange in progress, then closes the session as a primary
    // host does, within kCloseTimeout.
    void Close() override
    {
        if (closed_.exchange(true))
            return;
        abort_ = true;
        ::SetEvent(stop_);
        ::WaitForSingleObject(keepAlive_, INFINITE);
        turn_.TakeWhenFree();
        abort_ = false;
        if (socket_ != INVALID_SOCKET)
        {
            hartip::Message close;
            close.id = hartip::kSessionClose;
            hartip::Message response;
            Transact(close, &response, ExchangeClock(kCloseTimeout));
            CloseSession();
        }
        turn_.Give();
    }

private:
    bool InitiateSession(const ExchangeClock& clock)
    {
        socket_ = udp_ ? ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP)
                       : ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (socket_ == INVALID_SOCKET)
            return false;
        reachable_ = Connect(clock);
        if (!reachable_)
        {
            CloseSession();
            return false;
        }
        hartip::Message initiate;
        initiate.id = hartip::kSessionInitiate;
        initiate.body = hartip::InitiateBody(hartip::kPrimaryHost, kInactivityTimer);
        hartip::Message response;
        uint8_t hostType = 0;
        uint32_t timer = 0;
        if (!Transact(initiate, &response, clock))
            return false;
        if (!hartip::ParseInitiateBody(response.body, &hostType, &timer) || timer == 0)
        {
            CloseSession();
            return false;
        }
        keepAliveAfter_ = std::max<DWORD>(timer / kKeepAliveDivisor, kKeepAliveFloor);
        ::SetEvent(newSession_);
        return true;
    }

    // Connects without blocking past kConnectTimeout or the exchange's limit, whatever the
    // address, and gives up at once when the worker is being stopped.
    bool Connect(const ExchangeClock& clock)
    {
        u_long nonBlocking = 1;
        ::ioctlsocket(socket_, FIONBIO, &nonBlocking);
        if (::connect(socket_, reinterpret_cast<const sockaddr*>(&address_), sizeof address_) !=
                0 &&
            ::WSAGetLastError() != WSAEWOULDBLOCK)
            return false;
        const ExchangeClock connectClock(std::min(kConnectTimeout, clock.Left()));
        for (;;)
        {
            if (connectClock.Over() || Stopping(abort_))
                return false;
            fd_set writable, failed;
            FD_ZERO(&writable);
            FD_SET(socket_, &writable);
            FD_ZERO(&failed);
            FD_SET(socket_, &failed);
            const DWORD dwSlice = std::min(kWaitSlice, connectClock.Left());
            timeval timeout = {0, static_cast<long>(dwSlice * 1000)};
            const int nReady = ::select(0, NULL, &writable, &failed, &timeout);
            if (nReady < 0 || (nReady > 0 && !FD_ISSET(socket_, &writable)))
                return false;
            if (nReady > 0)
                break;
        }
        int nError = 0;
        int nLength = sizeof nError;
        ::getsockopt(socket_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&nError), &nLength);
        nonBlocking = 0;
        ::ioctlsocket(socket_, FIONBIO, &nonBlocking);
        return nError == 0;
    }

    // Sends a request and takes its response; responses with another sequence number (late ones
    // to a request given up on) are passed over. Anything else (an error message, a session close
    // from the server, a time-out, a broken connection, a stop) ends the session.
    bool Transact(hartip::Message request, hartip::Message* response, const ExchangeClock& clock)
    {
        request.type = hartip::kRequest;
        request.sequence = ++sequence_;
        const std::vector<uint8_t> bytes = hartip::Encode(request);
        const ExchangeClock responseClock(std::min(kResponseTimeout, clock.Left()));
        bool bAnswered = SendBytes(bytes);
        while (bAnswered)
        {
            std::vector<uint8_t> received;
            if (udp_)
            {
                const DWORD dwTry = request.id == hartip::kKeepAlive
                                        ? std::min<DWORD>(kDatagramRetry, keepAliveAfter_)
                                        : kDatagramRetry;
                const Datagram got = ReceiveDatagram(
                    &received, ExchangeClock(std::min(dwTry, responseClock.Left())));
                if (got == Datagram::Lost && !responseClock.Over())
                {
                    bAnswered = SendBytes(bytes);
                    continue;
                }
                bAnswered = got == Datagram::Received;
            }
            else
                bAnswered = ReceiveMessage(&received, responseClock);
            bAnswered = bAnswered && hartip::Decode(received, response);
            if (bAnswered && response->type == hartip::kResponse &&
                response->sequence != request.sequence)
                continue;
            if (bAnswered && DeviceDidNotAnswer(request, *response))
            {
                lastUse_ = ::GetTickCount64();
                return false;
            }
            bAnswered = bAnswered && response->type == hartip::kResponse &&
                        response->id == request.id && response->status == 0;
            break;
        }
        if (!bAnswered)
        {
            CloseSession();
            return false;
        }
        lastUse_ = ::GetTickCount64();
        return true;
    }

    // The server's error to a pass-through that its device left unanswered (a silent polling
    // address): the exchange fails, the session goes on.
    static bool DeviceDidNotAnswer(const hartip::Message& request, const hartip::Message& response)
    {
        return request.id == hartip::kPassThrough && response.type == hartip::kError &&
               response.id == request.id && response.sequence == request.sequence &&
               response.status != hartip::kSessionClosed;
    }

    bool ReceiveMessage(std::vector<uint8_t>* message, const ExchangeClock& clock)
    {
        message->resize(hartip::kHeaderBytes);
        if (!ReceiveBytes(message->data(), hartip::kHeaderBytes, clock))
            return false;
        const std::size_t length = hartip::MessageLength(message->data());
        if (length == 0)
            return false;
        message->resize(length);
        return ReceiveBytes(message->data() + hartip::kHeaderBytes, length - hartip::kHeaderBytes,
                            clock);
    }

    // Waits one slice of the clock for the socket to become readable: select's answer.
    int WaitReadable(const ExchangeClock& clock) const
    {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket_, &readable);
        const DWORD dwSlice = std::min(kWaitSlice, clock.Left());
        timeval timeout = {0, static_cast<long>(dwSlice * 1000)};
        return ::select(0, &readable, NULL, NULL, &timeout);
    }

    bool ReceiveBytes(uint8_t* buffer, std::size_t count, const ExchangeClock& clock)
    {
        std::size_t received = 0;
        while (received < count)
        {
            if (clock.Over() || Stopping(abort_))
                return false;
            const int nReady = WaitReadable(clock);
            if (nReady < 0)
                return false;
            if (nReady == 0)
                continue;
            int nRead = ::recv(socket_, reinterpret_cast<char*>(buffer + received),
                               static_cast<int>(count - received), 0);
            if (nRead <= 0)
                return false;
            received += static_cast<std::size_t>(nRead);
        }
        return true;
    }

    bool SendBytes(const std::vector<uint8_t>& bytes)
    {
        return ::send(socket_, reinterpret_cast<const char*>(bytes.data()),
                      static_cast<int>(bytes.size()), 0) == static_cast<int>(bytes.size());
    }

    bool Readable()
    {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket_, &readable);
        timeval now = {0, 0};
        return ::select(0, &readable, NULL, NULL, &now) != 0;
    }

    // Between transactions a server sends nothing unless it ends the session (an error message, or
    // over TCP the connection closed after its inactivity timer ran out). Over UDP, responses that
    // come late (to a request sent twice) are read and passed over.
    bool ServerEndedSession()
    {
        while (udp_ && Readable())
        {
            std::vector<uint8_t> received;
            hartip::Message message;
            if (ReceiveDatagram(&received, ExchangeClock(0)) != Datagram::Received ||
                !hartip::Decode(received, &message) || message.type != hartip::kResponse)
                return true;
        }
        return !udp_ && Readable();
    }

    enum class Datagram
    {
        Received,
        Lost,
        Failed
    };

    // One datagram within the clock; Lost when none came.
    Datagram ReceiveDatagram(std::vector<uint8_t>* datagram, const ExchangeClock& clock)
    {
        for (;;)
        {
            if (Stopping(abort_))
                return Datagram::Failed;
            const int nReady = WaitReadable(clock);
            if (nReady < 0)
                return Datagram::Failed;
            if (nReady > 0)
                break;
            if (clock.Over())
                return Datagram::Lost;
        }
        datagram->resize(kLargestDatagram);
        const int nRead = ::recv(socket_, reinterpret_cast<char*>(datagram->data()),
                                 static_cast<int>(datagram->size()), 0);
        if (nRead <= 0)
            return Datagram::Failed;
        datagram->resize(static_cast<std::size_t>(nRead));
        return Datagram::Received;
    }

    void CloseSession()
    {
        if (socket_ != INVALID_SOCKET)
            ::closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }

    // Sends a keep-alive when the session has been idle long enough. An exchange that has the
    // turn is using the session anyway, so the keep-alive never waits for one.
    static DWORD WINAPI KeepAliveThread(void* pLink)
    {
        HartIpLink& link = *static_cast<HartIpLink*>(pLink);
        // A new session may have a shorter timer than the wait that is running: it cuts it short.
        const HANDLE events[] = {link.stop_, link.newSession_};
        while (::WaitForMultipleObjects(2, events, FALSE, link.keepAliveAfter_ / 4 + 1) !=
               WAIT_OBJECT_0)
        {
            HeldTurn turn(link.turn_, link.turn_.TryTake());
            if (turn.Taken() && link.socket_ != INVALID_SOCKET &&
                ::GetTickCount64() - link.lastUse_ >= link.keepAliveAfter_)
            {
                hartip::Message keepAlive;
                keepAlive.id = hartip::kKeepAlive;
                hartip::Message response;
                link.Transact(keepAlive, &response, ExchangeClock(kResponseTimeout));
            }
        }
        return 0;
    }

    sockaddr_in address_;
    const bool udp_;
    LinkTurn turn_;
    // Set once by Close: no exchange starts after it.
    std::atomic<bool> closed_{false};
    // Ends the waits of the exchange or keep-alive in progress.
    std::atomic<bool> abort_{false};
    // False after a connect that failed or timed out, until one succeeds.
    std::atomic<bool> reachable_{true};
    std::atomic<DWORD> keepAliveAfter_{kInactivityTimer / kKeepAliveDivisor};
    // Used only by the thread that has the turn.
    SOCKET socket_ = INVALID_SOCKET;
    uint16_t sequence_ = 0;
    ULONGLONG lastUse_ = 0;
    HANDLE stop_ = NULL;
    HANDLE newSession_ = NULL;
    HANDLE keepAlive_ = NULL;
};

std::shared_ptr<Link> OpenHartIpLink(const std::string& address, bool udp, std::string* error)
{
    WSADATA wsa;
    if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
    {
        *error = "Winsock is not available";
        return nullptr;
    }
    const std::size_t colon = address.rfind(':');
    sockaddr_in socketAddress = {};
    socketAddress.sin_family = AF_INET;
    const std::string host = address.substr(0, colon);
    char* pEnd = NULL;
    const unsigned long port = colon == std::string::npos
                                   ? hartip::kDefaultPort
                                   : strtoul(address.c_str() + colon + 1, &pEnd, 10);
    if ((pEnd != NULL && *pEnd != '\0') || port == 0 || port > 65535 ||
        ::inet_pton(AF_INET, host.c_str(), &socketAddress.sin_addr) != 1)
    {
        *error = "expected an IPv4 address and a port, as 127.0.0.1:5094, not '" + address + "'";
        ::WSACleanup();
        return nullptr;
    }
    socketAddress.sin_port = htons(static_cast<u_short>(port));
    return std::make_shared<HartIpLink>(socketAddress, udp);
}

} // namespace

std::shared_ptr<Link> OpenHartIpTcpLink(const LinkSetting& setting, std::string* error)
{
    return OpenHartIpLink(setting.target, false, error);
}

std::shared_ptr<Link> OpenHartIpUdpLink(const LinkSetting& setting, std::string* error)
{
    return OpenHartIpLink(setting.target, true, error);
}

} // namespace hartsecomm

// HART-IP over TCP or UDP as a primary host: a session is initiated on the first exchange (and
// again after the server or the network ended one), each request travels as a pass-through
// message, a keep-alive holds an idle session open, and the session is closed when the link
// closes. A failed exchange on a live session keeps the session: a device that does not answer,
// a stop or a lost response is no reason to leave it, and a session left without a Session Close
// would stay open on the server until its inactivity timer ends, keeping the host out meanwhile.
// Where the session must go (an initiate that was never answered, a stream out of step), a
// Session Close goes first, on the socket that holds it. Messages that are not the response
// awaited (publishes, late errors and NAKs, responses to earlier requests) are reported and passed
// over. Over UDP each message is one datagram, and a request is sent again with the same sequence
// number only after the time its exchange may honestly take.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "Link.h"
#include "LinkWait.h"

#include <JsonLine.h>

#include <AnswerMatch.h>
#include <HartFrame.h>
#include <HartIpMessage.h>
#include <ResponseCodes.h>
#include <WireModel.h>

#include <algorithm>
#include <chrono>

namespace hartsecomm
{
namespace
{
namespace hartip = hartsim::hartip;

const DWORD kConnectTimeout = 2000;
// A gateway may have to retry on its own wire before it answers; the exchange's own limit cuts
// this short when a connect and an initiate came first.
const DWORD kResponseTimeout = 5000;
// Over UDP an initiate that nothing answers within this time means nothing serves the address.
const DWORD kDatagramInitiateTimeout = 3000;
// A session close when the link goes: the server ends the session by its timer anyway.
const DWORD kCloseTimeout = 500;
const uint32_t kInactivityTimer = 60000;
// Over UDP: how long a session message (initiate, keep-alive, close), which no device wire is
// behind, may stay unanswered before it is taken as lost and sent again; for a keep-alive no
// longer than the keep-alive period, so that its retry comes within the session's timer.
const DWORD kDatagramRetry = 1000;
// Over UDP, what a gateway may add to a pass-through's wire time (its own turn on the wire, a
// retry of its own) before a resend is taken for a lost datagram and not a duplicate request.
const DWORD kGatewayMargin = 1000;
// The longest answer frame a device may send: the most preambles, a long address, the status
// bytes and the most data bytes.
constexpr std::size_t kLongestAnswer =
    hartsim::kMaxPreambles + 1 + 5 + 2 + hartsim::kStatusBytes + hartsim::kMaxDataBytes + 1;
// The largest HART-IP message a datagram carries here: the header and a pass-through frame.
constexpr std::size_t kLargestDatagram = 1024;
// Keep-alives go out when the session has been idle for this share of its timer, but never more
// often than kKeepAliveFloor: a granted timer of a few milliseconds must not turn into
// back-to-back keep-alives.
const uint32_t kKeepAliveDivisor = 3;
const DWORD kKeepAliveFloor = 100;

// How a transaction ended.
enum class Outcome
{
    // The awaited response, with success or a warning.
    Answered,
    // A response or error for this very request that says no: the session goes on.
    Refused,
    // No response in time, or a stop: the session goes on as far as the host knows.
    Unanswered,
    // An error saying the session is closed: the request was not carried out.
    Closed,
    // The connection closed or failed: the session is over.
    Ended,
    // The stream is out of step (a message cut short or not one): the session must go.
    Garbled
};

// Over UDP, how long a request waits for its response before it is sent again.
DWORD DatagramRetry(const hartip::Message& request, std::size_t frameBytes)
{
    if (request.id != hartip::kPassThrough)
        return kDatagramRetry;
    const auto wire = std::chrono::duration_cast<std::chrono::milliseconds>(
        hartsim::WireModel::Timed().Exchange(frameBytes, kLongestAnswer));
    return static_cast<DWORD>(wire.count()) + kGatewayMargin;
}

// A message that is not the response awaited, reported and passed over.
void ReportStray(const hartip::Message& message)
{
    TraceEvent(JsonLine("stray")
                   .Add("type", static_cast<int>(message.type))
                   .Add("id", static_cast<int>(message.id))
                   .Add("status", static_cast<int>(message.status))
                   .Add("seq", static_cast<int>(message.sequence))
                   .Str());
}

class HartIpLink final : public Link
{
public:
    // Takes over one Winsock start-up of the caller.
    HartIpLink(const sockaddr_in& address, bool udp) : address_(address), udp_(udp)
    {
        stop_ = ::CreateEventW(NULL, TRUE, FALSE, NULL);
        wake_ = ::CreateEventW(NULL, FALSE, FALSE, NULL);
        keepAlive_ = ::CreateThread(NULL, 0, &HartIpLink::KeepAliveThread, this, 0, NULL);
    }

    ~HartIpLink()
    {
        Close();
        ::CloseHandle(keepAlive_);
        ::CloseHandle(stop_);
        ::CloseHandle(wake_);
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
        if (closePending_)
            CloseSession(clock);
        if (socket_ != INVALID_SOCKET && ServerEndedSession())
            DropSocket();
        Outcome outcome = Outcome::Closed;
        // A session the server ended unseen (an error saying so to this request) is initiated
        // again once: the request was not carried out.
        for (int nTry = 0; nTry < 2 && outcome == Outcome::Closed; ++nTry)
        {
            if (socket_ == INVALID_SOCKET && !InitiateSession(clock))
                return {};
            outcome = Transact(passThrough, &response, clock, request.size());
            Settle(outcome, clock);
        }
        if (outcome != Outcome::Answered)
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
        CloseSession(ExchangeClock(kCloseTimeout));
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
            DropSocket();
            return false;
        }
        hartip::Message initiate;
        initiate.id = hartip::kSessionInitiate;
        initiate.body = hartip::InitiateBody(hartip::kPrimaryHost, kInactivityTimer);
        hartip::Message response;
        const Outcome outcome = Transact(initiate, &response, clock);
        uint8_t hostType = 0;
        uint32_t timer = 0;
        if (outcome == Outcome::Answered &&
            hartip::ParseInitiateBody(response.body, &hostType, &timer) && timer != 0)
        {
            keepAliveAfter_ = std::max<DWORD>(timer / kKeepAliveDivisor, kKeepAliveFloor);
            ::SetEvent(wake_);
            return true;
        }
        // A datagram initiate that nothing answered, not even with a refusal: nothing serves
        // the address.
        if (udp_ && outcome == Outcome::Unanswered && !Stopping(abort_))
            reachable_ = false;
        // Unless the server refused or the connection went, the server may hold a session (or
        // yet open one): it is closed before the socket goes.
        if (outcome == Outcome::Closed || outcome == Outcome::Ended)
            DropSocket();
        else
            AbandonSession();
        return false;
    }

    // What an outcome leaves of the session.
    void Settle(Outcome outcome, const ExchangeClock& clock)
    {
        if (outcome == Outcome::Closed || outcome == Outcome::Ended)
            DropSocket();
        else if (outcome == Outcome::Garbled)
            CloseSession(clock);
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

    // Sends a request and takes its response. frameBytes is the HART request's length on the
    // wire, for a pass-through.
    Outcome Transact(hartip::Message request, hartip::Message* response, const ExchangeClock& clock,
                     std::size_t frameBytes = 0)
    {
        request.type = hartip::kRequest;
        request.sequence = ++sequence_;
        const std::vector<uint8_t> bytes = hartip::Encode(request);
        const DWORD dwLimit = request.id == hartip::kSessionInitiate && udp_
                                  ? kDatagramInitiateTimeout
                                  : kResponseTimeout;
        const ExchangeClock responseClock(std::min(dwLimit, clock.Left()));
        const DWORD dwRetry = request.id == hartip::kKeepAlive
                                  ? std::min<DWORD>(kDatagramRetry, keepAliveAfter_)
                                  : DatagramRetry(request, frameBytes);
        if (!SendBytes(bytes))
            return Outcome::Ended;
        for (;;)
        {
            std::vector<uint8_t> received;
            if (udp_)
            {
                const Datagram got = ReceiveDatagram(
                    &received, ExchangeClock(std::min(dwRetry, responseClock.Left())));
                if (got == Datagram::Lost && !responseClock.Over() && !Stopping(abort_))
                {
                    if (!SendBytes(bytes))
                        return Outcome::Ended;
                    continue;
                }
                if (got != Datagram::Received)
                    return got == Datagram::Failed && !Stopping(abort_) ? Outcome::Ended
                                                                        : Outcome::Unanswered;
                if (!hartip::Decode(received, response))
                    continue;
            }
            else
            {
                const Outcome read = ReceiveMessage(&received, responseClock);
                if (read != Outcome::Answered)
                    return read;
                if (!hartip::Decode(received, response))
                    return Outcome::Garbled;
            }
            const Outcome judged = Judge(request, *response);
            if (judged == Outcome::Answered || judged == Outcome::Refused)
                lastUse_ = ::GetTickCount64();
            if (judged != Outcome::Unanswered)
                return judged;
            ReportStray(*response);
        }
    }

    // What a message received means for the request awaiting its response: Unanswered for one
    // that is not about this request (and does not end the session), to be passed over.
    static Outcome Judge(const hartip::Message& request, const hartip::Message& message)
    {
        const bool bError = message.type == hartip::kError || message.type == hartip::kNak;
        if (bError && message.status == hartip::kSessionClosed)
            return Outcome::Closed;
        if (message.sequence != request.sequence || message.id != request.id ||
            (message.type != hartip::kResponse && !bError))
            return Outcome::Unanswered;
        if (message.type == hartip::kResponse && hartsim::CommandDone(message.status))
            return Outcome::Answered;
        // An initiate refused leaves no session.
        return request.id == hartip::kSessionInitiate ? Outcome::Closed : Outcome::Refused;
    }

    // One whole message: Answered when it came, Unanswered when none began in time, Garbled when
    // one was cut short or its header is not one, Ended when the connection closed.
    Outcome ReceiveMessage(std::vector<uint8_t>* message, const ExchangeClock& clock)
    {
        message->resize(hartip::kHeaderBytes);
        std::size_t received = 0;
        Outcome outcome = ReceiveBytes(message->data(), hartip::kHeaderBytes, clock, &received);
        if (outcome != Outcome::Answered)
            return outcome == Outcome::Unanswered && received > 0 ? Outcome::Garbled : outcome;
        const std::size_t length = hartip::MessageLength(message->data());
        if (length == 0)
            return Outcome::Garbled;
        message->resize(length);
        outcome = ReceiveBytes(message->data() + hartip::kHeaderBytes,
                               length - hartip::kHeaderBytes, clock, &received);
        return outcome == Outcome::Unanswered ? Outcome::Garbled : outcome;
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

    Outcome ReceiveBytes(uint8_t* buffer, std::size_t count, const ExchangeClock& clock,
                         std::size_t* received)
    {
        *received = 0;
        while (*received < count)
        {
            if (clock.Over() || Stopping(abort_))
                return Outcome::Unanswered;
            const int nReady = WaitReadable(clock);
            if (nReady < 0)
                return Outcome::Ended;
            if (nReady == 0)
                continue;
            int nRead = ::recv(socket_, reinterpret_cast<char*>(buffer + *received),
                               static_cast<int>(count - *received), 0);
            if (nRead <= 0)
                return Outcome::Ended;
            *received += static_cast<std::size_t>(nRead);
        }
        return Outcome::Answered;
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

    // Reads what the server sent between transactions: publishes, late responses, errors and
    // NAKs are reported and passed over; true when the server ended the session (an error saying
    // so, the connection closed) or the stream is out of step.
    bool ServerEndedSession()
    {
        while (Readable())
        {
            std::vector<uint8_t> received;
            hartip::Message message;
            if (udp_)
            {
                if (ReceiveDatagram(&received, ExchangeClock(0)) != Datagram::Received)
                    return true;
                if (!hartip::Decode(received, &message))
                    continue;
            }
            else if (ReceiveMessage(&received, ExchangeClock(kCloseTimeout)) != Outcome::Answered ||
                     !hartip::Decode(received, &message))
                return true;
            if ((message.type == hartip::kError || message.type == hartip::kNak) &&
                message.status == hartip::kSessionClosed)
                return true;
            ReportStray(message);
        }
        return false;
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
                return Datagram::Lost;
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

    // The session is to be closed, but the calling worker is being stopped (or the initiate's
    // answer has not come): the next holder of the turn, an exchange or the keep-alive thread,
    // closes it.
    void AbandonSession()
    {
        closePending_ = true;
        ::SetEvent(wake_);
    }

    // Closes the session as a primary host does: a Session Close on the socket that holds it,
    // its response awaited within the clock (at most kCloseTimeout), then the socket.
    void CloseSession(const ExchangeClock& clock)
    {
        closePending_ = false;
        if (socket_ == INVALID_SOCKET)
            return;
        hartip::Message close;
        close.id = hartip::kSessionClose;
        hartip::Message response;
        Transact(close, &response, ExchangeClock(std::min(kCloseTimeout, clock.Left())));
        DropSocket();
    }

    // Lets the socket go; the session on it is over.
    void DropSocket()
    {
        closePending_ = false;
        if (socket_ != INVALID_SOCKET)
            ::closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }

    // Sends a keep-alive when the session has been idle long enough, and closes a session left
    // to be closed. An exchange that has the turn is using the session anyway, so the keep-alive
    // never waits for one.
    static DWORD WINAPI KeepAliveThread(void* pLink)
    {
        HartIpLink& link = *static_cast<HartIpLink*>(pLink);
        // A new session may have a shorter timer than the wait that is running: it cuts it short.
        const HANDLE events[] = {link.stop_, link.wake_};
        while (::WaitForMultipleObjects(2, events, FALSE, link.keepAliveAfter_ / 4 + 1) !=
               WAIT_OBJECT_0)
        {
            HeldTurn turn(link.turn_, link.turn_.TryTake());
            if (!turn.Taken() || link.socket_ == INVALID_SOCKET)
                continue;
            if (link.closePending_)
                link.CloseSession(ExchangeClock(kCloseTimeout));
            else if (::GetTickCount64() - link.lastUse_ >= link.keepAliveAfter_)
            {
                hartip::Message keepAlive;
                keepAlive.id = hartip::kKeepAlive;
                hartip::Message response;
                const ExchangeClock clock(kResponseTimeout);
                link.Settle(link.Transact(keepAlive, &response, clock), clock);
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
    bool closePending_ = false;
    uint16_t sequence_ = 0;
    ULONGLONG lastUse_ = 0;
    HANDLE stop_ = NULL;
    HANDLE wake_ = NULL;
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

// HART-IP over TCP as a primary host: a session is initiated on the first exchange (and again
// after the server or the network ended one), each request travels as a pass-through message, a
// keep-alive holds an idle session open, and the session is closed when the link goes.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <StandinSync.h>
#include "Link.h"

#include <HartFrame.h>
#include <HartIpMessage.h>

namespace hartsecomm
{
namespace
{
namespace hartip = hartsim::hartip;

const DWORD kConnectTimeout = 2000;
// A gateway may have to retry on its own wire before it answers.
const DWORD kResponseTimeout = 5000;
const uint32_t kInactivityTimer = 60000;
// Keep-alives go out when the session has been idle for this share of its timer.
const uint32_t kKeepAliveDivisor = 3;

class HartIpLink final : public Link
{
public:
    // Takes over one Winsock start-up of the caller.
    explicit HartIpLink(const sockaddr_in& address) : address_(address)
    {
        stop_ = ::CreateEventW(NULL, TRUE, FALSE, NULL);
        newSession_ = ::CreateEventW(NULL, FALSE, FALSE, NULL);
        keepAlive_ = ::CreateThread(NULL, 0, &HartIpLink::KeepAliveThread, this, 0, NULL);
    }

    ~HartIpLink()
    {
        ::SetEvent(stop_);
        ::WaitForSingleObject(keepAlive_, INFINITE);
        ::CloseHandle(keepAlive_);
        ::CloseHandle(stop_);
        ::CloseHandle(newSession_);
        {
            StandinGuard lock(lock_);
            if (socket_ != INVALID_SOCKET)
            {
                hartip::Message close;
                close.id = hartip::kSessionClose;
                hartip::Message response;
                Transact(close, &response);
                CloseSession();
            }
        }
        ::WSACleanup();
    }

    std::vector<uint8_t> Exchange(const std::vector<uint8_t>& request) override
    {
        StandinGuard lock(lock_);
        std::size_t start = 0;
        while (start < request.size() && request[start] == hartsim::kPreamble)
            ++start;
        hartip::Message passThrough;
        passThrough.id = hartip::kPassThrough;
        passThrough.body.assign(request.begin() + static_cast<std::ptrdiff_t>(start),
                                request.end());
        hartip::Message response;
        if (socket_ != INVALID_SOCKET && ServerHasSpoken())
            CloseSession();
        if ((socket_ == INVALID_SOCKET && !InitiateSession()) || !Transact(passThrough, &response))
            return {};
        std::vector<uint8_t> answer(hartsim::kMinPreambles, hartsim::kPreamble);
        answer.insert(answer.end(), response.body.begin(), response.body.end());
        return answer;
    }

private:
    bool InitiateSession()
    {
        socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (socket_ == INVALID_SOCKET)
            return false;
        if (!Connect())
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
        if (!Transact(initiate, &response) ||
            !hartip::ParseInitiateBody(response.body, &hostType, &timer) || timer == 0)
            return false;
        keepAliveAfter_ = timer / kKeepAliveDivisor;
        ::SetEvent(newSession_);
        return true;
    }

    // Connects without blocking past kConnectTimeout, whatever the address.
    bool Connect()
    {
        u_long nonBlocking = 1;
        ::ioctlsocket(socket_, FIONBIO, &nonBlocking);
        if (::connect(socket_, reinterpret_cast<const sockaddr*>(&address_), sizeof address_) !=
                0 &&
            ::WSAGetLastError() != WSAEWOULDBLOCK)
            return false;
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_SET(socket_, &writable);
        FD_ZERO(&failed);
        FD_SET(socket_, &failed);
        timeval timeout = {static_cast<long>(kConnectTimeout / 1000),
                           static_cast<long>(kConnectTimeout % 1000 * 1000)};
        if (::select(0, NULL, &writable, &failed, &timeout) != 1 || !FD_ISSET(socket_, &writable))
            return false;
        int nError = 0;
        int nLength = sizeof nError;
        ::getsockopt(socket_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&nError), &nLength);
        nonBlocking = 0;
        ::ioctlsocket(socket_, FIONBIO, &nonBlocking);
        return nError == 0;
    }

    // Sends a request and takes its response. Anything else (an error message, a session close
    // from the server, a time-out, a broken connection) ends the session.
    bool Transact(hartip::Message request, hartip::Message* response)
    {
        request.type = hartip::kRequest;
        request.sequence = ++sequence_;
        const std::vector<uint8_t> bytes = hartip::Encode(request);
        std::vector<uint8_t> received;
        if (::send(socket_, reinterpret_cast<const char*>(bytes.data()),
                   static_cast<int>(bytes.size()), 0) != static_cast<int>(bytes.size()) ||
            !ReceiveMessage(&received) || !hartip::Decode(received, response) ||
            response->type != hartip::kResponse || response->id != request.id ||
            response->sequence != request.sequence || response->status != 0)
        {
            CloseSession();
            return false;
        }
        lastUse_ = ::GetTickCount64();
        return true;
    }

    bool ReceiveMessage(std::vector<uint8_t>* message)
    {
        const ULONGLONG deadline = ::GetTickCount64() + kResponseTimeout;
        message->resize(hartip::kHeaderBytes);
        if (!ReceiveBytes(message->data(), hartip::kHeaderBytes, deadline))
            return false;
        const std::size_t length = hartip::MessageLength(message->data());
        if (length == 0)
            return false;
        message->resize(length);
        return ReceiveBytes(message->data() + hartip::kHeaderBytes, length - hartip::kHeaderBytes,
                            deadline);
    }

    bool ReceiveBytes(uint8_t* buffer, std::size_t count, ULONGLONG deadline)
    {
        std::size_t received = 0;
        while (received < count)
        {
            const ULONGLONG now = ::GetTickCount64();
            if (now >= deadline)
                return false;
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(socket_, &readable);
            const ULONGLONG remaining = deadline - now;
            timeval timeout = {static_cast<long>(remaining / 1000),
                               static_cast<long>(remaining % 1000 * 1000)};
            if (::select(0, &readable, NULL, NULL, &timeout) != 1)
                return false;
            int nRead = ::recv(socket_, reinterpret_cast<char*>(buffer + received),
                               static_cast<int>(count - received), 0);
            if (nRead <= 0)
                return false;
            received += static_cast<std::size_t>(nRead);
        }
        return true;
    }

    // Between transactions a server sends nothing unless it ends the session (an error message, or
    // the connection closed after its inactivity timer ran out).
    bool ServerHasSpoken()
    {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket_, &readable);
        timeval now = {0, 0};
        return ::select(0, &readable, NULL, NULL, &now) != 0;
    }

    void CloseSession()
    {
        if (socket_ != INVALID_SOCKET)
            ::closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }

    static DWORD WINAPI KeepAliveThread(void* pLink)
    {
        HartIpLink& link = *static_cast<HartIpLink*>(pLink);
        // A new session may have a shorter timer than the wait that is running: it cuts it short.
        const HANDLE events[] = {link.stop_, link.newSession_};
        while (::WaitForMultipleObjects(2, events, FALSE, link.KeepAliveCheckPeriod()) !=
               WAIT_OBJECT_0)
        {
            StandinGuard lock(link.lock_);
            if (link.socket_ != INVALID_SOCKET &&
                ::GetTickCount64() - link.lastUse_ >= link.keepAliveAfter_)
            {
                hartip::Message keepAlive;
                keepAlive.id = hartip::kKeepAlive;
                hartip::Message response;
                link.Transact(keepAlive, &response);
            }
        }
        return 0;
    }

    DWORD KeepAliveCheckPeriod()
    {
        StandinGuard lock(lock_);
        return static_cast<DWORD>(keepAliveAfter_ / 4 + 1);
    }

    StandinLock lock_;
    sockaddr_in address_;
    SOCKET socket_ = INVALID_SOCKET;
    uint16_t sequence_ = 0;
    ULONGLONG lastUse_ = 0;
    ULONGLONG keepAliveAfter_ = kInactivityTimer / kKeepAliveDivisor;
    HANDLE stop_ = NULL;
    HANDLE newSession_ = NULL;
    HANDLE keepAlive_ = NULL;
};
} // namespace

std::shared_ptr<Link> OpenHartIpLink(const std::string& address, std::string* error)
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
    return std::make_shared<HartIpLink>(socketAddress);
}

} // namespace hartsecomm

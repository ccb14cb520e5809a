// A HART modem on a COM port: 1200 bit/s, 8 data bits, odd parity, 1 stop bit. The primary
// master sends a request, waits its retry timer (33 characters after the request's end) for the
// answer to start, and tries three more times when no valid answer comes.
#include <StandinSync.h>
#include "Link.h"
#include "LinkWait.h"

#include <AnswerMatch.h>
#include <FrameScanner.h>
#include <HartFrame.h>
#include <WireModel.h>

#include <algorithm>

namespace hartsecomm
{
namespace
{
constexpr int kRetries = 3;

ULONGLONG Milliseconds(std::chrono::microseconds duration)
{
    return static_cast<ULONGLONG>((duration.count() + 999) / 1000);
}

const std::chrono::microseconds kCharacter = hartsim::WireModel::Timed().CharacterTime();
// The primary master's retry timer; also the longest pause allowed inside an answer.
const ULONGLONG kRetryTimer =
    Milliseconds(kCharacter * hartsim::WireModel::kMasterTimeoutCharacters);

const DWORD kPollPause = 5;

class SerialLink final : public Link
{
public:
    SerialLink(HANDLE hPort, bool keyWithRts) : port_(hPort), keyWithRts_(keyWithRts) {}
    ~SerialLink() { Close(); }

    std::vector<uint8_t> Exchange(const std::vector<uint8_t>& request) override
    {
        const ExchangeClock clock;
        HeldTurn turn(turn_, turn_.Take(clock, closed_));
        if (!turn.Taken() || closed_)
            return {};
        for (int attempt = 0; attempt <= kRetries && !clock.Over(); ++attempt)
        {
            std::vector<uint8_t> answer;
            if (!Send(request))
                continue;
            switch (Receive(request, clock, &answer))
            {
            case Outcome::Answer:
                return answer;
            case Outcome::Stopped:
                return {};
            case Outcome::Retry:
                break;
            }
        }
        return {};
    }

    void Close() override
    {
        closed_ = true;
        turn_.TakeWhenFree();
        if (port_ != INVALID_HANDLE_VALUE)
            ::CloseHandle(port_);
        port_ = INVALID_HANDLE_VALUE;
        turn_.Give();
    }

private:
    enum class Outcome
    {
        Answer,
        Retry,
        Stopped
    };

    bool Send(const std::vector<uint8_t>& request)
    {
        ::PurgeComm(port_, PURGE_RXCLEAR | PURGE_TXCLEAR);
        // A pseudo-terminal has no RTS line; the request still goes out.
        if (keyWithRts_)
            ::EscapeCommFunction(port_, SETRTS);
        DWORD dwWritten = 0;
        BOOL bWritten = ::WriteFile(port_, request.data(), static_cast<DWORD>(request.size()),
                                    &dwWritten, NULL);
        sent_ = ::GetTickCount64();
        if (keyWithRts_)
        {
            ::FlushFileBuffers(port_);
            ::EscapeCommFunction(port_, CLRRTS);
        }
        return bWritten && dwWritten == request.size();
    }

    // Gathers bytes until the answer is there. Its start must come within the retry timer after
    // the request has left at 1200 bit/s; only a frame in progress may carry the wait beyond
    // that, by what its own length still needs plus one retry timer for a pause inside it, so
    // noise never keeps a receive alive. Echoes of the request, burst frames, other devices'
    // answers and late answers to other commands are passed over; a frame with a wrong check byte
    // ends the try. Each read takes only what has arrived, and the line is looked at again after
    // a pause shorter than a character: a read that waits can outlast its time-out on a line that
    // has gone away.
    Outcome Receive(const std::vector<uint8_t>& request, const ExchangeClock& clock,
                    std::vector<uint8_t>* answer)
    {
        COMMTIMEOUTS timeouts = {MAXDWORD, 0, 0, 0, 0};
        ::SetCommTimeouts(port_, &timeouts);
        hartsim::FrameScanner scanner;
        const ULONGLONG startBy = sent_ + Milliseconds(kCharacter * request.size()) + kRetryTimer;
        ULONGLONG deadline = startBy;
        for (;;)
        {
            const ULONGLONG now = ::GetTickCount64();
            if (now >= deadline || clock.Over())
                return Outcome::Retry;
            uint8_t buffer[64];
            DWORD dwRead = 0;
            if (!::ReadFile(port_, buffer, sizeof buffer, &dwRead, NULL))
                return Pause(kPollPause, closed_) ? Outcome::Retry : Outcome::Stopped;
            if (dwRead == 0)
            {
                if (!Pause(kPollPause, closed_))
                    return Outcome::Stopped;
                continue;
            }
            scanner.Add(buffer, dwRead);
            std::vector<uint8_t> frame;
            while (scanner.Take(&frame))
            {
                switch (hartsim::ClassifyReceived(request, frame))
                {
                case hartsim::Received::Answer:
                    *answer = std::move(frame);
                    return Outcome::Answer;
                case hartsim::Received::Garbled:
                    return Outcome::Retry;
                default:
                    break;
                }
            }
            const std::size_t missing = scanner.Missing();
            deadline =
                missing == 0
                    ? startBy
                    : std::max(startBy, now + Milliseconds(kCharacter * missing) + kRetryTimer);
        }
    }

    LinkTurn turn_;
    std::atomic<bool> closed_{false};
    HANDLE port_;
    bool keyWithRts_;
    ULONGLONG sent_ = 0;
};
} // namespace

std::shared_ptr<Link> OpenSerialLink(const LinkSetting& setting, std::string* error)
{
    const std::string& port = setting.target;
    const bool keyWithRts = setting.keyWithRts;
    std::wstring path = L"\\\\.\\" + std::wstring(port.begin(), port.end());
    HANDLE hPort =
        ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (hPort == INVALID_HANDLE_VALUE)
    {
        *error = "cannot open " + port + " (error " + std::to_string(::GetLastError()) + ")";
        return nullptr;
    }
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = CBR_1200;
    dcb.ByteSize = 8;
    dcb.Parity = ODDPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = TRUE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    // Every field is set here, none taken from what the port's last user left.
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    // Many modems draw their power from DTR and RTS; a keyed modem listens while RTS is off.
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = keyWithRts ? RTS_CONTROL_DISABLE : RTS_CONTROL_ENABLE;
    if (!::SetCommState(hPort, &dcb))
    {
        *error = "cannot set up " + port + " for 1200 bit/s, 8O1 (error " +
                 std::to_string(::GetLastError()) + ")";
        ::CloseHandle(hPort);
        return nullptr;
    }
    return std::make_shared<SerialLink>(hPort, keyWithRts);
}

} // namespace hartsecomm

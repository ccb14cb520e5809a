// A HART modem on a COM port: 1200 bit/s, 8 data bits, odd parity, 1 stop bit. The primary
// master sends a request, waits its retry timer (33 characters after the request's end) for the
// answer to start, and tries three more times when no valid answer comes, each time once the line
// has been quiet for the retry timer.
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
// The primary master's retry timer; also the longest pause allowed inside an answer, and how long
// the line must be quiet before a master sends again after a garbled or missing answer.
const ULONGLONG kRetryTimer =
    Milliseconds(kCharacter * hartsim::WireModel::kMasterTimeoutCharacters);
// Once an answer's first preamble has come, the longest run of preambles a sender may use, with
// one retry timer for a pause, before its delimiter must be there.
const ULONGLONG kPreambleRun = Milliseconds(kCharacter * hartsim::kMaxPreambles) + kRetryTimer;
// A write may take its bytes' time at 1200 bit/s and one retry timer more (a UART or adapter slow
// to start); a port that has not taken the request by then has stalled.
const DWORD kWriteMargin = static_cast<DWORD>(kRetryTimer);
const DWORD kCharacterMilliseconds = static_cast<DWORD>(Milliseconds(kCharacter));

const DWORD kPollPause = 5;

ULONGLONG LineTime(std::size_t bytes)
{
    return Milliseconds(kCharacter * static_cast<long>(bytes));
}

class SerialLink final : public Link
{
public:
    SerialLink(HANDLE hPort, bool keyWithRts) : port_(hPort), keyWithRts_(keyWithRts) {}
    ~SerialLink() { Close(); }

    // A failed write (a stalled port, a port gone) fails the exchange at once: the request did not
    // reach the line, and trying again would only wait on the same port.
    std::vector<uint8_t> Exchange(const std::vector<uint8_t>& request) override
    {
        const ExchangeClock clock;
        HeldTurn turn(turn_, turn_.Take(clock, closed_));
        if (!turn.Taken() || closed_)
            return {};
        for (int attempt = 0; attempt <= kRetries && !clock.Over(); ++attempt)
        {
            std::vector<uint8_t> answer;
            if ((attempt > 0 && !AwaitQuietLine(clock)) || !Send(request))
                return {};
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

    // Reads are answered at once with what has arrived; a write may take its bytes' time at
    // 1200 bit/s plus kWriteMargin, and fails when the port has not taken it by then.
    void SetTimeouts()
    {
        COMMTIMEOUTS timeouts = {MAXDWORD, 0, 0, kCharacterMilliseconds, kWriteMargin};
        ::SetCommTimeouts(port_, &timeouts);
    }

    // False when the port did not take the whole request within its limit, or a stop came while
    // the modem's transmitter was keyed.
    bool Send(const std::vector<uint8_t>& request)
    {
        SetTimeouts();
        ::PurgeComm(port_, PURGE_RXCLEAR | PURGE_TXCLEAR);
        // A pseudo-terminal has no RTS line; the request still goes out.
        if (keyWithRts_)
            ::EscapeCommFunction(port_, SETRTS);
        const ULONGLONG started = ::GetTickCount64();
        DWORD dwWritten = 0;
        const bool bWritten = ::WriteFile(port_, request.data(), static_cast<DWORD>(request.size()),
                                          &dwWritten, NULL) &&
                              dwWritten == request.size();
        sent_ = ::GetTickCount64();
        lastHeard_ = std::max(sent_, started + LineTime(request.size()));
        if (!keyWithRts_)
            return bWritten;
        const bool bEmptied = bWritten && AwaitTransmitterEmpty(started, request.size());
        ::EscapeCommFunction(port_, CLRRTS);
        return bEmptied;
    }

    // Keeps the modem keyed until the request's last byte has left: WriteFile returning only says
    // the driver took the bytes, a UART's FIFO or a USB adapter may still hold them. So the wait
    // lasts at least the request's own time on the line from the write's start, and then until
    // the driver's output queue is empty, within the write's limit. A pseudo-terminal reports its
    // queue as well, the bytes its other side has not read yet.
    bool AwaitTransmitterEmpty(ULONGLONG started, std::size_t bytes)
    {
        const ULONGLONG onLineBy = started + LineTime(bytes);
        const ULONGLONG giveUpAt = onLineBy + kWriteMargin;
        for (;;)
        {
            const ULONGLONG now = ::GetTickCount64();
            COMSTAT status = {};
            DWORD dwErrors = 0;
            if (now >= onLineBy &&
                (!::ClearCommError(port_, &dwErrors, &status) || status.cbOutQue == 0))
                return true;
            if (now >= giveUpAt || !Pause(kPollPause, closed_))
                return false;
        }
    }

    // Before a try after a garbled or missing answer: waits until nothing has been heard for the
    // retry timer, so the new request does not talk over a device still sending (a garbled
    // answer may go on past where the master saw its end). Bytes heard meanwhile are dropped.
    // False when the exchange's time runs out or a stop comes first.
    bool AwaitQuietLine(const ExchangeClock& clock)
    {
        for (;;)
        {
            const ULONGLONG now = ::GetTickCount64();
            if (now >= lastHeard_ + kRetryTimer)
                return true;
            if (clock.Over())
                return false;
            uint8_t buffer[64];
            DWORD dwRead = 0;
            if (::ReadFile(port_, buffer, sizeof buffer, &dwRead, NULL) && dwRead > 0)
                lastHeard_ = now;
            else if (!Pause(kPollPause, closed_))
                return false;
        }
    }

    // Gathers bytes until the answer is there. Its start, the first preamble, must come within
    // the retry timer after the request has left at 1200 bit/s. A started answer carries the wait
    // on: its preambles for as long as a sender may send them, then the frame in progress by what
    // its own length still needs, each with one retry timer for a pause inside it. Noise that
    // starts no frame never keeps a receive alive. Echoes of the request, burst frames, other
    // devices' answers, answers to the other master and late answers to other commands are
    // passed over; a frame with a wrong check byte ends the try. Each read takes only what has
    // arrived, and the line is looked at again after a pause shorter than a character: a read
    // that waits can outlast its time-out on a line that has gone away.
    Outcome Receive(const std::vector<uint8_t>& request, const ExchangeClock& clock,
                    std::vector<uint8_t>* answer)
    {
        hartsim::FrameScanner scanner;
        const ULONGLONG startBy = sent_ + LineTime(request.size()) + kRetryTimer;
        ULONGLONG deadline = startBy;
        ULONGLONG firstPreamble = 0;
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
            lastHeard_ = now;
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
            if (!scanner.Started())
                firstPreamble = 0;
            else if (firstPreamble == 0)
                firstPreamble = now;
            deadline = startBy;
            if (firstPreamble != 0)
                deadline = std::max(deadline, firstPreamble + kPreambleRun);
            if (const std::size_t missing = scanner.Missing())
                deadline = std::max(deadline, now + LineTime(missing) + kRetryTimer);
        }
    }

    LinkTurn turn_;
    std::atomic<bool> closed_{false};
    HANDLE port_;
    bool keyWithRts_;
    // When the last request left WriteFile, and when a byte was last heard (or the last
    // request's end, when that is later).
    ULONGLONG sent_ = 0;
    ULONGLONG lastHeard_ = 0;
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

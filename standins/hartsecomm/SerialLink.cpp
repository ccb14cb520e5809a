// A HART modem on a COM port: 1200 bit/s, 8 data bits, odd parity, 1 stop bit. The primary
// master sends a request, waits its retry timer (33 characters after the request's end) for the
// answer to start, and tries three more times when no valid answer comes.
#include <StandinSync.h>
#include "Link.h"

#include <FrameScanner.h>
#include <HartFrame.h>
#include <WireModel.h>

namespace hartsecomm
{
namespace
{
constexpr int kRetries = 3;
constexpr uint8_t kFrameTypeBits = 0x07;
constexpr uint8_t kAckFrameType = 0x06;

ULONGLONG Milliseconds(std::chrono::microseconds duration)
{
    return static_cast<ULONGLONG>((duration.count() + 999) / 1000);
}

const std::chrono::microseconds kCharacter = hartsim::WireModel::Timed().CharacterTime();
// The primary master's retry timer; also the longest pause allowed inside an answer.
const ULONGLONG kRetryTimer =
    Milliseconds(kCharacter * hartsim::WireModel::kMasterTimeoutCharacters);

const DWORD kPollPause = 5;

// An answer from a slave whose check byte is right.
bool IsValidAnswer(const std::vector<uint8_t>& frame)
{
    std::size_t start = 0;
    while (start < frame.size() && frame[start] == hartsim::kPreamble)
        ++start;
    return start + 1 < frame.size() && (frame[start] & kFrameTypeBits) == kAckFrameType &&
           hartsim::Checksum(frame.data() + start, frame.size() - start - 1) == frame.back();
}

class SerialLink final : public Link
{
public:
    SerialLink(HANDLE hPort, bool keyWithRts) : port_(hPort), keyWithRts_(keyWithRts) {}
    ~SerialLink() { ::CloseHandle(port_); }

    std::vector<uint8_t> Exchange(const std::vector<uint8_t>& request) override
    {
        StandinGuard lock(lock_);
        for (int attempt = 0; attempt <= kRetries; ++attempt)
        {
            std::vector<uint8_t> answer;
            if (Send(request) && Receive(request.size(), &answer) && IsValidAnswer(answer))
                return answer;
        }
        return {};
    }

private:
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

    // Gathers bytes until a whole frame is there: its start must come within the retry timer
    // after the request has left at 1200 bit/s, and no pause inside it may be longer. Each read
    // takes only what has arrived, and the line is looked at again after a pause shorter than a
    // character: a read that waits can outlast its time-out on a line that has gone away.
    bool Receive(std::size_t requestBytes, std::vector<uint8_t>* answer)
    {
        COMMTIMEOUTS timeouts = {MAXDWORD, 0, 0, 0, 0};
        ::SetCommTimeouts(port_, &timeouts);
        hartsim::FrameScanner scanner;
        ULONGLONG deadline = sent_ + Milliseconds(kCharacter * requestBytes) + kRetryTimer;
        for (;;)
        {
            if (::GetTickCount64() >= deadline)
                return false;
            uint8_t buffer[64];
            DWORD dwRead = 0;
            if (!::ReadFile(port_, buffer, sizeof buffer, &dwRead, NULL))
                return false;
            if (dwRead == 0)
            {
                ::Sleep(kPollPause);
                continue;
            }
            scanner.Add(buffer, dwRead);
            if (scanner.Take(answer))
                return true;
            deadline = ::GetTickCount64() + kRetryTimer;
        }
    }

    StandinLock lock_;
    HANDLE port_;
    bool keyWithRts_;
    ULONGLONG sent_ = 0;
};
} // namespace

std::shared_ptr<Link> OpenSerialLink(const std::string& port, bool keyWithRts, std::string* error)
{
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
    ::GetCommState(hPort, &dcb);
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

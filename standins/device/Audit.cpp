// The calibration record (Audit.h): each write the page makes, decoded as the command's catalogue
// entry says, before it goes out and its outcome after; the base data as found and as left.
#include <StandinBase.h>

#include "Audit.h"
#include "StatusWords.h"

#include <JsonLine.h>

#include <ByteOrder.h>
#include <HartCommand.h>
#include <RecordFiller.h>
#include <ResponseCodes.h>
#include <SendResult.h>

#include <version.h>

#include <bcrypt.h>
#include <ctype.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace audit
{
namespace
{
const unsigned kAllBlocks = 0x7;
const char kHostVersion[] = "kestrum-host " KESTRUM_VERSION_TEXT;

std::string Utc(const SYSTEMTIME& st, bool bCompact)
{
    char sz[40];
    snprintf(sz, sizeof sz,
             bCompact ? "%04u%02u%02uT%02u%02u%02u.%03uZ" : "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ",
             st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
    return sz;
}

std::string Now()
{
    SYSTEMTIME st;
    ::GetSystemTime(&st);
    return Utc(st, false);
}

std::string Hex(unsigned long ulValue, int nDigits)
{
    char sz[16];
    snprintf(sz, sizeof sz, "%0*lX", nDigits, ulValue);
    return sz;
}

// Text of the device's ANSI code page as UTF-8, ending at the first zero byte and without
// trailing blanks.
std::string AnsiText(const BYTE* pBytes, size_t nCount)
{
    size_t nLength = 0;
    while (nLength < nCount && pBytes[nLength] != 0)
        nLength++;
    while (nLength > 0 && pBytes[nLength - 1] == ' ')
        nLength--;
    if (nLength == 0)
        return std::string();
    const char* psz = reinterpret_cast<const char*>(pBytes);
    int nChars = ::MultiByteToWideChar(CP_ACP, 0, psz, static_cast<int>(nLength), NULL, 0);
    std::wstring wide(nChars, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, psz, static_cast<int>(nLength), &wide[0], nChars);
    int nBytes = ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), nChars, NULL, 0, NULL, NULL);
    std::string text(nBytes, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), nChars, &text[0], nBytes, NULL, NULL);
    return text;
}

std::string Utf8(const std::wstring& text)
{
    int nBytes = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, NULL, 0, NULL, NULL);
    std::string utf8(nBytes > 0 ? nBytes - 1 : 0, '\0');
    if (nBytes > 1)
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], nBytes, NULL, NULL);
    return utf8;
}

// A float as a JSON number, or as the text the page shows for a value that is not finite.
void AddFloat(JsonLine& line, const char* pszKey, float fValue)
{
    if (isnan(fValue))
        line.Add(pszKey, "NaN");
    else if (isinf(fValue))
        line.Add(pszKey, fValue > 0 ? "+Inf" : "-Inf");
    else
    {
        char sz[32];
        snprintf(sz, sizeof sz, "%.7g", static_cast<double>(fValue));
        line.AddRaw(pszKey, sz);
    }
}

float LittleEndianFloat(const BYTE* p)
{
    float f;
    memcpy(&f, p, sizeof f);
    return f;
}

void AddIdentity(JsonLine& line, BYTE byDevice)
{
    line.Add("dev", byDevice);
    StandinIdentity identity;
    if (!StandinGetIdentity(byDevice, &identity))
        return;
    if (identity.bTagRead)
        line.Add("device.tag", identity.tag);
    if (identity.nManufacturer >= 0)
        line.Add("device.manufacturer", Hex(identity.nManufacturer, 2));
    line.Add("device.type", Hex(identity.wExpandedDeviceType, 4))
        .Add("device.id", Hex(identity.dwDeviceId, 6))
        .Add("device.hart_revision", identity.byHartRevision)
        .Add("device.polling_address", identity.byPollingAddress)
        .Add("device.long_address", identity.longAddress);
    if (identity.nWriteProtect >= 0)
        line.Add("device.write_protect", identity.nWriteProtect);
}

// The base data the service's record holds, each key after the prefix ("found." or "left."):
// only the fields of the blocks of command 223 read from the device (bit n: block n), as the
// record holds nothing else of it.
void AddBaseData(JsonLine& line, BYTE byDevice, const std::string& prefix, unsigned blocks)
{
    BYTE record[STANDIN_RECORD_SIZE];
    if (blocks == 0 || !StandinReadRecord(byDevice, record, sizeof record))
        return;
    namespace at = hartsim::record;
    if ((blocks & 1u) != 0)
        line.Add((prefix + "press_type").c_str(), record[at::kPressType])
            .Add((prefix + "manufacturer").c_str(), record[at::kManufacturer])
            .Add((prefix + "unit").c_str(), record[at::kUnitCode])
            .Add((prefix + "serial").c_str(), AnsiText(record + at::kSerial, at::kSerialBytes));
    const struct
    {
        unsigned block;
        const char* pszKey;
        size_t nOffset;
    } floats[] = {
        {1, "range_high", at::kRangeHigh},
        {1, "range_low", at::kRangeLow},
        {1, "pressure", at::kPressure},
        {1, "temperature", at::kTemperature},
        {2, "zero", at::kZero},
        {2, "factor_k", at::kFactorK},
        {2, "factor_b", at::kFactorB},
        {2, "cal_up", at::kCalUp},
        {2, "cal_down", at::kCalDown},
    };
    for (const auto& field : floats)
    {
        if ((blocks & (1u << field.block)) != 0)
            AddFloat(line, (prefix + field.pszKey).c_str(),
                     LittleEndianFloat(record + field.nOffset));
    }
}

// The range values as the page's command 15 read them just before it writes a range point.
void AddRangeValues(JsonLine& line, BYTE byDevice, const std::string& prefix)
{
    BYTE record[STANDIN_RECORD_SIZE];
    if (!StandinReadRecord(byDevice, record, sizeof record))
        return;
    AddFloat(line, (prefix + "lrv").c_str(),
             LittleEndianFloat(record + hartsim::record::kLowerRangeValue));
    AddFloat(line, (prefix + "urv").c_str(),
             LittleEndianFloat(record + hartsim::record::kUpperRangeValue));
}

// The request's data, and its fields as the command's catalogue entry names them when it is whole.
void AddRequest(JsonLine& line, const StandinExchange& exchange,
                const hartsim::HartCommand& command)
{
    const std::vector<BYTE>& data = exchange.request;
    line.AddHex("request.data", data.data(), data.size());
    if (data.size() < command.RequestBytes())
        return;
    for (const hartsim::RequestField& field : command.AuditedRequest())
    {
        const std::string key = std::string("request.") + field.key;
        switch (field.kind)
        {
        case hartsim::RequestField::Byte:
            line.Add(key.c_str(), data[field.at]);
            break;
        case hartsim::RequestField::Text:
            line.Add(key.c_str(), AnsiText(&data[field.at], field.width));
            break;
        case hartsim::RequestField::Float:
            AddFloat(line, key.c_str(), hartsim::ReadFloatBE(&data[field.at]));
            break;
        case hartsim::RequestField::RangePoint:
            line.Add(key.c_str(), data[field.at] == 0   ? "lower"
                                  : data[field.at] == 1 ? "upper"
                                                        : "unknown");
            break;
        }
    }
}

// What became of a write: done when the device carried it out (success or a warning, also when
// the service could not use the answer), refused when it answered with an error, unknown when no
// answer came (the device may have carried it out). A result scripted in place of an exchange
// stands for the device's answer.
const char* Outcome(const StandinExchange& exchange)
{
    if (exchange.bAnswered)
        return exchange.byResponseCode == 0 || hartsim::IsWarning(exchange.byResponseCode)
                   ? "done"
                   : "refused";
    if (exchange.byResult == HART_RESULT_DONE)
        return "done";
    return exchange.byResult == hartsim::kSendNoValidAnswer ? "unknown" : "refused";
}

std::string WindowsText(BOOL(WINAPI* pfnGet)(LPWSTR, LPDWORD))
{
    WCHAR sz[256];
    DWORD dwSize = sizeof sz / sizeof sz[0];
    return pfnGet(sz, &dwSize) ? Utf8(sz) : std::string();
}

BOOL WINAPI UserName(LPWSTR pszName, LPDWORD pdwSize)
{
    return ::GetUserNameW(pszName, pdwSize);
}

BOOL WINAPI ComputerName(LPWSTR pszName, LPDWORD pdwSize)
{
    return ::GetComputerNameW(pszName, pdwSize);
}

// The sequence number a line starts with ({"seq":N,...), or 0 for a line without one.
unsigned long long SequenceOf(const std::string& line)
{
    const char kHead[] = "{\"seq\":";
    if (line.compare(0, sizeof kHead - 1, kHead) != 0)
        return 0;
    return strtoull(line.c_str() + sizeof kHead - 1, NULL, 10);
}

// The file's tail as an appender needs it: the last line (without its newline), the sequence
// number of the last line that has one, and whether the file ends in the middle of a line.
struct Tail
{
    std::string lastLine;
    unsigned long long nSequence = 0;
    bool bTorn = false;
};

bool ReadTail(HANDLE hFile, Tail* pTail)
{
    const LONGLONG kMostRead = 1 << 20;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(hFile, &size))
        return false;
    if (size.QuadPart == 0)
        return true;
    LARGE_INTEGER start;
    start.QuadPart = size.QuadPart > kMostRead ? size.QuadPart - kMostRead : 0;
    std::string text(static_cast<size_t>(size.QuadPart - start.QuadPart), '\0');
    DWORD dwRead = 0;
    if (!::SetFilePointerEx(hFile, start, NULL, FILE_BEGIN) ||
        !::ReadFile(hFile, &text[0], static_cast<DWORD>(text.size()), &dwRead, NULL) ||
        dwRead != text.size())
        return false;
    pTail->bTorn = text.back() != '\n';
    if (!pTail->bTorn)
        text.pop_back();
    size_t nEnd = text.size();
    for (bool bLast = true;; bLast = false)
    {
        size_t nNewline = text.rfind('\n', nEnd == 0 ? 0 : nEnd - 1);
        size_t nBegin = nNewline == std::string::npos || nEnd == 0 ? 0 : nNewline + 1;
        std::string line = text.substr(nBegin, nEnd - nBegin);
        if (bLast)
            pTail->lastLine = line;
        if ((pTail->nSequence = SequenceOf(line)) != 0 || nBegin == 0)
            return true;
        nEnd = nBegin - 1;
    }
}

// The calling thread's last error, or dwOtherwise when there is none.
DWORD LastError(DWORD dwOtherwise)
{
    DWORD dwError = ::GetLastError();
    return dwError != ERROR_SUCCESS ? dwError : dwOtherwise;
}
} // namespace

// By Windows' CNG (Windows 7 has no BCryptHash).
std::string Sha256Hex(const std::string& text)
{
    BCRYPT_ALG_HANDLE hAlgorithm = NULL;
    BCRYPT_HASH_HANDLE hHash = NULL;
    UCHAR digest[32] = {};
    bool bDone = false;
    if (BCRYPT_SUCCESS(
            ::BCryptOpenAlgorithmProvider(&hAlgorithm, BCRYPT_SHA256_ALGORITHM, NULL, 0)))
    {
        if (BCRYPT_SUCCESS(::BCryptCreateHash(hAlgorithm, &hHash, NULL, 0, NULL, 0, 0)))
        {
            bDone = BCRYPT_SUCCESS(::BCryptHashData(
                        hHash, reinterpret_cast<PUCHAR>(const_cast<char*>(text.data())),
                        static_cast<ULONG>(text.size()), 0)) &&
                    BCRYPT_SUCCESS(::BCryptFinishHash(hHash, digest, sizeof digest, 0));
            ::BCryptDestroyHash(hHash);
        }
        ::BCryptCloseAlgorithmProvider(hAlgorithm, 0);
    }
    if (!bDone)
        return std::string();
    std::string hex;
    for (UCHAR byte : digest)
        hex += Hex(byte, 2);
    for (char& c : hex)
        c = static_cast<char>(tolower(c));
    return hex;
}

namespace
{
// Reads the file's last line for the chain, closes a line left without its newline (so that a
// torn line stays a line of its own), then appends the line with its sequence number and the
// SHA-256 of the line before and flushes it. The Windows error, or ERROR_SUCCESS.
DWORD Append(HANDLE hFile, const std::string& body)
{
    Tail tail;
    if (!ReadTail(hFile, &tail))
        return LastError(ERROR_READ_FAULT);
    const std::string prev =
        tail.lastLine.empty() && !tail.bTorn ? std::string(64, '0') : Sha256Hex(tail.lastLine);
    if (prev.empty())
        return ERROR_INVALID_FUNCTION;
    std::string text = (tail.bTorn ? "\n" : "") + std::string("{\"seq\":") +
                       std::to_string(tail.nSequence + 1) + ",\"prev\":\"" + prev + "\"," +
                       body.substr(1) + "\n";
    LARGE_INTEGER end = {};
    DWORD dwWritten = 0;
    if (!::SetFilePointerEx(hFile, end, NULL, FILE_END) ||
        !::WriteFile(hFile, text.data(), static_cast<DWORD>(text.size()), &dwWritten, NULL) ||
        dwWritten != text.size() || !::FlushFileBuffers(hFile))
        return LastError(ERROR_WRITE_FAULT);
    return ERROR_SUCCESS;
}
} // namespace

AuditRecord::AuditRecord()
    : m_user(WindowsText(&UserName)), m_workstation(WindowsText(&ComputerName))
{
    SYSTEMTIME st;
    ::GetSystemTime(&st);
    m_session = Utc(st, true) + "." + std::to_string(::GetCurrentProcessId());
}

void AuditRecord::SetFile(const std::wstring& path)
{
    StandinGuard guard(m_lock);
    m_path = path;
    m_underWay.clear();
    m_pending.clear();
    m_read.clear();
}

JsonLine AuditRecord::Line(const char* pszKind) const
{
    JsonLine line;
    line.Add("time", Now())
        .Add("kind", pszKind)
        .Add("user", m_user)
        .Add("workstation", m_workstation)
        .Add("host_version", kHostVersion)
        .Add("module_version", KESTRUM_VERSION_TEXT);
    return line;
}

Failure AuditRecord::BeforeSend(const StandinExchange& exchange)
{
    StandinGuard guard(m_lock);
    const hartsim::HartCommand* command = hartsim::FindCommand(exchange.wCmd);
    if (m_path.empty() || command == nullptr || !command->Writes())
        return Failure();
    std::string id = m_session + "/" + std::to_string(++m_nWrites);
    JsonLine line = Line("intent");
    line.Add("id", id);
    AddIdentity(line, exchange.byDevice);
    line.Add("cmd", exchange.wCmd);
    AddRequest(line, exchange, *command);
    StandinIdentity identity;
    StandinGetIdentity(exchange.byDevice, &identity);
    const Read& read = m_read[exchange.byDevice];
    AddBaseData(line, exchange.byDevice, "found.",
                read.longAddress == identity.longAddress ? read.blocks : 0);
    if (command->AuditsRangeFound())
        AddRangeValues(line, exchange.byDevice, "found.");
    Failure failure = AppendLine(line);
    if (!failure.file.empty())
        return failure;
    m_underWay[::GetCurrentThreadId()] = id;
    Pending& pending = m_pending[exchange.byDevice];
    if (pending.longAddress != identity.longAddress)
        pending = Pending();
    pending.longAddress = identity.longAddress;
    pending.ids.push_back(id);
    pending.blocksRead = 0;
    return Failure();
}

Failure AuditRecord::OnExchange(const StandinExchange& exchange)
{
    StandinGuard guard(m_lock);
    if (m_path.empty())
        return Failure();
    const hartsim::HartCommand* command = hartsim::FindCommand(exchange.wCmd);
    if (command == nullptr)
        return Failure();
    if (command->Writes())
    {
        auto it = m_underWay.find(::GetCurrentThreadId());
        if (it == m_underWay.end())
            return Failure();
        std::string id = it->second;
        m_underWay.erase(it);
        return RecordResult(exchange, id);
    }
    const int block = command->BaseDataBlock(exchange.request);
    return block >= 0 ? NoteRead(exchange, block) : Failure();
}

// The device's answer in words; the status bits only when the response code is not a
// communication error (then the second status byte means nothing).
Failure AuditRecord::RecordResult(const StandinExchange& exchange, const std::string& id)
{
    JsonLine line = Line("result");
    line.Add("id", id)
        .Add("dev", exchange.byDevice)
        .Add("cmd", exchange.wCmd)
        .Add("result", exchange.byResult)
        .Add("outcome", Outcome(exchange));
    if (exchange.bAnswered)
    {
        line.Add("rc", exchange.byResponseCode)
            .Add("meaning", devicewords::ResponseMeaning(exchange.wCmd, exchange.byResponseCode));
        if (!hartsim::IsCommunicationError(exchange.byResponseCode))
            line.Add("status", exchange.byDeviceStatus)
                .Add("status_words", devicewords::DeviceStatusWords(exchange.byDeviceStatus));
    }
    else
        line.Add("meaning", devicewords::ResultMeaning(exchange.wCmd, exchange.byResult));
    return AppendLine(line);
}

// A base-data block read whole: the record now holds it. After writes, the third block read
// completes the "as left" line.
Failure AuditRecord::NoteRead(const StandinExchange& exchange, int nBlock)
{
    if (exchange.byResult != HART_RESULT_DONE)
        return Failure();
    StandinIdentity identity;
    StandinGetIdentity(exchange.byDevice, &identity);
    const unsigned block = 1u << nBlock;
    Read& read = m_read[exchange.byDevice];
    if (read.longAddress != identity.longAddress)
        read = Read{identity.longAddress, 0};
    read.blocks |= block;
    auto it = m_pending.find(exchange.byDevice);
    if (it == m_pending.end())
        return Failure();
    Pending& pending = it->second;
    pending.blocksRead |= block;
    if (pending.blocksRead != kAllBlocks)
        return Failure();
    std::vector<std::string> ids = pending.ids;
    bool bSameDevice = pending.longAddress == identity.longAddress;
    m_pending.erase(it);
    if (!bSameDevice)
        return Failure();
    std::string after = "[";
    for (const std::string& id : ids)
        after += (after.size() > 1 ? "," : "") + JsonLine::QuoteText(id.c_str());
    JsonLine line = Line("as_left");
    line.AddRaw("after", after + "]");
    AddIdentity(line, exchange.byDevice);
    AddBaseData(line, exchange.byDevice, "left.", kAllBlocks);
    return AppendLine(line);
}

// Appends the line to the file kept in m_path (see Append) and flushes it to the disk. The file is
// locked meanwhile, so that two hosts keeping their records in one file chain their lines one
// after the other.
Failure AuditRecord::AppendLine(const JsonLine& body)
{
    HANDLE hFile = ::CreateFileW(m_path.c_str(), GENERIC_READ | FILE_APPEND_DATA,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return {Utf8(m_path), "Windows error " + std::to_string(::GetLastError())};
    OVERLAPPED whole = {};
    DWORD dwError = ERROR_SUCCESS;
    if (!::LockFileEx(hFile, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole))
        dwError = LastError(ERROR_LOCK_VIOLATION);
    else
    {
        dwError = Append(hFile, body.Str());
        ::UnlockFileEx(hFile, 0, MAXDWORD, MAXDWORD, &whole);
    }
    ::CloseHandle(hFile);
    if (dwError == ERROR_SUCCESS)
        return Failure();
    return {Utf8(m_path), "Windows error " + std::to_string(dwError)};
}

} // namespace audit

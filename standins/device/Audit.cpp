// The calibration record (Audit.h): each write the page makes, decoded as the command's catalogue
// entry says, and the base data as found and as left, one JSON line each.
#include <StandinBase.h>

#include "Audit.h"
#include "StatusWords.h"

#include <JsonLine.h>

#include <ByteOrder.h>
#include <HartCommand.h>
#include <RecordFiller.h>
#include <SendResult.h>

#include <math.h>
#include <stdio.h>
#include <string.h>

namespace audit
{
namespace
{
const unsigned kAllBlocks = 0x7;

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

const char* Outcome(const StandinExchange& exchange)
{
    if (exchange.byResult == HART_RESULT_DONE)
        return "done";
    if (exchange.byResult == HART_RESULT_BUSY)
        return "busy";
    return exchange.bAnswered ? "refused" : "failed";
}
} // namespace

AuditRecord::AuditRecord()
{
    SYSTEMTIME st;
    ::GetSystemTime(&st);
    m_session = Utc(st, true) + "." + std::to_string(::GetCurrentProcessId());
}

void AuditRecord::SetFile(const std::wstring& path)
{
    StandinGuard guard(m_lock);
    m_path = path;
    m_bFailureReported = false;
    m_pending.clear();
    m_read.clear();
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
        return RecordWrite(exchange, *command);
    const int block = command->BaseDataBlock(exchange.request);
    return block >= 0 ? NoteRead(exchange, block) : Failure();
}

Failure AuditRecord::RecordWrite(const StandinExchange& exchange,
                                 const hartsim::HartCommand& command)
{
    std::string id = m_session + "/" + std::to_string(++m_nWrites);
    JsonLine line;
    line.Add("time", Now()).Add("kind", "write").Add("id", id);
    AddIdentity(line, exchange.byDevice);
    line.Add("cmd", exchange.wCmd);
    AddRequest(line, exchange, command);
    line.Add("result", exchange.byResult).Add("outcome", Outcome(exchange));
    if (exchange.bAnswered)
        line.Add("rc", exchange.byResponseCode)
            .Add("meaning", devicewords::ResponseMeaning(exchange.wCmd, exchange.byResponseCode))
            .Add("status", exchange.byDeviceStatus);
    StandinIdentity identity;
    StandinGetIdentity(exchange.byDevice, &identity);
    const Read& read = m_read[exchange.byDevice];
    AddBaseData(line, exchange.byDevice, "found.",
                read.longAddress == identity.longAddress ? read.blocks : 0);
    if (command.AuditsRangeFound())
        AddRangeValues(line, exchange.byDevice, "found.");
    Pending& pending = m_pending[exchange.byDevice];
    if (pending.longAddress != identity.longAddress)
        pending = Pending();
    pending.longAddress = identity.longAddress;
    pending.ids.push_back(id);
    pending.blocksRead = 0;
    return WriteLine(line.Str());
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
    JsonLine line;
    line.Add("time", Now()).Add("kind", "as_left").AddRaw("after", after + "]");
    AddIdentity(line, exchange.byDevice);
    AddBaseData(line, exchange.byDevice, "left.", kAllBlocks);
    return WriteLine(line.Str());
}

Failure AuditRecord::WriteLine(const std::string& line)
{
    std::string text = line + "\n";
    HANDLE hFile =
        ::CreateFileW(m_path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD dwError = ERROR_SUCCESS;
    if (hFile == INVALID_HANDLE_VALUE)
        dwError = ::GetLastError();
    else
    {
        DWORD dwWritten = 0;
        if (!::WriteFile(hFile, text.data(), static_cast<DWORD>(text.size()), &dwWritten, NULL) ||
            dwWritten != text.size() || !::FlushFileBuffers(hFile))
            dwError = ::GetLastError() != ERROR_SUCCESS ? ::GetLastError() : ERROR_WRITE_FAULT;
        ::CloseHandle(hFile);
    }
    if (dwError == ERROR_SUCCESS || m_bFailureReported)
        return Failure();
    m_bFailureReported = true;
    return {Utf8(m_path), "Windows error " + std::to_string(dwError)};
}

} // namespace audit

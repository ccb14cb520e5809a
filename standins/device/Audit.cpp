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

#include <PageRules.h>

#include <algorithm>

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
const char kHostVersion[] = "kestrum-host " KESTRUM_VERSION_TEXT;

std::string Utc(const SYSTEMTIME& st, bool bCompact)
{
    char sz[40];
    snprintf(sz, sizeof sz,
             bCompact ? "%04u%02u%02uT%02u%02u%02u.%03uZ" : "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ",
             st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
    return sz;
}

const unsigned kAllBlocks = 0x7;

// The write the calling thread made last, for the record that wrote it, and the base-data blocks
// the thread read since (bit n: block n). Thread-local, as a worker's thread id may be a later
// worker's too.
struct Checking
{
    const void* pRecord = nullptr;
    std::string id;
    unsigned blocks = 0;
};
thread_local Checking t_checking;

// A range value as the page shows it and as a Verify's reference must read.
std::string RangeText(float fValue)
{
    char sz[64];
    snprintf(sz, sizeof sz, "%.3f", static_cast<double>(fValue));
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

// The reads that bring fields of the device into the service's record: command 223 with its
// block, and command 15.
struct SourceRead
{
    WORD wCmd;
    int nBlock;
};
const SourceRead kSourceReads[] = {{223, 0}, {223, 1}, {223, 2}, {15, -1}};
enum Source
{
    kIdentityBlock,
    kMeasurementBlock,
    kCalibrationBlock,
    kDeviceInfo
};

// Each field the record shows of a device, where the device record holds it and which read
// brings it.
struct Field
{
    enum Kind
    {
        Byte,
        Text,
        Float
    };
    const char* pszKey;
    int nSource;
    size_t nOffset;
    Kind kind;
};
namespace at = hartsim::record;
const Field kFields[] = {
    {"press_type", kIdentityBlock, at::kPressType, Field::Byte},
    {"manufacturer", kIdentityBlock, at::kManufacturer, Field::Byte},
    {"unit", kIdentityBlock, at::kUnitCode, Field::Byte},
    {"serial", kIdentityBlock, at::kSerial, Field::Text},
    {"range_high", kMeasurementBlock, at::kRangeHigh, Field::Float},
    {"range_low", kMeasurementBlock, at::kRangeLow, Field::Float},
    {"pressure", kMeasurementBlock, at::kPressure, Field::Float},
    {"temperature", kMeasurementBlock, at::kTemperature, Field::Float},
    {"zero", kCalibrationBlock, at::kZero, Field::Float},
    {"factor_k", kCalibrationBlock, at::kFactorK, Field::Float},
    {"factor_b", kCalibrationBlock, at::kFactorB, Field::Float},
    {"cal_up", kCalibrationBlock, at::kCalUp, Field::Float},
    {"cal_down", kCalibrationBlock, at::kCalDown, Field::Float},
    {"lrv", kDeviceInfo, at::kLowerRangeValue, Field::Float},
    {"urv", kDeviceInfo, at::kUpperRangeValue, Field::Float},
};

const Field* FindField(const char* pszKey)
{
    for (const Field& field : kFields)
    {
        if (strcmp(field.pszKey, pszKey) == 0)
            return &field;
    }
    return nullptr;
}

// The source a read of the page brings, or -1.
int SourceOf(const StandinExchange& exchange, const hartsim::HartCommand& command)
{
    for (size_t i = 0; i < sizeof kSourceReads / sizeof kSourceReads[0]; i++)
    {
        if (kSourceReads[i].wCmd == exchange.wCmd &&
            (kSourceReads[i].nBlock < 0 ||
             command.BaseDataBlock(exchange.request) == kSourceReads[i].nBlock))
            return static_cast<int>(i);
    }
    return -1;
}

// The sources of the fields, each once.
std::vector<int> SourcesOf(const std::vector<const char*>& fields)
{
    std::vector<int> sources;
    for (const char* pszKey : fields)
    {
        const Field* field = FindField(pszKey);
        if (field != nullptr &&
            std::find(sources.begin(), sources.end(), field->nSource) == sources.end())
            sources.push_back(field->nSource);
    }
    return sources;
}

void AddValue(JsonLine& line, const std::string& key, const Field& field, const BYTE* pRecord)
{
    switch (field.kind)
    {
    case Field::Byte:
        line.Add(key.c_str(), pRecord[field.nOffset]);
        break;
    case Field::Text:
        line.Add(key.c_str(), AnsiText(pRecord + field.nOffset, at::kSerialBytes));
        break;
    case Field::Float:
        AddFloat(line, key.c_str(), LittleEndianFloat(pRecord + field.nOffset));
        break;
    }
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
// Appends the line after the tail with its sequence number and the SHA-256 of the line before,
// closing a line left without its newline first (so that a torn line stays a line of its own),
// and flushes it. The Windows error, or ERROR_SUCCESS.
DWORD Append(HANDLE hFile, const Tail& tail, const std::string& body)
{
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

// The record's file opened for appending and locked whole, so that two hosts keeping their
// records in one file chain their lines one after the other; INVALID_HANDLE_VALUE with the
// Windows error in *pdwError.
HANDLE OpenLocked(const std::wstring& path, DWORD* pdwError)
{
    HANDLE hFile = ::CreateFileW(path.c_str(), GENERIC_READ | FILE_APPEND_DATA,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, NULL);
    OVERLAPPED whole = {};
    if (hFile == INVALID_HANDLE_VALUE)
        *pdwError = LastError(ERROR_OPEN_FAILED);
    else if (!::LockFileEx(hFile, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole))
    {
        *pdwError = LastError(ERROR_LOCK_VIOLATION);
        ::CloseHandle(hFile);
        hFile = INVALID_HANDLE_VALUE;
    }
    return hFile;
}

void CloseLocked(HANDLE hFile)
{
    OVERLAPPED whole = {};
    ::UnlockFileEx(hFile, 0, MAXDWORD, MAXDWORD, &whole);
    ::CloseHandle(hFile);
}
} // namespace

AuditRecord::AuditRecord()
    : m_user(WindowsText(&UserName)), m_workstation(WindowsText(&ComputerName))
{
    SYSTEMTIME st;
    ::GetSystemTime(&st);
    m_session = Utc(st, true) + "." + std::to_string(::GetCurrentProcessId());
}

void AuditRecord::SetFile(const std::wstring& path, unsigned long long ullMaxBytes)
{
    StandinGuard guard(m_lock);
    m_path = path;
    m_ullMaxBytes = ullMaxBytes;
    {
        StandinGuard state(m_stateLock);
        m_stateFile = Utf8(path);
        m_ullLastSequence = 0;
        m_lastFailure.clear();
    }
    m_underWay.clear();
    m_readings.clear();
    t_checking = Checking();
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

AuditRecord::DeviceReadings& AuditRecord::ReadingsOf(BYTE byDevice)
{
    StandinIdentity identity;
    StandinGetIdentity(byDevice, &identity);
    DeviceReadings& readings = m_readings[byDevice];
    if (readings.longAddress != identity.longAddress)
        readings = DeviceReadings{identity.longAddress, {}};
    return readings;
}

bool AuditRecord::ReadAside(BYTE byDevice, int nSource)
{
    const SourceRead& source = kSourceReads[nSource];
    std::vector<BYTE> request;
    if (source.nBlock >= 0)
        request.push_back(static_cast<BYTE>(source.nBlock));
    std::vector<BYTE> record(STANDIN_RECORD_SIZE);
    if (!StandinReadAside(byDevice, source.wCmd, request, record.data(), STANDIN_RECORD_SIZE))
        return false;
    ReadingsOf(byDevice).reads[nSource] = Reading{true, false, Now(), record};
    return true;
}

void AuditRecord::AddFields(JsonLine& line, BYTE byDevice, const std::vector<const char*>& fields,
                            const std::string& prefix, const char* pszMissing)
{
    DeviceReadings& readings = ReadingsOf(byDevice);
    for (const char* pszKey : fields)
    {
        const Field* field = FindField(pszKey);
        if (field == nullptr)
            continue;
        const Reading& reading = readings.reads[field->nSource];
        const std::string key = prefix + pszKey;
        if (!reading.bValid || reading.bStale)
            line.Add(key.c_str(), pszMissing);
        else
        {
            AddValue(line, key, *field, reading.record.data());
            line.Add((key + ".time").c_str(), reading.time);
        }
    }
}

// The fields the write changes as found: where the device's last report of one is missing or
// older than a write to it, the record reads it itself first and says so.
Failure AuditRecord::BeforeSend(const StandinExchange& exchange)
{
    StandinGuard guard(m_lock);
    const hartsim::HartCommand* command = hartsim::FindCommand(exchange.wCmd);
    if (m_path.empty() || command == nullptr || !command->Writes())
        return Failure();
    const std::vector<const char*> fields = command->ChangedFields(exchange.request);
    bool bReadAside = false;
    for (int nSource : SourcesOf(fields))
    {
        const Reading& reading = ReadingsOf(exchange.byDevice).reads[nSource];
        if (!reading.bValid || reading.bStale)
        {
            ReadAside(exchange.byDevice, nSource);
            bReadAside = true;
        }
    }
    std::string id = m_session + "/" + std::to_string(++m_nWrites);
    JsonLine line = Line("intent");
    line.Add("id", id);
    AddIdentity(line, exchange.byDevice);
    line.Add("cmd", exchange.wCmd);
    AddRequest(line, exchange, *command);
    AddFields(line, exchange.byDevice, fields, "found.", "not read");
    if (bReadAside)
        line.Add("found.read", "by the record before the write");
    Failure failure = AppendLine(line);
    if (!failure.file.empty())
        return failure;
    m_underWay[::GetCurrentThreadId()] = UnderWay{id, fields};
    return Failure();
}

// A write's result, then the fields it changes read back from the device; a read of the page
// is the device's latest report of the fields it brings.
Failure AuditRecord::OnExchange(const StandinExchange& exchange)
{
    const hartsim::HartCommand* command = hartsim::FindCommand(exchange.wCmd);
    if (command == nullptr)
        return Failure();
    if (!command->Writes())
        return NoteRead(exchange, *command);
    StandinGuard guard(m_lock);
    if (m_path.empty())
        return Failure();
    auto it = m_underWay.find(::GetCurrentThreadId());
    if (it == m_underWay.end())
        return Failure();
    UnderWay write = it->second;
    m_underWay.erase(it);
    t_checking = Checking{this, write.id, 0};
    Failure failure = RecordResult(exchange, write.id);
    for (int nSource : SourcesOf(write.fields))
    {
        ReadingsOf(exchange.byDevice).reads[nSource].bStale = true;
        ReadAside(exchange.byDevice, nSource);
    }
    JsonLine line = Line("as_left");
    line.Add("id", write.id);
    AddIdentity(line, exchange.byDevice);
    AddFields(line, exchange.byDevice, write.fields, "left.", "not read back");
    Failure leftFailure = AppendLine(line);
    return failure.file.empty() ? leftFailure : failure;
}

void AuditRecord::SetReferenceSource(STANDIN_REFERENCE_SOURCE pfnSource, void* pContext)
{
    StandinGuard guard(m_stateLock);
    m_pfnReferences = pfnSource;
    m_pReferenceContext = pContext;
}

bool AuditRecord::ReadReferences(StandinReferences* pReferences)
{
    STANDIN_REFERENCE_SOURCE pfnSource;
    void* pContext;
    {
        StandinGuard guard(m_stateLock);
        pfnSource = m_pfnReferences;
        pContext = m_pReferenceContext;
    }
    return pfnSource != NULL && pfnSource(pReferences, pContext);
}

// Only the page's Verify reads on the thread that wrote: its Set and PV zero workers only write,
// its refresh only reads, and a range Download reads command 15 before it writes. The test
// point's references are read before the record's lock is taken: the window thread they come
// from may be waiting for it.
Failure AuditRecord::NoteRead(const StandinExchange& exchange, const hartsim::HartCommand& command)
{
    const bool bDone = exchange.byResult == HART_RESULT_DONE;
    const int nBlock = command.BaseDataBlock(exchange.request);
    std::string testPoint;
    if (bDone && t_checking.pRecord == this && nBlock >= 0 &&
        (t_checking.blocks |= 1u << nBlock) == kAllBlocks)
    {
        testPoint = t_checking.id;
        t_checking = Checking();
    }
    StandinReferences references;
    const bool bReferences = !testPoint.empty() && ReadReferences(&references);
    StandinGuard guard(m_lock);
    const int nSource = SourceOf(exchange, command);
    std::vector<BYTE> record(STANDIN_RECORD_SIZE);
    if (m_path.empty() || nSource < 0 || !bDone ||
        !StandinReadRecord(exchange.byDevice, record.data(), STANDIN_RECORD_SIZE))
        return Failure();
    ReadingsOf(exchange.byDevice).reads[nSource] = Reading{true, false, Now(), record};
    if (testPoint.empty())
        return Failure();
    return RecordTestPoint(exchange.byDevice, testPoint, bReferences ? &references : nullptr);
}

// The references against the readings the page compares, judged as the page judges them: range
// high and low must read as typed ("%.3f"), pressure and temperature within the page's
// tolerances (PageRules). Numbers typed are read as the page reads them (_wtof).
Failure AuditRecord::RecordTestPoint(BYTE byDevice, const std::string& id,
                                     const StandinReferences* pReferences)
{
    JsonLine line = Line("test_point");
    line.Add("id", id);
    AddIdentity(line, byDevice);
    const Reading& reading = ReadingsOf(byDevice).reads[kMeasurementBlock];
    if (!reading.bValid)
        return Failure();
    const std::vector<BYTE>& record = reading.record;
    const float fHigh = LittleEndianFloat(record.data() + at::kRangeHigh);
    const float fLow = LittleEndianFloat(record.data() + at::kRangeLow);
    const float fPressure = LittleEndianFloat(record.data() + at::kPressure);
    const float fTemperature = LittleEndianFloat(record.data() + at::kTemperature);
    AddFloat(line, "reading.range_high", fHigh);
    AddFloat(line, "reading.range_low", fLow);
    AddFloat(line, "reading.pressure", fPressure);
    AddFloat(line, "reading.temperature", fTemperature);
    if (pReferences == nullptr)
        return AppendLine(line.Add("verdict", "references not read"));
    const StandinReferences& references = *pReferences;
    const float fRefPressure = static_cast<float>(_wtof(references.pressure.c_str()));
    const float fRefTemperature = static_cast<float>(_wtof(references.temperature.c_str()));
    line.Add("reference.range_high", Utf8(references.rangeHigh))
        .Add("reference.range_low", Utf8(references.rangeLow));
    AddFloat(line, "reference.pressure", fRefPressure);
    AddFloat(line, "reference.temperature", fRefTemperature);
    const float fPressureError = fPressure - fRefPressure;
    const float fSpan = fHigh - fLow;
    AddFloat(line, "error.pressure", fPressureError);
    AddFloat(line, "error.pressure_span_percent",
             static_cast<float>(100.0 * static_cast<double>(fPressureError) /
                                fabs(static_cast<double>(fSpan))));
    AddFloat(line, "tolerance.pressure_span_percent",
             static_cast<float>(100.0 * PageRules::kPressureTolerance));
    AddFloat(line, "error.temperature", fTemperature - fRefTemperature);
    AddFloat(line, "tolerance.temperature", static_cast<float>(PageRules::kTemperatureTolerance));
    const bool bRange = RangeText(fHigh) == Utf8(references.rangeHigh) &&
                        RangeText(fLow) == Utf8(references.rangeLow);
    const bool bPressure =
        PageRules::IsPressureWithinTolerance(fPressure, fRefPressure, fHigh, fLow);
    const bool bTemperature =
        PageRules::IsTemperatureWithinTolerance(fTemperature, fRefTemperature);
    line.AddBool("pass.range", bRange)
        .AddBool("pass.pressure", bPressure)
        .AddBool("pass.temperature", bTemperature)
        .Add("verdict", bRange && bPressure && bTemperature ? "pass" : "fail");
    return AppendLine(line);
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

// Appends the line to the file kept in m_path (see Append). A line that would take the file past
// its size goes to a new file instead: the full one is renamed to FILE.N, N its last sequence
// number in ten digits, and the chain goes on in the new one, its first line numbered on from
// the last and holding its SHA-256.
Failure AuditRecord::AppendLine(const JsonLine& body)
{
    const std::string text = body.Str();
    DWORD dwError = ERROR_SUCCESS;
    HANDLE hFile = OpenLocked(m_path, &dwError);
    Tail tail;
    LARGE_INTEGER size = {};
    if (hFile != INVALID_HANDLE_VALUE &&
        (!ReadTail(hFile, &tail) || !::GetFileSizeEx(hFile, &size)))
        dwError = LastError(ERROR_READ_FAULT);
    if (dwError == ERROR_SUCCESS && size.QuadPart > 0 &&
        static_cast<unsigned long long>(size.QuadPart) + text.size() > m_ullMaxBytes)
    {
        CloseLocked(hFile);
        WCHAR szNumber[24];
        swprintf(szNumber, sizeof szNumber / sizeof szNumber[0], L".%010llu", tail.nSequence);
        const std::wstring archive = m_path + szNumber;
        hFile = INVALID_HANDLE_VALUE;
        if (::MoveFileExW(m_path.c_str(), archive.c_str(), MOVEFILE_WRITE_THROUGH))
            hFile = OpenLocked(m_path, &dwError);
        else
            dwError = LastError(ERROR_WRITE_FAULT);
        tail.bTorn = false;
    }
    if (dwError == ERROR_SUCCESS)
        dwError = Append(hFile, tail, text);
    if (hFile != INVALID_HANDLE_VALUE)
        CloseLocked(hFile);
    const std::string reason = "Windows error " + std::to_string(dwError);
    StandinGuard state(m_stateLock);
    if (dwError == ERROR_SUCCESS)
    {
        m_ullLastSequence = tail.nSequence + 1;
        m_lastFailure.clear();
        return Failure();
    }
    m_lastFailure = reason;
    return {Utf8(m_path), reason};
}

std::string AuditRecord::State()
{
    StandinGuard state(m_stateLock);
    if (m_stateFile.empty())
        return "no calibration record";
    const std::string record = "calibration record " + m_stateFile;
    if (!m_lastFailure.empty())
        return record + " cannot be written (" + m_lastFailure + ")";
    return m_ullLastSequence != 0 ? record + ", line " + std::to_string(m_ullLastSequence) : record;
}

} // namespace audit

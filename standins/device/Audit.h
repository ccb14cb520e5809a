// The calibration record: JSON lines appended to a file, an intent before each write the page
// makes and its result after, chained by SHA-256.
#pragma once

#include <HartCommand.h>
#include <JsonLine.h>
#include <StandinDevice.h>
#include <StandinHart.h>
#include <StandinSync.h>

#include <map>
#include <string>
#include <vector>

namespace audit
{

// A line that could not be written: the file (UTF-8) and why; an empty file when none failed.
struct Failure
{
    std::string file;
    std::string reason;
};

// The SHA-256 of the text in lower-case hex; empty when Windows cannot compute it.
std::string Sha256Hex(const std::string& text);

// Lines are appended whole and flushed, one file opening each; earlier lines are never touched. A
// file that would grow past its size is renamed FILE.N (N its last sequence number, ten digits)
// and the chain goes on in a new FILE.
// Every line starts with its sequence number, the SHA-256 of the line before it in the file (the
// chain goes on across sessions), the UTC time, its kind, the user, the workstation and the
// versions. Kinds: "intent" before a write goes out (the device's identity, the request decoded,
// each field the write changes as found), "result" after it with the same id (done, refused or
// unknown), then "as_left" with the same id: each of those fields as read back from the device.
// A value as found is the one the device last reported, with the time of that read, never one
// from before a write to it: where there is none, the record reads it itself before the write.
// A write followed by the three base-data reads on one thread is the page's Verify: a
// "test_point" line with the same id follows (the references, the device's readings, the errors
// and the verdict by the page's own tolerances). Safe to call from any thread.
class AuditRecord
{
public:
    static const unsigned long long kMaxFileBytes = 16ull << 20;

    AuditRecord();

    // The file to keep the record in (an empty path keeps none), and the size past which it goes
    // on in a new file.
    void SetFile(const std::wstring& path, unsigned long long ullMaxBytes = kMaxFileBytes);
    // Appends the intent line of a write. A failure means the write must not be sent.
    Failure BeforeSend(const StandinExchange& exchange);
    // Appends the result and the as-left line of a write whose intent was written, or notes a
    // read that brings fields of the device (and appends the test point it completes).
    Failure OnExchange(const StandinExchange& exchange);
    // The record's state in words, for the host's window: "calibration record FILE, line N" (N
    // the last line this session wrote), "calibration record FILE cannot be written (REASON)"
    // after a line failed, or "no calibration record".
    std::string State();
    // Where a Verify's references come from.
    void SetReferenceSource(STANDIN_REFERENCE_SOURCE pfnSource, void* pContext);

private:
    // A write whose intent is written: its id and the fields it changes.
    struct UnderWay
    {
        std::string id;
        std::vector<const char*> fields;
    };

    // The last successful read of one of the reads that bring fields (Audit.cpp): the device
    // record as it left the device's answer, and the read's time. Stale once a write may have
    // changed what it holds.
    struct Reading
    {
        bool bValid = false;
        bool bStale = false;
        std::string time;
        std::vector<BYTE> record;
    };

    struct DeviceReadings
    {
        std::string longAddress;
        std::map<int, Reading> reads;
    };

    // A JSON line of the given kind with the attribution fields; AppendLine puts the sequence
    // number and the chain in front.
    JsonLine Line(const char* pszKind) const;
    Failure AppendLine(const JsonLine& line);
    Failure RecordResult(const StandinExchange& exchange, const std::string& id);
    // A read of the page on the calling thread; after a write and all three blocks, a test point
    // (without references when they could not be read).
    Failure NoteRead(const StandinExchange& exchange, const hartsim::HartCommand& command);
    Failure RecordTestPoint(BYTE byDevice, const std::string& id,
                            const StandinReferences* pReferences);
    bool ReadReferences(StandinReferences* pReferences);
    // The readings of the device at byDevice, forgotten when another device is there now.
    DeviceReadings& ReadingsOf(BYTE byDevice);
    // Reads source nSource of the device itself; false when no whole answer came.
    bool ReadAside(BYTE byDevice, int nSource);
    // Each field as the last reading of its source holds it, under the prefix, with the read's
    // time; pszMissing where there is no fresh reading.
    void AddFields(JsonLine& line, BYTE byDevice, const std::vector<const char*>& fields,
                   const std::string& prefix, const char* pszMissing);

    StandinLock m_lock;
    std::wstring m_path;
    unsigned long long m_ullMaxBytes = kMaxFileBytes;
    std::string m_session;
    std::string m_user;
    std::string m_workstation;
    unsigned m_nWrites = 0;
    // The write each sending thread has under way, by thread id.
    std::map<DWORD, UnderWay> m_underWay;
    std::map<BYTE, DeviceReadings> m_readings;
    // What the host's window thread asks for and sets, under a lock of its own that is never held
    // while the record reads from a device, writes its file or calls the host: the record's
    // state and where the references come from.
    StandinLock m_stateLock;
    std::string m_stateFile;
    unsigned long long m_ullLastSequence = 0;
    std::string m_lastFailure;
    STANDIN_REFERENCE_SOURCE m_pfnReferences = NULL;
    void* m_pReferenceContext = NULL;
};

} // namespace audit

// The calibration record: JSON lines appended to a file, an intent before each write the page
// makes and its result after, chained by SHA-256.
#pragma once

#include <HartCommand.h>
#include <JsonLine.h>
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

// Lines are appended whole and flushed, one file opening each; earlier lines are never touched.
// Every line starts with its sequence number, the SHA-256 of the line before it in the file (the
// chain goes on across sessions), the UTC time, its kind, the user, the workstation and the
// versions. Kinds: "intent" before a write goes out (the device's identity, the request decoded,
// the base data as found: what the service's record holds of the blocks read since), "result"
// after it with the same id (done, refused or unknown), and "as_left" once all three base-data
// blocks have been read again after writes, naming those writes by their ids. Safe to call from
// any thread.
class AuditRecord
{
public:
    AuditRecord();

    // The file to keep the record in; an empty path keeps none.
    void SetFile(const std::wstring& path);
    // Appends the intent line of a write. A failure means the write must not be sent.
    Failure BeforeSend(const StandinExchange& exchange);
    // Appends the result line of a write whose intent was written, or notes a base-data read
    // after one (and appends the as-left line it completes).
    Failure OnExchange(const StandinExchange& exchange);

private:
    struct Pending
    {
        std::string longAddress;
        std::vector<std::string> ids;
        unsigned blocksRead = 0;
    };

    // The blocks of base data read from the device at the long address since the file was set.
    struct Read
    {
        std::string longAddress;
        unsigned blocks = 0;
    };

    // A JSON line of the given kind with the attribution fields; AppendLine puts the sequence
    // number and the chain in front.
    JsonLine Line(const char* pszKind) const;
    Failure AppendLine(const JsonLine& line);
    Failure RecordResult(const StandinExchange& exchange, const std::string& id);
    // A read of base-data block nBlock.
    Failure NoteRead(const StandinExchange& exchange, int nBlock);

    StandinLock m_lock;
    std::wstring m_path;
    std::string m_session;
    std::string m_user;
    std::string m_workstation;
    unsigned m_nWrites = 0;
    // The id of the write each sending thread has under way, by thread id.
    std::map<DWORD, std::string> m_underWay;
    std::map<BYTE, Pending> m_pending;
    std::map<BYTE, Read> m_read;
};

} // namespace audit

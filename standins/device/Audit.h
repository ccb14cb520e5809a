// The calibration record: one JSON line per write the page makes, appended to a file.
#pragma once

#include <HartCommand.h>
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

// Lines are appended whole and flushed, one file opening each; earlier lines are never touched.
// A line is kind "write" (the device's identity and tag, the command with its request decoded,
// the outcome, the base data as found: what the service's record holds of the blocks read since) or
// kind "as_left" (the base data once all three blocks have been read again after writes, naming
// those writes by their ids). Safe to call from any thread.
class AuditRecord
{
public:
    AuditRecord();

    void SetFile(const std::wstring& path);
    // Records the exchange when it is a write, or notes a base-data read after one. Returns the
    // failure the first time since SetFile that a line cannot be written.
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

    Failure WriteLine(const std::string& line);
    Failure RecordWrite(const StandinExchange& exchange, const hartsim::HartCommand& command);
    // A read of base-data block nBlock.
    Failure NoteRead(const StandinExchange& exchange, int nBlock);

    StandinLock m_lock;
    std::wstring m_path;
    std::string m_session;
    unsigned m_nWrites = 0;
    bool m_bFailureReported = false;
    std::map<BYTE, Pending> m_pending;
    std::map<BYTE, Read> m_read;
};

} // namespace audit

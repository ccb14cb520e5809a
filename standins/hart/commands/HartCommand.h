// One HART command as the host side knows it: its number and name, the request the page sends,
// its shortest whole answer, what the service files of it in the device record and in a device's
// identity, the meanings it gives response codes, how the calibration record shows its request,
// and how the simulated transmitter carries it out. Each command is one file in this folder that
// defines one HartCommand; Registry.cpp lists them (docs/hart-commands.md).
#pragma once

#include "DeviceState.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hartsim
{

// What a command hands back to the transmitter: the response code and the answer data. The
// transmitter adds the device status. Refused commands carry no data.
struct Reply
{
    uint8_t responseCode = 0;
    uint8_t deviceStatus = 0;
    std::vector<uint8_t> data;
};

// A response code that a command gives a meaning of its own.
struct CodeMeaning
{
    uint8_t code;
    const char* text;
};

// One field of a write's request as the calibration record shows it, under "request.KEY".
struct RequestField
{
    enum Kind
    {
        Byte,      // the byte at `at` as a number
        Text,      // `width` bytes of text in the device's code page
        Float,     // a big-endian float at `at`
        RangePoint // the point byte at `at`: "lower", "upper" or "unknown"
    };
    Kind kind;
    const char* key;
    std::size_t at;
    std::size_t width;
};

// What answers other than command 0's tell the service about a device.
struct DeviceNotes
{
    std::optional<std::string> tag;
    std::optional<uint8_t> writeProtect;
};

class HartCommand
{
public:
    constexpr HartCommand(uint8_t number, const char* name) : number_(number), name_(name) {}
    virtual ~HartCommand() = default;

    uint8_t Number() const { return number_; }
    // "command 182 (write range point)", for texts about it.
    std::string Title() const;

    // The simulated transmitter carries the command out: it checks the request and changes the
    // state only when the command succeeds.
    virtual Reply Run(DeviceState& state, const std::vector<uint8_t>& request) const = 0;
    // True for commands that change the configuration when they succeed.
    virtual bool Writes() const { return false; }

    // False for commands the page never sends (the service's own reads).
    virtual bool PageSends() const { return true; }
    // The data bytes of the request the page sends.
    virtual std::size_t RequestBytes() const { return 0; }
    // Why a request the page sent is not sound, or an empty text: by default a length other than
    // RequestBytes.
    virtual std::string RequestFault(const std::vector<uint8_t>& request) const;

    // The data bytes a successful answer to the request must carry for the service to file it.
    virtual std::size_t ShortestAnswer(const std::vector<uint8_t>&) const { return 0; }
    // True when a successful answer's data are the whole answer to the request.
    virtual bool AnswerIsWhole(const std::vector<uint8_t>& request,
                               const std::vector<uint8_t>& data) const
    {
        return data.size() >= ShortestAnswer(request);
    }
    // Files a whole successful answer into a device record (RecordFiller.h); a field only when
    // the answer carries it.
    virtual void File(uint8_t*, const std::vector<uint8_t>&, const std::vector<uint8_t>&) const {}
    // True for the reads the service makes of every device it finds, for NoteIdentity.
    virtual bool ReadWhenFound() const { return false; }
    // Notes what a successful answer says about the device; a short answer notes nothing.
    virtual void NoteIdentity(const std::vector<uint8_t>&, DeviceNotes*) const {}

    // The response codes this command gives a meaning of its own.
    virtual std::vector<CodeMeaning> Meanings() const { return {}; }

    // The calibration record: the request fields a write's line shows (when the request is
    // RequestBytes long), the fields a write of the request changes on the device (the keys of
    // its as-found and as-left values, Audit.cpp), and for a read that brings base data into the
    // record, the block the request reads (-1: none).
    virtual std::vector<RequestField> AuditedRequest() const { return {}; }
    virtual std::vector<const char*> ChangedFields(const std::vector<uint8_t>&) const { return {}; }
    virtual int BaseDataBlock(const std::vector<uint8_t>&) const { return -1; }

private:
    uint8_t number_;
    const char* name_;
};

// The command of a number, or null when the catalogue has none.
const HartCommand* FindCommand(unsigned number);

// Every command of the catalogue, in the order of their numbers.
const std::vector<const HartCommand*>& AllCommands();

// True for the commands that change the device's configuration when they succeed.
bool IsWriteCommand(unsigned number);

} // namespace hartsim

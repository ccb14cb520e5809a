// How the communication service's frames travel to a device and back.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hartsecomm
{

class Link
{
public:
    virtual ~Link() = default;
    // Sends one request frame (preambles included) and returns the answer frame with its
    // preambles: the addressed device's answer to the same command, or nothing when none came in
    // time (after the link's own retries), the link is broken or closed, or the calling worker is
    // being stopped. Calls from several threads take their turns, as on a shared wire.
    virtual std::vector<uint8_t> Exchange(const std::vector<uint8_t>& request) = 0;
    // Releases the port or connection: an exchange in progress ends without an answer within a
    // few milliseconds, and every later one gets none. Returns once the port is free to be opened
    // again. The simulation holds nothing to release.
    virtual void Close() {}
    // False when the last exchange found no way to the other end at all (a HART-IP address that
    // refused or never answered the connection), so that polling further addresses is pointless.
    virtual bool Reachable() const { return true; }
};

struct LinkSetting;

// One kind of link, a row of the table kLinkKinds (LinkSetting.cpp) that the setting's parser and
// the service read: a new kind is a row there and a file that opens it.
struct LinkKind
{
    // The setting's first word, and the second that chooses this kind among those of the same
    // first word ("tcp", "udp"; null when none does). The first row of a word is its default.
    const char* word;
    const char* variant;
    // How an error text names the setting; null for the rows after a word's first.
    const char* usage;
    // Whether "rts" (key the modem's transmitter with RTS) may follow.
    bool takesRts;
    // Opens the link to the setting's target, or returns nothing with a reason when the port or
    // address cannot be opened; null for the in-process simulation, which takes no target.
    std::shared_ptr<Link> (*open)(const LinkSetting& setting, std::string* error);
};

extern const LinkKind kLinkKinds[];

// Where a link goes: "sim" (the in-process simulation), "serial COMn [rts]" or "hart-ip [udp|tcp]
// ADDRESS:PORT" (TCP unless "udp"), a real link optionally followed by "scan" (poll addresses
// 0-63 instead of 0 only; past 15 only for HART 6 and 7 devices).
struct LinkSetting
{
    const LinkKind* kind = &kLinkKinds[0];
    std::string target;
    // Key the modem's transmitter with RTS.
    bool keyWithRts = false;
    uint8_t lastPollingAddress = 0;
};

// False with a reason when the text names no link.
bool ParseLinkSetting(const std::string& text, LinkSetting* setting, std::string* error);

} // namespace hartsecomm

// How the communication service's frames travel to a device and back.
#pragma once

#include <windows.h>

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

// Where a real link goes: "serial COMn [rts]" or "hart-ip [udp|tcp] ADDRESS:PORT" (TCP unless
// "udp"), each optionally followed by "scan" (poll addresses 0-15 instead of 0 only). "sim" is the
// in-process simulation.
struct LinkSetting
{
    enum Kind
    {
        Simulated,
        Serial,
        HartIp
    } kind = Simulated;
    std::string target;
    // Key the modem's transmitter with RTS.
    bool keyWithRts = false;
    // HART-IP over UDP instead of TCP.
    bool udp = false;
    uint8_t lastPollingAddress = 0;
};

// False with a reason when the text names no link.
bool ParseLinkSetting(const std::string& text, LinkSetting* setting, std::string* error);

// Both return nothing, with a reason, when the port or address cannot be opened; a HART-IP link
// connects on its first exchange.
std::shared_ptr<Link> OpenSerialLink(const std::string& port, bool keyWithRts, std::string* error);
std::shared_ptr<Link> OpenHartIpLink(const std::string& address, bool udp, std::string* error);

} // namespace hartsecomm

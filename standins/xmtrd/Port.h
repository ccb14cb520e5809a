// The ways the program offers its device: a pseudo-terminal or a HART-IP server. Both serve from
// the program's one poll loop.
#pragma once

#include "Device.h"

#include <poll.h>

#include <memory>
#include <string>
#include <vector>

namespace xmtrd
{

class Port
{
public:
    virtual ~Port() = default;
    // Where a master finds the port, for the program's first line of output.
    virtual std::string Where() const = 0;
    // The descriptors to wait on, and the longest wait (milliseconds, -1 for none).
    virtual std::vector<pollfd> Descriptors() const = 0;
    virtual int Timeout() const = 0;
    // Serves what poll found ready (and timers that ran out).
    virtual void Serve(const std::vector<pollfd>& ready) = 0;
    // "drop": ends a HART-IP session as a server does; nothing on a serial line.
    virtual void Drop() = 0;
    // A count the controller asks for: "open" (1 while a HART-IP session is open, even one whose
    // connection closed), "sessions" (sessions opened so far), "closed"
    // (sessions their host closed with a Session Close), "expired" (sessions their inactivity
    // timer ended), "duplicates" (requests that came again with the sequence number just
    // answered). A serial line counts none of them.
    virtual unsigned Count(const std::string& name) const = 0;
    // A fault of the port itself, from the controller: "noise MS" (a pseudo-terminal sends a noise
    // byte every MS milliseconds; 0 ends it), "echo N" (it sends the next N requests back before
    // their answers, as a half-duplex modem does), "wrongcommand N" (the device answers the next N
    // long requests as if they were command 15), "preambles N" (a pseudo-terminal's answers begin
    // with N preambles, 5 to 20), "second-master N" (the next N answers on a pseudo-terminal come
    // after the device's answer "busy" to a secondary master's same command), "stall 1|0" (a
    // pseudo-terminal stops taking the master's bytes, or takes them again), "late-initiate MS" (a
    // HART-IP server answers session initiates MS milliseconds late), "unanswered N" (it leaves
    // the next N pass-through requests without any response; over UDP it carries them out first,
    // as when the answer datagram is lost), "slow MS" (answers, pass-through ones over HART-IP,
    // come MS milliseconds later than the wire's time), and over TCP
    // "warn-initiate MS" (initiates get a timer of MS milliseconds with the warning "set to nearest
    // possible value"; 0 ends it) and "stray N" (the next N answers come after a publish and are
    // followed by an error and a NAK to the request before). False for a fault the port does not
    // know.
    virtual bool Fault(const std::string& name, unsigned long value) = 0;
};

// Both return nothing, with a reason, when the port cannot be made.
std::unique_ptr<Port> OpenPty(Device& device, std::string* error);
// address is 127.x.y.z:PORT (port 0: any free one); other addresses are refused. No session's
// inactivity timer is longer than maxIdle milliseconds.
std::unique_ptr<Port> OpenHartIpServer(Device& device, const std::string& address, uint32_t maxIdle,
                                       std::string* error);
// The same over UDP; the fault "lose N" drops the next N datagrams that arrive.
std::unique_ptr<Port> OpenHartIpUdpServer(Device& device, const std::string& address,
                                          uint32_t maxIdle, std::string* error);

} // namespace xmtrd

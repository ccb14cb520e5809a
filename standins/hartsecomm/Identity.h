// The identity the service keeps of a device: what command 0 answered, its tag (command 13) and
// its write-protect code (command 15).
#pragma once

#include <StandinHart.h>

#include "Link.h"

#include <HartFrame.h>
#include <Identity.h>

namespace hartsecomm
{

// The identity part of a command-0 answer; false when it is too short.
bool IdentityFromAnswer(const std::vector<uint8_t>& answer, uint8_t pollingAddress,
                        StandinIdentity* identity);

// Files what a successful answer of command 13 or 15 says about the device; other commands and
// short answers change nothing.
void FileIdentityAnswer(uint8_t command, const std::vector<uint8_t>& answer,
                        StandinIdentity* identity);

// Reads the tag and the write-protect code over the link with long frames; what is not answered
// stays unknown.
void ReadTagAndProtection(Link& link, const hartsim::LongAddress& address,
                          StandinIdentity* identity);

// One line for a device list.
std::string DescribeIdentity(const StandinIdentity& identity);

} // namespace hartsecomm

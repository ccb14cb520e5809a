// The identity the service keeps of a device: what command 0 answered and what the reads it makes
// of every device it finds say (the catalogue's ReadWhenFound commands: the tag and the
// write-protect code), kept up to date by later answers of the same commands.
#pragma once

#include <StandinHart.h>

#include "Link.h"

#include <HartFrame.h>
#include <IdentityDecoder.h>

namespace hartsecomm
{

// The identity part of a command-0 answer; false when it is too short.
bool IdentityFromAnswer(const std::vector<uint8_t>& answer, uint8_t pollingAddress,
                        StandinIdentity* identity);

// Files what a successful answer says about the device (HartCommand::NoteIdentity); other commands
// and short answers change nothing.
void FileIdentityAnswer(uint8_t command, const std::vector<uint8_t>& answer,
                        StandinIdentity* identity);

// Sends the catalogue's ReadWhenFound commands over the link with long frames and files their
// answers; what is not answered stays unknown.
void ReadWhenFound(Link& link, const hartsim::LongAddress& address, StandinIdentity* identity);

// One line for a device list.
std::string DescribeIdentity(const StandinIdentity& identity);

} // namespace hartsecomm

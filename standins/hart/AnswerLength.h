// How many data bytes a successful answer must carry: a device that answers a read with fewer
// has not answered it, and nothing of it is filed.
#pragma once

#include <cstdint>
#include <vector>

namespace hartsim
{

// True when the data of a successful answer (after the two status bytes) are whole for the command
// and request (HartCommand::AnswerIsWhole); commands the catalogue does not know need none.
bool AnswerIsWhole(uint8_t command, const std::vector<uint8_t>& request,
                   const std::vector<uint8_t>& data);

} // namespace hartsim

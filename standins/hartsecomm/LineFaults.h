// Faults on the line between the service and its transmitters, queued by the script host.
#pragma once

#include <Transmitter.h>

#include <cstdint>
#include <vector>

// One exchange over the line with the next queued fault of the command, if any: the answer frame
// that arrives (empty: none).
std::vector<uint8_t> LineExchange(hartsim::Transmitter& transmitter, uint8_t command,
                                  const std::vector<uint8_t>& requestFrame);
void ClearLineFaults();

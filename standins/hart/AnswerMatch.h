// What a master makes of a frame it receives after its request: only the slave's answer for the
// same device and the same command is the answer; everything else on the line is passed over.
#pragma once

#include <cstdint>
#include <vector>

namespace hartsim
{

enum class Received
{
    // A slave-to-master frame from the addressed device to the command sent.
    Answer,
    // Not a whole frame, or its check byte is wrong.
    Garbled,
    // A master-to-slave frame: our own request heard back through a half-duplex modem, or
    // another master's.
    Echo,
    // A burst frame from a device in burst mode.
    Burst,
    // An answer from another device, or in the other address form.
    OtherDevice,
    // The addressed device's answer to the other master (a handheld on the same loop): its
    // master bit is not the one of our request, even for the same command.
    OtherMaster,
    // The addressed device's answer to another command: a late answer to an earlier request.
    OtherCommand,
};

// request and frame are whole frames (long or short) with their preambles.
Received ClassifyReceived(const std::vector<uint8_t>& request, const std::vector<uint8_t>& frame);

} // namespace hartsim

// Arbitrary bytes against the frame codec and the simulated transmitter: as a request frame on the
// wire, as an answer frame the master decodes, through each fault of the line, and as a command
// with request data that the transmitter handles and whose answer is filed in a device record.
// Nothing may crash or touch memory out of bounds; a frame that decodes encodes back to itself
// (but for its preambles),
// and the transmitter's answer to a request always decodes.
#include "HartFrame.h"
#include "RecordFiller.h"
#include "Transmitter.h"
#include "WireFault.h"

#include <cstdlib>
#include <vector>

using namespace hartsim;

namespace
{
void Require(bool condition)
{
    if (!condition)
        abort();
}

// The frame from its delimiter on: the decoders take any number of preambles from 2 on, the
// encoders write 2 to 20.
std::vector<uint8_t> AfterPreambles(const std::vector<uint8_t>& frame)
{
    std::size_t count = 0;
    while (count < frame.size() && frame[count] == kPreamble)
        ++count;
    return std::vector<uint8_t>(frame.begin() + count, frame.end());
}

void RoundTrips(const std::vector<uint8_t>& frame, const LongAddress& address)
{
    Request request;
    if (DecodeRequest(frame, address, &request) == DecodeError::None)
        Require(AfterPreambles(EncodeRequest(request)) == AfterPreambles(frame));
    Answer answer;
    if (DecodeAnswer(frame, address, &answer) == DecodeError::None)
        Require(AfterPreambles(EncodeAnswer(answer)) == AfterPreambles(frame));
}

void AnswersDecode(Transmitter& transmitter, const std::vector<uint8_t>& frame)
{
    const std::vector<uint8_t> answerFrame = transmitter.Exchange(frame);
    Answer answer;
    Require(answerFrame.empty() ||
            DecodeAnswer(answerFrame, transmitter.Address(), &answer) == DecodeError::None);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::vector<uint8_t> bytes(data, data + size);
    Transmitter transmitter;
    RoundTrips(bytes, transmitter.Address());
    AnswersDecode(transmitter, bytes);

    if (size == 0)
        return 0;
    const uint8_t command = data[0];
    const std::vector<uint8_t> rest(bytes.begin() + 1, bytes.end());
    const Reply reply = transmitter.Handle(command, rest);
    std::vector<uint8_t> record(kDeviceRecordSize);
    FillRecord(record.data(), command, rest, reply.data);
    FillRecord(record.data(), command, rest, rest);

    const std::vector<uint8_t> request = EncodeRequest({transmitter.Address(), command, rest});
    AnswersDecode(transmitter, request);
    const WireFault faults[] = {WireFault::NoAnswer,    WireFault::Garbled,       WireFault::Parity,
                                WireFault::Short,       WireFault::OtherAddress,  WireFault::Busy,
                                WireFault::DelayedDead, WireFault::WriteProtected};
    FaultyExchange(transmitter, faults[command % (sizeof faults / sizeof faults[0])], request);
    return 0;
}

// Command 13, read tag (8 characters) and descriptor (16) in packed ASCII and date (3 bytes): 21
// bytes. The page does not send it; the service reads it of every device it finds and files the
// tag in the device's identity.
#include "HartCommand.h"
#include "PackedAscii.h"

namespace hartsim
{
namespace
{
constexpr std::size_t kTagChars = 8;
constexpr std::size_t kDescriptorChars = 16;
// The first 6 answer bytes carry the tag's 8 characters.
constexpr std::size_t kTagBytes = 6;
const char kDescriptor[] = "PRESSURE XMTR";
// Day, month, year - 1900.
constexpr uint8_t kDate[] = {1, 3, 124};

class ReadTagCommand final : public HartCommand
{
public:
    constexpr ReadTagCommand() : HartCommand(13, "read tag, descriptor and date") {}

    Reply Run(DeviceState& state, const std::vector<uint8_t>&) const override
    {
        Reply reply;
        reply.data = PackAscii(state.tag, kTagChars);
        const std::vector<uint8_t> descriptor = PackAscii(kDescriptor, kDescriptorChars);
        reply.data.insert(reply.data.end(), descriptor.begin(), descriptor.end());
        reply.data.insert(reply.data.end(), std::begin(kDate), std::end(kDate));
        return reply;
    }
    bool PageSends() const override { return false; }
    bool ReadWhenFound() const override { return true; }
    void NoteIdentity(const std::vector<uint8_t>& answer, DeviceNotes* notes) const override
    {
        if (answer.size() >= kTagBytes)
            notes->tag = UnpackAscii(answer.data(), kTagBytes);
    }
};

const ReadTagCommand kCommand;
} // namespace

// The catalogue's entry (Registry.cpp).
extern const HartCommand& kCommand013;
const HartCommand& kCommand013 = kCommand;

} // namespace hartsim

// The frame scanner (FrameScanner.h): it measures a frame at the front of its buffer from the
// delimiter's address length and the byte count, and drops bytes up to the next possible start when
// the front cannot begin a frame.
#include "FrameScanner.h"

#include "HartFrame.h"

namespace hartsim
{
namespace
{
constexpr uint8_t kLongAddressBit = 0x80;
constexpr uint8_t kExpansionBits = 0x60;
constexpr uint8_t kFrameTypeBits = 0x07;
// Burst (BACK), master to slave (STX), slave to master (ACK).
constexpr uint8_t kFrameTypes[] = {0x01, 0x02, 0x06};

std::size_t LeadingPreambles(const std::vector<uint8_t>& bytes)
{
    std::size_t start = 0;
    while (start < bytes.size() && bytes[start] == kPreamble)
        ++start;
    return start;
}

// Delimiter, address, expansion bytes, command and byte count.
std::size_t HeaderBytes(uint8_t delimiter)
{
    const std::size_t addressBytes = (delimiter & kLongAddressBit) != 0 ? 5 : 1;
    return 1 + addressBytes + ((delimiter & kExpansionBits) >> 5) + 2;
}
} // namespace

void FrameScanner::Add(const uint8_t* bytes, std::size_t count)
{
    buffer_.insert(buffer_.end(), bytes, bytes + count);
    DropSurplusPreambles();
}

void FrameScanner::DropSurplusPreambles()
{
    const std::size_t start = LeadingPreambles(buffer_);
    if (start > kMaxPreambles)
        buffer_.erase(buffer_.begin(),
                      buffer_.begin() + static_cast<std::ptrdiff_t>(start - kMaxPreambles));
}

bool FrameScanner::Take(std::vector<uint8_t>* frame)
{
    for (;;)
    {
        std::size_t length = 0;
        switch (ScanFront(&length))
        {
        case Scan::NeedMore:
            return false;
        case Scan::Garbage:
            buffer_.erase(buffer_.begin());
            DropSurplusPreambles();
            break;
        case Scan::Complete:
            frame->assign(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(length));
            buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(length));
            DropSurplusPreambles();
            return true;
        }
    }
}

std::size_t FrameScanner::Missing() const
{
    std::size_t length = 0;
    if (ScanFront(&length) != Scan::NeedMore)
        return 0;
    const std::size_t start = LeadingPreambles(buffer_);
    if (start == buffer_.size())
        return 0;
    const std::size_t header = HeaderBytes(buffer_[start]);
    if (buffer_.size() - start < header)
        return header - (buffer_.size() - start);
    return start + header + buffer_[start + header - 1] + 1 - buffer_.size();
}

bool FrameScanner::Started() const
{
    return !buffer_.empty() && buffer_.front() == kPreamble;
}

void FrameScanner::Clear()
{
    buffer_.clear();
}

FrameScanner::Scan FrameScanner::ScanFront(std::size_t* length) const
{
    const std::size_t start = LeadingPreambles(buffer_);
    if (start == buffer_.size())
        return Scan::NeedMore;
    if (start < kMinPreambles)
        return Scan::Garbage;
    const uint8_t delimiter = buffer_[start];
    bool known = false;
    for (uint8_t type : kFrameTypes)
        known = known || (delimiter & kFrameTypeBits) == type;
    if (!known)
        return Scan::Garbage;
    const std::size_t header = HeaderBytes(delimiter);
    if (buffer_.size() - start < header)
        return Scan::NeedMore;
    const std::size_t total = start + header + buffer_[start + header - 1] + 1;
    if (buffer_.size() < total)
        return Scan::NeedMore;
    *length = total;
    return Scan::Complete;
}

} // namespace hartsim

// Finds whole HART frames in a stream of received bytes, for the serial link and the transmitter
// program's port. It only frames: checksums, addresses and contents are left to the decoders
// (HartFrame.h, ShortFrame.h), and no timing between characters is checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace hartsim
{

// Finds whole frames in the bytes a receiver gathers from a line: preambles, a delimiter, the
// address (one or five bytes) and expansion bytes the delimiter announces, the command, the byte
// count, that many bytes and the check byte. Bytes that cannot start a frame are dropped, so a
// receiver that meets noise hunts for the next preambles; of a run of preambles only the last
// kMaxPreambles are kept, so an endless run costs neither memory nor time. The frame is not
// checked beyond its length; the decoders do that.
class FrameScanner
{
public:
    void Add(const uint8_t* bytes, std::size_t count);
    // Takes the next whole frame, preambles included; false while none is complete.
    bool Take(std::vector<uint8_t>* frame);
    // The bytes the frame in progress still needs at least (its byte count once the header is
    // there, else the rest of the header); 0 when no frame has started (preambles alone, or
    // nothing).
    std::size_t Missing() const;
    // True when a frame may have begun: the bytes held start with a preamble. A sender's answer has
    // started at its first preamble, however many more come before the delimiter.
    bool Started() const;
    // Drops a frame in progress, as a receiver does after a gap inside it.
    void Clear();

private:
    enum class Scan
    {
        NeedMore,
        Complete,
        Garbage
    };
    Scan ScanFront(std::size_t* length) const;
    void DropSurplusPreambles();

    std::vector<uint8_t> buffer_;
};

} // namespace hartsim

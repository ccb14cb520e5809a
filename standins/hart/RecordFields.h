// The names of the device record's fields, for scripts and the stress campaign that write into the
// record by hand: each name is one of the offsets at which the service files a value
// (RecordFiller.h), with the value's width. Only the fields the service files, and the three bytes
// of the identity that the page tests, have names; the record's other bytes belong to the service
// and are reached from a named field only by writing past its end.
#pragma once

#include <cstddef>
#include <string>

namespace hartsim
{

struct RecordField
{
    const char* name;
    std::size_t offset;
    std::size_t width;
};

extern const RecordField kRecordFields[];
extern const std::size_t kRecordFieldCount;

// The offset that "NAME" or "NAME+N" names (N a decimal byte number inside the field); false with
// a reason for an unknown name or a byte outside the field.
bool RecordFieldOffset(const std::string& text, std::size_t* offset, std::string* error);

} // namespace hartsim

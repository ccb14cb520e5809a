// The code tables' exported operations: NumStrPair's copies, CodeTable's lookups by index,
// code and label, and the byte-order functions swap16 and swap32.
#include "CodeTables.h"

#include <climits>
#include <utility>

namespace
{
// Not-found value of GetCode and GetCodeByStr: the most negative 32-bit value, 0x80000000.
constexpr int kNoCode = INT_MIN;
} // namespace

NumStrPair::NumStrPair() = default;
NumStrPair::~NumStrPair() = default;
NumStrPair::NumStrPair(const NumStrPair&) = default;
NumStrPair& NumStrPair::operator=(const NumStrPair&) = default;

CString CodeTable::GetStr(int index) const
{
    if (index < 0 || index >= count)
        return CString();
    return entries[index].str;
}

int CodeTable::GetCode(int index) const
{
    if (index < 0 || index >= count)
        return kNoCode;
    return entries[index].code;
}

int CodeTable::GetIndexByCode(int code) const
{
    for (int i = 0; i < count; ++i)
    {
        if (entries[i].code == code)
            return i;
    }
    return -1;
}

CString CodeTable::GetStrByCode(int code) const
{
    return GetStr(GetIndexByCode(code));
}

int CodeTable::GetCodeByStr(CString str) const
{
    for (int i = 0; i < count; ++i)
    {
        if (entries[i].str.Compare(str) == 0)
            return entries[i].code;
    }
    return kNoCode;
}

// Both swaps work on the bytes rather than on the integer value, so they may be applied to the
// storage of a float without reading it through an integer type.
void swap16(std::uint16_t* value)
{
    if (value == nullptr)
        return;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(value);
    std::swap(bytes[0], bytes[1]);
}

void swap32(std::uint32_t* value)
{
    if (value == nullptr)
        return;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(value);
    std::swap(bytes[0], bytes[3]);
    std::swap(bytes[1], bytes[2]);
}

// Whether a successful answer is whole (AnswerLength.h), as the command's catalogue entry says.
#include "AnswerLength.h"

#include "HartCommand.h"

namespace hartsim
{

bool AnswerIsWhole(uint8_t command, const std::vector<uint8_t>& request,
                   const std::vector<uint8_t>& data)
{
    const HartCommand* entry = FindCommand(command);
    return entry == nullptr || entry->AnswerIsWhole(request, data);
}

} // namespace hartsim

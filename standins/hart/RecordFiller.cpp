// Files a successful answer's data into a device record (RecordFiller.h) as the command's
// catalogue entry says.
#include "RecordFiller.h"

#include "HartCommand.h"

namespace hartsim
{

void FillRecord(uint8_t* record, uint8_t command, const std::vector<uint8_t>& request,
                const std::vector<uint8_t>& answer)
{
    if (const HartCommand* entry = FindCommand(command))
        entry->File(record, request, answer);
}

} // namespace hartsim

// The catalogue of the HART commands the host side knows (HartCommand.h): one line per command,
// each defined in its own CommandNNN.cpp. Everything that asks about a command number reads this
// list: the transmitter, the service's filing, the status words, the calibration record and the
// stress campaign's checks.
#include "HartCommand.h"

#include <algorithm>

namespace hartsim
{

extern const HartCommand& kCommand000;
extern const HartCommand& kCommand013;
extern const HartCommand& kCommand015;
extern const HartCommand& kCommand043;
extern const HartCommand& kCommand182;
extern const HartCommand& kCommand183;
extern const HartCommand& kCommand222;
extern const HartCommand& kCommand223;

const std::vector<const HartCommand*>& AllCommands()
{
    static const std::vector<const HartCommand*> commands = {
        &kCommand000, &kCommand013, &kCommand015, &kCommand043,
        &kCommand182, &kCommand183, &kCommand222, &kCommand223,
    };
    return commands;
}

const HartCommand* FindCommand(unsigned number)
{
    const std::vector<const HartCommand*>& commands = AllCommands();
    auto it = std::find_if(commands.begin(), commands.end(), [number](const HartCommand* command) {
        return command->Number() == number;
    });
    return it != commands.end() ? *it : nullptr;
}

bool IsWriteCommand(unsigned number)
{
    const HartCommand* command = FindCommand(number);
    return command != nullptr && command->Writes();
}

std::string HartCommand::Title() const
{
    return "command " + std::to_string(number_) + " (" + name_ + ")";
}

std::string HartCommand::RequestFault(const std::vector<uint8_t>& request) const
{
    if (request.size() == RequestBytes())
        return "";
    return Title() + " with " + std::to_string(request.size()) + " request bytes instead of " +
           std::to_string(RequestBytes());
}

} // namespace hartsim

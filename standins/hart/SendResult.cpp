// The mapping from an answer's response code to HartSendCmd's result (SendResult.h).
#include "SendResult.h"

#include "ResponseCodes.h"

namespace hartsim
{

uint8_t SendResult(std::optional<uint8_t> responseCode)
{
    if (!responseCode || IsCommunicationError(*responseCode))
        return kSendNoValidAnswer;
    if (CommandDone(*responseCode))
        return kSendDone;
    if (*responseCode == rc::kBusy)
        return kSendBusy;
    return *responseCode;
}

} // namespace hartsim

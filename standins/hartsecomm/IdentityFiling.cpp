// Files what a device's answers say into the identity the service keeps of it (IdentityFiling.h),
// as the commands' catalogue entries say, and describes that identity in one line.
#include "IdentityFiling.h"

#include <HartCommand.h>
#include <SendResult.h>

#include <stdio.h>

namespace hartsecomm
{
bool IdentityFromAnswer(const std::vector<uint8_t>& answer, uint8_t pollingAddress,
                        StandinIdentity* identity)
{
    hartsim::DeviceIdentity decoded;
    if (!hartsim::DecodeIdentity(answer, pollingAddress, &decoded))
        return false;
    identity->byPollingAddress = decoded.pollingAddress;
    identity->wExpandedDeviceType = decoded.expandedDeviceType;
    identity->nManufacturer = decoded.manufacturer ? *decoded.manufacturer : -1;
    identity->dwDeviceId = decoded.deviceId;
    identity->byHartRevision = decoded.hartRevision;
    identity->longAddress =
        hartsim::HexText(decoded.longAddress.data(), decoded.longAddress.size());
    return true;
}

void FileIdentityAnswer(uint8_t command, const std::vector<uint8_t>& answer,
                        StandinIdentity* identity)
{
    const hartsim::HartCommand* entry = hartsim::FindCommand(command);
    if (entry == nullptr)
        return;
    hartsim::DeviceNotes notes;
    entry->NoteIdentity(answer, &notes);
    if (notes.tag)
    {
        identity->tag = *notes.tag;
        identity->bTagRead = true;
    }
    if (notes.writeProtect)
        identity->nWriteProtect = *notes.writeProtect;
}

void ReadWhenFound(Link& link, const hartsim::LongAddress& address, StandinIdentity* identity)
{
    for (const hartsim::HartCommand* entry : hartsim::AllCommands())
    {
        if (!entry->ReadWhenFound())
            continue;
        const uint8_t command = entry->Number();
        hartsim::Answer answer;
        if (hartsim::DecodeAnswer(link.Exchange(hartsim::EncodeRequest({address, command, {}})),
                                  address, &answer) == hartsim::DecodeError::None &&
            hartsim::SendResult(answer.responseCode) == hartsim::kSendDone)
            FileIdentityAnswer(command, answer.data, identity);
    }
}

std::string DescribeIdentity(const StandinIdentity& identity)
{
    char szIds[96];
    if (identity.nManufacturer >= 0)
        snprintf(szIds, sizeof szIds, "manufacturer %02X, device type %04X, device id %06lX",
                 identity.nManufacturer, identity.wExpandedDeviceType,
                 static_cast<unsigned long>(identity.dwDeviceId));
    else
        snprintf(szIds, sizeof szIds, "device type %04X, device id %06lX",
                 identity.wExpandedDeviceType, static_cast<unsigned long>(identity.dwDeviceId));
    std::string text = identity.bTagRead ? "Tag " + identity.tag : std::string("No tag");
    text += std::string(": ") + szIds + ", HART " + std::to_string(identity.byHartRevision) +
            ", polling address " + std::to_string(identity.byPollingAddress) + ", long address " +
            identity.longAddress;
    switch (identity.nWriteProtect)
    {
    case 0:
        text += ", not write-protected";
        break;
    case 1:
        text += ", write-protected";
        break;
    case 250:
    case 251:
        text += ", no write protection implemented";
        break;
    default:
        text += ", write protection unknown";
        break;
    }
    return identity.bSimulated ? text + " (simulated)" : text;
}

} // namespace hartsecomm

#include "Link.h"

#include <ShortFrame.h>

#include <sstream>

namespace hartsecomm
{

bool ParseLinkSpec(const std::string& text, LinkSpec* spec, std::string* error)
{
    std::istringstream words(text);
    std::string kind, word;
    words >> kind;
    LinkSpec parsed;
    if (kind == "sim")
        parsed.kind = LinkSpec::Simulated;
    else if (kind == "serial")
        parsed.kind = LinkSpec::Serial;
    else if (kind == "hart-ip")
        parsed.kind = LinkSpec::HartIp;
    else
    {
        *error = "expected sim, serial COMn or hart-ip ADDRESS:PORT, not '" + text + "'";
        return false;
    }
    if (parsed.kind != LinkSpec::Simulated && !(words >> parsed.target))
    {
        *error = "missing port or address after " + kind;
        return false;
    }
    while (words >> word)
    {
        if (word == "rts" && parsed.kind == LinkSpec::Serial)
            parsed.keyWithRts = true;
        else if (word == "scan" && parsed.kind != LinkSpec::Simulated)
            parsed.lastPollingAddress = hartsim::kMaxPollingAddress;
        else
        {
            *error = "unknown option '" + word + "' of " + kind;
            return false;
        }
    }
    *spec = parsed;
    return true;
}

} // namespace hartsecomm

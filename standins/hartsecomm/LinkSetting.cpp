// Reads the text of a link setting ("sim", "serial COMn [rts] [scan]", "hart-ip ADDRESS:PORT
// [scan]") that the script's link and the GUI host's --link share (Link.h). It only parses: whether
// the port or the address exists is found out when the link opens.
#include "Link.h"

#include <ShortFrame.h>

#include <sstream>

namespace hartsecomm
{

bool ParseLinkSetting(const std::string& text, LinkSetting* setting, std::string* error)
{
    std::istringstream words(text);
    std::string kind, word;
    words >> kind;
    LinkSetting parsed;
    if (kind == "sim")
        parsed.kind = LinkSetting::Simulated;
    else if (kind == "serial")
        parsed.kind = LinkSetting::Serial;
    else if (kind == "hart-ip")
        parsed.kind = LinkSetting::HartIp;
    else
    {
        *error = "expected sim, serial COMn or hart-ip [udp] ADDRESS:PORT, not '" + text + "'";
        return false;
    }
    if (parsed.kind != LinkSetting::Simulated && !(words >> parsed.target))
    {
        *error = "missing port or address after " + kind;
        return false;
    }
    if (parsed.kind == LinkSetting::HartIp && (parsed.target == "udp" || parsed.target == "tcp"))
    {
        parsed.udp = parsed.target == "udp";
        if (!(words >> parsed.target))
        {
            *error = "missing address after " + kind + " " + (parsed.udp ? "udp" : "tcp");
            return false;
        }
    }
    while (words >> word)
    {
        if (word == "rts" && parsed.kind == LinkSetting::Serial)
            parsed.keyWithRts = true;
        else if (word == "scan" && parsed.kind != LinkSetting::Simulated)
            parsed.lastPollingAddress = hartsim::kMaxPollingAddress;
        else
        {
            *error = "unknown option '" + word + "' of " + kind;
            return false;
        }
    }
    *setting = parsed;
    return true;
}

} // namespace hartsecomm

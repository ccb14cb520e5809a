// The table of link kinds (Link.h) and the reader of a link setting ("sim", "serial COMn [rts]
// [scan]", "hart-ip [udp|tcp] ADDRESS:PORT [scan]") that the script's link and the GUI host's
// --link share. It only parses: whether the port or the address exists is found out when the link
// opens.
#include "Link.h"

#include <ShortFrame.h>

#include <sstream>
#include <vector>

namespace hartsecomm
{

// The open functions of the link files.
std::shared_ptr<Link> OpenSerialLink(const LinkSetting& setting, std::string* error);
std::shared_ptr<Link> OpenHartIpTcpLink(const LinkSetting& setting, std::string* error);
std::shared_ptr<Link> OpenHartIpUdpLink(const LinkSetting& setting, std::string* error);

const LinkKind kLinkKinds[] = {
    {"sim", nullptr, "sim", false, nullptr},
    {"serial", nullptr, "serial COMn", true, OpenSerialLink},
    {"hart-ip", "tcp", "hart-ip [udp] ADDRESS:PORT", false, OpenHartIpTcpLink},
    {"hart-ip", "udp", nullptr, false, OpenHartIpUdpLink},
};

namespace
{
// The first row of the word with the variant, or of the word alone when variant is null.
const LinkKind* FindKind(const std::string& word, const char* variant)
{
    for (const LinkKind& kind : kLinkKinds)
    {
        if (word == kind.word && (variant == nullptr || (kind.variant != nullptr &&
                                                         std::string(variant) == kind.variant)))
            return &kind;
    }
    return nullptr;
}

std::string Usages()
{
    std::vector<std::string> usages;
    for (const LinkKind& kind : kLinkKinds)
    {
        if (kind.usage != nullptr)
            usages.push_back(kind.usage);
    }
    std::string text;
    for (std::size_t i = 0; i < usages.size(); ++i)
        text += (i == 0 ? "" : i + 1 == usages.size() ? " or " : ", ") + usages[i];
    return text;
}
} // namespace

bool ParseLinkSetting(const std::string& text, LinkSetting* setting, std::string* error)
{
    std::istringstream words(text);
    std::string word, option;
    words >> word;
    LinkSetting parsed;
    parsed.kind = FindKind(word, nullptr);
    if (parsed.kind == nullptr)
    {
        *error = "expected " + Usages() + ", not '" + text + "'";
        return false;
    }
    if (parsed.kind->open != nullptr && !(words >> parsed.target))
    {
        *error = "missing port or address after " + word;
        return false;
    }
    if (const LinkKind* variant = FindKind(word, parsed.target.c_str()))
    {
        parsed.kind = variant;
        if (!(words >> parsed.target))
        {
            *error = "missing address after " + word + " " + variant->variant;
            return false;
        }
    }
    while (words >> option)
    {
        if (option == "rts" && parsed.kind->takesRts)
            parsed.keyWithRts = true;
        else if (option == "scan" && parsed.kind->open != nullptr)
            parsed.lastPollingAddress = hartsim::kMaxPollingAddress;
        else
        {
            *error = "unknown option '" + option + "' of " + word;
            return false;
        }
    }
    *setting = parsed;
    return true;
}

} // namespace hartsecomm

// The loopback address of a HART-IP server: parsed and checked once for the TCP and UDP servers.
#include "Loopback.h"

#include <arpa/inet.h>

#include <cstdlib>

bool ParseLoopbackAddress(const std::string& text, sockaddr_in* address, std::string* error)
{
    const std::size_t colon = text.rfind(':');
    *address = sockaddr_in{};
    address->sin_family = AF_INET;
    char* end = nullptr;
    const unsigned long port =
        colon == std::string::npos ? 0 : std::strtoul(text.c_str() + colon + 1, &end, 10);
    if (colon == std::string::npos || end == nullptr || *end != '\0' || port > 65535 ||
        inet_pton(AF_INET, text.substr(0, colon).c_str(), &address->sin_addr) != 1 ||
        (ntohl(address->sin_addr.s_addr) >> 24) != 127)
    {
        *error = "expected a loopback address and a port, as 127.0.0.1:5094, not '" + text + "'";
        return false;
    }
    address->sin_port = htons(static_cast<uint16_t>(port));
    return true;
}

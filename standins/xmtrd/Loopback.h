// The address a HART-IP server of the transmitter program listens on: a loopback IPv4 address and
// a port, as 127.0.0.1:5094 (port 0 for any free one). The program serves tests on this machine
// only, so any other address is refused.
#pragma once

#include <netinet/in.h>

#include <string>

// Fills *address from text; false, with *error saying why, when text is no loopback address.
bool ParseLoopbackAddress(const std::string& text, sockaddr_in* address, std::string* error);

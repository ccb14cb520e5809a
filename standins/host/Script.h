// Script mode: runs the host's commands line by line against the page and reports every event
// as one JSON line on standard output.
#pragma once

#include "HostApp.h"

#include <istream>

int RunScript(CHostApp& app, PageHost& host, std::istream& input);

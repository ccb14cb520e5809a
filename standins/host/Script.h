// Script mode: runs the host's commands line by line against the page and reports every event
// as one JSON line on standard output.
#pragma once

#include "HostApp.h"

#include <istream>
#include <string>

// auditFile: the calibration record the host keeps from the start (empty: none).
int RunScript(CHostApp& app, PageHost& host, std::istream& input, const std::wstring& auditFile);

// The script commands, one a line with its arguments and a line of help, after "script commands:".
std::string ScriptUsage();

// UTF-8 script text as the wide text that the page's controls take.
std::wstring Wide(const std::string& text);

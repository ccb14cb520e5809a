// The search for devices on a new link, off the window thread: it may take half a minute.
#pragma once

#include "Discovery.h"

#include <memory>

namespace hartsecomm
{

// Runs FindDevices on a thread of its own while the calling thread serves its window's messages
// (sent ones too), so the window keeps painting and answering. Each polling address is reported
// as a "scan" event before it is polled. The search ends after the address being polled when
// StopSearch is called or Escape is pressed in a window of the calling thread.
std::vector<FoundDevice> SearchServingWindow(const std::shared_ptr<Link>& link,
                                             uint8_t lastPollingAddress);
void StopSearch();

} // namespace hartsecomm

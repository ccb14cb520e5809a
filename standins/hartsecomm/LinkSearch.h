// The search for devices on a new link, off the window thread: it may take half a minute.
#pragma once

#include <StandinHart.h>

#include "Discovery.h"

#include <memory>

namespace hartsecomm
{

// A device the search found, with the identity its command-0 answer and the reads made when it
// was found (its tag, its write-protect code) give.
struct SearchedDevice
{
    FoundDevice found;
    StandinIdentity identity;
};

// Runs FindDevices and then the reads of every device found on a thread of its own, while the
// calling thread serves its window's messages (sent ones too), so the window keeps painting and
// answering. Each polling address is reported as a "scan" event before it is polled. StopSearch,
// or Escape pressed in a window of the calling thread, ends the search at once, inside an
// exchange too; what was found by then is returned, without the reads that did not happen.
std::vector<SearchedDevice> SearchServingWindow(const std::shared_ptr<Link>& link,
                                                uint8_t lastPollingAddress);
void StopSearch();

} // namespace hartsecomm

// The Lenswatch service process: dispatcher entry, service main function and
// control handler around the watch.
#pragma once

namespace lensbeacon {

// Hands the main thread to the service control dispatcher. Returns 0 in every
// case, so the program started by hand ends at once, silently.
int RunServiceDispatcher();

}  // namespace lensbeacon

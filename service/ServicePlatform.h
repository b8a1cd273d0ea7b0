#pragma once

// What mivo_srv needs from the operating system beyond what the framework's
// ServerApplication, Process and Boost's file_lock already provide.

namespace Pelu {

// Holds the stop signals (SIGINT, SIGTERM, SIGQUIT) pending for every
// thread from now on, so that the framework's wait for the termination
// request is the one place that receives them, and children started later
// get them back unblocked. Call on the main thread before any other thread
// exists.
void holdStopSignals();

}  // namespace Pelu

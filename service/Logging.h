#pragma once

#include <Poco/Logger.h>

namespace Pelu {

// The application logger. Inside the running service this is the logger the
// framework configured from the "logging." keys of the configuration file
// (named by "application.logger", "Application" by default); in programs
// and tests without an application object it is the logger of that default
// name, so library code can log the same way everywhere.
//
// Lines are built completely before they are handed over. For trace and
// debug lines use the poco_trace / poco_debug macros (or test
// logger.trace() first), so that a line whose level is off is never built.
Poco::Logger& appLogger();

}  // namespace Pelu

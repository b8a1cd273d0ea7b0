#pragma once

#include <Poco/Logger.h>

namespace Pelu {

// The application logger. Inside the running service this is the logger the
// framework configured from the "logging." keys of the configuration file
// (named by "application.logger", "Application" by default); in programs
// and tests without an application object it is the logger of that default
// name, so library code can log the same way everywhere.
//
// Lines are built completely before they are handed over. Trace and debug
// lines go through MIVO_TRACE / MIVO_DEBUG, which build the text only when
// the logger admits the priority, so they cost nothing at the usual
// information level. (The framework's own poco_trace / poco_debug macros
// vanish entirely from release builds, which would take the administrator's
// trace level away.)
Poco::Logger& appLogger();

}  // namespace Pelu

#define MIVO_TRACE(logger, text)         \
  do {                                   \
    Poco::Logger& mivoLogger_ = (logger); \
    if (mivoLogger_.trace()) mivoLogger_.trace(text); \
  } while (false)

#define MIVO_DEBUG(logger, text)         \
  do {                                   \
    Poco::Logger& mivoLogger_ = (logger); \
    if (mivoLogger_.debug()) mivoLogger_.debug(text); \
  } while (false)

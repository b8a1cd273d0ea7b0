#include "service/Logging.h"

#include <Poco/Exception.h>
#include <Poco/Util/Application.h>

namespace Pelu {

Poco::Logger& appLogger() {
  try {
    return Poco::Util::Application::instance().logger();
  } catch (const Poco::NullPointerException&) {
    // No application object: library code running in a test or a tool.
    return Poco::Logger::get("Application");
  }
}

}  // namespace Pelu

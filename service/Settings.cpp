#include "service/Settings.h"

#include <Poco/Exception.h>
#include <Poco/Format.h>
#include <Poco/Logger.h>
#include <Poco/Util/AbstractConfiguration.h>

namespace Pelu {

int readIntSetting(const Poco::Util::AbstractConfiguration& config, Poco::Logger& logger,
                   const std::string& key, int def, int min, int max) {
  int value = def;
  try {
    value = config.getInt(key, def);
  } catch (const Poco::SyntaxException& e) {
    logger.warning(e.displayText());
    value = def;
  }
  if (value < min || value > max) value = def;
  logger.information(Poco::format("%s = %d", key, value));
  return value;
}

bool readBoolSetting(const Poco::Util::AbstractConfiguration& config, Poco::Logger& logger,
                     const std::string& key, bool def) {
  bool value = def;
  try {
    value = config.getBool(key, def);
  } catch (const Poco::SyntaxException& e) {
    logger.warning(e.displayText());
    value = def;
  }
  logger.information(Poco::format("%s = %s", key, std::string(value ? "true" : "false")));
  return value;
}

}  // namespace Pelu

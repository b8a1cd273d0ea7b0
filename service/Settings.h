#pragma once

#include <string>

namespace Poco {
class Logger;
namespace Util {
class AbstractConfiguration;
}
}  // namespace Poco

namespace Pelu {

// Readers for the scheduler's settings. Each reports the value it settles
// on at information priority ("<key> = <value>"), so every start of the
// service logs the settings it really uses. A value of the wrong type is
// the only thing worth a warning; an out-of-range integer silently falls
// back to the default, and the information line showing the default is how
// an administrator sees that the value was refused.

// The key as an integer in [min, max]; `def` when missing, malformed or out
// of range.
int readIntSetting(const Poco::Util::AbstractConfiguration& config, Poco::Logger& logger,
                   const std::string& key, int def, int min, int max);

// The key as a boolean by the framework's rules (non-zero numbers, "true",
// "yes", "on"...); `def` when missing or malformed.
bool readBoolSetting(const Poco::Util::AbstractConfiguration& config, Poco::Logger& logger,
                     const std::string& key, bool def);

}  // namespace Pelu

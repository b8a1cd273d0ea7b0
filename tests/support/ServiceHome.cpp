#include "tests/support/ServiceHome.h"

#include <boost/filesystem.hpp>

#include <sstream>

namespace fs = boost::filesystem;

namespace mivo::test {

ServiceHome::ServiceHome(const std::string& binaryPath, const std::string& homeName)
    : tmp("mivo-srv"), homeDir(tmp / homeName) {
  fs::create_directories(bin());
  fs::copy_file(binaryPath, binary(), fs::copy_options::overwrite_existing);
  makeExecutable(binary());
}

void ServiceHome::configure(const std::map<std::string, std::string>& settings, const std::string& level) {
  std::ostringstream text;
  text << "logging.loggers.root.channel = console\n"
       << "logging.loggers.root.level = " << level << "\n"
       << "logging.channels.console.class = ConsoleChannel\n"
       << "logging.channels.console.formatter = plain\n"
       << "logging.formatters.plain.class = PatternFormatter\n"
       << "logging.formatters.plain.pattern = %p %t\n";
  for (const auto& [key, value] : settings) text << key << " = " << value << "\n";
  writeFile(bin() + "/mivo_srv.properties", text.str());
}

std::unique_ptr<ChildProcess> ServiceHome::start(const std::vector<std::string>& args,
                                                 const std::map<std::string, std::string>& env) {
  std::string outDir = tmp / ("run" + std::to_string(++runs));
  return std::make_unique<ChildProcess>(binary(), args, outDir, env);
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    result.push_back(line);
  }
  return result;
}

bool inOrder(const std::string& text, const std::vector<std::string>& needles) {
  std::string::size_type pos = 0;
  for (const auto& needle : needles) {
    pos = text.find(needle, pos);
    if (pos == std::string::npos) return false;
    pos += needle.size();
  }
  return true;
}

}  // namespace mivo::test

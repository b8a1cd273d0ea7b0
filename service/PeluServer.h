#pragma once

#include <Poco/Util/ServerApplication.h>

#include <string>
#include <vector>

namespace Pelu {

// The service application of mivo_srv. It runs in the foreground or, with
// the framework's --daemon option, detached; either way SIGINT, SIGTERM or
// SIGQUIT is the stop request. Its main step frames everything the service
// does: it decides the home directory, refuses a second instance, starts
// the main task and, at the stop request, waits for that task to finish.
//
// Runs on the process's main thread only. The home directory and process
// name it stores in the ServiceManager are written before any other thread
// exists and only read afterwards.
class PeluServer : public Poco::Util::ServerApplication {
 public:
  static constexpr const char* VERSION = "1.02.1";
  static constexpr const char* LOCK_FILE_NAME = "mivo_srv.lck";

  PeluServer() = default;

 protected:
  void initialize(Poco::Util::Application& self) override;
  void uninitialize() override;
  void defineOptions(Poco::Util::OptionSet& options) override;
  int main(const std::vector<std::string>& args) override;

  void onHelpOption(const std::string& name, const std::string& value);
  void printHelp();
  // Decides the home directory ("veviza.home", else two levels above the
  // executable's folder, else above the working folder) and stores it with
  // the process name in the ServiceManager.
  void resolveHome();

 private:
  bool helpRequested = false;
};

// The home directory derived from a folder path text (with or without a
// trailing "/"): its parent's parent, without a trailing "/" unless it is
// the root itself. "/app/mivo/bin/" gives "/app"; "/mivo/bin/" gives "/".
std::string homeFromExecutableDir(const std::string& dir);

// `path` without one trailing "/", except that the root stays "/".
std::string withoutTrailingSeparator(std::string path);

}  // namespace Pelu

#pragma once

#include <string>

namespace Pelu::Service {

// The one process-wide registry of the service: the home directory and the
// process name decided at start-up, and the services that serialise all
// database work. The two strings are written once by the service host before
// the main task starts and only read afterwards, so they need no lock.
class ServiceManager {
 public:
  static ServiceManager& instance();

  ServiceManager(const ServiceManager&) = delete;
  ServiceManager& operator=(const ServiceManager&) = delete;

  // Root of the directory tree (path id 1001), without a trailing separator.
  std::string homeDirectory;
  // The program's base name, written into the `process` column of log records.
  std::string processName;

 private:
  ServiceManager() = default;
};

}  // namespace Pelu::Service

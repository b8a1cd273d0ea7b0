#pragma once

#include "db/LogService.h"
#include "db/SessionService.h"
#include "db/SystemService.h"
#include "db/UserService.h"

#include <string>

namespace Pelu::Service {

// The one process-wide registry of the service: the home directory and the
// process name decided at start-up, and the services that serialise all
// database work. Lives for the whole process; the services are constructed
// in member order and destroyed in reverse, after every thread has ended.
//
// The two strings are written once by the service host before the main
// task starts and only read afterwards, so they need no lock. Each service
// guards itself with its own mutex and may be called from any thread.
class ServiceManager {
 public:
  static ServiceManager& instance();

  ServiceManager(const ServiceManager&) = delete;
  ServiceManager& operator=(const ServiceManager&) = delete;

  // Set once before threads start.
  // Root of the directory tree (path id 1001), without a trailing separator.
  std::string homeDirectory;
  // The program's base name, written into the `process` column of log records.
  std::string processName;

  UserService userService;
  LogService logService;
  SystemService systemService;
  SessionService sessionService;

 private:
  ServiceManager() = default;
};

}  // namespace Pelu::Service

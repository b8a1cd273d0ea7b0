#include "service/PeluServer.h"

#include "db/LogCodes.h"
#include "db/ServiceManager.h"
#include "scheduler/MainTask.h"
#include "service/InstanceLock.h"
#include "service/Logging.h"
#include "service/Paths.h"
#include "service/ServicePlatform.h"

#include <Poco/ErrorHandler.h>
#include <Poco/Format.h>
#include <Poco/Logger.h>
#include <Poco/Path.h>
#include <Poco/Observer.h>
#include <Poco/TaskManager.h>
#include <Poco/TaskNotification.h>
#include <Poco/Util/HelpFormatter.h>
#include <Poco/Util/Option.h>
#include <Poco/Util/OptionCallback.h>

#include <exception>
#include <iostream>

namespace Pelu {

namespace {

// Errors that framework threads absorb (a timer run of the main task, a
// pool thread) end up here. They keep their schedule, but an administrator
// must still see what went wrong.
class LoggingErrorHandler : public Poco::ErrorHandler {
 public:
  void exception(const Poco::Exception& e) override { appLogger().error(e.displayText()); }
  void exception(const std::exception& e) override { appLogger().error(e.what()); }
  void exception() override { appLogger().error("unknown exception"); }
};

// The main task ends early only through an error (for example a users
// database that cannot be read at start). The service then stays up doing
// nothing until it is stopped, so the reason must reach the log.
class TaskFailureLogger {
 public:
  void onFailed(Poco::TaskFailedNotification* notification) {
    Poco::AutoPtr<Poco::TaskFailedNotification> owned(notification);
    appLogger().error(owned->reason().displayText());
  }
};

}  // namespace

std::string withoutTrailingSeparator(std::string path) {
  if (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string homeFromExecutableDir(const std::string& dir) {
  Poco::Path p(dir);
  p.makeDirectory();
  p.popDirectory();
  p.popDirectory();
  return withoutTrailingSeparator(p.toString());
}

void PeluServer::initialize(Poco::Util::Application& self) {
  loadConfiguration();
  ServerApplication::initialize(self);
  logger().information("starting up");
}

void PeluServer::uninitialize() {
  logger().information("shutting down");
  ServerApplication::uninitialize();
}

void PeluServer::defineOptions(Poco::Util::OptionSet& options) {
  ServerApplication::defineOptions(options);
  options.addOption(Poco::Util::Option("help", "h", "display help information on command line arguments")
                        .required(false)
                        .repeatable(false)
                        .callback(Poco::Util::OptionCallback<PeluServer>(this, &PeluServer::onHelpOption)));
}

void PeluServer::onHelpOption(const std::string&, const std::string&) {
  helpRequested = true;
  printHelp();
  stopOptionsProcessing();
}

void PeluServer::printHelp() {
  Poco::Util::HelpFormatter helpFormatter(options());
  helpFormatter.setCommand(commandName());
  helpFormatter.setUsage("OPTIONS");
  helpFormatter.setHeader("Mivo server application");
  helpFormatter.format(std::cout);
}

void PeluServer::resolveHome() {
  std::string home;
  if (config().has("veviza.home")) {
    home = config().getString("veviza.home");
  } else if (config().has("application.dir")) {
    home = homeFromExecutableDir(config().getString("application.dir"));
  } else {
    home = homeFromExecutableDir(Poco::Path::current());
  }
  home = withoutTrailingSeparator(home);

  auto& manager = Service::ServiceManager::instance();
  manager.homeDirectory = home;
  manager.processName = commandName();

  Poco::Logger& log = logger();
  log.information(Poco::format("application.version = %s", std::string(VERSION)));
  if (log.debug()) log.debug("system.currentDir = " + config().getString("system.currentDir", ""));
  log.information("application.dir = " + home);
}

int PeluServer::main(const std::vector<std::string>&) {
  if (helpRequested) return EXIT_OK;

  holdStopSignals();
  resolveHome();

  Poco::Logger& log = logger();
  MIVO_DEBUG(log, "check multiple starts");
  InstanceLock instanceLock(joinPath(resolvePath(BIN_DIR), LOCK_FILE_NAME));
  MIVO_DEBUG(log, "lock file: " + instanceLock.path());

  switch (instanceLock.acquire()) {
    case InstanceLock::Result::CannotOpen:
      log.error("coundn't open lock file: " + instanceLock.path());
      return EXIT_CANTCREAT;
    case InstanceLock::Result::HeldElsewhere:
      log.information("detected multiple starts");
      return EXIT_UNAVAILABLE;
    case InstanceLock::Result::Acquired:
      break;
  }

  Service::ServiceManager::instance().logService.addEventLog(DB::EVENT_SERVICE_START, 0);

  // Process-wide and never restored: framework threads may report errors
  // until the very end.
  static LoggingErrorHandler errorHandler;
  Poco::ErrorHandler::set(&errorHandler);

  TaskFailureLogger failureLogger;  // outlives the task manager that calls it
  Poco::TaskManager taskManager;
  taskManager.addObserver(
      Poco::Observer<TaskFailureLogger, Poco::TaskFailedNotification>(failureLogger, &TaskFailureLogger::onFailed));
  taskManager.start(new MainTask);  // the task manager owns the task

  waitForTerminationRequest();

  // The main task acts on the cancellation once no job waits, then waits
  // for its workers: a running job's commands finish first. It is stopped
  // and joined even when the stop record cannot be written, so no worker
  // outlives main; that error then ends the service like any other.
  std::exception_ptr recordError;
  try {
    Service::ServiceManager::instance().logService.addEventLog(DB::EVENT_SERVICE_STOP, 0);
  } catch (...) {
    recordError = std::current_exception();
  }
  taskManager.cancelAll();
  taskManager.joinAll();
  if (recordError) std::rethrow_exception(recordError);
  return EXIT_OK;
}

}  // namespace Pelu

#include "scheduler/ProcessWorker.h"

#include "db/LogCodes.h"
#include "db/ServiceManager.h"
#include "db/UserLockGuard.h"
#include "scheduler/JobQueue.h"
#include "service/Logging.h"
#include "service/Paths.h"

#include <Poco/DateTimeFormatter.h>
#include <Poco/Exception.h>
#include <Poco/File.h>
#include <Poco/Format.h>
#include <Poco/LocalDateTime.h>
#include <Poco/Logger.h>
#include <Poco/Process.h>

#include <fstream>
#include <vector>

namespace Pelu {

ProcessWorker::ProcessWorker(int number, JobQueue& queue) : number(number), queue(queue), logger(appLogger()) {}

ProcessWorker::~ProcessWorker() = default;

void ProcessWorker::run() {
  for (;;) {
    ProcessNotification::Ptr job = queue.waitJob();
    if (!job) {
      // The queue was stopped: the normal farewell of every worker.
      logger.error("ERROR GETTING NOTIFICATION FROM QUEUE.");
      return;
    }
    const int id = job->userId;
    MIVO_TRACE(logger, Poco::format("START PROC ID %d", id));
    processUser(id);
    queue.removeJob(id);
    MIVO_TRACE(logger, Poco::format("END PROC ID %d", id));
    writeStatusFile();
  }
}

void ProcessWorker::processUser(int id) {
  auto& users = Service::ServiceManager::instance().userService;
  auto& logs = Service::ServiceManager::instance().logService;
  // One handler for the whole job: an error while testing the marker,
  // taking the lock or recording a refusal must not end this worker thread
  // or leave the user queued for good, any more than an error while the
  // commands run.
  try {
    if (Poco::File(joinPath(resolvePath(BIN_DIR), ".maintenance")).exists()) {
      MIVO_TRACE(logger, "SKIP BECAUSE MAINTENANCE MODE");
      return;
    }

    const bool locked = users.lockUser(id, Service::LOCK_KIND_SYNC_JOB);
    Service::UserLockGuard guard(users, id, Service::LOCK_KIND_SYNC_JOB, locked);
    if (locked) {
      logs.addEventLog(DB::EVENT_SYNC_START, id);
      runCommands(id);
      logs.addEventLog(DB::EVENT_SYNC_END, id);
    } else {
      MIVO_TRACE(logger, Poco::format("LOCKED ID %d", id));
      logs.addEventLog(DB::EVENT_SYNC_SKIPPED, id);
      recoverStaleLock(id);
    }
  } catch (const Poco::Exception& e) {
    logger.error(Poco::format("ERROR PROC ID %d : %s", id, e.displayText()));
  } catch (const std::exception& e) {
    logger.error(Poco::format("ERROR PROC ID %d : %s", id, std::string(e.what())));
  }
}

void ProcessWorker::runCommands(int id) {
  const std::string home = resolvePath(HOME_DIR);
  const std::string bin = resolvePath(BIN_DIR);
  MIVO_TRACE(logger, "rootDir [" + home + "]");
  MIVO_TRACE(logger, "binDir [" + bin + "]");

  // Separate argv entries: the home arrives as one argument, spaces and
  // all, without quotes.
  const Poco::Process::Args args{"--HOME", home, "--USERS-ID", std::to_string(id)};

  const std::string dn = resolvePath(DN_COMMAND);
  const std::string cd = resolvePath(CD_COMMAND);
  const std::string sequence[] = {cd, dn, cd, dn};

  for (int step = 1; step <= 4; ++step) {
    const std::string& program = sequence[step - 1];
    MIVO_TRACE(logger, Poco::format("CMD%d [", step) + program + "]");
    // A command that cannot be started is an error of the job, not a failed
    // sync. The child of fork() can only report a failed exec as an exit
    // code, indistinguishable from the command's own, so test first.
    if (!Poco::File(program).exists()) throw Poco::FileNotFoundException("cannot start command", program);
    if (!Poco::File(program).canExecute()) throw Poco::FileAccessDeniedException("cannot start command", program);
    Poco::ProcessHandle child = Poco::Process::launch(program, args, bin);
    const int exitCode = child.wait();
    if (exitCode != 0) {
      MIVO_TRACE(logger, Poco::format("CMD%d ERROR [%s] : %d", step, program, exitCode));
      return;
    }
  }
}

void ProcessWorker::recoverStaleLock(int id) {
  auto& users = Service::ServiceManager::instance().userService;
  if (users.isUserLocked(id, Service::LOCK_KIND_OTHER_PROGRAM) || users.isUserLocked(id, Service::LOCK_KIND_SYNC_JOB))
    return;  // a genuine lock: leave it to its holder
  switch (users.unlockUser(id, Service::LOCK_KIND_ANY)) {
    case Service::UNLOCK_REMOVED:
      MIVO_TRACE(logger, "user unlock : successful");
      break;
    case Service::UNLOCK_NOT_LOCKED:
      MIVO_TRACE(logger, "user unlock : not locked");
      break;
    case Service::UNLOCK_OTHER_KIND:
      MIVO_TRACE(logger, "user unlock : not directory");
      break;
    case Service::UNLOCK_FAILED:
      logger.error("user unlock : directory removal failed");
      break;
  }
}

void ProcessWorker::writeStatusFile() {
  try {
    std::ofstream out(joinPath(resolvePath(BIN_DIR), "worker_" + std::to_string(number)),
                      std::ios::out | std::ios::trunc);
    if (out) out << Poco::DateTimeFormatter::format(Poco::LocalDateTime(), "%Y-%m-%d %H:%M:%S");
  } catch (const std::exception&) {
    // The status file is a courtesy to outside observers; a bin folder that
    // cannot be resolved must not end the worker.
  }
}

}  // namespace Pelu

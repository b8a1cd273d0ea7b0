#include "scheduler/MainTask.h"

#include "backup/CalendarBackup.h"
#include "db/ServiceManager.h"
#include "scheduler/ExpiredFileRemoval.h"
#include "scheduler/ProcessWorker.h"
#include "service/Logging.h"
#include "service/Settings.h"

#include <Poco/AutoPtr.h>
#include <Poco/DateTimeFormatter.h>
#include <Poco/Format.h>
#include <Poco/Thread.h>
#include <Poco/ThreadPool.h>
#include <Poco/Timespan.h>
#include <Poco/Util/Application.h>
#include <Poco/Util/Timer.h>
#include <Poco/Util/TimerTaskAdapter.h>

#include <vector>

namespace Pelu {

namespace {

constexpr const char* kScheduleFormat = "%Y-%m-%dT%H:%M:%S%z";

Poco::LocalDateTime localMidnight(const Poco::LocalDateTime& now) {
  return Poco::LocalDateTime(now.year(), now.month(), now.day());
}

}  // namespace

Poco::LocalDateTime firstBackupTime(const Poco::LocalDateTime& now, int hours) {
  return localMidnight(now) + Poco::Timespan(0, hours, 0, 0, 0);
}

Poco::LocalDateTime firstRemovalTime(const Poco::LocalDateTime& now) {
  return localMidnight(now) + Poco::Timespan(86400, 0);
}

MainTask::MainTask() : Poco::Task("MainTask") {}

void MainTask::loadSettings() {
  const auto& config = Poco::Util::Application::instance().config();
  Poco::Logger& log = appLogger();
  processCount = readIntSetting(config, log, "synctask.process", 3, 1, 32);
  maxErrorCount = readIntSetting(config, log, "synctask.userAccount.maxErrorCount", 10, 0, 1000);
  triggerSeconds = readIntSetting(config, log, "synctask.check.trigger", 1, 1, 36000);
  intervalMinutes = readIntSetting(config, log, "synctask.check.interval", 10, 10, 1440);
  backupEnabled = readBoolSetting(config, log, "synctask.backup.enable", true);
  backupIntervalHours = readIntSetting(config, log, "synctask.backup.interval", 24, 1, 8760);
  removalEnabled = readBoolSetting(config, log, "synctask.removePassingFiles.enable", false);
  logSurvivalMonths = readIntSetting(config, log, "synctask.removePassingFiles.logSurvivalMonth", 6, 2, 120);
  backupSurvivalDays = readIntSetting(config, log, "synctask.removePassingFiles.backupSurvivalDay", 30, 3, 3650);
}

void MainTask::clearUserLocks() {
  auto& users = Service::ServiceManager::instance().userService;
  Poco::Logger& log = appLogger();
  const DB::UsersListPtr rows = users.getAllUsers();
  for (const auto& row : *rows) {
    if (row.id == 0) continue;
    if (users.isUserLocked(row.id, Service::LOCK_KIND_SYNC_JOB)) {
      MIVO_TRACE(log, Poco::format("user is locking B ID[%d]", row.id));
    } else if (users.isUserLocked(row.id, Service::LOCK_KIND_OTHER_PROGRAM)) {
      MIVO_TRACE(log, Poco::format("user is locking A ID[%d]", row.id));
    }
    // Whatever it holds: no job of this process can own it yet.
    users.unlockUser(row.id, Service::LOCK_KIND_ANY);
  }
}

void MainTask::runTask() {
  using Adapter = Poco::Util::TimerTaskAdapter<MainTask>;
  Poco::Logger& log = appLogger();

  loadSettings();
  clearUserLocks();

  Poco::ThreadPool pool(1, 32, 60);
  std::vector<Poco::AutoPtr<ProcessWorker>> workers;
  for (int n = 1; n <= processCount; ++n) {
    workers.emplace_back(new ProcessWorker(n, jobQueue));
    pool.start(*workers.back());
  }

  Poco::Util::Timer timer;

  const long triggerPeriod = static_cast<long>(triggerSeconds) * 1000;
  timer.scheduleAtFixedRate(new Adapter(*this, &MainTask::onCheckTrigger), 1000, triggerPeriod);
  MIVO_TRACE(log, Poco::format("Check Trigger [%ld]", triggerPeriod));

  const long intervalPeriod = static_cast<long>(intervalMinutes) * 60000;
  timer.scheduleAtFixedRate(new Adapter(*this, &MainTask::onInterval), 2000, intervalPeriod);
  MIVO_TRACE(log, "INTERVAL [" + Poco::format("%ld", intervalPeriod) + "]");

  const Poco::LocalDateTime now;
  if (backupEnabled) {
    const Poco::LocalDateTime first = firstBackupTime(now, backupIntervalHours);
    const long backupPeriod = static_cast<long>(backupIntervalHours) * 3600000L;
    timer.scheduleAtFixedRate(new Adapter(*this, &MainTask::onBackup), first.timestamp(), backupPeriod);
    MIVO_TRACE(log, "BACKUP DATE [" + Poco::DateTimeFormatter::format(first, kScheduleFormat) + "]" +
                        Poco::format(" INTERVAL [%Ld]", static_cast<Poco::Int64>(backupPeriod)));
  } else {
    MIVO_TRACE(log, "BACKUP DISABLE!!");
  }

  if (removalEnabled) {
    const Poco::LocalDateTime first = firstRemovalTime(now);
    const long removalPeriod = 86400000L;
    timer.scheduleAtFixedRate(new Adapter(*this, &MainTask::onRemovePassingFiles), first.timestamp(),
                              removalPeriod);
    MIVO_TRACE(log, "REMOVE PASSING FILES DATE [" + Poco::DateTimeFormatter::format(first, kScheduleFormat) +
                        "]" + Poco::format(" INTERVAL [%Ld]", static_cast<Poco::Int64>(removalPeriod)));
  } else {
    MIVO_TRACE(log, "REMOVE PASSING FILES DISABLE!!");
  }

  // Idle. A cancellation is acted upon only once no job waits: the jobs
  // already queued when the stop request came are still run. Jobs that
  // workers are running do not hold this loop up.
  bool cancelled = sleep(100);
  while (!cancelled) {
    while (!jobQueue.empty()) Poco::Thread::sleep(200);
    cancelled = sleep(100);
  }

  // Shut-down, in this order:
  // 1. cancel the timer without waiting for a callback that is running (a
  //    backup may take minutes), so no new periodic work starts;
  // 2. let the workers take the jobs still waiting: a request check may
  //    have queued one during the last wait above, after the queue was
  //    last seen empty, and a stop must not silently drop it;
  // 3. stop the queue: idle workers wake with no job and end, a busy worker
  //    ends after finishing its job (its commands have no time limit); a
  //    job that a still-running check adds now is discarded, and its user
  //    is queued again after the next start;
  // 4. wait for every pool thread;
  // 5. the timer, the workers and the pool are released at scope end.
  timer.cancel(false);
  while (!jobQueue.empty()) Poco::Thread::sleep(200);
  jobQueue.stop();
  pool.joinAll();
}

void MainTask::onCheckTrigger(Poco::Util::TimerTask&) {
  auto& users = Service::ServiceManager::instance().userService;
  const DB::UsersListPtr rows = users.getRequestedUsers();
  for (auto& row : *rows) {
    if (row.id == 0) continue;
    jobQueue.addJob(new ProcessNotification(row.id));
    // Consumed also when the user's job is already queued or running: that
    // job covers the request.
    row.trigger = 0;
    users.saveUsers(row);
  }
}

void MainTask::onInterval(Poco::Util::TimerTask&) {
  auto& users = Service::ServiceManager::instance().userService;
  const DB::UsersListPtr rows = users.getActiveUsers();
  for (const auto& row : *rows) {
    if (row.id != 0) jobQueue.addJob(new ProcessNotification(row.id));
  }
}

void MainTask::onBackup(Poco::Util::TimerTask&) { RunCalendarBackup(); }

void MainTask::onRemovePassingFiles(Poco::Util::TimerTask&) {
  removeExpiredFiles(logSurvivalMonths, backupSurvivalDays);
}

}  // namespace Pelu

#pragma once

#include "scheduler/JobQueue.h"

#include <Poco/LocalDateTime.h>
#include <Poco/Task.h>
#include <Poco/Timestamp.h>

namespace Poco::Util {
class TimerTask;
}

namespace Pelu {

// The heart of the service. Started once by the service host in its task
// manager, it reads the settings, clears user locks left by an earlier run,
// starts the worker pool and one timer with four fixed-rate activities:
//   request check  every `triggerSeconds`, first after 1 s
//   all active users every `intervalMinutes`, first after 2 s
//   calendar backup every `backupIntervalHours`, first at today's local
//                    midnight plus that period (at once when already past)
//   expired removal daily, first at the next local midnight
// The activities share the timer's one thread and never overlap. The task
// then idles until it is cancelled and shuts everything down in order (see
// runTask). Threads: runTask on a task-manager thread; the on… callbacks on
// the timer thread; the job queue is shared with the workers.
class MainTask : public Poco::Task {
 public:
  MainTask();

  void runTask() override;

  // Timer callbacks (timer thread).
  void onCheckTrigger(Poco::Util::TimerTask& task);
  void onInterval(Poco::Util::TimerTask& task);
  void onBackup(Poco::Util::TimerTask& task);
  void onRemovePassingFiles(Poco::Util::TimerTask& task);

  // Reads the nine "synctask." settings from the application's
  // configuration, reporting each effective value.
  void loadSettings();
  // Removes every user's lock folder left by an earlier run, tracing the
  // kind found.
  void clearUserLocks();

  JobQueue& queue() { return jobQueue; }

 private:
  JobQueue jobQueue;

  // Set by the constructor, replaced by loadSettings before any other
  // thread of this task exists; read-only afterwards.
  int processCount = 3;
  int triggerSeconds = 1;
  int intervalMinutes = 10;
  int backupIntervalHours = 24;
  bool backupEnabled = true;
  bool removalEnabled = false;
  int logSurvivalMonths = 6;
  int backupSurvivalDays = 30;
  int maxErrorCount = 10;  // reported only; nothing depends on it
};

// First planned backup: 00:00:00 of `now`'s local day plus `hours` hours.
// May lie in the past; a fixed-rate timer then runs it at once.
//   15:30, 24 h -> tomorrow 00:00;  15:30, 12 h -> today 12:00 (past)
Poco::LocalDateTime firstBackupTime(const Poco::LocalDateTime& now, int hours);
// First expired-file removal: the next local midnight.
Poco::LocalDateTime firstRemovalTime(const Poco::LocalDateTime& now);

}  // namespace Pelu

#pragma once

#include "scheduler/ProcessNotification.h"

#include <Poco/NotificationQueue.h>

#include <atomic>
#include <list>
#include <mutex>

namespace Pelu {

// The first-in-first-out queue of sync jobs between the main task's timer
// (which adds jobs) and the worker threads (which take and finish them).
//
// Invariant: a user id is in `queuedIds` from the moment its job is queued
// until the worker that took the job calls removeJob, so at most one job
// per user exists, waiting or running. That keeps two workers away from the
// same user and makes a request for a busy user a no-op.
//
// Shutdown: stop() marks the queue stopped and wakes every waiting worker
// with no job; from then on waitJob answers "none" at once and jobs still
// waiting are never run. A worker busy with a job sees that after its job.
class JobQueue {
 public:
  JobQueue() = default;
  JobQueue(const JobQueue&) = delete;
  JobQueue& operator=(const JobQueue&) = delete;

  // Queues the job unless it is no ProcessNotification, names user 0, or its
  // user is already queued or in process; a dropped job is released
  // silently. Timer thread.
  void addJob(const Poco::AutoPtr<Poco::Notification>& notification);

  // Forgets a finished user. Worker threads, after each job.
  void removeJob(int id);

  // Blocks until a job is available and takes it; null once stopped.
  // Worker threads.
  ProcessNotification::Ptr waitJob();

  // True when no job waits; jobs being processed do not count.
  bool empty() const;

  // Main task thread, once, at shut-down.
  void stop();

 private:
  Poco::NotificationQueue notifications;
  std::atomic<bool> stopped{false};

  // Guards queuedIds.
  mutable std::mutex idsMutex;
  std::list<int> queuedIds;  // in arrival order: queued or being processed
};

}  // namespace Pelu

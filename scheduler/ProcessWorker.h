#pragma once

#include <Poco/RefCountedObject.h>
#include <Poco/Runnable.h>

#include <string>

namespace Poco {
class Logger;
}

namespace Pelu {

class JobQueue;

// One worker of the sync pool. It runs on a thread of the main task's pool,
// takes jobs from the shared queue one at a time, runs the per-user sync
// job, forgets the user in the queue and stamps its status file, until the
// queue is stopped. The main task owns the worker (and the queue) for as
// long as its pool runs.
class ProcessWorker : public Poco::Runnable, public Poco::RefCountedObject {
 public:
  // `number` counts from 1; it names the status file "worker_<number>".
  ProcessWorker(int number, JobQueue& queue);
  ~ProcessWorker() override;
  ProcessWorker(const ProcessWorker&) = delete;
  ProcessWorker& operator=(const ProcessWorker&) = delete;

  void run() override;

  // The per-user job. Never throws: any error is logged as
  // "ERROR PROC ID <id> : <description>", and a user lock taken here is
  // released however the job ends.
  void processUser(int id);

  // Writes the local time of the last finished job into the bin folder's
  // "worker_<number>"; a file that cannot be written is ignored.
  void writeStatusFile();

 private:
  // Runs mivo_cd.exe, mivo_dn.exe, mivo_cd.exe, mivo_dn.exe with the home
  // and the user id, stopping at the first non-zero exit code. Throws when
  // a command cannot be started.
  void runCommands(int id);
  // After a refused lock: removes a lock folder that holds no marker of
  // either kind (left, for example, by a crash between its two creation
  // steps), so the user's next job can run.
  void recoverStaleLock(int id);

  const int number;
  JobQueue& queue;
  Poco::Logger& logger;
};

}  // namespace Pelu

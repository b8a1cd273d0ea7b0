#pragma once

#include <boost/interprocess/sync/file_lock.hpp>

#include <memory>
#include <string>

namespace Pelu {

// The single-instance lock of the service: the lock file in the bin folder
// and an exclusive, non-waiting lock on it, held from start-up until the
// service ends. The file itself is never deleted; it stays on disk, empty,
// so a stale file left by a crash is simply truncated and locked again.
//
// POSIX record locks belong to the process: a second lock taken on the same
// file from the same process succeeds. This object therefore only guards
// against a second *process*; the service takes it once, on the main thread.
class InstanceLock {
 public:
  enum class Result { Acquired, CannotOpen, HeldElsewhere };

  explicit InstanceLock(std::string path);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Creates or truncates the file, opens it for locking and tries the lock.
  Result acquire();
  // Releases the lock (if held) and closes the file. Called by the destructor.
  void release();

  const std::string& path() const { return lockPath; }

 private:
  std::string lockPath;
  std::unique_ptr<boost::interprocess::file_lock> lock;
  bool held = false;
};

}  // namespace Pelu

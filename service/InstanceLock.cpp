#include "service/InstanceLock.h"

#include <boost/interprocess/exceptions.hpp>

#include <fstream>

namespace Pelu {

InstanceLock::InstanceLock(std::string path) : lockPath(std::move(path)) {}

InstanceLock::~InstanceLock() { release(); }

InstanceLock::Result InstanceLock::acquire() {
  {
    // Create the file, or empty one left by an earlier run.
    std::ofstream create(lockPath, std::ios::out | std::ios::trunc);
    if (!create) return Result::CannotOpen;
  }
  try {
    // Opening for locking can still fail when the file vanished or was made
    // unreadable in between; that ends the start like a file that cannot
    // be created.
    lock = std::make_unique<boost::interprocess::file_lock>(lockPath.c_str());
  } catch (const boost::interprocess::interprocess_exception&) {
    return Result::CannotOpen;
  }
  try {
    held = lock->try_lock();
  } catch (const boost::interprocess::interprocess_exception&) {
    lock.reset();
    return Result::CannotOpen;
  }
  if (!held) {
    lock.reset();
    return Result::HeldElsewhere;
  }
  return Result::Acquired;
}

void InstanceLock::release() {
  if (held) {
    try {
      lock->unlock();
    } catch (const boost::interprocess::interprocess_exception&) {
      // Closing the file below drops the lock anyway.
    }
    held = false;
  }
  lock.reset();
}

}  // namespace Pelu

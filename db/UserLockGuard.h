#pragma once

namespace Pelu::Service {

class UserService;

// Holds a user lock for one scope and releases it however the scope ends,
// also by an exception. A per-user job makes it right after lockUser:
//
//   UserLockGuard guard(usersId, LOCK_KIND_SYNC_JOB,
//                       userService.lockUser(usersId, LOCK_KIND_SYNC_JOB));
//   if (!guard.isHeld()) ... skip the user ...
//
// Lives on the stack of one thread.
class UserLockGuard {
 public:
  // `held`: whether the lock was taken; only a held lock is released.
  // Borrows `service`, which must outlive the guard.
  UserLockGuard(UserService& service, int usersId, int kind, bool held);
  // The same with the process's UserService.
  UserLockGuard(int usersId, int kind, bool held);
  // Calls unlockUser(usersId, kind) when held; the result is not examined.
  // A file-system error of the release is logged, never thrown.
  ~UserLockGuard();
  UserLockGuard(const UserLockGuard&) = delete;
  UserLockGuard& operator=(const UserLockGuard&) = delete;

  bool isHeld() const { return held; }

 private:
  UserService& service;
  int usersId;
  int kind;
  bool held;
};

}  // namespace Pelu::Service

#pragma once

#include "db/AbstractBaseService.h"
#include "db/AuthDAO.h"
#include "db/Calendar.h"
#include "db/CalendarDAO.h"
#include "db/CalendarLinkDAO.h"
#include "db/UserDAO.h"
#include "db/UserSettingsDAO.h"
#include "db/Users.h"
#include "db/UsersDAO.h"
#include "db/VevizaUserDAO.h"

#include <chrono>
#include <memory>

namespace Pelu::Service {

// Kinds of user lock. Each kind has its own marker folder inside the user's
// lock folder, so every program can tell who holds the lock.
constexpr int LOCK_KIND_ANY = 0;            // either kind (the lock folder itself)
constexpr int LOCK_KIND_OTHER_PROGRAM = 10; // marker "A": another program of the installation
constexpr int LOCK_KIND_SYNC_JOB = 20;      // marker "B": the service's per-user sync job

// Results of UserService::unlockUser.
constexpr int UNLOCK_REMOVED = 100;     // the lock folder was removed
constexpr int UNLOCK_NOT_LOCKED = 101;  // there was no lock folder
constexpr int UNLOCK_OTHER_KIND = 102;  // locked, but not with the asked kind; left in place
constexpr int UNLOCK_FAILED = 103;      // the removal failed; the error is logged

// The users queue, the users' calendars and the user locks.
//
// The list, save and calendar operations hold the service mutex for their
// whole run (they are called from the main task's thread and its timer
// thread). The lock operations work on folders only and take no mutex: they
// run on the worker threads and the main task's thread, and the lock folder,
// which the other programs of the installation test too, is the only
// coordination.
class UserService : public AbstractBaseService {
 public:
  // Every user (status 0 or more).
  DB::UsersListPtr getAllUsers();
  // Users taking part in the periodic synchronisation (status 20 or more).
  DB::UsersListPtr getActiveUsers();
  // Users whose synchronisation was requested (status 20, trigger 10),
  // least recently updated first.
  DB::UsersListPtr getRequestedUsers();
  // Inserts the record when its id is 0 or less, else writes its status and
  // trigger to the row with its id; one transaction either way, rolled back
  // when it fails.
  void saveUsers(const DB::Users& users);

  // The calendar row of `usersId`, an empty record (id 0) when there is
  // none. Creates the user's folder and calendar file when missing. Throws
  // DB::SelectException for a usersId below 1 or two rows for the user.
  std::shared_ptr<DB::Calendar> getCalendar(int usersId);

  // Takes the user's lock of `kind` (LOCK_KIND_OTHER_PROGRAM,
  // LOCK_KIND_SYNC_JOB; any other kind locks with the bare lock folder).
  // False when the user is already locked, of whatever kind. The lock
  // folder is created in one step that fails when it exists, so of two
  // parties racing for it only one gets true. Throws
  // boost::filesystem::filesystem_error on other file-system errors.
  bool lockUser(int usersId, int kind);
  // Releases the user's lock: one of the UNLOCK_ results. With kind 0 any
  // lock is removed; with another kind only a lock of that kind. Throws
  // boost::filesystem::filesystem_error when the existence tests fail.
  int unlockUser(int usersId, int kind);
  // Whether the user is locked with `kind` (0: with any kind).
  bool isUserLocked(int usersId, int kind);

  // The retry rule of every data-access object of this service.
  void setRetryRule(std::chrono::milliseconds pause, int maxAttempts);

 private:
  // Guarded by `mutex`.
  DB::UsersDAO usersDAO;
  DB::UserDAO userDAO;
  DB::UserSettingsDAO userSettingsDAO;
  DB::AuthDAO authDAO;
  DB::VevizaUserDAO vevizaUserDAO;
  DB::CalendarDAO calendarDAO;
  DB::CalendarLinkDAO calendarLinkDAO;
};

}  // namespace Pelu::Service

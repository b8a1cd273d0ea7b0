#include "db/UserService.h"

#include "db/SelectException.h"
#include "service/Logging.h"
#include "service/Paths.h"

#include <boost/filesystem.hpp>

#include <string>

namespace fs = boost::filesystem;

namespace Pelu::Service {
namespace {

// Lowest status of the rows each list takes.
constexpr int STATUS_USER = 0;     // every user (lock clean-up, backup)
constexpr int STATUS_ACTIVE = 20;  // users of the periodic synchronisation

std::string lockFolder(int usersId) { return resolvePath(USER_LOCK_DIR, std::to_string(usersId)); }

// The folder whose presence means "locked with `kind`".
std::string markerFolder(const std::string& lockDir, int kind) {
  if (kind == LOCK_KIND_OTHER_PROGRAM) return joinPath(lockDir, "A");
  if (kind == LOCK_KIND_SYNC_JOB) return joinPath(lockDir, "B");
  return lockDir;
}

}  // namespace

DB::UsersListPtr UserService::getAllUsers() {
  std::lock_guard<std::mutex> lock(mutex);
  usersDAO.setDatabase(resolvePath(USERS_DB));
  return usersDAO.findByMinStatus(STATUS_USER);
}

DB::UsersListPtr UserService::getActiveUsers() {
  std::lock_guard<std::mutex> lock(mutex);
  usersDAO.setDatabase(resolvePath(USERS_DB));
  return usersDAO.findByMinStatus(STATUS_ACTIVE);
}

DB::UsersListPtr UserService::getRequestedUsers() {
  std::lock_guard<std::mutex> lock(mutex);
  usersDAO.setDatabase(resolvePath(USERS_DB));
  return usersDAO.findRequested();
}

void UserService::saveUsers(const DB::Users& users) {
  std::lock_guard<std::mutex> lock(mutex);
  usersDAO.setDatabase(resolvePath(USERS_DB));
  DB::AbstractBaseDAO::Transaction transaction(usersDAO);
  if (users.id <= 0) {
    usersDAO.insert(users);
  } else {
    usersDAO.update(users);
  }
  transaction.commit();
}

std::shared_ptr<DB::Calendar> UserService::getCalendar(int usersId) {
  // Refused before the path is resolved, so a bad id leaves no folder and
  // no calendar file behind.
  if (usersId < 1) throw DB::SelectException("引数が不正です。");
  std::lock_guard<std::mutex> lock(mutex);
  calendarDAO.setDatabase(resolvePath(CALENDAR_DB, std::to_string(usersId)));
  return calendarDAO.findByUserId(usersId);
}

bool UserService::lockUser(int usersId, int kind) {
  const std::string lockDir = lockFolder(usersId);
  // Creating the lock folder is the test: it fails when the folder (or
  // anything else by that name) exists, so two parties can never both
  // succeed, which a separate existence test could not promise.
  boost::system::error_code ec;
  const bool created = fs::create_directory(lockDir, ec);
  if (ec == boost::system::errc::file_exists) return false;
  if (ec) throw fs::filesystem_error("lockUser", fs::path(lockDir), ec);
  if (!created) return false;

  const std::string marker = markerFolder(lockDir, kind);
  if (marker != lockDir) {
    fs::create_directory(marker, ec);
    if (ec) {
      // Do not leave a lock behind that nobody holds.
      boost::system::error_code ignored;
      fs::remove_all(lockDir, ignored);
      throw fs::filesystem_error("lockUser", fs::path(marker), ec);
    }
  }
  return true;
}

int UserService::unlockUser(int usersId, int kind) {
  const std::string lockDir = lockFolder(usersId);
  if (!fs::is_directory(lockDir)) return UNLOCK_NOT_LOCKED;
  if (kind != LOCK_KIND_ANY && !fs::is_directory(markerFolder(lockDir, kind))) return UNLOCK_OTHER_KIND;
  try {
    fs::remove_all(lockDir);
  } catch (const fs::filesystem_error& e) {
    // A lock that cannot be removed is an administrator's problem, not the
    // caller's: the job that held it is over either way.
    appLogger().error(e.what());
    return UNLOCK_FAILED;
  }
  return UNLOCK_REMOVED;
}

bool UserService::isUserLocked(int usersId, int kind) {
  return fs::is_directory(markerFolder(lockFolder(usersId), kind));
}

void UserService::setRetryRule(std::chrono::milliseconds pause, int maxAttempts) {
  std::lock_guard<std::mutex> lock(mutex);
  for (DB::AbstractBaseDAO* dao : std::initializer_list<DB::AbstractBaseDAO*>{
           &usersDAO, &userDAO, &userSettingsDAO, &authDAO, &vevizaUserDAO, &calendarDAO, &calendarLinkDAO}) {
    dao->setRetryPause(pause);
    dao->setMaxAttempts(maxAttempts);
  }
}

}  // namespace Pelu::Service

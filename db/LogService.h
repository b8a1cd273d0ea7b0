#pragma once

#include "db/AbstractBaseService.h"
#include "db/LogCodes.h"
#include "db/LogDAO.h"

#include <chrono>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

namespace Pelu::Service {

// Writes the service's event records into the monthly log databases: one
// file per month for system-wide events (users id 0) in
// log/<YYYYMM>/system, and one per month and user in log/<YYYYMM>/<id>.
// The previous month's file of the same owner is attached as "as_1".
//
// Called from the main task's thread, its timer thread and every worker
// thread; the service mutex serialises binding, attaching and inserting, so
// records of different users never interleave on the one LogDAO.
class LogService : public AbstractBaseService {
 public:
  // Writes one record with status 10, the caller's values and this
  // process's name, in one transaction that is rolled back when it fails.
  // A usersId below 1 is a system-wide record. Throws the sqlitepp family
  // and boost::filesystem::filesystem_error.
  void addLog(int level, const std::string& code, const std::string& message, int type, int usersId);
  // addLog with level 30, the level of every event of the service.
  void addEventLog(const std::string& code, const std::string& message, int type, int usersId);
  // One of the service's own events (db/LogCodes.h): its code and message,
  // type and level 30.
  void addEventLog(const DB::LogEvent& event, int usersId);

  // Binds the log file of `usersId` for the month of `now` (local time), as
  // addLog does with the current time when the users id changes. Later
  // records of the same users id go to that file; lets a caller, a test in
  // particular, choose the month.
  void selectDatabase(int usersId, std::time_t now);

  // The files attached to the current log connection, in attach order.
  std::vector<std::string> getAttachedPaths() const;

  // The month text ("%Y%m", local time) of `now` and of the calendar month
  // before it: 2013-12-04 gives "201312" and "201311", 2014-01-15 gives
  // "201401" and "201312", 2014-03-31 gives "201403" and "201402".
  static std::pair<std::string, std::string> monthTexts(std::time_t now);

  // The retry rule of the log data-access object.
  void setRetryRule(std::chrono::milliseconds pause, int maxAttempts);

 private:
  // Requires: `mutex` held. The binding follows the users id alone: while
  // records keep the same users id they go to the file bound for the first
  // of them, also after the month changed; a change of users id takes the
  // month of `now`.
  void selectDatabaseLocked(int usersId, std::time_t now);

  // Guarded by `mutex`.
  DB::LogDAO logDAO;
  // The owner whose month file logDAO is bound to (0 for the system's); -1
  // while nothing is bound. Set only once binding and attach succeeded, so a
  // failure makes the next record bind again.
  int cachedUserId = -1;
};

}  // namespace Pelu::Service

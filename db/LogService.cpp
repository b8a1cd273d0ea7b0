#include "db/LogService.h"

#include "db/LogCodes.h"
#include "db/ServiceManager.h"
#include "service/Paths.h"

#include <cstdio>

namespace Pelu::Service {
namespace {

constexpr int RECORD_STATUS = 10;

std::string monthText(int year, int month) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d", year, month);
  return text;
}

// The month file of an owner: the system's file for 0, else the user's.
// Resolving it creates the month folder when missing.
std::string monthFile(int owner, const std::string& month) {
  if (owner == 0) return resolvePath(LOG_SYSTEM_DB, month);
  return resolvePath(LOG_USER_DB, month, std::to_string(owner));
}

// Every users id below 1 stands for the system; a negative id must not
// produce a user file named "-1", nor match the "nothing bound" mark.
int ownerOf(int usersId) { return usersId < 1 ? 0 : usersId; }

}  // namespace

std::pair<std::string, std::string> LogService::monthTexts(std::time_t now) {
  std::tm local{};
  localtime_r(&now, &local);
  const int year = local.tm_year + 1900;  // 4 digits in the service's lifetime
  const int month = local.tm_mon + 1;     // 1..12
  if (month == 1) return {monthText(year, 1), monthText(year - 1, 12)};
  return {monthText(year, month), monthText(year, month - 1)};
}

void LogService::addLog(int level, const std::string& code, const std::string& message, int type, int usersId) {
  std::lock_guard<std::mutex> lock(mutex);
  DB::Log log;
  log.status = RECORD_STATUS;
  log.user_id = usersId;
  log.type = type;
  log.level = level;
  log.code = code;
  log.message = message;
  log.process = ServiceManager::instance().processName;

  selectDatabaseLocked(usersId, std::time(nullptr));
  DB::AbstractBaseDAO::Transaction transaction(logDAO);
  logDAO.insert(log);
  transaction.commit();
}

void LogService::addEventLog(const std::string& code, const std::string& message, int type, int usersId) {
  addLog(DB::EVENT_LOG_LEVEL, code, message, type, usersId);
}

void LogService::addEventLog(const DB::LogEvent& event, int usersId) {
  addLog(DB::EVENT_LOG_LEVEL, DB::logCode(event), event.message, DB::EVENT_LOG_TYPE, usersId);
}

void LogService::selectDatabase(int usersId, std::time_t now) {
  std::lock_guard<std::mutex> lock(mutex);
  cachedUserId = -1;
  selectDatabaseLocked(usersId, now);
}

void LogService::selectDatabaseLocked(int usersId, std::time_t now) {
  const int owner = ownerOf(usersId);
  if (owner == cachedUserId) return;
  const auto months = monthTexts(now);
  logDAO.setDatabase(monthFile(owner, months.first));
  logDAO.attach(monthFile(owner, months.second));
  cachedUserId = owner;
}

std::vector<std::string> LogService::getAttachedPaths() const {
  std::lock_guard<std::mutex> lock(mutex);
  return logDAO.getAttachedPaths();
}

void LogService::setRetryRule(std::chrono::milliseconds pause, int maxAttempts) {
  std::lock_guard<std::mutex> lock(mutex);
  logDAO.setRetryPause(pause);
  logDAO.setMaxAttempts(maxAttempts);
}

}  // namespace Pelu::Service

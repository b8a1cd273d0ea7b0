#include "scheduler/ExpiredFileRemoval.h"

#include "db/LogCodes.h"
#include "db/ServiceManager.h"
#include "service/Logging.h"
#include "service/Paths.h"

#include <Poco/DateTimeParser.h>
#include <Poco/Path.h>
#include <Poco/RegularExpression.h>
#include <Poco/Timespan.h>

#include <boost/filesystem.hpp>

#include <vector>

namespace fs = boost::filesystem;

namespace Pelu {

bool logCutoff(const Poco::LocalDateTime& now, int months, Poco::DateTime& cutoff) {
  // Month arithmetic on a zero-based month count; `total` stays far inside
  // int for any year the calendar handles.
  const int total = now.year() * 12 + (now.month() - 1) - months;
  const int year = total / 12;
  const int month = total % 12 + 1;
  if (!Poco::DateTime::isValid(year, month, now.day())) return false;
  cutoff.assign(year, month, now.day());
  return true;
}

Poco::DateTime backupCutoff(const Poco::DateTime& nowUtc, int days) {
  return nowUtc - Poco::Timespan(days, 0, 0, 0, 0);
}

void removeExpiredFolders(int folderId, const std::string& pattern, const std::string& format,
                          const Poco::DateTime& cutoff, const std::string& label, const std::string& message,
                          const std::string& code) {
  const std::string folder = resolvePath(folderId);
  const Poco::RegularExpression namePattern(pattern);

  // Take the listing first: deleting entries while a directory is being
  // read leaves it open whether later entries are still returned.
  std::vector<fs::path> entries;
  for (const auto& entry : fs::directory_iterator(folder)) entries.push_back(entry.path());

  for (const auto& entry : entries) {
    if (!fs::is_directory(entry)) continue;
    const std::string base = Poco::Path(entry.filename().string()).getBaseName();
    if (!namePattern.match(base)) continue;  // match() anchors at both ends
    Poco::DateTime date;
    int tzd = 0;
    if (!Poco::DateTimeParser::tryParse(format, base, date, tzd)) continue;
    if (!(date < cutoff)) continue;

    MIVO_TRACE(appLogger(), label + " [" + base + "]");
    // The record comes before the deletion, so a folder that cannot be
    // deleted is reported again by the next run.
    Service::ServiceManager::instance().logService.addLog(DB::EVENT_LOG_LEVEL, code, message + "[" + base + "]",
                                                          DB::EVENT_LOG_TYPE, 0);
    fs::remove_all(entry);
  }
}

void removeExpiredFiles(int logSurvivalMonths, int backupSurvivalDays, const Poco::LocalDateTime& nowLocal,
                        const Poco::DateTime& nowUtc) {
  Poco::DateTime logLimit;
  if (!logCutoff(nowLocal, logSurvivalMonths, logLimit)) return;
  removeExpiredFolders(LOG_DIR, "^[0-9]{6}$", "%Y%m", logLimit, "Removed Log Directory",
                       DB::EVENT_LOG_REMOVED.message, DB::logCode(DB::EVENT_LOG_REMOVED));
  removeExpiredFolders(BACKUP_DIR, "^[0-9]{8}$", "%Y%m%d", backupCutoff(nowUtc, backupSurvivalDays),
                       "Removed Backup Directory", DB::EVENT_BACKUP_REMOVED.message,
                       DB::logCode(DB::EVENT_BACKUP_REMOVED));
}

void removeExpiredFiles(int logSurvivalMonths, int backupSurvivalDays) {
  removeExpiredFiles(logSurvivalMonths, backupSurvivalDays, Poco::LocalDateTime(), Poco::DateTime());
}

}  // namespace Pelu

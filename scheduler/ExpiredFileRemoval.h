#pragma once

#include <Poco/DateTime.h>
#include <Poco/LocalDateTime.h>

#include <string>

namespace Pelu {

// Deletes log month folders (data/log/YYYYMM) older than `logSurvivalMonths`
// and backup day folders (data/backup/YYYYMMDD) older than
// `backupSurvivalDays`, writing a trace line and a log record for each
// folder before deleting it. Runs on the main task's timer thread. Any
// error ends the run where it happened; the next day's run picks up the rest.
void removeExpiredFiles(int logSurvivalMonths, int backupSurvivalDays);

// The same with "now" passed in: local time for the log pass, UTC for the
// backup pass.
void removeExpiredFiles(int logSurvivalMonths, int backupSurvivalDays, const Poco::LocalDateTime& nowLocal,
                        const Poco::DateTime& nowUtc);

// Cut-off of the log pass: the local date `months` calendar months back,
// same day of month, at 00:00:00. False when that day does not exist in the
// target month; the run then deletes nothing.
//   2014-07-15, 6 months  -> 2014-01-15 00:00
//   2014-01-10, 13 months -> 2012-12-10 00:00
//   2014-08-31, 2 months  -> no 31 June: false
bool logCutoff(const Poco::LocalDateTime& now, int months, Poco::DateTime& cutoff);

// Cut-off of the backup pass: now in UTC minus `days` × 24 hours, keeping
// the time of day, so the folder exactly at the limit depends on the hour
// the run happens.
Poco::DateTime backupCutoff(const Poco::DateTime& nowUtc, int days);

// One pass over the folder of path id `folderId`: every sub-folder whose
// base name (up to the last dot) matches `pattern` as a whole, reads as a
// valid date with `format`, and lies strictly before `cutoff` (compared as
// plain calendar date-times) is traced as "<label> [<name>]", recorded as
// "<message>[<name>]" with `code`, and deleted with its content.
void removeExpiredFolders(int folderId, const std::string& pattern, const std::string& format,
                          const Poco::DateTime& cutoff, const std::string& label, const std::string& message,
                          const std::string& code);

}  // namespace Pelu

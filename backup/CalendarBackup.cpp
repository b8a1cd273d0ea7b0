#include "backup/CalendarBackup.h"

#include "db/LogCodes.h"
#include "db/ServiceManager.h"
#include "ical/CICalendar.h"
#include "ical/CICalendarViewBuffer.h"
#include "service/Logging.h"
#include "service/Paths.h"

#include <Poco/DateTimeFormatter.h>
#include <Poco/Exception.h>
#include <Poco/File.h>
#include <Poco/Format.h>

#include <cstdio>
#include <fstream>

namespace Pelu {

namespace {

// Bookkeeping that the sync commands keep at calendar level; it means
// nothing outside this installation. Removed in this order.
const char* const kPrivateCalendarProperties[] = {
    "X-RIZIDEDI-PRIVATE-METHOD", "X-RIZIDEDI-PRIVATE-RURL",  "X-RIZIDEDI-PRIVATE-ETAG", "X-RIZIDEDI-SPEAK-TEXT",
    "X-RIZIDEDI-LAST-TRIGGER",   "X-RIZIDEDI-ALARM-STATUS", "PENDING",                 "COMPLETED",
    "DISABLED",                  "X-RIZIDEDI-IDENTITY",     "X-RIZIDEDI-NEEDS-ITIP",
};

// Replaces `path` whole: the text goes to a temporary file beside it, which
// is renamed over the final name only once everything was written. A second
// run on the same day therefore leaves no tail of a longer earlier file, and
// nobody ever sees a half-written backup under the final name. On any
// failure the temporary file is removed and the error raised.
template <typename WriteFn>
void replaceFile(const std::string& path, WriteFn write) {
  const std::string temporary = path + ".tmp";
  try {
    std::ofstream out(temporary, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!out) throw Poco::CreateFileException(temporary);
    write(out);
    out.close();
    if (out.fail()) throw Poco::WriteFileException(temporary);
    if (std::rename(temporary.c_str(), path.c_str()) != 0) throw Poco::FileException("cannot rename", temporary);
  } catch (...) {
    std::remove(temporary.c_str());
    throw;
  }
}

}  // namespace

void RunCalendarBackup() { RunCalendarBackup(Poco::LocalDateTime()); }

void RunCalendarBackup(const Poco::LocalDateTime& start) {
  auto& services = Service::ServiceManager::instance();
  Poco::Logger& log = appLogger();
  const std::string day = Poco::DateTimeFormatter::format(start, "%Y%m%d");

  MIVO_TRACE(log, "START BACKUP");
  services.logService.addEventLog(DB::EVENT_BACKUP_START, 0);

  const DB::UsersListPtr users = services.userService.getAllUsers();
  for (const auto& user : *users) {
    if (user.id == 0) continue;
    const auto stored = services.userService.getCalendar(user.id);
    if (stored->id == 0 || stored->data.empty()) continue;

    iCal::CICalendar calendar;
    iCal::CICalendarViewBuffer view(stored->data);
    std::istream text(&view);
    const bool readable = calendar.Read(text);
    if (!readable) {
      // A backup must not lose what was stored: keep text that the reader
      // refuses (not a calendar, another version or calendar scale) as it is.
      log.warning(Poco::format("backup of user %d keeps the stored calendar text unchanged: it is no iCalendar "
                               "text this system reads",
                               user.id));
    } else {
      for (const char* name : kPrivateCalendarProperties) calendar.RemoveProperties(name);
    }

    const std::string file = resolvePath(BACKUP_FILE, day, Poco::format("%d.ics", user.id));
    replaceFile(file, [&](std::ostream& out) {
      if (readable) {
        calendar.Write(out, false);
      } else {
        out << stored->data;
      }
    });

    services.logService.addEventLog(DB::EVENT_BACKUP_FILE_CREATED, user.id);
    MIVO_TRACE(log, Poco::format("BACKUP ID %d", user.id));
  }

  services.logService.addEventLog(DB::EVENT_BACKUP_END, 0);
  MIVO_TRACE(log, "END BACKUP");
}

}  // namespace Pelu

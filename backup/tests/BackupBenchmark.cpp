// Benchmark of the calendar backup (not a test): a whole run over N users,
// each with the same calendar file, next to reading the same rows with a
// bare SQLite query in the same run. Medians of several runs. The parts of
// the per-user work are also timed on their own, to show where the time of
// a run goes: reading and writing the calendar in memory, the per-user log
// record, and writing and renaming a file of the calendar's size.
//
//   backup_bench [--default-heap] CALENDAR.ics [USERS] [RUNS]

#include "backup/CalendarBackup.h"
#include "db/LogCodes.h"
#include "db/ServiceManager.h"
#include "ical/CICalendar.h"
#include "ical/CICalendarHeap.h"
#include "ical/CICalendarViewBuffer.h"
#include "service/Paths.h"
#include "tests/support/TestSupport.h"

#include <Poco/Logger.h>
#include <Poco/Message.h>

#include <sqlite3.h>

#include <boost/filesystem.hpp>

#include <algorithm>
#include <chrono>
#include <functional>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = boost::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// What the backup has to read anyway: each user's calendar row.
size_t bareRead(int users) {
  size_t bytes = 0;
  for (int id = 1; id <= users; ++id) {
    sqlite3* db = nullptr;
    sqlite3_open(Pelu::resolvePath(Pelu::CALENDAR_DB, std::to_string(id)).c_str(), &db);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM calendar WHERE users_id=?", -1, &stmt, nullptr);
    sqlite3_bind_int(stmt, 1, id);
    while (sqlite3_step(stmt) == SQLITE_ROW) bytes += static_cast<size_t>(sqlite3_column_bytes(stmt, 3));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
  }
  return bytes;
}

double secondsOf(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The calendar read, written to memory and destroyed, as often as there are
// users.
void icalOnly(const std::string& text, int users) {
  for (int i = 0; i < users; ++i) {
    iCal::CICalendar calendar;
    iCal::CICalendarViewBuffer view(text);
    std::istream in(&view);
    calendar.Read(in);
    std::ostringstream sink;
    calendar.Write(sink, false);
  }
}

// One "backup ics file created." record per user, in the users' month files.
void recordsOnly(int users) {
  auto& log = Pelu::Service::ServiceManager::instance().logService;
  for (int id = 1; id <= users; ++id) log.addEventLog(Pelu::DB::EVENT_BACKUP_FILE_CREATED, id);
}

// A file of the calendar's size per user, written beside its final name and
// renamed over it.
void filesOnly(const std::string& text, int users, const std::string& folder) {
  fs::create_directories(folder);
  for (int id = 1; id <= users; ++id) {
    const std::string path = folder + "/" + std::to_string(id) + ".ics";
    {
      std::ofstream out(path + ".tmp", std::ios::binary | std::ios::trunc);
      out << text;
    }
    fs::rename(path + ".tmp", path);
  }
}

}  // namespace

int main(int argc, char** argv) {
  // The heap as mivo_srv sets it up, unless the C library's default is asked
  // for (to compare the two).
  if (argc > 1 && std::string(argv[1]) == "--default-heap") {
    --argc;
    ++argv;
  } else {
    iCal::TuneHeapForCalendars();
  }
  if (argc < 2) {
    std::cerr << "usage: backup_bench [--default-heap] CALENDAR.ics [USERS] [RUNS]\n";
    return 2;
  }
  const std::string calendar = mivo::test::readFile(argv[1]);
  const int users = argc > 2 ? std::atoi(argv[2]) : 1000;
  const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
  Poco::Logger::get("Application").setLevel(Poco::Message::PRIO_WARNING);

  mivo::test::TempDir tmp("mivo-bench-backup");
  auto& manager = Pelu::Service::ServiceManager::instance();
  manager.homeDirectory = tmp.path();
  manager.processName = "backup_bench";

  std::string quoted;
  for (char c : calendar) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  const std::string usersDb = Pelu::resolvePath(Pelu::USERS_DB);
  mivo::test::sqlExec(usersDb,
                      "CREATE TABLE users (  id INTEGER PRIMARY KEY, status INTEGER NOT NULL DEFAULT 0, trigger "
                      "INTEGER NOT NULL DEFAULT 0, dn_user_id INTEGER NOT NULL, register_datetime TEXT NOT NULL, "
                      "update_datetime TEXT NOT NULL, version_no INTEGER DEFAULT 1)");
  for (int id = 1; id <= users; ++id) {
    mivo::test::sqlExec(usersDb, "INSERT INTO users(id,status,dn_user_id,register_datetime,update_datetime) VALUES(" +
                                     std::to_string(id) + ",20," + std::to_string(id) + ",'',''" + ")");
    const std::string db = Pelu::resolvePath(Pelu::CALENDAR_DB, std::to_string(id));
    mivo::test::sqlExec(db,
                        "CREATE TABLE calendar(  id INTEGER PRIMARY KEY, status INTEGER NOT NULL DEFAULT 0, users_id "
                        "INTEGER NOT NULL, data TEXT, cache TEXT, register_datetime TEXT, update_datetime TEXT, "
                        "version_no INTEGER);INSERT INTO calendar(users_id,data) VALUES(" +
                            std::to_string(id) + ",'" + quoted + "')");
  }

  std::vector<double> bare, backup, ical, records, files;
  size_t bytes = 0;
  for (int r = 0; r < runs; ++r) {
    bare.push_back(secondsOf([&] { bytes = bareRead(users); }));
    backup.push_back(secondsOf([] { Pelu::RunCalendarBackup(); }));
    ical.push_back(secondsOf([&] { icalOnly(calendar, users); }));
    records.push_back(secondsOf([&] { recordsOnly(users); }));
    files.push_back(secondsOf([&] { filesOnly(calendar, users, tmp.path() + "/files"); }));
  }
  const double b = median(backup), q = median(bare);
  std::printf("backup of %d users (%.1f MB of calendars): %.2f s, %.0f users/s; bare read of the same rows: "
              "%.2f s (%.0f users/s)\n",
              users, bytes / 1e6, b, users / b, q, users / q);
  std::printf("the parts on their own: calendar read + write + destroy %.2f s, per-user log records %.2f s, "
              "file write + rename %.2f s\n",
              median(ical), median(records), median(files));
  return 0;
}

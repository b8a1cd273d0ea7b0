// Benchmark of the calendar backup (not a test): a whole run over N users,
// each with the same calendar file, next to reading the same rows with a
// bare SQLite query in the same run. Medians of several runs.
//
//   backup_bench CALENDAR.ics [USERS] [RUNS]

#include "backup/CalendarBackup.h"
#include "db/ServiceManager.h"
#include "service/Paths.h"
#include "tests/support/TestSupport.h"

#include <Poco/Logger.h>
#include <Poco/Message.h>

#include <sqlite3.h>

#include <boost/filesystem.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: backup_bench CALENDAR.ics [USERS] [RUNS]\n";
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

  std::vector<double> bare, backup;
  size_t bytes = 0;
  for (int r = 0; r < runs; ++r) {
    auto start = Clock::now();
    bytes = bareRead(users);
    bare.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    start = Clock::now();
    Pelu::RunCalendarBackup();
    backup.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  const double b = median(backup), q = median(bare);
  std::printf("backup of %d users (%.1f MB of calendars): %.2f s, %.0f users/s; bare read of the same rows: "
              "%.2f s (%.0f users/s)\n",
              users, bytes / 1e6, b, users / b, q, users / q);
  return 0;
}

// A stand-in for the installation's sync commands, used by `make demo`.
//
// Installed as mivo_cd.exe and mivo_dn.exe in a demo home's bin folder, it
// accepts the real commands' command line (--HOME <home> --USERS-ID <id>)
// and does something visible for the user: it stores a small generated
// calendar in the user's `calendar` table, the way the real commands keep a
// user's schedule there, and says so on standard output. Exit code 0 means
// success, as for the real commands.

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

constexpr const char* kCalendarTable =
    "CREATE TABLE IF NOT EXISTS calendar(  id INTEGER PRIMARY KEY, status INTEGER NOT NULL DEFAULT 0, users_id "
    "INTEGER NOT NULL, data TEXT, cache TEXT, register_datetime TEXT, update_datetime TEXT, version_no INTEGER)";

std::string baseName(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A calendar as a phone would store it: calendar-level bookkeeping that the
// backup strips, a time zone, a weekly meeting and a one-off appointment.
std::string calendarText(int userId, int events) {
  std::string text =
      "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//mivo.example//Demo sync//EN\r\n"
      "X-RIZIDEDI-PRIVATE-METHOD:PUBLISH\r\nX-RIZIDEDI-PRIVATE-ETAG:\"demo-" +
      std::to_string(userId) +
      "\"\r\n"
      "BEGIN:VTIMEZONE\r\nTZID:Asia/Tokyo\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
      "TZOFFSETFROM:+0900\r\nTZOFFSETTO:+0900\r\nTZNAME:JST\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
  for (int n = 1; n <= events; ++n) {
    char day[16];
    std::snprintf(day, sizeof day, "202612%02d", (n % 28) + 1);
    text += "BEGIN:VEVENT\r\nUID:demo-" + std::to_string(userId) + "-" + std::to_string(n) +
            "@mivo.example\r\nDTSTAMP:20261201T000000Z\r\n"
            "DTSTART;TZID=Asia/Tokyo:" +
            std::string(day) + "T100000\r\nDTEND;TZID=Asia/Tokyo:" + day +
            "T110000\r\nSUMMARY:Meeting " + std::to_string(n) + " of user " + std::to_string(userId) + "\r\n";
    if (n == 1) text += "RRULE:FREQ=WEEKLY;BYDAY=MO;COUNT=10\r\n";
    text += "END:VEVENT\r\n";
  }
  text += "END:VCALENDAR\r\n";
  return text;
}

bool exec(sqlite3* db, const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &error) == SQLITE_OK) return true;
  std::fprintf(stderr, "demo sync: %s\n", error ? error : "database error");
  sqlite3_free(error);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::string home;
  int userId = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string key = argv[i];
    if (key == "--HOME") home = argv[i + 1];
    if (key == "--USERS-ID") userId = std::atoi(argv[i + 1]);
  }
  const std::string name = baseName(argv[0]);
  if (home.empty() || userId <= 0) {
    std::fprintf(stderr, "usage: %s --HOME <home> --USERS-ID <id>\n", name.c_str());
    return 2;
  }

  const std::string folder = home + "/mivo/data/users/" + std::to_string(userId);
  std::string mkdir = "mkdir -p '" + folder + "'";
  if (std::system(mkdir.c_str()) != 0) return 1;

  sqlite3* db = nullptr;
  if (sqlite3_open((folder + "/calendar").c_str(), &db) != SQLITE_OK) return 1;
  sqlite3_busy_timeout(db, 5000);
  bool ok = exec(db, kCalendarTable);

  // mivo_cd.exe brings the groupware's schedule down; mivo_dn.exe would
  // push the phone's changes up. Both leave the calendar stored.
  const int events = 3 + userId % 4;
  const std::string text = calendarText(userId, events);
  sqlite3_stmt* stmt = nullptr;
  ok = ok && exec(db, "BEGIN IMMEDIATE");
  ok = ok && sqlite3_prepare_v2(db, "DELETE FROM calendar WHERE users_id=?", -1, &stmt, nullptr) == SQLITE_OK;
  if (ok) {
    sqlite3_bind_int(stmt, 1, userId);
    ok = sqlite3_step(stmt) == SQLITE_DONE;
  }
  sqlite3_finalize(stmt);
  ok = ok && sqlite3_prepare_v2(db,
                                "INSERT INTO calendar(status,users_id,data,register_datetime,update_datetime,version_no) "
                                "VALUES(0,?,?,datetime('now','localtime'),datetime('now','localtime'),1)",
                                -1, &stmt, nullptr) == SQLITE_OK;
  if (ok) {
    sqlite3_bind_int(stmt, 1, userId);
    sqlite3_bind_text(stmt, 2, text.c_str(), -1, SQLITE_TRANSIENT);
    ok = sqlite3_step(stmt) == SQLITE_DONE;
  }
  sqlite3_finalize(stmt);
  ok = ok && exec(db, "COMMIT");
  sqlite3_close(db);

  if (!ok) return 1;
  std::printf("  %s: user %d: calendar with %d events stored\n", name.c_str(), userId, events);
  std::fflush(stdout);
  return 0;
}
